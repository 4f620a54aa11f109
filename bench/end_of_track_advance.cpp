// From the end of one file to the next one advancing, through the whole
// window: the engine's end of stream, the end-of-track rules choosing the
// next entry of the queue, the start step and the labels, until the new
// file's position moves. The reference is the engine alone, given the next
// file's name straight from its end of stream, in the same run on the same
// queue of short files.
#include "offscreen_application.h"
#include "bench_summary.h"
#include "engine/playback_engine.h"
#include "playback/end_of_track.h"
#include "shell/form2.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kQueueLength = 6;
QString queueFolder;

// A stereo 16-bit WAV of a 440 Hz tone: short enough that the queue turns
// over quickly, long enough to be a real file with a real end.
bool WriteTone(const QString& path, double seconds)
{
    constexpr int rate = 44100;
    const int frames = static_cast<int>(seconds * rate);
    QByteArray data;
    data.reserve(frames * 4);
    for (int i = 0; i < frames; ++i) {
        const auto sample = static_cast<qint16>(8000 * std::sin(2 * M_PI * 440 * i / rate));
        for (int channel = 0; channel < 2; ++channel) {
            const qint16 le = qToLittleEndian(sample);
            data.append(reinterpret_cast<const char*>(&le), 2);
        }
    }
    const auto u32 = [](quint32 v) {
        v = qToLittleEndian(v);
        return QByteArray(reinterpret_cast<const char*>(&v), 4);
    };
    const auto u16 = [](quint16 v) {
        v = qToLittleEndian(v);
        return QByteArray(reinterpret_cast<const char*>(&v), 2);
    };
    QByteArray file = "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(2) + u32(rate)
                      + u32(rate * 4) + u16(4) + u16(16) + "data" + u32(data.size()) + data;
    QFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(file) == file.size();
}

QString QueueFile(int i)
{
    return queueFolder + QStringLiteral("/%1 tone.wav").arg(i + 1, 2, 10, QLatin1Char('0'));
}

// Runs Qt's event loop until `done` holds; false after five seconds.
bool PumpUntil(const std::function<bool()>& done)
{
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

double Since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// One transition per iteration: wait for the playing file to end, then time
// from that end until the next file's position moves.
void MeasureTransitions(benchmark::State& state, corvan::MediaEngine& engine, std::optional<Clock::time_point>& ended)
{
    for (auto _ : state) {
        ended.reset();
        if (!PumpUntil([&] { return ended.has_value(); })) {
            state.SkipWithError("no end of stream");
            break;
        }
        if (!PumpUntil([&] { return engine.CurrentPosition() > 0; })) {
            state.SkipWithError("the next file did not start");
            break;
        }
        state.SetIterationTime(Since(*ended));
    }
}

void ThroughTheWindow(benchmark::State& state)
{
    const auto made = corvan::MakePlaybackEngine(corvan::AudioOutput::Silent);
    corvan::MediaEngine& engine = *made;
    corvan::Form2 form(engine, corvan::Desktop{});
    form.Load();  // the two timers run as in the program
    corvan::Form2Controls& c = form.Controls();
    c.Dir1->SetPath(corvan::FilePath::FromText(queueFolder));
    c.File1->SetPath(corvan::FilePath::FromText(queueFolder));

    // The end-of-track handler is called from here, after the clock is read.
    auto* end = form.findChild<corvan::EndOfTrack*>(QStringLiteral("EndOfTrack"));
    QObject::disconnect(&engine, &corvan::MediaEngine::EndOfStream, end, nullptr);
    std::optional<Clock::time_point> ended;
    QObject::connect(&engine, &corvan::MediaEngine::EndOfStream, end, [&] {
        ended = Clock::now();
        end->OnEndOfStream();
    });

    // A double-click start arms the wrap, so the queue plays round for ever.
    c.File1->SetListIndex(0);
    emit c.File1->DoubleClicked();
    MeasureTransitions(state, engine, ended);
}

void EngineAlone(benchmark::State& state)
{
    const auto made = corvan::MakePlaybackEngine(corvan::AudioOutput::Silent);
    corvan::MediaEngine& engine = *made;
    int next = 0;
    std::optional<Clock::time_point> ended;
    QObject::connect(&engine, &corvan::MediaEngine::EndOfStream, &engine, [&] {
        ended = Clock::now();
        engine.SetFileName(corvan::FilePath::FromText(QueueFile(next)));
        next = (next + 1) % kQueueLength;
    });
    engine.SetFileName(corvan::FilePath::FromText(QueueFile(next++)));
    MeasureTransitions(state, engine, ended);
}

BENCHMARK(ThroughTheWindow)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineAlone)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    corvan::bench::OffscreenApplication app(argv[0]);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    queueFolder = dir.path();
    for (int i = 0; i < kQueueLength; ++i) {
        if (!WriteTone(QueueFile(i), 0.3)) {
            std::fprintf(stderr, "cannot write the queue\n");
            return 1;
        }
    }
    {
        // The first start builds GStreamer's plugin cache and loads the
        // decoders; that is not what is measured.
        const auto warmUp = corvan::MakePlaybackEngine(corvan::AudioOutput::Silent);
        warmUp->SetFileName(corvan::FilePath::FromText(QueueFile(0)));
        PumpUntil([&] { return warmUp->CurrentPosition() > 0; });
    }

    corvan::bench::Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    std::printf("\n");
    const bool kept = corvan::bench::Compare(results, "end of file to next advancing",
                                             "ThroughTheWindow/iterations:30/manual_time", "engine alone",
                                             "EngineAlone/iterations:30/manual_time", 50e-3);
    benchmark::Shutdown();
    return kept ? 0 : 1;
}
