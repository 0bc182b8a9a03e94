#include "frame/CWorkTreeView.h"

#include "frame/CWorkRightView.h"
#include "link/ConsoleLink.h"
#include "model/CkxXXX.h"

#include <QStyle>

CWorkTreeView::CWorkTreeView(ConsoleLink& link, QWidget* parent) : QTreeWidget(parent), m_link(link) {
    setObjectName("CWorkTreeView");
    setHeaderHidden(true);
    setRootIsDecorated(true);
    m_root = new QTreeWidgetItem(this, {QStringLiteral("服务器")});
    m_root->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) { OnSelChanged(item); });
    link.ObserveUserListEnd(this, [this] { Fill(); });
}

void CWorkTreeView::Fill() {
    // A user list that completes again rebuilds the items; it never adds a second set.
    const QSignalBlocker quiet(this);
    for (QTreeWidgetItem* child : m_root->takeChildren()) delete child;
    m_security = m_userRoles = m_users = m_userGroups = nullptr;
    auto add = [this](QTreeWidgetItem* parent, const char* text, QStyle::StandardPixmap icon) {
        auto* item = new QTreeWidgetItem(parent, {QString::fromUtf8(text)});
        item->setIcon(0, style()->standardIcon(icon));
        return item;
    };
    if (KX_KXXXX().usHasPower_UserAdmin(m_link.GetCurrentUserId())) {
        m_security = add(m_root, "安全性", QStyle::SP_DirIcon);
        m_userRoles = add(m_security, "用户角色", QStyle::SP_FileDialogDetailedView);
        m_users = add(m_security, "用户", QStyle::SP_FileIcon);
        m_userGroups = add(m_security, "用户分组", QStyle::SP_FileDialogListView);
    }
    m_serverInfo = add(m_root, "服务器信息", QStyle::SP_DriveHDIcon);
    m_online = add(m_root, "在线操作员", QStyle::SP_DesktopIcon);
    m_log = add(m_root, "日志", QStyle::SP_FileDialogContentsView);
    for (QTreeWidgetItem* item : {m_root, m_security, m_serverInfo, m_online, m_log})
        if (item) item->setExpanded(true);
}

void CWorkTreeView::OnSelChanged(QTreeWidgetItem* item) {
    if (!item || !m_rightView) return;
    const CkxUser* user = m_link.GetCurrentUser();
    const CkxUserRole* role = user ? KX_KXXXX().m_UserRoleList.Find(user->GetRoleID()) : nullptr;
    if (!role) return;
    const bool userAdmin = CkxUserRole::IsHasPower_UserAdmin(role->m_nPower) != 0;
    if (item == m_userRoles) {
        if (userAdmin) m_rightView->ShowUserRolePane();
    } else if (item == m_users) {
        if (userAdmin) m_rightView->ShowOperatorPane();
    } else if (item == m_userGroups) {
        m_rightView->ShowGroupPane();
    } else if (item == m_serverInfo) {
        m_rightView->ShowServerInfoPane();
    } else if (item == m_online) {
        m_rightView->ShowOnlinePane();
    } else if (item == m_log) {
        m_rightView->ShowLogPane();
    }
}

QTreeWidgetItem* CWorkTreeView::FindItem(const QString& text) const {
    const QList<QTreeWidgetItem*> found = findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.front();
}

int CWorkTreeView::LabelsWidth() const { return sizeHintForColumn(0) + 2 * frameWidth(); }
