#include "model/CkxBuf.h"
#include "image/CkxImageTool.h"
#include "model/CkxMemFile.h"
#include "image/CxImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <vector>

namespace {

CxImage Solid(uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < px.size(); i += 3) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
    }
    CxImage img;
    EXPECT_TRUE(img.CreateFromArray(px.data(), w, h, 24, w * 3));
    return img;
}

QRgb Rgb(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
// The frame colours, from their 0x00BBGGRR values.
const QRgb kTopLeft = qRgb(0x90, 0x54, 0x0C) & 0xFFFFFF;
const QRgb kBottomRight = qRgb(0x0A, 0x0A, 0x0A) & 0xFFFFFF;
const QRgb kWhite = 0xFFFFFF;
const QRgb kRed = 0xFF0000;

} // namespace

TEST(CkxImageTool, FormatTable) {
    CkxImageTool tool;
    struct Row {
        int own, codec;
        const char* name;
        const char* ext;
    };
    const Row rows[] = {
        {0, 0, "<全部>", ""},          {2, 3, "JPEG 格式", "jpg"},     {3, 11, "JPEG2000 格式", "j2k"},
        {1, 1, "BMP 位图格式", "bmp"}, {4, 12, "JP2", "jp2"},          {20, 13, "JPC", "j2c"},
        {5, 2, "GIF 格式", "gif"},     {6, 4, "PNG 格式", "png"},      {7, 5, "ICO 图标格式", "ico"},
        {8, 6, "TIFF 格式", "tif"},    {9, 7, "TGA 格式", "tga"},      {16, 8, "PCX 格式", "pcx"},
        {17, 9, "WBMP 扩展位图格式", "wbp"}, {18, 10, "WMF 格式", "wmf"}, {21, 14, "PGX 格式", "pgx"},
        {22, 15, "PNM 格式", "pnm"},   {23, 16, "RAS 格式", "ras"},
    };
    const auto& table = tool.GetImageFormats();
    ASSERT_EQ(table.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].name);
        const auto& r = rows[i];
        EXPECT_EQ(table[i].kxID, r.own);
        EXPECT_EQ(table[i].xImageID, r.codec);
        EXPECT_EQ(table[i].name, r.name);
        EXPECT_EQ(table[i].exName, r.ext);
        EXPECT_EQ(table[i].sufix, i == 0 ? std::string() : std::string(".") + r.ext);
        if (i == 0) continue;
        EXPECT_EQ(tool.Get_xImageID_kxID(r.own), r.codec);
        EXPECT_EQ(tool.Get_kxID_xImageID(r.codec), r.own);
        EXPECT_EQ(tool.Get_ExName_kxID(r.own), r.ext);
        EXPECT_EQ(tool.Get_ExName_xImageID(r.codec), r.ext);
        EXPECT_EQ(tool.Get_Name_kxID(r.own), r.name);
        EXPECT_EQ(tool.Get_Name_xImageID(r.codec), r.name);
        EXPECT_EQ(tool.Get_kxID(r.ext), r.own);
        EXPECT_EQ(tool.Get_xImageID(r.ext), r.codec);
    }
    EXPECT_EQ(tool.Get_kxID("JPG"), 2);
    EXPECT_EQ(tool.Get_xImageID("jpg"), 3);
    EXPECT_EQ(tool.Get_kxID("xyz"), 0);
    EXPECT_EQ(tool.Get_xImageID("jpeg"), 0);
    EXPECT_EQ(tool.Get_Name_Sufix("JPG"), "");
    EXPECT_EQ(tool.Get_Name_Sufix("jpg"), "JPEG 格式");
    EXPECT_EQ(tool.Get_ExName_kxID(99), "");
    EXPECT_EQ(tool.Get_Name_xImageID(99), "");
    EXPECT_EQ(tool.Get_kxID_xImageID(99), 0);
}

TEST(CkxImageTool, MicroImagePlacementAndFrame) {
    CxImage wide = Solid(400, 200, 255, 0, 0);
    QImage micro;
    ASSERT_EQ(CkxImageTool::BuildMicroImage(wide, 130, micro, 0), 1);
    ASSERT_EQ(micro.size(), QSize(130, 130));
    // 129 x 64 at (0, 33).
    EXPECT_EQ(Rgb(micro, 0, 33), kRed);
    EXPECT_EQ(Rgb(micro, 128, 96), kRed);
    EXPECT_EQ(Rgb(micro, 0, 32), kWhite);
    EXPECT_EQ(Rgb(micro, 0, 97), kWhite);
    EXPECT_EQ(Rgb(micro, 129, 60), kWhite);

    // A tall picture: 43 x 129 at (44, 0).
    CxImage tall = Solid(100, 300, 255, 0, 0);
    ASSERT_EQ(CkxImageTool::BuildMicroImage(tall, 130, micro, 0), 1);
    EXPECT_EQ(Rgb(micro, 44, 0), kRed);
    EXPECT_EQ(Rgb(micro, 86, 128), kRed);
    EXPECT_EQ(Rgb(micro, 43, 10), kWhite);
    EXPECT_EQ(Rgb(micro, 87, 10), kWhite);
    EXPECT_EQ(Rgb(micro, 60, 129), kWhite);

    // The frame (0, 0)-(130, 129): top and left edges in one colour, right and bottom in the
    // other; the last row stays as it was.
    CxImage framed;
    ASSERT_EQ(CkxImageTool::BuildMicroImage(wide, 130, framed, 1), 1);
    ASSERT_TRUE(CkxImageTool::ToBitmap(framed, micro));
    struct Px {
        int x, y;
        QRgb c;
    } checks[] = {{0, 0, kTopLeft},        {128, 0, kTopLeft},       {129, 0, kBottomRight},
                  {0, 127, kTopLeft},      {0, 128, kBottomRight},   {129, 128, kBottomRight},
                  {60, 128, kBottomRight}, {129, 129, kWhite},       {0, 129, kWhite},
                  {1, 1, kWhite},          {1, 40, kRed},            {128, 40, kRed},         {129, 40, kBottomRight}};
    for (const auto& c : checks) EXPECT_EQ(Rgb(micro, c.x, c.y), c.c) << c.x << "," << c.y;
}

// The picture forms need no drawing surface and give the bitmap forms' pixels; a picture
// with alpha lies on the white ground.
TEST(CkxImageTool, PictureFormsMatchTheBitmapForms) {
    std::vector<uint8_t> px(40 * 20 * 4);
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = 255;
        px[i + 3] = (i / 4) % 40 < 20 ? 255 : 0; // left half opaque red, right half clear
    }
    CxImage half;
    ASSERT_TRUE(half.CreateFromArray(px.data(), 40, 20, 32, 40 * 4));
    CxImage micro;
    ASSERT_EQ(CkxImageTool::BuildMicroImage(half, 41, micro, 1), 1);
    EXPECT_FALSE(micro.AlphaIsValid());
    QImage bitmap, fromMicro;
    ASSERT_EQ(CkxImageTool::BuildMicroImage(half, 41, bitmap, 1), 1);
    ASSERT_EQ(CkxImageTool::ToBitmap(micro, fromMicro), 1);
    EXPECT_EQ(bitmap.convertToFormat(QImage::Format_RGB888), fromMicro.convertToFormat(QImage::Format_RGB888));
    // 40 x 20 at (0, 10): red where opaque, white where clear.
    EXPECT_EQ(Rgb(bitmap, 5, 15), kRed);
    EXPECT_EQ(Rgb(bitmap, 30, 15), kWhite);
    EXPECT_EQ(Rgb(bitmap, 5, 9), kWhite);

    CxImage scaled;
    QImage scaledBitmap, fromScaled;
    ASSERT_EQ(CkxImageTool::ScaleImage(half, 8, 6, scaled), 1);
    ASSERT_EQ(CkxImageTool::ScaleImage(half, 8, 6, scaledBitmap), 1);
    ASSERT_EQ(CkxImageTool::ToBitmap(scaled, fromScaled), 1);
    EXPECT_EQ(scaledBitmap.convertToFormat(QImage::Format_RGB888), fromScaled.convertToFormat(QImage::Format_RGB888));
    EXPECT_GT(qGreen(fromScaled.pixel(6, 3)), 240); // clear: the white ground shows
    EXPECT_LT(qGreen(fromScaled.pixel(1, 3)), 15);  // opaque red

    // A side beyond any sensible thumbnail is refused, not allocated.
    EXPECT_EQ(CkxImageTool::BuildMicroImage(half, 100000, micro, 0), 0);
}

TEST(CkxImageTool, MicroImageSizesNeverCollapse) {
    for (auto [w, h, S] : {std::tuple{1u, 1u, 130u}, {1u, 1000u, 130u}, {1000u, 1u, 130u}, {5u, 3u, 1u}, {5u, 3u, 2u}}) {
        auto at = CkxImageTool::MicroGeometry(w, h, S);
        EXPECT_GE(at.w, 1);
        EXPECT_GE(at.h, 1);
        EXPECT_GE(at.x, 0);
        EXPECT_GE(at.y, 0);
        EXPECT_LE(at.x + at.w, static_cast<int>(S));
        EXPECT_LE(at.y + at.h, static_cast<int>(S));
        CxImage img = Solid(w, h, 0, 0, 255);
        QImage micro;
        ASSERT_EQ(CkxImageTool::BuildMicroImage(img, S, micro, 1), 1);
        EXPECT_EQ(micro.size(), QSize(static_cast<int>(S), static_cast<int>(S)));
    }
    CxImage none, img = Solid(4, 4, 1, 2, 3);
    QImage micro;
    EXPECT_EQ(CkxImageTool::BuildMicroImage(none, 130, micro, 0), 0);
    EXPECT_EQ(CkxImageTool::BuildMicroImage(img, 0, micro, 0), 0);
}

TEST(CkxImageTool, MicroImageFromBytesAndFiles) {
    CxImage wide = Solid(400, 200, 255, 0, 0);
    CkxBuf jpeg;
    ASSERT_EQ(CkxImageTool::MICRO_Encode(wide, jpeg), 1);
    CxImage micro;
    ASSERT_EQ(CkxImageTool::BuildMicroImage(jpeg.GetBuf(), jpeg.GetLen(), 130, micro, 0), 1);
    ASSERT_EQ(micro.GetWidth(), 130u);
    QImage q;
    ASSERT_TRUE(CkxImageTool::ToBitmap(micro, q));
    EXPECT_GT(qRed(q.pixel(0, 33)), 200);
    EXPECT_LT(qGreen(q.pixel(0, 33)), 60);
    EXPECT_EQ(Rgb(q, 0, 31), kWhite);
    EXPECT_EQ(Rgb(q, 0, 98), kWhite);

    EXPECT_EQ(CkxImageTool::BuildMicroImage(nullptr, 10, 130, micro, 0), 0);
    EXPECT_EQ(CkxImageTool::BuildMicroImage(jpeg.GetBuf(), 0, 130, micro, 0), 0);
    EXPECT_EQ(CkxImageTool::BuildMicroImage(jpeg.GetBuf(), jpeg.GetLen() / 2, 130, micro, 0), 0);

    TempDir dir;
    CkxMemFile file;
    file.MapMem(jpeg.GetBuf(), jpeg.GetLen());
    ASSERT_TRUE(file.WriteFile(dir.file("a.jpg")));
    CxImage fromFile;
    ASSERT_EQ(CkxImageTool::BuildMicroImage_File(dir.file("a.jpg"), 100, fromFile, 1), 1);
    EXPECT_EQ(fromFile.GetWidth(), 100u);
    EXPECT_EQ(CkxImageTool::BuildMicroImage_File(dir.file("none.jpg"), 100, fromFile, 1), 0);
    // A TGA file carries no signature: its suffix names the format.
    if (CxImage::IsReadable(CXIMAGE_FORMAT_TGA) && CxImage::IsWritable(CXIMAGE_FORMAT_TGA)) {
        ASSERT_TRUE(wide.Save(dir.file("b.tga"), CXIMAGE_FORMAT_TGA));
        ASSERT_EQ(CkxImageTool::BuildMicroImage_File(dir.file("b.tga"), 130, fromFile, 0), 1);
        EXPECT_EQ(fromFile.GetPixelColor(0, 129 - 33).r, 255);
    }
}

TEST(CkxImageTool, ScaleAndFrame) {
    CxImage img = Solid(16, 12, 0, 255, 0);
    QImage scaled;
    ASSERT_EQ(CkxImageTool::ScaleImage(img, 20, 10, scaled), 1);
    ASSERT_EQ(scaled.size(), QSize(20, 10));
    const QRgb frame = qRgb(0x00, 0x40, 0x80) & 0xFFFFFF;
    for (auto [x, y] : {std::pair{0, 0}, {19, 0}, {0, 9}, {19, 9}, {10, 0}, {10, 9}, {0, 5}, {19, 5}})
        EXPECT_EQ(Rgb(scaled, x, y), frame) << x << "," << y;
    EXPECT_EQ(Rgb(scaled, 1, 1), 0x00FF00u);
    EXPECT_EQ(Rgb(scaled, 18, 8), 0x00FF00u);
    EXPECT_EQ(CkxImageTool::ScaleImage(img, 0, 10, scaled), 0);
    CxImage out;
    ASSERT_EQ(CkxImageTool::ScaleImage(img, 7, 3, out), 1);
    EXPECT_EQ(out.GetWidth(), 7u);

    CxImage blue = Solid(30, 10, 0, 0, 255);
    ASSERT_EQ(CkxImageTool::DrawFrame(blue, 0), 1);
    ASSERT_EQ(blue.GetWidth(), 30u);
    ASSERT_EQ(blue.GetHeight(), 30u);
    QImage f;
    ASSERT_TRUE(CkxImageTool::ToBitmap(blue, f));
    struct Px {
        int x, y;
        QRgb c;
    } checks[] = {{0, 0, kTopLeft},      {27, 0, kTopLeft}, {28, 0, kBottomRight}, {0, 27, kTopLeft},
                  {0, 28, kBottomRight}, {28, 28, kBottomRight}, {29, 5, 0x0000FF},   {5, 5, 0x0000FF},
                  {5, 20, kWhite},       {29, 29, kWhite}};
    for (const auto& c : checks) EXPECT_EQ(Rgb(f, c.x, c.y), c.c) << c.x << "," << c.y;
    CxImage none;
    EXPECT_EQ(CkxImageTool::DrawFrame(none, 0), 0);
}

TEST(CkxImageTool, EncodeDecodeBlocksAndLists) {
    CxImage img = Solid(8, 6, 10, 20, 30);
    CkxBuf buf;
    CxImage back;
    EXPECT_EQ(CkxImageTool::MICRO_Decode(buf, back), 0); // empty buffer
    ASSERT_EQ(CkxImageTool::MICRO_Encode(img, buf), 1);
    EXPECT_EQ(static_cast<uint8_t>(buf.GetBuf()[0]), 0xFF); // a JPEG
    ASSERT_EQ(CkxImageTool::MICRO_Decode(buf, back), 1);
    EXPECT_EQ(back.GetWidth(), 8u);

    CxImage none;
    EXPECT_EQ(CkxImageTool::MICRO_Encode(none, buf), 0);
    EXPECT_FALSE(buf.IsValid()); // the old block was freed first
    buf.Fill("not a picture");
    EXPECT_EQ(CkxImageTool::MICRO_Decode(buf, back), 0);

    CkxMemFile mem;
    ASSERT_EQ(CkxImageTool::XIMAGE_Encode(img, mem, CXIMAGE_FORMAT_PNG), 1);
    EXPECT_EQ(mem.GetMode(), CkxMemFile::Owned);
    CxImage png;
    ASSERT_EQ(CkxImageTool::XIMAGE_Decode(mem, png, CXIMAGE_FORMAT_PNG), 1);
    EXPECT_EQ(png.GetType(), static_cast<uint32_t>(CXIMAGE_FORMAT_PNG));
    EXPECT_EQ(png.GetPixelColor(0, 0).g, 20);
    CkxMemFile empty;
    EXPECT_EQ(CkxImageTool::XIMAGE_Decode(empty, png, CXIMAGE_FORMAT_PNG), 0);
    EXPECT_EQ(CkxImageTool::XIMAGE_Encode(img, buf, CXIMAGE_FORMAT_WMF), 0);

    KxPtrList<CxImage> in;
    CxImage a = Solid(20, 10, 1, 1, 1), b = Solid(5, 50, 2, 2, 2);
    in.AddTail(&a);
    in.AddTail(&none); // no picture: skipped
    in.AddTail(&b);
    KxPtrList<QImage> bitmaps;
    bitmaps.AddTail(new QImage(3, 3, QImage::Format_RGB32)); // emptied (and freed) first
    EXPECT_EQ(CkxImageTool::BuildMicroImage_BmpList(in, 32, bitmaps), 2);
    EXPECT_EQ(bitmaps.GetHead()->size(), QSize(32, 32));
    EXPECT_EQ(Rgb(*bitmaps.GetHead(), 0, 16), 0x010101u); // unframed
    EXPECT_EQ(Rgb(*bitmaps.GetHead(), 0, 0), kWhite);
    KxPtrList<CxImage> images;
    EXPECT_EQ(CkxImageTool::ScaleImage_ImgList(in, 9, 4, images), 2);
    EXPECT_EQ(images.GetTail()->GetWidth(), 9u);
    EXPECT_EQ(CkxImageTool::BuildMicroImage_ImgList(in, 16, images), 2);
    EXPECT_EQ(CkxImageTool::ScaleImage_BmpList(in, 4, 4, bitmaps), 2);
    while (QImage* q = bitmaps.RemoveHead()) delete q;
    while (CxImage* i = images.RemoveHead()) delete i;
}

TEST(CkxImageTool, BitmapExchangeKeepsAlpha) {
    QImage q(3, 2, QImage::Format_ARGB32);
    q.fill(QColor(10, 20, 30, 128));
    CxImage img;
    ASSERT_EQ(CkxImageTool::ToImage(q, img), 1);
    EXPECT_TRUE(img.AlphaIsValid());
    CxPixel p = img.GetPixelColor(2, 1);
    EXPECT_EQ(p.r, 10);
    EXPECT_EQ(p.a, 128);
    QImage back = CkxImageTool::BuildBitmap(img);
    EXPECT_EQ(back.pixelColor(1, 1), QColor(10, 20, 30, 128));
    CxImage none;
    EXPECT_TRUE(CkxImageTool::BuildBitmap(none).isNull());
    EXPECT_EQ(CkxImageTool::ToImage(QImage(), img), 0);
}
