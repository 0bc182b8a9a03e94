// CkxKeywordLink: ties one keyword to one file (known by the pair, no id of its own), and
// CkxKeywordLinkList, the links a program holds or that travel with one file.
#pragma once

#include "model/KxExport.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <vector>

class KX_EXPORT CkxKeywordLink {
public:
#pragma pack(push, 1)
    struct _COM {
        int32_t nFileID;
        int32_t nKeywordID;
    };
#pragma pack(pop)

    CkxKeywordLink() = default;
    CkxKeywordLink(int fileId, int keywordId) : m_nFileID(fileId), m_nKeywordID(keywordId) {}
    CkxKeywordLink(const _COM& com) { SetComData(com); } // NOLINT
    CkxKeywordLink(const CkxKeywordLink&) = default;
    CkxKeywordLink& operator=(const CkxKeywordLink&) = default;
    CkxKeywordLink& operator=(const _COM& com) {
        SetComData(com);
        return *this;
    }
    virtual ~CkxKeywordLink() = default;

    bool SamePair(const CkxKeywordLink& o) const {
        return m_nFileID == o.m_nFileID && m_nKeywordID == o.m_nKeywordID;
    }

    _COM GetComData() const {
        _COM com = kx::ZeroRecord<_COM>();
        com.nFileID = m_nFileID;
        com.nKeywordID = m_nKeywordID;
        return com;
    }
    void SetComData(const _COM& com) {
        m_nFileID = com.nFileID;
        m_nKeywordID = com.nKeywordID;
    }

    int32_t m_nFileID = -1;
    int32_t m_nKeywordID = -1;
};

KX_RECORD_SIZE(CkxKeywordLink::_COM, 8);
KX_FIELD_AT(CkxKeywordLink::_COM, nFileID, 0);
KX_FIELD_AT(CkxKeywordLink::_COM, nKeywordID, 4);

namespace kx {
// Links are listed under their file id; lookups by pair go through the list's own members.
struct LinkFileID {
    int operator()(const CkxKeywordLink& r) const { return r.m_nFileID; }
};
} // namespace kx

class KX_EXPORT CkxKeywordLinkList
    : public CkxRecordList<CkxKeywordLink, kx::DeleteMode::EveryMatch, kx::LinkFileID> {
    using Base = CkxRecordList<CkxKeywordLink, kx::DeleteMode::EveryMatch, kx::LinkFileID>;

public:
    // AddTail (the shared form) appends a heap copy; duplicates are allowed.
    // The first link with the same pair, or null.
    CkxKeywordLink* Find(const CkxKeywordLink& link) const;
    // Appends a copy only when the pair is not there yet: 1 when added, 0 otherwise.
    int Set(const CkxKeywordLink& link);
    // Destroys and removes every link with the same pair; returns how many.
    int Delete(const CkxKeywordLink& link);
    // Destroys and removes every link of the file; returns how many.
    int DeleteObj(int fileId);
    // Replaces the file's links: removes them, then appends a copy of every link of the given
    // list, whatever file they carry. Given this list itself, nothing changes.
    void Set(int fileId, const CkxKeywordLinkList& links);
    // Stamps every link with the file id (a new file's links once the server has numbered it).
    void SetFile(unsigned long fileId);
    // Clears out, appends the keyword ids of the file's links in list order; returns the count.
    int GetFileKeyword(int fileId, std::vector<int>& out) const;
    // GetHead (the shared form) gives the first link, or null when the list is empty.

    // A link has no id: updating "by id" means nothing here.
    int Update(const CkxKeywordLink&) = delete;
};
