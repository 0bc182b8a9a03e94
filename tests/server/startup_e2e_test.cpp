// The real VarniaServer program, as the run command starts it: a catalogue made by the
// catalogue tool, a storage root and an ini that asks nothing in a temporary VARNIA_HOME, the
// offscreen platform and a free port. A workstation logs on as "su", the start-up line is in the
// log table, a second start is refused, SIGTERM ends the server cleanly, and a later run starts
// again on the same data folder. Every line the server writes begins with its time.
#include "db/AdoDatabase.h"
#include "db/AdoRecordset.h"
#include "support/LoopbackPort.h"
#include "support/TempDir.h"
#include "db/AdoFieldList.h"
#include "model/CkxUser.h"
#include "server/support/FileTestKit.h"
#include "server/support/TestClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using kxtest::CanConnect;
using kxtest::FreePort;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Starts a program with extra environment entries, its output (both streams) into a file.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
            const std::string& outputFile) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const std::string& x : extraEnv)
            if (entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0) replaced = true;
        if (!replaced) env.push_back(entry);
    }
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// The exit code, or -1 when the program did not end within the limit (it is killed then).
int WaitExit(pid_t pid, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(20ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

// Waits until the program listens on the port; false when it ended or did not within 30 s.
bool WaitListening(pid_t pid, int port) {
    for (int i = 0; i < 600; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return false;
        if (CanConnect(port)) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

// Starts the server program and waits until it listens: its pid, or -1 when it did not listen
// (it is ended then).
pid_t StartListening(const std::vector<std::string>& env, const std::string& log, int port) {
    const pid_t pid = Spawn({VARNIA_SERVER_BIN}, env, log);
    if (pid <= 0) return -1;
    if (WaitListening(pid, port)) return pid;
    WaitExit(pid, 1s);
    return -1;
}

// The start-up lines in the catalogue's operation log; -1 when it cannot be read.
int StartLines(const std::string& catalogue) {
    CADODatabase db;
    CADORecordset rs;
    if (!db.OpenAccess(catalogue) || !db.Query("SELECT T_ID FROM VUZO_Log WHERE T_Event = '<> 启动服务器'", rs))
        return -1;
    return rs.GetRecordCount();
}

// A data folder as the run command makes it: the catalogue from the catalogue tool, storage root
// 0 and an ini that asks nothing. Gives su's generated password (empty, with a failure, when the
// tool did not run).
std::string MakeDataFolder(TempDir& home, const std::string& catalogue) {
    const std::string toolOut = home.file("mkcatalog.out");
    // The catalogue tool, as the run command calls it: the password is generated and printed.
    const pid_t tool = Spawn({VARNIA_MKCATALOG_BIN, "--sqlite", catalogue}, {}, toolOut);
    if (tool <= 0 || WaitExit(tool, 60s) != 0) {
        ADD_FAILURE() << "the catalogue tool failed: " << ReadFile(toolOut);
        return {};
    }
    const std::string printed = ReadFile(toolOut);
    const size_t at = printed.find("Password: ");
    if (at == std::string::npos) {
        ADD_FAILURE() << "no password printed: " << printed;
        return {};
    }
    fs::create_directories(home.path() / "KX_Storage_0");
    std::ofstream(home.path() / "KX_Storage_0" / "Conf") << "[BASE]\nID=0\n";
    std::ofstream(home.path() / "VarniaServer.ini")
        << "[SRV_INFO]\nSRV_NAME=e2e\n\n[DB_CONF]\nDB_WARN=0\nDB_DEFAULT=0\nDB_SETPATH=" << catalogue
        << "\n";
    return printed.substr(at + 10, printed.find('\n', at) - at - 10);
}

// The program's environment: its data folder, its port, the offscreen platform and no display.
std::vector<std::string> ServerEnv(TempDir& home, int port) {
    return {"VARNIA_HOME=" + home.str(), "VARNIA_PORT=" + std::to_string(port),
            "QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + home.str(), "DISPLAY=", "WAYLAND_DISPLAY="};
}

TEST(ServerProgram, RunsFromAFreshDataFolderAndStopsOnSigterm) {
    TempDir home;
    const std::string catalogue = home.file("Varnia.db");
    const std::string password = MakeDataFolder(home, catalogue);
    ASSERT_FALSE(password.empty());

    const int port = FreePort();
    const std::vector<std::string> env = ServerEnv(home, port);
    const std::string log = home.file("server.log");
    const std::time_t started = std::time(nullptr);
    const pid_t server = StartListening(env, log, port);
    ASSERT_GT(server, 0) << "the server did not listen:\n" << ReadFile(log);

    {
        srvtest::TestClient client;
        ASSERT_TRUE(client.Open(port));
        int userId = -1;
        EXPECT_EQ(client.LogOn("su", password, CkxClient::MS_STUDIO, &userId), 0);
        EXPECT_GT(userId, 0);
        EXPECT_EQ(StartLines(catalogue), 1);

        // A second start on the same data folder is refused and leaves the first running.
        const std::string second = home.file("second.log");
        const pid_t again = Spawn({VARNIA_SERVER_BIN}, env, second);
        ASSERT_GT(again, 0);
        EXPECT_EQ(WaitExit(again, 60s), 1);
        EXPECT_NE(ReadFile(second).find("只能运行单实例"), std::string::npos) << ReadFile(second);
        EXPECT_TRUE(CanConnect(port));

        ASSERT_EQ(::kill(server, SIGTERM), 0);
        EXPECT_EQ(WaitExit(server, 30s), 0) << ReadFile(log);
        EXPECT_TRUE(client.WaitClosed(5s));
    }
    EXPECT_FALSE(CanConnect(port));
    const std::string output = ReadFile(log);
    EXPECT_NE(output.find("running on port " + std::to_string(port)), std::string::npos) << output;
    EXPECT_NE(output.find("VarniaServer: stopped"), std::string::npos) << output;
    // Every line the server wrote (its own and its log's) begins with the local time it was
    // written at.
    const std::time_t stopped = std::time(nullptr);
    size_t serverLines = 0;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("VarniaServer: ") == std::string::npos && line.find("varnia-server: ") == std::string::npos) continue;
        ++serverLines;
        std::tm tm{};
        tm.tm_isdst = -1;
        const char* rest = ::strptime(line.c_str(), "%Y-%m-%d %H:%M:%S ", &tm);
        ASSERT_NE(rest, nullptr) << line;
        EXPECT_TRUE(std::string_view(rest).starts_with("VarniaServer: ") || std::string_view(rest).starts_with("varnia-server: ")) << line;
        const std::time_t at = std::mktime(&tm);
        EXPECT_GE(at, started - 1) << line;
        EXPECT_LE(at, stopped + 1) << line;
    }
    EXPECT_GE(serverLines, 2u) << output;

    // A second run on the same data folder starts on what the first left: the same account,
    // a second start-up line, and the lock of the first run given back.
    const std::string log2 = home.file("server2.log");
    const pid_t rerun = StartListening(env, log2, port);
    ASSERT_GT(rerun, 0) << "the second run did not listen:\n" << ReadFile(log2);
    {
        srvtest::TestClient client;
        ASSERT_TRUE(client.Open(port));
        EXPECT_EQ(client.LogOn("su", password, CkxClient::MS_MANAGER), 0);
        EXPECT_EQ(StartLines(catalogue), 2);
    }
    ASSERT_EQ(::kill(rerun, SIGTERM), 0);
    EXPECT_EQ(WaitExit(rerun, 30s), 0) << ReadFile(log2);
}


// Accounts "writer1".."writer<n>" with su's role and su's password, straight into the catalogue:
// each session of the crash test logs on as its own user.
bool AddWriters(const std::string& catalogue, const std::string& password, int n) {
    CADODatabase db;
    if (!db.OpenAccess(catalogue)) return false;
    CADORecordset rs;
    if (!db.Query("SELECT T_Role FROM VUZO_User WHERE T_Logon = 'su'", rs) || rs.IsEOF()) return false;
    int32_t role = -1;
    rs.GetLongAt(0, role);
    for (int i = 1; i <= n; ++i) {
        CADOFieldList user;
        user.AddText("T_Logon", "writer" + std::to_string(i));
        user.AddText("T_User", "writer" + std::to_string(i));
        user.AddText("T_Password", password);
        user.AddInt("T_State", CkxUser::STATE_ACT);
        user.AddInt("T_Role", role);
        for (const char* col : {"T_Dept", "T_Job", "T_Tel", "T_Mobile", "T_EMail", "T_Remark"}) user.AddText(col, "");
        if (db.Insert("VUZO_User", user) <= 0) return false;
    }
    return true;
}

// The content of an upload, from its title.
std::string UploadBytes(const std::string& title) {
    return srvtest::RandomBytes(64 * 1024, static_cast<unsigned>(std::hash<std::string>{}(title)));
}

// The server program killed with SIGKILL while four sessions upload, three times over: after
// each restart every upload that was answered is in the catalogue with its content whole and is
// listed, no row lacks its stored file, and nothing is left in the staging folder.
TEST(ServerProgram, UploadsSurviveAKillAndLeaveNoStagedFile) {
    TempDir home;
    const std::string catalogue = home.file("Varnia.db");
    const std::string password = MakeDataFolder(home, catalogue);
    ASSERT_FALSE(password.empty());
    constexpr int kSessions = 4;
    ASSERT_TRUE(AddWriters(catalogue, password, kSessions));
    const int port = FreePort();
    const std::vector<std::string> env = ServerEnv(home, port);
    const fs::path files = home.path() / "KX_Storage_0" / "File" / "Image";

    std::vector<std::string> acknowledged; // titles of every answered upload so far
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string log = home.file("server" + std::to_string(round) + ".log");
        const pid_t server = StartListening(env, log, port);
        ASSERT_GT(server, 0) << "the server did not listen:\n" << ReadFile(log);

        // What the last kill left: every answered upload listed and whole, every row with its
        // content, an empty staging folder.
        {
            if (!acknowledged.empty()) {
                srvtest::TestClient check;
                ASSERT_TRUE(check.Open(port));
                ASSERT_EQ(check.LogOn("su", password), 0);
                ASSERT_TRUE(check.SendText(kx::kMsgFamilyFiles, kx::kSubNone, "100000001"));
                const auto listed = check.WaitSeries(kx::kMsgFamilyFiles, kx::kSubNone, 60s);
                ASSERT_TRUE(listed);
                std::set<std::string> titles;
                for (const auto& a : *listed)
                    if (auto f = srvtest::InfoFile(a)) titles.insert(f->m_strTitle);
                for (const std::string& t : acknowledged) EXPECT_TRUE(titles.count(t)) << t << " is not listed";
            }

            CADODatabase db;
            ASSERT_TRUE(db.OpenAccess(catalogue));
            CADORecordset rs;
            std::set<std::string> rows;
            std::set<std::string> ids;
            ASSERT_TRUE(db.Query("SELECT T_ID, T_Title, T_FileSize FROM VUZO_FImage", rs));
            for (; !rs.IsEOF(); rs.MoveNext()) {
                int32_t id = 0, size = 0;
                std::string title;
                rs.GetLongAt(0, id);
                rs.GetString("T_Title", title);
                rs.GetLongAt(2, size);
                rows.insert(title);
                ids.insert(std::to_string(id));
                const std::string whole = srvtest::ReadDisk((files / "Whole" / (std::to_string(id) + ".jpg")).string());
                EXPECT_EQ(whole.size(), static_cast<size_t>(size)) << "row " << id << " lacks its content";
                EXPECT_TRUE(whole == UploadBytes(title)) << "row " << id << " has other content";
                EXPECT_TRUE(fs::exists(files / "Micro" / std::to_string(id))) << "row " << id << " lacks its thumbnail";
            }
            for (const std::string& t : acknowledged) EXPECT_TRUE(rows.count(t)) << t << " was answered but lost";
            // Nor is a stored file left that no row names (content put in place before a commit
            // the kill prevented).
            for (const char* kind : {"Whole", "Micro"}) {
                std::error_code walk;
                for (fs::directory_iterator it(files / kind, walk), end; !walk && it != end; it.increment(walk)) {
                    const std::string name = it->path().filename().string();
                    EXPECT_TRUE(ids.count(name.substr(0, name.find('.')))) << kind << "/" << name << " has no row";
                }
            }
            std::error_code ec;
            EXPECT_TRUE(!fs::exists(files / "Staging") || fs::is_empty(files / "Staging", ec))
                << "a staged file was left";
        }

        // Four sessions upload one file after another until the kill.
        std::mutex m;
        std::condition_variable answered;
        int answeredThisRound = 0;
        std::vector<std::thread> writers;
        std::vector<std::unique_ptr<srvtest::TestClient>> clients;
        for (int c = 1; c <= kSessions; ++c) {
            clients.push_back(std::make_unique<srvtest::TestClient>());
            ASSERT_TRUE(clients.back()->Open(port));
            ASSERT_EQ(clients.back()->LogOn("writer" + std::to_string(c), password), 0);
        }
        for (int c = 0; c < kSessions; ++c)
            writers.emplace_back([&, c] {
                srvtest::TestClient& client = *clients[static_cast<size_t>(c)];
                for (int i = 0; !client.IsClosed(); ++i) {
                    const std::string title = "r" + std::to_string(round) + "-s" + std::to_string(c) + "-" + std::to_string(i);
                    CkxFileImage f = srvtest::MakeFile(title, "jpg", -1, srvtest::kReadOpen, UploadBytes(title), "m");
                    f.m_nID = -1 - i;
                    if (!srvtest::SendPieces(client, kx::kMsgCaptureFile, kx::kSubAdd, {srvtest::FileData(f)})) return;
                    // The answer, or the end of the connection when the server is killed.
                    std::optional<srvtest::Answer> a;
                    const auto end = std::chrono::steady_clock::now() + 60s;
                    while (!a && !client.IsClosed() && std::chrono::steady_clock::now() < end)
                        a = client.Wait(kx::kMsgCaptureFile, kx::kSubNone, 100ms);
                    if (!a) a = client.Wait(kx::kMsgCaptureFile, kx::kSubNone, 0ms); // came just before the end
                    if (!a) return;
                    std::lock_guard l(m);
                    acknowledged.push_back(title);
                    ++answeredThisRound;
                    answered.notify_all();
                }
            });
        {
            // Killed while the sessions are at it: some uploads answered, others on their way.
            std::unique_lock l(m);
            EXPECT_TRUE(answered.wait_for(l, 60s, [&] { return answeredThisRound >= 3 * kSessions; }));
        }
        ASSERT_EQ(::kill(server, SIGKILL), 0);
        WaitExit(server, 30s);
        for (auto& w : writers) w.join();
    }
    EXPECT_GE(acknowledged.size(), 3u * 3 * kSessions);
}

} // namespace
