// The family attribute dialog: its three lists and the constants of the selected attribute over
// a small family fixture, then against the studio server: attributes added, modified and deleted
// through the dialog show after the server's answer, another workstation's attribute of another
// family never shows, the observation ends with the dialog, and the family pane opens it in both
// modes only for the users the server lets change attributes.
#include "studio/support/StudioTestKit.h"

#include "dlg/CDlgFamilyAttrAdmin.h"
#include "nav/CWndFamilyTree.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "support/gui/SmallCatalogue.h"
#include "ui/CDlgFamilyAttrEdit.h"
#include "ui/KxShowDlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <functional>

using namespace studiotest;
using namespace kx;
using guitest::DriveDialog;
using guitest::SmallCatalogue;

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows RowsOf(const ReportList* list) {
    Rows out;
    for (int r = 0; r < list->GetItemCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < list->GetColumnCount(); ++c) row.push_back(list->GetItemText(r, c).toStdString());
        out.push_back(row);
    }
    return out;
}

std::vector<std::string> Column(const ReportList* list, int column) {
    std::vector<std::string> out;
    for (int r = 0; r < list->GetItemCount(); ++r) out.push_back(list->GetItemText(r, column).toStdString());
    return out;
}

std::vector<std::string> Consts(const CDlgFamilyAttrAdmin& dlg) {
    std::vector<std::string> out;
    for (int i = 0; i < dlg.ConstList()->count(); ++i) out.push_back(dlg.ConstList()->item(i)->text().toStdString());
    return out;
}

// Selects the row of the attribute in the list (nothing else selected).
void Select(ReportList* list, int attrId) {
    list->clearSelection();
    const int row = list->FindItemData(attrId);
    ASSERT_GE(row, 0) << "no row for attribute " << attrId;
    list->SetItemSelected(row, true);
}

std::vector<std::string> Headers(const ReportList* list) {
    std::vector<std::string> out;
    for (int c = 0; c < list->GetColumnCount(); ++c) out.push_back(list->headerItem()->text(c).toStdString());
    return out;
}

bool Enabled(const Dialog& d, int id) { return d.GetDlgItem(id)->isEnabled(); }

// The small catalogue with a family fixture: A (建筑) with a constant attribute and one whose
// constants come from a provider, B (古建, A's child) with one plain attribute, C (人像) beside
// them whose provider finds nothing, and D of no known data kind.
class FamilyAttrFixture : public SmallCatalogue {
protected:
    enum { A = 210, B = 211, C = 212, D = 213 };
    enum { A_ERA = 311, A_DESIGNER = 312, B_DYNASTY = 313, C_MODEL = 314 };

    void SetUp() override {
        EnsureApplication();
        SmallCatalogue::SetUp();
        CkxFamilyXXX& reg = KX_FamilyXXX();
        AddFamily(A, "建筑", 1, KXF_ROOT_IMAGE, KXD_IMAGE, "古今建筑");
        AddFamily(B, "古建", 2, A, KXD_IMAGE, "");
        AddFamily(C, "人像", 1, KXF_ROOT_IMAGE, KXD_IMAGE, "");
        AddFamily(D, "杂项", 1, KXF_ROOT_IMAGE, 7, "");
        CkxAttr era = Attr(A_ERA, A, "年代", KXT_STR, KXE_COMBO, "建造年代");
        for (const auto& [id, text] : {std::pair{1, "明"}, std::pair{2, "清"}}) {
            CkxConst c;
            c.m_nID = id;
            c.m_Value = CkxValueSp(text);
            era.m_Consts.AddTail(c);
        }
        reg.attr_AddTail(era);
        CkxAttr designer = Attr(A_DESIGNER, A, "设计师", KXT_INT, KXE_COMBO, "");
        designer.SetConstProvider([](CkxConstList& list) {
            KX_KXXXX().m_PersonList.ForEach([&](const CkxPerson& p) {
                CkxConst c;
                c.m_nID = p.m_nID;
                c.m_Value = CkxValueSp(p.m_nID);
                c.SetAlias(p.m_strName);
                list.AddTail(c);
            });
        });
        reg.attr_AddTail(designer);
        reg.attr_AddTail(Attr(B_DYNASTY, B, "朝代", KXT_STR, KXE_EDIT, "修建朝代"));
        CkxAttr model = Attr(C_MODEL, C, "模特", KXT_INT, KXE_COMBO, "");
        model.SetConstProvider([](CkxConstList&) {});
        reg.attr_AddTail(model);
        link = std::make_unique<CStudioLink>();
    }
    void TearDown() override {
        host.reset();
        link.reset();
        SmallCatalogue::TearDown();
    }
    static void AddFamily(int id, const char* name, int level, int parent, int kind, const char* note) {
        CkxFamily f;
        f.m_nID = id;
        f.m_strName = name;
        f.m_strNote = note;
        f.m_nLevel = level;
        f.m_nParentID = parent;
        f.SetDataKind(kind);
        KX_FamilyXXX().family_AddTail(f);
    }
    static CkxAttr Attr(int id, int family, const char* name, uint8_t type, uint8_t way, const char* note) {
        CkxAttr a;
        a.m_nID = id;
        a.m_nFamilyID = family;
        a.m_strName = name;
        a.m_nDataType = type;
        a.m_nEditWay = way;
        a.m_strNote = note;
        a.SetAttrType_Ex();
        a.SetDataKind(KXD_IMAGE);
        return a;
    }
    // The dialog on a copy of the family, as a form of a host window.
    CDlgFamilyAttrAdmin* Open(int familyId, int mode) {
        host = std::make_unique<QWidget>();
        host->resize(820, 620);
        auto* dlg = new CDlgFamilyAttrAdmin(*link);
        dlg->m_nViewMode = mode;
        dlg->m_nKeepTexts = 0;
        dlg->m_Family = *KX_FamilyXXX().family_Find(familyId);
        dlg->Create(host.get());
        host->show();
        return dlg;
    }
    std::vector<std::string> BaseNames() const {
        CkxAttrList base;
        KX_FamilyXXX().attr_GetModeBaseAttr(KXD_IMAGE, base);
        std::vector<std::string> out;
        base.ForEach([&](const CkxAttr& a) { out.push_back(a.m_strName); });
        return out;
    }

    std::unique_ptr<CStudioLink> link;
    std::unique_ptr<QWidget> host;
};

TEST_F(FamilyAttrFixture, AChildShowsItsKindsBaseRowsItsAncestorsAndItsOwn) {
    CDlgFamilyAttrAdmin* dlg = Open(B, CDlgFamilyAttrAdmin::kModeInfo);
    EXPECT_EQ(dlg->windowTitle().toStdString(), "族类信息");
    EXPECT_EQ(Headers(dlg->BaseList()), (std::vector<std::string>{"序号", "属性名称", "数据类型", "编辑方式", "备注"}));
    EXPECT_EQ(Headers(dlg->InheritList()),
              (std::vector<std::string>{"序号", "属性名称", "数据类型", "编辑方式", "文件族类名称", "备注"}));
    EXPECT_EQ(Headers(dlg->OwnList()), (std::vector<std::string>{"序号", "属性名称", "数据类型", "编辑方式", "备注"}));

    const std::vector<std::string> base = BaseNames();
    ASSERT_FALSE(base.empty());
    EXPECT_EQ(Column(dlg->BaseList(), 1), base);
    EXPECT_EQ(Column(dlg->BaseList(), 0).back(), std::to_string(base.size()));
    // The parent's attributes first, then the image root's extended one.
    EXPECT_EQ(RowsOf(dlg->InheritList()), (Rows{{"1", "年代", "文本", "下拉框", "建筑", "建造年代"},
                                               {"2", "设计师", "整数", "下拉框", "建筑", ""},
                                               {"3", "拍摄日期", "时间", "时间控件", "图像根族", ""}}));
    EXPECT_EQ(RowsOf(dlg->OwnList()), (Rows{{"1", "朝代", "文本", "编辑框", "修建朝代"}}));
    EXPECT_EQ(dlg->GetDlgItemAs<QLineEdit>(CDlgFamilyAttrAdmin::IDC_EDT_NAME)->text().toStdString(), "古建");
    for (int id : {CDlgFamilyAttrAdmin::IDC_EDT_NAME, CDlgFamilyAttrAdmin::IDC_EDT_NOTE})
        EXPECT_TRUE(dlg->GetDlgItemAs<QLineEdit>(id)->isReadOnly());
    for (int id : {CDlgFamilyAttrAdmin::IDC_BTN_ADD, CDlgFamilyAttrAdmin::IDC_BTN_MODIFY, CDlgFamilyAttrAdmin::IDC_BTN_DELETE})
        EXPECT_FALSE(Enabled(*dlg, id)) << id;

    // The constants of the row selected in any list, in information mode too: stored ones, a
    // provider's, and none for an attribute with neither.
    Select(dlg->InheritList(), A_ERA);
    EXPECT_EQ(Consts(*dlg), (std::vector<std::string>{"明", "清"}));
    Select(dlg->InheritList(), A_DESIGNER);
    EXPECT_EQ(Consts(*dlg), (std::vector<std::string>{"张三", "李四", "王五"}));
    Select(dlg->OwnList(), B_DYNASTY);
    EXPECT_TRUE(Consts(*dlg).empty());
    Select(dlg->BaseList(), KXB_AUTHORID);
    EXPECT_EQ(Consts(*dlg), (std::vector<std::string>{"张三", "李四", "王五"}));
    guitest::Screenshot(dlg, "CDlgFamilyAttrAdmin-info");

    // A selected attribute the registry no longer holds changes nothing.
    KX_FamilyXXX().attr_Delete(A_ERA);
    Select(dlg->InheritList(), A_ERA);
    EXPECT_EQ(Consts(*dlg), (std::vector<std::string>{"张三", "李四", "王五"}));
}

TEST_F(FamilyAttrFixture, RootsKindsAndProvidersThatGiveNothing) {
    struct Case {
        const char* what;
        int family;
        size_t base, inherited, own;
    };
    const size_t imageBase = BaseNames().size();
    const Case cases[] = {
        {"the image root", KXF_ROOT_IMAGE, imageBase, 0, 0},
        {"a family of no known kind", D, 0, 1, 0},
        {"a family beside the others", C, imageBase, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDlgFamilyAttrAdmin* dlg = Open(c.family, CDlgFamilyAttrAdmin::kModeEdit);
        EXPECT_EQ(dlg->windowTitle().toStdString(), "修改属性");
        EXPECT_EQ(static_cast<size_t>(dlg->BaseList()->GetItemCount()), c.base);
        EXPECT_EQ(static_cast<size_t>(dlg->InheritList()->GetItemCount()), c.inherited);
        EXPECT_EQ(static_cast<size_t>(dlg->OwnList()->GetItemCount()), c.own);
        if (c.family == KXF_ROOT_IMAGE) {
            for (int id : {CDlgFamilyAttrAdmin::IDC_BTN_ADD, CDlgFamilyAttrAdmin::IDC_BTN_MODIFY,
                           CDlgFamilyAttrAdmin::IDC_BTN_DELETE})
                EXPECT_FALSE(Enabled(*dlg, id)) << id;
            guitest::Screenshot(dlg, "CDlgFamilyAttrAdmin-root");
        }
        if (c.family == C) {
            Select(dlg->BaseList(), KXB_AUTHORID);
            ASSERT_EQ(Consts(*dlg).size(), 3u);
            Select(dlg->OwnList(), C_MODEL); // a provider that returns nothing
            EXPECT_TRUE(Consts(*dlg).empty());
        }
    }
}

TEST_F(FamilyAttrFixture, NotificationsTouchOnlyThisFamilysOwnRows) {
    CDlgFamilyAttrAdmin* dlg = Open(B, CDlgFamilyAttrAdmin::kModeEdit);
    CkxFamilyXXX& reg = KX_FamilyXXX();
    reg.attr_AddTail(Attr(401, C, "光线", KXT_STR, KXE_EDIT, ""));
    reg.attr_AddTail(Attr(402, B, "匾额", KXT_STR, KXE_EDIT, ""));
    dlg->OnWindowMessage(WM_USER, kNoticeAdded, 401);    // another family's
    dlg->OnWindowMessage(WM_USER, kNoticeAdded, 987654); // unknown
    dlg->OnWindowMessage(WM_USER, kNoticeUpdated, 987654);
    dlg->OnWindowMessage(WM_USER, kNoticeRemoved, 401);
    EXPECT_EQ(Column(dlg->OwnList(), 1), std::vector<std::string>{"朝代"});
    dlg->OnWindowMessage(WM_USER, kNoticeAdded, 402);
    dlg->OnWindowMessage(WM_USER, kNoticeAdded, 402); // an echo seen twice is one row
    EXPECT_EQ(Column(dlg->OwnList(), 1), (std::vector<std::string>{"朝代", "匾额"}));
    // Updated: columns 1 to 4; the number and the id stay.
    CkxAttr renamed = *reg.attr_Find(B_DYNASTY);
    renamed.m_strName = "年号";
    renamed.m_strNote = "帝号";
    reg.attr_Update(renamed);
    dlg->OnWindowMessage(WM_USER, kNoticeUpdated, B_DYNASTY);
    EXPECT_EQ(RowsOf(dlg->OwnList()).front(), (std::vector<std::string>{"1", "年号", "文本", "编辑框", "帝号"}));
    // Removed rows leave the numbers as they were: a later row is numbered count + 1.
    dlg->OnWindowMessage(WM_USER, kNoticeRemoved, B_DYNASTY);
    reg.attr_AddTail(Attr(403, B, "楹联", KXT_STR, KXE_EDIT, ""));
    dlg->OnWindowMessage(WM_USER, kNoticeAdded, 403);
    EXPECT_EQ(Column(dlg->OwnList(), 0), (std::vector<std::string>{"2", "2"}));
    EXPECT_EQ(Column(dlg->OwnList(), 1), (std::vector<std::string>{"匾额", "楹联"}));
    dlg->OnWindowMessage(WM_USER, kNoticeReload, 0); // not one of the three
    EXPECT_EQ(dlg->OwnList()->GetItemCount(), 2);
}

// Against the studio server, as su, on the family 山 (B) under 风景 (A) beside 水 (C).
class FamilyAttrLive : public StudioTest {
protected:
    void SetUp() override {
        StudioTest::SetUp();
        server = std::make_unique<StudioServer>();
        ASSERT_TRUE(server->Ok());
        ASSERT_NO_FATAL_FAILURE(LogOnSu());
        // The second workstation is bob's, an operator whom su lets administer families.
        const int operators = Id("role.operator");
        const CkxUserRole* stored = KX_KXXXX().m_UserRoleList.Find(operators);
        ASSERT_NE(stored, nullptr);
        CkxUserRole role = *stored;
        role.m_nPower |= 4;
        ASSERT_EQ(link->SendUserRoleModifyRequest(role), 1);
        ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().m_UserRoleList.Find(operators)->m_nPower == role.m_nPower; }));
        other = server->LogOn("bob", "bob-pw");
        ASSERT_NE(other, nullptr);
    }
    void TearDown() override {
        host.reset();
        other.reset();
        StudioTest::TearDown();
    }
    // su may change family attributes; the families, attributes and roles loaded.
    void LogOnSu() {
        // The registry as a new process holds it, with the image files' base attributes (which
        // the server's list never carries), emptied by the kit before each test.
        CkxAttrList base;
        kx::AppendFileBaseAttrs(base);
        base.ForEach([](const CkxAttr& a) {
            CkxAttr copy(a);
            copy.SetAttrType_Base();
            KX_FamilyXXX().attr_AddTail(copy);
        });
        link = std::make_unique<TestStudioLink>();
        ASSERT_EQ(link->LogOn(server->Port(), "su", kSuPassword), kLogonOk);
        ASSERT_TRUE(link->RequestInitialLists());
        ASSERT_TRUE(PumpUntil([&] {
            return KX_FamilyXXX().family_Find(Id("family.fam.b")) && KX_KXXXX().m_UserRoleList.GetCount() > 0 &&
                   KX_KXXXX().m_UserList.GetCount() > 0;
        }));
        PumpFor(200ms);
    }
    CDlgFamilyAttrAdmin* Open(int familyId) {
        host = std::make_unique<QWidget>();
        host->resize(820, 620);
        auto* dlg = new CDlgFamilyAttrAdmin(*link);
        dlg->m_nKeepTexts = 0;
        dlg->m_Family = *KX_FamilyXXX().family_Find(familyId);
        dlg->Create(host.get());
        host->show();
        return dlg;
    }
    // Adds an attribute as the second workstation; its id once the studio holds it.
    int OtherAdds(int family, const char* name) {
        const int id = AddFamilyTextAttr(*other, family, name);
        EXPECT_GT(id, 0);
        return id;
    }
    static void Name(Dialog* d, const char* name) {
        d->findChild<QLineEdit*>(QString::number(IDC_EDT_NAME))->setText(QString::fromUtf8(name));
    }
    std::unique_ptr<QWidget> host;
    std::unique_ptr<srvtest::TestClient> other;
};

TEST_F(FamilyAttrLive, ChangesShowAfterTheServersAnswerAndOnlyForThisFamily) {
    const int b = Id("family.fam.a"), c = Id("family.fam.b");
    CDlgFamilyAttrAdmin* dlg = Open(b);
    ReportList* own = dlg->OwnList();
    ASSERT_EQ(own->GetItemCount(), 0);
    for (int id : {CDlgFamilyAttrAdmin::IDC_BTN_ADD, CDlgFamilyAttrAdmin::IDC_BTN_MODIFY, CDlgFamilyAttrAdmin::IDC_BTN_DELETE})
        EXPECT_TRUE(Enabled(*dlg, id)) << id;

    // Added through the dialog: nothing until the echo, then numbered count + 1.
    for (const char* name : {"海拔", "坡度"}) {
        const int before = own->GetItemCount();
        ASSERT_EQ(DriveDialog([&] { dlg->OnAdd(); return 1; }, [&](Dialog* d) { Name(d, name); }), 1);
        EXPECT_EQ(own->GetItemCount(), before);
        ASSERT_TRUE(PumpUntil([&] { return own->GetItemCount() == before + 1; }));
        EXPECT_EQ(own->GetItemText(before, 0).toStdString(), std::to_string(before + 1));
        EXPECT_EQ(own->GetItemText(before, 1).toStdString(), name);
    }
    const int height = static_cast<int>(own->GetItemData(0));
    EXPECT_EQ(KX_FamilyXXX().attr_Find(height)->m_nFamilyID, b);

    // Another workstation's attribute of another family never gets a row here.
    OtherAdds(c, "水温");
    PumpFor(200ms);
    EXPECT_EQ(Column(own, 1), (std::vector<std::string>{"海拔", "坡度"}));
    // One of this family does.
    OtherAdds(b, "植被");
    ASSERT_TRUE(PumpUntil([&] { return own->GetItemCount() == 3; }));

    // Modify the selected one.
    Select(own, height);
    ASSERT_EQ(DriveDialog([&] { dlg->OnModify(); return 1; }, [&](Dialog* d) { Name(d, "高程"); }), 1);
    ASSERT_TRUE(PumpUntil([&] { return own->GetItemText(0, 1) == "高程"; }));
    EXPECT_EQ(own->GetItemText(0, 0).toStdString(), "1");

    // Delete after the question; Cancel sends nothing.
    PromptRecorder prompts;
    prompts.Answer(AnswerCancel);
    Select(own, height);
    dlg->OnDelete();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除属性--\"高程\""});
    EXPECT_EQ(prompts.Requests().front().buttons, PromptOkCancel);
    EXPECT_EQ(prompts.Requests().front().icon, PromptQuestion);
    EXPECT_TRUE(other->Quiet(kMsgFamilyAttr, kSubDelete, 300ms));
    dlg->OnDelete(); // answered OK
    ASSERT_TRUE(PumpUntil([&] { return own->FindItemData(height) < 0; }));
    EXPECT_EQ(KX_FamilyXXX().attr_Find(height), nullptr);
    EXPECT_EQ(Column(own, 0), (std::vector<std::string>{"2", "3"}));
    guitest::Screenshot(dlg, "CDlgFamilyAttrAdmin-modify");

    // Nothing selected: no dialog, no question.
    own->clearSelection();
    prompts.Clear();
    ModalDriver none(300);
    none.Then<Dialog>([](Dialog* d) { d->EndDialog(IDCANCEL); });
    dlg->OnModify();
    dlg->OnDelete();
    EXPECT_TRUE(prompts.Texts().empty());
    EXPECT_FALSE(none.Done());
}

TEST_F(FamilyAttrLive, TheObservationEndsWithTheDialog) {
    const int b = Id("family.fam.a");
    Open(b);
    EXPECT_NE(link->GetRegistrant(kSlotFamilyAttrB), nullptr);
    host.reset(); // the dialog goes with its host
    EXPECT_EQ(link->GetRegistrant(kSlotFamilyAttrB), nullptr);
    OtherAdds(b, "石质"); // its notification finds nobody
    PumpFor(100ms);
}

// The family pane opens the dialog; alice may see a family's attributes but not change them.
class FamilyAttrFromThePane : public LoggedOnTest {};

TEST_F(FamilyAttrFromThePane, InformationForEveryoneAndNoChangesForAliceWhomTheServerRefuses) {
    const int b = Id("family.fam.a");
    CWndFamilyTree pane(*link);
    pane.SelectNode(b);
    std::vector<std::pair<std::string, bool>> entries;
    for (QAction* a : pane.BuildMenu()->actions())
        if (!a->isSeparator()) entries.emplace_back(a->text().toStdString(), a->isEnabled());
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, bool>>{
                           {"浏览文件", true}, {"查询文件...", true}, {"族类信息", true}}));
    ASSERT_EQ(DriveDialog([&] { pane.OnCommand(CWndFamilyTree::ID_INFO); return 1; },
                          [](Dialog* d) {
                              auto* dlg = qobject_cast<CDlgFamilyAttrAdmin*>(d);
                              ASSERT_NE(dlg, nullptr);
                              EXPECT_EQ(dlg->windowTitle().toStdString(), "族类信息");
                              EXPECT_EQ(dlg->GetDlgItemAs<QLineEdit>(CDlgFamilyAttrAdmin::IDC_EDT_NAME)
                                            ->text()
                                            .toStdString(),
                                        "山");
                              EXPECT_FALSE(Enabled(*dlg, CDlgFamilyAttrAdmin::IDC_BTN_ADD));
                          }),
              1);
    // The editing mode itself offers alice nothing the server would refuse.
    auto* dlg = new CDlgFamilyAttrAdmin(*link);
    QWidget host;
    dlg->m_Family = *KX_FamilyXXX().family_Find(b);
    dlg->Create(&host);
    for (int id : {CDlgFamilyAttrAdmin::IDC_BTN_ADD, CDlgFamilyAttrAdmin::IDC_BTN_MODIFY, CDlgFamilyAttrAdmin::IDC_BTN_DELETE})
        EXPECT_FALSE(Enabled(*dlg, id)) << id;
    ModalDriver none(300);
    none.Then<Dialog>([](Dialog* d) { d->EndDialog(IDCANCEL); });
    dlg->OnAdd(); // nothing opens
    EXPECT_FALSE(none.Done());
}

TEST_F(FamilyAttrLive, ThePaneOpensTheAttributeModeForTheAdministrator) {
    const int b = Id("family.fam.a");
    CWndFamilyTree pane(*link);
    pane.SelectNode(b);
    std::vector<std::string> enabled;
    for (QAction* a : pane.BuildMenu()->actions())
        if (!a->isSeparator() && a->isEnabled()) enabled.push_back(a->text().toStdString());
    EXPECT_EQ(enabled, (std::vector<std::string>{"浏览文件", "查询文件...", "族类信息", "修改族类", "修改属性", "删除族类"}));
    ASSERT_EQ(DriveDialog([&] { pane.OnCommand(CWndFamilyTree::ID_ATTRS); return 1; },
                          [](Dialog* d) {
                              auto* dlg = qobject_cast<CDlgFamilyAttrAdmin*>(d);
                              ASSERT_NE(dlg, nullptr);
                              EXPECT_EQ(dlg->windowTitle().toStdString(), "修改属性");
                              EXPECT_TRUE(Enabled(*dlg, CDlgFamilyAttrAdmin::IDC_BTN_ADD));
                              guitest::Screenshot(dlg, "CDlgFamilyAttrAdmin-edit");
                          }),
              1);
}

} // namespace
