#include "pane/CWndOperatorOnline.h"

#include "link/ConsoleLink.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"

#include <QHeaderView>
#include <QStyle>

namespace {
constexpr int kIdRole = Qt::UserRole;
}

CWndOperatorOnline::CWndOperatorOnline(ConsoleLink& link, QWidget* parent) : QTreeWidget(parent) {
    setObjectName("CWndOperatorOnline");
    setRootIsDecorated(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setFrameShape(QFrame::StyledPanel);
    setHeaderLabels({QStringLiteral("登录名"), QStringLiteral("姓名")});
    header()->resizeSection(0, 120);
    header()->resizeSection(1, 120);
    link.Observe(kx::kMsgSession, this, [this](int notice, int id) { OnNotice(notice, id); });
}

void CWndOperatorOnline::OnNotice(int notice, int userId) {
    switch (notice) {
    case kNoticeReload:
        clear();
        for (int id : KX_KXXXX().m_UserOnline.GetList()) AddRow(id);
        break;
    case kNoticeAdded: AddRow(userId); break;
    case kNoticeUpdated:
        if (const int row = FindRow(userId); row >= 0) FillRow(topLevelItem(row), userId);
        break;
    case kNoticeRemoved:
        if (const int row = FindRow(userId); row >= 0) delete takeTopLevelItem(row);
        break;
    default: break;
    }
}

void CWndOperatorOnline::AddRow(int userId) {
    // A connection that has not logged on is nobody; an id the user list does not hold yet
    // comes with the next reload.
    if (userId <= 0 || !KX_KXXXX().m_UserList.Find(userId)) return;
    auto* item = new QTreeWidgetItem(this);
    item->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
    FillRow(item, userId);
}

void CWndOperatorOnline::FillRow(QTreeWidgetItem* item, int userId) {
    const CkxUser* user = KX_KXXXX().m_UserList.Find(userId);
    item->setData(0, kIdRole, userId);
    item->setText(0, user ? QString::fromStdString(user->m_strLogon) : QString());
    item->setText(1, user ? QString::fromStdString(user->m_strUser) : QString());
}

int CWndOperatorOnline::FindRow(int userId) const {
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->data(0, kIdRole).toInt() == userId) return i;
    return -1;
}

int CWndOperatorOnline::GetRowUserId(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->data(0, kIdRole).toInt() : -1;
}
