// Image lists and bitmap strips: a strip is cut into 16-pixel cells and pure red comes out
// transparent, while every other colour (near-red included) stays as drawn.
#include "qt/KxImageList.h"
#include "qt/KxModalDriver.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(ImageList, AStripIsCutIntoCellsWithPureRedTransparent) {
    QImage strip(48, 16, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 0));
    strip.setPixel(16 + 3, 4, qRgb(0, 0, 255));   // cell 1
    strip.setPixel(32 + 5, 5, qRgb(254, 0, 0));   // cell 2: near red is a colour
    strip.setPixel(32 + 6, 6, qRgb(255, 0, 1));
    kx::ImageList list(16, 16);
    EXPECT_EQ(list.AddStrip(strip), 3);
    ASSERT_EQ(list.GetImageCount(), 3);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 0);
    EXPECT_EQ(list.Image(1).pixel(3, 4), qRgba(0, 0, 255, 255));
    EXPECT_EQ(list.Image(2).pixel(5, 5), qRgba(254, 0, 0, 255));
    EXPECT_EQ(list.Image(2).pixel(6, 6), qRgba(255, 0, 1, 255));
    EXPECT_TRUE(list.Image(3).isNull());

    // Add scales to the list's size; RemoveAll empties; Create starts again at a new size.
    EXPECT_EQ(list.Add(QImage(32, 32, QImage::Format_ARGB32)), 3);
    EXPECT_EQ(list.Image(3).size(), QSize(16, 16));
    list.RemoveAll();
    EXPECT_EQ(list.GetImageCount(), 0);
    list.Create(32, 32);
    EXPECT_EQ(list.ImageSize(), QSize(32, 32));
    EXPECT_FALSE(list.LoadStrip("/nonexistent/strip.png"));
    EXPECT_EQ(list.GetImageCount(), 0);
}
