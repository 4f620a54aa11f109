// The GIF decoder against Qt's own GIF reader, and on damaged files. No
// QApplication here: the decoder must work before one exists, and Qt's
// reader loads its plugin without one as well.
#include "shaping/dib_section.h"
#include "shaping/gif_decoder.h"
#include "shaping/picture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace corvan {
namespace {

const QRgb kColours[4] = {qRgb(255, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 255), qRgb(255, 0, 255)};

struct Rect {
    int left;
    int top;
    int width;
    int height;
};

void PutWord(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

// Codes of `size` bits, packed low bit first into sub-blocks of up to 255
// bytes.
QByteArray PackCodes(const std::vector<int>& codes, int size)
{
    QByteArray bytes;
    unsigned bits = 0;
    int count = 0;
    for (const int code : codes) {
        bits |= static_cast<unsigned>(code) << count;
        count += size;
        for (; count >= 8; count -= 8, bits >>= 8)
            bytes.append(static_cast<char>(bits & 0xFF));
    }
    if (count > 0)
        bytes.append(static_cast<char>(bits));
    QByteArray blocks;
    for (qsizetype i = 0; i < bytes.size(); i += 255) {
        const QByteArray chunk = bytes.mid(i, 255);
        blocks.append(static_cast<char>(chunk.size()));
        blocks.append(chunk);
    }
    blocks.append('\0');
    return blocks;
}

// LZW codes that spell each index on its own after a clear code, so that
// every code has the starting size and the table never grows.
std::vector<int> Literals(const std::vector<int>& indexes, int minCodeSize = 2)
{
    const int clear = 1 << minCodeSize;
    std::vector<int> codes;
    for (const int index : indexes) {
        codes.push_back(clear);
        codes.push_back(index);
    }
    codes.push_back(clear + 1);
    return codes;
}

struct GifSpec {
    int width = 2;
    int height = 2;
    Rect frame{0, 0, 2, 2};
    int minCodeSize = 2;
    std::vector<int> codes = Literals({0, 1, 2, 3});
    int background = 0;
    bool interlaced = false;
    int transparent = -1;
};

// A GIF89a with the 4-colour table kColours and one picture. The picture
// descriptor starts at byte 25 (33 with a transparent colour); its minimum
// code size follows 10 bytes later.
QByteArray MakeGif(const GifSpec& spec)
{
    QByteArray out("GIF89a");
    PutWord(out, spec.width);
    PutWord(out, spec.height);
    out.append('\xF1');
    out.append(static_cast<char>(spec.background));
    out.append('\0');
    for (const QRgb colour : kColours) {
        out.append(static_cast<char>(qRed(colour)));
        out.append(static_cast<char>(qGreen(colour)));
        out.append(static_cast<char>(qBlue(colour)));
    }
    if (spec.transparent >= 0)
        out.append(QByteArray("\x21\xF9\x04\x01\0\0", 6) + static_cast<char>(spec.transparent) + '\0');
    out.append(',');
    PutWord(out, spec.frame.left);
    PutWord(out, spec.frame.top);
    PutWord(out, spec.frame.width);
    PutWord(out, spec.frame.height);
    out.append(spec.interlaced ? '\x40' : '\0');
    out.append(static_cast<char>(spec.minCodeSize));
    out.append(PackCodes(spec.codes, spec.minCodeSize + 1));
    out.append(';');
    return out;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList GifsIn(const QString& folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*.gif")}, QDir::Files, QDir::Name))
        paths.append(dir.filePath(name));
    return paths;
}

// Same size, same format and the same pixels as Qt's reader gives.
testing::AssertionResult SameAsQt(const QByteArray& data)
{
    const QImage theirs = QImage::fromData(data, "GIF");
    if (theirs.isNull())
        return testing::AssertionFailure() << "Qt's reader refuses it";
    QString error;
    const std::optional<QImage> ours = DecodeGif(data, &error);
    if (!ours)
        return testing::AssertionFailure() << "refused: " << error.toStdString();
    if (ours->format() != theirs.format())
        return testing::AssertionFailure() << "format " << ours->format() << ", Qt's " << theirs.format();
    if (ours->size() != theirs.size())
        return testing::AssertionFailure() << "size " << ours->width() << " x " << ours->height() << ", Qt's "
                                           << theirs.width() << " x " << theirs.height();
    const QImage a = ours->convertToFormat(QImage::Format_ARGB32);
    const QImage b = theirs.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return testing::AssertionFailure() << "pixel " << x << ", " << y << " is " << std::hex << a.pixel(x, y)
                                                   << ", Qt's " << b.pixel(x, y);
        }
    }
    return testing::AssertionSuccess();
}

TEST(GifDecoder, EveryTestPictureAndAssetEqualsQtsReader)
{
    const QString assets = QStringLiteral(CORVAN_ASSETS_DIR);
    const QStringList fixtures = GifsIn(QStringLiteral(CORVAN_GIF_FIXTURES_DIR));
    const QStringList buttons = GifsIn(assets + QStringLiteral("/buttons"));
    ASSERT_GE(fixtures.size(), 17);
    ASSERT_FALSE(buttons.isEmpty());
    for (const QString& path : fixtures + buttons + QStringList{assets + QStringLiteral("/new2.gif")}) {
        const QByteArray data = ReadFile(path);
        ASSERT_FALSE(data.isEmpty()) << path.toStdString();
        EXPECT_TRUE(SameAsQt(data)) << path.toStdString();
    }
}

TEST(GifDecoder, TransparentColourReachesThePixelBufferAsItself)
{
    // Index 3 (magenta) is transparent and the picture lies inside the
    // screen, so the screen's corners are magenta too. The pixel buffer drops
    // the alpha: the window's outline depends on that colour being kept.
    const std::optional<QImage> picture = DecodeGif(ReadFile(QStringLiteral(CORVAN_GIF_FIXTURES_DIR "/transkey.gif")));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->format(), QImage::Format_ARGB32);
    EXPECT_EQ(picture->pixel(0, 0), 0x00FF00FFu);
    cDIBSection dib;
    dib.CreateFromPicture(*picture);
    ASSERT_NE(dib.DIBSectionBitsPtr(), nullptr);
    const std::uint8_t* bottomLeft = dib.DIBSectionBitsPtr();
    EXPECT_EQ(std::vector<std::uint8_t>(bottomLeft, bottomLeft + 3), (std::vector<std::uint8_t>{0xFF, 0, 0xFF}));
}

// Indexes 4 to 7 of the 4-colour table, transparent indexes in and past it,
// a background index past it, and data that stops short of the picture.
TEST(GifDecoder, ColoursPastTheTableTransparencyAndBackgroundFollowQtsReader)
{
    const struct {
        const char* name;
        Rect frame;
        int background;
        int transparent;
    } cases[] = {
        {"covers the screen", {0, 0, 4, 3}, 2, -1},
        {"transparent in the table", {0, 0, 4, 3}, 2, 3},
        {"transparent past the table", {0, 0, 4, 3}, 2, 6},
        {"inside", {1, 1, 2, 2}, 2, -1},
        {"inside, background past the table", {1, 1, 2, 2}, 9, -1},
        {"inside, transparent", {1, 1, 3, 2}, 2, 1},
        {"inside, transparent past the table", {1, 1, 3, 2}, 2, 4},
    };
    for (const auto& c : cases) {
        GifSpec spec;
        spec.width = 4;
        spec.height = 3;
        spec.frame = c.frame;
        spec.minCodeSize = 3;
        spec.codes = Literals({0, 4, 3, 7, 1, 6, 5}, 3);  // short of every picture here
        spec.background = c.background;
        spec.transparent = c.transparent;
        EXPECT_TRUE(SameAsQt(MakeGif(spec))) << c.name;
    }
}

// Each screen pixel is the frame's pixel there or the background colour;
// nothing is written outside the image (the sanitizer build checks that).
TEST(GifDecoder, PicturePastTheScreenEdgeIsClipped)
{
    struct Case {
        const char* name;
        Rect frame;
        bool interlaced;
    };
    const Case cases[] = {
        {"past the right", {3, 1, 4, 2}, false},
        {"past the bottom", {1, 2, 2, 3}, false},
        {"past both", {3, 2, 5, 5}, false},
        {"wider than the screen", {0, 0, 70, 2}, false},
        {"right of the screen", {4, 0, 2, 2}, false},
        {"below the screen", {0, 3, 2, 2}, false},
        {"at the largest offset", {65535, 65535, 2, 2}, false},
        {"no pixels", {1, 1, 0, 2}, false},
        {"interlaced past the bottom", {1, 1, 2, 9}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int count = c.frame.width * c.frame.height;
        std::vector<int> indexes;
        for (int i = 0; i < count; ++i)
            indexes.push_back((i * 7 + i / 3) % 4);
        GifSpec spec;
        spec.width = 4;
        spec.height = 3;
        spec.frame = c.frame;
        spec.codes = Literals(indexes);
        spec.background = 1;
        spec.interlaced = c.interlaced;
        const QByteArray data = MakeGif(spec);

        // The picture's row that each row of data fills.
        std::vector<int> rows;
        for (const auto& [start, step] : c.interlaced ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                                                      : std::vector<std::pair<int, int>>{{0, 1}})
            for (int row = start; row < c.frame.height; row += step)
                rows.push_back(row);
        std::vector<int> painted(static_cast<std::size_t>(count), -1);
        for (int i = 0; i < count; ++i)
            painted[static_cast<std::size_t>(rows[static_cast<std::size_t>(i / c.frame.width)] * c.frame.width
                                             + i % c.frame.width)] = indexes[static_cast<std::size_t>(i)];

        const std::optional<QImage> picture = DecodeGif(data);
        ASSERT_TRUE(picture);
        ASSERT_EQ(picture->size(), QSize(4, 3));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const int fx = x - c.frame.left;
                const int fy = y - c.frame.top;
                const bool inside = fx >= 0 && fy >= 0 && fx < c.frame.width && fy < c.frame.height;
                const int index = inside ? painted[static_cast<std::size_t>(fy * c.frame.width + fx)] : 1;
                EXPECT_EQ(picture->pixel(x, y), kColours[index]) << "pixel " << x << ", " << y;
            }
        }
        // Qt's reader lays out the passes of an interlaced picture by the
        // rows the screen shows, not the picture's own.
        if (!c.interlaced) {
            EXPECT_TRUE(SameAsQt(data));
        }
    }
}

TEST(GifDecoder, RefusesWhatIsNotAWholeGif)
{
    const QByteArray good = MakeGif({});
    ASSERT_TRUE(SameAsQt(good));
    const auto edited = [&](qsizetype at, const QByteArray& bytes) {
        QByteArray data = good;
        data.replace(at, bytes.size(), bytes);
        return data;
    };
    GifSpec codePastTable;  // 0 makes entry 6; 7 names nothing yet
    codePastTable.codes = {4, 0, 7, 5};
    GifSpec endCodeFirst;  // the first code after a clear must be a colour
    endCodeFirst.codes = {4, 6, 5};
    const QByteArray header = good.left(25);
    const QByteArray bigSide = QByteArray("\x01\x20", 2);  // 8193

    const struct {
        const char* name;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"another format", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"unknown version", edited(3, "90a")},
        {"zero width", edited(6, QByteArray(2, '\0'))},
        {"zero height", edited(8, QByteArray(2, '\0'))},
        {"too wide", edited(6, bigSide)},
        {"too tall", edited(8, bigSide)},
        {"cut in the header", good.left(11)},
        {"cut in the colour table", good.left(20)},
        {"cut before the first picture", header},
        {"a trailer and no picture", header + ';'},
        {"a byte that begins no block", header + '\x01' + good.mid(25)},
        {"cut in an extension", header
                                    + QByteArray("\x21\xFE\x05"
                                                 "abc",
                                                 6)},
        {"cut in the picture descriptor", good.left(30)},
        {"cut in a local colour table", edited(34, "\x81").left(40)},
        {"cut before the code size", good.left(35)},
        {"cut in the data", good.left(good.size() - 4)},
        {"minimum code size 0", edited(35, QByteArray(1, '\0'))},
        {"minimum code size 12", edited(35, "\x0C")},
        {"minimum code size 255", edited(35, "\xFF")},
        {"code past the table", MakeGif(codePastTable)},
        {"end code first", MakeGif(endCodeFirst)},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(DecodeGif(c.data, &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_FALSE(DecodeGif(c.data)) << c.name;  // no place for the reason: still no crash
    }
}

TEST(GifDecoder, BytesAfterTheEndCodeAreIgnored)
{
    // 60 codes after the end code fill the rest of the sub-block: once read
    // into the bit store, they would shift it past its width (the
    // sanitizer build stops on that).
    GifSpec spec;
    spec.codes.insert(spec.codes.end(), 60, 7);
    EXPECT_TRUE(SameAsQt(MakeGif(spec)));
}

TEST(GifDecoder, LargestSidesAreTaken)
{
    for (const auto& [width, height] : {std::pair(kMaxGifSide, 1), std::pair(1, kMaxGifSide)}) {
        GifSpec spec;
        spec.width = width;
        spec.height = height;
        const std::optional<QImage> picture = DecodeGif(MakeGif(spec));
        ASSERT_TRUE(picture) << width << " x " << height;
        EXPECT_EQ(picture->size(), QSize(width, height));
    }
}

// Every cut of a whole file is refused, also a cut after its picture's
// data (before the trailer), and never read past.
TEST(GifDecoder, EveryCutOfAFileIsRefused)
{
    int files = 0;
    for (const QString& path : GifsIn(QStringLiteral(CORVAN_GIF_FIXTURES_DIR))) {
        const QByteArray whole = ReadFile(path);
        if (whole.size() > 2000)
            continue;
        ++files;
        ASSERT_TRUE(DecodePicture(whole)) << path.toStdString();
        for (qsizetype length = 0; length < whole.size(); ++length) {
            // A buffer of exactly that length, so that the sanitizer sees any read past it.
            const QByteArray cut(whole.constData(), length);
            QString error;
            EXPECT_FALSE(DecodePicture(cut, &error)) << path.toStdString() << " cut to " << length;
            EXPECT_FALSE(error.isEmpty()) << path.toStdString() << " cut to " << length;
        }
    }
    EXPECT_GE(files, 10);
}

// A picture file comes back as its bytes decode, whatever its size; what
// is past the limit, on disk or from a device that never ends, is refused.
TEST(PictureFile, ReadWholeAndWithinTheLimit)
{
    const QString assets = QStringLiteral(CORVAN_ASSETS_DIR);
    for (const QString& path : {assets + QStringLiteral("/new2.gif"), assets + QStringLiteral("/new2@2x.png")}) {
        const std::optional<QImage> read = LoadPicture(path);
        const std::optional<QImage> decoded = DecodePicture(ReadFile(path));
        ASSERT_TRUE(read && decoded) << path.toStdString();
        EXPECT_EQ(*read, *decoded) << path.toStdString();
    }

    QTemporaryDir tmp;
    const QString large = tmp.filePath(QStringLiteral("large.gif"));
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.write(ReadFile(assets + QStringLiteral("/new2.gif"))) > 0);
    ASSERT_TRUE(file.resize(kMaxPictureFileBytes + 1));  // sparse: no room taken on disk
    file.close();
    for (const QString& path : {large, QStringLiteral("/dev/zero"), tmp.filePath(QStringLiteral("missing.gif"))}) {
        QString error;
        EXPECT_FALSE(LoadPicture(path, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty()) << path.toStdString();
    }
}

}  // namespace
}  // namespace corvan
