// The studio's file browser on documents of the studio server: the layout, the context menus by
// the files' rights, the thumbnail modes, the whole-file worker (the selection first, then set
// order, one background transfer, a file the server never answers for), previews, local
// documents, and closing the browser while a transfer runs.
#include "studio/support/StudioTestKit.h"

#include "browser/CBrowser.h"
#include "browser/CWholeFileWorker.h"
#include "doc/CLocalStorage.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"
#include "support/gui/Screenshot.h"
#include "ui/CkxwFileListView.h"

#include <QAbstractItemView>
#include <QBuffer>
#include <QItemSelectionModel>
#include <QImage>
#include <QMenu>
#include <QTest>

#include <filesystem>
#include <fstream>

using namespace studiotest;
using namespace kx;
namespace fs = std::filesystem;

namespace {

class Browser : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        CWholeFileWorker::SetAnswerLimit(std::chrono::seconds(30), std::chrono::seconds(1));
        app->SetDocTemplate({[] { return std::make_unique<CvClientDoc>(); },
                             [this](CvClientDoc& doc) -> QWidget* {
                                 // Shown without taking the focus: the tests activate it.
                                 auto* view = new CBrowser(doc, link.get());
                                 view->setAttribute(Qt::WA_ShowWithoutActivating);
                                 return view;
                             }});
    }
    void TearDown() override {
        CWholeFileWorker::SetAnswerLimit(std::chrono::seconds(30), std::chrono::seconds(1));
        LoggedOnTest::TearDown();
    }
    static CBrowser* BrowserOf(CvClientDoc* doc) {
        return doc ? dynamic_cast<CBrowser*>(doc->GetViews().empty() ? nullptr : doc->GetViews().front()) : nullptr;
    }
    // Selects the row of the file as a user does (the selection change follows).
    static void Select(CBrowser* b, int fileId) {
        CkxwFileListView* list = b->FileList();
        list->GetCurrentView()->selectionModel()->clearSelection();
        list->SelectItem(list->GetFileItem(fileId));
    }
    CBrowser* OpenFolder(const char* folder, size_t files) {
        CvClientDoc* doc = app->OpenFolderDoc(*link, Id(folder));
        EXPECT_EQ(WaitForFiles(doc, files).size(), files);
        return BrowserOf(doc);
    }
};

TEST_F(Browser, ButtonsAreLaidOutFromTheRightEdge) {
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* doc = app->OpenNewDoc();
    ASSERT_NE(doc, nullptr);
    struct Row {
        bool batch;
        std::vector<std::pair<int, int>> xs; // button, x
    };
    const Row rows[] = {
        {false, {{17, 570}, {16, 545}, {12, 495}, {11, 470}, {10, 445}, {9, 420}, {8, 395}, {7, 370}}},
        {true,
         {{17, 570}, {16, 545}, {15, 520}, {14, 495}, {13, 470}, {12, 420}, {11, 395}, {10, 370}, {9, 345}, {8, 320}, {7, 295}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.batch ? "batch mode" : "plain");
        CxFileBrowser view(*doc, link.get());
        view.SetCompanionView(r.batch);
        view.resize(600, 400);
        view.show();
        for (const auto& [id, x] : r.xs) {
            SCOPED_TRACE(id);
            EXPECT_EQ(view.ToolButton(id)->geometry(), QRect(x, 3, 25, 18));
        }
        EXPECT_EQ(view.CaptionBar()->geometry(), QRect(0, 0, 600, 25));
        EXPECT_EQ(view.FileList()->geometry(), QRect(0, 25, 600, 374));
        EXPECT_EQ(view.FileList()->objectName(), "11024");
        EXPECT_EQ(view.BatchView()->objectName(), "11025");
        for (int id : {27, 28, 29, 30}) EXPECT_FALSE(view.ToolButton(id)->isVisible());
        for (int id : {13, 14, 15}) EXPECT_EQ(view.ToolButton(id)->isVisible(), r.batch);
        EXPECT_FALSE(view.ToolButton(16)->isVisible()); // a local document is not requeried
        EXPECT_EQ(view.ToolButton(7)->toolTip(), "大图标");
    }
}

TEST_F(Browser, ContextMenusFollowTheKindTheSelectionAndTheRights) {
    // Plain data first: the pop-up by kind and selection.
    const BrowserFileRights all, none{false, false, false, false};
    struct Row {
        const char* name;
        int kind;
        std::vector<BrowserFileRights> selected;
        bool batch;
        const char* popup;
        std::vector<int> ids;
    };
    const Row rows[] = {
        {"local, nothing", CvClientDoc::KIND_LOCAL, {}, false, "Local_SelNo", {33082, 89, 33126, -1, 33057}},
        {"local, nothing, batch", CvClientDoc::KIND_LOCAL, {}, true, "Local_SelNo", {33082, 89, 33126, -1, 33054, 33057}},
        {"local, two", CvClientDoc::KIND_LOCAL, {all, all}, false, "Local_SelMul",
         {33064, 33065, 33063, 33055, 33119, 33056, 33126, 33069, -1, 33057}},
        {"server, nothing", CvClientDoc::KIND_FOLDER, {}, false, "Server_SelNo", {-1, 33126, 33057}},
        {"server, one", CvClientDoc::KIND_PROJECT, {none}, false, "Server_SelOne",
         {33064, 33065, 33063, 33055, 33060, 33056, 33067, 33068, 33066, 33062, 33058, 33126, 33069, -1, 33057}},
        {"server, two", CvClientDoc::KIND_TEMPLET, {none, none}, false, "Server_SelMul",
         {33060, 33067, 33068, 33066, 33062, 33058, 33126, 33069, -1}},
        {"bin, nothing", CvClientDoc::KIND_RECYCLE, {}, false, "RecycleStg_No", {33097, 33126, -1}},
        {"bin, one", CvClientDoc::KIND_RECYCLE, {none}, false, "RecycleStg_One", {33095, 33126, 33094, -1}},
        {"no kind", CvClientDoc::KIND_NONE, {all}, false, "", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const BrowserMenu m = BuildBrowserMenu(r.kind, r.selected, r.batch);
        EXPECT_EQ(m.name, r.popup);
        EXPECT_EQ(m.Ids(), r.ids);
    }
    // In batch mode a local menu's batch item is there but grayed.
    EXPECT_FALSE(BuildBrowserMenu(CvClientDoc::KIND_LOCAL, {all}, true).Find(33054)->enabled);
    // The last selected file decides the one-file pop-up; any passing file enables the other.
    const BrowserMenu one = BuildBrowserMenu(CvClientDoc::KIND_FOLDER, {{true, false, true, false}}, false);
    for (int id : {33067, 33068, 33066, 33062, 33064}) EXPECT_TRUE(one.Find(id)->enabled) << id;
    for (int id : {33055, 33060, 33056, 33069}) EXPECT_FALSE(one.Find(id)->enabled) << id;
    const BrowserMenu many = BuildBrowserMenu(CvClientDoc::KIND_FOLDER, {none, {false, true, false, false}}, false);
    for (int id : {33060, 33068, 33069}) EXPECT_TRUE(many.Find(id)->enabled) << id;

    // Through a real browser on seeded files: alice may not delete su's file.a.
    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    Select(b, Id("file.a"));
    BrowserMenu menu = b->BuildContextMenu();
    EXPECT_EQ(menu.name, "Server_SelOne");
    EXPECT_FALSE(menu.Find(33069)->enabled);
    EXPECT_EQ(menu.Find(33054), nullptr); // no batch mode in the studio's browser
    b->FileList()->SelectAllItem();
    menu = b->BuildContextMenu();
    EXPECT_EQ(menu.name, "Server_SelMul");
    EXPECT_TRUE(menu.Find(33069)->enabled);
    // The right click offers what the rights allow: alice may not open su's file.a, but may
    // copy and print it.
    ModalDriver driver;
    bool checked = false;
    driver.Then<QMenu>([&](QMenu* m) {
        const auto* open = m->findChild<QAction*>("33064");
        const auto* all = m->findChild<QAction*>("33126");
        const auto* copy = m->findChild<QAction*>("33055");
        const auto* print = m->findChild<QAction*>("33056");
        ASSERT_TRUE(open && all && copy && print);
        EXPECT_FALSE(open->isEnabled());
        EXPECT_TRUE(all->isEnabled());
        EXPECT_TRUE(copy->isEnabled());
        EXPECT_TRUE(print->isEnabled());
        checked = true;
        m->close();
    });
    Select(b, Id("file.a"));
    b->FileList()->ItemRightClicked(0, b->mapToGlobal(QPoint(40, 60)));
    EXPECT_TRUE(checked);
    b->FileList()->SelectAllItem();
    QMenu* popup = MakePopupMenu(menu, b);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "Server_SelMul");
    delete popup;
}

TEST_F(Browser, ThumbnailModesAndTheLastChosenOne) {
    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->FileList()->GetShowMode(), CkxwFileListView::MODE_MICRO50);
    b->OnCommand(ID_MICRO90);
    EXPECT_EQ(b->FileList()->GetShowMode(), 256);
    guitest::Screenshot(b, "studio_browser_folder_90");
    QTest::mouseClick(b->ToolButton(CxFileBrowser::BTN_REPORT), Qt::LeftButton);
    EXPECT_EQ(b->FileList()->GetShowMode(), CkxwFileListView::MODE_REPORT);
    EXPECT_EQ(b->FileList()->GetItemText(0, 0).empty(), false);
    guitest::Screenshot(b, "studio_browser_folder_report");
    QTest::mouseClick(b->ToolButton(CxFileBrowser::BTN_MICRO), Qt::LeftButton);
    EXPECT_EQ(b->FileList()->GetShowMode(), 256);

    // Button 12's menu, and the context menu's sizes.
    ModalDriver driver;
    driver.Then<QMenu>([](QMenu* m) { EXPECT_TRUE(ClickMenuId(m, ID_MICRO130)); });
    QTest::mouseClick(b->ToolButton(CxFileBrowser::BTN_MICRO_MENU), Qt::LeftButton);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(b->FileList()->GetShowMode(), 4096);
    b->OnCommand(ID_CTX_MICRO70);
    b->OnCommand(ID_MODE_LIST);
    EXPECT_EQ(b->FileList()->GetShowMode(), CkxwFileListView::MODE_LIST);
    b->OnCommand(CxFileBrowser::BTN_MICRO);
    EXPECT_EQ(b->FileList()->GetShowMode(), 64);
}

TEST_F(Browser, TheSelectedFileIsFetchedFirstThenTheRestInSetOrder) {
    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    CvClientDoc& doc = b->Document();
    const std::vector<int> order = doc.GetFileIds();
    PumpFor(300ms);
    EXPECT_TRUE(b->Worker()->SentIds().empty()); // not activated yet
    // The user picks the last file before anything was fetched.
    Select(b, order.back());
    b->OnActivate();
    int most = 0;
    ASSERT_TRUE(PumpUntil([&] {
        most = std::max(most, b->Worker()->BackgroundInFlight());
        return doc.GetPendingCount() == 0;
    }));
    EXPECT_LE(most, 1);
    EXPECT_EQ(b->Worker()->SentIds(), (std::vector<int>{order[2], order[0], order[1]}));
    for (int id : order) {
        SCOPED_TRACE(id);
        const CkxFile* f = doc.FindFile(id);
        ASSERT_TRUE(f->Is_WholeState_Valid());
        CkxBuf bytes;
        ASSERT_TRUE(TheLocalStorage().LoadEncryptedCopy(doc.GetDocID(), f->GetIDName(), bytes));
        EXPECT_EQ(static_cast<int64_t>(bytes.GetLen()), f->m_nSize);
        EXPECT_TRUE(QImage::fromData(reinterpret_cast<const uchar*>(bytes.GetBuf()), static_cast<int>(bytes.GetLen())).width() > 0);
    }
    // The selected file was shown when its content came; clicking it again shows it again.
    EXPECT_EQ(b->LastPreviewId(), order[2]);
    const int previews = b->PreviewCount();
    const int row = b->FileList()->GetFileItem(order[2]);
    b->FileList()->ItemClicked(row); // the first click notes the item
    b->FileList()->ItemClicked(row);
    EXPECT_EQ(b->PreviewCount(), previews + 1);
}

TEST_F(Browser, AFileIsShownWhenItsContentComesOnlyIfStillSelected) {
    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    CvClientDoc& doc = b->Document();
    const std::vector<int> order = doc.GetFileIds();
    // Both asked for without the GUI thread running in between: the answers come after the
    // user moved from the first to the second.
    Select(b, order[0]);
    Select(b, order[1]);
    b->OnActivate();
    ASSERT_TRUE(PumpUntil([&] { return doc.FindFile(order[0])->Is_WholeState_Valid() && doc.FindFile(order[1])->Is_WholeState_Valid(); }));
    PumpFor(100ms);
    EXPECT_EQ(b->PreviewCount(), 1);
    EXPECT_EQ(b->LastPreviewId(), order[1]);
}

TEST_F(Browser, AFileTheServerNeverAnswersForIsSkippedAndAskedOnceMoreWhenChosen) {
    // file.c's stored bytes are gone from the storage root: the server answers nothing.
    const std::string prefix = std::to_string(Id("file.c")) + ".";
    int removed = 0;
    for (const auto& e : fs::recursive_directory_iterator(server->Folder()))
        if (e.is_regular_file() && e.path().string().find("KX_Storage") != std::string::npos &&
            e.path().filename().string().rfind(prefix, 0) == 0)
            removed += fs::remove(e.path()) ? 1 : 0;
    ASSERT_EQ(removed, 1);
    CWholeFileWorker::SetAnswerLimit(600ms, 0ms);

    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    CvClientDoc& doc = b->Document();
    const int c = Id("file.c");
    b->OnActivate();
    // The others arrive; file.c goes back to "not fetched" and fetching does not stall on it.
    ASSERT_TRUE(PumpUntil([&] { return doc.GetPendingCount() == 1 && doc.FindFile(c)->Is_WholeState_Invalid(); }));
    const auto sentBefore = b->Worker()->SentIds();
    EXPECT_EQ(std::count(sentBefore.begin(), sentBefore.end(), c), 1);
    PumpFor(1000ms);
    EXPECT_EQ(b->Worker()->SentIds(), sentBefore); // the background skips it
    // Chosen by the user: asked for once more.
    Select(b, c);
    ASSERT_TRUE(PumpUntil([&] { return b->Worker()->SentIds().size() == sentBefore.size() + 1; }));
    EXPECT_EQ(b->Worker()->SentIds().back(), c);
    EXPECT_TRUE(PumpUntil([&] { return doc.FindFile(c)->Is_WholeState_Invalid(); }));
}

TEST_F(Browser, AFileTheUserMayReadButNotLoadIsNeverAskedFor) {
    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    CvClientDoc& doc = b->Document();
    const int fileB = Id("file.b");
    // The catalogue's record changes to "read, not open" for everyone, as a push would bring it.
    CkxFileX fresh;
    fresh.CreateObj(*doc.FindFile(fileB));
    CkxPowerEx readOnly = fresh.GetObj()->GetPower();
    readOnly.m_nInherit = 0;
    readOnly.m_nEveryonePower = KXP_FILE_READ;
    readOnly.m_LicenceList.DeleteAll();
    fresh.GetObj()->SetPower(readOnly);
    doc.UpdateFile(fresh);
    ASSERT_FALSE(KX_KXXXX().fsUserCan_File_Load(Id("user.alice"), doc.FindFile(fileB)->m_nWriterID,
                                                doc.FindFile(fileB)->GetPower()));
    b->OnActivate();
    ASSERT_TRUE(PumpUntil([&] { return doc.GetPendingCount() == 1; }));
    PumpFor(300ms);
    const auto sent = b->Worker()->SentIds();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), fileB), 0);
    // Chosen: handed to the main frame as it is, without a request.
    Select(b, fileB);
    EXPECT_EQ(b->LastPreviewId(), fileB);
    PumpFor(300ms);
    EXPECT_EQ(b->Worker()->SentIds(), sent);
    EXPECT_TRUE(doc.FindFile(fileB)->Is_WholeState_Invalid());
}

TEST_F(Browser, ALocalDocumentShowsItsFilesFromTheirPathsAndNeverAsksTheServer) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 2; ++i) {
        paths.push_back(dir.file("l" + std::to_string(i) + ".png"));
        std::ofstream(paths.back(), std::ios::binary) << PngBytes(120 + 40 * i, 90);
    }
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* doc = app->OpenNewDoc();
    ASSERT_NE(doc, nullptr);
    CBrowser* b = BrowserOf(doc);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->IsReady());
    doc->RequestLocalLoad(dir.str(), paths);
    ASSERT_TRUE(PumpUntil([&] { return b->FileList()->GetItemCount() == 2; }));
    b->OnActivate();
    Select(b, doc->GetFileIds().front());
    PumpFor(300ms);
    EXPECT_TRUE(b->Worker()->SentIds().empty());
    EXPECT_EQ(b->PreviewCount(), 1);
    EXPECT_FALSE(b->ToolButton(CxFileBrowser::BTN_REQUERY)->isVisible());
    EXPECT_EQ(b->BuildContextMenu().name, "Local_SelOne");
    guitest::Screenshot(b, "studio_browser_local");
}

TEST_F(Browser, RequeryFillsTheDocumentAgainAndTheBinIgnoresADoubleClick) {
    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->ToolButton(CxFileBrowser::BTN_REQUERY)->isEnabled());
    QTest::mouseClick(b->ToolButton(CxFileBrowser::BTN_REQUERY), Qt::LeftButton);
    EXPECT_EQ(b->FileList()->GetItemCount(), 0);
    ASSERT_TRUE(PumpUntil([&] { return b->FileList()->GetItemCount() == 3; }));
    PumpFor(200ms);
    EXPECT_EQ(b->Document().GetFileCount(), 3);

    CkxFile::_COM_DelFile d{};
    d.nID = static_cast<uint32_t>(Id("file.d"));
    d.nDirID = Id("folder.mid");
    ASSERT_EQ(link->SendFileDeleteRequest({d}), 1);
    PumpFor(300ms);
    ASSERT_EQ(app->ShowRecycleBin(*link), 1);
    CBrowser* bin = BrowserOf(app->FindRecycleBinDoc());
    ASSERT_NE(bin, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return bin->FileList()->GetItemCount() == 1; }));
    EXPECT_FALSE(bin->ToolButton(CxFileBrowser::BTN_SLIDE)->isEnabled());
    const int previews = bin->PreviewCount();
    bin->FileList()->ItemDoubleClicked(0);
    EXPECT_EQ(bin->PreviewCount(), previews);
    EXPECT_EQ(bin->BuildContextMenu().name, "RecycleStg_No");
}

TEST_F(Browser, ClosingTheBrowserDuringATransferJoinsTheWorkerFirst) {
    CBrowser* b = OpenFolder("folder.top", 3);
    ASSERT_NE(b, nullptr);
    const int docId = b->Document().GetDocID();
    const std::string folder = TheLocalStorage().DocDirOf(docId);
    ASSERT_TRUE(fs::is_directory(folder));
    b->OnActivate();
    ASSERT_TRUE(PumpUntil([&] { return !b->Worker()->SentIds().empty(); }));
    delete b; // answers may still be on their way
    EXPECT_EQ(app->FindDoc(docId), nullptr);
    EXPECT_FALSE(fs::exists(folder));
    PumpFor(500ms);
    EXPECT_FALSE(fs::exists(folder)); // a late answer makes no folder again
}

} // namespace
