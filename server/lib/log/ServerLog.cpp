#include "log/ServerLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace kx {
namespace {

std::mutex g_logMutex;
ServerLogSink g_sink;

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

ServerLogSink SetServerLogSink(ServerLogSink sink) {
    std::lock_guard lock(g_logMutex);
    std::swap(g_sink, sink);
    return sink;
}

} // namespace kx
