#include "form2_harness.h"
#include "playlist/queue_search.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace corvan::test {
namespace {

std::optional<int> LinearFirst(const QStringList& names, const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (int i = 0; i < names.size(); ++i) {
        if (names[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return std::nullopt;
}

TEST(QueueSearch, FindsTheFirstEntryStartingWithTheText)
{
    const QStringList queue{u"Alpha.mp3"_qs, u"beta.mp3"_qs, u"Shadow.mp3"_qs,
                            u"shine.mp3"_qs, u"Sky.wav"_qs,  u"zeta.mid"_qs};
    const struct {
        QStringList names;
        QString text;
        std::optional<int> found;
    } cases[] = {
        {queue, u"s"_qs, 2},
        {queue, u"sh"_qs, 2},
        {queue, u"SHI"_qs, 3},
        {queue, u"sK"_qs, 4},
        {queue, u"a"_qs, 0},
        {queue, u"zeta.mid"_qs, 5},
        {queue, u"x"_qs, std::nullopt},
        {queue, u"0"_qs, std::nullopt},
        {queue, u"zeta.mid.longer"_qs, std::nullopt},
        {queue, u""_qs, std::nullopt},
        {{}, u"a"_qs, std::nullopt},
        {{u"one.mp3"_qs}, u"o"_qs, 0},
        {{u"one.mp3"_qs}, u"t"_qs, std::nullopt},
        {{u"a1.mp3"_qs, u"a2.mp3"_qs}, u"a"_qs, 0},
        {{u"a1.mp3"_qs, u"a2.mp3"_qs}, u"A2"_qs, 1},
        // Blanks, quotes and non-ASCII letters are ordinary code units.
        {{u"\"q\" song.mp3"_qs, u"my song.mp3"_qs, u"ünï.mp3"_qs}, u"MY S"_qs, 1},
        {{u"\"q\" song.mp3"_qs, u"my song.mp3"_qs, u"ünï.mp3"_qs}, u"Ünï"_qs, 2},
        // "_" sorts before letters without regard to case but after them in
        // upper case: the halving walks past it, as the queue's order allows.
        {{u"_x.mp3"_qs, u"A1.mp3"_qs, u"b1.mp3"_qs, u"c1.mp3"_qs}, u"_"_qs, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindQueueEntry(c.names, c.text), c.found)
            << c.text.toStdString() << " in " << c.names.join(u',').toStdString();
    }
}

TEST(QueueSearch, AgreesWithALinearScanOverLettersOnlyQueues)
{
    // With letters and digits only, both orders agree, so the halving must
    // find exactly what a scan from the top finds, for every prefix of every
    // entry, at every queue length (odd and even halvings alike).
    QRandomGenerator random(7);
    for (int length = 0; length <= 70; ++length) {
        QStringList names;
        for (int i = 0; i < length; ++i) {
            QString name;
            const int size = 1 + int(random.bounded(4));
            for (int k = 0; k < size; ++k)
                name += QChar(u"aAbBcC1"[random.bounded(7)]);
            names << name;
        }
        std::sort(names.begin(), names.end(),
                  [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
        for (const QString& name : names) {
            for (int n = 1; n <= name.size() + 1; ++n) {
                const QString text = n <= name.size() ? name.left(n) : name + u'z';
                ASSERT_EQ(FindQueueEntry(names, text), LinearFirst(names, text))
                    << text.toStdString() << " in " << names.join(u',').toStdString();
            }
        }
    }
}

class SearchBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.ShowFolder(dir.path(), {u"alpha.mp3"_qs, u"Shadow.mp3"_qs, u"shine.mp3"_qs, u"Sky.mp3"_qs,
                                  u"Search Song in Playlist, live.mp3"_qs});
        // sorted: alpha, Search Song..., Shadow, shine, Sky
        h.form->show();
        h.form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(h.form.get(), 2000));
        h.c().Text1->setFocus();
        h.c().Text1->clear();
        h.engine.calls.clear();
    }

    int Selected() { return h.c().File1->ListIndex(); }

    QTemporaryDir dir;
    Form2Harness h;
};

TEST_F(SearchBoxTest, TypingNarrowsAndDeletingWidensTheSelection)
{
    TextBox* box = h.c().Text1;
    QTest::keyClicks(box, u"s"_qs);
    EXPECT_EQ(Selected(), 1);
    QTest::keyClicks(box, u"h"_qs);
    EXPECT_EQ(Selected(), 2);
    QTest::keyClicks(box, u"i"_qs);
    EXPECT_EQ(Selected(), 3);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(Selected(), 1);
    QTest::keyClicks(box, u"q"_qs);
    EXPECT_EQ(Selected(), 1) << "no match leaves the selection";
    EXPECT_EQ(box->text(), u"sq"_qs);
    EXPECT_TRUE(h.engine.calls.isEmpty()) << "searching never plays";
}

TEST_F(SearchBoxTest, ClickEmptiesTheBoxWithoutMovingTheSelection)
{
    h.c().File1->SetListIndex(3);
    QTest::mouseClick(h.c().Text1, Qt::LeftButton);
    EXPECT_EQ(h.c().Text1->text(), QString());
    EXPECT_EQ(Selected(), 3);
}

TEST_F(SearchBoxTest, LeavingTheBoxRestoresThePromptWhichIsSearchedToo)
{
    h.c().Text1->setText(u"al"_qs);
    ASSERT_EQ(Selected(), 0);
    h.c().File1->setFocus();
    EXPECT_EQ(h.c().Text1->text(), u"Search Song in Playlist"_qs);
    EXPECT_EQ(Selected(), 1) << "the prompt itself is searched for";

    // Left by a click on a picture button, which takes the focus as any
    // button does.
    QTest::mouseClick(h.c().Text1, Qt::LeftButton);
    QTest::keyClicks(h.c().Text1, u"sk"_qs);
    QTest::mouseClick(h.c().Command9, Qt::LeftButton);
    EXPECT_EQ(h.c().Text1->text(), u"Search Song in Playlist"_qs);
}

TEST_F(SearchBoxTest, WindowLosingTheActivationKeepsTheText)
{
    h.c().Text1->setText(u"sh"_qs);
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other, 2000));
    EXPECT_EQ(h.c().Text1->text(), u"sh"_qs);
}

TEST_F(SearchBoxTest, EnterPlaysTheSelectedEntry)
{
    QTest::keyClicks(h.c().Text1, u"sk"_qs);
    QTest::keyClick(h.c().Text1, Qt::Key_Return);
    EXPECT_EQ(h.engine.calls, (QStringList{u"Play"_qs, u"FileName "_qs + dir.path() + u"/Sky.mp3"_qs}));
    EXPECT_EQ(h.c().Playing->text(), u"Playing 5"_qs);
    EXPECT_EQ(h.c().Label4->text(), u"Label4"_qs);
}

}  // namespace
}  // namespace corvan::test
