// The entity bases: CkxObject (an id, -1 when none), CkxData (data kind, state and modal,
// and the check-out mark shared by files, families, attributes, quick keys and project links)
// and CkxDataMode (the data-kind number with its name).
#pragma once

#include "model/KxExport.h"

#include <cstdint>
#include <string>

// Data kinds of catalogue objects (not the file-kind numbering of file records).
enum KxDataKind { KXD_UNKNOWN = 0, KXD_BINARY = 1, KXD_TEXT = 2, KXD_IMAGE = 3, KXD_VIDEO = 4, KXD_AUDIO = 5 };
enum KxDataState { KXS_ACT = 0, KXS_HIDE = 1, KXS_DELETE = 2 };
enum KxDataModal { KXM_FILE = 0, KXM_QUICKKEY = 1, KXM_LINK = 2 };

// Name of a data kind: "未知", "二进制", "文本", "图像", "视频", "音频"; empty for others.
KX_EXPORT std::string KX_DataKindName(int kind);
// Name of a data state: "普通", "隐藏", "删除"; empty for others.
KX_EXPORT std::string KX_DataStateName(int state);

class KX_EXPORT CkxObject {
public:
    CkxObject() = default;
    CkxObject(const CkxObject&) = default;
    CkxObject& operator=(const CkxObject&) = default;
    virtual ~CkxObject() = default;

    int GetID() const { return m_nID; }
    void SetID(int id) { m_nID = id; }

    int32_t m_nID = -1;
    int32_t m_nReserve1 = 0;
    int32_t m_nReserve2 = 0;
};

class KX_EXPORT CkxData {
public:
    CkxData() = default;
    CkxData(const CkxData&) = default;
    CkxData& operator=(const CkxData&) = default;
    virtual ~CkxData() = default;

    void SetBinary() { m_nDataKind = KXD_BINARY; }
    void SetText() { m_nDataKind = KXD_TEXT; }
    void SetImage() { m_nDataKind = KXD_IMAGE; }
    void SetVideo() { m_nDataKind = KXD_VIDEO; }
    void SetAudio() { m_nDataKind = KXD_AUDIO; }
    bool IsBinary() const { return m_nDataKind == KXD_BINARY; }
    bool IsText() const { return m_nDataKind == KXD_TEXT; }
    bool IsImage() const { return m_nDataKind == KXD_IMAGE; }
    bool IsVideo() const { return m_nDataKind == KXD_VIDEO; }
    bool IsAudio() const { return m_nDataKind == KXD_AUDIO; }
    std::string GetModeName() const { return KX_DataKindName(m_nDataKind); }
    int GetDataKind() const { return m_nDataKind; }
    void SetDataKind(int k) { m_nDataKind = static_cast<int8_t>(k); }

    bool IsDataStateAct() const { return m_nDataState == KXS_ACT; }
    bool IsDataStateHide() const { return m_nDataState == KXS_HIDE; }
    bool IsDataStateDelete() const { return m_nDataState == KXS_DELETE; }
    void SetDataStateAct() { m_nDataState = KXS_ACT; }
    void SetDataStateHide() { m_nDataState = KXS_HIDE; }
    void SetDataStateDelete() { m_nDataState = KXS_DELETE; }
    int GetDataState() const { return m_nDataState; }
    void SetDataState(int s) { m_nDataState = static_cast<int8_t>(s); }
    std::string GetDataStateStr() const { return KX_DataStateName(m_nDataState); }

    bool IsDataModalFile() const { return m_nDataModal == KXM_FILE; }
    bool IsDataModalQuickKey() const { return m_nDataModal == KXM_QUICKKEY; }
    bool IsDataModalLink() const { return m_nDataModal == KXM_LINK; }
    void SetDataModalFile() { m_nDataModal = KXM_FILE; }
    void SetDataModalQuickKey() { m_nDataModal = KXM_QUICKKEY; }
    void SetDataModalLink() { m_nDataModal = KXM_LINK; }
    int GetDataModal() const { return m_nDataModal; }
    void SetDataModal(int m) { m_nDataModal = static_cast<int8_t>(m); }

    void Checkout(int user) {
        m_nCheckout = 1;
        m_nCheckoutUser = user;
    }
    void Checkin() {
        m_nCheckout = 0;
        m_nCheckoutUser = -1;
    }
    // Checked out only when the flag is set and a user (0 or more) holds it.
    bool IsCheckout() const { return m_nCheckout != 0 && m_nCheckoutUser >= 0; }
    bool IsCheckIn() const { return !IsCheckout(); }
    int GetCheckoutUser() const { return m_nCheckoutUser; }

    int8_t m_nDataKind = KXD_UNKNOWN;
    int8_t m_nDataState = KXS_ACT;
    int8_t m_nDataModal = KXM_FILE;
    int32_t m_nCheckout = 0;
    int32_t m_nCheckoutUser = -1;
};

class KX_EXPORT CkxDataMode {
public:
    CkxDataMode() = default;
    CkxDataMode(int id) : m_nID(id) {} // NOLINT
    CkxDataMode(const CkxDataMode&) = default;
    CkxDataMode& operator=(const CkxDataMode&) = default;
    CkxDataMode& operator=(int id) {
        m_nID = id;
        return *this;
    }
    virtual ~CkxDataMode() = default;

    int GetDataModeID() const { return m_nID; }
    std::string GetDataModeName() const { return KX_DataKindName(m_nID); }
    bool IsBinary() const { return m_nID == KXD_BINARY; }
    bool IsText() const { return m_nID == KXD_TEXT; }
    bool IsImage() const { return m_nID == KXD_IMAGE; }
    bool IsVideo() const { return m_nID == KXD_VIDEO; }
    bool IsAudio() const { return m_nID == KXD_AUDIO; }

private:
    int32_t m_nID = -1;
};
