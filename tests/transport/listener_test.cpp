#include "transport/NetListener.h"
#include "transport/support/NetTestPeer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <future>
#include <vector>

using namespace std::chrono_literals;
using nettest::HandleListener;

TEST(NetListener, ABusyPortGives0AndStartingTwiceKeepsOneListener) {
    HandleListener first;
    ASSERT_EQ(first.Start(0, "127.0.0.1"), 1);
    const int port = first.GetPort();
    ASSERT_GT(port, 0);
    EXPECT_EQ(first.Start(port, "127.0.0.1"), 1);
    EXPECT_EQ(first.GetPort(), port);

    HandleListener second;
    EXPECT_EQ(second.Start(port, "127.0.0.1"), 0);
    EXPECT_FALSE(second.IsRunning());
    EXPECT_FALSE(second.IsValid()) << "a failed start leaves no socket open";
    EXPECT_EQ(second.Start(port, ""), 0) << "every local address includes the taken one";

    // Once the first lets go, the port can be taken again at once.
    first.CloseAndStop();
    EXPECT_EQ(second.Start(port, "127.0.0.1"), 1);
}

TEST(NetListener, OnAcceptRunsOncePerConnection) {
    HandleListener listener;
    ASSERT_EQ(listener.Start(0, "127.0.0.1"), 1);
    std::vector<int> clients;
    for (int i = 0; i < 5; ++i) clients.push_back(nettest::ConnectRaw(listener.GetPort()));
    std::vector<int> accepted;
    for (int i = 0; i < 5; ++i) accepted.push_back(listener.TakeHandle());
    for (int h : accepted) EXPECT_GE(h, 0);
    EXPECT_EQ(listener.TakeHandle(200ms), -1);
    EXPECT_EQ(listener.AcceptCount(), 5);
    for (int h : accepted) ::close(h);
    for (int c : clients) ::close(c);
}

TEST(NetListener, StopAndCloseAndStopEndABlockedAcceptPromptly) {
    HandleListener listener;
    ASSERT_EQ(listener.Start(0, "127.0.0.1"), 1);
    std::this_thread::sleep_for(50ms); // the accept thread is waiting for a connection
    auto stop = std::async(std::launch::async, [&] { listener.Stop(); });
    EXPECT_EQ(stop.wait_for(900ms), std::future_status::ready) << "Stop must not wait out an accept";
    stop.wait();
    EXPECT_TRUE(listener.IsValid()) << "Stop leaves the socket open";
    EXPECT_EQ(listener.StartAcceptThread(), 1);

    auto close = std::async(std::launch::async, [&] { listener.CloseAndStop(); });
    EXPECT_EQ(close.wait_for(900ms), std::future_status::ready);
    close.wait();
    EXPECT_FALSE(listener.IsValid());
    EXPECT_FALSE(listener.IsRunning());
}
