// The studio tests' fixture: the test server program with the studio's catalogue, a session of
// the studio's own class logged on as alice, windows that record what their slots are told, and
// a second workstation (the server tests' TestClient as su) whose changes the session must
// follow. Each test starts on an empty context, with its own configuration and data folders.
#pragma once

#include "app/CvClientApp.h"
#include "doc/CLocalStorage.h"
#include "session/CStudioLink.h"
#include "model/CkxClient.h"
#include "model/CkxFSNode.h"
#include "server/support/TestClient.h"
#include "support/TempDir.h"
#include "support/TestServerProcess.h"
#include "support/gui/EventPump.h"

#include "qt/KxWindowMessage.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace studiotest {

using guitest::PumpFor;
using guitest::PumpUntil;
using namespace std::chrono_literals;

constexpr const char* kSuPassword = "su-secret";
constexpr const char* kAlicePassword = "alice-pw";

// The test server program run with the studio's catalogue.
class StudioServer {
public:
    StudioServer();
    bool Ok() const { return m_bOk; }
    int Port() const { return m_process.Port(); }
    int Id(const std::string& key) const { return m_process.Id(key); }
    TestServerProcess& Process() { return m_process; }
    // The server's temporary folder (its storage roots lie below it).
    std::string Folder() const { return m_dir.str(); }
    // A second workstation, logged on; null with a test failure when it cannot.
    std::unique_ptr<srvtest::TestClient> LogOn(const std::string& logon, const std::string& password);

private:
    TempDir m_dir;
    TestServerProcess m_process;
    bool m_bOk = false;
};

// The studio's session as the tests drive it.
class TestStudioLink : public CStudioLink {
public:
    // Sends the log-on request with the studio's client record and waits (running the GUI
    // thread) until a stand-in login dialog is told the answer. The result of the answer, -100
    // when the request could not go, -101 when no answer came.
    int LogOn(int port, const std::string& logon, const std::string& password,
              const std::string& address = "127.0.0.1");
};

// The studio's client record (kind 2).
CkxClient StudioClient(const std::string& logon, const std::string& password);

// One thing a window was told.
struct Told {
    int code = 0;
    int id = 0;
    bool operator==(const Told&) const = default;
};
inline void PrintTo(const Told& t, std::ostream* os) { *os << "(" << t.code << ", " << t.id << ")"; }

// One thing a slot's window was told, in a log shared by several windows.
struct SlotTold {
    int slot = 0;
    int code = 0;
    int id = 0;
    bool operator==(const SlotTold&) const = default;
};
inline void PrintTo(const SlotTold& t, std::ostream* os) {
    *os << "(slot " << t.slot << ", " << t.code << ", " << t.id << ")";
}

// A window standing in for a pane or dialog: joins slots and records what it is told in order
// (and in the shared log, under its slot, when it has one).
class ObserverWindow : public QWidget, public kx::MessageReceiver {
public:
    ObserverWindow() = default;
    ObserverWindow(std::vector<SlotTold>* log, int slot) : m_log(log), m_slot(slot) {}
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;
    std::vector<Told> told;
    std::vector<int> commands; // WM_COMMAND wParams
    int closes = 0;
    int Count(int code) const;
    void Clear() { told.clear(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<SlotTold>* m_log = nullptr;
    int m_slot = 0;
};

// One recording window in each of the given slots of a session, all writing one log.
class SlotWatch {
public:
    SlotWatch(CStudioLink& link, const std::vector<StudioSlot>& slots);
    ObserverWindow& Window(StudioSlot slot);
    std::vector<SlotTold> log;
    void Clear();

private:
    std::vector<std::pair<StudioSlot, std::unique_ptr<ObserverWindow>>> m_windows;
};

// A wire record's bytes, as a message piece.
template <class Com>
std::string Bytes(const Com& com) {
    return std::string(reinterpret_cast<const char*>(&com), sizeof com);
}
// A w x h PNG of one colour.
std::string PngBytes(int w, int h);
// A folder's rights piece.
std::string Rights(const CkxFSNode& node);
// The id of the cached folder of that name (the last one), or -1.
int FolderNamed(const std::string& name);

// Sends a message of pieces as a second workstation; true when it went.
bool SendPieces(srvtest::TestClient& c, int type, int subOp, const std::vector<std::string>& pieces,
                uint32_t param = 0);

// Adds a text attribute to the family as that workstation; its id once the session holds it, or
// -1 when it did not arrive.
int AddFamilyTextAttr(srvtest::TestClient& c, int family, const std::string& name);

// Uploads have no answer, and a later request of the same session may overtake their bulk
// data: a test waits until the server lists the folder with n files, as that workstation sees
// it (listing again while the GUI thread runs), before it queries them. False after the limit.
bool FolderHolds(srvtest::TestClient& c, int folder, size_t n);

// Empties every list the session fills, and the current user.
void ResetContext();

class StudioTest : public ::testing::Test {
protected:
    StudioTest();
    void SetUp() override;
    void TearDown() override;

    // Starts the server (once per test) and logs the session on as alice.
    void StartAndLogOn();
    // A seeded id of the server ("file.a", "user.alice", ...), and a set of them.
    int Id(const std::string& key) const { return server->Id(key); }
    std::set<int> Files(std::initializer_list<const char*> keys) const;
    // Asks for the start-up lists and waits until the last one is complete.
    void LoadInitialLists();

    // Opens a server document through the application and waits until it holds n files (and a
    // little longer for more); the document's file ids.
    std::set<int> WaitForFiles(CvClientDoc* doc, size_t n);

    std::unique_ptr<StudioServer> server;
    std::unique_ptr<TestStudioLink> link;
    // The application's documents, each with a plain window that shows its caption.
    std::unique_ptr<CvClientApp> app;

private:
    TempDir m_home;
    std::string m_oldConfig, m_oldData, m_oldPort;
};

// A test that starts with the studio logged on as alice and its start-up lists loaded.
class LoggedOnTest : public StudioTest {
protected:
    void SetUp() override;
};

} // namespace studiotest
