// A session whose server goes away: one box, shown on the GUI thread, and the main window asked
// to close; nothing at all when nobody was logged on.
#include "studio/support/StudioTestKit.h"

#include "qt/KxPromptRecorder.h"
#include "transport/support/NetTestPeer.h"

#include <gtest/gtest.h>

using namespace studiotest;

namespace {

class SessionLost : public StudioTest {};

TEST_F(SessionLost, AServerThatEndsGivesOneBoxAndClosesTheMainWindow) {
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    kx::PromptRecorder prompts;
    ObserverWindow main;
    main.show();
    link->Register(kSlotMainWindow, &main);
    server->Process().Kill();
    ASSERT_TRUE(PumpUntil([&] { return prompts.Count() > 0 && main.closes > 0; }));
    PumpFor(300ms);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CServerLink::kLostText});
    EXPECT_EQ(prompts.Requests().front().icon, kx::PromptWarning);
    EXPECT_EQ(main.closes, 1);
}

TEST_F(SessionLost, ABreakWhileNobodyIsLoggedOnIsNoLoss) {
    nettest::HandleListener listener;
    ASSERT_TRUE(listener.Start(0, "127.0.0.1"));
    link = std::make_unique<TestStudioLink>();
    kx::PromptRecorder prompts;
    ObserverWindow main;
    link->Register(kSlotMainWindow, &main);
    ASSERT_EQ(link->Connect(listener.GetPort(), "127.0.0.1"), 1);
    nettest::RecordingConnection peer;
    const int handle = listener.TakeHandle();
    ASSERT_GE(handle, 0);
    peer.Attach(handle);
    ASSERT_EQ(peer.StartThreads(), 1);
    peer.StopAndClose();
    ASSERT_TRUE(PumpUntil([&] { return link->IsFailed(); }));
    PumpFor(300ms);
    EXPECT_EQ(prompts.Count(), 0u);
    EXPECT_EQ(main.closes, 0);
}

} // namespace
