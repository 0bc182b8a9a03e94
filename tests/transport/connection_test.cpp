#include "transport/NetConnection.h"
#include "transport/NetLog.h"
#include "transport/support/NetTestPeer.h"

#include <gtest/gtest.h>

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using nettest::Frame;
using nettest::LoopbackPair;
using nettest::RawPeer;
using nettest::RecordingConnection;

namespace {

// Answers every request with the same payload, type and sub-operation.
void Echo(RecordingConnection& self, NetPacket& packet, NetMessage* message) {
    if (message) {
        self.SendReplyMessage(*message);
    } else {
        self.SendReply(packet);
    }
}

NetPacket Packet(int type, const std::string& payload, int cls = 0) {
    NetPacket p;
    p.InitCommand(type, 21, 1);
    p.SetQueueClass(cls);
    EXPECT_EQ(p.SetData(payload.data(), payload.size()), static_cast<int>(payload.size()));
    return p;
}

int FrameType(const std::string& frame) {
    return static_cast<unsigned char>(frame[8]) | (static_cast<unsigned char>(frame[9]) << 8);
}

} // namespace

TEST(NetConnection, PacketsOfEveryLengthTravelBothWaysAndAfterARestart) {
    LoopbackPair pair;
    pair.server.onRequest = Echo;
    ASSERT_TRUE(pair.Open());
    const std::vector<size_t> lengths = {0, 1, 2, 27, 28, 1000, 8191, 8192};
    for (int round = 0; round < 2; ++round) {
        const size_t before = pair.client.Count();
        for (size_t i = 0; i < lengths.size(); ++i)
            ASSERT_EQ(pair.client.SendPacket(Packet(100 + static_cast<int>(i), nettest::Pattern(lengths[i], static_cast<uint32_t>(i)))), 1);
        ASSERT_TRUE(pair.client.WaitForCount(before + lengths.size()));
        auto got = pair.client.Items();
        for (size_t i = 0; i < lengths.size(); ++i) {
            const auto& r = got[before + i];
            EXPECT_FALSE(r.request);
            EXPECT_EQ(r.type, 100 + static_cast<int>(i));
            EXPECT_EQ(r.subOp, 21);
            EXPECT_EQ(r.payload, nettest::Pattern(lengths[i], static_cast<uint32_t>(i))) << lengths[i];
        }
        // A stopped connection can be started again on its socket.
        pair.server.Stop();
        EXPECT_EQ(pair.server.SendReply(Packet(1, "x")), 0) << "a stopped connection queues nothing";
        ASSERT_EQ(pair.server.StartThreads(), 1);
    }
    EXPECT_EQ(pair.client.GetDroppedCount(), 0u);
    EXPECT_EQ(pair.server.GetDroppedCount(), 0u);
}

TEST(NetConnection, RequestHelpersBuildTheirPacketsAndRefuseWhatCannotTravel) {
    LoopbackPair pair;
    ASSERT_TRUE(pair.Open());
    std::string record(108, 'r');
    EXPECT_EQ(pair.client.SendListRequest(42), 1);
    EXPECT_EQ(pair.client.SendAddRequest(42, record.data(), record.size()), 1);
    EXPECT_EQ(pair.client.SendUpdateRequest(42, record.data(), record.size()), 1);
    EXPECT_EQ(pair.client.SendDeleteRequest(42, -7), 1);
    std::string tooLong(8193, 'x');
    EXPECT_EQ(pair.client.SendAddRequest(42, tooLong.data(), tooLong.size()), 0);
    EXPECT_EQ(pair.client.EnqueuePacket(Packet(43, "", 6)), 0);
    EXPECT_EQ(pair.client.SendPacket(Packet(43, "", 7)), 0);
    NetPacket reply = Packet(44, "ok");
    EXPECT_EQ(pair.client.SendReply(reply), 1);

    ASSERT_TRUE(pair.server.WaitForCount(5));
    std::this_thread::sleep_for(100ms); // nothing else may follow
    auto got = pair.server.Items();
    ASSERT_EQ(got.size(), 5u);
    const int subOps[4] = {20, 21, 22, 23};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(got[i].request);
        EXPECT_EQ(got[i].type, 42);
        EXPECT_EQ(got[i].subOp, subOps[i]);
    }
    EXPECT_EQ(got[0].payload, "");
    EXPECT_EQ(got[1].payload, record);
    EXPECT_EQ(got[3].payload, "-7");
    EXPECT_FALSE(got[4].request);
    EXPECT_EQ(got[4].payload, "ok");
}

TEST(NetConnection, SendQueuesGoOutByClassOneAtATime) {
    RawPeer peer;
    ASSERT_TRUE(peer.Open(4096));
    int small = 4096;
    setsockopt(peer.conn.GetHandle(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    // The peer does not read yet: bulk packets fill the socket and wait in queue F.
    const std::string bulk(8000, 'b');
    const int fillers = 300;
    for (int i = 0; i < fillers; ++i) ASSERT_EQ(peer.conn.EnqueuePacket(Packet(500, bulk, 5)), 1);
    std::this_thread::sleep_for(200ms);
    ASSERT_EQ(peer.conn.EnqueuePacket(Packet(600, "class 0", 0)), 1);
    ASSERT_EQ(peer.conn.EnqueuePacket(Packet(605, "class 5, late", 5)), 1);
    ASSERT_EQ(peer.conn.EnqueuePacket(Packet(601, "class 1", 1)), 1);
    ASSERT_EQ(peer.conn.EnqueuePacket(Packet(603, "class 3", 3)), 1);

    std::string stream;
    while (nettest::SplitFrames(stream).size() < static_cast<size_t>(fillers + 4)) {
        std::string more = peer.ReadFor(300ms);
        ASSERT_FALSE(more.empty()) << "the stream stalled";
        stream += more;
    }
    std::vector<int> order;
    for (const std::string& f : nettest::SplitFrames(stream)) order.push_back(FrameType(f));
    auto at = [&](int type) { return std::find(order.begin(), order.end(), type) - order.begin(); };
    const auto lastFiller = order.rend() - std::find(order.rbegin(), order.rend(), 500) - 1;
    EXPECT_LT(at(601), at(603));
    EXPECT_LT(at(603), lastFiller) << "higher classes overtake bulk traffic queued earlier";
    EXPECT_LT(at(601), fillers / 2) << "a class-1 packet does not wait for the bulk queued before it";
    EXPECT_GT(at(605), lastFiller) << "one class stays in order";
    EXPECT_GT(at(600), at(605)) << "class 0 goes last";
}

TEST(NetConnection, KeepAliveProbesAnIdleLinkAndTheReceiverSkipsProbesAndGarbage) {
    RawPeer peer;
    ASSERT_TRUE(peer.Open());
    // Silence both ways: the connection sends a 0 byte about every 2 s.
    const std::string probes = peer.ReadFor(4500ms);
    ASSERT_GE(probes.size(), 1u);
    EXPECT_LE(probes.size(), 3u);
    EXPECT_EQ(probes.find_first_not_of('\0'), std::string::npos);

    // What arrives between frames, probes and garbage, is skipped without a drop.
    const std::string stream = std::string(3, '\0') + Frame(2, 7, 20, 1, "one") + "xyz\x01" +
                               std::string(1, '\0') + Frame(2, 8, 20, 0, "two");
    ASSERT_TRUE(peer.Write(stream));
    ASSERT_TRUE(peer.conn.WaitForCount(2));
    auto got = peer.conn.Items();
    EXPECT_EQ(got[0].type, 7);
    EXPECT_EQ(got[0].payload, "one");
    EXPECT_TRUE(got[0].request);
    EXPECT_EQ(got[1].type, 8);
    EXPECT_FALSE(got[1].request);
    EXPECT_EQ(peer.conn.GetDroppedCount(), 0u);
    EXPECT_TRUE(peer.conn.IsRunning());
}

// Started for reading only, a connection reads and answers (its send thread starts with the
// first answer) but sends no keep-alive until asked; stopping it, also while a handler starts a
// thread late, joins whatever ran, and it starts again.
TEST(NetConnection, AConnectionStartedForReadingAnswersAndKeepsAliveOnlyOnceAsked) {
    RawPeer peer;
    std::atomic<bool> keepAlive{false};
    peer.conn.onRequest = [&](RecordingConnection& self, NetPacket& packet, NetMessage* message) {
        if (keepAlive.load()) self.StartKeepAlive();
        Echo(self, packet, message);
    };
    ASSERT_TRUE(peer.Open(0, NetThreads::Reading));
    ASSERT_TRUE(peer.Write(Frame(2, 7, 20, 1, "one")));
    std::string got;
    for (auto until = std::chrono::steady_clock::now() + 20s; nettest::SplitFrames(got).empty();) {
        ASSERT_LT(std::chrono::steady_clock::now(), until) << "no answer";
        got += peer.ReadFor(100ms);
    }
    EXPECT_EQ(FrameType(nettest::SplitFrames(got).front()), 7);
    // Longer than the keep-alive's silence: no probe without its thread.
    EXPECT_EQ(peer.ReadFor(3000ms), "");

    // Stops racing a handler's late starts, and starts again, for reading only or all.
    keepAlive = true;
    for (int round = 0; round < 20; ++round) {
        ASSERT_TRUE(peer.Write(Frame(2, 8, 20, 1, "again")));
        peer.conn.Stop();
        EXPECT_EQ(peer.conn.StartKeepAlive(), 0) << "a stopped connection starts no thread";
        ASSERT_EQ(peer.conn.StartThreads(round % 3 == 0 ? NetThreads::All : NetThreads::Reading), 1);
    }

    // Once asked, the keep-alive probes the silent link.
    const size_t before = peer.conn.Count();
    ASSERT_TRUE(peer.Write(Frame(2, 9, 20, 1, "last")));
    ASSERT_TRUE(peer.conn.WaitForCount(before + 1));
    std::string tail;
    for (auto until = std::chrono::steady_clock::now() + 20s;;) {
        tail += peer.ReadFor(100ms);
        const auto lastFrame = nettest::SplitFrames(tail);
        if (!lastFrame.empty() && FrameType(lastFrame.back()) == 9 && tail.back() == '\0') break;
        ASSERT_LT(std::chrono::steady_clock::now(), until) << "no answer and probe after it";
    }
    EXPECT_EQ(peer.conn.GetDroppedCount(), 0u);
    EXPECT_TRUE(peer.conn.IsRunning());
}

TEST(NetConnection, MalformedFramesAreDroppedAndTheConnectionCarriesOn) {
    kx::SetNetLogEnabled(false);
    RawPeer peer;
    ASSERT_TRUE(peer.Open());
    const std::string junk(300, 'q');
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"total length 0", Frame(2, 1, 1, 1, "", 0, 0, 0)},
        {"total length 27", Frame(2, 1, 1, 1, "", 0, 0, 27)},
        {"total length 8221", Frame(2, 1, 1, 1, junk, 0, 0, 8221)},
        {"total length 65535", Frame(2, 1, 1, 1, junk, 0, 0, 65535)},
        {"unknown kind", Frame(9, 1, 1, 1, "abc")},
        {"part too short for its header", Frame(3, 1, 1, 1, "ab")},
    };
    uint64_t dropped = 0;
    int sentinel = 0;
    for (const Case& c : cases) {
        ASSERT_TRUE(peer.Write(c.bytes + Frame(2, 900 + sentinel, 1, 1, "after")));
        ++sentinel;
        ASSERT_TRUE(peer.conn.WaitForCount(static_cast<size_t>(sentinel))) << c.name;
        EXPECT_EQ(peer.conn.Items().back().type, 900 + sentinel - 1) << c.name << ": only the packet after it arrives";
        EXPECT_GT(peer.conn.GetDroppedCount(), dropped) << c.name;
        dropped = peer.conn.GetDroppedCount();
    }
    EXPECT_TRUE(peer.conn.IsRunning());
    kx::SetNetLogEnabled(true);
}

TEST(NetConnection, WholePacketsAreHandledBeforeACompletedMessage) {
    LoopbackPair pair;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    pair.server.onRequest = [&](RecordingConnection&, NetPacket& p, NetMessage*) {
        if (p.GetType() == 1) released.wait();
    };
    ASSERT_TRUE(pair.Open());
    NetMessage message;
    message.SetCommand(2, 21);
    message.AppendData(nettest::Pattern(20000, 1));
    ASSERT_EQ(pair.client.SendPacket(Packet(1, "hold")), 1);
    ASSERT_EQ(pair.client.SendMessage(message), 1);
    ASSERT_EQ(pair.client.SendPacket(Packet(3, "")), 1);
    ASSERT_EQ(pair.client.SendPacket(Packet(4, "")), 1);
    // All four may be waiting before the dispatcher takes the first: wait for it to be held.
    for (int i = 0; i < 1000 && pair.server.GetWaitingCount() != 3; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(pair.server.GetWaitingCount(), 3u);
    release.set_value();
    ASSERT_TRUE(pair.server.WaitForCount(4));
    auto got = pair.server.Items();
    EXPECT_EQ(got[0].type, 1);
    EXPECT_EQ(got[1].type, 3);
    EXPECT_EQ(got[2].type, 4);
    EXPECT_EQ(got[3].type, 2);
    EXPECT_TRUE(got[3].isMessage);
}

TEST(NetConnection, OnCloseRunsOnceWhenThePeerGoesAfterItsLastPacketIsHandled) {
    {
        RawPeer peer;
        ASSERT_TRUE(peer.Open());
        ASSERT_TRUE(peer.Write(Frame(2, 5, 20, 1, "last words")));
        ::close(peer.raw);
        peer.raw = -1;
        ASSERT_TRUE(peer.conn.WaitForClose(10s));
        EXPECT_EQ(peer.conn.Count(), 1u) << "what the peer sent before it left is still handled";
        EXPECT_TRUE(peer.conn.IsFailed());
        EXPECT_FALSE(peer.conn.IsRunning());
        EXPECT_EQ(peer.conn.SendPacket(Packet(1, "")), 0);
    }
    LoopbackPair pair;
    ASSERT_TRUE(pair.Open());
    pair.client.StopAndClose();
    ASSERT_TRUE(pair.server.WaitForClose(10s));
    std::this_thread::sleep_for(2500ms); // past the next keep-alive probe
    EXPECT_EQ(pair.server.CloseCount(), 1);
    EXPECT_EQ(pair.client.CloseCount(), 0) << "an owner's own stop is not a failure";
}

TEST(NetConnection, StopReturnsWhileThePeerFloods) {
    kx::SetNetLogEnabled(false);
    RawPeer peer;
    // The handler is slow, so the receive side backs up all the way to the socket.
    peer.conn.onRequest = [](RecordingConnection&, NetPacket&, NetMessage*) { std::this_thread::sleep_for(1ms); };
    ASSERT_TRUE(peer.Open());
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        std::string burst;
        for (int i = 0; i < 64; ++i) burst += Frame(2, 1, 1, 1, std::string(4000, 'f'));
        while (flooding.load())
            if (!peer.Write(burst)) break;
    });
    std::this_thread::sleep_for(300ms);
    auto stopped = std::async(std::launch::async, [&] { peer.conn.Stop(); });
    EXPECT_EQ(stopped.wait_for(10s), std::future_status::ready);
    stopped.wait();
    ::shutdown(peer.raw, SHUT_RDWR);
    flooding = false;
    flood.join();
    kx::SetNetLogEnabled(true);
}

TEST(NetConnection, BothEndsStopCleanlyUnderLoad) {
    kx::SetNetLogEnabled(false);
    LoopbackPair pair;
    pair.server.onRequest = Echo;
    ASSERT_TRUE(pair.Open());
    std::atomic<bool> go{true};
    std::vector<std::thread> senders;
    for (int t = 0; t < 3; ++t)
        senders.emplace_back([&, t] {
            NetMessage m;
            m.SetCommand(9, 21);
            m.AppendData(nettest::Pattern(30000, static_cast<uint32_t>(t)));
            while (go.load()) {
                if (!pair.client.SendPacket(Packet(8, std::string(3000, 'l'), t))) break;
                if (!pair.client.SendMessage(m)) break;
            }
        });
    EXPECT_TRUE(pair.client.WaitForCount(50));
    pair.server.StopAndClose();
    pair.client.StopAndClose();
    go = false;
    for (auto& s : senders) s.join();
    EXPECT_FALSE(pair.client.IsRunning());
    kx::SetNetLogEnabled(true);
}

TEST(NetConnection, ANeverWaitingSenderCutsOffAPeerThatStopsReading) {
    kx::SetNetLogEnabled(false);
    RawPeer peer;
    ASSERT_TRUE(peer.Open(4096)); // the plain socket never reads and has a small window
    peer.conn.SetNeverWaitOnSend(true, 1 << 20);
    const std::string payload(8000, 'q');
    int refused = 0;
    auto sending = std::async(std::launch::async, [&] {
        // 4000 packets of 8 KB: far more than the cap and the socket buffers hold.
        for (int i = 0; i < 4000; ++i)
            if (peer.conn.SendAddRequest(7, payload.data(), payload.size()) == 0) ++refused;
    });
    // The sender never waits for the peer: it finishes at once.
    ASSERT_EQ(sending.wait_for(10s), std::future_status::ready);
    sending.wait();
    EXPECT_GT(refused, 0);
    // The connection's own threads end it and report the close once.
    EXPECT_TRUE(peer.conn.WaitForClose(10s));
    EXPECT_EQ(peer.conn.CloseCount(), 1);
    kx::SetNetLogEnabled(true);
}
