#include "app/CSingleInstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

CSingleInstanceGuard::~CSingleInstanceGuard() {
    if (m_nFd >= 0) ::close(m_nFd);
}

int CSingleInstanceGuard::CheckSingleInstance(const std::string& name) {
    if (m_nFd >= 0) return 1;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    m_strPath = std::string(runtime && *runtime == '/' ? runtime : "/tmp") + "/" + name + ".lock";
    const int fd = ::open(m_strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return 0;
    }
    m_nFd = fd;
    return 1;
}
