#include "service/OperationLog.h"

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "base/Gbk.h"
#include "service/RequestIO.h"
#include "session/CServerSession.h"

#include <cmath>

namespace {

int WriteLevel(CADODatabase* db, uint8_t level, int32_t userId, const std::string& userName,
               const std::string& action, uint8_t category) {
    CkxLog log;
    log.m_nLev = level;
    log.m_nType = category;
    log.m_nTypeSub = 0;
    log.m_strEvent = "<" + userName + "> " + action;
    log.m_nUser = userId;
    return InsertLog(db, log);
}

bool IsOpen(CADODatabase* db) { return db && db->IsOpen(); }

} // namespace

int WriteLog(CADODatabase* db, int32_t userId, const std::string& userName, const std::string& action,
             uint8_t category) {
    return WriteLevel(db, KXLOG_INFO, userId, userName, action, category);
}

int WriteLogWarning(CADODatabase* db, int32_t userId, const std::string& userName,
                    const std::string& action, uint8_t category) {
    return WriteLevel(db, KXLOG_WARN, userId, userName, action, category);
}

int InsertLog(CADODatabase* db, CkxLog& log) {
    if (!IsOpen(db)) return 0;
    log.m_dtTime = COleDateTime::GetCurrentTime();
    CADOFieldList fields;
    fields.AddInt("T_Lev", log.m_nLev);
    fields.AddInt("T_Type", log.m_nType);
    fields.AddInt("T_TypeSub", log.m_nTypeSub);
    // At most 90 GBK bytes, never ending inside a character.
    fields.AddText("T_Event", kx::FitText(log.m_strEvent, kLogEventMax + 1));
    fields.AddDate("T_Time", log.m_dtTime);
    fields.AddInt("T_DoUser", log.m_nUser);
    const int id = db->Insert("VUZO_Log", fields);
    if (id <= 0) return 0;
    log.m_nID = id;
    return 1;
}

int DeleteLogBefore(CADODatabase* db, const COleDateTime& date) {
    if (!IsOpen(db)) return 0;
    const COleDateTime cutoff(date.GetYear(), date.GetMonth(), date.GetDay(), 23, 59, 59);
    if (cutoff.GetStatus() != COleDateTime::valid) return 0;
    return db->Execute(" DELETE FROM VUZO_Log WHERE T_Time <= " + CADODatabase::FormatDate(cutoff) + " ");
}

int QueryLog(CADODatabase* db, const CkxLog& filter, CkxLogList& out) {
    if (!IsOpen(db)) return 0;
    CADOFieldList where;
    if (filter.m_nLev != 0) where.AddInt(" T_Lev = ", filter.m_nLev);
    if (filter.m_nType != 0) where.AddInt(" T_Type = ", filter.m_nType);
    if (filter.m_nTypeSub != 0) where.AddInt(" T_TypeSub = ", filter.m_nTypeSub);
    if (filter.m_nUser > 0) where.AddInt(" T_DoUser = ", filter.m_nUser);
    const auto usable = [](const COleDateTime& d) {
        return d.GetStatus() == COleDateTime::valid && d.m_dt != 0 && kx::IsUsableDate(d.m_dt);
    };
    if (usable(filter.m_dtTime) && usable(filter.m_dtEnd) && filter.m_dtTime < filter.m_dtEnd) {
        where.AddDate(" T_Time >= ", filter.m_dtTime);
        where.AddDate(" T_Time <= ", filter.m_dtEnd);
    }
    CADORecordset rs;
    const std::string sql = " SELECT * FROM VUZO_Log " + CADODatabase::BuildWhere(where) + " ORDER BY T_Time ";
    if (!db->Query(sql, rs)) return -1;
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

void HandleLogDelete(KxRequest& request) {
    double date = 0;
    if (!kx::ReadRequestRecord(request, date)) return;
    if (!kx::IsUsableDate(date)) {
        kx::ServerWarning("log prune refused: the date is not a usable date");
        return;
    }
    DeleteLogBefore(&request.db, COleDateTime(date));
}

void HandleLogQuery(KxRequest& request) {
    CkxLog::_COM com;
    if (!kx::ReadRequestRecord(request, com)) return;
    CkxLog filter(com);
    // Dates from the network that the calendar cannot hold take no part in the filter.
    if (!kx::IsUsableDate(com.dtTime)) filter.m_dtTime = COleDateTime();
    if (!kx::IsUsableDate(com.dtEnd)) filter.m_dtEnd = COleDateTime();
    CkxLogList lines;
    if (QueryLog(&request.db, filter, lines) <= 0) return;
    // One record per packet, so any number of lines arrives whole.
    NetPacketSeries series(kx::kMsgLogQuery, kx::kSubNone, 0);
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CkxLog::_COM line = lines.GetNext(p).GetComData();
        series.AddBytes(&line, sizeof line);
    }
    kx::SendListAnswer(request.session, series);
}

namespace kx {

int LogRequest(const KxRequest& request, const std::string& action, uint8_t category, bool warning) {
    const CServerSession& s = request.session;
    return warning ? WriteLogWarning(&request.db, s.GetUserID(), s.GetUserName(), action, category)
                   : WriteLog(&request.db, s.GetUserID(), s.GetUserName(), action, category);
}

bool IsUsableDate(double date) {
    if (!std::isfinite(date)) return false;
    // Years 100 to 9999, the calendar's range.
    return date >= -657434.0 && date < 2958466.0;
}

} // namespace kx
