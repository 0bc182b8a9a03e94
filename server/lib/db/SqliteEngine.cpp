// The SQLite engine: a catalogue file opened read-write (never created here), statements
// prepared one at a time with their parameters bound.
#include "db/DbEngine.h"

#include <sqlite3.h>

#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>
#include <strings.h>

namespace {

bool IsBlankTail(const char* tail) {
    for (; tail && *tail; ++tail)
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') return false;
    return true;
}

// Columns declared as dates hold ISO text; they come back as date values.
bool IsDateDecl(const char* decl) {
    if (!decl) return false;
    return strcasestr(decl, "DATE") != nullptr || strcasestr(decl, "TIME") != nullptr;
}

// Which columns of the statement are declared as dates, worked out once per statement.
std::vector<char> DateColumns(sqlite3_stmt* st) {
    const int cols = sqlite3_column_count(st);
    std::vector<char> dates(static_cast<size_t>(cols));
    for (int i = 0; i < cols; ++i) dates[static_cast<size_t>(i)] = IsDateDecl(sqlite3_column_decltype(st, i));
    return dates;
}

std::vector<std::string> ColumnNames(sqlite3_stmt* st) {
    std::vector<std::string> names;
    for (int i = 0, cols = sqlite3_column_count(st); i < cols; ++i) {
        const char* n = sqlite3_column_name(st, i);
        names.emplace_back(n ? n : "");
    }
    return names;
}

CADOVariant Column(sqlite3_stmt* st, int i, bool date) {
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER: return CADOVariant(static_cast<int64_t>(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT: return CADOVariant::FromDouble(sqlite3_column_double(st, i));
    case SQLITE_BLOB: {
        const void* p = sqlite3_column_blob(st, i);
        return CADOVariant::FromBytes(p, static_cast<size_t>(sqlite3_column_bytes(st, i)));
    }
    case SQLITE_TEXT: {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        const std::string_view s(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, i)));
        if (date) {
            COleDateTime dt;
            if (dt.ParseDateTime(s)) return CADOVariant(dt);
        }
        return CADOVariant(std::string(s));
    }
    default: return {};
    }
}

// Rows of one prepared statement, stepped as they are asked for.
class SqliteCursor final : public DbCursor {
public:
    SqliteCursor(sqlite3* db, sqlite3_stmt* st) : m_db(db), m_st(st), m_dates(DateColumns(st)) {
        m_names = ColumnNames(st);
    }
    ~SqliteCursor() override { sqlite3_finalize(m_st); }

    bool Next(std::vector<CADOVariant>& row, std::string& error) override {
        if (!m_st) return false;
        const int rc = sqlite3_step(m_st);
        if (rc == SQLITE_ROW) {
            row.resize(m_dates.size());
            for (size_t i = 0; i < m_dates.size(); ++i) row[i] = Column(m_st, static_cast<int>(i), m_dates[i]);
            return true;
        }
        if (rc != SQLITE_DONE) error = sqlite3_errmsg(m_db);
        sqlite3_finalize(m_st);
        m_st = nullptr;
        return false;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st;
    std::vector<char> m_dates;
};

class SqliteEngine final : public DbEngine {
public:
    ~SqliteEngine() override { Close(); }

    bool Open(const std::string& text, std::string& error) override {
        Close();
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(text.c_str(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX,
                                 nullptr);
        if (rc != SQLITE_OK) {
            error = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
            sqlite3_close(db);
            return false;
        }
        sqlite3_busy_timeout(db, 5000);
        sqlite3_extended_result_codes(db, 1);
        // Write-ahead logging: a commit is durable with one sync of the log, and readers do not
        // wait for a writer. Where it cannot be had (a file that is no database, a memory
        // database) the default journal stays; the check below decides whether the file is usable.
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
        m_db = db;
        // Opening is lazy: read the schema once so that a file that is not a database (or is
        // damaged) is refused here rather than at the first statement.
        long affected = 0;
        DbRows rows;
        if (!Run("SELECT count(*) FROM sqlite_master", {}, &rows, affected, error)) {
            Close();
            return false;
        }
        return true;
    }

    void Close() override {
        if (m_db) sqlite3_close_v2(m_db);
        m_db = nullptr;
    }

    bool IsOpen() override { return m_db != nullptr; }

    bool Run(const std::string& sql, const std::vector<CADOVariant>& params, DbRows* rows,
             long& affected, std::string& error) override {
        affected = 0;
        sqlite3_stmt* st = Prepare(sql, error);
        if (!st) return false;
        if (!Bind(st, params, error)) {
            sqlite3_finalize(st);
            return false;
        }
        const std::vector<char> dates = DateColumns(st);
        if (rows) {
            rows->names = ColumnNames(st);
            rows->rows.clear();
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            if (!rows) continue;
            std::vector<CADOVariant> row;
            row.reserve(dates.size());
            for (size_t i = 0; i < dates.size(); ++i) row.push_back(Column(st, static_cast<int>(i), dates[i]));
            rows->rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) {
            error = sqlite3_errmsg(m_db);
            sqlite3_finalize(st);
            return false;
        }
        affected = sqlite3_changes(m_db);
        sqlite3_finalize(st);
        return true;
    }

    std::unique_ptr<DbCursor> OpenCursor(const std::string& sql, std::string& error) override {
        sqlite3_stmt* st = Prepare(sql, error);
        if (!st) return nullptr;
        if (sqlite3_bind_parameter_count(st) != 0) {
            sqlite3_finalize(st);
            error = "wrong number of statement parameters";
            return nullptr;
        }
        return std::make_unique<SqliteCursor>(m_db, st);
    }

    bool RunScript(const std::string& sql, std::string& error) override {
        if (!m_db) {
            error = "the database is not open";
            return false;
        }
        char* msg = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
            error = msg ? msg : sqlite3_errmsg(m_db);
            sqlite3_free(msg);
            return false;
        }
        return true;
    }

    std::string Marker(int n) const override { return "?" + std::to_string(n); }

private:
    // One statement prepared (null with the reason when it cannot be, or when the text holds
    // more than one).
    sqlite3_stmt* Prepare(const std::string& sql, std::string& error) {
        if (!m_db) {
            error = "the database is not open";
            return nullptr;
        }
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &st, &tail) != SQLITE_OK) {
            error = sqlite3_errmsg(m_db);
            return nullptr;
        }
        if (!st) {
            error = "empty statement";
            return nullptr;
        }
        if (!IsBlankTail(tail)) {
            sqlite3_finalize(st);
            error = "only one statement may be run at a time";
            return nullptr;
        }
        return st;
    }

    bool Bind(sqlite3_stmt* st, const std::vector<CADOVariant>& params, std::string& error) {
        if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(st)) {
            error = "wrong number of statement parameters";
            return false;
        }
        for (size_t k = 0; k < params.size(); ++k) {
            const int i = static_cast<int>(k) + 1;
            const CADOVariant& v = params[k];
            int rc = SQLITE_OK;
            switch (v.GetKind()) {
            case CADOVariant::Null: rc = sqlite3_bind_null(st, i); break;
            case CADOVariant::Int: rc = sqlite3_bind_int64(st, i, v.GetInt64()); break;
            case CADOVariant::Double: rc = sqlite3_bind_double(st, i, v.GetDouble()); break;
            case CADOVariant::Date: {
                const std::string iso = kx::IsoDateText(v.GetDouble());
                rc = sqlite3_bind_text(st, i, iso.c_str(), static_cast<int>(iso.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            case CADOVariant::Text: {
                // Texts end at a NUL, as they do in every record they come from.
                const std::string& s = v.GetBytes();
                rc = sqlite3_bind_text(st, i, s.c_str(), static_cast<int>(std::strlen(s.c_str())),
                                       SQLITE_TRANSIENT);
                break;
            }
            case CADOVariant::Binary: {
                const std::string& b = v.GetBytes();
                rc = sqlite3_bind_blob(st, i, b.data(), static_cast<int>(b.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            }
            if (rc != SQLITE_OK) {
                error = sqlite3_errmsg(m_db);
                return false;
            }
        }
        return true;
    }

    sqlite3* m_db = nullptr;
};

} // namespace

std::unique_ptr<DbEngine> MakeSqliteEngine() { return std::make_unique<SqliteEngine>(); }
