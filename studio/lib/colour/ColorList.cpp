#include "colour/ColorList.h"

#include "colour/ColorDistance.h"
#include "colour/ColorSpace.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace {

struct Hsv {
    int h = 0, s = 0, v = 0;
};

Hsv HsvOf(ColorValue c)
{
    Hsv r;
    ColorToHsv(c, r.h, r.s, r.v);
    return r;
}

// Whether a new colour goes before an existing element: hue, then value ascending, and on equal
// hue and value before any element whose saturation is not below its own.
bool GoesBefore(const Hsv& n, const Hsv& e)
{
    if (n.h != e.h) return n.h < e.h;
    if (n.v != e.v) return n.v < e.v;
    return e.s >= n.s;
}

template <class List, class ColorOf>
auto InsertPosition(List& list, ColorValue newColor, ColorOf colorOf)
{
    const Hsv n = HsvOf(newColor);
    return std::find_if(list.begin(), list.end(), [&](const auto& e) { return GoesBefore(n, HsvOf(colorOf(e))); });
}

// A NaN key sorts after every number and equal to another NaN, so the order stays strict and weak.
bool KeyLess(double a, double b)
{
    if (std::isnan(a)) return false;
    if (std::isnan(b)) return true;
    return a < b;
}

bool TableLess(const ColorQuadF& x, const ColorQuadF& y)
{
    if (KeyLess(x.c1, y.c1)) return true;
    if (KeyLess(y.c1, x.c1)) return false;
    if (KeyLess(x.c3, y.c3)) return true;
    if (KeyLess(y.c3, x.c3)) return false;
    return KeyLess(x.c2, y.c2);
}

template <class T>
const T* Element(const T& value) { return &value; }
template <class T>
const T* Element(const std::unique_ptr<T>& p) { return p.get(); }

// The positions of the list's elements in sorted order: each element (null entries left out)
// becomes a record whose fourth key is its position, and the records are sorted.
template <class List, class Record>
std::vector<size_t> SortedPositions(const List& list, Record record)
{
    std::vector<ColorQuadF> keys;
    keys.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i)
        if (const auto* e = Element(list[i])) keys.push_back(record(*e, i));
    SortColorTable(keys);
    std::vector<size_t> order;
    order.reserve(keys.size());
    for (const ColorQuadF& k : keys) order.push_back(static_cast<size_t>(k.c4));
    return order;
}

ColorQuadF HsvRecord(const CColorItem& item, size_t position)
{
    const Hsv k = HsvOf(item.GetColor());
    // key 1 hue, key 2 saturation, key 3 value: sorted by hue, value, saturation.
    return {double(k.h), double(k.s), double(k.v), double(position)};
}

ColorQuadF FlaggedRecord(const FlaggedColorQuad& q, size_t position)
{
    return {q.quad.c4, double(q.flags), 0.0, double(position)};
}

} // namespace

void InsertByHue(std::vector<ColorValue>& list, ColorValue newColor)
{
    list.insert(InsertPosition(list, newColor, [](ColorValue c) { return c; }), newColor);
}

void InsertByHue(ColorItemPtrList& list, const CColorItem& newColor)
{
    std::erase(list, nullptr);
    auto at = InsertPosition(list, newColor.GetColor(), [](const auto& p) { return p->GetColor(); });
    list.insert(at, std::make_unique<CColorItem>(newColor));
}

void InsertByHue(std::vector<CColorItem>& list, const CColorItem& newColor)
{
    auto at = InsertPosition(list, newColor.GetColor(), [](const CColorItem& i) { return i.GetColor(); });
    list.insert(at, newColor);
}

int ContainsColor(const std::vector<CColorItem>& list, const CColorItem& item)
{
    const ColorValue c = item.GetColor();
    return std::any_of(list.begin(), list.end(), [c](const CColorItem& i) { return i.GetColor() == c; }) ? 1 : 0;
}

void SelectNearest(const CColorItem& target, std::vector<CColorItem>& source,
                   std::vector<CColorItem>& result, int count)
{
    result.clear();
    if (count < 0) {
        result = source;
        return;
    }
    const size_t n = std::min(static_cast<size_t>(count), source.size());
    for (size_t taken = 0; taken < n; ++taken) {
        auto best = source.begin();
        double bestDistance = RgbDistance(target, *best);
        for (auto it = std::next(best); it != source.end(); ++it) {
            const double d = RgbDistance(target, *it);
            if (d < bestDistance) {
                best = it;
                bestDistance = d;
            }
        }
        result.push_back(std::move(*best));
        source.erase(best);
    }
}

void SelectNearest(ColorValue target, std::vector<CColorItem>& source, std::vector<CColorItem>& result,
                   int count)
{
    CColorItem t;
    t.SetColor(target);
    SelectNearest(t, source, result, count);
}

CColorItem CloserOf(const CColorItem& target, const CColorItem& a, const CColorItem& b)
{
    const ColorQuad t = target.GetHsv(), x = a.GetHsv(), y = b.GetHsv();
    auto weight = [&t](const ColorQuad& c) {
        const long long ds = 4LL * std::llabs(static_cast<long long>(c.c2) - t.c2);
        const long long dv = 6LL * std::llabs(static_cast<long long>(c.c3) - t.c3);
        return ds * ds + dv * dv;
    };
    const long long wa = weight(x), wb = weight(y);
    if (wa != wb) return wa < wb ? a : b;
    const long long sa = static_cast<long long>(x.c2) + x.c3, sb = static_cast<long long>(y.c2) + y.c3;
    if (sa != sb) return sa < sb ? a : b;
    return x.c3 < y.c3 ? a : b;
}

void SortColorTable(std::span<ColorQuadF> records)
{
    // Introsort: O(n log n) and a recursion depth bounded by 2 log n whatever the input order, so
    // tables that arrive already sorted (as colour-feature tables do) cost no more than shuffled.
    std::sort(records.begin(), records.end(), TableLess);
}

void SortColorQuadList(std::vector<ColorQuadF>& list) { SortColorTable(list); }

void SortItemsByHsv(std::vector<CColorItem>& list)
{
    std::vector<CColorItem> sorted;
    sorted.reserve(list.size());
    for (size_t pos : SortedPositions(list, HsvRecord)) sorted.push_back(std::move(list[pos]));
    list = std::move(sorted);
}

void SortItemPointersByHsv(ColorItemPtrList& list)
{
    ColorItemPtrList sorted;
    sorted.reserve(list.size());
    for (size_t pos : SortedPositions(list, HsvRecord)) sorted.push_back(std::move(list[pos]));
    list = std::move(sorted);
}

void SortFlaggedQuads(std::span<FlaggedColorQuad> records)
{
    std::vector<FlaggedColorQuad> sorted;
    sorted.reserve(records.size());
    for (size_t pos : SortedPositions(records, FlaggedRecord)) sorted.push_back(records[pos]);
    std::copy(sorted.begin(), sorted.end(), records.begin());
}

void SortFlaggedQuads(FlaggedQuadPtrList& list)
{
    FlaggedQuadPtrList sorted;
    sorted.reserve(list.size());
    for (size_t pos : SortedPositions(list, FlaggedRecord))
        sorted.push_back(std::make_unique<FlaggedColorQuad>(*list[pos]));
    list = std::move(sorted); // the old records are freed here, once
}
