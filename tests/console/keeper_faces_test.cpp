// Keeper's main window as a person first sees it: every tool bar button shows an icon or its
// caption and the bar shows them all.
#include "console/support/KeeperTestKit.h"

#include "frame/CMainFrame.h"
#include "frame/CWorkRightView.h"
#include "frame/CWorkTreeView.h"
#include "link/ConsoleLink.h"
#include "model/CkxLog.h"
#include "model/CkxXXX.h"
#include "pane/CWndLog.h"
#include "support/gui/Screenshot.h"
#include "support/gui/ShownGeometry.h"
#include "support/gui/ToolButtonFaces.h"

#include <QToolBar>

namespace keepertest {
namespace {

// Keeper logged on as su with its lists loaded, its main window up at the default size.
class KeeperFaces : public KeeperTest {
protected:
    void SetUp() override {
        KeeperTest::SetUp();
        ASSERT_TRUE(StartAsSuWithLists());
        frame = app().GetMainFrame();
        ASSERT_NE(frame, nullptr);
        PumpFor(100ms);
    }
    CMainFrame* frame = nullptr;
};

TEST_F(KeeperFaces, EveryToolBarButtonShowsAnIconOrItsCaption) {
    EXPECT_EQ(guitest::CountToolButtons(frame->GetToolBar()), 3);
    EXPECT_EQ(guitest::FacelessToolButtons(frame), std::vector<std::string>{});
    EXPECT_EQ(guitest::OverflowingStrips(frame), std::vector<std::string>{});
    guitest::Screenshot(frame, "keeper_frame_faces");
}

TEST_F(KeeperFaces, ALongOperationTextNeverWidensTheWindow) {
    const QSize before = frame->size();
    std::string text = "正在读取";
    for (int i = 0; i < 30; ++i) text += "很长的操作说明" + std::to_string(i);
    frame->SetOperationText(text);
    PumpFor(100ms);
    EXPECT_EQ(frame->size(), before);
    EXPECT_EQ(frame->GetOperationPane().toStdString(), text);
}

// At the window's default size: the tree shows every label whole beside its icon, and the log
// pane's level column each level's word beside its icon.
TEST_F(KeeperFaces, TheTreeAndTheLogLevelsShowTheirTextsWhole) {
    EXPECT_EQ(frame->size(), QSize(800, 560));
    CWorkTreeView* tree = frame->TreeView();
    for (const char* label : {"服务器", "安全性", "用户角色", "用户", "用户分组", "服务器信息", "在线操作员", "日志"}) {
        SCOPED_TRACE(label);
        QTreeWidgetItem* item = tree->FindItem(QString::fromUtf8(label));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(guitest::CellShownWhole(*tree, tree->indexFromItem(item)))
            << tree->visualItemRect(item).width() << " px for " << tree->sizeHintForIndex(tree->indexFromItem(item)).width();
    }

    KX_LogList().DeleteAll();
    for (int level : {KXLOG_INFO, KXLOG_WARN, KXLOG_ERROR}) {
        CkxLog line;
        line.m_nID = level;
        line.m_nLev = static_cast<uint8_t>(level);
        line.m_nUser = 1;
        line.m_strEvent = "登录";
        line.m_dtTime = COleDateTime(2020, 6, 10, 12, 0, 0);
        KX_LogList().AddTail(line);
    }
    frame->RightView()->ShowLogPane();
    auto* log = frame->RightView()->findChild<CWndLog*>("CWndLog");
    ASSERT_NE(log, nullptr);
    log->OnNotice(kNoticeReload);
    PumpFor(50ms);
    ASSERT_EQ(log->GetItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(log->GetItemText(row, 0).toStdString());
        EXPECT_TRUE(guitest::CellShownWhole(*log, log->model()->index(row, 0)))
            << log->GetColumnWidth(0) << " px for " << log->sizeHintForIndex(log->model()->index(row, 0)).width();
    }
    guitest::Screenshot(frame, "keeper_frame_tree_and_log_levels");
    KX_LogList().DeleteAll();
}

} // namespace
} // namespace keepertest
