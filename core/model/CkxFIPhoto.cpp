#include "model/CkxFIPhoto.h"

#include "base/Gbk.h"

CkxFIPhoto::_COM CkxFIPhoto::GetComData() const {
    _COM c = kx::ZeroRecord<_COM>();
    c.file = CkxFileImage::GetComData();
    c.nClientID = m_nClientID;
    c.nDeptID = m_nDeptID;
    c.nSrvCombID = m_nSrvCombID;
    c.nThemeID = m_nThemeID;
    c.nDressID = m_nDressID;
    c.nPoseID = m_nPoseID;
    c.nPhotoType = m_nPhotoType;
    c.nManType = m_nManType;
    c.nPartType = m_nPartType;
    c.nCameraID = m_nCameraID;
    c.nCameraWay = m_nCameraWay;
    c.nExposal = m_nExposal;
    c.nCameraMan = m_nCameraMan;
    c.nDresser = m_nDresser;
    c.nProcessor = m_nProcessor;
    c.dtCamera = m_dtCamera.m_dt;
    c.dtDress = m_dtDress.m_dt;
    c.dtSelect = m_dtSelect.m_dt;
    c.dtProcess = m_dtProcess.m_dt;
    c.nWeather = m_nWeather;
    kx::PutText(c.szCameraAddr, m_strCameraAddr);
    c.nAdvsSelected = m_nAdvsSelected;
    c.nUserSelected = m_nUserSelected;
    c.nUserMark = m_nUserMark;
    c.nMakeSelMask = m_nMakeSelMask;
    return c;
}

void CkxFIPhoto::SetComData(const _COM& c) {
    CkxFileImage::SetComData(c.file);
    m_nClientID = c.nClientID;
    m_nDeptID = c.nDeptID;
    m_nSrvCombID = c.nSrvCombID;
    m_nThemeID = c.nThemeID;
    m_nDressID = c.nDressID;
    m_nPoseID = c.nPoseID;
    m_nPhotoType = c.nPhotoType;
    m_nManType = c.nManType;
    m_nPartType = c.nPartType;
    m_nCameraID = c.nCameraID;
    m_nCameraWay = c.nCameraWay;
    m_nExposal = c.nExposal;
    m_nCameraMan = c.nCameraMan;
    m_nDresser = c.nDresser;
    m_nProcessor = c.nProcessor;
    m_dtCamera = COleDateTime(c.dtCamera);
    m_dtDress = COleDateTime(c.dtDress);
    m_dtSelect = COleDateTime(c.dtSelect);
    m_dtProcess = COleDateTime(c.dtProcess);
    m_nWeather = c.nWeather;
    m_strCameraAddr = kx::GetText(c.szCameraAddr);
    m_nAdvsSelected = c.nAdvsSelected;
    m_nUserSelected = c.nUserSelected;
    m_nUserMark = c.nUserMark;
    m_nMakeSelMask = c.nMakeSelMask;
}

int CkxFIPhoto::BuildBaseAttr(CkxBuf& buf) const { return PutRecord(GetComData(), buf); }

int CkxFIPhoto::PasyBaseAttr(const void* bytes, int len) { return TakeRecord<_COM>(*this, bytes, len); }

int32_t* CkxFIPhoto::IntField(int id) {
    switch (id) {
    case KXP_CLIENT: return &m_nClientID;
    case KXP_DEPT: return &m_nDeptID;
    case KXP_SRVCOMB: return &m_nSrvCombID;
    case KXP_THEME: return &m_nThemeID;
    case KXP_DRESSID: return &m_nDressID;
    case KXP_POSE: return &m_nPoseID;
    case KXP_PHOTOTYPE: return &m_nPhotoType;
    case KXP_MANTYPE: return &m_nManType;
    case KXP_PARTTYPE: return &m_nPartType;
    case KXP_CAMERAID: return &m_nCameraID;
    case KXP_CAMERAWAY: return &m_nCameraWay;
    case KXP_EXPOSAL: return &m_nExposal;
    case KXP_CAMERAMAN: return &m_nCameraMan;
    case KXP_DRESSER: return &m_nDresser;
    case KXP_PROCESSOR: return &m_nProcessor;
    case KXP_WEATHER: return &m_nWeather;
    case KXP_ADVSSELECTED: return &m_nAdvsSelected;
    case KXP_USERSELECTED: return &m_nUserSelected;
    case KXP_USERMARK: return &m_nUserMark;
    case KXP_MAKESELMASK: return &m_nMakeSelMask;
    default: return nullptr;
    }
}

COleDateTime* CkxFIPhoto::DateField(int id) {
    switch (id) {
    case KXP_CAMERATIME: return &m_dtCamera;
    case KXP_DRESSTIME: return &m_dtDress;
    case KXP_SELECTTIME: return &m_dtSelect;
    case KXP_PROCESSTIME: return &m_dtProcess;
    default: return nullptr;
    }
}

CkxAttrValue CkxFIPhoto::GetAttrValue(int id) const {
    CkxAttrValue v(m_nID, id);
    if (const int32_t* n = IntField(id)) v.m_Value = static_cast<int>(*n);
    else if (const COleDateTime* d = DateField(id)) v.m_Value = *d;
    else if (id == KXP_CAMERAADDR) v.m_Value = m_strCameraAddr;
    else return CkxFileImage::GetAttrValue(id);
    return v;
}

void CkxFIPhoto::SetAttrValue(const CkxAttrValue& v) {
    const int id = v.GetAttrID();
    if (int32_t* n = IntField(id)) *n = v.GetInt();
    else if (COleDateTime* d = DateField(id)) *d = v.GetDate();
    else if (id == KXP_CAMERAADDR) m_strCameraAddr = v.GetStr();
    else CkxFileImage::SetAttrValue(v);
}

std::string CkxFIPhoto::GetAttrText(int id) const {
    if (id == KXP_MAKESELMASK) return std::to_string(static_cast<uint32_t>(m_nMakeSelMask));
    if (const int32_t* n = IntField(id)) return std::to_string(*n);
    if (const COleDateTime* d = DateField(id)) return kx::DateText(d->m_dt);
    if (id == KXP_CAMERAADDR) return m_strCameraAddr;
    return CkxFileImage::GetAttrText(id);
}

int CkxFIPhoto::_GetBaseAttrList(CkxAttrList& list) {
    int n = CkxFile::_GetBaseAttrList(list);
    return n + kx::AppendPhotoBaseAttrs(list);
}

int CkxFIPhoto::_GetCanEditBaseAttrList(CkxAttrList& list) {
    CkxAttrList all;
    _GetBaseAttrList(all);
    return KeepCanEdit(all, list);
}
