// A logged-on workstation sends damaged requests of every message type and sub-operation, as
// packets and as multi-part messages; the server drops or refuses them and keeps serving:
// afterwards a fresh workstation logs on and lists the users, and the catalogue still opens.
// The byte source is seeded, the request count fixed.
#include "db/AdoDatabase.h"
#include "model/CkxContainer.h"
#include "model/CkxFamily.h"
#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxFSNode.h"
#include "model/CkxFile.h"
#include "model/CkxFileMark.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxPower.h"
#include "model/CkxProject.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxUserGroup.h"
#include "model/CkxUserLicence.h"
#include "model/CkxUserRole.h"
#include "model/CkxUser.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "base/Record.h"
#include "server/support/TestServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <chrono>
#include <random>
#include <thread>
#include <string>
#include <vector>

using namespace srvtest;

namespace {

// Valid blocks the damaged payloads start from: records, a framed container, id texts.
std::vector<std::string> Seeds() {
    std::vector<std::string> s;
    CkxUser u;
    u.m_strLogon = "mallory";
    s.push_back(Bytes(u.GetComData()));
    CkxFile f;
    f.m_strTitle = "t";
    s.push_back(Bytes(f.GetComData()));
    CkxFamily fam;
    s.push_back(Bytes(fam.GetComData()));
    CkxContainer c;
    c.AddSect("abcd", 4);
    c.AddSect(Bytes(f.GetComData()));
    CkxBuf b;
    c.BuildBuf(b);
    s.push_back(std::string(b.View()));
    for (const std::string& r : {Bytes(CkxAttr().GetComData()), Bytes(CkxKeyword().GetComData()),
                                 Bytes(CkxKeywordGroup().GetComData()), Bytes(CkxUserGroup().GetComData()),
                                 Bytes(CkxUserRole().GetComData()), Bytes(CkxProject().GetComData()),
                                 Bytes(CkxQueryTemplet().GetComData()), Bytes(CkxObjAttrTemplet().GetComData()),
                                 Bytes(CkxFSNode().GetComData()), Bytes(CkxFileMark().GetComData()),
                                 Bytes(CkxAttrValue(1, 2).GetComData()), Bytes(CkxUserLicence().GetComData())})
        s.push_back(r);
    // List buffers: rights, member lists, a query with its fixed block and an operand.
    CkxPower power;
    power.m_LicenceList.AddTail(CkxUserLicence());
    CkxBuf pb;
    power.BuildBuf(pb);
    s.push_back(std::string(pb.View()));
    CkxUserGroup g;
    g.m_UserList = {1, 2};
    CkxBuf gb;
    g.BuildQueryBuf(gb);
    s.push_back(std::string(gb.View()));
    CkxQueryTemplet q;
    q.m_nDataMode = CkxQueryTemplet::kKindWithFix;
    q.ResetFix();
    q.m_OperandList.AddTail(CkxQueryOperand(5, CkxQuerySQL::OS_INCLUDE, CkxValueSp(std::string("x"))));
    CkxBuf qb;
    q.BuildQueryBuf(qb);
    s.push_back(std::string(qb.View()));
    CkxBuf fb;
    f.BuildFileData(fb);
    s.push_back(std::string(fb.View()));
    s.push_back("-1");
    s.push_back("999999");
    s.push_back("2147483648");
    return s;
}

class Payloads {
public:
    explicit Payloads(uint32_t seed) : m_rng(seed), m_seeds(Seeds()) {}

    std::string Next() {
        switch (m_rng() % 6) {
        case 0: return std::string();
        case 1: return Noise(1 + m_rng() % 8);
        case 2: return Noise(m_rng() % 600);
        case 3: return Noise(6000 + m_rng() % 4000); // larger than many records and packets
        default: return Damaged(m_seeds[m_rng() % m_seeds.size()]);
        }
    }

    std::vector<std::string> Pieces() {
        std::vector<std::string> p;
        const int n = static_cast<int>(m_rng() % 7);
        for (int i = 0; i < n; ++i)
            p.push_back(m_rng() % 8 == 0 ? Noise(9000 + m_rng() % 20000)
                        : m_rng() % 2 ? Damaged(m_seeds[m_rng() % m_seeds.size()]) : Next());
        return p;
    }

    uint32_t Word() { return m_rng(); }

private:
    std::string Noise(size_t n) {
        std::string s(n, '\0');
        for (auto& ch : s) ch = static_cast<char>(m_rng());
        return s;
    }
    std::string Damaged(std::string s) {
        for (int k = 0, ops = 1 + static_cast<int>(m_rng() % 3); k < ops; ++k) {
            switch (m_rng() % 4) {
            case 0:
                if (!s.empty()) s[m_rng() % s.size()] ^= static_cast<char>(1 + m_rng() % 255);
                break;
            case 1: s.resize(m_rng() % (s.size() + 1)); break;
            case 2:
                if (s.size() >= 4) {
                    static const int32_t words[] = {-1, 0x7fffffff, static_cast<int32_t>(0x80000000), 1 << 30, 255, 0};
                    int32_t w = words[m_rng() % 6];
                    std::memcpy(&s[(m_rng() % (s.size() - 3)) & ~size_t{3}], &w, 4);
                }
                break;
            default:
                if (!s.empty()) std::memset(&s[m_rng() % s.size()], 0xff, 1);
                break;
            }
        }
        return s;
    }

    std::mt19937 m_rng;
    std::vector<std::string> m_seeds;
};

// Sends every type 0..60 with sub-operations 10, 11, 20..23 and two random ones: an empty
// packet, two damaged packets and two multi-part messages of random pieces each (the host
// report, which samples the processor for a second, gets the empty packet only). A session the
// server ended is logged on again. Returns how many requests went out.
int SendDamagedRequests(TestServer& server, const std::string& logon, const std::string& password,
                        uint32_t seed) {
    constexpr int kHostInfoType = kx::kMsgHostInfo;
    auto logOn = [&] { return server.LogOn(logon, password); };
    std::unique_ptr<TestClient> client = logOn();
    if (!client) return 0;
    Payloads gen(seed);
    int sent = 0;
    for (int type = 0; type <= 60; ++type) {
        std::vector<int> ops = {10, 11, 20, 21, 22, 23};
        ops.push_back(static_cast<int>(gen.Word() % 256));
        ops.push_back(static_cast<int>(gen.Word() % 256));
        for (int subOp : ops) {
            const int rounds = type == kHostInfoType ? 1 : 5;
            for (int round = 0; round < rounds; ++round) {
                if (client->IsClosed()) {
                    // A log-off or a refused request may have ended the session.
                    client = logOn();
                    if (!client) return sent;
                }
                if (round == 0) {
                    // No payload at all: the request carries no buffer.
                    client->Send(type, subOp);
                } else if (round < 3) {
                    const std::string p = gen.Next();
                    client->Send(type, subOp, p.data(), p.size());
                } else {
                    NetMessage m;
                    m.SetCommand(type, subOp);
                    m.SetParam(gen.Word());
                    for (const std::string& piece : gen.Pieces()) m.AppendData(piece);
                    client->SendMessage(m);
                }
                ++sent;
            }
        }
        // Let the server catch up on this type before the next one, and drop what came back.
        client->Send(kx::kMsgServerRecord, kx::kSubList);
        client->Wait(kx::kMsgServerRecord, kx::kSubList, 10s);
        client->Pending();
    }
    return sent;
}

} // namespace

TEST(FuzzRequests, DamagedRequestsOfEveryTypeLeaveTheServerServing) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    ServerWarnings quiet; // the server's warning lines for dropped requests are expected here

    const auto started = std::chrono::steady_clock::now();
    // An operator (most administration requests are refused before their bytes are read), then
    // the administrator, whose requests reach every reader.
    int sent = SendDamagedRequests(server, "alice", "alice-pw", 20261210);
    sent += SendDamagedRequests(server, "su", TestServer::kAdminPassword, 1210);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, 50s);
    EXPECT_GE(sent, 4000);
    std::printf("%d requests in %lld ms\n", sent,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));

    // Still serving: a fresh administrator logs on and lists every user.
    auto admin = server.LogOnAdmin();
    ASSERT_TRUE(admin);
    admin->Send(kx::kMsgUser, kx::kSubList);
    const auto users = admin->WaitSeries(kx::kMsgUser, kx::kSubList);
    ASSERT_TRUE(users);
    EXPECT_GE(users->size(), 5u);

    // The catalogue file still opens and reads.
    CADODatabase db;
    ASSERT_EQ(db.OpenAccess(server.CataloguePath()), 1);
    EXPECT_GE(RowCount(db, "SELECT * FROM VUZO_User"), 5);
}

namespace {

// A plain loopback socket that writes whatever bytes it is given, frames or not.
class RawSocket {
public:
    explicit RawSocket(int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RawSocket() {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool Ok() const { return m_fd >= 0; }
    // False once the server has closed the connection.
    bool Write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

private:
    int m_fd = -1;
};

std::string Frame(NetPacket& p) {
    std::string out(kNetMaxPacket, '\0');
    out.resize(static_cast<size_t>(p.Write(reinterpret_cast<uint8_t*>(out.data()))));
    return out;
}

} // namespace

// Frames damaged below the request layer: noise, cut frames, wrong lengths and kinds, message
// parts whose first part promises huge contents or part counts, parts of unknown transfers.
TEST(FuzzRequests, DamagedFramesLeaveTheServerServing) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    ServerWarnings quiet;
    std::mt19937 rng(424242);
    auto noise = [&](size_t n) {
        std::string s(n, '\0');
        for (auto& c : s) c = static_cast<char>(rng());
        return s;
    };

    CkxClient logOn;
    logOn.m_nType = CkxClient::MS_STUDIO;
    logOn.m_strLogon = "alice";
    logOn.m_strPassword = "alice-pw";
    NetPacket logOnPacket;
    logOnPacket.InitCommand(kx::kMsgSession, kx::kSubLogon, 1);
    logOnPacket.SetRequestQueue();
    const CkxClient::_COM logOnRecord = logOn.GetComData();
    logOnPacket.SetData(&logOnRecord, sizeof logOnRecord);
    const std::string logOnFrame = Frame(logOnPacket);

    int connections = 0;
    for (int conn = 0; conn < 12; ++conn) {
        RawSocket s(server.Port());
        ASSERT_TRUE(s.Ok());
        ++connections;
        if (conn % 2 == 0) s.Write(logOnFrame);
        for (int i = 0; i < 150; ++i) {
            std::string bytes;
            NetPacket p;
            p.InitCommand(static_cast<int>(rng() % 61), static_cast<int>(rng() % 256), 1);
            p.SetRequestQueue();
            p.SetParam(rng());
            switch (rng() % 6) {
            case 0: bytes = noise(rng() % 400); break;
            case 1: { // a whole frame, then damaged header bytes
                std::string payload = noise(rng() % 300);
                p.SetData(payload.data(), payload.size());
                bytes = Frame(p);
                for (int k = 0; k < 3; ++k) bytes[rng() % std::min<size_t>(bytes.size(), 28)] = static_cast<char>(rng());
                bytes[0] = static_cast<char>(kNetSync);
                break;
            }
            case 2: { // a frame cut short, followed by the next frame
                std::string payload = noise(rng() % 300);
                p.SetData(payload.data(), payload.size());
                bytes = Frame(p);
                bytes.resize(rng() % bytes.size());
                break;
            }
            default: { // message parts: a first part with random promises, data parts
                p.SetKind(kNetKindPart);
                uint8_t first[kNetFirstPartSize] = {};
                const uint16_t transfer = static_cast<uint16_t>(rng() % 4 == 0 ? rng() : 1 + rng() % 3);
                static const uint32_t lengths[] = {0, 1, 5, 8000, 8001, 0x7fffffff, 0xffffffff, 524280000u};
                static const uint16_t parts[] = {0, 1, 2, 65535, 3};
                const uint32_t length = lengths[rng() % 8];
                const uint16_t count = parts[rng() % 5];
                std::memcpy(first, &transfer, 2);
                first[4] = static_cast<uint8_t>(rng() % 5);
                std::memcpy(first + 8, &length, 4);
                std::memcpy(first + 12, &count, 2);
                if (rng() % 3 == 0) p.SetData(first, sizeof first);
                else {
                    // A data part: transfer, index, data length (sometimes a lie), data.
                    std::string d = noise(6 + rng() % 600);
                    const uint16_t index = static_cast<uint16_t>(rng() % 4);
                    const uint16_t dlen = static_cast<uint16_t>(rng() % 2 ? d.size() - 6 : rng());
                    std::memcpy(d.data(), &transfer, 2);
                    std::memcpy(d.data() + 2, &index, 2);
                    std::memcpy(d.data() + 4, &dlen, 2);
                    p.SetData(d.data(), d.size());
                }
                bytes = Frame(p);
                break;
            }
            }
            if (!s.Write(bytes)) break; // the server ended this connection
        }
    }
    EXPECT_EQ(connections, 12);

    auto admin = server.LogOnAdmin();
    ASSERT_TRUE(admin);
    admin->Send(kx::kMsgUser, kx::kSubList);
    const auto users = admin->WaitSeries(kx::kMsgUser, kx::kSubList);
    ASSERT_TRUE(users);
    EXPECT_GE(users->size(), 5u);
}

// What the transport drops on a server session is one of the server's warnings, not a line on
// the error output beside them.
TEST(FuzzRequests, DroppedFramesAreServerWarnings) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    ServerWarnings warnings;
    RawSocket s(server.Port());
    ASSERT_TRUE(s.Ok());
    // A sync byte and a header whose total length is below the header's own size.
    std::string bad(kNetHeaderSize, '\0');
    bad[0] = static_cast<char>(kNetSync);
    bad[2] = static_cast<char>(kNetKindWhole);
    bad[4] = 3;
    ASSERT_TRUE(s.Write(bad + bad));
    auto hasNetLine = [&] {
        for (const std::string& line : warnings.Lines())
            if (line.rfind("net: ", 0) == 0) return true;
        return false;
    };
    for (int i = 0; i < 400 && !hasNetLine(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(hasNetLine());
}
