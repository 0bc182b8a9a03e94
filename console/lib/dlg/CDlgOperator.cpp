#include "dlg/CDlgOperator.h"

#include "base/Gbk.h"
#include "model/CkxXXX.h"
#include "qt/KxDataExchange.h"
#include "qt/KxEdit.h"
#include "qt/KxPrompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDlgOperator::CDlgOperator(int currentUserId, QWidget* parent) : kx::Dialog(parent), m_nCurrentUserId(currentUserId) {
    setWindowTitle(QStringLiteral("操作员"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    struct Field {
        int id;
        const char* label;
    };
    const Field fields[] = {{IDC_LOGON, "登 录 名"}, {IDC_NAME, "操 作 员"},   {IDC_PASSWORD, "密    码"},
                            {IDC_CONFIRM, "密码确认"}, {IDC_ROLE, "角    色"},   {IDC_STATE, "状    态"},
                            {IDC_DEPT, "部    门"},  {IDC_JOB, "职    务"},     {IDC_TEL, "电    话"},
                            {IDC_MOBILE, "手    机"}, {IDC_EMAIL, "EMail"},      {IDC_NOTE, "备    注"}};
    int at = 0;
    for (const Field& f : fields) {
        QWidget* control;
        if (f.id == IDC_ROLE || f.id == IDC_STATE) {
            auto* combo = new QComboBox(this);
            (f.id == IDC_ROLE ? m_role : m_state) = combo;
            control = combo;
        } else {
            auto* edit = new kx::Edit(this);
            edit->SetLimitText(kTextBytes);
            if (f.id == IDC_PASSWORD || f.id == IDC_CONFIRM) edit->setEchoMode(QLineEdit::Password);
            control = edit;
        }
        SetDlgItemId(control, f.id);
        const int row = at / 2, column = (at % 2) * 2;
        grid->addWidget(new QLabel(QString::fromUtf8(f.label), this), row, column);
        grid->addWidget(control, row, column + 1);
        ++at;
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("创  建"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
}

void CDlgOperator::DoDataExchange(kx::DataExchange& dx) {
    kx::DDX_Text(dx, IDC_LOGON, m_User.m_strLogon);
    kx::DDX_Text(dx, IDC_NAME, m_User.m_strUser);
    kx::DDX_Text(dx, IDC_PASSWORD, m_User.m_strPassword);
    kx::DDX_Text(dx, IDC_CONFIRM, m_strConfirm);
    kx::DDX_Text(dx, IDC_DEPT, m_User.m_strDept);
    kx::DDX_Text(dx, IDC_JOB, m_User.m_strJob);
    kx::DDX_Text(dx, IDC_TEL, m_User.m_strTel);
    kx::DDX_Text(dx, IDC_MOBILE, m_User.m_strMobile);
    kx::DDX_Text(dx, IDC_EMAIL, m_User.m_strEMail);
    kx::DDX_Text(dx, IDC_NOTE, m_User.m_strRemark);
}

void CDlgOperator::OnInitDialog() {
    setWindowTitle(m_bCreate ? QStringLiteral("创建操作员") : QStringLiteral("修改操作员"));
    if (auto* ok = GetDlgItemAs<QPushButton>(kx::IDOK))
        ok->setText(m_bCreate ? QStringLiteral("创  建") : QStringLiteral("修  改"));
    m_strOriginalLogon = m_User.m_strLogon;
    if (!m_bCreate) m_strConfirm = m_User.m_strPassword;

    m_role->clear();
    KX_KXXXX().m_UserRoleList.ForEach(
        [&](const CkxUserRole& r) { m_role->addItem(QString::fromStdString(r.m_strName), r.m_nID); });
    m_state->clear();
    m_state->addItem(QStringLiteral("无效"), static_cast<int>(CkxUser::STATE_INV));
    m_state->addItem(QStringLiteral("启用"), static_cast<int>(CkxUser::STATE_ACT));
    m_state->addItem(QStringLiteral("暂停"), static_cast<int>(CkxUser::STATE_PAUSE));
    m_state->setCurrentIndex(1);
    m_role->setCurrentIndex(-1);
    if (!m_bCreate) {
        m_role->setCurrentIndex(m_role->findData(static_cast<int>(m_User.m_nRoleID)));
        m_state->setCurrentIndex(m_state->findData(static_cast<int>(m_User.m_nState)));
    }
    // "su" and the administrator's own account keep what lets them log on and administer.
    const bool kept = m_User.m_strLogon == "su" || (!m_bCreate && m_User.m_nID == m_nCurrentUserId);
    for (int id : {static_cast<int>(IDC_LOGON), static_cast<int>(IDC_ROLE), static_cast<int>(IDC_STATE)})
        if (QWidget* w = GetDlgItem(id)) w->setEnabled(!kept);
    kx::Dialog::OnInitDialog();
}

bool CDlgOperator::Warn(const char* text, int focusId) {
    kx::Prompt(this, text, kx::PromptOk, kx::PromptWarning);
    if (QWidget* w = GetDlgItem(focusId)) w->setFocus();
    return false;
}

void CDlgOperator::OnOK() {
    if (!UpdateData(true)) return;
    const CkxUser& u = m_User;
    if (u.m_strLogon.empty()) return void(Warn("登录名不能为空", IDC_LOGON));
    if (kx::GbkLength(u.m_strLogon) > kLogonBytes) return void(Warn("用户名长度不能超过15", IDC_LOGON));
    if (u.m_strUser.empty()) return void(Warn("用户名不能为空", IDC_NAME));
    if (u.m_strPassword.empty()) return void(Warn("密码不能为空", IDC_PASSWORD));
    if (kx::GbkLength(u.m_strPassword) > kLogonBytes) return void(Warn("密码长度不能超过15", IDC_PASSWORD));
    const bool nameChanged = m_bCreate || u.m_strLogon != m_strOriginalLogon;
    if (nameChanged && KX_KXXXX().m_UserList.CheckLogonExist(u.m_strLogon))
        return void(Warn("登录名已经存在,请重新输入", IDC_LOGON));
    if (u.m_strPassword != m_strConfirm) {
        for (int id : {static_cast<int>(IDC_PASSWORD), static_cast<int>(IDC_CONFIRM)})
            if (auto* e = GetDlgItemAs<QLineEdit>(id)) e->clear();
        return void(Warn("确认密码不一致,请重新输入", IDC_PASSWORD));
    }
    if (m_role->currentIndex() < 0) return void(Warn("请选择角色", IDC_ROLE));
    m_User.SetRoleID(m_role->currentData().toInt());
    m_User.m_nState = static_cast<uint8_t>(m_state->currentData().toInt());
    m_User.m_nOnline = 0;
    EndDialog(kx::IDOK);
}
