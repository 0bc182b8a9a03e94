#include "pane/CWndOperatorGroup.h"

#include "dlg/CDlgOperatorGroup.h"
#include "link/ConsoleLink.h"
#include "model/CkxXXX.h"
#include "pane/CWndOperator.h"
#include "protocol/KxMessage.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"

#include <QResizeEvent>
#include <QStyle>
#include <QTreeWidget>

namespace {
constexpr int kIdRole = Qt::UserRole;
}

CWndOperatorGroup::CWndOperatorGroup(ConsoleLink& link, QWidget* parent) : QWidget(parent), m_link(link) {
    setObjectName("CWndOperatorGroup");
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName("1");
    m_tree->setHeaderHidden(true);
    m_root = new QTreeWidgetItem(m_tree, {QStringLiteral("操作员分组")});
    m_root->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    m_members = new kx::ReportList(this);
    m_members->setObjectName("2");
    m_members->InsertColumn(0, QStringLiteral("操作员"), kx::LVCFMT_LEFT, 400);
    m_members->SetFullRowSelect(true);

    m_menuTitle = new kx::PopupMenu(this);
    m_menuTitle->setObjectName("191:Title");
    m_menuTitle->AppendMenu(QStringLiteral("新建操作员组"), ID_NEW);
    m_menuNode = new kx::PopupMenu(this);
    m_menuNode->setObjectName("191:Node");
    m_menuNode->AppendMenu(QStringLiteral("新建操作员组"), ID_NEW);
    m_menuNode->AppendMenu(QStringLiteral("修改操作员组"), ID_MODIFY);
    m_menuNode->AppendSeparator();
    m_menuNode->AppendMenu(QStringLiteral("删除操作员组"), ID_DELETE);
    m_menuNode->AppendSeparator();
    m_menuNode->AppendMenu(QStringLiteral("关联操作员"), ID_ASSOCIATE);

    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const int id = Menu(PopupIndex())->TrackPopupMenu(m_tree->viewport()->mapToGlobal(at));
        if (id > 0) OnCommand(id);
    });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { ShowMembers(); });
    link.Observe(kx::kMsgUserGroup, this, [this](int notice, int id) { OnNotice(notice, id); });
    Rebuild();
}

void CWndOperatorGroup::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_tree->setGeometry(0, 0, 200, height());
    m_members->setGeometry(200, 0, std::max(0, width() - 200), height());
}

QTreeWidgetItem* CWndOperatorGroup::FindGroupItem(int groupId) const {
    for (int i = 0; i < m_root->childCount(); ++i)
        if (m_root->child(i)->data(0, kIdRole).toInt() == groupId) return m_root->child(i);
    return nullptr;
}

void CWndOperatorGroup::Rebuild() {
    const QSignalBlocker quiet(m_tree);
    for (QTreeWidgetItem* child : m_root->takeChildren()) delete child;
    KX_KXXXX().m_UserGroupList.ForEach([&](const CkxUserGroup& g) {
        auto* item = new QTreeWidgetItem(m_root, {QString::fromStdString(g.m_strName)});
        item->setData(0, kIdRole, g.GetID());
        item->setIcon(0, style()->standardIcon(QStyle::SP_FileDialogListView));
    });
    m_root->setExpanded(true);
    m_tree->setCurrentItem(nullptr);
    ShowMembers();
}

void CWndOperatorGroup::OnNotice(int notice, int groupId) {
    const CkxUserGroup* group = KX_KXXXX().m_UserGroupList.Find(groupId);
    QTreeWidgetItem* item = FindGroupItem(groupId);
    switch (notice) {
    case kNoticeReload: Rebuild(); break;
    case kNoticeAdded:
        if (group && !item) {
            auto* added = new QTreeWidgetItem(m_root, {QString::fromStdString(group->m_strName)});
            added->setData(0, kIdRole, groupId);
            added->setIcon(0, style()->standardIcon(QStyle::SP_FileDialogListView));
            m_root->setExpanded(true);
        }
        break;
    case kNoticeUpdated:
        if (group && item) {
            item->setText(0, QString::fromStdString(group->m_strName));
            if (m_tree->currentItem() == item) ShowMembers(); // the members may have changed
        }
        break;
    case kNoticeRemoved:
        if (item) {
            const bool shown = m_tree->currentItem() == item;
            delete item;
            if (shown) ShowMembers();
        }
        break;
    default: break;
    }
}

int CWndOperatorGroup::PopupIndex() const { return m_tree->currentItem() == m_root ? 0 : 1; }

int CWndOperatorGroup::SelectedGroupId() const {
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || item == m_root) return -1;
    const int id = item->data(0, kIdRole).toInt();
    return KX_KXXXX().m_UserGroupList.Find(id) ? id : -1;
}

void CWndOperatorGroup::ShowMembers() {
    m_members->DeleteAllItems();
    const CkxUserGroup* group = KX_KXXXX().m_UserGroupList.Find(SelectedGroupId());
    if (!group) return;
    const CkxUserList& users = KX_KXXXX().m_UserList;
    for (int32_t id : group->m_UserList) {
        const CkxUser* u = users.Find(id);
        if (!u) continue; // an id no account has
        const int row = m_members->InsertItem(m_members->GetItemCount(), QString::fromStdString(u->m_strLogon));
        m_members->SetItemData(row, id);
        static const QStyle::StandardPixmap kIcons[] = {QStyle::SP_DialogApplyButton, QStyle::SP_MediaPause,
                                                        QStyle::SP_DialogCancelButton};
        m_members->topLevelItem(row)->setIcon(0, style()->standardIcon(kIcons[CWndOperator::StateImage(u->m_nState)]));
    }
}

void CWndOperatorGroup::EditGroup(bool associate) {
    const CkxUserGroup* group = KX_KXXXX().m_UserGroupList.Find(SelectedGroupId());
    if (!group) return;
    CDlgOperatorGroup dlg(this);
    dlg.m_bCreate = 0;
    dlg.m_bReadOnly = associate ? 1 : 0;
    dlg.m_Group = *group;
    if (dlg.DoModal() == kx::IDOK) m_link.SendGroupUpdateRequest(dlg.m_Group);
}

void CWndOperatorGroup::OnCommand(int id) {
    switch (id) {
    case ID_NEW: {
        CDlgOperatorGroup dlg(this);
        if (dlg.DoModal() == kx::IDOK) m_link.SendGroupAddRequest(dlg.m_Group);
        return;
    }
    case ID_MODIFY: EditGroup(false); return;
    case ID_ASSOCIATE: EditGroup(true); return;
    case ID_DELETE: {
        const int groupId = SelectedGroupId();
        if (groupId < 0) return;
        if (kx::Prompt(this, kDeleteQuestion, kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk)
            m_link.SendGroupDeleteRequest(groupId);
        return;
    }
    default: return;
    }
}
