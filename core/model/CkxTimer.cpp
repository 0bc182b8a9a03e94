#include "model/CkxTimer.h"

#include <chrono>
#include <climits>
#include <system_error>

int CkxTimer::Open(long ms) {
    if (ms <= 0) return 0;
    // Open and Close run one at a time: the worker thread object is started, joined and
    // replaced only under this lock.
    std::lock_guard control(m_control);
    {
        std::lock_guard lock(m_mutex);
        if (m_bRunning) return 1;
    }
    if (m_thread.joinable()) m_thread.join(); // a worker that ended on its own
    {
        std::lock_guard lock(m_mutex);
        m_nInterval = ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
        m_bRunning = 1;
    }
    try {
        m_thread = std::thread(&CkxTimer::Run, this);
    } catch (const std::system_error&) {
        std::lock_guard lock(m_mutex);
        m_bRunning = 0;
        m_nInterval = 0;
        return 0;
    }
    return 1;
}

void CkxTimer::Close() {
    std::lock_guard control(m_control);
    {
        std::lock_guard lock(m_mutex);
        m_nInterval = 0;
        m_bRunning = 0;
    }
    m_wake.notify_all();
    // The worker runs nothing but its wait, so it is never the caller here.
    if (m_thread.joinable()) m_thread.join();
}

int CkxTimer::IsRunning() const {
    std::lock_guard lock(m_mutex);
    return m_bRunning;
}

int CkxTimer::GetInterval() const {
    std::lock_guard lock(m_mutex);
    return m_nInterval;
}

void CkxTimer::Run() {
    std::unique_lock lock(m_mutex);
    while (m_bRunning && m_nInterval > 0) {
        const auto period = std::chrono::milliseconds(m_nInterval);
        m_wake.wait_for(lock, period, [this] { return !m_bRunning; });
    }
}
