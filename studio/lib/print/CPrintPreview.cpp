#include "print/CPrintPreview.h"

#include "print/CPrintFrame.h"
#include "print/CPrintHost.h"
#include "print/CPrintTable.h"
#include "qt/KxColorRef.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>

int PrintPageCount(int n, int f, int k) {
    if (n <= 0) return 0;
    if (n < f) return 1;
    if (k < 1) k = 1; // every item still gets a page
    const int64_t rest = static_cast<int64_t>(n) - f;
    return static_cast<int>(std::min<int64_t>(1 + (rest + k - 1) / k, INT_MAX));
}

const uint32_t CPrintPreview::kBrushColours[kBrushCount] = {PrintRgb(139, 139, 139), PrintRgb(0, 77, 153),
                                                            PrintRgb(106, 53, 0), PrintRgb(16, 27, 23)};

const CPrintPreview::FontSpec CPrintPreview::kFonts[kFontCount] = {
    {400, "宋体", false}, {800, "隶书", false}, {500, "宋体", false}, {350, "宋体", false},
    {400, "宋体", true},  {800, "隶书", true},  {500, "宋体", true},  {350, "宋体", true}};

namespace {

// The report faces map to the CJK fonts a Linux desktop has: "宋体" to a serif face first,
// "隶书" to any.
void InstallFaceSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitutions(QStringLiteral("宋体"),
                                   {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                                    QStringLiteral("Source Han Serif SC"), QStringLiteral("WenQuanYi Zen Hei"),
                                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                    QStringLiteral("Droid Sans Fallback")});
        QFont::insertSubstitutions(QStringLiteral("隶书"),
                                   {QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC"),
                                    QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei"),
                                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                    QStringLiteral("Droid Sans Fallback")});
    });
}

} // namespace

CPrintPreview::CPrintPreview(CPrintHost& host, QPrinter& printer, QWidget* parent)
    : CPrintViewBase(host, printer, parent) {}

CPrintPreview::~CPrintPreview() = default;

void CPrintPreview::OpenPreview(int resourceId) {
    if (m_bPreviewOpen) {
        if (CPrintFrame* frame = GetFrame()) {
            frame->raise();
            frame->activateWindow();
        }
        return;
    }
    m_bPreviewOpen = 1;
    OpenPreviewFrame(resourceId);
}

QFont CPrintPreview::MakeFont(const QPaintDevice* device, int height, const QString& face, bool bold) {
    InstallFaceSubstitutes();
    QFont font(face);
    font.setBold(bold);
    const int dpi = device ? device->logicalDpiY() : 96;
    const double pixels = height * dpi / 2540.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    // The height is the whole character cell (ascent and descent), as report fonts are sized;
    // a pixel size names only the em, so it is scaled until the cell fits.
    const double cell = device ? QFontMetricsF(font, device).height() : QFontMetricsF(font).height();
    if (cell > 0 && cell > pixels)
        font.setPixelSize(std::max(1, static_cast<int>(pixels * font.pixelSize() / cell)));
    return font;
}

void CPrintPreview::OnBeginPrinting(QPainter& painter, CPrintInfo& info) {
    for (int i = 0; i < kFontCount; ++i)
        m_Font[i] = MakeFont(painter.device(), kFonts[i].height, QString::fromUtf8(kFonts[i].face), kFonts[i].bold);
    for (int i = 0; i < kBrushCount; ++i) m_Brush[i] = QBrush(kx::FromColorRef(kBrushColours[i]));
    if (m_bOnePage) {
        info.m_nLastPage = 1;
        info.m_nCurPage = 1;
    }
}

int CPrintPreview::OnPrint(QPainter& painter, CPrintInfo&) {
    SetMetricMapping(painter);
    painter.setBackgroundMode(Qt::TransparentMode);
    return 1;
}

void CPrintPreview::SetMetricMapping(QPainter& painter) {
    const QPaintDevice* device = painter.device();
    painter.resetTransform();
    painter.scale(device->logicalDpiX() / 2540.0, -device->logicalDpiY() / 2540.0);
}
