#pragma once

// The benchmarks that build widgets need a window system, not a screen.

#include <QApplication>

namespace corvan::bench {

class OffscreenApplication {
public:
    explicit OffscreenApplication(char* program)
        : argv_{program, platform_, offscreen_, nullptr}
        , app_(argc_, argv_)
    {
    }

private:
    // QApplication keeps references to these for its whole life.
    char platform_[10] = "-platform";
    char offscreen_[10] = "offscreen";
    int argc_ = 3;
    char* argv_[4];
    QApplication app_;
};

}  // namespace corvan::bench
