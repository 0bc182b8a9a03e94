#include "model/CkxKeywordLink.h"

#include <algorithm>

namespace {

// An object rather than a function, so the sort of a whole catalogue's links compares inline.
constexpr struct {
    bool operator()(const CkxKeywordLink& a, const CkxKeywordLink& b) const { return a.m_nFileID < b.m_nFileID; }
} FileBefore;

} // namespace

CkxKeywordLinkList::CkxKeywordLinkList(std::vector<CkxKeywordLink> links) : m_links(std::move(links)) {
    // Stable: each file's links keep the order they came in.
    if (!std::is_sorted(m_links.begin(), m_links.end(), FileBefore))
        std::stable_sort(m_links.begin(), m_links.end(), FileBefore);
}

std::pair<size_t, size_t> CkxKeywordLinkList::FileRange(int fileId) const {
    const CkxKeywordLink key(fileId, 0);
    const auto [from, to] = std::equal_range(m_links.begin(), m_links.end(), key, FileBefore);
    return {static_cast<size_t>(from - m_links.begin()), static_cast<size_t>(to - m_links.begin())};
}

int CkxKeywordLinkList::AddTail(const CkxKeywordLink& link) {
    if (m_links.empty() || m_links.back().m_nFileID <= link.m_nFileID) {
        m_links.push_back(link);
    } else {
        m_links.insert(std::upper_bound(m_links.begin(), m_links.end(), link, FileBefore), link);
    }
    return 1;
}

CkxKeywordLink* CkxKeywordLinkList::Find(const CkxKeywordLink& link) const {
    const auto [from, to] = FileRange(link.m_nFileID);
    for (size_t i = from; i < to; ++i)
        if (m_links[i].SamePair(link)) return const_cast<CkxKeywordLink*>(&m_links[i]);
    return nullptr;
}

CkxKeywordLink* CkxKeywordLinkList::GetHead() const {
    return m_links.empty() ? nullptr : const_cast<CkxKeywordLink*>(&m_links.front());
}

int CkxKeywordLinkList::Set(const CkxKeywordLink& link) {
    if (Find(link)) return 0;
    return AddTail(link);
}

int CkxKeywordLinkList::Delete(const CkxKeywordLink& link) {
    const CkxKeywordLink pair = link; // the argument may be one of the links removed
    const auto [from, to] = FileRange(pair.m_nFileID);
    const auto first = m_links.begin() + static_cast<std::ptrdiff_t>(from);
    const auto last = m_links.begin() + static_cast<std::ptrdiff_t>(to);
    const auto kept = std::remove_if(first, last, [&pair](const CkxKeywordLink& r) { return r.SamePair(pair); });
    const int removed = static_cast<int>(last - kept);
    m_links.erase(kept, last);
    return removed;
}

int CkxKeywordLinkList::DeleteObj(int fileId) {
    const auto [from, to] = FileRange(fileId);
    m_links.erase(m_links.begin() + static_cast<std::ptrdiff_t>(from), m_links.begin() + static_cast<std::ptrdiff_t>(to));
    return static_cast<int>(to - from);
}

void CkxKeywordLinkList::Set(int fileId, const CkxKeywordLinkList& links) {
    // Given itself, the list already holds the links it is asked to take.
    if (&links == this) return;
    DeleteObj(fileId);
    for (const CkxKeywordLink& l : links.m_links) AddTail(l);
}

void CkxKeywordLinkList::SetFile(unsigned long fileId) {
    // Every link then carries one file id: the order stays valid.
    const int id = static_cast<int>(fileId);
    for (CkxKeywordLink& l : m_links) l.m_nFileID = id;
}

int CkxKeywordLinkList::GetFileKeyword(int fileId, std::vector<int>& out) const {
    out.clear();
    const auto [from, to] = FileRange(fileId);
    for (size_t i = from; i < to; ++i) out.push_back(m_links[i].m_nKeywordID);
    return static_cast<int>(out.size());
}
