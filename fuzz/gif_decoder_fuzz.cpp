// The GIF decoder on any bytes: no crash, no read outside them, no hang; and
// where Qt's GIF reader decodes the same file, the same picture.
//
// Input that starts with "GIF" is the file itself (most committed seeds are
// such files). Any other input describes a well-formed GIF that this target
// writes with an LZW encoder of its own: screen and picture sizes, the
// picture's place, colour tables, background and transparent colour,
// interlacing, code size, clear codes, sub-block length and pixels. Those
// must be decoded, and equal Qt's reader everywhere but where noted in
// Compare. The input may also ask for one byte of the written file to be
// overwritten: such near misses are held to no more than given files are.
#include "shaping/gif_decoder.h"
#include "require.h"

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

using corvan::fuzz::Require;

namespace {

// Bytes of the input taken front to back; 0 once they run out.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {
    }
    int Take()
    {
        if (size_ == 0)
            return 0;
        --size_;
        return *data_++;
    }
    const std::uint8_t* Rest() const { return data_; }
    std::size_t Left() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

struct Random {
    std::uint32_t state;
    int Next()
    {
        state = state * 1103515245u + 12345u;
        return static_cast<int>(state >> 16);
    }
};

// The first picture's place and what Qt's reader is known to read in its
// own way, as the file's blocks give them.
struct Layout {
    bool found = false;
    int screenWidth = 0;
    int screenHeight = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool localTable = false;
    bool interlaced = false;
    bool shortControl = false;
};

Layout ReadLayout(const QByteArray& file)
{
    Layout layout;
    const auto at = [&](qsizetype i) { return i < file.size() ? static_cast<std::uint8_t>(file[i]) : 0; };
    const auto word = [&](qsizetype i) { return at(i) | (at(i + 1) << 8); };
    const auto tableBytes = [](int flags) { return (flags & 0x80) ? 3 * (2 << (flags & 0x07)) : 0; };
    layout.screenWidth = word(6);
    layout.screenHeight = word(8);
    qsizetype pos = 13 + tableBytes(at(10));
    while (pos < file.size()) {
        const int kind = at(pos);
        if (kind == 0x21) {
            if (at(pos + 1) == 0xF9 && at(pos + 2) < 4)
                layout.shortControl = true;
            pos += 2;
            while (pos < file.size() && at(pos) != 0)
                pos += 1 + at(pos);
            ++pos;
            continue;
        }
        if (kind == 0x2C && pos + 9 < file.size()) {
            layout.found = true;
            layout.left = word(pos + 1);
            layout.top = word(pos + 3);
            layout.width = word(pos + 5);
            layout.height = word(pos + 7);
            layout.localTable = (at(pos + 9) & 0x80) != 0;
            layout.interlaced = (at(pos + 9) & 0x40) != 0;
        }
        break;
    }
    return layout;
}

// Our picture against Qt's. `wellFormed`: written here and not damaged since.
void Compare(const QImage& ours, const QImage& theirs, const Layout& layout, bool wellFormed)
{
    Require(ours.size() == theirs.size(), "the size differs from Qt's");
    Require(ours.format() == theirs.format(), "the format differs from Qt's");
    const bool covers = layout.left == 0 && layout.top == 0 && layout.width >= layout.screenWidth
                        && layout.height >= layout.screenHeight;
    // Qt's reader fills the screen around a picture with a local colour
    // table from that table before it has read it: whatever lay in memory.
    const bool backdropUnknown = layout.localTable && !covers;
    if (backdropUnknown && !wellFormed)
        return;  // a short picture leaves that backdrop inside it too
    const QImage a = ours.convertToFormat(QImage::Format_ARGB32);
    const QImage b = theirs.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const bool inside = x >= layout.left && y >= layout.top && x - layout.left < layout.width
                                && y - layout.top < layout.height;
            if (!inside && backdropUnknown)
                continue;
            // Qt's reader repeats rows of an interlaced picture's early
            // passes into the rows after them, fills the rows of a picture
            // that reaches past the screen's bottom in passes laid out by
            // the rows shown, and for a picture 3 or 4 rows high repeats a
            // pass. Well-formed pictures meet only the last.
            if (inside && layout.interlaced && (!wellFormed || layout.height == 3 || layout.height == 4))
                continue;
            // Data with more pixels than the picture: Qt's reader goes on
            // painting rows below it (down one column when it has no width).
            const int columns = layout.width > 0 ? layout.width : 1;
            const int belowFrom = layout.top + (layout.width > 0 ? layout.height : 0);
            if (!wellFormed && x >= layout.left && x - layout.left < columns && y >= belowFrom)
                continue;
            if (a.pixel(x, y) != b.pixel(x, y)) {
                std::fprintf(stderr, "pixel %d, %d: %08x, Qt's %08x\n", x, y, a.pixel(x, y), b.pixel(x, y));
                Require(false, "a pixel differs from Qt's");
            }
        }
    }
}

// LZW codes sized the way Qt's reader (and the decoder) read them: the size
// grows once the reader's next table entry reaches 1 << size.
class Encoder {
public:
    explicit Encoder(int minCodeSize)
        : minCodeSize_(minCodeSize)
        , clear_(1 << minCodeSize)
    {
        Reset();
    }

    // Without the end code the padding bits would read as more pixels.
    std::vector<std::uint8_t> Encode(const std::vector<int>& pixels, bool deferredClear, int clearEvery)
    {
        Put(clear_);
        int word = -1;
        int count = 0;
        for (const int pixel : pixels) {
            if (word >= 0) {
                const auto key = static_cast<std::uint32_t>(word) << 8 | static_cast<std::uint32_t>(pixel);
                const auto found = table_.find(key);
                if (found != table_.end()) {
                    word = found->second;
                    continue;
                }
                Put(word);
                ++count;
                if (written_ < 4096)
                    table_.emplace(key, written_++);
                else if (!deferredClear)
                    Put(clear_);
                if (clearEvery > 0 && count % clearEvery == 0)
                    Put(clear_);
            }
            word = pixel;
        }
        if (word >= 0)
            Put(word);
        Put(clear_ + 1);
        if (bitCount_ > 0)
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
        return bytes_;
    }

private:
    void Reset()
    {
        table_.clear();
        written_ = read_ = clear_ + 2;
        size_ = minCodeSize_ + 1;
        first_ = true;
    }
    void Put(int code)
    {
        // With a minimum code size of 1 the second code may not fit yet:
        // cut to size, both readers then see the same other code.
        bits_ |= static_cast<std::uint32_t>(code & ((1 << size_) - 1)) << bitCount_;
        for (bitCount_ += size_; bitCount_ >= 8; bitCount_ -= 8, bits_ >>= 8)
            bytes_.push_back(static_cast<std::uint8_t>(bits_));
        if (code == clear_) {
            Reset();
        } else if (code == clear_ + 1) {
        } else if (first_) {
            first_ = false;
        } else if (read_ < 4096) {
            // The reader makes its entry one code after the writer.
            if (++read_ >= (1 << size_) && size_ < 12)
                ++size_;
        }
    }

    int minCodeSize_;
    int clear_;
    std::unordered_map<std::uint32_t, int> table_;
    int written_ = 0;
    int read_ = 0;
    int size_ = 0;
    bool first_ = true;
    std::vector<std::uint8_t> bytes_;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
};

void PutWord(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>(value >> 8 & 0xFF));
}

// A well-formed file, unless `damaged` comes back true: then one of its
// bytes was overwritten afterwards, a near miss to the given files.
QByteArray WriteGif(Bytes& in, bool& damaged)
{
    const int shape = in.Take();
    const int options = in.Take();
    const int width = 1 + in.Take() % 96;
    const int height = 1 + in.Take() % 96;
    Random random{static_cast<std::uint32_t>(in.Take() | in.Take() << 8)};

    const bool global = shape & 0x01;
    const bool local = shape & 0x02;
    const bool interlaced = shape & 0x04;
    const bool transparent = shape & 0x08;
    const int clears = shape >> 4 & 0x03;  // full table: clear, keep it, or also clear every so often
    const bool covers = shape & 0x40;
    const bool extension = shape & 0x80;
    const bool noise = options & 0x01;
    damaged = options & 0x02;
    // A picture may reach past the screen, but Qt's reader lays out an
    // interlaced one that does by the rows shown (see Compare).
    const bool spill = (options & 0x04) && !interlaced;
    const int minCodeSize = 1 + (options >> 3 & 0x07);
    // With a minimum code size of 1 the second code may not fit (see
    // Encoder::Put): such a file is as good as damaged.
    damaged = damaged || minCodeSize == 1;

    QByteArray out(options & 0x40 ? "GIF87a" : "GIF89a");
    PutWord(out, width);
    PutWord(out, height);
    const int globalBits = in.Take() & 0x07;
    out.append(static_cast<char>((global ? 0x80 : 0) | 0x70 | globalBits));
    out.append(static_cast<char>(in.Take()));  // background
    out.append('\0');
    const auto appendTable = [&](int bits) {
        for (int i = 0; i < 3 * (2 << bits); ++i)
            out.append(static_cast<char>(random.Next()));
    };
    if (global)
        appendTable(globalBits);
    if (extension)
        out.append(QByteArray("\x21\xFE\x03"
                              "abc\x01x\0",
                              9));
    if (transparent || extension)
        out.append(QByteArray("\x21\xF9\x04", 3) + static_cast<char>(transparent ? 1 : 0) + QByteArray("\0\0", 2)
                   + static_cast<char>(in.Take()) + '\0');

    int left = 0;
    int top = 0;
    int frameWidth = width;
    int frameHeight = height;
    if (!covers) {
        left = in.Take() % width;
        top = in.Take() % height;
        frameWidth = 1 + in.Take() % (spill ? 64 : width - left);
        frameHeight = 1 + in.Take() % (spill ? 64 : height - top);
    }
    out.append(',');
    PutWord(out, left);
    PutWord(out, top);
    PutWord(out, frameWidth);
    PutWord(out, frameHeight);
    const int localBits = in.Take() & 0x07;
    out.append(static_cast<char>((local ? 0x80 : 0) | (interlaced ? 0x40 : 0) | localBits));
    if (local)
        appendTable(localBits);
    out.append(static_cast<char>(minCodeSize));

    const int damageAt = in.Take() | in.Take() << 8;
    const char damage = static_cast<char>(in.Take());
    const int blockLength = 1 + in.Take() % 255;
    const int clearEvery = clears == 2 ? 1 + in.Take() : 0;
    // The pixels in the order the file holds them: the rest of the input,
    // repeated, and mixed with noise when asked for (so that the code table
    // fills up).
    const int mask = (1 << minCodeSize) - 1;
    std::vector<int> pixels(static_cast<std::size_t>(frameWidth * frameHeight));
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int given = in.Left() > 0 ? in.Rest()[i % in.Left()] : 0;
        pixels[i] = (noise ? given ^ random.Next() : given) & mask;
    }
    const std::vector<std::uint8_t> data = Encoder(minCodeSize).Encode(pixels, clears == 1, clearEvery);
    for (std::size_t i = 0; i < data.size(); i += static_cast<std::size_t>(blockLength)) {
        const std::size_t length = std::min(data.size() - i, static_cast<std::size_t>(blockLength));
        out.append(static_cast<char>(length));
        out.append(reinterpret_cast<const char*>(data.data() + i), static_cast<qsizetype>(length));
    }
    out.append('\0');
    out.append(';');
    if (options & 0x02)
        out[damageAt % out.size()] = damage;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const bool given = size >= 3 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F';
    bool damaged = true;
    QByteArray file;
    if (given) {
        // A copy of exactly the bytes given, so that any read past them is
        // caught by the address sanitizer.
        file = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    } else {
        Bytes in(data, size);
        file = WriteGif(in, damaged);
    }

    const Layout layout = ReadLayout(file);
    // Large screens only cost time: their size check is a unit test's.
    if (std::int64_t{layout.screenWidth} * layout.screenHeight > (1 << 18))
        return 0;

    QString error;
    const std::optional<QImage> ours = corvan::DecodeGif(file, &error);
    Require(ours.has_value() == error.isEmpty(), "a refusal without a reason, or a picture with one");
    if (ours) {
        Require(ours->size() == QSize(layout.screenWidth, layout.screenHeight), "not the screen's size");
        Require(ours->format() == QImage::Format_RGB32 || ours->format() == QImage::Format_ARGB32, "another format");
    }
    if (!damaged)
        Require(ours.has_value(), "a written file is refused");
    if (!ours || !layout.found || layout.shortControl)
        return 0;
    const QImage theirs = QImage::fromData(file, "GIF");
    if (!theirs.isNull())
        Compare(*ours, theirs, layout, !damaged);
    return 0;
}
