#include "transport/NetConnection.h"
#include "transport/NetLog.h"
#include "transport/NetMessage.h"
#include "transport/NetSeries.h"
#include "transport/support/NetTestPeer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::chrono_literals;
using nettest::ContentBlock;
using nettest::DataPartPayload;
using nettest::FirstPartPayload;
using nettest::Frame;
using nettest::LoopbackPair;
using nettest::RawPeer;

namespace {

NetMessage MessageOf(int type, const std::vector<std::string>& pieces, uint32_t param = 0) {
    NetMessage m;
    m.SetCommand(type, 21);
    m.SetParam(param);
    for (const auto& p : pieces) EXPECT_EQ(m.AppendData(p), 1);
    return m;
}

// Pieces whose packed block is exactly n bytes long (one piece, n >= 5).
std::vector<std::string> ContentOf(size_t n, uint32_t seed) { return {nettest::Pattern(n - 5, seed)}; }

} // namespace

TEST(NetMessage, PackingAndCuttingFollowTheWireLayout) {
    NetMessage ten = MessageOf(1, {"0123456789"}, 77);
    EXPECT_EQ(ten.GetContentLength(), 15u);
    EXPECT_EQ(ten.GetPartCount(), 1);
    NetCommandHeader header;
    header.Clear(1, 21, 1);
    NetPacket first, data;
    ten.MakeFirstPart(first, header, 513, 2, 4);
    ten.MakeDataPart(data, header, 513, 1);
    EXPECT_EQ(first.GetKind(), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(first.GetData()), first.GetDataLength()),
              FirstPartPayload(513, 15, 1, 77, 2, 4));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.GetData()), data.GetDataLength()),
              DataPartPayload(513, 1, ContentBlock({"0123456789"})));

    struct Case {
        size_t content;
        int parts;
        size_t lastPart;
    };
    for (const Case& c : {Case{8000, 1, 8000}, Case{8001, 2, 1}, Case{16000, 2, 8000}, Case{5, 1, 5}}) {
        NetMessage m = MessageOf(1, ContentOf(c.content, 1));
        EXPECT_EQ(m.GetPartCount(), c.parts) << c.content;
        NetPacket last;
        m.MakeDataPart(last, header, 1, c.parts);
        EXPECT_EQ(static_cast<size_t>(last.GetDataLength()), 6 + c.lastPart) << c.content;
    }
    EXPECT_EQ(NetMessage().GetPartCount(), 1) << "no piece is still one count byte";
}

// The part headers byte by byte, as the records lay them out and as MakeFirstPart / MakeDataPart
// send them: a changed field order or width shows here before a peer sees it.
TEST(NetMessage, GoldenBytesOfThePartHeaders) {
    auto bytes = [](std::initializer_list<int> values) {
        std::string s;
        for (int v : values) s.push_back(static_cast<char>(v));
        return s;
    };
    auto payload = [](const NetPacket& p) {
        return std::string(reinterpret_cast<const char*>(p.GetData()), static_cast<size_t>(p.GetDataLength()));
    };
    const std::string first = bytes({0x01, 0x02, 0, 0, 2, 0, 0x03, 0x04, // id, index 0, pos, index
                                     0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0, 0, 0x0B, 0x0C, 0x0D, 0x0E});
    NetTransferHeader t = kx::ZeroRecord<NetTransferHeader>();
    t.nTransferId = 0x0201;
    t.nSeriesPos = kSeriesLast;
    t.nSeriesIndex = 0x0403;
    t.nLength = 0x08070605;
    t.nParts = 0x0A09;
    t.nParam = 0x0E0D0C0B;
    EXPECT_EQ(kx::RecordBytes(t), first);
    NetTransferHeader back;
    ASSERT_TRUE(kx::ReadRecord(first.data(), first.size(), back));
    EXPECT_EQ(back.nLength, 0x08070605u);
    EXPECT_EQ(back.nParam, 0x0E0D0C0Bu);
    EXPECT_FALSE(kx::ReadRecord(first.data(), first.size() - 1, back));

    const std::string part = bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06});
    NetPartHeader h = kx::ZeroRecord<NetPartHeader>();
    h.nTransferId = 0x0201;
    h.nIndex = 0x0403;
    h.nLength = 0x0605;
    EXPECT_EQ(kx::RecordBytes(h), part);
    NetPartKey key;
    ASSERT_TRUE(kx::ReadRecord(part.data(), part.size(), key));
    EXPECT_EQ(key.nTransferId, 0x0201);
    EXPECT_EQ(key.nIndex, 0x0403);

    // A 8003-byte content: two data parts, the second of 3 bytes.
    NetMessage m = MessageOf(1, {std::string(7998, 'a')}, 0x44332211);
    ASSERT_EQ(m.GetContentLength(), 8003u);
    NetCommandHeader header;
    header.Clear(1, 21, 1);
    NetPacket p0, p2;
    m.MakeFirstPart(p0, header, 0x0102, kSeriesMiddle, 5);
    m.MakeDataPart(p2, header, 0x0102, 2);
    EXPECT_EQ(payload(p0), bytes({0x02, 0x01, 0, 0, 1, 0, 5, 0, 0x43, 0x1F, 0, 0, 2, 0, 0, 0,
                                  0x11, 0x22, 0x33, 0x44}));
    EXPECT_EQ(payload(p2), bytes({0x02, 0x01, 2, 0, 3, 0, 'a', 'a', 'a'}));
}

TEST(NetMessage, TheSenderRefusesWhatTheReceiverCouldNotTake) {
    NetMessage m;
    for (int i = 0; i < 255; ++i) ASSERT_EQ(m.AppendData("p", 1), 1);
    EXPECT_EQ(m.AppendData("p", 1), 0) << "a 256th piece";
    EXPECT_EQ(m.GetPieceCount(), 255);
    NetMessage big;
    char byte = 0;
    // Checked before a byte is read: 65535 parts of 8000 bytes cannot carry this much.
    EXPECT_EQ(big.AppendData(&byte, static_cast<size_t>(kNetMaxContent)), 0);
    EXPECT_EQ(big.GetPieceCount(), 0);

    NetMessage patch = MessageOf(1, {"abc", "defg"});
    EXPECT_EQ(patch.OverwritePiece(1, "wxyz", 4), 1);
    EXPECT_EQ(patch.OverwritePiece(1, "xyz", 3), 0);
    EXPECT_EQ(patch.OverwritePiece(2, "xyz", 3), 0);
    EXPECT_EQ(patch.GetPiece(1), "wxyz");
    EXPECT_EQ(patch.GetPiece(2), "");
}

TEST(NetMessage, RoundTripsOverLoopback) {
    std::vector<std::string> many;
    for (int i = 0; i < 255; ++i) many.push_back(nettest::Pattern(static_cast<size_t>(i * 7), static_cast<uint32_t>(i)));
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"0123456789"},
        {""},
        ContentOf(8000, 2),
        ContentOf(8001, 3),
        ContentOf(16000, 4),
        {std::string(8193, 's')},
        many,
        {nettest::Pattern(1 << 20, 5), "tail"},
        {nettest::Pattern(50u << 20, 6)},
        // Longer than the room a message's block is given at once: it grows and moves as before.
        {nettest::Pattern(70u << 20, 7)},
    };
    LoopbackPair pair;
    pair.server.onRequest = [](nettest::RecordingConnection& self, NetPacket&, NetMessage* m) {
        if (m) self.SendReplyMessage(*m);
    };
    ASSERT_TRUE(pair.Open());
    for (size_t i = 0; i < cases.size(); ++i)
        ASSERT_EQ(pair.client.SendMessage(MessageOf(300 + static_cast<int>(i), cases[i], 1000 + i)), 1);
    ASSERT_TRUE(pair.client.WaitForCount(cases.size(), 120s));
    auto sent = pair.server.Items();
    auto back = pair.client.Items();
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_TRUE(sent[i].request);
        EXPECT_TRUE(sent[i].isMessage);
        EXPECT_EQ(sent[i].transferId, static_cast<int>(i + 1));
        EXPECT_EQ(sent[i].kind, 3);
        EXPECT_EQ(sent[i].subOp, 21);
        EXPECT_FALSE(back[i].request);
        EXPECT_EQ(back[i].type, 300 + static_cast<int>(i));
        EXPECT_EQ(back[i].param, 1000 + i);
        EXPECT_TRUE(back[i].pieces == cases[i]) << "case " << i;
    }
    EXPECT_EQ(pair.server.GetDroppedCount(), 0u);
}

TEST(NetMessage, MalformedPartsAreDroppedWithoutAHandlerCall) {
    kx::SetNetLogEnabled(false);
    RawPeer peer;
    ASSERT_TRUE(peer.Open());
    auto part = [](const std::string& payload) { return Frame(3, 60, 21, 1, payload); };
    const std::string block = ContentBlock({"hello world"}); // 16 bytes
    const std::string long1 = ContentBlock({nettest::Pattern(8001 - 5, 9)});
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"data length above the payload", part(FirstPartPayload(11, 16, 1)) + part(DataPartPayload(11, 1, block.substr(0, 10), 16))},
        {"part index 0", part(FirstPartPayload(12, 16, 1)) + part(DataPartPayload(12, 0, block + std::string(4, '\0')))},
        {"part index above the count", part(FirstPartPayload(13, 16, 1)) + part(DataPartPayload(13, 2, block))},
        {"duplicate index", part(FirstPartPayload(14, 8001, 2)) + part(DataPartPayload(14, 1, long1.substr(0, 8000))) +
                                part(DataPartPayload(14, 1, long1.substr(0, 8000))) + part(DataPartPayload(14, 2, long1.substr(8000)))},
        {"lengths not summing to the total", part(FirstPartPayload(15, 16, 1)) + part(DataPartPayload(15, 1, block.substr(0, 15)))},
        {"a short part before the last", part(FirstPartPayload(16, 8001, 2)) + part(DataPartPayload(16, 1, long1.substr(0, 7999))) +
                                             part(DataPartPayload(16, 2, long1.substr(7999)))},
        {"total and count disagree", part(FirstPartPayload(17, 16, 2)) + part(DataPartPayload(17, 1, block))},
        {"zero total", part(FirstPartPayload(18, 0, 0))},
        {"huge announced total", part(FirstPartPayload(19, 500000000, 62500)) + part(DataPartPayload(19, 1, std::string(8000, 'h')))},
        {"piece lengths overrunning the block", part(FirstPartPayload(20, 9, 1)) + part(DataPartPayload(20, 1, std::string("\x01\xE8\x03\x00\x00" "abcd", 9)))},
        {"piece table beyond the block", part(FirstPartPayload(21, 5, 1)) + part(DataPartPayload(21, 1, std::string("\xFF\x00\x00\x00\x00", 5)))},
        {"first part too short", part(FirstPartPayload(22, 16, 1).substr(0, 12)) + part(DataPartPayload(22, 1, block))},
        {"data part of no message", part(DataPartPayload(23, 1, block))},
        // Large enough for its block to be faulted in ahead: dropping it must wait for that.
        {"a bad part of a large message", part(FirstPartPayload(24, 5000000, 625)) + part(DataPartPayload(24, 1, std::string(8000, 'x'))) +
                                              part(DataPartPayload(24, 1, std::string(8000, 'x')))},
    };
    int sentinel = 0;
    for (const Case& c : cases) {
        const uint64_t before = peer.conn.GetDroppedCount();
        ASSERT_TRUE(peer.Write(c.bytes + Frame(2, 900 + sentinel, 1, 1, "after")));
        ++sentinel;
        ASSERT_TRUE(peer.conn.WaitForCount(static_cast<size_t>(sentinel))) << c.name;
        auto got = peer.conn.Items();
        EXPECT_EQ(got.back().type, 900 + sentinel - 1) << c.name << ": no message may reach the handler";
        EXPECT_FALSE(got.back().isMessage) << c.name;
        EXPECT_GT(peer.conn.GetDroppedCount(), before) << c.name;
    }
    // The connection still joins a sound message, hand-built.
    ASSERT_TRUE(peer.Write(part(FirstPartPayload(40, 16, 1, 5)) + part(DataPartPayload(40, 1, block))));
    ASSERT_TRUE(peer.conn.WaitForCount(cases.size() + 1));
    auto last = peer.conn.Items().back();
    EXPECT_TRUE(last.isMessage);
    EXPECT_EQ(last.param, 5u);
    EXPECT_EQ(last.pieces, std::vector<std::string>{"hello world"});
    kx::SetNetLogEnabled(true);
}

TEST(NetMessage, AnIncompleteMessageIsDroppedWhenItsTransferIdComesRound) {
    kx::SetNetLogEnabled(false);
    RawPeer peer;
    ASSERT_TRUE(peer.Open());
    auto part = [](const std::string& payload) { return Frame(3, 61, 21, 1, payload); };
    const std::string old = ContentBlock({nettest::Pattern(9000, 1)});
    const std::string fresh = ContentBlock({"new"});
    ASSERT_TRUE(peer.Write(part(FirstPartPayload(7, static_cast<uint32_t>(old.size()), 2)) +
                           part(DataPartPayload(7, 1, old.substr(0, 8000))) +
                           part(FirstPartPayload(7, static_cast<uint32_t>(fresh.size()), 1)) +
                           part(DataPartPayload(7, 1, fresh))));
    ASSERT_TRUE(peer.conn.WaitForCount(1));
    EXPECT_EQ(peer.conn.Items()[0].pieces, std::vector<std::string>{"new"});
    kx::SetNetLogEnabled(true);
}

TEST(NetMessage, TransferIdsRunFrom1To60000AndWrap) {
    LoopbackPair pair;
    ASSERT_TRUE(pair.Open());
    pair.client.SetTransferCounter(59998);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(pair.client.SendMessage(MessageOf(1, {"x"})), 1);
    ASSERT_TRUE(pair.server.WaitForCount(3));
    auto got = pair.server.Items();
    EXPECT_EQ(got[0].transferId, 59999);
    EXPECT_EQ(got[1].transferId, 60000);
    EXPECT_EQ(got[2].transferId, 1);
}

TEST(NetSeries, PacketAndMessageSeriesCarryTheirMarks) {
    LoopbackPair pair;
    ASSERT_TRUE(pair.Open());
    struct Mark {
        int pos, index;
    };
    const std::vector<std::vector<Mark>> expected = {{{3, 0}}, {{0, 1}, {2, 0}}, {{0, 2}, {1, 1}, {2, 0}}};
    for (int n = 1; n <= 3; ++n) {
        NetPacketSeries series(30 + n, 20, false);
        series.SetParam(99);
        EXPECT_EQ(series.AddBytes("", 0), 0) << "an empty entry is not added";
        for (int i = 0; i < n; ++i) series.AddInt(i);
        ASSERT_EQ(series.GetCount(), n);
        ASSERT_EQ(pair.server.SendReplyPacketSeries(series), 1);
    }
    for (int n = 1; n <= 3; ++n) {
        NetMessageSeries series(40 + n, 20, 7);
        for (int i = 0; i < n; ++i) series.Add(MessageOf(0xFFFF, {std::to_string(i), "buffer"}));
        ASSERT_EQ(pair.server.SendReplyMessageSeries(series), 1);
    }
    ASSERT_TRUE(pair.client.WaitForCount(12));
    auto got = pair.client.Items();
    size_t k = 0;
    for (int n = 1; n <= 3; ++n)
        for (int i = 0; i < n; ++i, ++k) {
            EXPECT_FALSE(got[k].request);
            EXPECT_EQ(got[k].type, 30 + n);
            EXPECT_EQ(got[k].param, 99u);
            EXPECT_EQ(got[k].payload, std::to_string(i));
            EXPECT_EQ(got[k].seriesPos, expected[n - 1][i].pos) << n << "/" << i;
            EXPECT_EQ(got[k].seriesIndex, expected[n - 1][i].index) << n << "/" << i;
        }
    // A message series of one is position 0, index 0; the first part's header carries the same
    // marks as its payload.
    const std::vector<std::vector<Mark>> messageMarks = {{{0, 0}}, {{0, 1}, {2, 0}}, {{0, 2}, {1, 1}, {2, 0}}};
    for (int n = 1; n <= 3; ++n)
        for (int i = 0; i < n; ++i, ++k) {
            EXPECT_TRUE(got[k].isMessage);
            EXPECT_EQ(got[k].type, 40 + n);
            EXPECT_EQ(got[k].param, 7u);
            EXPECT_EQ(got[k].messageSeriesPos, messageMarks[n - 1][i].pos) << n << "/" << i;
            EXPECT_EQ(got[k].messageSeriesIndex, messageMarks[n - 1][i].index) << n << "/" << i;
            EXPECT_EQ(got[k].seriesPos, messageMarks[n - 1][i].pos);
            EXPECT_EQ(got[k].seriesIndex, messageMarks[n - 1][i].index);
            EXPECT_EQ(got[k].pieces, (std::vector<std::string>{std::to_string(i), "buffer"}));
        }
}
