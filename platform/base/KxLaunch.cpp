#include "base/KxLaunch.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace kx {

namespace {

// Starts argv; the process id, or 0 when it cannot be started.
pid_t Spawn(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return 0;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return 0;
    return pid;
}

// Waits for the process to end; true when it exited with status 0.
bool Reap(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int StartProgram(const std::vector<std::string>& argv, bool wait) {
    const pid_t pid = Spawn(argv);
    if (pid == 0) return 0;
    if (!wait) {
        std::thread([pid]() { Reap(pid); }).detach();
        return 1;
    }
    return Reap(pid) ? 1 : 0;
}

int StartProgram(const std::vector<std::string>& argv, std::function<void(bool succeeded)> onEnd) {
    const pid_t pid = Spawn(argv);
    if (pid == 0) return 0;
    std::thread([pid, onEnd = std::move(onEnd)]() {
        const bool succeeded = Reap(pid);
        if (onEnd) onEnd(succeeded);
    }).detach();
    return 1;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> out;
    std::string cur;
    bool inArg = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
            cur += '"';
            inArg = true;
            ++i;
        } else if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                cur += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            inArg = true;
        } else if (!quoted && (c == ' ' || c == '\t' || c == '\n' || c == '\r')) {
            if (inArg) out.push_back(cur);
            cur.clear();
            inArg = false;
        } else {
            cur += c;
            inArg = true;
        }
    }
    if (inArg) out.push_back(cur);
    return out;
}

} // namespace kx
