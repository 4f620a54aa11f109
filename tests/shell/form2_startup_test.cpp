#include "form2_harness.h"
#include "shell/after_exposed.h"
#include "shell/faces_ahead.h"
#include "shell/form2_design.h"
#include "shell/skin.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <future>

namespace corvan::test {
namespace {

QStringList Captions(QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

TEST(Form2StartUp, LoadSetsVolumePatternChoicesBalanceAndTimers)
{
    Form2Harness h;
    EXPECT_EQ(h.engine.Volume(), -2500);
    EXPECT_EQ(h.engine.callsOf(QStringLiteral("Volume")), QStringList{QStringLiteral("-2500")});

    QStringList items;
    for (int i = 0; i < h.c().Combo1->count(); ++i)
        items << h.c().Combo1->itemText(i);
    EXPECT_EQ(items, (QStringList{u"*.WMA"_qs, u"*.MID"_qs, u"*.WMV"_qs, u"*.MP3"_qs, u"*.WAV"_qs}));
    EXPECT_EQ(h.c().Combo1->currentText(), u"*.MP3"_qs);

    EXPECT_TRUE(h.c().Option2->isChecked());
    EXPECT_FALSE(h.c().Option1->isChecked());
    EXPECT_FALSE(h.c().Option3->isChecked());

    EXPECT_TRUE(h.form->Timer1().isActive());
    EXPECT_EQ(h.form->Timer1().interval(), 500);
    EXPECT_TRUE(h.form->Timer2().isActive());
}

TEST(Form2StartUp, ATypedPatternIsNotAddedToTheChoices)
{
    Form2Harness h;
    QComboBox* combo = h.c().Combo1;
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), u"*.OGG"_qs);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(combo->count(), 5);
    EXPECT_EQ(combo->currentText(), u"*.OGG"_qs);
}

TEST(Form2StartUp, WindowAndStartingVisibility)
{
    Form2Harness h;
    EXPECT_EQ(h.form->windowTitle(), u"Corvan Media Player"_qs);
    EXPECT_EQ(h.form->size(), QSize(439, 482));
    EXPECT_TRUE(h.form->windowFlags() & Qt::FramelessWindowHint);

    h.form->show();
    for (QWidget* shown :
         {static_cast<QWidget*>(h.c().File1), static_cast<QWidget*>(h.c().Drive1), static_cast<QWidget*>(h.c().Dir1)})
        EXPECT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
    for (QWidget* hidden : {static_cast<QWidget*>(h.c().List1), static_cast<QWidget*>(h.c().Combo1),
                            static_cast<QWidget*>(h.c().Check5), static_cast<QWidget*>(h.c().Command21)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();

    // Captions that other commands compare or replace.
    EXPECT_EQ(h.c().Label2->text(), u"Label2"_qs);
    EXPECT_EQ(h.c().Label4->text(), u"Label4"_qs);
    EXPECT_EQ(h.c().Playing->text(), u" Playing"_qs);
    EXPECT_EQ(h.c().Text1->text(), u"Search Song in Playlist"_qs);
    EXPECT_EQ(h.c().List1->count(), 1);
    EXPECT_TRUE(h.c().Check5->isChecked());
    EXPECT_EQ(h.c().File1->ListIndex(), -1);
}

TEST(Form2StartUp, ControlsSitAtTheirPlacesInPixels)
{
    Form2Harness h;
    // twips / 15, including controls that lie outside the client area
    EXPECT_EQ(h.c().File1->geometry(), QRect(170, 64, 210, 288));
    EXPECT_EQ(h.c().Command13->geometry(), QRect(110, 456, 25, 21));
    EXPECT_EQ(h.c().Label11->geometry(), QRect(408, 408, 17, 17));
    EXPECT_EQ(h.c().Stop->geometry(), QRect(336, 560, 57, 25));
    const QRect client = h.form->rect();
    for (QWidget* outside : {static_cast<QWidget*>(h.c().Label7), static_cast<QWidget*>(h.c().Slider1),
                             static_cast<QWidget*>(h.c().Command2), static_cast<QWidget*>(h.c().Command17)})
        EXPECT_FALSE(client.intersects(outside->geometry())) << outside->objectName().toStdString();
}

TEST(Form2StartUp, EveryControlHasItsOwnName)
{
    Form2Harness h;
    QSet<QString> names;
    int count = 0;
    for (QWidget* w : h.form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->objectName().isEmpty() || qobject_cast<QMenu*>(w))
            continue;
        ++count;
        EXPECT_FALSE(names.contains(w->objectName())) << w->objectName().toStdString();
        names.insert(w->objectName());
    }
    EXPECT_EQ(count, 61);
}

TEST(Form2StartUp, PopupMenuTreeInOrderWithNoMarks)
{
    Form2Harness h;
    EXPECT_EQ(Captions(h.m().mnupopup),
              (QStringList{u"Play Status"_qs, u"-"_qs, u"&Next"_qs, u"&Previous"_qs, u"-"_qs, u"&CD"_qs, u"&Speed"_qs,
                           u"Play List"_qs, u"Volume"_qs, u"-"_qs, u"&About"_qs, u"Email Me"_qs, u"Read Me"_qs,
                           u"Tag Info "_qs, u"-"_qs, u"&Exit"_qs}));
    EXPECT_EQ(Captions(h.m().mnuplaystatus), (QStringList{u"&Play"_qs, u"&Stop"_qs, u"-"_qs, u"Farward"_qs,
                                                          u"Rewind"_qs, u"&Pause"_qs, u"&Resume"_qs}));
    EXPECT_EQ(Captions(h.m().mnupopupspeed),
              (QStringList{u"-25"_qs, u"-50"_qs, u"-"_qs, u"100"_qs, u"-"_qs, u"+150"_qs, u"+200"_qs}));
    EXPECT_EQ(Captions(h.m().mnupopupplaylist), (QStringList{u"Save List"_qs, u"Load List"_qs, u"&Repeat"_qs,
                                                             u"Shufle"_qs, u"Off After Song"_qs, u"Up Play List"_qs}));
    EXPECT_EQ(Captions(h.m().mnupopupvolume), (QStringList{u"&Mute"_qs, u"Up"_qs, u"Down"_qs, u"Balance Left"_qs,
                                                           u"Balance Center"_qs, u"Balance Right"_qs}));
    EXPECT_EQ(Captions(h.m().mnupopupcd), (QStringList{u"&Eject"_qs, u"&Close"_qs}));
    for (QAction* a : h.form->findChildren<QAction*>()) {
        EXPECT_FALSE(a->isChecked()) << a->objectName().toStdString();
        EXPECT_TRUE(a->shortcut().isEmpty()) << a->objectName().toStdString();
    }
}

TEST(Form2StartUp, UnloadIsAnnouncedOnce)
{
    Form2Harness h;
    QSignalSpy unloading(h.form.get(), &Form2::Unloading);
    h.form->show();
    h.form->close();
    h.form->close();
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(h.form->Timer2().isActive());
}

TEST(Form2StartUp, NextStepRunsOnceWhenTheWindowIsOnTheScreen)
{
    QWidget shown;
    shown.resize(50, 50);
    shown.show();
    int shownRuns = 0;
    AfterExposed(
        shown, [&] { ++shownRuns; }, 5000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownRuns > 0; }, 3000)) << "the exposure, not the fallback";
    shown.hide();
    shown.show();
    QTest::qWait(50);
    EXPECT_EQ(shownRuns, 1);

    // A window that never reaches the screen still gets its next step.
    QWidget never;
    int neverRuns = 0;
    QElapsedTimer clock;
    clock.start();
    AfterExposed(
        never, [&] { ++neverRuns; }, 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return neverRuns > 0; }, 3000));
    EXPECT_GE(clock.elapsed(), 90);
    QTest::qWait(150);
    EXPECT_EQ(neverRuns, 1);
}

// The buttons' pictures are read on the thread that reads the skin, before
// the window exists: every picture button of the design gets its file from
// there, and the window shows what was read, not a second reading.
TEST(Form2StartUp, ButtonPicturesReadAheadAreTheOnesShown)
{
    const QStringList names = PictureButtonNames();
    EXPECT_EQ(names.size(), 15);
    ButtonPictureFiles read = std::async(std::launch::async, [&] {
                                  return ReadButtonPictures(names, {QStringLiteral(CORVAN_ASSETS_DIR)});
                              }).get();
    ASSERT_EQ(read.size(), names.size());
    for (const QString& name : names)
        EXPECT_TRUE(read.value(name).picture) << name.toStdString() << ": " << read.value(name).reason.toStdString();

    QImage red(22, 17, QImage::Format_RGB32);
    red.fill(Qt::red);
    read[QStringLiteral("Command13")].picture = red;
    read[QStringLiteral("Command13")].densePath.clear();
    read[QStringLiteral("Command14")] = ReadButtonPicture(QStringLiteral("NoSuchButton"),
                                                          {QStringLiteral(CORVAN_ASSETS_DIR)});
    FakeMediaEngine engine;
    Form2 form(engine, Desktop{}, ReadFolderView(FilePath::FromBytes(".")), read);
    const QImage shown = form.Controls().Command13->icon().pixmap(QSize(22, 17), 1.0).toImage();
    EXPECT_EQ(shown.pixelColor(11, 8), QColor(Qt::red));
    EXPECT_TRUE(form.Controls().Command14->icon().isNull()) << "a picture that could not be read leaves it plain";
    EXPECT_FALSE(form.Controls().Command12->icon().isNull());
}

// The faces are loaded ahead by drawing out of sight: the window and its
// controls are the same after it, down to the pixel.
TEST(Form2StartUp, FacesLoadedAheadLeaveTheWindowAsItWas)
{
    FakeMediaEngine engine;
    Form2 form(engine, Desktop{}, ReadFolderView(FilePath::FromBytes(CORVAN_ASSETS_DIR)), {});
    form.show();
    const QImage before = form.grab().toImage();
    const QString search = form.Controls().Text1->text();
    LoadFacesAhead(form);
    EXPECT_EQ(form.grab().toImage(), before);
    EXPECT_EQ(form.Controls().Text1->text(), search);
}

}  // namespace
}  // namespace corvan::test
