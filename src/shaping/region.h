#pragma once

#include "shaping/dib_section.h"
#include "shaping/pixel_region.h"
#include "shaping/twips.h"

#include <QImage>

#include <cstdint>
#include <memory>
#include <span>

class QWidget;

namespace corvan {

// A pixel's key: its stored bytes blue + 256 green + 65536 red.
constexpr std::int32_t PixelKey(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    return std::int32_t{blue} | (std::int32_t{green} << 8) | (std::int32_t{red} << 16);
}

// A transparent key of 1 asks for the key of the bottom-left pixel. The key 1
// itself (a nearly black blue) can therefore never be cut away explicitly.
inline constexpr std::int32_t kBottomLeftKey = 1;

// The outline of a 24-bit bottom-up pixel buffer of width x height pixels,
// laid out as cDIBSection lays it out: every pixel whose key differs from
// transColor, as one rectangle per run per row, in picture coordinates (y
// down, the buffer's row 0 at y = height - 1). A transColor of 1 becomes the
// bottom-left pixel's key. Any size and any byte count are safe: a buffer
// that is empty, of an impossible size or shorter than its rows gives an
// empty outline and leaves transColor alone.
PixelRegion ScanPixelRows(std::span<const std::uint8_t> bits, std::int32_t width, std::int32_t height,
                          std::int32_t& transColor);

// Rounds to the nearest whole number, halves to the even one.
std::int64_t RoundHalfEven(double value);

// How far a window outline measured from the outer corner of a framed window
// must move so that its top-left lies on the client area's top-left: dx is
// the frame width, dy the caption height plus the top frame.
struct FrameOffset {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    friend bool operator==(const FrameOffset&, const FrameOffset&) = default;
};
FrameOffset FrameOffsetFor(double outerWidthTwips, double outerHeightTwips, double innerWidthPixels,
                           double innerHeightPixels, double twipsPerPixel = kTwipsPerPixel);

// Turns a picture into a window outline. Lives only while a window is being
// shaped: ScanPicture, then OffsetHeader, then ApplyRgn, then it goes away;
// the window keeps its own copy of the outline.
class Region {
public:
    Region();
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;

    // Copies the picture into the pixel buffer and builds the outline from
    // it. A null picture gives an empty buffer and an empty outline.
    void ScanPicture(const QImage& picture, std::int32_t& transColor);
    // Moves the outline by the window's frame and caption, when it has a
    // frame, so that it is measured from the window's outer corner. A
    // frameless window (ours) is left as it is.
    void OffsetHeader(QWidget& tmpForm);
    // Gives the window a copy of the outline as its mask and repaints it.
    void ApplyRgn(QWidget* hWnd) const;

    const PixelRegion& Outline() const { return hndRegion; }
    // The buffer of the last scan; null before the first.
    const cDIBSection* Pixels() const { return dib_.get(); }

private:
    PixelRegion hndRegion;
    std::unique_ptr<cDIBSection> dib_;
};

}  // namespace corvan
