// Window messages: a sent message is handled before SendMessage returns, with its result; a
// posted one waits for the event loop, in posting order, also when another thread posts it.
#include "qt/KxModalDriver.h"
#include "qt/KxWindowMessage.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Seen {
    unsigned message;
    kx::WPARAM wParam;
    kx::LPARAM lParam;
    bool onGuiThread;
};

class Listener : public QWidget, public kx::MessageReceiver {
public:
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override {
        seen.push_back({message, wParam, lParam, QThread::currentThread() == qApp->thread()});
        return static_cast<kx::LRESULT>(wParam) + lParam;
    }
    std::vector<Seen> seen;
};

class WindowMessageTest : public ::testing::Test {
protected:
    void SetUp() override { kx::EnsureApplication(); }
};

} // namespace

TEST_F(WindowMessageTest, ASentMessageIsHandledBeforeSendMessageReturns) {
    Listener w;
    const kx::WPARAM big = static_cast<kx::WPARAM>(0x1234567890ABCDEFULL); // pointer-sized
    const kx::LRESULT r = kx::SendMessage(&w, kx::WM_USER + 200, big, -5);
    ASSERT_EQ(w.seen.size(), 1u);
    EXPECT_EQ(w.seen[0].message, kx::WM_USER + 200);
    EXPECT_EQ(w.seen[0].wParam, big);
    EXPECT_EQ(w.seen[0].lParam, -5);
    EXPECT_EQ(r, static_cast<kx::LRESULT>(big) - 5);
    QWidget plain; // handles nothing
    EXPECT_EQ(kx::SendMessage(&plain, kx::WM_USER, 1, 2), 0);
    EXPECT_EQ(kx::SendMessage(nullptr, kx::WM_USER, 1, 2), 0);
}

TEST_F(WindowMessageTest, PostedMessagesWaitForTheEventLoopAndKeepTheirOrder) {
    Listener w;
    int x = 0;
    ASSERT_TRUE(kx::PostMessage(&w, kx::WM_USER, 1025, reinterpret_cast<kx::LPARAM>(&x)));
    ASSERT_TRUE(kx::PostMessage(&w, kx::WM_USER, 1026, 7));
    EXPECT_TRUE(w.seen.empty());
    std::thread other([&] {
        for (int i = 0; i < 50; ++i) kx::PostMessage(&w, kx::WM_USER, 1027, i);
    });
    other.join();
    QTRY_COMPARE_WITH_TIMEOUT(int(w.seen.size()), 52, 5000);
    EXPECT_EQ(w.seen[0].wParam, 1025u);
    EXPECT_EQ(reinterpret_cast<int*>(w.seen[0].lParam), &x);
    EXPECT_EQ(w.seen[1].wParam, 1026u);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(w.seen[2 + i].wParam, 1027u);
        EXPECT_EQ(w.seen[2 + i].lParam, i);
    }
    for (const auto& s : w.seen) EXPECT_TRUE(s.onGuiThread);
}

TEST_F(WindowMessageTest, AMessageStillQueuedForADestroyedWidgetIsDropped) {
    auto* w = new Listener;
    kx::PostMessage(w, kx::WM_USER, 1028, 1);
    delete w;
    QCoreApplication::processEvents(); // must not reach the dead widget (ASan would say so)
    SUCCEED();
}
