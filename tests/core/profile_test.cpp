#include "model/CkxProfile.h"
#include "model/CkxwFileSystem.h"
#include "base/KxProc.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
using Strings = std::vector<std::string>;
} // namespace

TEST(CkxProfile, WhichIniFileACallUses) {
    CkxProfile p;
    std::string exe = kx::ExePath();
    std::string dir = exe.substr(0, exe.rfind('/'));
    EXPECT_EQ(CkxProfile::GetAppDir(), dir);
    EXPECT_EQ(CkxProfile::GetAppProfilePath(), dir + "/core_profile_test.ini");
    EXPECT_EQ(p.IniFileFor(""), dir + "/core_profile_test.ini");
    kx::SetAppName("VarniaServer");
    EXPECT_EQ(p.IniFileFor(""), dir + "/VarniaServer.ini");
    kx::SetAppName("");

    TempDir d;
    p.Ini_SetFilePath(d.file("set.ini"));
    EXPECT_EQ(p.Ini_Write("S", "k", "from set path"), 1);
    EXPECT_EQ(p.Ini_Write("S", "k", "from argument", d.file("arg.ini")), 1);
    // The argument wins for that one call only.
    EXPECT_EQ(p.Ini_Read("S", "k", "", d.file("arg.ini")), "from argument");
    EXPECT_EQ(p.Ini_Read("S", "k", ""), "from set path");
    CkxProfile copy = p;
    EXPECT_EQ(copy.Ini_Read("S", "k", "none"), "from set path");
}

TEST(CkxProfile, ReadsFollowPrivateProfileRules) {
    TempDir d;
    std::string f = d.file("srv.ini");
    std::ofstream(f) << "; settings\n[SRV_INFO]\nSRV_NAME = Main Store \nsrv_name=second\nEmpty=\n"
                        "Port=8800\nHex=0x1F\nNeg=-12abc\nText=abc\n[srv_info]\nSRV_ADDR=late\n";
    CkxProfile p;
    p.Ini_SetFilePath(f);
    EXPECT_EQ(p.Ini_Read("srv_info", "srv_name", "def"), "Main Store"); // any case, first match
    EXPECT_EQ(p.Ini_Read("SRV_INFO", "SRV_ADDR", "def"), "def");        // the first section holds
    EXPECT_EQ(p.Ini_Read("SRV_INFO", "Missing", "def"), "def");
    EXPECT_EQ(p.Ini_Read("Nowhere", "SRV_NAME", "def"), "def");
    EXPECT_EQ(p.Ini_Read("SRV_INFO", "Empty", "def"), "");
    EXPECT_EQ(p.Ini_Read("SRV_INFO", "x", "d", d.file("missing.ini")), "d");

    struct Case {
        const char* key;
        int def;
        int value;
    } ints[] = {{"Port", 0, 8800}, {"Hex", 0, 31}, {"Neg", 0, -12}, {"Text", 5, 0}, {"Empty", 5, 5}, {"Missing", 5, 5}};
    for (const Case& c : ints) EXPECT_EQ(p.Ini_Read("SRV_INFO", c.key, c.def), c.value) << c.key;

    // A single value comes through a 1000-byte buffer.
    EXPECT_EQ(p.Ini_Write("Long", "v", std::string(1500, 'x')), 1);
    EXPECT_EQ(p.Ini_Read("Long", "v", ""), std::string(999, 'x'));
}

TEST(CkxProfile, WritesKeepTheFileAndGoThroughARename) {
    TempDir d;
    std::string f = d.file("a.ini");
    std::ofstream(f) << "; keep me\n[DB_CONF]\nDB_TYPE=2\n[SRV_INFO]\nSRV_NAME=x\n";
    CkxProfile p;
    EXPECT_EQ(p.Ini_Write("db_conf", "DB_TYPE", 1, f), 1);
    EXPECT_EQ(p.Ini_Write("SRV_INFO", "SRV_DEPT", "图像部", f), 1);
    EXPECT_EQ(FileBytes(f), "; keep me\n[DB_CONF]\nDB_TYPE=1\n[SRV_INFO]\nSRV_NAME=x\nSRV_DEPT=图像部\n");
    // No temporary file is left beside it.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(d.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
    EXPECT_EQ(p.Ini_Write("", "k", "v", f), 0);
    EXPECT_EQ(p.Ini_Write("S", "k", "v", d.file("sub/dir/new.ini")), 1); // folders are made
}

TEST(CkxProfile, StructValuesCarryAChecksum) {
    TempDir d;
    CkxProfile p;
    p.Ini_SetFilePath(d.file("s.ini"));
    struct Rect {
        int32_t l, t, r, b;
    } in{10, 20, -1, 400}, out{};
    ASSERT_EQ(p.Ini_Write("Win", "Rect", &in, sizeof in), 1);
    // 16 bytes as hex, then the sum of the bytes modulo 256.
    EXPECT_EQ(p.Ini_Read("Win", "Rect", ""), "0A00000014000000FFFFFFFF90010000AB");
    unsigned n = sizeof out;
    ASSERT_EQ(p.Ini_Read("Win", "Rect", &out, n), 1);
    EXPECT_EQ(out.l, 10);
    EXPECT_EQ(out.b, 400);

    Rect keep{1, 2, 3, 4};
    unsigned small = 8;
    EXPECT_EQ(p.Ini_Read("Win", "Rect", &keep, small), 0); // another size is refused
    p.Ini_Write("Win", "Rect", "0A00000014000000FFFFFFFF90010000AC");
    EXPECT_EQ(p.Ini_Read("Win", "Rect", &keep, n), 0);     // a wrong checksum is refused
    p.Ini_Write("Win", "Rect", "zz");
    EXPECT_EQ(p.Ini_Read("Win", "Rect", &keep, n), 0);
    EXPECT_EQ(p.Ini_Read("Win", "Missing", &keep, n), 0);
    EXPECT_EQ(keep.l, 1);
}

TEST(CkxProfile, SectionListsAndWholeSectionWrites) {
    TempDir d;
    std::string f = d.file("l.ini");
    std::ofstream(f) << "[Zeta]\nA=1\nB=2\n[alpha]\nx=y=z\n[Mid]\n";
    CkxProfile p;
    p.Ini_SetFilePath(f);
    Strings out{"stale"};
    EXPECT_EQ(p.Ini_ReadSect(out), 3);
    EXPECT_EQ(out, (Strings{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(p.Ini_ReadKeyAndValue("zeta", out), 2);
    EXPECT_EQ(out, (Strings{"A=1", "B=2"}));
    EXPECT_EQ(p.Ini_ReadKey("Zeta", out), 2);
    EXPECT_EQ(out, (Strings{"A", "B"}));
    EXPECT_EQ(p.Ini_ReadKey("alpha", out), 1);
    EXPECT_EQ(out, (Strings{"x"}));
    EXPECT_EQ(p.Ini_ReadKey("none", out), 0);
    EXPECT_TRUE(out.empty());

    EXPECT_EQ(p.Ini_WriteKey("Zeta", std::string("C=3\0D=4\0\0ignored=1\0", 20)), 1);
    EXPECT_EQ(p.Ini_ReadKeyAndValue("Zeta", out), 2);
    EXPECT_EQ(out, (Strings{"C=3", "D=4"}));
    EXPECT_EQ(p.Ini_WriteKey("alpha", std::string("\0", 1)), 1);
    EXPECT_EQ(p.Ini_ReadKey("alpha", out), 0);
    EXPECT_EQ(p.Ini_ReadSect(out), 3);
    // Rewritten sections stay where they were; a new one goes at the end.
    EXPECT_EQ(out, (Strings{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(p.Ini_WriteKey("New", std::string("k=v\0\0", 5)), 1);
    EXPECT_EQ(p.Ini_ReadSect(out), 4);
    EXPECT_EQ(out.back(), "New");
    EXPECT_EQ(p.Ini_Read("New", "k", ""), "v");

    // Section names come through a 30,000-byte list: what does not fit is cut off.
    std::string big = d.file("big.ini");
    {
        std::ofstream o(big);
        for (int i = 0; i < 400; ++i) o << "[" << std::string(99, 'a' + i % 26) << "]\nk=v\n";
    }
    EXPECT_EQ(p.Ini_ReadSect(out, big), 300);
    EXPECT_EQ(out.back().size(), 98u);
}

TEST(CkxProfile, RegistrySide) {
    TempDir d;
    ::setenv("XDG_CONFIG_HOME", d.str().c_str(), 1);
    std::string store = d.file("varnia/core_profile_test.ini");
    CkxProfile p;
    p.Reg_SetDefaultDir("Software\\Varnia\\Console");

    EXPECT_EQ(p.Reg_Write("", "x"), 0);
    EXPECT_EQ(p.Reg_Write("", 5), 0);
    EXPECT_FALSE(std::filesystem::exists(store)); // nothing touched
    EXPECT_EQ(p.Reg_Read("Port", 8800), 8800);     // missing: the default
    EXPECT_EQ(p.Reg_Read("Port", 8800u), 8800u);

    EXPECT_EQ(p.Reg_Write("Server", "store.local"), 1);
    EXPECT_EQ(p.Reg_Write("Port", 9900), 1);
    EXPECT_EQ(p.Reg_Write("Mask", 0xFFFFFFFFu), 1);
    const unsigned char blob[3] = {1, 2, 3};
    EXPECT_EQ(p.Reg_Write("Blob", blob, 3), 1);
    EXPECT_TRUE(std::filesystem::exists(store));

    EXPECT_EQ(p.Reg_Read("Server", 256, "def"), "store.local");
    EXPECT_EQ(p.Reg_Read("Server", 11, "def"), "def"); // the text and its NUL need 12 bytes
    EXPECT_EQ(p.Reg_Read("Server", 12, "def"), "store.local");
    EXPECT_EQ(p.Reg_Read("Port", 0), 9900);
    EXPECT_EQ(p.Reg_Read("Mask", -1), -1);
    EXPECT_EQ(p.Reg_Read("Server", 7), 7); // a text is not a number

    unsigned char buf[4] = {9, 9, 9, 9};
    EXPECT_EQ(p.Reg_Read("Blob", buf, 4), 1);
    EXPECT_EQ(buf[2], 3);
    EXPECT_EQ(buf[3], 9);
    EXPECT_EQ(p.Reg_Read("Blob", buf, 2), 0); // does not fit
    EXPECT_EQ(p.Reg_Read("None", buf, 4), 0);

    CkxProfile other; // another key of the same program sees nothing of these
    other.Reg_SetDefaultDir("Software\\Varnia\\Studio");
    EXPECT_EQ(other.Reg_Read("Server", 256, "none"), "none");
    CkxProfile noKey;
    EXPECT_EQ(noKey.Reg_Write("Server", "x"), 0);
    ::unsetenv("XDG_CONFIG_HOME");
}
