#include "base/KxIni.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using kx::IniFile;

TEST(IniFile, ReadsWithDefaultsAndCaseInsensitiveNames) {
    IniFile ini;
    ini.FromText("; leading comment\n[SRV_INFO]\r\nName = 主服务器 \nPort=8800\nBad=12x\n[DB_CONF]\nKind=2\n");
    EXPECT_EQ(ini.GetString("srv_info", "name"), "主服务器");
    EXPECT_EQ(ini.GetInt("SRV_INFO", "Port", 1), 8800);
    EXPECT_EQ(ini.GetInt("SRV_INFO", "Bad", 7), 12); // a leading number is read like atoi
    EXPECT_EQ(ini.GetInt("SRV_INFO", "Missing", 7), 7);
    EXPECT_EQ(ini.GetString("NOPE", "Name", "dflt"), "dflt");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"SRV_INFO", "DB_CONF"}));
    EXPECT_EQ(ini.Keys("srv_info"), (std::vector<std::string>{"Name", "Port", "Bad"}));
}

TEST(IniFile, WritesKeepOrderCommentsAndSurviveReload) {
    TempDir dir;
    std::string path = dir.file("sub/app.ini");
    EXPECT_FALSE(IniFile(path).HasSection("A")); // missing file: empty
    ASSERT_TRUE(kx::WritePrivateProfileString("BASE", "ID", "3", path));
    ASSERT_TRUE(kx::WritePrivateProfileString("BASE", "Note", "line1\nline2", path));
    ASSERT_TRUE(kx::WritePrivateProfileString("base", "id", "4", path));
    EXPECT_EQ(kx::GetPrivateProfileInt("BASE", "ID", -1, path), 4);
    EXPECT_EQ(kx::GetPrivateProfileString("BASE", "Note", "", path), "line1 line2");

    IniFile ini(path);
    EXPECT_TRUE(ini.RemoveKey("BASE", "Note"));
    EXPECT_FALSE(ini.RemoveKey("BASE", "Note"));
    ini.SetInt("OTHER", "X", -5);
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(IniFile(path).ToText(), "[BASE]\nID=4\n[OTHER]\nX=-5\n");
    EXPECT_TRUE(ini.RemoveSection("other"));
    EXPECT_FALSE(ini.HasSection("OTHER"));
}

TEST(IniFile, SaveToUnwritablePlaceFailsAndKeepsFile) {
    TempDir dir;
    std::string path = dir.file("keep.ini");
    { std::ofstream(path) << "[A]\nk=v\n"; }
    IniFile ini(path);
    ini.SetString("A", "k", "w");
    EXPECT_FALSE(ini.Save("/proc/varnia-no-such/x.ini"));
    EXPECT_EQ(IniFile(path).GetString("A", "k"), "v");
}
