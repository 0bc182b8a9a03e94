// CkxKeywordGroup: a named group that keywords belong to, and its list. Its 104-byte record
// (id, name, note) is also the record of keyword templates and user groups: KxNameNoteCom.
#pragma once

#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

#pragma pack(push, 1)
struct KxNameNoteCom {
    int32_t nID;
    char szName[50];
    char szNote[50];
};
#pragma pack(pop)
KX_RECORD_SIZE(KxNameNoteCom, 104);
KX_FIELD_AT(KxNameNoteCom, nID, 0);
KX_FIELD_AT(KxNameNoteCom, szName, 4);
KX_FIELD_AT(KxNameNoteCom, szNote, 54);

namespace kx {
// The record of (id, name, note), zeroed first; and its reader.
KX_EXPORT KxNameNoteCom MakeNameNoteCom(int id, const std::string& name, const std::string& note);
KX_EXPORT void ReadNameNoteCom(const KxNameNoteCom& com, int32_t& id, std::string& name, std::string& note);
} // namespace kx

class KX_EXPORT CkxKeywordGroup {
public:
    using _COM = KxNameNoteCom;

    CkxKeywordGroup() = default;
    CkxKeywordGroup(const _COM& com) { SetComData(com); } // NOLINT
    CkxKeywordGroup(const CkxKeywordGroup&) = default;
    CkxKeywordGroup& operator=(const CkxKeywordGroup&) = default;
    CkxKeywordGroup& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxKeywordGroup() = default;

    int GetID() const { return m_nID; }

    _COM GetComData() const { return kx::MakeNameNoteCom(m_nID, m_strName, m_strNote); }
    void SetComData(const _COM& com) { kx::ReadNameNoteCom(com, m_nID, m_strName, m_strNote); }

    int32_t m_nID = -1;
    std::string m_strName;
    std::string m_strNote;
};

namespace kx {
// The name of the record with the id in a list of named records, or an empty text.
template <class List>
std::string NameOf(const List& list, int id) {
    const auto* r = list.Find(id);
    return r ? r->m_strName : std::string();
}
} // namespace kx

class KX_EXPORT CkxKeywordGroupList : public CkxRecordList<CkxKeywordGroup, kx::DeleteMode::EveryMatch> {
public:
    std::string GetName(int id) const { return kx::NameOf(*this, id); }
};
