#include "model/CkxObjAttrTemplet.h"

#include "base/Gbk.h"

CkxObjAttrTemplet::_COM CkxObjAttrTemplet::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nID = m_nID;
    kx::PutText(c.szName, m_strName);
    c.nDataMode = m_nDataMode;
    c.nFamilyID = m_nFamilyID;
    c.nCreatorID = m_nCreatorID;
    kx::PutText(c.szRemark, m_strRemark);
    return c;
}

void CkxObjAttrTemplet::SetComData(const _COM& c) {
    m_nID = c.nID;
    m_strName = kx::GetText(c.szName);
    m_nDataMode = c.nDataMode;
    m_nFamilyID = c.nFamilyID;
    m_nCreatorID = c.nCreatorID;
    m_strRemark = kx::GetText(c.szRemark);
}

int CkxObjAttrTemplet::BuildBuf(CkxBuf& buf) const {
    CkxContainer c;
    if (IsImageMode() && !m_AttrSet.BuildFileAttr(c)) return 0;
    return c.BuildBuf(buf);
}

int CkxObjAttrTemplet::PasyBuf(const void* bytes, int len) {
    if (!IsImageMode()) return 0;
    CkxContainer c;
    if (!c.PasyBuf(bytes, len)) return 0;
    return m_AttrSet.PasyFileAttr(c);
}
