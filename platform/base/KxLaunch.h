// Starting other programs with an argument list, never through a shell: a path with spaces,
// quotes, ";" or "$(...)" stays one argument and nothing in it is run.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

// Starts argv[0] (looked up in PATH when it has no "/") with the arguments. wait: waits for the
// program to end and returns 1 when it exited with status 0; otherwise returns 1 once the program
// is started and reaps it in the background. 0 when argv is empty or the program cannot be
// started.
int StartProgram(const std::vector<std::string>& argv, bool wait);

// Starts the program without waiting, like StartProgram(argv, false), and calls onEnd(true when it
// exited with status 0) on a thread of its own once it has ended. onEnd is not called when the
// program cannot be started (the result is then 0).
int StartProgram(const std::vector<std::string>& argv, std::function<void(bool succeeded)> onEnd);

// Splits a command line into arguments the way the command lines of the programs are written:
// blanks separate, double quotes group ("" inside quotes or \" gives a quote), nothing else is
// special.
std::vector<std::string> SplitCommandLine(std::string_view line);

} // namespace kx
