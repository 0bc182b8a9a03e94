#include "session/CLogonThrottle.h"

#include <algorithm>

using namespace std::chrono;

void CLogonThrottle::SetLimits(const KxServerLimits& limits) {
    std::lock_guard lock(m_mutex);
    m_limits = limits;
}

int CLogonThrottle::RecentLocked(std::unordered_map<std::string, Times>& table, const std::string& key,
                                 Clock::time_point now) {
    auto it = table.find(key);
    if (it == table.end()) return 0;
    Times& times = it->second;
    while (!times.empty() && now - times.front() >= m_limits.failureWindow) times.pop_front();
    if (times.empty()) {
        table.erase(it);
        return 0;
    }
    return static_cast<int>(times.size());
}

void CLogonThrottle::AddLocked(std::unordered_map<std::string, Times>& table, const std::string& key,
                               Clock::time_point now) {
    if (table.size() >= kSweepAt) {
        for (auto it = table.begin(); it != table.end();) {
            if (it->second.empty() || now - it->second.back() >= m_limits.failureWindow)
                it = table.erase(it);
            else
                ++it;
        }
    }
    // Still full of keys inside the window (a stream of invented names): a new key is not
    // remembered. The address table still counts every attempt, so guessing stays slowed.
    if (table.size() >= kMaxKeys && table.find(key) == table.end()) return;
    Times& times = table[key];
    times.push_back(now);
    // Only the count inside the window matters, and the delay stops growing at its maximum:
    // a few more than the threshold is all a key needs to keep.
    const size_t keep = static_cast<size_t>(std::max(m_limits.failuresBeforeDelay, 0)) + 32;
    while (times.size() > keep) times.pop_front();
}

milliseconds CLogonThrottle::DelayFor(const std::string& name, const std::string& address,
                                      Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    if (m_limits.failuresBeforeDelay <= 0) return milliseconds(0);
    const int failures = std::max(RecentLocked(m_byName, name, now), RecentLocked(m_byAddress, address, now));
    const int over = failures - m_limits.failuresBeforeDelay;
    if (over < 0) return milliseconds(0);
    milliseconds delay = m_limits.firstDelay;
    for (int i = 0; i < over && delay < m_limits.maxDelay; ++i) delay *= 2;
    return std::min(delay, m_limits.maxDelay);
}

void CLogonThrottle::RecordFailure(const std::string& name, const std::string& address, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    AddLocked(m_byName, name, now);
    AddLocked(m_byAddress, address, now);
}

void CLogonThrottle::RecordSuccess(const std::string& name) {
    std::lock_guard lock(m_mutex);
    m_byName.erase(name);
}
