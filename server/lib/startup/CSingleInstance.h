// Keeps a program to one running copy per data folder: an exclusive flock on a lock file in the
// user's runtime folder ($XDG_RUNTIME_DIR, else /tmp). The lock goes with the process, so a
// crashed server never blocks the next start.
#pragma once

#include <string>

class CSingleInstance {
public:
    // The lock file is named after the program and the data folder it serves.
    CSingleInstance(const std::string& program, const std::string& dataFolder);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // False only when another running process holds the lock (a lock file that cannot be
    // made at all does not stop the program).
    bool IsFirst() const { return m_bFirst; }
    const std::string& GetLockPath() const { return m_strPath; }

    static std::string LockPath(const std::string& program, const std::string& dataFolder);

private:
    std::string m_strPath;
    int m_fd = -1;
    bool m_bFirst = true;
};
