// The server's diagnostic lines (dropped requests, failed writes, ended sessions): one sink for
// the whole process, standard error unless the program or a test installs another.
#pragma once

#include <functional>
#include <string>

namespace kx {

enum class ServerLogLevel { Info, Warning };

// printf-style; thread-safe.
void ServerInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ServerWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the sink (null restores standard error). The sink is called under a lock, one line
// at a time.
void SetServerLogSink(std::function<void(ServerLogLevel, const std::string&)> sink);

} // namespace kx
