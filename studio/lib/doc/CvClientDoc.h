// CvClientDoc: one open file set of the studio: local files, the user's recycle bin, or the
// answer of a server query (by template, by one operand, by keywords, of a family, a folder or
// a project). It keeps the query that filled it (so it can be asked again), owns the files of
// its set, and lists the files whose whole content has not arrived yet. The application keeps
// the open documents and routes the server's answers here by document id; documents live on the
// GUI thread, the locks guard the set against the browser's whole-file worker. A local
// document's loader thread turns queued paths into files and hands each to the GUI thread by
// the document's id, so a file never reaches a document that has closed.
#pragma once

#include "model/CkxAutoLock.h"
#include "model/CkxCheckout.h"
#include "model/CkxContainer.h"
#include "model/CkxFile.h"
#include "model/CkxFileX.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxQueryTemplet.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class CvDocBrowser;

class CvClientDoc {
public:
    // What the set holds.
    enum Kind {
        KIND_NONE = 0,
        KIND_LOCAL = 1,
        KIND_RECYCLE = 17,
        KIND_TEMPLET = 18,
        KIND_OPERAND = 19,
        KIND_KEYWORDS = 20,
        KIND_FAMILY = 21,
        KIND_FOLDER = 22,
        KIND_PROJECT = 23,
    };
    // Quick-query codes of kind 19 besides the three date groups 1..30.
    enum QuickQuery { QQ_AUTHOR = 31, QQ_WRITER = 32, QQ_EDITOR = 33, QQ_BOOKMARK = 34, QQ_SHARE = 35 };

    CvClientDoc();
    virtual ~CvClientDoc();
    CvClientDoc(const CvClientDoc&) = delete;
    CvClientDoc& operator=(const CvClientDoc&) = delete;

    // The kind the next document made takes (the application sets it just before).
    static void SetNextDocKind(int kind);
    static int GetNextDocKind();
    static bool IsServerKind(int kind) { return kind >= KIND_RECYCLE && kind <= KIND_PROJECT; }

    // Takes the next-document kind and the title ("本地%d", "查询%d", "回收站", else "NULL"), and
    // starts the loader thread; false when the thread cannot start.
    bool OnNewDocument();

    int GetDocID() const { return m_nDocID.load(); }
    void SetDocID(int id) { m_nDocID.store(id); }
    int GetKind() const { return m_nKind; }
    bool IsServerDoc() const { return IsServerKind(m_nKind); }
    bool IsRecycleBin() const { return m_nKind == KIND_RECYCLE; }
    // Sets the kind (or the quick-query code) and refreshes the caption.
    void SetKind(int kind);
    void SetQuickQuery(int code);
    int GetQuickQuery() const { return m_nQuickQuery; }
    const std::string& GetTitle() const { return m_strTitle; }
    // The kind as the window list names it ("本地文档", "回收站", "服务器文档", "未知").
    std::string GetKindName() const;
    std::string FormatCaption() const;
    const std::string& GetCaption() const { return m_strCaption; }
    // Caption := FormatCaption; every view shows it.
    void UpdateBrowserCaption();

    // ---- The query that filled the set ----
    CkxQueryTemplet m_Templet;          // kind 18
    CkxQueryOperand m_Operand;          // kind 19 (its extra data names this document)
    std::vector<int> m_KeywordIDs;      // kind 20
    bool m_bAllKeywords = false;        // kind 20: files bound to all the ids (else to any)
    int m_nFamilyID = 0;                // kind 21
    int m_nFolderID = 0;                // kind 22
    int m_nProjectID = 0;               // kind 23
    std::string m_strFolderCaption;     // kind 1

    // ---- The file set ----
    // Adds a file (the document owns it); a file the set already holds is updated instead.
    void InsertFile(std::unique_ptr<CkxFile> file);
    // Adds the file of one entry of a server file list; false when the core cannot read it.
    bool InsertFileFromContainer(const CkxContainer& container);
    void RemoveFile(int fileId);
    void RemoveFiles(const std::vector<int>& fileIds);
    void RemoveAllFiles();
    // A fresh record of a held file; the content already fetched and its state stay.
    void UpdateFile(const CkxFileX& file);
    // The file the record names is marked checked out by the record's user; the file or null.
    CkxFile* SetFileCheckout(const CkxCheckout& checkout);
    // The file is checked in: its mark goes; when its content changed, the copy fetched before
    // (in memory and in the document's folder) goes with it and must be fetched again.
    CkxFile* ClearFileCheckout(int fileId, bool contentChanged);
    // The whole content arrived: the file is valid and off the pending list.
    void SetWholeStateValid(int fileId);
    void SetWholeStateInvalid(int fileId);
    void SetWholeStateRequest(int fileId);
    void SetWholeStateGetting(int fileId);
    // The first file of the set whose content is not fetched becomes requested.
    void RequestWholeFile();
    // The file's storage folder (batch annotation).
    void SetFileFolder(int fileId, int folderId);
    // Batch annotation writes into a held file under the set's lock, so the whole-file worker
    // never copies a record while it changes: base values (SetAttrValue), extended values one
    // by one (the file keeps those of other attributes), the family. False when the set holds
    // no such file.
    bool SetFileAttrValue(int fileId, const CkxAttrValueList& values);
    bool SetFileExAttrValue(int fileId, const CkxAttrValueList& values);
    bool SetFileFamily(int fileId, int familyId);
    // Shows the file again when it is the selected one.
    void RefreshSelectedFile(int fileId);
    CkxFile* FindFile(int fileId) const;
    int GetFileCount() const;
    std::vector<int> GetFileIds() const;
    // Walking the set in its order.
    POSITION GetFirstFilePosition() const;
    CkxFile* GetNextFile(POSITION& pos) const;
    CkxFile* GetFileAt(int index) const;
    CkxFile* GetLastFile() const;

    // ---- The pending list (the browser's whole-file worker reads it) ----
    // Files whose content has not arrived: all (state -1) or those in the whole state given.
    int GetPendingCount(int state = -1) const;
    // The first pending file in the state, or null.
    CkxFile* GetFirstPending(int state) const;

    // ---- For the browser's whole-file worker (any thread; no file is held between calls) ----
    std::optional<int> FirstPendingId(int state) const;
    // The first file in set order whose content is not fetched and that `accept` takes.
    std::optional<int> FirstInvalidId(const std::function<bool(int fileId)>& accept) const;
    // A copy of the file's record and its catalogue size; false when the set has no such file.
    bool CopyRecord(int fileId, CkxFile::_COM& record, int64_t& size) const;
    // The file's whole state, -1 when the set has no such file.
    int GetWholeState(int fileId) const;

    // ---- The browser ----
    void SetBrowser(CvDocBrowser* browser) { m_pBrowser = browser; }
    CvDocBrowser* GetBrowser() const { return m_pBrowser; }
    // The browser's worker runs: a waiting local load may start.
    void SetBrowserReady(bool ready);
    bool IsBrowserReady() const { return m_bBrowserReady.load(); }
    // Forwarded to the browser; 0, -1, -1 and nothing without one.
    int GetSelectedCount() const;
    int GetSelectedItem() const;
    int GetItemFileID(int item) const;
    void SelectAllItems();

    // ---- Local documents ----
    // Queues the paths behind any load still running (never waiting on the GUI thread); the
    // loader turns each into a file once the browser is ready.
    void RequestLocalLoad(const std::string& folderCaption, const std::vector<std::string>& paths);
    // A queued list waits for or is being worked by the loader.
    bool IsLoadRequested() const;
    static constexpr int kLoaderStopLimitMs = 5000;

    // ---- Views ----
    void AddView(QWidget* view);
    // Asks every view to close (queued: a view may be what is running now).
    void CloseAllViews();
    std::vector<QWidget*> GetViews() const;

private:
    // Adds the handle under the file-set lock (then the pending lock).
    void AddFile(CkxFileX* handle);
    void DeleteFileFromSet(int fileId);
    void RemovePending(int fileId);
    void ClearFiles();
    bool StartLoader();
    void StopLoader();
    void LoaderLoop();

    std::atomic<int> m_nDocID{-1};
    int m_nKind = KIND_NONE;
    int m_nQuickQuery = 0;
    std::string m_strTitle;
    std::string m_strCaption;

    CkxFileXList m_Files;
    mutable CKXAUTOLOCK m_fileLock;
    std::vector<CkxFileX*> m_Pending; // not owning: handles of m_Files
    mutable CKXAUTOLOCK m_pendingLock;

    // The loader's hand-over: the queue and flags under the mutex, woken by a request, the
    // browser becoming ready, or the stop.
    mutable std::mutex m_loadMutex;
    std::condition_variable m_loadWake;
    std::deque<std::string> m_LocalPaths;
    bool m_bLoadRequested = false;
    bool m_bStopLoader = false;
    bool m_bLoaderDone = false;
    std::atomic<bool> m_bBrowserReady{false};
    std::thread m_loader;
    CvDocBrowser* m_pBrowser = nullptr;

    std::vector<QPointer<QWidget>> m_views;
};
