// Small pieces the per-table operations share: the " T_ID = id" condition, the reading of an
// insert builder's result as a new id (put into the record that was stored), and the reading of
// a statement's rows into a list through a table's row reader.
#pragma once

#include "db/AdoDatabase.h"
#include "db/AdoFieldList.h"
#include "db/AdoRecordset.h"

#include <string>

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

// Opens the statement and hands every row to `row` as it is read (no copy of all rows is
// held); -1 when it cannot be opened or fails part way, else the rows visited.
template <class F> int EachRow(CADODatabase& db, const std::string& sql, F&& row) {
    CADORecordset rs;
    if (!db.QueryForward(sql, rs)) return -1;
    int n = 0;
    for (; !rs.IsEOF(); rs.MoveNext(), ++n) row(rs);
    return rs.HasFailed() ? -1 : n;
}

// Reads the rows into a temporary list first, so a failed statement leaves `list` untouched;
// then `list` holds exactly the rows read. `make` gives a record, or an empty optional for a
// row that must not be loaded. The count of the list, or -1.
template <class List, class F> int LoadList(CADODatabase& db, const std::string& sql, List& list, F&& make) {
    List fresh;
    auto add = [&](const CADORecordset& rs) {
        auto r = make(rs);
        if constexpr (requires { r.has_value(); }) {
            if (r) fresh.AddTail(*r);
        } else {
            fresh.AddTail(r);
        }
    };
    if (EachRow(db, sql, add) < 0) return -1;
    list.DeleteAll();
    while (auto* r = fresh.RemoveHead()) list.AddTail(r);
    return list.GetCount();
}

} // namespace kx
