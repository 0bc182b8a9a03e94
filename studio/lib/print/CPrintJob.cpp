#include "print/CPrintJob.h"

#include "print/CPrintFrame.h"
#include "print/CPrintHost.h"
#include "print/CPrintView.h"

#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "model/CkxFile.h"
#include "model/CkxFileImage.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <cstdint>

CPrintJob::CPrintJob(CPrintHost* host, QPrinter* printer) : m_pHost(host), m_pPrinter(printer) {
    if (!m_pHost) {
        m_pOwnHost = std::make_unique<CPrintHost>();
        m_pHost = m_pOwnHost.get();
    }
}

CPrintJob::~CPrintJob() {
    if (CPrintFrame* frame = m_pFrame.data()) {
        frame->close(); // ends the preview: the main window comes back
        delete frame;
    }
}

CPrintFrame* CPrintJob::GetPreviewFrame() const { return m_pFrame.data(); }

CPrintHost& CPrintJob::GetHost() { return *m_pHost; }

void CPrintJob::SetPrinter(QPrinter* printer) { m_pPrinter = printer; }

QPrinter& CPrintJob::GetPrinter() {
    if (m_pPrinter) return *m_pPrinter;
    if (!m_pOwnPrinter) m_pOwnPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_pOwnPrinter;
}

int CPrintJob::DecodeFile(const CkxFile& file, CxImage& image) {
    if (!file.IsMemWholeValid()) return 0;
    // The decoder takes a writable block; it only reads it.
    CkxMemFile& content = const_cast<CkxMemFile&>(file.m_MemWhole);
    if (!CkxImageTool::XIMAGE_Decode(content, image, CXI_CheckImgType(file.GetExName()))) return 0;
    // The fit arithmetic divides by the picture's sides.
    return image.IsValid() && image.GetWidth() > 0 && image.GetHeight() > 0 ? 1 : 0;
}

int CPrintJob::SetFile(int resourceId, const CkxFile& file) {
    if (!file.IsMemWholeValid()) return 0;
    if (m_bPreviewOpen) {
        OpenPreview(resourceId);
        return 1;
    }
    CxImage check;
    if (!DecodeFile(file, check)) return 0;
    m_pFile = std::make_unique<CkxFile>(file);
    OpenPreview(resourceId);
    return 1;
}

void CPrintJob::OpenPreview(int resourceId) {
    if (m_bPreviewOpen) {
        if (QWidget* wnd = m_pHost->GetMainWnd()) {
            wnd->raise();
            wnd->activateWindow();
        }
        return;
    }
    QPrinter& printer = GetPrinter();
    auto* view = new CPrintView(*m_pHost, printer, this);
    m_bPreviewOpen = 1;
    m_pFrame = view->OpenPreviewFrame(resourceId);
}

void CPrintJob::ApplyOrientation(QPrinter& printer) const {
    printer.setPageOrientation(m_nOrientation == ORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
}

QRect CPrintJob::FitRect(int fitMode, const QSize& page, const QSize& image) {
    const int64_t pw = page.width(), ph = page.height(), iw = image.width(), ih = image.height();
    if (iw <= 0 || ih <= 0 || pw <= 0 || ph <= 0) return QRect();
    switch (fitMode) {
    case FIT_NATURAL:
        if (iw < pw && ih < ph) return QRect(0, 0, static_cast<int>(iw), static_cast<int>(ih));
        [[fallthrough]];
    case FIT_PAPER: {
        const double kx = static_cast<double>(pw) / static_cast<double>(iw);
        const double ky = static_cast<double>(ph) / static_cast<double>(ih);
        // Whole-number division of positive values truncates, as the proportions ask.
        if (kx >= ky) return QRect(0, 0, static_cast<int>(ph * iw / ih), static_cast<int>(ph));
        return QRect(0, 0, static_cast<int>(pw), static_cast<int>(pw * ih / iw));
    }
    case FIT_FILL:
        return QRect(0, 0, static_cast<int>(pw), static_cast<int>(ph));
    default:
        return QRect();
    }
}

int CPrintJob::DrawPage(QPainter& painter) const {
    if (!m_pFile) return 0;
    CxImage image;
    if (!DecodeFile(*m_pFile, image)) return 0;
    // Device units: one unit per printer pixel, the page being the printable area.
    painter.resetTransform();
    painter.setBackgroundMode(Qt::TransparentMode);
    const QSize page(painter.device()->width(), painter.device()->height());
    const QRect target =
        FitRect(m_nFitMode, page, QSize(static_cast<int>(image.GetWidth()), static_cast<int>(image.GetHeight())));
    if (target.isNull()) return 1; // an unknown fit mode leaves the page blank
    const QImage bitmap = CkxImageTool::BuildBitmap(image);
    if (bitmap.isNull()) return 0;
    painter.drawImage(target, bitmap);
    return 1;
}

int CPrintJob::PrintDirect(bool withDialog) {
    if (!m_pFile) return 0;
    CxImage check;
    if (!DecodeFile(*m_pFile, check)) return 0;
    QPrinter& printer = GetPrinter();
    CPrintView view(*m_pHost, printer, this);
    return view.PrintOn(printer, withDialog);
}
