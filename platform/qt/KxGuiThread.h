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

// Posts the apply steps of one owner (a session) onto the process-wide queue so that a step runs
// only while its owner lives and only in the generation it was posted in: a session that
// reconnects starts a new generation, and the steps of the old connection then do nothing. Post
// may be called from any thread; the owner is destroyed, and NextGeneration called, on the GUI
// thread. Each step asserts the GUI thread before it runs.
class GuiStepPoster {
public:
    GuiStepPoster();
    ~GuiStepPoster();
    GuiStepPoster(const GuiStepPoster&) = delete;
    GuiStepPoster& operator=(const GuiStepPoster&) = delete;

    void Post(std::function<void()> step);
    void NextGeneration();

    struct Generation;

private:
    std::shared_ptr<Generation> state_;
};

// True on the application object's thread (false when there is no application object).
bool IsGuiThread();

// Ends the program with a message when called anywhere but on the GUI thread. Checked in every
// build: a list changed from another thread is a data race that must never pass silently.
void AssertGuiThread();

} // namespace kx
