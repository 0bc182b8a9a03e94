#include "dlg/CDlgDocWindows.h"

#include "app/CvClientApp.h"

#include "qt/KxReportList.h"
#include "ui/KxShowDlg.h"

#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

kx::ReportList* MakeDocList(kx::Dialog* dlg, int id, bool okOnDoubleClick) {
    return kx::MakeReportList(dlg, id, {{"文档窗口", 230}, {"类型", 100}}, okOnDoubleClick);
}

// Closes the document's own windows: the tab a view sits in, or the view itself.
void CloseDocWindows(CvClientDoc& doc) {
    for (QWidget* view : doc.GetViews()) {
        QWidget* window = view;
        for (QWidget* up = view->parentWidget(); up; up = up->parentWidget())
            if (auto* tab = qobject_cast<QMdiSubWindow*>(up)) {
                window = tab;
                break;
            }
        QMetaObject::invokeMethod(window, "close", Qt::QueuedConnection);
    }
}

} // namespace

void AddDocRow(kx::ReportList* list, const CvClientDoc& doc) {
    const int row = list->InsertItem(list->GetItemCount(), kx::Q(doc.GetTitle()));
    list->SetItemText(row, 1, kx::Q(doc.GetKindName()));
    list->SetItemData(row, doc.GetDocID());
}

// ---- Chooser ----

CDlgDocWindowChooser::CDlgDocWindowChooser(CvClientApp& app, QWidget* parent) : kx::Dialog(parent), m_app(app) {
    setWindowTitle(QStringLiteral("目标文档窗口"));
    setObjectName(QString::number(IDD));
    auto* layout = new QVBoxLayout(this);
    m_list = MakeDocList(this, IDC_LIST, true);
    layout->addWidget(m_list);
    kx::AddOkCancel(this, layout);
    resize(380, 260);
}

void CDlgDocWindowChooser::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    m_list->DeleteAllItems();
    const int row = m_list->InsertItem(0, QString::fromUtf8(kNewWindow));
    m_list->SetItemText(row, 1, QStringLiteral("本地文档"));
    m_list->SetItemData(row, -1);
    for (CvClientDoc* doc : m_app.GetDocs())
        if (doc->GetKind() == CvClientDoc::KIND_LOCAL) AddDocRow(m_list, *doc);
}

void CDlgDocWindowChooser::OnOK() {
    const int row = m_list->GetSelectedRow();
    m_nDocID = row >= 1 ? static_cast<int>(m_list->GetItemData(row)) : -1;
    EndDialog(kx::IDOK);
}

// ---- Manager ----

CDlgDocWindowManager::CDlgDocWindowManager(CvClientApp& app, QWidget* parent) : kx::Dialog(parent), m_app(app) {
    setWindowTitle(QStringLiteral("文档窗口管理"));
    setObjectName(QString::number(IDD));
    auto* layout = new QVBoxLayout(this);
    m_list = MakeDocList(this, IDC_LIST, false);
    layout->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_close = new QPushButton(QStringLiteral("关闭文档窗口"), this);
    SetDlgItemId(m_close, IDC_CLOSE);
    connect(m_close, &QPushButton::clicked, this, [this] { OnCloseWindow(); });
    buttons->addWidget(m_close);
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButton(); });
    resize(380, 260);
}

void CDlgDocWindowManager::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    Fill();
}

void CDlgDocWindowManager::Fill() {
    m_list->DeleteAllItems();
    for (CvClientDoc* doc : m_app.GetDocs())
        if (!m_closing.count(doc->GetDocID())) AddDocRow(m_list, *doc);
    UpdateButton();
}

void CDlgDocWindowManager::UpdateButton() {
    const int row = m_list->GetSelectedRow();
    m_close->setEnabled(row >= 0 && m_app.FindDoc(static_cast<int>(m_list->GetItemData(row))) != nullptr);
}

void CDlgDocWindowManager::OnCloseWindow() {
    const int row = m_list->GetSelectedRow();
    if (row < 0) return;
    const int docId = static_cast<int>(m_list->GetItemData(row));
    // The document is found by its id: one that has gone meanwhile is only dropped from the list.
    if (CvClientDoc* doc = m_app.FindDoc(docId); doc && !m_closing.count(docId)) {
        m_closing.insert(docId);
        CloseDocWindows(*doc);
    }
    Fill();
}
