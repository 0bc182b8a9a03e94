#include "dlg/CDlgLogin.h"

#include "app/CKeeperApp.h"
#include "frame/KeeperStatus.h"
#include "link/ConsoleLink.h"
#include "model/CkxClient.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxEdit.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxLoginFields.h"
#include "qt/KxPrompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdint>

namespace {

constexpr const char* kSrvIP = "SrvIP";
constexpr const char* kUser = "User";
// Bytes the stored "User" may take with its NUL.
constexpr uint32_t kUserBuffer = 30;
// How often the dialog looks at the connection while it waits for the answer.
constexpr int kWaitTickMs = 100;

std::string AddressText(const std::array<int, 4>& n) {
    return std::to_string(n[0]) + "." + std::to_string(n[1]) + "." + std::to_string(n[2]) + "." +
           std::to_string(n[3]);
}

} // namespace

const char* CDlgLogin::RefusalText(int result) { return kx::LoginRefusalText(result); }

CDlgLogin::CDlgLogin(CKeeperApp& app, QWidget* parent) : kx::Dialog(parent), m_app(app) {
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("登录信息"), this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(12);

    m_ipAddress = new kx::IpAddressCtrl(group);
    SetDlgItemId(m_ipAddress, IDC_IPADDRESS);
    m_comboUser = new QComboBox(group);
    SetDlgItemId(m_comboUser, IDC_COMBO_USER);
    m_comboUser->setEditable(true);
    // A name that cannot be stored is refused as it is typed.
    m_comboUser->setLineEdit(new kx::Edit(m_comboUser));
    m_comboUser->setInsertPolicy(QComboBox::NoInsert);
    m_editPassword = new kx::Edit(group);
    SetDlgItemId(m_editPassword, IDC_EDIT_PASSWORD);
    m_editPassword->setEchoMode(QLineEdit::Password);

    grid->addWidget(new QLabel(QStringLiteral("服务器IP"), group), 0, 0);
    grid->addWidget(m_ipAddress, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("登 录 名"), group), 1, 0);
    grid->addWidget(m_comboUser, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("密    码"), group), 2, 0);
    grid->addWidget(m_editPassword, 2, 1);
    grid->setColumnMinimumWidth(1, 180);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = AddButton(QStringLiteral("登  录"), kx::IDOK);
    m_cancel = AddButton(QStringLiteral("取  消"), kx::IDCANCEL);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    m_waitTimer = new QTimer(this);
    m_waitTimer->setInterval(kWaitTickMs);
    connect(m_waitTimer, &QTimer::timeout, this, [this] { OnWaitTick(); });
}

CDlgLogin::~CDlgLogin() = default;

void CDlgLogin::DoDataExchange(kx::DataExchange& dx) {
    // The name is the combo's edit text.
    if (dx.Saving()) m_strLogon = m_comboUser->currentText().toStdString();
    else m_comboUser->setEditText(QString::fromStdString(m_strLogon));
    kx::DDX_Text(dx, IDC_EDIT_PASSWORD, m_strPassword);
}

void CDlgLogin::OnInitDialog() {
    const bool lock = m_nLockMode != 0;
    if (!lock) m_app.GetLink().ObserveLogon(this, [this] { OnLogonAnswer(); });

    const CkxProfile& profile = m_app.GetProfile();
    // -1 (the default) and 0 mean no address was stored; any other value is one, whatever its
    // first number.
    const uint32_t stored = profile.Reg_Read(kSrvIP, static_cast<uint32_t>(-1));
    if (stored != static_cast<uint32_t>(-1) && stored != 0) m_ipAddress->SetAddress(stored);
    const std::string user = profile.Reg_Read(kUser, kUserBuffer, std::string());

    std::vector<std::string> names;
    m_app.LoadRecentNames(names);
    for (const std::string& name : names) m_comboUser->addItem(QString::fromStdString(name));

    if (lock) {
        setWindowTitle(QStringLiteral("锁定管理器"));
        m_ipAddress->setEnabled(false);
        m_comboUser->setEnabled(false);
        m_cancel->hide();
        m_ok->setText(QStringLiteral("进入系统"));
    } else {
        setWindowTitle(QStringLiteral("登录服务器"));
    }
    m_strLogon = user;
    m_strPassword.clear();
    kx::Dialog::OnInitDialog();
    m_editPassword->setFocus(Qt::OtherFocusReason);
}

void CDlgLogin::OnOK() {
    // One log-on at a time: a second press while the answer is awaited sends nothing.
    if (m_bWaiting) return;
    if (!UpdateData(true)) return;
    const std::array<int, 4> address = m_ipAddress->GetNumbers();
    const kx::LoginCheck check = kx::CheckLoginFields(address, m_strLogon, m_strPassword);
    if (!check.Passed()) {
        kx::Prompt(this, check.message, kx::PromptOk, kx::PromptWarning);
        switch (check.field) {
        case kx::LoginField::Address: m_ipAddress->SetFieldFocus(0); break;
        case kx::LoginField::Name:
            if (check.empty) {
                m_strLogon.clear();
                m_comboUser->setEditText(QString());
            }
            m_comboUser->setFocus(Qt::OtherFocusReason);
            break;
        case kx::LoginField::Password:
            if (check.empty) {
                m_strPassword.clear();
                m_editPassword->clear();
            }
            m_editPassword->setFocus(Qt::OtherFocusReason);
            break;
        case kx::LoginField::None: break;
        }
        return;
    }

    if (m_nLockMode) {
        if (m_strLogon != m_app.GetAdminName()) {
            kx::Prompt(this, kNotTheAdministrator, kx::PromptOk, kx::PromptWarning);
            m_comboUser->setFocus(Qt::OtherFocusReason);
            return;
        }
        // Only the administrator's own record with the same password passes; without the
        // record nothing proves who is at the keyboard.
        const CkxUser* self = KX_KXXXX().m_UserList.Find(m_strLogon);
        if (!self || self->m_strPassword != m_strPassword) {
            kx::Prompt(this, kWrongPassword, kx::PromptOk, kx::PromptWarning);
            m_strPassword.clear();
            m_editPassword->clear();
            m_editPassword->setFocus(Qt::OtherFocusReason);
            return;
        }
        WriteSettings();
        EndDialog(kx::IDOK);
        return;
    }

    CkxClient client;
    client.Set_MS_Manager();
    client.m_strLogon = m_strLogon;
    client.m_strPassword = m_strPassword;
    if (!m_app.GetLink().SendLogonRequest(AddressText(address), client)) {
        kx::Prompt(this, kConnectFailed, kx::PromptOk, kx::PromptError);
        return;
    }
    m_sentAddress = address;
    SetWaiting(true);
    WriteSettings();
}

void CDlgLogin::OnCancel() {
    // Locked, the console stays covered: Escape and the close button do nothing.
    if (m_nLockMode) return;
    EndDialog(kx::IDCANCEL);
}

void CDlgLogin::SetWaiting(bool waiting) {
    m_bWaiting = waiting;
    m_ok->setEnabled(!waiting);
    if (waiting) m_waitTimer->start();
    else m_waitTimer->stop();
}

void CDlgLogin::OnWaitTick() {
    const ConsoleLink& link = m_app.GetLink();
    if (!m_bWaiting || (link.IsRunning() && !link.IsFailed())) return;
    SetWaiting(false);
    kx::Prompt(this, kConnectFailed, kx::PromptOk, kx::PromptError);
}

void CDlgLogin::OnLogonAnswer() {
    if (!m_bWaiting) return; // not an answer to a log-on sent from here
    SetWaiting(false);
    const int result = m_app.GetLink().GetLogonResult();
    if (result == kx::kLogonOk) {
        m_app.SetAdminName(m_strLogon);
        EndDialog(kx::IDOK);
        SetStatus(kLoginPane + m_strLogon, kServerPane + AddressText(m_sentAddress));
        std::vector<std::string> names;
        m_app.LoadRecentNames(names);
        m_app.SaveRecentNames(kx::PushLoginHistory(std::move(names), m_strLogon));
        m_app.RequestAllLists();
        return;
    }
    if (const char* text = RefusalText(result)) {
        kx::Prompt(this, text, kx::PromptOk, kx::PromptWarning);
        SetStatus(kLoginPane, kServerPane);
    }
}

void CDlgLogin::WriteSettings() {
    CkxProfile& profile = m_app.GetProfile();
    uint32_t packed = 0;
    m_ipAddress->GetAddress(packed);
    profile.Reg_Write(kSrvIP, packed);
    profile.Reg_Write(kUser, m_strLogon);
    // The password is not kept: nothing reads it back, and it would lie there in plain text.
}

void CDlgLogin::SetStatus(const std::string& login, const std::string& server) {
    if (KeeperStatus* status = m_app.GetStatus()) {
        status->SetLoginPane(login);
        status->SetServerPane(server);
    }
}
