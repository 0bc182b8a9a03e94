// What one server lets its connections cost: how long a connection may stay without logging
// on, how many connections it holds in all and from one address, and how failed log-ons are
// slowed. Read from the settings file's section LIMITS; every value has a default.
#pragma once

#include <chrono>
#include <cstdint>

struct KxServerLimits {
    // A connection that has not logged on within this time is closed.
    std::chrono::milliseconds logonDeadline{std::chrono::seconds(30)};
    // Connections over these caps are closed at accept (0: no cap).
    int maxConnections = 1000;
    int maxPerAddress = 64;
    // After this many failed log-ons for one name, or from one address, within the window,
    // each further attempt for it is answered only after a delay that doubles from
    // `firstDelay` up to `maxDelay`.
    int failuresBeforeDelay = 5;
    std::chrono::milliseconds failureWindow{std::chrono::seconds(60)};
    std::chrono::milliseconds firstDelay{std::chrono::milliseconds(250)};
    std::chrono::milliseconds maxDelay{std::chrono::seconds(4)};
    // Before a connection has logged on it may send only what a log-on needs: a message
    // announced longer than this ends it.
    uint64_t messageBeforeLogon = 64u << 10;
    // The largest message a session may send (longer ones are dropped), and what unfinished
    // messages may hold on one connection and on all of them together (a message that would
    // pass either is dropped). Memory follows the parts that arrived, not the announcements.
    uint64_t maxMessage = 256ull << 20;
    uint64_t unfinishedPerConnection = 512ull << 20;
    uint64_t unfinishedTotal = 1024ull << 20;
};
