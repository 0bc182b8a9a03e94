// Times the decoding of 1,000 stored micro images (130 x 130 JPEGs of a few KB, made here as
// the studio makes them) the way the file list decodes them, against Qt's own JPEG loader
// (QImage::loadFromData) on the same bytes in the same run:
//   - CxImage::DecodeThumbnail at the stored size (the decode itself),
//   - CkxImageTool::BuildMicroImage at the list's 100-pixel size with its frame (decode, shrink,
//     compose, frame, and the bitmap the list draws).
// Each is run in turn, several rounds; the best round counts. Prints the times and the ratios.
//   core_microdecode_bench [rounds]
#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "model/CkxBuf.h"

#include "BenchPhoto.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Ms;

// A stored micro image: a 4:3 photo-like picture of its own in the white 130-pixel square.
bool MakeMicro(uint32_t seed, std::vector<uint8_t>& out) {
    CxImage picture, micro;
    CkxBuf jpeg;
    if (!bench::SeededPicture(seed, 320, 240, picture) || !CkxImageTool::BuildMicroImage(picture, 130, micro, 0) ||
        !CkxImageTool::MICRO_Encode(micro, jpeg))
        return false;
    out.assign(jpeg.GetBuf(), jpeg.GetBuf() + jpeg.GetLen());
    return true;
}

// The best of the rounds, in ms for all the blocks; false when one did not decode.
double Best(int rounds, const std::vector<std::vector<uint8_t>>& blocks,
            const std::function<bool(const std::vector<uint8_t>&)>& decode, bool& ok) {
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = Clock::now();
        for (const auto& b : blocks) ok = decode(b) && ok;
        best = std::min(best, Ms(t0, Clock::now()));
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication qapp(argc, argv);
    std::vector<std::vector<uint8_t>> blocks(1000);
    size_t bytes = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (!MakeMicro(static_cast<uint32_t>(i), blocks[i])) {
            std::fprintf(stderr, "cannot make micro image %zu\n", i);
            return 1;
        }
        bytes += blocks[i].size();
    }
    std::printf("%zu stored micro images, 130 x 130 JPEG, %.1f KB on average; best of %d rounds\n", blocks.size(),
                bytes / 1024.0 / blocks.size(), rounds);

    bool ok = true;
    const auto qt = [](const std::vector<uint8_t>& b) {
        QImage img;
        return img.loadFromData(b.data(), static_cast<int>(b.size()), "JPEG") && img.width() == 130;
    };
    const auto thumb = [](const std::vector<uint8_t>& b) {
        CxImage img;
        return img.DecodeThumbnail(b.data(), b.size(), 130, 130) && img.GetWidth() == 130;
    };
    const auto listed = [](const std::vector<uint8_t>& b) {
        QImage img;
        return CkxImageTool::BuildMicroImage(b.data(), static_cast<int>(b.size()), 100, img, 1) && img.width() == 100;
    };
    // Warm every path once, then time them in turn.
    Best(1, blocks, qt, ok);
    Best(1, blocks, thumb, ok);
    Best(1, blocks, listed, ok);
    const double tQt = Best(rounds, blocks, qt, ok);
    const double tThumb = Best(rounds, blocks, thumb, ok);
    const double tList = Best(rounds, blocks, listed, ok);
    if (!ok) {
        std::fprintf(stderr, "a micro image did not decode\n");
        return 1;
    }
    const double n = static_cast<double>(blocks.size());
    std::printf("QImage::loadFromData:                         %8.1f ms (%.3f ms each)\n", tQt, tQt / n);
    std::printf("CxImage::DecodeThumbnail 130 x 130:           %8.1f ms (%.3f ms each)\n", tThumb, tThumb / n);
    std::printf("CkxImageTool::BuildMicroImage 100, framed:    %8.1f ms (%.3f ms each)\n", tList, tList / n);
    std::printf("ratio DecodeThumbnail / Qt: %.2f (target: at most 1.50) %s\n", tThumb / tQt,
                tThumb / tQt <= 1.5 ? "met" : "MISSED");
    std::printf("ratio BuildMicroImage / Qt: %.2f (decode, shrink, compose and frame against a bare decode)\n",
                tList / tQt);
    return 0;
}
