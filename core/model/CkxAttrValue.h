// CkxAttrValue: the value of one attribute for one catalogue object (object id, attribute id,
// typed value) with its 296-byte wire record, and CkxAttrValueList, the unguarded list of them
// that travels as a list buffer of records back to back (a file's extended values, for one).
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxValue.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstddef>
#include <cstdint>
#include <string>

class KX_EXPORT CkxAttrValue {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nObjID;
        int32_t nAttrID;
        CkxValueSp::_COM value;
    };
#pragma pack(pop)

    CkxAttrValue() = default;
    CkxAttrValue(int objID, int attrID) : m_nObjID(objID), m_nAttrID(attrID) {}
    CkxAttrValue(const CkxAttrValue&) = default;
    explicit CkxAttrValue(const _COM& com) { SetComData(com); }
    CkxAttrValue& operator=(const CkxAttrValue&) = default;
    CkxAttrValue& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxAttrValue() = default;

    _COM GetComData() const;
    void SetComData(const _COM& com);

    int GetObjID() const { return m_nObjID; }
    void SetObjID(int id) { m_nObjID = id; }
    int GetAttrID() const { return m_nAttrID; }
    void SetAttrID(int id) { m_nAttrID = id; }
    // The list's record id is the attribute id.
    int GetID() const { return m_nAttrID; }

    int GetInt() const { return m_Value.GetInt(); }
    float GetFloat() const { return m_Value.GetFloat(); }
    COleDateTime GetDate() const { return m_Value.GetOleDate(); }
    const std::string& GetStr() const { return m_Value.GetStr(); }
    // Copies only the other's value; the ids stay.
    void SetValue(const CkxAttrValue& o) { m_Value = o.m_Value; }
    bool IsValid() const { return m_Value.IsValid(); }
    // 1 "%d", 2 "%0.4f", 4 the date text, 8 the text, any other kind an empty text.
    std::string GetText() const { return m_Value.GetText(); }

    int32_t m_nObjID = -1;
    int32_t m_nAttrID = -1;
    CkxValueSp m_Value;
};

KX_RECORD_SIZE(CkxAttrValue::_COM, 296);
KX_FIELD_AT(CkxAttrValue::_COM, nObjID, 0);
KX_FIELD_AT(CkxAttrValue::_COM, nAttrID, 4);
KX_FIELD_AT(CkxAttrValue::_COM, value, 8);

class KX_EXPORT CkxAttrValueList : public CkxRecordList<CkxAttrValue, kx::DeleteMode::FirstMatch> {
public:
    using CkxRecordList::AddTail;

    // The first value with both ids, or null.
    CkxAttrValue* Find(int objID, int attrID) const;
    // Copies ids and value into the entry with the same object and attribute ids; 1 when there
    // was one, else 0 and nothing changes.
    int Update(const CkxAttrValue& v);
    // Copies only the value into the matching entry; 1 when there was one.
    int UpdateValue(const CkxAttrValue& v);
    // Updates the matching entry or appends a copy; 1, or 0 when memory runs out.
    int Set(const CkxAttrValue& v);
    // Sets the object id of every entry.
    void SetObjID(int id);
    // The entries that hold a value: an empty cell (kind none) says nothing about a file and
    // must not overwrite what it has, while an emptied text is an empty text and is kept.
    CkxAttrValueList GetFilled() const;

    // Writes count x 296 bytes, the records in list order; returns that length, or 0 when the
    // buffer cannot be created (an empty list gives an empty buffer and 0).
    int BuildBuf(CkxBuf& buf) const;
    // Clears the list, then appends one value per whole record (a ragged tail is ignored).
    // Returns the count read.
    int PasyBuf(const CkxBuf& buf) { return PasyBuf(buf.GetBuf(), buf.GetLen()); }
    int PasyBuf(const void* bytes, int len);
};
