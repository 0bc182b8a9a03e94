// Keeper's application object: the start-up order (sockets, the settings name, the main window,
// the modal login that gates it), the lists asked for after a log-on, the program's commands
// (lock, close, manual, about), the recent log-on names and the stop with its one log-off.
// main() makes the QApplication and the session first and destroys them after this object.
#pragma once

#include "model/CkxProfile.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;
class ConsoleLink;
class KeeperStatus;

class CKeeperApp {
public:
    static constexpr const char* kAppName = "Keeper";
    static constexpr const char* kRegistryKey = "Software\\Keeper";
    // String 104: the sockets could not be set up.
    static constexpr const char* kSocketsFailed = "Windows 通信端口初始化失败。";
    // The manual, installed beside the program.
    static constexpr const char* kManualFile = "Keeper.html";
    static constexpr const char* kManualMissing = "找不到用户手册";
    // How long the stop waits for the server to take the log-off before the session ends.
    static constexpr std::chrono::milliseconds kLogoffWait{1000};

    explicit CKeeperApp(ConsoleLink& link);
    ~CKeeperApp();
    CKeeperApp(const CKeeperApp&) = delete;
    CKeeperApp& operator=(const CKeeperApp&) = delete;

    // Start-up: ignores SIGPIPE (string 104 when that fails), names the settings "Keeper", keys
    // the profile to "Software\Keeper", makes the main window and runs the login dialog. True
    // when the login ended with OK (the main window is then shown); false ends the program.
    bool InitInstance();
    // The stop: when logged in, the one log-off and a bounded wait for the server to take it;
    // then the session's threads end. Returns the program's exit code.
    int ExitInstance();

    // The application's commands (the main window hands them over).
    void OnCommand(int id);
    void OnAppLock();    // the login dialog in lock mode; its result is not used
    void OnAppClose();   // closes the main window from the event loop
    void OnHelpFinder(); // opens the manual
    void OnAppAbout();

    // After a successful log-on: server record, user roles, groups, file roles, folder roles,
    // users and the online list, in this order (the user list's end finds the roles there).
    void RequestAllLists();

    // Appends the non-empty "Logor0".."Logor4" in stored order; returns the list's size.
    int LoadRecentNames(std::vector<std::string>& names) const;
    // Writes the first five names as "Logor<i>"; values beyond the list stay as they were.
    void SaveRecentNames(const std::vector<std::string>& names);

    CkxProfile& GetProfile() { return m_profile; }
    ConsoleLink& GetLink() { return m_link; }
    const std::string& GetAdminName() const { return m_strAdminName; }
    void SetAdminName(const std::string& name) { m_strAdminName = name; }
    bool IsLoggedIn() const { return m_bLoggedIn != 0; }
    CMainFrame* GetMainFrame() const { return m_mainFrame.get(); }
    // The main window's status panes; null before the main window exists.
    KeeperStatus* GetStatus() const;

    // The manual's path: the program's folder and kManualFile.
    static std::string GetManualPath();

private:
    ConsoleLink& m_link;
    CkxProfile m_profile;
    std::string m_strAdminName;
    int m_bLoggedIn = 0;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
