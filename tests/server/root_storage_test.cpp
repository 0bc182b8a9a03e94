// Storage roots: the scan over the drives, capacities, reserve and choose, create and delete.
#include "base/KxDrives.h"
#include "base/KxIni.h"
#include "support/TempDir.h"
#include "storeadmin/ZoZI_Storage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <map>

namespace fs = std::filesystem;

namespace {

// A root folder on a drive folder, with its Conf naming `id` (none when id is INT_MIN).
std::string MakeRoot(const std::string& drive, const std::string& name, int id) {
    std::string folder = drive + "/" + name;
    fs::create_directories(folder);
    if (id != std::numeric_limits<int>::min()) {
        EXPECT_TRUE(kx::WritePrivateProfileString("BASE", "ID", std::to_string(id), folder + "/Conf"));
    }
    return folder;
}

struct Drives {
    TempDir dir;
    std::shared_ptr<FolderDriveSource> source = std::make_shared<FolderDriveSource>();
    std::string Add(char letter, uint32_t freeMB, uint32_t totalMB = 500000) {
        std::string folder = dir.file(std::string(1, letter));
        fs::create_directories(folder);
        source->Add(letter, folder, totalMB, freeMB);
        return folder;
    }
};

} // namespace

TEST(ZoZIStorage, PrefixFromKindWordAndScanThroughConf) {
    Drives d;
    std::string c = d.Add('C', 100);
    std::string e = d.Add('E', 200);
    MakeRoot(c, "KX_Storage_0", 0);
    MakeRoot(c, "kx_storage_old", 4);              // names match without regard to case
    MakeRoot(e, "KX_Storage_9", 9);
    MakeRoot(e, "KX_Storage_30", 30);              // id outside the table: ignored
    MakeRoot(e, "KX_Storage_noconf", std::numeric_limits<int>::min()); // no Conf: no root
    MakeRoot(e, "Other_Storage_1", 1);             // another prefix
    std::ofstream(e + "/KX_Storage_file") << "x";  // a file, not a folder

    ZoZI_Storage s(d.source);
    EXPECT_EQ(s.GetCount(), 0);
    EXPECT_EQ(s.Prepare("KX"), 1);
    EXPECT_EQ(s.GetPrefix(), "KX_Storage_");
    EXPECT_EQ(s.GetCount(), ZoZI_Storage::kRootCount);
    EXPECT_EQ(s.Scan(), 3);
    EXPECT_EQ(s.GetRootPath(0), c + "/KX_Storage_0");
    EXPECT_EQ(s.GetRootPath(4), c + "/kx_storage_old");
    EXPECT_EQ(s.GetRootPath(9), e + "/KX_Storage_9");
    EXPECT_EQ(s.GetRootDrive(9), 'E');
    EXPECT_EQ(s.GetEntry(9).id, 9);
    EXPECT_EQ(s.GetEntry(1).id, -1);
    for (int i : {1, 2, 3, 5, 25}) EXPECT_EQ(s.Exists(i), 0) << i;
    EXPECT_EQ(s.Exists(-1), 0);
    EXPECT_EQ(s.Exists(26), 0);
    EXPECT_EQ(s.GetRootPath(26), "");

    // Without a kind word the default prefix applies and these roots are not found.
    EXPECT_EQ(s.Prepare(""), 0);
    EXPECT_EQ(s.GetPrefix(), "FERROW_Storage_Root_");
    EXPECT_EQ(s.Scan(), 0);
}

TEST(ZoZIStorage, OneDriveCapacityGoesToTheLowestRootOnIt) {
    Drives d;
    std::string c = d.Add('C', 100);
    std::string dd = d.Add('D', 70);
    // Found first by name order, but id 5 is the higher table position.
    MakeRoot(c, "KX_Storage_a", 5);
    MakeRoot(c, "KX_Storage_b", 2);
    MakeRoot(dd, "KX_Storage_7", 7);
    ZoZI_Storage s(d.source);
    s.Prepare("KX");
    EXPECT_EQ(s.GetCapacity(2), 100u * 1024);
    EXPECT_EQ(s.GetCapacity(5), 0u);
    EXPECT_EQ(s.GetCapacity(7), 70u * 1024);
    EXPECT_EQ(s.Reserve(5, 1), 0); // the second root on a drive never takes files
    EXPECT_EQ(s.IsDriveInUse('c', 3), 1);
    EXPECT_EQ(s.IsDriveInUse('C', 2), 0); // only entries 0 and 1 are looked at
    EXPECT_EQ(s.IsDriveInUse('d', 26), 1);
    EXPECT_EQ(s.IsDriveInUse('E', 26), 0);
}

TEST(ZoZIStorage, CapacityAboveFourTebibytesIsClampedNotWrapped) {
    Drives d;
    std::string c = d.Add('C', 4u * 1024 * 1024); // 4 TiB free: 2^32 KB
    MakeRoot(c, "KX_Storage_0", 0);
    ZoZI_Storage s(d.source);
    s.Prepare("KX");
    EXPECT_EQ(s.GetCapacity(0), std::numeric_limits<uint32_t>::max());
    EXPECT_EQ(s.AddCapacity(0, 10), 1);
    EXPECT_EQ(s.GetCapacity(0), std::numeric_limits<uint32_t>::max());
    EXPECT_EQ(s.AddCapacity(26, 10), 0);
    EXPECT_EQ(s.AddCapacity(-1, 10), 0);
}

// Reserve over exact kilobyte capacities: a root with 0 MB free is filled with AddCapacity.
TEST(ZoZIStorage, ReserveKeepsTheFreeAndRemainingLimits) {
    struct Case {
        const char* what;
        int index;
        uint32_t freeKB;
        uint32_t sizeKB;
        int result;
        uint32_t after;
    };
    const Case cases[] = {
        {"51200 free takes nothing", 0, 51200, 1, 0, 51200},
        {"51201 free takes 1 KB", 0, 51201, 1, 1, 51200},
        {"51201 free takes an empty file", 0, 51201, 0, 1, 51201},
        {"leaving 20480 is refused", 0, 60000, 39520, 0, 60000},
        {"leaving 20481 succeeds", 0, 60000, 39519, 1, 20481},
        {"larger than free is refused, no wrap", 0, 60000, 70000, 0, 60000},
        {"largest size is refused", 0, 60000, std::numeric_limits<uint32_t>::max(), 0, 60000},
        {"empty slot", 3, 0, 1, 0, 0},
        {"index below the table", -1, 0, 1, 0, 0},
        {"index above the table", 26, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        Drives d;
        std::string drive = d.Add('C', 0);
        MakeRoot(drive, "KX_Storage_0", 0);
        ZoZI_Storage s(d.source);
        s.Prepare("KX");
        ASSERT_EQ(s.GetCapacity(0), 0u);
        s.AddCapacity(0, c.freeKB);
        EXPECT_EQ(s.Reserve(c.index, c.sizeKB), c.result) << c.what;
        if (c.index == 0) {
            EXPECT_EQ(s.GetCapacity(0), c.after) << c.what;
        }
    }
}

TEST(ZoZIStorage, ChooseBeginsAtTheRememberedRootAndWraps) {
    Drives d;
    // Three drives so each root has its own capacity; root 2 is nearly full.
    std::string c = d.Add('C', 100);
    std::string e = d.Add('E', 60);
    std::string f = d.Add('F', 100);
    MakeRoot(c, "KX_Storage_0", 0);
    MakeRoot(e, "KX_Storage_2", 2);
    MakeRoot(f, "KX_Storage_5", 5);
    ZoZI_Storage s(d.source);
    s.Prepare("KX");

    struct Case {
        const char* what;
        int remembered;
        uint32_t sizeKB;
        int chosen;
        int rememberedAfter;
    };
    const Case cases[] = {
        {"remembered root takes it, index kept", 2, 1, 2, 2},
        {"root 2 full: the next root after it", 2, 41000, 5, 5},
        {"wraps past 25 to root 0", 6, 1, 0, 0},
        {"no root can take it", 0, 200000, -1, 0},
    };
    for (const Case& k : cases) {
        ZoZI_Storage::SetRememberedIndex(k.remembered);
        EXPECT_EQ(s.ChooseRoot(k.sizeKB), k.chosen) << k.what;
        EXPECT_EQ(ZoZI_Storage::GetRememberedIndex(), k.rememberedAfter) << k.what;
    }

    // The edge case of the two usable roots 0 and 2: with 2 remembered and full, 0 is next.
    Drives d2;
    std::string c2 = d2.Add('C', 100);
    std::string e2 = d2.Add('E', 60);
    MakeRoot(c2, "KX_Storage_0", 0);
    MakeRoot(e2, "KX_Storage_2", 2);
    ZoZI_Storage s2(d2.source);
    s2.Prepare("KX");
    ZoZI_Storage::SetRememberedIndex(2);
    EXPECT_EQ(s2.ChooseRoot(41000), 0);
    EXPECT_EQ(ZoZI_Storage::GetRememberedIndex(), 0);
    EXPECT_EQ(s2.GetCapacity(0), 100u * 1024 - 41000);
    EXPECT_EQ(s2.GetCapacity(2), 60u * 1024);
    ZoZI_Storage::SetRememberedIndex(0);
}

TEST(ZoZIStorage, UsableRootNeedsMoreThanTheFreeLimit) {
    Drives d;
    std::string c = d.Add('C', 0);
    MakeRoot(c, "KX_Storage_1", 1);
    ZoZI_Storage s(d.source);
    EXPECT_EQ(s.HasUsableRoot(), 0); // before any scan
    s.Prepare("KX");
    EXPECT_EQ(s.HasUsableRoot(), 0);
    s.AddCapacity(1, 51200);
    EXPECT_EQ(s.HasUsableRoot(), 0);
    s.AddCapacity(1, 1);
    EXPECT_EQ(s.HasUsableRoot(), 1);
}

TEST(ZoZIStorage, CreateRootWritesConfAndFoldersAndDeleteRemovesAll) {
    Drives d;
    std::string c = d.Add('C', 100);
    d.Add('D', 100);
    ZoZI_Storage s(d.source);
    s.Prepare("KX");
    EXPECT_EQ(s.GetRootName(3), "KX_Storage_3");

    EXPECT_EQ(s.CreateRoot(3, "C:\\"), 1);
    std::string root = c + "/KX_Storage_3";
    EXPECT_EQ(s.GetRootPath(3), root);
    EXPECT_EQ(ZoZI_Storage::ReadRootID(root), 3);
    EXPECT_EQ(kx::GetPrivateProfileInt("BASE", "ID", -1, root + "/Conf"), 3);
    EXPECT_TRUE(fs::is_directory(root + "/File/Micro"));
    EXPECT_TRUE(fs::is_directory(root + "/File/Whole"));
    EXPECT_EQ(s.GetCapacity(3), 100u * 1024);
    EXPECT_EQ(s.GetRootDrive(3), 'C');

    // Refusals: outside the table, an occupied slot, a drive that is not present or not a drive.
    EXPECT_EQ(s.CreateRoot(26, "C:\\"), 0);
    EXPECT_EQ(s.CreateRoot(-1, "C:\\"), 0);
    EXPECT_EQ(s.CreateRoot(3, "D:\\"), 0);
    EXPECT_EQ(s.CreateRoot(4, "Q:\\"), 0);
    EXPECT_EQ(s.CreateRoot(4, "../x"), 0);
    EXPECT_FALSE(fs::exists(d.dir.file("D/KX_Storage_3")));
    EXPECT_FALSE(fs::exists(c + "/KX_Storage_26"));

    std::ofstream(root + "/File/Whole/12.jpg") << "content";
    EXPECT_EQ(s.DeleteRoot(3), 1);
    EXPECT_FALSE(fs::exists(root));
    EXPECT_EQ(s.Exists(3), 0);
    EXPECT_EQ(s.GetRootPath(3), "");
    EXPECT_EQ(s.DeleteRoot(3), 0); // nothing left to delete
    EXPECT_EQ(s.DeleteRoot(30), 0);
    EXPECT_TRUE(fs::is_directory(c)); // the drive itself stays
}

TEST(ZoZIStorage, CreateNeverTakesOverAnotherRootsFolder) {
    Drives d;
    std::string c = d.Add('C', 100);
    // The folder that slot 4 would get already is root 7 (renamed by hand).
    std::string other = MakeRoot(c, "KX_Storage_4", 7);
    MakeRoot(c, "KX_Storage_5", std::numeric_limits<int>::min()); // a leftover without Conf
    ZoZI_Storage s(d.source);
    s.Prepare("KX");
    ASSERT_EQ(s.GetRootPath(7), other);

    EXPECT_EQ(s.CreateRoot(4, "C:\\"), 0);
    EXPECT_EQ(ZoZI_Storage::ReadRootID(other), 7);
    EXPECT_EQ(s.GetRootPath(7), other);
    EXPECT_EQ(s.Exists(4), 0);
    // A folder that is no root yet is taken.
    EXPECT_EQ(s.CreateRoot(5, "C:\\"), 1);
    EXPECT_EQ(s.GetRootPath(5), c + "/KX_Storage_5");
    EXPECT_EQ(s.GetRootPath(7), other);
}

TEST(ZoZIStorage, DeletingALinkedRootNeverTouchesWhatItPointsAt) {
    Drives d;
    std::string c = d.Add('C', 100);
    std::string elsewhere = d.dir.file("elsewhere");
    fs::create_directories(elsewhere + "/File/Whole");
    kx::WritePrivateProfileString("BASE", "ID", "1", elsewhere + "/Conf");
    std::ofstream(elsewhere + "/File/Whole/keep.bin") << "keep";
    fs::create_directory_symlink(elsewhere, c + "/KX_Storage_1");
    ZoZI_Storage s(d.source);
    s.Prepare("KX");
    ASSERT_EQ(s.Exists(1), 1);
    EXPECT_EQ(s.DeleteRoot(1), 1);
    EXPECT_FALSE(fs::exists(fs::symlink_status(c + "/KX_Storage_1")));
    EXPECT_TRUE(fs::exists(elsewhere + "/File/Whole/keep.bin"));
}

// A machine whose drive map and sizes are chosen by the test.
class FakeMachine : public kx::DriveSource {
public:
    kx::DriveMap map;
    std::map<std::string, uint64_t> freeBytes;
    kx::DriveMap Map() const override { return map; }
    kx::DriveFacts Facts(const std::string& folder) const override {
        kx::DriveFacts f;
        auto it = freeBytes.find(folder);
        if (it == freeBytes.end()) return f;
        f.kind = kx::DriveKind::Fixed;
        f.sizesKnown = true;
        f.totalBytes = it->second * 2;
        f.freeBytes = it->second;
        f.fileSystem = "ext4";
        return f;
    }
};

TEST(ZoZIStorage, WithoutASourceTheHostInformationGivesTheDrives) {
    TempDir dir;
    auto machine = std::make_shared<FakeMachine>();
    machine->map[2] = dir.file("C");
    machine->map[4] = dir.file("E");
    machine->map[5] = dir.file("F"); // listed in the map, but not a drive
    fs::create_directories(dir.file("C"));
    fs::create_directories(dir.file("E"));
    machine->freeBytes[dir.file("C")] = 100ull << 20;
    machine->freeBytes[dir.file("E")] = (70ull << 20) + 1000; // MiB rounded down
    MakeRoot(dir.file("E"), "KX_Storage_6", 6);
    kx::SetDriveSource(machine);

    ZoZI_Storage s;
    EXPECT_EQ(s.Prepare("KX"), 0); // no root 0
    EXPECT_EQ(s.GetRootPath(6), dir.file("E") + "/KX_Storage_6");
    EXPECT_EQ(s.GetRootDrive(6), 'E');
    EXPECT_EQ(s.GetCapacity(6), 70u * 1024);
    auto drives = s.ListDrives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].root, "C:\\");
    EXPECT_EQ(drives[0].folder, dir.file("C"));
    EXPECT_EQ(drives[0].freeMB, 100u);
    EXPECT_EQ(drives[0].totalMB, 200u);
    EXPECT_EQ(s.CreateRoot(0, "C:\\"), 1);
    EXPECT_EQ(ZoZI_Storage::ReadRootID(dir.file("C") + "/KX_Storage_0"), 0);
    EXPECT_EQ(s.GetCapacity(0), 100u * 1024);

    kx::SetDriveSource(nullptr);
}

TEST(StorageDrive, RootTextsAndLetters) {
    EXPECT_EQ(StorageDrive::RootText('c'), "C:\\");
    EXPECT_EQ(StorageDrive::LetterOf("c:\\"), 'C');
    EXPECT_EQ(StorageDrive::LetterOf("Z:"), 'Z');
    EXPECT_EQ(StorageDrive::LetterOf("D"), 'D');
    EXPECT_EQ(StorageDrive::LetterOf("A:\\"), 0); // A and B are never drives here
    EXPECT_EQ(StorageDrive::LetterOf("C:\\x"), 0);
    EXPECT_EQ(StorageDrive::LetterOf(""), 0);
    EXPECT_EQ(StorageDrive::IndexOf('C'), 2);
    EXPECT_EQ(StorageDrive::IndexOf('z'), 25);
}

TEST(FolderDriveSource, ListsPresentFoldersInLetterOrderWithRealSizes) {
    TempDir dir;
    FolderDriveSource src;
    fs::create_directories(dir.file("e"));
    fs::create_directories(dir.file("c"));
    EXPECT_TRUE(src.Add('E', dir.file("e")));
    EXPECT_TRUE(src.Add('c', dir.file("c")));
    EXPECT_TRUE(src.Add('F', dir.file("missing")));
    EXPECT_FALSE(src.Add('B', dir.file("c")));
    auto drives = src.ListDrives();
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].letter, 'C');
    EXPECT_EQ(drives[0].root, "C:\\");
    EXPECT_EQ(drives[1].letter, 'E');
    EXPECT_GT(drives[0].totalMB, 0u);
    EXPECT_GE(drives[0].totalMB, drives[0].freeMB);
}
