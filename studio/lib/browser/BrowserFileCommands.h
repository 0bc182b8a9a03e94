// BrowserFileCommands: the file browser's commands on the selected files of its document: open
// (by check-out for server files), copy to the clipboard, download, print, change attributes,
// rights, keywords and quick keys, bookmark, share, projects, save to server, upload, delete and
// the recycle bin. Each command checks the current user's rights and the checkouts per file,
// refuses with a warning or lists refused and accepted files in the operation's warning dialog,
// and sends its requests through the session; the documents change when the server's
// announcements come back. One per browser, which it outlives never.
#pragma once

#include "browser/CFileSendQueue.h"
#include "model/CkxFile.h"
#include "qt/KxWaitCursor.h"

#include <memory>
#include <string>
#include <vector>

class CkxFileOpeStateList;
class CkxwFileListView;
class CServerLink;
class CvClientDoc;
class CxFileBrowser;

class BrowserFileCommands {
public:
    // Commands reached by id only (no menu holds them).
    enum { ID_SHARE = 32861, ID_SEND_TO = 32862 };

    explicit BrowserFileCommands(CxFileBrowser& browser);
    ~BrowserFileCommands();
    BrowserFileCommands(const BrowserFileCommands&) = delete;
    BrowserFileCommands& operator=(const BrowserFileCommands&) = delete;

    // Runs the file command (a menu id, or the browser's buttons 14 and 15); false for an id
    // that is not one of them.
    bool Run(int id);

    // ---- The commands ----
    // mode 0 the desktop's program, 1 a chosen program, 2 the image editor.
    void Open(int mode);
    void CopyToClipboard();
    void Download();
    void Print();
    void ChangeAttributes();
    void UpdateToServer();
    void SetRights();
    void SetKeywords();
    void SetQuickKeys();
    void Bookmark();
    void Share();
    void SendTo();
    void LinkProjects();
    void SaveToServer();
    void UploadFromMenu();
    void UploadFromButton();
    void Delete();
    void PurgeFromRecycleBin();
    void RestoreFromRecycleBin();
    void RestoreAll();

    // Save to server once the information dialog has given the edited copy: the content comes
    // from the document's cached copy of `selected`, converted when the edited copy names
    // another format; then the add request. False (after the message) when nothing was sent.
    bool SendSavedCopy(const CkxFile& selected, CkxFile& edited);
    // The file with its content, ready for the print job; false (after "读取缓存文件失败!") when
    // its content cannot be loaded.
    bool LoadForPrint(const CkxFile& file, CkxFile& out) const;

    CFileSendQueue& SendQueue() { return m_queue; }

private:
    // In batch mode, the batch view's pending edits written into the files.
    void SaveBatchEdits();
    // Shows the wait cursor until the send queue has finished.
    void WaitForQueue();
    // The selected files in selection order (the document's objects).
    std::vector<CkxFile*> SelectedFiles() const;
    // The first selected file, null when none.
    CkxFile* Selected() const;
    int User() const;
    bool IsLocal() const;
    bool IsHere(const CkxFile& f) const;
    void Touch() const;
    void Warn(const std::string& text) const;
    // A right of the user on a file (the core's rights evaluation).
    using Right = int (*)(int user, const CkxFile& file);
    // The batch shape: each selected file in order checked with the right and the checkouts of
    // others; refused and allowed lists for the warning dialog, the accepted files' ids in order.
    // Ids and not objects: while a dialog runs, the server's announcements may replace or remove
    // the document's file objects, so files are looked up again afterwards (FindFiles).
    std::vector<int> Gather(Right right, CkxFileOpeStateList& refused, CkxFileOpeStateList& allowed) const;
    // The document's files of those ids still in it, in order.
    std::vector<CkxFile*> FindFiles(const std::vector<int>& ids) const;
    // An owning copy of the document's file with its content from the document's folder; null
    // when the content cannot be read.
    std::unique_ptr<CkxFile> CopyWithContent(const CkxFile& f) const;
    void OnQueueFinished(const std::vector<std::string>& skipped);

    CxFileBrowser& m_browser;
    CvClientDoc& m_doc;
    CkxwFileListView* m_list;
    CServerLink* m_link;
    CFileSendQueue m_queue;
    // The wait cursor while the send queue works.
    std::unique_ptr<kx::WaitCursor> m_wait;
};
