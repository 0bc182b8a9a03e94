#include "model/CkxUserRole.h"

CkxUserRole::_COM CkxUserRole::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    kx::PutText(c.szName, m_strName);
    c.nIsSystem = m_nIsSystem;
    c.nType = m_nType;
    c.nPower = m_nPower;
    kx::PutText(c.szRemark, m_strRemark);
    return c;
}

void CkxUserRole::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_strName = kx::GetText(c.szName);
    m_nIsSystem = c.nIsSystem;
    m_nType = c.nType;
    m_nPower = c.nPower;
    m_strRemark = kx::GetText(c.szRemark);
}
