// The region scan on any width, height, key and bytes: no read outside the
// bytes given, and the same outline as a plain pixel-by-pixel reading.
//
// Input: a mode byte, then the width, height and key (raw 32-bit values, or
// small ones when the mode says so, so that valid pictures are common), then
// the pixel bytes.
#include "shaping/dib_section.h"
#include "shaping/region.h"
#include "require.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using corvan::fuzz::Require;

namespace {

std::int32_t Take32(const std::uint8_t*& data, std::size_t& size)
{
    std::int32_t value = 0;
    const std::size_t n = size < 4 ? size : 4;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

std::int32_t TakeSmall(const std::uint8_t*& data, std::size_t& size)
{
    if (size == 0)
        return 0;
    const std::int32_t value = static_cast<std::int32_t>(*data) % 40 - 2;
    ++data;
    --size;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t mode = *data++;
    --size;
    const std::int32_t width = (mode & 1) ? Take32(data, size) : TakeSmall(data, size);
    const std::int32_t height = (mode & 2) ? Take32(data, size) : TakeSmall(data, size);
    std::int32_t key = corvan::kBottomLeftKey;
    if (mode & 4)
        key = Take32(data, size);
    else if (mode & 8)
        key = corvan::PixelKey(size > 0 ? data[0] : 0, 0x20, 0x40);
    // A buffer of exactly the bytes given, so that any read past them is
    // caught by the address sanitizer.
    const std::vector<std::uint8_t> owned(data, data + size);
    const std::span<const std::uint8_t> bits(owned.data(), owned.size());

    std::int32_t transColor = key;
    const corvan::PixelRegion region = corvan::ScanPixelRows(bits, width, height, transColor);

    const std::int64_t stride = width > 0 && width <= corvan::cDIBSection::kMaxWidth
                                    ? ((3 * std::int64_t{width} + 3) & ~std::int64_t{3})
                                    : 0;
    const bool valid = stride > 0 && height > 0 && height <= corvan::cDIBSection::kMaxHeight
                       && static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height) <= owned.size();
    if (!valid) {
        Require(region.IsEmpty());
        Require(transColor == key);
        return 0;
    }
    std::int32_t expectedKey = key;
    if (key == corvan::kBottomLeftKey)
        expectedKey = corvan::PixelKey(owned[0], owned[1], owned[2]);
    Require(transColor == expectedKey);

    // Plain reading: top row of the picture first, runs left to right.
    std::vector<corvan::PixelRect> runs;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = owned.data() + (height - 1 - y) * stride;
        std::int32_t x = 0;
        while (x < width) {
            const std::uint8_t* p = row + 3 * x;
            if (corvan::PixelKey(p[0], p[1], p[2]) == expectedKey) {
                ++x;
                continue;
            }
            const std::int32_t start = x;
            while (x < width) {
                const std::uint8_t* q = row + 3 * x;
                if (corvan::PixelKey(q[0], q[1], q[2]) == expectedKey)
                    break;
                ++x;
            }
            runs.push_back({start, y, x, y + 1});
        }
    }
    Require(region.Runs() == runs);
    return 0;
}
