// No suspend for idleness while music plays: the player asks the desktop
// through whichever service answers, and lets go when playing stops. Stand-in
// services on a private session bus (dbus-run-session) record the calls.
#include "desktop/sleep_inhibitor.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QTest>
#include <QVariantMap>

#include <gtest/gtest.h>

namespace corvan::test {
namespace {

struct Record {
    QStringList calls;
};

class PortalRequest : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    PortalRequest(QObject* parent, Record& record)
        : QDBusAbstractAdaptor(parent)
        , record_(record)
    {
    }

public slots:
    void Close() { record_.calls << QStringLiteral("Close"); }

private:
    Record& record_;
};

class PortalInhibit : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")

public:
    PortalInhibit(QObject* parent, Record& record)
        : QDBusAbstractAdaptor(parent)
        , record_(record)
    {
    }

public slots:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options)
    {
        record_.calls << QStringLiteral("Inhibit %1 %2 %3")
                             .arg(window, QString::number(flags), options.value(QStringLiteral("reason")).toString());
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/portal/desktop/request/1/corvan"));
    }

private:
    Record& record_;
};

class ScreenSaver : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    ScreenSaver(QObject* parent, Record& record)
        : QDBusAbstractAdaptor(parent)
        , record_(record)
    {
    }

public slots:
    uint Inhibit(const QString& application, const QString& reason)
    {
        record_.calls << QStringLiteral("Inhibit %1|%2").arg(application, reason);
        return 7;
    }
    void UnInhibit(uint cookie) { record_.calls << QStringLiteral("UnInhibit %1").arg(cookie); }

private:
    Record& record_;
};

// A screensaver that takes the call and gives nothing back: a refusal.
class RefusingScreenSaver : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    RefusingScreenSaver(QObject* parent, Record& record)
        : QDBusAbstractAdaptor(parent)
        , record_(record)
    {
    }

public slots:
    void Inhibit(const QString&, const QString&) { record_.calls << QStringLiteral("Inhibit"); }

private:
    Record& record_;
};

// A service of its own on the session bus, on a connection of its own.
struct StandIn {
    explicit StandIn(const QString& name)
        : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, name))
    {
        service = name;
    }
    ~StandIn()
    {
        bus.unregisterService(service);
        QDBusConnection::disconnectFromBus(service);
    }
    bool Offer(const QString& path, QObject* object)
    {
        return bus.registerObject(path, object, QDBusConnection::ExportAdaptors) && bus.registerService(service);
    }

    QDBusConnection bus;
    QString service;
    Record record;
};

bool Settle(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 3000);
}

QDBusConnection NoSystemBus()
{
    return QDBusConnection(QStringLiteral("no system bus"));
}

#define REQUIRE_BUS()                                                                                                  \
    if (!QDBusConnection::sessionBus().isConnected())                                                                  \
    GTEST_SKIP() << "no session bus: run under dbus-run-session"

TEST(SleepInhibitor, ThroughTheDesktopPortal)
{
    REQUIRE_BUS();
    StandIn portal(QStringLiteral("org.freedesktop.portal.Desktop"));
    QObject desktop;
    new PortalInhibit(&desktop, portal.record);
    QObject request;
    new PortalRequest(&request, portal.record);
    ASSERT_TRUE(portal.Offer(QStringLiteral("/org/freedesktop/portal/desktop"), &desktop));
    ASSERT_TRUE(portal.bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop/request/1/corvan"), &request,
                                          QDBusConnection::ExportAdaptors));

    SleepInhibitor inhibitor(QDBusConnection::sessionBus(), NoSystemBus());
    inhibitor.SetPlaying(true);
    ASSERT_TRUE(Settle([&] { return inhibitor.Holding(); }));
    inhibitor.SetPlaying(true);  // still playing: asked once
    EXPECT_EQ(portal.record.calls, QStringList{u"Inhibit  4 Playing music"_qs});

    inhibitor.SetPlaying(false);
    EXPECT_FALSE(inhibitor.Holding());
    ASSERT_TRUE(Settle([&] { return portal.record.calls.size() == 2; }));
    EXPECT_EQ(portal.record.calls.last(), u"Close"_qs);
}

TEST(SleepInhibitor, ThroughTheScreenSaverWithoutAPortalAndLetGoOnExit)
{
    REQUIRE_BUS();
    StandIn saver(QStringLiteral("org.freedesktop.ScreenSaver"));
    QObject object;
    new ScreenSaver(&object, saver.record);
    ASSERT_TRUE(saver.Offer(QStringLiteral("/org/freedesktop/ScreenSaver"), &object));
    {
        SleepInhibitor inhibitor(QDBusConnection::sessionBus(), NoSystemBus());
        inhibitor.SetPlaying(true);
        ASSERT_TRUE(Settle([&] { return inhibitor.Holding(); }));
        EXPECT_EQ(saver.record.calls, QStringList{u"Inhibit Corvan Media Player|Playing music"_qs});
    }
    ASSERT_TRUE(Settle([&] { return saver.record.calls.size() == 2; }));
    EXPECT_EQ(saver.record.calls.last(), u"UnInhibit 7"_qs);
}

TEST(SleepInhibitor, StoppingBeforeTheAnswerLetsGoOnceItComes)
{
    REQUIRE_BUS();
    StandIn saver(QStringLiteral("org.freedesktop.ScreenSaver"));
    QObject object;
    new ScreenSaver(&object, saver.record);
    ASSERT_TRUE(saver.Offer(QStringLiteral("/org/freedesktop/ScreenSaver"), &object));
    SleepInhibitor inhibitor(QDBusConnection::sessionBus(), NoSystemBus());
    inhibitor.SetPlaying(true);
    inhibitor.SetPlaying(false);
    ASSERT_TRUE(Settle([&] { return saver.record.calls.size() == 2; }));
    EXPECT_EQ(saver.record.calls.last(), u"UnInhibit 7"_qs);
    EXPECT_FALSE(inhibitor.Holding());
}

TEST(SleepInhibitor, NobodyToAskPlaysAsBefore)
{
    REQUIRE_BUS();
    SleepInhibitor inhibitor(QDBusConnection::sessionBus(), NoSystemBus());
    inhibitor.SetPlaying(true);
    QTest::qWait(300);
    EXPECT_FALSE(inhibitor.Holding());
    inhibitor.SetPlaying(false);
}

TEST(SleepInhibitor, RefusedEverywhereAsksAgainOnlyWhenPlayingStartsAgain)
{
    REQUIRE_BUS();
    StandIn saver(QStringLiteral("org.freedesktop.ScreenSaver"));
    QObject object;
    new RefusingScreenSaver(&object, saver.record);
    ASSERT_TRUE(saver.Offer(QStringLiteral("/org/freedesktop/ScreenSaver"), &object));
    SleepInhibitor inhibitor(QDBusConnection::sessionBus(), NoSystemBus());
    // The window tells it twice a second for as long as the music plays.
    for (int beat = 0; beat < 8; ++beat) {
        inhibitor.SetPlaying(true);
        QTest::qWait(25);
    }
    QTest::qWait(100);
    EXPECT_EQ(saver.record.calls, QStringList{u"Inhibit"_qs});
    EXPECT_FALSE(inhibitor.Holding());

    inhibitor.SetPlaying(false);
    inhibitor.SetPlaying(true);
    ASSERT_TRUE(Settle([&] { return saver.record.calls.size() == 2; }));
}

}  // namespace
}  // namespace corvan::test

#include "sleep_inhibitor_test.moc"
