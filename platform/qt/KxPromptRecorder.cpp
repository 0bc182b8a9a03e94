#include "qt/KxPromptRecorder.h"

namespace kx {

PromptRecorder::PromptRecorder(int defaultAnswer) : default_(defaultAnswer) {
    previous_ = SetPromptAnswerer([this](const PromptRequest& r) { return Ask(r); });
}

PromptRecorder::~PromptRecorder() {
    SetPromptAnswerer(std::move(previous_));
}

PromptRecorder& PromptRecorder::Answer(int answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(answer);
    return *this;
}

void PromptRecorder::SetDefault(int answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    default_ = answer;
}

int PromptRecorder::Ask(const PromptRequest& request) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
    if (answers_.empty()) return default_;
    int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<PromptRequest> PromptRecorder::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<std::string> PromptRecorder::Texts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> texts;
    for (const auto& r : requests_) texts.push_back(r.text);
    return texts;
}

std::string PromptRecorder::LastText() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.empty() ? std::string() : requests_.back().text;
}

size_t PromptRecorder::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_.size();
}

void PromptRecorder::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.clear();
    answers_.clear();
}

} // namespace kx
