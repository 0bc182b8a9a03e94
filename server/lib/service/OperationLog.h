// The operation log (table VUZO_Log): the two writers every changing handler calls, the prune
// and the filtered query, and the console's requests for them (types 50 and 51).
#pragma once

#include "model/CkxLog.h"
#include "base/OleDate.h"
#include "table/LogTable.h"

#include <cstdint>
#include <string>

class CADODatabase;
struct KxRequest;

// Writes "<user> action" with level 1 (normal) or 2 (warning, used for deletions). 1 when the
// line was stored; 0 when the connection is missing or closed or the insert failed.
int WriteLog(CADODatabase* db, int32_t userId, const std::string& userName, const std::string& action,
             uint8_t category);
int WriteLogWarning(CADODatabase* db, int32_t userId, const std::string& userName,
                    const std::string& action, uint8_t category);
// Stamps the line with the current local time and stores it (event cut to 90 bytes).
int InsertLog(CADODatabase* db, CkxLog& log);

// Deletes every line up to 23:59:59 of the date's day; the statement's result, 0 when the
// connection is missing or not open.
int DeleteLogBefore(CADODatabase* db, const COleDateTime& date);
// Appends the lines that match the filter (level, category, sub-category, acting user, time
// range when both ends are valid and in order), ordered by time; the number appended, 0 when
// the connection is missing or closed, -1 when the query fails.
int QueryLog(CADODatabase* db, const CkxLog& filter, CkxLogList& out);

// Type 50: the payload's 8-byte date; no answer.
void HandleLogDelete(KxRequest& request);
// Type 51: the payload's 88-byte filter; the matching lines to the requester as a packet series
// (type 51, sub-operation 0) of one record each; nothing when none match.
void HandleLogQuery(KxRequest& request);

namespace kx {
// The line a handler writes after it applied a change: the session's user id and name, level
// 2 when `warning`.
int LogRequest(const KxRequest& request, const std::string& action, uint8_t category,
               bool warning = false);
} // namespace kx
