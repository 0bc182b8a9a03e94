#include "service/OperationLog.h"

#include "db/AdoDatabase.h"
#include "service/RequestIO.h"
#include "table/LogTable.h"
#include "session/CServerSession.h"

namespace {

bool IsOpen(CADODatabase* db) { return db && db->IsOpen(); }

int WriteLevel(CADODatabase* db, uint8_t level, int32_t userId, const std::string& userName,
               const std::string& action, uint8_t category) {
    return IsOpen(db) ? LogTable::InsertLine(*db, level, category, userId, userName, action) : 0;
}

} // namespace

int WriteLog(CADODatabase* db, int32_t userId, const std::string& userName, const std::string& action,
             uint8_t category) {
    return WriteLevel(db, KXLOG_INFO, userId, userName, action, category);
}

int WriteLogWarning(CADODatabase* db, int32_t userId, const std::string& userName,
                    const std::string& action, uint8_t category) {
    return WriteLevel(db, KXLOG_WARN, userId, userName, action, category);
}

int InsertLog(CADODatabase* db, CkxLog& log) { return IsOpen(db) ? LogTable::Insert(*db, log) : 0; }

int DeleteLogBefore(CADODatabase* db, const COleDateTime& date) {
    return IsOpen(db) ? LogTable::DeleteThrough(*db, date) : 0;
}

int QueryLog(CADODatabase* db, const CkxLog& filter, CkxLogList& out) {
    return IsOpen(db) ? LogTable::Query(*db, filter, out) : 0;
}

void HandleLogDelete(KxRequest& request) {
    double date = 0;
    if (!kx::ReadRequestRecord(request, date)) return;
    if (!kx::IsUsableDate(date)) {
        kx::ServerWarning("log prune refused: the date is not a usable date");
        return;
    }
    const COleDateTime day(date);
    if (DeleteLogBefore(&request.db, day) <= 0) return;
    // The prune leaves its own line: who removed the log, up to which day.
    kx::LogRequest(request, "删除" + std::to_string(day.GetYear()) + "-" + std::to_string(day.GetMonth()) + "-" +
                                std::to_string(day.GetDay()) + "及以前的日志",
                   KXLOG_CAT_SYSADMIN, true);
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

} // namespace kx
