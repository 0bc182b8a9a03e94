#include "base/KxLaunch.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace kx {

int StartProgram(const std::vector<std::string>& argv, bool wait) {
    if (argv.empty() || argv[0].empty()) return 0;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return 0;
    auto reap = [pid]() {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return status;
    };
    if (!wait) {
        std::thread([reap]() { reap(); }).detach();
        return 1;
    }
    int status = reap();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
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
