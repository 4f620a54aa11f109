// The rate timer's tick when nothing has changed, with a file playing at a
// marked speed, beside the cheapest call into GStreamer (reading one
// property of the playbin). Every call the tick makes into GStreamer is
// counted: the engine's GStreamer entry points are wrapped at link time
// (see bench/CMakeLists.txt), and a tick that made one fails the run.
#include <gst/gst.h>

#include "audio/balance_speed.h"
#include "bench_summary.h"
#include "engine/gst_media_engine.h"

#include <QAction>
#include <QApplication>
#include <QString>

#include <chrono>
#include <cstdarg>
#include <thread>
#include <vector>

namespace {
long gstCalls = 0;
}

// The wrapped entry points: every one the engine can reach once a file is
// open. The variadic ones are forwarded through their va_list forms.
extern "C" {
gboolean __real_gst_element_seek(GstElement*, gdouble, GstFormat, GstSeekFlags, GstSeekType, gint64, GstSeekType,
                                 gint64);
GstStateChangeReturn __real_gst_element_set_state(GstElement*, GstState);
gboolean __real_gst_element_query_position(GstElement*, GstFormat, gint64*);
gboolean __real_gst_element_query_duration(GstElement*, GstFormat, gint64*);

gboolean __wrap_gst_element_seek(GstElement* e, gdouble rate, GstFormat format, GstSeekFlags flags,
                                 GstSeekType startType, gint64 start, GstSeekType stopType, gint64 stop)
{
    ++gstCalls;
    return __real_gst_element_seek(e, rate, format, flags, startType, start, stopType, stop);
}
GstStateChangeReturn __wrap_gst_element_set_state(GstElement* e, GstState state)
{
    ++gstCalls;
    return __real_gst_element_set_state(e, state);
}
gboolean __wrap_gst_element_query_position(GstElement* e, GstFormat format, gint64* cur)
{
    ++gstCalls;
    return __real_gst_element_query_position(e, format, cur);
}
gboolean __wrap_gst_element_query_duration(GstElement* e, GstFormat format, gint64* length)
{
    ++gstCalls;
    return __real_gst_element_query_duration(e, format, length);
}
void __wrap_g_object_set(gpointer object, const gchar* first, ...)
{
    ++gstCalls;
    va_list args;
    va_start(args, first);
    g_object_set_valist(G_OBJECT(object), first, args);
    va_end(args);
}
void __wrap_g_object_get(gpointer object, const gchar* first, ...)
{
    ++gstCalls;
    va_list args;
    va_start(args, first);
    g_object_get_valist(G_OBJECT(object), first, args);
    va_end(args);
}
}

namespace {

const QString kFile = QStringLiteral(CORVAN_BENCH_MEDIA_DIR "/long.mp3");

// An engine playing long.mp3 with sound flowing, and the speed items with
// "+150" marked and already in force.
class Playing {
public:
    Playing()
        : speed({nullptr, nullptr, nullptr, {&items[0], &items[1], &items[2], &items[3], &items[4]}}, engine)
    {
        for (QAction& item : items)
            item.setCheckable(true);
        speed.ChooseSpeed(&items[3]);
        engine.SetFileName(corvan::FilePath::FromText(kFile));
        speed.Tick();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (engine.CurrentPosition() <= 0.2 && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    corvan::GstMediaEngine engine{corvan::AudioOutput::Silent};
    QAction items[5];
    corvan::BalanceSpeed speed;
};

void Timer2TickUnchanged(benchmark::State& state)
{
    Playing playing;
    if (playing.engine.CurrentPosition() <= 0 || playing.engine.Rate() != 1.2) {
        state.SkipWithError("long.mp3 did not start at the marked speed");
        return;
    }
    if (gstCalls == 0) {
        state.SkipWithError("the engine's calls into GStreamer are not being counted");
        return;
    }
    const long before = gstCalls;
    for (auto _ : state)
        playing.speed.Tick();
    const long made = gstCalls - before;
    state.counters["gst_calls"] = double(made);
    if (made != 0)
        state.SkipWithError("the tick called into GStreamer");
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

BENCHMARK(Timer2TickUnchanged);
BENCHMARK(PlaybinPropertyRead);

}  // namespace

int main(int argc, char** argv)
{
    // Speed items are actions, which want a GUI application; no screen is needed.
    std::vector<char*> qtArgs{argv[0], const_cast<char*>("-platform"), const_cast<char*>("offscreen")};
    int qtArgc = int(qtArgs.size());
    QApplication app(qtArgc, qtArgs.data());
    benchmark::Initialize(&argc, argv);
    corvan::bench::Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    std::printf("\n");
    const bool kept = corvan::bench::Compare(results, "Timer2 tick, nothing changed", "Timer2TickUnchanged",
                                             "playbin property read", "PlaybinPropertyRead", 2e-6);
    const bool quiet = results.seconds.count("Timer2TickUnchanged") > 0;
    std::printf("%-30s %s\n", "GStreamer calls by the tick", quiet ? "none" : "SOME (or not measured)");
    benchmark::Shutdown();
    return kept && quiet ? 0 : 1;
}
