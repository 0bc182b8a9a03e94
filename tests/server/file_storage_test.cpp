// Stored files under the storage roots: paths and names, load and write, delete with the freed
// space given back.
#include "storage/CFileStorage.h"
#include "storage/CImageStorage.h"
#include "model/CkxFile.h"
#include "base/KxIni.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// One drive C with root 0 on it.
struct OneRoot {
    TempDir dir;
    std::shared_ptr<FolderDriveSource> drives = std::make_shared<FolderDriveSource>();
    std::string root;
    explicit OneRoot(uint32_t freeMB = 100) {
        fs::create_directories(dir.file("C"));
        drives->Add('C', dir.file("C"), 1000, freeMB);
        root = dir.file("C") + "/KX_Storage_0";
        fs::create_directories(root);
        kx::WritePrivateProfileString("BASE", "ID", "0", root + "/Conf");
    }
};

} // namespace

TEST(FileStorage, PathsOfBothKindsUnderTheRoot) {
    OneRoot r;
    CFileStorage plain(r.drives);
    CImageStorage image(r.drives);
    ASSERT_EQ(plain.Prepare("KX"), 1);
    ASSERT_EQ(image.Prepare("KX"), 1);
    EXPECT_EQ(plain.GetKindFolder(), "");
    EXPECT_EQ(image.GetKindFolder(), "/Image");

    std::string whole = CFileStorage::GetWholeName(12, "jpg");
    EXPECT_EQ(whole, "12.jpg");
    EXPECT_EQ(plain.GetWholePath(0, whole), r.root + "/File/Whole/12.jpg");
    EXPECT_EQ(plain.GetMicroPath(0, CFileStorage::GetMicroName(12)), r.root + "/File/Micro/12");
    EXPECT_EQ(image.GetWholePath(0, whole), r.root + "/File/Image/Whole/12.jpg");
    EXPECT_EQ(image.GetMicroFolder(0), r.root + "/File/Image/Micro");

    // Ids above the int range keep their unsigned value.
    EXPECT_EQ(CFileStorage::GetMicroName(2147483648u), "2147483648");
    EXPECT_EQ(CFileStorage::GetWholeName(4294967295u, "png"), "4294967295.png");

    // No root: every path is empty.
    EXPECT_EQ(image.GetMicroFolder(1), "");
    EXPECT_EQ(image.GetWholePath(1, whole), "");
    EXPECT_EQ(image.GetWholePath(-1, whole), "");
}

TEST(FileStorage, NamesNeverLeaveTheirFolder) {
    struct Case {
        const char* suffix;
        const char* name;
    };
    const Case cases[] = {
        {"jpg", "7.jpg"},           {"../../etc/passwd", "7.etcpasswd"},
        {"..\\..\\x", "7.x"},       {"a/b", "7.ab"},
        {"j\np\x01g", "7.jpg"},     {"", "7."},
        {"..", "7."},               {"tar.gz", "7.targz"},
    };
    for (const Case& c : cases) {
        std::string name = CFileStorage::GetWholeName(7, c.suffix);
        EXPECT_EQ(name, c.name) << c.suffix;
        EXPECT_TRUE(CkxFile::IsCleanName(name)) << c.suffix;
    }
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "x..y", "a\nb"})
        EXPECT_FALSE(CkxFile::IsCleanName(bad)) << bad;

    OneRoot r;
    CImageStorage s(r.drives);
    s.Prepare("KX");
    s.CreateRootFolders(0);
    EXPECT_EQ(s.GetWholePath(0, "../../Conf"), "");
    EXPECT_EQ(s.WriteWhole(0, "../../Conf", "x", 1), 0);
    EXPECT_EQ(kx::GetPrivateProfileInt("BASE", "ID", -1, r.root + "/Conf"), 0);
}

TEST(FileStorage, WriteReplacesWholeAndLoadReadsBack) {
    OneRoot r;
    CImageStorage s(r.drives);
    s.Prepare("KX");
    ASSERT_EQ(s.CreateRootFolders(0), 1);

    const std::string longer(5000, 'L');
    ASSERT_EQ(s.WriteWhole(0, "12.jpg", longer.data(), static_cast<int>(longer.size())), 1);
    ASSERT_EQ(s.WriteWhole(0, "12.jpg", "short", 5), 1);
    EXPECT_EQ(ReadAll(r.root + "/File/Image/Whole/12.jpg"), "short"); // no old tail
    ASSERT_EQ(s.WriteMicro(0, "12", "thumb", 5), 1);

    CkxBuf buf;
    EXPECT_EQ(s.LoadWhole(0, "12.jpg", buf), 1);
    EXPECT_EQ(buf.View(), "short");
    EXPECT_EQ(s.LoadMicro(0, "12", buf), 1);
    EXPECT_EQ(buf.View(), "thumb");

    // Only the two stored files are left: temporary names are gone.
    int files = 0;
    for (auto& e : fs::recursive_directory_iterator(r.root + "/File"))
        files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2);

    // Refusals leave nothing behind.
    EXPECT_EQ(s.WriteWhole(0, "13.jpg", nullptr, 5), 0);
    EXPECT_EQ(s.WriteWhole(0, "13.jpg", "x", 0), 0);
    EXPECT_EQ(s.WriteWhole(1, "13.jpg", "x", 1), 0); // no root 1
    EXPECT_FALSE(fs::exists(r.root + "/File/Image/Whole/13.jpg"));
    EXPECT_EQ(s.LoadWhole(0, "13.jpg", buf), 0);   // missing
    EXPECT_EQ(s.LoadWhole(1, "12.jpg", buf), 0);   // no root
    std::ofstream(r.root + "/File/Image/Whole/empty.jpg");
    EXPECT_EQ(s.LoadWhole(0, "empty.jpg", buf), 0); // nothing read
}

TEST(FileStorage, DeleteGivesBothSizesBackInKilobytes) {
    OneRoot r(0);
    CImageStorage s(r.drives);
    s.Prepare("KX");
    s.CreateRootFolders(0);
    s.AddCapacity(0, 51200); // full: takes nothing

    const std::string whole(3 * 1024 * 1024 + 100, 'w'); // 3072 KB (rounded down)
    const std::string micro(2048, 'm');                  // 2 KB
    const uint32_t reservedKB = (whole.size() + micro.size()) / 1024;
    // The root cannot take the file now ...
    EXPECT_EQ(s.ChooseRoot(reservedKB), -1);
    // ... but it can once a stored file of the same size is deleted.
    ASSERT_EQ(s.WriteWhole(0, "5.png", whole.data(), static_cast<int>(whole.size())), 1);
    ASSERT_EQ(s.WriteMicro(0, "5", micro.data(), static_cast<int>(micro.size())), 1);
    uint32_t before = s.GetCapacity(0);
    EXPECT_EQ(s.Delete(0, 5, "5.png"), 1);
    EXPECT_EQ(s.GetCapacity(0), before + 3072 + 2);
    EXPECT_FALSE(fs::exists(r.root + "/File/Image/Whole/5.png"));
    EXPECT_FALSE(fs::exists(r.root + "/File/Image/Micro/5"));
    EXPECT_EQ(s.ChooseRoot(reservedKB), 0);

    // Missing files change nothing; a root that does not exist refuses.
    uint32_t now = s.GetCapacity(0);
    EXPECT_EQ(s.Delete(0, 5, "5.png"), 1);
    EXPECT_EQ(s.GetCapacity(0), now);
    EXPECT_EQ(s.Delete(3, 5, "5.png"), 0);
    EXPECT_EQ(s.Delete(0, 5, "../../Conf"), 1);
    EXPECT_TRUE(fs::exists(r.root + "/Conf"));
}

// What a crash leaves in the staging folder: temporary files of unfinished writes, and new files
// placed under their ids before their commit. The start removes every temporary file, and a
// placed file's target only when its row was not committed; other stored files stay.
TEST(FileStorage, LeftoversGoAndPlacedFilesStayOnlyWhenCommitted) {
    OneRoot r;
    CImageStorage s(r.drives);
    s.Prepare("KX");
    ASSERT_EQ(s.CreateRootFolders(0), 1);
    const fs::path staging = r.root + "/File/Image/Staging";
    const fs::path whole = r.root + "/File/Image/Whole", micro = r.root + "/File/Image/Micro";
    ASSERT_TRUE(fs::is_directory(staging));
    const auto file = [](const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; };
    // Placed before a crash: 5 committed, 6 not (both its content and its thumbnail).
    for (const char* id : {"5", "6"}) {
        file(staging / (std::string(id) + ".jpg.tmp-aaaaaa"), std::string("whole ") + id);
        fs::create_hard_link(staging / (std::string(id) + ".jpg.tmp-aaaaaa"), whole / (std::string(id) + ".jpg"));
        file(staging / (std::string(id) + ".tmp-bbbbbb"), std::string("micro ") + id);
        fs::create_hard_link(staging / (std::string(id) + ".tmp-bbbbbb"), micro / id);
    }
    // An unfinished write, and a stored file 9 whose name a linked temporary file shares
    // without being it.
    file(staging / "new.tmp-cccccc", "unfinished");
    file(whole / "9.jpg", "stored 9");
    file(staging / "9.jpg.tmp-dddddd", "elsewhere");
    fs::create_hard_link(staging / "9.jpg.tmp-dddddd", r.root + "/other-link");

    std::set<uint32_t> asked;
    const std::vector<std::string> removed = s.RemoveLeftovers([&](uint32_t id) {
        asked.insert(id);
        return id == 5;
    });
    EXPECT_TRUE(fs::is_empty(staging));
    EXPECT_EQ(ReadAll((whole / "5.jpg").string()), "whole 5");
    EXPECT_EQ(ReadAll((micro / "5").string()), "micro 5");
    EXPECT_EQ(fs::hard_link_count(whole / "5.jpg"), 1u);
    EXPECT_FALSE(fs::exists(whole / "6.jpg"));
    EXPECT_FALSE(fs::exists(micro / "6"));
    EXPECT_EQ(ReadAll((whole / "9.jpg").string()), "stored 9");
    EXPECT_EQ(asked, (std::set<uint32_t>{5, 6}));
    EXPECT_EQ(removed.size(), 8u); // six temporary files and the two targets of 6
    for (const std::string& p : removed) EXPECT_EQ(p.find("/Whole/5"), std::string::npos) << p;
}
