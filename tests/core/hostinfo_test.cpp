#include "model/CkxHostInfo.h"
#include "base/Gbk.h"
#include "base/KxDrives.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>

namespace {

constexpr uint64_t MiB = 1ull << 20;
constexpr uint64_t GiB = 1ull << 30;

// A machine described by hand: folder -> what the machine says about it.
class FakeDrives : public kx::DriveSource {
public:
    kx::DriveMap map;
    std::map<std::string, kx::DriveFacts> facts;
    kx::DriveMap Map() const override { return map; }
    kx::DriveFacts Facts(const std::string& folder) const override {
        auto it = facts.find(folder);
        return it == facts.end() ? kx::DriveFacts{} : it->second;
    }
    void Add(char letter, const std::string& folder, kx::DriveKind kind, uint64_t total, uint64_t free,
             const std::string& fs, bool sizesKnown = true) {
        map[letter - 'A'] = folder;
        facts[folder] = kx::DriveFacts{kind, sizesKnown, total, free, fs};
    }
};

class HostInfoDrives : public ::testing::Test {
protected:
    std::shared_ptr<FakeDrives> fake = std::make_shared<FakeDrives>();
    void SetUp() override { kx::SetDriveSource(fake); }
    void TearDown() override { kx::SetDriveSource(nullptr); }
};

std::string Field(const char* p, size_t n) { return std::string(p, n); }

} // namespace

TEST_F(HostInfoDrives, OnlyFixedAndNetworkDrivesFromCOnward) {
    fake->Add('A', "/floppy", kx::DriveKind::Fixed, GiB, GiB, "vfat"); // A and B are never looked at
    fake->Add('C', "/srv/c", kx::DriveKind::Fixed, 300 * GiB, 51200 * MiB, "ext4");
    fake->map[3] = "/media/cdrom"; // D: no facts (like an optical drive without a disc): skipped
    CkxHostInfo::_DRIVE table[26];
    std::memset(table, 0x5A, sizeof table);
    ASSERT_EQ(CkxHostInfo::GetDriverInfo(table), 1);
    EXPECT_STREQ(table[0].szRoot, "C:\\");
    EXPECT_STREQ(table[0].szType, "Fixed drive");
    EXPECT_EQ(table[0].nTotalMB, 307200u);
    EXPECT_EQ(table[0].nFreeMB, 51200u);
    EXPECT_STREQ(table[0].szFileSystem, "ext4");
    for (int i = 1; i < 26; ++i) EXPECT_EQ(Field(reinterpret_cast<const char*>(&table[i]), 60), std::string(60, '\0')) << i;

    CkxHostInfo::_DRIVE e {};
    EXPECT_EQ(CkxHostInfo::GetDiskInfo('d', e), 0);
    EXPECT_EQ(CkxHostInfo::GetDiskFreeCapacity('d'), 0u);
    EXPECT_EQ(CkxHostInfo::GetDiskFreeCapacity('c'), 51200u);
}

TEST_F(HostInfoDrives, KindsSizesAndFileSystemNames) {
    fake->Add('Z', "/net/z", kx::DriveKind::Network, 10 * GiB + MiB - 1, MiB - 1, "nfs4");
    fake->Add('D', "/data", kx::DriveKind::Fixed, 5 * MiB, 0, "fuse.sshfx"); // 10 characters: left empty
    fake->Add('E', "/e", kx::DriveKind::Fixed, 0, 0, "xfs", false);           // sizes unreadable
    fake->Add('F', "/f", kx::DriveKind::Fixed, 1ull << 60, 1ull << 60, "btrfs"); // beyond 32 bits
    CkxHostInfo::_DRIVE t[26];
    ASSERT_EQ(CkxHostInfo::GetDriverInfo(t), 4);
    // Letter order, whatever order they were configured in.
    EXPECT_STREQ(t[0].szRoot, "D:\\");
    EXPECT_STREQ(t[0].szFileSystem, "");
    EXPECT_EQ(t[0].nTotalMB, 5u);
    EXPECT_STREQ(t[1].szRoot, "E:\\");
    EXPECT_EQ(t[1].nTotalMB, 0u);
    EXPECT_EQ(t[1].nFreeMB, 0u);
    EXPECT_EQ(t[2].nTotalMB, 0xFFFFFFFFu);
    EXPECT_STREQ(t[3].szRoot, "Z:\\");
    EXPECT_STREQ(t[3].szType, "Network drive");
    EXPECT_EQ(t[3].nTotalMB, 10240u); // rounded down
    EXPECT_EQ(t[3].nFreeMB, 0u);

    CkxHostInfo::_DRIVE z {};
    ASSERT_EQ(CkxHostInfo::GetDiskInfo('z', z), 1);
    EXPECT_EQ(std::memcmp(&z, &t[3], sizeof z), 0);
    std::memset(z.szFileSystem, 'x', sizeof z.szFileSystem);
    CkxHostInfo::DetermineVolumeInfo(z);
    EXPECT_STREQ(z.szFileSystem, "nfs4");
    EXPECT_EQ(CkxHostInfo::GetDiskInfo('Q', z), 0);
}

TEST_F(HostInfoDrives, SnapshotClearsAndFillsTheRecord) {
    fake->Add('C', "/srv/c", kx::DriveKind::Fixed, 2 * GiB, GiB, "ext4");
    CkxHostInfo info;
    EXPECT_GT(info.m_tmStart.wYear, 2000);
    info.m_drives[5].nFreeMB = 99;
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(CkxHostInfo::GetCurSystemInfo(info), 1);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(ms, 900); // the load is measured over about a second
    EXPECT_EQ(info.m_tmStart.wYear, 0);
    EXPECT_EQ(info.m_drives[5].nFreeMB, 0u);
    EXPECT_STREQ(info.m_drives[0].szRoot, "C:\\");
    EXPECT_GT(info.m_nMemTotal, 0u);
    EXPECT_LE(info.m_nMemAvail, info.m_nMemTotal);
    EXPECT_TRUE(info.m_nCpu <= 100 || info.m_nCpu == CkxHostInfo::kCpuUnknown);
    EXPECT_GT(info.m_nProcesses, 0u);
}

TEST(CkxHostInfo, GoldenBytes) {
    CkxHostInfo h;
    h.m_nMemTotal = 0x00100000;
    h.m_nMemAvail = 0x00080000;
    h.m_nCpu = 37;
    h.m_nProcesses = 212;
    kx::PutText(h.m_drives[0].szRoot, "C:\\");
    kx::PutText(h.m_drives[0].szType, "Fixed drive");
    h.m_drives[0].nTotalMB = 307200;
    h.m_drives[0].nFreeMB = 51200;
    kx::PutText(h.m_drives[0].szFileSystem, "ext4");
    h.m_tmStart = {2026, 12, 4, 10, 13, 5, 9, 250};

    std::string e(1616, '\0');
    auto u32 = [&e](size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i) e[off + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&e](size_t off, uint16_t v) {
        e[off] = static_cast<char>(v & 0xFF);
        e[off + 1] = static_cast<char>(v >> 8);
    };
    u32(8, 0x00100000);
    u32(12, 0x00080000);
    u32(16, 37);
    u32(20, 212);
    e.replace(24, 3, "C:\\");
    e.replace(32, 11, "Fixed drive");
    u32(64, 307200);
    u32(68, 51200);
    e.replace(72, 4, "ext4");
    const uint16_t st[8] = {2026, 12, 4, 10, 13, 5, 9, 250};
    for (int i = 0; i < 8; ++i) u16(1600 + 2 * i, st[i]);
    EXPECT_EQ(kx::RecordBytes(h.GetComData()), e);

    CkxHostInfo::_COM com;
    ASSERT_TRUE(kx::ReadRecord(e.data(), e.size(), com));
    CkxHostInfo back;
    back.SetComData(com);
    EXPECT_EQ(back.m_nProcesses, 212u);
    EXPECT_EQ(back.m_drives[0].nFreeMB, 51200u);
    EXPECT_EQ(back.m_tmStart.wMilliseconds, 250);
    EXPECT_FALSE(kx::ReadRecord(e.data(), 1615, com));
}

TEST(CkxHostInfo, RunTimeGrowsFromTheStartTime) {
    CkxHostInfo h;
    double t = h.GetProgramRunTime();
    EXPECT_GE(t, 0.0);
    EXPECT_LT(t, 1.0 / 24);
    h.m_tmStart.wHour = static_cast<uint16_t>(h.m_tmStart.wHour >= 1 ? h.m_tmStart.wHour - 1 : 0);
    if (h.m_tmStart.wHour > 0) EXPECT_NEAR(h.GetProgramRunTime(), 1.0 / 24, 0.001);
}

TEST(CkxHostInfo, SmokeOnThisMachine) {
    TempDir d;
    kx::DriveMap map;
    map[2] = d.str();
    kx::SetDriveMap(map);
    CkxHostInfo::_DRIVE t[26];
    ASSERT_EQ(CkxHostInfo::GetDriverInfo(t), 1);
    EXPECT_STREQ(t[0].szRoot, "C:\\");
    EXPECT_TRUE(std::string(t[0].szType) == "Fixed drive" || std::string(t[0].szType) == "Network drive");
    EXPECT_GT(t[0].nTotalMB, 0u);
    EXPECT_LE(t[0].nFreeMB, t[0].nTotalMB);
    EXPECT_GT(CkxHostInfo::GetMemoryTotal(), 0u);
    EXPECT_GT(CkxHostInfo::GetNumberOfProcess(), 0u);
    uint32_t cpu = CkxHostInfo::GetCpuOccupancy();
    EXPECT_TRUE(cpu <= 100) << cpu;
    map[2] = d.file("gone");
    kx::SetDriveMap(map);
    EXPECT_EQ(CkxHostInfo::GetDriverInfo(t), 0);
}
