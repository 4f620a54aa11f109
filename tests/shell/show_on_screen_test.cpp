// Where the window opens when its own place would put part of it off the screen.
#include "shell/show_on_screen.h"

#include <gtest/gtest.h>

namespace corvan {
namespace {

TEST(FitOnScreen, KeepsThePlaceThatFitsAndMovesJustEnoughOtherwise)
{
    const QRect window(554, 19, 439, 482);
    EXPECT_EQ(FitOnScreen(window, QRect(0, 0, 1280, 1024)), QPoint(554, 19));
    // A 1280x1024 screen at a scale of 2 leaves 640x512 window pixels.
    EXPECT_EQ(FitOnScreen(window, QRect(0, 0, 640, 512)), QPoint(201, 19));
    // A panel across the top, and a second screen to the left of the first.
    EXPECT_EQ(FitOnScreen(window, QRect(0, 30, 1280, 994)), QPoint(554, 30));
    EXPECT_EQ(FitOnScreen(window, QRect(-800, 0, 800, 600)), QPoint(-439, 19));
    EXPECT_EQ(FitOnScreen(window, QRect(0, 0, 400, 300)), QPoint(0, 0)) << "larger than the screen: its corner shows";
    EXPECT_EQ(FitOnScreen(window, QRect()), QPoint(554, 19)) << "no screen known";
}

}  // namespace
}  // namespace corvan
