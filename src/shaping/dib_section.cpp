#include "shaping/dib_section.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace corvan {

namespace {

// Writes count 0xAARRGGBB pixels as blue, green, red bytes. Four pixels go
// out as three words at a time; byte by byte, the copy of a picture costs
// about as much as scanning it.
void CopyRowToBgr(const QRgb* from, std::uint8_t* to, std::int64_t count)
{
    std::int64_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 4 <= count; x += 4) {
            const std::uint32_t p0 = from[x];
            const std::uint32_t p1 = from[x + 1];
            const std::uint32_t p2 = from[x + 2];
            const std::uint32_t p3 = from[x + 3];
            // Three separate word stores: one 12-byte copy from a local array
            // makes the compiler reload the words and stall on each.
            const std::uint32_t w0 = (p0 & 0xFFFFFFu) | (p1 << 24);
            const std::uint32_t w1 = ((p1 >> 8) & 0xFFFFu) | (p2 << 16);
            const std::uint32_t w2 = ((p2 >> 16) & 0xFFu) | (p3 << 8);
            std::memcpy(to + 3 * x, &w0, 4);
            std::memcpy(to + 3 * x + 4, &w1, 4);
            std::memcpy(to + 3 * x + 8, &w2, 4);
        }
    }
    for (; x < count; ++x) {
        const QRgb pixel = from[x];
        to[3 * x] = static_cast<std::uint8_t>(qBlue(pixel));
        to[3 * x + 1] = static_cast<std::uint8_t>(qGreen(pixel));
        to[3 * x + 2] = static_cast<std::uint8_t>(qRed(pixel));
    }
}

}  // namespace

std::int32_t cDIBSection::BytesPerScanLineFor(std::int32_t lWidth)
{
    if (lWidth <= 0 || lWidth > kMaxWidth)
        return 0;
    return (3 * lWidth + 3) & ~3;
}

std::size_t cDIBSection::ByteCount() const
{
    if (!lBitsPtr)
        return 0;
    return static_cast<std::size_t>(BytesPerScanLine()) * static_cast<std::size_t>(Height());
}

bool cDIBSection::CreateDIB(std::int32_t lWidth, std::int32_t lHeight)
{
    tBitmapInfo = BitmapInfoHeader{};
    tBitmapInfo.biWidth = lWidth;
    tBitmapInfo.biHeight = lHeight;
    const std::int64_t stride = BytesPerScanLine();
    if (stride == 0 || lHeight <= 0 || lHeight > kMaxHeight || stride * lHeight > kMaxBytes)
        return false;
    const std::int64_t bytes = stride * lHeight;
    tBitmapInfo.biSizeImage = static_cast<std::uint32_t>(bytes);
    lBitsPtr.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]());
    return lBitsPtr != nullptr;
}

bool cDIBSection::Create(std::int32_t lWidth, std::int32_t lHeight)
{
    ClearUp();
    return CreateDIB(lWidth, lHeight);
}

void cDIBSection::CreateFromPicture(const QImage& picThis)
{
    if (!Create(picThis.width(), picThis.height()))
        return;
    LoadPictureBlt(picThis);
}

void cDIBSection::LoadPictureBlt(const QImage& picThis, std::int32_t lSrcLeft, std::int32_t lSrcTop,
                                 std::int32_t lSrcWidth, std::int32_t lSrcHeight)
{
    if (!lBitsPtr || picThis.isNull())
        return;
    const std::int64_t blockWidth = lSrcWidth < 0 ? Width() : lSrcWidth;
    const std::int64_t blockHeight = lSrcHeight < 0 ? Height() : lSrcHeight;

    // Destination pixels (dx, dy) with 0 <= dx < block and buffer, whose
    // source lSrcLeft + dx lies inside the picture.
    const std::int64_t x0 = std::max<std::int64_t>(0, -std::int64_t{lSrcLeft});
    const std::int64_t y0 = std::max<std::int64_t>(0, -std::int64_t{lSrcTop});
    const std::int64_t x1 = std::min({blockWidth, std::int64_t{Width()}, std::int64_t{picThis.width()} - lSrcLeft});
    const std::int64_t y1 = std::min({blockHeight, std::int64_t{Height()}, std::int64_t{picThis.height()} - lSrcTop});
    if (x0 >= x1 || y0 >= y1)
        return;

    // Pixels are read as 0xAARRGGBB words; a picture in another format is
    // converted once (a GIF decodes to one of these two already).
    const bool direct = picThis.format() == QImage::Format_RGB32 || picThis.format() == QImage::Format_ARGB32;
    const QImage source = direct ? picThis : picThis.convertToFormat(QImage::Format_RGB32);
    if (source.isNull())
        return;

    const std::int64_t stride = BytesPerScanLine();
    for (std::int64_t dy = y0; dy < y1; ++dy) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(static_cast<int>(lSrcTop + dy)));
        std::uint8_t* to = lBitsPtr.get() + (Height() - 1 - dy) * stride;
        CopyRowToBgr(from + (lSrcLeft + x0), to + 3 * x0, x1 - x0);
    }
}

}  // namespace corvan
