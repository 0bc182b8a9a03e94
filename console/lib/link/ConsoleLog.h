// One line per piece of server input the console refuses (a short record, an unreadable id):
// the console keeps running and keeps its lists, but what it threw away stays visible.
#pragma once

#include <functional>
#include <string>

namespace kx {

// printf-style; writes "keeper: <text>" to standard error, or hands the text to the sink.
void ConsoleLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sends the lines to `sink` instead (tests); null restores standard error. Returns the old one.
std::function<void(const std::string&)> SetConsoleLogSink(std::function<void(const std::string&)> sink);

} // namespace kx
