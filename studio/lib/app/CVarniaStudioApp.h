// VarniaStudio's application object: the start-up (sockets, the document template, the settings
// key, the local storage, the main frame, the login that gates everything, the first lists, the
// main window shown) and the exit with its one log-off; the settings the studio keeps; and the
// messages other threads post to the application (files of a loader, file-list answers, whole
// content arrived, files removed), each naming its document by id.
#pragma once

#include "app/CSingleInstanceGuard.h"
#include "app/CvClientApp.h"

#include "model/CkxPlayParam.h"
#include "model/CkxProfile.h"
#include "qt/KxWindowMessage.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class CkxFile;
class CMainFrame;
class CPrintHost;
class CPrintJob;
class CStudioCommands;
class CStudioLink;

class CVarniaStudioApp : public CvClientApp, public kx::MessageReceiver {
    Q_OBJECT
public:
    static constexpr const char* kAppName = "VarniaStudio";
    static constexpr const char* kRegistryKey = "Software\\VarniaStudio";
    static constexpr const char* kSocketsFailed = "Windows 通信端口初始化失败。";
    static constexpr const char* kStorageFailed = "本地存储目录无法创建";
    static constexpr std::chrono::milliseconds kLogoffWait{1000};

    // Messages other threads post to the application (wParam the document id).
    enum ThreadMessage : unsigned {
        WM_LOCAL_FILE = 0x2B11,      // lParam: a CkxFile the handler owns
        WM_FILE_LIST = 0x2B12,       // lParam: a CkxContainer the handler owns
        WM_REMOVE_CHECKOUT = 0x2B15, // lParam: file id
        WM_REMOVE_FILE = 0x2B16,     // lParam: file id
        WM_BIN_EMPTIED = 0x2B17,
        WM_BIN_REMOVE = 0x2B18,      // wParam: file id
        WM_BIN_REMOVE2 = 0x2B19,     // wParam: file id
        WM_WHOLE_FILE = kx::WM_USER + 30, // lParam: file id
    };

    explicit CVarniaStudioApp(CStudioLink& link, QObject* parent = nullptr);
    ~CVarniaStudioApp() override;

    bool InitInstance();
    int ExitInstance();
    // The lists the studio reads, asked after a log-on; 1 when every request went.
    int RequestInitialLists();

    CStudioLink& GetLink() { return m_link; }
    CMainFrame* GetMainFrame() const { return m_mainFrame.get(); }
    CkxProfile& GetProfile() { return m_profile; }
    const std::string& GetAppDir() const { return m_strAppDir; }
    const std::string& GetLoggedInUser() const { return m_strLoggedInUser; }
    void SetLoggedInUser(const std::string& name) { m_strLoggedInUser = name; }
    bool IsStarted() const { return m_bStarted != 0; }
    // The single-instance guard (the start-up does not use it).
    CSingleInstanceGuard& GetGuard() { return m_guard; }
    int GetViewState() const { return m_nViewState; }
    int GetPrevViewState() const { return m_nPrevViewState; }
    // The layout commands' state change: the current state becomes the previous one.
    void SetViewState(int state) {
        m_nPrevViewState = m_nViewState;
        m_nViewState = state;
    }
    // Whether the big-screen layout is the current one (the image viewer asks).
    bool IsBigScreen() const { return m_nViewState == 4; }

    // Makes the main frame (step 9 of the start-up) and routes its commands here; false when
    // it cannot be made.
    bool CreateMainFrame();
    // The application's command table.
    CStudioCommands& Commands() { return *m_commands; }
    void OnCommand(int id);

    // ---- Printing ----
    CPrintJob& GetPrintJob() { return *m_printJob; }
    // Hands the file to the print job on the application's printer (its preview opens); a file
    // whose content is no picture is told with a stop-icon message.
    void PrintFile(const CkxFile& file);
    // The stored printer at start-up: "PrinterDevMode" when it can be read, else the default
    // printer.
    void RestorePrinter();

    // ---- Settings ----
    int ReadLoginHistory(std::vector<std::string>& names) const;
    void WriteLoginHistory(const std::vector<std::string>& names);
    bool GetSliderSetting(CkxPlayParam& param) const;
    void SetSliderSetting(const CkxPlayParam& param);
    int GetSliderSpec() const;
    void SetSliderSpec(int spec);
    int GetPrintFitMode() const;
    void SetPrintFitMode(int mode);
    int GetPrintShow() const;
    void SetPrintShow(int show);
    bool ReadPrinterDevMode(std::string& bytes) const;
    int WritePrinterDevMode(const std::string& bytes);
    std::string GetOpenLocalImageDefaultFormat() const;
    void SetOpenLocalImageDefaultFormat(const std::string& format);

    // ---- Small services ----
    void ShowMessage(const std::string& text);
    void ShowError(const std::string& text);

    // The studio's data folder: $XDG_DATA_HOME/varnia/studio (default ~/.local/share/...).
    static std::string DataFolder();

    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

protected:
    int StorePrinterDevMode(const std::string& bytes) override { return WritePrinterDevMode(bytes); }

private:
    // A document's view: the file browser, in a tab of the main frame.
    QWidget* MakeBrowser(CvClientDoc& doc);
    CStudioLink& m_link;
    CkxProfile m_profile;
    std::string m_strAppDir;
    std::string m_strLoggedInUser;
    int m_bStarted = 0;
    int m_nViewState = 1;
    int m_nPrevViewState = 1;
    CSingleInstanceGuard m_guard;
    std::unique_ptr<CPrintHost> m_printHost;
    std::unique_ptr<CPrintJob> m_printJob;
    std::unique_ptr<CStudioCommands> m_commands;
    std::unique_ptr<CMainFrame> m_mainFrame;
};

// The program's application object (null when none is made).
CVarniaStudioApp* theApp();
// The program's main frame, or null (no application or no frame yet).
CMainFrame* TheMainFrame();
