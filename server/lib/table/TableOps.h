// Small pieces the per-table operations share: the " T_ID = id" condition and the reading of an
// insert builder's result as a new id (put into the record that was stored).
#pragma once

#include "db/AdoFieldList.h"

namespace kx {

inline CADOFieldList WhereId(int id) {
    CADOFieldList where;
    where.AddInt(" T_ID = ", id);
    return where;
}

// The builders answer -1 or 0 when no row was stored; a stored row's id is above 0.
inline int NewRowId(int builderResult) { return builderResult > 0 ? builderResult : 0; }

// 1 with the new id put into the record when the builder stored a row, else 0 (record unchanged).
template <class T> int StoreNewId(T& rec, int builderResult) {
    const int id = NewRowId(builderResult);
    if (id == 0) return 0;
    rec.m_nID = id;
    return 1;
}

} // namespace kx
