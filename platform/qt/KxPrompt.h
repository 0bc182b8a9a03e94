// The one way the programs show a modal message box. Tests install an answerer that records
// each text and returns a chosen button, so no test ever blocks on a real box.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace kx {

// Buttons and answers, numbered like the classic message-box results.
enum PromptButtons { PromptOk = 0, PromptOkCancel = 1, PromptYesNo = 4, PromptYesNoCancel = 3 };
enum PromptIcon { PromptInfo = 0x40, PromptWarning = 0x30, PromptError = 0x10, PromptQuestion = 0x20 };
enum PromptAnswer { AnswerOk = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

struct PromptRequest {
    std::string text;    // UTF-8
    std::string caption; // UTF-8, may be empty
    PromptButtons buttons = PromptOk;
    PromptIcon icon = PromptInfo;
};

using PromptAnswerer = std::function<int(const PromptRequest&)>;

// Shows the message (or asks the installed answerer) and returns the answer. Outside the GUI
// thread of a running application no box can be shown: the text is written to the error output
// and the answer is Cancel (No for yes/no questions, Ok for a plain message).
int Prompt(QWidget* parent, const std::string& text, PromptButtons buttons = PromptOk,
           PromptIcon icon = PromptInfo, const std::string& caption = {});

// Installs an answerer in place of real boxes (null restores real boxes); returns the old one.
PromptAnswerer SetPromptAnswerer(PromptAnswerer answerer);

} // namespace kx
