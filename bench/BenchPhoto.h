// What the image benchmarks share: a generated photo-like picture and the timing helpers.
#pragma once

#include "image/CxImage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <cstdint>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// A 6000 x 4000 photo-like picture: smooth gradients with fine texture, so the JPEG has the
// size and entropy of a real one.
inline bool MakePhoto(CxImage& img) {
    const uint32_t w = 6000, h = 4000;
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    uint32_t seed = 12345;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int noise = static_cast<int>(seed >> 28) - 8;
            uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = static_cast<uint8_t>(std::clamp(static_cast<int>(x * 255 / w) + noise, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(static_cast<int>(y * 255 / h) + noise, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp(static_cast<int>(((x / 50 + y / 50) % 2) * 120 + 60) + noise, 0, 255));
        }
    if (!img.CreateFromArray(px.data(), w, h, 24, w * 3)) return false;
    img.SetJpegQuality(90);
    return true;
}

// A w x h photo-like picture of its own for each seed (R, G, B rows): gradients shifted by the
// seed, a check of 40-pixel squares and fine noise.
inline std::vector<uint8_t> SeededPixels(uint32_t seed, uint32_t w, uint32_t h) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * 3);
    uint32_t s = seed * 7919u + 1;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            s = s * 1664525u + 1013904223u;
            uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 3];
            const int noise = static_cast<int>(s >> 28) - 8;
            p[0] = static_cast<uint8_t>(std::clamp(static_cast<int>((x + seed * 13) * 255 / w % 256) + noise, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(static_cast<int>(y * 255 / h) + noise, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp(static_cast<int>(((x / 40 + y / 40) % 2) * 120 + 60) + noise, 0, 255));
        }
    return px;
}

// The seed's picture as an image.
inline bool SeededPicture(uint32_t seed, uint32_t w, uint32_t h, CxImage& img) {
    const std::vector<uint8_t> px = SeededPixels(seed, w, h);
    return img.CreateFromArray(px.data(), w, h, 24, w * 3);
}

// Runs the program (looked up on PATH, no shell between) with the arguments and returns the
// whole run's time in milliseconds, from the start of the process to its exit, or a negative
// value when it failed.
inline double TimeProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto t0 = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "%s could not be started\n", argv[0]);
        return -1;
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    const auto t1 = Clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (%d)\n", argv[0], status);
        return -1;
    }
    return Ms(t0, t1);
}

// Runs vipsthumbnail on src with the size argument (its output goes to outDir) and returns the
// whole run's time in milliseconds, or a negative value when it failed.
inline double TimeVipsThumbnail(const std::string& src, const std::string& size, const std::string& outDir) {
    return TimeProgram({"vipsthumbnail", src, "-s", size, "-o", outDir + "/tn_%s.jpg"});
}

} // namespace bench
