#include "transport/NetReassembly.h"

#include "transport/NetLog.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>

NetReassembly::Prefault::Prefault(uint8_t* block, size_t n) {
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t from = reinterpret_cast<uintptr_t>(block) & ~(page - 1);
    const uintptr_t to = reinterpret_cast<uintptr_t>(block) + n;
    try {
        // Populating writes nothing: the parse thread may copy parts into the same pages
        // meanwhile. Where the kernel cannot, the pages are faulted in by the copies as before.
        m_thread = std::thread([from, to] { ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE); });
    } catch (const std::system_error&) {
    }
}

NetReassembly::Prefault::~Prefault() {
    if (m_thread.joinable()) m_thread.join();
}

void NetReassembly::Erase(size_t i) {
    m_entries[i].prefault.reset(); // before erasing moves other blocks over this one
    Give(m_entries[i], m_entries[i].nHeld);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
}

void NetReassembly::Clear() {
    while (!m_entries.empty()) Erase(m_entries.size() - 1);
    m_nLastDropped = -1;
}

bool NetReassembly::Take(Entry& e, uint64_t n) {
    const uint64_t held = m_nHeld.load();
    if (held + n > m_nMaxHeld) {
        kx::NetLog("dropped message %d: its connection's unfinished messages would hold more than %llu bytes", e.nId,
                   static_cast<unsigned long long>(m_nMaxHeld));
        return false;
    }
    if (m_pBudget && !m_pBudget->Take(n)) {
        kx::NetLog("dropped message %d: unfinished messages of all connections would hold more than %llu bytes", e.nId,
                   static_cast<unsigned long long>(m_pBudget->GetLimit()));
        return false;
    }
    m_nHeld += n;
    e.nHeld += n;
    return true;
}

void NetReassembly::Give(Entry& e, uint64_t n) {
    if (m_pBudget) m_pBudget->Give(n);
    m_nHeld -= n;
    e.nHeld -= n;
}

bool NetReassembly::Grow(Entry& e, uint64_t need) {
    const uint64_t have = e.block.size();
    if (need <= have) return true;
    // What the block counts grows by doubling, so it never outgrows what the parts received so
    // far need by more than that (a longer message's block is also copied over at each step).
    const uint64_t size = std::min<uint64_t>(e.nLength, std::max({need, 2 * have, kFirstBlock}));
    if (!Take(e, size - have)) return false;
    // Room for the whole content (up to kReserveAhead) is set aside with the first growth, so
    // the block neither moves nor is copied as it fills; pages the parts have not reached yet
    // are only address space. Only a longer message's block still moves, at each doubling.
    const uint64_t room = std::max<uint64_t>(size, std::min<uint64_t>(e.nLength, kReserveAhead));
    try {
        if (e.block.capacity() < room) {
            e.prefault.reset(); // it would touch the block that is being replaced
            NetBytes next;
            next.reserve(room);
            next.resize(have);
            if (have > 0) std::memcpy(next.data(), e.block.data(), have); // vector's own move goes byte by byte
            e.block.swap(next);
        }
        e.block.resize(size);
    } catch (const std::bad_alloc&) {
        kx::NetLog("dropped message %d: no memory for %llu bytes", e.nId, static_cast<unsigned long long>(room));
        Give(e, size - have);
        return false;
    }
    if (size - have >= kPrefaultFrom) e.prefault = std::make_unique<Prefault>(e.block.data() + have, size - have);
    return true;
}

int NetReassembly::Add(const NetCommandHeader& header, const uint8_t* payload, size_t n,
                       std::unique_ptr<NetMessage>& done) {
    NetPartKey key;
    if (!kx::ReadRecord(payload, n, key)) {
        kx::NetLog("dropped a message part of %zu bytes", n);
        return -1;
    }
    return key.nIndex == 0 ? StartMessage(header, key, payload, n) : AddData(key, payload, n, done);
}

int NetReassembly::StartMessage(const NetCommandHeader& header, const NetPartKey& key, const uint8_t* p,
                                size_t n) {
    const int id = key.nTransferId;
    // A message whose transfer id comes round again never completed: it is dropped.
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].nId == id) {
            kx::NetLog("dropped incomplete message %d: its transfer id was reused", id);
            Erase(i);
            ++m_nEvicted;
            break;
        }
    NetTransferHeader first;
    if (!kx::ReadRecord(p, n, first)) {
        kx::NetLog("dropped message %d: first part of %zu bytes", id, n);
        return -1;
    }
    const uint32_t length = first.nLength;
    const int parts = first.nParts;
    // L must need exactly C parts: more than 8000 (C - 1) and at most 8000 C.
    if (length == 0 || parts == 0 || length > static_cast<uint64_t>(parts) * kNetPartData ||
        length <= static_cast<uint64_t>(parts - 1) * kNetPartData) {
        kx::NetLog("dropped message %d: length %u does not fit %d parts", id, length, parts);
        return -1;
    }
    const uint64_t untrusted = m_nUntrusted.load();
    if (untrusted > 0 && length > untrusted) {
        kx::NetLog("refused message %d: %u bytes announced by a peer not yet trusted with more than %llu; "
                   "ending the connection",
                   id, length, static_cast<unsigned long long>(untrusted));
        return kRefused;
    }
    if (length > m_nMaxMessage) {
        kx::NetLog("dropped message %d: length %u above the limit of %llu", id, length,
                   static_cast<unsigned long long>(m_nMaxMessage));
        return -1;
    }
    // Make room: the table holds a bounded number of messages.
    while (m_entries.size() >= kMaxInFlight) {
        kx::NetLog("dropped incomplete message %d to make room", m_entries.front().nId);
        Erase(0);
        ++m_nEvicted;
    }
    Entry entry;
    entry.nId = id;
    entry.nLength = length;
    entry.nParts = parts;
    // The announcement alone costs its bookkeeping; the block waits for the data.
    if (!Take(entry, sizeof(Entry) + sizeof(NetMessage) + sizeof(NetPacket) + static_cast<uint64_t>(parts) / 8 + 1))
        return -1;
    try {
        entry.got.assign(static_cast<size_t>(parts) + 1, false);
        entry.message = std::make_unique<NetMessage>();
    } catch (const std::bad_alloc&) {
        kx::NetLog("dropped message %d: no memory for its bookkeeping", id);
        Give(entry, entry.nHeld);
        return -1;
    }
    NetMessage& m = *entry.message;
    m.m_nTransferId = id;
    m.m_nSeriesPos = first.nSeriesPos;
    m.m_nSeriesIndex = first.nSeriesIndex;
    m.m_nParam = first.nParam;
    m.m_header = header;
    m.m_first.emplace(kNetKindPart);
    m.m_first->Header() = header;
    m.m_first->SetData(p, n);
    try {
        m_entries.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        Give(entry, entry.nHeld);
        return -1;
    }
    return 0;
}

int NetReassembly::AddData(const NetPartKey& key, const uint8_t* p, size_t size, std::unique_ptr<NetMessage>& done) {
    const int id = key.nTransferId;
    const int index = key.nIndex;
    size_t i = 0;
    while (i < m_entries.size() && m_entries[i].nId != id) ++i;
    if (i == m_entries.size()) {
        // The first part always travels ahead of the data parts on the one stream. The rest of
        // a message already dropped is dropped quietly: its drop has been logged.
        if (id != m_nLastDropped) kx::NetLog("dropped part %d of unknown message %d", index, id);
        return -1;
    }
    Entry& e = m_entries[i];
    auto drop = [&](const char* why) {
        kx::NetLog("dropped message %d: part %d %s", id, index, why);
        m_nLastDropped = id;
        Erase(i);
        return -1;
    };
    NetPartHeader part;
    if (!kx::ReadRecord(p, size, part)) return drop("is too short");
    if (index < 1 || index > e.nParts) return drop("is out of range");
    if (e.got[static_cast<size_t>(index)]) return drop("came twice");
    const size_t n = part.nLength;
    if (n > size - sizeof part) return drop("claims more data than it carries");
    const uint64_t offset = static_cast<uint64_t>(index - 1) * kNetPartData;
    const uint64_t expected = index < e.nParts ? kNetPartData : e.nLength - offset;
    if (n != expected) return drop("has the wrong data length");
    if (!Grow(e, offset + n)) {
        m_nLastDropped = id;
        Erase(i);
        ++m_nEvicted;
        return -1;
    }
    std::memcpy(e.block.data() + offset, p + sizeof part, n);
    e.got[static_cast<size_t>(index)] = true;
    if (++e.nReceived < e.nParts) return 0;

    e.prefault.reset();
    std::unique_ptr<NetMessage> message = std::move(e.message);
    NetBytes block = std::move(e.block);
    Erase(i);
    if (!message->TakeContent(std::move(block))) {
        kx::NetLog("dropped message %d: its piece table overruns the content", id);
        return -1;
    }
    done = std::move(message);
    return 1;
}
