// CkxFamily: one category of the family tree (data kind, level, parent id, name, note, creator,
// creation time) with its 144-byte wire record. The position and the four tree links are kept
// by CkxFamilyTree; copying a family copies its own fields only, never its place in a tree.
#pragma once

#include "model/CkxData.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/PtrList.h"
#include "base/Record.h"

#include <cstdint>
#include <string>
#include <vector>

// Fixed ids of the root families, one per kind of content; 100000010 names the photo-capture
// attributes' family.
enum KxRootFamily {
    KXF_ROOT_IMAGE = 100000001,
    KXF_ROOT_TEXT = 100000002,
    KXF_ROOT_AUDIO = 100000003,
    KXF_ROOT_VIDEO = 100000004,
    KXF_ROOT_BINARY = 100000005,
    KXF_ROOT_OTHER = 100000006,
    KXF_PHOTO = 100000010
};

class KX_EXPORT CkxFamily : public CkxData {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nTypeWord; // the sender's object type word; ignored on receipt
        int32_t zero1;
        int8_t nDataKind;
        int8_t nDataState;
        int16_t zero2;
        int32_t nID;
        int32_t nLevel;
        int32_t nParentID;
        int32_t nValueA;
        int32_t nValueB;
        char szName[50];
        char szNote[50];
        int32_t nCreatorID;
        double dtCreate;
    };
#pragma pack(pop)

    CkxFamily() { Clear(); }
    CkxFamily(const CkxFamily& o) : CkxData(o) { CopyOwn(o); }
    explicit CkxFamily(const _COM& com) {
        Clear();
        SetComData(com);
    }
    // Copies kind, state, ids, level, values, name, note, creator and date; keeps this
    // family's position and links.
    CkxFamily& operator=(const CkxFamily& o) {
        if (this != &o) {
            CkxData::operator=(o);
            CopyOwn(o);
        }
        return *this;
    }
    CkxFamily& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    ~CkxFamily() override = default;

    // The whole record is zeroed first; name and note are cut to 49 GBK bytes.
    _COM GetComData() const;
    void SetComData(const _COM& com);

    // Data kind 3, state 0, id -1, level 0, parent -1, values 0, empty texts, no position and
    // no links. Creator and date stay.
    void Clear();
    // Clears the parent and sibling links (the first-child link stays).
    void ClearUpperLink() {
        m_pParent = nullptr;
        m_pPrev = nullptr;
        m_pNext = nullptr;
    }

    int GetID() const { return m_nID; }
    int GetChildLev() const { return m_nLevel + 1; }

    static bool IsRootID(int id) { return id >= KXF_ROOT_IMAGE && id <= KXF_ROOT_OTHER; }
    bool IsRoot() const { return IsRootID(m_nID); }
    bool IsRootImage() const { return IsRoot() && IsImage(); }
    bool IsRootText() const { return IsRoot() && IsText(); }
    bool IsRootAudio() const { return IsRoot() && IsAudio(); }
    bool IsRootVideo() const { return IsRoot() && IsVideo(); }
    bool IsRootBinary() const { return IsRoot() && IsBinary(); }

    int32_t m_nID = -1;
    int32_t m_nLevel = 0;
    int32_t m_nParentID = -1;
    int32_t m_nValueA = 0;
    int32_t m_nValueB = 0;
    std::string m_strName;
    std::string m_strNote;
    int32_t m_nCreatorID = -1;
    COleDateTime m_dtCreate;

    // Kept by the owning tree.
    POSITION m_pos = nullptr;
    CkxFamily* m_pParent = nullptr;
    CkxFamily* m_pChild = nullptr;
    CkxFamily* m_pPrev = nullptr;
    CkxFamily* m_pNext = nullptr;

private:
    void CopyOwn(const CkxFamily& o);
};

KX_RECORD_SIZE(CkxFamily::_COM, 144);
KX_FIELD_AT(CkxFamily::_COM, nDataKind, 8);
KX_FIELD_AT(CkxFamily::_COM, nDataState, 9);
KX_FIELD_AT(CkxFamily::_COM, nID, 12);
KX_FIELD_AT(CkxFamily::_COM, nLevel, 16);
KX_FIELD_AT(CkxFamily::_COM, nParentID, 20);
KX_FIELD_AT(CkxFamily::_COM, nValueA, 24);
KX_FIELD_AT(CkxFamily::_COM, nValueB, 28);
KX_FIELD_AT(CkxFamily::_COM, szName, 32);
KX_FIELD_AT(CkxFamily::_COM, szNote, 82);
KX_FIELD_AT(CkxFamily::_COM, nCreatorID, 132);
KX_FIELD_AT(CkxFamily::_COM, dtCreate, 136);

// A plain selection of families (pointers into a tree; the tree owns them).
using CkxFamilyPtrs = std::vector<CkxFamily*>;
