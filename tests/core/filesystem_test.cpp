#include "model/CkxBuf.h"
#include "model/CkxwFileSystem.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using FS = CkxwFileSystem;
using Strings = std::vector<std::string>;

namespace {

void Touch(const std::string& path, const std::string& text = "x") { std::ofstream(path) << text; }

// root/ a.txt b.db  d1/ (c.jpg  d11/ (e.txt)  d12/)  d2/ ; link -> outside folder
struct Tree {
    TempDir tmp;
    std::string root, outside;
    Tree() {
        root = tmp.file("root");
        outside = tmp.file("outside");
        fs::create_directories(root + "/d1/d11");
        fs::create_directories(root + "/d1/d12");
        fs::create_directories(root + "/d2");
        fs::create_directories(outside);
        Touch(root + "/a.txt");
        Touch(root + "/b.db");
        Touch(root + "/d1/c.jpg");
        Touch(root + "/d1/d11/e.txt");
        Touch(outside + "/keep.txt");
        fs::create_directory_symlink(outside, root + "/link");
    }
};

// Makes a file impossible to remove, even for root, while it lives.
struct Immutable {
    std::string path;
    bool ok = false;
    explicit Immutable(std::string p) : path(std::move(p)) { ok = Set(true); }
    ~Immutable() {
        if (ok) Set(false);
    }
    bool Set(bool on) {
        int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }
};

} // namespace

TEST(CkxwFileSystem, PathTexts) {
    struct Case {
        std::string (*fn)(const std::string&);
        const char* in;
        const char* out;
    } cases[] = {
        {FS::RemoveTailSlash, "/d/a//", "/d/a"}, {FS::RemoveTailSlash, "///", ""},
        {FS::RemoveTailSlash, "", ""},           {FS::DelDirTail, "a/", "a"},
        {FS::GetDir, "/d/a/b.txt", "/d/a"},      {FS::GetDir, "/d/a//b.txt", "/d/a"},
        {FS::GetDir, "b.txt", ""},               {FS::GetParentDir, "/d/a/b", "/d/a"},
        {FS::GetFileName, "/d/a/b.txt", "b.txt"}, {FS::GetFileName, "b.txt", "b.txt"},
        {FS::GetFileEx, "b.tar.gz", "gz"},       {FS::GetFileExName, "/d/p.JPG", "JPG"},
        {FS::GetFileEx, "README", "README"},     {FS::GetFileTitle, "/d/a/b.txt", "b"},
        {FS::GetFileTitle, "/d/a/b.tar.gz", "b.tar"}, {FS::GetFileTitle, "/d/a/README", ""},
        {FS::GetFileTitle, "", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.fn(c.in), c.out) << c.in;

    Strings out{"x"};
    EXPECT_EQ(FS::PasyPathToNode("/a//b/", out), 3);
    EXPECT_EQ(out, (Strings{"x", "a", "b"}));
    EXPECT_EQ(FS::CutStrForSpot("a,,b,", ",", out), 4);
    EXPECT_EQ(out, (Strings{"a", "", "b", ""}));
    EXPECT_EQ(FS::CutStrForSpot("a--b", "--", out), 2);
    EXPECT_EQ(FS::CutStrForSpot("whole", ";", out), 1);
    EXPECT_EQ(out, (Strings{"whole"}));
    EXPECT_EQ(FS::CutStrForSpot("", ";", out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(FS::GetCurDir(), fs::current_path().string());
}

TEST(CkxwFileSystem, WalksListInNameOrderAndNeverEnterLinks) {
    Tree t;
    Strings out;
    EXPECT_EQ(FS::FindChildDir_Name(t.root, out), 2);
    EXPECT_EQ(out, (Strings{"d1", "d2"}));
    out.clear();
    EXPECT_EQ(FS::FindChildDir_Path(t.tmp.str(), "root/d1", out), 2);
    EXPECT_EQ(out, (Strings{t.root + "/d1/d11", t.root + "/d1/d12"}));
    out.clear();
    FS::FindChildFile_Name(t.root + "/", out);
    EXPECT_EQ(out, (Strings{"a.txt", "b.db", "link"})); // a link is listed as a file
    out.clear();
    FS::FindChildNode_Name(t.root, out);
    EXPECT_EQ(out, (Strings{"a.txt", "b.db", "d1", "d2", "link"}));
    out.clear();
    FS::FindTreeDir_Name(t.root, out);
    EXPECT_EQ(out, (Strings{"d1", "d11", "d12", "d2"}));
    out.clear();
    FS::FindTreeFile_Path(t.root, out);
    EXPECT_EQ(out, (Strings{t.root + "/a.txt", t.root + "/b.db", t.root + "/d1/c.jpg",
                            t.root + "/d1/d11/e.txt", t.root + "/link"}));
    out.clear();
    FS::FindTreeNode_Name(t.root, out);
    EXPECT_EQ(out, (Strings{"a.txt", "b.db", "d1", "c.jpg", "d11", "e.txt", "d12", "d2", "link"}));

    out = {"stale"};
    EXPECT_EQ(FS::SearchAllChildFile(t.root, out), 2);
    EXPECT_EQ(out, (Strings{"a.txt", "link"}));
    out.clear();
    FS::SearchAllFileTitle(t.root, out);
    EXPECT_EQ(out, (Strings{"a", "b", "link"}));
    Touch(t.root + "/a");
    Touch(t.root + "/a.b.c");
    Touch(t.root + "/ab.txt");
    out.clear();
    EXPECT_EQ(FS::SearchAllTitleFile(t.root, "a", out), 3);
    EXPECT_EQ(out, (Strings{"a", "a.b.c", "a.txt"}));

    // A folder that cannot be read is a failure (0), whatever out held before.
    struct Walk {
        int (*fn)(const std::string&, Strings&);
        const char* name;
    } walks[] = {{FS::FindChildNode_Path, "FindChildNode_Path"}, {FS::FindTreeNode_Path, "FindTreeNode_Path"},
                 {FS::FindTreeFile_Name, "FindTreeFile_Name"},   {FS::FindTreeDir_Path, "FindTreeDir_Path"},
                 {FS::SearchAllFile, "SearchAllFile"}};
    for (const Walk& w : walks) {
        out = {"earlier"};
        EXPECT_EQ(w.fn(t.tmp.file("missing"), out), 0) << w.name;
        EXPECT_EQ(w.fn(t.root + "/a.txt", out), 0) << w.name; // a file is no folder
        EXPECT_EQ(out, Strings{"earlier"}) << w.name;
    }
}

TEST(CkxwFileSystem, Leaves) {
    Tree t;
    EXPECT_EQ(FS::IsHasSubDir(t.root), 1);
    EXPECT_EQ(FS::IsHasChildFolder(t.root + "/d2"), 0);
    EXPECT_EQ(FS::GetFirstSubDir(t.root), t.root + "/d1");
    std::string p = t.root + "/";
    EXPECT_EQ(FS::SearchFirstLeaf(p), 1);
    EXPECT_EQ(p, t.root + "/d1/d11");
    p = t.root + "/link"; // a link is not a folder to descend
    EXPECT_EQ(FS::GetOneLeafFolder(p), 0);
    EXPECT_EQ(p, t.root + "/link");
}

TEST(CkxwFileSystem, RemovalLeavesWhatLinksPointAt) {
    {
        Tree t;
        EXPECT_EQ(FS::DelDir(t.root), 1);
        EXPECT_FALSE(fs::exists(t.root));
        EXPECT_TRUE(fs::exists(t.outside + "/keep.txt"));
    }
    {
        Tree t;
        EXPECT_EQ(FS::RemoveDir(t.root + "/"), 1);
        EXPECT_FALSE(fs::exists(t.root));
        EXPECT_TRUE(fs::exists(t.outside + "/keep.txt"));
    }
    {
        Tree t;
        EXPECT_EQ(FS::RemoveTreeNode(t.root + "/link"), 1); // the link itself, as a file
        EXPECT_FALSE(fs::is_symlink(t.root + "/link"));
        EXPECT_TRUE(fs::exists(t.outside + "/keep.txt"));
        EXPECT_EQ(FS::DelDir(t.root + "/a.txt"), 0);
        EXPECT_EQ(FS::RemoveDir(t.tmp.file("missing")), 0);
        EXPECT_EQ(FS::DelDirNode(t.root, "d2"), 1);
        EXPECT_EQ(FS::DelDirNode(t.root + "/d1/d11"), 1);
        EXPECT_TRUE(fs::exists(t.root + "/d1/c.jpg"));
        EXPECT_EQ(FS::RemoveLeafFolder(t.root + "/d1"), 0); // not empty
        EXPECT_EQ(FS::RemoveChildFile(t.root + "/d1"), 1);
        EXPECT_FALSE(fs::exists(t.root + "/d1/c.jpg"));
        EXPECT_TRUE(fs::exists(t.root + "/d1/d12"));
        EXPECT_EQ(FS::DelAllFileUnderDir(t.root), 1);
        EXPECT_FALSE(fs::exists(t.root + "/a.txt"));
        EXPECT_EQ(FS::DelAllFileUnderTheDir(t.root), 0); // nothing left to list
        EXPECT_EQ(FS::DeleteFileA(t.root + "/a.txt"), 0);
    }
}

TEST(CkxwFileSystem, DelDirStopsAtAnEntryItCannotRemove) {
    Tree t;
    Immutable stuck(t.root + "/d1/d11/e.txt");
    if (!stuck.ok) GTEST_SKIP() << "cannot mark a file immutable here";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(FS::DelDir(t.root), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(fs::exists(t.root + "/d1/d11/e.txt"));
    EXPECT_EQ(FS::RemoveDir(t.root), 0);
}

TEST(CkxwFileSystem, CreateDirAndWholeFiles) {
    TempDir d;
    EXPECT_EQ(FS::CreateDir(""), 0);
    EXPECT_EQ(FS::CreateDir(d.file("x/y/z")), 1);
    EXPECT_TRUE(fs::is_directory(d.file("x/y/z")));
    EXPECT_EQ(FS::CreateDir(d.file("x//y/z/")), 1); // existing ones stay
    Touch(d.file("x/file"));
    EXPECT_EQ(FS::CreateDir(d.file("x/file/sub")), 0); // cannot be made: not reported as made

    std::string f = d.file("x/data.bin");
    EXPECT_EQ(FS::CreateFileA(f, "0123456789", 10), 1);
    EXPECT_EQ(FS::CreateFileA(f, "abc", 3), 1);
    EXPECT_EQ(FileBytes(f), "abc"); // no old tail survives a shorter content
    EXPECT_EQ(FS::CreateFileA(f, nullptr, 3), 0);
    EXPECT_EQ(FS::CreateFileA(f, "abc", 0), 0);
    EXPECT_EQ(FS::CreateFileA(d.file("x/y"), "abc", 3), 0); // a folder is not replaced
    EXPECT_EQ(FS::CreateFileA(d.file("nofolder/f"), "abc", 3), 0);
    EXPECT_EQ(FileBytes(f), "abc");
    // A read-only file is not replaced (it could not be opened for writing).
    std::string ro = d.file("x/ro.bin");
    ASSERT_EQ(FS::CreateFileA(ro, "locked", 6), 1);
    ASSERT_EQ(FS::SetFileReadOnly(ro), 1);
    EXPECT_EQ(FS::CreateFileA(ro, "new", 3), 0);
    EXPECT_EQ(FileBytes(ro), "locked");
    fs::remove(ro);
    Strings left;
    FS::FindChildFile_Name(d.file("x"), left);
    EXPECT_EQ(left, (Strings{"data.bin", "file"})); // no temporary file left behind

    unsigned char* bytes = nullptr;
    int n = 0;
    ASSERT_EQ(FS::ReadFile(f, &bytes, n), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), n), "abc");
    delete[] bytes;
    CkxBuf buf;
    buf.Fill("old", 3);
    ASSERT_EQ(FS::ReadFile(f, buf), 1);
    EXPECT_EQ(buf.View(), "abc");
    EXPECT_EQ(FS::ReadFile(d.file("missing"), buf), 0);
    EXPECT_EQ(FS::ReadFile(d.file("x"), buf), 0);
    EXPECT_EQ(buf.View(), "abc");
    Touch(d.file("empty"), "");
    ASSERT_EQ(FS::ReadFile(d.file("empty"), buf), 1);
    EXPECT_EQ(buf.GetLen(), 0);
}

TEST(CkxwFileSystem, AttributesAndTimes) {
    TempDir d;
    std::string f = d.file("p.jpg");
    Touch(f, "12345");
    EXPECT_EQ(FS::GetFileSize(f), 5);
    EXPECT_EQ(FS::GetFileSize(d.file("none")), -1);
    EXPECT_EQ(FS::IsFileValid(f), 1);
    EXPECT_EQ(FS::IsFileValid(d.file("none")), 0);
    EXPECT_EQ(FS::IsDir(d.str()), 1);
    EXPECT_EQ(FS::IsDir(f), 0);
    EXPECT_EQ(FS::IsDir(d.file("none")), 0); // a missing path is no folder
    EXPECT_EQ(FS::GetNodeAttr(d.file("none")), KX_ATTR_INVALID);
    EXPECT_EQ(FS::GetNodeAttr(f), 0u);

    double now = COleDateTime::GetCurrentTime().m_dt;
    for (COleDateTime t : {FS::GetFileCreateTime(f), FS::GetFileModifyTime(f), FS::GetFileAccessTime(f)})
        EXPECT_NEAR(t.m_dt, now, 2.0 / 86400);
    EXPECT_EQ(FS::GetFileModifyTime(d.file("none")).m_dt, 0.0);

    EXPECT_EQ(FS::SetFileReadOnly(f), 1);
    EXPECT_EQ(FS::IsFileReadOnly(f), 1);
    EXPECT_EQ(FS::IsFileHidden(f), 0);
    EXPECT_EQ(FS::SetFileHidden(f), 1);
    EXPECT_EQ(FS::IsFileHidden(f), 1);
    EXPECT_EQ(FS::IsFileSystemFile(f), 0);
    EXPECT_EQ(FS::SetFileSystemFile(f), 1);
    EXPECT_EQ(FS::GetNodeAttr(f), KX_ATTR_READONLY | KX_ATTR_HIDDEN | KX_ATTR_SYSTEM);
    EXPECT_EQ(FS::IsFileModify(f), 0);
    EXPECT_EQ(FS::SetFileHidden(d.file("none")), 0);
    Touch(d.file(".dot"));
    EXPECT_EQ(FS::IsFileHidden(d.file(".dot")), 1);
    EXPECT_EQ(FS::IsFileOpening(f), 0);
}

// Fake programs on PATH record the argument list they were started with.
class Launchers : public ::testing::Test {
protected:
    TempDir bin;
    std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    void SetUp() override {
        for (const char* name : {"xdg-open", "mimeopen", "Tintwork", "editor"}) {
            std::string script = bin.file(name);
            // The scripts find mv themselves: the test may leave only their folder on PATH.
            std::ofstream(script) << "#!/bin/sh\nPATH=/usr/bin:/bin\n{ printf '%s\\n' \"$0\"; for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done; } > \""
                                  << bin.str() << "/" << name << ".out.tmp\"\nmv \"" << bin.str() << "/" << name
                                  << ".out.tmp\" \"" << bin.str() << "/" << name << ".out\"\n";
            ::chmod(script.c_str(), 0755);
        }
        ::setenv("PATH", (bin.str() + ":" + oldPath).c_str(), 1);
    }
    void TearDown() override { ::setenv("PATH", oldPath.c_str(), 1); }
    // The arguments of the last run of that program (waits for a program not waited for).
    std::string Args(const std::string& name) {
        std::string out = bin.file(name + ".out");
        for (int i = 0; i < 500 && !fs::exists(out); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string text = FileBytes(out);
        fs::remove(out);
        return text.substr(text.find('\n') + 1);
    }
};

TEST_F(Launchers, ProgramsGetTheExactArgumentList) {
    TempDir files;
    fs::create_directories(files.file("my files"));
    // A file name cannot hold "/": what a shell would run here touches a file in the current folder.
    const std::string path = files.file("my files/a \"b\";$(touch varnia-pwned).jpg");
    Touch(path);
    Touch(files.file("q.png"));
    Touch(files.file("p.jpg"));
    EXPECT_EQ(FS::OpenFileDef(path), 1);
    EXPECT_EQ(Args("xdg-open"), "[" + path + "]\n");
    EXPECT_EQ(FS::OpenFileWay(path), 1); // waited for
    EXPECT_TRUE(fs::exists(bin.file("mimeopen.out")));
    EXPECT_EQ(Args("mimeopen"), "[--ask]\n[" + path + "]\n");
    EXPECT_EQ(FS::OpenFileOnTintwork(files.file("p.jpg")), 1);
    EXPECT_EQ(Args("Tintwork"), "[" + files.file("p.jpg") + "]\n");
    EXPECT_EQ(FS::OpenFileOnSoftware("editor", ""), 1);
    EXPECT_EQ(Args("editor"), "");
    EXPECT_EQ(FS::RunSoftware("editor \"/a b/c.txt\" -x;y $(z)"), 1);
    EXPECT_EQ(Args("editor"), "[/a b/c.txt]\n[-x;y]\n[$(z)]\n");
    EXPECT_EQ(FS::OpenFileMay(path), 1);
    EXPECT_EQ(Args("xdg-open"), "[" + path + "]\n");
    EXPECT_FALSE(fs::exists("varnia-pwned"));

    EXPECT_EQ(FS::OpenFileDef(""), 0);
    EXPECT_EQ(FS::RunSoftware(""), 0);
    EXPECT_EQ(FS::OpenFileOnSoftware("no-such-editor-varnia", files.file("p.jpg")), 0);
    // A file that is not there is not handed to any program.
    EXPECT_EQ(FS::OpenFileDef(files.file("gone.png")), 0);
    EXPECT_EQ(FS::OpenFileOnSoftware("editor", files.file("gone.png")), 0);
    // No opener (not even the desktop's own): the "open with" chooser instead.
    fs::remove(bin.file("xdg-open"));
    ::setenv("PATH", bin.str().c_str(), 1);
    EXPECT_EQ(FS::OpenFileMay(files.file("q.png")), 1);
    EXPECT_EQ(Args("mimeopen"), "[--ask]\n[" + files.file("q.png") + "]\n");
}

TEST(CkxwFileSystem, DialogFiltersForQt) {
    EXPECT_EQ(FS::ToQtFilter(FS::kFilterAll), "所有文件 (*.*)");
    EXPECT_EQ(FS::ToQtFilter("ACCESS 文件 (*.mdb)|*.mdb|"), "ACCESS 文件 (*.mdb)");
    EXPECT_EQ(FS::ToQtFilter("常用格式 (*.jpg;*.j2k;*.bmp)|*.jpg;*.j2k;*.bmp|"), "常用格式 (*.jpg *.j2k *.bmp)");
    EXPECT_EQ(FS::ToQtFilter("Plain|*.txt;*.md|"), "Plain (*.txt *.md)");
    EXPECT_EQ(FS::ToQtFilter(FS::kFilterSaveDefault), "默认     (*.*)");
    std::string pics = FS::ToQtFilter(FS::kFilterPictures);
    EXPECT_EQ(pics.rfind("BMP 文件 (*.bmp);;GIF 文件 (*.gif);;JPG 文件 (*.jpg);;", 0), 0u);
    EXPECT_EQ(pics.substr(pics.rfind(";;") + 2), "PNM 文件 (*.pnm)");
    std::string multi = FS::ToQtFilter(FS::kFilterPicturesMulti);
    EXPECT_EQ(multi.substr(0, multi.find(";;")),
              "系统支持格式 (*.jpg *.j2k *.bmp *.gif *.png *.tif *.tga *.j2c *.pcx *.pnm *.ras)");
    EXPECT_EQ(multi.substr(multi.rfind(";;") + 2), "所有文件 (*.*)");
}
