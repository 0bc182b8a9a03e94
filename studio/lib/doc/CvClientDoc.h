// CvClientDoc: one open file set of the studio: local files, the user's recycle bin, or the
// answer of a server query (by template, by one operand, by keywords, of a family, a folder or
// a project). It keeps the query that filled it (so it can be asked again), owns the files of
// its set, and lists the files whose whole content has not arrived yet. The application keeps
// the open documents and routes the server's answers here by document id; documents live on the
// GUI thread, the locks guard the set against the browser's whole-file worker.
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

#include <memory>
#include <string>
#include <vector>

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

    // Takes the next-document kind and the title ("本地%d", "查询%d", "回收站", else "NULL").
    bool OnNewDocument();

    int GetDocID() const { return m_nDocID; }
    void SetDocID(int id) { m_nDocID = id; }
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
    // Shows the file again when it is the selected one (there is no browser yet).
    void RefreshSelectedFile(int fileId) {}
    CkxFile* FindFile(int fileId) const;
    int GetFileCount() const;
    std::vector<int> GetFileIds() const;
    int GetPendingCount() const;

    // Local documents: queues the paths for loading.
    void RequestLocalLoad(const std::string& folderCaption, const std::vector<std::string>& paths);
    const std::vector<std::string>& GetLocalPathQueue() const { return m_LocalPaths; }

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

    int m_nDocID = -1;
    int m_nKind = KIND_NONE;
    int m_nQuickQuery = 0;
    std::string m_strTitle;
    std::string m_strCaption;

    CkxFileXList m_Files;
    mutable CKXAUTOLOCK m_fileLock;
    std::vector<CkxFileX*> m_Pending; // not owning: handles of m_Files
    mutable CKXAUTOLOCK m_pendingLock;

    std::vector<std::string> m_LocalPaths;
    bool m_bLoadRequested = false;

    std::vector<QPointer<QWidget>> m_views;
};
