// Sorting colour records: SortColorTable against std::sort with the same three-key order
// (key 1, then key 3, then key 2), on 1,000,000 records shuffled and already in order.
// Prints the best of five runs of each and their ratio. Run by hand.
#include "colour/ColorList.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr size_t kCount = 1000000;

// HSV-like keys: hue 0..359, saturation and value 0..255, position as key 4.
std::vector<ColorQuadF> MakeRecords()
{
    std::mt19937 rng(42);
    std::vector<ColorQuadF> r;
    r.reserve(kCount);
    for (size_t i = 0; i < kCount; ++i)
        r.emplace_back(double(rng() % 360), double(rng() % 256), double(rng() % 256), double(i));
    return r;
}

bool ThreeKeys(const ColorQuadF& a, const ColorQuadF& b)
{
    if (a.c1 != b.c1) return a.c1 < b.c1;
    if (a.c3 != b.c3) return a.c3 < b.c3;
    return a.c2 < b.c2;
}

template <class Sort>
double BestMs(const std::vector<ColorQuadF>& input, Sort sort)
{
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
        std::vector<ColorQuadF> work = input;
        const auto t0 = std::chrono::steady_clock::now();
        sort(work);
        const auto t1 = std::chrono::steady_clock::now();
        if (!std::is_sorted(work.begin(), work.end(), ThreeKeys)) std::printf("NOT SORTED\n");
        best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    return best;
}

void Report(const char* name, const std::vector<ColorQuadF>& input)
{
    const double ours = BestMs(input, [](std::vector<ColorQuadF>& v) { SortColorTable(v); });
    const double reference =
        BestMs(input, [](std::vector<ColorQuadF>& v) { std::sort(v.begin(), v.end(), ThreeKeys); });
    std::printf("%-9s SortColorTable %8.1f ms   std::sort %8.1f ms   ratio %.2f\n", name, ours, reference,
                ours / reference);
}

} // namespace

int main()
{
    std::vector<ColorQuadF> shuffled = MakeRecords();
    std::vector<ColorQuadF> ordered = shuffled;
    std::sort(ordered.begin(), ordered.end(), ThreeKeys);
    std::printf("%zu records\n", kCount);
    Report("shuffled", shuffled);
    Report("ordered", ordered);
    return 0;
}
