#pragma once

// What the engine tests share: the generated media, bounded waits on the
// event loop, a count of EndOfStream, and a meter on the sound output.

#include "engine/gst_media_engine.h"

#include <QString>

#include <functional>
#include <memory>

namespace corvan::test {

// A file of the generated media folder, by its name inside it.
QString Media(const QString& name);

// A path given as text, as the tests write them.
inline FilePath AsPath(const QString& text)
{
    return FilePath::FromText(text);
}

// Runs the event loop until `ready` holds or `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& ready, int timeoutMs);

// Runs the event loop for `ms`.
void Spin(int ms);

inline bool Playing(const MediaEngine& engine)
{
    return engine.State() == MediaEngine::PlayState::Playing;
}

// Counts EndOfStream and checks that each arrives on the thread of the
// application object.
struct EndCounter {
    explicit EndCounter(MediaEngine& engine);
    int count = 0;
    bool allOnUiThread = true;
};

// Watches what reaches the engine's sound output (the pad of the element
// that plays it out, behind the balance).
class OutputMeter {
public:
    struct Reading {
        double left = 0;  // largest absolute sample since Reset, 1 = full scale
        double right = 0;
        long long frames = 0;  // since Reset
        int flushes = 0;       // seeks that reached the output
        double rate = 1;       // of the last segment
        double appliedRate = 1;
    };

    explicit OutputMeter(const GstMediaEngine& engine);
    ~OutputMeter();
    OutputMeter(const OutputMeter&) = delete;
    OutputMeter& operator=(const OutputMeter&) = delete;

    void Reset();
    Reading Read() const;

    struct State;

private:
    std::shared_ptr<State> state_;
    GstPad* pad_ = nullptr;
    gulong probe_ = 0;
};

}  // namespace corvan::test
