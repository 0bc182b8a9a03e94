// CkxAttr: an attribute definition of a family (how a value is typed and edited, with its fixed
// choices and an optional run-time choice provider) and its 128-byte wire record; CkxAttrList,
// the guarded list of definitions that the family registry keeps.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxConst.h"
#include "model/CkxData.h"
#include "model/CkxLockedList.h"
#include "model/KxExport.h"
#include "base/Record.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum KxAttrKind { KXA_BASE = 0, KXA_EX = 1 };
enum KxAttrDataType { KXT_NONE = 0, KXT_INT = 1, KXT_FLOAT = 2, KXT_DATE = 4, KXT_STR = 8 };
enum KxAttrEditWay {
    KXE_NONE = 0,
    KXE_EDIT = 1,
    KXE_COMBO = 2,
    KXE_TREE = 4,
    KXE_TIME = 5,
    KXE_IP = 6,
    KXE_CHOICE = 7
};

// Fills a constant list with choices built at run time (persons, users, folders). It lives
// only in this process: it is copied with the definition but never written to the wire.
using KxConstProvider = std::function<void(CkxConstList&)>;

class KX_EXPORT CkxAttr : public CkxData {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        uint8_t nAttrKind;
        uint8_t zero[3];
        int32_t nDataKind;
        int32_t nFamilyID;
        char szName[50];
        uint8_t nDataType;
        uint8_t nEditWay;
        int32_t nFlag;
        char szNote[52];
        int32_t nProvider; // always written 0; a receiver keeps no provider from it
    };
#pragma pack(pop)

    CkxAttr() = default;
    CkxAttr(const CkxAttr&) = default;
    explicit CkxAttr(const _COM& com) { SetComData(com); }
    CkxAttr& operator=(const CkxAttr&) = default;
    CkxAttr& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    ~CkxAttr() override = default;

    // The whole record is zeroed first; name and note are cut to 49 and 51 GBK bytes.
    _COM GetComData() const;
    // Reads every field but the provider slot; the definition's provider is cleared.
    void SetComData(const _COM& com);

    int GetID() const { return m_nID; }

    void SetAttrType_Base() { m_nAttrKind = KXA_BASE; }
    void SetAttrType_Ex() { m_nAttrKind = KXA_EX; }
    bool IsBaseAttr() const { return m_nAttrKind == KXA_BASE; }
    bool IsExAttr() const { return m_nAttrKind == KXA_EX; }

    bool IsInt() const { return m_nDataType == KXT_INT; }
    bool IsFloat() const { return m_nDataType == KXT_FLOAT; }
    bool IsDate() const { return m_nDataType == KXT_DATE; }
    bool IsStr() const { return m_nDataType == KXT_STR; }
    bool IsEnableEdit() const { return m_nEditWay != KXE_NONE; }

    // "禁止", "编辑框", "下拉框", "树型控件", "时间控件", "IP控件", "选择控件"; else empty.
    std::string GetEditWayStr() const;
    // "整数", "浮点数", "时间", "文本"; else empty.
    std::string GetDataTypeStr() const;

    void SetConstProvider(KxConstProvider provider) { m_Provider = std::move(provider); }
    bool HasConstProvider() const { return static_cast<bool>(m_Provider); }
    // Runs the provider into list; 1 when there is one, else 0 (list untouched).
    int CallConstProvider(CkxConstList& list) const;

    // The constant-list buffer of the definition's constants.
    int BuildBuf(CkxBuf& buf) const { return m_Consts.BuildBuf(buf); }
    int PasyBuf(const void* bytes, int len) { return m_Consts.PasyBuf(bytes, len); }

    int32_t m_nID = -1;
    uint8_t m_nAttrKind = KXA_EX;
    int32_t m_nFamilyID = -1;
    std::string m_strName;
    uint8_t m_nDataType = KXT_NONE;
    uint8_t m_nEditWay = KXE_NONE;
    int32_t m_nFlag = 0;
    std::string m_strNote;
    CkxConstList m_Consts;

private:
    KxConstProvider m_Provider;
};

KX_RECORD_SIZE(CkxAttr::_COM, 128);
KX_FIELD_AT(CkxAttr::_COM, nID, 0);
KX_FIELD_AT(CkxAttr::_COM, nAttrKind, 4);
KX_FIELD_AT(CkxAttr::_COM, nDataKind, 8);
KX_FIELD_AT(CkxAttr::_COM, nFamilyID, 12);
KX_FIELD_AT(CkxAttr::_COM, szName, 16);
KX_FIELD_AT(CkxAttr::_COM, nDataType, 66);
KX_FIELD_AT(CkxAttr::_COM, nEditWay, 67);
KX_FIELD_AT(CkxAttr::_COM, nFlag, 68);
KX_FIELD_AT(CkxAttr::_COM, szNote, 72);
KX_FIELD_AT(CkxAttr::_COM, nProvider, 124);

using CkxAttrPtrs = std::vector<CkxAttr*>;

// Every member takes the list's busy flag (see CkxLockedRecordList). Delete removes every
// definition with the id.
class KX_EXPORT CkxAttrList : public CkxLockedRecordList<CkxAttr, kx::DeleteMode::EveryMatch> {
public:
    using CkxLockedRecordList::AddTail;
    // Appends a copy (constants included) and returns it, or null when memory runs out.
    CkxAttr* AddTail(const CkxAttr& a);

    // Takes the flag for a caller that works over several calls; release with Unlock().
    void LockGet() const { Lock(); }

    // Clears out and fills it with the definitions of the family; returns their count.
    int FindFamilyAttr(int familyID, CkxAttrPtrs& out) const;
    void DeleteFamilyAttr(int familyID);

    // Fill out with the definitions of one data kind (out is cleared first); return the count.
    int GetAllAttr_Image(CkxAttrPtrs& out) const { return GetAllAttr_Kind(KXD_IMAGE, out); }
    int GetAllAttr_Text(CkxAttrPtrs& out) const { return GetAllAttr_Kind(KXD_TEXT, out); }
    int GetAllAttr_Audio(CkxAttrPtrs& out) const { return GetAllAttr_Kind(KXD_AUDIO, out); }
    int GetAllAttr_Video(CkxAttrPtrs& out) const { return GetAllAttr_Kind(KXD_VIDEO, out); }
    int GetAllAttr_Binary(CkxAttrPtrs& out) const { return GetAllAttr_Kind(KXD_BINARY, out); }

    // Appends copies of the given definitions; returns the list's count.
    int AddCopies(const CkxAttrPtrs& attrs);

private:
    int GetAllAttr_Kind(int kind, CkxAttrPtrs& out) const;
};
