#include "print/CPrintViewBase.h"

#include "print/CPrintFrame.h"
#include "print/CPrintHost.h"

#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>

CPrintViewBase::CPrintViewBase(CPrintHost& host, QPrinter& printer, QWidget* parent)
    : QWidget(parent), m_host(host), m_printer(printer) {}

CPrintViewBase::~CPrintViewBase() = default;

CPrintFrame* CPrintViewBase::GetFrame() const { return m_pFrame.data(); }

CPrintFrame* CPrintViewBase::OpenPreviewFrame(int resourceId) {
    auto* frame = new CPrintFrame(resourceId);
    m_pFrame = frame;
    frame->SetView(this);
    m_pMainWnd = m_host.GetMainWnd();
    if (m_pMainWnd) m_pMainWnd->hide();
    m_host.SetMainWnd(frame);
    frame->setWindowTitle(QStringLiteral("打印预览"));
    frame->showMaximized();
    OnFilePrintPreview();
    return frame;
}

void CPrintViewBase::OnFilePrintPreview() {
    if (!m_pFrame || m_pFrame->GetPreview()) return;
    PreparePrinter(m_printer);
    auto* preview = new QPrintPreviewWidget(&m_printer, m_pFrame);
    preview->setObjectName(QStringLiteral("preview"));
    connect(preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) {
        CPrintInfo info;
        info.m_bPreview = true;
        if (!OnPreparePrinting(info)) return;
        CPrintRun::PreviewPages(*printer, info, Steps());
    });
    m_pFrame->SetPreview(preview);
    preview->fitToWidth();
    preview->updatePreview();
}

void CPrintViewBase::OnEndPrintPreview() {
    CPrintFrame* frame = m_pFrame.data();
    if (m_pMainWnd) {
        m_pMainWnd->show();
        m_host.SetMainWnd(m_pMainWnd);
    } else if (m_host.GetMainWnd() == frame) {
        m_host.SetMainWnd(nullptr);
    }
    OnPreviewEnded();
    if (frame) frame->deleteLater(); // this view goes with it
}

int CPrintViewBase::PrintOn(QPrinter& printer, bool withDialog) {
    CPrintInfo info;
    info.m_bDirect = !withDialog;
    PreparePrinter(printer);
    m_pRunPrinter = &printer;
    const bool go = OnPreparePrinting(info);
    m_pRunPrinter = nullptr;
    if (!go) return 0;
    return CPrintRun::Pages(printer, m_host.GetAppTitle(), info, Steps());
}

bool CPrintViewBase::DoPreparePrinting(CPrintInfo& info) {
    if (info.m_bPreview || info.m_bDirect) return true;
    return CPrintRun::Dialog(m_pRunPrinter ? *m_pRunPrinter : m_printer, info, DialogParent());
}

QWidget* CPrintViewBase::DialogParent() const {
    if (m_pFrame) return m_pFrame.data();
    return m_host.GetMainWnd();
}

CPrintSteps CPrintViewBase::Steps() {
    CPrintSteps steps;
    steps.begin = [this](QPainter& p, CPrintInfo& info) { OnBeginPrinting(p, info); };
    steps.page = [this](QPainter& p, CPrintInfo& info) { return OnPrint(p, info); };
    steps.end = [this](QPainter& p, CPrintInfo& info) { OnEndPrinting(p, info); };
    return steps;
}
