#include "dlg/CKeywordPicking.h"

#include <algorithm>

namespace {

bool Move(std::vector<int>& from, std::vector<int>& to, int id) {
    const auto it = std::find(from.begin(), from.end(), id);
    if (it == from.end()) return false;
    from.erase(it);
    to.push_back(id);
    return true;
}

bool Holds(const std::vector<int>& set, int id) { return std::find(set.begin(), set.end(), id) != set.end(); }

} // namespace

void CKeywordPicking::Reset(std::vector<int> available) {
    m_available.clear();
    m_bound.clear();
    // One entry per id, whatever the cache held.
    for (int id : available)
        if (!Holds(m_available, id)) m_available.push_back(id);
}

bool CKeywordPicking::Bind(int id) { return Move(m_available, m_bound, id); }

bool CKeywordPicking::Unbind(int id) { return Move(m_bound, m_available, id); }

int CKeywordPicking::BindWhere(const std::function<bool(int)>& pass) {
    std::vector<int> chosen;
    for (int id : m_available)
        if (pass(id)) chosen.push_back(id);
    for (int id : chosen) Bind(id);
    return static_cast<int>(chosen.size());
}

int CKeywordPicking::UnbindAll() {
    const std::vector<int> bound = m_bound;
    for (int id : bound) Unbind(id);
    return static_cast<int>(bound.size());
}

void CKeywordPicking::Forget(int id) {
    std::erase(m_available, id);
    std::erase(m_bound, id);
}

bool CKeywordPicking::Offer(int id) {
    if (Holds(m_available, id) || Holds(m_bound, id)) return false;
    m_available.push_back(id);
    return true;
}

void CKeywordPicking::Keep(const std::vector<int>& existing) {
    const auto gone = [&](int id) { return !Holds(existing, id); };
    std::erase_if(m_available, gone);
    std::erase_if(m_bound, gone);
    for (int id : existing) Offer(id);
}
