// What a running server does against connections that never log on, guessed passwords, values
// in its log and other people's eyes on its files, over loopback against the real server core
// and a real SQLite catalogue.
#include "base/KxIni.h"
#include "db/AdoFieldList.h"
#include "db/AdoRecordset.h"
#include "db/CatalogueMaker.h"
#include "model/CkxUser.h"
#include "model/CkxCheckout.h"
#include "server/support/FileTestKit.h"
#include "server/support/TestServer.h"
#include "session/CLogonThrottle.h"
#include "startup/CServerConfig.h"
#include "support/TempDir.h"
#include "transport/NetMessage.h"
#include "transport/NetSocket.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>

using namespace srvtest;
using namespace std::chrono;
namespace fs = std::filesystem;

namespace {

bool WaitUntil(const std::function<bool()>& done, milliseconds limit = 5s) {
    const auto until = steady_clock::now() + limit;
    while (!done()) {
        if (steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

bool AnyLineHas(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

bool ListsUsers(TestClient& client) {
    return client.Send(kx::kMsgUser, kx::kSubList) && client.WaitSeries(kx::kMsgUser, kx::kSubList).has_value();
}

unsigned ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<unsigned>(st.st_mode & 0777) : 0u;
}

// The warning lines of the operation log in category 2 (log-on), in order.
std::vector<std::string> LogonWarnings(TestServer& server) {
    return server.Locked([&] {
        std::vector<std::string> out;
        CADORecordset rs;
        if (!server.Db().Query(" SELECT T_Event FROM VUZO_Log WHERE T_Lev = 2 AND T_Type = 2 ORDER BY T_ID ", rs))
            return out;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            std::string event;
            rs.GetString("T_Event", event);
            out.push_back(event);
        }
        return out;
    });
}

// The process's resident memory in KB (0 when it cannot be read).
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

// One multi-part message whose parts a test sends itself, one by one, as a peer that may stop
// at any point: the first part announces `length` content bytes.
class PartSender {
public:
    PartSender(int transferId, size_t length) : m_nId(transferId) {
        m_message.AppendData(std::string(length - 5, 'm')); // a one-piece table takes 5 bytes
        m_message.SetCommand(kx::kMsgSession, 99);             // served as nothing after log-on
        m_header = m_message.Header();
        m_header.nFlag = 1;
        m_header.nClass = 5;
    }
    int Parts() const { return m_message.GetPartCount(); }
    bool SendFirst(TestClient& c) const {
        NetPacket part;
        m_message.MakeFirstPart(part, m_header, m_nId, kSeriesFirst, 0);
        return c.SendPacket(part) == 1;
    }
    // Data parts from..to (1-based, inclusive).
    bool SendParts(TestClient& c, int from, int to) const {
        NetPacket part;
        for (int i = from; i <= to; ++i) {
            m_message.MakeDataPart(part, m_header, m_nId, i);
            if (c.SendPacket(part) != 1) return false;
        }
        return true;
    }

private:
    int m_nId;
    NetMessage m_message;
    NetCommandHeader m_header;
};

// The first part alone: a 48-byte frame that announces `length` bytes in as many parts.
bool Announce(TestClient& c, int transferId, uint32_t length) {
    NetTransferHeader first = kx::ZeroRecord<NetTransferHeader>();
    first.nTransferId = static_cast<uint16_t>(transferId);
    first.nLength = length;
    first.nParts = static_cast<uint16_t>((length + kNetPartData - 1) / kNetPartData);
    NetPacket part(kNetKindPart);
    part.InitCommand(kx::kMsgSession, kx::kSubLogon, 1);
    part.Header().nClass = 5;
    part.SetData(&first, sizeof first);
    return part.GetTotalLength() == 48 && c.SendPacket(part) == 1;
}

// The file an announcement names: a checkout record's file, a file record's id.
int FileIdOf(const Answer& a) {
    if (a.type == kx::kMsgFileModify) {
        CkxFile::_COM com;
        return a.As(com) ? static_cast<int>(com.nID) : -1;
    }
    CkxCheckout::_COM com;
    return a.As(com) ? static_cast<int>(com.nFileID) : -1;
}

// Threads of this process: the server core runs in it.
int ThreadCount() {
    std::error_code ec;
    int n = 0;
    for (fs::directory_iterator it("/proc/self/task", ec), end; !ec && it != end; it.increment(ec)) ++n;
    return n;
}

// A peer with no threads of its own: a bare socket the test writes and reads, so counting the
// process's threads counts the server's alone.
class BarePeer {
public:
    bool Open(int port) {
        m_socket.Create();
        return m_socket.IsValid() && m_socket.Connect(port, "127.0.0.1") == 1;
    }
    bool Send(int type, int subOp, const void* bytes = nullptr, size_t n = 0) {
        NetPacket packet;
        packet.InitCommand(type, subOp, 1);
        packet.SetRequestQueue();
        if (n > 0 && packet.SetData(bytes, n) == 0) return false;
        return m_socket.WritePacket(packet) > 0;
    }
    // Reads until an answer of (type, subOp) arrives; its payload.
    std::optional<std::string> WaitAnswer(int type, int subOp, milliseconds limit = 30s) {
        const auto until = steady_clock::now() + limit;
        for (;;) {
            for (auto it = m_answers.begin(); it != m_answers.end(); ++it)
                if (it->first.nType == type && it->first.nSubOp == subOp && it->first.nFlag != 1) {
                    std::string payload = std::move(it->second);
                    m_answers.erase(it);
                    return payload;
                }
            if (!ReadSome(until)) return std::nullopt;
        }
    }
    // Reads until a keep-alive byte arrives after those counted so far.
    bool WaitProbe(milliseconds limit) {
        const auto until = steady_clock::now() + limit;
        const int seen = m_nProbes;
        while (m_nProbes == seen)
            if (!ReadSome(until)) return false;
        return true;
    }

private:
    bool ReadSome(steady_clock::time_point until) {
        const auto left = duration_cast<milliseconds>(until - steady_clock::now()).count();
        if (left <= 0) return false;
        pollfd p{m_socket.GetHandle(), POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
        char bytes[16384];
        const int n = m_socket.Receive(bytes, sizeof bytes);
        if (n <= 0) return false;
        m_in.append(bytes, static_cast<size_t>(n));
        Split();
        return true;
    }
    // Frames to m_answers; a 0 byte between frames is a keep-alive probe.
    void Split() {
        while (!m_in.empty()) {
            const auto* data = reinterpret_cast<const uint8_t*>(m_in.data());
            if (data[0] != kNetSync) {
                if (data[0] == 0) ++m_nProbes;
                m_in.erase(0, 1);
                continue;
            }
            const int frame = NetPacket::FrameLength(data, m_in.size());
            if (frame == 0) return;
            if (frame > 0) {
                NetPacket packet(data[2]);
                packet.Read(data, static_cast<size_t>(frame));
                NetCommandHeader head;
                head.nType = static_cast<uint16_t>(packet.GetType());
                head.nSubOp = static_cast<uint8_t>(packet.GetSubOp());
                head.nFlag = static_cast<uint8_t>(packet.GetFlag());
                m_answers.emplace_back(head, std::string(reinterpret_cast<const char*>(packet.GetData()),
                                                         static_cast<size_t>(packet.GetDataLength())));
            }
            m_in.erase(0, frame > 0 ? static_cast<size_t>(frame) : 1);
        }
    }

    NetSocket m_socket;
    std::string m_in;
    std::vector<std::pair<NetCommandHeader, std::string>> m_answers;
    int m_nProbes = 0;
};

} // namespace

// Before log-on a connection may announce only what a log-on needs: a longer message ends it at
// once, costing the server no memory. After the log-on the bound is lifted, and an announcement
// alone still costs only its bookkeeping.
TEST(MessageMemory, BeforeLogOnALongAnnouncementEndsTheConnectionAndCostsNothing) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    const KxServerLimits defaults;
    const auto& budget = server.Server().MessageBudget();
    const struct {
        uint32_t length;
        bool ends;
    } cases[] = {
        {static_cast<uint32_t>(defaults.messageBeforeLogon), false},
        {static_cast<uint32_t>(defaults.messageBeforeLogon) + 1, true},
        {256u << 20, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        ServerWarnings warnings;
        auto stranger = server.Connect();
        ASSERT_TRUE(stranger);
        ASSERT_TRUE(server.WaitForSessions(1));
        const long before = ResidentKb();
        ASSERT_TRUE(Announce(*stranger, 7, c.length));
        if (c.ends) {
            EXPECT_TRUE(stranger->WaitClosed());
            EXPECT_TRUE(server.WaitForSessions(0));
            EXPECT_TRUE(AnyLineHas(warnings.Lines(), "refused message 7: " + std::to_string(c.length) + " bytes"));
        } else {
            // Still served: the log-on that follows is answered.
            EXPECT_EQ(stranger->LogOn("alice", "alice-pw"), CV_USER_LOGIN_OK);
            // Logged on, the same client may announce the largest message.
            ASSERT_TRUE(Announce(*stranger, 8, 256u << 20));
            EXPECT_TRUE(WaitUntil([&] { return budget.Held() > 0; }));
            EXPECT_FALSE(stranger->IsClosed());
            EXPECT_EQ(stranger->LogOn("alice", "alice-pw"), CV_USER_LOGIN_ONLINE); // still served
            stranger->StopAndClose();
            EXPECT_TRUE(server.WaitForSessions(0));
        }
        // Announcements hold bookkeeping only, and nothing once their connection is gone.
        EXPECT_LT(budget.Peak(), 64u << 10);
        EXPECT_TRUE(WaitUntil([&] { return budget.Held() == 0; }));
        const long grew = ResidentKb() - before;
        EXPECT_LT(grew, 32 * 1024) << "resident memory grew";
        std::printf("[ figures ] %u bytes announced before log-on: connection %s; most held by unfinished messages so "
                    "far %llu bytes; resident memory %+ld KB\n",
                    c.length, c.ends ? "ended" : "kept (and 256 MB announced after log-on)",
                    static_cast<unsigned long long>(budget.Peak()), grew);
    }
}

// After log-on, memory follows the parts that arrived, and the unfinished messages of one
// connection and of all connections stay within their bounds: the message that would pass one
// is dropped (with a line) while its connection and the others carry on.
TEST(MessageMemory, UnfinishedMessagesStayWithinTheConnectionAndServerBounds) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    KxServerLimits limits = TestServer::TestLimits();
    limits.maxMessage = 8u << 20;
    limits.unfinishedPerConnection = 8u << 20;
    limits.unfinishedTotal = 12u << 20;
    server.Server().SetLimits(limits);
    const auto& budget = server.Server().MessageBudget();
    auto a = server.LogOn("alice", "alice-pw");
    auto b = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(a && b);

    // Both announce the largest message and send nothing: only bookkeeping is held.
    const PartSender ma(11, 8000000), mb(12, 8000000);
    ASSERT_EQ(ma.Parts(), 1000);
    ASSERT_TRUE(ma.SendFirst(*a) && mb.SendFirst(*b));
    ASSERT_TRUE(WaitUntil([&] { return budget.Held() > 0; }));
    EXPECT_TRUE(ListsUsers(*a) && ListsUsers(*b)); // both announcements were read by now
    EXPECT_LT(budget.Held(), 64u << 10);

    // alice sends 60 %: her block has grown to the whole message.
    ServerWarnings warnings;
    ASSERT_TRUE(ma.SendParts(*a, 1, 600));
    ASSERT_TRUE(WaitUntil([&] { return budget.Held() >= 8000000; }));
    // bob does the same: his message would pass the server's total and is dropped.
    ASSERT_TRUE(mb.SendParts(*b, 1, 600));
    EXPECT_TRUE(WaitUntil([&] {
        return AnyLineHas(warnings.Lines(), "dropped message 12: unfinished messages of all connections");
    }));
    EXPECT_TRUE(ListsUsers(*b)); // his connection carries on
    EXPECT_LE(budget.Peak(), limits.unfinishedTotal);
    std::printf("[ figures ] two sessions each sending 60 %% of an 8 MB message under a 12 MB total: at most %llu bytes "
                "held\n",
                static_cast<unsigned long long>(budget.Peak()));
    // alice's message completes and gives its bytes back; then bob's fits whole.
    ASSERT_TRUE(ma.SendParts(*a, 601, 1000));
    EXPECT_TRUE(WaitUntil([&] { return budget.Held() == 0; }));
    const PartSender again(13, 8000000);
    ASSERT_TRUE(again.SendFirst(*b) && again.SendParts(*b, 1, 1000));
    EXPECT_TRUE(ListsUsers(*b));
    EXPECT_TRUE(WaitUntil([&] { return budget.Held() == 0; }));
    EXPECT_FALSE(AnyLineHas(warnings.Lines(), "dropped message 13"));

    // One connection's second message may not push it past its own bound.
    const PartSender first(21, 8000000), second(22, 8000000);
    ASSERT_TRUE(first.SendFirst(*a) && second.SendFirst(*a));
    ASSERT_TRUE(first.SendParts(*a, 1, 600) && second.SendParts(*a, 1, 100));
    EXPECT_TRUE(WaitUntil([&] {
        return AnyLineHas(warnings.Lines(), "dropped message 22: its connection's unfinished messages");
    }));
    EXPECT_TRUE(ListsUsers(*a));
    EXPECT_LE(budget.Peak(), limits.unfinishedTotal);
    a->StopAndClose();
    b->StopAndClose();
    EXPECT_TRUE(WaitUntil([&] { return budget.Held() == 0; }));
}

// Idle connections are closed after the deadline and capped per address, while a logged-on
// session is served all along.
TEST(ConnectionLimits, IdleConnectionsAreCappedAndClosedWhileLoggedOnSessionsAreServed) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    KxServerLimits limits = TestServer::TestLimits();
    limits.logonDeadline = 1500ms;
    limits.maxPerAddress = 5;
    server.Server().SetLimits(limits);
    auto su = server.LogOnAdmin();
    ASSERT_TRUE(su);

    std::vector<std::unique_ptr<TestClient>> idle;
    for (int i = 0; i < 4; ++i) idle.push_back(server.Connect());
    ASSERT_TRUE(server.WaitForSessions(5));

    // The sixth connection from the address is closed at accept, with a line that says why.
    ServerWarnings warnings;
    auto over = server.Connect();
    ASSERT_TRUE(over);
    EXPECT_TRUE(WaitUntil([&] { return over->IsFailed(); })) << "the connection over the cap stayed open";
    EXPECT_EQ(server.Server().Sessions().GetCount(), 5);
    EXPECT_TRUE(AnyLineHas(warnings.Lines(), "connection from 127.0.0.1 refused"));

    // The logged-on session is served while the idle ones wait ...
    EXPECT_TRUE(ListsUsers(*su));
    // ... and outlives them: they are closed once the deadline has passed.
    EXPECT_TRUE(WaitUntil([&] { return server.Server().Sessions().GetCount() == 1; }));
    for (auto& c : idle) EXPECT_TRUE(WaitUntil([&] { return c->IsFailed(); }));
    EXPECT_TRUE(ListsUsers(*su));

    // Room again: a new connection that logs on in time stays past the deadline.
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);
    std::this_thread::sleep_for(limits.logonDeadline + 500ms);
    EXPECT_FALSE(alice->IsFailed());
    EXPECT_TRUE(ListsUsers(*alice));
}

// The overall cap holds whatever the addresses; a zero cap is no cap.
TEST(ConnectionLimits, TheOverallCapClosesTheConnectionOverIt) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    KxServerLimits limits = TestServer::TestLimits();
    limits.maxConnections = 2;
    server.Server().SetLimits(limits);
    auto first = server.LogOnAdmin();
    auto second = server.Connect();
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(server.WaitForSessions(2));
    auto third = server.Connect();
    ASSERT_TRUE(third);
    EXPECT_TRUE(WaitUntil([&] { return third->IsFailed(); }));
    EXPECT_FALSE(second->IsFailed());
    EXPECT_TRUE(ListsUsers(*first));
}

// How many attempts a gathered log-on line counts ("共 N 次"; one without it).
int CountOf(const std::string& line) {
    const auto at = line.find("共 ");
    return at == std::string::npos ? 1 : std::atoi(line.c_str() + at + 4);
}

// The log-on lines of the operation log that begin with "<name> ", once the server thread has
// stopped and written what it gathered.
std::vector<std::string> LinesFor(TestServer& server, const std::string& name) {
    server.Server().StopServerThread();
    std::vector<std::string> out;
    for (const auto& l : LogonWarnings(server))
        if (l.rfind("<" + name + "> ", 0) == 0) out.push_back(l);
    return out;
}

int SumOf(const std::vector<std::string>& lines) {
    int n = 0;
    for (const auto& l : lines) n += CountOf(l);
    return n;
}

// The result of a log-on answer's payload.
int ResultOf(const Answer& a) {
    int32_t result = -1;
    if (a.payload.size() >= 8) std::memcpy(&result, a.payload.data(), 4);
    return result;
}

// Failed log-ons are gathered into warning lines (name, address, last result, count; never the
// password); past the bound for a name the next attempt is refused at once without its password
// being checked, while another name from the same address is still served.
TEST(FailedLogons, AreGatheredIntoLinesAndOverTheBoundRefusedUnchecked) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    KxServerLimits limits = TestServer::TestLimits();
    limits.failuresPerName = 3;
    server.Server().SetLimits(limits);

    auto guesser = server.Connect();
    ASSERT_TRUE(guesser);
    EXPECT_EQ(guesser->LogOn("nobody", "guess-zero"), CV_USER_LOGIN_NOUSER);
    for (const char* guess : {"guess-one", "guess-two", "guess-three"})
        EXPECT_EQ(guesser->LogOn("alice", guess), CV_USER_LOGIN_PASSWORD);
    const uint64_t checks = server.Server().LogonThrottle().Checks();
    // The right password no longer helps from here: refused, unchecked.
    EXPECT_EQ(guesser->LogOn("alice", "alice-pw"), kx::kLogonNoRight);
    EXPECT_EQ(server.Server().LogonThrottle().Checks(), checks);
    EXPECT_EQ(server.Server().LogonThrottle().Refusals(), 1u);
    // Another name from the same address is checked and logs on.
    auto bob = server.Connect();
    ASSERT_TRUE(bob);
    EXPECT_EQ(bob->LogOn("bob", "bob-pw"), CV_USER_LOGIN_OK);
    EXPECT_TRUE(ListsUsers(*bob));

    const auto alice = LinesFor(server, "alice");
    ASSERT_FALSE(alice.empty());
    EXPECT_LE(alice.size(), 2u); // the window's line, and what was gathered since at exit
    EXPECT_EQ(SumOf(alice), 4);
    EXPECT_NE(alice.back().find("<alice> 登录失败: 地址 127.0.0.1, 结果 6 密码错误"), std::string::npos) << alice.back();
    EXPECT_NE(alice.back().find("未核对 1 次"), std::string::npos) << alice.back();
    EXPECT_EQ(LinesFor(server, "nobody"), std::vector<std::string>{"<nobody> 登录失败: 地址 127.0.0.1, 结果 3 用户不存在"});
    EXPECT_TRUE(LinesFor(server, "bob").empty()); // a success is no warning
    for (const auto& l : LogonWarnings(server)) EXPECT_EQ(l.find("guess"), std::string::npos) << l;
}

// 64 connections from one address guess one name at once: at most the bound's number of
// passwords is checked in the window, every attempt is answered (none waits), and the lines in
// the log stay one per window with the count. Another user from the address still logs on.
TEST(FailedLogons, ParallelGuessesGetAtMostTheBoundsChecks) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    KxServerLimits limits; // the server's own guessing bounds
    limits.maxPerAddress = 0;
    server.Server().SetLimits(limits);
    constexpr int kConnections = 64;
    std::vector<std::unique_ptr<TestClient>> guessers;
    for (int i = 0; i < kConnections; ++i) {
        guessers.push_back(server.Connect());
        ASSERT_TRUE(guessers.back());
    }
    ASSERT_TRUE(server.WaitForSessions(kConnections));
    const auto start = steady_clock::now();
    for (int i = 0; i < kConnections; ++i) {
        CkxClient guess;
        guess.m_nType = CkxClient::MS_STUDIO;
        guess.m_strLogon = "alice";
        guess.m_strPassword = "guess-" + std::to_string(i);
        ASSERT_TRUE(guessers[i]->SendRecord(kx::kMsgSession, kx::kSubLogon, guess.GetComData()));
    }
    int checked = 0, refused = 0;
    for (auto& g : guessers) {
        const auto answer = g->Wait(kx::kMsgSession, kx::kSubLogon, 30s);
        ASSERT_TRUE(answer);
        const int result = ResultOf(*answer);
        EXPECT_TRUE(result == CV_USER_LOGIN_PASSWORD || result == kx::kLogonNoRight) << result;
        (result == CV_USER_LOGIN_PASSWORD ? checked : refused) += 1;
    }
    const auto took = duration_cast<milliseconds>(steady_clock::now() - start);
    const CLogonThrottle& throttle = server.Server().LogonThrottle();
    EXPECT_LE(checked, limits.failuresPerName);
    EXPECT_EQ(static_cast<uint64_t>(checked), throttle.Checks());
    EXPECT_EQ(static_cast<uint64_t>(refused), throttle.Refusals());
    std::printf("[ figures ] %d parallel guesses at one name: %d passwords checked, %d refused unchecked, "
                "all answered in %lld ms\n",
                kConnections, checked, refused, static_cast<long long>(took.count()));

    // The address has failed, so alice is refused there even with her password; su is not.
    auto su = server.Connect();
    ASSERT_TRUE(su);
    EXPECT_EQ(su->LogOn("alice", "alice-pw"), kx::kLogonNoRight);
    EXPECT_EQ(su->LogOn("su", TestServer::kAdminPassword), CV_USER_LOGIN_OK);

    const auto lines = LinesFor(server, "alice");
    EXPECT_LE(lines.size(), 2u);
    EXPECT_EQ(SumOf(lines), kConnections + 1);
}

// The bounds, step by step on one clock: per name only against addresses that failed, per
// address over all names, a success taking back only its own attempt, the window forgetting;
// and the log lines, one per name and address per window with what it gathered.
TEST(FailedLogons, TheBoundsFollowNamesAddressesAndTheWindow) {
    KxServerLimits limits;
    limits.failuresPerName = 3;
    limits.failuresPerAddress = 5;
    limits.failureWindow = 60s;
    CLogonThrottle throttle(limits);
    const auto t0 = CLogonThrottle::Clock::time_point{} + hours(1);
    enum Outcome { Fails, LogsOn, Refused };
    const struct {
        const char* name;
        const char* address;
        int second;
        Outcome outcome;
        const char* why;
    } steps[] = {
        {"alice", "10.0.0.1", 0, Fails, "a first guess"},
        {"alice", "10.0.0.1", 1, Fails, ""},
        {"alice", "10.0.0.1", 2, Fails, "the third: the bound for alice is reached"},
        {"alice", "10.0.0.1", 3, Refused, "over the bound, from an address that failed"},
        {"alice", "10.0.0.2", 4, LogsOn, "the rightful user from an address without failures"},
        {"alice", "10.0.0.1", 5, Refused, "a success elsewhere resets nothing here"},
        {"alice", "10.0.0.3", 6, Fails, "a new address gets one check"},
        {"alice", "10.0.0.3", 7, Refused, "and then it has failed too"},
        {"bob", "10.0.0.1", 8, Fails, "another name from the guessing address"},
        {"bob", "10.0.0.1", 9, Fails, "the fifth failure from the address"},
        {"carol", "10.0.0.1", 9, Refused, "the address's bound (5) is reached"},
        {"bob", "10.0.0.2", 10, LogsOn, "a success takes back only its own check"},
        {"alice", "10.0.0.2", 11, LogsOn, "10.0.0.2 has not failed"},
        {"alice", "10.0.0.1", 61, Fails, "the first guesses left the window: checked again"},
        {"alice", "10.0.0.1", 61, Refused, "and the bound holds again"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.name) + " from " + step.address + " at " + std::to_string(step.second) +
                     " s: " + step.why);
        const auto now = t0 + seconds(step.second);
        const auto admitted = throttle.Admit(step.name, step.address, now);
        ASSERT_EQ(admitted.has_value(), step.outcome != Refused);
        if (step.outcome == LogsOn) throttle.RecordSuccess(*admitted);
        if (step.outcome == Fails) throttle.RecordFailure(*admitted, CV_USER_LOGIN_PASSWORD, 7);
    }
    // Attempts admitted side by side count at once: never more than the bound are checked.
    CLogonThrottle parallel(limits);
    const auto a = parallel.Admit("dave", "10.1.0.1", t0);
    int admitted = a ? 1 : 0;
    for (int i = 0; i < 20; ++i) admitted += parallel.Admit("dave", "10.1.0.1", t0).has_value() ? 1 : 0;
    EXPECT_EQ(admitted, limits.failuresPerName);

    // The lines: what each name and address gathered, at most once a window.
    auto lines = throttle.TakeLogLines(t0 + 64s);
    std::map<std::pair<std::string, std::string>, CLogonThrottle::LogLine> byKey;
    for (const auto& l : lines) byKey[{l.name, l.address}] = l;
    ASSERT_EQ(byKey.size(), 4u); // successes leave no line
    const auto& guesser = byKey[{"alice", "10.0.0.1"}];
    EXPECT_EQ(guesser.failed, 4);
    EXPECT_EQ(guesser.unchecked, 3);
    EXPECT_EQ(guesser.userId, 7);
    EXPECT_EQ(CLogonThrottle::LineText(guesser), "登录失败: 地址 10.0.0.1, 结果 6 密码错误, 共 7 次, 未核对 3 次");
    EXPECT_EQ(CLogonThrottle::LineText(byKey[{"carol", "10.0.0.1"}]), "登录失败: 地址 10.0.0.1, 未核对 1 次");
    EXPECT_EQ(CLogonThrottle::LineText(byKey[{"bob", "10.0.0.1"}]), "登录失败: 地址 10.0.0.1, 结果 6 密码错误, 共 2 次");
    EXPECT_EQ(CLogonThrottle::LineText(byKey[{"alice", "10.0.0.3"}]), "登录失败: 地址 10.0.0.3, 结果 6 密码错误, 共 2 次, 未核对 1 次");
    throttle.RecordFailure(*throttle.Admit("bob", "10.0.0.9", t0 + 65s), CV_USER_LOGIN_PASSWORD, 8);
    throttle.RecordFailure(*throttle.Admit("alice", "10.0.0.3", t0 + 65s), CV_USER_LOGIN_PASSWORD, 7);
    EXPECT_EQ(throttle.TakeLogLines(t0 + 66s).size(), 1u); // bob at .9 is new; alice at .3 had hers at 64 s
    EXPECT_TRUE(throttle.TakeLogLines(t0 + 100s).empty());
    EXPECT_EQ(throttle.TakeLogLines(t0 + 124s).size(), 1u); // alice at .3, a window after her last line
    EXPECT_TRUE(throttle.TakeLogLines(t0 + 200s, true).empty());

    // A flood of invented names inside the window is counted under one key: the table stops
    // growing and the flood is still bounded.
    KxServerLimits open = limits;
    open.failuresPerAddress = 0;
    CLogonThrottle flooded(open);
    int checkedFlood = 0;
    for (int i = 0; i < 20000; ++i) {
        auto f = flooded.Admit("name" + std::to_string(i), "10.9.9." + std::to_string(i % 200), t0);
        if (f) {
            ++checkedFlood;
            flooded.RecordFailure(*f, CV_USER_LOGIN_NOUSER, -1);
        }
    }
    EXPECT_LT(checkedFlood, 16384 + 400);
    EXPECT_FALSE(flooded.Admit("name-late", "10.9.9.1", t0).has_value());
    EXPECT_TRUE(flooded.Admit("alice", "10.8.8.8", t0).has_value()); // a clean address is still checked
}

// Announcements of a file reach only the sessions whose user may read it, by the rule the file
// lists apply: bob, who may not read alice's hidden file, hears nothing of its check-outs,
// check-ins, changes or deletion (no title, no rights), and still hears all of them for her open
// file; alice hears both.
TEST(FileAnnouncements, ReachOnlyTheSessionsWhoseUserMayReadTheFile) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(alice && bob);
    CkxFileImage hidden = MakeFile("secret-title", "jpg", alice->UserId(), 0, "HHHH", "h");
    CkxFileImage open = MakeFile("open-title", "jpg", alice->UserId(), kReadOpen, "OOOO", "o");
    const int idHidden = StoreFile(server, hidden), idOpen = StoreFile(server, open);
    const auto checkout = [&](int id, int mode) {
        CkxCheckout c;
        c.m_nFileID = id;
        c.m_strTitle = "request";
        c.m_strExt = "jpg";
        c.m_nOpenMode = mode;
        return c.GetComData();
    };
    const auto modify = [&](CkxFileImage f) {
        f.m_strRemark = "changed";
        CkxBuf base, ex, power;
        f.BuildBaseAttr(base);
        f.BuildExattr(ex);
        f.BuildPower(power);
        return SendPieces(*alice, kx::kMsgFileModify, kx::kSubModify,
                          {std::string(base.View()), std::string(ex.View()), std::string(power.View())});
    };
    const struct {
        const char* what;
        int type;
        int subOp;
        std::function<bool(CkxFileImage&)> send;
    } steps[] = {
        {"check out", kx::kMsgCheckOut, kx::kSubNone,
         [&](CkxFileImage& f) { return alice->SendRecord(kx::kMsgCheckOut, kx::kSubNone, checkout(f.GetID(), KXCO_OPEN_DEF)); }},
        {"check in with content", kx::kMsgCheckInChanged, kx::kSubNone,
         [&](CkxFileImage& f) {
             f.UpdateWhole("NEW!", 4);
             f.m_nSize = 4;
             return SendPieces(*alice, kx::kMsgCheckInChanged, kx::kSubAdd, {FileData(f)});
         }},
        {"check out again", kx::kMsgCheckOut, kx::kSubNone,
         [&](CkxFileImage& f) { return alice->SendRecord(kx::kMsgCheckOut, kx::kSubNone, checkout(f.GetID(), KXCO_OPEN_DEF)); }},
        {"check in", kx::kMsgCheckIn, kx::kSubNone,
         [&](CkxFileImage& f) { return alice->SendRecord(kx::kMsgCheckIn, kx::kSubNone, checkout(f.GetID(), KXCI_ONLY)); }},
        {"change the attributes", kx::kMsgFileModify, kx::kSubModify, [&](CkxFileImage& f) { return modify(f); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        // The hidden file's change goes first: bob's first announcement of the type must then be
        // the open file's, or he heard of the hidden one.
        ASSERT_TRUE(step.send(hidden));
        ASSERT_TRUE(step.send(open));
        for (int id : {idHidden, idOpen}) {
            const auto heard = alice->Wait(step.type, step.subOp);
            ASSERT_TRUE(heard);
            EXPECT_EQ(FileIdOf(*heard), id);
        }
        const auto heard = bob->Wait(step.type, step.subOp);
        ASSERT_TRUE(heard);
        EXPECT_EQ(FileIdOf(*heard), idOpen);
        EXPECT_EQ(heard->payload.find("secret-title"), std::string::npos);
        // What the lists show is what the announcements tell: bob's checked-out list names
        // only the open file.
        if (step.what == std::string("check out")) {
            ASSERT_TRUE(bob->Send(kx::kMsgCheckoutList, kx::kSubList));
            const auto list = bob->WaitSeries(kx::kMsgCheckoutList, kx::kSubNone);
            ASSERT_TRUE(list);
            ASSERT_EQ(list->size(), 1u);
            EXPECT_EQ(FileIdOf(list->front()), idOpen);
        }
    }
    // One delete of both: each session hears of the files its user may read.
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgFile, kx::kSubDelete, {DeleteRecords({DeleteRecord(idHidden, 0), DeleteRecord(idOpen, 0)})}));
    const auto toAlice = alice->Wait(kx::kMsgFile, kx::kSubDelete);
    const auto toBob = bob->Wait(kx::kMsgFile, kx::kSubDelete);
    ASSERT_TRUE(toAlice && toBob);
    EXPECT_EQ(toAlice->payload.size(), 2 * sizeof(CkxFile::_COM_DelFile));
    ASSERT_EQ(toBob->payload.size(), sizeof(CkxFile::_COM_DelFile));
    CkxFile::_COM_DelFile rec;
    ASSERT_TRUE(toBob->As(rec));
    EXPECT_EQ(static_cast<int>(rec.nID), idOpen);
    // Deleting only the hidden one tells bob nothing at all.
    CkxFileImage other = MakeFile("secret-two", "jpg", alice->UserId(), 0, "TTTT", "t");
    const int idOther = StoreFile(server, other);
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgFile, kx::kSubDelete, {DeleteRecords({DeleteRecord(idOther, 0)})}));
    ASSERT_TRUE(alice->Wait(kx::kMsgFile, kx::kSubDelete));
    EXPECT_TRUE(ListsUsers(*bob)); // answered after anything the delete sent him
    EXPECT_EQ(bob->Count(kx::kMsgFile, kx::kSubDelete), 0);
}

// A statement that fails is logged with its shape, never with the values it carried.
TEST(ServerLog, AFailedStatementIsLoggedWithoutItsValues) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    ServerWarnings warnings;
    server.Locked([&] {
        // An account insert the table refuses (it has no column T_Name).
        return server.Db().Execute(" INSERT INTO VUZO_User (T_Logon, T_Password, T_Name) VALUES "
                                   "('alice', 'Secret''s-pw-42', 'Alice Two') ");
    });
    const auto lines = warnings.Lines();
    ASSERT_TRUE(AnyLineHas(lines, "statement failed")) << "no line for the failed statement";
    EXPECT_TRUE(AnyLineHas(lines, "VALUES ('?', '?', '?')"));
    EXPECT_FALSE(AnyLineHas(lines, "Secret"));
    EXPECT_FALSE(AnyLineHas(lines, "Alice Two"));

    const struct {
        const char* sql;
        const char* logged;
    } cases[] = {
        {"SELECT 1", "SELECT 1"},
        {"UPDATE T SET A = 'x' WHERE B = 5", "UPDATE T SET A = '?' WHERE B = 5"},
        {"INSERT INTO T VALUES ('it''s', '')", "INSERT INTO T VALUES ('?', '?')"},
        {"SELECT 'unterminated secret", "SELECT '?'"},
    };
    for (const auto& c : cases) EXPECT_EQ(kx::SqlForLog(c.sql), c.logged) << c.sql;
    EXPECT_EQ(kx::DbErrorForLog("ERROR:  duplicate key\nDETAIL:  Key (t_logon)=(alice) already exists."),
              "ERROR:  duplicate key");
}

// The catalogue and the settings file are created for their owner only, whatever the umask; a
// settings file that exists keeps the mode its owner gave it.
TEST(FileModes, TheCatalogueAndTheSettingsFileAreTheOwnersAlone) {
    TempDir dir;
    const mode_t previous = ::umask(022);
    const std::string catalogue = dir.file("Varnia.db");
    std::string error;
    ASSERT_EQ(kx::CreateSqliteCatalogue(catalogue, "pw-for-test", error), 1) << error;
    EXPECT_EQ(ModeOf(catalogue), 0600u);

    CServerConfig config(dir.str());
    config.Load();
    KxDbConf conf;
    conf.nWarn = 0;
    conf.strPath = catalogue;
    ASSERT_TRUE(config.SaveDbConf(conf));
    EXPECT_EQ(ModeOf(config.GetIniPath()), 0600u);

    ASSERT_EQ(::chmod(config.GetIniPath().c_str(), 0640), 0);
    conf.nWarn = 1;
    ASSERT_TRUE(config.SaveDbConf(conf));
    EXPECT_EQ(ModeOf(config.GetIniPath()), 0640u);
    ::umask(previous);
}

// Stored files, thumbnails and their folders are the server account's alone, whatever the umask:
// folders 0700, files 0600, a replaced file too.
TEST(FileModes, StoredFilesThumbnailsAndTheirFoldersAreTheOwnersAlone) {
    struct Umask {
        mode_t previous = ::umask(0); // as permissive as it gets
        ~Umask() { ::umask(previous); }
    } permissive;
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto su = server.LogOnAdmin();
    ASSERT_TRUE(su);
    const int folder = AddFolderDirect(server, "shared", -1, su->UserId(), 0xFFFFFFFF).m_nID;
    CkxFileImage f = MakeFile("dot", "png", su->UserId(), kReadOpen, SmallPng(), "micro-bytes");
    f.m_nLocDirID = folder;
    ASSERT_TRUE(SendPieces(*su, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(f)}));
    ASSERT_TRUE(su->Wait(kx::kMsgCaptureFile, kx::kSubNone));

    const std::string root = server.StorageRoot();
    for (const char* sub : {"/File", "/File/Image", "/File/Image/Micro", "/File/Image/Whole"})
        EXPECT_EQ(ModeOf(root + sub), 0700u) << sub;
    std::vector<std::string> stored;
    for (const char* sub : {"/File/Image/Micro", "/File/Image/Whole"})
        for (const auto& entry : fs::directory_iterator(root + sub)) stored.push_back(entry.path().string());
    ASSERT_EQ(stored.size(), 2u);
    for (const auto& path : stored) EXPECT_EQ(ModeOf(path), 0600u) << path;

    // A check-in with new content replaces the whole file: still the owner's alone.
    const int id = server.Locked([&] {
        CADORecordset rs;
        int32_t value = -1;
        if (server.Db().Query(" SELECT T_ID FROM VUZO_FImage ", rs) && !rs.IsEOF()) rs.GetInt("T_ID", value);
        return value;
    });
    ASSERT_GT(id, 0);
    CkxCheckout out;
    out.m_nFileID = id;
    out.m_strExt = "png";
    out.m_nOpenMode = KXCO_OPEN_DEF;
    ASSERT_TRUE(su->SendRecord(kx::kMsgCheckOut, kx::kSubNone, out.GetComData()));
    ASSERT_TRUE(su->Wait(kx::kMsgCheckOut));
    f.m_nID = id;
    f.UpdateWhole("NEW!", 4);
    f.m_nSize = 4;
    ASSERT_TRUE(SendPieces(*su, kx::kMsgCheckInChanged, kx::kSubAdd, {FileData(f)}));
    ASSERT_TRUE(su->Wait(kx::kMsgCheckInChanged));
    const std::string whole = WholePath(server, id, "png");
    EXPECT_EQ(ReadDisk(whole), "NEW!");
    EXPECT_EQ(ModeOf(whole), 0600u);
}

// The settings file's LIMITS section: each key read, a missing or out-of-range key keeps its
// default.
TEST(ServerConfig, LimitsComeFromTheSettingsWithDefaults) {
    TempDir dir;
    {
        kx::IniFile ini(dir.file(CServerConfig::kIniName));
        ini.SetInt("LIMITS", "LOGON_WAIT", 5);
        ini.SetInt("LIMITS", "CONN_MAX", 20);
        ini.SetInt("LIMITS", "CONN_PER_ADDR", 0);
        ini.SetInt("LIMITS", "LOGON_FAILS", 7);
        ini.SetInt("LIMITS", "MSG_MAX", 8);
        ASSERT_TRUE(ini.Save());
    }
    CServerConfig config(dir.str());
    config.Load();
    const KxServerLimits limits = config.GetLimits();
    const KxServerLimits defaults;
    EXPECT_EQ(limits.logonDeadline, 5s);
    EXPECT_EQ(limits.maxConnections, 20);
    EXPECT_EQ(limits.maxPerAddress, 0);
    EXPECT_EQ(limits.failuresPerName, 7);
    EXPECT_EQ(limits.failureWindow, defaults.failureWindow);
    EXPECT_EQ(limits.maxMessage, 8u << 20);
    EXPECT_EQ(limits.unfinishedTotal, defaults.unfinishedTotal);

    CServerConfig none(dir.file("elsewhere"));
    none.Load();
    EXPECT_EQ(none.GetLimits().logonDeadline, 30s);
    EXPECT_EQ(none.GetLimits().maxConnections, 1000);
    EXPECT_EQ(none.GetLimits().maxPerAddress, 64);
}

// A LIMITS value that is no whole number in range keeps the default and says so at start, with
// the value used; so does a key that is no setting, and a total below the largest message.
TEST(ServerConfig, ALimitThatIsNoNumberOrOutOfRangeIsLoggedWithTheValueUsed) {
    const KxServerLimits defaults;
    const struct {
        const char* key;
        const char* value;
        const char* line; // what the warning says; empty: no warning
        std::function<long long(const KxServerLimits&)> field;
        long long used;
    } cases[] = {
        {"CONN_MAX", "-5", "[LIMITS] CONN_MAX=-5 is not a whole number from 0 to 1000000; 1000 is used",
         [](const KxServerLimits& l) { return l.maxConnections; }, 1000},
        {"LOGON_WAIT", "abc", "[LIMITS] LOGON_WAIT=abc is not a whole number from 1 to 86400; 30 is used",
         [](const KxServerLimits& l) { return l.logonDeadline.count(); }, 30000},
        {"LOGON_FAIL_SPAN", "99999999999", "[LIMITS] LOGON_FAIL_SPAN=99999999999 is not a whole number from 1 to 86400; 60 is used",
         [](const KxServerLimits& l) { return l.failureWindow.count(); }, 60000},
        {"LOGON_FAILS", "12abc", "[LIMITS] LOGON_FAILS=12abc is not a whole number",
         [](const KxServerLimits& l) { return l.failuresPerName; }, defaults.failuresPerName},
        {"LOGON_FAILS", "", "[LIMITS] LOGON_FAILS= is not a whole number",
         [](const KxServerLimits& l) { return l.failuresPerName; }, defaults.failuresPerName},
        {"CONN_PER_ADDR", " 12 ", "", [](const KxServerLimits& l) { return l.maxPerAddress; }, 12},
        {"MSG_MAX", "600", "[LIMITS] MSG_MAX=600 is not a whole number from 1 to 499; 256 is used",
         [](const KxServerLimits& l) { return static_cast<long long>(l.maxMessage >> 20); }, 256},
        {"MSG_PENDING_CONN", "100", "[LIMITS] MSG_PENDING_CONN is less than MSG_MAX; 256 is used",
         [](const KxServerLimits& l) { return static_cast<long long>(l.unfinishedPerConnection >> 20); }, 256},
        {"LOGON_DELAY_MAX", "99999999999", "[LIMITS] LOGON_DELAY_MAX is not a setting of this server; ignored",
         [](const KxServerLimits& l) { return l.failuresPerAddress; }, defaults.failuresPerAddress},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        TempDir dir;
        {
            kx::IniFile ini(dir.file(CServerConfig::kIniName));
            ini.SetString("LIMITS", c.key, c.value);
            ASSERT_TRUE(ini.Save());
        }
        CServerConfig config(dir.str());
        ServerWarnings warnings;
        const KxServerLimits limits = config.GetLimits();
        EXPECT_EQ(c.field(limits), c.used);
        const auto lines = warnings.Lines();
        if (*c.line) {
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_NE(lines[0].find(c.line), std::string::npos) << lines[0];
        } else {
            EXPECT_TRUE(lines.empty());
        }
    }
}

// A catalogue made by the catalogue tool commits through a write-ahead log (one sync per commit)
// and carries the planner's statistics from the start; an older file without them gets them once.
TEST(CatalogueFile, IsMadeInWalModeWithStatistics) {
    TempDir dir;
    const std::string path = dir.file("Varnia.db");
    std::string error;
    ASSERT_EQ(kx::CreateSqliteCatalogue(path, "pw-for-test", error), 1) << error;
    CADODatabase db;
    ASSERT_EQ(db.OpenAccess(path), 1);
    const auto text = [&](const std::string& sql, const char* column) {
        CADORecordset rs;
        std::string out;
        if (db.Query(sql, rs) && !rs.IsEOF()) rs.GetString(column, out);
        return out;
    };
    const std::string stats = "SELECT count(*) AS n FROM sqlite_master WHERE name = 'sqlite_stat1'";
    EXPECT_EQ(text("PRAGMA journal_mode", "journal_mode"), "wal");
    // The family and folder lists read in write-time order through an index of their own.
    EXPECT_EQ(text("SELECT count(*) AS n FROM sqlite_master WHERE type = 'index' AND name IN "
                   "('IX_VUZO_FImage_Family_Order', 'IX_VUZO_FImage_Folder_Order')",
                   "n"),
              "2");
    EXPECT_NE(text("EXPLAIN QUERY PLAN SELECT * FROM VUZO_FImage WHERE T_Deleted = 0 AND T_FamilyID = 5 "
                   "ORDER BY T_WriteTime",
                   "detail")
                  .find("IX_VUZO_FImage_Family_Order"),
              std::string::npos);
    EXPECT_EQ(text(stats, "n"), "1");

    ASSERT_EQ(db.Execute("DROP TABLE sqlite_stat1"), 1);
    EXPECT_EQ(text(stats, "n"), "0");
    EXPECT_EQ(db.GatherStatistics(true), 1);
    EXPECT_EQ(text(stats, "n"), "1");
}

// A connection that has not logged on costs the server only the threads that read and answer
// its log-on; once it logs on, the session sends, lists and keeps the line alive as any other.
TEST(StrangerThreads, ANeverLoggedOnConnectionCostsAtMostThreeThreadsAndALogOnGetsTheRest) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    KxServerLimits limits = TestServer::TestLimits();
    limits.logonDeadline = 10min; // none is closed while counted, however loaded the machine
    server.Server().SetLimits(limits);
    const int base = ThreadCount();

    constexpr int kStrangers = 200;
    std::vector<std::unique_ptr<BarePeer>> strangers;
    for (int i = 0; i < kStrangers; ++i) {
        strangers.push_back(std::make_unique<BarePeer>());
        ASSERT_TRUE(strangers.back()->Open(server.Port())) << "connection " << i;
    }
    ASSERT_TRUE(server.WaitForSessions(kStrangers, 60s));
    const int withStrangers = ThreadCount();
    EXPECT_LE(withStrangers - base, 3 * kStrangers + 10)
        << base << " threads before, " << withStrangers << " with " << kStrangers << " strangers";

    // One of them logs on: its answer, a list and, after two quiet seconds, keep-alive bytes.
    BarePeer& peer = *strangers.front();
    CkxClient client;
    client.m_nType = CkxClient::MS_STUDIO;
    client.m_strLogon = "su";
    client.m_strPassword = TestServer::kAdminPassword;
    const auto record = client.GetComData();
    ASSERT_TRUE(peer.Send(kx::kMsgSession, kx::kSubLogon, &record, sizeof record));
    const auto answer = peer.WaitAnswer(kx::kMsgSession, kx::kSubLogon);
    ASSERT_TRUE(answer && answer->size() == 8);
    int32_t result = -1;
    std::memcpy(&result, answer->data(), 4);
    ASSERT_EQ(result, 0);
    ASSERT_TRUE(peer.Send(kx::kMsgUser, kx::kSubList));
    EXPECT_TRUE(peer.WaitAnswer(kx::kMsgUser, kx::kSubList));
    EXPECT_TRUE(peer.WaitProbe(30s)) << "no keep-alive byte reached the logged-on peer";
    EXPECT_TRUE(peer.WaitProbe(30s)) << "the keep-alive stopped after its first byte";

    // Beside the strangers a new connection logs on and is served.
    auto late = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(late);
    EXPECT_TRUE(ListsUsers(*late));
    strangers.clear();
    EXPECT_TRUE(WaitUntil([&] { return server.Server().Sessions().GetCount() == 1; }, 60s));
}
