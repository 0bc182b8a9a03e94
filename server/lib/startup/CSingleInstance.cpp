#include "startup/CSingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

std::string CSingleInstance::LockPath(const std::string& program, const std::string& dataFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime && *runtime ? runtime : "/tmp";
    std::error_code ec;
    std::string key = std::filesystem::weakly_canonical(dataFolder, ec).string();
    if (ec || key.empty()) key = dataFolder;
    // FNV-1a of the data folder: two installations on one machine do not block each other.
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : key) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "-%016llx.lock", static_cast<unsigned long long>(h));
    return folder + "/" + program + name;
}

CSingleInstance::CSingleInstance(const std::string& program, const std::string& dataFolder)
    : m_strPath(LockPath(program, dataFolder)) {
    const int fd = ::open(m_strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_bFirst = errno != EWOULDBLOCK;
        ::close(fd);
        return;
    }
    m_fd = fd;
}

CSingleInstance::~CSingleInstance() {
    if (m_fd >= 0) ::close(m_fd);
}
