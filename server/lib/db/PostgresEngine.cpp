// The PostgreSQL engine: one libpq session in UTF-8 with standard string literals and ISO
// dates; statements run with their parameters bound, results read as text and typed here.
#include "db/DbEngine.h"

#include <libpq-fe.h>
#include <poll.h>

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Type oids of the built-in types the catalogue uses.
enum : Oid {
    kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
    kFloat8 = 701, kNumeric = 1700, kDate = 1082, kTimestamp = 1114, kTimestampTz = 1184
};

void IgnoreNotice(void*, const char*) {}

std::string Trimmed(const char* msg) {
    std::string s = msg ? msg : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

CADOVariant Cell(const PGresult* res, int r, int c) {
    if (PQgetisnull(res, r, c)) return {};
    const char* v = PQgetvalue(res, r, c);
    const int len = PQgetlength(res, r, c);
    switch (PQftype(res, c)) {
    case kBool: return CADOVariant(v[0] == 't' ? 1 : 0);
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: {
        int64_t n = 0;
        std::from_chars(v, v + len, n);
        return CADOVariant(n);
    }
    case kFloat4:
    case kFloat8:
    case kNumeric: {
        double d = 0;
        std::from_chars(v, v + len, d);
        return CADOVariant::FromDouble(d);
    }
    case kDate:
    case kTimestamp:
    case kTimestampTz: {
        COleDateTime dt;
        if (dt.ParseDateTime(std::string_view(v, len))) return CADOVariant(dt);
        return CADOVariant(std::string(v, len));
    }
    case kBytea: {
        size_t n = 0;
        unsigned char* p = PQunescapeBytea(reinterpret_cast<const unsigned char*>(v), &n);
        CADOVariant out = CADOVariant::FromBytes(p, n);
        PQfreemem(p);
        return out;
    }
    default: return CADOVariant(std::string(v, len));
    }
}

// Rows of one statement through a server-side cursor, fetched a batch at a time, so a reader
// that stops early leaves the rest unread on the server. A cursor lives in a transaction: the
// caller's, or one of its own that ends with it.
class PostgresCursor final : public DbCursor {
public:
    static constexpr int kBatch = 512;

    PostgresCursor(PGconn* conn, std::string name) : m_conn(conn), m_name(std::move(name)) {}
    ~PostgresCursor() override { Finish(); }

    bool Start(const std::string& sql, std::string& error) {
        m_ownTransaction = PQtransactionStatus(m_conn) == PQTRANS_IDLE;
        if (m_ownTransaction && !Exec("BEGIN", error)) {
            m_ownTransaction = false;
            return false;
        }
        if (!Exec("DECLARE " + m_name + " NO SCROLL CURSOR FOR " + sql, error)) return false;
        m_declared = true;
        if (!Fetch(error)) return false;
        for (int c = 0, cols = PQnfields(m_batch); c < cols; ++c) m_names.emplace_back(PQfname(m_batch, c));
        return true;
    }

    bool Next(std::vector<CADOVariant>& row, std::string& error) override {
        if (!m_batch) return false;
        if (m_row >= PQntuples(m_batch)) {
            if (PQntuples(m_batch) < kBatch || !Fetch(error) || PQntuples(m_batch) == 0) {
                Finish();
                return false;
            }
        }
        const int cols = PQnfields(m_batch);
        row.resize(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c) row[static_cast<size_t>(c)] = Cell(m_batch, m_row, c);
        ++m_row;
        return true;
    }

private:
    bool Exec(const std::string& sql, std::string& error) {
        PGresult* res = PQexec(m_conn, sql.c_str());
        const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
        const bool ok = st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
        if (!ok) error = Trimmed(res ? PQresultErrorMessage(res) : PQerrorMessage(m_conn));
        PQclear(res);
        return ok;
    }

    bool Fetch(std::string& error) {
        PQclear(m_batch);
        m_row = 0;
        m_batch = PQexec(m_conn, ("FETCH " + std::to_string(kBatch) + " FROM " + m_name).c_str());
        if (m_batch && PQresultStatus(m_batch) == PGRES_TUPLES_OK) return true;
        error = Trimmed(m_batch ? PQresultErrorMessage(m_batch) : PQerrorMessage(m_conn));
        PQclear(m_batch);
        m_batch = nullptr;
        return false;
    }

    // Closes the cursor and ends its own transaction (read only: a commit of nothing, or the
    // rollback of a failed one).
    void Finish() {
        PQclear(m_batch);
        m_batch = nullptr;
        std::string ignored;
        if (m_declared && PQtransactionStatus(m_conn) == PQTRANS_INTRANS) Exec("CLOSE " + m_name, ignored);
        m_declared = false;
        if (m_ownTransaction) Exec(PQtransactionStatus(m_conn) == PQTRANS_INTRANS ? "COMMIT" : "ROLLBACK", ignored);
        m_ownTransaction = false;
    }

    PGconn* m_conn;
    std::string m_name;
    PGresult* m_batch = nullptr;
    int m_row = 0;
    bool m_declared = false;
    bool m_ownTransaction = false;
};

class PostgresEngine final : public DbEngine {
public:
    ~PostgresEngine() override { Close(); }

    bool Open(const std::string& text, std::string& error) override {
        Close();
        PGconn* c = PQconnectdb(text.c_str());
        if (!c || PQstatus(c) != CONNECTION_OK) {
            error = c ? Trimmed(PQerrorMessage(c)) : "out of memory";
            if (c) PQfinish(c);
            return false;
        }
        PQsetNoticeProcessor(c, IgnoreNotice, nullptr);
        m_conn = c;
        if (PQsetClientEncoding(c, "UTF8") != 0 ||
            !RunScript("SET standard_conforming_strings = on; SET DateStyle = 'ISO, YMD'", error)) {
            if (error.empty()) error = Trimmed(PQerrorMessage(c));
            Close();
            return false;
        }
        return true;
    }

    void Close() override {
        if (m_conn) PQfinish(m_conn);
        m_conn = nullptr;
    }

    bool IsOpen() override {
        if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) return false;
        // An idle session receives nothing unless the server is ending it; read what is
        // waiting so that a closed link shows as a bad connection before the next statement.
        for (int i = 0; i < 8; ++i) {
            pollfd p{PQsocket(m_conn), POLLIN, 0};
            if (p.fd < 0 || poll(&p, 1, 0) <= 0) break;
            if (!PQconsumeInput(m_conn)) break;
            while (PGnotify* n = PQnotifies(m_conn)) PQfreemem(n);
        }
        return PQstatus(m_conn) == CONNECTION_OK;
    }

    bool Run(const std::string& sql, const std::vector<CADOVariant>& params, DbRows* rows,
             long& affected, std::string& error) override {
        affected = 0;
        if (!m_conn) {
            error = "the database is not open";
            return false;
        }
        std::vector<std::string> texts(params.size());
        std::vector<const char*> values(params.size());
        std::vector<int> lengths(params.size()), formats(params.size());
        for (size_t i = 0; i < params.size(); ++i) {
            const CADOVariant& v = params[i];
            switch (v.GetKind()) {
            case CADOVariant::Null: break;
            case CADOVariant::Int: texts[i] = std::to_string(v.GetInt64()); break;
            case CADOVariant::Double: {
                char buf[64];
                auto r = std::to_chars(buf, buf + sizeof buf, v.GetDouble());
                texts[i].assign(buf, r.ptr);
                break;
            }
            case CADOVariant::Date: texts[i] = kx::IsoDateText(v.GetDouble()); break;
            case CADOVariant::Text: texts[i] = v.GetBytes().c_str(); break; // ends at a NUL
            case CADOVariant::Binary:
                texts[i] = v.GetBytes();
                formats[i] = 1;
                break;
            }
            values[i] = v.IsNull() ? nullptr : texts[i].c_str();
            lengths[i] = static_cast<int>(texts[i].size());
        }
        PGresult* res = PQexecParams(m_conn, sql.c_str(), static_cast<int>(params.size()), nullptr,
                                     values.data(), lengths.data(), formats.data(), 0);
        const ExecStatusType st = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
            error = Trimmed(res ? PQresultErrorMessage(res) : PQerrorMessage(m_conn));
            if (error.empty()) error = Trimmed(PQerrorMessage(m_conn));
            PQclear(res);
            return false;
        }
        const char* count = PQcmdTuples(res);
        affected = count && *count ? std::strtol(count, nullptr, 10) : 0;
        if (rows) {
            rows->names.clear();
            rows->rows.clear();
            const int cols = PQnfields(res), n = PQntuples(res);
            for (int c = 0; c < cols; ++c) rows->names.emplace_back(PQfname(res, c));
            rows->rows.reserve(n);
            for (int r = 0; r < n; ++r) {
                std::vector<CADOVariant> row;
                row.reserve(cols);
                for (int c = 0; c < cols; ++c) row.push_back(Cell(res, r, c));
                rows->rows.push_back(std::move(row));
            }
        }
        PQclear(res);
        return true;
    }

    std::unique_ptr<DbCursor> OpenCursor(const std::string& sql, std::string& error) override {
        if (!m_conn) {
            error = "the database is not open";
            return nullptr;
        }
        auto cursor = std::make_unique<PostgresCursor>(m_conn, "kx_rows_" + std::to_string(++m_cursors));
        if (!cursor->Start(sql, error)) return nullptr;
        return cursor;
    }

    bool RunScript(const std::string& sql, std::string& error) override {
        if (!m_conn) {
            error = "the database is not open";
            return false;
        }
        // The simple protocol runs every statement of the text; the last result tells.
        bool ok = PQsendQuery(m_conn, sql.c_str()) == 1;
        if (!ok) error = Trimmed(PQerrorMessage(m_conn));
        while (PGresult* res = PQgetResult(m_conn)) {
            const ExecStatusType st = PQresultStatus(res);
            if (ok && st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
                ok = false;
                error = Trimmed(PQresultErrorMessage(res));
            }
            PQclear(res);
        }
        return ok;
    }

    std::string Marker(int n) const override { return "$" + std::to_string(n); }

private:
    PGconn* m_conn = nullptr;
    unsigned m_cursors = 0; // names cursors apart
};

} // namespace

std::unique_ptr<DbEngine> MakePostgresEngine() { return std::make_unique<PostgresEngine>(); }
