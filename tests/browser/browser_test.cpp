#include "form2_harness.h"

#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace corvan::test {
namespace {

QStringList Entries(const FileListBox* list)
{
    QStringList out;
    for (int i = 0; i < list->ListCount(); ++i)
        out << list->Entry(i);
    return out;
}

// Which of the layout's controls are shown, by their own flags, and where
// the file list stands.
struct Layout {
    bool drive, dir, file, list, combo, check5, find;
    QRect file1;
    QRect list1 = QRect(170, 64, 211, 288);
    bool operator==(const Layout&) const = default;
};

void PrintTo(const Layout& l, std::ostream* os)
{
    *os << "{Drive1 " << l.drive << " Dir1 " << l.dir << " File1 " << l.file << " List1 " << l.list << " Combo1 "
        << l.combo << " Check5 " << l.check5 << " Command21 " << l.find << " File1 at " << l.file1.x() << ","
        << l.file1.y() << " " << l.file1.width() << "x" << l.file1.height() << " List1 at " << l.list1.x() << ","
        << l.list1.y() << " " << l.list1.width() << "x" << l.list1.height() << "}";
}

Layout Now(Form2Harness& h)
{
    Form2Controls& c = h.c();
    return {!c.Drive1->isHidden(),    !c.Dir1->isHidden(),   !c.File1->isHidden(),
            !c.List1->isHidden(),     !c.Combo1->isHidden(), !c.Check5->isHidden(),
            !c.Command21->isHidden(), c.File1->geometry(),   c.List1->geometry()};
}

const QRect kDesignPlace(170, 64, 210, 288);
const QRect kBrowsePlace(175, 60, 205, 300);
const QRect kWidePlace(25, 60, 355, 288);

TEST(Layouts, ToggleSequences)
{
    const Layout browseAtDesign{true, true, true, false, false, false, false, kDesignPlace};
    const Layout search{true, true, false, true, true, true, true, kDesignPlace};
    const Layout browse{true, true, true, false, false, false, false, kBrowsePlace};
    const Layout list{false, false, true, false, false, false, false, kWidePlace};
    const Layout listWithPanel{false, false, true, false, true, true, true, kWidePlace};

    // A step clicks a button of the row, or (nullptr) plays a file of the
    // playlist, which widens it over the drive and folder lists.
    struct Step {
        PictureButton* Form2Controls::*button;
        Layout after;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } sequences[] = {
        {"search and back", {{&Form2Controls::Command9, search}, {&Form2Controls::Command9, browse}}},
        {"list and back", {{&Form2Controls::Command10, list}, {&Form2Controls::Command10, browse}}},
        {"browse track from search keeps the panel",
         {{&Form2Controls::Command9, search}, {&Form2Controls::Command10, listWithPanel}}},
        {"show search from the list layout is the whole search layout",
         {{&Form2Controls::Command10, list},
          {&Form2Controls::Command9, {true, true, false, true, true, true, true, kWidePlace}},
          {&Form2Controls::Command9, browse}}},
        {"show search after playing from the playlist leaves out the drive and folder lists",
         {{&Form2Controls::Command9, search},
          {nullptr, {false, false, false, true, true, true, true, kDesignPlace, kWidePlace}},
          {&Form2Controls::Command9, {false, false, true, false, false, false, false, kBrowsePlace, kWidePlace}}}},
    };
    for (const auto& seq : sequences) {
        SCOPED_TRACE(seq.name);
        Form2Harness h;
        ASSERT_EQ(Now(h), browseAtDesign);
        h.form->show();
        for (const Step& step : seq.steps) {
            if (step.button) {
                QTest::mouseClick(h.c().*step.button, Qt::LeftButton);
            } else {
                QListWidget* playlist = h.c().List1;
                const QPoint at = playlist->visualItemRect(playlist->item(0)).center();
                QTest::mouseClick(playlist->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(playlist->viewport(), Qt::LeftButton, {}, at);
            }
            EXPECT_EQ(Now(h), step.after);
        }
    }
}

class BrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = dir.path();
        QDir(root).mkpath(u"one/inner"_qs);
        QDir(root).mkpath(u"two"_qs);
        for (const QString& f : {u"one/a.mp3"_qs, u"one/b.wav"_qs, u"two/c.mid"_qs})
            QFile(root + u'/' + f).open(QIODevice::WriteOnly);
        h.ShowFolder(root + u"/one"_qs);
        h.engine.calls.clear();
    }

    QTemporaryDir dir;
    QString root;
    Form2Harness h;
};

// Linux names files by bytes; a name that is not UTF-8 (an old collection
// with Latin-1 names) shows with a replacement character and is still
// entered, listed and started by its own bytes.
TEST_F(BrowserTest, NamesThatAreNotUtf8AreListedAndStartedByTheirBytes)
{
    Form2Controls& c = h.c();
    const QByteArray folder = root.toUtf8() + "/vieux \xe9t\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0755), 0);
    for (const QByteArray& name : {QByteArray("caf\xe9 song.wav"), QByteArray("ok.wav"), QByteArray("\xff.mp3")})
        ASSERT_GE(::close(::creat((folder + '/' + name).constData(), 0644)), 0);

    ASSERT_TRUE(c.Dir1->SetPath(P(root)));
    const QString shownFolder = u"vieux "_qs + QChar(0xFFFD) + u"t"_qs + QChar(0xFFFD);
    const auto entry = c.Dir1->findItems(shownFolder, Qt::MatchExactly);
    ASSERT_EQ(entry.size(), 1);
    QTest::keyClick(c.Dir1, Qt::Key_Down);  // any key first: the list takes the focus
    c.Dir1->setCurrentItem(entry.front());
    QTest::keyClick(c.Dir1, Qt::Key_Return);
    EXPECT_EQ(c.Dir1->Path().Bytes(), folder);
    EXPECT_EQ(c.File1->Path().Bytes(), folder);
    EXPECT_EQ(Entries(c.File1), (QStringList{u"caf"_qs + QChar(0xFFFD) + u" song.wav"_qs, u"ok.wav"_qs,
                                             QString(QChar(0xFFFD)) + u".mp3"_qs}));

    c.File1->SetListIndex(0);
    emit c.File1->DoubleClicked();
    ASSERT_FALSE(h.engine.filePath.IsEmpty());
    EXPECT_EQ(h.engine.filePath.Bytes(), folder + "/caf\xe9 song.wav");
    EXPECT_EQ(c.Label1->text(), u"caf"_qs + QChar(0xFFFD) + u" song.wav"_qs);
}

TEST_F(BrowserTest, FileListFollowsTheFolderListOnlyWhileItShows)
{
    Form2Controls& c = h.c();
    c.File1->SetListIndex(1);
    ASSERT_TRUE(c.Dir1->SetPath(P(root + u"/two"_qs)));
    EXPECT_EQ(c.File1->Path(), root + u"/two"_qs);
    EXPECT_EQ(Entries(c.File1), QStringList{u"c.mid"_qs});
    EXPECT_EQ(c.File1->ListIndex(), -1);

    c.Command9->click();  // search layout: the file list is hidden
    ASSERT_TRUE(c.Dir1->SetPath(P(root + u"/one"_qs)));
    c.Command9->click();
    EXPECT_EQ(c.File1->Path(), root + u"/two"_qs) << "it shows the folder it showed before";
    ASSERT_TRUE(c.Dir1->SetPath(P(root + u"/one/inner"_qs)));
    EXPECT_EQ(c.File1->Path(), root + u"/one/inner"_qs);
}

TEST_F(BrowserTest, DriveChoiceWhileTheFileListShows)
{
    Form2Controls& c = h.c();
    // Drives are mount points; a folder stands in for one here.
    c.Drive1->addItem(root + u"/two [TWO]"_qs);
    c.Drive1->addItem(root + u"/gone"_qs);

    c.Drive1->SetDrive(root + u"/two [TWO]"_qs);
    EXPECT_EQ(c.Dir1->Path(), root + u"/two"_qs);
    EXPECT_EQ(c.File1->Path(), root + u"/two"_qs);

    c.Drive1->SetDrive(root + u"/gone"_qs);
    EXPECT_EQ(c.Dir1->Path(), root + u"/two"_qs) << "an unavailable drive is ignored";
    EXPECT_EQ(c.Drive1->Drive(), root + u"/gone"_qs);
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST_F(BrowserTest, UnavailableDriveWhileSearchingIsReportedAndUndone)
{
    Form2Controls& c = h.c();
    c.Drive1->addItem(root + u"/gone"_qs);
    c.Command9->click();
    const QString before = c.Drive1->Drive();

    c.Drive1->SetDrive(root + u"/gone"_qs);
    EXPECT_EQ(h.messages, QStringList{u"QZFileFind Error|Drive not available!"_qs});
    EXPECT_EQ(c.Dir1->Path(), root + u"/one"_qs);
    EXPECT_EQ(MountPointOf(c.Drive1->Drive()), MountPointHolding(P(root))) << "back to the drive of the folder";
    EXPECT_EQ(c.Drive1->Drive(), before);
}

TEST_F(BrowserTest, OpenFileDialogPlaysOneFileOutsideTheQueue)
{
    Form2Controls& c = h.c();
    c.File1->SetListIndex(1);
    const QString chosen = root + u"/two/c.mid"_qs;
    const QString asked = u"open|Open Music Files|Music Files(*.Mp3 *.Wav *.Mid) |*.Mp3; *.Wav; *.Mid|"_qs;
    const struct {
        const char* name;
        std::function<void()> fire;
    } triggers[] = {
        {"Label6", [&] { QTest::mouseClick(c.Label6, Qt::LeftButton); }},
        {"Open &Open", [&] { c.Open->click(); }},
        {"Command16", [&] { QTest::mouseClick(c.Command16, Qt::LeftButton); }},
    };
    for (const auto& t : triggers) {
        SCOPED_TRACE(t.name);
        h.dialogs.clear();
        h.engine.calls.clear();
        h.openAnswers = {chosen};
        t.fire();
        EXPECT_EQ(h.dialogs, QStringList{asked});
        EXPECT_EQ(h.engine.calls, QStringList{u"FileName "_qs + chosen});
    }
    EXPECT_EQ(c.File1->ListIndex(), 1);
    EXPECT_EQ(c.Label1->text(), u"Corvan Media Player"_qs);
    EXPECT_EQ(c.Label4->text(), u"Label4"_qs);

    h.engine.calls.clear();
    c.Command16->click();  // cancelled: no answer
    EXPECT_TRUE(h.engine.calls.isEmpty()) << "a cancelled dialog leaves what plays alone";
}

TEST_F(BrowserTest, FileListKeys)
{
    const struct {
        const char* name;
        QString keys;
        long volumeBefore;
        bool muteBefore;
        QStringList calls;
    } cases[] = {
        {"plus", u"+"_qs, -2500, false, {u"Volume -2300"_qs}},
        {"plus at full is refused", u"++"_qs, 0, false, {u"Volume 200"_qs, u"Volume 200"_qs}},
        {"minus", u"-"_qs, -2500, false, {u"Volume -2700"_qs}},
        {"minus at silence is refused", u"-"_qs, -10000, false, {u"Volume -10200"_qs}},
        {"mute on and off", u"mm"_qs, -2500, false, {u"Mute 1"_qs, u"Mute 0"_qs}},
        {"seek back", u"1"_qs, -2500, false, {u"CurrentPosition 5"_qs}},
        {"seek forward", u"2"_qs, -2500, false, {u"CurrentPosition 25"_qs}},
        {"upper case and others do nothing", u"NMx0 "_qs, -2500, false, {}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        h.engine.volume = k.volumeBefore;
        h.engine.mute = k.muteBefore;
        h.engine.open = true;
        h.engine.duration = 30;
        h.engine.position = 15;
        h.engine.calls.clear();
        QTest::keyClicks(h.c().File1, k.keys);
        EXPECT_EQ(h.engine.calls, k.calls);
        EXPECT_GE(h.engine.volume, MediaEngine::kVolumeMin);
        EXPECT_LE(h.engine.volume, MediaEngine::kVolumeMax);
    }
    EXPECT_EQ(h.c().Label11->text(), QString()) << "the mute square is not told";
}

TEST_F(BrowserTest, KeyStillReachesTheTypeAhead)
{
    h.ShowFolder(root + u"/one"_qs, {u"m1.mp3"_qs, u"x.mp3"_qs});
    h.c().File1->SetListIndex(0);
    h.engine.calls.clear();
    QTest::keyClick(h.c().File1, 'm');
    EXPECT_EQ(h.engine.calls, QStringList{u"Mute 1"_qs});
    EXPECT_EQ(h.c().File1->SelectedName(), u"m1.mp3"_qs);
}

TEST_F(BrowserTest, TooltipNamesTheOpenClipNotTheEntryUnderThePointer)
{
    FileListBox* list = h.c().File1;
    h.engine.open = true;
    h.engine.author = u"Some One"_qs;
    h.engine.title = u"A Song"_qs;
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), list->viewport()->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    EXPECT_EQ(list->toolTip(), u" AUTHOR Some One TITLE A Song"_qs);

    h.engine.open = false;  // nothing open: the tooltip stays
    QApplication::sendEvent(list->viewport(), &move);
    EXPECT_EQ(list->toolTip(), u" AUTHOR Some One TITLE A Song"_qs);
}

TEST_F(BrowserTest, RightPressInTheListsOpensThePopupMenu)
{
    h.form->show();
    for (QAbstractItemView* list :
         {static_cast<QAbstractItemView*>(h.c().File1), static_cast<QAbstractItemView*>(h.c().Dir1)}) {
        SCOPED_TRACE(list->objectName().toStdString());
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        EXPECT_TRUE(QTest::qWaitFor([&] { return h.m().mnupopup->isVisible(); }, 2000));
        h.m().mnupopup->close();
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    }
}

// Names a collection really holds, and things a folder holds beside files.
TEST(FileListing, ListsOnlyMediaFilesWhateverTheirNames)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    const QStringList media{u"with spaces.mp3"_qs,
                            u"\"quoted\" it's.wav"_qs,
                            u"hash #1.mid"_qs,
                            u"ünïcödé ñame.WMA"_qs,
                            u"percent %41%20.wmv"_qs,
                            u"Zed.Mp3"_qs,
                            u"a.mp3"_qs};
    for (const QString& n : media + QStringList{u".hidden.mp3"_qs, u"notes.txt"_qs, u"mp3"_qs, u"a.mp3.part"_qs})
        ASSERT_TRUE(QFile(d + u'/' + n).open(QIODevice::WriteOnly));
    QDir(d).mkdir(u"folder.mp3"_qs);
    QFile::link(d + u"/a.mp3"_qs, d + u"/link to a.mp3"_qs);
    QFile::link(d + u"/nowhere"_qs, d + u"/broken link.mp3"_qs);

    const auto names = ListMatchingFiles(P(d), PatternList(FileListBox::MediaPattern()));
    ASSERT_TRUE(names);
    EXPECT_EQ(*names,
              (QStringList{u"\"quoted\" it's.wav"_qs, u"a.mp3"_qs, u"hash #1.mid"_qs, u"link to a.mp3"_qs,
                           u"percent %41%20.wmv"_qs, u"with spaces.mp3"_qs, u"Zed.Mp3"_qs, u"ünïcödé ñame.WMA"_qs}));
}

TEST(FileListing, FoldersThatCannotBeListedLeaveTheListAsItWas)
{
    QTemporaryDir dir;
    Form2Harness h;
    h.ShowFolder(dir.path(), {u"a.mp3"_qs});
    FileListBox* list = h.c().File1;
    list->SetListIndex(0);
    for (const QString& bad : {QString(), dir.path() + u"/missing"_qs, dir.path() + u"/a.mp3"_qs}) {
        EXPECT_FALSE(list->SetPath(P(bad))) << bad.toStdString();
        EXPECT_FALSE(h.c().Dir1->SetPath(P(bad))) << bad.toStdString();
    }
    EXPECT_EQ(list->Path(), dir.path());
    EXPECT_EQ(list->ListIndex(), 0);
    EXPECT_EQ(h.c().Dir1->Path(), dir.path());
}

TEST(FileListing, FolderRemovedWhileShown)
{
    QTemporaryDir dir;
    const QString shown = dir.path() + u"/shown"_qs;
    Form2Harness h;
    h.ShowFolder(shown, {u"a.mp3"_qs, u"b.mp3"_qs});
    h.form->show();
    QDir(shown).removeRecursively();

    // The names stay on show; starting one hands the engine a path it
    // refuses, and the window goes on working.
    FileListBox* list = h.c().File1;
    list->SetListIndex(1);
    emit list->DoubleClicked();
    EXPECT_EQ(h.engine.fileName, shown + u"/b.mp3"_qs);
    EXPECT_FALSE(h.engine.open);
    list->Refresh();
    EXPECT_EQ(list->ListCount(), 2);
    EXPECT_FALSE(h.c().Dir1->SetPath(P(shown)));

    ASSERT_TRUE(h.c().Dir1->SetPath(P(dir.path())));
    EXPECT_EQ(list->Path(), dir.path());
    EXPECT_EQ(list->ListCount(), 0);
}

TEST(FileListing, RootFolder)
{
    Form2Harness h;
    ASSERT_TRUE(h.c().Dir1->SetPath(P(u"/"_qs)));
    EXPECT_EQ(h.c().Dir1->Path(), u"/"_qs);
    EXPECT_EQ(h.c().File1->Path(), u"/"_qs);
    EXPECT_EQ(h.c().Dir1->item(0)->text(), u"/"_qs);
    EXPECT_EQ(h.c().File1->SelectedPath(), u"//"_qs) << "nothing selected: the bare root";
}

}  // namespace
}  // namespace corvan::test
