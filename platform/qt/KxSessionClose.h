// The close of a client's main window while its session is open: asked first, then the
// session's one log-off. A closed or lost connection has nothing to end and closes at once.
#pragma once

#include "qt/KxPrompt.h"

namespace kx {

// True when the window may close (after sending the log-off when a session was open).
template <class Link>
bool ConfirmSessionClose(QWidget* window, Link& link, const char* question) {
    if (!link.IsRunning() || link.IsFailed()) return true;
    if (Prompt(window, question, PromptOkCancel, PromptQuestion) != AnswerOk) return false;
    link.SendLogoffRequest();
    return true;
}

} // namespace kx
