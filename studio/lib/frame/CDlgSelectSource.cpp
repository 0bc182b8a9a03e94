#include "frame/CDlgSelectSource.h"

#include "qt/KxReportList.h"
#include "ui/KxShowDlg.h"

#include <QVBoxLayout>

CDlgSelectSource::CDlgSelectSource(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择扫描仪"));
    auto* layout = new QVBoxLayout(this);
    m_list = kx::MakeReportList(this, IDC_LIST_SOURCE, {{"厂商", 110}, {"型号", 150}, {"类型", 110}}, true);
    layout->addWidget(m_list);
    kx::AddOkCancel(this, layout);
    resize(420, 240);
}

void CDlgSelectSource::OnInitDialog() {
    m_list->DeleteAllItems();
    for (const Row& r : m_Rows) {
        const int row = m_list->InsertItem(m_list->GetItemCount(), kx::Q(r.vendor));
        m_list->SetItemText(row, 1, kx::Q(r.model));
        m_list->SetItemText(row, 2, kx::Q(r.type));
    }
    if (m_nSelected >= 0 && m_nSelected < m_list->GetItemCount()) m_list->SetItemSelected(m_nSelected, true);
    kx::Dialog::OnInitDialog();
}

void CDlgSelectSource::OnOK() {
    m_nSelected = m_list->GetSelectedRow();
    EndDialog(kx::IDOK);
}
