// Keeper's operator groups and log panes against the real server: groups and their members
// through the group dialog, the log filtered by level, category, user and days, and the log's
// deletion before a chosen day.
#include "console/support/KeeperTestKit.h"

#include "dlg/CDlgLogQuery.h"
#include "dlg/CDlgOperatorGroup.h"
#include "frame/CMainFrame.h"
#include "frame/CWorkRightView.h"
#include "model/CkxXXX.h"
#include "pane/CWndLog.h"
#include "pane/CWndOperatorGroup.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPopupMenu.h"
#include "qt/KxReportList.h"
#include "support/gui/Screenshot.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTreeWidget>

namespace keepertest {
namespace {

using namespace kx;

// The day the test server's mixed log lines end on (and D-1, D-3 before it).
constexpr const char* kLogDay = "2020-06-10";

class KeeperGroupsLog : public KeeperTest {
protected:
    void SetUp() override {
        KeeperTest::SetUp();
        ASSERT_TRUE(Serve({"--log-mix", kLogDay}).Ok());
        ASSERT_TRUE(StartLoggedOn(app(), "su", kSuPassword));
        ASSERT_TRUE(WaitForLists());
    }
    CWndOperatorGroup& Groups() {
        return *app().GetMainFrame()->RightView()->findChild<CWndOperatorGroup*>("CWndOperatorGroup");
    }
    CWndLog& Log() { return *app().GetMainFrame()->RightView()->findChild<CWndLog*>("CWndLog"); }
    int Id(const char* key) { return Serve().Id(key); }

    static void CheckUsers(CDlgOperatorGroup* d, const std::vector<std::string>& logons) {
        ReportList* list = d->UserList();
        for (int row = 0; row < list->GetItemCount(); ++row)
            list->SetCheck(row, std::count(logons.begin(), logons.end(), list->GetItemText(row, 0).toStdString()) > 0);
    }
    std::vector<std::string> MemberNames() {
        std::vector<std::string> names;
        for (int row = 0; row < Groups().Members()->GetItemCount(); ++row)
            names.push_back(Groups().Members()->GetItemText(row, 0).toStdString());
        return names;
    }
    void SelectGroup(const std::string& name) {
        QTreeWidgetItem* item = nullptr;
        for (int i = 0; i < Groups().Root()->childCount(); ++i)
            if (Groups().Root()->child(i)->text(0).toStdString() == name) item = Groups().Root()->child(i);
        ASSERT_NE(item, nullptr) << name;
        Groups().Tree()->setCurrentItem(item);
    }
    int GroupCount(const std::string& name) {
        int n = 0;
        for (int i = 0; i < Groups().Root()->childCount(); ++i) n += Groups().Root()->child(i)->text(0).toStdString() == name;
        return n;
    }

    // Runs a query through the dialog and waits for its rows; the texts of the rows.
    std::vector<std::string> Query(int level, int category, int user, const QDate& from, const QDate& to,
                                   size_t expected) {
        EXPECT_TRUE(DriveCommand<CDlgLogQuery>(Log(), CWndLog::ID_QUERY, [&](CDlgLogQuery* d) {
            d->Levels()->setCurrentIndex(d->Levels()->findData(level));
            d->Categories()->setCurrentIndex(d->Categories()->findData(category));
            d->Users()->setCurrentIndex(d->Users()->findData(user));
            d->Start()->setDate(from);
            d->End()->setDate(to);
            ClickId(d, IDOK);
        }));
        PumpUntil([&] { return static_cast<size_t>(Log().GetItemCount()) >= expected; }, 5s);
        PumpFor(200ms);
        std::vector<std::string> texts;
        for (int row = 0; row < Log().GetItemCount(); ++row) texts.push_back(Log().GetItemText(row, 5).toStdString());
        return texts;
    }
    // The lines another administrator's workstation gets for the whole seeded range.
    std::vector<std::string> ServerLines(const QDate& from, const QDate& to) {
        std::vector<std::string> texts;
        auto sysop = Serve().LogOn("sysop", kSysopPassword);
        if (!sysop) return texts;
        CkxLog filter;
        filter.SetQueryTime(COleDateTime(from.year(), from.month(), from.day(), 0, 0, 0),
                            COleDateTime(to.year(), to.month(), to.day(), 0, 0, 0));
        sysop->SendRecord(kMsgLogQuery, kSubNone, filter.GetComData());
        if (!sysop->Quiet(kMsgLogQuery, -1, 500ms))
            if (const auto series = sysop->WaitSeries(kMsgLogQuery, kSubNone))
                for (const srvtest::Answer& a : *series) {
                    CkxLog::_COM com{};
                    if (a.As(com)) texts.push_back(CkxLog(com).m_strEvent);
                }
        return texts;
    }
};

TEST_F(KeeperGroupsLog, GroupsAndTheirMembersFollowTheServer) {
    CWndOperatorGroup& pane = Groups();
    ASSERT_TRUE(DriveCommand<CDlgOperatorGroup>(pane, CWndOperatorGroup::ID_NEW, [&](CDlgOperatorGroup* d) {
        d->GetDlgItemAs<QLineEdit>(CDlgOperatorGroup::IDC_NAME)->setText("编辑部");
        CheckUsers(d, {"alice", "bob"});
        guitest::Screenshot(d, "CDlgOperatorGroup");
        ClickId(d, IDOK);
    }));
    ASSERT_TRUE(PumpUntil([&] { return GroupCount("编辑部") == 1; }));
    SelectGroup("编辑部");
    EXPECT_EQ(MemberNames(), (std::vector<std::string>{"alice", "bob"}));

    // Associate: only the members change, and the member list follows the echo.
    ASSERT_TRUE(DriveCommand<CDlgOperatorGroup>(pane, CWndOperatorGroup::ID_ASSOCIATE, [&](CDlgOperatorGroup* d) {
        EXPECT_TRUE(d->GetDlgItemAs<QLineEdit>(CDlgOperatorGroup::IDC_NAME)->isReadOnly());
        CheckUsers(d, {"carol"});
        ClickId(d, IDOK);
    }));
    ASSERT_TRUE(PumpUntil([&] { return MemberNames() == std::vector<std::string>{"carol"}; }));

    ASSERT_TRUE(DriveCommand<CDlgOperatorGroup>(pane, CWndOperatorGroup::ID_MODIFY, [&](CDlgOperatorGroup* d) {
        d->GetDlgItemAs<QLineEdit>(CDlgOperatorGroup::IDC_NAME)->setText("采编部");
        ClickId(d, IDOK);
    }));
    ASSERT_TRUE(PumpUntil([&] { return GroupCount("采编部") == 1 && GroupCount("编辑部") == 0; }));

    SelectGroup("采编部");
    prompts.Answer(AnswerOk);
    pane.OnCommand(CWndOperatorGroup::ID_DELETE);
    EXPECT_EQ(prompts.LastText(), CWndOperatorGroup::kDeleteQuestion);
    ASSERT_TRUE(PumpUntil([&] { return GroupCount("采编部") == 0; }));
    EXPECT_TRUE(MemberNames().empty());
}

TEST_F(KeeperGroupsLog, AMemberNoAccountHasIsNeitherShownNorKept) {
    CkxUserGroup group;
    group.m_strName = "幽灵";
    group.m_UserList = {Id("user.alice"), 987654};
    ASSERT_EQ(link.SendGroupAddRequest(group), 1);
    ASSERT_TRUE(PumpUntil([&] { return GroupCount("幽灵") == 1; }));
    SelectGroup("幽灵");
    EXPECT_EQ(MemberNames(), std::vector<std::string>{"alice"});
    ASSERT_TRUE(DriveCommand<CDlgOperatorGroup>(Groups(), CWndOperatorGroup::ID_MODIFY, [&](CDlgOperatorGroup* d) { ClickId(d, IDOK); }));
    const int id = Groups().Tree()->currentItem()->data(0, Qt::UserRole).toInt();
    ASSERT_TRUE(PumpUntil([&] {
        const CkxUserGroup* g = KX_KXXXX().m_UserGroupList.Find(id);
        return g && g->m_UserList == std::vector<int32_t>{Id("user.alice")};
    }));
    // Asked again, every group is there once.
    ASSERT_EQ(link.SendGroupListRequest(), 1);
    PumpFor(500ms);
    EXPECT_EQ(GroupCount("幽灵"), 1);
    // Nothing selected: "Node", whose commands then do nothing.
    Groups().Tree()->setCurrentItem(nullptr);
    EXPECT_EQ(Groups().PopupIndex(), 1);
    EXPECT_EQ(Groups().Menu(1)->actions().size(), 6); // new, modify, delete, associate, two separators
    for (int command : {CWndOperatorGroup::ID_MODIFY, CWndOperatorGroup::ID_DELETE, CWndOperatorGroup::ID_ASSOCIATE})
        Groups().OnCommand(command); // no dialog, no question
    EXPECT_EQ(prompts.Count(), 0u);
    app().GetMainFrame()->RightView()->ShowGroupPane();
    SelectGroup("幽灵");
    guitest::Screenshot(app().GetMainFrame(), "keeper_groups");
}

TEST_F(KeeperGroupsLog, TheDialogsCheckButtonsSetTheRows) {
    struct Row {
        const char* name;
        std::vector<bool> before;
        int button;
        std::vector<bool> after;
    };
    const Row rows[] = {
        {"reset", {true, false, true}, CDlgOperatorGroup::IDC_RESET, {false, false, false}},
        {"all", {true, false, false}, CDlgOperatorGroup::IDC_ALL, {true, true, true}},
        {"invert", {true, false, true}, CDlgOperatorGroup::IDC_INVERT, {false, true, false}},
        {"invert everything", {true, true, true}, CDlgOperatorGroup::IDC_INVERT, {false, false, false}},
    };
    ASSERT_TRUE(DriveCommand<CDlgOperatorGroup>(Groups(), CWndOperatorGroup::ID_NEW, [&](CDlgOperatorGroup* d) {
        ReportList* list = d->UserList();
        ASSERT_GE(list->GetItemCount(), 3);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            for (int r = 0; r < list->GetItemCount(); ++r) list->SetCheck(r, r < 3 ? row.before[r] : row.before[2]);
            ClickId(d, row.button);
            for (int r = 0; r < 3; ++r) EXPECT_EQ(list->GetCheck(r), row.after[r]) << r;
        }
        // An empty name is refused with the focus on it.
        ClickId(d, IDOK);
        EXPECT_EQ(prompts.LastText(), CDlgOperatorGroup::kNameEmpty);
        EXPECT_TRUE(d->GetDlgItem(CDlgOperatorGroup::IDC_NAME)->hasFocus());
        ClickId(d, IDCANCEL);
    }));
}

TEST_F(KeeperGroupsLog, TheLogIsFilteredAndShownInTimeOrder) {
    const QDate d = QDate::fromString(kLogDay, "yyyy-MM-dd");
    const QString dm1 = d.addDays(-1).toString("yyyy-M-d"), dm3 = d.addDays(-3).toString("yyyy-M-d"),
                  d0 = d.toString("yyyy-M-d");
    auto line = [](const QString& day, const char* what) { return (day + " " + what).toStdString(); };
    const int su = Id("user.su"), alice = Id("user.alice");
    struct Row {
        const char* name;
        int level, category, user;
        QDate from, to;
        std::vector<std::string> texts;
    };
    const Row rows[] = {
        {"warnings", 2, 0, 0, d.addDays(-3), d, {line(dm3, "用户"), line(dm1, "用户"), line(d0, "用户")}},
        {"file administration", 0, 20, 0, d.addDays(-3), d, {line(dm3, "文件"), line(dm1, "文件"), line(d0, "文件")}},
        {"alice", 0, 0, alice, d.addDays(-3), d, {line(dm3, "用户"), line(dm1, "用户"), line(d0, "用户")}},
        {"su's log-ons", 1, 2, su, d.addDays(-1), d, {line(dm1, "登录"), line(d0, "登录")}},
        {"one day", 0, 0, 0, d, d, {line(d0, "登录"), line(d0, "用户"), line(d0, "文件")}},
        {"everything", 0, 0, 0, d.addDays(-3), d,
         {line(dm3, "登录"), line(dm3, "用户"), line(dm3, "文件"), line(dm1, "登录"), line(dm1, "用户"),
          line(dm1, "文件"), line(d0, "登录"), line(d0, "用户"), line(d0, "文件")}},
        {"nothing matches", 3, 2, 0, d.addDays(-3), d, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Query(row.level, row.category, row.user, row.from, row.to, row.texts.size()), row.texts);
    }
    // The rows' numbers count from 0; the operator is the account's log-on name.
    Query(0, 0, 0, d.addDays(-3), d, 9);
    EXPECT_EQ(Log().GetItemText(0, 1), "0");
    EXPECT_EQ(Log().GetItemText(1, 3), "alice");
    EXPECT_EQ(Log().GetItemText(1, 0), "警告");
    EXPECT_EQ(Log().RowLevelImage(1), 1);
    EXPECT_EQ(Log().GetItemText(2, 2), "文件管理");
    app().GetMainFrame()->RightView()->ShowLogPane();
    guitest::Screenshot(app().GetMainFrame(), "keeper_log");

    // A reversed range is refused in the dialog and nothing is sent.
    const int shown = Log().GetItemCount();
    ASSERT_TRUE(DriveCommand<CDlgLogQuery>(Log(), CWndLog::ID_QUERY, [&](CDlgLogQuery* q) {
        q->Start()->setDate(d);
        q->End()->setDate(d.addDays(-1));
        guitest::Screenshot(q, "CDlgLogQuery");
        ClickId(q, IDOK);
        EXPECT_EQ(prompts.LastText(), CDlgLogQuery::kRangeReversed);
        EXPECT_TRUE(q->isVisible());
        EXPECT_TRUE(q->Start()->hasFocus());
        ClickId(q, IDCANCEL);
    }));
    EXPECT_EQ(Log().GetItemCount(), shown);
}

TEST_F(KeeperGroupsLog, DeletingRemovesTheLinesBeforeTheChosenDay) {
    const QDate d = QDate::fromString(kLogDay, "yyyy-MM-dd");
    auto remove = [&](const QDate& day) {
        prompts.Answer(AnswerCancel).Answer(AnswerOk);
        EXPECT_TRUE(DriveCommand<CDlgLogDelete>(Log(), CWndLog::ID_DELETE, [&](CDlgLogDelete* dlg) {
            dlg->Day()->setDate(day);
            guitest::Screenshot(dlg, "CDlgLogDelete");
            ClickId(dlg, IDOK); // Cancel to the question: the dialog stays
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_EQ(prompts.LastText(), CDlgLogDelete::kQuestion);
            ClickId(dlg, IDOK);
        }));
    };
    remove(d.addDays(-1));
    const std::vector<std::string> left = Query(0, 0, 0, d.addDays(-3), d, 6);
    EXPECT_EQ(left.size(), 6u);
    for (const std::string& text : left) EXPECT_EQ(text.find(d.addDays(-3).toString("yyyy-M-d").toStdString()), std::string::npos);
    EXPECT_EQ(ServerLines(d.addDays(-3), d), left);
    remove(d);
    const std::vector<std::string> last = Query(0, 0, 0, d.addDays(-3), d, 3);
    ASSERT_EQ(last.size(), 3u);
    for (const std::string& text : last) EXPECT_EQ(text.rfind(d.toString("yyyy-M-d").toStdString(), 0), 0u);
    EXPECT_EQ(ServerLines(d.addDays(-3), d), last);
}

TEST_F(KeeperGroupsLog, UnknownLevelsAndCategories) {
    CkxLog odd;
    odd.m_nLev = 4;
    odd.m_nType = 5;
    odd.m_strEvent = "奇怪";
    CkxLog none = odd;
    none.m_nLev = 0;
    KX_LogList().DeleteAll();
    KX_LogList().AddTail(odd);
    KX_LogList().AddTail(none);
    Log().OnNotice(kNoticeReload);
    ASSERT_EQ(Log().GetItemCount(), 2);
    EXPECT_EQ(Log().RowLevelImage(0), 0);
    EXPECT_EQ(Log().RowLevelImage(1), 0);
    EXPECT_EQ(Log().GetItemText(0, 2), "");
    EXPECT_EQ(Log().GetItemText(0, 3), ""); // no such user
}

} // namespace
} // namespace keepertest
