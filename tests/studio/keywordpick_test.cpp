// The keyword picker of the binding dialog and the keyword query dialog's chooser: the two sets
// and their moves step by step, a file's own keywords bound at the start, the query dialog's mode
// and its refusal of an empty pick, and both sets following the server's keyword changes.
#include "studio/support/StudioTestKit.h"

#include "dlg/CDlgKeywordBind.h"
#include "dlg/CDlgKeywordChooser.h"
#include "dlg/CDlgQueryKeyword.h"
#include "dlg/CKeywordPickPanel.h"
#include "dlg/KeywordCommands.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/gui/DialogSteps.h"
#include "support/gui/Screenshot.h"
#include "ui/KxShowDlg.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>

using namespace studiotest;
using namespace kx;

namespace {

std::vector<std::string> ListNames(const CKeywordPickPanel& p) {
    std::vector<std::string> out;
    for (int r = 0; r < p.List()->GetItemCount(); ++r) out.push_back(p.List()->GetItemText(r, 0).toStdString());
    return out;
}

std::vector<std::string> BoundNames(const CKeywordPickPanel& p) {
    std::vector<std::string> out;
    for (int r = 0; r < p.BoundList()->count(); ++r) out.push_back(p.BoundList()->item(r)->text().toStdString());
    return out;
}

void SelectGroup(CKeywordPickPanel& p, int group) { // 0: the root
    p.Tree()->SelectItem(group == 0 ? p.RootItem() : p.GroupItem(group));
}

void SelectRow(CKeywordPickPanel& p, const std::string& name) {
    p.List()->clearSelection();
    for (int r = 0; r < p.List()->GetItemCount(); ++r)
        if (p.List()->GetItemText(r, 0).toStdString() == name) p.List()->topLevelItem(r)->setSelected(true);
}

void Click(CKeywordPickPanel& p, int button) {
    auto* b = p.findChild<QPushButton*>(QString::number(button));
    ASSERT_NE(b, nullptr);
    QTest::mouseClick(b, Qt::LeftButton);
}

void DoubleClickRow(CKeywordPickPanel& p, const std::string& name) {
    for (int r = 0; r < p.List()->GetItemCount(); ++r)
        if (p.List()->GetItemText(r, 0).toStdString() == name) {
            const QRect at = p.List()->visualItemRect(p.List()->topLevelItem(r));
            QTest::mouseDClick(p.List()->viewport(), Qt::LeftButton, {}, at.center());
            return;
        }
    ADD_FAILURE() << "no row " << name;
}

std::vector<std::pair<int, int>> Links(const CDlgKeywordBind& dlg) {
    CkxKeywordLinkList links;
    dlg.GetKeywordLinks(links);
    std::vector<std::pair<int, int>> out;
    links.ForEach([&](const CkxKeywordLink& l) { out.emplace_back(l.m_nFileID, l.m_nKeywordID); });
    return out;
}

// Two groups and five keywords in the cache, no server: what the picker does on its own.
class KeywordPickModel : public StudioTest {
protected:
    enum { kPeople = 1, kPlaces = 2, kFace = 11, kSmile = 12, kBeach = 13, kHill = 14, kLoose = 15 };
    void SetUp() override {
        StudioTest::SetUp();
        link = std::make_unique<TestStudioLink>();
        CkxXXX& c = KX_KXXXX();
        for (const auto& [id, name] : {std::pair{kPeople, "人物"}, std::pair{kPlaces, "地点"}}) {
            CkxKeywordGroup g;
            g.m_nID = id;
            g.m_strName = name;
            c.m_KeywordGroupList.AddTail(g);
        }
        const std::tuple<int, int, const char*> keywords[] = {{kFace, kPeople, "脸"}, {kSmile, kPeople, "笑"},
                                                              {kBeach, kPlaces, "海滩"}, {kHill, kPlaces, "山"},
                                                              {kLoose, -1, "无组"}};
        for (const auto& [id, group, name] : keywords) {
            CkxKeyword k;
            k.m_nID = id;
            k.m_nGroupID = group;
            k.m_strName = name;
            k.m_strNote = std::string("注") + name;
            c.m_KeywordList.AddTail(k);
        }
    }
};

TEST_F(KeywordPickModel, StepsOverTheTwoSets) {
    QWidget host;
    host.resize(640, 460);
    CDlgKeywordBind* bind = new CDlgKeywordBind(*link);
    ASSERT_TRUE(bind->Create(&host));
    host.show();
    CKeywordPickPanel& p = *bind->Panel();
    EXPECT_EQ(p.Tree()->GetItemText(p.RootItem()).toStdString(), "关键字组");
    EXPECT_EQ(p.List()->GetItemText(0, 1).toStdString(), "注脸");

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> list, bound;
        std::vector<int> links;
    };
    const Step steps[] = {
        {"the root lists every keyword", [&] { SelectGroup(p, 0); }, {"脸", "笑", "海滩", "山", "无组"}, {}, {}},
        {"a group lists its own", [&] { SelectGroup(p, kPeople); }, {"脸", "笑"}, {}, {}},
        {">> binds the selected row", [&] { SelectRow(p, "笑"); Click(p, CKeywordPickPanel::IDC_BIND); },
         {"脸"}, {"笑"}, {kSmile}},
        {"a double click binds", [&] { DoubleClickRow(p, "脸"); }, {}, {"笑", "脸"}, {kSmile, kFace}},
        {">| at the root binds nothing", [&] { SelectGroup(p, 0); Click(p, CKeywordPickPanel::IDC_BIND_GROUP); },
         {"海滩", "山", "无组"}, {"笑", "脸"}, {kSmile, kFace}},
        {">| binds the group's keywords", [&] { SelectGroup(p, kPlaces); Click(p, CKeywordPickPanel::IDC_BIND_GROUP); },
         {}, {"笑", "脸", "海滩", "山"}, {kSmile, kFace, kBeach, kHill}},
        {"binding a bound id again moves nothing", [&] { p.Bind(kSmile); }, {}, {"笑", "脸", "海滩", "山"},
         {kSmile, kFace, kBeach, kHill}},
        {"<< unbinds the current line", [&] { p.BoundList()->setCurrentRow(1); Click(p, CKeywordPickPanel::IDC_UNBIND); },
         {}, {"笑", "海滩", "山"}, {kSmile, kBeach, kHill}},
        {"the unbound keyword is back in its group", [&] { SelectGroup(p, kPeople); }, {"脸"}, {"笑", "海滩", "山"},
         {kSmile, kBeach, kHill}},
        {"|< unbinds all, each to the end", [&] { Click(p, CKeywordPickPanel::IDC_UNBIND_ALL); }, {"脸", "笑"}, {}, {}},
        {"in set order at the root", [&] { SelectGroup(p, 0); }, {"无组", "脸", "笑", "海滩", "山"}, {}, {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        EXPECT_EQ(ListNames(p), s.list);
        EXPECT_EQ(BoundNames(p), s.bound);
        std::vector<std::pair<int, int>> want;
        for (int id : s.links) want.emplace_back(-1, id); // no file: -1
        EXPECT_EQ(Links(*bind), want);
    }
}

TEST_F(KeywordPickModel, TheFilesKeywordsStartBoundInLinkOrderAndWithoutAFileTheEditsStayEmpty) {
    CkxFile file;
    file.m_nID = 99;
    file.m_strTitle = "海边";
    file.m_strExName = "jpg";
    file.m_strRemark = "夏天";
    KX_KXXXX().m_KeywordLinkList.AddTail(CkxKeywordLink(99, kBeach));
    KX_KXXXX().m_KeywordLinkList.AddTail(CkxKeywordLink(98, kSmile)); // another file's
    KX_KXXXX().m_KeywordLinkList.AddTail(CkxKeywordLink(99, kFace));
    KX_KXXXX().m_KeywordLinkList.AddTail(CkxKeywordLink(99, 77)); // a keyword that no longer exists
    const auto text = [](Dialog* d, int id) { return d->findChild<QLineEdit*>(QString::number(id))->text().toStdString(); };

    std::vector<std::pair<int, int>> links;
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgKeywordBind dlg(*link);
                      dlg.m_pFile = &file;
                      const int r = dlg.DoModal();
                      links = Links(dlg);
                      return r;
                  },
                  [&](Dialog* d) {
                      EXPECT_EQ(text(d, CDlgKeywordBind::IDC_NAME), "海边.jpg");
                      EXPECT_EQ(text(d, CDlgKeywordBind::IDC_NOTE), "夏天");
                      EXPECT_TRUE(d->findChild<QLineEdit*>(QString::number(CDlgKeywordBind::IDC_NAME))->isReadOnly());
                      auto* bind = qobject_cast<CDlgKeywordBind*>(d);
                      ASSERT_NE(bind, nullptr);
                      EXPECT_EQ(BoundNames(*bind->Panel()), (std::vector<std::string>{"海滩", "脸"}));
                      EXPECT_EQ(ListNames(*bind->Panel()), (std::vector<std::string>{"笑", "山", "无组"}));
                      guitest::Screenshot(d, "studio_keyword_bind");
                  }),
              IDOK);
    EXPECT_EQ(links, (std::vector<std::pair<int, int>>{{99, kBeach}, {99, kFace}}));

    ASSERT_EQ(guitest::DriveDialog([&] { CDlgKeywordBind dlg(*link); return dlg.DoModal(); },
                                   [&](Dialog* d) {
                                       for (int id : {CDlgKeywordBind::IDC_NAME, CDlgKeywordBind::IDC_FAMILY,
                                                      CDlgKeywordBind::IDC_NOTE})
                                           EXPECT_EQ(text(d, id), "");
                                   },
                                   IDCANCEL),
              IDCANCEL);
}

TEST_F(KeywordPickModel, TheQueryDialogRefusesAnEmptyPickAndGivesIdsInBoundOrderWithTheMode) {
    PromptRecorder prompts;
    std::vector<int> ids;
    bool all = false, any = false;
    ASSERT_EQ(guitest::DriveDialog(
                  [&] {
                      CDlgQueryKeyword dlg(*link);
                      const int r = dlg.DoModal();
                      ids = dlg.m_keywordIds;
                      all = dlg.IsMatchAll();
                      any = dlg.IsMatchAny();
                      return r;
                  },
                  [&](Dialog* d) {
                      auto* q = qobject_cast<CDlgQueryKeyword*>(d);
                      ASSERT_NE(q, nullptr);
                      auto* allButton = d->findChild<QRadioButton*>(QString::number(CDlgQueryKeyword::IDC_MATCH_ALL));
                      auto* anyButton = d->findChild<QRadioButton*>(QString::number(CDlgQueryKeyword::IDC_MATCH_ANY));
                      EXPECT_TRUE(allButton->isChecked());
                      EXPECT_FALSE(anyButton->isChecked());
                      EXPECT_TRUE(q->IsMatchAll());
                      // OK with nothing bound: the warning, and the dialog stays.
                      QTest::mouseClick(d->findChild<QPushButton*>(QString::number(IDOK)), Qt::LeftButton);
                      EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"请指定查询关键字"});
                      EXPECT_TRUE(d->isVisible());
                      QTest::mouseClick(anyButton, Qt::LeftButton);
                      EXPECT_FALSE(allButton->isChecked());
                      EXPECT_TRUE(anyButton->isChecked());
                      QTest::mouseClick(allButton, Qt::LeftButton);
                      QTest::mouseClick(anyButton, Qt::LeftButton);
                      CKeywordPickPanel& p = *q->Chooser()->Panel();
                      p.Bind(kHill);
                      p.Bind(kFace);
                      p.Bind(kSmile);
                      guitest::Screenshot(d, "studio_keyword_query");
                  }),
              IDOK);
    EXPECT_EQ(ids, (std::vector<int>{kHill, kFace, kSmile}));
    EXPECT_FALSE(all);
    EXPECT_TRUE(any);
}

TEST_F(KeywordPickModel, TheChoosersMenusFollowTheSelection) {
    QWidget host;
    host.resize(640, 400);
    auto* chooser = new CDlgKeywordChooser(*link);
    ASSERT_TRUE(chooser->Create(&host));
    host.show();
    guitest::Screenshot(chooser, "studio_keyword_chooser");
    CKeywordPickPanel& p = *chooser->Panel();
    const auto entries = [](PopupMenu* menu) {
        std::vector<std::string> out;
        if (!menu) return out;
        for (QAction* a : menu->actions())
            if (!a->isSeparator()) out.push_back(a->text().toStdString());
        return out;
    };
    struct Row {
        int group; // 0: the root
        const char* row;
        std::vector<std::string> list, tree;
    };
    const std::vector<std::string> keywordMenu = {"新建关键字", "修改关键字", "删除关键字"};
    const Row rows[] = {
        {0, nullptr, {"新建关键字"}, {"新建分组"}},
        {0, "海滩", keywordMenu, {"新建分组"}},
        {kPlaces, nullptr, {"新建关键字"}, {"新建关键字", "修改分组", "删除分组"}},
        {kPlaces, "山", keywordMenu, {"新建关键字", "修改分组", "删除分组"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.group) + " / " + (r.row ? r.row : "-"));
        SelectGroup(p, r.group);
        if (r.row) SelectRow(p, r.row);
        EXPECT_EQ(entries(chooser->BuildListMenu()), r.list);
        EXPECT_EQ(entries(chooser->BuildTreeMenu()), r.tree);
    }
}

// Against the server as alice, who may change keywords.
class KeywordPickLive : public LoggedOnTest {
protected:
    void SetUp() override {
        LoggedOnTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(PumpUntil([&] { return KX_KXXXX().m_KeywordList.GetCount() == 3 && KX_KXXXX().m_KeywordLinkList.GetCount() >= 3; }));
    }
    static void SetName(Dialog* d, const char* name) {
        d->findChild<QLineEdit*>(QString::number(IDC_EDT_NAME))->setText(QString::fromUtf8(name));
    }
    int KeywordNamed(const std::string& name) const {
        int id = -1;
        KX_KXXXX().m_KeywordList.ForEach([&](const CkxKeyword& k) {
            if (k.m_strName == name) id = k.GetID();
        });
        return id;
    }
};

TEST_F(KeywordPickLive, BothSetsFollowKeywordsChangedWhileOpen) {
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    QWidget host;
    host.resize(700, 460);
    auto* bind = new CDlgKeywordBind(*link);
    CkxFileX fileA;
    fileA.CreateObj(CkxFile());
    fileA.GetObj()->m_nID = Id("file.a");
    bind->m_pFile = fileA.GetObj();
    ASSERT_TRUE(bind->Create(&host));
    auto* chooser = new CDlgKeywordChooser(*link);
    ASSERT_TRUE(chooser->Create(&host));
    host.show();
    CKeywordPickPanel& b = *bind->Panel();
    CKeywordPickPanel& c = *chooser->Panel();
    // file.a holds 脸 and 海滩: bound from the start, missing from the list.
    EXPECT_EQ(BoundNames(b), (std::vector<std::string>{"脸", "海滩"}));
    EXPECT_EQ(ListNames(b), std::vector<std::string>{"笑"});
    c.Bind(Id("keyword.smile"));
    c.Bind(Id("keyword.face"));

    // Another workstation renames 脸 and deletes 笑; a keyword made in the chooser joins both.
    CkxKeyword face = *KX_KXXXX().m_KeywordList.Find(Id("keyword.face"));
    face.m_strName = "面孔";
    ASSERT_TRUE(SendPieces(*su, kMsgKeyword, kSubModify, {Bytes(face.GetComData())}));
    ASSERT_TRUE(PumpUntil([&] { return BoundNames(c) == std::vector<std::string>{"笑", "面孔"}; }));
    EXPECT_EQ(BoundNames(b), (std::vector<std::string>{"面孔", "海滩"}));
    PromptRecorder prompts;
    c.Tree()->SelectItem(c.RootItem());
    SelectRow(c, "海滩");
    chooser->OnCommand(keywordcmd::ID_KEYWORD_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除关键字 \"海滩\""});
    ASSERT_TRUE(PumpUntil([&] { return !KX_KXXXX().m_KeywordList.Find(Id("keyword.beach")); }));
    PumpFor(100ms);
    EXPECT_EQ(BoundNames(b), std::vector<std::string>{"面孔"});
    EXPECT_EQ(ListNames(c), std::vector<std::string>{});
    ASSERT_TRUE(SendPieces(*su, kMsgKeyword, kSubDelete, {std::to_string(Id("keyword.smile"))}));
    ASSERT_TRUE(PumpUntil([&] { return BoundNames(c) == std::vector<std::string>{"面孔"}; }));
    EXPECT_EQ(ListNames(b), std::vector<std::string>{});
    std::vector<int> ids;
    EXPECT_EQ(chooser->GetKeywordIds(ids), 1);
    EXPECT_EQ(ids, std::vector<int>{Id("keyword.face")});
    EXPECT_EQ(Links(*bind), (std::vector<std::pair<int, int>>{{Id("file.a"), Id("keyword.face")}}));

    ASSERT_EQ(guitest::DriveDialog([&] { chooser->OnCommand(keywordcmd::ID_KEYWORD_NEW); return 1; },
                                   [](Dialog* d) { SetName(d, "山顶"); }),
              1);
    ASSERT_TRUE(PumpUntil([&] { return ListNames(c) == std::vector<std::string>{"山顶"}; }));
    EXPECT_EQ(ListNames(b), std::vector<std::string>{"山顶"});
    EXPECT_EQ(KX_KXXXX().m_KeywordList.Find(KeywordNamed("山顶"))->m_nGroupID, -1); // made at the root

    // Reloads leave every row, line and group once.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(link->SendKeywordListRequest(), 1);
        ASSERT_EQ(link->SendKeywordGroupListRequest(), 1);
    }
    PumpFor(600ms);
    EXPECT_EQ(ListNames(c), std::vector<std::string>{"山顶"});
    EXPECT_EQ(BoundNames(c), std::vector<std::string>{"面孔"});
    EXPECT_EQ(BoundNames(b), std::vector<std::string>{"面孔"});
    EXPECT_EQ(c.Tree()->GetChildItem(c.RootItem()) ? 2 : 0, 2);
    int groups = 0;
    for (HTREEITEM g = c.Tree()->GetChildItem(c.RootItem()); g; g = c.Tree()->GetNextSiblingItem(g)) ++groups;
    EXPECT_EQ(groups, 2);
}

TEST_F(KeywordPickLive, TheChooserDeletesAGroupOnlyAfterTheQuestion) {
    QWidget host;
    host.resize(640, 400);
    auto* chooser = new CDlgKeywordChooser(*link);
    ASSERT_TRUE(chooser->Create(&host));
    host.show();
    CKeywordPickPanel& p = *chooser->Panel();
    p.Tree()->SelectItem(p.GroupItem(Id("group.places")));
    PromptRecorder prompts;
    prompts.Answer(AnswerCancel);
    chooser->OnCommand(keywordcmd::ID_GROUP_DELETE);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"确定删除关键字分组 \"地点\""});
    PumpFor(300ms);
    ASSERT_NE(p.GroupItem(Id("group.places")), nullptr);
    prompts.Answer(AnswerOk);
    chooser->OnCommand(keywordcmd::ID_GROUP_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return p.GroupItem(Id("group.places")) == nullptr; }));
    // The group's keyword stays on the server and shows under the root, now selected.
    EXPECT_EQ(p.Tree()->GetSelectedItem(), p.RootItem());
    EXPECT_EQ(ListNames(p), (std::vector<std::string>{"脸", "笑", "海滩"}));
}

} // namespace
