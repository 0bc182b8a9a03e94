#include "model/CkxAutoLock.h"
#include "model/CkxData.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(CkxAutoLock, EightThreadsReachTheExactTotal) {
    CKXAUTOLOCK lock;
    long total = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                CkxAutoLock guard(&lock);
                long v = total; // a read-modify-write that races without the lock
                std::this_thread::yield();
                total = v + 1;
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(total, 8 * 20000);
    EXPECT_EQ(lock.IsLock(), 0);
}

TEST(CkxAutoLock, NullGuardAndCopiesStartFree) {
    { CkxAutoLock nothing(nullptr); }
    CKXAUTOLOCK held;
    held.Lock();
    CKXAUTOLOCK copy(held);
    EXPECT_EQ(copy.IsLock(), 0);
    EXPECT_TRUE(copy.TryLock());
    EXPECT_FALSE(held.TryLock());
    held.Unlock();
    EXPECT_TRUE(held.TryLock());
}

TEST(CkxData, KindsStatesAndCheckout) {
    CkxData d;
    d.Checkout(-1); // flag set but nobody holds it
    EXPECT_FALSE(d.IsCheckout());
    d.Checkout(0);
    EXPECT_TRUE(d.IsCheckout());
    d.Checkin();
    EXPECT_TRUE(d.IsCheckIn());
    EXPECT_EQ(d.GetCheckoutUser(), -1);

    d.SetDataKind(6);
    EXPECT_EQ(d.GetModeName(), "");
    d.SetDataKind(-1);
    EXPECT_EQ(d.GetModeName(), "");
    d.SetDataKind(0);
    EXPECT_EQ(d.GetModeName(), "未知");
    d.SetImage();
    EXPECT_EQ(d.GetModeName(), "图像");
    d.SetDataStateHide();
    EXPECT_EQ(d.GetDataStateStr(), "隐藏");

    CkxDataMode m;
    EXPECT_EQ(m.GetDataModeID(), -1);
    m = 5;
    EXPECT_TRUE(m.IsAudio());
    EXPECT_EQ(m.GetDataModeName(), "音频");
}
