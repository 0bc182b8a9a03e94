// What one server lets its connections cost: how long a connection may stay without logging
// on, how many connections it holds in all and from one address, how many passwords may be
// guessed, and what received messages may hold in memory. Read from the settings file's section
// LIMITS; every value has a default.
#pragma once

#include <chrono>
#include <cstdint>

struct KxServerLimits {
    // A connection that has not logged on within this time is closed.
    std::chrono::milliseconds logonDeadline{std::chrono::seconds(30)};
    // Connections over these caps are closed at accept (0: no cap).
    int maxConnections = 1000;
    int maxPerAddress = 64;
    // Passwords checked without success within the window, for one log-on name (counted only
    // against addresses that have failed in it) and from one address; an attempt over either
    // is refused unchecked (0: no bound).
    int failuresPerName = 5;
    int failuresPerAddress = 20;
    std::chrono::milliseconds failureWindow{std::chrono::seconds(60)};
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
