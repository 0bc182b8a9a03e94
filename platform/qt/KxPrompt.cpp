#include "qt/KxPrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <cstdio>
#include <mutex>

namespace kx {
namespace {
std::mutex g_mutex;
PromptAnswerer g_answerer;
} // namespace

PromptAnswerer SetPromptAnswerer(PromptAnswerer answerer) {
    std::lock_guard<std::mutex> lock(g_mutex);
    PromptAnswerer old = std::move(g_answerer);
    g_answerer = std::move(answerer);
    return old;
}

int Prompt(QWidget* parent, const std::string& text, PromptButtons buttons, PromptIcon icon,
           const std::string& caption) {
    PromptRequest req{text, caption, buttons, icon};
    PromptAnswerer answerer;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        answerer = g_answerer;
    }
    if (answerer) return answerer(req);

    // A box can only be shown by the GUI thread of a running application. Anywhere else the
    // text goes to the error output and the answer is the one that changes nothing.
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !qobject_cast<QApplication*>(app) || QThread::currentThread() != app->thread()) {
        std::fprintf(stderr, "%s\n", text.c_str());
        switch (buttons) {
        case PromptOkCancel:
        case PromptYesNoCancel: return AnswerCancel;
        case PromptYesNo: return AnswerNo;
        default: return AnswerOk;
        }
    }

    QMessageBox box(parent);
    box.setText(QString::fromStdString(text));
    box.setWindowTitle(caption.empty() ? QApplication::applicationName()
                                       : QString::fromStdString(caption));
    switch (icon) {
    case PromptWarning: box.setIcon(QMessageBox::Warning); break;
    case PromptError: box.setIcon(QMessageBox::Critical); break;
    case PromptQuestion: box.setIcon(QMessageBox::Question); break;
    default: box.setIcon(QMessageBox::Information); break;
    }
    switch (buttons) {
    case PromptOkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptYesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptYesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return AnswerYes;
    case QMessageBox::No: return AnswerNo;
    case QMessageBox::Cancel: return AnswerCancel;
    default: return AnswerOk;
    }
}

} // namespace kx
