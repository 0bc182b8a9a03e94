// Keeper's main window against the real server: the navigation tree by the administrator's
// rights and the pane each item shows, the online operators, the server information, closing,
// and the two-column layout.
#include "console/support/KeeperTestKit.h"

#include "frame/CMainFrame.h"
#include "frame/CWorkRightView.h"
#include "frame/CWorkTreeView.h"
#include "model/CkxXXX.h"
#include "pane/CWndCatalog.h"
#include "pane/CWndOperatorOnline.h"
#include "pane/CWndServerInfo.h"
#include "protocol/KxMessage.h"
#include "support/gui/Screenshot.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

#include <sys/statvfs.h>

namespace keepertest {
namespace {

using namespace kx;

class KeeperFrame : public KeeperTest {
protected:
    CMainFrame* Frame() { return app().GetMainFrame(); }
    CWorkTreeView* Tree() { return Frame()->TreeView(); }
    CWorkRightView* Right() { return Frame()->RightView(); }
    // Logs on and waits until the tree is filled.
    void StartAs(const std::string& name, const std::string& password) {
        ASSERT_TRUE(Serve().Ok());
        ASSERT_TRUE(StartLoggedOn(app(), name, password));
        ASSERT_TRUE(WaitForLists());
        ASSERT_TRUE(PumpUntil([&] { return Tree()->Root()->childCount() > 0; }));
    }
    std::vector<std::string> Items() {
        std::vector<std::string> texts;
        for (QTreeWidgetItemIterator it(Tree()); *it; ++it) texts.push_back((*it)->text(0).toStdString());
        return texts;
    }
    // Selects the item and gives the name of the pane shown then.
    std::string Select(const char* text) {
        QTreeWidgetItem* item = Tree()->FindItem(QString::fromUtf8(text));
        EXPECT_NE(item, nullptr) << text;
        if (item) Tree()->setCurrentItem(item);
        QWidget* pane = Right()->CurrentPane();
        return pane ? pane->objectName().toStdString() : std::string();
    }
};

TEST_F(KeeperFrame, AUserAdministratorSeesSecurityAndEveryItemShowsItsPane) {
    StartAs("su", kSuPassword);
    EXPECT_EQ(Items(), (std::vector<std::string>{"服务器", "安全性", "用户角色", "用户", "用户分组", "服务器信息",
                                                 "在线操作员", "日志"}));
    EXPECT_EQ(Right()->CurrentPane(), Right()->OnlinePane()); // after start-up
    const std::pair<const char*, const char*> rows[] = {
        {"用户角色", "CWndUserRole"},       {"用户", "CWndOperator"},         {"用户分组", "CWndOperatorGroup"},
        {"服务器信息", "CWndServerInfo"},   {"日志", "CWndLog"},              {"在线操作员", "CWndOperatorOnline"},
        {"服务器", "CWndOperatorOnline"},   {"安全性", "CWndOperatorOnline"}, // the current pane stays
    };
    for (const auto& [item, pane] : rows) EXPECT_EQ(Select(item), pane) << item;
    // A user list that completes again rebuilds the items instead of adding a second set.
    ASSERT_EQ(link.SendUserListRequest(), 1);
    ASSERT_TRUE(WaitForLists());
    PumpFor(200ms);
    EXPECT_EQ(Items().size(), 8u);
}

TEST_F(KeeperFrame, AnAdministratorWithoutUserAdministrationSeesNoSecurity) {
    StartAs("sysop", kSysopPassword);
    EXPECT_EQ(Items(), (std::vector<std::string>{"服务器", "服务器信息", "在线操作员", "日志"}));
    EXPECT_EQ(Select("日志"), "CWndLog");
    EXPECT_EQ(Select("服务器信息"), "CWndServerInfo");
}

TEST_F(KeeperFrame, TheOnlinePaneFollowsOperatorsComingAndGoing) {
    StartAs("su", kSuPassword);
    CWndOperatorOnline* online = Right()->OnlinePane();
    ASSERT_TRUE(PumpUntil([&] { return online->FindRow(Serve().Id("user.su")) >= 0; }));
    auto alice = Serve().LogOn("alice", "alice-pw");
    ASSERT_NE(alice, nullptr);
    const int aliceId = Serve().Id("user.alice");
    ASSERT_TRUE(PumpUntil([&] { return online->FindRow(aliceId) >= 0; }));
    EXPECT_EQ(online->topLevelItem(online->FindRow(aliceId))->text(0), "alice");
    alice.reset(); // the connection ends: the server tells the others she went
    ASSERT_TRUE(PumpUntil([&] { return online->FindRow(aliceId) < 0; }));
    EXPECT_EQ(online->topLevelItemCount(), 1);

    // Ids nobody logged on with, and ids the user list does not hold yet, give no row.
    CkxUserOnline& ids = KX_KXXXX().m_UserOnline;
    ids.DeleteAll();
    for (int id : {0, -3, 987654, Serve().Id("user.su")}) ids.AddTail(id);
    online->OnNotice(kNoticeReload, 0);
    ASSERT_EQ(online->topLevelItemCount(), 1);
    EXPECT_EQ(online->GetRowUserId(0), Serve().Id("user.su"));
    online->OnNotice(kNoticeAdded, 0);
    online->OnNotice(kNoticeAdded, 987654);
    EXPECT_EQ(online->topLevelItemCount(), 1);
}

uint32_t TotalMB(const std::string& folder) {
    struct statvfs st {};
    if (::statvfs(folder.c_str(), &st) != 0) return 0;
    return static_cast<uint32_t>(static_cast<unsigned long long>(st.f_blocks) * st.f_frsize / (1024ull * 1024ull));
}

TEST_F(KeeperFrame, ServerInformationShowsTheServersDrivesAndRefreshes) {
    StartAs("su", kSuPassword);
    EXPECT_EQ(Select("服务器信息"), "CWndServerInfo");
    CWndServerInfo* info = Right()->ServerInfoPane();
    ASSERT_TRUE(PumpUntil([&] { return info->Drives()->topLevelItemCount() == 2; }));
    EXPECT_EQ(info->Drives()->topLevelItem(0)->text(0), "C:\\");
    EXPECT_EQ(info->Drives()->topLevelItem(1)->text(0), "E:\\");
    EXPECT_EQ(info->Drives()->topLevelItem(0)->text(2), QString::number(TotalMB(Serve().DriveC())) + "M");
    EXPECT_EQ(info->Drives()->topLevelItem(1)->text(2), QString::number(TotalMB(Serve().DriveE())) + "M");
    EXPECT_TRUE(info->Text(CWndServerInfo::IDC_MEM_TOTAL)->text().endsWith("M"));

    // The refresh empties everything at once; the answer fills it again.
    QTest::mouseClick(info->findChild<QPushButton*>(QString::number(CWndServerInfo::IDC_REFRESH)), Qt::LeftButton);
    EXPECT_EQ(info->Drives()->topLevelItemCount(), 0);
    EXPECT_TRUE(info->Text(CWndServerInfo::IDC_PROCESSES)->text().isEmpty());
    ASSERT_TRUE(PumpUntil([&] { return info->Drives()->topLevelItemCount() == 2; }));

    // Values the real server rarely sends.
    CkxHostInfo& host = KX_KXXXX().m_HostInfo;
    host.m_nMemTotal = 1048576;
    host.m_nMemAvail = 0xFFFFFFFFu; // 4 TiB less a KiB: never negative
    host.m_nCpu = CkxHostInfo::kCpuUnknown;
    info->ShowHostInfo();
    EXPECT_EQ(info->Text(CWndServerInfo::IDC_MEM_TOTAL)->text(), "1024M");
    EXPECT_EQ(info->Text(CWndServerInfo::IDC_MEM_AVAIL)->text(), "4194303M");
    EXPECT_EQ(info->Text(CWndServerInfo::IDC_CPU)->text(), "");
}

TEST_F(KeeperFrame, ClosingAsksWhileConnectedAndLogsOffOnce) {
    StartAs("su", kSuPassword);
    auto watcher = Serve().LogOn("alice", "alice-pw");
    ASSERT_NE(watcher, nullptr);
    prompts.Answer(AnswerCancel);
    EXPECT_FALSE(Frame()->close());
    EXPECT_EQ(prompts.LastText(), CMainFrame::kCloseQuestion);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_TRUE(watcher->Quiet(kMsgSession, kSubLogoff, 300ms));

    EXPECT_TRUE(Frame()->close()); // answered OK
    EXPECT_FALSE(Frame()->isVisible());
    const auto logoff = watcher->Wait(kMsgSession, kSubLogoff);
    ASSERT_TRUE(logoff);
    EXPECT_EQ(logoff->AsInt(), Serve().Id("user.su"));
    EXPECT_TRUE(watcher->Quiet(kMsgSession, kSubLogoff, 300ms));
}

TEST_F(KeeperFrame, AfterTheServerIsGoneTheWindowClosesWithoutTheQuestion) {
    StartAs("su", kSuPassword);
    prompts.Clear();
    Serve().Process().Kill();
    ASSERT_TRUE(PumpUntil([&] { return !Frame()->isVisible(); }));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{ConsoleLink::kLostText});
}

TEST_F(KeeperFrame, TheTreeColumnIsOneSixthAndThePanesArePictured) {
    StartAs("su", kSuPassword);
    for (const QSize size : {QSize(1200, 700), QSize(900, 600)}) {
        Frame()->resize(size);
        PumpFor(50ms);
        const QList<int> sizes = Frame()->Splitter()->sizes();
        EXPECT_NEAR(sizes[0], Frame()->Splitter()->width() / 6, 2) << size.width();
    }
    guitest::Screenshot(Frame(), "keeper_frame_online");
    Select("服务器信息");
    ASSERT_TRUE(PumpUntil([&] { return Right()->ServerInfoPane()->Drives()->topLevelItemCount() == 2; }));
    guitest::Screenshot(Frame(), "keeper_frame_server_info");
    Right()->ShowCatalogPane();
    PumpFor(50ms);
    const QList<int> catalog = Right()->CatalogPane()->Splitter()->sizes();
    EXPECT_NEAR(catalog[0], Right()->CatalogPane()->width() / 6, 2);
    guitest::Screenshot(Frame(), "keeper_frame_catalog");
}

} // namespace
} // namespace keepertest
