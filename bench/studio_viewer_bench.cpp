// Times the image viewer with a generated 24-megapixel JPEG held in memory, on the offscreen
// platform: showing it fitted into a 1280 x 800 viewer until the first paint is done, and one
// repaint after a one-page scroll at natural size; against vipsthumbnail -s 1280x800 of the same
// file. Prints the medians, their ratio and the process's peak memory.
//   studio_viewer_bench [runs]
#include "viewer/CxImageViewer.h"

#include "image/CxImage.h"
#include "qt/KxModalDriver.h"

#include "BenchPhoto.h"

#include <QApplication>
#include <QScrollBar>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Median;
using bench::Ms;

bool MakeJpeg(std::vector<uint8_t>& out) {
    CxImage img;
    return bench::MakePhoto(img) && img.Encode(out, CXIMAGE_FORMAT_JPG);
}

double PeakMb() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    kx::EnsureApplication();

    std::vector<uint8_t> jpeg;
    if (!MakeJpeg(jpeg)) {
        std::fprintf(stderr, "cannot make the test picture\n");
        return 1;
    }
    const auto dir = std::filesystem::temp_directory_path() / "varnia-viewer-bench";
    std::filesystem::create_directories(dir);
    const std::string src = (dir / "photo.jpg").string();
    std::ofstream(src, std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    std::printf("picture: 6000 x 4000 JPEG, %.1f MB in memory; viewer 1280 x 800; %d runs each\n", jpeg.size() / 1e6,
                runs);

    CkxFile file;
    file.m_nID = 1;
    file.m_strTitle = "photo";
    file.m_strExName = "jpg";
    file.UpdateWhole(jpeg.data(), static_cast<int>(jpeg.size()));

    CxImageViewer viewer;
    viewer.resize(1280, 800);
    viewer.show();
    QCoreApplication::processEvents();
    if (!viewer.isVisible()) {
        std::fprintf(stderr, "the viewer was never shown\n");
        return 1;
    }

    std::vector<double> fit, scroll, theirs;
    for (int i = 0; i < runs; ++i) {
        viewer.RestoreView();
        viewer.FitToWindow(0);
        QCoreApplication::processEvents();
        // ShowFile without transition paints at once: decode to the fitted size, draw, copy.
        auto t0 = Clock::now();
        viewer.ShowFile(&file, 0);
        auto t1 = Clock::now();
        if (viewer.GetDisplayRect().size() != QSize(1200, 800)) {
            std::fprintf(stderr, "unexpected fit rectangle %d x %d\n", viewer.GetDisplayRect().width(),
                         viewer.GetDisplayRect().height());
            return 1;
        }
        fit.push_back(Ms(t0, t1));

        // Natural size (decoded once), then one page down and the repaint that follows it.
        viewer.SetOriginalSize(1);
        QScrollBar* bar = viewer.verticalScrollBar();
        bar->setValue(0);
        viewer.viewport()->repaint();
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        t0 = Clock::now();
        viewer.viewport()->repaint();
        t1 = Clock::now();
        scroll.push_back(Ms(t0, t1));

        const double vips = bench::TimeVipsThumbnail(src, "1280x800", dir.string());
        if (vips < 0) return 1;
        theirs.push_back(vips);
    }
    const double a = Median(fit), b = Median(theirs), s = Median(scroll);
    std::printf("ShowFile fitted, to the end of the first paint: %8.1f ms\n", a);
    std::printf("vipsthumbnail -s 1280x800 (whole program run):  %8.1f ms\n", b);
    std::printf("ratio ours / vipsthumbnail: %.2f (target: at most 1.50) %s\n", a / b, a / b <= 1.5 ? "met" : "MISSED");
    std::printf("repaint after a one-page scroll at natural size: %6.2f ms (target: under 16) %s\n", s,
                s < 16 ? "met" : "MISSED");
    std::printf("peak memory of the process: %.0f MB\n", PeakMb());
    std::filesystem::remove_all(dir);
    return 0;
}
