// The operation log table VUZO_Log: lines written one at a time, deleted up to a day, and read
// back by level, category, user and period.
#pragma once

#include "base/OleDate.h"
#include "model/CkxLog.h"

#include <cstddef>

class CADODatabase;

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
// Deletes every line up to the end of the date's day; 1, or 0 (also for an unusable date).
int DeleteThrough(CADODatabase& db, const COleDateTime& date);
// The lines matching the filter (0 fields and an unusable or reversed period match anything),
// in time order, appended to `out`; their count, or -1 when the table cannot be read.
int Query(CADODatabase& db, const CkxLog& filter, CkxLogList& out);

} // namespace LogTable
