// A fresh catalogue (schema and first rows) for one test on either engine: a SQLite file in a
// temporary folder, or a schema of its own on the PostgreSQL server named by VARNIA_TEST_PG
// (dropped again at the end). Also a collector for the database layer's failure lines.
#pragma once

#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "db/CatalogueMaker.h"
#include "log/ServerLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace kxtest {

// The PostgreSQL connection text of the test server; empty when none is configured.
inline std::string PgText() {
    const char* e = std::getenv("VARNIA_TEST_PG");
    return e ? e : "";
}

// Collects the database layer's failure lines (the server warnings it writes) while it lives, so
// tests can check them and stay quiet; other lines go on to the sink it replaced.
struct DbErrorLog {
    static constexpr std::string_view kPrefix = "database: ";
    DbErrorLog() {
        previous = kx::SetServerLogSink([this](kx::ServerLogLevel level, const std::string& s) {
            if (s.rfind(kPrefix, 0) != 0) {
                if (previous) previous(level, s);
                return;
            }
            {
                std::lock_guard<std::mutex> lock(mutex);
                lines.push_back(s.substr(kPrefix.size()));
            }
            added.notify_all();
        });
    }
    // Waits until some failure line has come (a handler ran into the broken database); false
    // when none came within the limit.
    bool WaitForAny(std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        std::unique_lock<std::mutex> lock(mutex);
        return added.wait_for(lock, limit, [&] { return !lines.empty(); });
    }
    ~DbErrorLog() { kx::SetServerLogSink(std::move(previous)); }
    DbErrorLog(const DbErrorLog&) = delete;
    DbErrorLog& operator=(const DbErrorLog&) = delete;
    bool Contains(const std::string& part) {
        std::lock_guard<std::mutex> lock(mutex);
        for (const auto& l : lines)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
    std::mutex mutex;
    std::condition_variable added;
    std::vector<std::string> lines;
    kx::ServerLogSink previous;
};

class TestCatalogue {
public:
    TestCatalogue() = default;
    TestCatalogue(const TestCatalogue&) = delete;
    TestCatalogue& operator=(const TestCatalogue&) = delete;
    ~TestCatalogue() { Close(); }

    // Makes and opens the catalogue: kind KX_DB_SQLITE (a file in folder) or KX_DB_POSTGRESQL. Returns
    // an empty text on success, else why not; `skipped` is set when no PostgreSQL server is
    // configured.
    std::string Open(int kind, const std::string& folder, bool& skipped) {
        skipped = false;
        std::string error;
        if (kind == KX_DB_SQLITE) {
            path = folder + "/catalogue.db";
            if (!kx::CreateSqliteCatalogue(path, "Pw-1", error)) return "create: " + error;
            if (!db.OpenAccess(path)) return "open: " + db.GetLastError();
            return "";
        }
        if (PgText().empty()) {
            skipped = true;
            return "VARNIA_TEST_PG is not set: no PostgreSQL server";
        }
        if (!admin.Connect(PgText(), "", "")) return "admin: " + admin.GetLastError();
        std::random_device rd;
        schema = "varnia_t" + std::to_string(getpid()) + "_" + std::to_string(rd() % 1000000000u);
        if (!admin.Execute("CREATE SCHEMA " + schema)) return "schema: " + admin.GetLastError();
        connection = PgText() + " options='-c search_path=" + schema + "'";
        if (!db.Connect(connection, "", "")) return "connect: " + db.GetLastError();
        if (!kx::CreateCatalogue(db, "Pw-1", error)) return "create: " + error;
        return "";
    }

    void Close() {
        db.Close();
        if (!schema.empty()) admin.Execute("DROP SCHEMA " + schema + " CASCADE");
        schema.clear();
        admin.Close();
    }

    // Rows a statement returns; -1 when it fails.
    int Count(const std::string& sql) {
        CADORecordset rs;
        if (!db.Query(sql, rs)) return -1;
        return rs.GetRecordCount();
    }

    // One column of the row with that id, raw; a null value when there is no such row or column.
    CADOVariant Value(const std::string& table, int id, const char* column) {
        CADORecordset rs;
        CADOVariant v;
        if (db.Query(" SELECT * FROM " + table + " WHERE T_ID = " + kx::SqlNumber(id), rs))
            rs.GetValue(column, v);
        return v;
    }

    // One integer column of the row with that id; `fallback` when there is none.
    int32_t Long(const std::string& table, int id, const char* column, int32_t fallback = -999) {
        CADORecordset rs;
        int32_t v = fallback;
        if (db.Query(" SELECT * FROM " + table + " WHERE T_ID = " + kx::SqlNumber(id), rs) &&
            !rs.IsEOF())
            rs.GetLong(column, v);
        return v;
    }

    CADODatabase db;
    // PostgreSQL only: a second connection to the server outside the test's schema (it made the
    // schema and drops it; tests use it to act on the catalogue connection from outside).
    CADODatabase admin;
    std::string path, schema, connection;
};

inline std::string EngineName(int kind) { return kind == KX_DB_SQLITE ? "Sqlite" : "Postgres"; }

// A test run once per engine (the parameter), each on a fresh catalogue; skipped on PostgreSQL
// when no server is configured. A derived SetUp calls this one first and returns when
// IsSkipped() or HasFatalFailure().
class CatalogueTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        bool skipped = false;
        const std::string why = catalogue.Open(GetParam(), dir.str(), skipped);
        if (skipped) GTEST_SKIP() << why;
        ASSERT_EQ(why, "");
    }
    TempDir dir;
    TestCatalogue catalogue;
};

} // namespace kxtest

// Runs a CatalogueTest suite on SQLite and on PostgreSQL.
#define KX_ON_BOTH_ENGINES(Suite)                                                                  \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::testing::Values(KX_DB_SQLITE, KX_DB_POSTGRESQL),          \
                             [](const auto& p) { return kxtest::EngineName(p.param); })
