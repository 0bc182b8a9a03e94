// The server core on a free loopback port, for tests: a temporary SQLite catalogue made by the
// catalogue tool's function, seeded with roles and users and loaded into the context object, a
// temporary storage root, the listener with its server thread. Everything ends with the object.
//
// Seeded accounts (log-on name / password, state, role):
//   su    / kAdminPassword  active   "超级管理" (0x1F07, every administration power)
//   alice / "alice-pw"      active   "操作员" (file, folder and keyword operate; no administration)
//   bob   / "bob-pw"        active   "操作员"
//   carol / "carol-pw"      paused   "操作员"
//   dave  / "dave-pw"       invalid  "操作员"
#pragma once

#include "db/AdoDatabase.h"
#include "support/TempDir.h"
#include "server/support/TestClient.h"
#include "server/support/TestVocabulary.h"
#include "data/CDataManager.h"
#include "session/CListenServer.h"
#include "service/RequestTable.h"
#include "session/RequestDispatcher.h"
#include "log/ServerLog.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace srvtest {

class TestServer {
public:
    static constexpr const char* kAdminPassword = "su-secret";
    static constexpr int kOperatorPower = 0x1300; // folder, file and keyword operate

    // Builds and starts everything; check Ok() (a gtest failure is recorded when a step fails).
    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    bool Ok() const { return m_bOk; }
    int Port() const { return m_nPort; }
    CServerListener& Server() { return *m_server; }
    CDataManager& Data() { return *m_data; }
    CADODatabase& Db() { return m_data->GetDatabase(); }
    TempDir& Dir() { return m_dir; }
    const std::string& CataloguePath() const { return m_catalogue; }
    // Folder of storage root 0.
    const std::string& StorageRoot() const { return m_root; }

    int UserId(const std::string& logon) const;
    int OperatorRoleId() const { return m_nOperatorRole; }

    // What the test server lets connections cost: the server's own defaults, except that
    // every connection comes from one address (no cap per address) and tests log on wrongly on
    // purpose (the guessing bounds start only after 1000 failures). Tests of the limits
    // set their own through Server().SetLimits().
    static KxServerLimits TestLimits() {
        KxServerLimits limits;
        limits.maxPerAddress = 0;
        limits.failuresPerName = 1000;
        limits.failuresPerAddress = 1000;
        return limits;
    }

    // A client connected to the server (null, with a gtest failure, when it cannot connect).
    std::unique_ptr<TestClient> Connect();
    // Connected and logged on (null, with a gtest failure, when the log-on fails).
    std::unique_ptr<TestClient> LogOn(const std::string& logon, const std::string& password);
    std::unique_ptr<TestClient> LogOnAdmin() { return LogOn("su", kAdminPassword); }

    // Waits until the registry holds n sessions.
    bool WaitForSessions(int n, std::chrono::milliseconds limit = 5s);
    // Runs f under the catalogue mutex (to read the context object while the server runs).
    template <class F>
    auto Locked(F&& f) {
        std::lock_guard lock(m_data->CatalogueMutex());
        return f();
    }

private:
    bool Build();
    bool Seed(CADODatabase& db);

    TempDir m_dir;
    std::string m_catalogue;
    std::string m_root;
    std::unique_ptr<CDataManager> m_data;
    std::unique_ptr<CServerListener> m_server;
    int m_nPort = 0;
    int m_nOperatorRole = -1;
    bool m_bOk = false;
};

// Collects the server's warning lines (dropped requests, refused writes) while it lives.
class ServerWarnings {
public:
    ServerWarnings();
    ~ServerWarnings();
    ServerWarnings(const ServerWarnings&) = delete;
    ServerWarnings& operator=(const ServerWarnings&) = delete;
    std::vector<std::string> Lines();

private:
    std::mutex m_mutex;
    std::vector<std::string> m_lines;
    kx::ServerLogSink m_previous;
};

// Puts a handler in place of a type's for one test, and the old one back afterwards.
class ScopedHandler {
public:
    ScopedHandler(int type, KxRequestHandler handler,
                  CRequestDispatcher::Locking locking = CRequestDispatcher::Locking::Exclusive)
        : m_nType(type), m_old(kx::RequestTable().Swap(type, {std::move(handler), locking})) {}
    ~ScopedHandler() { kx::RequestTable().Swap(m_nType, std::move(m_old)); }
    ScopedHandler(const ScopedHandler&) = delete;
    ScopedHandler& operator=(const ScopedHandler&) = delete;

private:
    int m_nType;
    CRequestDispatcher::Entry m_old;
};

} // namespace srvtest
