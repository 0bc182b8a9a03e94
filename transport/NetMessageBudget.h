// NetMessageBudget: the bytes that unfinished received messages may hold in all, shared by the
// connections of one program (a server's whole total), so that many connections each within
// their own bound cannot together exhaust the machine. Thread-safe; the connections take bytes
// as the parts of a message arrive and give them back when it completes or is dropped.
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

class NetMessageBudget {
public:
    explicit NetMessageBudget(uint64_t limit = std::numeric_limits<uint64_t>::max()) : m_nLimit(limit) {}
    NetMessageBudget(const NetMessageBudget&) = delete;
    NetMessageBudget& operator=(const NetMessageBudget&) = delete;

    void SetLimit(uint64_t limit) { m_nLimit.store(limit); }
    uint64_t GetLimit() const { return m_nLimit.load(); }

    // Takes n bytes; false, and nothing taken, when the total would pass the limit.
    bool Take(uint64_t n) {
        uint64_t held = m_nHeld.load();
        do {
            if (n > m_nLimit.load() || held > m_nLimit.load() - n) return false;
        } while (!m_nHeld.compare_exchange_weak(held, held + n));
        uint64_t peak = m_nPeak.load();
        while (held + n > peak && !m_nPeak.compare_exchange_weak(peak, held + n)) {
        }
        return true;
    }
    void Give(uint64_t n) { m_nHeld.fetch_sub(n); }

    // Bytes held now, and the most held at once since the start.
    uint64_t Held() const { return m_nHeld.load(); }
    uint64_t Peak() const { return m_nPeak.load(); }

private:
    std::atomic<uint64_t> m_nLimit;
    std::atomic<uint64_t> m_nHeld{0};
    std::atomic<uint64_t> m_nPeak{0};
};
