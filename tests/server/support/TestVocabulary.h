// The small vocabulary the server tests share: the bytes of a record as they travel, the number
// of rows a statement returns, a statement's single number (a COUNT(*)), and the lines of the
// operation log that name an event.
#pragma once

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "model/CkxXXX.h"

#include <string>

namespace srvtest {

// A fixed record's bytes, as a payload or a message piece carries them.
template <class Com> std::string Bytes(const Com& com) {
    return std::string(reinterpret_cast<const char*>(&com), sizeof com);
}

// Rows the statement returns; -1 when it fails.
inline int RowCount(CADODatabase& db, const std::string& sql) {
    CADORecordset rs;
    if (!db.Query(sql, rs)) return -1;
    return rs.GetRecordCount();
}

// The first column of the statement's first row ("SELECT COUNT(*) ..."); -1 when it fails.
inline int QueryInt(CADODatabase& db, const std::string& sql) {
    CADORecordset rs;
    if (!db.Query(sql, rs)) return -1;
    rs.MoveFirst();
    int32_t n = -1;
    rs.GetLongAt(0, n);
    return n;
}

// Operation-log lines whose event contains `event`, of the level and category (-1: any); -1
// when the log cannot be read.
inline int LogLines(CADODatabase& db, const std::string& event, int level = -1, int category = -1) {
    std::string sql = " SELECT * FROM VUZO_Log WHERE T_Event LIKE " + kx::SqlQuote("%" + event + "%");
    if (level >= 0) sql += " AND T_Lev = " + kx::SqlNumber(level);
    if (category >= 0) sql += " AND T_Type = " + kx::SqlNumber(category);
    return RowCount(db, sql);
}

} // namespace srvtest
