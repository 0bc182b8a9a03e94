// The file browser's commands on the studio server's seeded files: refusals by rights,
// checkouts and content not yet here; the batch commands' warning lists and what reaches the
// server; delete and the recycle bin; downloads that stay inside their folder; the clipboard;
// uploads from a local document (a photo with an orientation tag stored as shown, a WebP and a
// PDF-like binary as plain files); bookmarks and shares; local delete; saving a copy again.
#include "studio/support/StudioTestKit.h"

#include "browser/BrowserFileCommands.h"
#include "browser/CBrowser.h"
#include "browser/CWholeFileWorker.h"
#include "dlg/CDlgFileInfo.h"
#include "doc/CLocalStorage.h"
#include "image/CkxImageTool.h"
#include "image/CxImage.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/FileBytes.h"
#include "support/ScopedEnv.h"
#include "support/gui/OrientedPhoto.h"
#include "support/gui/Screenshot.h"
#include "ui/CDlgOperatorSelect.h"
#include "ui/CDlgWarnOpeFile.h"
#include "ui/CkxwDlgBatchFileNote.h"
#include "ui/CkxwFileListView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

using namespace studiotest;
using namespace kx;
namespace fs = std::filesystem;

namespace {

// The file names a list of the warning dialog shows (its second column).
std::vector<std::string> Column0(QWidget* dlg, int id) {
    std::vector<std::string> out;
    auto* list = dlg->findChild<kx::ReportList*>(QString::number(id));
    if (!list) return out;
    for (int r = 0; r < list->GetItemCount(); ++r) out.push_back(list->GetItemText(r, 1).toStdString());
    return out;
}

class Commands : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        CFileSendQueue::SetGap(std::chrono::milliseconds(20));
        app->SetDocTemplate({[] { return std::make_unique<CvClientDoc>(); },
                             [this](CvClientDoc& doc) -> QWidget* {
                                 auto* view = new CBrowser(doc, link.get());
                                 view->setAttribute(Qt::WA_ShowWithoutActivating);
                                 return view;
                             }});
        su = server->LogOn("su", kSuPassword);
        ASSERT_NE(su, nullptr);
    }
    void TearDown() override {
        CFileSendQueue::SetGap(std::chrono::milliseconds(100));
        su.reset();
        LoggedOnTest::TearDown();
    }
    static CBrowser* BrowserOf(CvClientDoc* doc) {
        return doc && !doc->GetViews().empty() ? dynamic_cast<CBrowser*>(doc->GetViews().front()) : nullptr;
    }
    // Opens the folder's document; with `fetch`, waits until every file's content is here.
    CBrowser* OpenFolder(const char* folder, size_t files, bool fetch) {
        CvClientDoc* doc = app->OpenFolderDoc(*link, Id(folder));
        EXPECT_EQ(WaitForFiles(doc, files).size(), files);
        CBrowser* b = BrowserOf(doc);
        if (b && fetch) {
            b->OnActivate();
            EXPECT_TRUE(PumpUntil([&] { return doc->GetPendingCount() == 0; }));
        }
        return b;
    }
    // Selects exactly these files, in the list's order.
    void Select(CBrowser* b, std::initializer_list<const char*> keys) {
        CkxwFileListView* list = b->FileList();
        list->GetCurrentView()->selectionModel()->clearSelection();
        for (const char* k : keys) list->SelectItem(list->GetFileItem(Id(k)));
    }
    // The document's file takes these rights, as a push of the catalogue would bring them.
    void SetEveryone(CvClientDoc& doc, const char* key, uint32_t power) {
        CkxFileX fresh;
        fresh.CreateObj(*doc.FindFile(Id(key)));
        CkxPowerEx rights = fresh.GetObj()->GetPower();
        rights.m_nInherit = 0;
        rights.m_nEveryonePower = power;
        rights.m_LicenceList.DeleteAll();
        fresh.GetObj()->SetPower(rights);
        doc.UpdateFile(fresh);
    }
    void Retitle(CvClientDoc& doc, const char* key, const std::string& title) {
        CkxFileX fresh;
        fresh.CreateObj(*doc.FindFile(Id(key)));
        fresh.GetObj()->m_strTitle = title;
        doc.UpdateFile(fresh);
    }
    // The second workstation checks the file out; the studio hears of it.
    void CheckOutAsSu(const char* key) {
        CkxCheckout c;
        c.m_nFileID = Id(key);
        c.m_nStorageID = 0;
        c.m_strTitle = key;
        c.m_strExt = "png";
        ASSERT_TRUE(su->SendRecord(kMsgCheckOut, kSubNone, c.GetComData()));
        ASSERT_TRUE(su->Wait(kMsgCheckOut, -1).has_value()); // its own echo
        ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().coIsFileCheckoutedByOthers(Id(key)) != 0; }));
    }
    // The file ids of the messages of that type the second workstation hears (from the record,
    // or the message parameter), waiting for n and taking any more that follow at once.
    std::vector<int> Heard(int type, size_t n, bool byRecord) {
        std::vector<int> ids;
        auto take = [&](const srvtest::Answer& a) {
            CkxFile::_COM com{};
            if (!byRecord) ids.push_back(static_cast<int>(a.param));
            else if (a.As(com)) ids.push_back(com.nID);
        };
        while (ids.size() < n)
            if (auto a = su->Wait(type, -1, 5s)) take(*a);
            else break;
        while (auto a = su->Wait(type, -1, 300ms)) take(*a);
        return ids;
    }
    // Stored whole files under the server's storage roots whose bytes are exactly these (a
    // small picture's thumbnail can hold the same bytes, so only the whole files count).
    int StoredCopies(const std::string& bytes) const {
        int n = 0;
        for (const auto& e : fs::recursive_directory_iterator(server->Folder()))
            if (e.is_regular_file() && e.path().string().find("KX_Storage") != std::string::npos &&
                e.path().parent_path().filename() == "Whole" && FileBytes(e.path().string()) == bytes)
                ++n;
        return n;
    }
    std::unique_ptr<srvtest::TestClient> su;
};

TEST_F(Commands, RefusalsNameTheReasonAndSendNothing) {
    // The middle folder: file.a (su's, by its quick key), file.d and file.e (alice's); nothing
    // fetched yet, so no content is here.
    CBrowser* mid = OpenFolder("folder.mid", 3, false);
    ASSERT_NE(mid, nullptr);
    CvClientDoc& doc = mid->Document();
    PromptRecorder prompts;
    // The desktop's opener only writes down what it was given.
    TempDir bin;
    const std::string opened = bin.file("opened");
    const std::string opener = bin.file(CkxwFileSystem::kOpenProgram);
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" << opened << "'\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    ScopedEnv path("PATH", bin.str());
    struct Row {
        const char* name;
        const char* file;
        int command;
        std::string text;
    };
    const std::vector<Row> waiting = {
        {"open, not here", "file.d", ID_OPEN_DEF, "文件正在传输中,禁止打开"},
        {"copy, not here", "file.d", ID_COPY, "文件正在传输中,禁止复制"},
        {"download, not here", "file.d", ID_DOWNLOAD, "文件正在传输中,禁止打开"},
        {"print, not here", "file.d", ID_PRINT, "文件正在传输中,禁止打开"},
        {"save to server, not here", "file.d", ID_SAVE_TO_SERVER, "文件正在传输中,禁止复制"},
        {"open without the right", "file.a", ID_OPEN_WAY, "您无权打开文件"},
    };
    for (const Row& r : waiting) {
        SCOPED_TRACE(r.name);
        prompts.Clear();
        Select(mid, {r.file});
        mid->OnCommand(r.command);
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{r.text});
    }
    EXPECT_TRUE(su->Quiet(kMsgCheckOut, -1, 200ms));

    // Content here; rights and checkouts decide.
    mid->OnActivate();
    ASSERT_TRUE(PumpUntil([&] { return doc.GetPendingCount() == 0; }));
    CheckOutAsSu("file.e");
    SetEveryone(doc, "file.a", 0x4000); // read, not open
    const std::string nameA = doc.FindFile(Id("file.a"))->FormatName();
    const std::vector<Row> rows = {
        {"open, checked out by su", "file.e", ID_OPEN_DEF, "文件被他人签出，您无法打开"},
        {"rights, checked out by su", "file.e", ID_RIGHTS, "文件被他人签出，您无法设置权限"},
        {"quick keys, checked out by su", "file.e", ID_QUICKKEY, "文件被他人签出，您无法设置权限"},
        {"keywords, checked out by su", "file.e", ID_KEYWORDS, "文件被他人签出，您无法设置关键字"},
        {"copy without load", "file.a", ID_COPY, "您无权复制文件 " + nameA},
        {"download without load", "file.a", ID_DOWNLOAD, "您无权下载文件 " + nameA},
        {"print without load", "file.a", ID_PRINT, "您无权打印文件 " + nameA},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        prompts.Clear();
        Select(mid, {r.file});
        mid->OnCommand(r.command);
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{r.text});
        for (const PromptRequest& q : prompts.Requests()) EXPECT_EQ(q.icon, PromptWarning);
    }
    PumpFor(200ms);
    for (int type : {kMsgFileModify, kMsgKeywordLink, kMsgFileQuickKeys}) EXPECT_EQ(su->Count(type, -1), 0) << type;

    // A permitted open checks the file out on the server (the double click does the same);
    // opening it again opens the own copy and sends nothing more.
    prompts.Clear();
    Select(mid, {"file.d"});
    mid->FileList()->ItemDoubleClicked(mid->FileList()->GetFileItem(Id("file.d")));
    ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().coIsUserCheckoutFile(Id("file.d"), Id("user.alice")) != 0; }));
    const auto heard = su->Wait(kMsgCheckOut, -1);
    ASSERT_TRUE(heard.has_value());
    CkxCheckout::_COM co{};
    ASSERT_TRUE(heard->As(co));
    EXPECT_EQ(static_cast<int>(co.nFileID), Id("file.d"));
    EXPECT_EQ(prompts.Count(), 0u);
    // The check-out window (not in this fixture) writes the copy; opening again opens that.
    const std::string copy = TheLocalStorage().CheckoutPath(doc.FindFile(Id("file.d"))->GetIDName());
    std::ofstream(copy) << "copy";
    mid->OnCommand(ID_OPEN_DEF);
    EXPECT_TRUE(su->Quiet(kMsgCheckOut, -1, 300ms));
    ASSERT_TRUE(PumpUntil([&] { return FileBytes(opened) == copy + "\n"; })) << FileBytes(opened);
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(Commands, BatchCommandsListRefusedAndAllowedFilesAndChangeOnlyTheAccepted) {
    CBrowser* mid = OpenFolder("folder.mid", 3, true);
    ASSERT_NE(mid, nullptr);
    CvClientDoc& doc = mid->Document();
    CheckOutAsSu("file.e");
    const std::string nameA = doc.FindFile(Id("file.a"))->FormatName();
    const std::string nameE = doc.FindFile(Id("file.e"))->FormatName();
    const CkxFile before = *doc.FindFile(Id("file.d"));

    // Cancel in the warning dialog: nothing goes, the document stays.
    mid->FileList()->SelectAllItem();
    {
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([&](CDlgWarnOpeFile* dlg) {
            std::vector<std::string> refused = Column0(dlg, CDlgWarnOpeFile::IDC_LIST_DISABLE);
            std::sort(refused.begin(), refused.end());
            std::vector<std::string> expected{nameA, nameE};
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(refused, expected);
            EXPECT_EQ(Column0(dlg, CDlgWarnOpeFile::IDC_LIST_ENABLE),
                      std::vector<std::string>{doc.FindFile(Id("file.d"))->FormatName()});
            guitest::Screenshot(dlg, "studio_browser_warn_update");
            dlg->EndDialog(IDCANCEL);
        });
        mid->OnCommand(ID_ATTRS);
        EXPECT_TRUE(driver.Done());
    }
    // OK, then Cancel in the batch note dialog: still nothing.
    {
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([](CDlgWarnOpeFile* dlg) { ClickId(dlg, IDOK); });
        driver.Then<CkxwDlgBatchFileNote>([](CkxwDlgBatchFileNote* dlg) {
            EXPECT_EQ(dlg->windowTitle(), "批量修改文件属性");
            guitest::Screenshot(dlg, "studio_browser_batch_note");
            dlg->EndDialog(IDCANCEL);
        });
        mid->OnCommand(ID_ATTRS);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_TRUE(su->Quiet(kMsgFileModify, -1, 300ms));
    EXPECT_EQ(doc.FindFile(Id("file.d"))->m_nFamilyID, before.m_nFamilyID);

    // OK in both: exactly file.d goes, and the document's file follows the announcement.
    {
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([](CDlgWarnOpeFile* dlg) { ClickId(dlg, IDOK); });
        driver.Then<CkxwDlgBatchFileNote>([](CkxwDlgBatchFileNote* dlg) { dlg->EndDialog(IDOK); });
        mid->OnCommand(ID_ATTRS);
        EXPECT_TRUE(driver.Done());
    }
    ASSERT_TRUE(PumpUntil([&] { return !mid->FileCommands().SendQueue().IsBusy(); }));
    EXPECT_EQ(Heard(kMsgFileModify, 1, true), std::vector<int>{Id("file.d")});
    EXPECT_TRUE(PumpUntil([] { return QApplication::overrideCursor() == nullptr; }));

    // Rights, keywords and quick keys on the same selection: the accepted file only.
    struct Row {
        const char* name;
        int command;
        int heardType;
    };
    const Row rows[] = {
        {"rights", ID_RIGHTS, kMsgFileModify},
        {"keywords", ID_KEYWORDS, kMsgKeywordLink},
        {"quick keys", ID_QUICKKEY, kMsgFileQuickKeys},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([](CDlgWarnOpeFile* dlg) { ClickId(dlg, IDOK); });
        driver.Then<kx::Dialog>([](kx::Dialog* dlg) { dlg->EndDialog(IDOK); });
        mid->FileList()->SelectAllItem();
        mid->OnCommand(r.command);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(Heard(r.heardType, 1, r.heardType == kMsgFileModify), std::vector<int>{Id("file.d")});
    }
}

TEST_F(Commands, DeleteMovesToTheBinOrPurgesAndTheBinRestoresAndPurges) {
    CBrowser* mid = OpenFolder("folder.mid", 3, false);
    ASSERT_NE(mid, nullptr);
    CvClientDoc& doc = mid->Document();
    // file.d to the bin, file.e purged.
    for (const auto& [key, purge] : {std::pair{"file.d", false}, std::pair{"file.e", true}}) {
        SCOPED_TRACE(key);
        Select(mid, {key});
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([&, purge = purge](CDlgWarnOpeFile* dlg) {
            if (purge) {
                auto* box = dlg->findChild<QCheckBox*>(QString::number(CDlgWarnOpeFile::IDC_CHK_FORCE));
                ASSERT_NE(box, nullptr);
                box->setChecked(true);
                guitest::Screenshot(dlg, "studio_browser_warn_delete");
            }
            ClickId(dlg, IDOK);
        });
        mid->OnCommand(ID_DELETE);
        EXPECT_TRUE(driver.Done());
        const auto heard = su->Wait(kMsgFile, kSubDelete);
        ASSERT_TRUE(heard.has_value());
        CkxFile::_COM_DelFile rec{};
        ASSERT_TRUE(heard->As(rec));
        EXPECT_EQ(static_cast<int>(rec.nID), Id(key));
        EXPECT_EQ(rec.nPurge, purge ? 1 : 0);
        const int id = Id(key);
        EXPECT_TRUE(PumpUntil([&] { return doc.FindFile(id) == nullptr; }));
    }
    // Alice's bin holds file.d alone.
    ASSERT_EQ(app->ShowRecycleBin(*link), 1);
    CvClientDoc* binDoc = app->FindRecycleBinDoc();
    CBrowser* bin = BrowserOf(binDoc);
    ASSERT_NE(bin, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return binDoc->GetFileCount() == 1; }));
    PumpFor(200ms);
    EXPECT_EQ(binDoc->GetFileIds(), std::vector<int>{Id("file.d")});

    // Restore: the file leaves the bin and is back in the folder it came from (the server
    // answers the bin's owner alone).
    Select(bin, {"file.d"});
    bin->OnCommand(ID_RESTORE);
    EXPECT_TRUE(PumpUntil([&] { return binDoc->GetFileCount() == 0; }));
    doc.RemoveAllFiles();
    ASSERT_EQ(app->RequeryDoc(*link, &doc), 1);
    EXPECT_EQ(WaitForFiles(&doc, 2), Files({"file.a", "file.d"}));

    // Deleted again, then purged from the bin after the question; Cancel sends nothing.
    Select(mid, {"file.d"});
    {
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([](CDlgWarnOpeFile* dlg) { ClickId(dlg, IDOK); });
        mid->OnCommand(ID_DELETE);
        EXPECT_TRUE(driver.Done());
    }
    ASSERT_TRUE(PumpUntil([&] { return doc.GetFileCount() == 1; }));
    binDoc->RemoveAllFiles();
    ASSERT_EQ(app->ShowRecycleBin(*link), 1);
    ASSERT_TRUE(PumpUntil([&] { return binDoc->GetFileCount() == 1; }));
    PromptRecorder prompts(AnswerCancel);
    bin->FileList()->SelectAllItem();
    bin->OnCommand(ID_PURGE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除回收站文件"});
    PumpFor(300ms);
    EXPECT_EQ(binDoc->GetFileCount(), 1);
    prompts.SetDefault(AnswerOk);
    bin->OnCommand(ID_PURGE);
    EXPECT_TRUE(PumpUntil([&] { return binDoc->GetFileCount() == 0; }));
    // Gone for good: neither the bin nor the folder lists it.
    ASSERT_EQ(app->ShowRecycleBin(*link), 1);
    PumpFor(500ms);
    EXPECT_EQ(binDoc->GetFileCount(), 0);
    doc.RemoveAllFiles();
    ASSERT_EQ(app->RequeryDoc(*link, &doc), 1);
    EXPECT_EQ(WaitForFiles(&doc, 1), Files({"file.a"}));
}

TEST_F(Commands, RestoreAllEmptiesTheBin) {
    CBrowser* mid = OpenFolder("folder.mid", 3, false);
    ASSERT_NE(mid, nullptr);
    for (const char* key : {"file.d", "file.e"}) {
        CkxFile::_COM_DelFile d{};
        d.nID = static_cast<uint32_t>(Id(key));
        d.nDirID = -1;
        ASSERT_EQ(link->SendFileDeleteRequest({d}), 1);
    }
    ASSERT_TRUE(PumpUntil([&] { return mid->Document().GetFileCount() == 1; }));
    ASSERT_EQ(app->ShowRecycleBin(*link), 1);
    CvClientDoc* binDoc = app->FindRecycleBinDoc();
    ASSERT_TRUE(PumpUntil([&] { return binDoc->GetFileCount() == 2; }));
    BrowserOf(binDoc)->OnCommand(ID_RESTORE_ALL);
    EXPECT_TRUE(PumpUntil([&] { return binDoc->GetFileCount() == 0; }));
}

TEST_F(Commands, DownloadsKeepTheStoredBytesAndStayInsideTheFolder) {
    CBrowser* top = OpenFolder("folder.top", 3, true);
    ASSERT_NE(top, nullptr);
    CvClientDoc& doc = top->Document();
    auto stored = [&](const char* key) {
        CkxBuf bytes;
        EXPECT_TRUE(TheLocalStorage().LoadEncryptedCopy(doc.GetDocID(), doc.FindFile(Id(key))->GetIDName(), bytes));
        return std::string(bytes.View());
    };
    TempDir out;
    // One file: the save dialog offers the file's name; the path gets exactly the stored bytes.
    Select(top, {"file.a"});
    {
        ModalDriver driver;
        driver.Then<QFileDialog>([&](QFileDialog* dlg) {
            dlg->setDirectory(QString::fromStdString(out.str()));
            static_cast<QDialog*>(dlg)->accept();
        });
        top->OnCommand(ID_DOWNLOAD);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(FileBytes(out.file(doc.FindFile(Id("file.a"))->GetFileName())), stored("file.a"));

    // Several: two of one title keep both, unsafe titles land inside, a file checked out by
    // another is refused and the others are saved.
    TempDir dir;
    Retitle(doc, "file.b", doc.FindFile(Id("file.a"))->m_strTitle);
    Retitle(doc, "file.c", "../../evil");
    top->FileList()->SelectAllItem();
    auto runAll = [&](const std::function<void(CDlgWarnOpeFile*)>& check) {
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([&](CDlgWarnOpeFile* dlg) {
            check(dlg);
            ClickId(dlg, IDOK);
        });
        driver.Then<QFileDialog>([&](QFileDialog* dlg) {
            dlg->setDirectory(QString::fromStdString(dir.str()));
            static_cast<QDialog*>(dlg)->accept();
        });
        top->OnCommand(ID_DOWNLOAD);
        EXPECT_TRUE(driver.Done());
    };
    runAll([](CDlgWarnOpeFile* dlg) { EXPECT_EQ(Column0(dlg, CDlgWarnOpeFile::IDC_LIST_DISABLE).size(), 0u); });
    const std::string titleA = doc.FindFile(Id("file.a"))->m_strTitle;
    EXPECT_EQ(FileBytes(dir.file(titleA + ".png")), stored("file.a"));
    EXPECT_EQ(FileBytes(dir.file(titleA + " (2).png")), stored("file.b"));
    EXPECT_EQ(FileBytes(dir.file("evil.png")), stored("file.c"));
    size_t inside = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) inside += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(inside, 3u);
    EXPECT_FALSE(fs::exists(dir.path().parent_path().parent_path() / "evil.png"));

    TempDir dir2;
    Retitle(doc, "file.c", "a/b");
    CheckOutAsSu("file.b");
    top->FileList()->SelectAllItem();
    {
        ModalDriver driver;
        driver.Then<CDlgWarnOpeFile>([&](CDlgWarnOpeFile* dlg) {
            EXPECT_EQ(Column0(dlg, CDlgWarnOpeFile::IDC_LIST_DISABLE),
                      std::vector<std::string>{doc.FindFile(Id("file.b"))->FormatName()});
            guitest::Screenshot(dlg, "studio_browser_warn_download");
            ClickId(dlg, IDOK);
        });
        driver.Then<QFileDialog>([&](QFileDialog* dlg) {
            dlg->setDirectory(QString::fromStdString(dir2.str()));
            static_cast<QDialog*>(dlg)->accept();
        });
        top->OnCommand(ID_DOWNLOAD);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(FileBytes(dir2.file(titleA + ".png")), stored("file.a"));
    EXPECT_EQ(FileBytes(dir2.file("ab.png")), stored("file.c"));
    inside = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir2.path())) inside += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(inside, 2u);
}

TEST_F(Commands, TheClipboardHoldsTheDecodedImage) {
    CBrowser* top = OpenFolder("folder.top", 3, true);
    ASSERT_NE(top, nullptr);
    CvClientDoc& doc = top->Document();
    CkxBuf bytes;
    ASSERT_TRUE(TheLocalStorage().LoadEncryptedCopy(doc.GetDocID(), doc.FindFile(Id("file.b"))->GetIDName(), bytes));
    const QImage expected =
        QImage::fromData(reinterpret_cast<const uchar*>(bytes.GetBuf()), static_cast<int>(bytes.GetLen()));
    Select(top, {"file.b"});
    QApplication::clipboard()->clear();
    top->OnCommand(ID_COPY);
    EXPECT_EQ(QApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              expected.convertToFormat(QImage::Format_RGB32));

    TempDir dir;
    const std::string path = dir.file("l.png");
    std::ofstream(path, std::ios::binary) << PngBytes(40, 30);
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = app->OpenNewDoc();
    ASSERT_NE(local, nullptr);
    local->RequestLocalLoad(dir.str(), {path});
    CBrowser* b = BrowserOf(local);
    ASSERT_TRUE(PumpUntil([&] { return b->FileList()->GetItemCount() == 1; }));
    b->FileList()->SelectItem(0);
    QApplication::clipboard()->clear();
    b->OnCommand(ID_COPY);
    EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(40, 30));
}

TEST_F(Commands, UploadsStoreEachReadableFileAndNameTheOthers) {
    TempDir dir;
    std::vector<std::string> paths, contents;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir.file("u" + std::to_string(i) + ".png"));
        contents.push_back(PngBytes(30 + 10 * i, 20 + i));
        std::ofstream(paths.back(), std::ios::binary) << contents.back();
    }
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = app->OpenNewDoc();
    ASSERT_NE(local, nullptr);
    local->RequestLocalLoad(dir.str(), paths);
    CBrowser* b = BrowserOf(local);
    ASSERT_TRUE(PumpUntil([&] { return b->FileList()->GetItemCount() == 3; }));
    // Uploads go to the top folder, where everyone may create files.
    for (int id : local->GetFileIds()) {
        CkxFileX fresh;
        fresh.CreateObj(*local->FindFile(id));
        fresh.GetObj()->m_nLocDirID = Id("folder.top");
        local->UpdateFile(fresh);
    }

    // From the menu: the third source vanishes before OK; it is named and not stored.
    b->FileList()->SelectAllItem();
    PromptRecorder prompts;
    {
        ModalDriver driver;
        driver.Then<CkxwDlgBatchFileNote>([&](CkxwDlgBatchFileNote* dlg) {
            EXPECT_EQ(dlg->windowTitle(), "批量上载到服务器");
            fs::remove(paths[2]);
            dlg->EndDialog(IDOK);
        });
        b->OnCommand(ID_UPLOAD);
        EXPECT_TRUE(driver.Done());
    }
    ASSERT_TRUE(PumpUntil([&] { return !b->FileCommands().SendQueue().IsBusy() && prompts.Count() == 1; }));
    EXPECT_NE(prompts.LastText().find("u2.png"), std::string::npos);
    ASSERT_TRUE(PumpUntil([&] { return StoredCopies(contents[0]) == 1 && StoredCopies(contents[1]) == 1; }));
    EXPECT_EQ(b->FileCommands().SendQueue().SentNames(), (std::vector<std::string>{"u0.png", "u1.png"}));

    // Button 14: asks first; Cancel sends nothing, OK sends the selection.
    prompts.Clear();
    prompts.Answer(AnswerCancel);
    b->FileList()->GetCurrentView()->selectionModel()->clearSelection();
    b->FileList()->SelectItem(0);
    b->OnCommand(CxFileBrowser::BTN_UPLOAD);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定上载文件到服务器吗"});
    PumpFor(200ms);
    EXPECT_EQ(b->FileCommands().SendQueue().SentNames().size(), 2u);
    b->OnCommand(CxFileBrowser::BTN_UPLOAD);
    ASSERT_TRUE(PumpUntil([&] { return StoredCopies(contents[0]) == 2; }));
    // No selection: the button says so.
    prompts.Clear();
    b->FileList()->GetCurrentView()->selectionModel()->clearSelection();
    b->OnCommand(CxFileBrowser::BTN_UPLOAD);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"请选择要上载到服务器的文件"});
}

TEST_F(Commands, UploadsStorePicturesAsShownAndOtherFormatsAsPlainFiles) {
    // A 1 x 1 lossless WebP (RIFF, "WEBP", one VP8L chunk), as an encoder writes it.
    const std::string webp("RIFF\x1a\x00\x00\x00WEBPVP8L\x0d\x00\x00\x00\x2f\x00\x00\x00\x10\x07\x10\x11\x11\x88\x88\xfe\x07\x00",
                           34);
    // The server's stored file of that name in a folder of that name ("Whole" or "Micro").
    const auto storedBytes = [&](const std::string& folder, const std::string& name) {
        for (const auto& e : fs::recursive_directory_iterator(server->Folder()))
            if (e.is_regular_file() && e.path().parent_path().filename() == folder && e.path().filename() == name)
                return FileBytes(e.path().string());
        return std::string();
    };
    TempDir dir;
    // Stored 120 x 60, tagged "turn a quarter clockwise": a 60 x 120 picture as shown.
    const guitest::OrientedView& turned = guitest::OrientedViews()[5];
    ASSERT_EQ(turned.orientation, 6);
    const std::vector<uint8_t> photo = guitest::QuarterJpeg(120, 60, 6);
    const std::string pdf = std::string("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n") + std::string(64, '\0');
    const std::map<std::string, std::string> bytes = {
        {"IMG_0001.jpg", std::string(photo.begin(), photo.end())}, {"still.webp", webp}, {"notes.pdf", pdf}};
    std::vector<std::string> paths;
    for (const auto& [name, content] : bytes) {
        paths.push_back(dir.file(name));
        ASSERT_TRUE(guitest::WriteBytes(paths.back(), std::vector<uint8_t>(content.begin(), content.end())));
    }

    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = app->OpenNewDoc();
    ASSERT_NE(local, nullptr);
    local->RequestLocalLoad(dir.str(), paths);
    CBrowser* b = BrowserOf(local);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return b->FileList()->GetItemCount() == 3 && !local->IsLoadRequested(); }));

    // The open dialog's files: the photo as shown, the others plain files of their byte size.
    std::map<std::string, const CkxFile*> opened;
    for (int id : local->GetFileIds())
        if (const CkxFile* f = local->FindFile(id)) opened[f->GetFileName()] = f;
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened["IMG_0001.jpg"]->m_nFileType, KXFK_IMAGE);
    EXPECT_EQ(opened["IMG_0001.jpg"]->m_nWidth, 60);
    EXPECT_EQ(opened["IMG_0001.jpg"]->m_nHeight, 120);
    for (const char* plain : {"still.webp", "notes.pdf"}) {
        SCOPED_TRACE(plain);
        const CkxFile* f = opened[plain];
        EXPECT_EQ(f->m_nFileType, KXFK_FILE);
        EXPECT_EQ(f->m_nWidth, 0);
        EXPECT_FALSE(f->IsMemMicroValid());
        EXPECT_EQ(f->m_nSize, static_cast<int>(bytes.at(plain).size()));
        EXPECT_EQ(f->FormatEncFormat(), "");
    }
    b->resize(640, 360);
    b->FileList()->SetBrowseMode(CkxwFileListView::MODE_MICRO100);
    guitest::Screenshot(b, "studio_upload_oriented_filelist");

    // Uploads go to the top folder, where everyone may create files.
    for (int id : local->GetFileIds()) {
        CkxFileX fresh;
        fresh.CreateObj(*local->FindFile(id));
        fresh.GetObj()->m_nLocDirID = Id("folder.top");
        local->UpdateFile(fresh);
    }
    PromptRecorder prompts;
    b->FileList()->SelectAllItem();
    b->OnCommand(CxFileBrowser::BTN_UPLOAD);
    ASSERT_TRUE(PumpUntil([&] { return !b->FileCommands().SendQueue().IsBusy() &&
                                       b->FileCommands().SendQueue().SentNames().size() == 3; }, 20s));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定上载文件到服务器吗"});

    // The catalogue's rows, as a folder document lists them once the server holds them (the
    // three seeded files and the three new ones).
    ASSERT_TRUE(FolderHolds(*su, Id("folder.top"), 6));
    CvClientDoc* top = app->OpenFolderDoc(*link, Id("folder.top"));
    std::map<std::string, CkxFile> stored;
    ASSERT_TRUE(PumpUntil([&] {
        stored.clear();
        for (int id : top->GetFileIds())
            if (const CkxFile* f = top->FindFile(id); f && bytes.count(f->GetFileName())) stored.emplace(f->GetFileName(), *f);
        return stored.size() == 3;
    }, 20s));
    for (const auto& [name, content] : bytes) {
        SCOPED_TRACE(name);
        const CkxFile& f = stored.at(name);
        // Every file's bytes are stored exactly as they were read.
        EXPECT_EQ(storedBytes("Whole", f.GetIDName()), content);
        const std::string micro = storedBytes("Micro", f.GetMicroIDName());
        if (name != "IMG_0001.jpg") {
            EXPECT_EQ(f.m_nFileType, KXFK_FILE);
            EXPECT_EQ(f.m_nWidth, 0);
            EXPECT_EQ(f.m_nHeight, 0);
            EXPECT_EQ(micro, "");
            continue;
        }
        EXPECT_EQ(f.m_nFileType, KXFK_IMAGE);
        EXPECT_EQ(f.m_nWidth, 60);
        EXPECT_EQ(f.m_nHeight, 120);
        CxImage thumb;
        ASSERT_TRUE(thumb.Decode(reinterpret_cast<const uint8_t*>(micro.data()), micro.size())) << thumb.GetLastError();
        const unsigned S = CkxFileImage::MicroSide(60, 120);
        ASSERT_EQ(thumb.GetWidth(), S);
        const auto at = CkxImageTool::MicroGeometry(60, 120, S);
        const struct {
            int x, y;
            uint32_t want;
        } spots[] = {{at.x + at.w / 4, at.y + at.h / 4, turned.tl},
                     {at.x + 3 * at.w / 4, at.y + at.h / 4, turned.tr},
                     {at.x + at.w / 4, at.y + 3 * at.h / 4, turned.bl},
                     {at.x + 3 * at.w / 4, at.y + 3 * at.h / 4, turned.br}};
        for (const auto& s : spots) {
            const CxPixel p = thumb.GetPixelColor(s.x, static_cast<long>(S) - 1 - s.y);
            EXPECT_EQ(guitest::NearestQuarterColour(p.r, p.g, p.b), s.want) << s.x << ", " << s.y;
        }
    }
}

TEST_F(Commands, LocalDeleteRemovesTheFilesFromDiskListAndDocument) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir.file("d" + std::to_string(i) + ".png"));
        std::ofstream(paths.back(), std::ios::binary) << PngBytes(20, 20);
    }
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = app->OpenNewDoc();
    local->RequestLocalLoad(dir.str(), paths);
    CBrowser* b = BrowserOf(local);
    ASSERT_TRUE(PumpUntil([&] { return b->FileList()->GetItemCount() == 3; }));
    b->FileList()->SelectItem(0);
    b->FileList()->SelectItem(2);
    PromptRecorder prompts(AnswerCancel);
    b->OnCommand(ID_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除本地文件"});
    EXPECT_EQ(local->GetFileCount(), 3);
    prompts.SetDefault(AnswerOk);
    b->OnCommand(ID_DELETE);
    EXPECT_EQ(local->GetFileCount(), 1);
    EXPECT_EQ(b->FileList()->GetItemCount(), 1);
    int left = 0;
    for (const std::string& p : paths) left += fs::exists(p) ? 1 : 0;
    EXPECT_EQ(left, 1);
    EXPECT_EQ(local->GetFileAt(0)->GetSourcePath(), b->FileList()->GetItemLocalPath(0));
    EXPECT_TRUE(fs::exists(local->GetFileAt(0)->GetSourcePath()));
}

TEST_F(Commands, BookmarksShareAndSendTo) {
    CBrowser* top = OpenFolder("folder.top", 3, false);
    ASSERT_NE(top, nullptr);
    const int alice = Id("user.alice");
    // Alice has bookmarked file.a already: only file.b is added.
    const int before = KX_KXXXX().m_DataTagList.GetCount();
    Select(top, {"file.a", "file.b"});
    top->OnCommand(ID_BOOKMARK);
    ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().tagIsTagFile(alice, Id("file.b")) != 0; }));
    PumpFor(300ms);
    EXPECT_EQ(KX_KXXXX().m_DataTagList.GetCount(), before + 1);

    // Share under the dialog's name, as alice.
    Select(top, {"file.c"});
    {
        ModalDriver driver;
        driver.Then<kx::Dialog>([](kx::Dialog* dlg) {
            auto* name = dlg->findChild<QLineEdit*>(QString::number(IDC_EDT_NAME));
            ASSERT_NE(name, nullptr);
            name->setText(QStringLiteral("共享图"));
            ClickId(dlg, IDOK);
        });
        top->OnCommand(BrowserFileCommands::ID_SHARE);
        EXPECT_TRUE(driver.Done());
    }
    auto heard = su->Wait(kMsgShare, kSubAdd);
    ASSERT_TRUE(heard.has_value());
    CkxFileMark::_COM share{};
    ASSERT_TRUE(heard->As(share));
    CkxDataShare got(share);
    EXPECT_EQ(got.m_strName, "共享图");
    EXPECT_EQ(got.m_nUserID, alice);
    EXPECT_EQ(got.m_nFileID, Id("file.c"));
    EXPECT_EQ(got.m_nDataFormat, 3);

    // Send to the chosen operator.
    const int bob = Id("user.bob");
    {
        ModalDriver driver;
        driver.Then<CDlgOperatorSelect>([&](CDlgOperatorSelect* dlg) {
            auto* list = dlg->findChild<kx::ReportList*>(QString::number(CDlgOperatorSelect::IDC_LIST_OPERATOR));
            ASSERT_NE(list, nullptr);
            for (int r = 0; r < list->GetItemCount(); ++r)
                if (list->GetItemText(r, 0) == "bob") list->setCurrentItem(list->topLevelItem(r));
            ClickId(dlg, IDOK);
        });
        top->OnCommand(BrowserFileCommands::ID_SEND_TO);
        EXPECT_TRUE(driver.Done());
    }
    heard = su->Wait(kMsgShare, kSubAdd);
    ASSERT_TRUE(heard.has_value());
    ASSERT_TRUE(heard->As(share));
    got = CkxDataShare(share);
    EXPECT_EQ(got.m_nUserID, bob);
    EXPECT_EQ(got.m_nFileID, Id("file.c"));
}

TEST_F(Commands, SavingACopyToTheServerSendsTheCachedOrConvertedBytes) {
    CBrowser* top = OpenFolder("folder.top", 3, true);
    ASSERT_NE(top, nullptr);
    CvClientDoc& doc = top->Document();
    const CkxFile& a = *doc.FindFile(Id("file.a"));
    CkxBuf cached;
    ASSERT_TRUE(TheLocalStorage().LoadEncryptedCopy(doc.GetDocID(), a.GetIDName(), cached));
    const std::string bytes(cached.View());
    BrowserFileCommands& commands = top->FileCommands();
    PromptRecorder prompts;

    // Through the command: the file information dialog in its save mode; Cancel sends nothing,
    // OK sends the cached bytes under the edited name.
    Select(top, {"file.a"});
    const int stored = StoredCopies(bytes);
    for (int button : {IDCANCEL, IDOK}) {
        ModalDriver driver;
        driver.Then<CDlgFileInfo>([&](CDlgFileInfo* dlg) {
            EXPECT_EQ(dlg->GetMode(), CDlgFileInfo::MODE_SAVE_TO_SERVER);
            if (button == IDOK) guitest::Screenshot(dlg, "studio_browser_save_to_server");
            dlg->findChild<QLineEdit*>(QString::number(CDlgFileInfo::IDC_EDT_NAME))->setText("另存");
            ClickId(dlg, button);
        });
        top->OnCommand(ID_SAVE_TO_SERVER);
        EXPECT_TRUE(driver.Done());
        if (button == IDCANCEL) {
            PumpFor(300ms);
            EXPECT_EQ(StoredCopies(bytes), stored);
        }
    }
    EXPECT_TRUE(PumpUntil([&] { return StoredCopies(bytes) == stored + 1; }));
    // Another format: converted, stored under the new extension.
    std::unique_ptr<CkxFile> edited(a.Clone());
    edited->m_strExName = "jpg";
    edited->m_nEncFormat = KX_KXXXX().m_ImageTool.Get_kxID("jpg");
    EXPECT_TRUE(commands.SendSavedCopy(a, *edited));
    EXPECT_TRUE(PumpUntil([&] {
        for (const auto& e : fs::recursive_directory_iterator(server->Folder()))
            if (e.is_regular_file() && e.path().extension() == ".jpg") {
                const std::string s = FileBytes(e.path().string());
                if (s.size() > 3 && static_cast<unsigned char>(s[0]) == 0xFF && static_cast<unsigned char>(s[1]) == 0xD8)
                    return true;
            }
        return false;
    }));
    EXPECT_EQ(prompts.Count(), 0u);

    // The cached copy gone: the error, nothing sent.
    TheLocalStorage().DeleteDocFile(doc.GetDocID(), a.GetIDName());
    edited.reset(a.Clone());
    EXPECT_FALSE(commands.SendSavedCopy(a, *edited));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"读取缓存文件失败!"});
    EXPECT_EQ(prompts.Requests().back().icon, PromptError);
}

} // namespace
