// The file information bar on documents of the studio server: what it shows or clears by where
// the file comes from and the user's rights, the attribute rows, the lists following the
// server's changes, and the slide show on its GUI-thread timer.
#include "studio/support/StudioTestKit.h"

#include "dlg/CDlgKeywordBind.h"
#include "dlg/CKeywordPickPanel.h"
#include "infobar/CFileInfoBar.h"
#include "model/CkxCheckout.h"
#include "model/CkxXXX.h"
#include "ui/CkxPlaySpec.h"
#include "protocol/KxMessage.h"
#include "qt/KxReportList.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "ui/CDlgFileRefProjectAdmin.h"
#include "viewer/CxImageViewer.h"

#include <QTest>

#include <fstream>

using namespace studiotest;
using namespace kx;

namespace {

class InfoBar : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        bar = std::make_unique<CFileInfoBar>(*link);
        bar->resize(300, 500);
        bar->show();
    }
    void TearDown() override {
        bar.reset();
        LoggedOnTest::TearDown();
    }
    std::vector<std::string> Column(int tab, int column = 0) const {
        std::vector<std::string> out;
        ReportList* list = bar->List(tab);
        for (int row = 0; row < list->GetItemCount(); ++row) out.push_back(list->GetItemText(row, column).toStdString());
        return out;
    }
    std::vector<bool> EditButtons() const {
        std::vector<bool> out;
        for (int id : {CFileInfoBar::ID_EDIT_ATTRS, CFileInfoBar::ID_EDIT_KEYWORDS, CFileInfoBar::ID_EDIT_QUICKKEYS,
                       CFileInfoBar::ID_EDIT_PROJECTS})
            out.push_back(bar->Button(id)->isEnabled());
        return out;
    }
    CvClientDoc* Folder(const char* key, size_t files) {
        CvClientDoc* doc = app->OpenFolderDoc(*link, Id(key));
        EXPECT_EQ(WaitForFiles(doc, files).size(), files);
        return doc;
    }
    std::unique_ptr<CFileInfoBar> bar;
};

TEST_F(InfoBar, DatesAndTheFifteenAttributeRows) {
    EXPECT_EQ(CFileInfoBar::DateText(COleDateTime(2020, 1, 10, 0, 0, 0)), "2020-1-10");
    EXPECT_EQ(CFileInfoBar::DateText(COleDateTime(2020, 1, 10, 9, 5, 3)), "2020-1-10 9:5:3");
    EXPECT_EQ(CFileInfoBar::DateText(COleDateTime(0.0)), "");

    CvClientDoc* top = Folder("folder.top", 3);
    bar->ShowFile(top->FindFile(Id("file.a")));
    EXPECT_EQ(bar->ShownFileId(), Id("file.a"));
    const std::vector<std::string> labels = Column(CFileInfoBar::TAB_ATTRS, 0);
    ASSERT_EQ(labels.size(), 15u);
    EXPECT_EQ(labels.front(), "文件名称");
    EXPECT_EQ(labels.back(), "备注");
    const std::vector<std::string> values = Column(CFileInfoBar::TAB_ATTRS, 1);
    EXPECT_EQ(values[0], "图a.png");
    EXPECT_EQ(values[6], "王");
    EXPECT_EQ(values[9], "2020-1-10");
    EXPECT_EQ(Column(CFileInfoBar::TAB_KEYWORDS), (std::vector<std::string>{"脸", "海滩"}));
    EXPECT_EQ(Column(CFileInfoBar::TAB_QUICKKEYS), std::vector<std::string>{KX_KXXXX().fsGetDirPath(Id("folder.mid"))});
    EXPECT_EQ(Column(CFileInfoBar::TAB_PROJECTS), std::vector<std::string>{"画册"});
    const char* names[5] = {"view", "attributes", "keywords", "quickkeys", "projects"};
    for (int tab = 0; tab < 5; ++tab) {
        bar->OnCommand(CFileInfoBar::ID_TAB_VIEW + tab);
        EXPECT_EQ(bar->Tabs()->GetCurtab(), tab);
        guitest::Screenshot(bar.get(), std::string("studio_infobar_") + names[tab]);
    }
    EXPECT_EQ(bar->windowTitle(), "引用项目");

    // Transitions by type; a type the player has not is refused.
    EXPECT_TRUE(bar->SetTransitionType(CkxPlaySpec::TYPE_SHUTTER));
    EXPECT_TRUE(bar->IsTransitionType(CkxPlaySpec::TYPE_SHUTTER));
    EXPECT_FALSE(bar->SetTransitionType(7));
    EXPECT_TRUE(bar->IsTransitionType(CkxPlaySpec::TYPE_SHUTTER));
}

TEST_F(InfoBar, ShownOrClearedByWhereTheFileComesFromAndTheRights) {
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    CvClientDoc* top = Folder("folder.top", 3);
    CvClientDoc* mid = Folder("folder.mid", 3);
    const std::vector<bool> none(4, false), all(4, true);

    // A direct selection: shown, never editable.
    bar->ShowFile(mid->FindFile(Id("file.d")));
    EXPECT_EQ(bar->ShownFileId(), Id("file.d"));
    EXPECT_EQ(EditButtons(), none);
    // From a server document: alice's own file is editable, su's file is not.
    bar->ShowDocumentFile(mid->GetDocID(), Id("file.d"));
    EXPECT_EQ(bar->ShownFileId(), Id("file.d"));
    EXPECT_EQ(EditButtons(), all);
    bar->ShowDocumentFile(top->GetDocID(), Id("file.a"));
    EXPECT_EQ(bar->ShownFileId(), Id("file.a"));
    EXPECT_EQ(EditButtons(), none);

    // Checked out by another user: shown, not editable.
    CkxCheckout out;
    out.m_nFileID = Id("file.d");
    out.m_nUserID = Id("user.su");
    ASSERT_TRUE(su->SendRecord(kMsgCheckOut, kSubNone, out.GetComData()));
    ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().coIsFileCheckouted(Id("file.d")) != 0; }));
    bar->ShowDocumentFile(mid->GetDocID(), Id("file.d"));
    EXPECT_EQ(bar->ShownFileId(), Id("file.d"));
    EXPECT_EQ(EditButtons(), none);

    // A file the user may read but not load, reached from a document: an empty bar.
    CkxFileX fresh;
    fresh.CreateObj(*top->FindFile(Id("file.b")));
    CkxPowerEx readOnly = fresh.GetObj()->GetPower();
    readOnly.m_nInherit = 0;
    readOnly.m_nEveryonePower = KXP_FILE_READ;
    readOnly.m_LicenceList.DeleteAll();
    fresh.GetObj()->SetPower(readOnly);
    top->UpdateFile(fresh);
    bar->ShowDocumentFile(top->GetDocID(), Id("file.b"));
    EXPECT_EQ(bar->ShownFileId(), -1);
    EXPECT_TRUE(Column(CFileInfoBar::TAB_KEYWORDS).empty());
    EXPECT_EQ(Column(CFileInfoBar::TAB_ATTRS, 1)[0], "");
    EXPECT_EQ(EditButtons(), none);

    // A local document's file is shown from its path, never editable.
    TempDir dir;
    const std::string path = dir.file("local.png");
    std::ofstream(path, std::ios::binary) << PngBytes(40, 30);
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* local = app->OpenNewDoc();
    ASSERT_NE(local, nullptr);
    local->SetBrowserReady(true);
    local->RequestLocalLoad(dir.str(), {path});
    ASSERT_TRUE(PumpUntil([&] { return local->GetFileCount() == 1; }));
    bar->ShowDocumentFile(local->GetDocID(), local->GetFileIds().front());
    EXPECT_EQ(bar->ShownFileId(), local->GetFileIds().front());
    EXPECT_EQ(EditButtons(), none);
    EXPECT_EQ(Column(CFileInfoBar::TAB_ATTRS, 1)[3], "40");
}

TEST_F(InfoBar, TheListsFollowTheServersChangesToTheShownFile) {
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    CvClientDoc* top = Folder("folder.top", 3);
    const int fileA = Id("file.a");
    bar->ShowDocumentFile(top->GetDocID(), fileA);
    ASSERT_EQ(Column(CFileInfoBar::TAB_KEYWORDS), (std::vector<std::string>{"脸", "海滩"}));
    // Another workstation leaves file.a one keyword, then none.
    ASSERT_TRUE(SendPieces(*su, kMsgKeywordLink, kSubModify, {Bytes(CkxKeywordLink(fileA, Id("keyword.smile")).GetComData())},
                           static_cast<uint32_t>(fileA)));
    ASSERT_TRUE(PumpUntil([&] { return Column(CFileInfoBar::TAB_KEYWORDS) == std::vector<std::string>{"笑"}; }));
    ASSERT_TRUE(SendPieces(*su, kMsgKeywordLink, kSubModify, {}, static_cast<uint32_t>(fileA)));
    ASSERT_TRUE(PumpUntil([&] { return Column(CFileInfoBar::TAB_KEYWORDS).empty(); }));
    // Quick keys in two folders.
    CkxFSQuickKey k1, k2;
    k1.m_nDirID = Id("folder.top");
    k1.m_nFileID = fileA;
    k2.m_nDirID = Id("folder.low");
    k2.m_nFileID = fileA;
    ASSERT_TRUE(SendPieces(*su, kMsgFileQuickKeys, kSubModify, {Bytes(k1.GetComData()), Bytes(k2.GetComData())},
                           static_cast<uint32_t>(fileA)));
    const CkxXXX& c = KX_KXXXX();
    ASSERT_TRUE(PumpUntil([&] {
        return Column(CFileInfoBar::TAB_QUICKKEYS) ==
               std::vector<std::string>{c.fsGetDirPath(Id("folder.top")), c.fsGetDirPath(Id("folder.low"))};
    }));
}

TEST_F(InfoBar, ProjectsSetWithTheEditButtonShowWhenTheServerAnswers) {
    CvClientDoc* mid = Folder("folder.mid", 3);
    const int fileD = Id("file.d");
    bar->ShowDocumentFile(mid->GetDocID(), fileD);
    ASSERT_TRUE(bar->Button(CFileInfoBar::ID_EDIT_PROJECTS)->isEnabled());
    EXPECT_TRUE(Column(CFileInfoBar::TAB_PROJECTS).empty());
    ASSERT_EQ(guitest::DriveDialog([&] { bar->OnCommand(CFileInfoBar::ID_EDIT_PROJECTS); return 1; },
                                   [&](Dialog* dlg) {
                                       auto* list = dlg->findChild<ReportList*>(
                                           QString::number(CDlgFileRefProjectAdmin::IDC_LIST_PROJECT));
                                       ASSERT_NE(list, nullptr);
                                       list->SetCheck(list->FindItemData(Id("project.proj")), true);
                                       guitest::Screenshot(dlg, "studio_infobar_projects_dialog");
                                   }),
              1);
    EXPECT_TRUE(Column(CFileInfoBar::TAB_PROJECTS).empty()); // until the server answers
    ASSERT_TRUE(PumpUntil([&] { return Column(CFileInfoBar::TAB_PROJECTS) == std::vector<std::string>{"画册"}; }));
}

TEST_F(InfoBar, KeywordsBoundWithTheEditButtonShowWhenTheServerAnswers) {
    CvClientDoc* mid = Folder("folder.mid", 3);
    const int fileD = Id("file.d");
    bar->ShowDocumentFile(mid->GetDocID(), fileD);
    ASSERT_TRUE(bar->Button(CFileInfoBar::ID_EDIT_KEYWORDS)->isEnabled());
    EXPECT_TRUE(Column(CFileInfoBar::TAB_KEYWORDS).empty());
    // Cancel sends nothing.
    ASSERT_EQ(guitest::DriveDialog([&] { bar->OnCommand(CFileInfoBar::ID_EDIT_KEYWORDS); return 1; },
                                   [&](Dialog* dlg) { qobject_cast<CDlgKeywordBind*>(dlg)->Panel()->Bind(Id("keyword.smile")); },
                                   IDCANCEL),
              1);
    PumpFor(300ms);
    EXPECT_TRUE(Column(CFileInfoBar::TAB_KEYWORDS).empty());
    ASSERT_EQ(guitest::DriveDialog([&] { bar->OnCommand(CFileInfoBar::ID_EDIT_KEYWORDS); return 1; },
                                   [&](Dialog* dlg) {
                                       auto* bind = qobject_cast<CDlgKeywordBind*>(dlg);
                                       ASSERT_NE(bind, nullptr);
                                       bind->Panel()->Bind(Id("keyword.beach"));
                                       bind->Panel()->Bind(Id("keyword.smile"));
                                   }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return Column(CFileInfoBar::TAB_KEYWORDS) == std::vector<std::string>{"海滩", "笑"}; }));
}

TEST_F(InfoBar, TheSlideShowAdvancesOnTheGuiThreadAndStopsWhereItIs) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir.file("s" + std::to_string(i) + ".png"));
        std::ofstream(paths.back(), std::ios::binary) << PngBytes(20 + i, 20);
    }
    CvClientDoc::SetNextDocKind(CvClientDoc::KIND_LOCAL);
    CvClientDoc* doc = app->OpenNewDoc();
    ASSERT_NE(doc, nullptr);
    doc->SetBrowserReady(true);
    doc->RequestLocalLoad(dir.str(), paths);
    ASSERT_TRUE(PumpUntil([&] { return doc->GetFileCount() == 3; }));
    const std::vector<int> ids = doc->GetFileIds();

    CkxPlayParam fast;
    fast.m_nInterTime = 0; // no interval at all: the floor applies, nothing spins
    fast.m_nTimeUnit = 0;
    bar->PlayCtrl().SetPlayParam(fast);
    bar->StartSlideShow(1);
    EXPECT_EQ(bar->ShownFileId(), ids[0]);
    std::vector<int> seen{ids[0]};
    ASSERT_TRUE(PumpUntil([&] {
        if (bar->ShownFileId() != seen.back()) seen.push_back(bar->ShownFileId());
        return seen.size() >= 5;
    }));
    EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 5), (std::vector<int>{ids[0], ids[1], ids[2], ids[0], ids[1]}));

    // Stop keeps the position; 'n' moves on one.
    bar->OnCommand(CFileInfoBar::ID_STOP);
    const int stoppedAt = bar->ShownFileId();
    PumpFor(100ms);
    EXPECT_EQ(bar->ShownFileId(), stoppedAt);
    EXPECT_FALSE(bar->IsPlaying());
    const size_t at = static_cast<size_t>(std::find(ids.begin(), ids.end(), stoppedAt) - ids.begin());
    QTest::keyClick(bar.get(), Qt::Key_N);
    EXPECT_EQ(bar->ShownFileId(), ids[(at + 1) % 3]);

    // Hiding the bar while playing stops at once.
    bar->StartSlideShow(1);
    ASSERT_TRUE(bar->IsPlaying());
    bar->hide();
    EXPECT_FALSE(bar->IsPlaying());
    const int hiddenAt = bar->ShownFileId();
    PumpFor(100ms);
    EXPECT_EQ(bar->ShownFileId(), hiddenAt);
}

} // namespace
