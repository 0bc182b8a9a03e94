#include "data/CDataLoaderList.h"

#include <algorithm>

std::vector<CDataLoaderList::Step>::iterator CDataLoaderList::FindStep(const std::string& name) {
    return std::find_if(m_steps.begin(), m_steps.end(),
                        [&](const Step& s) { return s.name == name; });
}

void CDataLoaderList::Add(const std::string& name, Loader load, bool checked) {
    auto it = FindStep(name);
    if (it != m_steps.end()) {
        it->load = std::move(load);
        it->checked = checked;
        return;
    }
    m_steps.push_back(Step{name, std::move(load), checked});
}

void CDataLoaderList::InsertAfter(const std::string& after, const std::string& name, Loader load,
                                  bool checked) {
    Remove(name);
    auto it = FindStep(after);
    if (it != m_steps.end()) ++it;
    m_steps.insert(it, Step{name, std::move(load), checked});
}

int CDataLoaderList::Replace(const std::string& name, Loader load) {
    auto it = FindStep(name);
    if (it == m_steps.end()) return 0;
    it->load = std::move(load);
    return 1;
}

int CDataLoaderList::Remove(const std::string& name) {
    auto it = FindStep(name);
    if (it == m_steps.end()) return 0;
    m_steps.erase(it);
    return 1;
}

std::vector<std::string> CDataLoaderList::Names() const {
    std::vector<std::string> names;
    for (const Step& s : m_steps) names.push_back(s.name);
    return names;
}

int CDataLoaderList::Run(CADODatabase& db, std::string* failed) const {
    for (const Step& s : m_steps) {
        const int result = s.load ? s.load(db) : 0;
        if (s.checked && result < 0) {
            if (failed) *failed = s.name;
            return 0;
        }
    }
    if (failed) failed->clear();
    return 1;
}
