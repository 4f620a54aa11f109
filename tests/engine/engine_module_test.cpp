// The engine as the program gets it: opened from its module, with the
// engine's base class taken from the program.
#include "engine/engine_module.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace corvan {
namespace {

TEST(EngineModule, PlaysAFileToItsEndThroughTheProgramsMediaEngine)
{
    QString error;
    const auto module = EngineModule::Open({QStringLiteral("/nonexistent"), QStringLiteral(CORVAN_BUILD_DIR)}, &error);
    ASSERT_TRUE(module) << error.toStdString();

    const std::unique_ptr<MediaEngine> engine = module->Make(AudioOutput::Silent);
    ASSERT_TRUE(engine);
    // Connected here with the program's own MediaEngine: a second copy of
    // the class inside the module would leave the spy empty.
    QSignalSpy ends(engine.get(), &MediaEngine::EndOfStream);
    ASSERT_TRUE(ends.isValid());
    EXPECT_TRUE(qobject_cast<MediaEngine*>(engine.get()));

    ASSERT_TRUE(engine->SetFileName(FilePath::FromBytes(CORVAN_TEST_MEDIA_DIR "/tone.wav")));
    EXPECT_EQ(engine->State(), MediaEngine::PlayState::Playing);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ends.count() == 1; }, 6000));
    EXPECT_FALSE(engine->SetFileName(FilePath::FromBytes(CORVAN_TEST_MEDIA_DIR "/broken/folder.mp3")));
}

TEST(EngineModule, MissingModuleIsReportedNotOpened)
{
    QString error;
    EXPECT_FALSE(EngineModule::Open({QStringLiteral("/nonexistent")}, &error));
    EXPECT_TRUE(error.contains(EngineModule::FileName())) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent"))) << error.toStdString();
}

}  // namespace
}  // namespace corvan
