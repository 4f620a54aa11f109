// The stand-in engine of the start-up: what a person does before GStreamer
// has loaded is kept and handed over, so nothing is lost.
#include "engine/pending_media_engine.h"
#include "fake_media_engine.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace corvan::test {
namespace {

using State = MediaEngine::PlayState;

class PendingEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        song = FilePath::FromText(folder.filePath(QStringLiteral("song.wav")));
        QFile file(song.Text());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RIFF....WAVE");
    }

    // Hands a fresh fake engine over and returns it.
    FakeMediaEngine& Arrive()
    {
        auto late = std::make_unique<FakeMediaEngine>();
        FakeMediaEngine& real = *late;
        engine.Attach(std::move(late));
        return real;
    }

    QTemporaryDir folder;
    FilePath song;
    PendingMediaEngine engine;
};

TEST_F(PendingEngine, AnswersAsAnEngineWouldWhileWaiting)
{
    EXPECT_EQ(engine.State(), State::Stopped);
    EXPECT_FALSE(engine.ClipTitle()) << "nothing open";
    EXPECT_FALSE(engine.SetVolume(-10001));
    EXPECT_TRUE(engine.SetVolume(-2500));
    EXPECT_EQ(engine.Volume(), -2500);
    engine.SetBalance(20000);
    EXPECT_EQ(engine.Balance(), MediaEngine::kBalanceRight);
    EXPECT_FALSE(engine.SetRate(0));
    EXPECT_TRUE(engine.SetRate(1.2));
    EXPECT_FALSE(engine.SetCurrentPosition(10)) << "nothing open to seek in";
    EXPECT_FALSE(engine.SetFileName(FilePath::FromText(folder.path()))) << "a folder does not play";
    EXPECT_FALSE(engine.SetFileName(FilePath()));

    ASSERT_TRUE(engine.SetFileName(song));
    EXPECT_EQ(engine.FileName(), song);
    EXPECT_EQ(engine.State(), State::Playing);
    EXPECT_EQ(engine.ClipTitle(), QString()) << "open, tags not read yet";
    EXPECT_EQ(engine.Duration(), 0.0);
    EXPECT_FALSE(engine.SetCurrentPosition(-1));
    EXPECT_TRUE(engine.SetCurrentPosition(4));
    EXPECT_EQ(engine.CurrentPosition(), 4.0);
    engine.Pause();
    EXPECT_EQ(engine.State(), State::Paused);
    engine.Stop();
    EXPECT_EQ(engine.State(), State::Stopped);
    EXPECT_EQ(engine.CurrentPosition(), 0.0) << "a stop goes back to the start";
}

TEST_F(PendingEngine, HandsOverEverythingAskedBeforeTheEngineCame)
{
    engine.SetVolume(-1800);
    engine.SetBalance(-10000);
    engine.SetMute(true);
    engine.SetRate(2.0);
    engine.SetFileName(song);
    engine.SetCurrentPosition(3);
    FakeMediaEngine& real = Arrive();
    EXPECT_EQ(real.calls, (QStringList{u"Volume -1800"_qs, u"Balance -10000"_qs, u"Mute 1"_qs, u"Rate 2"_qs,
                                       u"FileName "_qs + song.Text(), u"CurrentPosition 3"_qs}));
    EXPECT_TRUE(real.playing) << "a file started before the engine came plays when it comes";
    EXPECT_EQ(engine.State(), State::Playing);
}

TEST_F(PendingEngine, APauseOrStopAskedMeanwhileHolds)
{
    engine.SetFileName(song);
    engine.Pause();
    EXPECT_EQ(Arrive().callsOf(QStringLiteral("Pause")).size(), 1);
    EXPECT_EQ(engine.State(), State::Paused);

    PendingMediaEngine stopped;
    stopped.SetFileName(song);
    stopped.Stop();
    auto late = std::make_unique<FakeMediaEngine>();
    FakeMediaEngine& real = *late;
    stopped.Attach(std::move(late));
    EXPECT_EQ(real.calls.last(), u"Stop"_qs);
    EXPECT_EQ(stopped.State(), State::Stopped);
}

TEST_F(PendingEngine, PassesEverythingThroughOnceAttached)
{
    FakeMediaEngine& real = Arrive();
    QSignalSpy ends(&engine, &MediaEngine::EndOfStream);
    QSignalSpy tags(&engine, &MediaEngine::TagsChanged);
    EXPECT_TRUE(engine.SetFileName(song));
    real.duration = 30;
    EXPECT_TRUE(engine.SetCurrentPosition(12));
    EXPECT_EQ(engine.CurrentPosition(), 12.0);
    EXPECT_EQ(engine.Duration(), 30.0);
    real.title = u"A Title"_qs;
    EXPECT_EQ(engine.ClipTitle(), u"A Title"_qs);
    real.finish();
    emit real.TagsChanged();
    EXPECT_EQ(ends.count(), 1);
    EXPECT_EQ(tags.count(), 1);

    // A second engine is not taken.
    engine.Attach(std::make_unique<FakeMediaEngine>());
    EXPECT_EQ(engine.Attached(), &real);
}

TEST_F(PendingEngine, AFileThatCannotPlayIsStillNamedToTheEngine)
{
    const FilePath missing = FilePath::FromText(folder.filePath(QStringLiteral("gone.mp3")));
    EXPECT_FALSE(engine.SetFileName(missing));
    engine.Play();
    FakeMediaEngine& real = Arrive();
    EXPECT_EQ(real.callsOf(QStringLiteral("FileName")), QStringList{missing.Text()});
    EXPECT_TRUE(real.callsOf(QStringLiteral("Play")).isEmpty());
    EXPECT_EQ(engine.FileName(), missing);
}

}  // namespace
}  // namespace corvan::test
