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
    explicit Reader(QByteArrayView data)
        : data_(data)
    {
    }

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
    RowOrder(int height, bool interlaced)
        : height_(height)
        , interlaced_(interlaced)
    {
    }

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

// Paints a picture's colour indexes onto the image as they come, row by
// row, in the picture's row order; what lies off the screen is dropped.
class RowPainter {
public:
    RowPainter(const Frame& frame, const Palette& colours, QImage& image)
        : frame_(frame)
        , colours_(colours)
        , image_(image)
        , row_(static_cast<std::size_t>(frame.width))
        , rows_(frame.height, frame.interlaced)
        , done_(frame.width == 0 || frame.height == 0)
    {
    }

    void Put(std::uint8_t index)
    {
        if (done_)
            return;
        row_[static_cast<std::size_t>(column_++)] = index;
        if (column_ == frame_.width) {
            column_ = 0;
            Paint(frame_.width);
        }
    }

    // A row cut short by the end of the data shows what it has.
    void Finish()
    {
        if (!done_ && column_ > 0)
            Paint(column_);
    }

private:
    // Paints the first `filled` indexes of the row just finished.
    void Paint(int filled)
    {
        const int y = rows_.Next();
        if (y < 0) {
            done_ = true;
            return;
        }
        const int imageY = frame_.top + y;
        if (imageY >= image_.height())
            return;
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(imageY));
        const int count = std::min(filled, image_.width() - frame_.left);
        for (int x = 0; x < count; ++x)
            line[frame_.left + x] = colours_[row_[static_cast<std::size_t>(x)]];
    }

    const Frame& frame_;
    const Palette& colours_;
    QImage& image_;
    std::vector<std::uint8_t> row_;
    RowOrder rows_;
    bool done_;
    int column_ = 0;
};

// The LZW string table: each code past the end code is a string made of an
// earlier code's string and one more index.
class LzwTable {
public:
    explicit LzwTable(int minCodeSize)
        : minCodeSize_(minCodeSize)
        , clear_(1 << minCodeSize)
    {
        for (int i = 0; i < clear_; ++i)
            suffix_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
        Clear();
    }

    int ClearCode() const { return clear_; }
    int EndCode() const { return clear_ + 1; }
    int CodeSize() const { return codeSize_; }

    void Clear()
    {
        codeSize_ = minCodeSize_ + 1;
        next_ = clear_ + 2;
        previous_ = -1;
    }

    // Hands the indexes of `code`'s string to `put`, first to last, and adds
    // the next entry. False when the code names no entry yet.
    template <typename Put>
    bool Expand(int code, Put&& put)
    {
        if (previous_ < 0) {
            if (code >= clear_)
                return false;
            first_ = static_cast<std::uint8_t>(code);
            put(first_);
            previous_ = code;
            return true;
        }
        if (code > next_ || (code == next_ && next_ >= kMaxCodes))
            return false;
        // The entry's string, last byte first; a code one past the table
        // repeats the previous string plus its own first byte.
        std::size_t depth = 0;
        int walk = code;
        if (code == next_) {
            stack_[depth++] = first_;
            walk = previous_;
        }
        while (walk >= clear_) {
            stack_[depth++] = suffix_[static_cast<std::size_t>(walk)];
            walk = prefix_[static_cast<std::size_t>(walk)];
        }
        stack_[depth++] = static_cast<std::uint8_t>(walk);
        first_ = static_cast<std::uint8_t>(walk);
        while (depth > 0)
            put(stack_[--depth]);
        if (next_ < kMaxCodes) {
            prefix_[static_cast<std::size_t>(next_)] = static_cast<std::uint16_t>(previous_);
            suffix_[static_cast<std::size_t>(next_)] = first_;
            ++next_;
            // At least, not equal: with a minimum code size of 1 the table
            // starts at 1 << codeSize already.
            if (next_ >= (1 << codeSize_) && codeSize_ < 12)
                ++codeSize_;
        }
        previous_ = code;
        return true;
    }

private:
    int minCodeSize_;
    int clear_;
    int codeSize_ = 0;
    int next_ = 0;
    int previous_ = -1;
    std::uint8_t first_ = 0;
    std::array<std::uint16_t, kMaxCodes> prefix_{};
    std::array<std::uint8_t, kMaxCodes> suffix_{};
    std::array<std::uint8_t, kMaxCodes + 1> stack_{};
};

// Reads the picture's LZW data, sub-block by sub-block, and paints what its
// codes spell. False when a code names no table entry yet or the data is
// cut off.
bool DecodePixels(Reader& in, int minCodeSize, const Frame& frame, const Palette& colours, QImage& image)
{
    LzwTable table(minCodeSize);
    RowPainter painter(frame, colours, image);
    const auto put = [&painter](std::uint8_t index) { painter.Put(index); };
    std::uint32_t bits = 0;
    int bitCount = 0;
    bool ended = false;
    QByteArrayView block;
    for (;;) {
        if (!in.SubBlock(block))
            return false;
        if (block.isEmpty())
            break;
        // Bytes past the end code are skipped up to the chain's end, never
        // gathered: they would shift past the 32 bits held.
        for (qsizetype i = 0; i < block.size() && !ended; ++i) {
            bits |= std::uint32_t{static_cast<std::uint8_t>(block[i])} << bitCount;
            bitCount += 8;
            while (!ended && bitCount >= table.CodeSize()) {
                const int code = static_cast<int>(bits & ((1u << table.CodeSize()) - 1));
                bits >>= table.CodeSize();
                bitCount -= table.CodeSize();
                if (code == table.ClearCode())
                    table.Clear();
                else if (code == table.EndCode())
                    ended = true;
                else if (!table.Expand(code, put))
                    return false;
            }
        }
    }
    painter.Finish();
    return true;
}

// After the first picture: the blocks that follow run whole up to the
// trailer. Qt's reader would decode a cut-off file and paint what is missing
// black, which gives a window a wrong outline; this decoder refuses it.
bool RunsToTrailer(Reader& in)
{
    for (;;) {
        std::uint8_t kind = 0;
        if (!in.Byte(kind))
            return false;
        switch (kind) {
        case 0x3B:  // trailer
            return true;
        case 0x21:  // extension: label, then sub-blocks
            if (!in.Skip(1) || !in.SkipSubBlocks())
                return false;
            break;
        case 0x2C: {  // another picture: descriptor, optional local colour table, LZW code size, data
            std::uint8_t flags = 0;
            std::vector<QRgb> local;
            if (!in.Skip(8) || !in.Byte(flags) || ((flags & 0x80) && !in.ColourTable(flags & 0x07, local))
                || !in.Skip(1) || !in.SkipSubBlocks())
                return false;
            break;
        }
        default:
            return false;
        }
    }
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
        if (!in.Word(frame.left) || !in.Word(frame.top) || !in.Word(frame.width) || !in.Word(frame.height)
            || !in.Byte(frameFlags))
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
        const Palette colours = (frameFlags & 0x80) ? MakePalette(local, static_cast<int>(local.size()), transparent)
                                                    : screenColours;
        if (!DecodePixels(in, minCodeSize, frame, colours, image) || !RunsToTrailer(in))
            return CutOff(error);
        return image;
    }
}

}  // namespace corvan
