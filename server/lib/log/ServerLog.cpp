#include "log/ServerLog.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
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
    WriteTimedLine(stderr, std::string("varnia-server: ") + (level == ServerLogLevel::Warning ? "warning: " : "") + line);
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

void WriteTimedLine(std::FILE* out, const std::string& text) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (::localtime_r(&now, &local)) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    const std::string line = std::string(stamp) + " " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), out);
    std::fflush(out);
}

ServerLogSink SetServerLogSink(ServerLogSink sink) {
    std::lock_guard lock(g_logMutex);
    std::swap(g_sink, sink);
    return sink;
}

} // namespace kx
