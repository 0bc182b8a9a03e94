// NetReassembly: the receiving side of multi-part messages, owned by one connection's parse
// thread. It checks every kind-3 packet before copying anything (index in 1..C and seen once,
// data length within the packet and exactly what its place in the content needs, content
// length within the configured cap) and joins the data straight into the message's block.
// A bad part drops the whole message (logged); the connection carries on.
#pragma once

#include "transport/NetMessage.h"

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

class NetReassembly {
public:
    // 256 MB: the largest content the connection accepts unless told otherwise.
    static constexpr uint64_t kDefaultMaxMessage = 256ull << 20;
    // Messages being received at once; the oldest is dropped to make room for a new one.
    static constexpr size_t kMaxInFlight = 32;

    NetReassembly() = default;
    NetReassembly(const NetReassembly&) = delete;
    NetReassembly& operator=(const NetReassembly&) = delete;

    void SetMaxMessageLength(uint64_t n) { m_nMaxMessage = n; }
    uint64_t GetMaxMessageLength() const { return m_nMaxMessage; }

    // Takes one kind-3 packet (its command header and payload, as received). 1 and the
    // message in `done` when it completed the message, 0 when more parts are awaited, -1 when
    // the packet (and its message) was dropped.
    int Add(const NetCommandHeader& header, const uint8_t* payload, size_t n, std::unique_ptr<NetMessage>& done);
    int Add(const NetPacket& part, std::unique_ptr<NetMessage>& done) {
        return Add(part.Header(), part.GetData(), static_cast<size_t>(part.GetDataLength()), done);
    }
    // Forgets every incomplete message.
    void Clear() { m_entries.clear(); m_nHeld = 0; m_nLastDropped = -1; }
    size_t InFlight() const { return m_entries.size(); }
    // Messages dropped to make room (too many in flight, or too many bytes announced).
    uint64_t Evicted() const { return m_nEvicted; }

private:
    // Faults a large block's pages in on a thread of its own while the parts arrive, so that
    // the parse thread only copies. The block must outlive it: destroying it waits.
    class Prefault {
    public:
        Prefault(uint8_t* block, size_t n);
        ~Prefault();
        Prefault(const Prefault&) = delete;
        Prefault& operator=(const Prefault&) = delete;

    private:
        std::thread m_thread;
    };
    // Blocks from this size on are faulted in ahead.
    static constexpr uint64_t kPrefaultFrom = 4u << 20;

    struct Entry {
        int nId = 0;
        uint32_t nLength = 0; // content length L
        int nParts = 0;       // data parts C
        int nReceived = 0;
        std::vector<bool> got; // index 1..C seen
        NetBytes block;
        std::unique_ptr<NetMessage> message;
        std::unique_ptr<Prefault> prefault; // declared after the block: ends before it is freed
    };

    int StartMessage(const NetCommandHeader& header, const NetPartKey& key, const uint8_t* p, size_t n);
    int AddData(const NetPartKey& key, const uint8_t* p, size_t n, std::unique_ptr<NetMessage>& done);
    void Erase(size_t i);

    std::vector<Entry> m_entries; // oldest first
    uint64_t m_nHeld = 0;         // sum of the announced lengths in m_entries
    uint64_t m_nMaxMessage = kDefaultMaxMessage;
    uint64_t m_nEvicted = 0;
    int m_nLastDropped = -1; // transfer id of the last message dropped for a bad part
};
