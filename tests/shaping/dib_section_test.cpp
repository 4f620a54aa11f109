// The pixel buffer, without a QApplication.
#include "shaping/dib_section.h"

#include <gtest/gtest.h>

#include <QImage>

#include <vector>

namespace corvan {
namespace {

TEST(DIBSection, RowLengthIsThreeBytesPerPixelRoundedUpToFour)
{
    const struct {
        std::int32_t width;
        std::int32_t bytes;
    } cases[] = {
        {1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {439, 1320}, {0, 0}, {-3, 0}, {cDIBSection::kMaxWidth + 1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(cDIBSection::BytesPerScanLineFor(c.width), c.bytes) << "width " << c.width;
        cDIBSection dib;
        dib.Create(c.width, 1);
        EXPECT_EQ(dib.BytesPerScanLine(), c.bytes) << "width " << c.width;
    }
}

TEST(DIBSection, FirstRowIsTheBottomRowInBlueGreenRedOrder)
{
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    picture.setPixel(1, 0, qRgb(4, 5, 6));
    picture.setPixel(2, 0, qRgb(7, 8, 9));
    picture.setPixel(0, 1, qRgb(10, 11, 12));
    picture.setPixel(1, 1, qRgb(13, 14, 15));
    picture.setPixel(2, 1, qRgb(16, 17, 18));

    cDIBSection dib;
    dib.CreateFromPicture(picture);
    ASSERT_NE(dib.DIBSectionBitsPtr(), nullptr);
    ASSERT_EQ(dib.BytesPerScanLine(), 12);
    ASSERT_EQ(dib.ByteCount(), 24u);
    const std::vector<std::uint8_t> expected = {
        12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0,  // bottom row, then filler
        3,  2,  1,  6,  5,  4,  9,  8,  7,  0, 0, 0,  // top row
    };
    EXPECT_EQ(std::vector<std::uint8_t>(dib.DIBSectionBitsPtr(), dib.DIBSectionBitsPtr() + 24), expected);

    const auto& info = dib.Info();
    EXPECT_EQ(info.biSize, 40u);
    EXPECT_EQ(info.biWidth, 3);
    EXPECT_EQ(info.biHeight, 2);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 24);
    EXPECT_EQ(info.biCompression, 0u);
    EXPECT_EQ(info.biSizeImage, 24u);
}

TEST(DIBSection, PicturesOfOtherFormatsArriveAsTheirColours)
{
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(200, 100, 50), qRgb(1, 2, 3)});
    indexed.setPixel(0, 0, 1);
    indexed.setPixel(1, 0, 0);
    QImage premultiplied(2, 1, QImage::Format_ARGB32_Premultiplied);
    premultiplied.fill(qRgb(1, 2, 3));
    premultiplied.setPixel(1, 0, qRgb(200, 100, 50));
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(1, 2, 3, 255));
    argb.setPixel(1, 0, qRgba(200, 100, 50, 255));

    for (const QImage& picture : {indexed, premultiplied, argb, indexed.convertToFormat(QImage::Format_RGB888)}) {
        cDIBSection dib;
        dib.CreateFromPicture(picture);
        ASSERT_NE(dib.DIBSectionBitsPtr(), nullptr) << picture.format();
        const std::uint8_t* p = dib.DIBSectionBitsPtr();
        EXPECT_EQ(std::vector<std::uint8_t>(p, p + 6), (std::vector<std::uint8_t>{3, 2, 1, 50, 100, 200}))
            << picture.format();
    }
}

TEST(DIBSection, ClearUpFreesTheBufferAndKeepsTheSize)
{
    cDIBSection empty;
    empty.ClearUp();
    empty.ClearUp();
    EXPECT_EQ(empty.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(empty.Width(), 0);

    cDIBSection dib;
    ASSERT_TRUE(dib.Create(5, 7));
    ASSERT_NE(dib.DIBSectionBitsPtr(), nullptr);
    dib.ClearUp();
    dib.ClearUp();
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(dib.ByteCount(), 0u);
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(dib.Height(), 7);
    EXPECT_EQ(dib.BytesPerScanLine(), 16);
}

TEST(DIBSection, ImpossibleSizesAreRefusedButRecorded)
{
    const struct {
        std::int32_t width;
        std::int32_t height;
    } cases[] = {{0, 5},
                 {5, 0},
                 {-1, 5},
                 {5, -1},
                 {cDIBSection::kMaxWidth + 1, 1},
                 {1, cDIBSection::kMaxHeight + 1},
                 {cDIBSection::kMaxWidth, cDIBSection::kMaxHeight},
                 {INT32_MAX, INT32_MAX}};
    for (const auto& c : cases) {
        cDIBSection dib;
        ASSERT_TRUE(dib.Create(2, 2));
        EXPECT_FALSE(dib.Create(c.width, c.height)) << c.width << " x " << c.height;
        EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
        EXPECT_EQ(dib.ByteCount(), 0u);
        EXPECT_EQ(dib.Width(), c.width);
        EXPECT_EQ(dib.Height(), c.height);
    }
}

TEST(DIBSection, NullPictureLeavesItEmptyWithSizeZero)
{
    cDIBSection dib;
    ASSERT_TRUE(dib.Create(4, 4));
    dib.CreateFromPicture(QImage());
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_EQ(dib.Height(), 0);
}

TEST(DIBSection, BlockCopyIsClippedToPictureAndBuffer)
{
    // Picture 4 x 3 whose pixel (x, y) has red x and green y.
    QImage picture(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            picture.setPixel(x, y, qRgb(x + 1, y + 1, 0));
    auto redGreenAt = [](const cDIBSection& dib, int x, int topY) {
        const std::uint8_t* row = dib.DIBSectionBitsPtr() + (dib.Height() - 1 - topY) * dib.BytesPerScanLine();
        return std::pair<int, int>(row[3 * x + 2], row[3 * x + 1]);
    };

    cDIBSection dib;
    ASSERT_TRUE(dib.Create(3, 3));
    dib.LoadPictureBlt(picture, 2, 1);  // the block past the picture's right and bottom stays black
    EXPECT_EQ(redGreenAt(dib, 0, 0), (std::pair(3, 2)));
    EXPECT_EQ(redGreenAt(dib, 1, 1), (std::pair(4, 3)));
    EXPECT_EQ(redGreenAt(dib, 2, 0), (std::pair(0, 0)));
    EXPECT_EQ(redGreenAt(dib, 0, 2), (std::pair(0, 0)));

    ASSERT_TRUE(dib.Create(3, 3));
    dib.LoadPictureBlt(picture, -1, -1, 2, 2);  // starts left of and above the picture
    EXPECT_EQ(redGreenAt(dib, 0, 0), (std::pair(0, 0)));
    EXPECT_EQ(redGreenAt(dib, 1, 1), (std::pair(1, 1)));
    EXPECT_EQ(redGreenAt(dib, 2, 2), (std::pair(0, 0)));  // outside the 2 x 2 block

    ASSERT_TRUE(dib.Create(3, 3));
    dib.LoadPictureBlt(picture, 100, 100);
    dib.LoadPictureBlt(picture, INT32_MIN, INT32_MAX);
    EXPECT_EQ(redGreenAt(dib, 0, 0), (std::pair(0, 0)));
}

}  // namespace
}  // namespace corvan
