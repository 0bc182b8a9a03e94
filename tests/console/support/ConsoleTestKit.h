// The console tests' vocabulary: the test server program run with the console seeding, a
// session log-on that waits for its answer while the GUI thread runs, observers that record
// what they are told, and the server tests' TestClient as a second workstation.
#pragma once

#include "link/ConsoleLink.h"
#include "server/support/TestClient.h"
#include "support/TempDir.h"
#include "support/gui/EventPump.h"
#include "support/TestServerProcess.h"

#include <QObject>
#include <QWidget>

#include <algorithm>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace keepertest {

using namespace std::chrono_literals;

// Passwords of the seeded accounts.
constexpr const char* kSuPassword = "su-secret";
constexpr const char* kSysopPassword = "sysop-pw";

using guitest::PumpFor;
using guitest::PumpUntil;

// The test server program with the console seeding: the "系统管理" accounts, log lines of two
// days (2021-03-04: 3 lines, 2021-03-09: 2 lines) and the drives C and E.
class ConsoleServer {
public:
    // Listens on the address (a loopback one) and the port (0: a free one).
    explicit ConsoleServer(const std::string& address = "127.0.0.1", int port = 0,
                           const std::vector<std::string>& extraOptions = {});
    bool Ok() const { return m_bOk; }
    int Port() const { return m_process.Port(); }
    const std::string& Address() const { return m_address; }
    int Id(const std::string& key) const { return m_process.Id(key); }
    TestServerProcess& Process() { return m_process; }
    const std::string& DriveC() const { return m_driveC; }
    const std::string& DriveE() const { return m_driveE; }

    // A workstation on the server (connected, not logged on) / logged on; null with a failure.
    std::unique_ptr<srvtest::TestClient> Connect();
    std::unique_ptr<srvtest::TestClient> LogOn(const std::string& logon, const std::string& password);

private:
    TempDir m_dir;
    std::string m_address;
    std::string m_driveC, m_driveE;
    TestServerProcess m_process;
    bool m_bOk = false;
};

// One thing an observer was told.
struct Notice {
    int channel = 0; // the message type; 0 for the log-on, kNoticeUserListEnd for the tree
    int notice = 0;
    int id = 0;
    bool operator==(const Notice&) const = default;
};
inline void PrintTo(const Notice& n, std::ostream* os) {
    *os << "(" << n.channel << ", " << n.notice << ", " << n.id << ")";
}

// A window standing in for the console's panes: registers for message types on a link and
// records every notice in order.
class RecordingWindow : public QWidget {
public:
    // Observes every given type, the log-on answers and the end of the user list.
    void Watch(ConsoleLink& link, const std::vector<int>& types);
    std::vector<Notice> notices;
    int closes = 0;
    int Count(const Notice& n) const;
    int CountOf(int channel) const;
    void Clear() { notices.clear(); }

protected:
    void closeEvent(QCloseEvent* event) override;
};

// The console's client record (client kind 3) for a log-on.
CkxClient ConsoleClient(const std::string& logon, const std::string& password);

// A log-on through the session: sends it and runs the GUI thread until the answer was applied.
// The result, or -100 when the request was refused and -101 when no answer came.
int LogOn(ConsoleLink& link, int port, const std::string& logon, const std::string& password,
          const std::string& address = "127.0.0.1");

// Empties the context object's lists the session fills, and its current user.
void ResetContext();

// Each test starts on an empty context with the application object made (before the fixture's
// windows).
class ConsoleTest : public ::testing::Test {
protected:
    ConsoleTest();
    void SetUp() override;
    void TearDown() override;
};

} // namespace keepertest
