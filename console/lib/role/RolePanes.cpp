#include "role/RolePanes.h"

#include "role/CDlgRoleEdit.h"
#include "role/RoleKind.h"

#include "link/ConsoleLink.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"

#include <QResizeEvent>

namespace {

template <class Role>
RoleRow RowOf(const Role& r) {
    return {r.m_nID, r.m_strName, r.m_nIsSystem, static_cast<uint32_t>(r.m_nPower), r.m_strRemark};
}

template <class Role>
struct DialogOf;
template <>
struct DialogOf<CkxFileRole> {
    using Type = CDlgFileRoleEdit;
};
template <>
struct DialogOf<CkxFolderRole> {
    using Type = CDlgFolderRoleEdit;
};

// Runs the kind's dialog (over `role` when modifying); the role to send, or nothing.
template <class Role>
std::optional<Role> RunDialog(QWidget* parent, const Role* role) {
    typename DialogOf<Role>::Type dlg(parent);
    if (role) {
        dlg.m_bCreate = 0;
        dlg.SetRole(*role);
    }
    if (dlg.DoModal() != kx::IDOK) return std::nullopt;
    return dlg.GetRole();
}

template <class Role>
std::vector<RoleRow> RowsOfKind() {
    std::vector<RoleRow> rows;
    RoleKind<Role>::List().ForEach([&](const Role& r) { rows.push_back(RowOf(r)); });
    return rows;
}

template <class Role>
std::optional<RoleRow> FindOfKind(int id) {
    const Role* r = RoleKind<Role>::List().Find(id);
    if (!r) return std::nullopt;
    return RowOf(*r);
}

} // namespace

// ---- The shared part ----

CRolePaneBase::CRolePaneBase(ConsoleLink& link, const std::vector<kx::RoleRight>& rights, int roleListId,
                             int menuId, bool rightsDescription, QWidget* parent, int rightsListId,
                             kx::RightCheck checked)
    : QWidget(parent), m_link(link), m_table(rights), m_checked(checked) {
    m_roles = new kx::ReportList(this);
    m_roles->setObjectName(QString::number(roleListId));
    kx::SetUpRoleList(*m_roles);
    m_rights = new kx::ReportList(this);
    m_rights->setObjectName(QString::number(rightsListId));
    kx::SetUpRightsList(*m_rights, rights, rightsDescription);
    // Menu <menuId>: pop-up 0 "Sel" for a selected role, pop-up 1 "No" otherwise.
    m_menu = new kx::PopupMenu(this);
    m_menu->setObjectName(QString::number(menuId) + ":Sel");
    m_menu->AppendMenu(QStringLiteral("新建角色"), ID_ROLE_NEW);
    m_menu->AppendMenu(QStringLiteral("修改角色"), ID_ROLE_MODIFY);
    m_menu->AppendSeparator();
    m_menu->AppendMenu(QStringLiteral("删除角色"), ID_ROLE_DELETE);
    m_menuNone = new kx::PopupMenu(this);
    m_menuNone->setObjectName(QString::number(menuId) + ":No");
    m_menuNone->AppendMenu(QStringLiteral("新建角色"), ID_ROLE_NEW);
    connect(m_roles, &kx::ReportList::ItemRightClicked, this,
            [this](int, int, const QPoint& globalPos) { PopMenu(globalPos); });
    connect(m_roles, &QTreeWidget::itemSelectionChanged, this, [this] { ShowRightsOf(SelectedRole()); });
}

std::optional<RoleRow> CRolePaneBase::SelectedRole() const {
    const int row = m_roles->GetSelectedRow();
    if (row < 0) return std::nullopt;
    return FindRole(static_cast<int>(m_roles->GetItemData(row)));
}

int CRolePaneBase::PopupIndex() const { return m_roles->GetSelectedCount() > 0 ? 0 : 1; }

void CRolePaneBase::PopMenu(const QPoint& globalPos) {
    kx::PopupMenu* menu = PopupIndex() == 0 ? m_menu : m_menuNone;
    const int id = menu->TrackPopupMenu(globalPos);
    if (id > 0) OnCommand(id);
}

void CRolePaneBase::ShowRightsOf(std::optional<RoleRow> role) {
    kx::ShowRights(*m_rights, m_table, role ? role->mask : 0, m_checked);
}

void CRolePaneBase::ApplyNotice(int notice, int id, bool reloadShowsFirst) {
    const bool reload = kx::ApplyRoleNotice(
        *m_roles, notice, id, [this] { return AllRoles(); }, [this](int i) { return FindRole(i); });
    if (reload && reloadShowsFirst) {
        const std::vector<RoleRow> all = AllRoles();
        if (!all.empty()) ShowRightsOf(all.front());
    }
}

// ---- Panes of one kind ----

template <class Role>
RoleKindPane<Role>::RoleKindPane(ConsoleLink& link, bool rightsDescription, QWidget* parent)
    : CRolePaneBase(link, RoleKind<Role>::Rights(), RoleKind<Role>::kRoleListId, RoleKind<Role>::kMenuId,
                    rightsDescription, parent) {
    link.Observe(RoleKind<Role>::kType, this, [this](int notice, int id) { OnNotice(notice, id); });
}

template <class Role>
std::vector<RoleRow> RoleKindPane<Role>::AllRoles() const {
    return RowsOfKind<Role>();
}

template <class Role>
std::optional<RoleRow> RoleKindPane<Role>::FindRole(int id) const {
    return FindOfKind<Role>(id);
}

// ---- Full panes ----

template <class Role>
RolePane<Role>::RolePane(ConsoleLink& link, QWidget* parent) : RoleKindPane<Role>(link, true, parent) {
    OnNotice(kNoticeReload, 0);
}

template <class Role>
void RolePane<Role>::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = this->width(), h = this->height(), strip = RoleKind<Role>::kStrip;
    this->m_roles->setGeometry(0, 0, w, std::max(0, h - strip));
    this->m_rights->setGeometry(0, std::max(0, h - strip), w, std::min(h, strip));
}

template <class Role>
void RolePane<Role>::OnCommand(int id) {
    switch (id) {
    case ID_ROLE_NEW:
        if (const auto role = RunDialog<Role>(this, nullptr)) RoleKind<Role>::SendAdd(this->m_link, *role);
        break;
    case ID_ROLE_MODIFY: {
        const auto selected = this->SelectedRole();
        const Role* stored = selected ? RoleKind<Role>::List().Find(selected->id) : nullptr;
        if (!stored) break;
        const Role copy = *stored;
        if (const auto role = RunDialog<Role>(this, &copy)) RoleKind<Role>::SendModify(this->m_link, *role);
        break;
    }
    case ID_ROLE_DELETE: {
        const auto selected = this->SelectedRole();
        if (!selected) break;
        if (kx::Prompt(this, "确定删除角色", kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk)
            RoleKind<Role>::SendDelete(this->m_link, selected->id);
        break;
    }
    default: break;
    }
}

// ---- List panes ----

template <class Role>
RoleListPane<Role>::RoleListPane(ConsoleLink& link, QWidget* parent) : RoleKindPane<Role>(link, false, parent) {
    QObject::connect(this->m_roles, &kx::ReportList::ItemDoubleClicked, this,
                     [this](int row, int) { OnDoubleClick(row); });
}

template <class Role>
void RoleListPane<Role>::OnNotice(int notice, int id) {
    this->ApplyNotice(notice, id, true);
    if (notice != kNoticeReload) return;
    // A system role first in the list leaves its rights shown but not to be changed here.
    const std::vector<RoleRow> all = this->AllRoles();
    this->m_rights->setEnabled(all.empty() || all.front().system == 0);
}

template <class Role>
void RoleListPane<Role>::OnCommand(int id) {
    if (id != ID_ROLE_NEW) return;
    if (const auto role = RunDialog<Role>(this, nullptr)) RoleKind<Role>::SendAdd(this->m_link, *role);
}

template <class Role>
void RoleListPane<Role>::OnDoubleClick(int row) {
    if (row >= 0 || this->m_roles->GetSelectedCount() > 0) return;
    OnCommand(ID_ROLE_NEW);
}

template <class Role>
void RoleListPane<Role>::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = this->width(), h = this->height() / 2;
    this->m_roles->setGeometry(10, 0, std::max(0, w - 20), h);
    this->m_rights->setGeometry(10, h + 10, std::max(0, w - 20), std::max(0, h - 10));
}

template class RoleKindPane<CkxFileRole>;
template class RoleKindPane<CkxFolderRole>;
template class RolePane<CkxFileRole>;
template class RolePane<CkxFolderRole>;
template class RoleListPane<CkxFileRole>;
template class RoleListPane<CkxFolderRole>;

CWndFileRole::CWndFileRole(ConsoleLink& link, QWidget* parent) : RolePane<CkxFileRole>(link, parent) {
    setObjectName("CWndFileRole");
}
CWndFolderRole::CWndFolderRole(ConsoleLink& link, QWidget* parent) : RolePane<CkxFolderRole>(link, parent) {
    setObjectName("CWndFolderRole");
}
CWndFileRoleList::CWndFileRoleList(ConsoleLink& link, QWidget* parent) : RoleListPane<CkxFileRole>(link, parent) {
    setObjectName("CWndFileRoleList");
}
CWndFolderRoleList::CWndFolderRoleList(ConsoleLink& link, QWidget* parent)
    : RoleListPane<CkxFolderRole>(link, parent) {
    setObjectName("CWndFolderRoleList");
}
