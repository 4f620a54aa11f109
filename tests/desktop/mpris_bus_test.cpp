// The remote control on a real session bus, driven by dbus-send as a desktop
// would drive it, against the window with the fake engine. Runs under
// dbus-run-session (tests/shell/CMakeLists.txt): the bus is private to it.
#include "form2_harness.h"
#include "desktop/mpris.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace corvan::test {
namespace {

constexpr int kWaitMs = 10000;

// Runs the event loop (so the window answers the bus) until `done` or the
// time is up; false when the time ran out.
template <class Done>
bool PumpUntil(Done done, int ms = kWaitMs)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// What dbus-send printed for one call to the player ("" when it failed).
QString DbusSend(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(u"dbus-send"_qs, QStringList{u"--session"_qs, u"--print-reply"_qs, u"--reply-timeout=5000"_qs,
                                         u"--dest="_qs + kMprisServiceName.toString(), kMprisObjectPath.toString()}
                                 + args);
    const bool ended = PumpUntil([&] { return p.state() == QProcess::NotRunning; });
    const QString out = QString::fromUtf8(p.readAll());
    EXPECT_TRUE(ended) << "dbus-send " << args.join(u' ').toStdString();
    EXPECT_EQ(p.exitCode(), 0) << args.join(u' ').toStdString() << ": " << out.toStdString();
    return out;
}

QString Call(const QString& method, const QStringList& args = {})
{
    const QString interface = method == u"Raise" || method == u"Quit" ? kMprisRootInterface.toString()
                                                                      : kMprisPlayerInterface.toString();
    return DbusSend(QStringList{interface + u'.' + method} + args);
}

QString Get(const QString& property, const QString& interface = kMprisPlayerInterface.toString())
{
    return DbusSend({u"org.freedesktop.DBus.Properties.Get"_qs, u"string:"_qs + interface, u"string:"_qs + property});
}

void Set(const QString& property, const QString& value)
{
    DbusSend({u"org.freedesktop.DBus.Properties.Set"_qs, u"string:"_qs + kMprisPlayerInterface.toString(),
              u"string:"_qs + property, u"variant:"_qs + value});
}

// dbus-send's rendering of a value: `type "text"` or `type value`.
bool Shows(const QString& out, const QString& pattern)
{
    return QRegularExpression(pattern).match(out).hasMatch();
}

// Everything the bus carries from the player's object, as dbus-monitor
// prints it.
struct Monitor {
    Monitor()
    {
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(u"dbus-monitor"_qs, {u"--session"_qs, u"type='signal',path='/org/mpris/MediaPlayer2'"_qs});
        // It says when it has become a monitor of the bus.
        EXPECT_TRUE(PumpUntil([&] { return read().contains(u"NameLost"_qs); }, 5000)) << text.toStdString();
        text.clear();
    }
    ~Monitor()
    {
        p.kill();
        p.waitForFinished(2000);
    }
    const QString& read()
    {
        text += QString::fromUtf8(p.readAll());
        return text;
    }
    // Waits for a signal whose rendering matches `pattern`.
    bool Saw(const QString& pattern, int ms = 3000)
    {
        return PumpUntil([&] { return Shows(read(), pattern); }, ms);
    }
    QProcess p;
    QString text;
};

struct BusPlayer {
    BusPlayer()
    {
        bus_ok = QDBusConnection::sessionBus().isConnected();
        h.ShowFolder(dir.path(), {u"a.mp3"_qs, u"b.mp3"_qs, u"c.mp3"_qs});
        mpris = WireMpris(*h.form);
        published = mpris && PublishMpris(*mpris, QDBusConnection::sessionBus());
        h.engine.calls.clear();
    }
    ~BusPlayer()
    {
        QDBusConnection::sessionBus().unregisterObject(kMprisObjectPath.toString());
        QDBusConnection::sessionBus().unregisterService(kMprisServiceName.toString());
    }
    QString Path(const QString& name) const { return dir.path() + u'/' + name; }

    bool bus_ok = false;
    QTemporaryDir dir;
    Form2Harness h;
    Mpris* mpris = nullptr;
    bool published = false;
};

#define REQUIRE_BUS(p)                                                                                                 \
    ASSERT_TRUE((p).bus_ok) << "no session bus: run this test under dbus-run-session";                                 \
    ASSERT_TRUE((p).published)

TEST(MprisBus, ThePlayerIsFoundByNameAndSaysWhatItIs)
{
    BusPlayer p;
    REQUIRE_BUS(p);
    EXPECT_TRUE(QDBusConnection::sessionBus().interface()->isServiceRegistered(kMprisServiceName.toString()));

    const QString root = DbusSend(
        {u"org.freedesktop.DBus.Properties.GetAll"_qs, u"string:"_qs + kMprisRootInterface.toString()});
    const char* expected[] = {
        R"("Identity"\s+variant\s+string "Corvan Media Player")",
        R"("DesktopEntry"\s+variant\s+string "corvan-player")",
        R"("CanQuit"\s+variant\s+boolean true)",
        R"("CanRaise"\s+variant\s+boolean true)",
        R"("HasTrackList"\s+variant\s+boolean false)",
        R"("SupportedUriSchemes"\s+variant\s+array \[\s+string "file")",
    };
    for (const char* pattern : expected)
        EXPECT_TRUE(Shows(root, QString::fromLatin1(pattern))) << pattern << "\n" << root.toStdString();

    const QString player = DbusSend(
        {u"org.freedesktop.DBus.Properties.GetAll"_qs, u"string:"_qs + kMprisPlayerInterface.toString()});
    for (const char* name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek", "CanControl"})
        EXPECT_TRUE(Shows(player, QStringLiteral("\"%1\"\\s+variant\\s+boolean true").arg(QLatin1String(name))))
            << name;
    EXPECT_TRUE(Shows(player, uR"("MinimumRate"\s+variant\s+double 0\.3)"_qs));
    EXPECT_TRUE(Shows(player, uR"("MaximumRate"\s+variant\s+double 2\b)"_qs));
    EXPECT_TRUE(Shows(player, uR"("PlaybackStatus"\s+variant\s+string "Stopped")"_qs));
}

TEST(MprisBus, MethodsRunTheWindowsCommands)
{
    BusPlayer p;
    REQUIRE_BUS(p);
    Form2Controls& c = p.h.c();
    p.h.engine.duration = 30;

    // Nothing open: the selected entry starts, as the play button does it.
    c.File1->SetListIndex(0);
    Call(u"Play"_qs);
    EXPECT_EQ(p.h.engine.calls, (QStringList{u"Play"_qs, u"FileName "_qs + p.Path(u"a.mp3"_qs)}));
    EXPECT_EQ(c.Label1->text(), u"a.mp3"_qs);
    EXPECT_EQ(c.Playing->text(), u"Playing 1"_qs);

    const struct {
        QString method;
        QStringList args;
        QStringList calls;
        QString status;
    } steps[] = {
        {u"Pause"_qs, {}, {u"Pause"_qs}, u"Paused"_qs},
        {u"Play"_qs, {}, {u"Play"_qs}, u"Playing"_qs},  // resumed: a file is open
        {u"PlayPause"_qs, {}, {u"Pause"_qs}, u"Paused"_qs},
        {u"PlayPause"_qs, {}, {u"Play"_qs}, u"Playing"_qs},
        {u"Seek"_qs, {u"int64:12500000"_qs}, {u"CurrentPosition 12.5"_qs}, u"Playing"_qs},
        {u"Seek"_qs, {u"int64:-2500000"_qs}, {u"CurrentPosition 10"_qs}, u"Playing"_qs},
        {u"SetPosition"_qs,
         {u"objpath:"_qs + TrackId(P(p.Path(u"a.mp3"_qs))).path(), u"int64:25000000"_qs},
         {u"CurrentPosition 25"_qs},
         u"Playing"_qs},
        {u"SetPosition"_qs,
         {u"objpath:"_qs + TrackId(P(p.Path(u"b.mp3"_qs))).path(), u"int64:1000000"_qs},
         {},
         u"Playing"_qs},
        {u"Stop"_qs, {}, {u"Stop"_qs}, u"Stopped"_qs},
        {u"Next"_qs, {}, {u"FileName "_qs + p.Path(u"b.mp3"_qs)}, u"Playing"_qs},
        {u"Next"_qs, {}, {u"FileName "_qs + p.Path(u"c.mp3"_qs)}, u"Playing"_qs},
        {u"Previous"_qs, {}, {u"FileName "_qs + p.Path(u"b.mp3"_qs)}, u"Playing"_qs},
        {u"OpenUri"_qs,
         {u"string:"_qs + QUrl::fromLocalFile(p.Path(u"c.mp3"_qs)).toString()},
         {u"FileName "_qs + p.Path(u"c.mp3"_qs)},
         u"Playing"_qs},
    };
    for (const auto& step : steps) {
        p.h.engine.calls.clear();
        Call(step.method, step.args);
        EXPECT_EQ(p.h.engine.calls, step.calls)
            << step.method.toStdString() << " " << step.args.join(u' ').toStdString();
        EXPECT_TRUE(Shows(Get(u"PlaybackStatus"_qs), u"string \""_qs + step.status + u'"'))
            << step.method.toStdString();
    }
    // The queue's display followed Next and Previous, and OpenUri started
    // c.mp3 as a double-click on it in its folder would.
    EXPECT_EQ(c.Label4->text(), u"3"_qs);
    EXPECT_EQ(c.Label1->text(), u"c.mp3"_qs);
    EXPECT_EQ(c.File1->ListIndex(), 2);
}

TEST(MprisBus, PropertiesReadAndWriteTheEngineAndTheControls)
{
    BusPlayer p;
    REQUIRE_BUS(p);
    Form2Controls& c = p.h.c();
    Form2Menu& m = p.h.m();
    p.h.engine.title = u"Song"_qs;
    p.h.engine.author = u"Band"_qs;
    p.h.engine.duration = 30;
    p.h.engine.SetFileName(P(p.Path(u"b.mp3"_qs)));
    p.h.engine.position = 7.25;

    const QString meta = Get(u"Metadata"_qs);
    EXPECT_TRUE(
        Shows(meta, uR"("mpris:trackid"\s+variant\s+object path ")"_qs + TrackId(P(p.Path(u"b.mp3"_qs))).path()))
        << meta.toStdString();
    EXPECT_TRUE(Shows(meta, uR"("xesam:title"\s+variant\s+string "Song")"_qs));
    EXPECT_TRUE(Shows(meta, uR"("xesam:artist"\s+variant\s+array \[\s+string "Band")"_qs));
    EXPECT_TRUE(Shows(meta, uR"("xesam:url"\s+variant\s+string "file://)"_qs
                                + QRegularExpression::escape(p.Path(u"b.mp3"_qs))));
    EXPECT_TRUE(Shows(meta, uR"("mpris:length"\s+variant\s+int64 30000000)"_qs));
    EXPECT_TRUE(Shows(Get(u"Position"_qs), uR"(variant\s+int64 7250000)"_qs));
    EXPECT_TRUE(Shows(Get(u"Volume"_qs), uR"(variant\s+double 0\.0562)"_qs)) << "the start volume -2500";

    Set(u"Volume"_qs, u"double:0.5"_qs);
    EXPECT_EQ(p.h.engine.Volume(), -602);
    EXPECT_TRUE(Shows(Get(u"Volume"_qs), uR"(double 0\.5000)"_qs));

    Set(u"Rate"_qs, u"double:2.0"_qs);
    EXPECT_TRUE(m.mnupopup200->isChecked());
    EXPECT_FALSE(m.mnupopup100->isChecked());
    EXPECT_TRUE(PumpUntil([&] { return p.h.engine.Rate() == 2.0; }, 3000)) << "the rate tick follows the mark";
    EXPECT_TRUE(Shows(Get(u"Rate"_qs), uR"(double 2\b)"_qs));

    Set(u"LoopStatus"_qs, u"string:Track"_qs);
    EXPECT_EQ(c.Check1->checkState(), Qt::Checked);
    EXPECT_TRUE(m.mnupopupoptionsrepeat->isChecked());
    EXPECT_TRUE(Shows(Get(u"LoopStatus"_qs), uR"(string "Track")"_qs));
    Set(u"LoopStatus"_qs, u"string:None"_qs);
    EXPECT_EQ(c.Check1->checkState(), Qt::Unchecked);

    Set(u"Shuffle"_qs, u"boolean:true"_qs);
    EXPECT_EQ(c.Check3->checkState(), Qt::Checked);
    EXPECT_TRUE(m.mnupopupoptionsshufle->isChecked());
    EXPECT_TRUE(Shows(Get(u"Shuffle"_qs), uR"(boolean true)"_qs));
    Set(u"Shuffle"_qs, u"boolean:false"_qs);
    EXPECT_EQ(c.Check3->checkState(), Qt::Unchecked);
}

TEST(MprisBus, ChangesAndSeeksAreSignalledAndTicksAreNot)
{
    BusPlayer p;
    REQUIRE_BUS(p);
    Monitor monitor;
    p.h.engine.duration = 30;
    p.h.c().File1->SetListIndex(0);
    p.h.c().Command13->click();  // started from the window
    EXPECT_TRUE(monitor.Saw(
        uR"(member=PropertiesChanged[^\n]*\n\s+string "org\.mpris\.MediaPlayer2\.Player"[\s\S]*"PlaybackStatus"\s+variant\s+string "Playing")"_qs))
        << monitor.text.toStdString();
    EXPECT_TRUE(Shows(monitor.text, uR"("xesam:title"\s+variant\s+string "a\.mp3")"_qs)) << monitor.text.toStdString();

    // Playing on for three ticks of the time display, the position moving
    // with the clock: nothing to tell.
    monitor.text.clear();
    QElapsedTimer clock;
    clock.start();
    PumpUntil(
        [&] {
            p.h.engine.position = static_cast<double>(clock.elapsed()) / 1000.0;
            return clock.elapsed() > 1600;
        },
        3000);
    EXPECT_FALSE(monitor.read().contains(u"member="_qs)) << monitor.text.toStdString();

    p.h.c().Check3->click();
    EXPECT_TRUE(monitor.Saw(uR"("Shuffle"\s+variant\s+boolean true)"_qs)) << monitor.text.toStdString();
    Call(u"Seek"_qs, {u"int64:5000000"_qs});
    EXPECT_TRUE(monitor.Saw(uR"(member=Seeked\s+int64 \d+)"_qs)) << monitor.text.toStdString();
    p.h.m().mnupopup50->trigger();
    EXPECT_TRUE(monitor.Saw(uR"("Rate"\s+variant\s+double 0\.5)"_qs)) << monitor.text.toStdString();
}

TEST(MprisBus, RaiseAndQuit)
{
    BusPlayer p;
    REQUIRE_BUS(p);
    p.h.form->show();
    p.h.form->setWindowState(Qt::WindowMinimized);
    Call(u"Raise"_qs);
    EXPECT_FALSE(p.h.form->windowState() & Qt::WindowMinimized);

    QSignalSpy unloading(p.h.form.get(), &Form2::Unloading);
    Call(u"Quit"_qs);  // answered before the window goes
    EXPECT_TRUE(PumpUntil([&] { return unloading.count() == 1; }, 3000));
    EXPECT_EQ(p.h.exits, 0);
}

}  // namespace
}  // namespace corvan::test
