#include "app/CKeeperApp.h"

#include "app/CAboutDlg.h"
#include "dlg/CDlgLogin.h"
#include "frame/CMainFrame.h"
#include "frame/KeeperCommands.h"
#include "link/ConsoleLink.h"
#include "base/KxProc.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxLoginFields.h"
#include "qt/KxPrompt.h"

#include <QMetaObject>

#include <csignal>
#include <thread>

namespace {

// The transport writes with MSG_NOSIGNAL; ignoring SIGPIPE covers every other write to a
// socket the peer closed, so a lost server never ends the program.
bool StartSockets() { return std::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }

} // namespace

CKeeperApp::CKeeperApp(ConsoleLink& link) : m_link(link) {}

CKeeperApp::~CKeeperApp() = default;

bool CKeeperApp::InitInstance() {
    if (!StartSockets()) {
        kx::Prompt(nullptr, kSocketsFailed, kx::PromptOk, kx::PromptError);
        return false;
    }
    kx::SetAppName(kAppName);
    m_profile.Reg_SetDefaultDir(kRegistryKey);

    m_mainFrame = std::make_unique<CMainFrame>(m_link);
    m_mainFrame->SetCommandHandler([this](int id) { OnCommand(id); });
    m_link.SetMainWindow(m_mainFrame.get());

    CDlgLogin login(*this, m_mainFrame.get());
    if (login.DoModal() != kx::IDOK) return false;
    m_mainFrame->show();
    m_bLoggedIn = 1;
    return true;
}

int CKeeperApp::ExitInstance() {
    if (m_bLoggedIn) {
        // The one log-off (the session refuses a second, should the main window have sent it).
        // The server ends the connection once it has taken it; waiting for that (a second at
        // most) keeps the request from being dropped with the send queue below.
        m_link.SendLogoffRequest();
        const auto end = std::chrono::steady_clock::now() + kLogoffWait;
        while (m_link.IsRunning() && !m_link.IsFailed() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_bLoggedIn = 0;
    // The session's threads call back into windows and lists: they end before those go.
    m_link.StopAndClose();
    m_link.SetMainWindow(nullptr);
    m_mainFrame.reset();
    return 0;
}

void CKeeperApp::OnCommand(int id) {
    switch (id) {
    case ID_APP_LOCK: OnAppLock(); break;
    case ID_APP_CLOSE: OnAppClose(); break;
    case ID_HELP_FINDER: OnHelpFinder(); break;
    case ID_APP_ABOUT: OnAppAbout(); break;
    default: break;
    }
}

void CKeeperApp::OnAppLock() {
    CDlgLogin lock(*this, m_mainFrame.get());
    lock.m_nLockMode = 1;
    lock.DoModal();
}

void CKeeperApp::OnAppClose() {
    if (m_mainFrame) QMetaObject::invokeMethod(m_mainFrame.get(), &QWidget::close, Qt::QueuedConnection);
}

void CKeeperApp::OnHelpFinder() {
    const std::string path = GetManualPath();
    // "Not found" only when the file is missing; the opener says when no program opens it.
    if (!CkxwFileSystem::IsFileValid(path))
        kx::Prompt(nullptr, std::string(kManualMissing) + ": " + path, kx::PromptOk, kx::PromptError);
    else
        CkxwFileSystem::OpenFileDef(path);
}

void CKeeperApp::OnAppAbout() {
    CAboutDlg about(m_mainFrame.get());
    about.DoModal();
}

void CKeeperApp::RequestAllLists() {
    m_link.SendServerListRequest();
    m_link.SendUserRoleListRequest();
    m_link.SendGroupListRequest();
    m_link.SendFileRoleListRequest();
    m_link.SendFolderRoleListRequest();
    m_link.SendUserListRequest();
    m_link.SendOnlineListRequest();
}

int CKeeperApp::LoadRecentNames(std::vector<std::string>& names) const {
    const std::vector<std::string> stored = kx::ReadLoginHistory([this](const std::string& value) {
        return m_profile.Reg_Read(value, static_cast<uint32_t>(kx::kLoginHistoryBuffer), std::string());
    });
    names.insert(names.end(), stored.begin(), stored.end());
    return static_cast<int>(names.size());
}

void CKeeperApp::SaveRecentNames(const std::vector<std::string>& names) {
    kx::WriteLoginHistory(names, [this](const std::string& value, const std::string& text) {
        m_profile.Reg_Write(value, text);
    });
}

KeeperStatus* CKeeperApp::GetStatus() const { return m_mainFrame.get(); }

std::string CKeeperApp::GetManualPath() { return CkxwFileSystem::GetAppDir() + "/" + kManualFile; }
