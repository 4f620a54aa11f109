#pragma once

#include <QRect>

namespace corvan {

// The design's unit of place and size: twips, 1/1440 inch, 15 to a pixel at
// 96 dots per inch. Every window's design table is written in them.
inline constexpr int kTwipsPerPixel = 15;

// A place in twips, from the top-left corner of the client area.
struct TwipsRect {
    int left, top, width, height;
};

// Whole pixels, each part cut down on its own as the design does.
constexpr QRect ToPixels(const TwipsRect& r)
{
    return {r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel, r.height / kTwipsPerPixel};
}

}  // namespace corvan
