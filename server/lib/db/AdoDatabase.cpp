#include "db/AdoDatabase.h"

#include "db/AdoRecordset.h"
#include "db/DbEngine.h"
#include "log/ServerLog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

namespace {

// Failures go to the server's one warning channel.
void Report(const std::string& line) { kx::ServerWarning("database: %s", line.c_str()); }

// A libpq keyword value: single-quoted with quotes and backslashes escaped.
std::string ConnValue(const std::string& v) {
    std::string out = "'";
    for (char c : v) {
        if (c == '\'' || c == '\\') out += '\\';
        out += c;
    }
    return out + "'";
}

bool IsSqliteText(const std::string& text) { return text.rfind("file:", 0) == 0; }

std::string JoinConditions(const CADOFieldList& where) {
    std::string out;
    for (const auto& e : where.Entries()) {
        if (!out.empty()) out += " AND ";
        out += e.name + e.value;
    }
    return out;
}

} // namespace

CADODatabase::CADODatabase() = default;
CADODatabase::~CADODatabase() { Close(); }

std::string CADODatabase::SqliteConnectionString(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string p = path;
    while (p.size() > 1 && p[0] == '/' && p[1] == '/') p.erase(0, 1); // no URI authority
    std::string out = "file:";
    for (unsigned char c : p) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '.' || c == '_' ||
                           c == '-' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string CADODatabase::PostgresConnectionString(const std::string& catalog,
                                                   const std::string& server,
                                                   const std::string& user,
                                                   const std::string& password) {
    // An empty server is the local one (the Unix socket).
    std::string out;
    if (!server.empty()) out += "host=" + ConnValue(server) + " ";
    out += "dbname=" + ConnValue(catalog);
    if (!user.empty()) out += " user=" + ConnValue(user);
    if (!password.empty()) out += " password=" + ConnValue(password);
    out += " connect_timeout=10";
    return out;
}

void CADODatabase::Fail(const std::string& what, const std::string& detail) {
    m_lastError = detail.empty() ? what : what + ": " + detail;
    Report(m_lastError);
}

int CADODatabase::Connect(const std::string& connection, const std::string& user,
                          const std::string& password) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_engine.reset();
    m_inTransaction = false;
    if (!connection.empty()) m_connection = connection;
    if (m_connection.empty()) {
        Fail("连接数据库失败", "no connection text");
        return 0;
    }
    const bool sqlite = IsSqliteText(m_connection);
    std::string text = m_connection;
    if (!sqlite && !user.empty()) text += " user=" + ConnValue(user);
    if (!sqlite && !password.empty()) text += " password=" + ConnValue(password);
    std::unique_ptr<DbEngine> engine = sqlite ? MakeSqliteEngine() : MakePostgresEngine();
    std::string error;
    if (!engine->Open(text, error)) {
        Fail("连接数据库失败", error);
        return 0;
    }
    m_engine = std::move(engine);
    m_kind = sqlite ? KX_DB_SQLITE : KX_DB_POSTGRESQL;
    m_lastError.clear();
    return 1;
}

int CADODatabase::OpenSqlServer(const std::string& catalog, const std::string& server,
                                const std::string& user, const std::string& password) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Close();
    return Connect(PostgresConnectionString(catalog, server, user, password), "", "");
}

int CADODatabase::OpenAccess(const std::string& path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Close();
    return Connect(SqliteConnectionString(path), "", "");
}

void CADODatabase::SetDatabaseKind(int kind, const std::string& connection) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_kind = kind;
    m_connection = connection;
}

int CADODatabase::GetDatabaseKind() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_kind;
}

std::string CADODatabase::GetConnectionString() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_connection;
}

std::string CADODatabase::GetLastError() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_lastError;
}

int CADODatabase::IsOpen() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_engine && m_engine->IsOpen() ? 1 : 0;
}

void CADODatabase::Close() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_engine) m_engine->Close();
    m_engine.reset();
    m_inTransaction = false;
}

bool CADODatabase::EnsureOpenLocked() {
    if (m_engine && m_engine->IsOpen()) return true;
    // A transaction does not survive a lost link: its statements fail instead of running
    // outside it on a new connection.
    if (m_inTransaction) {
        Fail("statement refused", "the connection was lost inside a transaction");
        return false;
    }
    if (m_connection.empty()) {
        Fail("statement refused", "the database has not been opened");
        return false;
    }
    return Connect("", "", "") == 1;
}

bool CADODatabase::RunLocked(const std::string& sql, const std::vector<CADOVariant>& params,
                             DbRows* rows) {
    if (!EnsureOpenLocked()) return false;
    std::string error;
    long affected = 0;
    if (!m_engine->Run(sql, params, rows, affected, error)) {
        // Values stay out of the log: a failed insert may carry a new account's password.
        Fail("statement failed", kx::DbErrorForLog(error) + " [" + kx::SqlForLog(sql) + "]");
        return false;
    }
    m_affected = affected;
    return true;
}

int CADODatabase::GatherStatistics(bool onlyWhenMissing) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!EnsureOpenLocked()) return 0;
    if (onlyWhenMissing) {
        // SQLite keeps them in a table of their own; PostgreSQL marks a table never analysed
        // with a row estimate of -1 (the file table stands for the catalogue).
        const char* present = m_kind == KX_DB_SQLITE
                                  ? "SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_stat1'"
                                  : "SELECT count(*) FROM pg_class WHERE oid = to_regclass('vuzo_fimage') AND reltuples >= 0";
        DbRows rows;
        std::string error;
        long affected = 0;
        if (m_engine->Run(present, {}, &rows, affected, error) && !rows.rows.empty() && !rows.rows[0].empty() &&
            rows.rows[0][0].GetInt64() > 0)
            return 1;
    }
    if (m_kind == KX_DB_SQLITE) return RunLocked("ANALYZE", {}, nullptr) ? 1 : 0;
    // On a PostgreSQL server only the catalogue's own tables: a bare ANALYZE would walk every
    // table of the database, other catalogues' schemas included.
    DbRows tables;
    if (!RunLocked("SELECT tablename FROM pg_tables WHERE schemaname = current_schema()", {}, &tables)) return 0;
    std::string names;
    for (const auto& row : tables.rows) {
        if (row.empty() || !kx::IsSqlName(row[0].GetBytes())) continue;
        names += (names.empty() ? "" : ", ") + row[0].GetBytes();
    }
    if (names.empty()) return 0;
    return RunLocked("ANALYZE " + names, {}, nullptr) ? 1 : 0;
}

int CADODatabase::QuickCheck(std::string& detail, const std::vector<std::string>& skip) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    detail.clear();
    if (!EnsureOpenLocked()) {
        detail = m_lastError;
        return 0;
    }
    if (m_kind != KX_DB_SQLITE) return 1;
    std::vector<std::string> checks;
    if (skip.empty()) {
        checks.push_back("PRAGMA quick_check");
    } else {
        DbRows tables;
        std::string error;
        long affected = 0;
        if (!m_engine->Run("SELECT name FROM sqlite_master WHERE type = 'table'", {}, &tables, affected, error)) {
            detail = error;
            return 0;
        }
        for (const auto& row : tables.rows) {
            if (row.empty()) continue;
            const std::string name = row[0].GetBytes();
            if (std::find(skip.begin(), skip.end(), name) != skip.end()) continue;
            // Every catalogue table has a plain name; one that has not is no table of ours.
            if (!kx::IsSqlName(name)) continue;
            checks.push_back("PRAGMA quick_check(\"" + name + "\")");
        }
    }
    for (const std::string& check : checks) {
        DbRows rows;
        std::string error;
        long affected = 0;
        if (!m_engine->Run(check, {}, &rows, affected, error)) {
            detail = error;
            return 0;
        }
        // One row "ok" when sound; otherwise one row per problem found.
        if (rows.rows.size() == 1 && !rows.rows[0].empty() && rows.rows[0][0].GetBytes() == "ok") continue;
        for (size_t i = 0; i < rows.rows.size() && i < 5; ++i) {
            if (rows.rows[i].empty()) continue;
            if (!detail.empty()) detail += "; ";
            detail += rows.rows[i][0].GetBytes();
        }
        if (detail.empty()) detail = "the check gave no answer";
        return 0;
    }
    return 1;
}

std::string CADODatabase::Marker(int n) const { return m_engine ? m_engine->Marker(n) : "?"; }

int CADODatabase::Execute(const std::string& sql) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return RunLocked(sql, {}, nullptr) ? 1 : 0;
}

int CADODatabase::Query(const std::string& sql, CADORecordset& rs) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    rs.Close();
    if (!EnsureOpenLocked()) return 0;
    rs.Open(this, sql, CADORecordset::openQuery);
    return rs.IsOpen();
}

int CADODatabase::QueryForward(const std::string& sql, CADORecordset& rs) {
    rs.Close();
    return rs.OpenForward(this, sql);
}

long CADODatabase::EachNumberRow(const std::string& sql, int columns,
                                 const std::function<void(const int64_t* numbers)>& row) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!EnsureOpenLocked()) return -1;
    long n = 0;
    std::string error;
    if (!m_engine->EachNumberRow(sql, columns, [&](const int64_t* numbers) {
            ++n;
            row(numbers);
        }, error)) {
        Fail("statement failed", kx::DbErrorForLog(error) + " [" + kx::SqlForLog(sql) + "]");
        return -1;
    }
    return n;
}

int CADODatabase::ExecuteScript(const std::string& sql) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!EnsureOpenLocked()) return 0;
    std::string error;
    if (!m_engine->RunScript(sql, error)) {
        Fail("script failed", error);
        return 0;
    }
    return 1;
}

// ---- statement builders ----

std::string CADODatabase::InsertText(const std::string& table, const CADOFieldList& fields) {
    std::string names, values;
    for (const auto& e : fields.Entries()) {
        if (!names.empty()) {
            names += " , ";
            values += " , ";
        }
        names += e.name;
        values += e.value;
    }
    return " INSERT INTO " + table + " ( " + names + " ) VALUES ( " + values + " ) ";
}

std::string CADODatabase::UpdateText(const std::string& table, const CADOFieldList& set,
                                     const CADOFieldList& where) {
    std::string sql = " UPDATE " + table + " SET ";
    bool first = true;
    for (const auto& e : set.Entries()) {
        if (!first) sql += " , ";
        first = false;
        sql += e.name + " = " + e.value;
    }
    if (where.GetCount() > 0) sql += " WHERE " + JoinConditions(where);
    return sql;
}

std::string CADODatabase::DeleteText(const std::string& table, int id) {
    return " DELETE FROM " + table + " WHERE T_ID = " + kx::SqlNumber(id) + " ";
}

std::string CADODatabase::BuildWhere(const CADOFieldList& where) {
    if (where.GetCount() == 0) return "";
    for (const auto& e : where.Entries())
        if (e.name.find_first_of("=><!INin") == std::string::npos) return "";
    return " WHERE " + JoinConditions(where);
}

namespace {
// Puts every column of the list into the recordset's pending row, binary ones as one chunk.
bool PutColumns(CADORecordset& rs, const CADOColumnList& columns) {
    for (const auto& e : columns.Entries()) {
        const int ok = e.binary ? rs.AppendBinary(e.name.c_str(), e.value.GetBytes().data(),
                                                  static_cast<int>(e.value.GetBytes().size()))
                                : rs.PutValue(e.name.c_str(), e.value);
        if (!ok) return false;
    }
    return true;
}

// The T_ID of the first row a statement returned, 0 when there is none.
int64_t ReturnedId(const DbRows& rows) {
    if (rows.rows.empty()) return 0;
    for (size_t i = 0; i < rows.names.size(); ++i)
        if (strcasecmp(rows.names[i].c_str(), "T_ID") == 0 &&
            rows.rows[0][i].GetKind() == CADOVariant::Int)
            return rows.rows[0][i].GetInt64();
    return 0;
}
} // namespace

int CADODatabase::Insert(const std::string& table, const CADOFieldList& fields) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!EnsureOpenLocked()) return 0;
    if (fields.GetCount() == 0) return -1;
    if (!kx::IsSqlName(table)) {
        Fail("insert refused", "bad table name");
        return 0;
    }
    // The new id comes back from the insert itself, so concurrent inserts never mix ids.
    DbRows rows;
    if (!RunLocked(InsertText(table, fields) + "RETURNING *", {}, &rows)) return 0;
    const int id = static_cast<int32_t>(ReturnedId(rows));
    if (id > 0) return id;
    if (const auto* e = fields.Find("T_ID")) return std::atoi(e->value.c_str());
    return 0;
}

int CADODatabase::Update(const std::string& table, const CADOFieldList& set,
                         const CADOFieldList& where) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!kx::IsSqlName(table) || set.GetCount() == 0) {
        Fail("update refused", "bad table name or nothing to set");
        return 0;
    }
    return RunLocked(UpdateText(table, set, where), {}, nullptr) ? 1 : 0;
}

int CADODatabase::Delete(const std::string& table, int id) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!kx::IsSqlName(table)) {
        Fail("delete refused", "bad table name");
        return 0;
    }
    return RunLocked(DeleteText(table, id), {}, nullptr) ? 1 : 0;
}

int CADODatabase::GetNewID(const std::string& table) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_kind == kDbKindNone) return 0;
    if (!kx::IsSqlName(table)) return -1;
    DbRows rows;
    if (!RunLocked("SELECT MAX(T_ID) FROM " + table + " ", {}, &rows)) return -1;
    if (rows.rows.empty() || rows.rows[0].empty()) return -1;
    const CADOVariant& v = rows.rows[0][0];
    return v.GetKind() == CADOVariant::Int ? static_cast<int32_t>(v.GetInt64()) : 0;
}

int CADODatabase::ReserveID(const std::string& table) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!kx::IsSqlName(table) || !EnsureOpenLocked()) return 0;
    const auto first = [](const DbRows& rows) -> int64_t {
        if (rows.rows.empty() || rows.rows[0].empty()) return 0;
        const CADOVariant& v = rows.rows[0][0];
        if (v.GetKind() == CADOVariant::Int) return v.GetInt64();
        return v.GetKind() == CADOVariant::Text ? std::atoll(v.GetBytes().c_str()) : 0;
    };
    if (m_kind != KX_DB_SQLITE) {
        DbRows rows;
        if (!RunLocked("SELECT nextval(pg_get_serial_sequence('" + table + "', 't_id'))", {}, &rows)) return 0;
        const int64_t id = first(rows);
        return id > 0 && id <= INT32_MAX ? static_cast<int>(id) : 0;
    }
    // The count belongs to one catalogue: a connection to another file starts it again.
    if (m_idsOf != m_connection) {
        m_nextIds.clear();
        m_idsOf = m_connection;
    }
    auto at = m_nextIds.find(table);
    if (at == m_nextIds.end()) {
        DbRows largest, mark;
        if (!RunLocked("SELECT MAX(T_ID) FROM " + table, {}, &largest)) return 0;
        // No mark yet (a table never written) is no failure; a catalogue without AUTOINCREMENT
        // bookkeeping at all has only its largest id to go by.
        RunLocked("SELECT seq FROM sqlite_sequence WHERE name = " + Marker(1), {CADOVariant(table)}, &mark);
        at = m_nextIds.emplace(table, std::max(first(largest), first(mark)) + 1).first;
    }
    if (at->second > INT32_MAX) return 0;
    return static_cast<int>(at->second++);
}

int CADODatabase::InsertRecord(const std::string& table, const CADOColumnList& columns) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!EnsureOpenLocked()) return -1;
    if (!kx::IsSqlName(table)) {
        Fail("insert refused", "bad table name");
        return -1;
    }
    CADORecordset rs;
    rs.PrepareInsert(this, table);
    rs.AddNew();
    if (!PutColumns(rs, columns)) {
        rs.CancelUpdate();
        return -1;
    }
    if (!rs.Update()) return -1;
    int32_t id = 0;
    if (rs.GetLong("T_ID", id) && id > 0) return id;
    for (const auto& e : columns.Entries()) {
        if (e.name != "T_ID") continue;
        if (e.value.GetKind() == CADOVariant::Int) return static_cast<int32_t>(e.value.GetInt64());
        return e.value.GetKind() == CADOVariant::Text ? std::atoi(e.value.GetBytes().c_str()) : 0;
    }
    return -1;
}

int CADODatabase::UpdateRecord(const std::string& table, const CADOFieldList& where,
                               const CADOColumnList& columns) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!kx::IsSqlName(table)) {
        Fail("update refused", "bad table name");
        return 0;
    }
    std::string sql = " SELECT * FROM " + table;
    if (where.GetCount() > 0) sql += " WHERE " + JoinConditions(where);
    CADORecordset rs;
    if (!Query(sql, rs) || rs.IsEOF()) return 0;
    rs.m_table = table;
    rs.SetEditing();
    if (!PutColumns(rs, columns)) return 0; // Close() drops the pending row
    return rs.Update();
}

// ---- transactions ----

CADOTransaction::CADOTransaction(CADODatabase& db) : m_db(db), m_lock(db.m_mutex) {
    if (!m_db.EnsureOpenLocked()) return;
    const bool sqlite = m_db.m_kind == KX_DB_SQLITE;
    if (m_db.RunLocked(sqlite ? "BEGIN IMMEDIATE" : "BEGIN", {}, nullptr)) {
        m_active = true;
        m_db.m_inTransaction = true;
    }
}

int CADOTransaction::Commit() {
    if (!m_active) return 0;
    if (!m_db.RunLocked("COMMIT", {}, nullptr)) return 0; // the destructor rolls back
    m_active = false;
    m_db.m_inTransaction = false;
    return 1;
}

CADOTransaction::~CADOTransaction() {
    if (!m_active) return;
    if (m_db.m_engine) {
        std::string error;
        long affected = 0;
        m_db.m_engine->Run("ROLLBACK", {}, nullptr, affected, error);
    }
    m_db.m_inTransaction = false;
}
