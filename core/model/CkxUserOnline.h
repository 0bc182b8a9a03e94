// The ids of the users that are logged on, in log-on order; a user may stand twice.
#pragma once

#include "model/KxExport.h"

#include <algorithm>
#include <vector>

class KX_EXPORT CkxUserOnline {
public:
    virtual ~CkxUserOnline() = default;
    void AddTail(int userId) { m_list.push_back(userId); }
    // Removes the first occurrence.
    void Delete(int userId) {
        auto it = std::find(m_list.begin(), m_list.end(), userId);
        if (it != m_list.end()) m_list.erase(it);
    }
    int IsValid(int userId) const {
        return std::find(m_list.begin(), m_list.end(), userId) != m_list.end() ? 1 : 0;
    }
    void DeleteAll() { m_list.clear(); }
    int GetCount() const { return static_cast<int>(m_list.size()); }
    const std::vector<int>& GetList() const { return m_list; }

private:
    std::vector<int> m_list;
};
