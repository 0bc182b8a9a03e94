// CxFileBrowser: the view of a studio document: a caption bar with the document's caption and
// fifteen tool buttons over the file list (icons, list, a fifteen-column report, thumbnails in
// five sizes) or the batch annotation view. It previews the file the user selects, offers the
// context menus the files' rights allow, and runs one whole-file worker that fetches the
// content of a server document's files, the selected file first.
#pragma once

#include "browser/BrowserMenu.h"
#include "browser/CxFileBatchNote.h"
#include "doc/CvDocBrowser.h"
#include "qt/GuiToolkit.h"

#include <QWidget>

#include <memory>
#include <string>

class BrowserFileCommands;
class CkxFile;
class CkxwFileListView;
class CServerLink;
class CvClientDoc;
class CWholeFileWorker;

class CxFileBrowser : public QWidget, public CvDocBrowser {
public:
    enum ChildId { ID_FILE_LIST = 11024, ID_BATCH_VIEW = 11025 };
    enum Button {
        BTN_LARGE = 7, BTN_SMALL = 8, BTN_LIST = 9, BTN_REPORT = 10, BTN_MICRO = 11, BTN_MICRO_MENU = 12,
        BTN_BATCH = 13, BTN_UPLOAD = 14, BTN_UPDATE = 15, BTN_REQUERY = 16, BTN_SLIDE = 17,
        BTN_FIRST_PAGE = 27, BTN_PREV_PAGE = 28, BTN_NEXT_PAGE = 29, BTN_LAST_PAGE = 30,
    };
    static constexpr int kCaptionHeight = 25;
    static constexpr int kButtonWidth = 25;
    static constexpr int kButtonHeight = 18;

    // The view of the document; requests go through the link (null: none are sent).
    CxFileBrowser(CvClientDoc& doc, CServerLink* link, QWidget* parent = nullptr);
    ~CxFileBrowser() override;

    // Batch mode (the batch view and its three buttons take part); before the first showing.
    void SetCompanionView(bool on) { m_bBatchMode = on; }
    bool IsBatchMode() const { return m_bBatchMode; }
    bool IsSaveToServerEnabled() const { return m_bSaveToServer; }

    // The first showing: buttons, the file list in 50-pixel thumbnails, the columns, the worker.
    void OnInitialUpdate();
    // Fetching starts with the first activation (the frame's tab becoming active, or the view
    // taking the focus).
    void OnActivate();
    void OnCommand(int id);
    void UpdateToolButtons();
    void SetCaption(const std::string& text);
    // Shows the file again when it is the selected one and its content is here.
    void RefreshFile(int fileId);
    // Previews the file, or asks for its content first.
    void ShowFile(const CkxFile* file);
    bool IsReady() const { return m_bReady; }

    // The commands the view runs itself (the others are the file commands).
    static bool IsViewCommand(int id);
    // The context menu for the current selection, not run.
    BrowserMenu BuildContextMenu() const;
    kx::PopupMenu* ThumbnailMenu() const { return m_thumbMenu; }

    CvClientDoc& Document() const { return m_doc; }
    CServerLink* Link() const { return m_link; }
    BrowserFileCommands& FileCommands() const { return *m_commands; }
    CkxwFileListView* FileList() const { return m_list; }
    CxFileBatchNote* BatchView() const { return m_batch; }
    CGuiMiniTool* CaptionBar() const { return m_captionBar; }
    CGuiToolButton* ToolButton(int id) const;
    int GetThumbnailMode() const { return m_nThumbMode; }
    int GetShownView() const { return m_nShownView; }
    CWholeFileWorker* Worker() const { return m_worker.get(); }
    // How often a file was handed to the main frame to be previewed, and the last one's id.
    int PreviewCount() const { return m_nPreviews; }
    int LastPreviewId() const { return m_nLastPreview; }

    // ---- What the document asks ----
    void OnFileInserted(CkxFile* file) override;
    void OnFilesRemoved(const std::vector<int>& fileIds) override;
    void OnAllFilesRemoved() override;
    void OnFileUpdated(int fileId) override;
    void OnCaptionChanged(const std::string& caption) override { SetCaption(caption); }
    void RefreshSelectedFile(int fileId) override { RefreshFile(fileId); }
    void SetAutoArrange(bool on) override;
    int GetSelectedCount() const override;
    int GetSelectedItem() const override;
    int GetItemFileID(int item) const override;
    void SelectAllItems() override;

protected:
    // A row's fifteen texts from the file's formatters.
    virtual void FillRow(int row, const CkxFile& file);
    virtual void SetupColumns();
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

    bool m_bBatchMode = true;
    bool m_bSaveToServer = false;

private:
    void Layout();
    // The caption in the strip's room left of the buttons, cut in the middle when longer.
    void FitCaption();
    void TouchDocument();
    void ShowFileList();
    void ShowBatchView();
    void SetMode(int mode);
    void SetThumbnailMode(int mode);
    void Requery();
    void OnItemChanged();
    void OnItemClicked(int row);
    void OnItemDoubleClicked(int row);
    void OnItemRightClicked(const QPoint& at);
    // Whether the current user may load the file (the worker never asks for one he may not).
    bool MayLoad(const CkxFile& file) const;
    CkxFile* SelectedFile() const;

    CvClientDoc& m_doc;
    CServerLink* m_link;
    CGuiMiniTool* m_captionBar = nullptr;
    std::vector<CGuiToolButton*> m_buttons;
    kx::PopupMenu* m_thumbMenu = nullptr;
    CkxwFileListView* m_list = nullptr;
    CxFileBatchNote* m_batch = nullptr;
    std::unique_ptr<CWholeFileWorker> m_worker;
    std::unique_ptr<BrowserFileCommands> m_commands;
    int m_nThumbMode = 16;
    bool m_bReady = false;
    bool m_bActivated = false;
    bool m_bInitialised = false;
    int m_nShownView = 0;
    std::string m_strCaption; // whole, also the caption's tip
    int m_nButtonsLeft = 0;   // where the leftmost button starts
    int m_nPreviews = 0;
    int m_nLastPreview = 0;
};
