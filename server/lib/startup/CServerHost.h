// What the server asks of the person at it: the database settings and the storage roots. A
// server with a window shows the dialogs; one without a display never waits on a dialog that
// nobody can answer: it writes what it would have asked to the terminal and declines.
#pragma once

#include "startup/CServerConfig.h"

#include <cstdio>
#include <string>

class QWidget;
class ZoZI_Storage;

class CServerHost {
public:
    virtual ~CServerHost() = default;
    // Parent of message boxes and dialogs (null without a window).
    virtual QWidget* GetWindow() { return nullptr; }
    // Shows the database settings for editing; true (conf changed) when confirmed.
    virtual bool EditDbConf(KxDbConf& conf) = 0;
    // Shows the storage-root dialog; kx::IDOK or kx::IDCANCEL.
    virtual int AdministerStorage(ZoZI_Storage& storage, int enableAdmin) = 0;
    // The person chose to leave: close the main window, which ends the program.
    virtual void CloseWindow() {}
};

// The real dialogs, parented to the main window.
class CDialogHost : public CServerHost {
public:
    explicit CDialogHost(QWidget* window = nullptr) : m_window(window) {}
    void SetWindow(QWidget* window) { m_window = window; }
    QWidget* GetWindow() override { return m_window; }
    bool EditDbConf(KxDbConf& conf) override;
    int AdministerStorage(ZoZI_Storage& storage, int enableAdmin) override;
    void CloseWindow() override;

private:
    QWidget* m_window;
};

// No display: every dialog is described on the stream and declined.
class CTerminalHost : public CServerHost {
public:
    explicit CTerminalHost(std::FILE* out = stderr, std::string iniPath = {})
        : m_out(out), m_strIniPath(std::move(iniPath)) {}
    void SetIniPath(const std::string& path) { m_strIniPath = path; }
    bool EditDbConf(KxDbConf& conf) override;
    int AdministerStorage(ZoZI_Storage& storage, int enableAdmin) override;

private:
    std::FILE* m_out;
    std::string m_strIniPath;
};

namespace kx {
// Answers every message box by writing its text to the stream (OK, or yes for a question):
// for a program that runs without a display. Returns nothing; installs a prompt answerer.
void UseTerminalPrompts(std::FILE* out = stderr);
} // namespace kx
