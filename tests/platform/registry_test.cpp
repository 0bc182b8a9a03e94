#include "base/KxIni.h"
#include "base/KxRegistry.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

TEST(KxRegistry, TypedValuesRoundTrip) {
    TempDir d;
    kx::RegistryStore reg(d.file("varnia/Studio.ini"));
    const std::string key = "Software\\Varnia\\Studio";
    ASSERT_TRUE(reg.WriteString(key, "Server", "192.168.1.20"));
    ASSERT_TRUE(reg.WriteDword(key, "Port", 8800));
    const unsigned char blob[] = {0x00, 0xFF, 0x10, 0x41};
    ASSERT_TRUE(reg.WriteBinary(key, "Window", blob, sizeof blob));

    kx::RegistryStore again(d.file("varnia/Studio.ini"));
    std::string s;
    uint32_t v = 0;
    EXPECT_TRUE(again.ReadString("software\\VARNIA\\studio", "server", s)); // any case, like keys
    EXPECT_EQ(s, "192.168.1.20");
    EXPECT_TRUE(again.ReadDword(key, "Port", v));
    EXPECT_EQ(v, 8800u);
    EXPECT_TRUE(again.ReadBinary(key, "Window", s));
    EXPECT_EQ(s, std::string("\x00\xFF\x10\x41", 4));
    // Binary reads give every type's bytes: a text with its NUL, a number little-endian.
    EXPECT_TRUE(again.ReadBinary(key, "Port", s));
    EXPECT_EQ(s, std::string("\x60\x22\x00\x00", 4));
    EXPECT_TRUE(again.ReadBinary(key, "Server", s));
    EXPECT_EQ(s, std::string("192.168.1.20\0", 13));

    // Another type or a missing value reads as nothing and leaves the out value alone.
    v = 5;
    EXPECT_FALSE(again.ReadDword(key, "Server", v));
    EXPECT_FALSE(again.ReadDword(key, "Missing", v));
    EXPECT_FALSE(again.ReadDword("Other\\Key", "Port", v));
    EXPECT_EQ(v, 5u);
    s = "keep";
    EXPECT_FALSE(again.ReadString(key, "Port", s));
    EXPECT_EQ(s, "keep");
}

TEST(KxRegistry, TextsThatAnIniLineCannotHoldSurvive) {
    TempDir d;
    kx::RegistryStore reg(d.file("r.ini"));
    for (std::string text : {std::string("two\nlines"), std::string("tail  "), std::string(" lead"),
                             std::string("图像 库"), std::string(""), std::string("a=b;c[d]")}) {
        ASSERT_TRUE(reg.WriteString("K", "v", text));
        std::string back;
        ASSERT_TRUE(reg.ReadString("K", "v", back));
        EXPECT_EQ(back, text);
    }
}

TEST(KxRegistry, EmptyNamesAreRefusedAndTouchNothing) {
    TempDir d;
    kx::RegistryStore reg(d.file("r.ini"));
    EXPECT_FALSE(reg.WriteString("K", "", "x"));
    EXPECT_FALSE(reg.WriteDword("", "n", 1));
    EXPECT_FALSE(reg.WriteBinary("K", "n", nullptr, 3));
    EXPECT_FALSE(std::filesystem::exists(d.file("r.ini")));
}

TEST(KxRegistry, DefaultStoreLivesInTheConfigFolder) {
    ::setenv("XDG_CONFIG_HOME", "/home/u/cfg", 1);
    EXPECT_EQ(kx::RegistryStore::DefaultPath(), "/home/u/cfg/varnia/platform_registry_test.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/home/v", 1);
    EXPECT_EQ(kx::RegistryStore::DefaultPath(), "/home/v/.config/varnia/platform_registry_test.ini");
}

TEST(KxRegistry, ValueNamesListInStoredOrderAndValuesCanBeRemoved) {
    TempDir d;
    kx::RegistryStore reg(d.file("varnia/Studio.ini"));
    const std::string key = "SOFTWARE\\Program\\Studio";
    EXPECT_TRUE(reg.ValueNames(key).empty());
    for (const char* name : {"File2", "File0", "File1"}) ASSERT_TRUE(reg.WriteString(key, name, name));
    ASSERT_TRUE(reg.WriteDword(key, "Count", 3));
    EXPECT_EQ(reg.ValueNames(key), (std::vector<std::string>{"File2", "File0", "File1", "Count"}));
    EXPECT_TRUE(reg.DeleteValue(key, "file0")); // names match in any case
    EXPECT_FALSE(reg.DeleteValue(key, "File0"));
    EXPECT_FALSE(reg.DeleteValue(key, ""));
    EXPECT_EQ(kx::RegistryStore(d.file("varnia/Studio.ini")).ValueNames(key),
              (std::vector<std::string>{"File2", "File1", "Count"}));
}
