#include "colour/CColorItem.h"
#include "colour/ColorDistance.h"
#include "colour/ColorList.h"
#include "colour/ColorSpace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ColorValue Rgb(int r, int g, int b) { return ColorFromRgb(r, g, b); }

CColorItem Item(ColorValue c, int tag = 0)
{
    CColorItem i;
    i.SetColor(c);
    i.tag1 = tag;
    return i;
}

CColorItem CmykItem(int c, int m, int y, int k)
{
    CColorItem i;
    i.color = PackCmyk(c, m, y, k);
    i.isCmyk = 1;
    return i;
}

std::vector<int> Tags(const std::vector<CColorItem>& list)
{
    std::vector<int> t;
    for (const CColorItem& i : list) t.push_back(i.tag1);
    return t;
}

std::vector<int> Tags(const ColorItemPtrList& list)
{
    std::vector<int> t;
    for (const auto& p : list) t.push_back(p ? p->tag1 : -1);
    return t;
}

// Colours with their HSV keys (hue, saturation, value).
const ColorValue kDarkRed = Rgb(128, 0, 0); // 0, 255, 128
const ColorValue kPaleRed = Rgb(255, 128, 128); // 0, 127, 255
const ColorValue kRed = Rgb(255, 0, 0); // 0, 255, 255
const ColorValue kGreen = Rgb(0, 255, 0); // 120
const ColorValue kBlue = Rgb(0, 0, 255); // 240
const ColorValue kHue359 = Rgb(255, 0, 4); // 359, 255, 255

TEST(ColourList, InsertByHueKeepsHueValueSaturationOrder)
{
    const std::vector<ColorValue> ordered = {kDarkRed, kPaleRed, kRed, kGreen, kBlue};
    struct Case {
        const char* what;
        std::vector<ColorValue> list;
        ColorValue added;
        size_t at;
    };
    const Case cases[] = {
        {"into an empty list", {}, kRed, 0},
        {"by hue", ordered, Rgb(255, 255, 0), 3},
        {"by value within a hue", ordered, Rgb(200, 0, 0), 1},
        {"by saturation within hue and value", ordered, Rgb(255, 200, 200), 1},
        {"before an equal element", ordered, kRed, 2},
        {"hue 359 goes last", ordered, kHue359, 5},
    };
    for (const Case& c : cases) {
        std::vector<ColorValue> list = c.list;
        InsertByHue(list, c.added);
        ASSERT_EQ(list.size(), c.list.size() + 1) << c.what;
        EXPECT_EQ(list[c.at], c.added) << c.what;
        std::vector<ColorValue> rest = list;
        rest.erase(rest.begin() + static_cast<long>(c.at));
        EXPECT_EQ(rest, c.list) << c.what;
    }

    // Among several equal keys the new item goes before the first of them.
    std::vector<CColorItem> items = {Item(kDarkRed, 1), Item(kRed, 2), Item(kRed, 3), Item(kBlue, 4)};
    InsertByHue(items, Item(kRed, 9));
    EXPECT_EQ(Tags(items), (std::vector<int>{1, 9, 2, 3, 4}));
}

TEST(ColourList, PointerListsDropNullsAndOwnTheirItems)
{
    ColorItemPtrList list;
    list.push_back(nullptr);
    list.push_back(std::make_unique<CColorItem>(Item(kBlue, 1)));
    list.push_back(nullptr);
    list.push_back(std::make_unique<CColorItem>(Item(kRed, 2)));
    InsertByHue(list, Item(kGreen, 3));
    EXPECT_EQ(Tags(list), (std::vector<int>{3, 1, 2})); // placed before the first element of higher hue

    ColorItemPtrList sortable;
    sortable.push_back(std::make_unique<CColorItem>(Item(kBlue, 1)));
    sortable.push_back(nullptr);
    sortable.push_back(std::make_unique<CColorItem>(Item(kRed, 2)));
    sortable.push_back(nullptr);
    sortable.push_back(std::make_unique<CColorItem>(Item(kDarkRed, 3)));
    const CColorItem* red = sortable[2].get();
    SortItemPointersByHsv(sortable);
    EXPECT_EQ(Tags(sortable), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(sortable[1].get(), red); // the same items, not copies

    FlaggedQuadPtrList quads;
    quads.push_back(std::make_unique<FlaggedColorQuad>(1, 0, 0, 2.0, 0));
    quads.push_back(nullptr);
    quads.push_back(std::make_unique<FlaggedColorQuad>(2, 0, 0, 1.0, 7));
    quads.push_back(std::make_unique<FlaggedColorQuad>(3, 0, 0, 1.0, 5));
    SortFlaggedQuads(quads);
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[0]->quad.c1, 3);
    EXPECT_EQ(quads[1]->quad.c1, 2);
    EXPECT_EQ(quads[2]->quad.c1, 1);
    EXPECT_EQ(quads[1]->flags, 7u);
}

TEST(ColourList, SelectNearestMovesTheNearestFirst)
{
    // Distances to black: 30, 10, 10, 20.
    const std::vector<CColorItem> source = {Item(Rgb(30, 0, 0), 1), Item(Rgb(10, 0, 0), 2), Item(Rgb(0, 10, 0), 3),
                                            Item(Rgb(20, 0, 0), 4)};
    struct Case {
        const char* what;
        std::vector<CColorItem> source;
        int count;
        std::vector<int> result;
        std::vector<int> left;
    };
    const Case cases[] = {
        {"more than there are", source, 10, {2, 3, 4, 1}, {}},
        {"two, the earlier of equal distances first", source, 2, {2, 3}, {1, 4}},
        {"none", source, 0, {}, {1, 2, 3, 4}},
        {"negative copies all", source, -1, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"from an empty source", {}, 3, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<CColorItem> src = c.source;
        std::vector<CColorItem> result = {Item(kBlue, 99)};
        SelectNearest(Rgb(0, 0, 0), src, result, c.count);
        EXPECT_EQ(Tags(result), c.result) << c.what;
        EXPECT_EQ(Tags(src), c.left) << c.what;
    }
}

TEST(ColourList, ItemsAnswerForTheColourTheyStandFor)
{
    EXPECT_EQ(CmykItem(0, 0, 0, 255).GetColor(), 0u);
    EXPECT_EQ(CmykItem(255, 0, 0, 0).GetColor(), Rgb(0, 255, 255));
    EXPECT_EQ(CmykItem(10, 20, 30, 40).GetCmyk(), ColorQuad(10, 20, 30, 40)); // the packed bytes as given
    EXPECT_EQ(Item(kBlue).GetLab(), ColorQuad(49, 108, -140, 0));
    EXPECT_EQ(Item(kBlue).GetHsv(), ColorQuad(240, 255, 255, 0));

    CColorItem full = CmykItem(1, 2, 3, 4);
    full.tag1 = 5;
    full.tag2 = 6;
    full.text1 = "a";
    full.text2 = "b";
    CColorItem copy;
    copy.Assign(full);
    EXPECT_EQ(copy.text2, "b");
    EXPECT_EQ(copy.tag2, 6);
    EXPECT_EQ(copy.isCmyk, 1);
    copy.SetColor(kRed);
    EXPECT_EQ(copy.isCmyk, 0);
    EXPECT_EQ(copy.GetColor(), kRed);
    copy.Clear();
    EXPECT_EQ(copy.color, 0u);
    EXPECT_EQ(copy.tag1, 0);
    EXPECT_TRUE(copy.text1.empty());

    const std::vector<CColorItem> list = {Item(kRed), CmykItem(255, 0, 0, 0)};
    EXPECT_EQ(ContainsColor(list, Item(Rgb(0, 255, 255))), 1);
    EXPECT_EQ(ContainsColor(list, Item(kGreen)), 0);
}

TEST(ColourList, DistancesAndTests)
{
    struct Case {
        const char* what;
        double got;
        double want;
    };
    const Case cases[] = {
        {"hue does not wrap", HsvDistance(Item(kRed), Item(kHue359)), 359},
        {"weighted hue", HsvWeightedDistance(Item(kRed), Item(kHue359)), std::sqrt(50.0) * 359},
        {"weighted value", HsvWeightedDistance(Item(Rgb(0, 0, 0)), Item(Rgb(10, 10, 10))), std::sqrt(200.0)},
        {"rgb", RgbDistance(Item(Rgb(0, 0, 0)), Item(Rgb(3, 4, 0))), 5},
        {"cmyk", CmykDistance(Item(Rgb(0, 0, 0)), Item(Rgb(255, 255, 255))), 255},
        {"xyz", XyzDistance(Item(Rgb(0, 0, 0)), Item(Rgb(255, 255, 255))), std::sqrt(242.0 * 242 + 2 * 255 * 255)},
        {"lab", LabDistance(Item(Rgb(0, 0, 0)), Item(Rgb(255, 255, 255))), std::sqrt(142.0 * 142 + 7 * 7)},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(c.got, c.want) << c.what;

    EXPECT_EQ(ColorsWithinTolerance(10, 20, 30, 12, 20, 27, 2, 0, 3), 1);
    EXPECT_EQ(ColorsWithinTolerance(10, 20, 30, 12, 20, 27, 1, 0, 3), 0);
    EXPECT_EQ(ColorsWithinTolerance(INT32_MIN, 0, 0, 0, INT32_MAX, 0, 0, 0, 5, 5, 5, 5), 0);
    EXPECT_EQ(ColorsWithinTolerance(1, 2, 3, 4, 1, 2, 3, 5, 0, 0, 0, 1), 1);

    EXPECT_EQ(ColorInRangeHsv(Item(kRed), 0, 255, 255, 0, 255, 255), 1); // ends included
    EXPECT_EQ(ColorInRangeRgb(Item(kRed), 0, 0, 0, 254, 255, 255), 0);
    EXPECT_EQ(ColorInRangeCmyk(CmykItem(10, 20, 30, 40), 10, 20, 30, 40, 10, 20, 30, 40), 1);
    EXPECT_EQ(ColorInRangeXyz(Item(Rgb(255, 255, 255)), 242, 255, 255, 242, 255, 255), 1);
    EXPECT_EQ(ColorInRangeLab(Item(kBlue), 0, 0, -141, 100, 200, -139), 1);
    EXPECT_EQ(ColorInRangeLab(Item(kBlue), 0, 0, 0, 100, 200, 255), 0);
}

TEST(ColourList, CloserOfWeighsSaturationAndValueThenFallsBack)
{
    const CColorItem target = Item(Rgb(200, 100, 100), 0);  // s 127, v 200
    const CColorItem same = Item(Rgb(200, 100, 100), 1);    // weight 0
    const CColorItem a = Item(Rgb(197, 96, 96), 2);         // s 130, v 197: weight 468, s + v 327
    const CColorItem b = Item(Rgb(203, 104, 104), 3);       // s 124, v 203: weight 468, s + v 327
    const CColorItem c = Item(Rgb(197, 101, 101), 4);       // s 124, v 197: weight 468, s + v 321
    ASSERT_EQ(a.GetHsv(), ColorQuad(0, 130, 197, 0));
    ASSERT_EQ(b.GetHsv(), ColorQuad(0, 124, 203, 0));
    ASSERT_EQ(c.GetHsv(), ColorQuad(0, 124, 197, 0));
    struct Case {
        const CColorItem& first;
        const CColorItem& second;
        int winner;
    };
    const Case cases[] = {
        {a, same, 1}, {same, a, 1}, // smaller weight
        {a, c, 4},    {c, a, 4},    // equal weights: smaller s + v
        {a, b, 2},    {b, a, 2},    // equal sums too: smaller v
    };
    for (const Case& k : cases)
        EXPECT_EQ(CloserOf(target, k.first, k.second).tag1, k.winner) << k.first.tag1 << " vs " << k.second.tag1;
}

TEST(ColourList, SortOrdersByKeyOneThenThreeThenTwo)
{
    std::vector<ColorQuadF> records = {
        {1.0, 5.0, 2.0, 0.0}, {1.0, 3.0, 2.0, 1.0}, {0.0, 9.0, 9.0, 2.0}, {1.0, 0.0, 3.0, 3.0}, {kNaN, 0.0, 0.0, 4.0},
        {1.0, 7.0, 1.0, 5.0}, {-1.0, 0.0, 0.0, 6.0}, {2.0, 0.0, kNaN, 7.0}, {2.0, 0.0, 1.0, 8.0},
    };
    SortColorTable(records);
    std::vector<int> ids;
    for (const ColorQuadF& r : records) ids.push_back(static_cast<int>(r.c4));
    EXPECT_EQ(ids, (std::vector<int>{6, 2, 5, 1, 0, 3, 8, 7, 4}));

    std::vector<ColorQuadF> none;
    SortColorQuadList(none);
    EXPECT_TRUE(none.empty());

    std::vector<FlaggedColorQuad> flagged = {{0, 0, 0, 2.0, 1}, {0, 0, 0, 1.0, 5}, {0, 0, 0, 1.0, 2}, {0, 0, 0, -3.0, 0}};
    SortFlaggedQuads(flagged);
    std::vector<uint32_t> flags;
    for (const FlaggedColorQuad& q : flagged) flags.push_back(q.flags);
    EXPECT_EQ(flags, (std::vector<uint32_t>{0, 2, 5, 1}));
}

// The sort and the insertion keep one order: hue, value, saturation.
TEST(ColourList, SortByHsvMatchesInsertionOrder)
{
    std::vector<CColorItem> items;
    for (int r = 0; r <= 255; r += 51)
        for (int g = 0; g <= 255; g += 51)
            for (int b = 0; b <= 255; b += 51) items.push_back(Item(Rgb(r, g, b)));
    std::shuffle(items.begin(), items.end(), std::mt19937(7));

    std::vector<CColorItem> inserted;
    for (const CColorItem& i : items) InsertByHue(inserted, i);
    SortItemsByHsv(items);
    ASSERT_EQ(items.size(), inserted.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const ColorQuad a = items[i].GetHsv(), b = inserted[i].GetHsv();
        EXPECT_EQ(a, b) << i;
        if (i > 0) {
            const ColorQuad p = items[i - 1].GetHsv();
            EXPECT_TRUE(std::tie(p.c1, p.c3, p.c2) <= std::tie(a.c1, a.c3, a.c2)) << i;
        }
    }
}

// Ordered, reversed and all-equal tables are the cases a first-element pivot turns quadratic and
// n calls deep; they must sort quickly and without exhausting the stack.
TEST(ColourList, LargeOrderedTablesSortWithoutDeepRecursion)
{
    const size_t n = 100000;
    std::vector<ColorQuadF> ordered, reversed, equal(n, ColorQuadF(1.0, 1.0, 1.0, 1.0));
    for (size_t i = 0; i < n; ++i) {
        ordered.emplace_back(double(i), 0.0, double(i % 7), 0.0);
        reversed.emplace_back(double(n - i), 0.0, 0.0, 0.0);
    }
    SortColorTable(ordered);
    SortColorTable(reversed);
    SortColorTable(equal);
    for (size_t i = 1; i < n; ++i) {
        ASSERT_LT(ordered[i - 1].c1, ordered[i].c1);
        ASSERT_LT(reversed[i - 1].c1, reversed[i].c1);
    }
}

} // namespace
