#include "frame/CTwainAcquire.h"

#include "qt/KxPrompt.h"

bool CTwainAcquire::OpenSourceManager(QWidget* owner) {
    m_owner = owner;
    return false; // no scanner backend yet
}

void CTwainAcquire::CloseSourceManager() {}

bool CTwainAcquire::SelectSource() {
    kx::Prompt(m_owner, kNoSource, kx::PromptOk, kx::PromptWarning);
    return false;
}

bool CTwainAcquire::Acquire(int) {
    kx::Prompt(m_owner, kNoSource, kx::PromptOk, kx::PromptWarning);
    return false;
}
