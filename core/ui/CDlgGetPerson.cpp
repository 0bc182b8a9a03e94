#include "ui/CDlgGetPerson.h"

#include "model/CkxXXX.h"
#include "qt/KxReportList.h"

#include <QLabel>
#include <QVBoxLayout>

CDlgGetPerson::CDlgGetPerson(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择人员"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("人员列表"), this));
    list_ = new kx::ReportList(this);
    SetDlgItemId(list_, IDC_LIST_PERSON);
    list_->SetFullRowSelect(true);
    list_->SetInfoTip(true);
    list_->InsertColumn(0, QStringLiteral("名称"), kx::LVCFMT_LEFT, 100);
    list_->InsertColumn(1, QStringLiteral("类型"), kx::LVCFMT_LEFT, 60);
    list_->InsertColumn(2, QStringLiteral("头衔"), kx::LVCFMT_LEFT, 60);
    list_->InsertColumn(3, QStringLiteral("备注"), kx::LVCFMT_LEFT, 200);
    layout->addWidget(list_);
    kx::AddOkCancel(this, layout);
    connect(list_, &kx::ReportList::ItemDoubleClicked, this, [this](int row, int) {
        if (row >= 0) accept();
    });
    resize(460, 300);
}

void CDlgGetPerson::AddPerson(const CkxPerson& person) {
    int row = list_->InsertItem(list_->GetItemCount(), kx::Q(person.m_strName));
    list_->SetItemText(row, 1, kx::Q(CkxPerson::GetRelationName(person.m_nRelation)));
    list_->SetItemText(row, 2, kx::Q(CkxPerson::GetProfessionName(person.m_nProfession)));
    list_->SetItemText(row, 3, kx::Q(person.m_strNote));
    list_->SetItemData(row, person.m_nID);
}

void CDlgGetPerson::OnInitDialog() {
    if (!m_strCaption.empty()) setWindowTitle(kx::Q(m_strCaption));
    list_->DeleteAllItems();
    KX_KXXXX().m_PersonList.ForEach([this](const CkxPerson& p) { AddPerson(p); });
    kx::Dialog::OnInitDialog();
}

void CDlgGetPerson::OnOK() {
    int row = list_->GetSelectedRow();
    if (row >= 0) m_nPersonID = static_cast<int>(list_->GetItemData(row));
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_GetPerson(const std::string& caption, int& personId) {
    return kx::RunDlg<CDlgGetPerson>([&](CDlgGetPerson& d) { d.SetWindowTextA(caption); },
                                     [&](CDlgGetPerson& d) { personId = d.m_nPersonID; });
}
