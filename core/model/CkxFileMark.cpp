#include "model/CkxFileMark.h"

#include "base/Gbk.h"

CkxFileMark::_COM CkxFileMark::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nID = m_nID;
    com.nUserID = m_nUserID;
    com.nDataFormat = m_nDataFormat;
    com.nFileID = m_nFileID;
    kx::PutText(com.szName, m_strName);
    return com;
}

void CkxFileMark::SetComData(const _COM& com) {
    m_nID = com.nID;
    m_nUserID = com.nUserID;
    m_nDataFormat = com.nDataFormat;
    m_nFileID = com.nFileID;
    m_strName = kx::GetText(com.szName);
}
