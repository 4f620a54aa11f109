#pragma once

#include "engine/gst_handles.h"
#include "engine/media_engine.h"
#include "engine/playback_engine.h"

#include <QElapsedTimer>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <functional>
#include <optional>
#include <thread>

class QSocketNotifier;
class QTimer;

namespace corvan {

// The MediaEngine on GStreamer's playbin. Every call into GStreamer happens
// on the thread that owns the engine (the user-interface thread), and bus
// messages are read there through the bus's file descriptor, so delivery
// does not depend on which event dispatcher Qt runs.
class GstMediaEngine final : public MediaEngine {
    Q_OBJECT

public:
    explicit GstMediaEngine(AudioOutput output, QObject* parent = nullptr);
    ~GstMediaEngine() override;

    GstMediaEngine(const GstMediaEngine&) = delete;
    GstMediaEngine& operator=(const GstMediaEngine&) = delete;

    bool SetFileName(const FilePath& path) override;
    FilePath FileName() const override { return fileName_; }

    void Play() override;
    void Pause() override;
    void Stop() override;
    PlayState State() const override;

    long Volume() const override { return volume_; }
    bool SetVolume(long hundredthsDb) override;
    int Balance() const override { return balance_; }
    void SetBalance(int balance) override;

    double CurrentPosition() const override;
    bool SetCurrentPosition(double seconds) override;
    double Duration() const override;

    double Rate() const override { return rate_; }
    bool SetRate(double rate) override;

    bool Mute() const override { return mute_; }
    void SetMute(bool mute) override;

    std::optional<QString> ClipTitle() const override;
    std::optional<QString> ClipAuthor() const override;
    void SetNextFile(NextFile next) override;

    // The playbin, for tests and benchmarks that watch what reaches the sound
    // output. Changing its state or properties from outside breaks the
    // engine's bookkeeping. Null when GStreamer could not be started.
    GstElement* Pipeline() const { return playbin_.get(); }
    // The element that plays the sound out, behind the balance.
    GstElement* Output() const { return output_.get(); }

private:
    static GstBusSyncReply StampMessage(GstBus* bus, GstMessage* message, gpointer self);
    static void OnAboutToFinish(GstElement* playbin, gpointer self);

    void AnswerNextFile(quint64 question);
    void ReleaseWaitingStream();
    void OnStreamStart();

    void DrainBus();
    void Dispatch(GstMessage* message);
    void OnAsyncDone();
    void OnEndOfStream();
    void OnJoinFailed();
    void WatchForEnd();
    void Fail();

    void Start();
    void RequestState(GstState state);
    bool SeekTo(double seconds);
    void NewGeneration();
    void ApplyVolume();

    gst::PipelinePtr playbin_;
    gst::ObjectPtr<GstBus> bus_;
    gst::ObjectPtr<GstElement> panorama_;
    gst::ObjectPtr<GstElement> gain_;
    gst::ObjectPtr<GstElement> output_;
    QSocketNotifier* busNotifier_ = nullptr;
    // Set while the file that was to follow has failed and the open one
    // plays out its end, after which the pipeline stops without an end of
    // stream (WatchForEnd).
    QTimer* endWatch_ = nullptr;
    gint64 lastWatched_ = -1;

    // Every bus message is stamped with the generation in force when it was
    // posted. A new generation starts whenever the pipeline is brought down
    // (a new file, a stop, a failure), so that an end of stream or an error
    // of the file before, still waiting on the bus, is dropped instead of
    // being taken for the current file's. Written here, read by GStreamer's
    // threads.
    std::atomic<quint64> generation_{1};

    // Values the callers set; they outlive the file that is open.
    FilePath fileName_;
    long volume_ = 0;
    int balance_ = 0;
    bool mute_ = false;
    double rate_ = 1.0;

    // The open file.
    bool open_ = false;
    GstState target_ = GST_STATE_NULL;     // what the caller asked for
    GstState requested_ = GST_STATE_NULL;  // what was last asked of GStreamer
    GstState current_ = GST_STATE_NULL;    // what playbin last reported
    bool prerolled_ = false;               // ASYNC_DONE seen since brought up
    bool atEnd_ = false;
    double appliedRate_ = 1.0;            // the rate of the segment playing
    std::optional<double> pendingSeek_;   // waits for the preroll
    std::optional<double> seekInFlight_;  // sent, not yet completed
    QString title_;
    QString author_;

    // Gapless play. Shortly before a file runs out, playbin asks for the
    // next one on a streaming thread and must have it before it returns:
    // that thread waits while the question goes to this thread, which asks
    // the window (next_). Anything done here that may wait for a streaming
    // thread (a state change, a flushing seek) first lets a waiting one go
    // without an answer (ReleaseWaitingStream), so neither waits for the
    // other.
    NextFile next_;
    std::mutex joinMutex_;
    std::condition_variable joinAnswered_;
    quint64 asked_ = 0;                    // guarded by joinMutex_
    quint64 answered_ = 0;                 // guarded by joinMutex_
    std::optional<FilePath> answer_;       // guarded by joinMutex_
    std::optional<QByteArray> answerUri_;  // guarded by joinMutex_
    std::optional<FilePath> joining_;      // guarded: handed to playbin, not yet heard
    // Tags of the file joining, read while the one before still plays.
    QString joiningTitle_;
    QString joiningAuthor_;
    // For a moment after a join the pipeline still reports the position in
    // the file before: until it reports one within the new file, the
    // position is the time played since the join.
    QElapsedTimer sinceJoin_;
    mutable bool joinSettling_ = false;

    // Queries fail while the pipeline changes state; these keep the last
    // good answers, 0 until one is known.
    mutable double position_ = 0;
    mutable double duration_ = 0;
    mutable bool durationKnown_ = false;
};

}  // namespace corvan
