#include "link/ConsoleLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace kx {
namespace {
std::mutex g_mutex;
std::function<void(const std::string&)> g_sink;
} // namespace

void ConsoleLog(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard lock(g_mutex);
    if (g_sink)
        g_sink(text);
    else
        std::fprintf(stderr, "keeper: %s\n", text);
}

std::function<void(const std::string&)> SetConsoleLogSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(g_mutex);
    auto old = std::move(g_sink);
    g_sink = std::move(sink);
    return old;
}

} // namespace kx
