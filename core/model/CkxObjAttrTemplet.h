// CkxObjAttrTemplet: a named, stored set of attribute values for a family, applied to many
// files at once; its 120-byte record travels apart from its attribute set, which is a file
// body of two sections (base record and extended values) for image templates. Also the
// unguarded list of templates and CkxObjAttrValue, one value of one attribute of one object.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxFileImage.h"
#include "model/CkxValue.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxObjAttrTemplet {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        char szName[52];
        int32_t nDataMode;
        int32_t nFamilyID;
        int32_t nCreatorID;
        char szRemark[52];
    };
#pragma pack(pop)

    CkxObjAttrTemplet() = default;
    CkxObjAttrTemplet(const CkxObjAttrTemplet&) = default;
    explicit CkxObjAttrTemplet(const _COM& com) { SetComData(com); }
    CkxObjAttrTemplet& operator=(const CkxObjAttrTemplet&) = default;
    CkxObjAttrTemplet& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxObjAttrTemplet() = default;

    // The record is zeroed first; name and remark are cut to 51 GBK bytes.
    _COM GetComData() const;
    void SetComData(const _COM& com);

    // The attribute buffer: a container holding the attribute set's base record and extended
    // values when the data mode is image, an empty container (its count 0) otherwise. Returns
    // its length, 0 when it cannot be built.
    int BuildBuf(CkxBuf& buf) const;
    // Reads an attribute buffer into the set when the data mode is image (set it from the
    // record first). 1 read, 0 refused (the set unchanged): not a container, too few sections,
    // a short base record, or a data mode other than image.
    int PasyBuf(const void* bytes, int len);
    int PasyBuf(const CkxBuf& buf) { return PasyBuf(buf.GetBuf(), buf.GetLen()); }

    int GetID() const { return m_nID; }
    bool IsImageMode() const { return m_nDataMode == KXD_IMAGE; }

    int32_t m_nID = -1;
    std::string m_strName;
    int32_t m_nDataMode = -1;
    int32_t m_nFamilyID = -1;
    int32_t m_nCreatorID = -1;
    std::string m_strRemark;
    CkxFileImage m_AttrSet;
};

KX_RECORD_SIZE(CkxObjAttrTemplet::_COM, 120);
KX_FIELD_AT(CkxObjAttrTemplet::_COM, nID, 0);
KX_FIELD_AT(CkxObjAttrTemplet::_COM, szName, 4);
KX_FIELD_AT(CkxObjAttrTemplet::_COM, nDataMode, 56);
KX_FIELD_AT(CkxObjAttrTemplet::_COM, nFamilyID, 60);
KX_FIELD_AT(CkxObjAttrTemplet::_COM, nCreatorID, 64);
KX_FIELD_AT(CkxObjAttrTemplet::_COM, szRemark, 68);

// Unguarded; Update copies every field onto the template with the same id.
class KX_EXPORT CkxObjAttrTempletList
    : public CkxRecordList<CkxObjAttrTemplet, kx::DeleteMode::FirstMatch> {
public:
    using CkxRecordList::AddTail;
};

class KX_EXPORT CkxObjAttrValue {
public:
    CkxObjAttrValue() = default;
    // Copies the ids and the value (its binary block duplicated).
    CkxObjAttrValue(const CkxObjAttrValue&) = default;
    CkxObjAttrValue& operator=(const CkxObjAttrValue&) = default;
    virtual ~CkxObjAttrValue() = default;

    int32_t m_nObjID = -1;
    int32_t m_nAttrID = -1;
    CkxValue m_Value;
};
