#include "model/CkxQueryTemplet.h"

#include "model/CkxContainer.h"
#include "base/Gbk.h"

#include <cstring>

CkxQueryTemplet::_COM CkxQueryTemplet::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.nDataMode = m_nDataMode;
    c.nID = m_nID;
    kx::PutText(c.szName, m_strName);
    c.nCreatorID = m_nCreatorID;
    c.dtCreate = m_dtCreate.m_dt;
    kx::PutText(c.szRemark, m_strRemark);
    return c;
}

void CkxQueryTemplet::SetComData(const _COM& c) {
    m_nDataMode = c.nDataMode;
    m_nID = c.nID;
    m_strName = kx::GetText(c.szName);
    m_nCreatorID = c.nCreatorID;
    m_dtCreate = COleDateTime(c.dtCreate);
    m_strRemark = kx::GetText(c.szRemark);
}

CkxQueryTemplet::_FIX CkxQueryTemplet::DefaultFix() {
    _FIX f = kx::ZeroRecord<_FIX>();
    f.nFamilyID = -1;
    f.nDirID = -1;
    f.nAuthorID = -1;
    f.nWriterID = -1;
    f.nEditorID = -1;
    f.nNumber = -1;
    f.bFamilySelf = 1;
    f.bFamilyDerived = 1;
    f.bDirSelf = 1;
    f.bDirBelow = 1;
    return f;
}

void CkxQueryTemplet::ResetFix() { m_Fix = DefaultFix(); }

std::string CkxQueryTemplet::GetFixTitle() const { return kx::GetText(m_Fix.szTitle); }

void CkxQueryTemplet::SetFixTitle(const std::string& title) { kx::PutText(m_Fix.szTitle, title); }

int CkxQueryTemplet::BuildQueryBuf(CkxBuf& buf) const {
    CkxContainer c;
    if (m_nDataMode == kKindWithFix && !c.AddSect(&m_Fix, sizeof m_Fix)) return 0;
    CkxBuf one;
    for (POSITION p = m_OperandList.GetHeadPosition(); p;) {
        if (m_OperandList.GetNext(p)->BuildBuf(one) <= 0) continue;
        if (!c.AddSect(one.View())) return 0;
    }
    return c.BuildBuf(buf);
}

int CkxQueryTemplet::PasyQueryBuf(const unsigned char* data, int length) {
    if (!data || length <= 0) return 0;
    CkxContainer c;
    // A framed buffer of no sections is valid; anything that does not frame is refused whole.
    if (c.PasyBuf(data, length) <= 0 && !(length >= 4 && kx::LoadI32(data) == 0)) return 0;

    int first = 0;
    const _FIX* fix = nullptr;
    _FIX block;
    if (m_nDataMode == kKindWithFix) {
        const CkxContainer::Sect* s = c.GetSect(0);
        if (s) {
            if (s->Len() < static_cast<uint32_t>(kFixReadLen)) return 0;
            block = m_Fix;
            std::memcpy(&block, s->Data(), kFixReadLen);
            fix = &block;
        }
        first = 1;
    }

    m_OperandList.DeleteAll();
    // A kind-3 buffer without its block carries no operands either.
    if (m_nDataMode == kKindWithFix && !fix) return 1;
    if (fix) m_Fix = *fix;
    for (int i = first; i < c.GetCount(); ++i) {
        const CkxContainer::Sect* s = c.GetSect(i);
        CkxQueryOperand o;
        if (o.PasyBuf(s->Data(), static_cast<int>(s->Len())) > 0) m_OperandList.AddTail(o);
    }
    return 1;
}

bool CkxQueryTemplet::IsValid() const {
    if (m_OperandList.GetCount() > 0) return true;
    if (m_nDataMode != kKindWithFix) return false;
    const _FIX& f = m_Fix;
    return f.szTitle[0] != '\0' || f.nFamilyID >= 0 || f.nCodeForm > 0 || f.nFlag2 != 0 || f.nDirID != -1 ||
           f.bDirSelf == 0 || f.bDirBelow == 0 || f.nAuthorID >= 0 || f.nWriterID >= 0 || f.nEditorID >= 0 ||
           f.dtAuthFrom != 0 || f.dtWriteFrom != 0 || f.dtEditFrom != 0 || f.nNumber >= 0;
}

int CkxQueryTempletList::CanUseTheName(int id, const std::string& name) const {
    for (POSITION p = GetHeadPosition(); p;) {
        const CkxQueryTemplet* t = GetNext(p);
        if (t->m_strName == name) return t->GetID() == id ? 1 : 0;
    }
    return 1;
}
