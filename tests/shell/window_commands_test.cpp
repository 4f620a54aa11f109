#include "audio/cd_door.h"
#include "form2_harness.h"
#include "shell/window_commands.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace corvan::test {
namespace {

struct ShownForm : Form2Harness {
    ShownForm()
    {
        form->move(0, 0);
        form->show();
        commands = form->findChild<WindowCommands*>(QStringLiteral("WindowCommands"));
    }
    ~ShownForm() { m().mnupopup->hide(); }

    // A point of the window where no control lies.
    QPoint BarePoint() const
    {
        for (int y = 2; y < form->height(); y += 4)
            for (int x = 2; x < form->width(); x += 4)
                if (!form->childAt(x, y))
                    return {x, y};
        return {-1, -1};
    }

    void Press(QWidget* w, Qt::MouseButton button, QPoint at)
    {
        QTest::mousePress(w, button, {}, at);
        QTest::mouseRelease(w, button, {}, at);
    }

    WindowCommands* commands = nullptr;
};

QPoint Centre(QWidget* w)
{
    return w->rect().center();
}

TEST(WindowCommands, PressesOnTheBarePictureMoveOrOpenTheMenu)
{
    ShownForm h;
    ASSERT_NE(h.commands, nullptr);
    QSignalSpy moving(h.commands, &WindowCommands::Moving);
    const QPoint bare = h.BarePoint();
    ASSERT_GE(bare.x(), 0);

    h.Press(h.form.get(), Qt::LeftButton, bare);
    EXPECT_EQ(moving.count(), 1);
    EXPECT_FALSE(h.m().mnupopup->isVisible());

    h.Press(h.form.get(), Qt::MiddleButton, bare);
    EXPECT_EQ(moving.count(), 1);
    EXPECT_FALSE(h.m().mnupopup->isVisible());

    QTest::mousePress(h.form.get(), Qt::RightButton, {}, bare);
    EXPECT_TRUE(h.m().mnupopup->isVisible());
    QTest::mouseRelease(h.form.get(), Qt::RightButton, {}, bare);
    EXPECT_EQ(moving.count(), 1);
}

// Sees the presses that reach the window itself.
struct PressWatch : QObject {
    bool eventFilter(QObject*, QEvent* event) override
    {
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }
    int presses = 0;
};

// Some controls take no press of their own (the blank part of an option
// button or a check box) and hand it on to the window; it must still not
// count as a press on the picture.
TEST(WindowCommands, LeftPressesOnControlsDoNotMoveTheWindow)
{
    ShownForm h;
    QSignalSpy moving(h.commands, &WindowCommands::Moving);
    QSignalSpy surface(h.form.get(), &Form2::SurfacePressed);
    PressWatch watch;
    h.form->installEventFilter(&watch);
    const struct {
        QWidget* control;
        QPoint at;
        bool passedOn;
    } cases[] = {
        {h.c().Label1, Centre(h.c().Label1), false},
        {h.c().Option3, {h.c().Option3->width() - 2, h.c().Option3->height() / 2}, true},
        {h.c().Check4, {h.c().Check4->width() - 2, h.c().Check4->height() / 2}, true},
        {h.c().Command15, Centre(h.c().Command15), false},
        {h.c().File1->viewport(), Centre(h.c().File1->viewport()), false},
        {h.c().MediaPlayer1, Centre(h.c().MediaPlayer1), false},
        {h.c().Label15, Centre(h.c().Label15), false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.control->objectName().toStdString());
        watch.presses = 0;
        h.Press(row.control, Qt::LeftButton, row.at);
        EXPECT_EQ(watch.presses, row.passedOn ? 1 : 0);
        EXPECT_EQ(moving.count(), 0);
        EXPECT_EQ(surface.count(), 0);
        EXPECT_FALSE(h.m().mnupopup->isVisible());
    }
}

TEST(WindowCommands, RightPressOnTitleAndListsOpensTheMenu)
{
    ShownForm h;
    h.c().List1->show();
    for (QWidget* w : {static_cast<QWidget*>(h.c().Label1), h.c().File1->viewport(), h.c().Dir1->viewport(),
                       h.c().List1->viewport()}) {
        SCOPED_TRACE(w->parentWidget()->objectName().toStdString() + "/" + w->objectName().toStdString());
        QTest::mousePress(w, Qt::RightButton, {}, Centre(w));
        EXPECT_TRUE(h.m().mnupopup->isVisible());
        QTest::mouseRelease(w, Qt::RightButton, {}, Centre(w));
        h.m().mnupopup->hide();
    }
}

TEST(WindowCommands, MinimizeHotSpot)
{
    ShownForm h;
    QSignalSpy unloading(h.form.get(), &Form2::Unloading);
    QTest::mouseClick(h.c().Image4, Qt::LeftButton, {}, Centre(h.c().Image4));
    EXPECT_TRUE(h.form->isMinimized());
    EXPECT_EQ(unloading.count(), 0);
}

TEST(WindowCommands, CloseHotSpotAndExitItemUnloadOnce)
{
    for (bool hotSpot : {true, false}) {
        SCOPED_TRACE(hotSpot ? "Image3" : "mnupopupexit");
        ShownForm h;
        QSignalSpy unloading(h.form.get(), &Form2::Unloading);
        for (int twice = 0; twice < 2; ++twice) {
            if (hotSpot)
                QTest::mouseClick(h.c().Image3, Qt::LeftButton, {}, Centre(h.c().Image3));
            else
                h.m().mnupopupexit->trigger();
        }
        EXPECT_EQ(unloading.count(), 1);
        EXPECT_FALSE(h.form->isVisible());
        EXPECT_EQ(h.exits, 0);
    }
}

TEST(WindowCommands, AboutAndMailGoThroughTheDesktop)
{
    ShownForm h;
    h.m().mnupopupabout->trigger();
    ASSERT_EQ(h.messages.size(), 1);
    const QStringList about = h.messages.first().split(QLatin1Char('|'));
    EXPECT_EQ(about.value(0), QStringLiteral("Corvan Media Player"));
    EXPECT_FALSE(about.value(1).isEmpty());
    EXPECT_FALSE(about.value(1).contains(QLatin1Char('\n')));

    h.m().mnumail->trigger();
    ASSERT_EQ(h.urls.size(), 1);
    EXPECT_EQ(h.urls.first(), QUrl(QStringLiteral("mailto:corvan-player@example.org")));
}

TEST(WindowCommands, ReadMeOpensTheGuideOfTheCurrentFolderWhenThereIsOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    {
        ShownForm h;
        h.m().mnupopupreadme->trigger();
        EXPECT_TRUE(h.urls.isEmpty());
        EXPECT_TRUE(h.messages.isEmpty());

        QFile guide(dir.filePath(QStringLiteral("help.htm")));
        ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
        guide.close();
        h.m().mnupopupreadme->trigger();
        ASSERT_EQ(h.urls.size(), 1);
        EXPECT_EQ(h.urls.first(), QUrl::fromLocalFile(QDir(dir.path()).canonicalPath() + QStringLiteral("/help.htm")));
    }
    QDir::setCurrent(before);
}

TEST(CdDoorItems, EjectAndCloseSendTheirRequestsAndShowNothingWithoutADrive)
{
    ShownForm h;
    auto* door = h.form->findChild<CdDoor*>(QStringLiteral("CdDoor"));
    ASSERT_NE(door, nullptr);
    door->SetDevices({QStringLiteral("/nonexistent/cdrom")});
    QSignalSpy sent(door, &CdDoor::CommandSent);

    h.m().mnupopupeject->trigger();
    h.m().mnupopupclose->trigger();
    ASSERT_EQ(sent.count(), 2);
    EXPECT_EQ(sent[0][0].toString(), QStringLiteral("set CDAudio door open"));
    EXPECT_EQ(sent[1][0].toString(), QStringLiteral("set CDAudio door closed"));
    EXPECT_FALSE(sent[0][1].toBool());
    EXPECT_TRUE(h.messages.isEmpty());
    EXPECT_TRUE(h.form->isVisible());
}

}  // namespace
}  // namespace corvan::test
