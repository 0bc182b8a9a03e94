#include "colour/ColorFeatures.h"

#include "colour/ColorSpace.h"
#include "image/CxImage.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct Buffer {
    int32_t* data;
    int size;
};

int Clamp(int v, int size) { return v < 0 ? 0 : (v >= size ? size - 1 : v); }

int LowByte(int v) { return static_cast<int>(static_cast<unsigned>(v) & 0xFFu); }

// The image's pixels as packed R, G, B rows, top row first; false (nothing read) for a null or
// invalid image or when the copy cannot be made.
bool ReadPixels(const CxImage* image, std::vector<uint8_t>& px)
{
    if (!image || !image->IsValid()) return false;
    try {
        return image->CopyToArray(px, false);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Counts N indices per pixel into N buffers; `indices` fills them from r, g, b.
template <size_t N, class Indices>
int Histogram(const CxImage* image, std::array<Buffer, N> buffers, Indices indices)
{
    std::vector<uint8_t> px;
    if (!ReadPixels(image, px)) return 0;
    for (const Buffer& b : buffers)
        if (b.data) std::fill_n(b.data, b.size, 0);
    std::array<int, N> idx{};
    for (size_t i = 0; i + 2 < px.size(); i += 3) {
        indices(px[i], px[i + 1], px[i + 2], idx);
        for (size_t k = 0; k < N; ++k)
            if (buffers[k].data) ++buffers[k].data[Clamp(idx[k], buffers[k].size)];
    }
    int largest = 0;
    for (const Buffer& b : buffers)
        if (b.data) largest = std::max(largest, *std::max_element(b.data, b.data + b.size));
    return largest;
}

ColorValue EntryColor(const ColorTableEntry& e) { return ColorFromRgb(e.red, e.green, e.blue); }

bool TableUsable(const ColorTableEntry* table, int count) { return table && count > 0; }

// Keeps an entry list of (red, green, blue) that grows in steps of 1000 colours, zeroed as it
// grows, so that images with few colours allocate little.
class EntryList {
public:
    ~EntryList() { std::free(m_data); }
    bool Init()
    {
        m_capacity = 10000;
        m_data = static_cast<int32_t*>(std::calloc(m_capacity * 3, sizeof(int32_t)));
        return m_data != nullptr;
    }
    bool Append(int r, int g, int b)
    {
        if (m_size == m_capacity) {
            const size_t grown = m_capacity + 1000;
            auto* p = static_cast<int32_t*>(std::realloc(m_data, grown * 3 * sizeof(int32_t)));
            if (!p) return false; // m_data is still ours and freed by the destructor
            std::memset(p + m_capacity * 3, 0, 1000 * 3 * sizeof(int32_t));
            m_data = p;
            m_capacity = grown;
        }
        int32_t* e = m_data + m_size * 3;
        e[0] = r;
        e[1] = g;
        e[2] = b;
        ++m_size;
        return true;
    }
    size_t Size() const { return m_size; }
    const int32_t* At(size_t i) const { return m_data + i * 3; }

private:
    int32_t* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

} // namespace

int HistogramRgbGray(const CxImage* image, int32_t* red, int32_t* green, int32_t* blue, int32_t* grey)
{
    return Histogram<4>(image, {{{red, 256}, {green, 256}, {blue, 256}, {grey, 256}}},
                        [](int r, int g, int b, std::array<int, 4>& i) {
                            i = {r, g, b, (b * 117 + g * 601 + r * 306) >> 10};
                        });
}

int HistogramInverse(const CxImage* image, int32_t* red, int32_t* green, int32_t* blue)
{
    return Histogram<3>(image, {{{red, 256}, {green, 256}, {blue, 256}}},
                        [](int r, int g, int b, std::array<int, 3>& i) { i = {255 - r, 255 - g, 255 - b}; });
}

int HistogramCmyk(const CxImage* image, int32_t* cyan, int32_t* magenta, int32_t* yellow, int32_t* black)
{
    return Histogram<4>(image, {{{cyan, 256}, {magenta, 256}, {yellow, 256}, {black, 256}}},
                        [](int r, int g, int b, std::array<int, 4>& i) {
                            const ColorQuad q = ColorToCmyk(ColorFromRgb(r, g, b));
                            i = {q.c1, q.c2, q.c3, q.c4};
                        });
}

int HistogramHsv(const CxImage* image, int32_t* hue361, int32_t* saturation, int32_t* value)
{
    return Histogram<3>(image, {{{hue361, kHueBins}, {saturation, 256}, {value, 256}}},
                        [](int r, int g, int b, std::array<int, 3>& i) {
                            double h, s, v;
                            RgbToHsv(r, g, b, h, s, v);
                            i = {TruncToInt(h), TruncToInt(s), TruncToInt(v)};
                        });
}

int HistogramHsl240(const CxImage* image, int32_t* hue241, int32_t* saturation241, int32_t* lightness241)
{
    return Histogram<3>(image, {{{hue241, kHsl240Bins}, {saturation241, kHsl240Bins}, {lightness241, kHsl240Bins}}},
                        [](int r, int g, int b, std::array<int, 3>& i) {
                            uint8_t h, s, l;
                            ColorToHsl240(ColorFromRgb(r, g, b), h, s, l);
                            i = {h, s, l};
                        });
}

int HistogramYuv(const CxImage* image, int32_t* y, int32_t* u, int32_t* v)
{
    return Histogram<3>(image, {{{y, 256}, {u, 256}, {v, 256}}}, [](int r, int g, int b, std::array<int, 3>& i) {
        i = {LowByte(ColorYuvY(r, g, b)), LowByte(ColorYuvU(r, g, b)), LowByte(ColorYuvV(r, g, b))};
    });
}

int HistogramYiq(const CxImage* image, int32_t* y, int32_t* inphase, int32_t* q)
{
    return Histogram<3>(image, {{{y, 256}, {inphase, 256}, {q, 256}}}, [](int r, int g, int b, std::array<int, 3>& i) {
        i = {LowByte(ColorYiqY(r, g, b)), LowByte(ColorYiqI(r, g, b)), LowByte(ColorYiqQ(r, g, b))};
    });
}

int HistogramYCbCr(const CxImage* image, int32_t* y, int32_t* cb, int32_t* cr)
{
    return Histogram<3>(image, {{{y, 256}, {cb, 256}, {cr, 256}}}, [](int r, int g, int b, std::array<int, 3>& i) {
        i = {LowByte(ColorYCbCrY(r, g, b)), LowByte(ColorYCbCrCb(r, g, b)), LowByte(ColorYCbCrCr(r, g, b))};
    });
}

int HistogramXyz(const CxImage* image, int32_t* x, int32_t* y, int32_t* z)
{
    return Histogram<3>(image, {{{x, 256}, {y, 256}, {z, 256}}}, [](int r, int g, int b, std::array<int, 3>& i) {
        const ColorQuad q = ColorToXyzQuad(ColorFromRgb(r, g, b));
        i = {q.c1, q.c2, q.c3};
    });
}

int HistogramLab(const CxImage* image, int32_t* l, int32_t* a, int32_t* b)
{
    return Histogram<3>(image, {{{l, 256}, {a, 256}, {b, 256}}}, [](int r, int g, int bl, std::array<int, 3>& i) {
        const ColorQuad q = ColorToLabQuad(ColorFromRgb(r, g, bl));
        i = {q.c1, q.c2 + 128, q.c3 + 128};
    });
}

ColorTableEntry* BuildColorTable(const CxImage* image, int& colorCount, int& largestCount)
{
    if (!image || !image->IsValid()) return nullptr;
    colorCount = 0;
    largestCount = 0;
    std::vector<uint8_t> px;
    if (!ReadPixels(image, px) || px.size() < 3) return nullptr;

    // One counter per 24-bit colour (64 MB). calloc takes such a block zeroed from the system,
    // so the pages no pixel touches cost nothing, and each pixel is one array access.
    std::unique_ptr<uint32_t, FreeDeleter> counts(static_cast<uint32_t*>(std::calloc(size_t(1) << 24, sizeof(uint32_t))));
    EntryList list;
    if (!counts || !list.Init()) return nullptr;
    uint32_t* c = counts.get();
    for (size_t i = 0; i + 2 < px.size(); i += 3) {
        const uint32_t index = (uint32_t(px[i]) << 16) | (uint32_t(px[i + 1]) << 8) | px[i + 2];
        if (++c[index] == 1 && !list.Append(px[i], px[i + 1], px[i + 2])) return nullptr;
    }
    px = {};

    const size_t n = list.Size();
    auto* table = static_cast<ColorTableEntry*>(std::malloc(n * sizeof(ColorTableEntry)));
    if (!table) return nullptr;
    int32_t largest = 0;
    for (size_t i = 0; i < n; ++i) {
        const int32_t* e = list.At(i);
        const uint32_t count = c[(uint32_t(e[0]) << 16) | (uint32_t(e[1]) << 8) | uint32_t(e[2])];
        table[i] = {e[0], e[1], e[2], static_cast<int32_t>(std::min<uint32_t>(count, INT32_MAX))};
        largest = std::max(largest, table[i].count);
    }
    // Flat areas give long runs of equal counts; a total order on (count, red, green, blue) makes
    // the table the same whatever the scan order, and introsort stays O(n log n) on such runs.
    std::sort(table, table + n, [](const ColorTableEntry& x, const ColorTableEntry& y) {
        if (x.count != y.count) return x.count > y.count;
        if (x.red != y.red) return x.red < y.red;
        if (x.green != y.green) return x.green < y.green;
        return x.blue < y.blue;
    });
    colorCount = static_cast<int>(n);
    largestCount = largest;
    return table;
}

int HueHistogram(const ColorTableEntry* table, int count, int32_t* hue361)
{
    if (!TableUsable(table, count) || !hue361) return 0;
    std::fill_n(hue361, kHueBins, 0);
    for (int i = 0; i < count; ++i) ++hue361[Clamp(ColorGetHue(EntryColor(table[i])), kHueBins)];
    return 1;
}

int HueSatValHistograms(const ColorTableEntry* table, int count, int hue, int32_t* saturation,
                        int32_t* value, std::vector<ColorQuad>& records)
{
    if (!TableUsable(table, count) || !saturation || !value) return 0;
    std::fill_n(saturation, 256, 0);
    std::fill_n(value, 256, 0);
    records.clear();
    for (int i = 0; i < count; ++i) {
        const ColorQuad hsv = ColorToHsvQuad(EntryColor(table[i]));
        if (hsv.c1 != hue) continue;
        ++saturation[Clamp(hsv.c2, 256)];
        ++value[Clamp(hsv.c3, 256)];
        records.emplace_back(hue, hsv.c2, hsv.c3, 0);
    }
    return 1;
}

int ValueHistogramOfHue(const ColorTableEntry* table, int count, int hue, int32_t* value)
{
    if (!TableUsable(table, count) || !value) return 0;
    std::fill_n(value, 256, 0);
    for (int i = 0; i < count; ++i) {
        const ColorQuad hsv = ColorToHsvQuad(EntryColor(table[i]));
        if (hsv.c1 == hue) ++value[Clamp(hsv.c3, 256)];
    }
    return 1;
}

int SatHistogramOfHueValue(const ColorTableEntry* table, int count, int hue, int value, int32_t* saturation)
{
    if (!TableUsable(table, count) || !saturation) return 0;
    std::fill_n(saturation, 256, 0);
    for (int i = 0; i < count; ++i) {
        const ColorQuad hsv = ColorToHsvQuad(EntryColor(table[i]));
        if (hsv.c1 == hue && hsv.c3 == value) ++saturation[Clamp(hsv.c2, 256)];
    }
    return 1;
}

namespace {
// Each sum as a percentage of their total; all 0 when the total is 0.
template <size_t N>
void Shares(const std::array<double, N>& sums, std::array<double*, N> out)
{
    double total = 0;
    for (double s : sums) total += s;
    for (size_t k = 0; k < N; ++k) *out[k] = total > 0 ? sums[k] * 100.0 / total : 0.0;
}
} // namespace

int RgbShares(const ColorTableEntry* table, int count, double& red, double& green, double& blue)
{
    if (!TableUsable(table, count)) return 0;
    std::array<double, 3> sums{};
    for (int i = 0; i < count; ++i) {
        sums[0] += table[i].red;
        sums[1] += table[i].green;
        sums[2] += table[i].blue;
    }
    Shares<3>(sums, {&red, &green, &blue});
    return 1;
}

int CmykShares(const ColorTableEntry* table, int count, double& cyan, double& magenta, double& yellow,
               double& black)
{
    if (!TableUsable(table, count)) return 0;
    std::array<double, 4> sums{};
    for (int i = 0; i < count; ++i) {
        const ColorQuad q = ColorToCmyk(EntryColor(table[i]));
        sums[0] += q.c1;
        sums[1] += q.c2;
        sums[2] += q.c3;
        sums[3] += q.c4;
    }
    Shares<4>(sums, {&cyan, &magenta, &yellow, &black});
    return 1;
}

int GetEntryRed(const ColorTableEntry* entry) { return entry ? entry->red : -1; }
int GetEntryGreen(const ColorTableEntry* entry) { return entry ? entry->green : -1; }
int GetEntryBlue(const ColorTableEntry* entry) { return entry ? entry->blue : -1; }
int GetEntryCount(const ColorTableEntry* entry) { return entry ? entry->count : -1; }
