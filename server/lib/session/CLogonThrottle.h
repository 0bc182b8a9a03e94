// CLogonThrottle: remembers the failed log-ons of the last window, by log-on name and by remote
// address, and tells how long the next attempt for a name from an address must wait. Guessing
// passwords then costs seconds per try instead of microseconds, while a person who mistyped a
// few times never notices. Thread-safe; the wait itself is the caller's (on its own thread).
#pragma once

#include "session/KxServerLimits.h"

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

class CLogonThrottle {
public:
    using Clock = std::chrono::steady_clock;

    explicit CLogonThrottle(KxServerLimits limits = {}) : m_limits(limits) {}

    void SetLimits(const KxServerLimits& limits);

    // How long an attempt for `name` from `address` waits before it is checked; zero while
    // both have fewer failures than the threshold within the window.
    std::chrono::milliseconds DelayFor(const std::string& name, const std::string& address,
                                       Clock::time_point now = Clock::now());
    // A failed attempt counts against the name and the address.
    void RecordFailure(const std::string& name, const std::string& address, Clock::time_point now = Clock::now());
    // A successful log-on clears the name's failures (the address keeps its own).
    void RecordSuccess(const std::string& name);

private:
    using Times = std::deque<Clock::time_point>;
    // Failures of one key still inside the window (the older ones are dropped on the way).
    int RecentLocked(std::unordered_map<std::string, Times>& table, const std::string& key, Clock::time_point now);
    void AddLocked(std::unordered_map<std::string, Times>& table, const std::string& key, Clock::time_point now);

    // Keys (names and addresses) remembered at most; beyond it expired keys are swept out, so
    // a stream of invented names cannot grow the tables without bound.
    static constexpr size_t kSweepAt = 4096;
    // Keys remembered at most while all of them are inside the window.
    static constexpr size_t kMaxKeys = 16384;

    std::mutex m_mutex;
    KxServerLimits m_limits;
    std::unordered_map<std::string, Times> m_byName;
    std::unordered_map<std::string, Times> m_byAddress;
};
