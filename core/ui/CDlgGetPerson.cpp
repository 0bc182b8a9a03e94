#include "ui/CDlgGetPerson.h"

#include "model/CkxXXX.h"
#include "qt/KxReportList.h"

#include <QLabel>
#include <QVBoxLayout>

CDlgGetPerson::CDlgGetPerson(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择人员"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("人员列表"), this));
    list_ = kx::MakeReportList(this, IDC_LIST_PERSON, {{"名称", 100}, {"类型", 60}, {"头衔", 60}, {"备注", 200}},
                               true);
    layout->addWidget(list_);
    kx::AddOkCancel(this, layout);
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
