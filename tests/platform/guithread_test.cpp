// The hand-over to the GUI thread: calls posted from several threads run on the GUI thread in the
// order they were posted, a destroyed queue drops what it has not run, and the GUI-thread check
// stops a program that changes GUI state from elsewhere.
#include "qt/KxGuiThread.h"
#include "qt/KxModalDriver.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace {

class GuiThreadTest : public ::testing::Test {
protected:
    void SetUp() override { kx::EnsureApplication(); }
};

} // namespace

TEST_F(GuiThreadTest, CallsFromManyThreadsRunOnTheGuiThreadInPostingOrder) {
    constexpr int kThreads = 4;
    constexpr int kCalls = 250;
    // Each thread numbers its calls; a global ticket taken under the same lock as Post records
    // the order the queue accepted them in.
    std::mutex postMutex;
    int nextTicket = 0;
    std::vector<std::pair<int, int>> ran; // (ticket, thread) in run order
    std::map<int, int> lastSeen;           // thread -> last call number run
    bool orderKept = true;
    std::atomic<int> offThread{0};

    kx::GuiThreadQueue queue;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i) {
                std::lock_guard<std::mutex> lock(postMutex);
                int ticket = nextTicket++;
                queue.Post([&, t, i, ticket] {
                    if (!kx::IsGuiThread()) ++offThread;
                    kx::AssertGuiThread();
                    auto it = lastSeen.find(t);
                    if (it != lastSeen.end() && it->second != i - 1) orderKept = false;
                    lastSeen[t] = i;
                    ran.emplace_back(ticket, t);
                });
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_TRUE(ran.empty()) << "nothing runs before the event loop does";
    QTRY_COMPARE_WITH_TIMEOUT(int(ran.size()), kThreads * kCalls, 5000);
    EXPECT_EQ(offThread.load(), 0);
    EXPECT_TRUE(orderKept);
    for (size_t i = 0; i < ran.size(); ++i) ASSERT_EQ(ran[i].first, int(i)) << "ticket order";
    EXPECT_EQ(queue.Pending(), 0u);

    // The process-wide queue keeps order too.
    std::vector<int> global;
    std::thread poster([&] {
        for (int i = 0; i < 10; ++i) kx::PostToGui([&global, i] { global.push_back(i); });
    });
    poster.join();
    QTRY_COMPARE_WITH_TIMEOUT(int(global.size()), 10, 5000);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(global[i], i);
}

TEST_F(GuiThreadTest, ADestroyedOrClearedQueueDropsWhatItHasNotRun) {
    int ran = 0;
    {
        kx::GuiThreadQueue queue;
        queue.Post([&] { ++ran; });
        queue.Post([&] { ++ran; });
        EXPECT_EQ(queue.Pending(), 2u);
    }
    kx::GuiThreadQueue cleared;
    cleared.Post([&] { ++ran; });
    cleared.Clear();
    cleared.Post([&] { ran += 10; });
    QCoreApplication::processEvents();
    QTest::qWait(20);
    EXPECT_EQ(ran, 10);
}

TEST_F(GuiThreadTest, TheGuiThreadCheckStopsAStepRunElsewhere) {
    EXPECT_TRUE(kx::IsGuiThread());
    kx::AssertGuiThread(); // passes here
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            std::thread worker([] { kx::AssertGuiThread(); });
            worker.join();
        },
        "outside the GUI thread");
}
