#include "qt/KxModalDriver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPointer>
#include <QTest>

namespace kx {

namespace {
constexpr int kPollMs = 10;
}

void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "varnia-test";
    static char* argv[] = {name, nullptr};
    // Deliberately never destroyed: the application lives until the test program ends.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

ModalDriver::ModalDriver(int limitMs) : limitMs_(limitMs) {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::Poll);
}

ModalDriver::~ModalDriver() = default;

ModalDriver& ModalDriver::Push(Step step) {
    steps_.push_back(std::move(step));
    if (!timer_.isActive()) {
        waitedMs_ = 0;
        timer_.start();
    }
    return *this;
}

QWidget* ModalDriver::ActiveModal() {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    return QApplication::activeModalWidget();
}

void ModalDriver::Poll() {
    if (pending_) return;
    if (steps_.empty()) {
        timer_.stop();
        return;
    }
    QWidget* w = ActiveModal();
    if (w && w->isVisible() && steps_.front().match(w)) {
        Step step = std::move(steps_.front());
        steps_.pop_front();
        waitedMs_ = 0;
        pending_ = true;
        // Run outside this timer's slot: a timer does not fire again while its slot runs, and
        // the step may open a nested modal run that the next steps must reach.
        QPointer<QWidget> target(w);
        QTimer::singleShot(0, this, [this, target, action = std::move(step.action)] {
            pending_ = false;
            if (target) action(target.data());
        });
        return;
    }
    waitedMs_ += kPollMs;
    if (waitedMs_ < limitMs_) return;
    // Give up: close whatever is modal so the test's own modal run returns.
    timedOut_ = true;
    steps_.clear();
    timer_.stop();
    while (QWidget* m = ActiveModal()) {
        if (auto* menu = qobject_cast<QMenu*>(m)) menu->close();
        else if (auto* dlg = qobject_cast<QDialog*>(m)) dlg->done(QDialog::Rejected);
        else m->close();
        if (ActiveModal() == m) break;
    }
}

bool ClickId(QWidget* w, int id) {
    if (!w) return false;
    auto* button = w->findChild<QAbstractButton*>(QString::number(id));
    if (!button) return false;
    button->click();
    return true;
}

bool ClickMenuId(QMenu* menu, int id) {
    if (!menu) return false;
    for (QAction* a : menu->actions()) {
        if (a->objectName() == QString::number(id)) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
            return true;
        }
    }
    return false;
}

} // namespace kx
