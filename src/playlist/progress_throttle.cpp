#include "playlist/progress_throttle.h"

#include <chrono>

namespace corvan {

qint64 ProgressThrottle::SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

ProgressThrottle::ProgressThrottle(Show show, qint64 intervalMs, Clock clock)
    : show_(std::move(show))
    , interval_(intervalMs)
    , clock_(std::move(clock))
{
}

void ProgressThrottle::Update(const QString& text)
{
    pending_ = text;
    dirty_ = true;
    const qint64 now = clock_();
    if (shownOnce_ && now - lastShown_ < interval_)
        return;
    shownOnce_ = true;
    lastShown_ = now;
    dirty_ = false;
    show_(pending_);
}

void ProgressThrottle::Finish()
{
    if (!dirty_)
        return;
    dirty_ = false;
    show_(pending_);
}

}  // namespace corvan
