// Times the 130-pixel micro image of a generated 24-megapixel JPEG: our path (read the file,
// decode straight to the small size, compose and frame, encode the JPEG) against the
// vipsthumbnail program on the same file. Prints both medians and their ratio, and the time an
// image file object takes to load the same file (name, size and its thumbnail).
//   core_micro_bench [runs]
#include "model/CkxBuf.h"
#include "model/CkxFileImage.h"
#include "image/CkxImageTool.h"
#include "model/CkxMemFile.h"
#include "image/CxImage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// A 6000 x 4000 photo-like picture: smooth gradients with fine texture, so the JPEG has the
// size and entropy of a real one.
bool MakeJpeg(const std::string& path) {
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
    CxImage img;
    if (!img.CreateFromArray(px.data(), w, h, 24, w * 3)) return false;
    img.SetJpegQuality(90);
    return img.Save(path, CXIMAGE_FORMAT_JPG);
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const auto dir = std::filesystem::temp_directory_path() / "varnia-micro-bench";
    std::filesystem::create_directories(dir);
    const std::string src = (dir / "photo.jpg").string();
    if (!MakeJpeg(src)) {
        std::fprintf(stderr, "cannot make the test picture\n");
        return 1;
    }
    std::printf("picture: 6000 x 4000 JPEG, %.1f MB; %d runs each\n",
                std::filesystem::file_size(src) / 1e6, runs);

    std::vector<double> ours, theirs, load;
    for (int i = 0; i < runs; ++i) {
        auto t0 = Clock::now();
        CkxMemFile file;
        CxImage micro;
        CkxBuf jpeg;
        const bool ok = file.ReadFile(src) > 0 &&
                        CkxImageTool::BuildMicroImage(file.GetMemPt(), file.GetMemLen(), 130, micro, 1) &&
                        CkxImageTool::MICRO_Encode(micro, jpeg);
        auto t1 = Clock::now();
        if (!ok) {
            std::fprintf(stderr, "our micro image failed: %s\n", micro.GetLastError());
            return 1;
        }
        ours.push_back(Ms(t0, t1));

        const std::string cmd = "vipsthumbnail '" + src + "' -s 130 -o '" + (dir / "tn_%s.jpg").string() + "'";
        t0 = Clock::now();
        const int rc = std::system(cmd.c_str());
        t1 = Clock::now();
        if (rc != 0) {
            std::fprintf(stderr, "vipsthumbnail failed (%d)\n", rc);
            return 1;
        }
        theirs.push_back(Ms(t0, t1));

        t0 = Clock::now();
        CkxFileImage f;
        const int loaded = f.LoadFileInfo(src);
        t1 = Clock::now();
        if (!loaded) {
            std::fprintf(stderr, "the file object could not load the picture\n");
            return 1;
        }
        load.push_back(Ms(t0, t1));
    }
    const double a = Median(ours), b = Median(theirs);
    std::printf("ours (read, decode to size, compose, frame, encode): %8.1f ms\n", a);
    std::printf("vipsthumbnail (whole program run):                   %8.1f ms\n", b);
    std::printf("file object LoadFileInfo (with its thumbnail):       %8.1f ms\n", Median(load));
    std::printf("ratio ours / vipsthumbnail: %.2f (target: at most 1.30) %s\n", a / b, a / b <= 1.3 ? "met" : "MISSED");
    std::filesystem::remove_all(dir);
    return 0;
}
