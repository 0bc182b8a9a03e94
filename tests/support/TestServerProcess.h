// Starts the test server program (tests/support/testserver) as a child process for client
// tests, reads the port and the seeded ids it prints, and ends it on demand: Stop closes its
// standard input (a clean end), Kill ends it at once (a crashed server, as its clients see it).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

class TestServerProcess {
public:
    TestServerProcess() = default;
    ~TestServerProcess();
    TestServerProcess(const TestServerProcess&) = delete;
    TestServerProcess& operator=(const TestServerProcess&) = delete;

    // Runs `program` with the options and waits (up to the limit) for its "ready" line. False,
    // with the reason in Error(), when it cannot start, prints an error or says nothing in time.
    // A non-empty tmpDir becomes the program's TMPDIR, so what a killed program leaves behind
    // lies in a folder the caller removes.
    bool Start(const std::string& program, const std::vector<std::string>& options = {},
               const std::string& tmpDir = "", std::chrono::milliseconds limit = std::chrono::seconds(60));

    int Port() const { return m_nPort; }
    // A seeded id the program printed ("user.su", "role.sysadmin", ...); -1 when it printed none.
    int Id(const std::string& key) const;
    const std::map<std::string, int>& Ids() const { return m_ids; }
    const std::string& Error() const { return m_error; }
    bool IsRunning() const { return m_pid > 0; }

    // Closes the program's standard input and waits for it to end (killing it after 10 s).
    void Stop();
    // SIGKILL, then waits for it.
    void Kill();

private:
    void Reap(std::chrono::milliseconds limit);
    void CloseFds();

    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    int m_nPort = 0;
    std::map<std::string, int> m_ids;
    std::string m_error;
};
