#include "model/CkxAttrValue.h"

#include <cstring>

CkxAttrValue::_COM CkxAttrValue::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nObjID = m_nObjID;
    com.nAttrID = m_nAttrID;
    com.value = m_Value.GetComData();
    return com;
}

void CkxAttrValue::SetComData(const _COM& com) {
    m_nObjID = com.nObjID;
    m_nAttrID = com.nAttrID;
    m_Value.SetComData(com.value);
}

CkxAttrValue* CkxAttrValueList::Find(int objID, int attrID) const {
    for (POSITION p = GetHeadPosition(); p;) {
        CkxAttrValue* v = GetNext(p);
        if (v->m_nObjID == objID && v->m_nAttrID == attrID) return v;
    }
    return nullptr;
}

int CkxAttrValueList::Update(const CkxAttrValue& v) {
    CkxAttrValue* found = Find(v.m_nObjID, v.m_nAttrID);
    if (!found) return 0;
    if (found != &v) *found = v;
    return 1;
}

int CkxAttrValueList::UpdateValue(const CkxAttrValue& v) {
    CkxAttrValue* found = Find(v.m_nObjID, v.m_nAttrID);
    if (!found) return 0;
    found->SetValue(v);
    return 1;
}

int CkxAttrValueList::Set(const CkxAttrValue& v) {
    if (Update(v)) return 1;
    return AddTail(v);
}

void CkxAttrValueList::SetObjID(int id) {
    for (POSITION p = GetHeadPosition(); p;) GetNext(p)->m_nObjID = id;
}

CkxAttrValueList CkxAttrValueList::GetFilled() const {
    CkxAttrValueList out;
    ForEach([&](const CkxAttrValue& v) {
        if (!v.m_Value.IsVoid()) out.AddTail(v);
    });
    return out;
}

int CkxAttrValueList::BuildBuf(CkxBuf& buf) const {
    const int len = GetCount() * static_cast<int>(sizeof(CkxAttrValue::_COM));
    if (!buf.Create(len) || len == 0) return 0;
    unsigned char* out = buf.GetBuf();
    ForEach([&](const CkxAttrValue& v) {
        const CkxAttrValue::_COM com = v.GetComData();
        std::memcpy(out, &com, sizeof com);
        out += sizeof com;
    });
    return len;
}

int CkxAttrValueList::PasyBuf(const void* bytes, int len) {
    DeleteAll();
    if (!bytes || len <= 0) return 0;
    const size_t n = kx::RecordCount<CkxAttrValue::_COM>(static_cast<size_t>(len));
    int read = 0;
    for (size_t i = 0; i < n; ++i) {
        CkxAttrValue::_COM com;
        if (!kx::ReadRecordAt(bytes, static_cast<size_t>(len), i, com)) break;
        if (!AddTail(CkxAttrValue(com))) break;
        ++read;
    }
    return read;
}
