#include "role/CDlgRoleEdit.h"

#include "role/RoleKind.h"

#include "qt/KxDataExchange.h"
#include "qt/KxEdit.h"
#include "qt/KxPrompt.h"
#include "qt/KxReportList.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <class Role>
RoleRow RowOf(const Role& r) {
    return {r.m_nID, r.m_strName, r.m_nIsSystem, static_cast<uint32_t>(r.m_nPower), r.m_strRemark};
}

template <class Role>
Role RoleOf(const RoleRow& row) {
    Role r;
    r.m_nID = row.id;
    r.m_strName = row.name;
    r.m_nIsSystem = row.system;
    r.m_nPower = static_cast<int32_t>(row.mask);
    r.m_strRemark = row.note;
    return r;
}

} // namespace

CDlgRoleEdit::CDlgRoleEdit(const char* caption, const std::vector<kx::RoleRight>& rights, QWidget* parent,
                           int nameBytes, int noteBytes, kx::RightCheck checked)
    : kx::Dialog(parent), m_table(rights), m_checked(checked) {
    setWindowTitle(QString::fromUtf8(caption));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* name = new kx::Edit(this);
    SetDlgItemId(name, IDC_DLG_NAME);
    name->SetLimitText(nameBytes);
    auto* note = new kx::Edit(this);
    SetDlgItemId(note, IDC_DLG_NOTE);
    note->SetLimitText(noteBytes);
    form->addRow(QStringLiteral("名  称"), name);
    form->addRow(QStringLiteral("备  注"), note);
    layout->addLayout(form);
    auto* group = new QGroupBox(QStringLiteral("权限选择"), this);
    auto* groupLayout = new QVBoxLayout(group);
    m_rights = new kx::ReportList(group);
    SetDlgItemId(m_rights, IDC_DLG_RIGHTS);
    groupLayout->addWidget(m_rights);
    layout->addWidget(group, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("创  建"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
    resize(340, 360);
}

void CDlgRoleEdit::DoDataExchange(kx::DataExchange& dx) {
    kx::DDX_Text(dx, IDC_DLG_NAME, m_Role.name);
    kx::DDX_Text(dx, IDC_DLG_NOTE, m_Role.note);
}

void CDlgRoleEdit::OnInitDialog() {
    kx::SetUpRightsList(*m_rights, m_table, false);
    if (QPushButton* ok = GetDlgItemAs<QPushButton>(kx::IDOK))
        ok->setText(m_bCreate ? QStringLiteral("创  建") : QStringLiteral("修  改"));
    if (!m_bCreate) kx::ShowRights(*m_rights, m_table, m_Role.mask, m_checked);
    kx::Dialog::OnInitDialog();
}

void CDlgRoleEdit::OnOK() {
    if (!UpdateData(true)) return;
    if (m_Role.name.empty()) {
        kx::Prompt(this, kNameEmpty, kx::PromptOk, kx::PromptWarning);
        if (QWidget* name = GetDlgItem(IDC_DLG_NAME)) name->setFocus();
        return;
    }
    m_Role.system = 0;
    m_Role.mask = NewMask(kx::CheckedRights(*m_rights));
    EndDialog(kx::IDOK);
}

uint32_t CDlgRoleEdit::NewMask(const std::vector<bool>& checked) const {
    return kx::MaskOfCheckedRights(m_table, checked);
}

CDlgUserRoleEdit::CDlgUserRoleEdit(QWidget* parent)
    : CDlgRoleEdit(kCaption, kx::UserRolePowers(), parent, 51, 199, &kx::IsUserPowerChecked) {}

uint32_t CDlgUserRoleEdit::NewMask(const std::vector<bool>& checked) const {
    return kx::UserRoleWord(checked, m_bCreate ? 0 : m_nOldWord);
}

CDlgFileRoleEdit::CDlgFileRoleEdit(QWidget* parent)
    : CDlgRoleEdit(RoleKind<CkxFileRole>::kCaption, RoleKind<CkxFileRole>::Rights(), parent) {}
void CDlgFileRoleEdit::SetRole(const CkxFileRole& r) { m_Role = RowOf(r); }
CkxFileRole CDlgFileRoleEdit::GetRole() const { return RoleOf<CkxFileRole>(m_Role); }

CDlgFolderRoleEdit::CDlgFolderRoleEdit(QWidget* parent)
    : CDlgRoleEdit(RoleKind<CkxFolderRole>::kCaption, RoleKind<CkxFolderRole>::Rights(), parent) {}
void CDlgFolderRoleEdit::SetRole(const CkxFolderRole& r) { m_Role = RowOf(r); }
CkxFolderRole CDlgFolderRoleEdit::GetRole() const { return RoleOf<CkxFolderRole>(m_Role); }
