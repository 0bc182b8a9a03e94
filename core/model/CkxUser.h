// User accounts (log-on name, password, state, role, contact texts) and the account list with
// its log-on check. The role id travels in one byte, so an account can only name roles 0-255.
#pragma once

#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

// Results of CkxUserList::CheckCanLogin.
enum E_CV_User_Login {
    CV_USER_LOGIN_OK = 0,
    CV_USER_LOGIN_ONLINE = 1,  // already logged on
    CV_USER_LOGIN_NOUSER = 3,  // no account with that log-on name
    CV_USER_LOGIN_PAUSE = 4,   // account paused
    CV_USER_LOGIN_INVALID = 5, // account invalid
    CV_USER_LOGIN_PASSWORD = 6,
};

class KX_EXPORT CkxUser {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        char szLogon[50];
        char szUser[50];
        char szPassword[50];
        uint8_t nState;
        uint8_t nRoleID;
        int32_t nOnline;
        char szDept[50];
        char szJob[50];
        char szTel[50];
        char szMobile[50];
        char szEMail[50];
        char szRemark[50];
    };
#pragma pack(pop)

    enum { STATE_INV = 0, STATE_ACT = 1, STATE_PAUSE = 2 };
    static constexpr int kMaxRoleID = 255;

    CkxUser() { Clear(); }
    explicit CkxUser(const _COM& c) { SetComData(c); }
    CkxUser(const CkxUser&) = default;
    CkxUser& operator=(const CkxUser&) = default;
    CkxUser& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxUser() = default;

    void Clear();
    // The wire record; without the password (its field all zeros) for a receiver that may not
    // see other users' passwords.
    _COM GetComData(bool withPassword = true) const;
    void SetComData(const _COM& c);

    int GetID() const { return m_nID; }
    bool IsStateAct() const { return m_nState == STATE_ACT; }
    bool IsStatePause() const { return m_nState == STATE_PAUSE; }
    bool IsStateInv() const { return !IsStateAct() && !IsStatePause(); }
    void SetStateAct() { m_nState = STATE_ACT; }
    void SetStatePause() { m_nState = STATE_PAUSE; }
    void SetStateInv() { m_nState = STATE_INV; }

    int GetRoleID() const { return m_nRoleID; }
    // Sets the role id; an id outside 0-255 cannot travel in the record and is refused (0,
    // the account unchanged) rather than silently naming another role.
    int SetRoleID(int id);
    static bool IsRoleIDStorable(int id) { return id >= 0 && id <= kMaxRoleID; }

    int32_t m_nID = -1;
    std::string m_strLogon;
    std::string m_strUser;
    std::string m_strPassword;
    uint8_t m_nState = STATE_INV;
    uint8_t m_nRoleID = 0;
    int32_t m_nOnline = 0;
    std::string m_strDept;
    std::string m_strJob;
    std::string m_strTel;
    std::string m_strMobile;
    std::string m_strEMail;
    std::string m_strRemark;
};

KX_RECORD_SIZE(CkxUser::_COM, 460);
KX_FIELD_AT(CkxUser::_COM, nID, 0);
KX_FIELD_AT(CkxUser::_COM, szLogon, 4);
KX_FIELD_AT(CkxUser::_COM, szUser, 54);
KX_FIELD_AT(CkxUser::_COM, szPassword, 104);
KX_FIELD_AT(CkxUser::_COM, nState, 154);
KX_FIELD_AT(CkxUser::_COM, nRoleID, 155);
KX_FIELD_AT(CkxUser::_COM, nOnline, 156);
KX_FIELD_AT(CkxUser::_COM, szDept, 160);
KX_FIELD_AT(CkxUser::_COM, szJob, 210);
KX_FIELD_AT(CkxUser::_COM, szTel, 260);
KX_FIELD_AT(CkxUser::_COM, szMobile, 310);
KX_FIELD_AT(CkxUser::_COM, szEMail, 360);
KX_FIELD_AT(CkxUser::_COM, szRemark, 410);

class KX_EXPORT CkxUserList : public CkxRecordList<CkxUser, kx::DeleteMode::EveryMatch> {
public:
    using Base = CkxRecordList<CkxUser, kx::DeleteMode::EveryMatch>;
    using Base::Find;

    // Appends a copy; 1, or 0 when no copy could be made.
    int AddUser(const CkxUser& u) { return AddTail(u); }
    // The first account with exactly that log-on name (case matters), or null.
    CkxUser* Find(const std::string& logon) const;
    CkxUser* Find(const char* logon) const { return Find(std::string(logon ? logon : "")); }
    int GetID(const std::string& logon) const;
    int CheckLogonExist(const std::string& logon) const { return Find(logon) ? 1 : 0; }
    // The log-on name of the account with that id, or an empty text.
    std::string GetName(int id) const;

    void SetOnLine(const std::string& logon);
    void SetOnline(int id) { SetOnlineFlag(id, 1); }
    void SetOffline(int id) { SetOnlineFlag(id, 0); }
    void SetOffLine(int id) { SetOffline(id); }

    // Whether the account may log on with that password (an E_CV_User_Login value).
    int CheckCanLogin(const std::string& logon, const std::string& password) const;

private:
    void SetOnlineFlag(int id, int flag);
};
