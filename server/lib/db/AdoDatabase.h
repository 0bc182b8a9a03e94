// The server's one catalogue connection, on a SQLite file or a PostgreSQL database: opening,
// the silent reconnect with the remembered connection text, statements, and the builders
// that turn field lists into INSERT, UPDATE and DELETE statements. Failures are returned (and
// logged as server warnings), never thrown and never shown: the start-up dialogs show GetLastError() themselves.
#pragma once

#include "db/AdoFieldList.h"
#include "db/AdoVariant.h"
#include "model/CkxXXX.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CADORecordset;
class DbEngine;
struct DbRows;

// The kinds are the core's KxDatabaseKind (1 PostgreSQL, 2 SQLite); a connection that was never
// opened has none.
constexpr int kDbKindNone = 0;

class CADODatabase {
public:
    CADODatabase();
    ~CADODatabase();
    CADODatabase(const CADODatabase&) = delete;
    CADODatabase& operator=(const CADODatabase&) = delete;

    // Connection texts. SQLite: "file:" + the path (a URI; the file must exist). PostgreSQL:
    // libpq keywords host, dbname, user, password (an empty server means the local socket).
    static std::string SqliteConnectionString(const std::string& path);
    static std::string PostgresConnectionString(const std::string& catalog,
                                                const std::string& server,
                                                const std::string& user,
                                                const std::string& password);

    // Opens the connection text (an empty text reuses the remembered one; a non-empty one
    // becomes the remembered one). A "file:" text opens SQLite, any other PostgreSQL. User and
    // password, when given, are added to a PostgreSQL text. 1 on success, else 0 with the
    // reason logged and kept in GetLastError().
    int Connect(const std::string& connection, const std::string& user,
                const std::string& password);
    // The server database (PostgreSQL): closes an open connection, then connects.
    int OpenSqlServer(const std::string& catalog, const std::string& server,
                      const std::string& user, const std::string& password);
    // The catalogue file (SQLite): closes an open connection, then connects. A missing file
    // is an error; opening never creates one.
    int OpenAccess(const std::string& path);
    // Sets the kind (1 PostgreSQL, 2 SQLite) and the remembered connection text.
    void SetDatabaseKind(int kind, const std::string& connection);
    int GetDatabaseKind() const;
    std::string GetConnectionString() const;
    std::string GetLastError() const;

    // The database's own quick integrity check (SQLite's quick_check; a PostgreSQL server
    // keeps its pages itself and passes). 1 when sound; 0 with what it found in `detail`.
    // Tables named in `skip` are left out: every other table, with its indexes, is checked on
    // its own (quick_check of a table), which spares reading the skipped tables' pages; the
    // schema is read to list the tables. With nothing to skip the whole file is checked.
    int QuickCheck(std::string& detail, const std::vector<std::string>& skip = {});

    // Gathers the query planner's statistics (ANALYZE); with `onlyWhenMissing` a catalogue that
    // already has them is left alone. 1 when they are in place.
    int GatherStatistics(bool onlyWhenMissing);

    // True while the connection is open and its link alive.
    int IsOpen();
    void Close();

    // Runs a statement that returns no rows; reconnects first when the link is closed.
    // 1 on success (the changed-row count in GetRecordsAffected()), 0 on failure.
    int Execute(const std::string& sql);
    long GetRecordsAffected() const { return m_affected.load(); }
    // Opens a statement into the recordset; reconnects first. 1 when the recordset is open.
    int Query(const std::string& sql, CADORecordset& rs);
    // Opens a statement as a forward cursor: rows are read as the reader steps, so a reader
    // that stops early reads no more (see CADORecordset::OpenForward). 1 when open.
    int QueryForward(const std::string& sql, CADORecordset& rs);
    // Reads every row of a statement whose first `columns` columns are whole numbers (NULL reads
    // as 0) into `row`, with no recordset between: for tables of numbers read whole at start-up.
    // The rows read, or -1 on failure (logged).
    long EachNumberRow(const std::string& sql, int columns, const std::function<void(const int64_t* numbers)>& row);
    // Runs a script of several statements (the catalogue schema).
    int ExecuteScript(const std::string& sql);

    // Statement builders.
    // New row's id (> 0), taken from the insert itself; when the row has none, the value of
    // an entry named "T_ID"; 0 when not connected or the statement fails; -1 for no fields.
    int Insert(const std::string& table, const CADOFieldList& fields);
    int Update(const std::string& table, const CADOFieldList& set, const CADOFieldList& where);
    int Delete(const std::string& table, int id);
    // New row's id through bound values (binary columns included); -1 on failure.
    int InsertRecord(const std::string& table, const CADOColumnList& columns);
    // Writes the columns into the first row that matches the conditions; 1 or 0.
    int UpdateRecord(const std::string& table, const CADOFieldList& where,
                     const CADOColumnList& columns);
    // Reads the largest T_ID of the table (0 for an empty table); it makes no id. -1 on
    // failure; 0 before any open.
    int GetNewID(const std::string& table);
    // An id for a row of the table that is yet to be inserted (with an explicit T_ID), so that
    // what the row will name can be put in place before the row is written. No two calls give
    // the same id, and no id a row ever had; one never inserted is just skipped. SQLite: counted
    // on in memory from the larger of the table's largest id and its AUTOINCREMENT mark, so
    // every insert into the table must take its id here. PostgreSQL: the column's sequence.
    // 0 when the database cannot tell.
    int ReserveID(const std::string& table);

    static std::string BuildWhere(const CADOFieldList& where);
    static std::string FormatDate(const COleDateTime& dt) { return kx::SqlDate(dt); }
    // The statement texts the builders run (INSERT without the clause that returns the row).
    static std::string InsertText(const std::string& table, const CADOFieldList& fields);
    static std::string UpdateText(const std::string& table, const CADOFieldList& set,
                                  const CADOFieldList& where);
    static std::string DeleteText(const std::string& table, int id);

private:
    friend class CADORecordset;
    friend class CADOTransaction;

    // With the lock held: reconnects when needed; false when it cannot.
    bool EnsureOpenLocked();
    bool RunLocked(const std::string& sql, const std::vector<CADOVariant>& params, DbRows* rows);
    void Fail(const std::string& what, const std::string& detail);
    std::string Marker(int n) const;

    mutable std::recursive_mutex m_mutex;
    std::unique_ptr<DbEngine> m_engine;
    std::string m_connection; // remembered connection text
    int m_kind = kDbKindNone;
    std::atomic<long> m_affected{0}; // read by callers without the connection lock
    bool m_inTransaction = false;
    std::string m_lastError;
    // SQLite: the next id ReserveID gives, per table, for the catalogue m_idsOf names.
    std::map<std::string, int64_t> m_nextIds;
    std::string m_idsOf;
};

// One transaction on the connection: other threads wait until it ends. Commit() makes the
// changes last; leaving the scope without it rolls them back.
class CADOTransaction {
public:
    explicit CADOTransaction(CADODatabase& db);
    ~CADOTransaction();
    CADOTransaction(const CADOTransaction&) = delete;
    CADOTransaction& operator=(const CADOTransaction&) = delete;

    int IsActive() const { return m_active ? 1 : 0; }
    int Commit();

private:
    CADODatabase& m_db;
    std::unique_lock<std::recursive_mutex> m_lock;
    bool m_active = false;
};
