#include "nav/CWndProjectTree.h"

#include "app/CvClientApp.h"
#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgProjectEdit.h"
#include "ui/CDlgProjectUser.h"

#include <algorithm>

CWndProjectTree::CWndProjectTree(CStudioLink& link, QWidget* parent)
    : CkxWinProjectTreeCtrl(parent), m_link(link), m_menu(this) {
    setObjectName("CWndProjectTree");
    m_root = InsertItem(QStringLiteral("项目"), 0, 0);
    link.Register(kSlotProjects, this);
    ConnectContextMenu(this);
}

int CWndProjectTree::CountItems(int projectId) const {
    return static_cast<int>(std::count_if(m_items.begin(), m_items.end(), [&](const Entry& e) { return e.projectId == projectId; }));
}

void CWndProjectTree::AddProjectItem(const CkxProject& project) {
    const HTREEITEM item = InsertItem(QString::fromStdString(project.m_strName), 3, 4, m_root);
    if (!item) return;
    SetItemData(item, project.GetID());
    Expand(m_root, TVE_EXPAND);
    m_items.push_back({item, project.GetID()});
}

void CWndProjectTree::RemoveProjectItems(int projectId) {
    for (auto it = m_items.begin(); it != m_items.end();) {
        if (it->projectId != projectId) {
            ++it;
            continue;
        }
        DeleteItem(it->item);
        it = m_items.erase(it);
    }
}

kx::LRESULT CWndProjectTree::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return 0;
    const int id = static_cast<int>(lParam);
    const CkxProjectList& projects = KX_KXXXX().m_ProjectList;
    switch (static_cast<int>(wParam)) {
    case kNoticeReload:
        // The cache anew, never on top of what is shown.
        for (const Entry& e : std::vector<Entry>(m_items)) RemoveProjectItems(e.projectId);
        projects.ForEach([&](const CkxProject& p) { AddProjectItem(p); });
        ExpandRoot();
        break;
    case kNoticeAdded:
    case kNoticeUpdated:
        if (const CkxProject* p = projects.Find(id)) {
            if (CountItems(id) == 0) AddProjectItem(*p); // an id already shown is updated, not doubled
            else
                for (const Entry& e : m_items)
                    if (e.projectId == id) SetItemText(e.item, QString::fromStdString(p->m_strName));
        }
        break;
    case kNoticeRemoved: RemoveProjectItems(id); break;
    default: break;
    }
    return 1;
}

const CkxProject* CWndProjectTree::SelectedProject() const {
    const HTREEITEM item = GetSelectedItem();
    for (const Entry& e : m_items)
        if (e.item == item) return KX_KXXXX().m_ProjectList.Find(e.projectId);
    return nullptr;
}

bool CWndProjectTree::CanCreate() const { return KX_KXXXX().fsUserCan_Project_Create(m_link.GetCurrentUserId()) != 0; }

kx::PopupMenu* CWndProjectTree::BuildMenu() {
    const HTREEITEM item = GetSelectedItem();
    if (!item) return nullptr;
    const CkxXXX& c = KX_KXXXX();
    const int user = m_link.GetCurrentUserId();
    if (item == m_root) {
        if (!CanCreate()) return nullptr;
        return m_menu.Make({{ID_CREATE, "创建项目", true}});
    }
    const CkxProject* project = SelectedProject();
    if (!project) return nullptr;
    if (c.fsUserCan_Project_Admin(user, project->GetID()))
        return m_menu.Make({{ID_BROWSE, "浏览文件", true},
                            {ID_VIEW, "查看信息", true},
                            {0, "", false},
                            {ID_MODIFY, "修改项目", true},
                            {ID_USERS, "设置用户", true},
                            {0, "", false},
                            {ID_DELETE, "删除项目", true}});
    if (c.fsUserCan_Project_BrowseFile(user, project->GetID()))
        return m_menu.Make({{ID_BROWSE, "浏览文件", true}, {ID_VIEW, "查看信息", true}});
    return nullptr;
}

void CWndProjectTree::OnCommand(int id) {
    if (id == ID_CREATE) {
        CkxProject project;
        project.m_nLev = 1;
        project.m_nParentID = -1;
        if (KX_ShowDlg_ProjectEdit(1, project)) m_link.SendProjectAddRequest(project);
        return;
    }
    const CkxProject* stored = SelectedProject();
    if (!stored) return;
    CkxProject copy = *stored;
    switch (id) {
    case ID_VIEW: KX_ShowDlg_ProjectEdit(0, copy); return; // a view: nothing is sent
    case ID_MODIFY:
        if (KX_ShowDlg_ProjectEdit(0, copy)) m_link.SendProjectModifyRequest(copy);
        return;
    case ID_USERS: {
        // The cache changes when the server's answer comes, not before.
        CkxUserXList users = copy.m_UserList;
        if (!KX_ShowDlg_ProjectUser(0, users)) return;
        copy.m_UserList = users;
        m_link.SendProjectModifyRequest(copy);
        return;
    }
    case ID_DELETE:
        if (kx::Prompt(this, "确定删除项目 \"" + copy.m_strName + "\"", kx::PromptOkCancel, kx::PromptQuestion) ==
            kx::AnswerOk)
            m_link.SendProjectDeleteRequest(copy.GetID());
        return;
    case ID_BROWSE:
        if (CvClientApp* app = NavApp()) app->OpenProjectDoc(m_link, copy.GetID());
        return;
    default: return;
    }
}

void CWndProjectTree::ExpandAll() {
    Expand(m_root, TVE_EXPAND);
    ExpandTree();
}

void CWndProjectTree::CollapseAll() {
    FurlTree();
    Expand(m_root, TVE_COLLAPSE);
}
