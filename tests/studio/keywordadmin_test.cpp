// The keyword administration dialog against the studio server (alice may change keywords): the
// group tree and the keywords of the selected group, the menus by selection, a keyword created
// in a group showing there and under the root only, renames and deletes after the question, a
// group's life, and reloads that never double anything.
#include "studio/support/StudioTestKit.h"

#include "dlg/CDlgKeywordAdmin.h"
#include "dlg/KeywordCommands.h"
#include "model/CkxXXX.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "ui/KxShowDlg.h"

#include <QLineEdit>

using namespace studiotest;
using namespace kx;

namespace {

class KeywordAdmin : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().m_KeywordGroupList.GetCount() == 2; }));
        host = std::make_unique<QWidget>();
        host->resize(600, 420);
        dlg = new CDlgKeywordAdmin(*link);
        ASSERT_TRUE(dlg->Create(host.get()));
        host->show();
    }
    void TearDown() override {
        host.reset();
        LoggedOnTest::TearDown();
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (int r = 0; r < dlg->List()->GetItemCount(); ++r) out.push_back(dlg->List()->GetItemText(r, 0).toStdString());
        return out;
    }
    std::vector<std::string> Groups() const {
        std::vector<std::string> out;
        for (HTREEITEM c = dlg->Tree()->GetChildItem(dlg->RootItem()); c; c = dlg->Tree()->GetNextSiblingItem(c))
            out.push_back(dlg->Tree()->GetItemText(c).toStdString());
        return out;
    }
    void SelectGroup(const char* key) {
        dlg->Tree()->SelectItem(key ? dlg->GroupItem(Id(key)) : dlg->RootItem());
    }
    void SelectRow(const std::string& name) {
        dlg->List()->clearSelection();
        for (int r = 0; r < dlg->List()->GetItemCount(); ++r)
            if (dlg->List()->GetItemText(r, 0).toStdString() == name) dlg->List()->topLevelItem(r)->setSelected(true);
    }
    static std::vector<std::string> Entries(PopupMenu* menu) {
        std::vector<std::string> out;
        if (!menu) return out;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) out.push_back(a->text().toStdString());
        return out;
    }
    static void SetName(Dialog* d, const char* name) {
        d->findChild<QLineEdit*>(QString::number(IDC_EDT_NAME))->setText(QString::fromUtf8(name));
    }
    std::unique_ptr<QWidget> host;
    CDlgKeywordAdmin* dlg = nullptr;
};

TEST_F(KeywordAdmin, TreeListAndMenusBySelection) {
    EXPECT_EQ(dlg->Tree()->GetItemText(dlg->RootItem()).toStdString(), "关键字分组");
    EXPECT_EQ(Groups(), (std::vector<std::string>{"人物", "地点"}));
    SelectGroup(nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"脸", "笑", "海滩"}));
    SelectGroup("group.people");
    EXPECT_EQ(Names(), (std::vector<std::string>{"脸", "笑"}));
    EXPECT_EQ(dlg->List()->GetItemText(0, 1).toStdString(), "人物");
    guitest::Screenshot(dlg, "studio_keyword_admin");

    struct Row {
        const char* group; // null: the root
        const char* row;   // null: none selected
        std::vector<std::string> list, tree;
    };
    const Row rows[] = {
        {nullptr, nullptr, {}, {"新建分组"}},
        {nullptr, "脸", {"修改关键字", "删除关键字"}, {"新建分组"}},
        {"group.people", nullptr, {"新建关键字"}, {"新建关键字", "修改分组", "删除分组"}},
        {"group.people", "笑", {"新建关键字", "修改关键字", "删除关键字"}, {"新建关键字", "修改分组", "删除分组"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.group ? r.group : "root") + " / " + (r.row ? r.row : "-"));
        SelectGroup(r.group);
        if (r.row) SelectRow(r.row);
        EXPECT_EQ(Entries(dlg->BuildListMenu()), r.list);
        EXPECT_EQ(Entries(dlg->BuildTreeMenu()), r.tree);
    }
}

TEST_F(KeywordAdmin, AKeywordMadeInAGroupShowsThereAndUnderTheRootOnly) {
    SelectGroup("group.places");
    ASSERT_EQ(guitest::DriveDialog([&] { dlg->OnCommand(CDlgKeywordAdmin::ID_KEYWORD_NEW); return 1; },
                                   [](Dialog* d) { SetName(d, "山顶"); }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return Names() == std::vector<std::string>{"海滩", "山顶"}; }));
    int made = -1;
    KX_KXXXX().m_KeywordList.ForEach([&](const CkxKeyword& k) {
        if (k.m_strName == "山顶") made = k.GetID();
    });
    ASSERT_GT(made, 0);
    EXPECT_EQ(KX_KXXXX().m_KeywordList.Find(made)->m_nGroupID, Id("group.places"));
    SelectGroup("group.people");
    EXPECT_EQ(Names(), (std::vector<std::string>{"脸", "笑"}));
    SelectGroup(nullptr);
    EXPECT_EQ(Names(), (std::vector<std::string>{"脸", "笑", "海滩", "山顶"}));

    // Rename, then delete after the question (Cancel first sends nothing).
    SelectRow("山顶");
    ASSERT_EQ(guitest::DriveDialog([&] { dlg->OnCommand(CDlgKeywordAdmin::ID_KEYWORD_MODIFY); return 1; },
                                   [](Dialog* d) { SetName(d, "峰顶"); }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return Names().back() == "峰顶"; }));
    PromptRecorder prompts;
    prompts.Answer(AnswerCancel);
    SelectRow("峰顶");
    dlg->OnCommand(CDlgKeywordAdmin::ID_KEYWORD_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除关键字 \"峰顶\""});
    PumpFor(300ms);
    EXPECT_EQ(Names().size(), 4u);
    dlg->OnCommand(CDlgKeywordAdmin::ID_KEYWORD_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return Names().size() == 3; }));

    // Reloads leave every row and item once.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(link->SendKeywordListRequest(), 1);
        ASSERT_EQ(link->SendKeywordGroupListRequest(), 1);
    }
    PumpFor(600ms);
    EXPECT_EQ(Names(), (std::vector<std::string>{"脸", "笑", "海滩"}));
    EXPECT_EQ(Groups(), (std::vector<std::string>{"人物", "地点"}));
}

TEST_F(KeywordAdmin, AGroupIsMadeOnlyAtTheRootAndDeletedAfterTheQuestion) {
    SelectGroup("group.people");
    PumpFor(50ms);
    dlg->OnCommand(CDlgKeywordAdmin::ID_GROUP_NEW); // not at a group: nothing opens
    SelectGroup(nullptr);
    ASSERT_EQ(guitest::DriveDialog([&] { dlg->OnCommand(CDlgKeywordAdmin::ID_GROUP_NEW); return 1; },
                                   [](Dialog* d) { SetName(d, "事件"); }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return Groups() == std::vector<std::string>{"人物", "地点", "事件"}; }));
    HTREEITEM added = nullptr;
    for (HTREEITEM c = dlg->Tree()->GetChildItem(dlg->RootItem()); c; c = dlg->Tree()->GetNextSiblingItem(c))
        if (dlg->Tree()->GetItemText(c) == "事件") added = c;
    ASSERT_NE(added, nullptr);
    dlg->Tree()->SelectItem(added);
    PromptRecorder prompts;
    dlg->OnCommand(CDlgKeywordAdmin::ID_GROUP_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除关键字分组 \"事件\""});
    ASSERT_TRUE(PumpUntil([&] { return Groups() == std::vector<std::string>{"人物", "地点"}; }));
}

} // namespace
