// Keeper's user-role pane: the user roles above the selected role's powers; new, modify and
// delete through the session. The roles that keep the administrators in (the one "su" holds and
// the logged-on administrator's own) cannot be deleted nor lose an administration power here.
#pragma once

#include "model/CkxUserRole.h"
#include "role/RolePanes.h"

class CWndUserRole : public CRolePaneBase {
public:
    static constexpr const char* kDeleteProtected = "不能删除当前管理员使用的角色";
    static constexpr const char* kModifyProtected = "不能取消当前管理员角色的管理权限";
    enum { ID_SYSTEM_MODIFY = 32781, ID_SYSTEM_DELETE = 32782, IDC_ROLES = 1000, IDC_POWERS = 1001 };

    explicit CWndUserRole(ConsoleLink& link, QWidget* parent = nullptr);

    void OnNotice(int notice, int id) override { ApplyNotice(notice, id, true); }
    void OnCommand(int id) override;
    // The pop-up a right click shows: 1 with nothing selected; 2 on a system role, 0 on another;
    // -1 (no menu) for a selected role the list no longer holds.
    int UserPopupIndex() const;
    // Whether the role keeps an administrator in: held by "su" or by the logged-on user.
    bool IsProtectedRole(int roleId) const;

protected:
    std::vector<RoleRow> AllRoles() const override;
    std::optional<RoleRow> FindRole(int id) const override;
    void PopMenu(const QPoint& globalPos) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    kx::PopupMenu* m_menuSystem;
};
