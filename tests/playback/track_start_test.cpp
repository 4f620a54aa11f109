#include "form2_harness.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace corvan::test {
namespace {

void DoubleClickEntry(Form2Harness& h, int index)
{
    QListWidget* list = h.c().File1;
    const QRect r = list->visualItemRect(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

TEST(TrackStart, FileListShowsMediaFilesSortedWithoutRegardToCase)
{
    QTemporaryDir dir;
    Form2Harness h;
    h.ShowFolder(dir.path(), {u"b.MP3"_qs, u"A.wav"_qs, u"c.txt"_qs, u".hidden.mp3"_qs, u"d.Mid"_qs, u"e.wma"_qs,
                              u"f.wmv"_qs, u"g.mp3.bak"_qs});
    QStringList shown;
    for (int i = 0; i < h.c().File1->ListCount(); ++i)
        shown << h.c().File1->Entry(i);
    EXPECT_EQ(shown, (QStringList{u"A.wav"_qs, u"b.MP3"_qs, u"d.Mid"_qs, u"e.wma"_qs, u"f.wmv"_qs}));
}

TEST(TrackStart, DoubleClickStartsTheEntryAndFillsTheDisplayInOrder)
{
    QTemporaryDir dir;
    Form2Harness h;
    h.ShowFolder(dir.path(), {u"one.mp3"_qs, u"two.mp3"_qs, u"three.mp3"_qs});
    h.engine.title = u"My Song"_qs;
    h.engine.author = u"Author"_qs;
    h.form->show();

    DoubleClickEntry(h, 2);  // sorted: one, three, two

    EXPECT_EQ(h.engine.callsOf(u"FileName"_qs), QStringList{dir.path() + u"/two.mp3"_qs});
    EXPECT_TRUE(h.engine.callsOf(u"Play"_qs).isEmpty()) << "writing the file name starts it";
    EXPECT_EQ(h.c().Label1->text(), u"two.mp3"_qs);
    EXPECT_EQ(h.c().Label4->text(), u"3"_qs);
    EXPECT_EQ(h.c().Total->text(), u"Total 3"_qs);
    EXPECT_EQ(h.c().Label2->text(), u"3"_qs);
    EXPECT_EQ(h.c().Playing->text(), u"Playing 3"_qs);
    EXPECT_EQ(h.c().Text1->text(), u"Title  My Song  Author  Author"_qs);

    // the list layout follows
    EXPECT_FALSE(h.c().Drive1->isVisible());
    EXPECT_FALSE(h.c().Dir1->isVisible());
    EXPECT_EQ(h.c().File1->geometry(), QRect(25, 60, 355, 288));
}

TEST(TrackStart, TagsNotYetReadGiveTheBareTagsLine)
{
    QTemporaryDir dir;
    Form2Harness h;
    h.ShowFolder(dir.path(), {u"a.mp3"_qs});
    h.form->show();
    DoubleClickEntry(h, 0);
    EXPECT_EQ(h.c().Text1->text(), u"Title    Author  "_qs);
}

// The engine reads tags while the file opens; they come after the start.
TEST(TrackStart, TagsThatComeAfterTheStartFillTheBareLine)
{
    QTemporaryDir dir;
    Form2Harness h;
    h.ShowFolder(dir.path(), {u"a.mp3"_qs, u"b.mp3"_qs});
    h.form->show();
    DoubleClickEntry(h, 0);
    h.engine.title = u"Song"_qs;
    h.engine.author = u"Singer"_qs;
    emit h.engine.TagsChanged();
    EXPECT_EQ(h.c().Text1->text(), u"Title  Song  Author  Singer"_qs);

    // Once the box shows something else, late tags leave it alone: here
    // the person has clicked into it to search.
    DoubleClickEntry(h, 1);
    h.c().Text1->setText(QString());
    emit h.engine.TagsChanged();
    EXPECT_EQ(h.c().Text1->text(), QString());

    // Nor do the tags of another file than the one whose line it is.
    h.engine.title.clear();
    h.engine.author.clear();
    DoubleClickEntry(h, 0);
    h.engine.SetFileName(P(dir.path() + u"/b.mp3"_qs));
    h.engine.title = u"Other"_qs;
    emit h.engine.TagsChanged();
    EXPECT_EQ(h.c().Text1->text(), u"Title    Author  "_qs);
}

TEST(TrackStart, SameEntryTwiceRestartsIt)
{
    QTemporaryDir dir;
    Form2Harness h;
    h.ShowFolder(dir.path(), {u"a.mp3"_qs});
    h.form->show();
    DoubleClickEntry(h, 0);
    DoubleClickEntry(h, 0);
    EXPECT_EQ(h.engine.callsOf(u"FileName"_qs).size(), 2);
}

TEST(TrackStart, RootFolderGivesDoubleSlashThatNamesTheSameFile)
{
    Form2Harness h;
    h.c().File1->SetPattern(u"*"_qs);
    ASSERT_TRUE(h.c().File1->SetPath(P(u"/"_qs)));
    if (h.c().File1->ListCount() == 0)
        GTEST_SKIP() << "no plain file at the root";
    h.c().File1->SetListIndex(0);
    const QString joined = h.c().File1->SelectedPath().Text();
    EXPECT_TRUE(joined.startsWith(u"//"_qs));
    EXPECT_TRUE(QFileInfo(joined).isFile());
}

TEST(TrackStart, SingleClickOnlyMovesTheSelection)
{
    QTemporaryDir dir;
    Form2Harness h;
    h.ShowFolder(dir.path(), {u"a.mp3"_qs, u"b.mp3"_qs});
    h.form->show();
    QListWidget* list = h.c().File1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(h.c().File1->ListIndex(), 1);
    EXPECT_TRUE(h.engine.callsOf(u"FileName"_qs).isEmpty());
    EXPECT_EQ(h.c().Label4->text(), u"Label4"_qs);
}

}  // namespace
}  // namespace corvan::test
