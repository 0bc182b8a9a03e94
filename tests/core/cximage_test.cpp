#include "image/CxFile.h"
#include "image/CxImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// A 16 x 12 picture of 4 x 4 black and white squares (survives 1-bit, grey and palette formats),
// white in the top-left square.
std::vector<uint8_t> Checker(uint32_t w = 16, uint32_t h = 12) {
    std::vector<uint8_t> px(w * h * 3);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t v = ((x / 4 + y / 4) % 2 == 0) ? 255 : 0;
            for (int c = 0; c < 3; ++c) px[(y * w + x) * 3 + c] = v;
        }
    return px;
}

CxImage CheckerImage() {
    CxImage img;
    auto px = Checker();
    EXPECT_TRUE(img.CreateFromArray(px.data(), 16, 12, 24, 16 * 3)) << img.GetLastError();
    return img;
}

// Top-down y, as drawing code counts.
CxPixel At(const CxImage& img, long x, long y) {
    return img.GetPixelColor(x, static_cast<long>(img.GetHeight()) - 1 - y);
}

struct FormatCase {
    uint32_t type;
    const char* name;
    int tolerance; // largest difference allowed at the centre of a square
};

const FormatCase kFormats[] = {
    {CXIMAGE_FORMAT_BMP, "BMP", 0},   {CXIMAGE_FORMAT_GIF, "GIF", 0},   {CXIMAGE_FORMAT_JPG, "JPG", 40},
    {CXIMAGE_FORMAT_PNG, "PNG", 0},   {CXIMAGE_FORMAT_ICO, "ICO", 0},   {CXIMAGE_FORMAT_TIF, "TIF", 0},
    {CXIMAGE_FORMAT_TGA, "TGA", 0},   {CXIMAGE_FORMAT_PCX, "PCX", 0},   {CXIMAGE_FORMAT_WBMP, "WBMP", 0},
    {CXIMAGE_FORMAT_WMF, "WMF", 0},   {CXIMAGE_FORMAT_J2K, "J2K", 0},   {CXIMAGE_FORMAT_JP2, "JP2", 0},
    {CXIMAGE_FORMAT_JPC, "JPC", 0},   {CXIMAGE_FORMAT_PGX, "PGX", 0},   {CXIMAGE_FORMAT_PNM, "PNM", 0},
    {CXIMAGE_FORMAT_RAS, "RAS", 0},
};

} // namespace

TEST(CxImage, EveryReadableFormatRoundTrips) {
    CxImage src = CheckerImage();
    ASSERT_TRUE(src.IsValid());
    int roundTrips = 0;
    for (const auto& f : kFormats) {
        SCOPED_TRACE(f.name);
        std::vector<uint8_t> bytes;
        if (!CxImage::IsWritable(f.type)) {
            EXPECT_FALSE(src.Encode(bytes, f.type));
            EXPECT_STRNE(src.GetLastError(), "");
            continue;
        }
        ASSERT_TRUE(src.Encode(bytes, f.type)) << src.GetLastError();
        ASSERT_FALSE(bytes.empty());
        CxImage back;
        bool ok = back.Decode(bytes.data(), bytes.size(), f.type);
        if (!CxImage::IsReadable(f.type)) {
            EXPECT_FALSE(ok);
            EXPECT_STRNE(back.GetLastError(), "");
            continue;
        }
        ASSERT_TRUE(ok) << back.GetLastError();
        ++roundTrips;
        EXPECT_EQ(back.GetType(), f.type);
        EXPECT_EQ(back.GetWidth(), 16u);
        EXPECT_EQ(back.GetHeight(), 12u);
        for (auto [x, y, v] : {std::tuple{1, 1, 255}, {5, 1, 0}, {5, 5, 255}, {13, 9, 0}, {14, 10, 0}}) {
            CxPixel p = At(back, x, y);
            EXPECT_NEAR(p.r, v, f.tolerance) << x << "," << y;
            EXPECT_NEAR(p.g, v, f.tolerance) << x << "," << y;
            EXPECT_NEAR(p.b, v, f.tolerance) << x << "," << y;
        }
        // Header-only read agrees with the decode.
        CxImageInfo info;
        ASSERT_TRUE(CxImage::ReadInfo(bytes.data(), bytes.size(), info, f.type));
        EXPECT_EQ(info.width, 16u);
        EXPECT_EQ(info.height, 12u);
        EXPECT_EQ(info.type, f.type);
    }
    EXPECT_GE(roundTrips, 6); // at least the formats libvips reads itself
}

TEST(CxImage, DamagedInputFailsWithAReason) {
    CxImage src = CheckerImage();
    const uint8_t garbage[] = {0x13, 0x37, 0x00, 0xFF, 0x42, 0x42, 0x42, 0x42, 0x01, 0x02};
    CxImage img;
    EXPECT_FALSE(img.Decode(static_cast<const uint8_t*>(nullptr), 10));
    EXPECT_FALSE(img.Decode(garbage, 0));
    EXPECT_FALSE(img.Decode(garbage, sizeof garbage));
    EXPECT_STRNE(img.GetLastError(), "");
    EXPECT_FALSE(img.IsValid());

    // A picture survives a failed decode into it.
    CxImage kept = CheckerImage();
    EXPECT_FALSE(kept.Decode(garbage, sizeof garbage));
    EXPECT_TRUE(kept.IsValid());

    for (const auto& f : kFormats) {
        SCOPED_TRACE(f.name);
        std::vector<uint8_t> bytes;
        if (!CxImage::IsWritable(f.type) || !src.Encode(bytes, f.type)) continue;
        // A signature with nothing behind it, then the first half of the file, then a file
        // whose every second half byte is flipped: never a crash, and a failure carries a reason.
        for (size_t cut : {std::min<size_t>(bytes.size(), 4), bytes.size() / 2}) {
            CxImage t;
            bool ok = t.Decode(bytes.data(), cut, f.type);
            if (!ok) EXPECT_STRNE(t.GetLastError(), "");
            else EXPECT_TRUE(t.IsValid());
        }
        std::vector<uint8_t> flipped = bytes;
        for (size_t i = flipped.size() / 2; i < flipped.size(); i += 2) flipped[i] ^= 0xA5;
        CxImage t;
        if (!t.Decode(flipped.data(), flipped.size(), f.type)) {
            EXPECT_STRNE(t.GetLastError(), "");
        }
    }
    // A header claiming 400 megapixels is refused before anything is allocated for it.
    const std::string bomb = "P6\n20000 20000\n255\n" + std::string(64, '\x7f');
    CxImage b;
    EXPECT_FALSE(b.Decode(reinterpret_cast<const uint8_t*>(bomb.data()), bomb.size()));
    EXPECT_NE(std::string(b.GetLastError()).find("too large"), std::string::npos) << b.GetLastError();
    CxImageInfo info;
    EXPECT_TRUE(CxImage::ReadInfo(reinterpret_cast<const uint8_t*>(bomb.data()), bomb.size(), info));
    EXPECT_EQ(info.width, 20000u);
    EXPECT_EQ(info.type, static_cast<uint32_t>(CXIMAGE_FORMAT_PNM));

    // The formats with strict decoders refuse a cut file outright.
    for (uint32_t type : {CXIMAGE_FORMAT_JPG, CXIMAGE_FORMAT_PNG, CXIMAGE_FORMAT_GIF, CXIMAGE_FORMAT_TIF}) {
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(src.Encode(bytes, type));
        CxImage t;
        EXPECT_FALSE(t.Decode(bytes.data(), bytes.size() / 2, type)) << type;
    }
}

TEST(CxImage, ResampleCropAndPixelsExchange) {
    CxImage img = CheckerImage();
    CxImage half;
    ASSERT_TRUE(img.Resample(8, 6, CxImage::RS_NEAREST, &half)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 16u); // the source is kept when a destination is given
    EXPECT_EQ(half.GetWidth(), 8u);
    EXPECT_EQ(half.GetHeight(), 6u);
    EXPECT_EQ(At(half, 0, 0).r, 255);
    EXPECT_EQ(At(half, 2, 0).r, 0);

    for (auto [w, h] : {std::pair{1L, 1L}, {3L, 7L}, {129L, 64L}}) {
        CxImage r = img;
        ASSERT_TRUE(r.Resample(w, h, CxImage::RS_LINEAR)) << r.GetLastError();
        EXPECT_EQ(r.GetWidth(), static_cast<uint32_t>(w));
        EXPECT_EQ(r.GetHeight(), static_cast<uint32_t>(h));
    }
    EXPECT_FALSE(img.Resample(0, 5));
    EXPECT_FALSE(img.Resample(5, -1));

    CxImage part;
    ASSERT_TRUE(img.Crop(4, 0, 100, 4, &part)); // clipped to the picture
    EXPECT_EQ(part.GetWidth(), 12u);
    EXPECT_EQ(part.GetHeight(), 4u);
    EXPECT_EQ(At(part, 0, 0).r, 0);
    EXPECT_EQ(At(part, 4, 0).r, 255);
    EXPECT_FALSE(img.Crop(5, 5, 5, 9));

    // Rows with padding, bottom-up, with alpha.
    const uint8_t rows[2][12] = {{1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0}, {9, 10, 11, 12, 13, 14, 15, 16, 0, 0, 0, 0}};
    CxImage a;
    ASSERT_TRUE(a.CreateFromArray(&rows[0][0], 2, 2, 32, 12, true));
    EXPECT_TRUE(a.AlphaIsValid());
    std::vector<uint8_t> out;
    ASSERT_TRUE(a.CopyToArray(out, true));
    EXPECT_EQ(out, (std::vector<uint8_t>{9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}));
    ASSERT_TRUE(a.CopyToArray(out, false));
    EXPECT_EQ(out, (std::vector<uint8_t>{9, 10, 11, 13, 14, 15, 1, 2, 3, 5, 6, 7}));
    CxPixel p = a.GetPixelColor(1, 0); // bottom row counts as y = 0
    EXPECT_EQ(p.r, 5);
    EXPECT_EQ(p.a, 8);
    EXPECT_EQ(a.GetPixelColor(2, 0).a, 0);
    EXPECT_FALSE(a.CreateFromArray(&rows[0][0], 4, 2, 32, 12)); // rows shorter than the width
    EXPECT_FALSE(a.CreateFromArray(&rows[0][0], 2, 2, 16, 12));
}

TEST(CxImage, ThumbnailDecodesStraightToTheSize) {
    CxImage big;
    std::vector<uint8_t> px = Checker(400, 200);
    ASSERT_TRUE(big.CreateFromArray(px.data(), 400, 200, 24, 1200));
    for (uint32_t type : {CXIMAGE_FORMAT_JPG, CXIMAGE_FORMAT_PNG, CXIMAGE_FORMAT_BMP}) {
        std::vector<uint8_t> bytes;
        if (!CxImage::IsWritable(type) || !CxImage::IsReadable(type)) continue;
        ASSERT_TRUE(big.Encode(bytes, type));
        CxImage t;
        ASSERT_TRUE(t.DecodeThumbnail(bytes.data(), bytes.size(), 129, 64)) << t.GetLastError();
        EXPECT_EQ(t.GetWidth(), 129u);
        EXPECT_EQ(t.GetHeight(), 64u);
        EXPECT_EQ(t.GetType(), type);
    }
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(big.Encode(bytes, CXIMAGE_FORMAT_JPG));
    CxImage t;
    EXPECT_FALSE(t.DecodeThumbnail(bytes.data(), bytes.size() / 2, 129, 64));
    EXPECT_STRNE(t.GetLastError(), "");
    EXPECT_FALSE(t.DecodeThumbnail(bytes.data(), bytes.size(), 0, 64));
}

TEST(CxImage, FilesAndStreams) {
    TempDir dir;
    CxImage img = CheckerImage();
    ASSERT_TRUE(img.Save(dir.file("a.png"), CXIMAGE_FORMAT_PNG));
    CxImage back;
    ASSERT_TRUE(back.Load(dir.file("a.png")));
    EXPECT_EQ(back.GetType(), static_cast<uint32_t>(CXIMAGE_FORMAT_PNG));
    CxImageInfo info;
    ASSERT_TRUE(CxImage::ReadFileInfo(dir.file("a.png"), info));
    EXPECT_EQ(info.width, 16u);
    EXPECT_FALSE(back.Load(dir.file("missing.png")));
    EXPECT_STRNE(back.GetLastError(), "");
    EXPECT_FALSE(img.Save(dir.file("no/such/dir/a.png"), CXIMAGE_FORMAT_PNG));

    // A TGA file is known by its suffix alone.
    if (CxImage::IsWritable(CXIMAGE_FORMAT_TGA) && CxImage::IsReadable(CXIMAGE_FORMAT_TGA)) {
        ASSERT_TRUE(img.Save(dir.file("b.TGA"), CXIMAGE_FORMAT_TGA));
        CxImage t;
        ASSERT_TRUE(t.Load(dir.file("b.TGA"))) << t.GetLastError();
        EXPECT_EQ(t.GetType(), static_cast<uint32_t>(CXIMAGE_FORMAT_TGA));
    }

    // Through a growable memory file and back through a caller's block.
    CxMemFile mem;
    ASSERT_TRUE(mem.Open());
    ASSERT_TRUE(img.Encode(&mem, CXIMAGE_FORMAT_JPG));
    int64_t n = mem.Size();
    ASSERT_GT(n, 0);
    uint8_t* block = mem.GetBuffer(true);
    EXPECT_EQ(mem.Size(), 0);
    {
        CxMemFile view(block, static_cast<size_t>(n));
        EXPECT_EQ(view.GetBuffer(true), nullptr); // a caller's block is never handed over
        CxImage j;
        ASSERT_TRUE(j.Decode(&view));
        EXPECT_EQ(j.GetType(), static_cast<uint32_t>(CXIMAGE_FORMAT_JPG));
        uint8_t more = 0;
        EXPECT_EQ(view.Write(&more, 1, 1), 0u); // at the end of a fixed block nothing grows
    }
    CxImage::FreeMemory(block);

    CxIOFile f;
    ASSERT_TRUE(f.Open(dir.file("c.gif"), "wb"));
    ASSERT_TRUE(img.Encode(&f, CXIMAGE_FORMAT_GIF));
    f.Close();
    ASSERT_TRUE(f.Open(dir.file("c.gif"), "rb"));
    CxImage g;
    ASSERT_TRUE(g.Decode(&f));
    EXPECT_EQ(g.GetType(), static_cast<uint32_t>(CXIMAGE_FORMAT_GIF));
}

TEST(CxImage, DecodesFromManyThreadsAtOnce) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(CheckerImage().Encode(bytes, CXIMAGE_FORMAT_PNG));
    std::vector<std::thread> threads;
    std::vector<int> ok(8, 0);
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] {
            for (int k = 0; k < 10; ++k) {
                CxImage img;
                ok[i] += img.Decode(bytes.data(), bytes.size()) && img.GetWidth() == 16;
            }
        });
    for (auto& t : threads) t.join();
    for (int v : ok) EXPECT_EQ(v, 10);
}
