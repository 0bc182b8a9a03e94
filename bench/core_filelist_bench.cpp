// Times the file list view's thumbnails: 1000 files carrying different 130-pixel JPEG thumbnails
// inserted into an offscreen view in the 130-pixel mode, a switch to 50 pixels and one back;
// then the same 1000 thumbnails decoded and scaled by the image layer alone. Prints the insert
// time, the time per file, the bare decoding time and their ratio (target: at most 1.5), both
// switch times and the bitmaps built during the switch back (target: none).
//   core_filelist_bench [files]
#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "model/CkxFile.h"
#include "ui/CkxwFileListView.h"

#include "BenchPhoto.h"

#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using bench::Clock;
using bench::Ms;

// A 130 x 130 JPEG whose picture depends on `seed`, like a stored thumbnail.
std::vector<uint8_t> Thumbnail(int seed) {
    const uint32_t s = 130;
    std::vector<uint8_t> px(static_cast<size_t>(s) * s * 3);
    uint32_t r = static_cast<uint32_t>(seed) * 2654435761u + 1;
    for (uint32_t y = 0; y < s; ++y)
        for (uint32_t x = 0; x < s; ++x) {
            r = r * 1664525u + 1013904223u;
            uint8_t* p = &px[(static_cast<size_t>(y) * s + x) * 3];
            p[0] = static_cast<uint8_t>((x * 2 + static_cast<uint32_t>(seed) * 7) & 0xFF);
            p[1] = static_cast<uint8_t>((y * 2 + static_cast<uint32_t>(seed) * 13) & 0xFF);
            p[2] = static_cast<uint8_t>(((x ^ y) + (r >> 28)) & 0xFF);
        }
    CxImage img;
    std::vector<uint8_t> out;
    img.SetJpegQuality(85);
    if (!img.CreateFromArray(px.data(), s, s, 24, s * 3) || !img.Encode(out, CXIMAGE_FORMAT_JPG)) out.clear();
    return out;
}

int BuiltBitmaps(const CkxwFileListView& view) {
    int n = 0;
    for (int row = 0; row < view.GetItemCount(); ++row)
        if (const CkxwFileListEntry* e = view.GetItemData(row))
            for (int i = 0; i < CkxwFileListEntry::kSizeCount; ++i) n += e->IsMicroBuilt(i) ? 1 : 0;
    return n;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::vector<std::vector<uint8_t>> thumbs;
    for (int i = 0; i < count; ++i) {
        thumbs.push_back(Thumbnail(i));
        if (thumbs.back().empty()) {
            std::fprintf(stderr, "cannot make thumbnail %d\n", i);
            return 1;
        }
    }
    std::vector<CkxFile*> files;
    for (int i = 0; i < count; ++i) {
        auto* f = new CkxFile;
        f->m_nID = 1000 + i;
        f->m_strTitle = "photo" + std::to_string(i);
        f->m_strExName = "jpg";
        f->UpdateMicro(thumbs[static_cast<size_t>(i)].data(), static_cast<int>(thumbs[static_cast<size_t>(i)].size()));
        files.push_back(f);
    }
    // Warm the decoder so neither half pays its start-up.
    for (int i = 0; i < 20; ++i) {
        QImage warm;
        CkxImageTool::BuildMicroImage(thumbs[0].data(), static_cast<int>(thumbs[0].size()), 130, warm, 1);
    }

    CkxwFileListView view;
    view.resize(1024, 768);
    view.InsertColumn(0, "文件名称", 0, 120);
    view.SetMode_Micro130();

    auto t0 = Clock::now();
    for (CkxFile* f : files)
        if (view.InsertFile_Attach(f->GetFileName(), f) < 0) {
            std::fprintf(stderr, "insert of file %d failed\n", f->m_nID);
            return 1;
        }
    auto t1 = Clock::now();
    const double insertMs = Ms(t0, t1);

    const int builtBefore = BuiltBitmaps(view);
    t0 = Clock::now();
    view.SetMode_Micro50();
    t1 = Clock::now();
    const double to50Ms = Ms(t0, t1);
    const int builtAt50 = BuiltBitmaps(view) - builtBefore;
    const int builtBeforeBack = BuiltBitmaps(view);
    t0 = Clock::now();
    view.SetMode_Micro130();
    t1 = Clock::now();
    const double backMs = Ms(t0, t1);
    const int builtBack = BuiltBitmaps(view) - builtBeforeBack;

    t0 = Clock::now();
    int decoded = 0;
    for (const auto& t : thumbs) {
        QImage micro;
        decoded += CkxImageTool::BuildMicroImage(t.data(), static_cast<int>(t.size()), 130, micro, 1);
    }
    t1 = Clock::now();
    const double bareMs = Ms(t0, t1);
    if (decoded != count) {
        std::fprintf(stderr, "the image layer decoded %d of %d\n", decoded, count);
        return 1;
    }

    std::printf("files: %d, 130-pixel JPEG thumbnails of %zu bytes on average\n", count,
                [&] { size_t s = 0; for (const auto& t : thumbs) s += t.size(); return s / thumbs.size(); }());
    std::printf("insert in the 130-pixel mode: %.1f ms (%.3f ms per file)\n", insertMs, insertMs / count);
    std::printf("bare decoding and scaling:    %.1f ms (%.3f ms per file)\n", bareMs, bareMs / count);
    std::printf("ratio insert / bare:          %.2f (target at most 1.50)\n", insertMs / bareMs);
    std::printf("switch to 50 pixels:          %.1f ms, %d bitmaps built\n", to50Ms, builtAt50);
    std::printf("switch back to 130 pixels:    %.1f ms, %d bitmaps built (target 0)\n", backMs, builtBack);
    return 0;
}
