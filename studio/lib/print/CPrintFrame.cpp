#include "print/CPrintFrame.h"

#include "print/CPrintViewBase.h"

#include <QAction>
#include <QCloseEvent>
#include <QPrintPreviewWidget>
#include <QToolBar>

CPrintFrame::CPrintFrame(int resourceId) {
    setObjectName(QString::number(resourceId));
    setAttribute(Qt::WA_DeleteOnClose, false); // the view's end of preview destroys the frame
    setWindowTitle(QStringLiteral("打印预览"));

    auto* bar = addToolBar(QStringLiteral("打印预览"));
    bar->setMovable(false);
    m_pPrint = bar->addAction(QStringLiteral("打印(&P)..."));
    m_pPrint->setObjectName(QStringLiteral("print"));
    QAction* zoomIn = bar->addAction(QStringLiteral("放大(&I)"));
    QAction* zoomOut = bar->addAction(QStringLiteral("缩小(&O)"));
    m_pClose = bar->addAction(QStringLiteral("关闭(&C)"));
    m_pClose->setObjectName(QStringLiteral("close"));

    connect(m_pPrint, &QAction::triggered, this, [this] {
        if (m_pView) m_pView->OnFilePrint();
    });
    connect(zoomIn, &QAction::triggered, this, [this] {
        if (m_pPreview) m_pPreview->zoomIn();
    });
    connect(zoomOut, &QAction::triggered, this, [this] {
        if (m_pPreview) m_pPreview->zoomOut();
    });
    connect(m_pClose, &QAction::triggered, this, &QWidget::close);
}

CPrintFrame::~CPrintFrame() = default;

void CPrintFrame::SetView(CPrintViewBase* view) {
    m_pView = view;
    view->setParent(this);
    view->hide();
}

void CPrintFrame::SetPreview(QPrintPreviewWidget* preview) {
    m_pPreview = preview;
    setCentralWidget(preview);
}

void CPrintFrame::closeEvent(QCloseEvent* e) {
    e->accept();
    if (m_bEnded) return;
    m_bEnded = true;
    if (m_pView) m_pView->OnEndPrintPreview();
}
