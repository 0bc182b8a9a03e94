#include "session/ServerLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace kx {
namespace {

std::mutex g_logMutex;
std::function<void(ServerLogLevel, const std::string&)> g_sink;

void Emit(ServerLogLevel level, const char* format, va_list args) {
    char line[1024];
    std::vsnprintf(line, sizeof line, format, args);
    std::lock_guard lock(g_logMutex);
    if (g_sink) {
        g_sink(level, line);
        return;
    }
    std::fprintf(stderr, "varnia-server: %s%s\n", level == ServerLogLevel::Warning ? "warning: " : "",
                 line);
}

} // namespace

void ServerInfo(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(ServerLogLevel::Info, format, args);
    va_end(args);
}

void ServerWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Emit(ServerLogLevel::Warning, format, args);
    va_end(args);
}

void SetServerLogSink(std::function<void(ServerLogLevel, const std::string&)> sink) {
    std::lock_guard lock(g_logMutex);
    g_sink = std::move(sink);
}

} // namespace kx
