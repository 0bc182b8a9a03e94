#include "base/Gbk.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kx;

TEST(Gbk, RoundTripsAsciiAndChinese) {
    // "中文" is D6 D0 CE C4 in GBK.
    EXPECT_EQ(ToGbk("中文"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(FromGbk("\xD6\xD0\xCE\xC4"), "中文");
    EXPECT_EQ(FromGbk(ToGbk("abc 超级管理 x")), "abc 超级管理 x");
    EXPECT_EQ(GbkLength("超级管理"), 8u);
}

TEST(Gbk, CharactersWithoutGbkFormBecomeQuestionMarks) {
    EXPECT_FALSE(HasGbkForm("a😀b"));
    EXPECT_TRUE(HasGbkForm("中文abc"));
    EXPECT_EQ(ToGbk("a😀b"), "a?b");
    EXPECT_EQ(ToGbk("a\xFF" "b"), "a?b"); // invalid UTF-8 byte
}

TEST(Gbk, CutDoubleByteAtEndIsDroppedOnRead) {
    EXPECT_EQ(FromGbk("ab\xD6"), "ab");
    EXPECT_EQ(FromGbk("\xD6\xD0\xCE"), "中");
}

struct FixedCase {
    const char* text;
    size_t width;
    const char* expectGbk; // bytes before the NUL
};

TEST(Gbk, FixedWriterCutsAtCharacterBoundaryAndAlwaysTerminates) {
    const FixedCase cases[] = {
        {"abc", 8, "abc"},
        {"abcdefgh", 8, "abcdefg"},                  // width-1 bytes then NUL
        {"中文", 5, "\xD6\xD0\xCE\xC4"},             // exactly fits
        {"中文", 4, "\xD6\xD0"},                     // second character would need byte 3 and 4
        {"a中文", 5, "a\xD6\xD0"},                   // cut inside the second character
        {"", 4, ""},
    };
    for (const FixedCase& c : cases) {
        char field[16];
        std::memset(field, 0x55, sizeof field);
        PutFixedText(field, c.width, c.text);
        EXPECT_STREQ(field, c.expectGbk) << c.text << " in " << c.width;
        for (size_t i = std::strlen(c.expectGbk); i < c.width; ++i)
            EXPECT_EQ(field[i], 0) << "byte " << i << " of " << c.text << " is zeroed";
        EXPECT_EQ(static_cast<unsigned char>(field[c.width]), 0x55) << "nothing past the width";
    }
}

TEST(Gbk, FixedReaderStopsAtWidthWithoutNul) {
    char field[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(GetFixedText(field, 4), "abcd");
    char cut[3] = {'a', '\xD6', '\xD0'};
    EXPECT_EQ(GetFixedText(cut, 3), "a中");
    char half[2] = {'a', '\xD6'};
    EXPECT_EQ(GetFixedText(half, 2), "a");
}

TEST(Gbk, FitTextGivesWhatSurvivesTheField) {
    EXPECT_EQ(FitText("中文字", 6), "中文");
    EXPECT_EQ(FitText("abc", 50), "abc");
    EXPECT_EQ(CutUtf8("中文", 4), "中"); // 3 bytes a character in UTF-8
}
