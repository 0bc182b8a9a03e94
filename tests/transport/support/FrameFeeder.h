// The transport's readers of a peer's bytes driven as a connection drives them, without sockets
// or threads: the frame reader (receive buffer and parse step, bytes arriving in arbitrary cuts)
// and the reassembly of multi-part messages. The libFuzzer harnesses in fuzz/ feed them the
// fuzzer's bytes and fuzz_regressions_test replays what the fuzzers once found.
//
// Both take a series of chunks, each a u16 little-endian length and that many bytes (the last
// chunk may be cut short): for the frame reader a chunk is what one receive got; for the
// reassembly the first chunk is a 20-byte command header and every further one a kind-3 payload.
#pragma once

#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "transport/NetParseStep.h"
#include "transport/NetReassembly.h"
#include "transport/NetReceiveBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace framefeed {

// Messages the harnesses accept: above the 4 MB from which blocks are faulted in ahead, far
// below the connection's 256 MB so that a run stays fast.
constexpr uint64_t kMaxMessage = 6u << 20;

inline void Expect(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "reader broke its promise: %s\n", what);
    std::abort();
}

class Chunks {
public:
    Chunks(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}
    bool Next(std::string_view& chunk) {
        if (m_at + 2 > m_n) return false;
        size_t len = static_cast<size_t>(m_p[m_at]) | static_cast<size_t>(m_p[m_at + 1]) << 8;
        m_at += 2;
        if (len > m_n - m_at) len = m_n - m_at;
        chunk = std::string_view(reinterpret_cast<const char*>(m_p + m_at), len);
        m_at += len;
        return true;
    }

private:
    const uint8_t* m_p;
    size_t m_n;
    size_t m_at = 0;
};

// What a handler reads of a completed message: every piece, within the content.
inline void TouchMessage(const NetMessage& m) {
    Expect(m.GetFirstPart() != nullptr, "a joined message has its first part");
    Expect(m.GetPieceCount() <= kNetMaxPieces, "at most 255 pieces");
    unsigned x = 0;
    for (int i = 0; i < m.GetPieceCount(); ++i)
        for (char c : m.GetPiece(i)) x += static_cast<unsigned char>(c);
    (void)x;
}

inline void TouchPacket(const NetPacket& p) {
    Expect(p.GetDataLength() >= 0 && p.GetDataLength() <= kNetMaxPayload, "payload within a packet");
    unsigned x = 0;
    for (int i = 0; i < p.GetDataLength(); ++i) x += p.GetData()[i];
    (void)x;
    p.GetText();
    p.GetDataInt();
}

// What a server lets a peer announce before it has logged on.
constexpr uint64_t kUntrustedLimit = 64u << 10;
// Bookkeeping a message in flight may hold beside its block (its first part among it).
constexpr uint64_t kMessageBookkeeping = 16u << 10;

// The receive thread appends each chunk to the buffer; the parse thread's step runs until it
// needs more bytes, and what it completes is read as the dispatch thread's handlers read it.
// With an untrusted limit the reader is a server's before the log-on: no message longer than
// the limit is joined, what the unfinished ones hold stays within what the limit allows, and a
// refused announcement ends the feed as it ends the connection.
inline void FeedFrames(const uint8_t* data, size_t size, uint64_t untrusted) {
    static NetReceiveBuffer* buffer = new NetReceiveBuffer; // 1 MB, kept between runs
    buffer->Reset();
    NetReassembly reassembly;
    reassembly.SetMaxMessageLength(kMaxMessage);
    reassembly.SetUntrustedLimit(untrusted);
    const uint64_t maxHeld = untrusted > 0 ? NetReassembly::kMaxInFlight * (untrusted + kMessageBookkeeping)
                                           : NetReassembly::kMaxInFlight * (kMaxMessage + kMessageBookkeeping);
    std::vector<std::unique_ptr<NetPacket>> wholes;
    std::vector<std::unique_ptr<NetMessage>> messages;
    Chunks chunks(data, size);
    std::string_view chunk;
    while (chunks.Next(chunk)) {
        // A chunk always fits: the parse step leaves at most one incomplete frame behind.
        Expect(buffer->Length() <= static_cast<size_t>(kNetMaxPacket), "at most one frame waits");
        buffer->Append(chunk.data(), chunk.size());
        for (size_t steps = 0;; ++steps) {
            Expect(steps <= chunk.size() + static_cast<size_t>(kNetMaxPacket), "the parse step makes progress");
            const NetParseResult r = NetParseStep(*buffer, reassembly, wholes, messages);
            Expect(r.used <= r.seen, "a step consumes only what it saw");
            Expect(reassembly.Held() <= maxHeld, "unfinished messages hold what their bound allows");
            Expect(untrusted > 0 || r.stop != NetParseStop::Refused, "only an untrusted peer is refused");
            for (auto& p : wholes) TouchPacket(*p);
            for (auto& m : messages) {
                Expect(untrusted == 0 || m->GetContentLength() <= untrusted, "no long message before trust");
                TouchMessage(*m);
            }
            wholes.clear();
            messages.clear();
            if (r.stop == NetParseStop::Refused) return;
            if (r.stop == NetParseStop::More && r.used == 0) break;
        }
    }
    reassembly.Clear();
    Expect(reassembly.Held() == 0, "a cleared reader holds nothing");
}
inline void FeedFrames(const uint8_t* data, size_t size) { FeedFrames(data, size, 0); }
// A server's reader before the peer has logged on.
inline void FeedFramesUntrusted(const uint8_t* data, size_t size) { FeedFrames(data, size, kUntrustedLimit); }

// Kind-3 payloads straight into a connection's reassembly, in whatever order they come.
inline void FeedParts(const uint8_t* data, size_t size) {
    Chunks chunks(data, size);
    std::string_view chunk;
    if (!chunks.Next(chunk)) return;
    NetCommandHeader header;
    std::memcpy(&header, chunk.data(), std::min(chunk.size(), sizeof header));
    NetReassembly reassembly;
    reassembly.SetMaxMessageLength(kMaxMessage);
    while (chunks.Next(chunk)) {
        std::unique_ptr<NetMessage> done;
        const int r = reassembly.Add(header, reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size(), done);
        Expect(reassembly.InFlight() <= NetReassembly::kMaxInFlight, "bounded messages in flight");
        if (r > 0) {
            Expect(done != nullptr, "a completed message is handed over");
            TouchMessage(*done);
        }
    }
}

} // namespace framefeed
