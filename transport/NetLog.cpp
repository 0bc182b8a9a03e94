#include "transport/NetLog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace kx {

namespace {
std::atomic<bool> g_enabled{true};
std::atomic<NetLogSink> g_sink{nullptr};
}

void SetNetLogSink(NetLogSink sink) { g_sink.store(sink); }

void SetNetLogEnabled(bool enabled) { g_enabled.store(enabled); }

void NetLog(const char* format, ...) {
    if (!g_enabled.load()) return;
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (NetLogSink sink = g_sink.load()) {
        sink(line);
        return;
    }
    // One fprintf per line: stdio locks the stream, so lines of different threads never mix.
    std::fprintf(stderr, "varnia-net: %s\n", line);
}

} // namespace kx
