// Persons that file records name (creator, supplier, owner, client ...): a name, a relation,
// a profession and a note, with their list.
#pragma once

#include "base/Gbk.h"
#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>

class KX_EXPORT CkxPerson {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nID;
        char szName[50];
        uint8_t nRelation;
        uint8_t nProfession;
        char szNote[50];
        uint8_t reserved[2];
    };
#pragma pack(pop)

    CkxPerson() = default;
    explicit CkxPerson(const _COM& c) { SetComData(c); }
    CkxPerson(const CkxPerson&) = default;
    CkxPerson& operator=(const CkxPerson&) = default;
    CkxPerson& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }
    virtual ~CkxPerson() = default;

    _COM GetComData() const;
    void SetComData(const _COM& c);
    int GetID() const { return m_nID; }

    // Display names of the relation (0-6) and profession (0-8) numbers; empty for others.
    static std::string GetRelationName(int relation);
    static std::string GetProfessionName(int profession);

    int32_t m_nID = -1;
    std::string m_strName;
    uint8_t m_nRelation = 0;
    uint8_t m_nProfession = 0;
    std::string m_strNote;
};

KX_RECORD_SIZE(CkxPerson::_COM, 108);
KX_FIELD_AT(CkxPerson::_COM, nID, 0);
KX_FIELD_AT(CkxPerson::_COM, szName, 4);
KX_FIELD_AT(CkxPerson::_COM, nRelation, 54);
KX_FIELD_AT(CkxPerson::_COM, nProfession, 55);
KX_FIELD_AT(CkxPerson::_COM, szNote, 56);

class KX_EXPORT CkxPersonList : public CkxRecordList<CkxPerson, kx::DeleteMode::EveryMatch> {
    using Base = CkxRecordList<CkxPerson, kx::DeleteMode::EveryMatch>;

public:
    using Base::AddTail;
    // Appends the pointer and takes ownership; 1, or 0 for null.
    int AddTail(CkxPerson* p) {
        if (!p) return 0;
        Base::AddTail(p);
        return 1;
    }
    // The person's name, or an empty text when unknown.
    std::string GetName(int id) const {
        const CkxPerson* p = Find(id);
        return p ? p->m_strName : std::string();
    }
};
