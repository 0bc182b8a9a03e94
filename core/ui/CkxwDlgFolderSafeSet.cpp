#include "ui/CkxwDlgFolderSafeSet.h"

#include "model/CkxUser.h"
#include "model/CkxUserLicence.h"
#include "model/CkxXXX.h"
#include "qt/KxReportList.h"
#include "ui/CDlgOperatorGroupSelect.h"
#include "ui/CkxwDlgPowerSet.h"
#include "ui/KxShowDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

CkxUserLicence* GrantOf(const QListWidgetItem* item) {
    return item ? reinterpret_cast<CkxUserLicence*>(item->data(Qt::UserRole).value<qulonglong>()) : nullptr;
}

void AddEntry(QListWidget* list, const std::string& name, CkxUserLicence* grant) {
    auto* item = new QListWidgetItem(kx::Q(name), list);
    item->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(reinterpret_cast<std::uintptr_t>(grant)));
}

} // namespace

// ---- the grant page ----

CkxwDlgFolderSafeSet_Allow::CkxwDlgFolderSafeSet_Allow(CkxwDlgFolderSafeSet* owner, QWidget* parent)
    : kx::Dialog(parent), m_owner(owner) {
    auto* grid = new QGridLayout(this);
    const auto listBox = [&](const char* title, int id, int row, int col) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* v = new QVBoxLayout(box);
        auto* list = new QListWidget(box);
        SetDlgItemId(list, id);
        v->addWidget(list);
        grid->addWidget(box, row, col);
        return std::make_pair(list, v);
    };
    const auto button = [&](const char* text, int id, QVBoxLayout* to) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        SetDlgItemId(b, id);
        b->setAutoDefault(false);
        to->addWidget(b);
        return b;
    };
    auto [system, sv] = listBox("系统组授权", IDC_LIST_SYSTEM, 0, 0);
    m_system = system;
    m_system->setMaximumHeight(48);
    auto [groups, gv] = listBox("用户组授权", IDC_LIST_GROUP, 1, 0);
    m_groups = groups;
    button("添加用户组", IDC_BTN_ADDGROUP, gv);
    button("删除用户组", IDC_BTN_DELGROUP, gv);
    auto [users, uv] = listBox("用户授权", IDC_LIST_USER, 2, 0);
    m_users = users;
    button("添加用户", IDC_BTN_ADDUSER, uv);
    button("删除用户", IDC_BTN_DELUSER, uv);

    auto* right = new QVBoxLayout;
    m_roles = kx::MakeReportList(this, IDC_LIST_ROLE, {{"角色", 180}});
    right->addWidget(m_roles, 1);
    m_powers = new kx::ReportList(this);
    SetDlgItemId(m_powers, IDC_LIST_POWER);
    m_powers->InsertColumn(0, QStringLiteral("权限"), kx::LVCFMT_LEFT, 180);
    m_powers->SetCheckBoxes(true);
    m_powers->setEnabled(false);
    right->addWidget(m_powers, 1);
    auto* rules = new QGroupBox(QStringLiteral("用户组权限合成法则"), this);
    auto* rv = new QVBoxLayout(rules);
    const struct {
        const char* text;
        int id;
    } ruleButtons[] = {{"第一个用户组优先", IDC_RAD_FIRST}, {"最后的用户组优先", IDC_RAD_LAST},
                       {"允许权限优先", IDC_RAD_ALLOW}, {"禁止权限优先", IDC_RAD_FORBID}};
    std::vector<QRadioButton*> radios;
    for (const auto& r : ruleButtons) {
        auto* radio = new QRadioButton(QString::fromUtf8(r.text), rules);
        radio->setAutoExclusive(false);
        SetDlgItemId(radio, r.id);
        rv->addWidget(radio);
        radios.push_back(radio);
    }
    // One rule at a time; the rights have no field for it, so it changes nothing.
    for (QRadioButton* radio : radios)
        connect(radio, &QRadioButton::clicked, this, [radio, radios] {
            for (QRadioButton* r : radios) r->setChecked(r == radio);
        });
    right->addWidget(rules);
    m_inherit = new QCheckBox(QStringLiteral("继承父目录权限设置"), this);
    SetDlgItemId(m_inherit, IDC_CHK_INHERIT);
    right->addWidget(m_inherit);
    m_parent = new QPushButton(QStringLiteral("用父目录权限设置初始化"), this);
    SetDlgItemId(m_parent, IDC_BTN_PARENT);
    m_parent->setAutoDefault(false);
    right->addWidget(m_parent);
    grid->addLayout(right, 0, 1, 3, 1);

    connect(m_system, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_bFilling && !m_system->selectedItems().isEmpty()) OnEveryoneSelected();
    });
    connect(m_groups, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_bFilling && !m_groups->selectedItems().isEmpty()) OnGrantSelected(m_groups, TARGET_GROUP);
    });
    connect(m_users, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_bFilling && !m_users->selectedItems().isEmpty()) OnGrantSelected(m_users, TARGET_USER);
    });
    connect(m_roles, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_bFilling) OnRoleChanged();
    });
    connect(GetDlgItemAs<QPushButton>(IDC_BTN_ADDGROUP), &QPushButton::clicked, this, [this] { OnAddGroup(); });
    connect(GetDlgItemAs<QPushButton>(IDC_BTN_ADDUSER), &QPushButton::clicked, this, [this] { OnAddUser(); });
    connect(GetDlgItemAs<QPushButton>(IDC_BTN_DELGROUP), &QPushButton::clicked, this, [this] { OnDelete(m_groups); });
    connect(GetDlgItemAs<QPushButton>(IDC_BTN_DELUSER), &QPushButton::clicked, this, [this] { OnDelete(m_users); });
    connect(m_inherit, &QCheckBox::clicked, this, [this] { OnInheritClicked(); });
    connect(m_parent, &QPushButton::clicked, this, [this] { m_owner->InitFromParent(); });
}

void CkxwDlgFolderSafeSet_Allow::OnInitDialog() {
    const CkxXXX& context = KX_KXXXX();
    const int kind = m_owner->m_Power.m_nItemType;
    m_bFilling = true;
    if (kind == CkxUserLicence::ITEM_FOLDER)
        context.m_FolderRoleList.ForEach([&](const CkxFolderRole& r) {
            m_roles->SetItemData(m_roles->InsertItem(m_roles->GetItemCount(), kx::Q(r.m_strName)), r.m_nID);
        });
    else if (kind == CkxUserLicence::ITEM_FILE)
        context.m_FileRoleList.ForEach([&](const CkxFileRole& r) {
            m_roles->SetItemData(m_roles->InsertItem(m_roles->GetItemCount(), kx::Q(r.m_strName)), r.m_nID);
        });
    kx::FillPowerRows(*m_powers, kind);
    // Every right in view at once: the dialog opens tall enough for all of them.
    m_powers->SetMinimumRows(m_powers->GetItemCount());
    new QListWidgetItem(QStringLiteral("所有人"), m_system);
    m_bFilling = false;
    InitData();
    kx::Dialog::OnInitDialog();
}

CkxUserLicenceList* CkxwDlgFolderSafeSet_Allow::GetLicenceList() const { return &m_owner->m_Power.m_LicenceList; }

void CkxwDlgFolderSafeSet_Allow::InitData() {
    m_bFilling = true;
    // The lists are rebuilt: nothing remembered may point at a grant of the old list.
    m_nTarget = TARGET_NONE;
    m_pGrant = nullptr;
    if (QListWidgetItem* everyone = m_system->item(0))
        everyone->setData(Qt::UserRole, static_cast<qulonglong>(m_owner->m_Power.m_nEveryonePower));
    m_groups->clear();
    m_users->clear();
    const CkxXXX& context = KX_KXXXX();
    CkxUserLicenceList& grants = m_owner->m_Power.m_LicenceList;
    for (POSITION p = grants.GetHeadPosition(); p;) {
        CkxUserLicence* g = grants.GetNext(p);
        AddEntry(g->IsGroup() ? m_groups : m_users, context.licGetAlieneeName(g), g);
    }
    m_bFilling = false;
    const bool inherit = m_owner->m_Power.IsInherit() != 0;
    m_inherit->setEnabled(true);
    m_inherit->setChecked(inherit);
    m_parent->setEnabled(!inherit);
    EnableSetPower(inherit ? 0 : 1);
}

void CkxwDlgFolderSafeSet_Allow::EnableSetPower(int enable) {
    for (int id : {IDC_LIST_SYSTEM, IDC_LIST_GROUP, IDC_BTN_ADDGROUP, IDC_BTN_DELGROUP, IDC_LIST_USER, IDC_BTN_ADDUSER,
                   IDC_BTN_DELUSER, IDC_RAD_FIRST, IDC_RAD_LAST, IDC_RAD_ALLOW, IDC_RAD_FORBID, IDC_LIST_ROLE})
        if (QWidget* w = GetDlgItem(id)) w->setEnabled(enable != 0);
}

void CkxwDlgFolderSafeSet_Allow::CheckRole(int roleId) {
    m_bFilling = true;
    for (int row = 0; row < m_roles->GetItemCount(); ++row)
        m_roles->SetItemSelected(row, m_roles->GetItemData(row) == roleId);
    m_bFilling = false;
    CheckPower(RoleMask(roleId));
}

void CkxwDlgFolderSafeSet_Allow::CheckPower(uint32_t mask) { kx::CheckPowerRows(*m_powers, mask); }

uint32_t CkxwDlgFolderSafeSet_Allow::RoleMask(int roleId) const {
    const CkxXXX& context = KX_KXXXX();
    if (m_owner->m_Power.m_nItemType == CkxUserLicence::ITEM_FOLDER) {
        const CkxFolderRole* r = context.m_FolderRoleList.Find(roleId);
        return r ? static_cast<uint32_t>(r->m_nPower) : 0;
    }
    const CkxFileRole* r = context.m_FileRoleList.Find(roleId);
    return r ? static_cast<uint32_t>(r->m_nPower) : 0;
}

void CkxwDlgFolderSafeSet_Allow::OnEveryoneSelected() {
    m_nTarget = TARGET_EVERYONE;
    m_pGrant = nullptr;
    CheckRole(static_cast<int>(m_owner->m_Power.m_nEveryonePower));
}

void CkxwDlgFolderSafeSet_Allow::OnGrantSelected(QListWidget* list, int target) {
    CkxUserLicence* grant = GrantOf(list->currentItem());
    if (!grant || !GetLicenceList()->Contains(grant)) {
        m_nTarget = TARGET_NONE;
        m_pGrant = nullptr;
        return;
    }
    m_pGrant = grant;
    m_nTarget = target;
    CheckRole(static_cast<int>(grant->m_nPower));
}

void CkxwDlgFolderSafeSet_Allow::OnRoleChanged() {
    const int row = m_roles->GetSelectedRow();
    if (row < 0) return;
    const int roleId = static_cast<int>(m_roles->GetItemData(row));
    if (m_nTarget == TARGET_EVERYONE) {
        m_owner->m_Power.m_nEveryonePower = static_cast<uint32_t>(roleId);
        if (QListWidgetItem* everyone = m_system->item(0)) everyone->setData(Qt::UserRole, static_cast<qulonglong>(roleId));
    } else if (m_pGrant && GetLicenceList()->Contains(m_pGrant)) {
        m_pGrant->m_nPower = static_cast<uint32_t>(roleId);
    }
    CheckPower(RoleMask(roleId));
}

void CkxwDlgFolderSafeSet_Allow::OnAddGroup() {
    CDlgOperatorGroupSelect dlg(this);
    if (dlg.DoModal() != kx::IDOK || dlg.m_nGroupID < 0) return;
    const CkxUserGroup* group = KX_KXXXX().m_UserGroupList.Find(dlg.m_nGroupID);
    if (!group) return;
    if (CkxUserLicence* stored = kx::AddNewGrant(m_owner->m_Power, true, group->m_nID)) AddEntry(m_groups, group->m_strName, stored);
}

void CkxwDlgFolderSafeSet_Allow::OnAddUser() {
    CkxwDlgSelectUser dlg(this);
    if (dlg.DoModal() != kx::IDOK || dlg.GetUserID() < 0) return;
    const CkxUser* user = KX_KXXXX().m_UserList.Find(dlg.GetUserID());
    if (!user) return;
    if (CkxUserLicence* stored = kx::AddNewGrant(m_owner->m_Power, false, user->m_nID)) AddEntry(m_users, user->m_strLogon, stored);
}

void CkxwDlgFolderSafeSet_Allow::OnDelete(QListWidget* list) {
    QListWidgetItem* item = list->currentItem();
    CkxUserLicence* grant = GrantOf(item);
    if (!grant) return;
    if (m_pGrant == grant) {
        m_pGrant = nullptr;
        m_nTarget = TARGET_NONE;
    }
    GetLicenceList()->DeleteLicence(grant); // exactly the entry's own grant
    delete item;
}

void CkxwDlgFolderSafeSet_Allow::OnInheritClicked() {
    CkxPowerEx& rights = m_owner->m_Power;
    rights.m_nInherit = rights.m_nInherit ? 0 : 1;
    m_owner->InitFromParent();
    m_inherit->setChecked(rights.m_nInherit != 0);
    m_parent->setEnabled(rights.m_nInherit == 0);
    EnableSetPower(rights.m_nInherit ? 0 : 1);
}

// ---- the detail page ----

CkxwDlgFolderSafeSet_Info::CkxwDlgFolderSafeSet_Info(CkxwDlgFolderSafeSet* owner, QWidget* parent)
    : kx::Dialog(parent), m_owner(owner) {
    auto* layout = new QVBoxLayout(this);
    m_list = new kx::ReportList(this);
    SetDlgItemId(m_list, IDC_LIST);
    layout->addWidget(m_list);
}

void CkxwDlgFolderSafeSet_Info::OnInitDialog() {
    kx::FillPowerTable(*m_list, m_owner->EffectiveRights());
    kx::Dialog::OnInitDialog();
}

void CkxwDlgFolderSafeSet_Info::InitData() { kx::MarkPowerTable(*m_list, m_owner->EffectiveRights()); }

void CkxwDlgFolderSafeSet_Info::AddUser(const CkxUser* user) {
    if (!user || !parentWidget()) return;
    const int row = m_list->InsertItem(m_list->GetItemCount(), kx::Q(user->m_strLogon));
    m_list->SetItemData(row, user->m_nID);
}

void CkxwDlgFolderSafeSet_Info::CheckPower(int row, uint32_t mask) {
    kx::MarkPowerRow(*m_list, row, m_owner->m_Power.m_nItemType, mask);
}

// ---- the tabbed dialog ----

CkxwDlgFolderSafeSet::CkxwDlgFolderSafeSet(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("目录控制设置"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    SetDlgItemId(m_tabs, IDC_TAB);
    layout->addWidget(m_tabs, 1);
    kx::AddOkCancel(this, layout);
    if (auto* ok = GetDlgItemAs<QPushButton>(kx::IDOK)) ok->setText(QStringLiteral("保  存"));
    resize(620, 520);
}

void CkxwDlgFolderSafeSet::OnInitDialog() {
    m_allow = new CkxwDlgFolderSafeSet_Allow(this, m_tabs);
    m_info = new CkxwDlgFolderSafeSet_Info(this, m_tabs);
    m_allow->Create(m_tabs);
    m_info->Create(m_tabs);
    m_tabs->addTab(m_allow, QStringLiteral("授予权限"));
    m_tabs->addTab(m_info, QStringLiteral("授权明细表"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1) m_info->InitData();
    });
    if (!m_strTitle.empty()) setWindowTitle(kx::Q("权限设置(" + m_strTitle + ")"));
    m_tabs->setCurrentIndex(0);
    kx::Dialog::OnInitDialog();
}

CkxUserLicence* CkxwDlgFolderSafeSet::licAdd(CkxUserLicence& grant) { return kx::AddGrant(m_Power, grant); }

void CkxwDlgFolderSafeSet::InitFromParent() {
    const int kind = m_Power.m_nItemType;
    if (kind != CkxUserLicence::ITEM_FOLDER && kind != CkxUserLicence::ITEM_FILE) return;
    CkxPowerEx parent;
    if (!KX_KXXXX().fsGetDirPower(m_Power.m_nParentID, parent)) return;
    m_Power.m_LicenceList.DeleteAll();
    for (POSITION p = parent.m_LicenceList.GetHeadPosition(); p;) m_Power.m_LicenceList.AddTail(*parent.m_LicenceList.GetNext(p));
    if (m_allow) m_allow->InitData();
    if (m_info) m_info->InitData();
}

CkxPowerEx CkxwDlgFolderSafeSet::EffectiveRights() const {
    // Here the power words hold role ids; the table shows what those roles allow.
    CkxPowerEx rights = m_Power;
    const CkxXXX& context = KX_KXXXX();
    const auto mask = [&](uint32_t roleId) -> uint32_t {
        if (rights.m_nItemType == CkxUserLicence::ITEM_FOLDER) {
            const CkxFolderRole* r = context.m_FolderRoleList.Find(static_cast<int>(roleId));
            return r ? static_cast<uint32_t>(r->m_nPower) : 0;
        }
        const CkxFileRole* r = context.m_FileRoleList.Find(static_cast<int>(roleId));
        return r ? static_cast<uint32_t>(r->m_nPower) : 0;
    };
    rights.m_nEveryonePower = mask(rights.m_nEveryonePower);
    for (POSITION p = rights.m_LicenceList.GetHeadPosition(); p;) {
        CkxUserLicence* g = rights.m_LicenceList.GetNext(p);
        g->m_nPower = mask(g->m_nPower);
    }
    return rights;
}
