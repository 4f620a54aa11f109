#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace corvan {

// A picture as a 24-bit pixel buffer that is read in place: rows stored
// bottom-up (row 0 is the picture's bottom row), each row padded to a
// multiple of four bytes, pixel x at bytes 3x, 3x+1, 3x+2 as blue, green,
// red.
class cDIBSection {
public:
    // The header that describes the buffer, laid out as the classic 40-byte
    // bitmap info header so the geometry reads the way pixel code expects.
    struct BitmapInfoHeader {
        std::uint32_t biSize = 40;
        std::int32_t biWidth = 0;
        std::int32_t biHeight = 0;
        std::uint16_t biPlanes = 1;
        std::uint16_t biBitCount = 24;
        std::uint32_t biCompression = 0;
        std::uint32_t biSizeImage = 0;
        std::int32_t biXPelsPerMeter = 0;
        std::int32_t biYPelsPerMeter = 0;
        std::uint32_t biClrUsed = 0;
        std::uint32_t biClrImportant = 0;
    };

    // Larger buffers are refused rather than attempted: a corrupt picture
    // header must not be able to ask for gigabytes.
    static constexpr std::int32_t kMaxWidth = 1 << 16;
    static constexpr std::int32_t kMaxHeight = 1 << 16;
    static constexpr std::int64_t kMaxBytes = std::int64_t{256} << 20;

    cDIBSection() = default;
    ~cDIBSection() { ClearUp(); }
    cDIBSection(const cDIBSection&) = delete;
    cDIBSection& operator=(const cDIBSection&) = delete;

    // Row length in bytes for a width: 3 x width rounded up to a multiple of
    // four; 0 for a width no buffer can have.
    static std::int32_t BytesPerScanLineFor(std::int32_t lWidth);

    // Records the size in the header, then makes the buffer (zeroed). The
    // size stays recorded when the buffer cannot be made.
    bool CreateDIB(std::int32_t lWidth, std::int32_t lHeight);
    // Frees any buffer first; true when a buffer of that size is now held.
    bool Create(std::int32_t lWidth, std::int32_t lHeight);
    // Makes a buffer of the picture's size and copies the picture into it.
    // A null picture has size 0, so nothing is made.
    void CreateFromPicture(const QImage& picThis);
    // Copies a block of the picture, whose top-left corner is lSrcLeft,
    // lSrcTop, to the buffer's top-left corner. A negative width or height
    // stands for the buffer's. Parts outside the picture or the buffer are
    // left as they are.
    void LoadPictureBlt(const QImage& picThis, std::int32_t lSrcLeft = 0, std::int32_t lSrcTop = 0,
                        std::int32_t lSrcWidth = -1, std::int32_t lSrcHeight = -1);

    std::int32_t BytesPerScanLine() const { return BytesPerScanLineFor(tBitmapInfo.biWidth); }
    std::int32_t Width() const { return tBitmapInfo.biWidth; }
    std::int32_t Height() const { return tBitmapInfo.biHeight; }
    // The first byte of the buffer; null when none is held.
    std::uint8_t* DIBSectionBitsPtr() { return lBitsPtr.get(); }
    const std::uint8_t* DIBSectionBitsPtr() const { return lBitsPtr.get(); }
    // Bytes of the buffer held: BytesPerScanLine x Height, or 0.
    std::size_t ByteCount() const;
    const BitmapInfoHeader& Info() const { return tBitmapInfo; }

    // Frees the buffer; the recorded size stays.
    void ClearUp() { lBitsPtr.reset(); }

private:
    BitmapInfoHeader tBitmapInfo;
    std::unique_ptr<std::uint8_t[]> lBitsPtr;
};

}  // namespace corvan
