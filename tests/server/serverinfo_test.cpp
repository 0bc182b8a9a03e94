// Messages 3 and 4 over loopback: the session's copy of the server record, and a fresh host
// snapshot per request that is sampled without holding up the other sessions.
#include "model/CkxHostInfo.h"
#include "model/CkxServer.h"
#include "base/Gbk.h"
#include "base/KxDrives.h"
#include "server/support/TestServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

using namespace srvtest;

TEST(ServerInfo, ServerRecordComesFromTheSessionsCopyWithItsUser) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(alice && bob);
    for (TestClient* c : {alice.get(), bob.get()}) {
        c->Send(kx::kMsgServerRecord, kx::kSubList);
        const auto answer = c->Wait(kx::kMsgServerRecord, kx::kSubList);
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->flag, 0);
        ASSERT_EQ(answer->payload.size(), 316u);
        CkxServer::_COM com;
        ASSERT_TRUE(answer->As(com));
        CkxServer record;
        record.SetComData(com);
        EXPECT_EQ(record.m_strName, "varnia-test");
        EXPECT_EQ(record.m_strDept, "测试部");
        EXPECT_EQ(record.m_strRemark, "loopback");
        EXPECT_EQ(record.m_nUserID, c->UserId());
    }
    // Only the list sub-operation is answered; the session stays.
    for (int sub : {0, 21, 22, 23}) alice->Send(kx::kMsgServerRecord, sub);
    EXPECT_TRUE(alice->Quiet(kx::kMsgServerRecord, -1));
    EXPECT_FALSE(alice->IsClosed());
}

namespace {

// One drive C whose free space the test sets: each snapshot shows what the machine said then.
class ChangingDrive : public kx::DriveSource {
public:
    explicit ChangingDrive(std::string folder) : m_folder(std::move(folder)) {}
    kx::DriveMap Map() const override {
        kx::DriveMap map;
        map[2] = m_folder;
        return map;
    }
    kx::DriveFacts Facts(const std::string&) const override {
        kx::DriveFacts f;
        f.kind = kx::DriveKind::Fixed;
        f.sizesKnown = true;
        f.totalBytes = 1000ull << 20;
        f.freeBytes = static_cast<uint64_t>(m_freeMB.load()) << 20;
        f.fileSystem = "ext4";
        return f;
    }
    std::atomic<uint32_t> m_freeMB{100};

private:
    std::string m_folder;
};

struct DriveScope {
    explicit DriveScope(std::shared_ptr<kx::DriveSource> s) { kx::SetDriveSource(std::move(s)); }
    ~DriveScope() { kx::SetDriveSource(nullptr); }
};

} // namespace

TEST(ServerInfo, HostInformationIsSampledAfreshWithoutHoldingOthersUp) {
    TestServer server;
    ASSERT_TRUE(server.Ok());
    auto drive = std::make_shared<ChangingDrive>(server.Dir().str());
    DriveScope scope(drive);
    auto alice = server.LogOn("alice", "alice-pw");
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(alice && bob);

    const auto snapshot = [&](int subOp) {
        CkxHostInfo::_COM com{};
        alice->Send(kx::kMsgHostInfo, subOp);
        const auto answer = alice->Wait(kx::kMsgHostInfo, kx::kSubNone, 10s);
        EXPECT_TRUE(answer);
        if (!answer) return com;
        EXPECT_EQ(answer->flag, 0);
        EXPECT_EQ(answer->param, 0u);
        EXPECT_EQ(answer->payload.size(), 1616u);
        EXPECT_TRUE(answer->As(com));
        return com;
    };

    // While alice's snapshot samples the machine (about a second), bob is answered.
    alice->Send(kx::kMsgHostInfo, 7); // any sub-operation
    const auto asked = std::chrono::steady_clock::now();
    bob->Send(kx::kMsgServerRecord, kx::kSubList);
    ASSERT_TRUE(bob->Wait(kx::kMsgServerRecord, kx::kSubList));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(700));
    ASSERT_TRUE(alice->Wait(kx::kMsgHostInfo, kx::kSubNone, 10s));

    const CkxHostInfo::_COM first = snapshot(0);
    drive->m_freeMB = 60;
    const CkxHostInfo::_COM second = snapshot(0);
    EXPECT_GT(first.nMemTotal, 0u);
    EXPECT_EQ(kx::GetText(first.drives[0].szRoot), "C:\\");
    EXPECT_EQ(first.drives[0].nFreeMB, 100u);
    EXPECT_EQ(second.drives[0].nFreeMB, 60u); // read afresh, not cached
    EXPECT_TRUE(bob->Quiet(kx::kMsgHostInfo, -1));           // to the requester only
}
