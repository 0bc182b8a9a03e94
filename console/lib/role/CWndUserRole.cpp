#include "role/CWndUserRole.h"

#include "role/CDlgRoleEdit.h"
#include "role/RoleKind.h"

#include "link/ConsoleLink.h"
#include "model/CkxXXX.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"

#include <QResizeEvent>

namespace {

RoleRow RowOf(const CkxUserRole& r) {
    return {r.m_nID, r.m_strName, r.m_nIsSystem, static_cast<uint32_t>(r.m_nPower), r.m_strRemark};
}

CkxUserRoleList& Roles() { return KX_KXXXX().m_UserRoleList; }

constexpr uint32_t kAdminPowers = 0x0003; // super and system administration

} // namespace

CWndUserRole::CWndUserRole(ConsoleLink& link, QWidget* parent)
    : CRolePaneBase(link, kx::UserRolePowers(), IDC_ROLES, 134, true, parent, IDC_POWERS, &kx::IsUserPowerChecked) {
    setObjectName("CWndUserRole");
    m_menu->setObjectName("134:SelUser");
    m_menuSystem = new kx::PopupMenu(this);
    m_menuSystem->setObjectName("134:SelSystem");
    m_menuSystem->AppendMenu(QStringLiteral("新建角色"), ID_ROLE_NEW);
    m_menuSystem->AppendMenu(QStringLiteral("修改角色"), ID_SYSTEM_MODIFY);
    m_menuSystem->AppendSeparator();
    m_menuSystem->AppendMenu(QStringLiteral("删除角色"), ID_SYSTEM_DELETE);
    link.Observe(kx::kMsgUserRole, this, [this](int notice, int id) { OnNotice(notice, id); });
}

std::vector<RoleRow> CWndUserRole::AllRoles() const {
    std::vector<RoleRow> rows;
    Roles().ForEach([&](const CkxUserRole& r) { rows.push_back(RowOf(r)); });
    return rows;
}

std::optional<RoleRow> CWndUserRole::FindRole(int id) const {
    const CkxUserRole* r = Roles().Find(id);
    if (!r) return std::nullopt;
    return RowOf(*r);
}

int CWndUserRole::UserPopupIndex() const {
    if (m_roles->GetSelectedCount() == 0) return 1;
    const std::optional<RoleRow> role = SelectedRole();
    if (!role) return -1;
    return role->system ? 2 : 0;
}

void CWndUserRole::PopMenu(const QPoint& globalPos) {
    const int index = UserPopupIndex();
    if (index < 0) return;
    kx::PopupMenu* menu = index == 0 ? m_menu : index == 1 ? m_menuNone : m_menuSystem;
    const int id = menu->TrackPopupMenu(globalPos);
    if (id > 0) OnCommand(id);
}

bool CWndUserRole::IsProtectedRole(int roleId) const {
    const CkxXXX& c = KX_KXXXX();
    const CkxUser* su = c.m_UserList.Find("su");
    const CkxUser* me = c.m_UserList.Find(m_link.GetCurrentUserId());
    return (su && su->GetRoleID() == roleId) || (me && me->GetRoleID() == roleId);
}

void CWndUserRole::OnCommand(int id) {
    switch (id) {
    case ID_ROLE_NEW: {
        CDlgUserRoleEdit dlg(this);
        if (dlg.DoModal() != kx::IDOK) return;
        CkxUserRole role;
        role.m_nID = -1;
        role.m_strName = dlg.m_Role.name;
        role.m_nIsSystem = 0;
        role.m_nType = 0;
        role.m_nPower = static_cast<int32_t>(dlg.m_Role.mask);
        role.m_strRemark = dlg.m_Role.note;
        m_link.SendUserRoleAddRequest(role);
        return;
    }
    case ID_ROLE_MODIFY: {
        const std::optional<RoleRow> selected = SelectedRole();
        const CkxUserRole* stored = selected ? Roles().Find(selected->id) : nullptr;
        if (!stored) return;
        CkxUserRole role = *stored;
        CDlgUserRoleEdit dlg(this);
        dlg.m_bCreate = 0;
        dlg.m_Role = RowOf(role);
        dlg.m_nOldWord = static_cast<uint32_t>(role.m_nPower);
        if (dlg.DoModal() != kx::IDOK) return;
        // A role that keeps an administrator in keeps its administration powers.
        const uint32_t held = static_cast<uint32_t>(role.m_nPower) & kAdminPowers;
        if (IsProtectedRole(role.m_nID) && (dlg.m_Role.mask & held) != held) {
            kx::Prompt(this, kModifyProtected, kx::PromptOk, kx::PromptWarning);
            return;
        }
        role.m_strName = dlg.m_Role.name;
        role.m_strRemark = dlg.m_Role.note;
        role.m_nIsSystem = 0;
        role.m_nPower = static_cast<int32_t>(dlg.m_Role.mask);
        m_link.SendUserRoleUpdateRequest(role);
        return;
    }
    case ID_ROLE_DELETE: {
        const std::optional<RoleRow> selected = SelectedRole();
        if (!selected) return;
        if (IsProtectedRole(selected->id)) {
            kx::Prompt(this, kDeleteProtected, kx::PromptOk, kx::PromptWarning);
            return;
        }
        if (kx::Prompt(this, "确定删除角色", kx::PromptOkCancel, kx::PromptQuestion) == kx::AnswerOk)
            m_link.SendUserRoleDeleteRequest(selected->id);
        return;
    }
    default: return; // the system role's entries do nothing
    }
}

void CWndUserRole::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int w = width(), h = height(), strip = 200;
    m_roles->setGeometry(0, 0, w, std::max(0, h - strip));
    m_rights->setGeometry(0, std::max(0, h - strip), w, std::min(h, strip));
}
