#pragma once

#include <QString>

#include <functional>

namespace corvan {

// Passes a fast-changing progress text on to be shown at most once per
// interval, so that painting cannot dominate the work it reports on. The
// text in force when Finish() runs is always shown.
class ProgressThrottle {
public:
    using Show = std::function<void(const QString&)>;
    using Clock = std::function<qint64()>;  // milliseconds, never falling

    static qint64 SteadyMilliseconds();

    explicit ProgressThrottle(Show show, qint64 intervalMs = 33, Clock clock = &SteadyMilliseconds);

    void Update(const QString& text);
    void Finish();

private:
    Show show_;
    qint64 interval_;
    Clock clock_;
    QString pending_;
    qint64 lastShown_ = 0;
    bool shownOnce_ = false;
    bool dirty_ = false;
};

}  // namespace corvan
