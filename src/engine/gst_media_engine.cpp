// GLib headers come before Qt's, whose keyword macros would clash with them.
#include <gst/audio/streamvolume.h>
#include <gst/gst.h>
#include <gst/pbutils/missing-plugins.h>

#include "engine/gst_media_engine.h"

#include "engine/engine_log.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace corvan {
namespace {

// playbin's GstPlayFlags; the enum lives inside the plugin, not in a header.
constexpr guint kPlayFlagVideo = 1u << 0;
constexpr guint kPlayFlagAudio = 1u << 1;
constexpr guint kPlayFlagNativeVideo = 1u << 6;

bool GstreamerStarted()
{
    static const bool started = [] {
        GError* error = nullptr;
        const bool ok = gst_init_check(nullptr, nullptr, &error);
        const gst::ErrorPtr owned(error);
        if (!ok)
            qCWarning(lcEngine).noquote() << "GStreamer did not start, nothing can play:"
                                          << QString::fromUtf8(error ? error->message : "no reason given");
        return ok;
    }();
    return started;
}

GQuark GenerationQuark()
{
    static const GQuark quark = g_quark_from_static_string("corvan-engine-generation");
    return quark;
}

// The file URI for a path, or nothing when the path cannot name a playable
// file (also a pipe or a device, whose reader would wait for ever). A URI
// pasted together breaks on "#", "?" and "%", and "file:" + "//music/a.mp3"
// names the host "music"; so the path is made absolute and clean first, and
// escaped from its bytes on disk.
std::optional<QByteArray> FileUri(const FilePath& path)
{
    if (!NamesPlayableFile(path))
        return std::nullopt;
    GError* error = nullptr;
    const gst::CharPtr uri(g_filename_to_uri(path.Absolute().Bytes().constData(), nullptr, &error));
    const gst::ErrorPtr owned(error);
    if (!uri)
        return std::nullopt;
    return QByteArray(uri.get());
}

// Speed with the pitch kept: playbin puts it between the decoder and its
// output queue, where a change of speed, made by a flushing seek, empties
// the queue anyway.
GstElement* MakeAudioFilter()
{
    return gst_element_factory_make("scaletempo", "corvan-speed");
}

// The output, with the balance and the volume in front of it. Playbin
// keeps about a second of decoded sound in the queue between its filter and
// its output: a balance set before that queue is heard a second late. After
// it, both are heard as soon as the output plays them. The volume is the
// engine's own element, never a desktop sound server's stream volume, which
// some servers tie to the whole device (playbin would take the output's
// volume if it were asked for one). The converters give the two elements a
// format they take and the output one it plays.
struct OutputStage {
    GstElement* bin;
    GstElement* balance = nullptr;
    GstElement* volume = nullptr;
};

OutputStage MakeOutputBin(GstElement* output)
{
    GstElement* in = gst_element_factory_make("audioconvert", nullptr);
    GstElement* pan = gst_element_factory_make("audiopanorama", "corvan-balance");
    GstElement* vol = gst_element_factory_make("volume", "corvan-volume");
    GstElement* out = gst_element_factory_make("audioconvert", nullptr);
    if (!in || !pan || !vol || !out) {
        for (GstElement* e : {in, pan, vol, out}) {
            if (e)
                gst_object_unref(gst_object_ref_sink(e));
        }
        return {output};
    }
    gst_util_set_object_arg(G_OBJECT(pan), "method", "simple");
    GstElement* bin = gst_bin_new("corvan-output-bin");
    gst_bin_add_many(GST_BIN(bin), in, pan, vol, out, output, nullptr);
    gst_element_link_many(in, pan, vol, out, output, nullptr);
    const gst::ObjectPtr<GstPad> sink(gst_element_get_static_pad(in, "sink"));
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", sink.get()));
    return {bin, pan, vol};
}

// What an error or a warning on the bus says: its message for people and
// the element's own detail (where in GStreamer it arose).
struct BusReport {
    QString message;
    QString detail;
};

BusReport ReportOf(GstMessage* message, void (*parse)(GstMessage*, GError**, gchar**))
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    parse(message, &error, &debug);
    const gst::ErrorPtr ownedError(error);
    const gst::CharPtr ownedDebug(debug);
    return {QString::fromUtf8(error ? error->message : "no reason given"), QString::fromUtf8(debug ? debug : "")};
}

QString SourceName(GstMessage* message)
{
    return GST_MESSAGE_SRC(message) ? QString::fromUtf8(GST_MESSAGE_SRC_NAME(message)) : QString();
}

double Seconds(gint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / GST_SECOND;
}

}  // namespace

void LoadGstreamer()
{
    if (!GstreamerStarted())
        return;
    // Making one of each loads its plugin; the engine's own are then quick.
    for (const char* factory :
         {"playbin", "autoaudiosink", "fakesink", "scaletempo", "audiopanorama", "audioconvert", "audioresample"}) {
        if (GstElement* element = gst_element_factory_make(factory, nullptr))
            gst_object_unref(gst_object_ref_sink(element));
    }
}

std::unique_ptr<MediaEngine> MakePlaybackEngine(AudioOutput output, QObject* parent)
{
    return std::make_unique<GstMediaEngine>(output, parent);
}

GstMediaEngine::GstMediaEngine(AudioOutput output, QObject* parent)
    : MediaEngine(parent)
{
    if (!GstreamerStarted())
        return;
    playbin_.reset(gst::SinkObject(gst_element_factory_make("playbin", "corvan-engine")).release());
    if (!playbin_) {
        qCWarning(lcEngine) << "GStreamer has no \"playbin\" (the base plugins are missing): nothing can play";
        return;
    }
    GstElement* const playbin = playbin_.get();

    // The picture of a video file is decoded into a sink that shows nothing:
    // with the video flag off instead, playbin stalls on ASF files whose
    // picture stream is left unlinked. Synchronised, so that decoding keeps
    // pace with the sound instead of racing through the file.
    g_object_set(playbin, "flags", kPlayFlagAudio | kPlayFlagVideo | kPlayFlagNativeVideo, nullptr);
    if (GstElement* picture = gst_element_factory_make("fakesink", "corvan-no-picture")) {
        g_object_set(picture, "sync", TRUE, "enable-last-sample", FALSE, nullptr);
        g_object_set(playbin, "video-sink", picture, nullptr);
    }

    GstElement* sound = output == AudioOutput::Desktop ? gst_element_factory_make("autoaudiosink", "corvan-output")
                                                       : gst_element_factory_make("fakeaudiosink", "corvan-output");
    if (!sound)
        qCWarning(lcEngine) << "GStreamer has no sound output element; playbin chooses one of its own";
    if (sound) {
        if (output == AudioOutput::Silent)
            g_object_set(sound, "sync", TRUE, nullptr);
        output_ = gst::RefObject(sound);
        const OutputStage stage = MakeOutputBin(sound);
        panorama_ = gst::RefObject(stage.balance);
        gain_ = gst::RefObject(stage.volume);
        g_object_set(playbin, "audio-sink", stage.bin, nullptr);
    }
    if (GstElement* filter = MakeAudioFilter())
        g_object_set(playbin, "audio-filter", filter, nullptr);
    else
        qCWarning(lcEngine) << "GStreamer has no \"scaletempo\": a change of speed changes the pitch too";

    g_signal_connect(playbin, "about-to-finish", G_CALLBACK(&GstMediaEngine::OnAboutToFinish), this);

    bus_ = gst::AdoptObject(gst_element_get_bus(playbin));
    gst_bus_set_sync_handler(bus_.get(), &GstMediaEngine::StampMessage, this, nullptr);
    GPollFD poll{};
    gst_bus_get_pollfd(bus_.get(), &poll);
    busNotifier_ = new QSocketNotifier(poll.fd, QSocketNotifier::Read, this);
    connect(busNotifier_, &QSocketNotifier::activated, this, &GstMediaEngine::DrainBus);
    endWatch_ = new QTimer(this);
    endWatch_->setSingleShot(true);
    connect(endWatch_, &QTimer::timeout, this, &GstMediaEngine::WatchForEnd);

    ApplyVolume();
    SetBalance(balance_);
}

GstMediaEngine::~GstMediaEngine()
{
    delete busNotifier_;
    if (!playbin_)
        return;
    ReleaseWaitingStream();
    {
        const std::lock_guard lock(joinMutex_);
        next_ = {};
    }
    g_signal_handlers_disconnect_by_data(playbin_.get(), this);
    // Down to NULL while the stamping handler can still run, then detach it.
    gst_element_set_state(playbin_.get(), GST_STATE_NULL);
    gst_bus_set_sync_handler(bus_.get(), nullptr, nullptr, nullptr);
}

GstBusSyncReply GstMediaEngine::StampMessage(GstBus*, GstMessage* message, gpointer self)
{
    const quint64 generation = static_cast<GstMediaEngine*>(self)->generation_.load();
    gst_mini_object_set_qdata(GST_MINI_OBJECT_CAST(message), GenerationQuark(),
                              reinterpret_cast<gpointer>(static_cast<quintptr>(generation)), nullptr);
    return GST_BUS_PASS;
}

void GstMediaEngine::DrainBus()
{
    const QPointer<GstMediaEngine> alive(this);
    while (alive) {
        gst::MessagePtr message(gst_bus_pop(bus_.get()));
        if (!message)
            break;
        Dispatch(message.get());
    }
}

void GstMediaEngine::Dispatch(GstMessage* message)
{
    const auto stamp = reinterpret_cast<quintptr>(
        gst_mini_object_get_qdata(GST_MINI_OBJECT_CAST(message), GenerationQuark()));
    if (stamp != generation_.load())
        return;

    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        qCDebug(lcEngine) << "end of stream";
        OnEndOfStream();
        break;
    case GST_MESSAGE_ERROR: {
        std::optional<FilePath> joining;
        {
            const std::lock_guard lock(joinMutex_);
            joining = std::exchange(joining_, std::nullopt);
        }
        const BusReport report = ReportOf(message, &gst_message_parse_error);
        if (joining || endWatch_->isActive()) {
            // A file that was to follow without a gap and does not open.
            // playbin reads it while the open file still has a second or so
            // to play: that file is heard to its end, and then ends as it
            // would have, the window's end-of-track rules taking it from
            // there. The failing file's further errors change nothing.
            if (joining)
                qCWarning(lcEngine).noquote() << "cannot play" << joining->Text() << "-" << report.message;
            qCDebug(lcEngine).noquote() << "error from" << SourceName(message) << report.detail;
            OnJoinFailed();
            break;
        }
        qCWarning(lcEngine).noquote() << "cannot play" << fileName_.Text() << "-" << report.message;
        qCDebug(lcEngine).noquote() << "error from" << SourceName(message) << report.detail;
        Fail();
        break;
    }
    case GST_MESSAGE_WARNING: {
        const BusReport report = ReportOf(message, &gst_message_parse_warning);
        qCWarning(lcEngine).noquote() << "while playing" << fileName_.Text() << "-" << report.message;
        qCDebug(lcEngine).noquote() << "warning from" << SourceName(message) << report.detail;
        break;
    }
    case GST_MESSAGE_ELEMENT:
        if (gst_is_missing_plugin_message(message)) {
            const gst::CharPtr what(gst_missing_plugin_message_get_description(message));
            const gst::CharPtr installer(gst_missing_plugin_message_get_installer_detail(message));
            qCWarning(lcEngine).noquote() << fileName_.Text() << "needs a GStreamer plugin that is not installed:"
                                          << QString::fromUtf8(what ? what.get() : "unknown");
            qCDebug(lcEngine).noquote() << "missing plugin" << QString::fromUtf8(installer ? installer.get() : "");
        }
        break;
    case GST_MESSAGE_TAG: {
        GstTagList* raw = nullptr;
        gst_message_parse_tag(message, &raw);
        const gst::TagListPtr tags(raw);
        bool joining = false;
        {
            const std::lock_guard lock(joinMutex_);
            joining = joining_.has_value();
        }
        // While a file joining is being read, its tags are its own, kept
        // until it is heard.
        QString& titleTo = joining ? joiningTitle_ : title_;
        QString& authorTo = joining ? joiningAuthor_ : author_;
        const QString title = titleTo;
        const QString author = authorTo;
        gchar* text = nullptr;
        if (gst_tag_list_get_string(tags.get(), GST_TAG_TITLE, &text))
            titleTo = QString::fromUtf8(gst::CharPtr(text).get());
        if (gst_tag_list_get_string(tags.get(), GST_TAG_ARTIST, &text))
            authorTo = QString::fromUtf8(gst::CharPtr(text).get());
        // One file can send the same tags several times: only a change is told.
        if (!joining && (title_ != title || author_ != author))
            emit TagsChanged();
        break;
    }
    case GST_MESSAGE_STREAM_START:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT_CAST(playbin_.get())) {
            qCDebug(lcEngine) << "stream start";
            OnStreamStart();
        }
        break;
    case GST_MESSAGE_STATE_CHANGED:
        if (GST_MESSAGE_SRC(message) == GST_OBJECT_CAST(playbin_.get())) {
            GstState from = GST_STATE_VOID_PENDING;
            gst_message_parse_state_changed(message, &from, &current_, nullptr);
            qCDebug(lcEngine) << "state" << gst_element_state_get_name(from) << "->"
                              << gst_element_state_get_name(current_);
        }
        break;
    case GST_MESSAGE_ASYNC_DONE:
        qCDebug(lcEngine) << "async done";
        OnAsyncDone();
        break;
    case GST_MESSAGE_DURATION_CHANGED:
        // Asked again now: after a stop the pipeline can no longer answer.
        durationKnown_ = false;
        qCDebug(lcEngine) << "duration" << Duration() << "s";
        break;
    case GST_MESSAGE_CLOCK_LOST:
        // The output that gave the clock went away; a pause and a play
        // make the pipeline choose a new one.
        qCDebug(lcEngine) << "clock lost";
        if (requested_ == GST_STATE_PLAYING) {
            gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
            gst_element_set_state(playbin_.get(), GST_STATE_PLAYING);
        }
        break;
    default:
        break;
    }
}

void GstMediaEngine::SetNextFile(NextFile next)
{
    const std::lock_guard lock(joinMutex_);
    next_ = std::move(next);
}

// A streaming thread: the open file's last data is on its way. Whatever is
// set as playbin's "uri" before this returns follows without a gap.
void GstMediaEngine::OnAboutToFinish(GstElement* playbin, gpointer self)
{
    auto* engine = static_cast<GstMediaEngine*>(self);
    std::unique_lock lock(engine->joinMutex_);
    if (!engine->next_)
        return;
    const quint64 question = ++engine->asked_;
    QMetaObject::invokeMethod(
        engine, [engine, question] { engine->AnswerNextFile(question); }, Qt::QueuedConnection);
    // Bounded: a window that cannot answer in time gets an ordinary end.
    engine->joinAnswered_.wait_for(lock, std::chrono::seconds(2),
                                   [engine, question] { return engine->answered_ >= question; });
    if (engine->answered_ != question || !engine->answerUri_)
        return;
    g_object_set(playbin, "uri", engine->answerUri_->constData(), nullptr);
    engine->joining_ = engine->answer_;
}

void GstMediaEngine::AnswerNextFile(quint64 question)
{
    NextFile next;
    {
        const std::lock_guard lock(joinMutex_);
        if (answered_ >= question)
            return;  // let go meanwhile
        next = next_;
    }
    // A file so short that playbin runs out of it before it has even begun
    // to play is left to end as usual: a file joined on before the first
    // has prerolled can leave the pipeline waiting for ever.
    const std::optional<FilePath> path = next && prerolled_ && current_ == GST_STATE_PLAYING ? next() : std::nullopt;
    const std::optional<QByteArray> uri = path ? FileUri(*path) : std::nullopt;
    {
        const std::lock_guard lock(joinMutex_);
        if (answered_ >= question)
            return;
        answered_ = question;
        answer_ = path;
        answerUri_ = uri;
    }
    if (path)
        qCDebug(lcEngine).noquote() << "next file, to follow without a gap:" << path->Text()
                                    << (uri ? "" : "(cannot be opened)");
    joinAnswered_.notify_all();
}

void GstMediaEngine::ReleaseWaitingStream()
{
    {
        const std::lock_guard lock(joinMutex_);
        answered_ = asked_;
        answerUri_.reset();
    }
    joinAnswered_.notify_all();
}

// The file that followed without a gap reaches the output: from now on it
// is the open file.
void GstMediaEngine::OnStreamStart()
{
    std::optional<FilePath> joined;
    {
        const std::lock_guard lock(joinMutex_);
        joined = std::exchange(joining_, std::nullopt);
    }
    if (!joined)
        return;
    qCDebug(lcEngine).noquote() << "joined:" << joined->Text();
    fileName_ = *joined;
    title_ = std::exchange(joiningTitle_, {});
    author_ = std::exchange(joiningAuthor_, {});
    duration_ = 0;
    durationKnown_ = false;
    position_ = 0;
    atEnd_ = false;
    sinceJoin_.start();
    joinSettling_ = true;
    emit FileJoined();
    if (!title_.isEmpty() || !author_.isEmpty())
        emit TagsChanged();
}

void GstMediaEngine::OnAsyncDone()
{
    seekInFlight_.reset();
    if (!prerolled_) {
        prerolled_ = true;
        // A file that decodes to something without sound (a lone picture
        // stream, say) is as unplayable here as a broken one.
        gint audioStreams = 0;
        g_object_get(playbin_.get(), "n-audio", &audioStreams, nullptr);
        if (audioStreams <= 0) {
            Fail();
            return;
        }
        const double length = Duration();
        if (pendingSeek_ && durationKnown_ && *pendingSeek_ > length)
            pendingSeek_.reset();
    }
    if (pendingSeek_ || appliedRate_ != rate_) {
        const double from = pendingSeek_.value_or(CurrentPosition());
        pendingSeek_.reset();
        SeekTo(from);
    }
    if (target_ == GST_STATE_PLAYING)
        RequestState(GST_STATE_PLAYING);
}

void GstMediaEngine::OnEndOfStream()
{
    endWatch_->stop();
    if (atEnd_)
        return;
    atEnd_ = true;
    if (Duration() > 0)
        position_ = duration_;
    emit EndOfStream(0);
}

void GstMediaEngine::OnJoinFailed()
{
    joiningTitle_.clear();
    joiningAuthor_.clear();
    if (endWatch_->isActive())
        return;
    lastWatched_ = -1;
    WatchForEnd();
}

// The open file plays out its end after the one that was to follow failed.
// There the pipeline waits for ever for that file and posts no end of
// stream, so the position is read until it no longer moves while playing.
// A paused file, or one that is still seeking, is waited for.
void GstMediaEngine::WatchForEnd()
{
    gint64 at = -1;
    const bool playing = current_ == GST_STATE_PLAYING && !seekInFlight_
                         && gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &at) && at >= 0;
    if (playing && at == lastWatched_) {
        qCDebug(lcEngine) << "end of the file before the one that failed";
        Fail();
        emit EndOfStream(0);
        return;
    }
    lastWatched_ = playing ? at : -1;
    // Read again when the rest should have been heard; at least every
    // second, and never so soon that a moving position reads the same.
    std::chrono::milliseconds next(250);
    gint64 length = 0;
    if (playing && gst_element_query_duration(playbin_.get(), GST_FORMAT_TIME, &length) && length > at)
        next = std::chrono::milliseconds(static_cast<long long>((length - at) / GST_MSECOND / rate_));
    endWatch_->start(std::clamp(next, std::chrono::milliseconds(100), std::chrono::milliseconds(1000)));
}

// An undecodable file, or one that breaks while it plays: it is closed
// without a word and without an end of stream, and the next file plays as
// usual. Down to NULL, not READY: after a failed type finding, a playbin
// left at READY fails the next file's type finding too.
void GstMediaEngine::Fail()
{
    target_ = GST_STATE_READY;
    RequestState(GST_STATE_NULL);
    NewGeneration();
    open_ = false;
}

// The pipeline is down at READY or NULL, its streaming threads stopped:
// whatever they left on the bus belongs to the file or the play that ended.
// The next messages start a new generation.
void GstMediaEngine::NewGeneration()
{
    generation_.fetch_add(1);
    endWatch_->stop();
    {
        // A file that was to follow is dropped with the pipeline.
        const std::lock_guard lock(joinMutex_);
        joining_.reset();
    }
    joiningTitle_.clear();
    joiningAuthor_.clear();
    prerolled_ = false;
    atEnd_ = false;
    appliedRate_ = 1.0;
    pendingSeek_.reset();
    seekInFlight_.reset();
    position_ = 0;
}

void GstMediaEngine::RequestState(GstState state)
{
    if (!playbin_ || requested_ == state)
        return;
    ReleaseWaitingStream();
    requested_ = state;
    if (gst_element_set_state(playbin_.get(), state) == GST_STATE_CHANGE_FAILURE && state > GST_STATE_READY)
        Fail();
    else if (state <= GST_STATE_READY)
        current_ = state;
}

// Brings the open file towards target_. A speed or a position that must be
// in force from the first sound is set while the pipeline is paused after
// prerolling (OnAsyncDone), so that nothing is heard at the wrong speed.
void GstMediaEngine::Start()
{
    if (!prerolled_ && (pendingSeek_ || rate_ != 1.0))
        RequestState(GST_STATE_PAUSED);
    else
        RequestState(target_);
}

bool GstMediaEngine::SeekTo(double seconds)
{
    ReleaseWaitingStream();
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    const auto at = static_cast<gint64>(std::llround(seconds * GST_SECOND));
    if (!gst_element_seek(playbin_.get(), rate_, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, at, GST_SEEK_TYPE_NONE,
                          GST_CLOCK_TIME_NONE))
        return false;
    appliedRate_ = rate_;
    seekInFlight_ = seconds;
    position_ = seconds;
    atEnd_ = false;
    return true;
}

bool GstMediaEngine::SetFileName(const FilePath& path)
{
    fileName_ = path;
    open_ = false;
    target_ = GST_STATE_READY;
    if (requested_ > GST_STATE_READY)
        RequestState(GST_STATE_READY);
    NewGeneration();
    title_.clear();
    author_.clear();
    duration_ = 0;
    durationKnown_ = false;

    const std::optional<QByteArray> uri = FileUri(path);
    if (!uri)
        qCWarning(lcEngine).noquote() << "cannot play" << path.Text() << "- not a file that can be read";
    if (!playbin_ || !uri)
        return false;
    qCDebug(lcEngine).noquote() << "opening" << uri->constData();
    g_object_set(playbin_.get(), "uri", uri->constData(), nullptr);
    open_ = true;
    target_ = GST_STATE_PLAYING;
    Start();
    return open_;
}

void GstMediaEngine::Play()
{
    if (!open_)
        return;
    target_ = GST_STATE_PLAYING;
    if (atEnd_ && prerolled_)
        SeekTo(0);
    Start();
}

void GstMediaEngine::Pause()
{
    if (!open_)
        return;
    target_ = GST_STATE_PAUSED;
    Start();
}

void GstMediaEngine::Stop()
{
    if (!open_)
        return;
    target_ = GST_STATE_READY;
    RequestState(GST_STATE_READY);
    NewGeneration();
}

bool GstMediaEngine::SetVolume(long hundredthsDb)
{
    if (hundredthsDb < kVolumeMin || hundredthsDb > kVolumeMax)
        return false;
    volume_ = hundredthsDb;
    ApplyVolume();
    return true;
}

void GstMediaEngine::ApplyVolume()
{
    if (!gain_)
        return;
    const gdouble linear = gst_stream_volume_convert_volume(GST_STREAM_VOLUME_FORMAT_DB,
                                                            GST_STREAM_VOLUME_FORMAT_LINEAR, volume_ / 100.0);
    g_object_set(gain_.get(), "volume", linear, "mute", mute_ ? TRUE : FALSE, nullptr);
}

void GstMediaEngine::SetBalance(int balance)
{
    balance_ = qBound(kBalanceLeft, balance, kBalanceRight);
    if (panorama_)
        g_object_set(panorama_.get(), "panorama", static_cast<gfloat>(balance_) / kBalanceRight, nullptr);
}

void GstMediaEngine::SetMute(bool mute)
{
    mute_ = mute;
    ApplyVolume();
}

double GstMediaEngine::CurrentPosition() const
{
    if (!open_)
        return 0;
    if (seekInFlight_)
        return *seekInFlight_;
    if (pendingSeek_)
        return *pendingSeek_;
    gint64 at = 0;
    if (prerolled_ && !atEnd_ && current_ >= GST_STATE_PAUSED
        && gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &at) && at >= 0) {
        const double played = joinSettling_ ? Seconds(sinceJoin_.nsecsElapsed()) * appliedRate_ : 0;
        if (joinSettling_ && Seconds(at) > played + 0.3)
            return position_ = played;
        joinSettling_ = false;
        position_ = Seconds(at);
    }
    return position_;
}

bool GstMediaEngine::SetCurrentPosition(double seconds)
{
    if (!open_ || !std::isfinite(seconds) || seconds < 0)
        return false;
    const double length = Duration();
    if (durationKnown_ && seconds > length)
        return false;
    if (prerolled_ && requested_ >= GST_STATE_PAUSED)
        return SeekTo(seconds);
    pendingSeek_ = seconds;
    return true;
}

double GstMediaEngine::Duration() const
{
    if (!open_)
        return 0;
    gint64 length = 0;
    if (!durationKnown_ && prerolled_ && gst_element_query_duration(playbin_.get(), GST_FORMAT_TIME, &length)
        && length > 0) {
        duration_ = Seconds(length);
        durationKnown_ = true;
    }
    return duration_;
}

bool GstMediaEngine::SetRate(double rate)
{
    // The speed is written again on every tick of the window's rate timer
    // and each time its event loop goes idle: an equal rate must cost
    // nothing, and must not seek, which would be heard.
    if (rate == rate_)
        return true;
    if (!(rate >= kRateMin && rate <= kRateMax))
        return false;
    rate_ = rate;
    // Otherwise the new rate waits for the next preroll (a new file, a play
    // after stop) or, at the end of the file, for the next Play.
    if (open_ && prerolled_ && !atEnd_ && requested_ >= GST_STATE_PAUSED)
        SeekTo(CurrentPosition());
    return true;
}

std::optional<QString> GstMediaEngine::ClipTitle() const
{
    if (!open_)
        return std::nullopt;
    return title_;
}

std::optional<QString> GstMediaEngine::ClipAuthor() const
{
    if (!open_)
        return std::nullopt;
    return author_;
}

MediaEngine::PlayState GstMediaEngine::State() const
{
    if (!open_ || atEnd_)
        return PlayState::Stopped;
    switch (target_) {
    case GST_STATE_PLAYING:
        return PlayState::Playing;
    case GST_STATE_PAUSED:
        return PlayState::Paused;
    default:
        return PlayState::Stopped;
    }
}

}  // namespace corvan
