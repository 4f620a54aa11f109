#include "playback/end_of_track.h"
#include "queue_fixture.h"

#include <QTest>

namespace corvan::test {
namespace {

const QStringList kABC{u"a.mp3"_qs, u"b.mp3"_qs, u"c.mp3"_qs};

TEST(EndOfTrackRules, FirstRuleThatAppliesWins)
{
    using R = EndOfTrackRule;
    const struct {
        bool repeat, turnOff, shuffle, up;
        const char* label4;
        const char* label2;
        R rule;
    } rows[] = {
        {false, false, false, false, "2", "3", R::GoDown},
        {false, false, false, false, "Label4", "Label2", R::GoDown},
        {false, false, false, false, "3", "3", R::WrapToFirst},
        {false, false, false, true, "2", "3", R::GoUp},
        {false, false, false, true, "3", "3", R::WrapToFirst},  // the wrap before going up
        {false, false, true, false, "3", "3", R::Shuffle},
        {false, false, true, true, "2", "3", R::Shuffle},
        {false, true, false, false, "3", "3", R::TurnOff},
        {false, true, true, false, "2", "3", R::TurnOff},
        {true, true, false, false, "2", "3", R::RepeatSong},  // repeats for ever, never ends
        {true, true, true, true, "3", "3", R::RepeatSong},
        {false, false, false, false, "03", "3", R::GoDown},  // compared as text
    };
    for (const auto& r : rows) {
        const EndOfTrackState s{
            r.repeat, r.turnOff, r.shuffle, r.up, QString::fromLatin1(r.label4), QString::fromLatin1(r.label2)};
        EXPECT_EQ(ChooseEndOfTrackRule(s), r.rule)
            << r.repeat << r.turnOff << r.shuffle << r.up << " " << r.label4 << "/" << r.label2;
    }
}

class EndOfTrackTest : public ::testing::Test {
protected:
    // Ends the playing file `times` times and returns what was opened.
    QStringList Finish(Queue& q, int times = 1)
    {
        q.h.engine.calls.clear();
        for (int i = 0; i < times; ++i)
            q.h.engine.finish();
        QStringList opened;
        for (const QString& path : q.h.engine.callsOf(u"FileName"_qs))
            opened << path.mid(q.dir.path().size() + 1);
        return opened;
    }
};

TEST_F(EndOfTrackTest, AfterADoubleClickTheQueuePlaysRoundForEver)
{
    Queue q(kABC);
    q.StartedByDoubleClick(0);
    EXPECT_EQ(Finish(q, 5), (QStringList{u"b.mp3"_qs, u"c.mp3"_qs, u"a.mp3"_qs, u"b.mp3"_qs, u"c.mp3"_qs}));
    EXPECT_EQ(q.Now(), (Display{u"c.mp3"_qs, u"3"_qs, u"3"_qs, u"Playing 1"_qs, u"Total 3"_qs, 2}))
        << "Playing, Total and Label2 stay as the start left them";
}

TEST_F(EndOfTrackTest, RulesFromWhereTheSelectionStands)
{
    const struct {
        const char* name;
        QStringList names;
        int started;   // entry started by a double-click, which arms the wrap; -1 for none
        int selected;  // File1's selection when the file ends
        QCheckBox* Form2Controls::*option;
        QStringList opened;  // "" is the bare folder
        QString label4;      // afterwards
    } cases[] = {
        {"moved by the user meanwhile", kABC, 0, 1, nullptr, {u"c.mp3"_qs}, u"3"_qs},
        {"shuffle skips one, Label4 kept",
         {u"a.mp3"_qs, u"b.mp3"_qs, u"c.mp3"_qs, u"d.mp3"_qs},
         0,
         0,
         &Form2Controls::Check3,
         {u"c.mp3"_qs},
         u"1"_qs},
        {"shuffle at the second-to-last entry repeats it", kABC, 1, 1, &Form2Controls::Check3, {u"b.mp3"_qs}, u"2"_qs},
        {"shuffle at the last entry repeats it, wrap or not",
         kABC,
         2,
         2,
         &Form2Controls::Check3,
         {u"c.mp3"_qs},
         u"3"_qs},
        {"up goes to the entry before", kABC, -1, 2, &Form2Controls::Check4, {u"b.mp3"_qs}, u"2"_qs},
        {"up yields to the wrap at the last entry", kABC, 2, 2, &Form2Controls::Check4, {u"a.mp3"_qs}, u"1"_qs},
        {"up stops at the first entry", kABC, -1, 0, &Form2Controls::Check4, {}, u"Label4"_qs},
        {"up with nothing selected starts nothing", kABC, -1, -1, &Form2Controls::Check4, {}, u"Label4"_qs},
        {"repeat the selected entry", kABC, 1, 1, &Form2Controls::Check1, {u"b.mp3"_qs}, u"2"_qs},
        {"repeat with nothing selected opens the bare folder",
         kABC,
         -1,
         -1,
         &Form2Controls::Check1,
         {u""_qs},
         u"Label4"_qs},
        {"nothing selected starts the first", kABC, -1, -1, nullptr, {u"a.mp3"_qs}, u"1"_qs},
        {"without a double-click the last entry repeats", kABC, -1, 2, nullptr, {u"c.mp3"_qs}, u"3"_qs},
        {"empty queue opens the bare folder", {}, -1, -1, nullptr, {u""_qs}, u"0"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Queue q(c.names);
        if (c.started >= 0)
            q.StartedByDoubleClick(c.started);
        q.h.c().File1->SetListIndex(c.selected);
        if (c.option)
            (q.h.c().*c.option)->setChecked(true);
        EXPECT_EQ(Finish(q), c.opened);
        EXPECT_EQ(q.h.c().Label4->text(), c.label4);
        EXPECT_EQ(q.h.exits, 0);
    }
}

TEST_F(EndOfTrackTest, RepeatStartsTheQueueEntryNotTheFileFromTheDialog)
{
    Queue q(kABC);
    q.StartedByDoubleClick(1);
    q.h.c().Check1->setChecked(true);
    const QString outside = q.dir.path() + u"/elsewhere/other.mp3"_qs;
    q.h.openAnswers << outside;
    q.h.c().Command16->click();
    ASSERT_EQ(q.h.engine.fileName, outside);
    EXPECT_EQ(Finish(q), QStringList{u"b.mp3"_qs});
}

TEST_F(EndOfTrackTest, TurnOffEndsTheProgramAtOnceUnlessRepeatIsOn)
{
    {
        Queue q(kABC);
        q.StartedByDoubleClick(0);
        q.h.c().Check2->setChecked(true);
        q.h.c().Check3->setChecked(true);
        bool unloaded = false;
        QObject::connect(q.h.form.get(), &Form2::Unloading, [&] { unloaded = true; });
        EXPECT_TRUE(Finish(q).isEmpty());
        EXPECT_EQ(q.h.exits, 1);
        EXPECT_FALSE(unloaded) << "the unload handling is skipped";
    }
    {
        Queue q(kABC);
        q.StartedByDoubleClick(0);
        q.h.c().Check1->setChecked(true);
        q.h.c().Check2->setChecked(true);
        EXPECT_EQ(Finish(q, 3), (QStringList{u"a.mp3"_qs, u"a.mp3"_qs, u"a.mp3"_qs}));
        EXPECT_EQ(q.h.exits, 0);
    }
}

TEST_F(EndOfTrackTest, AGreyedBoxCountsAsOff)
{
    Queue q(kABC);
    q.StartedByDoubleClick(0);
    for (QCheckBox* box : {q.h.c().Check1, q.h.c().Check2, q.h.c().Check3, q.h.c().Check4})
        box->setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(Finish(q), QStringList{u"b.mp3"_qs});
    EXPECT_EQ(q.h.exits, 0);
}

}  // namespace
}  // namespace corvan::test

namespace corvan::test {
namespace {

// Files follow one another without a gap: the next is chosen shortly before
// the end, and the window's steps follow when it is heard.
class GaplessTest : public ::testing::Test {
protected:
    QString Name(const std::optional<FilePath>& path) const { return path ? path->Name().Text() : u"<none>"_qs; }
};

TEST_F(GaplessTest, TheRulesChooseTheNextFileAndTheWindowFollowsItWhenItIsHeard)
{
    Queue q(kABC);
    q.StartedByDoubleClick(0);
    const std::optional<FilePath> next = q.h.engine.askNext();
    EXPECT_EQ(Name(next), u"b.mp3"_qs);
    EXPECT_EQ(q.Now().Label1, u"a.mp3"_qs) << "nothing shows before it is heard";
    EXPECT_EQ(q.Now().selected, 0);

    q.h.engine.join(*next);
    EXPECT_EQ(q.Now(), (Display{u"b.mp3"_qs, u"2"_qs, u"3"_qs, u"Playing 1"_qs, u"Total 3"_qs, 1}));
    EXPECT_TRUE(q.h.engine.callsOf(u"FileName"_qs).isEmpty()) << "the joined file is not opened again";

    // Round the queue, as at ordinary ends: the wrap, then up, shuffle and
    // repeat each choose as their rules say.
    q.h.engine.join(*q.h.engine.askNext());
    q.h.engine.join(*q.h.engine.askNext());
    EXPECT_EQ(q.Now().Label1, u"a.mp3"_qs);
    EXPECT_EQ(q.Now().Label4, u"1"_qs);
    q.h.c().Check1->setChecked(true);
    EXPECT_EQ(Name(q.h.engine.askNext()), u"a.mp3"_qs) << "repeat";
    q.h.c().Check1->setChecked(false);
    q.h.c().Check3->setChecked(true);
    EXPECT_EQ(Name(q.h.engine.askNext()), u"c.mp3"_qs) << "shuffle skips one";
    EXPECT_TRUE(q.h.engine.callsOf(u"FileName"_qs).isEmpty());
}

TEST_F(GaplessTest, TurnOffQueuesNothingAndEndsAtTheEnd)
{
    Queue q(kABC);
    q.StartedByDoubleClick(0);
    q.h.c().Check2->setChecked(true);
    EXPECT_FALSE(q.h.engine.askNext());
    q.h.engine.finish();
    EXPECT_EQ(q.h.exits, 1);
}

TEST_F(GaplessTest, AWindowChangedBeforeTheJoinChoosesAfresh)
{
    Queue q(kABC);
    q.StartedByDoubleClick(0);
    const std::optional<FilePath> next = q.h.engine.askNext();
    ASSERT_EQ(Name(next), u"b.mp3"_qs);
    // The person moves the selection during the last second of a.mp3.
    q.h.c().File1->SetListIndex(1);
    q.h.engine.join(*next);
    EXPECT_EQ(q.h.engine.callsOf(u"FileName"_qs), QStringList{q.Path(u"c.mp3"_qs)})
        << "the rule's choice from the new selection starts";
    EXPECT_EQ(q.Now().Label1, u"c.mp3"_qs);
    EXPECT_EQ(q.Now().selected, 2);

    // A change that leaves the rule's choice as it was does not interrupt
    // the file already playing.
    q.h.engine.calls.clear();
    const std::optional<FilePath> again = q.h.engine.askNext();
    q.h.c().Check4->setChecked(true);
    q.h.engine.join(*again);
    EXPECT_TRUE(q.h.engine.callsOf(u"FileName"_qs).isEmpty()) << "the wrap applies before going up";
    EXPECT_EQ(q.Now().Label1, u"a.mp3"_qs);
    EXPECT_EQ(q.Now().Label4, u"1"_qs);
}

}  // namespace
}  // namespace corvan::test
