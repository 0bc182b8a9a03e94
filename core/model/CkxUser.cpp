#include "model/CkxUser.h"

void CkxUser::Clear() {
    m_nID = -1;
    m_strLogon.clear();
    m_strUser.clear();
    m_strPassword.clear();
    m_nState = STATE_INV;
    m_nRoleID = 0;
    m_nOnline = 0;
    m_strDept.clear();
    m_strJob.clear();
    m_strTel.clear();
    m_strMobile.clear();
    m_strEMail.clear();
    m_strRemark.clear();
}

int CkxUser::SetRoleID(int id) {
    if (!IsRoleIDStorable(id)) return 0;
    m_nRoleID = static_cast<uint8_t>(id);
    return 1;
}

CkxUser::_COM CkxUser::GetComData(bool withPassword) const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    kx::PutText(c.szLogon, m_strLogon);
    kx::PutText(c.szUser, m_strUser);
    if (withPassword) kx::PutText(c.szPassword, m_strPassword);
    c.nState = m_nState;
    c.nRoleID = m_nRoleID;
    c.nOnline = m_nOnline;
    kx::PutText(c.szDept, m_strDept);
    kx::PutText(c.szJob, m_strJob);
    kx::PutText(c.szTel, m_strTel);
    kx::PutText(c.szMobile, m_strMobile);
    kx::PutText(c.szEMail, m_strEMail);
    kx::PutText(c.szRemark, m_strRemark);
    return c;
}

void CkxUser::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_strLogon = kx::GetText(c.szLogon);
    m_strUser = kx::GetText(c.szUser);
    m_strPassword = kx::GetText(c.szPassword);
    m_nState = c.nState;
    m_nRoleID = c.nRoleID;
    m_nOnline = c.nOnline;
    m_strDept = kx::GetText(c.szDept);
    m_strJob = kx::GetText(c.szJob);
    m_strTel = kx::GetText(c.szTel);
    m_strMobile = kx::GetText(c.szMobile);
    m_strEMail = kx::GetText(c.szEMail);
    m_strRemark = kx::GetText(c.szRemark);
}

CkxUser* CkxUserList::Find(const std::string& logon) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxUser* u = GetNext(p);
        if (u->m_strLogon == logon) return u;
    }
    return nullptr;
}

int CkxUserList::GetID(const std::string& logon) const {
    const CkxUser* u = Find(logon);
    return u ? u->m_nID : -1;
}

std::string CkxUserList::GetName(int id) const {
    const CkxUser* u = Find(id);
    return u ? u->m_strLogon : std::string();
}

void CkxUserList::SetOnLine(const std::string& logon) {
    if (CkxUser* u = Find(logon)) u->m_nOnline = 1;
}

void CkxUserList::SetOnlineFlag(int id, int flag) {
    if (CkxUser* u = Find(id)) u->m_nOnline = flag;
}

int CkxUserList::CheckCanLogin(const std::string& logon, const std::string& password) const {
    const CkxUser* u = Find(logon);
    if (!u) return CV_USER_LOGIN_NOUSER;
    if (u->m_nOnline) return CV_USER_LOGIN_ONLINE;
    if (u->m_strPassword != password) return CV_USER_LOGIN_PASSWORD;
    if (u->m_nState == CkxUser::STATE_PAUSE) return CV_USER_LOGIN_PAUSE;
    if (u->m_nState == CkxUser::STATE_INV) return CV_USER_LOGIN_INVALID;
    return CV_USER_LOGIN_OK;
}
