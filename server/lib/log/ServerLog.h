// The server's diagnostic lines (dropped requests, failed database statements, ended sessions):
// the one channel of the server's warnings, below every part of the server. One sink for the
// whole process, standard error unless the program or a test installs another.
#pragma once

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

} // namespace kx
