// The engine under the database connection: one SQLite file or one PostgreSQL session. The
// connection object serialises every call; an engine is never used by two threads at once.
#pragma once

#include "db/AdoVariant.h"

#include <memory>
#include <string>
#include <vector>

// Rows of a statement, fetched whole (the recordsets are client-side static cursors).
struct DbRows {
    std::vector<std::string> names;
    std::vector<std::vector<CADOVariant>> rows;
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
    // Runs a script of several statements (schema files).
    virtual bool RunScript(const std::string& sql, std::string& error) = 0;
    // Text of the n-th parameter marker (n from 1).
    virtual std::string Marker(int n) const = 0;
};

std::unique_ptr<DbEngine> MakeSqliteEngine();
std::unique_ptr<DbEngine> MakePostgresEngine();
