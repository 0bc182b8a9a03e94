// CFileInfoBar: the main frame's right-hand bar "属性窗口". It shows the file the user selected or
// the slide show reached: its picture in the image viewer with view and player tools, its fifteen
// attribute values, its keywords, quick keys and referencing projects, with buttons that edit
// them through the server. The slide show runs on a GUI-thread timer over the active document.
#pragma once

#include "frame/StudioBars.h"

#include "model/CkxFile.h"
#include "model/CkxFileX.h"
#include "model/CkxPlayCtrl.h"
#include "qt/KxWindowMessage.h"

#include <QTimer>

#include <memory>
#include <string>

class CStudioLink;
class CvClientDoc;
class CxImageViewer;
namespace kx {
class ReportList;
}

class CFileInfoBar : public CStudioBar, public kx::MessageReceiver {
public:
    enum Tab { TAB_VIEW, TAB_ATTRS, TAB_KEYWORDS, TAB_QUICKKEYS, TAB_PROJECTS };
    enum Command {
        ID_TOOL_MOVE = 816, ID_ZOOM_OUT = 817, ID_ORIGINAL = 818, ID_ZOOM_IN = 819, ID_FIT = 820, ID_BKCOLOR = 822,
        ID_SLIDE_SETTINGS = 832, ID_PLAY = 833, ID_STOP = 834, ID_RESET = 835, ID_FIRST = 836, ID_PREV5 = 837,
        ID_PREV = 838, ID_NEXT = 839, ID_NEXT5 = 840, ID_LAST = 841,
        ID_EDIT_ATTRS = 848, ID_EDIT_KEYWORDS = 864, ID_EDIT_QUICKKEYS = 880, ID_EDIT_PROJECTS = 912,
        ID_TAB_VIEW = 32893, ID_TAB_ATTRS = 32894, ID_TAB_KEYWORDS = 32895, ID_TAB_QUICKKEYS = 32896,
        ID_TAB_PROJECTS = 32897,
    };
    static constexpr const char* kTooMany = "一个文件最多可以有255项设置";
    static constexpr int kMinIntervalMs = 10;

    CFileInfoBar(CStudioLink& link, QWidget* parent = nullptr);
    ~CFileInfoBar() override;

    // A direct selection: the player stops (its position kept) and the file is shown.
    void ShowFile(const CkxFile* file);
    // The active document's file with that id (mode 0 from the frame).
    void PreviewFile(int fileId, int mode = 0);
    void ShowDocumentFile(int docId, int fileId, int mode = 0);
    // The slide show from the active document's selected row.
    void StartSlideShow(int mode);
    void OnCommand(int id);
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

    // The viewer's transition between pictures (the transition player's types); false without
    // a viewer or for a type it has not.
    bool SetTransitionType(int type);
    bool IsTransitionType(int type) const;

    int ShownFileId() const { return m_nFileId; }
    // The copy of the shown file, or null when none is shown.
    const CkxFile* ShownFile() const { return m_nFileId == -1 ? nullptr : m_shown.GetObj(); }
    CxImageViewer* Viewer() const { return m_viewer; }
    kx::ReportList* List(int tab) const;
    CGuiTabWnd* Tabs() const { return m_tabs; }
    CGuiToolButton* Button(int id) const;
    CkxPlayCtrl& PlayCtrl() { return m_play; }
    bool IsPlaying() const { return m_timer.isActive(); }

    // "%d-%d-%d" at midnight, else with the time; empty for the zero date.
    static std::string DateText(const COleDateTime& moment);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Show(const CkxFile* file, CvClientDoc* doc);
    void Clear();
    void FillAttributes();
    void FillKeywords();
    void FillQuickKeys();
    void FillProjects();
    void ShowDocFile(CvClientDoc* doc, int fileId);
    void ShowCurrent();
    void Navigate(int id);
    void OnTimer();
    CvClientDoc* ActiveDoc() const;
    void EditAttributes();
    void EditKeywords();
    void EditQuickKeys();
    void EditProjects();

    CStudioLink& m_link;
    CGuiTabWnd* m_tabs = nullptr;
    CxImageViewer* m_viewer = nullptr;
    kx::ReportList* m_lists[5] = {};
    std::vector<CGuiToolButton*> m_buttons;
    int m_nFileId = -1;
    CkxFileX m_shown; // a copy of the shown file
    int m_nTool = ID_TOOL_MOVE;
    int m_nMode = 0;
    int m_nDocId = -1; // the document the slide show walks
    CkxPlayCtrl m_play;
    // Waits the slide interval, then polls until the viewer's transition is idle.
    QTimer m_timer;
    bool m_bWaitingTransition = false;
};
