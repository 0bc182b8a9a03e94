// Requests decoded from a run of arbitrary bytes and sent by a logged-on workstation to the test
// server, the way a workstation sends them: the libFuzzer harness in fuzz/ feeds the fuzzer's
// bytes, fuzz_regressions_test replays what the fuzzer once found.
//
// Each request is: u8 type (taken modulo 61, so types the protocol does not serve come too),
// u8 sub-operation, u8 shape, then its bytes as chunks (u16 little-endian length, the bytes; the
// last chunk may be cut short). Shape bit 0 clear: a packet whose payload is one chunk (at most
// a packet's payload). Set: a multi-part message of (shape >> 1) % 8 pieces, one chunk each,
// with the next chunk's first four bytes as its parameter.
#pragma once

#include "protocol/KxMessage.h"
#include "server/support/TestServer.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace requeststream {

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}
    bool More() const { return m_at + 3 <= m_n; }
    int Byte() { return m_at < m_n ? m_p[m_at++] : 0; }
    std::string_view Chunk() {
        if (m_at + 2 > m_n) {
            m_at = m_n;
            return {};
        }
        size_t len = static_cast<size_t>(m_p[m_at]) | static_cast<size_t>(m_p[m_at + 1]) << 8;
        m_at += 2;
        len = std::min(len, m_n - m_at);
        std::string_view c(reinterpret_cast<const char*>(m_p + m_at), len);
        m_at += len;
        return c;
    }

private:
    const uint8_t* m_p;
    size_t m_n;
    size_t m_at = 0;
};

// The test server and a workstation logged on as its administrator (whose requests reach every
// reader), made again when the server ended the session or a request took the administrator's
// log-on away.
class Target {
public:
    // Sends every request of the bytes, then waits until the server has handled them all. False
    // when the server stopped answering (a hang) while the session was still open.
    bool Run(const uint8_t* data, size_t size) {
        // Every added record makes each later list request longer: a fresh catalogue now and then.
        if (++m_nRuns % kRunsPerCatalogue == 0) {
            m_client.reset();
            m_server.reset();
        }
        if (!Ready()) return true; // reported by TestServer; nothing to drive
        Reader in(data, size);
        while (in.More()) {
            const int type = in.Byte() % 61;
            const int subOp = in.Byte();
            const int shape = in.Byte();
            // The host report samples the processor for a second: no reader of request bytes.
            if (type == kx::kMsgHostInfo) continue;
            if ((shape & 1) == 0) {
                const std::string_view payload = in.Chunk().substr(0, kNetMaxPayload);
                m_client->Send(type, subOp, payload.data(), payload.size());
            } else {
                NetMessage m;
                m.SetCommand(type, subOp);
                const std::string_view param = in.Chunk();
                uint32_t p = 0;
                if (!param.empty()) std::memcpy(&p, param.data(), std::min(param.size(), sizeof p));
                m.SetParam(p);
                for (int i = 0, n = (shape >> 1) % 8; i < n; ++i) m.AppendData(in.Chunk());
                m_client->SendMessage(m);
            }
        }
        // Handled in order, whole packets first: once a message sent last is answered, every
        // request before it has been handled.
        NetMessage sync;
        sync.SetCommand(kx::kMsgServerRecord, kx::kSubList);
        sync.AppendData("");
        m_client->SendMessage(sync);
        const bool answered = m_client->Wait(kx::kMsgServerRecord, kx::kSubList, std::chrono::seconds(20)).has_value();
        const bool closed = m_client->IsClosed();
        m_client->Pending();
        if (closed) m_client.reset();
        return answered || closed;
    }

private:
    bool Ready() {
        if (m_client && !m_client->IsClosed()) return true;
        m_client.reset();
        if (m_server) m_client = m_server->LogOnAdmin();
        if (!m_client) {
            // A fresh catalogue: the first one, or the administrator can no longer log on.
            m_server.reset();
            m_server = std::make_unique<srvtest::TestServer>();
            if (!m_server->Ok()) return false;
            m_client = m_server->LogOnAdmin();
        }
        return m_client != nullptr;
    }

    srvtest::ServerWarnings m_quiet; // dropped and refused requests are what this is about
    std::unique_ptr<srvtest::TestServer> m_server;
    std::unique_ptr<srvtest::TestClient> m_client;
    static constexpr int kRunsPerCatalogue = 200;
    int m_nRuns = 0;
};

} // namespace requeststream
