// The SQLite engine: a catalogue file opened read-write (never created here), statements
// prepared one at a time with their parameters bound.
#include "db/DbEngine.h"

#include <sqlite3.h>

#include <cctype>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
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

// Copies the write-ahead log into the catalogue file on a thread and a connection of its own,
// so that no commit pays for a checkpoint's syncs: commits are made while requests wait for the
// catalogue, and a checkpoint under heavy writes can take tens of milliseconds. Passive: it
// never waits for, nor holds up, the main connection's readers and writer.
class WalCheckpointer {
public:
    // Opens its own connection to the catalogue; Ready() tells whether it could.
    explicit WalCheckpointer(const std::string& text) {
        if (sqlite3_open_v2(text.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            Close();
            return;
        }
        sqlite3_busy_timeout(m_db, 5000);
        // A connection learns that the file keeps a write-ahead log when it first reads it;
        // until then a checkpoint finds no log to copy.
        if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) != SQLITE_OK) {
            Close();
            return;
        }
        m_thread = std::thread([this] { Run(); });
    }
    ~WalCheckpointer() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable()) m_thread.join();
        Close();
    }
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    bool Ready() const { return m_db != nullptr; }

    // The main connection's hook after each commit, with the frames now in the log: a
    // checkpoint is due each time the log has grown by the usual automatic step.
    static int OnCommit(void* self, sqlite3*, const char*, int frames) {
        static_cast<WalCheckpointer*>(self)->Committed(frames);
        return SQLITE_OK;
    }

private:
    static constexpr int kStep = 1000; // frames, SQLite's own automatic checkpoint step

    void Committed(int frames) {
        // Called on the thread that holds the main connection; a log that began again is short.
        if (frames < m_lastDue) m_lastDue = 0;
        if (frames - m_lastDue < kStep) return;
        m_lastDue = frames;
        {
            std::lock_guard lock(m_mutex);
            m_due = true;
        }
        m_wake.notify_one();
    }

    void Run() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || m_due; });
            if (m_stop) break;
            m_due = false;
            lock.unlock();
            sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
            lock.lock();
        }
    }

    void Close() {
        if (m_db) sqlite3_close_v2(m_db);
        m_db = nullptr;
    }

    sqlite3* m_db = nullptr; // used by the thread alone once it runs
    int m_lastDue = 0;       // touched only by the main connection's hook
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false, m_due = false;
    std::thread m_thread;
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
        DbRows mode;
        std::string ignored;
        if (Run("PRAGMA journal_mode", {}, &mode, affected, ignored) && !mode.rows.empty() &&
            !mode.rows[0].empty() && strcasecmp(mode.rows[0][0].GetBytes().c_str(), "wal") == 0) {
            // The hook takes the place of the automatic checkpoint, which stays when the
            // checkpointer cannot have a connection of its own.
            auto checkpointer = std::make_unique<WalCheckpointer>(text);
            if (checkpointer->Ready()) {
                m_checkpointer = std::move(checkpointer);
                sqlite3_wal_hook(m_db, &WalCheckpointer::OnCommit, m_checkpointer.get());
            }
        }
        return true;
    }

    void Close() override {
        if (m_db) sqlite3_wal_hook(m_db, nullptr, nullptr);
        m_checkpointer.reset();
        // The last connection to close checkpoints what is left.
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

    bool EachNumberRow(const std::string& sql, int columns, const std::function<void(const int64_t* numbers)>& row,
                       std::string& error) override {
        sqlite3_stmt* st = Prepare(sql, error);
        if (!st) return false;
        if (columns < 0 || columns > sqlite3_column_count(st) || sqlite3_bind_parameter_count(st) != 0) {
            sqlite3_finalize(st);
            error = "the statement does not fit the numbers asked for";
            return false;
        }
        std::vector<int64_t> numbers(static_cast<size_t>(columns));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) numbers[static_cast<size_t>(i)] = sqlite3_column_int64(st, i);
            row(numbers.data());
        }
        if (rc != SQLITE_DONE) error = sqlite3_errmsg(m_db);
        sqlite3_finalize(st);
        return rc == SQLITE_DONE;
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
    std::unique_ptr<WalCheckpointer> m_checkpointer;
};

} // namespace

std::unique_ptr<DbEngine> MakeSqliteEngine() { return std::make_unique<SqliteEngine>(); }
