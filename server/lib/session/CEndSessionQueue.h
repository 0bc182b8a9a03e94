// The end-of-session queue: sessions whose user logged off or whose connection failed wait here
// for the server thread, which removes them from the registry and tells the other sessions.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

struct KxEndedSession {
    uint64_t serial = 0; // the session to remove
    int userId = -1;     // its user
    bool announce = false; // whether the others hear (kMsgSession, kSubLogoff): only for a logged-on user
};

class CEndSessionQueue {
public:
    void Push(const KxEndedSession& ended) {
        {
            std::lock_guard lock(m_mutex);
            m_entries.push_back(ended);
        }
        m_ready.notify_all();
    }

    // The oldest entry, waiting up to `limit` (or until Wake) for one; nothing when none came.
    std::optional<KxEndedSession> Pop(std::chrono::milliseconds limit) {
        std::unique_lock lock(m_mutex);
        m_ready.wait_for(lock, limit, [&] { return !m_entries.empty() || m_bWoken; });
        m_bWoken = false;
        if (m_entries.empty()) return std::nullopt;
        KxEndedSession e = m_entries.front();
        m_entries.pop_front();
        return e;
    }

    // Ends a waiting Pop at once (the server thread is stopping).
    void Wake() {
        {
            std::lock_guard lock(m_mutex);
            m_bWoken = true;
        }
        m_ready.notify_all();
    }

    bool IsEmpty() const {
        std::lock_guard lock(m_mutex);
        return m_entries.empty();
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<KxEndedSession> m_entries;
    bool m_bWoken = false;
};
