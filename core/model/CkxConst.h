// CkxConst: one named choice of an attribute's drop-down (id, second id, typed value, alias)
// with its 560-byte wire record, and CkxConstList, the guarded list of them that travels as a
// list buffer of records back to back.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxLockedList.h"
#include "model/CkxValue.h"
#include "model/KxExport.h"
#include "base/Record.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxConst {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nTypeWord; // the sender's object type word; ignored on receipt
        int32_t nUnused;
        int32_t nID;
        int32_t nID2;
        CkxValueSp::_COM value;
        char szAlias[256];
    };
#pragma pack(pop)

    CkxConst() = default;
    CkxConst(const CkxConst&) = default;
    explicit CkxConst(const _COM& com) { SetComData(com); }
    CkxConst& operator=(const CkxConst&) = default;
    CkxConst& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxConst() = default;

    _COM GetComData() const;
    void SetComData(const _COM& com);

    int GetID() const { return m_nID; }
    bool IsValid() const { return m_nID != -1; }
    bool IsInt() const { return m_Value.IsInt(); }
    bool IsStr() const { return m_Value.IsStr(); }

    // The alias is kept as UTF-8 and fitted to the record's 256-byte GBK field, so a received
    // alias survives whole and a sent one reads back exactly.
    void SetAlias(const std::string& alias);
    const std::string& GetAlias() const { return m_strAlias; }
    // The alias when it is not empty, else the value's text.
    std::string GetText() const { return m_strAlias.empty() ? m_Value.GetText() : m_strAlias; }

    int32_t m_nID = -1;
    int32_t m_nID2 = -1;
    CkxValueSp m_Value;

private:
    std::string m_strAlias;
};

KX_RECORD_SIZE(CkxConst::_COM, 560);
KX_FIELD_AT(CkxConst::_COM, nID, 8);
KX_FIELD_AT(CkxConst::_COM, nID2, 12);
KX_FIELD_AT(CkxConst::_COM, value, 16);
KX_FIELD_AT(CkxConst::_COM, szAlias, 304);

// Every member takes the list's busy flag (see CkxLockedRecordList); Update copies ids, value
// and alias onto the first constant with the same id.
class KX_EXPORT CkxConstList : public CkxLockedRecordList<CkxConst, kx::DeleteMode::FirstMatch> {
public:
    // count x 560 bytes in list order; 1, or 0 when the list is empty or the buffer cannot be
    // created (the buffer is then left as it was).
    int BuildBuf(CkxBuf& buf) const;
    // Deletes every constant, then appends one per whole 560-byte record (a ragged tail is
    // ignored); stops at the first allocation failure. Returns the count read.
    int PasyBuf(const CkxBuf& buf) { return PasyBuf(buf.GetBuf(), buf.GetLen()); }
    int PasyBuf(const void* bytes, int len);
};
