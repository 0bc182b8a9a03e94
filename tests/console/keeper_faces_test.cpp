// Keeper's main window as a person first sees it: every tool bar button shows an icon or its
// caption and the bar shows them all.
#include "console/support/KeeperTestKit.h"

#include "frame/CMainFrame.h"
#include "support/gui/Screenshot.h"
#include "support/gui/ToolButtonFaces.h"

#include <QToolBar>

namespace keepertest {
namespace {

class KeeperFaces : public KeeperTest {};

TEST_F(KeeperFaces, EveryToolBarButtonShowsAnIconOrItsCaption) {
    ASSERT_TRUE(Serve().Ok());
    ASSERT_TRUE(StartLoggedOn(app(), "su", kSuPassword));
    ASSERT_TRUE(WaitForLists());
    CMainFrame* frame = app().GetMainFrame();
    ASSERT_NE(frame, nullptr);
    PumpFor(100ms);
    EXPECT_EQ(guitest::CountToolButtons(frame->GetToolBar()), 3);
    EXPECT_EQ(guitest::FacelessToolButtons(frame), std::vector<std::string>{});
    EXPECT_EQ(guitest::OverflowingStrips(frame), std::vector<std::string>{});
    guitest::Screenshot(frame, "keeper_frame_faces");
}

} // namespace
} // namespace keepertest

namespace keepertest {
namespace {

TEST_F(KeeperFaces, ALongOperationTextNeverWidensTheWindow) {
    ASSERT_TRUE(Serve().Ok());
    ASSERT_TRUE(StartLoggedOn(app(), "su", kSuPassword));
    CMainFrame* frame = app().GetMainFrame();
    PumpFor(100ms);
    const QSize before = frame->size();
    std::string text = "正在读取";
    for (int i = 0; i < 30; ++i) text += "很长的操作说明" + std::to_string(i);
    frame->SetOperationText(text);
    PumpFor(100ms);
    EXPECT_EQ(frame->size(), before);
    EXPECT_EQ(frame->GetOperationPane().toStdString(), text);
}

} // namespace
} // namespace keepertest
