#include "playback/transport.h"
#include "queue_fixture.h"

#include <QEnterEvent>
#include <QTest>

#include <functional>

namespace corvan::test {
namespace {

const QStringList kABC{u"a.mp3"_qs, u"b.mp3"_qs, u"c.mp3"_qs};

enum class Cmd { Play, Start, Pause, Resume, Stop, Next, Previous };

// What each command does from entry 1 of a, b, c, before any start.
struct Effect {
    QStringList calls;
    Display display;
};

Effect Expected(Cmd cmd, const Queue& q)
{
    const Display untouched{u"Corvan Media Player"_qs, u"Label4"_qs, u"Label2"_qs, u" Playing"_qs, u"Total"_qs, 1};
    switch (cmd) {
    case Cmd::Play:
        return {{u"Play"_qs, q.Opened(u"b.mp3"_qs)},
                {u"b.mp3"_qs, u"Label4"_qs, u"Label2"_qs, u"Playing 2"_qs, u"Total 3"_qs, 1}};
    case Cmd::Start:
        return {{q.Opened(u"b.mp3"_qs)}, {u"b.mp3"_qs, u"2"_qs, u"Label2"_qs, u" Playing"_qs, u"Total"_qs, 1}};
    case Cmd::Pause:
        return {{u"Pause"_qs}, untouched};
    case Cmd::Resume:
        return {{u"Play"_qs}, untouched};
    case Cmd::Stop:
        return {{u"Stop"_qs}, untouched};
    case Cmd::Next:
        return {{q.Opened(u"c.mp3"_qs)}, {u"c.mp3"_qs, u"3"_qs, u"Label2"_qs, u"Playing 3"_qs, u"Total 3"_qs, 2}};
    case Cmd::Previous:
        return {{q.Opened(u"a.mp3"_qs)}, {u"a.mp3"_qs, u"1"_qs, u"3"_qs, u"Playing 1"_qs, u"Total 3"_qs, 0}};
    }
    return {};
}

struct Trigger {
    const char* name;
    std::function<void(Form2Harness&)> fire;
    Cmd command;
};

void Click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
}

TEST(TransportTriggers, EveryTriggerRunsItsCommandAndNothingElse)
{
    using C = Form2Controls;
    const auto label = [](ClickLabel* C::*l) { return [l](Form2Harness& h) { Click(h.c().*l); }; };
    const auto picture = [](PictureButton* C::*b) { return [b](Form2Harness& h) { Click(h.c().*b); }; };
    // Alt keys cannot be sent offscreen; the buttons they press are clicked.
    const auto accelerator = [](QPushButton* C::*b) { return [b](Form2Harness& h) { (h.c().*b)->click(); }; };
    const auto item = [](QAction* Form2Menu::*a) { return [a](Form2Harness& h) { (h.m().*a)->trigger(); }; };

    const Trigger triggers[] = {
        {"Label7", label(&C::Label7), Cmd::Play},
        {"Command13", picture(&C::Command13), Cmd::Play},
        {"Command2 Pl&ay", accelerator(&C::Command2), Cmd::Play},
        {"Enter in File1", [](Form2Harness& h) { QTest::keyClick(h.c().File1, Qt::Key_Return); }, Cmd::Play},
        {"Enter in Text1", [](Form2Harness& h) { QTest::keyClick(h.c().Text1, Qt::Key_Return); }, Cmd::Play},
        {"mnupopupplay", item(&Form2Menu::mnupopupplay), Cmd::Start},
        {"Label8", label(&C::Label8), Cmd::Pause},
        {"Command14", picture(&C::Command14), Cmd::Pause},
        {"Stop &Stop", accelerator(&C::Stop), Cmd::Pause},
        {"mnupopuppause", item(&Form2Menu::mnupopuppause), Cmd::Pause},
        {"mnupopupresume", item(&Form2Menu::mnupopupresume), Cmd::Resume},
        {"Command15", picture(&C::Command15), Cmd::Stop},
        {"mnupopupstop", item(&Form2Menu::mnupopupstop), Cmd::Stop},
        {"Label9", label(&C::Label9), Cmd::Next},
        {"Command11", picture(&C::Command11), Cmd::Next},
        {"Command6 &Next", accelerator(&C::Command6), Cmd::Next},
        {"n in File1", [](Form2Harness& h) { QTest::keyClick(h.c().File1, 'n'); }, Cmd::Next},
        {"mnupopupnext", item(&Form2Menu::mnupopupnext), Cmd::Next},
        {"Label10", label(&C::Label10), Cmd::Previous},
        {"Command12", picture(&C::Command12), Cmd::Previous},
        {"Command8 &Prev", accelerator(&C::Command8), Cmd::Previous},
        {"mnupopupprevious", item(&Form2Menu::mnupopupprevious), Cmd::Previous},
    };
    for (const Trigger& t : triggers) {
        SCOPED_TRACE(t.name);
        Queue q(kABC);
        q.h.c().File1->SetListIndex(1);
        t.fire(q.h);
        const Effect want = Expected(t.command, q);
        EXPECT_EQ(q.h.engine.calls, want.calls);
        EXPECT_EQ(q.Now(), want.display);
    }
}

TEST(TransportTriggers, PointingAtNextAndPreviousAddsABlankToTheirTooltips)
{
    Queue q(kABC);
    for (auto [button, tip] :
         {std::pair{q.h.c().Command11, u"Next Track "_qs}, std::pair{q.h.c().Command12, u"Previous Track "_qs}}) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(button, &enter);
        EXPECT_EQ(button->toolTip(), tip);
    }
    EXPECT_TRUE(q.h.engine.calls.isEmpty());
}

// Next and Previous by where the selection stands and what the labels hold.
TEST(NextAndPrevious, WrapAroundAndEdges)
{
    const struct {
        const char* name;
        QStringList names;
        int selected;        // before the command
        bool doubleClicked;  // a double-click start armed the wrap
        Cmd command;
        QStringList opened;  // names handed to the engine ("" for the bare folder)
        Display after;
    } cases[] = {
        {"next at the last entry after a double-click wraps to the first",
         kABC,
         2,
         true,
         Cmd::Next,
         {u"a.mp3"_qs},
         {u"a.mp3"_qs, u"1"_qs, u"3"_qs, u"Playing 3"_qs, u"Total 3"_qs, 0}},
        {"next at the last entry before any double-click restarts it",
         kABC,
         2,
         false,
         Cmd::Next,
         {u"c.mp3"_qs},
         {u"c.mp3"_qs, u"3"_qs, u"Label2"_qs, u"Playing 3"_qs, u"Total 3"_qs, 2}},
        {"next in mid-queue after a double-click moves on",
         kABC,
         0,
         true,
         Cmd::Next,
         {u"b.mp3"_qs},
         {u"b.mp3"_qs, u"2"_qs, u"3"_qs, u"Playing 2"_qs, u"Total 3"_qs, 1}},
        {"next with nothing selected starts the first",
         kABC,
         -1,
         false,
         Cmd::Next,
         {u"a.mp3"_qs},
         {u"a.mp3"_qs, u"1"_qs, u"Label2"_qs, u"Playing 1"_qs, u"Total 3"_qs, 0}},
        {"next on an empty queue opens nothing playable",
         {},
         -1,
         false,
         Cmd::Next,
         {u""_qs},
         {u""_qs, u"0"_qs, u"Label2"_qs, u"Playing 0"_qs, u"Total 0"_qs, -1}},
        {"previous at the first entry restarts it",
         kABC,
         0,
         false,
         Cmd::Previous,
         {u"a.mp3"_qs},
         {u"a.mp3"_qs, u"1"_qs, u"3"_qs, u"Playing 1"_qs, u"Total 3"_qs, 0}},
        {"previous with nothing selected does nothing",
         kABC,
         -1,
         false,
         Cmd::Previous,
         {},
         {u"Corvan Media Player"_qs, u"Label4"_qs, u"Label2"_qs, u" Playing"_qs, u"Total"_qs, -1}},
        {"previous on an empty queue does nothing",
         {},
         -1,
         false,
         Cmd::Previous,
         {},
         {u"Corvan Media Player"_qs, u"Label4"_qs, u"Label2"_qs, u" Playing"_qs, u"Total"_qs, -1}},
        {"previous arms the wrap: Label2 takes the count",
         kABC,
         2,
         false,
         Cmd::Previous,
         {u"b.mp3"_qs},
         {u"b.mp3"_qs, u"2"_qs, u"3"_qs, u"Playing 2"_qs, u"Total 3"_qs, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Queue q(c.names);
        if (c.doubleClicked)
            q.StartedByDoubleClick(c.selected);
        else
            q.h.c().File1->SetListIndex(c.selected);
        Transport* t = q.h.form->findChild<Transport*>(u"Transport"_qs);
        ASSERT_TRUE(t);
        (c.command == Cmd::Next) ? t->NextTrack() : t->PreviousTrack();
        QStringList opened;
        for (const QString& name : c.opened)
            opened << q.Path(name);
        EXPECT_EQ(q.h.engine.callsOf(u"FileName"_qs), opened);
        EXPECT_EQ(q.Now(), c.after);
    }
}

TEST(NextAndPrevious, NextKeyStartsTheNextEntryThenTypeAheadMovesTheSelection)
{
    Queue q({u"a.mp3"_qs, u"b.mp3"_qs, u"n1.mp3"_qs, u"n2.mp3"_qs});
    q.h.c().File1->SetListIndex(0);
    QTest::keyClick(q.h.c().File1, 'n');
    EXPECT_EQ(q.h.engine.callsOf(u"FileName"_qs), QStringList{q.Path(u"b.mp3"_qs)});
    EXPECT_EQ(q.h.c().Label1->text(), u"b.mp3"_qs);
    EXPECT_EQ(q.h.c().File1->ListIndex(), 2) << "the list's own type-ahead saw the key too";

    QTest::keyClick(q.h.c().File1, 'N');
    EXPECT_EQ(q.h.engine.callsOf(u"FileName"_qs).size(), 1) << "only the lower-case n is a command";
}

TEST(Text5, DoubleClickPlaysItsText)
{
    Queue q(kABC);
    q.h.c().Text5->setText(q.Path(u"c.mp3"_qs));
    QTest::mouseDClick(q.h.c().Text5, Qt::LeftButton);
    EXPECT_EQ(q.h.engine.callsOf(u"FileName"_qs), QStringList{q.Path(u"c.mp3"_qs)});
    EXPECT_EQ(q.h.c().Label1->text(), u"Corvan Media Player"_qs);

    q.h.engine.calls.clear();
    q.h.c().Text5->clear();
    QTest::mouseDClick(q.h.c().Text5, Qt::LeftButton);
    EXPECT_TRUE(q.h.engine.calls.isEmpty()) << "an empty box would only stop what plays";
}

}  // namespace
}  // namespace corvan::test
