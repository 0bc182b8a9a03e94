#include "model/CkxFIPhoto.h"
#include "model/CkxFileImage.h"
#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Writes a w x h gradient picture in the given codec format.
void WritePicture(const std::string& path, uint32_t w, uint32_t h, uint32_t type) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<uint8_t>(x);
            p[1] = static_cast<uint8_t>(y);
            p[2] = 128;
        }
    CxImage img;
    ASSERT_TRUE(img.CreateFromArray(px.data(), w, h, 24, w * 3));
    ASSERT_TRUE(img.Save(path, type)) << img.GetLastError();
}

// Decodes the object's thumbnail.
CxImage Thumbnail(const CkxFile& f) {
    CxImage micro;
    EXPECT_TRUE(f.IsMemMicroValid());
    if (f.IsMemMicroValid()) {
        EXPECT_TRUE(micro.Decode(f.GetMemMicroBuf(), static_cast<size_t>(f.GetMemMicroSize())));
    }
    return micro;
}

// The thumbnail is the image tool's micro image: a white square of side S with the picture
// (blue 128 everywhere) at `at`. Checked across the middle row and column, one pixel in from
// each edge of the picture (the thumbnail is a JPEG).
void ExpectMicro(const CxImage& micro, unsigned S, const CkxImageTool::MicroPlace& at) {
    ASSERT_EQ(micro.GetWidth(), S);
    ASSERT_EQ(micro.GetHeight(), S);
    auto blueAt = [&](int x, int y) { return micro.GetPixelColor(x, static_cast<long>(S) - 1 - y).b; };
    const int midX = at.x + at.w / 2, midY = at.y + at.h / 2;
    for (int y = 0; y < static_cast<int>(S); ++y) {
        if (y == at.y - 1 || y == at.y + at.h) {
            EXPECT_GT(blueAt(midX, y), 200) << "row " << y;
        }
        if (y == at.y + 1 || y == at.y + at.h - 2) {
            EXPECT_LT(blueAt(midX, y), 180) << "row " << y;
        }
    }
    for (int x = 0; x < static_cast<int>(S); ++x) {
        if (x == at.x - 1 || x == at.x + at.w) {
            EXPECT_GT(blueAt(x, midY), 200) << "column " << x;
        }
        if (x == at.x + 1 || x == at.x + at.w - 2) {
            EXPECT_LT(blueAt(x, midY), 180) << "column " << x;
        }
    }
}

} // namespace

TEST(CXI, SuffixFunctions) {
    EXPECT_EQ(CXI_CheckImgType("JPEG"), 3);
    EXPECT_EQ(CXI_CheckImgType("jp2"), 11);
    EXPECT_EQ(CXI_CheckImgType("J2C"), 13);
    EXPECT_EQ(CXI_CheckImgType("ppm"), 15);
    EXPECT_EQ(CXI_CheckImgType("psd"), 0);
    EXPECT_EQ(CXI_CheckImgType(""), 0);
    EXPECT_EQ(CXI_GetFileEx("C:\\a\\b"), "C:\\a\\b");
    EXPECT_EQ(CXI_GetFileEx("/a/b.c.png"), "png");
    EXPECT_EQ(CXI_GetFileEx(""), "");
    EXPECT_EQ(CXI_GetFileName("b.jpg"), "b.jpg");
    EXPECT_EQ(CXI_GetFileName("/x/y/b.jpg"), "b.jpg");
    EXPECT_EQ(CXI_GetFileName("C:\\x\\b.jpg"), "b.jpg");
    CkxFileImage f;
    f.m_strExName = "TIF";
    EXPECT_EQ(f.GetxImageFormat(), 6);
}

TEST(CkxFileImage, LoadsGeneratedPngAndJpeg) {
    TempDir dir;
    struct Case {
        const char* name;
        uint32_t codec;
        const char* title;
        const char* ex;
        int formatID; // the image tool's own id for the suffix
    };
    const Case cases[] = {
        {"holiday.png", CXIMAGE_FORMAT_PNG, "holiday", "png", 6},
        {"portrait.jpg", CXIMAGE_FORMAT_JPG, "portrait", "jpg", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        WritePicture(path, 400, 300, c.codec);
        CkxFileImage f;
        ASSERT_EQ(f.LoadFileInfo(path), 1);
        EXPECT_EQ(f.m_strTitle, c.title);
        EXPECT_EQ(f.m_strExName, c.ex);
        EXPECT_EQ(f.m_nFileType, KXFK_IMAGE);
        EXPECT_EQ(f.m_nEncFormat, c.formatID);
        EXPECT_EQ(f.m_nWidth, 400);
        EXPECT_EQ(f.m_nHeight, 300);
        EXPECT_EQ(f.m_nSize, static_cast<int>(std::filesystem::file_size(path)));
        EXPECT_EQ(f.m_strSourcePath, path);
        EXPECT_FALSE(f.IsMemWholeValid());
        // 129 x 96 at (0, 17) in a 130 x 130 square.
        ExpectMicro(Thumbnail(f), 130, {0, 17, 129, 96});

        CkxFileImage data;
        ASSERT_EQ(data.LoadFileData(path), 1);
        EXPECT_EQ(data.GetMemWholeSize(), data.m_nSize);
    }
}

TEST(CkxFileImage, ThumbnailNeverEnlargesAndKindFollowsTheSuffix) {
    TempDir dir;
    WritePicture(dir.file("small.png"), 100, 60, CXIMAGE_FORMAT_PNG);
    CkxFileImage small;
    ASSERT_EQ(small.LoadFileInfo(dir.file("small.png")), 1);
    // Built at the long side 100, not 130: 99 x 59 at (0, 21) in a 100 x 100 square.
    ExpectMicro(Thumbnail(small), 100, {0, 21, 99, 59});
    WritePicture(dir.file("tall.png"), 60, 300, CXIMAGE_FORMAT_PNG);
    CkxFileImage tall;
    ASSERT_EQ(tall.LoadFileInfo(dir.file("tall.png")), 1);
    ExpectMicro(Thumbnail(tall), 130, {53, 0, 25, 129});
    // A TGA file carries no signature: its suffix names the format.
    if (CxImage::IsReadable(CXIMAGE_FORMAT_TGA) && CxImage::IsWritable(CXIMAGE_FORMAT_TGA)) {
        WritePicture(dir.file("t.tga"), 100, 60, CXIMAGE_FORMAT_TGA);
        CkxFileImage tga;
        ASSERT_EQ(tga.LoadFileInfo(dir.file("t.tga")), 1);
        EXPECT_EQ(tga.m_nWidth, 100);
        EXPECT_EQ(tga.m_nEncFormat, 9);
        ExpectMicro(Thumbnail(tga), 100, {0, 21, 99, 59});
    }

    // A picture the codec recognises by content, behind a suffix outside the image list.
    std::filesystem::copy_file(dir.file("small.png"), dir.file("odd.dat"));
    CkxFileImage odd;
    ASSERT_EQ(odd.LoadFileInfo(dir.file("odd.dat")), 1);
    EXPECT_EQ(odd.m_nFileType, KXFK_FILE);
    EXPECT_EQ(odd.m_strExName, "dat");

    if (CxImage::IsWritable(CXIMAGE_FORMAT_TIF)) {
        WritePicture(dir.file("x.tif"), 40, 30, CXIMAGE_FORMAT_TIF);
        CkxFileImage tif;
        tif.m_nFileType = KXFK_FILE;
        ASSERT_EQ(tif.LoadFileInfo(dir.file("x.tif")), 1);
        EXPECT_EQ(tif.m_strExName, "tif");
        EXPECT_EQ(tif.m_nFileType, KXFK_IMAGE);
        EXPECT_EQ(tif.m_nEncFormat, 8);
    }

    // A photo loading a picture stays a photo.
    CkxFIPhoto photo;
    ASSERT_EQ(photo.LoadFileInfo(dir.file("small.png")), 1);
    EXPECT_EQ(photo.m_nFileType, KXFK_FIPHOTO);
}

TEST(CkxFileImage, UnreadableFilesLeaveTheObjectUnchanged) {
    TempDir dir;
    {
        std::ofstream(dir.file("broken.jpg"), std::ios::binary) << "\xFF\xD8\xFF not really a jpeg";
    }
    // 2 GiB of holes: a size that an int32 cannot hold.
    {
        std::ofstream big(dir.file("huge.png"), std::ios::binary);
    }
    std::filesystem::resize_file(dir.file("huge.png"), 2147483648ull);
    for (const char* name : {"broken.jpg", "missing.png", "huge.png"}) {
        SCOPED_TRACE(name);
        CkxFileImage f;
        f.m_strTitle = "keep";
        EXPECT_EQ(f.LoadFileInfo(dir.file(name)), 0);
        EXPECT_EQ(f.LoadFileData(dir.file(name)), 0);
        EXPECT_EQ(f.m_strTitle, "keep");
        EXPECT_TRUE(f.m_strExName.empty());
        EXPECT_FALSE(f.IsMemMicroValid());
        EXPECT_FALSE(f.IsMemWholeValid());
    }
    // Reading raw bytes refuses what an int32 length cannot hold, too.
    CkxFile raw;
    EXPECT_EQ(raw.LoadMemWhole(dir.file("huge.png")), 0);
    EXPECT_EQ(raw.LoadMemWhole(dir.file("broken.jpg")), 1);
}

TEST(CkxFileImage, StoredCopiesOfImages) {
    TempDir dir;
    WritePicture(dir.file("src.png"), 400, 300, CXIMAGE_FORMAT_PNG);
    CkxFileImage src;
    ASSERT_EQ(src.LoadFileData(dir.file("src.png")), 1);
    src.m_strTitle = "存档";
    ASSERT_EQ(src.SaveEncryptFile(dir.file("copy.kx")), 1);

    CkxFileImage back;
    back.m_nFileType = KXFK_FILE; // the kind is left as it was
    ASSERT_EQ(back.LoadEncryptFileData(dir.file("copy.kx")), 1);
    EXPECT_EQ(back.m_strTitle, "存档");
    EXPECT_EQ(back.m_strExName, "png");
    EXPECT_EQ(back.m_nFileType, KXFK_FILE);
    EXPECT_EQ(back.m_nEncFormat, 6);
    EXPECT_EQ(back.m_nWidth, 400);
    EXPECT_EQ(back.m_nHeight, 300);
    EXPECT_EQ(back.m_nSize, src.m_nSize + 288);
    EXPECT_EQ(back.m_strSourcePath, dir.file("copy.kx"));
    ASSERT_EQ(back.GetMemWholeSize(), src.GetMemWholeSize());
    EXPECT_TRUE(std::equal(back.GetMemWholeBuf(), back.GetMemWholeBuf() + back.GetMemWholeSize(),
                           src.GetMemWholeBuf()));
    ExpectMicro(Thumbnail(back), 130, {0, 17, 129, 96});

    CxImage decoded;
    EXPECT_EQ(CkxFileImage::LoadEncryptFile(dir.file("copy.kx"), decoded), 1);
    EXPECT_EQ(decoded.GetWidth(), 400u);

    // A copy whose header says another kind is refused by the info loader; the static decoder
    // does not look at the kind.
    CkxFileImage text;
    text.m_nFileType = KXFK_TEXT;
    text.m_strTitle = "t";
    text.m_strExName = "png";
    ASSERT_EQ(CkxFile::SaveEncryptFile(dir.file("text.kx"), text, src.GetMemWholeBuf(), src.GetMemWholeSize()), 1);
    CkxFileImage refused;
    EXPECT_EQ(refused.LoadEncryptFileInfo(dir.file("text.kx")), 0);
    EXPECT_TRUE(refused.m_strTitle.empty());
    EXPECT_EQ(CkxFileImage::LoadEncryptFile(dir.file("text.kx"), decoded), 1);

    // A header without content, or with content that is no picture.
    std::filesystem::resize_file(dir.file("text.kx"), 288);
    EXPECT_EQ(CkxFileImage::LoadEncryptFile(dir.file("text.kx"), decoded), 0);
}
