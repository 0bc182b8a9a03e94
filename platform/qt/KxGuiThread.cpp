#include "qt/KxGuiThread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace kx {

void PostToGui(std::function<void()> call) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !call) {
        if (!app) std::fprintf(stderr, "varnia: no application object; a queued call was dropped\n");
        return;
    }
    // Queued calls to one receiver are posted events, delivered in the order they were posted.
    QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
}

void AssertGuiThread() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) return;
    std::fprintf(stderr, "varnia: GUI-thread state touched from another thread\n");
    std::abort();
}

} // namespace kx
