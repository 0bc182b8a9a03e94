#include "colour/ColorThumbnail.h"
#include "image/CxImage.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QGuiApplication>

#include <vector>

namespace {

CxImage Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> px;
    for (int i = 0; i < w * h; ++i) px.insert(px.end(), {r, g, b});
    CxImage img;
    EXPECT_TRUE(img.CreateFromArray(px.data(), uint32_t(w), uint32_t(h), 24, uint32_t(w) * 3));
    return img;
}

const QRgb kFrame = qRgb(0, 64, 128);
const QRgb kWhite = qRgb(255, 255, 255);

QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xFF000000u; }

// Every pixel on the outer edge of an a x a picture.
void ExpectFrame(const QImage& img, int a)
{
    for (int i = 0; i < a; ++i) {
        EXPECT_EQ(At(img, i, 0), kFrame) << i;
        EXPECT_EQ(At(img, i, a - 1), kFrame) << i;
        EXPECT_EQ(At(img, 0, i), kFrame) << i;
        EXPECT_EQ(At(img, a - 1, i), kFrame) << i;
    }
}

class ColourThumbnail : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "colourthumbnail_test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) app = new QGuiApplication(argc, argv);
    }
    static QGuiApplication* app;
};
QGuiApplication* ColourThumbnail::app = nullptr;

TEST_F(ColourThumbnail, SquareImageFillsTheInnerSquare)
{
    const CxImage green = Solid(40, 40, 0, 200, 0);
    QImage thumb;
    ASSERT_EQ(MakeFramedThumbnailBitmap(&green, 50, thumb), 1);
    ASSERT_EQ(thumb.size(), QSize(50, 50));
    ExpectFrame(thumb, 50);
    for (int y = 1; y <= 48; ++y)
        for (int x = 1; x <= 48; ++x) ASSERT_EQ(At(thumb, x, y), qRgb(0, 200, 0)) << x << "," << y;
}

TEST_F(ColourThumbnail, WideImageIsCentredVertically)
{
    const CxImage red = Solid(100, 50, 255, 0, 0);
    QImage thumb;
    ASSERT_EQ(MakeFramedThumbnailBitmap(&red, 50, thumb), 1);
    ExpectFrame(thumb, 50);
    // Inner 48: scale 0.48, drawn height 24 from y = 25 - 12 = 13, full inner width.
    for (int x = 1; x <= 48; ++x) {
        EXPECT_EQ(At(thumb, x, 12), kWhite) << x;
        EXPECT_EQ(At(thumb, x, 13), qRgb(255, 0, 0)) << x;
        EXPECT_EQ(At(thumb, x, 36), qRgb(255, 0, 0)) << x;
        EXPECT_EQ(At(thumb, x, 37), kWhite) << x;
    }

    // The same drawing as a CxImage (whose pixel rows count from the bottom).
    CxImage target;
    ASSERT_EQ(MakeFramedThumbnail(&red, 50, target), 1);
    ASSERT_EQ(target.GetWidth(), 50u);
    const CxPixel mid = target.GetPixelColor(25, 49 - 25);
    EXPECT_EQ(mid.r, 255);
    EXPECT_EQ(mid.g, 0);
    const CxPixel edge = target.GetPixelColor(0, 49 - 10);
    EXPECT_EQ(edge.g, 64);
    EXPECT_EQ(edge.b, 128);
    const CxPixel above = target.GetPixelColor(25, 49 - 5);
    EXPECT_EQ(above.r + above.g + above.b, 3 * 255);
}

TEST_F(ColourThumbnail, TooSmallOrEmptyMakesNothing)
{
    const CxImage red = Solid(10, 10, 255, 0, 0);
    const CxImage empty;
    QImage thumb(7, 7, QImage::Format_RGB32);
    CxImage target = Solid(3, 3, 1, 2, 3);
    EXPECT_EQ(MakeFramedThumbnailBitmap(&red, 2, thumb), 0);
    EXPECT_EQ(MakeFramedThumbnailBitmap(&empty, 50, thumb), 0);
    EXPECT_EQ(MakeFramedThumbnailBitmap(nullptr, 50, thumb), 0);
    EXPECT_EQ(thumb.size(), QSize(7, 7));
    EXPECT_EQ(MakeFramedThumbnail(&red, 2, target), 0);
    EXPECT_EQ(MakeFramedThumbnail(&empty, 50, target), 0);
    EXPECT_EQ(target.GetWidth(), 3u);
    EXPECT_TRUE(ImageToBitmap(&empty).isNull());
    EXPECT_TRUE(ImageToBitmap(nullptr).isNull());

    const QImage bitmap = ImageToBitmap(&red);
    EXPECT_EQ(bitmap.size(), QSize(10, 10));
    EXPECT_EQ(At(bitmap, 9, 9), qRgb(255, 0, 0));
}

} // namespace
