#include "shaping/region.h"

#include <QWidget>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvan {

namespace {

// Finds where runs of one row end. Most of a skin's pixels lie in long runs,
// so whole groups of five pixels are compared with the key at once where the
// processor allows it; the rest is compared pixel by pixel.
class RowScanner {
public:
    explicit RowScanner(std::uint32_t key)
        : blue_(static_cast<std::uint8_t>(key & 0xFF))
        , green_(static_cast<std::uint8_t>((key >> 8) & 0xFF))
        , red_(static_cast<std::uint8_t>((key >> 16) & 0xFF))
    {
#if defined(__SSE2__)
        const auto b = static_cast<char>(blue_);
        const auto g = static_cast<char>(green_);
        const auto r = static_cast<char>(red_);
        pattern_ = _mm_setr_epi8(b, g, r, b, g, r, b, g, r, b, g, r, b, g, r, 0);
#endif
    }

    // The first pixel from x on whose transparency differs from
    // `transparent`, or width. Bytes are read from row up to row + readable.
    std::int32_t RunEnd(const std::uint8_t* row, std::int64_t readable, std::int32_t x, std::int32_t width,
                        bool transparent) const
    {
#if defined(__SSE2__)
        // Sixteen bytes are loaded for five pixels, so the group must start
        // 16 bytes before the end of what may be read.
        constexpr unsigned kPixelBits = 0x1249;  // bits 0, 3, 6, 9, 12
        while (x + 5 <= width && 3 * std::int64_t{x} + 16 <= readable) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 3 * x));
            const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, pattern_)));
            const unsigned keyed = same & (same >> 1) & (same >> 2) & kPixelBits;
            const unsigned stops = transparent ? (~keyed & kPixelBits) : keyed;
            if (stops != 0)
                return x + std::countr_zero(stops) / 3;
            x += 5;
        }
#endif
        while (x < width && IsKey(row + 3 * x) == transparent)
            ++x;
        return x;
    }

private:
    bool IsKey(const std::uint8_t* pixel) const
    {
        return pixel[0] == blue_ && pixel[1] == green_ && pixel[2] == red_;
    }

    std::uint8_t blue_;
    std::uint8_t green_;
    std::uint8_t red_;
#if defined(__SSE2__)
    __m128i pattern_;
#endif
};

}  // namespace

PixelRegion ScanPixelRows(std::span<const std::uint8_t> bits, std::int32_t width, std::int32_t height,
                          std::int32_t& transColor)
{
    PixelRegion region;
    const std::int64_t stride = cDIBSection::BytesPerScanLineFor(width);
    if (stride == 0 || height <= 0 || height > cDIBSection::kMaxHeight
        || static_cast<std::uint64_t>(stride * height) > bits.size())
        return region;

    const std::uint8_t* const base = bits.data();
    if (transColor == kBottomLeftKey)
        transColor = PixelKey(base[0], base[1], base[2]);
    // A key beyond 24 bits matches no pixel, so nothing is cut away.
    const bool keyIsColour = (transColor & ~0xFFFFFF) == 0;
    const RowScanner scanner(static_cast<std::uint32_t>(transColor));
    const std::uint8_t* const end = base + stride * height;

    // Rows are walked top row first (the buffer's last row) so that the runs
    // arrive in the region's own order and each one is a plain append.
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* const row = base + (height - 1 - y) * stride;
        if (!keyIsColour) {
            region.Unite(PixelRect{0, y, width, y + 1});
            continue;
        }
        const std::int64_t readable = end - row;
        std::int32_t x = 0;
        while (x < width) {
            x = scanner.RunEnd(row, readable, x, width, true);
            const std::int32_t start = x;
            x = scanner.RunEnd(row, readable, x, width, false);
            if (x > start)
                region.Unite(PixelRect{start, y, x, y + 1});
        }
    }
    return region;
}

std::int64_t RoundHalfEven(double value)
{
    // Out-of-range values saturate; a conversion of them would be undefined.
    constexpr double kLimit = 9.0e18;
    if (std::isnan(value))
        return 0;
    if (value >= kLimit || value <= -kLimit)
        return value > 0 ? static_cast<std::int64_t>(kLimit) : -static_cast<std::int64_t>(kLimit);
    const double below = std::floor(value);
    const double fraction = value - below;
    auto whole = static_cast<std::int64_t>(below);
    if (fraction > 0.5 || (fraction == 0.5 && whole % 2 != 0))
        ++whole;
    return whole;
}

namespace {

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

FrameOffset FrameOffsetFor(double outerWidthTwips, double outerHeightTwips, double innerWidthPixels,
                           double innerHeightPixels, double twipsPerPixel)
{
    if (!(twipsPerPixel > 0))
        return {};
    const std::int64_t dx = RoundHalfEven((outerWidthTwips / twipsPerPixel - innerWidthPixels) / 2);
    const std::int64_t dy = RoundHalfEven(outerHeightTwips / twipsPerPixel - innerHeightPixels
                                          - static_cast<double>(dx));
    return {ClampToInt32(dx), ClampToInt32(dy)};
}

Region::Region() = default;
Region::~Region() = default;

void Region::ScanPicture(const QImage& picture, std::int32_t& transColor)
{
    hndRegion.Clear();
    if (!dib_)
        dib_ = std::make_unique<cDIBSection>();
    dib_->CreateFromPicture(picture);
    const std::span<const std::uint8_t> bits(dib_->DIBSectionBitsPtr(), dib_->ByteCount());
    hndRegion = ScanPixelRows(bits, dib_->Width(), dib_->Height(), transColor);
}

void Region::OffsetHeader(QWidget& tmpForm)
{
    if (!tmpForm.isWindow() || tmpForm.windowFlags().testFlag(Qt::FramelessWindowHint))
        return;
    const QRect outer = tmpForm.frameGeometry();
    const FrameOffset offset = FrameOffsetFor(outer.width() * kTwipsPerPixel, outer.height() * kTwipsPerPixel,
                                              tmpForm.width(), tmpForm.height());
    hndRegion.Offset(offset.dx, offset.dy);
}

void Region::ApplyRgn(QWidget* hWnd) const
{
    if (!hWnd)
        return;
    // The outline is measured from the window's outer corner, a widget's
    // mask from its client area.
    const QPoint client = hWnd->geometry().topLeft() - hWnd->frameGeometry().topLeft();
    QRegion mask = hndRegion.ToQRegion().translated(-client);
    // An empty mask would mean "no mask", a whole rectangular window. A
    // single pixel left of and above the client area keeps the mask set while
    // nothing of the window shows or takes the mouse.
    if (mask.isEmpty())
        mask = QRegion(-1, -1, 1, 1);
    hWnd->setMask(mask);
    hWnd->update();
}

}  // namespace corvan
