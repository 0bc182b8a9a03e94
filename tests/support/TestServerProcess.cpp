#include "support/TestServerProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

extern char** environ;

TestServerProcess::~TestServerProcess() { Stop(); }

bool TestServerProcess::Start(const std::string& program, const std::vector<std::string>& options,
                              const std::string& tmpDir, std::chrono::milliseconds limit) {
    Stop();
    m_ids.clear();
    m_nPort = 0;
    m_error.clear();
    // Close-on-exec: another child started later must not hold this child's pipe ends open, or
    // closing our end of its input would never reach it.
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) {
        m_error = "pipe: " + std::string(std::strerror(errno));
        return false;
    }
    if (::pipe2(out, O_CLOEXEC) != 0) {
        m_error = "pipe: " + std::string(std::strerror(errno));
        ::close(in[0]);
        ::close(in[1]);
        return false;
    }
    std::vector<std::string> args = {program};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (tmpDir.empty() || std::strncmp(*e, "TMPDIR=", 7) != 0) env.emplace_back(*e);
    if (!tmpDir.empty()) env.push_back("TMPDIR=" + tmpDir);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    m_stdin = in[1];
    m_stdout = out[0];
    if (rc != 0) {
        m_error = "cannot run " + program + ": " + std::strerror(rc);
        CloseFds();
        return false;
    }
    m_pid = pid;

    // Lines until "ready" (or "error ...", or the end of its output, or the limit).
    const auto end = std::chrono::steady_clock::now() + limit;
    std::string pending;
    while (true) {
        size_t nl;
        while ((nl = pending.find('\n')) != std::string::npos) {
            const std::string line = pending.substr(0, nl);
            pending.erase(0, nl + 1);
            std::istringstream words(line);
            std::string word, key;
            int value = 0;
            words >> word;
            if (word == "ready") return true;
            if (word == "port") {
                words >> m_nPort;
            } else if (word == "id" && (words >> key >> value)) {
                m_ids[key] = value;
            } else if (word == "error") {
                m_error = line;
                Kill();
                return false;
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            m_error = program + " said nothing in time";
            Kill();
            return false;
        }
        pollfd p{m_stdout, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[512];
        const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
        if (n <= 0) {
            m_error = program + " ended before it was ready";
            Kill();
            return false;
        }
        pending.append(buffer, static_cast<size_t>(n));
    }
}

int TestServerProcess::Id(const std::string& key) const {
    const auto found = m_ids.find(key);
    return found == m_ids.end() ? -1 : found->second;
}

void TestServerProcess::CloseFds() {
    if (m_stdin >= 0) ::close(m_stdin);
    if (m_stdout >= 0) ::close(m_stdout);
    m_stdin = m_stdout = -1;
}

void TestServerProcess::Reap(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (m_pid > 0) {
        int status = 0;
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid || (r < 0 && errno != EINTR)) {
            m_pid = -1;
            break;
        }
        if (std::chrono::steady_clock::now() > end) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            m_pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void TestServerProcess::Stop() {
    if (m_stdin >= 0) {
        ::close(m_stdin);
        m_stdin = -1;
    }
    Reap(std::chrono::seconds(10));
    CloseFds();
}

void TestServerProcess::Kill() {
    if (m_pid > 0) ::kill(m_pid, SIGKILL);
    Reap(std::chrono::seconds(10));
    CloseFds();
}
