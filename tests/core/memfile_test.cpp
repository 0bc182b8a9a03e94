#include "model/CkxMemFile.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

TEST(CkxMemFile, ModesAndOwnership) {
    CkxMemFile m;
    EXPECT_FALSE(m.IsValid());
    EXPECT_EQ(m.CreateMem(0), nullptr);
    ASSERT_NE(m.CreateMem(4), nullptr);
    EXPECT_EQ(m.GetMode(), CkxMemFile::Owned);

    unsigned char outside[3] = {1, 2, 3};
    EXPECT_EQ(m.MapMem(outside, 3), outside);
    EXPECT_EQ(m.GetMode(), CkxMemFile::Mapped);
    m.Destroy(); // a mapped block is not freed (ASan would report a bad free)
    EXPECT_EQ(outside[2], 3);

    EXPECT_EQ(m.AttachMem(nullptr, 3), nullptr);
    EXPECT_NE(m.AttachMem(new unsigned char[5], 5), nullptr);
    CkxMemFile copy(m);
    EXPECT_NE(copy.GetMemPt(), m.GetMemPt());
    EXPECT_EQ(copy.GetMemLen(), 5);
}

TEST(CkxMemFile, ReadAndWriteFiles) {
    TempDir dir;
    CkxMemFile m;
    EXPECT_EQ(m.ReadFile(dir.file("missing")), 0);
    EXPECT_FALSE(m.IsValid());

    ASSERT_NE(m.CopyMem("hello world", 11), nullptr);
    EXPECT_EQ(m.WriteFile(dir.file("a.bin")), 1);
    EXPECT_EQ(FileBytes(dir.file("a.bin")), "hello world");
    EXPECT_EQ(m.WriteFile(dir.file("b.bin"), 4), 1);
    EXPECT_EQ(FileBytes(dir.file("b.bin")), std::string(4, '\0') + "hello world");

    CkxMemFile r;
    EXPECT_EQ(r.ReadFile(dir.file("a.bin")), 11);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.GetMemPt()), 11), "hello world");
    EXPECT_EQ(r.ReadFile(dir.file("a.bin"), 6), 5);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(r.GetMemPt()), 5), "world");
    EXPECT_EQ(r.ReadFile(dir.file("a.bin"), 11), 0);
    EXPECT_FALSE(r.IsValid());
}

TEST(CkxMemFile, ReadOnlyFileReadsAndFailedWriteKeepsOldFile) {
    TempDir dir;
    std::string path = dir.file("ro.bin");
    { std::ofstream(path) << "original"; }
    ::chmod(path.c_str(), 0444);
    CkxMemFile r;
    EXPECT_EQ(r.ReadFile(path), 8); // read-only is enough to read

    CkxMemFile empty;
    EXPECT_EQ(empty.WriteFile(path), 0); // nothing valid to write
    CkxMemFile m;
    m.CopyMem("new", 3);
    EXPECT_EQ(m.WriteFile(dir.file("no-such-folder/x.bin")), 0);
    EXPECT_EQ(FileBytes(path), "original");
    // No temporary file is left behind by the failure.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(CkxMemFile, CopyFromItsOwnBlockKeepsTheBytes) {
    CkxMemFile m;
    ASSERT_NE(m.CopyMem("abcdef", 6), nullptr);
    // A copy of the object's own block (or a part of it) reads it before the old block goes.
    ASSERT_NE(m.CopyMem(m.GetMemPt() + 2, 3), nullptr);
    ASSERT_EQ(m.GetMemLen(), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(m.GetMemPt()), 3), "cde");
}
