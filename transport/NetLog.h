// One line per piece of network input the transport drops (a bad header, a malformed part, an
// overrun piece table): the connection keeps running, but what it threw away stays visible.
#pragma once

namespace kx {

// printf-style; writes "varnia-net: <text>" to standard error, or hands the text to the sink a
// program installed. Thread-safe.
void NetLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the lines go instead of standard error (null: standard error again). A program with a
// log channel of its own (the server's warnings) installs one, so all its warnings meet there.
using NetLogSink = void (*)(const char* text);
void SetNetLogSink(NetLogSink sink);

// Turns the lines off (benchmarks and tests that feed garbage on purpose); on by default.
void SetNetLogEnabled(bool enabled);

} // namespace kx
