// Hands work from any thread (a connection's dispatch thread) to the GUI thread: each posted call
// runs once on the application's thread, in the order the calls were posted. Lists the windows
// read are changed only there; the steps that change them call AssertGuiThread.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace kx {

// A queue of calls for the GUI thread. Post may be called from any thread; the calls run on the
// thread of the application object, one per event-loop turn, in posting order (calls posted from
// several threads run in the order Post took them). Destroying the queue (on the GUI thread)
// drops the calls it has not run yet, so an owner may post calls that use itself and die safely.
class GuiThreadQueue {
public:
    GuiThreadQueue();
    ~GuiThreadQueue();
    GuiThreadQueue(const GuiThreadQueue&) = delete;
    GuiThreadQueue& operator=(const GuiThreadQueue&) = delete;

    // Queues `call`. Without an application object there is no GUI thread: the call is dropped
    // and a line goes to the error output.
    void Post(std::function<void()> call);
    // Drops the calls not yet run.
    void Clear();
    // Calls posted and not yet run.
    size_t Pending() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

// Posts `call` on the process-wide queue (never destroyed before the program ends).
void PostToGui(std::function<void()> call);

// True on the application object's thread (false when there is no application object).
bool IsGuiThread();

// Ends the program with a message when called anywhere but on the GUI thread. Checked in every
// build: a list changed from another thread is a data race that must never pass silently.
void AssertGuiThread();

} // namespace kx
