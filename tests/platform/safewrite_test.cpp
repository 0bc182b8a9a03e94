#include "base/KxSafeWrite.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::set<std::string> Names(const TempDir& dir) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir.path())) out.insert(e.path().filename().string());
    return out;
}

mode_t Mode(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

} // namespace

TEST(SafeWrite, CreatesAndReplacesWholeKeepingPermissions) {
    TempDir dir;
    const std::string f = dir.file("a.bin");
    auto r = kx::WriteFileSafely(f, std::string("0123456789"));
    ASSERT_TRUE(r.ok()) << r.Message();
    EXPECT_EQ(r.Message(), "");
    EXPECT_EQ(FileBytes(f), "0123456789");
    EXPECT_EQ(Mode(f), 0644u);

    // A shorter content leaves no old tail; a replaced file keeps its permission bits.
    ASSERT_EQ(::chmod(f.c_str(), 0600), 0);
    ASSERT_TRUE(kx::WriteFileSafely(f, {std::string_view("head", 4), std::string_view("\0b", 2)}));
    EXPECT_EQ(FileBytes(f), std::string("head\0b", 6));
    EXPECT_EQ(Mode(f), 0600u);

    ASSERT_TRUE(kx::WriteFileSafely(f, std::string_view()));
    EXPECT_EQ(FileBytes(f), "");
    EXPECT_EQ(Names(dir), std::set<std::string>{"a.bin"});
}

// Each refused or failed write reports what failed, keeps the old content whole and leaves no
// temporary file in the folder.
TEST(SafeWrite, FailureKeepsTheOldFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string old = dir.file("old.txt");
    const std::string folder = dir.file("folder");
    const std::string locked = dir.file("locked.txt");
    ASSERT_TRUE(kx::WriteFileSafely(old, std::string("old content")));
    fs::create_directory(folder);
    ASSERT_TRUE(kx::WriteFileSafely(locked, std::string("locked")));
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    const std::set<std::string> before = Names(dir);

    struct Case {
        const char* name;
        std::string path;
        int error;
    } cases[] = {
        {"target is a folder", folder, EISDIR},
        // Refused even for root, who could write it: no write bit means read-only.
        {"target is read-only", locked, EACCES},
        {"folder missing", dir.file("nofolder/x.txt"), ENOENT},
        {"no name", dir.str() + "/", EINVAL},
    };
    for (const Case& c : cases) {
        auto r = kx::WriteFileSafely(c.path, std::string("new"));
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name << ": " << r.Message();
        EXPECT_NE(r.Message().find(c.path), std::string::npos) << c.name << ": " << r.Message();
    }
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(FileBytes(locked), "locked");
    EXPECT_EQ(Names(dir), before);

    // A write that fails part way (the file-size limit stands in for a full disk).
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit small = oldLimit;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    auto r = kx::WriteFileSafely(old, {std::string_view("new "), std::string_view("content too long")});
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.error, EFBIG) << r.Message();
    EXPECT_STREQ(r.step, "write");
    EXPECT_EQ(FileBytes(old), "old content");
    EXPECT_EQ(Names(dir), before);

    // A folder the program may not write in (root writes anywhere, so only checked for others).
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(dir.str().c_str(), 0555), 0);
        auto denied = kx::WriteFileSafely(old, std::string("new"));
        ::chmod(dir.str().c_str(), 0755);
        EXPECT_EQ(denied.error, EACCES) << denied.Message();
        EXPECT_EQ(FileBytes(old), "old content");
        EXPECT_EQ(Names(dir), before);
    }
}

// Placing in two steps: the target exists from Place on, sharing the temporary file's content;
// Settle keeps only the target, Discard (or dropping it unsettled) leaves neither, and an
// existing target is never replaced.
TEST(SafeWrite, PlaceLinksTheTargetUntilSettledOrDiscarded) {
    TempDir dir;
    fs::create_directory(dir.file("staging"));
    fs::create_directory(dir.file("store"));
    const std::string staging = dir.file("staging");
    const auto stagedNames = [&] {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(staging)) out.insert(e.path().filename().string());
        return out;
    };
    for (const bool settle : {true, false}) {
        SCOPED_TRACE(settle ? "settled" : "discarded");
        const std::string target = dir.file(settle ? "store/7.jpg" : "store/8.jpg");
        {
            kx::StagedFile staged;
            ASSERT_TRUE(staged.StageIn(staging, target, {std::string_view("content")}, 0600));
            EXPECT_FALSE(fs::exists(target));
            const std::set<std::string> temps = stagedNames();
            ASSERT_EQ(temps.size(), 1u);
            // The temporary name tells which target it is for.
            EXPECT_EQ(kx::StagedTargetName(*temps.begin()), fs::path(target).filename().string());
            const kx::SafeWriteResult placed = staged.Place();
            ASSERT_TRUE(placed) << placed.Message();
            EXPECT_TRUE(staged.IsPlaced());
            EXPECT_EQ(FileBytes(target), "content");
            EXPECT_EQ(Mode(target), 0600u);
            EXPECT_EQ(fs::hard_link_count(target), 2u);
            if (settle) staged.Settle();
        }
        EXPECT_TRUE(stagedNames().empty());
        EXPECT_EQ(fs::exists(target), settle);
        if (settle) EXPECT_EQ(fs::hard_link_count(target), 1u);
    }

    // A target already there stays as it was, and the staged content goes when dropped.
    kx::StagedFile other;
    ASSERT_TRUE(other.StageIn(staging, dir.file("store/7.jpg"), {std::string_view("other")}, 0600));
    const kx::SafeWriteResult refused = other.Place();
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.error, EEXIST) << refused.Message();
    EXPECT_FALSE(other.IsPlaced());
    other.Discard();
    EXPECT_EQ(FileBytes(dir.file("store/7.jpg")), "content");
    EXPECT_TRUE(stagedNames().empty());
    EXPECT_EQ(kx::StagedTargetName("7.jpg"), "");
}
