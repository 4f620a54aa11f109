// The window outline scan and the region it builds, without a QApplication.
#include "shaping/picture.h"
#include "shaping/region.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegion>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace corvan {
namespace {

const QRgb kKeyColour = qRgb(255, 0, 255);

// A picture from rows of text, top row first: '.' is the key colour, '#' a
// dark grey, 'w' white.
QImage Picture(const std::vector<std::string>& rows)
{
    QImage picture(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
            picture.setPixel(x, y, c == '.' ? kKeyColour : c == 'w' ? qRgb(255, 255, 255) : qRgb(40, 40, 40));
        }
    }
    return picture;
}

PixelRegion Scan(const QImage& picture, std::int32_t transColor = kBottomLeftKey)
{
    Region region;
    region.ScanPicture(picture, transColor);
    return region.Outline();
}

std::vector<PixelRect> Runs(const QImage& picture)
{
    return Scan(picture).Runs();
}

QByteArray ReadAsset(const char* name)
{
    QFile file(QStringLiteral(CORVAN_ASSETS_DIR "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(RegionScan, OutlineIsOneRectanglePerRunPerRow)
{
    const struct {
        const char* name;
        std::vector<std::string> rows;
        std::vector<PixelRect> runs;
    } cases[] = {
        {"shape inside a key-coloured border",
         {".....", ".###.", ".#.#.", "....."},
         {{1, 1, 4, 2}, {1, 2, 2, 3}, {3, 2, 4, 3}}},
        {"the bottom-left colour is cut wherever it is", {"###", "#w#", "##w"}, {{1, 1, 2, 2}, {2, 2, 3, 3}}},
        {"run reaching the right edge keeps the last pixel", {"..##", "...#", "...."}, {{2, 0, 4, 1}, {3, 1, 4, 2}}},
        {"rows without a pixel add nothing", {"#..", "...", "..#", "..."}, {{0, 0, 1, 1}, {2, 2, 3, 3}}},
        {"bottom row maps to the last y", {"...", "..#", ".#."}, {{2, 1, 3, 2}, {1, 2, 2, 3}}},
        {"one column", {"#", ".", "#", "."}, {{0, 0, 1, 1}, {0, 2, 1, 3}}},
        {"one pixel: it is its own key", {"#"}, {}},
        {"key fills the picture", {"...", "..."}, {}},
        {"alternating pixels", {"#.#.#", "....."}, {{0, 0, 1, 1}, {2, 0, 3, 1}, {4, 0, 5, 1}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Runs(Picture(c.rows)), c.runs) << c.name;
}

TEST(RegionScan, OpaquePictureGivesTheFullRectangle)
{
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(qRgb(9, 9, 9));
    picture.setPixel(0, 4, qRgb(1, 1, 1));  // the bottom-left pixel names an unused key
    std::int32_t key = PixelKey(0, 0, 0);
    Region region;
    region.ScanPicture(picture, key);
    EXPECT_EQ(region.Outline().BoundingRect(), (PixelRect{0, 0, 7, 5}));
    EXPECT_EQ(region.Outline().Area(), 35);
}

TEST(RegionScan, TransparentKeyOfOneBecomesTheBottomLeftPixelsKey)
{
    QImage picture = Picture({"##", "##"});
    picture.setPixel(0, 1, qRgb(0x12, 0x34, 0x56));  // red 12, green 34, blue 56
    std::int32_t key = kBottomLeftKey;
    Region region;
    region.ScanPicture(picture, key);
    EXPECT_EQ(key, 0x56 + 256 * 0x34 + 65536 * 0x12);
    EXPECT_EQ(region.Outline().Area(), 3);
    EXPECT_FALSE(region.Outline().Contains(0, 1));

    // Any other key is used as given, in stored (blue, green, red) order.
    std::int32_t grey = PixelKey(40, 40, 40);
    EXPECT_EQ(Scan(Picture({"#.", ".#"}), grey).Area(), 2);
    std::int32_t magentaAsStored = 0xFF00FF;
    EXPECT_EQ(Scan(Picture({"#.", ".#"}), magentaAsStored).Area(), 2);
    std::int32_t beyondColours = 0x1000000;
    EXPECT_EQ(Scan(Picture({"#.", ".#"}), beyondColours).Area(), 4);
}

TEST(RegionScan, RawBuffersOfAnySizeAreSafe)
{
    std::int32_t key = kBottomLeftKey;
    const std::vector<std::uint8_t> twoByTwo = {0, 0, 0, 9, 9, 9, 0, 0, 7, 7, 7, 7, 7, 7, 0, 0};
    EXPECT_EQ(ScanPixelRows(twoByTwo, 2, 2, key).Runs(), (std::vector<PixelRect>{{0, 0, 2, 1}, {1, 1, 2, 2}}));
    EXPECT_EQ(key, 0);

    const struct {
        std::size_t bytes;
        std::int32_t width;
        std::int32_t height;
    } refused[] = {{0, 1, 1},   {15, 2, 2},  {16, 0, 2},         {16, 2, 0},        {16, -2, 2},
                   {16, 2, -2}, {16, 2, 20}, {16, INT32_MAX, 1}, {16, 1, INT32_MAX}};
    for (const auto& c : refused) {
        const std::vector<std::uint8_t> bytes(c.bytes, 5);
        std::int32_t unchanged = kBottomLeftKey;
        EXPECT_TRUE(ScanPixelRows(bytes, c.width, c.height, unchanged).IsEmpty())
            << c.bytes << " bytes, " << c.width << " x " << c.height;
        EXPECT_EQ(unchanged, kBottomLeftKey);
    }
}

// The scan compares groups of pixels at once where it can; it must agree
// with a pixel-by-pixel reading for every width and run length, and read no
// byte past the buffer (the buffers here are exactly as long as their rows)
// nor any filler byte (those are random).
TEST(RegionScan, AgreesWithReadingPixelByPixel)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const std::int32_t width = 1 + static_cast<std::int32_t>(random() % 40);
        const std::int32_t height = 1 + static_cast<std::int32_t>(random() % 5);
        const std::int32_t stride = cDIBSection::BytesPerScanLineFor(width);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stride) * height);
        // Key 0x0A0B0C; other pixels differ from it in one byte only, so a
        // comparison that looks at too few bytes shows.
        const std::uint8_t key[3] = {0x0C, 0x0B, 0x0A};
        const std::uint32_t runLength = 1 + random() % 9;
        for (std::int32_t r = 0; r < height; ++r) {
            for (std::int32_t x = 0; x < width; ++x) {
                std::uint8_t* pixel = &bytes[static_cast<std::size_t>(r * stride + 3 * x)];
                std::memcpy(pixel, key, 3);
                if ((static_cast<std::uint32_t>(x) / runLength + random() % 2) % 2 != 0)
                    pixel[random() % 3] ^= static_cast<std::uint8_t>(1 + random() % 255);
            }
            for (std::int32_t i = 3 * width; i < stride; ++i)
                bytes[static_cast<std::size_t>(r * stride + i)] = static_cast<std::uint8_t>(random());
        }

        std::vector<PixelRect> expected;
        for (std::int32_t y = 0; y < height; ++y) {
            const std::uint8_t* row = bytes.data() + static_cast<std::size_t>((height - 1 - y) * stride);
            for (std::int32_t x = 0; x < width;) {
                auto opaque = [&](std::int32_t at) { return std::memcmp(row + 3 * at, key, 3) != 0; };
                if (!opaque(x)) {
                    ++x;
                    continue;
                }
                const std::int32_t start = x;
                while (x < width && opaque(x))
                    ++x;
                expected.push_back({start, y, x, y + 1});
            }
        }
        std::int32_t transColor = PixelKey(key[0], key[1], key[2]);
        ASSERT_EQ(ScanPixelRows(bytes, width, height, transColor).Runs(), expected)
            << "round " << round << ", " << width << " x " << height;
    }
}

TEST(RegionScan, BrokenPicturesGiveAnEmptyBufferAndOutline)
{
    const QByteArray skin = ReadAsset("buttons/Command13.gif");
    ASSERT_FALSE(skin.isEmpty());
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty file", QByteArray()},
        {"not a picture", QByteArrayLiteral("#EXTM3U\r\n/music/a.mp3\r\n")},
        {"GIF header only", skin.left(13)},
        {"GIF cut in its pixel data", skin.left(skin.size() / 2)},
        {"GIF without its trailer", skin.left(skin.size() - 1)},
        {"GIF signature then noise", QByteArrayLiteral("GIF89a\x01\x00\x01\x00\xff\xff\xff\xff\xff\xff")},
    };
    for (const auto& c : cases) {
        QString reason;
        const std::optional<QImage> picture = DecodePicture(c.bytes, &reason);
        EXPECT_FALSE(picture) << c.name;
        EXPECT_FALSE(reason.isEmpty()) << c.name;

        std::int32_t key = kBottomLeftKey;
        Region region;
        region.ScanPicture(picture.value_or(QImage()), key);
        EXPECT_TRUE(region.Outline().IsEmpty()) << c.name;
        ASSERT_NE(region.Pixels(), nullptr);
        EXPECT_EQ(region.Pixels()->DIBSectionBitsPtr(), nullptr) << c.name;
        EXPECT_EQ(region.Pixels()->Height(), 0) << c.name;
        EXPECT_EQ(key, kBottomLeftKey) << c.name;
    }
    // What the GIF reader makes of a cut-off file on its own still scans.
    for (qsizetype n = 0; n <= skin.size(); n += 7) {
        std::int32_t key = kBottomLeftKey;
        Region region;
        region.ScanPicture(QImage::fromData(skin.left(n)), key);
    }
}

// The skin decodes without a QApplication, and its outline leaves room for
// every visible control of the main window.
TEST(RegionScan, SkinOutlineHoldsEveryVisibleControl)
{
    const std::optional<QImage> skin = DecodePicture(ReadAsset("new2.gif"));
    ASSERT_TRUE(skin);
    ASSERT_LE(skin->width(), 439);
    ASSERT_LE(skin->height(), 482);

    std::int32_t key = kBottomLeftKey;
    Region region;
    region.ScanPicture(*skin, key);
    EXPECT_EQ(key, 0xFF00FF);
    const PixelRegion& outline = region.Outline();
    EXPECT_FALSE(outline.Contains(0, skin->height() - 1));

    // Places in twips: left, top, width, height.
    const struct {
        const char* name;
        int left, top, width, height;
    } controls[] = {
        {"Check1", 370, 480, 855, 195},     {"Option1", 4680, 480, 495, 195},      {"Image4", 5040, 0, 375, 375},
        {"Image3", 5520, 0, 375, 375},      {"MediaPlayer1", 375, 720, 5325, 195}, {"hide", 370, 915, 5355, 615},
        {"Dir1", 370, 1350, 2175, 3915},    {"File1", 2560, 960, 3160, 4320},      {"Text1", 370, 5400, 5295, 285},
        {"Playing", 3720, 5760, 1575, 255}, {"Label1", 380, 6000, 5295, 255},      {"Label11", 6120, 6120, 255, 255},
        {"Combo1", 370, 6240, 1095, 315},   {"Check5", 1920, 6360, 1695, 195},     {"Label23", 6360, 6840, 1095, 255},
        {"UpDown1", 0, 7080, 240, 255},     {"Command22", 945, 6840, 375, 315},    {"Command10", 4920, 6840, 375, 315},
    };
    for (const auto& c : controls) {
        // Twips to pixels, widened to whole pixels, kept to the picture; the
        // bottom-left pixel is the key and so is never part of the outline.
        const int left = c.left / 15;
        const int top = c.top / 15;
        const int right = std::min((c.left + c.width + 14) / 15, skin->width());
        const int bottom = std::min((c.top + c.height + 14) / 15, skin->height());
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (!(x < 3 && y > skin->height() - 4)) {
                    EXPECT_TRUE(outline.Contains(x, y)) << c.name << " at " << x << ", " << y;
                }
            }
        }
    }
}

TEST(PixelRegion, UnitingMergesOverlappingAndTouchingRuns)
{
    PixelRegion region;
    region.Unite({10, 0, 12, 1});
    region.Unite({0, 0, 2, 1});   // before, in the same row
    region.Unite({4, 0, 6, 1});   // between
    region.Unite({6, 0, 10, 1});  // touches both neighbours: one run
    region.Unite({1, -1, 3, 0});  // a row above all others
    region.Unite({0, 2, 3, 4});   // two rows at once
    region.Unite({1, 2, 2, 3});   // already covered
    region.Unite({5, 5, 5, 9});   // empty
    EXPECT_EQ(region.Runs(),
              (std::vector<PixelRect>{{1, -1, 3, 0}, {0, 0, 2, 1}, {4, 0, 12, 1}, {0, 2, 3, 3}, {0, 3, 3, 4}}));
    EXPECT_EQ(region.Area(), 2 + 2 + 8 + 3 + 3);
    EXPECT_EQ(region.BoundingRect(), (PixelRect{0, -1, 12, 4}));
    EXPECT_TRUE(region.Contains(11, 0));
    EXPECT_FALSE(region.Contains(12, 0));
    EXPECT_FALSE(region.Contains(3, 0));
    EXPECT_FALSE(region.Contains(0, 1));

    PixelRegion copy = region;
    copy.Offset(3, -2);
    EXPECT_TRUE(copy.Contains(14, -2));
    EXPECT_FALSE(copy.Contains(11, 0));
    EXPECT_EQ(copy.Area(), region.Area());

    PixelRegion united;
    united.Unite(copy);
    united.Unite(region);
    united.Unite(region);
    // The two meet only in row 0, where copy's 3..6 joins region's 4..12.
    EXPECT_EQ(united.Area(), 2 * region.Area() - 2);
    EXPECT_TRUE(united.Contains(3, 0));
    EXPECT_FALSE(united.Contains(2, 0));
}

// The QRegion handed to the window is the same set of pixels as the union of
// the runs, in no more rectangles; random pictures, so bands of every sort
// turn up.
TEST(PixelRegion, QRegionEqualsTheUnionOfTheRuns)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        const int width = 1 + static_cast<int>(random() % 12);
        const int height = 1 + static_cast<int>(random() % 12);
        QImage picture(width, height, QImage::Format_RGB32);
        // Few distinct rows, so that identical neighbouring rows are common.
        std::vector<std::vector<bool>> patterns(3, std::vector<bool>(static_cast<std::size_t>(width)));
        for (auto& pattern : patterns)
            for (std::size_t x = 0; x < pattern.size(); ++x)
                pattern[x] = random() % 2 != 0;
        for (int y = 0; y < height; ++y) {
            const auto& pattern = patterns[random() % patterns.size()];
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, pattern[static_cast<std::size_t>(x)] ? qRgb(1, 2, 3) : kKeyColour);
        }
        std::int32_t key = 0xFF00FF;
        const PixelRegion outline = Scan(picture, key);

        QRegion expected;
        for (const PixelRect& run : outline.Runs())
            expected += QRect(run.left, run.top, run.right - run.left, 1);
        // QRegion's == compares rectangle lists, not pixel sets.
        const QRegion converted = outline.ToQRegion();
        ASSERT_TRUE(converted.xored(expected).isEmpty()) << "round " << round;
        ASSERT_LE(converted.rectCount(), expected.rectCount()) << "round " << round;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(converted.contains(QPoint(x, y)), picture.pixel(x, y) != kKeyColour);
    }
    EXPECT_TRUE(PixelRegion().ToQRegion().isEmpty());
}

TEST(FrameOffset, HalvesRoundToTheEvenNumber)
{
    const struct {
        double value;
        std::int64_t rounded;
    } cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},   {-0.5, 0},
                 {-1.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7.0, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
}

TEST(FrameOffset, FrameAndCaptionFromOuterTwipsAndInnerPixels)
{
    const struct {
        double outerWidthTwips, outerHeightTwips, innerWidth, innerHeight;
        FrameOffset offset;
    } cases[] = {
        {447 * 15, 517 * 15, 439, 482, {4, 31}},  // 4-pixel frame, 27-pixel caption
        {439 * 15, 482 * 15, 439, 482, {0, 0}},   // no frame at all
        {446 * 15, 510 * 15, 439, 482, {4, 24}},  // dx 3.5 rounds up to 4; dy 28 - 4
        {444 * 15, 510 * 15, 439, 482, {2, 26}},  // dx 2.5 rounds down to 2
        {6700, 7700, 439, 482, {4, 27}},          // 446.67 px wide: dx 3.83; 513.33 - 482 - 4 = 27.33
        {447 * 15, 7687.5, 439, 482, {4, 26}},    // dy 26.5 rounds down to 26
        {447 * 15, 7702.5, 439, 482, {4, 28}},    // dy 27.5 rounds up to 28
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameOffsetFor(c.outerWidthTwips, c.outerHeightTwips, c.innerWidth, c.innerHeight), c.offset)
            << c.outerWidthTwips << " x " << c.outerHeightTwips;
    EXPECT_EQ(FrameOffsetFor(6705, 7755, 439, 482, 0), FrameOffset{});
}

}  // namespace
}  // namespace corvan
