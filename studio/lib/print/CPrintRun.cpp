#include "print/CPrintRun.h"

#include <QFile>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

bool CPrintRun::Dialog(QPrinter& printer, CPrintInfo& info, QWidget* parent) {
    const int first = info.m_nFirstPage, last = info.LastPageToPrint();
    printer.setCollateCopies(true);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(first, last);
    // On this platform a print dialog without the file entry sends the output to the chosen
    // printer and forgets the file name; a printer handed over as a PDF file keeps its file.
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();

    QPrintDialog dlg(&printer, parent);
    dlg.setMinMax(first, last);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dlg.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    dlg.setOption(QAbstractPrintDialog::PrintToFile, toFile);
    dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
    dlg.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dlg.exec() != QDialog::Accepted) return false;

    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        const int from = std::clamp(printer.fromPage(), first, last);
        const int to = std::clamp(printer.toPage() > 0 ? printer.toPage() : last, from, last);
        info.m_nFirstPage = from;
        info.m_nLastPage = to;
    }
    return true;
}

int CPrintRun::Loop(QPrinter& printer, QPainter& painter, CPrintInfo& info, const CPrintSteps& steps) {
    if (steps.begin) steps.begin(painter, info);
    int ok = 1;
    const int first = info.m_nFirstPage;
    // Read after begin printing: a view may set its range there.
    for (int page = info.m_nFirstPage; page <= info.LastPageToPrint(); ++page) {
        if (page > first && !printer.newPage()) {
            ok = 0;
            break;
        }
        info.m_nCurPage = page;
        painter.save();
        const int drawn = steps.page ? steps.page(painter, info) : 0;
        painter.restore();
        if (drawn <= 0) {
            ok = 0;
            break;
        }
    }
    if (steps.end) steps.end(painter, info);
    return ok;
}

int CPrintRun::Pages(QPrinter& printer, const QString& docName, CPrintInfo& info, const CPrintSteps& steps) {
    printer.setDocName(docName);
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    const int ok = Loop(printer, painter, info, steps);
    if (!ok) printer.abort();
    painter.end();
    // A PDF writer cannot abort: what it wrote of a failed run goes.
    if (!ok && printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    return ok;
}

int CPrintRun::PreviewPages(QPrinter& printer, CPrintInfo& info, const CPrintSteps& steps) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    info.m_bPreview = true;
    const int ok = Loop(printer, painter, info, steps);
    painter.end();
    return ok;
}
