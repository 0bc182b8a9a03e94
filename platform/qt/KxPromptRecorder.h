// For tests: while alive, answers every prompt without showing a box, records each request and
// returns the queued answers in order (then the default answer). Restores the previous answerer
// when destroyed.
#pragma once

#include "qt/KxPrompt.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace kx {

class PromptRecorder {
public:
    explicit PromptRecorder(int defaultAnswer = AnswerOk);
    ~PromptRecorder();
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;

    // The answer for the next prompt not yet answered by an earlier queued one.
    PromptRecorder& Answer(int answer);
    void SetDefault(int answer);

    std::vector<PromptRequest> Requests() const;
    std::vector<std::string> Texts() const;
    // The last request's text, empty when nothing was asked.
    std::string LastText() const;
    size_t Count() const;
    void Clear();

private:
    int Ask(const PromptRequest& request);

    mutable std::mutex mutex_;
    std::deque<int> answers_;
    int default_;
    std::vector<PromptRequest> requests_;
    PromptAnswerer previous_;
};

} // namespace kx
