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

#include "BenchPhoto.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;

bool MakeJpeg(const std::string& path) {
    CxImage img;
    return bench::MakePhoto(img) && img.Save(path, CXIMAGE_FORMAT_JPG);
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

        const double vips = bench::TimeVipsThumbnail(src, "130", dir.string());
        if (vips < 0) return 1;
        theirs.push_back(vips);

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
