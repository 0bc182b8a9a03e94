#include "ui/CkxwDlgPowerSet.h"

#include "base/Gbk.h"
#include "model/CkxUser.h"
#include "model/CkxUserLicence.h"
#include "model/CkxXXX.h"
#include "qt/KxReportList.h"
#include "ui/CDlgOperatorGroupSelect.h"
#include "ui/KxShowDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kx {

std::vector<PowerRow> PowerRowsFor(int itemKind) {
    static const PowerRow kAll[] = {
        {0x0001, "管理本目录"}, {0x0002, "操作本目录"}, {0x0004, "打开本目录"}, {0x0008, "读取本目录"},
        {0x0010, "创建子目录"}, {0x0020, "创建文件"},   {0x1000, "管理文件"},   {0x2000, "操作文件"},
        {0x8000, "打开文件"},   {0x4000, "浏览文件"},
    };
    if (itemKind == CkxUserLicence::ITEM_FOLDER) return {std::begin(kAll), std::end(kAll)};
    if (itemKind == CkxUserLicence::ITEM_FILE) return {std::begin(kAll) + 6, std::end(kAll)};
    return {};
}

uint32_t ImpliedMask(uint32_t bit, int itemKind) {
    const bool folder = itemKind == CkxUserLicence::ITEM_FOLDER;
    switch (bit) {
    case 0x0001: return folder ? 0xF03F : 0;
    case 0x0002: return folder ? 0x000E : 0;
    case 0x0004: return folder ? 0x000C : 0;
    case 0x0008: return folder ? 0x0008 : 0;
    case 0x0010: return folder ? 0x001C : 0;
    case 0x0020: return folder ? 0x002C : 0;
    case 0x1000: return folder ? 0xF00C : 0xF000;
    case 0x2000: return folder ? 0xE00C : 0xE000;
    case 0x8000: return folder ? 0xC00C : 0xC000;
    case 0x4000: return folder ? 0x400C : 0x4000;
    default: return 0;
    }
}

void FillPowerRows(ReportList& list, int itemKind) {
    for (const PowerRow& r : PowerRowsFor(itemKind)) {
        const int row = list.InsertItem(list.GetItemCount(), QString::fromUtf8(r.caption));
        list.SetItemData(row, r.bit);
    }
}

void CheckPowerRows(ReportList& list, uint32_t mask) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const uint32_t bit = static_cast<uint32_t>(list.GetItemData(row));
        list.SetCheck(row, (mask & 0x0001) != 0 || (mask & bit) == bit);
    }
}

namespace {
int WidthForBytes(size_t bytes) {
    static const int kWidths[] = {25, 25, 25, 25, 37, 37, 48, 48, 60, 60, 73, 73, 85, 85, 97, 97, 109,
                                  109, 120, 120, 135, 135, 150, 150, 163, 163, 178, 178, 192, 192, 207, 207, 222, 222};
    return bytes < std::size(kWidths) ? kWidths[bytes] : 222;
}
} // namespace

void FillPowerTable(ReportList& list, const CkxPowerEx& rights) {
    list.SetFullRowSelect(true);
    list.InsertColumn(0, QStringLiteral("操作员"), LVCFMT_LEFT, 100);
    for (const PowerRow& r : PowerRowsFor(rights.m_nItemType))
        list.InsertColumn(list.GetColumnCount(), QString::fromUtf8(r.caption), LVCFMT_LEFT, WidthForBytes(GbkLength(r.caption)));
    KX_KXXXX().m_UserList.ForEach([&](const CkxUser& u) {
        const int row = list.InsertItem(list.GetItemCount(), Q(u.m_strLogon));
        list.SetItemData(row, u.m_nID);
    });
    MarkPowerTable(list, rights);
}

CkxUserLicence* AddGrant(CkxPowerEx& rights, CkxUserLicence& grant) {
    grant.m_nItemID = rights.m_nItemID;
    grant.m_nItemType = rights.m_nItemType;
    return rights.m_LicenceList.AddTail(grant);
}

CkxUserLicence* AddNewGrant(CkxPowerEx& rights, bool group, int granteeId) {
    CkxUserLicence grant;
    if (group) grant.SetGroup();
    else grant.SetUser();
    grant.SetStateAllow();
    grant.m_nAlieneeID = granteeId;
    grant.m_nPower = 0;
    return AddGrant(rights, grant);
}

void MarkPowerRow(ReportList& list, int row, int itemKind, uint32_t mask) {
    const std::vector<PowerRow> rows = PowerRowsFor(itemKind);
    const uint32_t all = itemKind == CkxUserLicence::ITEM_FOLDER ? 0x0001 : 0x1000;
    for (size_t c = 0; c < rows.size(); ++c) {
        const bool on = (mask & all) != 0 || (mask & rows[c].bit) == rows[c].bit;
        list.SetItemText(row, static_cast<int>(c) + 1, on ? QStringLiteral("√") : QString());
    }
}

void MarkPowerTable(ReportList& list, const CkxPowerEx& rights) {
    for (int row = 0; row < list.GetItemCount(); ++row)
        MarkPowerRow(list, row, rights.m_nItemType,
                     KX_KXXXX().licCheckPowerMask(rights, static_cast<int>(list.GetItemData(row))));
}

} // namespace kx

// ---- CkxwDlgPowerSet ----

CkxwDlgPowerSet::CkxwDlgPowerSet(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("设置权限"));
    auto* layout = new QVBoxLayout(this);
    m_inherit = new QCheckBox(QStringLiteral("继承父目录安全策略"), this);
    SetDlgItemId(m_inherit, IDC_CHK_INHERIT);
    layout->addWidget(m_inherit);
    auto* grid = new QGridLayout;
    const auto makeList = [&](const char* group, int id, const char* column, int row, int col) {
        auto* box = new QGroupBox(QString::fromUtf8(group), this);
        auto* v = new QVBoxLayout(box);
        auto* list = new kx::ReportList(box);
        SetDlgItemId(list, id);
        list->InsertColumn(0, QString::fromUtf8(column), kx::LVCFMT_LEFT, id == IDC_LIST_POWER ? 210 : 180);
        list->SetFullRowSelect(true);
        v->addWidget(list);
        grid->addWidget(box, row, col, id == IDC_LIST_POWER ? 2 : 1, 1);
        return std::make_pair(list, v);
    };
    const auto button = [&](const char* text, int id, QVBoxLayout* to) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        SetDlgItemId(b, id);
        b->setAutoDefault(false);
        to->addWidget(b);
        return b;
    };
    auto [groups, gv] = makeList("分组授权", IDC_LIST_GROUP, "分组名称", 0, 0);
    m_groups = groups;
    auto* gb = new QHBoxLayout;
    auto* gbv = new QVBoxLayout;
    gb->addLayout(gbv);
    gv->addLayout(gb);
    m_addGroup = button("添加分组", IDC_BTN_ADDGROUP, gbv);
    m_delGroup = button("删除分组", IDC_BTN_DELGROUP, gbv);
    auto [users, uv] = makeList("用户授权", IDC_LIST_USER, "用户名称", 1, 0);
    m_users = users;
    auto* ubv = new QVBoxLayout;
    uv->addLayout(ubv);
    m_addUser = button("添加用户", IDC_BTN_ADDUSER, ubv);
    m_delUser = button("删除用户", IDC_BTN_DELUSER, ubv);
    auto [power, pv] = makeList("权限列表", IDC_LIST_POWER, "权限", 0, 1);
    m_power = power;
    m_power->SetCheckBoxes(true);
    button("查看授权明细表", IDC_BTN_DETAIL, pv);
    layout->addLayout(grid, 1);
    kx::AddOkCancel(this, layout);
    m_delGroup->setEnabled(false);
    m_delUser->setEnabled(false);

    connect(m_inherit, &QCheckBox::clicked, this, [this] { OnInheritClicked(); });
    connect(m_groups, &QTreeWidget::itemSelectionChanged, this, [this] { OnGroupSelected(); });
    connect(m_users, &QTreeWidget::itemSelectionChanged, this, [this] { OnUserSelected(); });
    connect(m_addGroup, &QPushButton::clicked, this, [this] { OnAddGroup(); });
    connect(m_delGroup, &QPushButton::clicked, this, [this] { OnDeleteGroup(); });
    connect(m_addUser, &QPushButton::clicked, this, [this] { OnAddUser(); });
    connect(m_delUser, &QPushButton::clicked, this, [this] { OnDeleteUser(); });
    connect(GetDlgItemAs<QPushButton>(IDC_BTN_DETAIL), &QPushButton::clicked, this, [this] { OnShowDetail(); });
    // A ticked or cleared power is stored at once (and again when the list loses the focus).
    connect(m_power, &kx::ReportList::ItemChanged, this, [this] {
        if (!m_bShowing) StorePower();
    });
    resize(520, 460);
}

void CkxwDlgPowerSet::OnInitDialog() {
    kx::FillPowerRows(*m_power, m_Power.m_nItemType);
    if (m_nRootDir) {
        m_inherit->setChecked(false);
        m_inherit->setEnabled(false);
        for (QWidget* w : std::initializer_list<QWidget*>{m_addGroup, m_delGroup, m_addUser, m_delUser, m_power})
            w->setEnabled(false);
        if (QWidget* ok = GetDlgItem(kx::IDOK)) ok->hide();
        if (auto* cancel = GetDlgItemAs<QPushButton>(kx::IDCANCEL)) {
            cancel->setText(QStringLiteral("关闭"));
            cancel->setDefault(true); // Enter closes, as "关闭" does
        }
        m_Power.m_nEveryonePower = CkxPower::GetRootDirEveryonePower();
        setWindowTitle(QStringLiteral("根目录基本权限信息"));
        AddEveryoneLic();
    } else {
        m_inherit->setEnabled(true);
        m_inherit->setChecked(m_Power.IsInherit() != 0);
        const CkxXXX& context = KX_KXXXX();
        for (POSITION p = m_Power.m_LicenceList.GetHeadPosition(); p;) {
            CkxUserLicence* grant = m_Power.m_LicenceList.GetNext(p);
            AddGrantRow(grant->IsGroup() ? m_groups : m_users, grant, context.licGetAlieneeName(grant));
        }
        OnInheritClicked();
    }
    kx::Dialog::OnInitDialog();
}

void CkxwDlgPowerSet::AddGrantRow(kx::ReportList* list, CkxUserLicence* grant, const std::string& name) {
    const int row = list->InsertItem(list->GetItemCount(), kx::Q(name));
    list->SetItemData(row, reinterpret_cast<std::intptr_t>(grant));
}

void CkxwDlgPowerSet::OnInheritClicked() {
    if (m_inherit->isChecked()) {
        m_Power.m_nInherit = 1;
        m_Power.m_nEveryonePower = 0;
        DeleteEveryoneLic();
    } else {
        m_Power.m_nInherit = 0;
        AddEveryoneLic();
    }
}

void CkxwDlgPowerSet::AddEveryoneLic() {
    DeleteEveryoneLic();
    m_groups->InsertItem(0, QStringLiteral("所有人"));
    m_groups->SetItemData(0, 0);
}

void CkxwDlgPowerSet::DeleteEveryoneLic() {
    for (int row = m_groups->GetItemCount() - 1; row >= 0; --row)
        if (m_groups->GetItemData(row) == 0) {
            if (m_nTarget == TARGET_EVERYONE) m_nTarget = TARGET_NONE;
            m_groups->DeleteItem(row);
        }
}

CkxUserLicence* CkxwDlgPowerSet::GetSelectGroupLic() const {
    const int row = m_groups->GetSelectedRow();
    return row < 0 ? nullptr : reinterpret_cast<CkxUserLicence*>(m_groups->GetItemData(row));
}

CkxUserLicence* CkxwDlgPowerSet::GetSelectUserLic() const {
    const int row = m_users->GetSelectedRow();
    return row < 0 ? nullptr : reinterpret_cast<CkxUserLicence*>(m_users->GetItemData(row));
}

void CkxwDlgPowerSet::CheckPower(uint32_t mask) {
    m_bShowing = true;
    kx::CheckPowerRows(*m_power, mask);
    m_bShowing = false;
}

void CkxwDlgPowerSet::OnGroupSelected() {
    const int row = m_groups->GetSelectedRow();
    const bool root = m_nRootDir != 0;
    if (row < 0) {
        m_nTarget = TARGET_NONE;
        m_pTarget = nullptr;
        CheckPower(0);
        if (!root) m_delGroup->setEnabled(false);
        return;
    }
    if (m_groups->GetItemData(row) == 0) {
        m_nTarget = TARGET_EVERYONE;
        m_pTarget = nullptr;
        CheckPower(m_Power.m_nEveryonePower);
        if (!root) m_delGroup->setEnabled(false);
        return;
    }
    m_nTarget = TARGET_GRANT;
    m_pTarget = GetSelectGroupLic();
    CheckPower(m_pTarget->m_nPower);
    if (!root) m_delGroup->setEnabled(true);
}

void CkxwDlgPowerSet::OnUserSelected() {
    CkxUserLicence* grant = GetSelectUserLic();
    if (!grant) {
        m_nTarget = TARGET_NONE;
        m_pTarget = nullptr;
        CheckPower(0);
        if (!m_nRootDir) m_delUser->setEnabled(false);
        return;
    }
    m_nTarget = TARGET_GRANT;
    m_pTarget = grant;
    CheckPower(grant->m_nPower);
    if (!m_nRootDir) m_delUser->setEnabled(true);
}

void CkxwDlgPowerSet::StorePower() {
    if (m_nRootDir) return;
    uint32_t mask = 0;
    for (int row = 0; row < m_power->GetItemCount(); ++row)
        if (m_power->GetCheck(row))
            mask |= kx::ImpliedMask(static_cast<uint32_t>(m_power->GetItemData(row)), m_Power.m_nItemType);
    if (m_nTarget == TARGET_EVERYONE) m_Power.m_nEveryonePower = mask;
    else if (m_nTarget == TARGET_GRANT && m_pTarget) m_pTarget->m_nPower = mask;
}

CkxUserLicence* CkxwDlgPowerSet::licAdd(CkxUserLicence& grant) { return kx::AddGrant(m_Power, grant); }

namespace {
// The row of the list whose grant names the grantee; -1 when none.
int RowOfGrantee(const kx::ReportList& list, int id) {
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const auto* g = reinterpret_cast<const CkxUserLicence*>(list.GetItemData(row));
        if (g && g->m_nAlieneeID == id) return row;
    }
    return -1;
}
void SelectOnly(kx::ReportList& list, int row) {
    for (int r = 0; r < list.GetItemCount(); ++r) list.SetItemSelected(r, r == row);
}
} // namespace

void CkxwDlgPowerSet::OnAddGroup() {
    CDlgOperatorGroupSelect dlg(this);
    if (dlg.DoModal() != kx::IDOK || dlg.m_nGroupID < 0) return;
    const CkxUserGroup* group = KX_KXXXX().m_UserGroupList.Find(dlg.m_nGroupID);
    if (!group) return;
    // A group that already has a row is selected, not granted twice.
    if (const int row = RowOfGrantee(*m_groups, group->m_nID); row >= 0) return SelectOnly(*m_groups, row);
    if (CkxUserLicence* stored = kx::AddNewGrant(m_Power, true, group->m_nID)) AddGrantRow(m_groups, stored, group->m_strName);
}

void CkxwDlgPowerSet::OnAddUser() {
    CkxwDlgSelectUser dlg(this);
    if (dlg.DoModal() != kx::IDOK || dlg.GetUserID() < 0) return;
    const CkxUser* user = KX_KXXXX().m_UserList.Find(dlg.GetUserID());
    if (!user) return;
    if (const int row = RowOfGrantee(*m_users, user->m_nID); row >= 0) return SelectOnly(*m_users, row);
    if (CkxUserLicence* stored = kx::AddNewGrant(m_Power, false, user->m_nID)) AddGrantRow(m_users, stored, user->m_strUser);
}

void CkxwDlgPowerSet::DeleteRow(kx::ReportList* list) {
    const int row = list->GetSelectedRow();
    if (row < 0) return;
    auto* grant = reinterpret_cast<CkxUserLicence*>(list->GetItemData(row));
    if (!grant) return;
    // Exactly the row's own grant goes: other rows keep pointing at live grants.
    if (m_pTarget == grant) {
        m_pTarget = nullptr;
        m_nTarget = TARGET_NONE;
    }
    m_Power.m_LicenceList.DeleteLicence(grant);
    list->DeleteItem(row);
}

void CkxwDlgPowerSet::OnDeleteGroup() { DeleteRow(m_groups); }
void CkxwDlgPowerSet::OnDeleteUser() { DeleteRow(m_users); }

void CkxwDlgPowerSet::OnShowDetail() {
    CkxwDlgPowerList dlg(this);
    dlg.m_Power = m_Power;
    dlg.DoModal();
}

bool CkxwDlgPowerSet::GroupListHasGrant() const {
    for (int row = 0; row < m_groups->GetItemCount(); ++row)
        if (m_groups->GetItemData(row) != 0) return true;
    return false;
}

void CkxwDlgPowerSet::OnOK() {
    // The root folder's basic rights are only shown: Enter closes as "关闭" does.
    if (m_nRootDir) return EndDialog(kx::IDCANCEL);
    StorePower();
    const bool noGroups = !GroupListHasGrant(), noUsers = m_users->GetItemCount() == 0;
    if (noGroups && noUsers) {
        m_Power.m_LicenceList.DeleteAll();
    } else {
        if (noGroups) m_Power.m_LicenceList.DeleteAllGroupPower();
        if (noUsers) m_Power.m_LicenceList.DeleteAllUserPower();
    }
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_PowerSet(int rootDir, CkxPowerEx& rights) {
    return kx::RunDlg<CkxwDlgPowerSet>(
        [&](CkxwDlgPowerSet& d) {
            d.m_nRootDir = rootDir;
            d.m_Power = rights;
        },
        [&](CkxwDlgPowerSet& d) { rights = d.m_Power; });
}

// ---- CkxwDlgPowerList ----

CkxwDlgPowerList::CkxwDlgPowerList(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("授权明细表"));
    auto* layout = new QVBoxLayout(this);
    m_list = new kx::ReportList(this);
    SetDlgItemId(m_list, IDC_LIST);
    layout->addWidget(m_list, 1);
    auto* ok = AddButton(QStringLiteral("确  定"), kx::IDOK);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(720, 360);
}

void CkxwDlgPowerList::OnInitDialog() {
    kx::FillPowerTable(*m_list, m_Power);
    kx::Dialog::OnInitDialog();
}

void CkxwDlgPowerList::AddUser(const CkxUser* user) {
    if (!user) return;
    const int row = m_list->InsertItem(m_list->GetItemCount(), kx::Q(user->m_strLogon));
    m_list->SetItemData(row, user->m_nID);
}

void CkxwDlgPowerList::InitData() { kx::MarkPowerTable(*m_list, m_Power); }

void CkxwDlgPowerList::CheckPower(int row, uint32_t mask) { kx::MarkPowerRow(*m_list, row, m_Power.m_nItemType, mask); }

// ---- CkxwDlgSelectUser ----

CkxwDlgSelectUser::CkxwDlgSelectUser(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择用户"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("用户列表"), this);
    auto* v = new QVBoxLayout(box);
    m_list = kx::MakeReportList(this, IDC_LIST, {{"登录名", 120}, {"姓名", 120}});
    v->addWidget(m_list);
    layout->addWidget(box, 1);
    kx::AddOkCancel(this, layout);
    resize(300, 320);
}

void CkxwDlgSelectUser::OnInitDialog() {
    if (!m_strCaption.empty()) setWindowTitle(kx::Q(m_strCaption));
    KX_KXXXX().m_UserList.ForEach([&](const CkxUser& u) {
        const int row = m_list->InsertItem(m_list->GetItemCount(), kx::Q(u.m_strLogon));
        m_list->SetItemText(row, 1, kx::Q(u.m_strUser));
        m_list->SetItemData(row, u.m_nID);
    });
    kx::Dialog::OnInitDialog();
}

void CkxwDlgSelectUser::OnOK() {
    const int row = m_list->GetSelectedRow();
    if (row >= 0) m_nUserID = static_cast<int>(m_list->GetItemData(row));
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_SelectUser(const std::string& caption, int& userId) {
    return kx::RunDlg<CkxwDlgSelectUser>([&](CkxwDlgSelectUser& d) { d.SetWindowTextA(caption); },
                                         [&](CkxwDlgSelectUser& d) { userId = d.GetUserID(); });
}
