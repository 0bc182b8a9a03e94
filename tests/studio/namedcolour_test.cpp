#include "colour/CNamedColorLibrary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

Rgb Row(const CNamedColor& c) { return {c.red, c.green, c.blue}; }

TEST(NamedColour, TablesHoldEveryRowAsShipped)
{
    const CNamedColorLibrary lib;
    const auto& cn = lib.ChineseTable();
    const auto& bi = lib.BilingualTable();
    ASSERT_EQ(cn.size(), 160u);
    ASSERT_EQ(bi.size(), 140u);

    EXPECT_EQ(cn.front().name, "粉红");
    EXPECT_EQ(Row(cn.front()), (Rgb{255, 179, 167}));
    EXPECT_EQ(cn.back().name, "老银");
    EXPECT_EQ(Row(cn.back()), (Rgb{186, 202, 198}));
    for (const CNamedColor& c : cn) EXPECT_TRUE(c.englishName.empty()) << c.name;

    EXPECT_EQ(bi.front().englishName, "LightPink");
    EXPECT_EQ(bi.back().name, "纯黑");
    // Rows whose odd texts and values are kept as they are.
    struct Odd {
        size_t index;
        const char* name;
        const char* english;
        Rgb rgb;
    };
    const Odd odd[] = {
        {9, "XX", "Thistle", {216, 191, 216}},
        {12, "洋红", "Magenta", {255, 0, 255}},
        {13, "灯笼海棠(紫红色)", "Fuchsia", {255, 0, 255}},
        {34, "淡钢蓝", "LightSteeBlue", {176, 196, 222}},
        {35, "浅石板灰", "LightSlateGray", {119, 136, 222}},
        {48, "苍白绿宝石", "PaleTurauoise", {175, 238, 238}},
        {49, "青色", "Cyan", {0, 255, 255}},
        {50, "水绿色", "Aqua", {0, 255, 255}},
        {135, "银白色", "Sliver", {192, 192, 192}},
    };
    for (const Odd& o : odd) {
        EXPECT_EQ(bi[o.index].name, o.name) << o.index;
        EXPECT_EQ(bi[o.index].englishName, o.english) << o.index;
        EXPECT_EQ(Row(bi[o.index]), o.rgb) << o.index;
    }
}

TEST(NamedColour, LookUpsSearchTheChineseTableOnly)
{
    const CNamedColorLibrary lib;
    struct ByRgb {
        Rgb rgb;
        const char* name;
    };
    const ByRgb byRgb[] = {
        {{255, 179, 167}, "粉红"},
        {{255, 192, 203}, ""},   // the web Pink stands only in the bilingual table
        {{74, 66, 102}, "黛"},   // earlier of the two rows with that value
        {{186, 202, 198}, "老银"},
        {{255, 179, 168}, ""},
    };
    for (const ByRgb& c : byRgb) EXPECT_EQ(lib.GetNameByRgb(c.rgb.r, c.rgb.g, c.rgb.b), c.name) << c.name;

    struct ByName {
        const char* name;
        Rgb want;
    };
    const ByName byName[] = {
        {"粉红", {255, 179, 167}},  // the Chinese row, not the web Pink of the same name
        {"黛螺", {74, 66, 102}},
        {"Pink", {-1, -2, -3}},      // English names are not searched: outputs unchanged
        {"浅粉红", {-1, -2, -3}},     // a bilingual-only name
        {"粉", {-1, -2, -3}},        // whole-text comparison
        {"", {-1, -2, -3}},
    };
    for (const ByName& c : byName) {
        Rgb got{-1, -2, -3};
        lib.GetRgbByName(c.name, got.r, got.g, got.b);
        EXPECT_EQ(got, c.want) << c.name;
    }
}

} // namespace
