#include "base/KxDrives.h"
#include "base/KxIni.h"
#include "base/KxProc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

TEST(KxDrives, FileSystemKinds) {
    struct Case {
        const char* type;
        kx::DriveKind kind;
    } cases[] = {
        {"ext4", kx::DriveKind::Fixed},       {"xfs", kx::DriveKind::Fixed},
        {"tmpfs", kx::DriveKind::Fixed},      {"overlay", kx::DriveKind::Fixed},
        {"nfs", kx::DriveKind::Network},      {"nfs4", kx::DriveKind::Network},
        {"cifs", kx::DriveKind::Network},     {"smb3", kx::DriveKind::Network},
        {"fuse.sshfs", kx::DriveKind::Network}, {"ceph", kx::DriveKind::Network},
    };
    for (const Case& c : cases) EXPECT_EQ(kx::KindOfFileSystem(c.type), c.kind) << c.type;
}

TEST(KxDrives, MountOfAFolderIsTheLongestMatchingMountPoint) {
    const char* mounts =
        "/dev/vda / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/vdb /data xfs rw 0 0\n"
        "server:/share /data/net nfs4 rw 0 0\n"
        "/dev/vdc /mnt/my\\040disk btrfs rw 0 0\n"
        "/dev/vdd /srv ext4 rw 0 0\n"
        "tmpfs /srv tmpfs rw 0 0\n"; // mounted over /srv: the later one is what is seen
    struct Case {
        const char* folder;
        const char* type;
    } cases[] = {
        {"/", "ext4"},          {"/home/x", "ext4"},     {"/data", "xfs"},
        {"/data/a/b", "xfs"},   {"/datafoo", "ext4"},    {"/data/net", "nfs4"},
        {"/data/net/x", "nfs4"}, {"/data/network", "xfs"}, {"/mnt/my disk/p", "btrfs"},
        {"/srv/x", "tmpfs"},
    };
    for (const Case& c : cases) {
        std::string type;
        EXPECT_TRUE(kx::FileSystemOf(mounts, c.folder, type)) << c.folder;
        EXPECT_EQ(type, c.type) << c.folder;
    }
    std::string type;
    EXPECT_FALSE(kx::FileSystemOf("/dev/vdb /data xfs rw 0 0\n", "/home", type));
}

TEST(KxDrives, DriveMapFromTheDrivesSection) {
    kx::IniFile ini;
    kx::DriveMap m = kx::DriveMapFromIni(ini, "/srv/varnia");
    for (int i = 0; i < 26; ++i) EXPECT_EQ(m[i], i == 2 ? "/srv/varnia" : "") << i;

    ini.FromText("[drives]\nA=/floppy\nC=/media/store\nd=/mnt/nas\nE=roots\nF=\nZ=/z\n");
    m = kx::DriveMapFromIni(ini, "/srv/varnia");
    EXPECT_EQ(m[0], "");                  // A and B are never drives
    EXPECT_EQ(m[2], "/media/store");
    EXPECT_EQ(m[3], "/mnt/nas");          // keys match in any case
    EXPECT_EQ(m[4], "/srv/varnia/roots"); // relative to the data folder
    EXPECT_EQ(m[5], "");
    EXPECT_EQ(m[25], "/z");
}

TEST(KxDrives, DataFolderAndDefaultMap) {
    ::setenv("VARNIA_HOME", "/var/lib/varnia", 1);
    EXPECT_EQ(kx::DataFolder(), "/var/lib/varnia");
    EXPECT_EQ(kx::CurrentDriveMap()[2], "/var/lib/varnia");
    ::unsetenv("VARNIA_HOME");
    EXPECT_FALSE(kx::DataFolder().empty());
    EXPECT_EQ(kx::DataFolder(), kx::ExeDir()); // beside the program

    kx::DriveMap set;
    set[3] = "/x";
    kx::SetDriveMap(set);
    EXPECT_EQ(kx::CurrentDriveMap()[3], "/x");
    EXPECT_EQ(kx::CurrentDriveMap()[2], "");
}

TEST(KxDrives, SystemFactsOfRealFolders) {
    TempDir d;
    kx::SystemDriveSource sys;
    kx::DriveFacts f = sys.Facts(d.str());
    EXPECT_NE(f.kind, kx::DriveKind::None);
    EXPECT_TRUE(f.sizesKnown);
    EXPECT_GT(f.totalBytes, 0u);
    EXPECT_LE(f.freeBytes, f.totalBytes);
    EXPECT_FALSE(f.fileSystem.empty());

    std::ofstream(d.file("plain")) << "x";
    EXPECT_EQ(sys.Facts(d.file("plain")).kind, kx::DriveKind::None);
    EXPECT_EQ(sys.Facts(d.file("missing")).kind, kx::DriveKind::None);
    EXPECT_EQ(sys.Facts("").kind, kx::DriveKind::None);
}
