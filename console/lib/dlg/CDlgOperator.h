// The dialog in which an operator (a user account) is created or modified: log-on name, name,
// password twice, role, state and six further texts. "su" and the logged-on administrator's own
// account keep their log-on name, role and state. OK checks the texts in order, each failure
// warning and keeping the dialog open.
#pragma once

#include "model/CkxUser.h"
#include "qt/KxDialog.h"

#include <string>

class QComboBox;

class CDlgOperator : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_PASSWORD = 1002,
        IDC_LOGON = 1005,
        IDC_NAME = 1006,
        IDC_CONFIRM = 1008,
        IDC_ROLE = 1009,
        IDC_STATE = 1010,
        IDC_DEPT = 1011,
        IDC_JOB = 1012,
        IDC_TEL = 1013,
        IDC_MOBILE = 1014,
        IDC_EMAIL = 1015,
        IDC_NOTE = 1016,
    };
    // An account's texts hold 49 GBK bytes; a log-on name or password over 15 can never log on.
    static constexpr int kTextBytes = 49;
    static constexpr int kLogonBytes = 15;

    // `currentUserId`: the logged-on administrator, whose account is protected like "su".
    explicit CDlgOperator(int currentUserId, QWidget* parent = nullptr);

    CkxUser m_User;
    // 1: create (the default), 0: modify.
    int m_bCreate = 1;

    QComboBox* RoleList() const { return m_role; }
    QComboBox* StateList() const { return m_state; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(kx::DataExchange& dx) override;

private:
    bool Warn(const char* text, int focusId);

    int m_nCurrentUserId;
    std::string m_strConfirm;
    std::string m_strOriginalLogon;
    QComboBox* m_role;
    QComboBox* m_state;
};
