// Removes and destroys every record of an owning record list that a predicate picks: the one
// walk behind the "delete every record of this file / this linker" operations of the lists.
#pragma once

#include "base/RecordList.h"

namespace kx {

// Returns how many records were removed.
template <class List, class Pred>
int DeleteIf(List& list, Pred pred) {
    int removed = 0;
    for (POSITION p = list.GetHeadPosition(); p;) {
        POSITION at = p;
        auto* r = list.GetNext(p);
        if (!pred(*r)) continue;
        list.RemoveAt(at);
        delete r;
        ++removed;
    }
    return removed;
}

} // namespace kx
