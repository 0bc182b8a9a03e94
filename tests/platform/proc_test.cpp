#include "base/KxProc.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <filesystem>

TEST(KxProc, MemInfoParsing) {
    uint64_t total = 0, avail = 0;
    EXPECT_TRUE(kx::ParseMemInfo("MemTotal:       16316412 kB\nMemFree:  1000 kB\n"
                                 "MemAvailable:   12000000 kB\nBuffers: 5 kB\n",
                                 total, avail));
    EXPECT_EQ(total, 16316412u);
    EXPECT_EQ(avail, 12000000u);
    // Older kernels: no MemAvailable, so free + buffers + cached.
    EXPECT_TRUE(kx::ParseMemInfo("MemTotal: 800 kB\nMemFree: 100 kB\nBuffers: 20 kB\nCached: 300 kB\n"
                                 "SwapCached: 999 kB\n",
                                 total, avail));
    EXPECT_EQ(total, 800u);
    EXPECT_EQ(avail, 420u);
    total = avail = 7;
    EXPECT_FALSE(kx::ParseMemInfo("MemFree: 100 kB\n", total, avail));
    EXPECT_FALSE(kx::ParseMemInfo("", total, avail));
    EXPECT_EQ(total, 7u);

    ASSERT_TRUE(kx::ReadMemInfo(total, avail));
    EXPECT_GT(total, 0u);
    EXPECT_LE(avail, total);
}

TEST(KxProc, CpuTimesAndLoad) {
    kx::CpuTimes t;
    ASSERT_TRUE(kx::ParseCpuTimes("cpu  10 1 20 100 5 2 3 4 50 60\ncpu0 1 1 1 1 1\n", t));
    EXPECT_EQ(t.idle, 105u);             // idle + iowait
    EXPECT_EQ(t.total, 145u);            // the first eight fields (guest is inside user)
    EXPECT_FALSE(kx::ParseCpuTimes("intr 5 6\n", t));
    EXPECT_FALSE(kx::ParseCpuTimes("cpu  1 2\n", t));

    struct Case {
        kx::CpuTimes a, b;
        uint32_t load;
    } cases[] = {
        {{100, 200}, {150, 300}, 50},
        {{0, 0}, {0, 300}, 100},
        {{0, 0}, {300, 300}, 0},
        {{0, 0}, {2, 3}, 33},          // 33.3 rounds down
        {{0, 0}, {1, 3}, 67},          // 66.7 rounds up
        {{10, 100}, {10, 100}, 0xFFFFFFFFu}, // no time passed
        {{10, 100}, {5, 200}, 0xFFFFFFFFu},  // counters went backwards
    };
    for (const Case& c : cases) EXPECT_EQ(kx::CpuLoadPercent(c.a, c.b), c.load) << c.b.idle << "/" << c.b.total;

    ASSERT_TRUE(kx::ReadCpuTimes(t));
    EXPECT_GT(t.total, 0u);
}

TEST(KxProc, ProcessCountCountsNumericEntriesOnly) {
    TempDir d;
    for (const char* n : {"1", "42", "self", "4x", "net"}) std::filesystem::create_directory(d.path() / n);
    std::ofstream(d.file("77")) << "";
    EXPECT_EQ(kx::CountProcesses(d.str()), 3);
    EXPECT_EQ(kx::CountProcesses(d.file("missing")), -1);
    EXPECT_GT(kx::CountProcesses(), 0);
}

TEST(KxProc, ExecutablePathAndName) {
    std::string exe = kx::ExePath();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.substr(exe.rfind('/') + 1), "platform_proc_test");
    EXPECT_EQ(kx::ExeDir(), exe.substr(0, exe.rfind('/')));
    EXPECT_EQ(kx::AppName(), "platform_proc_test");
    kx::SetAppName("VarniaServer");
    EXPECT_EQ(kx::AppName(), "VarniaServer");
    kx::SetAppName("");
    EXPECT_EQ(kx::AppName(), "platform_proc_test");
}
