// Times the 130-pixel micro image of a generated 24-megapixel JPEG, program against program:
// this program started on the file (read it, decode straight to the small size, compose and
// frame, encode the JPEG, write it) against `vipsthumbnail -s 129` on the same file, each timed
// from the start of its process to its exit, in turn. Prints the min and median of the runs and
// their ratios, and the time an image file object takes to load the same file (name, size and
// its thumbnail) inside this program.
//   core_micro_bench [runs]
//   core_micro_bench --micro <picture> <output>   (the measured program run)
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

// The measured run: the picture's micro image, written to `out`.
int MakeMicro(const std::string& src, const std::string& out) {
    CkxMemFile file;
    CxImage micro;
    CkxBuf jpeg;
    if (file.ReadFile(src) <= 0 ||
        !CkxImageTool::BuildMicroImage(file.GetMemPt(), file.GetMemLen(), 130, micro, 1) ||
        !CkxImageTool::MICRO_Encode(micro, jpeg)) {
        std::fprintf(stderr, "our micro image failed: %s\n", micro.GetLastError());
        return 1;
    }
    FILE* f = std::fopen(out.c_str(), "wb");
    if (!f) return 1;
    const bool written = std::fwrite(jpeg.GetBuf(), 1, static_cast<size_t>(jpeg.GetLen()), f) ==
                         static_cast<size_t>(jpeg.GetLen());
    return std::fclose(f) == 0 && written ? 0 : 1;
}

// "min a ms, median b ms" of the runs.
std::pair<double, double> MinMedian(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--micro") return MakeMicro(argv[2], argv[3]);
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;
    const auto dir = std::filesystem::temp_directory_path() / "varnia-micro-bench";
    std::filesystem::create_directories(dir);
    const std::string src = (dir / "photo.jpg").string();
    if (!MakeJpeg(src)) {
        std::fprintf(stderr, "cannot make the test picture\n");
        return 1;
    }
    std::printf("picture: 6000 x 4000 JPEG, %.1f MB; %d runs each\n",
                std::filesystem::file_size(src) / 1e6, runs);

    const std::string self = std::filesystem::canonical("/proc/self/exe").string();
    std::vector<double> ours, theirs, load;
    for (int i = 0; i < runs; ++i) {
        const double own = bench::TimeProgram({self, "--micro", src, (dir / "micro.jpg").string()});
        if (own < 0) return 1;
        ours.push_back(own);

        const double vips = bench::TimeVipsThumbnail(src, "129", dir.string());
        if (vips < 0) return 1;
        theirs.push_back(vips);

        const auto t0 = Clock::now();
        CkxFileImage f;
        const int loaded = f.LoadFileInfo(src);
        const auto t1 = Clock::now();
        if (!loaded) {
            std::fprintf(stderr, "the file object could not load the picture\n");
            return 1;
        }
        load.push_back(Ms(t0, t1));
    }
    const auto [oMin, oMed] = MinMedian(ours);
    const auto [vMin, vMed] = MinMedian(theirs);
    std::printf("ours, whole program (start, read, decode to size, compose, frame, encode, write):"
                " min %.1f ms, median %.1f ms\n", oMin, oMed);
    std::printf("vipsthumbnail -s 129, whole program:                                          "
                " min %.1f ms, median %.1f ms\n", vMin, vMed);
    std::printf("file object LoadFileInfo (with its thumbnail), in this program: median %.1f ms\n", Median(load));
    std::printf("ratio ours / vipsthumbnail: min %.2f, median %.2f (target: at most 1.30) %s\n", oMin / vMin,
                oMed / vMed, oMed / vMed <= 1.3 ? "met" : "MISSED");
    std::filesystem::remove_all(dir);
    return 0;
}
