// The operation log table VUZO_Log: lines written one at a time, deleted up to a day, and read
// back by level, category, user and period.
#pragma once

#include "base/OleDate.h"
#include "model/CkxLog.h"

#include <cstddef>
#include <cstdint>
#include <string>

class CADODatabase;

// Categories of log lines (T_Type); 0 means any in a filter.
enum KxLogCategory : uint8_t {
    KXLOG_CAT_ANY = 0,
    KXLOG_CAT_OTHER = 1,       // "其它": server start
    KXLOG_CAT_LOGON = 2,       // "用户登录"
    KXLOG_CAT_USERADMIN = 3,   // "用户管理": users and user roles
    KXLOG_CAT_SYSADMIN = 4,    // "系统管理": families, file and folder roles, persons
    KXLOG_CAT_DIRADMIN = 10,   // "目录管理": folders
    KXLOG_CAT_FILEADMIN = 20,  // "文件管理": bookmarks, shares, keywords, templates, projects
};


// Longest event text stored, in GBK bytes; a cut double-byte character is dropped whole.
constexpr size_t kLogEventMax = 90;

namespace kx {
// Whether an 8-byte date from the network is a date the calendar can hold.
bool IsUsableDate(double date);
} // namespace kx

namespace LogTable {

// Stores the line with the current time (its event cut to kLogEventMax GBK bytes) and puts the
// new id into it; 1, or 0.
int Insert(CADODatabase& db, CkxLog& log);
// Stores "<userName> action" at the level (KXLOG_INFO or KXLOG_WARN) in the category; 1, or 0.
int InsertLine(CADODatabase& db, uint8_t level, uint8_t category, int32_t userId, const std::string& userName,
               const std::string& action);
// Deletes every line up to the end of the date's day; 1, or 0 (also for an unusable date).
int DeleteThrough(CADODatabase& db, const COleDateTime& date);
// The lines matching the filter (0 fields and an unusable or reversed period match anything),
// in time order, appended to `out`; their count, or -1 when the table cannot be read.
int Query(CADODatabase& db, const CkxLog& filter, CkxLogList& out);

} // namespace LogTable
