// CkxwDlgFolderSafeSet: "目录控制设置", a tabbed dialog over the rights of a folder or file in which
// the everyone entry, groups and users each receive a folder or file role (the power words hold
// role ids). Page "授予权限" (CkxwDlgFolderSafeSet_Allow) edits the grants, the inherit switch and
// the initialisation from the parent folder; page "授权明细表" (CkxwDlgFolderSafeSet_Info) is every
// user's effective rights.
#pragma once

#include "model/CkxPower.h"
#include "model/KxExport.h"
#include "qt/KxDialog.h"

#include <string>

class CkxUser;
class CkxUserLicence;
class CkxUserLicenceList;
class CkxwDlgFolderSafeSet;
class QCheckBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
namespace kx {
class ReportList;
}

class KX_EXPORT CkxwDlgFolderSafeSet_Allow : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDC_LIST_SYSTEM = 1242, IDC_LIST_GROUP = 1185, IDC_BTN_ADDGROUP = 1184, IDC_BTN_DELGROUP = 1181,
        IDC_LIST_USER = 1189, IDC_BTN_ADDUSER = 1188, IDC_BTN_DELUSER = 1195,
        IDC_RAD_FIRST = 1191, IDC_RAD_LAST = 1192, IDC_RAD_ALLOW = 1193, IDC_RAD_FORBID = 1194,
        IDC_LIST_ROLE = 1264, IDC_LIST_POWER = 1186, IDC_CHK_INHERIT = 1190, IDC_BTN_PARENT = 1196,
    };
    enum Target { TARGET_NONE = 0, TARGET_EVERYONE = 1, TARGET_GROUP = 2, TARGET_USER = 3 };

    explicit CkxwDlgFolderSafeSet_Allow(CkxwDlgFolderSafeSet* owner, QWidget* parent = nullptr);

    void InitData();
    CkxUserLicenceList* GetLicenceList() const;
    void CheckRole(int roleId);
    void CheckPower(uint32_t mask);
    void EnableSetPower(int enable);

    void OnEveryoneSelected();
    void OnGrantSelected(QListWidget* list, int target);
    void OnRoleChanged();
    void OnAddGroup();
    void OnAddUser();
    void OnDelete(QListWidget* list);
    void OnInheritClicked();

    int GetTarget() const { return m_nTarget; }
    QListWidget* Everyone() const { return m_system; }
    QListWidget* Groups() const { return m_groups; }
    QListWidget* Users() const { return m_users; }
    kx::ReportList* Roles() const { return m_roles; }
    kx::ReportList* Powers() const { return m_powers; }

protected:
    void OnInitDialog() override;

private:
    uint32_t RoleMask(int roleId) const;

    CkxwDlgFolderSafeSet* m_owner;
    int m_nTarget = TARGET_NONE;
    CkxUserLicence* m_pGrant = nullptr;
    bool m_bFilling = false;
    QListWidget *m_system = nullptr, *m_groups = nullptr, *m_users = nullptr;
    kx::ReportList *m_roles = nullptr, *m_powers = nullptr;
    QCheckBox* m_inherit = nullptr;
    QPushButton* m_parent = nullptr;
};

class KX_EXPORT CkxwDlgFolderSafeSet_Info : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST = 1183 };
    explicit CkxwDlgFolderSafeSet_Info(CkxwDlgFolderSafeSet* owner, QWidget* parent = nullptr);
    void InitData();
    void AddUser(const CkxUser* user);
    void CheckPower(int row, uint32_t mask);
    kx::ReportList* List() const { return m_list; }

protected:
    void OnInitDialog() override;

private:
    CkxwDlgFolderSafeSet* m_owner;
    kx::ReportList* m_list = nullptr;
};

class KX_EXPORT CkxwDlgFolderSafeSet : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_TAB = 1176 };

    explicit CkxwDlgFolderSafeSet(QWidget* parent = nullptr);

    // Replaces the grants by the parent folder's (item kind 1 or 2, a parent the context knows);
    // both pages are refreshed. Otherwise nothing.
    void InitFromParent();
    CkxUserLicence* licAdd(CkxUserLicence& grant);
    // The rights as the effective table reads them: each grant's role id turned into its mask.
    CkxPowerEx EffectiveRights() const;

    CkxwDlgFolderSafeSet_Allow* AllowPage() const { return m_allow; }
    CkxwDlgFolderSafeSet_Info* InfoPage() const { return m_info; }
    QTabWidget* Tabs() const { return m_tabs; }

    CkxPowerEx m_Power;
    std::string m_strTitle;

protected:
    void OnInitDialog() override;

private:
    QTabWidget* m_tabs = nullptr;
    CkxwDlgFolderSafeSet_Allow* m_allow = nullptr;
    CkxwDlgFolderSafeSet_Info* m_info = nullptr;
};
