// Runs the GUI thread's event loop in a test until a condition holds (or a limit passes), or for
// a while, so calls queued from network threads are applied while the test waits.
#pragma once

#include <chrono>
#include <functional>

namespace guitest {

using namespace std::chrono_literals;

// Runs the queued calls until done() holds; false after the limit.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s);
// Runs the queued calls for a while (to see that nothing more comes).
void PumpFor(std::chrono::milliseconds time);

} // namespace guitest
