// CkxKeywordLink: ties one keyword to one file (known by the pair, no id of its own), and
// CkxKeywordLinkList, the links a program holds or that travel with one file. A catalogue holds
// hundreds of thousands of links, so the list keeps them as plain 8-byte values in one array,
// grouped by file: a file's links are found by a binary search, not by walking every link.
#pragma once

#include "model/KxExport.h"
#include "base/Record.h"

#include <cstdint>
#include <utility>
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
    // No virtual members: a link is two ids and nothing more, held by value in its list.

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

// An 8-byte value: the list holds links in an array without a header per link.
static_assert(sizeof(CkxKeywordLink) == 8);

// The links in one array ordered by file id; a file's links keep the order they were added in.
// Pointers a lookup returns stay valid until the list next changes.
class KX_EXPORT CkxKeywordLinkList {
public:
    using Record = CkxKeywordLink;

    CkxKeywordLinkList() = default;
    // Takes links in any order; they are grouped by file, each file's in the given order.
    explicit CkxKeywordLinkList(std::vector<CkxKeywordLink> links);

    // Adds a copy after the file's links already there; duplicates are allowed. Returns 1.
    // Links that come in file order (a loaded or received list) are appended in constant time.
    int AddTail(const CkxKeywordLink& link);
    // The first link with the same pair, or null.
    CkxKeywordLink* Find(const CkxKeywordLink& link) const;
    // Adds a copy only when the pair is not there yet: 1 when added, 0 otherwise.
    int Set(const CkxKeywordLink& link);
    // Removes every link with the same pair; returns how many.
    int Delete(const CkxKeywordLink& link);
    // Removes every link of the file; returns how many.
    int DeleteObj(int fileId);
    // Replaces the file's links: removes them, then adds a copy of every link of the given
    // list, whatever file they carry. Given this list itself, nothing changes.
    void Set(int fileId, const CkxKeywordLinkList& links);
    // Stamps every link with the file id (a new file's links once the server has numbered it).
    void SetFile(unsigned long fileId);
    // Clears out, appends the keyword ids of the file's links in the order they were added;
    // returns the count.
    int GetFileKeyword(int fileId, std::vector<int>& out) const;
    // The first link (of the lowest file id), or null when the list is empty.
    CkxKeywordLink* GetHead() const;

    void DeleteAll() { m_links.clear(); }
    int GetCount() const { return static_cast<int>(m_links.size()); }
    bool IsEmpty() const { return m_links.empty(); }
    // Visits every link, file by file.
    template <class F>
    void ForEach(F&& f) const {
        for (const CkxKeywordLink& l : m_links) f(l);
    }

private:
    // The range of the file's links in m_links.
    std::pair<size_t, size_t> FileRange(int fileId) const;

    // Ordered by m_nFileID; equal file ids in the order added.
    std::vector<CkxKeywordLink> m_links;
};
