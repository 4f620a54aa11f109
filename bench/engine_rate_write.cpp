// The cost of writing the rate already in force, which the program's rate
// timer does a thousand times a second, beside the cheapest call into
// GStreamer (reading one property of the playbin) and a rate change that
// does reach GStreamer, all while a file plays.
#include <gst/gst.h>

#include "bench_summary.h"
#include "engine/gst_media_engine.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <thread>

namespace {

const QString kFile = QStringLiteral(CORVAN_BENCH_MEDIA_DIR "/long.mp3");

// An engine that plays long.mp3, sound flowing.
class Playing {
public:
    Playing()
    {
        engine.SetFileName(corvan::FilePath::FromText(kFile));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (engine.CurrentPosition() <= 0 && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    corvan::GstMediaEngine engine{corvan::AudioOutput::Silent};
};

void RateInForce(benchmark::State& state)
{
    Playing playing;
    playing.engine.SetRate(1.2);
    double rate = 1.2;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rate);
        benchmark::DoNotOptimize(playing.engine.SetRate(rate));
    }
}

void PlaybinPropertyRead(benchmark::State& state)
{
    Playing playing;
    for (auto _ : state) {
        gint audioStreams = 0;
        g_object_get(playing.engine.Pipeline(), "n-audio", &audioStreams, nullptr);
        benchmark::DoNotOptimize(audioStreams);
    }
}

void RateChange(benchmark::State& state)
{
    Playing playing;
    bool fast = false;
    for (auto _ : state) {
        fast = !fast;
        playing.engine.SetRate(fast ? 1.2 : 1.0);
        state.PauseTiming();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

BENCHMARK(RateInForce);
BENCHMARK(PlaybinPropertyRead);
BENCHMARK(RateChange)->Iterations(200)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    corvan::bench::Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    std::printf("\n");
    bool kept = corvan::bench::Compare(results, "Rate write of the rate in force", "RateInForce",
                                       "playbin property read", "PlaybinPropertyRead", 1e-6);
    kept = corvan::bench::Compare(results, "Rate write of the rate in force", "RateInForce", "rate change sent",
                                  "RateChange/iterations:200", 1e-6)
           && kept;
    benchmark::Shutdown();
    return kept ? 0 : 1;
}
