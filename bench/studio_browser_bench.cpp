// Times the file browser on a local document of generated 1600 x 1200 JPEGs (500 unless told)
// on the offscreen platform: the time to the first row, the time until every row shows its
// thumbnail, and the GUI thread's longest stall (the worst lateness of a 10 ms timer); against
// vipsthumbnail -s 130 over the same files. Prints the figures, the ratio and the targets.
//   studio_browser_bench [files]
#include "app/CvClientApp.h"
#include "browser/CBrowser.h"
#include "doc/CLocalStorage.h"
#include "doc/CvClientDoc.h"
#include "image/CxImage.h"
#include "ui/CkxwFileListView.h"

#include "BenchPhoto.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Ms;

bool MakeJpeg(uint32_t seed, std::vector<uint8_t>& out) {
    CxImage img;
    if (!bench::SeededPicture(seed, 1600, 1200, img)) return false;
    img.SetJpegQuality(90);
    return img.Encode(out, CXIMAGE_FORMAT_JPG);
}

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);

    const auto dir = std::filesystem::temp_directory_path() / "varnia-browser-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "in");
    std::filesystem::create_directories(dir / "out");
    std::vector<std::string> paths;
    for (int i = 0; i < files; ++i) {
        std::vector<uint8_t> jpeg;
        if (!MakeJpeg(static_cast<uint32_t>(i), jpeg)) {
            std::fprintf(stderr, "cannot make picture %d\n", i);
            return 1;
        }
        char name[32];
        std::snprintf(name, sizeof name, "p%04d.jpg", i);
        paths.push_back((dir / "in" / name).string());
        std::ofstream(paths.back(), std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    }
    std::printf("%d generated 1600 x 1200 JPEGs in %s\n", files, (dir / "in").c_str());

    TheLocalStorage().Init((dir / "store").string());
    CvClientApp app;
    app.SetDocTemplate({[] { return std::make_unique<CvClientDoc>(); },
                        [](CvClientDoc& doc) -> QWidget* { return new CBrowser(doc, nullptr); }});
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* doc = app.OpenNewDoc();
    if (!doc) return 1;
    auto* browser = dynamic_cast<CBrowser*>(doc->GetViews().front());
    browser->resize(1200, 800);
    browser->show();

    // The GUI thread's worst lateness, measured by a 10 ms timer.
    double worstStall = 0;
    QElapsedTimer tick;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        worstStall = std::max(worstStall, static_cast<double>(tick.nsecsElapsed()) / 1e6 - 10.0);
        tick.restart();
    });
    const auto t0 = Clock::now();
    doc->RequestLocalLoad((dir / "in").string(), paths);
    tick.start();
    timer.start(10);
    double firstRow = -1;
    while (true) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        const int rows = browser->FileList()->GetItemCount();
        if (rows > 0 && firstRow < 0) firstRow = Ms(t0, Clock::now());
        if (rows == files && !doc->IsLoadRequested()) break;
        if (Ms(t0, Clock::now()) > 600000) {
            std::fprintf(stderr, "the rows did not all come within 10 minutes\n");
            return 1;
        }
    }
    const double all = Ms(t0, Clock::now());
    timer.stop();

    std::printf("first row:                         %8.1f ms (target: under 300) %s\n", firstRow, firstRow < 300 ? "met" : "MISSED");
    std::printf("all %d rows with thumbnails:      %8.1f ms\n", files, all);
    std::printf("longest GUI stall: %.1f ms (target: under 50) %s\n", worstStall, worstStall < 50 ? "met" : "MISSED");
    std::fflush(stdout);
    const auto v0 = Clock::now();
    const std::string cmd = "vipsthumbnail '" + (dir / "in").string() + "'/*.jpg -s 130 -o '" + (dir / "out").string() + "/tn_%s.jpg'";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "vipsthumbnail failed (libvips-tools installed?)\n");
        return 1;
    }
    const double vips = Ms(v0, Clock::now());
    std::printf("vipsthumbnail -s 130, same files:  %8.1f ms\n", vips);
    std::printf("ratio ours / vipsthumbnail: %.2f (target: at most 1.30) %s\n", all / vips, all / vips <= 1.3 ? "met" : "MISSED");
    std::filesystem::remove_all(dir);
    return 0;
}
