// The hand-over from network threads to the GUI thread: a worker queues one call per decoded
// message, and the GUI thread runs the calls one at a time in the order they were queued. Lists
// the windows read and the windows themselves are touched only inside such calls.
#pragma once

#include <functional>

namespace kx {

// Queues the call onto the GUI thread of the running application; callable from any thread.
// Calls run in arrival order. Without an application object the call is dropped (and logged).
void PostToGui(std::function<void()> call);

// Ends the program with a message when the caller is not the GUI thread of the running
// application (no application object: nothing is checked).
void AssertGuiThread();

} // namespace kx
