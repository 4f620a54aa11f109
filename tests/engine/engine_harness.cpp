#include <gst/audio/audio.h>
#include <gst/gst.h>

#include "engine_harness.h"

#include <QCoreApplication>
#include <QThread>
#include <QtTest/QTest>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace corvan::test {

QString Media(const QString& name)
{
    return QStringLiteral(CORVAN_TEST_MEDIA_DIR) + QLatin1Char('/') + name;
}

bool WaitUntil(const std::function<bool()>& ready, int timeoutMs)
{
    return QTest::qWaitFor(ready, timeoutMs);
}

void Spin(int ms)
{
    QTest::qWait(ms);
}

EndCounter::EndCounter(MediaEngine& engine)
{
    QObject::connect(&engine, &MediaEngine::EndOfStream, &engine, [this](int) {
        ++count;
        allOnUiThread = allOnUiThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    });
}

struct OutputMeter::State {
    std::mutex mutex;
    Reading reading;
};

namespace {

template <typename Sample>
void Measure(const guint8* data, gsize bytes, int channels, double scale, OutputMeter::Reading& r)
{
    const auto* samples = reinterpret_cast<const Sample*>(data);
    const gsize frames = bytes / (sizeof(Sample) * channels);
    for (gsize f = 0; f < frames; ++f) {
        r.left = std::max(r.left, std::fabs(samples[f * channels] / scale));
        r.right = std::max(r.right, std::fabs(samples[f * channels + (channels > 1 ? 1 : 0)] / scale));
    }
    r.frames += static_cast<long long>(frames);
}

GstPadProbeReturn OnProbe(GstPad* pad, GstPadProbeInfo* info, gpointer data)
{
    auto& state = **static_cast<std::shared_ptr<OutputMeter::State>*>(data);
    if (info->type & GST_PAD_PROBE_TYPE_EVENT_BOTH) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        const std::lock_guard lock(state.mutex);
        if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_START)
            ++state.reading.flushes;
        if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            state.reading.rate = segment->rate;
            state.reading.appliedRate = segment->applied_rate;
        }
        return GST_PAD_PROBE_OK;
    }
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        return GST_PAD_PROBE_OK;
    GstAudioInfo audio;
    const bool known = gst_audio_info_from_caps(&audio, caps);
    gst_caps_unref(caps);
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    GstMapInfo map;
    if (!known || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return GST_PAD_PROBE_OK;
    const int channels = GST_AUDIO_INFO_CHANNELS(&audio);
    {
        const std::lock_guard lock(state.mutex);
        if (GST_AUDIO_INFO_FORMAT(&audio) == GST_AUDIO_FORMAT_S16)
            Measure<gint16>(map.data, map.size, channels, 32768.0, state.reading);
        else if (GST_AUDIO_INFO_FORMAT(&audio) == GST_AUDIO_FORMAT_F32)
            Measure<gfloat>(map.data, map.size, channels, 1.0, state.reading);
    }
    gst_buffer_unmap(buffer, &map);
    return GST_PAD_PROBE_OK;
}

}  // namespace

OutputMeter::OutputMeter(const GstMediaEngine& engine)
    : state_(std::make_shared<State>())
{
    GstElement* sink = engine.Output();
    if (!sink)
        return;
    pad_ = gst_element_get_static_pad(sink, "sink");
    if (!pad_)
        return;
    // The probe holds its own share of the state, so a buffer still being
    // measured while the meter goes away does not touch freed memory.
    probe_ = gst_pad_add_probe(pad_,
                               static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER
                                                            | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM
                                                            | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                               &OnProbe, new std::shared_ptr<State>(state_),
                               [](gpointer data) { delete static_cast<std::shared_ptr<State>*>(data); });
}

OutputMeter::~OutputMeter()
{
    if (pad_) {
        if (probe_)
            gst_pad_remove_probe(pad_, probe_);
        gst_object_unref(pad_);
    }
}

void OutputMeter::Reset()
{
    const std::lock_guard lock(state_->mutex);
    state_->reading.left = state_->reading.right = 0;
    state_->reading.frames = 0;
}

OutputMeter::Reading OutputMeter::Read() const
{
    const std::lock_guard lock(state_->mutex);
    return state_->reading;
}

}  // namespace corvan::test
