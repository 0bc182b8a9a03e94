#include "model/CkxServer.h"

#include "base/Gbk.h"

CkxServer::_COM CkxServer::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    kx::PutText(c.szText1, m_strText1);
    kx::PutText(c.szName, m_strName);
    kx::PutText(c.szAddr, m_strAddr);
    kx::PutText(c.szDept, m_strDept);
    kx::PutText(c.szRemark, m_strRemark);
    c.nUserID = m_nUserID;
    kx::PutText(c.szText6, m_strText6);
    c.nValue1 = m_nValue1;
    c.nValue2 = m_nValue2;
    return c;
}

void CkxServer::SetComData(const _COM& c) {
    m_strText1 = kx::GetText(c.szText1);
    m_strName = kx::GetText(c.szName);
    m_strAddr = kx::GetText(c.szAddr);
    m_strDept = kx::GetText(c.szDept);
    m_strRemark = kx::GetText(c.szRemark);
    m_nUserID = c.nUserID;
    m_strText6 = kx::GetText(c.szText6);
    m_nValue1 = c.nValue1;
    m_nValue2 = c.nValue2;
}
