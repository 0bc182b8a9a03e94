#include "model/CkxAttr.h"

#include "base/Gbk.h"

#include <new>

CkxAttr::_COM CkxAttr::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nID = m_nID;
    com.nAttrKind = m_nAttrKind;
    com.nDataKind = static_cast<uint8_t>(m_nDataKind);
    com.nFamilyID = m_nFamilyID;
    kx::PutText(com.szName, m_strName);
    com.nDataType = m_nDataType;
    com.nEditWay = m_nEditWay;
    com.nFlag = m_nFlag;
    kx::PutText(com.szNote, m_strNote);
    return com;
}

void CkxAttr::SetComData(const _COM& com) {
    m_nID = com.nID;
    m_nAttrKind = com.nAttrKind;
    SetDataKind(com.nDataKind);
    m_nFamilyID = com.nFamilyID;
    m_strName = kx::GetText(com.szName);
    m_nDataType = com.nDataType;
    m_nEditWay = com.nEditWay;
    m_nFlag = com.nFlag;
    m_strNote = kx::GetText(com.szNote);
    // The slot held an address in the sender's process; calling anything from it is unsafe.
    m_Provider = nullptr;
}

std::string CkxAttr::GetEditWayStr() const {
    switch (m_nEditWay) {
    case KXE_NONE: return "禁止";
    case KXE_EDIT: return "编辑框";
    case KXE_COMBO: return "下拉框";
    case KXE_TREE: return "树型控件";
    case KXE_TIME: return "时间控件";
    case KXE_IP: return "IP控件";
    case KXE_CHOICE: return "选择控件";
    default: return "";
    }
}

std::string CkxAttr::GetDataTypeStr() const {
    switch (m_nDataType) {
    case KXT_INT: return "整数";
    case KXT_FLOAT: return "浮点数";
    case KXT_DATE: return "时间";
    case KXT_STR: return "文本";
    default: return "";
    }
}

int CkxAttr::CallConstProvider(CkxConstList& list) const {
    if (!m_Provider) return 0;
    m_Provider(list);
    return 1;
}

CkxAttr* CkxAttrList::AddTail(const CkxAttr& a) {
    CkxAttr* copy = new (std::nothrow) CkxAttr(a);
    if (!copy) return nullptr;
    CkxAutoLock g(&lock_);
    list_.AddTail(copy);
    return copy;
}

int CkxAttrList::FindFamilyAttr(int familyID, CkxAttrPtrs& out) const {
    out = Select([&](const CkxAttr& a) { return a.m_nFamilyID == familyID; });
    return static_cast<int>(out.size());
}

void CkxAttrList::DeleteFamilyAttr(int familyID) {
    CkxAutoLock g(&lock_);
    for (POSITION p = list_.GetHeadPosition(); p;) {
        POSITION at = p;
        if (list_.GetNext(p)->m_nFamilyID == familyID) delete list_.RemoveAt(at);
    }
}

int CkxAttrList::GetAllAttr_Kind(int kind, CkxAttrPtrs& out) const {
    out = Select([&](const CkxAttr& a) { return a.GetDataKind() == kind; });
    return static_cast<int>(out.size());
}

int CkxAttrList::AddCopies(const CkxAttrPtrs& attrs) {
    for (const CkxAttr* a : attrs)
        if (a) AddTail(*a);
    return GetCount();
}
