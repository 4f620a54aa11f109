// Where the open file stands, as the desktop's remote control reports it.
#include "engine_harness.h"

#include <gtest/gtest.h>

namespace corvan::test {
namespace {

using State = MediaEngine::PlayState;

TEST(EnginePlayState, FollowsTheCommandsTheEndAndAFailure)
{
    GstMediaEngine engine{AudioOutput::Silent};
    EndCounter ends{engine};
    EXPECT_EQ(engine.State(), State::Stopped) << "nothing open";
    engine.Pause();
    EXPECT_EQ(engine.State(), State::Stopped) << "nothing to pause";

    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.mp3")))));
    EXPECT_EQ(engine.State(), State::Playing);
    engine.Pause();
    EXPECT_EQ(engine.State(), State::Paused);
    engine.Play();
    EXPECT_EQ(engine.State(), State::Playing);
    engine.Stop();
    EXPECT_EQ(engine.State(), State::Stopped);
    engine.Pause();
    EXPECT_EQ(engine.State(), State::Paused) << "paused at the start, ready to play";
    engine.Play();
    ASSERT_TRUE(WaitUntil([&] { return ends.count == 1; }, 6000));
    EXPECT_EQ(engine.State(), State::Stopped) << "at its end";

    // A file that turns out undecodable stops as soon as GStreamer gives up.
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("broken/random.mp3")))));
    EXPECT_TRUE(WaitUntil([&] { return engine.State() == State::Stopped; }, 3000));
    EXPECT_FALSE(engine.SetFileName(AsPath(Media(QStringLiteral("broken/folder.mp3")))));
    EXPECT_EQ(engine.State(), State::Stopped);
}

}  // namespace
}  // namespace corvan::test
