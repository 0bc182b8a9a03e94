// VarniaStudio's main window: menu, tool bar, four status panes, a tabbed MDI area and three
// docking bars (navigation left, file information right, work bottom), full-screen mode with a
// floating one-button tool bar, and the image hook that stores each acquired picture as the next
// capture file. It joins the session's main-window slot; closing it while connected asks first
// and ends the session with the one log-off.
#pragma once

#include "frame/CTwainAcquire.h"
#include "frame/StudioBars.h"
#include "qt/GuiToolkit.h"

#include <QRect>
#include <QPointer>

#include <atomic>
#include <functional>
#include <string>

class CkxFile;
class CStudioLink;
class CFileInfoBar;

class CMainFrame : public CGuiMDIFrame, public CTwainAcquire {
public:
    enum {
        IDW_WORK_BAR = 2455,
        IDW_NAVIGATION_BAR = 2456,
        IDW_FILEINFO_BAR = 2457,
        ID_TWAIN_SELECT = 32812,
        ID_TWAIN_ACQUIRE = 32813,
        ID_FULLSCREEN_RESTORE = 33003,
        ID_FULLSCREEN_TOOLBAR = 0xE800,
    };
    static constexpr const char* kTitle = "Varnia Studio";
    static constexpr const char* kCloseQuestion = "确定关闭客户端";
    static constexpr const char* kOrganisation = "Varnia 图库";
    static constexpr const char* kBarsProfile = "GuiTabbedDemo";
    static constexpr const char* kMenuHistory = "MyHistory1";
    static constexpr int kStyle = 0x8002;
    // What the two acquisition commands say when no scanner library or no scanner is there.
    static constexpr const char* kNoScanner = "没有找到可用的扫描仪";

    explicit CMainFrame(CStudioLink& link, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds everything in order; -1 when a bar cannot be made, else 0.
    int OnCreate();

    // ---- Bars ----
    void ShowNavigationBar(bool show);
    void ShowFileInfoBar(bool show);
    void ShowWorkBar(bool show);
    int IsNavigationBarVisible() const;
    int IsFileInfoBarVisible() const;
    int IsWorkBarVisible() const;
    CNavigationBar* NavigationBar() const { return m_navigationBar; }
    CFileInfoBar* FileInfoBar() const { return m_fileInfoBar; }
    CWorkBar* WorkBar() const { return m_workBar; }
    void ToggleToolBar();
    void DeleteMDITab(int index);
    // The document windows' area between the bars; hidden, it leaves its width to the bars.
    void ShowDocumentArea(bool show);
    int IsDocumentAreaVisible() const;

    // ---- Full screen ----
    // 1 when the mode changed; 0 when the floating tool bar could not be made (nothing changed).
    int ToggleFullScreen();
    int IsFullScreen() const { return m_bFullScreen; }
    QToolBar* FullScreenToolBar() const { return m_fullScreenBar.data(); }

    // ---- Status panes ("-" for an empty text) ----
    void SetReadyText(const std::string& text);
    void SetServerText(const std::string& text);
    void SetUserText(const std::string& text);
    void SetCaptionText(const std::string& text);
    void SetStatusText(const std::string& text) { SetReadyText(text); }
    QString PaneText(int index) const;
    // The one-line description of a file in pane 0 (nothing for null).
    void ShowFileStatus(const CkxFile* file);

    // ---- Forwarded to the file information bar ----
    void ShowFileInfo(const CkxFile* file);
    void PreviewFile(int fileId);
    void StartSlideShow(int mode);
    void ShowFileList(int docId, int fileId);

    // ---- Commands ----
    // Where the commands the frame does not handle itself go (the application's command
    // table), and what works out the commands' enabled and checked states: run whenever a menu
    // of the menu bar opens.
    void SetCommandHandlers(std::function<void(int)> onCommand, std::function<void()> onUpdate);
    // Works the states out now (after a log-on, after a command).
    void UpdateCommandStates();

    // ---- Acquisition ----
    void OnCommand(int id) override;
    // Stores the picture as the next capture file (JPEG), written whole before it takes its
    // name; a picture that cannot be converted is skipped, one that cannot be saved is reported
    // once per transfer (from the acquisition's worker, on the window's thread). The path, or "".
    // Any thread may call it.
    std::string StoreAcquiredImage(const QImage& image);
    // A new transfer: its first failed save is reported again.
    void BeginTransfer() { m_bSaveFailureTold = false; }
    // On the acquisition's worker.
    void OnImageAcquired(const QImage& image, const ImageInfo&) override { StoreAcquiredImage(image); }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Makes the floating tool bar of full-screen mode (null when it cannot be made).
    virtual QToolBar* MakeFullScreenToolBar();

private:
    bool CreateBar(CStudioBar* bar, const char* title, int id, Qt::DockWidgetArea area);

    CStudioLink& m_link;
    CNavigationBar* m_navigationBar = nullptr;
    CFileInfoBar* m_fileInfoBar = nullptr;
    CWorkBar* m_workBar = nullptr;
    int m_bFullScreen = 0;
    QRect m_savedGeometry;
    bool m_bToolBarWasVisible = true;
    bool m_bStatusBarWasVisible = true;
    QPointer<QToolBar> m_fullScreenBar;
    std::atomic<bool> m_bSaveFailureTold{false};
    std::function<void(int)> m_onCommand;
    std::function<void()> m_onUpdate;
};
