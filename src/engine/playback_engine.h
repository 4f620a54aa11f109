#pragma once

#include "engine/media_engine.h"

#include <functional>
#include <memory>
#include <thread>

class QObject;

namespace corvan {

// Where the sound goes. The program plays to the desktop's default output;
// tests and benchmarks use Silent, which needs no sound device but still
// consumes the sound in real time, so positions advance and files end.
enum class AudioOutput { Desktop, Silent };

// Starts GStreamer and loads the plugins the engine uses on a thread of its
// own, so that the program can show its window meanwhile; an engine made
// while this runs waits only for what it needs. `done` runs on that thread
// once all is loaded. Joined when it goes away.
class GstreamerPreload {
public:
    explicit GstreamerPreload(std::function<void()> done = {});
    ~GstreamerPreload();
    GstreamerPreload(const GstreamerPreload&) = delete;
    GstreamerPreload& operator=(const GstreamerPreload&) = delete;

private:
    std::thread thread_;
};

// The engine the program plays with, on GStreamer; what it is made of stays
// inside the engine's library.
std::unique_ptr<MediaEngine> MakePlaybackEngine(AudioOutput output, QObject* parent = nullptr);

}  // namespace corvan
