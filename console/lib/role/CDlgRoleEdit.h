// The dialog in which a file role or a folder role is created or modified: its name, note and
// the rights checked from the kind's table. OK refuses an empty name; the role then takes the
// texts, system flag 0 and the OR of the checked rows' masks.
#pragma once

#include "model/CkxFileRole.h"
#include "qt/KxDialog.h"
#include "role/RoleRow.h"

namespace kx {
class Edit;
class ReportList;
}

class CDlgRoleEdit : public kx::Dialog {
    Q_OBJECT
public:
    static constexpr const char* kNameEmpty = "角色名称不能为空";

    CDlgRoleEdit(const char* caption, const std::vector<kx::RoleRight>& rights, QWidget* parent = nullptr,
                 int nameBytes = 51, int noteBytes = 51, kx::RightCheck checked = &kx::IsRightChecked);

    // 1: create (the default), 0: modify.
    int m_bCreate = 1;
    RoleRow m_Role;

    kx::ReportList* RightsList() const { return m_rights; }

protected:
    // The word OK stores from the checked rows (by default the OR of their masks).
    virtual uint32_t NewMask(const std::vector<bool>& checked) const;
    void OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(kx::DataExchange& dx) override;

private:
    const std::vector<kx::RoleRight>& m_table;
    kx::RightCheck m_checked;
    kx::ReportList* m_rights;
};

class CDlgFileRoleEdit : public CDlgRoleEdit {
    Q_OBJECT
public:
    explicit CDlgFileRoleEdit(QWidget* parent = nullptr);
    void SetRole(const CkxFileRole& r);
    CkxFileRole GetRole() const;
};

class CDlgFolderRoleEdit : public CDlgRoleEdit {
    Q_OBJECT
public:
    explicit CDlgFolderRoleEdit(QWidget* parent = nullptr);
    void SetRole(const CkxFolderRole& r);
    CkxFolderRole GetRole() const;
};

// The dialog of a user role: six powers, a note of 199 bytes; a modify keeps the powers that no
// row stands for.
class CDlgUserRoleEdit : public CDlgRoleEdit {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "用户角色";
    explicit CDlgUserRoleEdit(QWidget* parent = nullptr);
    // The word the role held before (0 for a new role).
    uint32_t m_nOldWord = 0;

protected:
    uint32_t NewMask(const std::vector<bool>& checked) const override;
};
