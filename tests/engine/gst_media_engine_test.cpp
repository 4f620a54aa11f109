#include "engine_harness.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

namespace corvan::test {
namespace {

// Generous bounds: the machine is shared and the tests run two at a time.
constexpr int kOpenMs = 3000;
constexpr int kEndMs = 6000;
// How long a test keeps listening for something that must not come.
constexpr int kQuietMs = 400;

class EngineTest : public ::testing::Test {
protected:
    bool Advancing(double beyond = 0.1)
    {
        return WaitUntil([&] { return engine.CurrentPosition() > beyond; }, kOpenMs);
    }

    GstMediaEngine engine{AudioOutput::Silent};
    EndCounter ends{engine};
};

// --- formats and file names ---------------------------------------------------

// Test names from file names: "tone.mp3" gives "tone_mp3".
template <typename Info>
std::string Named(const Info& param)
{
    std::string name = param.param.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}

struct Clip {
    const char* name;
};
// Parameters print as their names, in failures and in the names CTest shows.
void PrintTo(const Clip& clip, std::ostream* out)
{
    *out << clip.name;
}

class FormatTest : public EngineTest, public ::testing::WithParamInterface<Clip> {};

TEST_P(FormatTest, PlaysToItsEndOnce)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QString::fromUtf8(GetParam().name)))));
    EXPECT_TRUE(Playing(engine));
    EXPECT_TRUE(Advancing());
    EXPECT_NEAR(engine.Duration(), 0.5, 0.15);
    ASSERT_TRUE(WaitUntil([&] { return ends.count > 0; }, kEndMs));
    Spin(kQuietMs);
    EXPECT_EQ(ends.count, 1);
    EXPECT_TRUE(ends.allOnUiThread);
    EXPECT_FALSE(Playing(engine));
    EXPECT_NEAR(engine.CurrentPosition(), engine.Duration(), 0.2);
}

INSTANTIATE_TEST_SUITE_P(Generated, FormatTest,
                         ::testing::Values(Clip{"tone.mp3"}, Clip{"tone.wav"}, Clip{"tone.wma"}, Clip{"clip.wmv"},
                                           Clip{"tune.mid"}),
                         Named<::testing::TestParamInfo<Clip>>);

struct PathCase {
    const char* name;
    QString path;
};
void PrintTo(const PathCase& path, std::ostream* out)
{
    *out << path.name;
}

class FileNameTest : public EngineTest, public ::testing::WithParamInterface<PathCase> {};

// Each of these names tone.mp3 under a name that a careless file URI breaks.
TEST_P(FileNameTest, OpensThePathAsWritten)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(GetParam().path)));
    EXPECT_EQ(engine.FileName().Text(), GetParam().path);
    EXPECT_TRUE(Advancing());
    EXPECT_TRUE(WaitUntil([&] { return engine.ClipTitle() == QStringLiteral("Tone Title"); }, kOpenMs));
}

// A name that is not UTF-8 plays by its bytes; it has no text that names it.
TEST_F(EngineTest, NameThatIsNotUtf8PlaysByItsBytes)
{
    QTemporaryDir dir;
    const QByteArray name = dir.path().toUtf8() + "/caf\xe9 \xff.wav";
    ASSERT_TRUE(QFile::copy(Media(QStringLiteral("tone.wav")), dir.filePath(QStringLiteral("plain.wav"))));
    ASSERT_EQ(::rename(QFile::encodeName(dir.filePath(QStringLiteral("plain.wav"))).constData(), name.constData()), 0);
    ASSERT_TRUE(engine.SetFileName(FilePath::FromBytes(name)));
    EXPECT_EQ(engine.FileName().Bytes(), name);
    EXPECT_TRUE(Advancing());
    EXPECT_FALSE(engine.SetFileName(FilePath::FromText(FilePath::FromBytes(name).Text())))
        << "the shown text names no file";
}

INSTANTIATE_TEST_SUITE_P(Odd, FileNameTest,
                         ::testing::Values(PathCase{"spaces", Media(QStringLiteral("odd names/with spaces.mp3"))},
                                           PathCase{"hash", Media(QStringLiteral("odd names/hash #1.mp3"))},
                                           PathCase{"question_mark", Media(QStringLiteral("odd names/what?.mp3"))},
                                           PathCase{"percent", Media(QStringLiteral("odd names/percent %41%20.mp3"))},
                                           PathCase{"non_ascii", Media(QStringLiteral("odd names/ünïcödé ñame.mp3"))},
                                           // A folder joined with "/" at the root, and inside.
                                           PathCase{"double_slash_at_root",
                                                    QLatin1Char('/') + Media(QStringLiteral("tone.mp3"))},
                                           PathCase{"double_slash_inside", QStringLiteral(CORVAN_TEST_MEDIA_DIR)
                                                                               + QStringLiteral("//tone.mp3")},
                                           PathCase{"dot_dot", Media(QStringLiteral("odd names/../tone.mp3"))}),
                         Named<::testing::TestParamInfo<PathCase>>);

struct Tagged {
    const char* name;
    const char* title;
    const char* author;
};
void PrintTo(const Tagged& tagged, std::ostream* out)
{
    *out << tagged.name;
}

class TagTest : public EngineTest, public ::testing::WithParamInterface<Tagged> {};

TEST_P(TagTest, ReportsTitleAndArtist)
{
    EXPECT_EQ(engine.ClipTitle(), std::nullopt);
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QString::fromUtf8(GetParam().name)))));
    // Right after the write the tags may still be unread, but a file is open.
    EXPECT_TRUE(engine.ClipTitle().has_value());
    EXPECT_TRUE(engine.ClipAuthor().has_value());
    EXPECT_TRUE(WaitUntil([&] { return !engine.ClipAuthor().value_or(QString()).isEmpty(); }, kOpenMs));
    EXPECT_EQ(engine.ClipTitle(), QString::fromUtf8(GetParam().title));
    EXPECT_EQ(engine.ClipAuthor(), QString::fromUtf8(GetParam().author));
}

INSTANTIATE_TEST_SUITE_P(Generated, TagTest,
                         ::testing::Values(Tagged{"tone.mp3", "Tone Title", "Tone Artist"},
                                           Tagged{"tone.wma", "Wma Title", "Wma Artist"}),
                         Named<::testing::TestParamInfo<Tagged>>);

TEST_F(EngineTest, TagsOfTheFileBeforeDoNotCarryOver)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.mp3")))));
    ASSERT_TRUE(WaitUntil([&] { return !engine.ClipTitle().value_or(QString()).isEmpty(); }, kOpenMs));
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("level.wav")))));
    EXPECT_TRUE(Advancing());
    EXPECT_EQ(engine.ClipTitle(), QString());
    EXPECT_EQ(engine.ClipAuthor(), QString());
}

// --- inputs that must not play ------------------------------------------------

struct BadInput {
    const char* name;
    QString path;
    bool refusedAtOnce;  // known unplayable without decoding anything
};
void PrintTo(const BadInput& input, std::ostream* out)
{
    *out << input.name;
}

// The engine's warnings while it lives: what a person reads on stderr.
class EngineWarnings {
public:
    EngineWarnings()
        : previous_(qInstallMessageHandler(&Catch))
    {
        current_ = this;
    }
    ~EngineWarnings()
    {
        qInstallMessageHandler(previous_);
        current_ = nullptr;
    }
    EngineWarnings(const EngineWarnings&) = delete;
    EngineWarnings& operator=(const EngineWarnings&) = delete;

    QStringList texts;

private:
    static void Catch(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (current_ && type == QtWarningMsg && qstrcmp(context.category, "corvan.engine") == 0)
            current_->texts << text;
    }

    static inline EngineWarnings* current_ = nullptr;
    QtMessageHandler previous_;
};

class BadInputTest : public EngineTest, public ::testing::WithParamInterface<BadInput> {
protected:
    EngineWarnings warnings;
};

TEST_P(BadInputTest, LeavesTheEngineQuietAndReadyForTheNextFile)
{
    // Something plays first, so the bad input also has to stop it.
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(Advancing());

    const bool accepted = engine.SetFileName(AsPath(GetParam().path));
    if (GetParam().refusedAtOnce) {
        EXPECT_FALSE(accepted);
        EXPECT_FALSE(Playing(engine));
    }
    EXPECT_TRUE(WaitUntil([&] { return !Playing(engine); }, kOpenMs));
    Spin(kQuietMs);
    EXPECT_EQ(ends.count, 0);
    EXPECT_EQ(engine.CurrentPosition(), 0.0);
    EXPECT_EQ(engine.ClipTitle(), std::nullopt);
    EXPECT_FALSE(engine.SetCurrentPosition(1.0));
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());

    engine.Play();
    EXPECT_FALSE(Playing(engine));
    // The window says nothing; the log says which file and why.
    const QStringList said = warnings.texts.filter(QStringLiteral("cannot play ") + GetParam().path
                                                   + QStringLiteral(" - "));
    EXPECT_EQ(said.size(), 1) << warnings.texts.join(u'\n').toStdString();

    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.mp3")))));
    EXPECT_TRUE(Advancing());
    EXPECT_TRUE(WaitUntil([&] { return ends.count == 1; }, kEndMs));
}

INSTANTIATE_TEST_SUITE_P(Broken, BadInputTest,
                         ::testing::Values(BadInput{"empty_path", QString(), true},
                                           BadInput{"missing", Media(QStringLiteral("no such file.mp3")), true},
                                           BadInput{"folder", Media(QStringLiteral("broken/folder.mp3")), true},
                                           BadInput{"folder_slash", Media(QStringLiteral("broken/")), true},
                                           BadInput{"zero_bytes", Media(QStringLiteral("broken/empty.mp3")), true},
                                           BadInput{"named_pipe", Media(QStringLiteral("broken/pipe.mp3")), true},
                                           BadInput{"random_mp3", Media(QStringLiteral("broken/random.mp3")), false},
                                           BadInput{"random_wma", Media(QStringLiteral("broken/random.wma")), false},
                                           BadInput{"random_mid", Media(QStringLiteral("broken/random.mid")), false},
                                           BadInput{"truncated_mp3", Media(QStringLiteral("broken/truncated.mp3")),
                                                    false},
                                           BadInput{"text_wav", Media(QStringLiteral("broken/text.wav")), false}),
                         Named<::testing::TestParamInfo<BadInput>>);

// --- the end of a file --------------------------------------------------------

TEST_F(EngineTest, EndOfStreamHandlerCanOpenTheNextFile)
{
    QObject::connect(&engine, &MediaEngine::EndOfStream, &engine, [&](int) {
        if (ends.count == 1)
            engine.SetFileName(AsPath(Media(QStringLiteral("tone.wav"))));
    });
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.mp3")))));
    ASSERT_TRUE(WaitUntil([&] { return ends.count == 2; }, 2 * kEndMs));
    EXPECT_EQ(engine.FileName().Text(), Media(QStringLiteral("tone.wav")));
    Spin(kQuietMs);
    EXPECT_EQ(ends.count, 2);
}

// The end of tone.mp3 is posted while the event loop is held up, then the
// file is replaced or stopped before the loop reads it: that end belongs to
// a file that no longer plays and must not be reported.
class StaleEndTest : public EngineTest, public ::testing::WithParamInterface<bool> {};

TEST_P(StaleEndTest, EndOfAReplacedFileIsDropped)
{
    const bool replace = GetParam();
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.mp3")))));
    ASSERT_TRUE(Advancing(0.3));
    QThread::msleep(600);  // the file ends meanwhile, unread
    if (replace)
        ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    else
        engine.Stop();
    Spin(kQuietMs);
    EXPECT_EQ(ends.count, 0);
    EXPECT_EQ(Playing(engine), replace);
}

INSTANTIATE_TEST_SUITE_P(ReplaceOrStop, StaleEndTest, ::testing::Values(true, false),
                         [](const auto& param) { return param.param ? "replaced" : "stopped"; });

// --- transport ----------------------------------------------------------------

TEST_F(EngineTest, CommandsWithNothingOpenDoNothing)
{
    engine.Play();
    engine.Pause();
    engine.Stop();
    engine.SetBalance(MediaEngine::kBalanceRight);
    engine.SetMute(true);
    EXPECT_TRUE(engine.SetVolume(-2500));
    EXPECT_FALSE(Playing(engine));
    EXPECT_EQ(engine.CurrentPosition(), 0.0);
    EXPECT_EQ(engine.Duration(), 0.0);
    EXPECT_FALSE(engine.SetCurrentPosition(0.0));
    EXPECT_EQ(engine.ClipTitle(), std::nullopt);
    Spin(100);
    EXPECT_EQ(ends.count, 0);
}

TEST_F(EngineTest, PauseHoldsPlayResumesStopRewinds)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(Advancing(0.3));

    engine.Pause();
    Spin(150);
    const double held = engine.CurrentPosition();
    Spin(300);
    EXPECT_NEAR(engine.CurrentPosition(), held, 0.05);
    EXPECT_FALSE(Playing(engine));

    engine.Play();
    EXPECT_TRUE(Advancing(held + 0.2));

    ASSERT_TRUE(WaitUntil([&] { return engine.Duration() > 0; }, kOpenMs));
    engine.Stop();
    EXPECT_FALSE(Playing(engine));
    EXPECT_EQ(engine.CurrentPosition(), 0.0);
    EXPECT_NEAR(engine.Duration(), 30.0, 0.5);  // still known after a stop

    engine.Play();
    EXPECT_TRUE(Advancing(0.1));
    EXPECT_LT(engine.CurrentPosition(), held);
}

TEST_F(EngineTest, PlayAfterTheEndStartsAgain)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.wav")))));
    ASSERT_TRUE(WaitUntil([&] { return ends.count == 1; }, kEndMs));
    engine.Play();
    EXPECT_TRUE(Playing(engine));
    EXPECT_TRUE(WaitUntil([&] { return ends.count == 2; }, kEndMs));
}

// --- position -----------------------------------------------------------------

TEST_F(EngineTest, PositionAndLengthAreZeroUntilKnown)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    EXPECT_EQ(engine.CurrentPosition(), 0.0);
    EXPECT_EQ(engine.Duration(), 0.0);
    EXPECT_TRUE(WaitUntil([&] { return engine.Duration() > 0; }, kOpenMs));
    EXPECT_NEAR(engine.Duration(), 30.0, 0.5);
}

TEST_F(EngineTest, SeeksWithinTheClipAndRefusesOutside)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(Advancing());
    ASSERT_TRUE(WaitUntil([&] { return engine.Duration() > 0; }, kOpenMs));

    EXPECT_FALSE(engine.SetCurrentPosition(-6.0));
    EXPECT_FALSE(engine.SetCurrentPosition(engine.Duration() + 1));
    EXPECT_FALSE(engine.SetCurrentPosition(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_LT(engine.CurrentPosition(), 5.0);

    ASSERT_TRUE(engine.SetCurrentPosition(20.0));
    EXPECT_DOUBLE_EQ(engine.CurrentPosition(), 20.0);  // read back at once
    EXPECT_TRUE(Advancing(20.2));
    EXPECT_LT(engine.CurrentPosition(), 22.0);
}

TEST_F(EngineTest, SeekWrittenWhileOpeningTakesEffect)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(engine.SetCurrentPosition(12.0));
    EXPECT_TRUE(Advancing(12.2));
    EXPECT_LT(engine.CurrentPosition(), 14.0);
}

// --- what reaches the sound output ---------------------------------------------

TEST_F(EngineTest, VolumeRefusesOutOfRangeAndKeepsTheValue)
{
    struct Write {
        long value;
        bool accepted;
        long after;
    };
    const Write writes[] = {
        {-2500, true, -2500}, {1, false, -2500},      {-10001, false, -2500},
        {0, true, 0},         {-10000, true, -10000}, {std::numeric_limits<long>::min(), false, -10000},
    };
    for (const Write& w : writes) {
        EXPECT_EQ(engine.SetVolume(w.value), w.accepted) << w.value;
        EXPECT_EQ(engine.Volume(), w.after) << w.value;
    }
}

// level.wav is a sine at half scale on both channels.
TEST_F(EngineTest, VolumeBalanceAndMuteShapeTheOutput)
{
    OutputMeter meter(engine);
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("level.wav")))));
    ASSERT_TRUE(Advancing());

    struct Setting {
        const char* what;
        long volume;
        int balance;
        bool mute;
        double left;
        double right;
    };
    const Setting settings[] = {
        {"full", 0, 0, false, 0.5, 0.5},         {"-20 dB", -2000, 0, false, 0.05, 0.05},
        {"muted", -2000, 0, true, 0, 0},         {"unmuted", -2000, 0, false, 0.05, 0.05},
        {"left only", 0, -10000, false, 0.5, 0}, {"right only", 0, 10000, false, 0, 0.5},
        {"centre", 0, 0, false, 0.5, 0.5},
    };
    const auto near = [](double measured, double expected) {
        return std::fabs(measured - expected) <= 0.01 + expected * 0.05;
    };
    for (const Setting& s : settings) {
        engine.SetVolume(s.volume);
        engine.SetBalance(s.balance);
        engine.SetMute(s.mute);
        // Sound already past the balance stage still drains out; measure
        // windows of a tenth of a second until one shows the new setting.
        OutputMeter::Reading r;
        const bool settled = WaitUntil(
            [&] {
                meter.Reset();
                Spin(100);
                r = meter.Read();
                return r.frames > 2000 && near(r.left, s.left) && near(r.right, s.right);
            },
            kOpenMs);
        EXPECT_TRUE(settled) << s.what << ": left " << r.left << ", right " << r.right;
        EXPECT_EQ(engine.Volume(), s.volume) << s.what;
        EXPECT_EQ(engine.Mute(), s.mute) << s.what;
    }
}

// --- rate ---------------------------------------------------------------------

TEST_F(EngineTest, RateRefusesWhatCannotBePlayed)
{
    for (const double bad :
         {0.0, -1.0, 100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(engine.SetRate(bad)) << bad;
        EXPECT_EQ(engine.Rate(), 1.0);
    }
}

TEST_F(EngineTest, RateInForceIsNotSentAgain)
{
    OutputMeter meter(engine);
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(Advancing(0.3));

    const int before = meter.Read().flushes;
    ASSERT_TRUE(engine.SetRate(1.2));
    ASSERT_TRUE(WaitUntil([&] { return meter.Read().appliedRate == 1.2; }, kOpenMs));
    EXPECT_EQ(meter.Read().flushes, before + 1);

    // What the rate timer does: the same value over and over.
    for (int i = 0; i < 1000; ++i) {
        EXPECT_TRUE(engine.SetRate(1.2));
        if (i % 100 == 0)
            Spin(1);
    }
    Spin(200);
    EXPECT_EQ(meter.Read().flushes, before + 1);
    EXPECT_TRUE(Playing(engine));
}

TEST_F(EngineTest, RateChangedWhilePlayingMovesThePositionAtThatPace)
{
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(Advancing(0.3));
    ASSERT_TRUE(engine.SetRate(2.0));
    Spin(300);
    const double from = engine.CurrentPosition();
    Spin(1000);
    EXPECT_NEAR(engine.CurrentPosition() - from, 2.0, 0.5);
}

TEST_F(EngineTest, RateKeepsThePitchAndHoldsForFilesOpenedLater)
{
    ASSERT_TRUE(engine.SetRate(2.0));  // nothing open yet
    OutputMeter meter(engine);
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(Advancing(0.5));

    // The output gets sound already stretched in time at its normal pitch
    // (rate 1, applied rate 2), not sound to be played twice as fast.
    EXPECT_EQ(meter.Read().rate, 1.0);
    EXPECT_EQ(meter.Read().appliedRate, 2.0);

    const double from = engine.CurrentPosition();
    Spin(1000);
    EXPECT_NEAR(engine.CurrentPosition() - from, 2.0, 0.5);
    EXPECT_EQ(engine.Rate(), 2.0);
}

// --- gapless -----------------------------------------------------------------

// The next file is asked for while the end of the open one still plays, and
// follows it: FileJoined instead of EndOfStream, the new file's length and
// position from its first moment.
TEST_F(EngineTest, TheNextFileFollowsWithoutAnEnd)
{
    int asked = 0;
    std::vector<FilePath> queue{AsPath(Media(QStringLiteral("tone.mp3")))};
    QElapsedTimer sinceSeek;
    engine.SetNextFile([&]() -> std::optional<FilePath> {
        ++asked;
        if (queue.empty())
            return std::nullopt;
        const FilePath next = queue.back();
        queue.pop_back();
        return next;
    });
    int joined = 0;
    double durationAtJoin = 0;
    double positionAtJoin = -1;
    double joinedAfter = 0;
    QObject::connect(&engine, &MediaEngine::FileJoined, [&] {
        ++joined;
        durationAtJoin = engine.Duration();
        positionAtJoin = engine.CurrentPosition();
        joinedAfter = sinceSeek.elapsed() / 1000.0;
    });
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("level.wav")))));
    ASSERT_TRUE(Advancing(0.2));
    // Two and a half seconds before the end: the question comes at once
    // (playbin has read the rest), the next file only when this one ends.
    ASSERT_TRUE(WaitUntil([&] { return engine.Duration() > 0; }, kOpenMs));
    ASSERT_TRUE(engine.SetCurrentPosition(engine.Duration() - 2.5));
    sinceSeek.start();
    ASSERT_TRUE(WaitUntil([&] { return joined == 1; }, kEndMs));
    EXPECT_GT(joinedAfter, 2.2) << "not before the end";
    EXPECT_EQ(ends.count, 0) << "no end between the two";
    EXPECT_EQ(engine.FileName().Text(), Media(QStringLiteral("tone.mp3")));
    EXPECT_LT(positionAtJoin, 0.2);
    (void)durationAtJoin;
    EXPECT_TRUE(WaitUntil([&] { return engine.Duration() > 0; }, kOpenMs));
    EXPECT_NEAR(engine.Duration(), 0.5, 0.15);
    EXPECT_TRUE(WaitUntil([&] { return engine.ClipTitle() == QStringLiteral("Tone Title"); }, kOpenMs))
        << "the joined file's own tags";
    // Nothing more to follow: the second file ends as files always have.
    ASSERT_TRUE(WaitUntil([&] { return ends.count == 1; }, kEndMs));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(joined, 1);
}

// playbin reads the file to follow while the open one still plays; when it
// does not open, the open file is heard to its end all the same and then
// ends as if nothing had been to follow.
TEST_F(EngineTest, AFileToFollowThatDoesNotOpenLetsTheOpenOneEnd)
{
    engine.SetNextFile([&]() -> std::optional<FilePath> { return AsPath(Media(QStringLiteral("broken/random.mp3"))); });
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("level.wav")))));
    ASSERT_TRUE(Advancing(0.2));
    ASSERT_TRUE(WaitUntil([&] { return engine.Duration() > 0; }, kOpenMs));
    const double length = engine.Duration();
    ASSERT_TRUE(engine.SetCurrentPosition(length - 2.5));
    QElapsedTimer sinceSeek;
    sinceSeek.start();
    double heardTo = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            heardTo = std::max(heardTo, engine.CurrentPosition());
            return ends.count > 0;
        },
        kEndMs));
    EXPECT_GT(sinceSeek.elapsed() / 1000.0, 2.2) << "not before the end";
    EXPECT_NEAR(heardTo, length, 0.3);
    Spin(kQuietMs);
    EXPECT_EQ(ends.count, 1);
    EXPECT_FALSE(Playing(engine));
    // The engine takes the next file as usual.
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("tone.wav")))));
    EXPECT_TRUE(Advancing(0.2));
}

TEST_F(EngineTest, AFileStartedByHandDropsTheOneThatWasToFollow)
{
    engine.SetNextFile([&]() -> std::optional<FilePath> { return AsPath(Media(QStringLiteral("tone.mp3"))); });
    int joined = 0;
    QObject::connect(&engine, &MediaEngine::FileJoined, [&] { ++joined; });
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("long.mp3")))));
    ASSERT_TRUE(Advancing(0.2));
    // Near the end: the question comes, then a file is started by hand.
    ASSERT_TRUE(WaitUntil([&] { return engine.Duration() > 0; }, kOpenMs));
    ASSERT_TRUE(engine.SetCurrentPosition(engine.Duration() - 0.3));
    Spin(100);
    ASSERT_TRUE(engine.SetFileName(AsPath(Media(QStringLiteral("level.wav")))));
    ASSERT_TRUE(Advancing(0.5));
    EXPECT_EQ(joined, 0);
    EXPECT_EQ(engine.FileName().Text(), Media(QStringLiteral("level.wav")));
}

// --- event delivery ----------------------------------------------------------

TEST(EventDispatcher, DefaultOneIsGlibBased)
{
    // The companion program engine_unix_dispatcher_test covers the other one.
    EXPECT_TRUE(QByteArray(QAbstractEventDispatcher::instance()->metaObject()->className()).contains("Glib"));
}

}  // namespace
}  // namespace corvan::test
