#include "ui/CDlgOperatorSelect.h"

#include "model/CkxXXX.h"
#include "qt/KxReportList.h"

#include <QVBoxLayout>

CDlgOperatorSelect::CDlgOperatorSelect(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择操作员"));
    auto* layout = new QVBoxLayout(this);
    list_ = kx::MakeReportList(this, IDC_LIST_OPERATOR, {{"姓名", 100}, {"角色", 60}, {"部门", 80}}, true);
    layout->addWidget(list_);
    kx::AddOkCancel(this, layout);
    resize(300, 280);
}

std::string CDlgOperatorSelect::RoleText(int role) {
    static const char* const texts[] = {"管理员", "编辑员", "检索员", "设备"};
    return role >= 1 && role <= 4 ? texts[role - 1] : "无效";
}

int CDlgOperatorSelect::GetCurSelOperatorID() const {
    int row = list_->GetSelectedRow();
    return row >= 0 ? static_cast<int>(list_->GetItemData(row)) : -1;
}

void CDlgOperatorSelect::AddOperator(const CkxUser& user) {
    int row = list_->InsertItem(list_->GetItemCount(), kx::Q(user.m_strLogon));
    list_->SetItemText(row, 1, kx::Q(RoleText(user.m_nRoleID)));
    list_->SetItemText(row, 2, kx::Q(user.m_strDept));
    list_->SetItemData(row, user.m_nID);
}

void CDlgOperatorSelect::OnInitDialog() {
    list_->DeleteAllItems();
    KX_KXXXX().m_UserList.ForEach([this](const CkxUser& u) { AddOperator(u); });
    kx::Dialog::OnInitDialog();
}

void CDlgOperatorSelect::OnOK() {
    int id = GetCurSelOperatorID();
    if (id >= 0) {
        // Looked up now, after the modal loop may have changed the list; a user deleted in the
        // meantime gives no result.
        const CkxUser* user = KX_KXXXX().m_UserList.Find(id);
        if (user) m_User = *user;
        else m_User.reset();
    }
    EndDialog(kx::IDOK);
}
