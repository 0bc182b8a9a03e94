#include "model/CkxFamily.h"

#include "base/Gbk.h"

void CkxFamily::Clear() {
    SetImage();
    SetDataStateAct();
    m_nID = -1;
    m_nLevel = 0;
    m_nParentID = -1;
    m_nValueA = 0;
    m_nValueB = 0;
    m_strName.clear();
    m_strNote.clear();
    m_pos = nullptr;
    m_pChild = nullptr;
    ClearUpperLink();
}

void CkxFamily::CopyOwn(const CkxFamily& o) {
    m_nID = o.m_nID;
    m_nLevel = o.m_nLevel;
    m_nParentID = o.m_nParentID;
    m_nValueA = o.m_nValueA;
    m_nValueB = o.m_nValueB;
    m_strName = o.m_strName;
    m_strNote = o.m_strNote;
    m_nCreatorID = o.m_nCreatorID;
    m_dtCreate = o.m_dtCreate;
}

CkxFamily::_COM CkxFamily::GetComData() const {
    _COM com = kx::ZeroRecord<_COM>();
    com.nDataKind = m_nDataKind;
    com.nDataState = m_nDataState;
    com.nID = m_nID;
    com.nLevel = m_nLevel;
    com.nParentID = m_nParentID;
    com.nValueA = m_nValueA;
    com.nValueB = m_nValueB;
    kx::PutText(com.szName, m_strName);
    kx::PutText(com.szNote, m_strNote);
    com.nCreatorID = m_nCreatorID;
    com.dtCreate = m_dtCreate.m_dt;
    return com;
}

void CkxFamily::SetComData(const _COM& com) {
    m_nDataKind = com.nDataKind;
    m_nDataState = com.nDataState;
    m_nID = com.nID;
    m_nLevel = com.nLevel;
    m_nParentID = com.nParentID;
    m_nValueA = com.nValueA;
    m_nValueB = com.nValueB;
    m_strName = kx::GetText(com.szName);
    m_strNote = kx::GetText(com.szNote);
    m_nCreatorID = com.nCreatorID;
    m_dtCreate = COleDateTime(com.dtCreate);
}
