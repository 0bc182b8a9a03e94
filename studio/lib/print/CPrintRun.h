// CPrintRun: one print run on a QPrinter, shared by the print job and the print views: the print
// dialog with the options every print here uses, and the loop that names the document, begins
// printing, prints each page of the range and ends printing, aborting the run when a page fails.
// CPrintInfo is the page range and state a run passes to the steps.
#pragma once

#include <QString>

#include <functional>

class QPainter;
class QPrinter;
class QWidget;

struct CPrintInfo {
    static constexpr int kPageUnknown = 0;

    bool m_bPreview = false;          // drawing a preview, not paper
    bool m_bDirect = false;           // printing without the print dialog
    int m_nFirstPage = 1;
    int m_nLastPage = kPageUnknown;   // unknown: exactly one page is printed
    int m_nCurPage = 1;

    // The last page the run prints (the first page when the count is unknown).
    int LastPageToPrint() const { return m_nLastPage == kPageUnknown ? m_nFirstPage : m_nLastPage; }
};

// The steps of a run. Page returns a value above 0 when the page was drawn; 0 or less stops the
// run as failed.
struct CPrintSteps {
    std::function<void(QPainter&, CPrintInfo&)> begin;
    std::function<int(QPainter&, CPrintInfo&)> page;
    std::function<void(QPainter&, CPrintInfo&)> end;
};

class CPrintRun {
public:
    // The print dialog over the printer: the page range choice preset to the info's range,
    // collate checked, printing to a file not offered (unless the printer already prints to a
    // PDF file, whose destination the dialog would otherwise drop). On OK the info's range
    // becomes the one chosen; false on Cancel.
    static bool Dialog(QPrinter& printer, CPrintInfo& info, QWidget* parent);

    // Prints the info's pages on the printer (a document named docName). 1 when every page
    // printed; 0 when the printer could not start or a page failed, the run then aborted (a
    // PDF file it had begun is removed, so a failed run leaves no output).
    static int Pages(QPrinter& printer, const QString& docName, CPrintInfo& info, const CPrintSteps& steps);

    // The same loop drawing into the printer a preview widget hands over (no document, no abort).
    static int PreviewPages(QPrinter& printer, CPrintInfo& info, const CPrintSteps& steps);

private:
    static int Loop(QPrinter& printer, QPainter& painter, CPrintInfo& info, const CPrintSteps& steps);
};
