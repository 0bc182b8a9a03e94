// Drives modal dialogs and popup menus from tests without blocking: steps are queued before the
// modal run starts, and a timer runs each one when a matching modal widget or popup is active.
// When a step waits longer than its limit the driver closes every modal widget, so a test fails
// instead of hanging.
#pragma once

#include <QObject>
#include <QTimer>
#include <QWidget>

class QMenu;

#include <deque>
#include <functional>
#include <string>

namespace kx {

// The application object of a test program (created on first use, with the platform the
// environment names, offscreen in the test runs).
void EnsureApplication();

class ModalDriver : public QObject {
    Q_OBJECT
public:
    explicit ModalDriver(int limitMs = 5000);
    ~ModalDriver() override;

    // Queues a step that runs on the next active modal widget or popup that is a T. The step
    // runs from the event loop, so it may itself open a nested modal run that later steps drive.
    template <class T> ModalDriver& Then(std::function<void(T*)> action) {
        Step step;
        step.match = [](QWidget* w) { return qobject_cast<T*>(w) != nullptr; };
        step.action = [action](QWidget* w) { action(qobject_cast<T*>(w)); };
        return Push(std::move(step));
    }

    // True when every queued step has run.
    bool Done() const { return steps_.empty() && !pending_; }
    // True when a step timed out (the modal widgets were closed to unblock the test).
    bool TimedOut() const { return timedOut_; }

private:
    struct Step {
        std::function<bool(QWidget*)> match;
        std::function<void(QWidget*)> action;
    };
    ModalDriver& Push(Step step);
    void Poll();
    static QWidget* ActiveModal();

    std::deque<Step> steps_;
    QTimer timer_;
    int limitMs_;
    int waitedMs_ = 0;
    bool timedOut_ = false;
    bool pending_ = false; // a matched step waits for its turn in the event loop
};

// Clicks the child with the numeric id `id` (a button) inside `w`; false when there is none.
bool ClickId(QWidget* w, int id);

// Clicks the command whose action carries `id` as objectName in an open popup menu; false when
// the menu has no such command.
bool ClickMenuId(QMenu* menu, int id);

} // namespace kx
