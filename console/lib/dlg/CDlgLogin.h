// The login and lock dialog (template 136). Login mode is the gate of the program: it connects,
// sends the log-on and stays open until the server's answer; only a success closes it with OK.
// Lock mode covers the console while it is in use: only the administrator who is logged on
// passes, checked against the user list without asking the server.
#pragma once

#include "qt/KxDialog.h"

#include <array>
#include <string>

class CKeeperApp;
class QComboBox;
class QPushButton;
class QTimer;

namespace kx {
class Edit;
class IpAddressCtrl;
} // namespace kx

class CDlgLogin : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDD = 136, IDC_IPADDRESS = 1001, IDC_COMBO_USER = 1002, IDC_EDIT_PASSWORD = 1003 };

    static constexpr const char* kNotTheAdministrator = "不是当前登录的管理员,请重新输入";
    static constexpr const char* kWrongPassword = "密码错误,请重新输入";
    static constexpr const char* kConnectFailed = "连接后台服务器失败";
    static constexpr const char* kLoginPane = "登录者: ";
    static constexpr const char* kServerPane = "服务器: ";
    // The warning for a refused log-on (results 1 to 6); null for any other result.
    static const char* RefusalText(int result);

    CDlgLogin(CKeeperApp& app, QWidget* parent = nullptr);
    ~CDlgLogin() override;

    int m_nLockMode = 0; // 0 login mode, 1 lock mode; set before the dialog runs
    std::string m_strLogon;
    std::string m_strPassword;

    // True while a log-on answer is awaited (OK is disabled then).
    bool IsWaiting() const { return m_bWaiting; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(kx::DataExchange& dx) override;

private:
    // The session's answer to the log-on sent from here.
    void OnLogonAnswer();
    // The connection ended while the answer was awaited.
    void OnWaitTick();
    void SetWaiting(bool waiting);
    // "SrvIP" (the address as the control packs it) and "User", after an accepted OK.
    void WriteSettings();
    void SetStatus(const std::string& login, const std::string& server);

    CKeeperApp& m_app;
    QComboBox* m_comboUser = nullptr;
    kx::IpAddressCtrl* m_ipAddress = nullptr;
    kx::Edit* m_editPassword = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QTimer* m_waitTimer = nullptr;
    bool m_bWaiting = false;
    std::array<int, 4> m_sentAddress{};
};
