// The outline handed to a window, on the offscreen platform.
#include "shaping/region.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

namespace corvan {
namespace {

QImage RingPicture()
{
    QImage picture(6, 5, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 255));
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 5; ++x)
            if (!(x == 2 && y == 2))
                picture.setPixel(x, y, qRgb(30, 30, 30));
    return picture;
}

TEST(WindowOutline, FramelessWindowGetsTheOutlineAsItsMask)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(6, 5);
    Region region;
    std::int32_t key = kBottomLeftKey;
    region.ScanPicture(RingPicture(), key);
    const PixelRegion before = region.Outline();
    region.OffsetHeader(window);
    EXPECT_EQ(region.Outline(), before) << "a frameless window moves nothing";
    region.ApplyRgn(&window);

    const QRegion mask = window.mask();
    EXPECT_EQ(mask, before.ToQRegion());
    EXPECT_TRUE(mask.contains(QPoint(1, 1)));
    EXPECT_FALSE(mask.contains(QPoint(2, 2)));
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
}

TEST(WindowOutline, FramedWindowsOutlineStillLinesUpWithItsClientArea)
{
    QWidget window;
    window.resize(6, 5);
    Region region;
    std::int32_t key = kBottomLeftKey;
    region.ScanPicture(RingPicture(), key);
    const QRegion picture = region.Outline().ToQRegion();
    region.OffsetHeader(window);
    region.ApplyRgn(&window);
    EXPECT_EQ(window.mask(), picture);
}

TEST(WindowOutline, EmptyOutlineHidesTheWholeWindow)
{
    // An empty QRegion as a mask would mean "no mask", the whole window.
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(6, 5);
    QImage blank(6, 5, QImage::Format_RGB32);
    blank.fill(qRgb(7, 7, 7));
    Region region;
    std::int32_t key = kBottomLeftKey;
    region.ScanPicture(blank, key);
    ASSERT_TRUE(region.Outline().IsEmpty());
    region.ApplyRgn(&window);
    EXPECT_FALSE(window.mask().isEmpty());
    EXPECT_TRUE(window.mask().intersected(window.rect()).isEmpty());

    region.ApplyRgn(nullptr);
}

}  // namespace
}  // namespace corvan
