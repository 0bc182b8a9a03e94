#include "print/CPrintView.h"

#include "print/CPrintJob.h"

CPrintView::CPrintView(CPrintHost& host, QPrinter& printer, CPrintJob* job, QWidget* parent)
    : CPrintViewBase(host, printer, parent), m_pJob(job) {}

CPrintView::~CPrintView() = default;

int CPrintView::OnPrint(QPainter& painter, CPrintInfo&) { return m_pJob ? m_pJob->DrawPage(painter) : 0; }

void CPrintView::OnPreviewEnded() {
    if (m_pJob) m_pJob->OnPreviewEnded();
}

void CPrintView::PreparePrinter(QPrinter& printer) {
    if (m_pJob) m_pJob->ApplyOrientation(printer);
}
