// NetReassembly: the receiving side of multi-part messages, owned by one connection's parse
// thread. It checks every kind-3 packet before copying anything (index in 1..C and seen once,
// data length within the packet and exactly what its place in the content needs, content
// length within the configured cap) and joins the data straight into the message's block.
// A bad part drops the whole message (logged); the connection carries on.
//
// Memory follows the data, never the announcement: a message's block grows (doubling, up to
// its announced length, in address space set aside once) as its parts arrive, and what the
// unfinished messages hold is bounded per connection and, through a shared budget, over all
// connections. Until its owner trusts the peer (a server before the log-on), a message
// announced longer than a small bound is refused outright and the connection is to be ended.
#pragma once

#include "transport/NetMessage.h"
#include "transport/NetMessageBudget.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

class NetReassembly {
public:
    // 256 MB: the largest content the connection accepts unless told otherwise.
    static constexpr uint64_t kDefaultMaxMessage = 256ull << 20;
    // Bytes the unfinished messages of one connection may hold unless told otherwise: room for
    // the largest message with another in flight.
    static constexpr uint64_t kDefaultMaxHeld = 2 * kDefaultMaxMessage;
    // Messages being received at once; the oldest is dropped to make room for a new one.
    static constexpr size_t kMaxInFlight = 32;
    // A message's first block: what the first data parts need, at most this much.
    static constexpr uint64_t kFirstBlock = 64u << 10;
    // What Add returns for a message refused before the peer is trusted: the caller ends the
    // connection.
    static constexpr int kRefused = -2;

    NetReassembly() = default;
    ~NetReassembly() { Clear(); }
    NetReassembly(const NetReassembly&) = delete;
    NetReassembly& operator=(const NetReassembly&) = delete;

    // Largest content accepted; a longer message is dropped (the connection carries on).
    void SetMaxMessageLength(uint64_t n) { m_nMaxMessage = n; }
    uint64_t GetMaxMessageLength() const { return m_nMaxMessage; }
    // Until lifted (0), a message announced longer than n is refused with kRefused. May be set
    // from another thread while parts arrive.
    void SetUntrustedLimit(uint64_t n) { m_nUntrusted.store(n); }
    uint64_t GetUntrustedLimit() const { return m_nUntrusted.load(); }
    // Bytes the unfinished messages may hold together; a part that needs more drops its message.
    void SetMaxHeld(uint64_t n) { m_nMaxHeld = n; }
    // The shared budget the held bytes are also taken from (null: none); set while nothing is
    // held, and it must outlive the held bytes (Clear gives them back).
    void SetBudget(NetMessageBudget* budget) { m_pBudget = budget; }

    // Takes one kind-3 packet (its command header and payload, as received). 1 and the
    // message in `done` when it completed the message, 0 when more parts are awaited, -1 when
    // the packet (and its message) was dropped, kRefused when the peer announced more than an
    // untrusted peer may send.
    int Add(const NetCommandHeader& header, const uint8_t* payload, size_t n, std::unique_ptr<NetMessage>& done);
    int Add(const NetPacket& part, std::unique_ptr<NetMessage>& done) {
        return Add(part.Header(), part.GetData(), static_cast<size_t>(part.GetDataLength()), done);
    }
    // Forgets every incomplete message (and gives its bytes back).
    void Clear();
    size_t InFlight() const { return m_entries.size(); }
    // Bytes the unfinished messages hold now (blocks and bookkeeping); any thread may ask.
    uint64_t Held() const { return m_nHeld.load(); }
    // Messages dropped to make room (too many in flight, or too many bytes held).
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
    // Contents up to this length get their whole block's address space with its first growth.
    static constexpr uint64_t kReserveAhead = 64u << 20;

    struct Entry {
        int nId = 0;
        uint32_t nLength = 0; // content length L
        int nParts = 0;       // data parts C
        int nReceived = 0;
        uint64_t nHeld = 0;   // bytes taken for it: bookkeeping and the block
        std::vector<bool> got; // index 1..C seen
        NetBytes block;       // grows as parts arrive, up to L
        std::unique_ptr<NetMessage> message;
        std::unique_ptr<Prefault> prefault; // declared after the block: ends before it is freed
    };

    int StartMessage(const NetCommandHeader& header, const NetPartKey& key, const uint8_t* p, size_t n);
    int AddData(const NetPartKey& key, const uint8_t* p, size_t n, std::unique_ptr<NetMessage>& done);
    void Erase(size_t i);
    // Takes n bytes for entry e from this connection's bound and the shared budget; false (and
    // logged) when either is spent.
    bool Take(Entry& e, uint64_t n);
    void Give(Entry& e, uint64_t n);
    // Grows e's block to hold `need` bytes; false when the bytes may not be taken.
    bool Grow(Entry& e, uint64_t need);

    std::vector<Entry> m_entries; // oldest first
    std::atomic<uint64_t> m_nHeld{0}; // sum of the entries' nHeld
    uint64_t m_nMaxMessage = kDefaultMaxMessage;
    uint64_t m_nMaxHeld = kDefaultMaxHeld;
    std::atomic<uint64_t> m_nUntrusted{0};
    NetMessageBudget* m_pBudget = nullptr;
    uint64_t m_nEvicted = 0;
    int m_nLastDropped = -1; // transfer id of the last message dropped for a bad part
};
