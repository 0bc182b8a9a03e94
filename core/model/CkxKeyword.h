// CkxKeyword: a keyword that tags files, belonging to one keyword group, and CkxKeywordList,
// the keywords a program holds.
#pragma once

#include "model/CkxKeywordGroup.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>
#include <vector>

class KX_EXPORT CkxKeyword {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        int32_t nGroupID;
        char szName[50];
        char szNote[50];
    };
#pragma pack(pop)

    CkxKeyword() = default;
    CkxKeyword(const _COM& com) { SetComData(com); } // NOLINT
    CkxKeyword(const CkxKeyword&) = default;
    CkxKeyword& operator=(const CkxKeyword&) = default;
    CkxKeyword& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxKeyword() = default;

    int GetID() const { return m_nID; }

    _COM GetComData() const;
    void SetComData(const _COM& com);

    int32_t m_nID = -1;
    int32_t m_nGroupID = -1;
    std::string m_strName;
    std::string m_strNote;
};

KX_RECORD_SIZE(CkxKeyword::_COM, 108);
KX_FIELD_AT(CkxKeyword::_COM, nID, 0);
KX_FIELD_AT(CkxKeyword::_COM, nGroupID, 4);
KX_FIELD_AT(CkxKeyword::_COM, szName, 8);
KX_FIELD_AT(CkxKeyword::_COM, szNote, 58);

class KX_EXPORT CkxKeywordList : public CkxRecordList<CkxKeyword, kx::DeleteMode::EveryMatch> {
public:
    // Clears out, then appends the keywords of the group in list order; returns their count.
    int GetGroupKeyword(int groupId, std::vector<CkxKeyword*>& out) const;
    // Clears out, then appends every keyword; returns the count.
    int GetAllPt(std::vector<CkxKeyword*>& out) const;
    // The keyword's name, or an empty text when the id is unknown.
    std::string GetName(int id) const { return kx::NameOf(*this, id); }
};
