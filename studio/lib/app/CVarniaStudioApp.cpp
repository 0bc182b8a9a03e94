#include "app/CVarniaStudioApp.h"

#include "app/StudioCommands.h"
#include "browser/CBrowser.h"

#include "dlg/CDlgLogin.h"
#include "doc/CLocalStorage.h"
#include "frame/CMainFrame.h"
#include "infobar/CFileInfoBar.h"
#include "print/CPrintHost.h"
#include "print/CPrintJob.h"
#include "print/CPrinterState.h"
#include "viewer/CxImageViewer.h"
#include "session/CStudioLink.h"

#include "base/KxProc.h"
#include "model/CkxContainer.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "qt/KxLoginFields.h"
#include "qt/KxPrompt.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

CVarniaStudioApp* g_app = nullptr;

constexpr const char* kSliderSetting = "SliderSetting";
constexpr const char* kSliderSpec = "SliderSpec";
constexpr const char* kPrintFitMode = "PrintFitMode";
constexpr const char* kPrintShow = "PrintShow";
constexpr const char* kPrinterDevMode = "PrinterDevMode";
constexpr const char* kOpenLocalImageDefaultFormat = "OpenLocalImageDefaultFormat";
constexpr size_t kDevModeBytes = CPrinterState::kDevModeBytes;

// The eleven words of the slide-show parameters, in their stored order.
int CkxPlayParam::* const kSliderWords[11] = {
    &CkxPlayParam::m_bWhole,     &CkxPlayParam::m_nRangeStart, &CkxPlayParam::m_nRangeEnd, &CkxPlayParam::m_nStep,
    &CkxPlayParam::m_nOrder,     &CkxPlayParam::m_bLoop,       &CkxPlayParam::m_nSpeedMode, &CkxPlayParam::m_nInterTime,
    &CkxPlayParam::m_nFrameNum,  &CkxPlayParam::m_nTimeUnit,   &CkxPlayParam::m_nReserved};

} // namespace

CVarniaStudioApp* theApp() { return g_app; }

CMainFrame* TheMainFrame() { return g_app ? g_app->GetMainFrame() : nullptr; }

CVarniaStudioApp::CVarniaStudioApp(CStudioLink& link, QObject* parent)
    : CvClientApp(parent), m_link(link), m_printHost(std::make_unique<CPrintHost>()),
      m_printJob(std::make_unique<CPrintJob>(m_printHost.get())), m_commands(std::make_unique<CStudioCommands>(*this)) {
    g_app = this;
    m_profile.Reg_SetDefaultDir(kRegistryKey);
    // The document template: each document's view is a file browser in a tab of the frame.
    SetDocTemplate({[] { return std::make_unique<CvClientDoc>(); }, [this](CvClientDoc& doc) { return MakeBrowser(doc); }});
}

CVarniaStudioApp::~CVarniaStudioApp() {
    if (g_app == this) g_app = nullptr;
}

QWidget* CVarniaStudioApp::MakeBrowser(CvClientDoc& doc) {
    auto* browser = new CBrowser(doc, &m_link);
    QMdiArea* area = m_mainFrame ? m_mainFrame->MdiArea() : nullptr;
    if (!area) return browser;
    // A tab of the frame; closing the tab closes the document.
    QMdiSubWindow* sub = area->addSubWindow(browser);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    connect(area, &QMdiArea::subWindowActivated, browser, [browser, sub](QMdiSubWindow* active) {
        if (active == sub) browser->OnActivate();
    });
    sub->show();
    return browser;
}

std::string CVarniaStudioApp::DataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && *xdg == '/') base = xdg;
    else base = std::string(std::getenv("HOME") ? std::getenv("HOME") : "/tmp") + "/.local/share";
    return base + "/varnia/studio";
}

bool CVarniaStudioApp::InitInstance() {
    // A send to a server that went away must not end the program.
    if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR) {
        kx::Prompt(nullptr, kSocketsFailed, kx::PromptOk, kx::PromptError);
        return false;
    }
    kx::SetAppName(kAppName);
    m_profile.Reg_SetDefaultDir(kRegistryKey);
    m_strAppDir = CkxwFileSystem::GetAppDir();
    CkxPlayParam slider;
    if (GetSliderSetting(slider)) KX_KXXXX().m_PlayParam = slider;
    // The program's folder is read-only on Linux: the local storage lives in the data folder.
    if (!TheLocalStorage().Init(DataFolder())) {
        kx::Prompt(nullptr, std::string(kStorageFailed) + ": " + DataFolder(), kx::PromptOk, kx::PromptError);
        return false;
    }
    if (!CreateMainFrame()) return false;
    CDlgLogin login(*this);
    if (login.DoModal() != kx::IDOK) return false;
    RequestInitialLists();
    m_mainFrame->resize(1200, 800);
    m_mainFrame->show();
    m_mainFrame->UpdateCommandStates();
    RestorePrinter();
    m_bStarted = 1;
    return true;
}

bool CVarniaStudioApp::CreateMainFrame() {
    m_mainFrame = std::make_unique<CMainFrame>(m_link);
    if (m_mainFrame->OnCreate() != 0) {
        m_mainFrame.reset();
        return false;
    }
    m_mainFrame->SetCommandHandlers([this](int id) { OnCommand(id); }, [this] { m_commands->UpdateCommandUI(); });
    m_printHost->SetMainWnd(m_mainFrame.get());
    // A double click on the picture switches between the big screen and the default layout.
    if (CFileInfoBar* info = m_mainFrame->FileInfoBar(); info && info->Viewer())
        connect(info->Viewer(), &CxImageViewer::LayoutSwitchRequested, this,
                [this] { m_commands->ApplyLayout(IsBigScreen() ? CStudioCommands::VIEW_DEFAULT : CStudioCommands::VIEW_BIG); });
    return true;
}

void CVarniaStudioApp::OnCommand(int id) {
    m_commands->OnCommand(id);
    if (m_mainFrame) m_mainFrame->UpdateCommandStates();
}

void CVarniaStudioApp::PrintFile(const CkxFile& file) {
    m_printJob->SetPrinter(Printer().GetPrinter());
    if (!m_printJob->SetFile(CPrintJob::kPreviewResource, file)) ShowError(CStudioCommands::kNotPrintable);
}

void CVarniaStudioApp::RestorePrinter() {
    std::string devMode;
    if (ReadPrinterDevMode(devMode) && SetPrinterDevMode(devMode)) return;
    EnsurePrinter();
}

int CVarniaStudioApp::RequestInitialLists() { return m_link.RequestInitialLists() ? 1 : 0; }

int CVarniaStudioApp::ExitInstance() {
    if (m_bStarted) {
        // The one log-off (the session refuses a second, should the frame have sent it), and a
        // bounded wait for the server to take it before the connection goes.
        m_link.SendLogoffRequest();
        const auto end = std::chrono::steady_clock::now() + kLogoffWait;
        while (m_link.IsRunning() && !m_link.IsFailed() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        TheLocalStorage().ClearTempDir();
    }
    m_bStarted = 0;
    // The session's threads call into windows and lists: they end before those go.
    m_link.StopAndClose();
    m_printHost->SetMainWnd(nullptr);
    m_mainFrame.reset();
    return 0;
}

// ---- Settings ----

int CVarniaStudioApp::ReadLoginHistory(std::vector<std::string>& names) const {
    const std::vector<std::string> stored = kx::ReadLoginHistory([this](const std::string& value) {
        return m_profile.Reg_Read(value, static_cast<uint32_t>(kx::kLoginHistoryBuffer), std::string());
    });
    names.insert(names.end(), stored.begin(), stored.end());
    return static_cast<int>(names.size());
}

void CVarniaStudioApp::WriteLoginHistory(const std::vector<std::string>& names) {
    kx::WriteLoginHistory(names, [this](const std::string& value, const std::string& text) {
        m_profile.Reg_Write(value, text);
    });
}

bool CVarniaStudioApp::GetSliderSetting(CkxPlayParam& param) const {
    // 48 bytes: a leading word that carries nothing, then the parameters' eleven words.
    int32_t words[12];
    if (!m_profile.Reg_Read(kSliderSetting, words, sizeof words)) return false;
    for (int i = 0; i < 11; ++i) param.*kSliderWords[i] = words[i + 1];
    return true;
}

void CVarniaStudioApp::SetSliderSetting(const CkxPlayParam& param) {
    int32_t words[12] = {};
    for (int i = 0; i < 11; ++i) words[i + 1] = param.*kSliderWords[i];
    m_profile.Reg_Write(kSliderSetting, words, sizeof words);
    KX_KXXXX().m_PlayParam = param;
}

int CVarniaStudioApp::GetSliderSpec() const { return static_cast<int>(m_profile.Reg_Read(kSliderSpec, 0u)); }
void CVarniaStudioApp::SetSliderSpec(int spec) { m_profile.Reg_Write(kSliderSpec, static_cast<uint32_t>(spec)); }
int CVarniaStudioApp::GetPrintFitMode() const { return static_cast<int>(m_profile.Reg_Read(kPrintFitMode, 1u)); }
void CVarniaStudioApp::SetPrintFitMode(int mode) { m_profile.Reg_Write(kPrintFitMode, static_cast<uint32_t>(mode)); }
int CVarniaStudioApp::GetPrintShow() const { return static_cast<int>(m_profile.Reg_Read(kPrintShow, 1u)); }
void CVarniaStudioApp::SetPrintShow(int show) { m_profile.Reg_Write(kPrintShow, static_cast<uint32_t>(show)); }

bool CVarniaStudioApp::ReadPrinterDevMode(std::string& bytes) const {
    std::string read(kDevModeBytes, '\0');
    if (!m_profile.Reg_Read(kPrinterDevMode, read.data(), static_cast<uint32_t>(kDevModeBytes))) return false;
    bytes = read;
    return true;
}

int CVarniaStudioApp::WritePrinterDevMode(const std::string& bytes) {
    if (bytes.size() != kDevModeBytes) return 0;
    return m_profile.Reg_Write(kPrinterDevMode, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

std::string CVarniaStudioApp::GetOpenLocalImageDefaultFormat() const {
    return m_profile.Reg_Read(kOpenLocalImageDefaultFormat, 30u, std::string());
}

void CVarniaStudioApp::SetOpenLocalImageDefaultFormat(const std::string& format) {
    m_profile.Reg_Write(kOpenLocalImageDefaultFormat, format);
}

// ---- Small services ----

void CVarniaStudioApp::ShowMessage(const std::string& text) { kx::Prompt(nullptr, text, kx::PromptOk, kx::PromptWarning); }
void CVarniaStudioApp::ShowError(const std::string& text) { kx::Prompt(nullptr, text, kx::PromptOk, kx::PromptError); }

// ---- Messages of other threads ----

kx::LRESULT CVarniaStudioApp::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    const int docId = static_cast<int>(wParam);
    switch (message) {
    case WM_LOCAL_FILE: {
        // The payload is ours whatever happens: a closed document frees it here.
        std::unique_ptr<CkxFile> file(reinterpret_cast<CkxFile*>(lParam));
        if (CvClientDoc* doc = FindDoc(docId)) doc->InsertFile(std::move(file));
        return 1;
    }
    case WM_FILE_LIST: {
        std::unique_ptr<CkxContainer> container(reinterpret_cast<CkxContainer*>(lParam));
        if (CvClientDoc* doc = FindDoc(docId); doc && container) doc->InsertFileFromContainer(*container);
        return 1;
    }
    case WM_REMOVE_CHECKOUT: TheLocalStorage().RemoveCheckoutCopy(static_cast<int>(lParam)); return 1;
    case WM_REMOVE_FILE:
        for (CvClientDoc* doc : GetDocs()) doc->RemoveFile(static_cast<int>(lParam));
        return 1;
    case WM_BIN_EMPTIED: OnRecycleBinEmptied(); return 1;
    case WM_BIN_REMOVE:
    case WM_BIN_REMOVE2:
        if (CvClientDoc* bin = FindRecycleBinDoc()) bin->RemoveFile(static_cast<int>(wParam));
        return 1;
    case WM_WHOLE_FILE:
        if (CvClientDoc* doc = FindDoc(docId)) doc->RefreshSelectedFile(static_cast<int>(lParam));
        return 1;
    default: return 0;
    }
}
