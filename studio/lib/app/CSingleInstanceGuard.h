// One running studio per user when asked: a lock file named after the program in the runtime
// folder ($XDG_RUNTIME_DIR, else /tmp), held for the guard's life. The start-up does not ask.
#pragma once

#include <string>

class CSingleInstanceGuard {
public:
    CSingleInstanceGuard() = default;
    ~CSingleInstanceGuard();
    CSingleInstanceGuard(const CSingleInstanceGuard&) = delete;
    CSingleInstanceGuard& operator=(const CSingleInstanceGuard&) = delete;

    // 1 when this is the only instance of that name (the guard then holds the lock), 0 when
    // another one holds it.
    int CheckSingleInstance(const std::string& name);
    const std::string& GetPath() const { return m_strPath; }

private:
    int m_nFd = -1;
    std::string m_strPath;
};
