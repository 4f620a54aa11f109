// The window on desktops that differ from a plain X11 one: a window system
// that takes the mask for clicks alone, one that refuses to move the window
// itself, and an installed program looking for its pictures.
#include "fake_media_engine.h"
#include "shell/form2.h"
#include "shell/skin.h"
#include "shell/window_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace corvan::test {
namespace {

const QString kSkin = QStringLiteral(CORVAN_ASSETS_DIR "/new2.gif");

std::unique_ptr<Form2> DressedForm(FakeMediaEngine& engine, bool maskIsInputOnly)
{
    Desktop desk;
    desk.maskIsInputOnly = maskIsInputOnly;
    auto form = std::make_unique<Form2>(engine, desk);
    QString error;
    EXPECT_TRUE(DressInSkin(*form, kSkin, &error)) << error.toStdString();
    return form;
}

TEST(DesktopWindow, WhereTheMaskOnlyStopsClicksTheCutAwayPartIsSeeThrough)
{
    const QImage picture = QImage(kSkin).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(picture.isNull());
    const QPoint cut(0, picture.height() - 1);  // the key colour
    const QPoint body(200, 10);                 // skin, no control
    const QPoint corner(2, 2);                  // rounded away at the top left

    for (const bool inputOnly : {false, true}) {
        FakeMediaEngine engine;
        auto form = DressedForm(engine, inputOnly);
        ASSERT_FALSE(form->mask().contains(cut));
        ASSERT_FALSE(form->mask().contains(corner));
        ASSERT_TRUE(form->mask().contains(body));
        EXPECT_EQ(form->testAttribute(Qt::WA_TranslucentBackground), inputOnly);
        EXPECT_EQ(form->autoFillBackground(), !inputOnly);

        const QImage shown = form->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(shown.pixel(body), picture.pixel(body)) << "translucent " << inputOnly;
        if (inputOnly) {
            EXPECT_EQ(qAlpha(shown.pixel(cut)), 0);
            EXPECT_EQ(qAlpha(shown.pixel(corner)), 0);
            EXPECT_EQ(qAlpha(shown.pixel(body)), 255);
            // A control lying on the skin is drawn as on X11.
            const QPoint file1 = form->Controls().File1->geometry().center();
            EXPECT_EQ(qAlpha(shown.pixel(file1)), 255);
        }
    }
}

// Moves as the window would see them during a press's grab.
void SendMove(QWidget& form, QPoint global, Qt::MouseButtons buttons)
{
    QMouseEvent move(QEvent::MouseMove, form.mapFromGlobal(global), global, Qt::NoButton, buttons, {});
    QCoreApplication::sendEvent(&form, &move);
}

void SendRelease(QWidget& form, QPoint global)
{
    QMouseEvent up(QEvent::MouseButtonRelease, form.mapFromGlobal(global), global, Qt::LeftButton, {}, {});
    QCoreApplication::sendEvent(&form, &up);
}

TEST(DesktopWindow, ARefusedSystemMoveLetsTheWindowFollowThePointer)
{
    FakeMediaEngine engine;
    Form2 form(engine, Desktop{});
    form.move(100, 50);
    form.show();
    ASSERT_NE(form.windowHandle(), nullptr);
    int asked = 0;
    WindowCommands commands(form, [&asked](QWindow&) {
        ++asked;
        return false;
    });

    const QPoint press(300, 70);
    commands.SurfacePressed(Qt::LeftButton, press);
    EXPECT_EQ(asked, 1);
    SendMove(form, press + QPoint(30, 20), Qt::LeftButton);
    EXPECT_EQ(form.pos(), QPoint(130, 70));
    SendMove(form, press + QPoint(-40, 5), Qt::LeftButton);
    EXPECT_EQ(form.pos(), QPoint(60, 55));
    SendRelease(form, press + QPoint(-40, 5));
    SendMove(form, press + QPoint(200, 200), Qt::NoButton);
    EXPECT_EQ(form.pos(), QPoint(60, 55)) << "the release ends the move";

    // The next press moves from where the window now is.
    commands.SurfacePressed(Qt::LeftButton, press);
    SendMove(form, press + QPoint(10, 10), Qt::LeftButton);
    EXPECT_EQ(form.pos(), QPoint(70, 65));
    SendRelease(form, press + QPoint(10, 10));
    EXPECT_EQ(asked, 2);
}

TEST(DesktopWindow, AnAcceptedSystemMoveIsLeftToTheWindowSystem)
{
    FakeMediaEngine engine;
    Form2 form(engine, Desktop{});
    form.move(100, 50);
    form.show();
    int asked = 0;
    WindowCommands commands(form, [&asked](QWindow&) {
        ++asked;
        return true;
    });
    const QPoint press(300, 70);
    commands.SurfacePressed(Qt::LeftButton, press);
    SendMove(form, press + QPoint(30, 20), Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(form.pos(), QPoint(100, 50));
    commands.SurfacePressed(Qt::RightButton, press);
    EXPECT_EQ(asked, 1) << "only the left button moves";
    form.Menu().mnupopup->hide();
}

TEST(DesktopWindow, AnInstalledProgramLooksInTheShareFolderBesideItsOwn)
{
    const QStringList folders = AssetFolders();
    ASSERT_EQ(folders.size(), 3);
    const QString program = QCoreApplication::applicationDirPath();
    EXPECT_EQ(folders.at(0), program);
    EXPECT_EQ(folders.at(1), QDir::cleanPath(program + QStringLiteral("/../share/corvan-player")));
    EXPECT_TRUE(folders.at(2).endsWith(QStringLiteral("/share/corvan-player")));
}

}  // namespace
}  // namespace corvan::test
