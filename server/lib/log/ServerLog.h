// The server's diagnostic lines (dropped requests, failed database statements, ended sessions):
// the one channel of the server's warnings, below every part of the server. One sink for the
// whole process, standard error unless the program or a test installs another. Every line the
// server writes to its terminal (or the file its output goes to) begins with its local time.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace kx {

enum class ServerLogLevel { Info, Warning };

// printf-style; thread-safe.
void ServerInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ServerWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));

using ServerLogSink = std::function<void(ServerLogLevel, const std::string&)>;

// Replaces the sink (null restores standard error) and returns the one it replaces, so a
// scoped collector can put it back. The sink is called under a lock, one line at a time.
ServerLogSink SetServerLogSink(ServerLogSink sink);

// Writes the text to the stream behind the local time ("2024-05-06 14:03:07 <text>"), adds the
// line end and flushes: one write, so lines of several threads do not mix. A text of several
// lines carries the time once, in front of its first.
void WriteTimedLine(std::FILE* out, const std::string& text);

} // namespace kx
