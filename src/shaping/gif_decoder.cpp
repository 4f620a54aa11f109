#include "shaping/gif_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace corvan {

namespace {

constexpr QRgb kClear = 0x00000000u;
constexpr QRgb kOpaqueBlack = 0xFF000000u;
// Qt's reader paints an index past the colour table this clear white; so
// does this decoder, so that a picture looks the same whichever reads it.
constexpr QRgb kPastTable = 0x00FFFFFFu;
constexpr int kMaxCodes = 4096;

using Palette = std::array<QRgb, 256>;

// What each index paints. `count` is the table's size as the flags give it,
// also when no table follows them. The transparent colour keeps its red,
// green and blue under a clear alpha: the pixel buffer drops the alpha, and
// the window's outline is cut by those colours.
Palette MakePalette(const std::vector<QRgb>& table, int count, int transparent)
{
    Palette palette{};
    for (int i = 0; i < 256; ++i) {
        const auto index = static_cast<std::size_t>(i);
        QRgb colour = kPastTable;
        if (index < table.size())
            colour = table[index];
        else if (table.empty() && i <= count)
            colour = kClear;  // no table: black, and clear in a picture with a transparent colour
        if (i == transparent)
            colour &= kPastTable;
        else if (transparent < 0)
            colour |= kOpaqueBlack;  // RGB32 holds opaque pixels only
        palette[index] = colour;
    }
    return palette;
}

void SetError(QString* error, const char* text)
{
    if (error)
        *error = QString::fromLatin1(text);
}

// The file's bytes read front to back; every read past the end fails.
class Reader {
public:
    explicit Reader(QByteArrayView data) : data_(data) {}

    bool Byte(std::uint8_t& out)
    {
        if (pos_ >= data_.size())
            return false;
        out = static_cast<std::uint8_t>(data_[pos_++]);
        return true;
    }
    bool Word(int& out)
    {
        std::uint8_t lo = 0;
        std::uint8_t hi = 0;
        if (!Byte(lo) || !Byte(hi))
            return false;
        out = lo | (hi << 8);
        return true;
    }
    bool Skip(qsizetype count)
    {
        if (count > data_.size() - pos_)
            return false;
        pos_ += count;
        return true;
    }
    // A colour table of 2^(bits + 1) entries.
    bool ColourTable(int bits, std::vector<QRgb>& table)
    {
        const int count = 1 << (bits + 1);
        if (qsizetype{3} * count > data_.size() - pos_)
            return false;
        table.resize(static_cast<std::size_t>(count));
        for (QRgb& colour : table) {
            const auto* rgb = reinterpret_cast<const std::uint8_t*>(data_.data() + pos_);
            colour = qRgb(rgb[0], rgb[1], rgb[2]);
            pos_ += 3;
        }
        return true;
    }
    // Steps over a chain of sub-blocks up to its empty one.
    bool SkipSubBlocks()
    {
        for (;;) {
            std::uint8_t length = 0;
            if (!Byte(length))
                return false;
            if (length == 0)
                return true;
            if (!Skip(length))
                return false;
        }
    }
    // The next sub-block's bytes; an empty view at the chain's end.
    bool SubBlock(QByteArrayView& out)
    {
        std::uint8_t length = 0;
        if (!Byte(length) || length > data_.size() - pos_)
            return false;
        out = data_.sliced(pos_, length);
        pos_ += length;
        return true;
    }

private:
    QByteArrayView data_;
    qsizetype pos_ = 0;
};

// The rows of an interlaced picture come in four passes.
class RowOrder {
public:
    RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}

    // The row the next finished row goes to; -1 once every row has come.
    int Next()
    {
        if (!interlaced_)
            return row_ < height_ ? row_++ : -1;
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        while (pass_ < 4) {
            if (row_ < height_) {
                const int row = row_;
                row_ += kStep[pass_];
                return row;
            }
            if (++pass_ < 4)
                row_ = kStart[pass_];
        }
        return -1;
    }

private:
    int height_;
    bool interlaced_;
    int pass_ = 0;
    int row_ = 0;
};

struct Frame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
};

// Expands the picture's LZW data into colour indexes and paints them, row
// by row, onto the image. False when a code names no table entry yet.
bool DecodePixels(Reader& in, int minCodeSize, const Frame& frame, const Palette& colours, QImage& image)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> suffix{};
    std::array<std::uint8_t, kMaxCodes + 1> stack{};
    for (int i = 0; i < clear; ++i)
        suffix[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);

    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    std::uint8_t first = 0;

    std::vector<std::uint8_t> row(static_cast<std::size_t>(frame.width));
    int column = 0;
    RowOrder rows(frame.height, frame.interlaced);
    bool allRows = frame.width == 0 || frame.height == 0;

    // Paints the first `filled` indexes of the row just finished.
    const auto emitRow = [&](int filled) {
        const int y = rows.Next();
        if (y < 0) {
            allRows = true;
            return;
        }
        const int imageY = frame.top + y;
        if (imageY >= image.height())
            return;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(imageY));
        const int count = std::min(filled, image.width() - frame.left);
        for (int x = 0; x < count; ++x)
            line[frame.left + x] = colours[row[static_cast<std::size_t>(x)]];
    };
    const auto put = [&](std::uint8_t index) {
        if (allRows)
            return;
        row[static_cast<std::size_t>(column++)] = index;
        if (column == frame.width) {
            column = 0;
            emitRow(frame.width);
        }
    };

    std::uint32_t bits = 0;
    int bitCount = 0;
    bool ended = false;
    QByteArrayView block;
    for (;;) {
        if (!in.SubBlock(block))
            return false;
        if (block.isEmpty())
            break;
        if (ended)
            continue;  // bytes past the end code: skipped up to the chain's end
        for (const char byte : block) {
            // Bits after the end code are never read: gathering them would
            // shift past the 32 bits held.
            if (ended)
                break;
            bits |= std::uint32_t{static_cast<std::uint8_t>(byte)} << bitCount;
            bitCount += 8;
            while (!ended && bitCount >= codeSize) {
                const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
                bits >>= codeSize;
                bitCount -= codeSize;
                if (code == clear) {
                    codeSize = minCodeSize + 1;
                    next = clear + 2;
                    previous = -1;
                    continue;
                }
                if (code == end) {
                    ended = true;
                    break;
                }
                if (previous < 0) {
                    if (code >= clear)
                        return false;
                    first = static_cast<std::uint8_t>(code);
                    put(first);
                    previous = code;
                    continue;
                }
                if (code > next || (code == next && next >= kMaxCodes))
                    return false;
                // The entry's string, last byte first; a code one past the
                // table repeats the previous string plus its own first byte.
                std::size_t depth = 0;
                int walk = code;
                if (code == next) {
                    stack[depth++] = first;
                    walk = previous;
                }
                while (walk >= clear) {
                    stack[depth++] = suffix[static_cast<std::size_t>(walk)];
                    walk = prefix[static_cast<std::size_t>(walk)];
                }
                stack[depth++] = static_cast<std::uint8_t>(walk);
                first = static_cast<std::uint8_t>(walk);
                while (depth > 0)
                    put(stack[--depth]);
                if (next < kMaxCodes) {
                    prefix[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
                    suffix[static_cast<std::size_t>(next)] = first;
                    ++next;
                    // At least, not equal: with a minimum code size of 1 the
                    // table starts at 1 << codeSize already.
                    if (next >= (1 << codeSize) && codeSize < 12)
                        ++codeSize;
                }
                previous = code;
            }
        }
    }
    // A row cut short by the end of the data shows what it has.
    if (!allRows && column > 0)
        emitRow(column);
    return true;
}

std::optional<QImage> CutOff(QString* error)
{
    SetError(error, "the GIF data is damaged or cut off");
    return std::nullopt;
}

}  // namespace

std::optional<QImage> DecodeGif(QByteArrayView data, QString* error)
{
    Reader in(data);
    if (data.size() < 13 || !(data.startsWith("GIF87a") || data.startsWith("GIF89a"))) {
        SetError(error, "the data is not a GIF picture");
        return std::nullopt;
    }
    in.Skip(6);
    int width = 0;
    int height = 0;
    std::uint8_t flags = 0;
    std::uint8_t background = 0;
    in.Word(width);
    in.Word(height);
    in.Byte(flags);
    in.Byte(background);
    in.Skip(1);
    if (width <= 0 || height <= 0 || width > kMaxGifSide || height > kMaxGifSide) {
        SetError(error, "the picture has no size or an impossible one");
        return std::nullopt;
    }
    std::vector<QRgb> global;
    if ((flags & 0x80) && !in.ColourTable(flags & 0x07, global))
        return CutOff(error);

    int transparent = -1;
    for (;;) {
        std::uint8_t kind = 0;
        if (!in.Byte(kind))
            return CutOff(error);
        if (kind == 0x21) {  // extension: its label, then sub-blocks
            std::uint8_t label = 0;
            if (!in.Byte(label))
                return CutOff(error);
            QByteArrayView block;
            if (label == 0xF9) {
                // Graphic control: bit 0 of its first byte marks a
                // transparent colour, named by its fourth.
                if (!in.SubBlock(block))
                    return CutOff(error);
                transparent = (block.size() >= 4 && (block[0] & 0x01)) ? static_cast<std::uint8_t>(block[3]) : -1;
                if (block.isEmpty())
                    continue;
            }
            if (!in.SkipSubBlocks())
                return CutOff(error);
            continue;
        }
        if (kind != 0x2C) {  // the trailer, or a byte that begins no block
            SetError(error, "the GIF data holds no picture");
            return std::nullopt;
        }

        Frame frame;
        std::uint8_t frameFlags = 0;
        std::uint8_t minCodeSize = 0;
        if (!in.Word(frame.left) || !in.Word(frame.top) || !in.Word(frame.width) || !in.Word(frame.height) ||
            !in.Byte(frameFlags))
            return CutOff(error);
        frame.interlaced = (frameFlags & 0x40) != 0;
        std::vector<QRgb> local;
        if ((frameFlags & 0x80) && !in.ColourTable(frameFlags & 0x07, local))
            return CutOff(error);
        if (!in.Byte(minCodeSize))
            return CutOff(error);
        if (minCodeSize < 1 || minCodeSize > 11) {
            SetError(error, "the GIF data is damaged");
            return std::nullopt;
        }
        if (frame.left >= width || frame.top >= height)
            frame.width = frame.height = 0;  // wholly off the screen: nothing shows

        QImage image(width, height, transparent >= 0 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (image.isNull()) {
            SetError(error, "the picture is too large");
            return std::nullopt;
        }
        // A picture that does not cover the screen lies on the transparent
        // colour, else on the background colour of the screen's table; one
        // that covers it, and any pixel its data does not reach, on black
        // (clear). The screen's table even when the picture has its own:
        // Qt's reader looks in that one before it is read, and finds
        // whatever memory held.
        const int globalCount = 2 << (flags & 0x07);
        const Palette screenColours = MakePalette(global, globalCount, transparent);
        QRgb backdrop = transparent >= 0 ? kClear : kOpaqueBlack;
        const bool covers = frame.left == 0 && frame.top == 0 && frame.width >= width && frame.height >= height;
        if (!covers && transparent >= 0)
            backdrop = screenColours[static_cast<std::size_t>(transparent)];
        else if (!covers && !global.empty())
            backdrop = screenColours[background];
        image.fill(backdrop);
        const Palette colours = (frameFlags & 0x80)
                                    ? MakePalette(local, static_cast<int>(local.size()), transparent)
                                    : screenColours;
        if (!DecodePixels(in, minCodeSize, frame, colours, image))
            return CutOff(error);
        return image;
    }
}

}  // namespace corvan
