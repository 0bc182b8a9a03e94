#include "colour/ColorFeatures.h"
#include "image/CxImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

namespace {

struct Px {
    uint8_t r, g, b;
};

// A picture of w x h whose pixel (x, y), top row first, is fill(x, y).
CxImage MakeImage(int w, int h, const std::function<Px(int, int)>& fill)
{
    std::vector<uint8_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Px p = fill(x, y);
            px.insert(px.end(), {p.r, p.g, p.b});
        }
    CxImage img;
    EXPECT_TRUE(img.CreateFromArray(px.data(), uint32_t(w), uint32_t(h), 24, uint32_t(w) * 3)) << img.GetLastError();
    return img;
}

CxImage Solid(int w, int h, Px p) { return MakeImage(w, h, [p](int, int) { return p; }); }

CxImage RandomImage()
{
    std::mt19937 rng(11);
    return MakeImage(64, 64, [&rng](int, int) { return Px{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())}; });
}

// The eight corners of the RGB cube, one pixel each.
CxImage Corners()
{
    return MakeImage(8, 1, [](int x, int) {
        return Px{uint8_t(x & 1 ? 255 : 0), uint8_t(x & 2 ? 255 : 0), uint8_t(x & 4 ? 255 : 0)};
    });
}

// Counter buffers with guard zones on both sides, so a write outside a buffer shows.
constexpr int32_t kGuard = 0x5A5A5A5A;
constexpr int kGuardSize = 64;

struct Guarded {
    explicit Guarded(int n) : size(n), store(size_t(n + 2 * kGuardSize), kGuard) {}
    int32_t* data() { return store.data() + kGuardSize; }
    bool GuardsIntact() const
    {
        return std::all_of(store.begin(), store.begin() + kGuardSize, [](int32_t v) { return v == kGuard; }) &&
               std::all_of(store.end() - kGuardSize, store.end(), [](int32_t v) { return v == kGuard; });
    }
    bool Untouched() const { return std::all_of(store.begin(), store.end(), [](int32_t v) { return v == kGuard; }); }
    int64_t Sum() const { return std::accumulate(store.begin() + kGuardSize, store.end() - kGuardSize, int64_t(0)); }
    int32_t Max() const { return *std::max_element(store.begin() + kGuardSize, store.end() - kGuardSize); }
    int32_t operator[](int i) const { return store[size_t(kGuardSize + i)]; }

    int size;
    std::vector<int32_t> store;
};

struct HistogramCase {
    const char* name;
    std::vector<int> sizes;
    std::function<int(const CxImage*, std::vector<int32_t*>&)> run;
};

const std::vector<HistogramCase>& Histograms()
{
    static const std::vector<HistogramCase> cases = {
        {"RgbGray", {256, 256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramRgbGray(i, b[0], b[1], b[2], b[3]); }},
        {"Inverse", {256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramInverse(i, b[0], b[1], b[2]); }},
        {"Cmyk", {256, 256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramCmyk(i, b[0], b[1], b[2], b[3]); }},
        {"Hsv", {361, 256, 256}, [](const CxImage* i, auto& b) { return HistogramHsv(i, b[0], b[1], b[2]); }},
        {"Hsl240", {241, 241, 241}, [](const CxImage* i, auto& b) { return HistogramHsl240(i, b[0], b[1], b[2]); }},
        {"Yuv", {256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramYuv(i, b[0], b[1], b[2]); }},
        {"Yiq", {256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramYiq(i, b[0], b[1], b[2]); }},
        {"YCbCr", {256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramYCbCr(i, b[0], b[1], b[2]); }},
        {"Xyz", {256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramXyz(i, b[0], b[1], b[2]); }},
        {"Lab", {256, 256, 256}, [](const CxImage* i, auto& b) { return HistogramLab(i, b[0], b[1], b[2]); }},
    };
    return cases;
}

struct TableDeleter {
    void operator()(ColorTableEntry* t) const { std::free(t); }
};
using Table = std::unique_ptr<ColorTableEntry, TableDeleter>;

TEST(ColourFeatures, EveryHistogramStaysInsideItsBuffersAndCountsEveryPixel)
{
    const CxImage images[] = {RandomImage(), Corners()};
    for (const CxImage& image : images) {
        const int64_t pixels = int64_t(image.GetWidth()) * image.GetHeight();
        for (const HistogramCase& h : Histograms()) {
            std::vector<Guarded> buffers;
            for (int n : h.sizes) buffers.emplace_back(n);
            std::vector<int32_t*> ptrs;
            for (Guarded& g : buffers) ptrs.push_back(g.data());
            const int largest = h.run(&image, ptrs);
            int32_t most = 0;
            for (size_t k = 0; k < buffers.size(); ++k) {
                EXPECT_TRUE(buffers[k].GuardsIntact()) << h.name << " buffer " << k;
                EXPECT_EQ(buffers[k].Sum(), pixels) << h.name << " buffer " << k;
                most = std::max(most, buffers[k].Max());
            }
            EXPECT_EQ(largest, most) << h.name;
        }
    }
}

TEST(ColourFeatures, HistogramsPutKnownColoursInTheirBins)
{
    const CxImage red = Solid(10, 10, {255, 0, 0});
    Guarded hue(361), sat(256), val(256);
    EXPECT_EQ(HistogramHsv(&red, hue.data(), sat.data(), val.data()), 100);
    EXPECT_EQ(hue[0], 100);
    EXPECT_EQ(sat[255], 100);
    EXPECT_EQ(val[255], 100);

    // Pure blue has b about -140: the lowest bin, not a write below the buffer.
    const CxImage corners = Corners();
    Guarded l(256), a(256), b(256);
    HistogramLab(&corners, l.data(), a.data(), b.data());
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(l[142], 1); // white

    // Green's YIQ I is -69: its low byte, 187.
    const CxImage green = Solid(2, 2, {0, 255, 0});
    Guarded y(256), i(256), q(256);
    HistogramYiq(&green, y.data(), i.data(), q.data());
    EXPECT_EQ(i[187], 4);
    EXPECT_EQ(q[123], 4);

    // Null buffers are skipped; the others still count.
    Guarded grey(256);
    EXPECT_EQ(HistogramRgbGray(&red, nullptr, nullptr, nullptr, grey.data()), 100);
    EXPECT_EQ(grey[(255 * 306) >> 10], 100);
}

TEST(ColourFeatures, ColorTableCountsDistinctColours)
{
    const CxImage one = Solid(40, 30, {10, 20, 30});
    int colours = -1, largest = -1;
    Table table(BuildColorTable(&one, colours, largest));
    ASSERT_TRUE(table);
    EXPECT_EQ(colours, 1);
    EXPECT_EQ(largest, 1200);
    EXPECT_EQ(GetEntryRed(table.get()), 10);
    EXPECT_EQ(GetEntryGreen(table.get()), 20);
    EXPECT_EQ(GetEntryBlue(table.get()), 30);
    EXPECT_EQ(GetEntryCount(table.get()), 1200);

    // Two shades of red in different amounts: two entries in hue 0, whatever their pixel counts.
    const CxImage shades = MakeImage(40, 30, [](int x, int) { return x < 3 ? Px{255, 0, 0} : Px{128, 0, 0}; });
    Table t2(BuildColorTable(&shades, colours, largest));
    ASSERT_TRUE(t2);
    ASSERT_EQ(colours, 2);
    EXPECT_EQ(largest, 1110);
    EXPECT_EQ(t2.get()[0].red, 128); // most pixels first
    EXPECT_EQ(t2.get()[1].count, 90);
    Guarded hue(361);
    EXPECT_EQ(HueHistogram(t2.get(), colours, hue.data()), 1);
    EXPECT_EQ(hue[0], 2);
    EXPECT_EQ(hue.Sum(), 2);

    Guarded sat(256), val(256);
    std::vector<ColorQuad> records = {ColorQuad(9, 9, 9, 9)};
    EXPECT_EQ(HueSatValHistograms(t2.get(), colours, 0, sat.data(), val.data(), records), 1);
    EXPECT_EQ(records, (std::vector<ColorQuad>{{0, 255, 128, 0}, {0, 255, 255, 0}}));
    EXPECT_EQ(sat[255], 2);
    EXPECT_EQ(val[128], 1);
    EXPECT_EQ(ValueHistogramOfHue(t2.get(), colours, 0, val.data()), 1);
    EXPECT_EQ(val[255], 1);
    EXPECT_EQ(val.Sum(), 2);
    EXPECT_EQ(SatHistogramOfHueValue(t2.get(), colours, 0, 128, sat.data()), 1);
    EXPECT_EQ(sat.Sum(), 1);
    EXPECT_EQ(HueSatValHistograms(t2.get(), colours, 120, sat.data(), val.data(), records), 1);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(sat.Sum() + val.Sum(), 0);
}

// Equal counts come out by red, green, blue, and the same table comes from any arrangement.
TEST(ColourFeatures, TiesInTheTableHaveOneOrder)
{
    std::vector<Px> colours;
    for (int i = 0; i < 200; ++i) colours.push_back({uint8_t(i % 5 * 50), uint8_t(i / 5 % 8 * 30), uint8_t(i / 40 * 60)});
    auto arranged = [&colours](unsigned seed) {
        std::vector<Px> p;
        for (const Px& c : colours) p.insert(p.end(), 4, c); // every colour 4 times
        std::shuffle(p.begin(), p.end(), std::mt19937(seed));
        return MakeImage(40, 20, [p](int x, int y) { return p[size_t(y * 40 + x)]; });
    };
    std::vector<std::array<int, 4>> first;
    for (unsigned seed : {1u, 2u, 3u}) {
        const CxImage img = arranged(seed);
        int n = 0, largest = 0;
        Table t(BuildColorTable(&img, n, largest));
        ASSERT_TRUE(t);
        ASSERT_EQ(n, 200);
        std::vector<std::array<int, 4>> rows;
        for (int i = 0; i < n; ++i) rows.push_back({t.get()[i].red, t.get()[i].green, t.get()[i].blue, t.get()[i].count});
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
        if (first.empty())
            first = rows;
        else
            EXPECT_EQ(rows, first) << seed;
    }
}

TEST(ColourFeatures, SharesAreOfTheSums)
{
    const ColorTableEntry redBlue[] = {{255, 0, 0, 7}, {0, 0, 255, 1}};
    const ColorTableEntry black[] = {{0, 0, 0, 5}, {0, 0, 0, 1}};
    const ColorTableEntry white[] = {{255, 255, 255, 3}};
    double r = -1, g = -1, b = -1, k = -1;
    EXPECT_EQ(RgbShares(redBlue, 2, r, g, b), 1);
    EXPECT_DOUBLE_EQ(r, 50);
    EXPECT_DOUBLE_EQ(g, 0);
    EXPECT_DOUBLE_EQ(b, 50);
    EXPECT_EQ(RgbShares(black, 2, r, g, b), 1);
    EXPECT_EQ(r + g + b, 0);

    double c = -1, m = -1, y = -1;
    EXPECT_EQ(CmykShares(redBlue, 2, c, m, y, k), 1); // red (0,255,255,0), blue (255,255,0,0)
    EXPECT_DOUBLE_EQ(c, 25);
    EXPECT_DOUBLE_EQ(m, 50);
    EXPECT_DOUBLE_EQ(y, 25);
    EXPECT_DOUBLE_EQ(k, 0);
    EXPECT_EQ(CmykShares(white, 1, c, m, y, k), 1);
    EXPECT_EQ(c + m + y + k, 0);
}

TEST(ColourFeatures, BadInputReturnsItsFailureAndWritesNothing)
{
    const CxImage invalid;
    const CxImage good = Solid(4, 4, {1, 2, 3});
    for (const CxImage* image : {static_cast<const CxImage*>(nullptr), &invalid}) {
        for (const HistogramCase& h : Histograms()) {
            std::vector<Guarded> buffers;
            for (int n : h.sizes) buffers.emplace_back(n);
            std::vector<int32_t*> ptrs;
            for (Guarded& g : buffers) ptrs.push_back(g.data());
            EXPECT_EQ(h.run(image, ptrs), 0) << h.name;
            for (const Guarded& g : buffers) EXPECT_TRUE(g.Untouched()) << h.name;
        }
        int n = -7, largest = -7;
        EXPECT_EQ(BuildColorTable(image, n, largest), nullptr);
        EXPECT_EQ(n, -7);
        EXPECT_EQ(largest, -7);
    }
    for (const HistogramCase& h : Histograms()) {
        std::vector<int32_t*> none(h.sizes.size(), nullptr);
        EXPECT_EQ(h.run(&good, none), 0) << h.name;
    }

    const ColorTableEntry entry[] = {{255, 0, 0, 1}};
    Guarded buf(361), other(256);
    std::vector<ColorQuad> records = {ColorQuad(1, 2, 3, 4)};
    struct Case {
        const char* what;
        std::function<int()> run;
    };
    const Case cases[] = {
        {"hue, null table", [&] { return HueHistogram(nullptr, 1, buf.data()); }},
        {"hue, count 0", [&] { return HueHistogram(entry, 0, buf.data()); }},
        {"hue, null buffer", [&] { return HueHistogram(entry, 1, nullptr); }},
        {"hsv, null table", [&] { return HueSatValHistograms(nullptr, 1, 0, buf.data(), other.data(), records); }},
        {"hsv, null buffer", [&] { return HueSatValHistograms(entry, 1, 0, buf.data(), nullptr, records); }},
        {"hsv, count 0", [&] { return HueSatValHistograms(entry, 0, 0, buf.data(), other.data(), records); }},
        {"value, null table", [&] { return ValueHistogramOfHue(nullptr, 1, 0, buf.data()); }},
        {"value, null buffer", [&] { return ValueHistogramOfHue(entry, 1, 0, nullptr); }},
        {"sat, count 0", [&] { return SatHistogramOfHueValue(entry, 0, 0, 255, buf.data()); }},
        {"sat, null buffer", [&] { return SatHistogramOfHueValue(entry, 1, 0, 255, nullptr); }},
    };
    for (const Case& c : cases) EXPECT_EQ(c.run(), 0) << c.what;
    EXPECT_TRUE(buf.Untouched());
    EXPECT_TRUE(other.Untouched());
    EXPECT_EQ(records, (std::vector<ColorQuad>{{1, 2, 3, 4}}));

    double r = -1, g = -1, b = -1, k = -1;
    EXPECT_EQ(RgbShares(nullptr, 1, r, g, b), 0);
    EXPECT_EQ(CmykShares(entry, 0, r, g, b, k), 0);
    EXPECT_EQ(r + g + b + k, -4);
    EXPECT_EQ(GetEntryRed(nullptr), -1);
    EXPECT_EQ(GetEntryGreen(nullptr), -1);
    EXPECT_EQ(GetEntryBlue(nullptr), -1);
    EXPECT_EQ(GetEntryCount(nullptr), -1);
}

} // namespace
