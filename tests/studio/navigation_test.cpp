// The studio's navigation bar against the studio server: the folder page following read rights
// and another workstation's changes, the panes' menus by the user's rights, the commands that
// ask before they send, templates and bookmarks, families and projects, and the bar's pages.
#include "studio/support/StudioTestKit.h"

#include "frame/StudioBars.h"
#include "dlg/CDlgQueryFile.h"
#include "nav/CWndFamilyTree.h"
#include "nav/CWndFolderTree.h"
#include "nav/CWndProjectTree.h"
#include "nav/CWndTempletTree.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxDialog.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "ui/CDlgProjectUser.h"

#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

using namespace studiotest;
using namespace kx;
using guitest::DriveDialog;

namespace {

// "name(child,child(grandchild))" for an item and what is under it.
std::string Shape(const TreeCtrl& tree, HTREEITEM item) {
    std::string out = tree.GetItemText(item).toStdString();
    std::string children;
    for (HTREEITEM c = tree.GetChildItem(item); c; c = tree.GetNextSiblingItem(c))
        children += (children.empty() ? "" : ",") + Shape(tree, c);
    return children.empty() ? out : out + "(" + children + ")";
}

std::vector<std::string> TopLevel(const TreeCtrl& tree) {
    std::vector<std::string> out;
    for (HTREEITEM c = tree.GetChildItem(TVI_ROOT); c; c = tree.GetNextSiblingItem(c))
        out.push_back(tree.GetItemText(c).toStdString());
    return out;
}

// The items anywhere in the tree whose data is the id.
std::vector<HTREEITEM> ItemsOf(const TreeCtrl& tree, int id, HTREEITEM under = TVI_ROOT) {
    std::vector<HTREEITEM> out;
    for (HTREEITEM c = tree.GetChildItem(under); c; c = tree.GetNextSiblingItem(c)) {
        if (tree.GetItemData(c) == id) out.push_back(c);
        for (HTREEITEM deeper : ItemsOf(tree, id, c)) out.push_back(deeper);
    }
    return out;
}

HTREEITEM ItemOf(const TreeCtrl& tree, int id) {
    const auto items = ItemsOf(tree, id);
    return items.size() == 1 ? items[0] : nullptr;
}

// The texts of a menu's entries, and of those enabled.
std::vector<std::string> Entries(PopupMenu* menu, bool enabledOnly) {
    std::vector<std::string> out;
    if (!menu) return out;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && (!enabledOnly || a->isEnabled())) out.push_back(a->text().toStdString());
    return out;
}

QLineEdit* EditOf(QWidget* dlg, int id) { return dlg->findChild<QLineEdit*>(QString::number(id)); }

void SetName(Dialog* dlg, const char* name) {
    QLineEdit* edit = EditOf(dlg, IDC_EDT_NAME);
    ASSERT_NE(edit, nullptr);
    edit->setText(QString::fromUtf8(name));
}

// A session of the studio with the navigation bar made before the start-up lists come, as the
// frame is; the second workstation watches what the studio sends.
class Navigation : public StudioTest {
protected:
    void Start(const char* logon, const char* password, const char* observer = "su",
               const char* observerPassword = kSuPassword) {
        server = std::make_unique<StudioServer>();
        ASSERT_TRUE(server->Ok());
        ::setenv("VARNIA_PORT", std::to_string(server->Port()).c_str(), 1);
        link = std::make_unique<TestStudioLink>();
        ASSERT_EQ(link->LogOn(server->Port(), logon, password), kLogonOk);
        bar = std::make_unique<CNavigationBar>(*link);
        bar->resize(300, 520);
        bar->show();
        ASSERT_TRUE(link->RequestInitialLists());
        const bool alice = std::string(logon) == "alice";
        ASSERT_TRUE(PumpUntil([&] {
            const CkxXXX& c = KX_KXXXX();
            return ItemOf(*bar->FolderTree(), Id("folder.top")) && c.m_ProjectList.GetCount() > 0 &&
                   KX_FamilyXXX().t_Find(Id("family.fam.b")) &&
                   (!alice || (c.m_DataTagList.GetCount() > 0 && KX_QueryTempletList().GetCount() > 0));
        }));
        PumpFor(200ms);
        other = server->LogOn(observer, observerPassword);
        ASSERT_NE(other, nullptr);
    }
    void TearDown() override {
        bar.reset();
        StudioTest::TearDown();
    }

    // Sends a folder change as the second workstation.
    void SuFolder(int subOp, const CkxFSNode& n) {
        ASSERT_TRUE(SendPieces(*other, kMsgFolder, subOp, {Bytes(n.GetComData()), Rights(n)}));
    }
    int SuAddFolder(const std::string& name, int parent) {
        CkxFSNode n;
        n.m_strName = name;
        n.m_nParentID = parent;
        n.m_nLev = parent == -1 ? 0 : KX_KXXXX().fsFind(parent)->GetChildLev();
        n.m_Power.m_nInherit = 1;
        SuFolder(kSubAdd, n);
        EXPECT_TRUE(PumpUntil([&] { return FolderNamed(name) > 0; }));
        return FolderNamed(name);
    }

    CWndFolderTree& Folders() { return *bar->FolderTree(); }
    CWndTempletTree& Quick() { return *bar->TempletTree(); }
    CWndFamilyTree& Families() { return *bar->FamilyTree(); }
    CWndProjectTree& Projects() { return *bar->ProjectTree(); }

    std::unique_ptr<CNavigationBar> bar;
    std::unique_ptr<srvtest::TestClient> other;
};

TEST_F(Navigation, FolderPageShowsWhatTheUserMayReadAndFollowsTheServer) {
    Start("alice", kAlicePassword);
    CWndFolderTree& tree = Folders();
    CkxXXX& c = KX_KXXXX();
    EXPECT_EQ(TopLevel(tree), (std::vector<std::string>{"根目录", "回收站"}));
    EXPECT_EQ(Shape(tree, tree.RootItem()), "根目录(作品(二级(三级)))");
    bar->SelectPage(CNavigationBar::PAGE_FOLDER);
    guitest::Screenshot(bar.get(), "studio_navigation_folders");

    // Two sub-folders of the closed folder stay out of sight until it opens to everyone; then
    // the folder comes with what of it the user may read.
    const int other1 = SuAddFolder("乙一", Id("folder.other"));
    const int other2 = SuAddFolder("乙二", Id("folder.other"));
    PumpFor(150ms);
    EXPECT_EQ(Shape(tree, tree.RootItem()), "根目录(作品(二级(三级)))");
    CkxFSNode closed = *c.fsFind(Id("folder.other"));
    closed.m_Power.m_nEveryonePower = 0xC03C;
    SuFolder(kSubModify, closed);
    ASSERT_TRUE(PumpUntil([&] { return ItemOf(tree, other2) != nullptr; }));
    EXPECT_EQ(Shape(tree, tree.RootItem()), "根目录(作品(二级(三级)),其他(乙一,乙二))");

    // Hidden: the folder and its sub-tree go.
    CkxFSNode hidden = *c.fsFind(Id("folder.top"));
    hidden.SetStateHide();
    SuFolder(kSubModify, hidden);
    ASSERT_TRUE(PumpUntil([&] { return ItemOf(tree, Id("folder.top")) == nullptr; }));
    EXPECT_EQ(Shape(tree, tree.RootItem()), "根目录(其他(乙一,乙二))");

    // Deleted with its two sub-folders in one request: all three items go.
    ASSERT_TRUE(SendPieces(*other, kMsgFolder, kSubDelete,
                                    {Bytes(c.fsFind(Id("folder.other"))->GetComData()),
                                     Bytes(c.fsFind(other1)->GetComData()), Bytes(c.fsFind(other2)->GetComData())}));
    ASSERT_TRUE(PumpUntil([&] { return ItemOf(tree, Id("folder.other")) == nullptr; }));
    PumpFor(150ms);
    EXPECT_EQ(Shape(tree, tree.RootItem()), "根目录");
    EXPECT_TRUE(ItemsOf(tree, other1).empty());
    EXPECT_TRUE(ItemsOf(tree, other2).empty());
    EXPECT_EQ(TopLevel(tree), (std::vector<std::string>{"根目录", "回收站"}));
}

TEST_F(Navigation, FolderMenusFollowTheFolderRights) {
    Start("alice", kAlicePassword);
    CWndFolderTree& tree = Folders();
    CkxXXX& c = KX_KXXXX();
    const std::vector<std::string> all = {"浏览文件", "查询文件...", "目录信息", "新建目录", "修改目录",
                                          "删除目录", "权限设置", "权限信息"};

    // The root (the user's role may create top-level folders) and the bin.
    ASSERT_TRUE(tree.SelectItem(tree.RootItem()));
    EXPECT_EQ(Entries(tree.BuildMenu(), true),
              (std::vector<std::string>{"浏览文件", "查询文件...", "目录信息", "新建目录", "权限信息"}));
    ASSERT_TRUE(tree.SelectItem(tree.BinItem()));
    EXPECT_EQ(Entries(tree.BuildMenu(), true), (std::vector<std::string>{"查看回收站", "清空回收站", "全部还原"}));

    struct Row {
        const char* right;
        uint32_t everyone;
        std::vector<std::string> enabled; // empty: the folder is not shown
    };
    const Row rows[] = {
        {"none", 0, {}},
        {"open", KXP_DIR_READ | KXP_DIR_OPEN, {"浏览文件", "查询文件...", "目录信息", "权限信息"}},
        {"create sub-folder", KXP_DIR_READ | KXP_DIR_OPEN | KXP_DIR_CREATESUBDIR,
         {"浏览文件", "查询文件...", "目录信息", "新建目录", "权限信息"}},
        {"operate", KXP_DIR_READ | KXP_DIR_OPEN | KXP_DIR_OPERATE,
         {"浏览文件", "查询文件...", "目录信息", "修改目录", "删除目录", "权限信息"}},
        {"full control", KXP_DIR_READ | KXP_DIR_OPEN | KXP_DIR_FULLCTRL,
         {"浏览文件", "查询文件...", "目录信息", "权限设置", "权限信息"}},
    };
    const int id = Id("folder.other");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.right);
        CkxFSNode n = *c.fsFind(id);
        n.m_Power.m_nEveryonePower = row.everyone ? row.everyone : KXP_DIR_FILECREATE; // a change even for "none"
        SuFolder(kSubModify, n);
        ASSERT_TRUE(PumpUntil([&] { return c.fsFind(id)->m_Power.m_nEveryonePower == n.m_Power.m_nEveryonePower; }));
        PumpFor(50ms);
        const HTREEITEM item = ItemOf(tree, id);
        if (row.enabled.empty()) {
            EXPECT_EQ(item, nullptr);
            continue;
        }
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(tree.SelectItem(item));
        PopupMenu* menu = tree.BuildMenu();
        EXPECT_EQ(Entries(menu, false), all);
        EXPECT_EQ(Entries(menu, true), row.enabled);
    }
}

TEST_F(Navigation, FolderCommandsAskOnceAndSendOnce) {
    Start("alice", kAlicePassword);
    CWndFolderTree& tree = Folders();
    PromptRecorder prompts;

    // A new folder under the root: level 0, parent -1, the user as creator; shown on the push.
    ASSERT_TRUE(tree.SelectItem(tree.RootItem()));
    ASSERT_EQ(DriveDialog([&] { tree.OnCommand(CWndFolderTree::ID_NEW); return 1; },
                          [](Dialog* dlg) {
                              EXPECT_EQ(dlg->windowTitle(), "新建目录");
                              SetName(dlg, "新建甲");
                              guitest::Screenshot(dlg, "studio_navigation_new_folder");
                          }),
              1);
    const auto added = other->Wait(kMsgFolder, kSubAdd);
    ASSERT_TRUE(added);
    CkxFSNode::_COM com{};
    ASSERT_TRUE(added->As(com));
    CkxFSNode sent;
    sent.SetComData(com);
    EXPECT_EQ(sent.m_strName, "新建甲");
    EXPECT_EQ(sent.m_nLev, 0);
    EXPECT_EQ(sent.m_nParentID, -1);
    EXPECT_EQ(sent.m_nCreatorID, Id("user.alice"));
    ASSERT_TRUE(PumpUntil([&] { return FolderNamed("新建甲") > 0 && ItemOf(tree, FolderNamed("新建甲")); }));
    const int made = FolderNamed("新建甲");
    EXPECT_EQ(tree.GetParentItem(ItemOf(tree, made)), tree.RootItem());

    // A sub-folder of the other workstation's keeps the delete disabled: the server would
    // refuse it. The user's own two sub-folders do not.
    const int foreign = SuAddFolder("别人的", made);
    ASSERT_TRUE(PumpUntil([&] { return ItemOf(tree, foreign) != nullptr; }));
    ASSERT_TRUE(tree.SelectItem(ItemOf(tree, made)));
    EXPECT_EQ(Entries(tree.BuildMenu(), true),
              (std::vector<std::string>{"浏览文件", "查询文件...", "目录信息", "新建目录", "修改目录", "权限设置", "权限信息"}));
    ASSERT_TRUE(SendPieces(*other, kMsgFolder, kSubDelete, {Bytes(KX_KXXXX().fsFind(foreign)->GetComData())}));
    ASSERT_TRUE(PumpUntil([&] { return ItemsOf(tree, foreign).empty(); }));
    ASSERT_TRUE(other->Wait(kMsgFolder, kSubDelete)); // its own announcement
    auto addOwn = [&](const char* name) {
        CkxFSNode n;
        n.m_strName = name;
        n.m_nParentID = made;
        n.m_nLev = 1;
        n.m_nCreatorID = Id("user.alice");
        n.m_Power.m_nInherit = 1;
        EXPECT_EQ(link->SendFolderAddRequest(n), 1);
        EXPECT_TRUE(PumpUntil([&] { return FolderNamed(name) > 0 && ItemOf(tree, FolderNamed(name)); }));
        return FolderNamed(name);
    };
    const int sub1 = addOwn("新建甲一");
    const int sub2 = addOwn("新建甲二");
    ASSERT_TRUE(tree.SelectItem(ItemOf(tree, made)));
    EXPECT_EQ(Entries(tree.BuildMenu(), true),
              (std::vector<std::string>{"浏览文件", "查询文件...", "目录信息", "新建目录", "修改目录", "删除目录", "权限设置",
                                        "权限信息"}));

    // Delete: Cancel sends nothing; OK sends one request with the folder and both below it.
    ASSERT_TRUE(tree.SelectItem(ItemOf(tree, made)));
    prompts.Answer(AnswerCancel);
    tree.OnCommand(CWndFolderTree::ID_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndFolderTree::DeleteQuestion("新建甲")});
    EXPECT_TRUE(other->Quiet(kMsgFolder, kSubDelete, 400ms));
    prompts.Clear();
    tree.OnCommand(CWndFolderTree::ID_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndFolderTree::DeleteQuestion("新建甲")});
    const auto deleted = other->Wait(kMsgFolder, kSubDelete);
    ASSERT_TRUE(deleted);
    EXPECT_EQ(deleted->pieces.size(), 3u);
    EXPECT_TRUE(other->Quiet(kMsgFolder, kSubDelete, 300ms));
    ASSERT_TRUE(PumpUntil([&] { return ItemsOf(tree, made).empty(); }));
    EXPECT_TRUE(ItemsOf(tree, sub1).empty());
    EXPECT_TRUE(ItemsOf(tree, sub2).empty());

    // The bin: shown by its menu, the emptying asked (Cancel keeps it), restore-all at once.
    auto binDoc = [&] { return app->FindRecycleBinDoc(); };
    CkxFile::_COM_DelFile d{};
    d.nID = static_cast<uint32_t>(Id("file.d"));
    d.nDirID = Id("folder.mid");
    ASSERT_EQ(link->SendFileDeleteRequest({d}), 1);
    PumpFor(300ms);
    ASSERT_TRUE(tree.SelectItem(tree.BinItem()));
    tree.OnCommand(CWndFolderTree::ID_BIN_SHOW);
    ASSERT_NE(binDoc(), nullptr);
    EXPECT_EQ(WaitForFiles(binDoc(), 1), Files({"file.d"}));
    prompts.Clear();
    prompts.Answer(AnswerCancel);
    tree.OnCommand(CWndFolderTree::ID_BIN_EMPTY);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndFolderTree::kEmptyBinQuestion});
    PumpFor(400ms);
    EXPECT_EQ(binDoc()->GetFileCount(), 1);
    prompts.Clear();
    tree.OnCommand(CWndFolderTree::ID_BIN_RESTORE_ALL);
    EXPECT_TRUE(PumpUntil([&] { return binDoc()->GetFileCount() == 0; }));
    EXPECT_EQ(prompts.Count(), 0u);

    ASSERT_EQ(link->SendFileDeleteRequest({d}), 1);
    PumpFor(300ms);
    tree.OnCommand(CWndFolderTree::ID_BIN_SHOW);
    EXPECT_EQ(WaitForFiles(binDoc(), 1), Files({"file.d"}));
    tree.OnCommand(CWndFolderTree::ID_BIN_EMPTY); // answered OK
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndFolderTree::kEmptyBinQuestion});
    EXPECT_TRUE(PumpUntil([&] { return binDoc()->GetFileCount() == 0; }));
}

TEST_F(Navigation, TemplatesAndBookmarks) {
    Start("alice", kAlicePassword);
    CWndTempletTree& tree = Quick();
    EXPECT_EQ(TopLevel(tree), (std::vector<std::string>{"查询模板", "文件书签"}));
    EXPECT_EQ(Shape(tree, tree.TempletGroup()), "查询模板(我的查询)");
    EXPECT_EQ(Shape(tree, tree.TagGroup()), "文件书签(书签一)");

    // Reloads show the lists anew, never on top of what is shown.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(link->SendQueryTempletListRequest(), 1);
        ASSERT_EQ(link->SendDataTagListRequest(), 1);
    }
    PumpFor(600ms);
    EXPECT_EQ(Shape(tree, tree.TempletGroup()), "查询模板(我的查询)");
    EXPECT_EQ(Shape(tree, tree.TagGroup()), "文件书签(书签一)");
    bar->SelectPage(CNavigationBar::PAGE_QUICK);
    guitest::Screenshot(bar.get(), "studio_navigation_quick");

    // A new template shows once; its rename renames the item; its delete removes it.
    ASSERT_TRUE(tree.SelectItem(tree.TempletGroup()));
    EXPECT_EQ(Entries(tree.BuildMenu(), true), std::vector<std::string>{"新建模板"});
    ASSERT_EQ(DriveDialog([&] { tree.OnCommand(CWndTempletTree::ID_NEW); return 1; },
                          [](Dialog* dlg) {
                              SetName(dlg, "新模板");
                              guitest::Screenshot(dlg, "studio_navigation_new_templet");
                          }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return Shape(tree, tree.TempletGroup()) == "查询模板(我的查询,新模板)"; }));
    PumpFor(200ms);
    EXPECT_EQ(Shape(tree, tree.TempletGroup()), "查询模板(我的查询,新模板)");
    HTREEITEM made = tree.GetNextSiblingItem(tree.GetChildItem(tree.TempletGroup()));
    ASSERT_TRUE(tree.SelectItem(made));
    EXPECT_EQ(Entries(tree.BuildMenu(), true),
              (std::vector<std::string>{"查询文件", "查看模板", "新建模板", "修改模板", "删除模板"}));
    ASSERT_EQ(DriveDialog([&] { tree.OnCommand(CWndTempletTree::ID_MODIFY); return 1; },
                          [](Dialog* dlg) { SetName(dlg, "改过的模板"); }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return tree.GetItemText(made) == "改过的模板"; }));
    PromptRecorder prompts;
    tree.OnCommand(CWndTempletTree::ID_DELETE);
    EXPECT_EQ(prompts.Count(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return Shape(tree, tree.TempletGroup()) == "查询模板(我的查询)"; }));

    // A bookmark opens a bookmark document holding exactly its file.
    const HTREEITEM tag = tree.GetChildItem(tree.TagGroup());
    ASSERT_TRUE(tree.SelectItem(tag));
    EXPECT_EQ(Entries(tree.BuildMenu(), true), (std::vector<std::string>{"浏览文件", "修改书签", "删除书签"}));
    const int before = app->GetDocCount();
    tree.OnCommand(CWndTempletTree::ID_TAG_BROWSE);
    ASSERT_EQ(app->GetDocCount(), before + 1);
    CvClientDoc* doc = app->GetFirstDoc(); // the newest
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(WaitForFiles(doc, 1), Files({"file.a"}));
    EXPECT_EQ(doc->GetKind(), CvClientDoc::KIND_OPERAND);
    EXPECT_NE(doc->GetCaption().find("文件书签"), std::string::npos) << doc->GetCaption();

    // Changing it edits a copy: the cache follows the server's answer, then the item.
    const int tagId = Id("bookmark.alice");
    ASSERT_EQ(DriveDialog([&] { tree.OnCommand(CWndTempletTree::ID_TAG_MODIFY); return 1; },
                          [](Dialog* dlg) {
                              SetName(dlg, "书签二");
                              guitest::Screenshot(dlg, "studio_navigation_bookmark");
                          }),
              1);
    EXPECT_EQ(KX_KXXXX().m_DataTagList.Find(tagId)->m_strName, "书签一");
    ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().m_DataTagList.Find(tagId)->m_strName == "书签二"; }));
    EXPECT_TRUE(PumpUntil([&] { return tree.GetItemText(tag) == "书签二"; }));
}

TEST_F(Navigation, FamiliesForTheAdministrator) {
    Start("su", kSuPassword, "bob", "bob-pw");
    CWndFamilyTree& tree = Families();
    const int fam = Id("family.fam"), a = Id("family.fam.a"), b = Id("family.fam.b");
    ASSERT_NE(ItemOf(tree, a), nullptr); // sub-families are drawn too
    ASSERT_NE(ItemOf(tree, b), nullptr);
    bar->SelectPage(CNavigationBar::PAGE_FAMILY);
    guitest::Screenshot(bar.get(), "studio_navigation_families");

    ASSERT_TRUE(tree.SelectItem(ItemOf(tree, fam)));
    EXPECT_EQ(Entries(tree.BuildMenu(), false),
              (std::vector<std::string>{"浏览文件", "查询文件...", "族类信息", "修改族类", "修改属性", "删除族类"}));

    // A root family is never deleted.
    PromptRecorder prompts;
    const HTREEITEM root = ItemOf(tree, KXF_ROOT_IMAGE);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(tree.SelectItem(root));
    tree.OnCommand(CWndFamilyTree::ID_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CWndFamilyTree::kRootRefused});
    EXPECT_TRUE(other->Quiet(kMsgFamily, kSubDelete, 300ms));

    // A rename is drawn in place when the answer comes.
    const HTREEITEM mountain = ItemOf(tree, a);
    ASSERT_TRUE(tree.SelectItem(mountain));
    ASSERT_EQ(DriveDialog([&] { tree.OnCommand(CWndFamilyTree::ID_MODIFY); return 1; },
                          [](Dialog* dlg) {
                              SetName(dlg, "高山");
                              guitest::Screenshot(dlg, "studio_navigation_family_modify");
                          }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return tree.IsItem(mountain) && tree.GetItemText(mountain) == "高山"; }));

    // Deleting a family with two children asks with its name; all three go on the push.
    prompts.Clear();
    prompts.Answer(AnswerCancel);
    ASSERT_TRUE(tree.SelectItem(ItemOf(tree, fam)));
    tree.OnCommand(CWndFamilyTree::ID_DELETE);
    EXPECT_TRUE(other->Quiet(kMsgFamily, kSubDelete, 300ms));
    tree.OnCommand(CWndFamilyTree::ID_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(2, CWndFamilyTree::DeleteQuestion("风景")));
    EXPECT_EQ(CWndFamilyTree::DeleteQuestion("风景"), "删除族类,将会删除该族类的所有子孙族类!\n\n确定删除族类--\"风景\" ?");
    ASSERT_TRUE(PumpUntil([&] { return ItemsOf(tree, fam).empty(); }));
    EXPECT_TRUE(ItemsOf(tree, a).empty());
    EXPECT_TRUE(ItemsOf(tree, b).empty());

    // A family another workstation adds appears while the studio runs.
    CkxFamily cloud;
    cloud.m_strName = "云";
    cloud.m_nParentID = KXF_ROOT_IMAGE;
    cloud.m_nLevel = 1;
    cloud.SetImage();
    auto su = server->LogOn("alice", kAlicePassword);
    ASSERT_NE(su, nullptr);
    ASSERT_EQ(link->SendFamilyAddRequest(cloud), 1);
    ASSERT_TRUE(PumpUntil([&] {
        for (::POSITION p = KX_FamilyXXX().family_GetHeadPosition(); p;) {
            const CkxFamily* f = KX_FamilyXXX().family_GetNext(p);
            if (f->m_strName == "云") return ItemOf(tree, f->GetID()) != nullptr;
        }
        return false;
    }));
}

TEST_F(Navigation, ProjectsAndTheUsersMenus) {
    Start("su", kSuPassword, "bob", "bob-pw");
    CWndProjectTree& tree = Projects();
    CkxXXX& c = KX_KXXXX();
    const int proj = Id("project.proj");
    ASSERT_EQ(tree.CountItems(proj), 1);
    bar->SelectPage(CNavigationBar::PAGE_PROJECT);
    guitest::Screenshot(bar.get(), "studio_navigation_projects");

    // The administrator's menus.
    ASSERT_TRUE(tree.SelectItem(tree.RootItem()));
    EXPECT_EQ(Entries(tree.BuildMenu(), true), std::vector<std::string>{"创建项目"});
    ASSERT_TRUE(tree.SelectItem(ItemOf(tree, proj)));
    EXPECT_EQ(Entries(tree.BuildMenu(), true),
              (std::vector<std::string>{"浏览文件", "查看信息", "修改项目", "设置用户", "删除项目"}));

    // Two reloads leave one item.
    for (int i = 0; i < 2; ++i) ASSERT_EQ(link->SendProjectListRequest(), 1);
    PumpFor(600ms);
    EXPECT_EQ(tree.CountItems(proj), 1);
    const int projects = c.m_ProjectList.GetCount();

    // Viewing is a view: OK sends nothing.
    ASSERT_TRUE(tree.SelectItem(ItemOf(tree, proj)));
    ASSERT_EQ(DriveDialog([&] { tree.OnCommand(CWndProjectTree::ID_VIEW); return 1; },
                          [](Dialog* dlg) { guitest::Screenshot(dlg, "studio_navigation_project_view"); }),
              1);
    PumpFor(400ms);
    EXPECT_EQ(c.m_ProjectList.GetCount(), projects);
    EXPECT_EQ(tree.CountItems(proj), 1);

    // Members: the whole project goes out with its new list; the cache waits for the answer.
    const int bob = Id("user.bob");
    ASSERT_EQ(DriveDialog([&] { tree.OnCommand(CWndProjectTree::ID_USERS); return 1; },
                          [&](Dialog* dlg) {
                              auto* list = dlg->findChild<ReportList*>(QString::number(CDlgProjectUser::IDC_LIST_USER));
                              ASSERT_NE(list, nullptr);
                              list->SetCheck(list->FindItemData(bob), true);
                              guitest::Screenshot(dlg, "studio_navigation_project_users");
                          }),
              1);
    EXPECT_EQ(c.m_ProjectList.Find(proj)->m_UserList.GetCount(), 1);
    const auto modified = other->Wait(kMsgProject, kSubModify);
    ASSERT_TRUE(modified);
    EXPECT_TRUE(other->Quiet(kMsgProject, kSubModify, 300ms));
    ASSERT_TRUE(PumpUntil([&] { return c.m_ProjectList.Find(proj)->m_UserList.GetCount() == 2; }));
    EXPECT_EQ(c.m_ProjectList.Find(proj)->m_strName, "画册");
    EXPECT_EQ(tree.CountItems(proj), 1);
}

TEST_F(Navigation, AMemberSeesTheBrowsingMenusOnly) {
    Start("alice", kAlicePassword);
    ASSERT_TRUE(Projects().SelectItem(Projects().RootItem()));
    EXPECT_EQ(Projects().BuildMenu(), nullptr); // may not create projects
    ASSERT_TRUE(Projects().SelectItem(ItemOf(Projects(), Id("project.proj"))));
    EXPECT_EQ(Entries(Projects().BuildMenu(), true), (std::vector<std::string>{"浏览文件", "查看信息"}));
    ASSERT_TRUE(Families().SelectItem(ItemOf(Families(), Id("family.fam"))));
    EXPECT_EQ(Entries(Families().BuildMenu(), false), (std::vector<std::string>{"浏览文件", "查询文件...", "族类信息"}));

    // Browsing a folder opens its document.
    const int before = app->GetDocCount();
    ASSERT_TRUE(Folders().SelectItem(ItemOf(Folders(), Id("folder.mid"))));
    bar->OnCommand(CNavigationBar::ID_FOLDER_BROWSE);
    EXPECT_EQ(app->GetDocCount(), before + 1);
}

TEST_F(Navigation, TheQueryCommandsOpenTheQueryDialogPresetAndRunItsTemplate) {
    Start("alice", kAlicePassword);
    struct Row {
        const char* what;
        std::function<void()> command;
        int family, familySelf, familyDerived, folder, folderSelf, folderBelow;
    };
    const int mid = Id("folder.mid"), fam = Id("family.fam");
    PromptRecorder prompts; // the root's query has no limit and asks first: OK
    const Row rows[] = {
        {"a folder", [&] { Folders().SelectItem(ItemOf(Folders(), mid)); Folders().OnCommand(CWndFolderTree::ID_QUERY); },
         -1, 1, 1, mid, 1, 0},
        {"the root", [&] { Folders().SelectItem(Folders().RootItem()); Folders().OnCommand(CWndFolderTree::ID_QUERY); },
         -1, 1, 1, -1, 1, 1},
        // The compact panel keeps the family the pane gave.
        {"a family", [&] { Families().SelectItem(ItemOf(Families(), fam)); Families().OnCommand(CWndFamilyTree::ID_QUERY); },
         fam, 1, 0, -1, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const std::vector<CvClientDoc*> before = app->GetDocs();
        ASSERT_EQ(DriveDialog([&] { r.command(); return 1; },
                              [](Dialog* d) { EXPECT_NE(qobject_cast<CDlgQueryFile*>(d), nullptr); }),
                  1);
        const CvClientDoc* made = nullptr;
        for (CvClientDoc* doc : app->GetDocs())
            if (std::find(before.begin(), before.end(), doc) == before.end()) made = doc;
        ASSERT_NE(made, nullptr);
        const CkxQueryTemplet& t = made->m_Templet;
        const CkxQueryTemplet::_FIX& f = t.m_Fix;
        EXPECT_EQ(std::make_tuple(f.nFamilyID, f.bFamilySelf, f.bFamilyDerived),
                  std::make_tuple(r.family, r.familySelf, r.familyDerived));
        EXPECT_EQ(std::make_tuple(f.nDirID, f.bDirSelf, f.bDirBelow), std::make_tuple(r.folder, r.folderSelf, r.folderBelow));
    }
    // Cancel runs nothing.
    const int before = app->GetDocCount();
    Folders().SelectItem(ItemOf(Folders(), mid));
    ASSERT_EQ(DriveDialog([&] { Folders().OnCommand(CWndFolderTree::ID_QUERY); return 1; }, [](Dialog*) {}, IDCANCEL), 1);
    EXPECT_EQ(app->GetDocCount(), before);
}

TEST_F(Navigation, PagesTitlesAndTheirOwnCommands) {
    Start("alice", kAlicePassword);
    CGuiTabWnd* tabs = bar->Tabs();
    ASSERT_EQ(tabs->count(), 4);
    std::vector<std::string> titles;
    for (int i = 0; i < 4; ++i) titles.push_back(tabs->tabText(i).toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"族类", "目录", "项目", "快速"}));

    // The strips' buttons.
    auto buttons = [&](int page) {
        std::vector<std::string> out;
        for (auto* b : bar->Strip(page)->findChildren<CGuiToolButton*>())
            if (b->objectName().toInt() > 0) out.push_back(b->objectName().toStdString() + " " + b->toolTip().toStdString());
        return out;
    };
    EXPECT_TRUE(buttons(CNavigationBar::PAGE_FAMILY).empty());
    EXPECT_EQ(buttons(CNavigationBar::PAGE_FOLDER),
              (std::vector<std::string>{"8193 展开", "8194 收缩", "8196 目录信息", "8197 查询文件"}));
    EXPECT_TRUE(buttons(CNavigationBar::PAGE_PROJECT).empty());
    EXPECT_EQ(buttons(CNavigationBar::PAGE_QUICK), (std::vector<std::string>{"16385 展开", "16386 收缩"}));

    const char* bars[] = {"族类", "目录", "项目", "快捷"};
    for (int page = 0; page < 4; ++page) {
        bar->SelectPage(page);
        EXPECT_EQ(tabs->GetCurtab(), page);
        EXPECT_EQ(bar->windowTitle().toStdString(), bars[page]);
    }

    // Collapse and expand through the folder strip touch only the folder tree.
    bar->SelectPage(CNavigationBar::PAGE_FOLDER);
    CWndFolderTree& folders = Folders();
    const HTREEITEM top = ItemOf(folders, Id("folder.top"));
    ASSERT_NE(top, nullptr);
    ASSERT_TRUE(Quick().IsExpanded(Quick().TempletGroup()));
    const HTREEITEM famItem = ItemOf(Families(), Id("family.fam"));
    ASSERT_NE(famItem, nullptr);
    Families().Expand(famItem, TVE_EXPAND);
    auto click = [&](int page, int id) {
        auto* b = bar->Strip(page)->findChild<CGuiToolButton*>(QString::number(id));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    };
    folders.Expand(top, TVE_EXPAND);
    click(CNavigationBar::PAGE_FOLDER, CNavigationBar::ID_FOLDER_COLLAPSE);
    EXPECT_FALSE(folders.IsExpanded(top));
    EXPECT_TRUE(Quick().IsExpanded(Quick().TempletGroup()));
    EXPECT_TRUE(Families().IsExpanded(famItem));
    click(CNavigationBar::PAGE_FOLDER, CNavigationBar::ID_FOLDER_EXPAND);
    EXPECT_TRUE(folders.IsExpanded(top));
    EXPECT_TRUE(folders.IsExpanded(ItemOf(folders, Id("folder.mid"))));

    bar->SelectPage(CNavigationBar::PAGE_QUICK);
    click(CNavigationBar::PAGE_QUICK, CNavigationBar::ID_QUICK_COLLAPSE);
    EXPECT_FALSE(Quick().IsExpanded(Quick().TempletGroup()));
    EXPECT_FALSE(Quick().IsExpanded(Quick().TagGroup()));
    EXPECT_TRUE(folders.IsExpanded(top));
    click(CNavigationBar::PAGE_QUICK, CNavigationBar::ID_QUICK_EXPAND);
    EXPECT_TRUE(Quick().IsExpanded(Quick().TempletGroup()));

    bar->OnCommand(CNavigationBar::ID_FAMILY_COLLAPSE);
    EXPECT_FALSE(Families().IsExpanded(famItem));
    EXPECT_TRUE(folders.IsExpanded(top));
    EXPECT_TRUE(Quick().IsExpanded(Quick().TempletGroup()));
    bar->OnCommand(CNavigationBar::ID_PROJECT_COLLAPSE);
    EXPECT_FALSE(Projects().IsExpanded(Projects().RootItem()));
    EXPECT_TRUE(folders.IsExpanded(top));

    CWorkBar work;
    std::vector<std::string> pages;
    for (int i = 0; i < work.Tabs()->count(); ++i) pages.push_back(work.Tabs()->tabText(i).toStdString());
    EXPECT_EQ(pages, (std::vector<std::string>{"签出文件管理", "捕获缓存站"}));
    work.resize(500, 200);
    guitest::Screenshot(&work, "studio_work_bar");
}

} // namespace
