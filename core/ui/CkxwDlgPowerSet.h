// The rights dialogs of a folder or file:
//   CkxwDlgPowerSet    "设置权限": the inherit flag, the everyone power and the group and user
//                      grants; read-only for the root folder's basic rights;
//   CkxwDlgPowerList   "授权明细表": every user's effective power under the rights as edited;
//   CkxwDlgSelectUser  "选择用户": picks one user.
// Rows point to grants of the dialog's own copy of the rights; a deleted row takes exactly its own
// grant with it, so no row is left pointing at a freed grant.
#pragma once

#include "model/CkxPower.h"
#include "model/KxExport.h"
#include "qt/KxDialog.h"

#include <cstdint>
#include <string>
#include <vector>

class CkxUser;
class CkxUserLicence;
class QCheckBox;
class QPushButton;
namespace kx {
class ReportList;

// The power bits shown for an item kind (1 folder: ten rows, 2 file: four, else none), in row order.
struct PowerRow {
    uint32_t bit;
    const char* caption;
};
KX_EXPORT std::vector<PowerRow> PowerRowsFor(int itemKind);
// The mask a checked row stands for.
KX_EXPORT uint32_t ImpliedMask(uint32_t bit, int itemKind);
// The rows of the kind into a check-box list (item data = bit).
KX_EXPORT void FillPowerRows(ReportList& list, int itemKind);
// A row is checked when the mask has 0x0001 or the row's bit.
KX_EXPORT void CheckPowerRows(ReportList& list, uint32_t mask);
// The detail table: "操作员" and a column per bit (width by the caption's GBK length), a row per
// user with "√" where the user's effective mask has the bit (all of them for 0x0001 on a folder or
// 0x1000 on a file).
KX_EXPORT void FillPowerTable(ReportList& list, const CkxPowerEx& rights);
KX_EXPORT void MarkPowerTable(ReportList& list, const CkxPowerEx& rights);
// Stores a copy of the grant in the rights, stamped with their item id and kind; the stored one.
KX_EXPORT CkxUserLicence* AddGrant(CkxPowerEx& rights, CkxUserLicence& grant);
// A new allowing grant of power 0 for a group or a user, stored in the rights; the stored one.
KX_EXPORT CkxUserLicence* AddNewGrant(CkxPowerEx& rights, bool group, int granteeId);
// One row of such a table from a mask.
KX_EXPORT void MarkPowerRow(ReportList& list, int row, int itemKind, uint32_t mask);
} // namespace kx

class KX_EXPORT CkxwDlgPowerSet : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDC_CHK_INHERIT = 1269, IDC_LIST_GROUP = 1185, IDC_BTN_ADDGROUP = 1178, IDC_BTN_DELGROUP = 1181,
        IDC_LIST_USER = 1189, IDC_BTN_ADDUSER = 1188, IDC_BTN_DELUSER = 1195, IDC_LIST_POWER = 1186,
        IDC_BTN_DETAIL = 1179,
    };
    enum Target { TARGET_NONE = 0, TARGET_EVERYONE = 1, TARGET_GRANT = 2 };

    explicit CkxwDlgPowerSet(QWidget* parent = nullptr);

    void SetRootDir() { m_nRootDir = 1; }
    void SetNotRootDir() { m_nRootDir = 0; }
    CkxUserLicence* GetSelectGroupLic() const;
    CkxUserLicence* GetSelectUserLic() const;
    void AddEveryoneLic();
    void DeleteEveryoneLic();
    void CheckPower(uint32_t mask);
    CkxUserLicence* licAdd(CkxUserLicence& grant);

    void OnInheritClicked();
    void OnGroupSelected();
    void OnUserSelected();
    void OnAddGroup();
    void OnAddUser();
    void OnDeleteGroup();
    void OnDeleteUser();
    void OnShowDetail();
    // Stores the checked rows' implied mask in the target.
    void StorePower();

    int GetTarget() const { return m_nTarget; }
    kx::ReportList* GroupList() const { return m_groups; }
    kx::ReportList* UserList() const { return m_users; }
    kx::ReportList* PowerList() const { return m_power; }

    CkxPowerEx m_Power;
    int m_nRootDir = 0;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void AddGrantRow(kx::ReportList* list, CkxUserLicence* grant, const std::string& name);
    void DeleteRow(kx::ReportList* list);
    bool GroupListHasGrant() const;

    int m_nTarget = TARGET_NONE;
    CkxUserLicence* m_pTarget = nullptr;
    bool m_bShowing = false;
    QCheckBox* m_inherit = nullptr;
    kx::ReportList* m_groups = nullptr;
    kx::ReportList* m_users = nullptr;
    kx::ReportList* m_power = nullptr;
    QPushButton *m_addGroup = nullptr, *m_delGroup = nullptr, *m_addUser = nullptr, *m_delUser = nullptr;
};

class KX_EXPORT CkxwDlgPowerList : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST = 1272 };
    explicit CkxwDlgPowerList(QWidget* parent = nullptr);
    void AddUser(const CkxUser* user);
    void InitData();
    void CheckPower(int row, uint32_t mask);
    kx::ReportList* List() const { return m_list; }
    CkxPowerEx m_Power;

protected:
    void OnInitDialog() override;

private:
    kx::ReportList* m_list = nullptr;
};

class KX_EXPORT CkxwDlgSelectUser : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST = 1189 };
    explicit CkxwDlgSelectUser(QWidget* parent = nullptr);
    void SetWindowTextA(const std::string& caption) { m_strCaption = caption; }
    int GetUserID() const { return m_nUserID; }
    kx::ReportList* List() const { return m_list; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    std::string m_strCaption;
    int m_nUserID = -1;
    kx::ReportList* m_list = nullptr;
};

// Edits a copy of the rights (root: the root folder's basic rights, read-only); after OK copies
// them back and returns 1, else 0.
KX_EXPORT int KX_ShowDlg_PowerSet(int rootDir, CkxPowerEx& rights);
// After OK stores the chosen user (-1 when none was selected) and returns 1, else 0.
KX_EXPORT int KX_ShowDlg_SelectUser(const std::string& caption, int& userId);
