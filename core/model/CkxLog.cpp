#include "model/CkxLog.h"

#include "base/Gbk.h"

std::string CkxLog::GetLevStr() const {
    switch (m_nLev) {
    case KXLOG_INFO: return "普通";
    case KXLOG_WARN: return "警告";
    case KXLOG_ERROR: return "严重";
    default: return "<全部>";
    }
}

void CkxLog::SetQueryTime(const COleDateTime& from, const COleDateTime& to) {
    const kx::DateParts f = kx::SplitDate(from);
    const kx::DateParts t = kx::SplitDate(to);
    m_dtTime.SetDateTime(f.year, f.month, f.day, 0, 0, 0);
    m_dtEnd.SetDateTime(t.year, t.month, t.day, 23, 59, 59);
}

CkxLog::_COM CkxLog::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nID = m_nID;
    com.nLev = m_nLev;
    com.nType = m_nType;
    com.nTypeSub = m_nTypeSub;
    kx::PutText(com.szEvent, m_strEvent);
    com.dtTime = m_dtTime;
    com.dtEnd = m_dtEnd;
    com.nUser = m_nUser;
    return com;
}

void CkxLog::SetComData(const _COM& com) {
    m_nID = com.nID;
    m_nLev = com.nLev;
    m_nType = com.nType;
    m_nTypeSub = com.nTypeSub;
    m_strEvent = kx::GetText(com.szEvent);
    m_dtTime = COleDateTime(com.dtTime);
    m_dtEnd = COleDateTime(com.dtEnd);
    m_nUser = com.nUser;
}
