#include "ui/CDlgProjectUser.h"

#include "model/CkxXXX.h"
#include "qt/KxReportList.h"

#include <QLabel>
#include <QVBoxLayout>

#include <vector>

CDlgProjectUser::CDlgProjectUser(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("项目用户"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("用户列表"), this));
    list_ = kx::MakeReportList(this, IDC_LIST_USER, {{"登录名", 120}, {"姓名", 120}}, true);
    list_->SetCheckBoxes(true);
    layout->addWidget(list_);
    kx::AddOkCancel(this, layout);
    resize(300, 320);
}

void CDlgProjectUser::OnInitDialog() {
    list_->DeleteAllItems();
    KX_KXXXX().m_UserList.ForEach([this](const CkxUser& u) {
        const int row = list_->InsertItem(list_->GetItemCount(), kx::Q(u.m_strLogon));
        list_->SetItemText(row, 1, kx::Q(u.m_strUser));
        list_->SetItemData(row, u.m_nID);
    });
    if (!m_nNew) {
        // Only user entries tick user rows: a group's id says nothing about a user's.
        std::vector<CkxUserX*> users;
        m_UserList._GetAllUser(users);
        for (const CkxUserX* entry : users) {
            const int row = list_->FindItemData(entry->m_nID);
            if (row >= 0) list_->SetCheck(row, true);
        }
    }
    kx::Dialog::OnInitDialog();
}

void CDlgProjectUser::OnOK() {
    std::vector<CkxUserX*> groups;
    m_UserList._GetAllGroup(groups);
    std::vector<CkxUserX> keep;
    for (const CkxUserX* g : groups) keep.push_back(*g);

    m_UserList.DeleteAll();
    for (int row = 0; row < list_->GetItemCount(); ++row) {
        if (!list_->GetCheck(row)) continue;
        CkxUserX entry(static_cast<int>(list_->GetItemData(row)), CkxUserX::TYPE_USER);
        entry.Enable(1);
        m_UserList.AddTail(entry);
    }
    for (const CkxUserX& g : keep) m_UserList.AddTail(g);
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_ProjectUser(int newFlag, CkxUserXList& users) {
    return kx::RunDlg<CDlgProjectUser>(
        [&](CDlgProjectUser& d) {
            d.m_nNew = newFlag;
            d.m_UserList = users;
        },
        [&](CDlgProjectUser& d) { users = d.m_UserList; });
}
