// The studio's login window: a frameless skin with the server address, the log-on name (with
// the recent names) and the password. In normal mode it sends the log-on and waits, open, for
// the session's answer; in lock mode it only lets the logged-on user back in with the right
// password. Dragged by any point.
#pragma once

#include "qt/KxDialog.h"

#include <QImage>
#include <QPoint>

#include <array>
#include <string>

class CVarniaStudioApp;
class QComboBox;
class QPushButton;
class QTimer;
namespace kx {
class Edit;
class IpAddressCtrl;
}

class CDlgLogin : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_ADDRESS = 1001, IDC_NAME = 1002, IDC_PASSWORD = 1003, IDC_LOGIN = 1004, IDC_CANCEL = 1005 };
    static constexpr const char* kSrvIP = "SrvIP";
    static constexpr const char* kUser = "User";
    static constexpr const char* kUserPane = "登录者: ";
    static constexpr const char* kServerPane = "服务器: ";
    static constexpr int kPasswordChars = 45;

    explicit CDlgLogin(CVarniaStudioApp& app, QWidget* parent = nullptr);
    ~CDlgLogin() override;

    void SetLockMode() { m_nLockMode = 1; }
    int IsLockMode() const { return m_nLockMode; }
    // Whether a log-on awaits its answer (the login button is off meanwhile).
    bool IsWaiting() const { return m_bWaiting; }

    // The skin: painted stretched over the window; black pixels of its top corners are cut away.
    static QImage Skin(const QSize& size);

    std::string m_strLogon;
    std::string m_strPassword;

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;
    void OnOK() override;
    void OnCancel() override;
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void OnLogin();
    void OnLoginReply();
    void OnWaitTick();
    void SetWaiting(bool waiting);
    void SetPanes(const std::string& user, const std::string& server);
    void CutRegion();

    CVarniaStudioApp& m_app;
    int m_nLockMode = 0;
    bool m_bWaiting = false;
    std::array<int, 4> m_sentAddress{};
    kx::IpAddressCtrl* m_address;
    QComboBox* m_name;
    kx::Edit* m_password;
    QPushButton* m_login;
    QPushButton* m_cancel;
    QTimer* m_waitTimer;
    QPoint m_dragFrom;
};
