// CLogonThrottle: bounds how many passwords are checked per time window, for one log-on name
// over all connections and addresses, and from one address. An attempt over a bound is refused
// at once without its password being checked, so guessing in parallel gains nothing and nobody
// waits. The bound per name applies only to addresses that have failed within the window: the
// rightful user from an address of their own is not locked out by a stranger's guesses.
// It also gathers the failures into log lines: one per name and address per window, with a
// count. Thread-safe.
#pragma once

#include "session/KxServerLimits.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CLogonThrottle {
public:
    using Clock = std::chrono::steady_clock;

    // An attempt whose password may be checked. It counts as a failure from the moment it is
    // admitted, so attempts checked side by side see each other; a success takes it back.
    struct Admission {
        std::string name;
        std::string key; // what it counts under: the name, or the shared key of many names
        std::string address;
        Clock::time_point at;
    };

    // Failures and refusals of one name from one address since the last line about them.
    struct LogLine {
        std::string name;
        std::string address;
        int userId = -1;     // the account of the name, -1 when unknown
        int lastResult = 0;  // the result of the last checked attempt (0: none was checked)
        int failed = 0;      // attempts checked and refused
        int unchecked = 0;   // attempts refused over a bound, unchecked
    };

    explicit CLogonThrottle(KxServerLimits limits = {}) : m_limits(limits) {}

    void SetLimits(const KxServerLimits& limits);

    // Whether the password of an attempt for `name` from `address` is checked now; nothing
    // when a bound is reached (the refusal is counted for the log).
    std::optional<Admission> Admit(const std::string& name, const std::string& address,
                                   Clock::time_point now = Clock::now());
    // The checked attempt logged on: it no longer counts. Other addresses keep their counts.
    void RecordSuccess(const Admission& admission);
    // The checked attempt was refused with `result` (for the log; it already counts).
    void RecordFailure(const Admission& admission, int result, int userId);

    // The lines due: for every name and address with failures not yet written, once a window
    // has passed since its last line (at once for the first). `all` takes every one (at exit).
    std::vector<LogLine> TakeLogLines(Clock::time_point now = Clock::now(), bool all = false);
    // The operation log's text of a line (without the name, which the log puts in front).
    static std::string LineText(const LogLine& line);

    // Passwords checked and attempts refused unchecked since the start.
    uint64_t Checks() const { return m_nChecks.load(); }
    uint64_t Refusals() const { return m_nRefusals.load(); }

private:
    using Times = std::deque<Clock::time_point>;
    struct NameFailures {
        std::deque<std::pair<Clock::time_point, std::string>> times; // and the address
    };
    struct Pending {
        LogLine line;
        std::optional<Clock::time_point> lastWritten;
    };

    // Failures of one key still inside the window (the older ones are dropped on the way).
    int RecentAddressLocked(const std::string& address, Clock::time_point now);
    int RecentNameLocked(const std::string& name, Clock::time_point now);
    void SweepLocked(Clock::time_point now);
    Pending* PendingLocked(const std::string& name, const std::string& address);

    // Keys (names, addresses, name and address pairs) remembered at most: beyond it expired
    // ones are swept out (at most once a second), and while all are inside the window a new name is counted under one
    // shared key, so a stream of invented names cannot grow the tables without bound.
    static constexpr size_t kSweepAt = 4096;
    static constexpr size_t kMaxKeys = 16384;

    std::mutex m_mutex;
    KxServerLimits m_limits;
    std::unordered_map<std::string, NameFailures> m_byName;
    std::unordered_map<std::string, Times> m_byAddress;
    std::map<std::pair<std::string, std::string>, Pending> m_pending;
    std::optional<Clock::time_point> m_lastSweep;
    std::atomic<uint64_t> m_nChecks{0};
    std::atomic<uint64_t> m_nRefusals{0};
};
