#include "shaping/pixel_region.h"

#include <algorithm>
#include <limits>

namespace corvan {

void PixelRegion::Unite(const PixelRect& rect)
{
    if (rect.IsEmpty())
        return;
    for (std::int32_t y = rect.top; y < rect.bottom; ++y)
        UniteRun(y, rect.left, rect.right);
}

void PixelRegion::Unite(const PixelRegion& other)
{
    if (runs_.empty()) {
        runs_ = other.runs_;
        return;
    }
    for (const PixelRect& run : other.runs_)
        UniteRun(run.top, run.left, run.right);
}

void PixelRegion::UniteRun(std::int32_t y, std::int32_t left, std::int32_t right)
{
    // A scan adds its runs in order; that case must stay a plain append, or
    // the scan of a large picture turns quadratic.
    if (runs_.empty() || y > runs_.back().top || (y == runs_.back().top && left > runs_.back().right)) {
        runs_.push_back({left, y, right, y + 1});
        return;
    }

    const auto rowBegin = std::lower_bound(runs_.begin(), runs_.end(), y,
                                           [](const PixelRect& r, std::int32_t row) { return r.top < row; });
    const auto rowEnd = std::upper_bound(rowBegin, runs_.end(), y,
                                         [](std::int32_t row, const PixelRect& r) { return row < r.top; });
    // Runs that overlap or touch [left, right) are merged with it.
    const auto first = std::partition_point(rowBegin, rowEnd, [&](const PixelRect& r) { return r.right < left; });
    const auto last = std::partition_point(first, rowEnd, [&](const PixelRect& r) { return r.left <= right; });
    if (first == last) {
        runs_.insert(first, {left, y, right, y + 1});
        return;
    }
    first->left = std::min(left, first->left);
    first->right = std::max(right, (last - 1)->right);
    runs_.erase(first + 1, last);
}

void PixelRegion::Offset(std::int32_t dx, std::int32_t dy)
{
    for (PixelRect& run : runs_) {
        run.left += dx;
        run.right += dx;
        run.top += dy;
        run.bottom += dy;
    }
}

bool PixelRegion::Contains(std::int32_t x, std::int32_t y) const
{
    const auto it = std::partition_point(runs_.begin(), runs_.end(),
                                         [&](const PixelRect& r) { return r.top < y || (r.top == y && r.right <= x); });
    return it != runs_.end() && it->top == y && it->left <= x;
}

PixelRect PixelRegion::BoundingRect() const
{
    if (runs_.empty())
        return {};
    PixelRect box{std::numeric_limits<std::int32_t>::max(), runs_.front().top, std::numeric_limits<std::int32_t>::min(),
                  runs_.back().bottom};
    for (const PixelRect& run : runs_) {
        box.left = std::min(box.left, run.left);
        box.right = std::max(box.right, run.right);
    }
    return box;
}

std::int64_t PixelRegion::Area() const
{
    std::int64_t area = 0;
    for (const PixelRect& run : runs_)
        area += std::int64_t{run.right} - run.left;
    return area;
}

QRegion PixelRegion::ToQRegion() const
{
    // QRegion::setRects trusts its input to be y-x banded: rectangles of one
    // band share top and height, are sorted by x and neither overlap nor
    // touch. The runs satisfy that row by row; identical consecutive rows
    // are folded into one band.
    std::vector<QRect> rects;
    rects.reserve(runs_.size());
    std::size_t bandStart = 0;
    std::size_t bandSize = 0;
    std::int32_t bandBottom = 0;

    for (std::size_t i = 0; i < runs_.size();) {
        const std::int32_t y = runs_[i].top;
        std::size_t j = i;
        while (j < runs_.size() && runs_[j].top == y)
            ++j;
        const std::size_t rowSize = j - i;

        bool extends = bandSize == rowSize && bandBottom == y;
        for (std::size_t k = 0; extends && k < rowSize; ++k) {
            const QRect& band = rects[bandStart + k];
            extends = band.left() == runs_[i + k].left && band.x() + band.width() == runs_[i + k].right;
        }
        if (extends) {
            for (std::size_t k = 0; k < rowSize; ++k)
                rects[bandStart + k].setBottom(y);
        } else {
            bandStart = rects.size();
            bandSize = rowSize;
            for (std::size_t k = i; k < j; ++k)
                rects.emplace_back(runs_[k].left, y, runs_[k].right - runs_[k].left, 1);
        }
        bandBottom = y + 1;
        i = j;
    }

    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

}  // namespace corvan
