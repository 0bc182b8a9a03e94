// One line per piece of network input the transport drops (a bad header, a malformed part, an
// overrun piece table): the connection keeps running, but what it threw away stays visible.
#pragma once

namespace kx {

// printf-style; writes "varnia-net: <text>" to standard error. Thread-safe.
void NetLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Turns the lines off (benchmarks and tests that feed garbage on purpose); on by default.
void SetNetLogEnabled(bool enabled);

} // namespace kx
