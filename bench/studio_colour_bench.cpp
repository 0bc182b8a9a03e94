// Colour features on a generated 24-megapixel photo-like picture (smooth gradients with grain,
// about a million distinct colours): BuildColorTable and HistogramLab, milliseconds per
// megapixel and the peak memory each one adds. Run by hand.
#include "colour/ColorFeatures.h"
#include "image/CxImage.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kWidth = 6000, kHeight = 4000;

// A KiB figure of /proc/self/status: "VmHWM:" the resident high-water mark, "VmRSS:" the present.
long StatusKiB(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::string(key).size();
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + n);
    return -1;
}

// Lets the next PeakKiB measure from the present resident size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

CxImage PhotoLike()
{
    std::vector<uint8_t> px(size_t(kWidth) * kHeight * 3);
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> grain(-6, 6);
    auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
    size_t i = 0;
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x) {
            const double sky = double(y) / kHeight, u = std::sin(x / 350.0) * std::cos(y / 520.0);
            px[i++] = clamp(90 + 120 * sky + 40 * u + grain(rng));
            px[i++] = clamp(110 + 60 * u + 50 * std::sin((x + y) / 900.0) + grain(rng));
            px[i++] = clamp(200 - 150 * sky + 30 * std::cos(x / 700.0) + grain(rng));
        }
    CxImage img;
    if (!img.CreateFromArray(px.data(), kWidth, kHeight, 24, kWidth * 3)) std::printf("image: %s\n", img.GetLastError());
    return img;
}

template <class F>
void Measure(const char* name, F run)
{
    ResetPeak();
    const long before = StatusKiB("VmRSS:");
    const auto t0 = std::chrono::steady_clock::now();
    const std::string what = run();
    const auto t1 = std::chrono::steady_clock::now();
    const double ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
    const double mp = double(kWidth) * kHeight / 1e6;
    std::printf("%-16s %8.0f ms  %6.1f ms/MP  peak +%ld MiB  (%s)\n", name, ms, ms / mp, (StatusKiB("VmHWM:") - before) / 1024,
                what.c_str());
}

} // namespace

int main()
{
    const CxImage image = PhotoLike();
    std::printf("%ux%u picture, resident %ld MiB\n", kWidth, kHeight, StatusKiB("VmRSS:") / 1024);
    Measure("BuildColorTable", [&] {
        int colours = 0, largest = 0;
        ColorTableEntry* table = BuildColorTable(&image, colours, largest);
        std::free(table);
        return std::to_string(colours) + " colours, largest count " + std::to_string(largest);
    });
    Measure("HistogramLab", [&] {
        std::vector<int32_t> l(256), a(256), b(256);
        return "largest bin " + std::to_string(HistogramLab(&image, l.data(), a.data(), b.data()));
    });
    return 0;
}
