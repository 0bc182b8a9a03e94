#include "model/CkxFile.h"
#include "core/support/GoldenBytes.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int FileCount(const TempDir& dir) {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) n += e.is_regular_file();
    return n;
}

} // namespace

TEST(CkxFileEncrypt, HeaderGoldenBytesAndRoundTrip) {
    TempDir dir;
    CkxFile f;
    f.m_nFileType = KXFK_IMAGE;
    f.m_nEncFormat = 2;
    f.m_nProgStct = KXPS_FileImageObj;
    f.m_nVersion = 4;
    f.m_strTitle = "图像";
    f.m_strExName = "jpg";
    f.UpdateWhole("CONTENT", 7);
    ASSERT_EQ(f.SaveEncryptFile(dir.file("a.kx")), 1);

    std::string expect = GoldenBytes(288)
                             .I32(0, 43225)
                             .I32(4, 1)
                             .I32(8, 2)
                             .I32(12, 0x21)
                             .I32(16, 4)
                             .Raw(20, "\xCD\xBC\xCF\xF1")
                             .Raw(276, "jpg")
                             .Str() +
                         "CONTENT";
    EXPECT_EQ(FileBytes(dir.file("a.kx")), expect);
    EXPECT_EQ(FileCount(dir), 1); // no temporary file left behind

    CkxBuf buf;
    ASSERT_EQ(CkxFile::LoadEncryptFile(dir.file("a.kx"), buf), 1);
    EXPECT_EQ(buf.View(), "CONTENT");
    CkxFile::_ENCRYPT_HEAD head;
    ASSERT_TRUE(CkxFile::ReadEncryptHead(dir.file("a.kx"), head));
    EXPECT_EQ(head.nFileType, 1);
    CkxFile g;
    EXPECT_EQ(g.LoadEncryptFileMemWhole(dir.file("a.kx")), 1);
    EXPECT_EQ(g.GetMemWholeSize(), 7);

    // The static form takes the header from one file and the bytes from the caller, and
    // replaces an existing copy whole.
    CkxFile other;
    other.m_strTitle = std::string(255, 't'); // the longest title that fits
    ASSERT_EQ(CkxFile::SaveEncryptFile(dir.file("a.kx"), other, "xy", 2), 1);
    std::string bytes = FileBytes(dir.file("a.kx"));
    ASSERT_EQ(bytes.size(), 290u);
    EXPECT_EQ(bytes.substr(20, 256), std::string(255, 't') + '\0');
    EXPECT_EQ(bytes.substr(288), "xy");
    EXPECT_EQ(FileCount(dir), 1);
}

TEST(CkxFileEncrypt, RefusedWritesAndReads) {
    TempDir dir;
    CkxFile empty;
    EXPECT_EQ(empty.SaveEncryptFile(dir.file("none.kx")), 0);
    EXPECT_EQ(CkxFile::SaveEncryptFile(dir.file("none.kx"), empty, nullptr, 5), 0);
    EXPECT_EQ(CkxFile::SaveEncryptFile(dir.file("none.kx"), empty, "x", 0), 0);
    EXPECT_EQ(CkxFile::SaveEncryptFile(dir.file("no/such/dir.kx"), empty, "x", 1), 0);
    EXPECT_EQ(FileCount(dir), 0);

    struct Case {
        const char* what;
        size_t size;
        int result;
        int len;
    };
    const Case cases[] = {
        {"shorter than the header", 287, 0, 0},
        {"empty file", 0, 0, 0},
        {"exactly the header", 288, 1, 0},
        {"one content byte", 289, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The magic is not checked: any bytes in front do.
        WriteAll(dir.file("c.kx"), std::string(c.size, 'z'));
        CkxBuf buf;
        buf.Fill("old", 3);
        EXPECT_EQ(CkxFile::LoadEncryptFile(dir.file("c.kx"), buf), c.result);
        if (c.result) {
            EXPECT_EQ(buf.GetLen(), c.len);
        }
        CkxFile::_ENCRYPT_HEAD head;
        EXPECT_EQ(CkxFile::ReadEncryptHead(dir.file("c.kx"), head), c.size >= 288);
    }
    CkxBuf buf;
    EXPECT_EQ(CkxFile::LoadEncryptFile(dir.file("missing.kx"), buf), 0);
    EXPECT_EQ(CkxFile::LoadEncryptFile(dir.str(), buf), 0); // a folder

    // 2 GiB or more (a sparse file) is refused rather than wrapped into a negative length.
    WriteAll(dir.file("huge.kx"), "");
    std::filesystem::resize_file(dir.file("huge.kx"), 2147483648ull + 288);
    EXPECT_EQ(CkxFile::LoadEncryptFile(dir.file("huge.kx"), buf), 0);
    CkxFile f;
    EXPECT_EQ(f.LoadEncryptFileMemWhole(dir.file("huge.kx")), 0);
}
