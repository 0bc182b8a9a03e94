// Small pieces the per-table operations share: the " T_ID = id" condition and the reading of an
// insert builder's result as a new id.
#pragma once

#include "AdoFieldList.h"

namespace kx {

inline CADOFieldList WhereId(int id) {
    CADOFieldList where;
    where.AddInt(" T_ID = ", id);
    return where;
}

// The builders answer -1 or 0 when no row was stored; a stored row's id is above 0.
inline int NewRowId(int builderResult) { return builderResult > 0 ? builderResult : 0; }

} // namespace kx
