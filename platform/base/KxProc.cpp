#include "base/KxProc.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace kx {

bool ReadWholeFile(const std::string& path, std::string& out) {
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[8192];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

std::string ExePath() {
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, static_cast<size_t>(n));
}

std::string ExeDir() {
    std::string p = ExePath();
    size_t slash = p.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : p.substr(0, slash);
}

namespace {
std::mutex g_nameMutex;
std::string g_appName;
} // namespace

std::string AppName() {
    {
        std::lock_guard<std::mutex> lock(g_nameMutex);
        if (!g_appName.empty()) return g_appName;
    }
    std::string p = ExePath();
    size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

void SetAppName(const std::string& name) {
    std::lock_guard<std::mutex> lock(g_nameMutex);
    g_appName = name;
}

namespace {

// The number after "Key:" on a line of /proc/meminfo; false when the key is absent.
bool MemField(std::string_view text, std::string_view key, uint64_t& out) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == ':') {
            std::string rest(line.substr(key.size() + 1));
            char* end = nullptr;
            errno = 0;
            unsigned long long v = std::strtoull(rest.c_str(), &end, 10);
            if (end == rest.c_str() || errno != 0) return false;
            out = v;
            return true;
        }
    }
    return false;
}

} // namespace

bool ParseMemInfo(std::string_view text, uint64_t& totalKiB, uint64_t& availableKiB) {
    uint64_t total = 0, avail = 0;
    if (!MemField(text, "MemTotal", total)) return false;
    if (!MemField(text, "MemAvailable", avail)) {
        uint64_t freeKiB = 0, buffers = 0, cached = 0;
        MemField(text, "MemFree", freeKiB);
        MemField(text, "Buffers", buffers);
        MemField(text, "Cached", cached);
        avail = freeKiB + buffers + cached;
    }
    totalKiB = total;
    availableKiB = avail;
    return true;
}

bool ReadMemInfo(uint64_t& totalKiB, uint64_t& availableKiB) {
    std::string text;
    return ReadWholeFile("/proc/meminfo", text) && ParseMemInfo(text, totalKiB, availableKiB);
}

bool ParseCpuTimes(std::string_view procStat, CpuTimes& out) {
    // First line: "cpu  user nice system idle iowait irq softirq steal guest guest_nice".
    if (procStat.size() < 4 || procStat.substr(0, 4) != "cpu ") return false;
    size_t eol = procStat.find('\n');
    std::string line(procStat.substr(4, eol == std::string_view::npos ? std::string_view::npos : eol - 4));
    const char* p = line.c_str();
    uint64_t fields[8] = {};
    int n = 0;
    while (n < 8) {
        char* end = nullptr;
        errno = 0;
        unsigned long long v = std::strtoull(p, &end, 10);
        if (end == p || errno != 0) break;
        fields[n++] = v;
        p = end;
    }
    if (n < 4) return false;
    // guest time is already counted in user time, so the first eight fields make the total.
    CpuTimes t;
    for (int i = 0; i < n; ++i) t.total += fields[i];
    t.idle = fields[3] + (n > 4 ? fields[4] : 0);
    out = t;
    return true;
}

bool ReadCpuTimes(CpuTimes& out) {
    std::string text;
    return ReadWholeFile("/proc/stat", text) && ParseCpuTimes(text, out);
}

uint32_t CpuLoadPercent(const CpuTimes& first, const CpuTimes& second) {
    if (second.total <= first.total || second.idle < first.idle) return 0xFFFFFFFFu;
    double total = static_cast<double>(second.total - first.total);
    double idle = static_cast<double>(second.idle - first.idle);
    double load = 100.0 - idle * 100.0 / total;
    if (load < 0) load = 0;
    if (load > 100) load = 100;
    return static_cast<uint32_t>(std::lround(load));
}

int CountProcesses(const std::string& procDir) {
    DIR* d = ::opendir(procDir.c_str());
    if (!d) return -1;
    int count = 0;
    while (dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (*n == '\0') continue;
        bool digits = true;
        for (const char* c = n; *c; ++c)
            if (!std::isdigit(static_cast<unsigned char>(*c))) digits = false;
        if (digits) ++count;
    }
    ::closedir(d);
    return count;
}

} // namespace kx
