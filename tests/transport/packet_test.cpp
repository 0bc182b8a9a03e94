#include "transport/NetPacket.h"
#include "transport/NetPort.h"
#include "transport/NetReceiveBuffer.h"
#include "transport/NetSocket.h"
#include "transport/support/NetTestPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

std::string Written(NetPacket& p) {
    std::vector<uint8_t> out(kNetMaxPacket);
    int n = p.Write(out.data());
    return std::string(reinterpret_cast<const char*>(out.data()), static_cast<size_t>(n));
}

} // namespace

TEST(NetPacket, GoldenBytesOfAFreshPacketAndAfterInitCommand) {
    NetPacket fresh;
    EXPECT_EQ(Written(fresh), Bytes({0xAA, 0, 2, 0, 28, 0, 0, 0,        // frame
                                     0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, // type, sub, flag, reserved
                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    NetPacket p(kNetKindPart);
    p.InitCommand(0x1234, 21);
    p.SetRequestQueue();
    p.SetSeries(kSeriesLast, 0x0102);
    p.SetParam(0x0A0B0C0D);
    ASSERT_EQ(p.SetText("42"), 2);
    EXPECT_EQ(Written(p), Bytes({0xAA, 0, 3, 0, 30, 0, 0, 0,
                                 0x34, 0x12, 21, 0, 0, 0, 0, 0,
                                 2, 0, 0x02, 0x01, 3, 0, 0, 0, 0x0D, 0x0C, 0x0B, 0x0A, '4', '2'}));
    EXPECT_FALSE(p.IsRequest());
    EXPECT_TRUE(p.IsLastPart());
    EXPECT_FALSE(p.IsFirstPart());
    EXPECT_EQ(p.GetTotalLength(), 30);
}

TEST(NetPacket, PayloadSettersAndBoundedReaders) {
    NetPacket p;
    std::string full(8192, 'x');
    EXPECT_EQ(p.SetData(full.data(), full.size()), 8192);
    EXPECT_EQ(p.GetTotalLength(), 8220);
    std::string over(8193, 'y');
    EXPECT_EQ(p.SetData(over.data(), over.size()), 0);
    EXPECT_EQ(p.GetDataLength(), 0);
    EXPECT_EQ(p.GetData()[0], 0) << "a refused payload leaves no bytes behind";

    EXPECT_EQ(p.SetText("42"), 2);
    EXPECT_EQ(p.GetDataInt(), 42);
    p.SetText("");
    EXPECT_EQ(p.GetDataInt(), 0);
    p.SetText("  -17abc");
    EXPECT_EQ(p.GetDataInt(), -17);
    p.SetText("99999999999999999999");
    EXPECT_EQ(p.GetDataInt(), 2147483647);
    EXPECT_EQ(p.SetDataInt(-305), 4);
    EXPECT_EQ(p.GetText(), "-305");

    // A payload without a zero byte that fills the whole block is read whole, never beyond.
    p.SetData(full.data(), full.size());
    EXPECT_EQ(p.GetText().size(), 8192u);
    // A shorter payload after a longer one: the old bytes are gone.
    p.SetText("ab");
    EXPECT_EQ(p.GetText(), "ab");

    EXPECT_EQ(p.SetDataInt64(0x11223344, 0x55667788), 8);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.GetData()), 8),
              Bytes({0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}));
    uint32_t high = 0, low = 0;
    EXPECT_EQ(p.GetDataInt64(high, low), 8);
    EXPECT_EQ(high, 0x11223344u);
    EXPECT_EQ(low, 0x55667788u);
    p.SetText("1234567");
    EXPECT_EQ(p.GetDataInt64(high, low), 0);

    char out[16] = {};
    EXPECT_EQ(p.CopyData(out, 7), 7);
    EXPECT_EQ(p.CopyData(out, 8), 0);
}

TEST(NetPacket, ReadAlwaysDecidesWithoutOverrunning) {
    NetPacket source;
    source.InitCommand(9, 20, 1);
    source.SetText("hello");
    const std::string wire = Written(source); // 33 bytes

    struct Case {
        const char* name;
        std::string bytes;
        int expect; // bytes taken, 0 wait, -1 not a packet
    };
    auto withTotal = [&](int total) {
        std::string b = wire;
        b[4] = static_cast<char>(total & 0xFF);
        b[5] = static_cast<char>(total >> 8);
        return b;
    };
    std::string big = nettest::Frame(2, 1, 1, 1, std::string(8192, 'z'));
    const std::vector<Case> cases = {
        {"27 bytes", wire.substr(0, 27), 0},
        {"header only", wire.substr(0, 28), 0},
        {"partial payload", wire.substr(0, 31), 0},
        {"whole packet", wire, 33},
        {"whole packet and more", wire + wire, 33},
        {"total 0", withTotal(0), -1},
        {"total 27", withTotal(27), -1},
        {"total 8221", withTotal(8221) + std::string(9000, 'q'), -1},
        {"total 65535", withTotal(65535), -1},
        {"largest packet", big, 8220},
        {"no sync byte", std::string(1, '\x55') + wire.substr(1), -1},
    };
    for (const Case& c : cases) {
        NetPacket p;
        // An exact-size heap copy lets AddressSanitizer catch a read past the bytes given.
        std::vector<uint8_t> exact(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(p.Read(exact.data(), exact.size()), c.expect) << c.name;
    }

    NetPacket back;
    ASSERT_EQ(back.Read(reinterpret_cast<const uint8_t*>(wire.data()), wire.size()), 33);
    EXPECT_EQ(back.GetType(), 9);
    EXPECT_EQ(back.GetSubOp(), 20);
    EXPECT_TRUE(back.IsRequest());
    EXPECT_EQ(back.GetText(), "hello");
}

TEST(NetReceiveBuffer, SyncConsumeAndReset) {
    NetReceiveBuffer b;
    // The block is taken by the first byte, not before: an idle connection costs none.
    EXPECT_FALSE(b.HasBlock());
    EXPECT_EQ(b.Length(), 0u);
    EXPECT_EQ(b.SyncTo(0xAA), 0);
    b.Reset();
    EXPECT_FALSE(b.HasBlock());
    ASSERT_TRUE(b.Append("\x01\x02\x03", 3));
    EXPECT_TRUE(b.HasBlock());
    EXPECT_EQ(b.SyncTo(0xAA), 0);
    EXPECT_EQ(b.Length(), 0u);

    ASSERT_TRUE(b.Append("\xAA\x05", 2));
    EXPECT_EQ(b.SyncTo(0xAA), 1);
    EXPECT_EQ(b.Length(), 2u);

    ASSERT_TRUE(b.Append("\x00\x00\xAA\x07", 4));
    b.Consume(2);
    EXPECT_EQ(b.SyncTo(0xAA), 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.Data()), b.Length()), "\xAA\x07");
    b.Consume(100);
    EXPECT_EQ(b.Length(), 0u);

    // Consuming past the middle of the block moves the rest to the front, intact.
    std::string half = nettest::Pattern(NetReceiveBuffer::kCapacity / 2 + 10, 3);
    ASSERT_TRUE(b.Append(half.data(), half.size()));
    b.Consume(NetReceiveBuffer::kCapacity / 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.Data()), b.Length()), half.substr(NetReceiveBuffer::kCapacity / 2));
    b.Reset();
    EXPECT_EQ(b.Length(), 0u);
    EXPECT_FALSE(b.HasBlock()); // given back; the next byte takes a fresh one
    ASSERT_TRUE(b.Append("\xAA", 1));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.Data()), b.Length()), "\xAA");
}

TEST(NetReceiveBuffer, AFullBufferMakesTheAppenderWaitUntilConsumedOrInterrupted) {
    NetReceiveBuffer b;
    std::string block(NetReceiveBuffer::kCapacity - 10, 'a');
    ASSERT_TRUE(b.Append(block.data(), block.size()));
    ASSERT_TRUE(b.Append("0123456789", 10)) << "length + n == capacity proceeds at once";
    EXPECT_FALSE(b.Append(std::string(NetReceiveBuffer::kCapacity + 1, 'b').data(), NetReceiveBuffer::kCapacity + 1));

    auto waiting = std::async(std::launch::async, [&] { return b.Append("X", 1); });
    EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout);
    b.Consume(1);
    ASSERT_EQ(waiting.wait_for(10s), std::future_status::ready);
    EXPECT_TRUE(waiting.get());
    EXPECT_EQ(b.Data()[b.Length() - 1], 'X');

    auto aborted = std::async(std::launch::async, [&] { return b.Append("Y", 1); });
    EXPECT_EQ(aborted.wait_for(50ms), std::future_status::timeout);
    b.Interrupt();
    ASSERT_EQ(aborted.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(aborted.get());
}

TEST(NetReceiveBuffer, AReceiveIntoTheBufferRunsBesideTheReaderAndKeepsTheStreamIntact) {
    // One thread fills the buffer in uneven chunks (as a socket receive does) while another
    // reads, consumes and syncs; the reader must see exactly the bytes written, in order.
    NetReceiveBuffer b;
    const std::string stream = nettest::Pattern(6 * NetReceiveBuffer::kCapacity + 12345, 8);
    std::thread writer([&] {
        size_t at = 0, step = 1;
        while (at < stream.size()) {
            long n = 0;
            ASSERT_TRUE(b.AppendWith(70000, [&](uint8_t* dest, size_t room) {
                const size_t k = std::min({room, stream.size() - at, step});
                std::memcpy(dest, stream.data() + at, k);
                return static_cast<long>(k);
            }, n));
            at += static_cast<size_t>(n);
            step = step * 7 % 65521 + 1;
        }
    });
    std::string seen;
    size_t step = 3;
    while (seen.size() < stream.size()) {
        const size_t have = b.Length();
        if (have == 0) {
            b.WaitForMore(0, 10ms);
            continue;
        }
        const size_t take = std::min(have, step);
        b.Peek([&](const uint8_t* data, size_t n) {
            EXPECT_GE(n, take);
            seen.append(reinterpret_cast<const char*>(data), take);
            return 0;
        });
        b.Consume(take);
        step = step * 13 % 9001 + 1;
    }
    writer.join();
    EXPECT_TRUE(seen == stream) << "the bytes read differ from the bytes written";
    EXPECT_EQ(b.Length(), 0u);
}

TEST(NetReceiveBuffer, BytesBeingReceivedWhileTheBufferIsClearedStartItAfresh) {
    NetReceiveBuffer b;
    ASSERT_TRUE(b.Append("garbage", 7));
    std::promise<void> filling, go;
    std::shared_future<void> released = go.get_future().share();
    auto fill = std::async(std::launch::async, [&] {
        long n = 0;
        b.AppendWith(100, [&](uint8_t* dest, size_t) {
            filling.set_value();
            released.wait();
            std::memcpy(dest, "\xAA\x01\x02", 3);
            return 3L;
        }, n);
        return n;
    });
    filling.get_future().wait();
    EXPECT_EQ(b.SyncTo(0xAA), 0) << "no sync byte among the valid bytes";
    EXPECT_EQ(b.Length(), 0u);
    go.set_value();
    EXPECT_EQ(fill.get(), 3);
    ASSERT_EQ(b.Length(), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.Data()), 3), "\xAA\x01\x02");
    EXPECT_EQ(b.SyncTo(0xAA), 1);
}

TEST(NetSocket, ClosedWrapperAndUnresolvableNames) {
    NetSocket s;
    char buf[4];
    EXPECT_EQ(s.Receive(buf, 4), -1);
    EXPECT_EQ(s.SendAll("x", 1), -1);
    EXPECT_EQ(s.SendProbe(0), -1);
    EXPECT_EQ(s.WaitReadable(0), 0);
    EXPECT_EQ(s.Pending(), 0);
    EXPECT_EQ(s.Close(), 1);

    sockaddr_in sa{};
    EXPECT_EQ(s.Resolve(80, "", sa), 1);
    EXPECT_EQ(sa.sin_addr.s_addr, htonl(INADDR_ANY));
    EXPECT_EQ(ntohs(sa.sin_port), 80);
    EXPECT_EQ(s.Resolve(80, "127.0.0.1", sa), 1);
    EXPECT_EQ(sa.sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    EXPECT_EQ(s.Resolve(80, "localhost", sa), 1);
    EXPECT_EQ(s.Resolve(80, "no-such-host.invalid", sa), 0);

    s.Create();
    ASSERT_TRUE(s.IsValid());
    EXPECT_EQ(s.Connect(80, "no-such-host.invalid"), 0);
    EXPECT_EQ(s.SendAll("x", 0), 0);
}

TEST(NetSocket, SendAllAndProbeOnAVanishedPeerReturnAnError) {
    nettest::HandleListener listener;
    ASSERT_TRUE(listener.Start(0, "127.0.0.1"));
    NetSocket s;
    s.Create();
    ASSERT_TRUE(s.Connect(listener.GetPort(), "127.0.0.1"));
    int accepted = listener.TakeHandle();
    ASSERT_GE(accepted, 0);
    ::close(accepted);
    // The first write after the peer closed draws a reset; a later one fails. Neither may raise
    // SIGPIPE (which would end this test program).
    int result = 0;
    for (int i = 0; i < 50 && result >= 0; ++i) {
        result = s.SendProbe(0);
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(result, -1);
}

TEST(ServicePort, DefaultAndEnvironmentOverride) {
    unsetenv("VARNIA_PORT");
    EXPECT_EQ(kx::ServicePort(), 8800);
    setenv("VARNIA_PORT", "18801", 1);
    EXPECT_EQ(kx::ServicePort(), 18801);
    for (const char* bad : {"", "0", "70000", "12ab", "-5"}) {
        setenv("VARNIA_PORT", bad, 1);
        EXPECT_EQ(kx::ServicePort(), 8800) << bad;
    }
    unsetenv("VARNIA_PORT");
}
