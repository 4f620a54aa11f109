// The engine under Qt's own event dispatcher, without GLib's main loop: bus
// messages must still arrive, since they are read through a socket notifier
// and not through a GLib source.
#include "engine_harness.h"

#include <QAbstractEventDispatcher>
#include <QApplication>

#include <gtest/gtest.h>

namespace corvan::test {
namespace {

TEST(UnixDispatcher, IsInForce)
{
    EXPECT_FALSE(QByteArray(QAbstractEventDispatcher::instance()->metaObject()->className()).contains("Glib"));
}

TEST(UnixDispatcher, EndOfStreamArrivesOnceOnTheUiThread)
{
    GstMediaEngine engine(AudioOutput::Silent);
    EndCounter ends(engine);
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.wma")))));
    EXPECT_TRUE(WaitUntil([&] { return engine.ClipTitle() == QStringLiteral("Wma Title"); }, 3000));
    ASSERT_TRUE(WaitUntil([&] { return ends.count > 0; }, 6000));
    Spin(300);
    EXPECT_EQ(ends.count, 1);
    EXPECT_TRUE(ends.allOnUiThread);
}

TEST(UnixDispatcher, BrokenFileIsDroppedQuietly)
{
    GstMediaEngine engine(AudioOutput::Silent);
    EndCounter ends(engine);
    engine.SetFileName(AsPath(Media(QStringLiteral("broken/random.mp3"))));
    EXPECT_TRUE(WaitUntil([&] { return !Playing(engine); }, 3000));
    Spin(300);
    EXPECT_EQ(ends.count, 0);
}

}  // namespace
}  // namespace corvan::test

int main(int argc, char** argv)
{
    // Chooses Qt's event dispatcher for this test program only.
    qputenv("QT_NO_GLIB", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
