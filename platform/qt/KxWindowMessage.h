// The programs' window messages: one event type carrying (message, wParam, lParam) with
// pointer-sized parameters. SendMessage delivers it at once on the calling (GUI) thread and
// returns the handler's result; PostMessage queues it for the receiver's thread and may be called
// from any thread, so a network thread never touches a widget. A widget receives both through
// one virtual, MessageReceiver::OnWindowMessage.
#pragma once

#include <QEvent>

#include <cstdint>

class QObject;

namespace kx {

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// The user message base: notifications are WM_USER with wParam 1025.. (reload, added, ...), and
// the grids notify their parent with WM_USER + 200 .. + 202.
constexpr unsigned WM_USER = 0x0400;
// A command for a window (wParam the command's number), and the request to close it.
constexpr unsigned WM_COMMAND = 0x0111;

// Mixed into a widget (or any QObject) that handles window messages.
class MessageReceiver {
public:
    virtual ~MessageReceiver() = default;
    // Handles one message; the result is what SendMessage returns (0 when unhandled).
    virtual LRESULT OnWindowMessage(unsigned message, WPARAM wParam, LPARAM lParam) = 0;
};

// The event that carries a message to its receiver.
class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(unsigned message, WPARAM wParam, LPARAM lParam);
    static QEvent::Type EventType();

    unsigned message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
};

// Delivers the message now, before returning, to `target` (which must live on the calling
// thread) and returns the handler's result; 0 for a null target or one that handles nothing.
LRESULT SendMessage(QObject* target, unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

// Queues the message for `target`; it is handled when the target's thread runs its event loop,
// in posting order. Any thread may post. The caller keeps `target` alive until the post returns;
// a message still queued when the target is destroyed is dropped. False for a null target or
// when there is no application object.
bool PostMessage(QObject* target, unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

} // namespace kx
