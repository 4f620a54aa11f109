#include "form2_harness.h"
#include "playlist/playlist_commands.h"
#include "playlist/progress_throttle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace corvan::test {
namespace {

using namespace Qt::StringLiterals;

QStringList Lines(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QByteArray ReadAll(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct PlaylistWindow : Form2Harness {
    PlaylistWindow()
    {
        form->show();
        c().Label1->setText(u"before"_s);
    }
    void Find(const QString& folder, const QString& pattern)
    {
        c().Dir1->SetPath(P(folder));
        c().Combo1->setEditText(pattern);
        c().Command21->click();
    }
    void SetLines(const QStringList& lines)
    {
        c().List1->clear();
        c().List1->addItems(lines);
    }
    QPoint LineCentre(int row) { return c().List1->visualItemRect(c().List1->item(row)).center(); }
};

TEST(FindMedia, FillsThePlaylistWithWhatItFinds)
{
    QTemporaryDir tmp;
    const QString root = tmp.path();
    Touch(root + u"/b/two.MP3"_s);
    Touch(root + u"/a/one.mp3"_s);
    Touch(root + u"/a/skip.wav"_s);
    PlaylistWindow h;
    h.SetLines({u"old"_s});

    h.Find(root, u"*.MP3"_s);

    EXPECT_EQ(Lines(h.c().List1), (QStringList{root + u"/a/one.mp3"_s, root + u"/b/two.MP3"_s}));
    EXPECT_EQ(h.c().Label2->text(), u"2"_s);
    EXPECT_EQ(h.c().Label1->text(), u""_s);
    EXPECT_TRUE(h.messages.isEmpty());

    // A second search replaces the first whole; finding nothing leaves one line.
    h.Find(root, u"*.none"_s);
    EXPECT_EQ(Lines(h.c().List1), QStringList{u"No matching files found"_s});
    EXPECT_EQ(h.c().Label2->text(), u"0"_s);
    h.Find(root, QString());
    EXPECT_EQ(Lines(h.c().List1), QStringList{u"No matching files found"_s});
    EXPECT_EQ(h.c().Label1->text(), u""_s);
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST(FindMedia, FailuresShowTheirMessage)
{
    QTemporaryDir tmp;
    PlaylistWindow h;
    const QString gone = tmp.filePath(u"gone"_s);
    QDir().mkpath(gone);
    h.c().Dir1->SetPath(P(gone));
    QDir(gone).removeRecursively();
    h.SetLines({u"old"_s});
    h.c().Combo1->setEditText(u"*.MP3"_s);
    h.c().Command21->click();

    EXPECT_EQ(h.c().Label2->text(), u"-1"_s);
    EXPECT_EQ(h.messages, QStringList{u"QZFileFind|Invalid Path!"_s});
    EXPECT_EQ(Lines(h.c().List1), QStringList{u"No matching files found"_s});
    EXPECT_EQ(h.c().Label1->text(), u"before"_s) << "no progress had been shown";

    h.messages.clear();
    h.Find(tmp.path(), u"x/*.mp3"_s);
    EXPECT_EQ(h.c().Label2->text(), u"-52"_s);
    EXPECT_EQ(h.messages, QStringList{u"QZFileFind|Bad file name or number"_s});
    EXPECT_EQ(h.c().Label1->text(), u"Checking "_s + tmp.path() + u"/"_s) << "the last progress stays";
}

TEST(FindMedia, PlusKeyInThePlaylistSearchesToo)
{
    QTemporaryDir tmp;
    Touch(tmp.filePath(u"x.mp3"_s));
    PlaylistWindow h;
    h.c().Dir1->SetPath(P(tmp.path()));
    h.c().Combo1->setEditText(u"*.mp3"_s);
    ASSERT_FALSE(h.c().Combo1->isVisible()) << "the search runs on the hidden pattern box";

    QTest::keyClick(h.c().List1, Qt::Key_Minus);
    EXPECT_EQ(Lines(h.c().List1), QStringList{u"Search For Media"_s});
    QTest::keyClick(h.c().List1, Qt::Key_Plus);
    EXPECT_EQ(Lines(h.c().List1), QStringList{tmp.filePath(u"x.mp3"_s)});
}

TEST(PlaylistFiles, LoadShowsThePlaylistFirstAndReplacesIt)
{
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"list.sic"_s);
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("/m/a, b.mp3\r\n same\r\n same\r\n");
    f.close();

    PlaylistWindow h;
    bool listShownAtDialog = false;
    bool fileHiddenAtDialog = false;
    h.form->Desk().openFileName = [&](const QString& title, const QString& filter, const QString& dir) {
        h.dialogs << QStringList{u"open"_s, title, filter, dir}.join(u'|');
        listShownAtDialog = h.c().List1->isVisible();
        fileHiddenAtDialog = h.c().File1->isHidden();
        return h.openAnswers.isEmpty() ? QString() : h.openAnswers.takeFirst();
    };
    h.openAnswers = QStringList{name, name};
    h.m().mnupopuploadlist->trigger();
    h.m().mnupopuploadlist->trigger();

    EXPECT_TRUE(listShownAtDialog);
    EXPECT_TRUE(fileHiddenAtDialog);
    EXPECT_EQ(h.dialogs.first(), u"open|Load Mp3 PlayList|"_s + PlaylistCommands::LoadFilter() + u"|"_s + HomeFolder());
    EXPECT_TRUE(QFileInfo(HomeFolder()).isDir());
    EXPECT_EQ(Lines(h.c().List1), (QStringList{u"/m/a, b.mp3"_s, u" same"_s, u" same"_s}));

    // Cancelled: the playlist is visible and empty, and nothing is said.
    h.m().mnupopuploadlist->trigger();
    EXPECT_TRUE(h.c().List1->isVisible());
    EXPECT_EQ(h.c().List1->count(), 0);
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST(PlaylistFiles, SaveWritesEveryLine)
{
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"out.sic"_s);
    PlaylistWindow h;
    h.SetLines({u"/m/one.mp3"_s, u""_s, u"No matching files found"_s});
    h.saveAnswers = QStringList{name};
    h.m().mnupopupsavelist->trigger();
    EXPECT_EQ(h.dialogs,
              QStringList{u"save|Save Mp3 PlayList|"_s + PlaylistCommands::SaveFilter() + u"|"_s + HomeFolder()});
    EXPECT_EQ(ReadAll(name), "/m/one.mp3\r\n\r\nNo matching files found\r\n");

    // Cancelled: nothing is written anywhere, the playlist stays.
    h.m().mnupopupsavelist->trigger();
    EXPECT_EQ(h.c().List1->count(), 3);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.sic"_s});
    EXPECT_TRUE(h.messages.isEmpty());
}

// Writes past `bytes` fail with EFBIG, as on a full disk, for root too.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &before);
        previousSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previousSignal);
    }
    rlimit before{};
    void (*previousSignal)(int) = nullptr;
};

TEST(PlaylistFiles, AFailedSaveSaysSoAndKeepsTheOldFile)
{
    QTemporaryDir tmp;
    const QString name = tmp.filePath(u"out.sic"_s);
    PlaylistWindow h;
    h.SetLines({u"/m/old.mp3"_s});
    h.saveAnswers = QStringList{name};
    h.m().mnupopupsavelist->trigger();
    ASSERT_EQ(ReadAll(name), "/m/old.mp3\r\n");

    QStringList many;
    for (int i = 0; i < 200; ++i)
        many << u"/music/a rather long folder name/and a long file name %1.mp3"_s.arg(i);
    h.SetLines(many);
    h.saveAnswers = QStringList{name};
    {
        const FileSizeLimit full(4096);
        h.m().mnupopupsavelist->trigger();
    }
    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_TRUE(h.messages.front().startsWith(u"Save Mp3 PlayList|The playlist was not saved to \""_s + name))
        << h.messages.front().toStdString();
    EXPECT_EQ(ReadAll(name), "/m/old.mp3\r\n") << "the old list is intact";
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.sic"_s})
        << "no part-written file is left beside it";

    // A folder that is not there.
    h.messages.clear();
    h.saveAnswers = QStringList{tmp.filePath(u"gone/out.sic"_s)};
    h.m().mnupopupsavelist->trigger();
    EXPECT_EQ(h.messages.size(), 1);
}

TEST(PlaylistFiles, AListThatCannotBeReadSaysSo)
{
    QTemporaryDir tmp;
    PlaylistWindow h;
    h.openAnswers = QStringList{tmp.filePath(u"missing.sic"_s), tmp.path()};
    h.m().mnupopuploadlist->trigger();
    h.m().mnupopuploadlist->trigger();
    ASSERT_EQ(h.messages.size(), 2);
    EXPECT_TRUE(h.messages[0].startsWith(u"Load Mp3 PlayList|The playlist \""_s + tmp.filePath(u"missing.sic"_s)))
        << h.messages[0].toStdString();
    EXPECT_TRUE(h.messages[1].contains(tmp.path())) << "a folder is no list";
    EXPECT_EQ(h.c().List1->count(), 0);
}

TEST(PlaylistClicks, SelectingALineCopiesItIntoTheSearchBox)
{
    PlaylistWindow h;
    h.c().List1->show();
    h.SetLines({u"/m/one.mp3"_s, u"/m/two.mp3"_s});
    h.c().Text1->setText(u"typed"_s);

    QTest::mouseClick(h.c().List1->viewport(), Qt::LeftButton, {}, h.LineCentre(1));
    EXPECT_EQ(h.c().Text1->text(), u"/m/two.mp3"_s);
    QTest::keyClick(h.c().List1, Qt::Key_Up);
    EXPECT_EQ(h.c().Text1->text(), u"/m/one.mp3"_s);

    // Refilling the list is not a click: the search box keeps its text.
    h.c().Text1->setText(u"typed"_s);
    h.m().mnupopuploadlist->trigger();
    EXPECT_EQ(h.c().Text1->text(), u"typed"_s);
}

TEST(PlaylistClicks, DoubleClickPlaysTheLineInTheListLayout)
{
    PlaylistWindow h;
    h.c().List1->show();
    h.SetLines({u"/m/one.mp3"_s, u"/m/two, three.mp3"_s});
    const int height = h.c().List1->height();

    QTest::mouseClick(h.c().List1->viewport(), Qt::LeftButton, {}, h.LineCentre(1));
    QTest::mouseDClick(h.c().List1->viewport(), Qt::LeftButton, {}, h.LineCentre(1));

    EXPECT_EQ(h.c().Text1->text(), u"/m/two, three.mp3"_s);
    EXPECT_EQ(h.engine.callsOf(u"FileName"_s), QStringList{u"/m/two, three.mp3"_s});
    EXPECT_FALSE(h.c().Drive1->isVisible());
    EXPECT_FALSE(h.c().Dir1->isVisible());
    EXPECT_TRUE(h.c().List1->isVisible());
    EXPECT_EQ(h.c().List1->geometry(), QRect(25, 60, 355, height));
}

TEST(PlaylistClicks, RightPressOpensThePopupMenuAndKeepsTheSelection)
{
    PlaylistWindow h;
    h.c().List1->show();
    h.SetLines({u"/m/one.mp3"_s, u"/m/two.mp3"_s});
    h.c().List1->setCurrentRow(0);

    QTest::mousePress(h.c().List1->viewport(), Qt::RightButton, {}, h.LineCentre(1));

    EXPECT_TRUE(h.m().mnupopup->isVisible());
    EXPECT_EQ(h.c().List1->currentRow(), 0);
    h.m().mnupopup->hide();
}

TEST(PlaylistClicks, OnlyTheStartOfAVeryLongLineIsLaidOut)
{
    // Laying out all of a 10 MB line froze the window for many seconds.
    PlaylistWindow h;
    h.c().List1->show();
    h.SetLines({QString(10'000'000, u'x'), u"/m/a.mp3"_s});
    h.c().List1->repaint();
    EXPECT_LT(h.c().List1->visualItemRect(h.c().List1->item(0)).width(), 100'000);
    EXPECT_EQ(h.c().List1->item(0)->text().size(), 10'000'000) << "the line itself stays whole";
}

TEST(ProgressThrottle, ShowsAtMostOncePerIntervalAndAlwaysTheLast)
{
    qint64 now = 1000;
    QStringList shown;
    ProgressThrottle p([&](const QString& t) { shown << t; }, 33, [&] { return now; });
    p.Update(u"a"_s);  // the first is shown at once
    p.Update(u"b"_s);
    now += 10;
    p.Update(u"c"_s);
    now += 23;
    p.Update(u"d"_s);  // 33 ms after "a"
    p.Update(u"e"_s);
    p.Finish();
    EXPECT_EQ(shown, (QStringList{u"a"_s, u"d"_s, u"e"_s}));
    p.Finish();
    EXPECT_EQ(shown.size(), 3) << "nothing new to show";
}

}  // namespace
}  // namespace corvan::test
