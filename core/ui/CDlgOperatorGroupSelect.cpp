#include "ui/CDlgOperatorGroupSelect.h"

#include "model/CkxXXX.h"
#include "qt/KxReportList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CDlgOperatorGroupSelect::CDlgOperatorGroupSelect(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择操作员分组"));
    auto* layout = new QVBoxLayout(this);
    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("操作员组列表"), this));
    groups_ = new QListWidget(this); // entries in the order added
    SetDlgItemId(groups_, IDC_LIST_GROUP);
    left->addWidget(groups_);
    lists->addLayout(left, 2);
    members_ = kx::MakeReportList(this, IDC_LIST_MEMBER, {{"登录名", 120}, {"姓名", 120}});
    lists->addWidget(members_, 3);
    layout->addLayout(lists);
    kx::AddOkCancel(this, layout);
    connect(groups_, &QListWidget::itemSelectionChanged, this, [this] { OnSelchangeLISTGroup(); });
    resize(440, 280);
}

void CDlgOperatorGroupSelect::AddOperator(const CkxUser& user) {
    int row = members_->InsertItem(members_->GetItemCount(), kx::Q(user.m_strLogon));
    members_->SetItemText(row, 1, kx::Q(user.m_strUser));
    members_->SetItemData(row, user.m_nID);
}

int CDlgOperatorGroupSelect::SelectedGroupID() const {
    const QList<QListWidgetItem*> selected = groups_->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->data(Qt::UserRole).toInt();
}

void CDlgOperatorGroupSelect::OnSelchangeLISTGroup() {
    int id = SelectedGroupID();
    if (id < 0) return;
    const CkxXXX& ctx = KX_KXXXX();
    const CkxUserGroup* group = ctx.m_UserGroupList.Find(id);
    if (!group) return;
    members_->DeleteAllItems();
    for (int32_t member : group->m_UserList) {
        if (const CkxUser* user = ctx.m_UserList.Find(member)) AddOperator(*user);
    }
}

void CDlgOperatorGroupSelect::OnInitDialog() {
    groups_->clear();
    members_->DeleteAllItems();
    KX_KXXXX().m_UserGroupList.ForEach([this](const CkxUserGroup& g) {
        auto* item = new QListWidgetItem(kx::Q(g.m_strName), groups_);
        item->setData(Qt::UserRole, g.m_nID);
    });
    groups_->setCurrentRow(-1);
    kx::Dialog::OnInitDialog();
}

void CDlgOperatorGroupSelect::OnOK() {
    m_nGroupID = SelectedGroupID();
    EndDialog(kx::IDOK);
}
