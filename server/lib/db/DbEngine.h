// The engine under the database connection: one SQLite file or one PostgreSQL session. The
// connection object serialises every call; an engine is never used by two threads at once.
#pragma once

#include "db/AdoVariant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Rows of a statement, fetched whole (the recordsets are client-side static cursors).
struct DbRows {
    std::vector<std::string> names;
    std::vector<std::vector<CADOVariant>> rows;
};

// One statement's rows read one at a time, for readers that may stop early (lists that end at
// what they send) or that keep only a few fields of each row (start-up loads). The engine it
// came from must outlive it and runs no other statement's rows through it.
class DbCursor {
public:
    virtual ~DbCursor() = default;
    const std::vector<std::string>& Names() const { return m_names; }
    // The next row into `row` (resized to the column count); false at the end, or on failure
    // with the engine's message in `error`.
    virtual bool Next(std::vector<CADOVariant>& row, std::string& error) = 0;

protected:
    std::vector<std::string> m_names;
};

class DbEngine {
public:
    virtual ~DbEngine() = default;

    // Opens the connection text; false with a reason when it cannot be opened or used.
    virtual bool Open(const std::string& text, std::string& error) = 0;
    virtual void Close() = 0;
    // True when the connection is open and its link is still alive.
    virtual bool IsOpen() = 0;
    // Runs one statement with its parameters bound in order; rows (when asked for) and the
    // number of rows the statement changed. False with the engine's message on failure.
    virtual bool Run(const std::string& sql, const std::vector<CADOVariant>& params, DbRows* rows,
                     long& affected, std::string& error) = 0;
    // Opens a statement for reading row by row; null with the engine's message on failure.
    virtual std::unique_ptr<DbCursor> OpenCursor(const std::string& sql, std::string& error) = 0;
    // Reads every row of a statement whose first `columns` columns are whole numbers (a NULL
    // reads as 0), handing each row's numbers to `row`: for tables read whole at start-up, with
    // no value objects made per cell. False with the engine's message on failure.
    virtual bool EachNumberRow(const std::string& sql, int columns,
                               const std::function<void(const int64_t* numbers)>& row, std::string& error);
    // Runs a script of several statements (schema files).
    virtual bool RunScript(const std::string& sql, std::string& error) = 0;
    // Text of the n-th parameter marker (n from 1).
    virtual std::string Marker(int n) const = 0;
};

std::unique_ptr<DbEngine> MakeSqliteEngine();
std::unique_ptr<DbEngine> MakePostgresEngine();
