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
