// CkxFIPhoto: an image taken in a photo studio's capture workflow. It adds the capture fields
// (customer, department, package, theme, costume, pose, staff, times, place, selection marks)
// with their own attribute ids and a 912-byte record: the file record, then those fields.
#pragma once

#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "model/KxExport.h"

class KX_EXPORT CkxFIPhoto : public CkxFileImage {
public:
#pragma pack(push, 1)
    struct _COM {
        CkxFile::_COM file;
        int32_t nClientID;
        int32_t nDeptID;
        int32_t nSrvCombID;
        int32_t nThemeID;
        int32_t nDressID;
        int32_t nPoseID;
        int32_t nPhotoType;
        int32_t nManType;
        int32_t nPartType;
        int32_t nCameraID;
        int32_t nCameraWay;
        int32_t nExposal;
        int32_t nCameraMan;
        int32_t nDresser;
        int32_t nProcessor;
        int32_t nPad1;
        double dtCamera;
        double dtDress;
        double dtSelect;
        double dtProcess;
        int32_t nWeather;
        char szCameraAddr[256];
        int32_t nAdvsSelected;
        int32_t nUserSelected;
        int32_t nUserMark;
        int32_t nMakeSelMask;
        int32_t nPad2;
    };
#pragma pack(pop)

    CkxFIPhoto() { m_nFileType = KXFK_FIPHOTO; }
    CkxFIPhoto(const CkxFIPhoto&) = default;
    explicit CkxFIPhoto(const _COM& com) : CkxFIPhoto() { SetComData(com); }
    CkxFIPhoto& operator=(const CkxFIPhoto&) = default;
    CkxFIPhoto& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    ~CkxFIPhoto() override = default;

    CkxFile* Clone() const override { return new CkxFIPhoto(*this); }

    _COM GetComData() const;
    void SetComData(const _COM& com);
    // The file-record forms stay reachable (a 536-byte record sets only the file's fields).
    using CkxFileImage::SetComData;

    int GetBaseRecordSize() const override { return sizeof(_COM); }
    int BuildBaseAttr(CkxBuf& buf) const override;
    int PasyBaseAttr(const void* bytes, int len) override;

    using CkxFile::GetAttrValue;
    using CkxFile::SetAttrValue;
    CkxAttrValue GetAttrValue(int id) const override;
    void SetAttrValue(const CkxAttrValue& v) override;
    // Integer fields "%d", the production type "%u", times by the date rule, the place as held.
    std::string GetAttrText(int id) const override;

    // The image file's base list followed by the 25 capture definitions.
    static int _GetBaseAttrList(CkxAttrList& list);
    static int _GetCanEditBaseAttrList(CkxAttrList& list);

    static bool IsClient(const CkxAttrValue& v) { return v.GetAttrID() == KXP_CLIENT; }
    static bool IsDept(const CkxAttrValue& v) { return v.GetAttrID() == KXP_DEPT; }
    static bool IsSrvComb(const CkxAttrValue& v) { return v.GetAttrID() == KXP_SRVCOMB; }
    static bool IsTheme(const CkxAttrValue& v) { return v.GetAttrID() == KXP_THEME; }
    static bool IsDressID(const CkxAttrValue& v) { return v.GetAttrID() == KXP_DRESSID; }
    static bool IsPose(const CkxAttrValue& v) { return v.GetAttrID() == KXP_POSE; }
    static bool IsPhotoType(const CkxAttrValue& v) { return v.GetAttrID() == KXP_PHOTOTYPE; }
    static bool IsManType(const CkxAttrValue& v) { return v.GetAttrID() == KXP_MANTYPE; }
    static bool IsPartType(const CkxAttrValue& v) { return v.GetAttrID() == KXP_PARTTYPE; }
    static bool IsCameraID(const CkxAttrValue& v) { return v.GetAttrID() == KXP_CAMERAID; }
    static bool IsCameraWay(const CkxAttrValue& v) { return v.GetAttrID() == KXP_CAMERAWAY; }
    static bool IsExposal(const CkxAttrValue& v) { return v.GetAttrID() == KXP_EXPOSAL; }
    static bool IsCameraMan(const CkxAttrValue& v) { return v.GetAttrID() == KXP_CAMERAMAN; }
    static bool IsDresser(const CkxAttrValue& v) { return v.GetAttrID() == KXP_DRESSER; }
    static bool IsProcessor(const CkxAttrValue& v) { return v.GetAttrID() == KXP_PROCESSOR; }
    static bool IsCameraTime(const CkxAttrValue& v) { return v.GetAttrID() == KXP_CAMERATIME; }
    static bool IsDressTime(const CkxAttrValue& v) { return v.GetAttrID() == KXP_DRESSTIME; }
    static bool IsSelectTime(const CkxAttrValue& v) { return v.GetAttrID() == KXP_SELECTTIME; }
    static bool IsProcess(const CkxAttrValue& v) { return v.GetAttrID() == KXP_PROCESSTIME; }
    static bool IsWeather(const CkxAttrValue& v) { return v.GetAttrID() == KXP_WEATHER; }
    static bool IsCameraAddr(const CkxAttrValue& v) { return v.GetAttrID() == KXP_CAMERAADDR; }
    static bool IsAdvsSelected(const CkxAttrValue& v) { return v.GetAttrID() == KXP_ADVSSELECTED; }
    static bool IsUserSelected(const CkxAttrValue& v) { return v.GetAttrID() == KXP_USERSELECTED; }
    static bool IsUserMark(const CkxAttrValue& v) { return v.GetAttrID() == KXP_USERMARK; }
    static bool IsMakeSelMask(const CkxAttrValue& v) { return v.GetAttrID() == KXP_MAKESELMASK; }

    int32_t m_nClientID = -1;
    int32_t m_nDeptID = -1;
    int32_t m_nSrvCombID = -1;
    int32_t m_nThemeID = -1;
    int32_t m_nDressID = -1;
    int32_t m_nPoseID = -1;
    int32_t m_nPhotoType = -1;
    int32_t m_nManType = -1;
    int32_t m_nPartType = -1;
    int32_t m_nCameraID = -1;
    int32_t m_nCameraWay = -1;
    int32_t m_nExposal = 0;
    int32_t m_nCameraMan = -1;
    int32_t m_nDresser = -1;
    int32_t m_nProcessor = -1;
    COleDateTime m_dtCamera;
    COleDateTime m_dtDress;
    COleDateTime m_dtSelect;
    COleDateTime m_dtProcess;
    int32_t m_nWeather = -1;
    std::string m_strCameraAddr;
    int32_t m_nAdvsSelected = 0;
    int32_t m_nUserSelected = 0;
    int32_t m_nUserMark = 0;
    int32_t m_nMakeSelMask = 0;

private:
    // The integer capture field of an id, or null.
    int32_t* IntField(int id);
    const int32_t* IntField(int id) const { return const_cast<CkxFIPhoto*>(this)->IntField(id); }
    COleDateTime* DateField(int id);
    const COleDateTime* DateField(int id) const { return const_cast<CkxFIPhoto*>(this)->DateField(id); }
};

KX_RECORD_SIZE(CkxFIPhoto::_COM, 912);
KX_FIELD_AT(CkxFIPhoto::_COM, nClientID, 536);
KX_FIELD_AT(CkxFIPhoto::_COM, nDeptID, 540);
KX_FIELD_AT(CkxFIPhoto::_COM, nSrvCombID, 544);
KX_FIELD_AT(CkxFIPhoto::_COM, nThemeID, 548);
KX_FIELD_AT(CkxFIPhoto::_COM, nDressID, 552);
KX_FIELD_AT(CkxFIPhoto::_COM, nPoseID, 556);
KX_FIELD_AT(CkxFIPhoto::_COM, nPhotoType, 560);
KX_FIELD_AT(CkxFIPhoto::_COM, nManType, 564);
KX_FIELD_AT(CkxFIPhoto::_COM, nPartType, 568);
KX_FIELD_AT(CkxFIPhoto::_COM, nCameraID, 572);
KX_FIELD_AT(CkxFIPhoto::_COM, nCameraWay, 576);
KX_FIELD_AT(CkxFIPhoto::_COM, nExposal, 580);
KX_FIELD_AT(CkxFIPhoto::_COM, nCameraMan, 584);
KX_FIELD_AT(CkxFIPhoto::_COM, nDresser, 588);
KX_FIELD_AT(CkxFIPhoto::_COM, nProcessor, 592);
KX_FIELD_AT(CkxFIPhoto::_COM, nPad1, 596);
KX_FIELD_AT(CkxFIPhoto::_COM, dtCamera, 600);
KX_FIELD_AT(CkxFIPhoto::_COM, dtDress, 608);
KX_FIELD_AT(CkxFIPhoto::_COM, dtSelect, 616);
KX_FIELD_AT(CkxFIPhoto::_COM, dtProcess, 624);
KX_FIELD_AT(CkxFIPhoto::_COM, nWeather, 632);
KX_FIELD_AT(CkxFIPhoto::_COM, szCameraAddr, 636);
KX_FIELD_AT(CkxFIPhoto::_COM, nAdvsSelected, 892);
KX_FIELD_AT(CkxFIPhoto::_COM, nUserSelected, 896);
KX_FIELD_AT(CkxFIPhoto::_COM, nUserMark, 900);
KX_FIELD_AT(CkxFIPhoto::_COM, nMakeSelMask, 904);
KX_FIELD_AT(CkxFIPhoto::_COM, nPad2, 908);
