// Keeper's panes of file roles and folder roles. The full panes (CWndFileRole, CWndFolderRole)
// list the roles above the selected role's rights and create, modify and delete them through
// the session; the list panes (CWndFileRoleList, CWndFolderRoleList) show the same lists in two
// halves and create a role on a double click in the empty list. None changes its list itself:
// every change shows when the session's notice comes. Several panes of one kind may observe it.
#pragma once

#include "model/CkxFileRole.h"
#include "role/RoleRow.h"

#include <QWidget>

#include <optional>
#include <vector>

class ConsoleLink;
namespace kx {
class PopupMenu;
class ReportList;
}

// What the panes of both kinds share; the kind's part comes from the derived classes.
class CRolePaneBase : public QWidget {
public:
    kx::ReportList* RoleList() const { return m_roles; }
    kx::ReportList* RightsList() const { return m_rights; }
    kx::PopupMenu* Menu() const { return m_menu; }
    // The role of the first selected row, or nothing.
    std::optional<RoleRow> SelectedRole() const;
    // The session's notices of the kind (1025 to 1028).
    virtual void OnNotice(int notice, int id) = 0;
    // The menu's commands (new, modify, delete).
    virtual void OnCommand(int id) = 0;
    // The pop-up a right click shows: 0 with a role selected, else 1.
    int PopupIndex() const;

protected:
    CRolePaneBase(ConsoleLink& link, const std::vector<kx::RoleRight>& rights, int roleListId, int menuId,
                  bool rightsDescription, QWidget* parent, int rightsListId = 1046,
                  kx::RightCheck checked = &kx::IsRightChecked);
    virtual std::vector<RoleRow> AllRoles() const = 0;
    virtual std::optional<RoleRow> FindRole(int id) const = 0;
    void ShowRightsOf(std::optional<RoleRow> role);
    void ApplyNotice(int notice, int id, bool reloadShowsFirst);
    // Pops the menu for the current selection at the position (commands run through OnCommand).
    virtual void PopMenu(const QPoint& globalPos);

    ConsoleLink& m_link;
    const std::vector<kx::RoleRight>& m_table;
    kx::RightCheck m_checked;
    kx::ReportList* m_roles;
    kx::ReportList* m_rights;
    kx::PopupMenu* m_menu;
    kx::PopupMenu* m_menuNone;
};

// A pane over the roles of one kind (the context object's list of it).
template <class Role>
class RoleKindPane : public CRolePaneBase {
protected:
    RoleKindPane(ConsoleLink& link, bool rightsDescription, QWidget* parent);
    std::vector<RoleRow> AllRoles() const override;
    std::optional<RoleRow> FindRole(int id) const override;
};

// The full pane of a kind: the role list above a strip of rights; new, modify and delete.
template <class Role>
class RolePane : public RoleKindPane<Role> {
public:
    RolePane(ConsoleLink& link, QWidget* parent);
    void OnNotice(int notice, int id) override { this->ApplyNotice(notice, id, true); }
    void OnCommand(int id) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

// The list pane of a kind: role list and rights list in two halves with 10-pixel margins.
template <class Role>
class RoleListPane : public RoleKindPane<Role> {
public:
    RoleListPane(ConsoleLink& link, QWidget* parent);
    void OnNotice(int notice, int id) override;
    void OnCommand(int id) override;
    // A double click: on the empty part of the role list, the create dialog and one add.
    void OnDoubleClick(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;
};

class CWndFileRole : public RolePane<CkxFileRole> {
public:
    explicit CWndFileRole(ConsoleLink& link, QWidget* parent = nullptr);
};
class CWndFolderRole : public RolePane<CkxFolderRole> {
public:
    explicit CWndFolderRole(ConsoleLink& link, QWidget* parent = nullptr);
};
class CWndFileRoleList : public RoleListPane<CkxFileRole> {
public:
    explicit CWndFileRoleList(ConsoleLink& link, QWidget* parent = nullptr);
};
class CWndFolderRoleList : public RoleListPane<CkxFolderRole> {
public:
    explicit CWndFolderRoleList(ConsoleLink& link, QWidget* parent = nullptr);
};
