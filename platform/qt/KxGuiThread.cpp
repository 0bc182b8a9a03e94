#include "qt/KxGuiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace kx {

struct GuiThreadQueue::State {
    mutable std::mutex mutex;
    std::deque<std::function<void()>> calls;
};

namespace {

// Runs the oldest call of `state`. One of these is posted per call, under the queue's lock, so
// the application's event queue (first in, first out for one receiver) keeps the posting order.
void RunOne(const std::weak_ptr<GuiThreadQueue::State>& weak) {
    std::shared_ptr<GuiThreadQueue::State> state = weak.lock();
    if (!state) return; // the queue is gone: its calls were dropped
    std::function<void()> call;
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        if (state->calls.empty()) return; // cleared
        call = std::move(state->calls.front());
        state->calls.pop_front();
    }
    if (call) call();
}

} // namespace

GuiThreadQueue::GuiThreadQueue() : state_(std::make_shared<State>()) {}

GuiThreadQueue::~GuiThreadQueue() {
    Clear();
}

void GuiThreadQueue::Post(std::function<void()> call) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        std::fprintf(stderr, "no application object: a call for the GUI thread was dropped\n");
        return;
    }
    std::weak_ptr<State> weak = state_;
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->calls.push_back(std::move(call));
    QMetaObject::invokeMethod(app, [weak] { RunOne(weak); }, Qt::QueuedConnection);
}

void GuiThreadQueue::Clear() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        dropped.swap(state_->calls);
    }
    // The dropped calls (and what they captured) are destroyed outside the lock.
}

size_t GuiThreadQueue::Pending() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->calls.size();
}

void PostToGui(std::function<void()> call) {
    // Deliberately never destroyed: calls may be posted until the program ends.
    static GuiThreadQueue* queue = new GuiThreadQueue;
    queue->Post(std::move(call));
}

struct GuiStepPoster::Generation {
    std::atomic<bool> alive{true};
    std::atomic<int> number{0};
};

GuiStepPoster::GuiStepPoster() : state_(std::make_shared<Generation>()) {}

GuiStepPoster::~GuiStepPoster() { state_->alive.store(false); }

void GuiStepPoster::Post(std::function<void()> step) {
    const int number = state_->number.load();
    PostToGui([state = state_, number, step = std::move(step)] {
        if (!state->alive.load() || number != state->number.load()) return;
        AssertGuiThread();
        step();
    });
}

void GuiStepPoster::NextGeneration() { state_->number.fetch_add(1); }

bool IsGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void AssertGuiThread() {
    if (IsGuiThread()) return;
    std::fprintf(stderr, "fatal: a GUI-thread step ran outside the GUI thread\n");
    std::abort();
}

} // namespace kx
