// The two keyword sets of a keyword picker: the keywords still available and those bound, each in
// its own order. Binding moves a keyword to the end of the bound set, unbinding back to the end
// of the available set; an id is never in both. Plain ids: the names come from the cache.
#pragma once

#include <functional>
#include <vector>

class CKeywordPicking {
public:
    // Every keyword available, none bound.
    void Reset(std::vector<int> available);
    // Moves the first available keyword with the id to the end of the bound set; false when it
    // is not available (already bound, or unknown).
    bool Bind(int id);
    // The same from the bound set back to the available set.
    bool Unbind(int id);
    // Binds every available keyword that passes, in set order; returns how many.
    int BindWhere(const std::function<bool(int)>& pass);
    // Unbinds every bound keyword, in set order; returns how many.
    int UnbindAll();
    // A keyword that no longer exists leaves both sets.
    void Forget(int id);
    // A new keyword joins the available set, unless one of the sets holds it already.
    bool Offer(int id);
    // After the keywords were reloaded: drops what the new list lacks, offers what it adds.
    void Keep(const std::vector<int>& existing);

    const std::vector<int>& Available() const { return m_available; }
    const std::vector<int>& Bound() const { return m_bound; }

private:
    std::vector<int> m_available;
    std::vector<int> m_bound;
};
