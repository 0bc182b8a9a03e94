#include "qt/KxClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QThread>

namespace kx {

QClipboard* UsableClipboard() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread()) return nullptr;
    return QGuiApplication::clipboard();
}

} // namespace kx
