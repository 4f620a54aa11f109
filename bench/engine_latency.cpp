// How quickly a file starts: the time a FileName write takes to return, and
// the time from that write until the position advances (sound is flowing).
// The reference is GStreamer's playbin as it comes, driven the same way
// without the engine around it, in the same run and on the same file.
#include <gst/gst.h>

#include "bench_summary.h"
#include "engine/gst_media_engine.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <functional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

const QString kFile = QStringLiteral(CORVAN_BENCH_MEDIA_DIR "/long.mp3");

// Runs Qt's event loop (where the engine reads its bus) until `done` holds;
// false after five seconds.
bool PumpUntil(const std::function<bool()>& done)
{
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return true;
}

double Since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// playbin with the same silent, real-time output as the engine's tests.
class BarePlaybin {
public:
    BarePlaybin()
        : playbin_(static_cast<GstElement*>(gst_object_ref_sink(gst_element_factory_make("playbin", nullptr))))
    {
        GstElement* sink = gst_element_factory_make("fakeaudiosink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        g_object_set(playbin_, "audio-sink", sink, "video-sink", gst_element_factory_make("fakesink", nullptr),
                     nullptr);
        uri_ = gst_filename_to_uri(kFile.toLocal8Bit().constData(), nullptr);
    }
    ~BarePlaybin()
    {
        gst_element_set_state(playbin_, GST_STATE_NULL);
        gst_object_unref(playbin_);
        g_free(uri_);
    }
    BarePlaybin(const BarePlaybin&) = delete;
    BarePlaybin& operator=(const BarePlaybin&) = delete;

    // What a FileName write amounts to: stop what plays, open, play.
    void Open()
    {
        gst_element_set_state(playbin_, GST_STATE_READY);
        g_object_set(playbin_, "uri", uri_, nullptr);
        gst_element_set_state(playbin_, GST_STATE_PLAYING);
    }
    bool Advancing() const
    {
        gint64 at = 0;
        return gst_element_query_position(playbin_, GST_FORMAT_TIME, &at) && at > 0;
    }
    // Nobody reads this bus: empty it between iterations.
    void DropMessages()
    {
        GstBus* bus = gst_element_get_bus(playbin_);
        while (GstMessage* message = gst_bus_pop(bus))
            gst_message_unref(message);
        gst_object_unref(bus);
    }

private:
    GstElement* playbin_;
    gchar* uri_;
};

void EngineFileNameWrite(benchmark::State& state)
{
    corvan::GstMediaEngine engine(corvan::AudioOutput::Silent);
    for (auto _ : state) {
        const auto start = Clock::now();
        engine.SetFileName(corvan::FilePath::FromText(kFile));
        state.SetIterationTime(Since(start));
        // The next write replaces a file that plays, as in use.
        if (!PumpUntil([&] { return engine.CurrentPosition() > 0; }))
            state.SkipWithError("the file did not start");
    }
}

void BareFileNameWrite(benchmark::State& state)
{
    BarePlaybin bare;
    for (auto _ : state) {
        const auto start = Clock::now();
        bare.Open();
        state.SetIterationTime(Since(start));
        if (!PumpUntil([&] { return bare.Advancing(); }))
            state.SkipWithError("the file did not start");
        bare.DropMessages();
    }
}

void EngineOpenToSound(benchmark::State& state)
{
    corvan::GstMediaEngine engine(corvan::AudioOutput::Silent);
    for (auto _ : state) {
        const auto start = Clock::now();
        engine.SetFileName(corvan::FilePath::FromText(kFile));
        if (!PumpUntil([&] { return engine.CurrentPosition() > 0; }))
            state.SkipWithError("the file did not start");
        state.SetIterationTime(Since(start));
    }
}

void BareOpenToSound(benchmark::State& state)
{
    BarePlaybin bare;
    for (auto _ : state) {
        const auto start = Clock::now();
        bare.Open();
        if (!PumpUntil([&] { return bare.Advancing(); }))
            state.SkipWithError("the file did not start");
        state.SetIterationTime(Since(start));
        bare.DropMessages();
    }
}

BENCHMARK(EngineFileNameWrite)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BareFileNameWrite)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineOpenToSound)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BareOpenToSound)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        // The first start builds GStreamer's plugin cache and loads the
        // decoders; that is not what is measured. It also starts GStreamer,
        // which the bare playbin relies on.
        corvan::GstMediaEngine warmUp(corvan::AudioOutput::Silent);
        warmUp.SetFileName(corvan::FilePath::FromText(kFile));
        PumpUntil([&] { return warmUp.CurrentPosition() > 0; });
    }
    corvan::bench::Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    std::printf("\n");
    bool kept = corvan::bench::Compare(results, "FileName write returns",
                                       "EngineFileNameWrite/iterations:40/manual_time", "bare playbin",
                                       "BareFileNameWrite/iterations:40/manual_time", 5e-3);
    kept = corvan::bench::Compare(results, "FileName write to sound", "EngineOpenToSound/iterations:40/manual_time",
                                  "bare playbin", "BareOpenToSound/iterations:40/manual_time", 100e-3)
           && kept;
    benchmark::Shutdown();
    return kept ? 0 : 1;
}
