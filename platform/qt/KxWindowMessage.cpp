#include "qt/KxWindowMessage.h"

#include <QCoreApplication>
#include <QObject>

namespace kx {

namespace {

// Hands every window-message event to its receiver's OnWindowMessage. Installed on the
// application object when it starts, so no receiver class overrides event() for it.
class MessageFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != WindowMessageEvent::EventType()) return false;
        auto* msg = static_cast<WindowMessageEvent*>(event);
        if (auto* receiver = dynamic_cast<MessageReceiver*>(watched))
            msg->result = receiver->OnWindowMessage(msg->message, msg->wParam, msg->lParam);
        return true;
    }
};

void InstallFilter() {
    // Owned by the application object, so it goes with it.
    QCoreApplication* app = QCoreApplication::instance();
    app->installEventFilter(new MessageFilter(app));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFilter)

WindowMessageEvent::WindowMessageEvent(unsigned m, WPARAM w, LPARAM l)
    : QEvent(EventType()), message(m), wParam(w), lParam(l) {}

QEvent::Type WindowMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

LRESULT SendMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam) {
    if (!target) return 0;
    // Called directly rather than through the application: the result must come back even when
    // no application object exists (a window-less test of a model).
    if (auto* receiver = dynamic_cast<MessageReceiver*>(target))
        return receiver->OnWindowMessage(message, wParam, lParam);
    return 0;
}

bool PostMessage(QObject* target, unsigned message, WPARAM wParam, LPARAM lParam) {
    if (!target || !QCoreApplication::instance()) return false;
    QCoreApplication::postEvent(target, new WindowMessageEvent(message, wParam, lParam));
    return true;
}

} // namespace kx
