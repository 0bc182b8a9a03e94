#include "table/LogTable.h"

#include "base/Gbk.h"
#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"

#include <cmath>

namespace kx {

bool IsUsableDate(double date) {
    if (!std::isfinite(date)) return false;
    // Years 100 to 9999, the calendar's range.
    return date >= -657434.0 && date < 2958466.0;
}

} // namespace kx

namespace LogTable {

int Insert(CADODatabase& db, CkxLog& log) {
    log.m_dtTime = COleDateTime::GetCurrentTime();
    CADOFieldList fields;
    fields.AddInt("T_Lev", log.m_nLev);
    fields.AddInt("T_Type", log.m_nType);
    fields.AddInt("T_TypeSub", log.m_nTypeSub);
    // At most 90 GBK bytes, never ending inside a character.
    fields.AddText("T_Event", kx::FitText(log.m_strEvent, kLogEventMax + 1));
    fields.AddDate("T_Time", log.m_dtTime);
    fields.AddInt("T_DoUser", log.m_nUser);
    const int id = db.Insert("VUZO_Log", fields);
    if (id <= 0) return 0;
    log.m_nID = id;
    return 1;
}

int InsertLine(CADODatabase& db, uint8_t level, uint8_t category, int32_t userId, const std::string& userName,
               const std::string& action) {
    CkxLog log;
    log.m_nLev = level;
    log.m_nType = category;
    log.m_nTypeSub = 0;
    log.m_strEvent = "<" + userName + "> " + action;
    log.m_nUser = userId;
    return Insert(db, log);
}

int DeleteThrough(CADODatabase& db, const COleDateTime& date) {
    const COleDateTime cutoff(date.GetYear(), date.GetMonth(), date.GetDay(), 23, 59, 59);
    if (cutoff.GetStatus() != COleDateTime::valid) return 0;
    return db.Execute(" DELETE FROM VUZO_Log WHERE T_Time <= " + CADODatabase::FormatDate(cutoff) + " ");
}

int Query(CADODatabase& db, const CkxLog& filter, CkxLogList& out) {
    CADOFieldList where;
    if (filter.m_nLev != 0) where.AddInt(" T_Lev = ", filter.m_nLev);
    if (filter.m_nType != 0) where.AddInt(" T_Type = ", filter.m_nType);
    if (filter.m_nTypeSub != 0) where.AddInt(" T_TypeSub = ", filter.m_nTypeSub);
    if (filter.m_nUser > 0) where.AddInt(" T_DoUser = ", filter.m_nUser);
    const auto usable = [](const COleDateTime& d) {
        return d.GetStatus() == COleDateTime::valid && d.m_dt != 0 && kx::IsUsableDate(d.m_dt);
    };
    if (usable(filter.m_dtTime) && usable(filter.m_dtEnd)) {
        // A range whose start is not before its end holds no line; it must not widen to all.
        if (!(filter.m_dtTime < filter.m_dtEnd)) return 0;
        where.AddDate(" T_Time >= ", filter.m_dtTime);
        where.AddDate(" T_Time <= ", filter.m_dtEnd);
    }
    CADORecordset rs;
    const std::string sql = " SELECT * FROM VUZO_Log " + CADODatabase::BuildWhere(where) + " ORDER BY T_Time ";
    if (!db.Query(sql, rs)) return -1;
    int n = 0;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        CkxLog log;
        int32_t id = -1, user = 0;
        rs.GetLong("T_ID", id);
        rs.GetByte("T_Lev", log.m_nLev);
        rs.GetByte("T_Type", log.m_nType);
        rs.GetByte("T_TypeSub", log.m_nTypeSub);
        rs.GetString("T_Event", log.m_strEvent);
        rs.GetDate("T_Time", log.m_dtTime);
        rs.GetLong("T_DoUser", user);
        log.m_nID = id;
        log.m_nUser = user;
        if (!out.AddTail(log)) break;
        ++n;
    }
    return n;
}

} // namespace LogTable
