// CvClientApp: the studio's open documents (at most five) and the queries that fill them, and
// the queue through which the session hands changes of files to those documents. The program
// makes one after the QApplication (the studio's application class derives from it); it lives
// on the GUI thread. A document is named by its id wherever it travels (a request's parameter,
// an operand's extra data): answers look it up here and are dropped when it has closed.
#pragma once

#include "app/CvNotification.h"
#include "doc/CvClientDoc.h"

#include "model/CkxQueryTemplet.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CPrinterState;
class CServerLink;

class CvClientApp : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxDocs = 5;
    static constexpr const char* kLimitText =
        "为了确保程序运行稳定，允许最多打开5个文档窗口！\r\n\r\n请关闭一些文档窗口，再打开新的文档窗口！";
    // A query the transport cannot carry whole (more than 255 operands or keywords).
    static constexpr const char* kTooLargeText = "查询条件太多，一次查询最多255个条件！";

    // Makes a document and its window. The window is the document's view: when it is
    // destroyed the document leaves the list.
    struct DocTemplate {
        std::function<std::unique_ptr<CvClientDoc>()> makeDoc;
        std::function<QWidget*(CvClientDoc&)> makeWindow;
    };

    explicit CvClientApp(QObject* parent = nullptr);
    ~CvClientApp() override;

    // The program's application object (null when none is made).
    static CvClientApp* Current();
    void SetDocTemplate(DocTemplate docTemplate) { m_template = std::move(docTemplate); }

    // ---- Open documents (head = most recently used) ----
    int GetDocCount() const { return static_cast<int>(m_docs.size()); }
    CvClientDoc* GetFirstDoc() const;
    int IsDocOpen(const CvClientDoc* doc) const { return IndexOfDoc(doc) >= 0 ? 1 : 0; }
    int IndexOfDoc(const CvClientDoc* doc) const;
    // The open document with that id, or null (it has closed).
    CvClientDoc* FindDoc(int docId) const;
    CvClientDoc* FindRecycleBinDoc() const;
    std::vector<CvClientDoc*> GetDocs() const;
    void MoveDocToHead(CvClientDoc* doc);
    // 1 when another document may open; else the limit message (exclamation) and 0.
    int CanOpenDoc();
    // A new document with its window, id and folder; null when five are open.
    CvClientDoc* OpenNewDoc();
    // The document leaves the list (its window went) and its folder is deleted.
    void RemoveDoc(CvClientDoc* doc);

    // ---- Documents filled from the server (null when no document may open) ----
    CvClientDoc* QueryByTemplet(CServerLink& link, const CkxQueryTemplet& templet);
    CvClientDoc* QueryByKeywordsAll(CServerLink& link, const std::vector<int>& keywordIds);
    CvClientDoc* QueryByKeywordsAny(CServerLink& link, const std::vector<int>& keywordIds);
    CvClientDoc* ShowFileById(CServerLink& link, int fileId);
    // The operand queries (kind 19); a quick-query code names the query in the caption.
    CvClientDoc* QueryByAuthTime(CServerLink& link, const COleDateTime& from, const COleDateTime& to, int quickCode = 0);
    CvClientDoc* QueryByWriteTime(CServerLink& link, const COleDateTime& from, const COleDateTime& to, int quickCode = 0);
    CvClientDoc* QueryByEditTime(CServerLink& link, const COleDateTime& from, const COleDateTime& to, int quickCode = 0);
    CvClientDoc* QueryByAuthor(CServerLink& link, int personId, int quickCode = 0);
    CvClientDoc* QueryByWriter(CServerLink& link, int userId, int quickCode = 0);
    CvClientDoc* QueryByEditor(CServerLink& link, int userId, int quickCode = 0);
    CvClientDoc* OpenFamilyDoc(CServerLink& link, int familyId);
    CvClientDoc* OpenFolderDoc(CServerLink& link, int folderId);
    CvClientDoc* OpenProjectDoc(CServerLink& link, int projectId);
    // The bin document (the open one, or a new one) asks for the bin; the request's result.
    int ShowRecycleBin(CServerLink& link);
    // Asks the document's own request again; 0 for a local or bin document (nothing sent).
    int RequeryDoc(CServerLink& link, CvClientDoc* doc);
    // The query head of a template's request: its fixed block with nothing after the title's
    // end and the last four bytes zero.
    static CkxQueryTemplet::_FIX BuildQueryHead(const CkxQueryTemplet& templet);

    // ---- Local documents ----
    void AppendLocalFiles(CvClientDoc* doc);
    void OpenLocalFiles(CvClientDoc* doc);
    // The document becomes a local one and loads the paths (after what it holds, or in place
    // of it); the folder of the first path is its caption.
    void LoadLocalPaths(CvClientDoc* doc, const std::vector<std::string>& paths, bool replace = false);

    // ---- The printer (one for the program, handed to the print job) ----
    CPrinterState& Printer() { return *m_printer; }
    int HasPrinter() const;
    void EnsurePrinter();
    // The 148 bytes of a stored "PrinterDevMode" put over the printer (made first when there is
    // none); 0 when they are not a record.
    int SetPrinterDevMode(const std::string& bytes);
    int GetPrintOrientation() const;
    void SetPrintOrientation(int orientation);
    void SetPrintPortrait();
    void SetPrintLandscape();
    bool IsPrintPortrait() const;
    bool IsPrintLandscape() const;
    // Stores the printer's record as "PrinterDevMode" when there is a printer object; 1 when
    // stored.
    int SavePrinterDevMode();

    // ---- The session's answers (GUI thread) ----
    // Appends the notification (any thread); the GUI thread applies it in turn.
    void PostNotification(std::unique_ptr<CvNotification> notification);
    // Files of a list answer for the document with that id (dropped when it has closed).
    void InsertFiles(int docId, const std::vector<CkxContainer>& files);
    // The recycle bin was emptied.
    void OnRecycleBinEmptied();
    // The whole content of a file arrived for the document with that id.
    void OnWholeFile(int docId, int fileId, const CkxFile& record, const std::string& bytes);
    // Notifications waiting (tests).
    size_t PendingNotifications() const;

protected:
    // Where SavePrinterDevMode keeps the record (the program's settings); nothing here.
    virtual int StorePrinterDevMode(const std::string& bytes) { return 0; }

private:
    // Runs every notification queued so far, in order (GUI thread).
    void ConsumeNotifications();
    void Apply(const CvNotification& n);
    // A new server document of the kind, or null (limit message shown).
    CvClientDoc* NewServerDoc(int kind);
    CvClientDoc* OperandDoc(CServerLink& link, const CkxQueryOperand& operand, int quickCode);
    int SendDocRequest(CServerLink& link, CvClientDoc& doc);
    void LoadLocal(CvClientDoc* doc, bool replace);

    struct OpenDoc {
        std::unique_ptr<CvClientDoc> doc;
        QPointer<QWidget> window;
    };

    DocTemplate m_template;
    int m_nNextDocID = 0;
    std::vector<OpenDoc> m_docs;

    mutable std::mutex m_queueMutex;
    std::deque<std::unique_ptr<CvNotification>> m_queue;
    bool m_bConsumePosted = false;
    std::unique_ptr<CPrinterState> m_printer;
};
