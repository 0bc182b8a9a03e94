// Facts about the running machine and process read from /proc: the program's own path, memory,
// processor time counters and the number of processes. The parsers take the file text so that
// they can be checked on known input; the readers feed them the live files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kx {

// Whole contents of a small file (the /proc files report size 0, so read until end); false when
// it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& out);

// Full path of the running executable (/proc/self/exe); empty when it cannot be read.
std::string ExePath();
// The executable's folder, no trailing "/" ("/" stays "/"); empty when unknown.
std::string ExeDir();

// The program's name as settings files know it: the one set with SetAppName, else the
// executable's file name.
std::string AppName();
void SetAppName(const std::string& name);

// "MemTotal" and "MemAvailable" of a /proc/meminfo text, in KiB. Older kernels without
// MemAvailable get MemFree + Buffers + Cached. False when MemTotal is missing.
bool ParseMemInfo(std::string_view text, uint64_t& totalKiB, uint64_t& availableKiB);
bool ReadMemInfo(uint64_t& totalKiB, uint64_t& availableKiB);

// The summed "cpu" line of /proc/stat: idle time (idle + iowait) and all time, in ticks.
struct CpuTimes {
    uint64_t idle = 0;
    uint64_t total = 0;
};
bool ParseCpuTimes(std::string_view procStat, CpuTimes& out);
bool ReadCpuTimes(CpuTimes& out);

// Load in percent (0..100, rounded to nearest) between two samples; 0xFFFFFFFF when no time
// passed between them or the counters went backwards.
uint32_t CpuLoadPercent(const CpuTimes& first, const CpuTimes& second);

// Number of processes: the numeric entries of the proc folder; -1 when it cannot be read.
int CountProcesses(const std::string& procDir = "/proc");

} // namespace kx
