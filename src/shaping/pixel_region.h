#pragma once

#include <QRegion>

#include <cstdint>
#include <vector>

namespace corvan {

// A rectangle in pixels; right and bottom are exclusive.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool IsEmpty() const { return left >= right || top >= bottom; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A set of pixels kept as one rectangle per run per row: every rectangle is
// one pixel high, the rows are in ascending order, and the runs of a row are
// ascending, disjoint and never touching (touching runs are one run).
// Because that form is unique, two regions holding the same pixels compare
// equal.
class PixelRegion {
public:
    bool IsEmpty() const { return runs_.empty(); }
    const std::vector<PixelRect>& Runs() const { return runs_; }

    void Clear() { runs_.clear(); }
    void Unite(const PixelRect& rect);
    void Unite(const PixelRegion& other);
    void Offset(std::int32_t dx, std::int32_t dy);

    bool Contains(std::int32_t x, std::int32_t y) const;
    PixelRect BoundingRect() const;
    std::int64_t Area() const;

    // The same pixels as a QRegion. Rows with identical runs that follow one
    // another become one band, which is the form QRegion keeps itself, so
    // the result is built in one pass and equals the QRegion a union of the
    // rectangles would give.
    QRegion ToQRegion() const;

    friend bool operator==(const PixelRegion&, const PixelRegion&) = default;

private:
    void UniteRun(std::int32_t y, std::int32_t left, std::int32_t right);

    std::vector<PixelRect> runs_;
};

}  // namespace corvan
