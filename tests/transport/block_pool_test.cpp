#include "transport/NetBlockPool.h"
#include "transport/NetMessage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

// Fills the block with a pattern of its owner and checks it is still all there.
void Fill(void* block, size_t n, uint8_t owner) { std::memset(block, owner, n); }
bool Holds(const void* block, size_t n, uint8_t owner) {
    const auto* p = static_cast<const uint8_t*>(block);
    for (size_t i = 0; i < n; i += 4093)
        if (p[i] != owner) return false;
    return p[n - 1] == owner;
}

} // namespace

// A freed block serves the next request it fits (up to twice its size); a request it cannot
// hold, or would waste more than half of, gets a block of its own, writable to its last byte.
TEST(NetBlockPool, AFreedBlockServesTheNextRequestItFits) {
    constexpr size_t MB = 1u << 20;
    void* first = NetBlockPool::Allocate(2 * MB);
    Fill(first, 2 * MB, 1);
    NetBlockPool::Release(first);
    EXPECT_EQ(NetBlockPool::KeptBytes(), 2 * MB);

    void* bigger = NetBlockPool::Allocate(3 * MB); // more than it holds
    EXPECT_NE(bigger, first);
    Fill(bigger, 3 * MB, 2);
    void* smaller = NetBlockPool::Allocate(MB + 1); // fits, wasting less than half
    EXPECT_EQ(smaller, first);
    Fill(smaller, MB + 1, 3);
    EXPECT_EQ(NetBlockPool::KeptBytes(), 0u);
    NetBlockPool::Release(smaller);

    void* tiny = NetBlockPool::Allocate(NetBlockPool::kPooledFrom); // would waste most of it
    EXPECT_NE(tiny, first);
    Fill(tiny, NetBlockPool::kPooledFrom, 4);
    EXPECT_TRUE(Holds(bigger, 3 * MB, 2));
    NetBlockPool::Release(tiny);
    NetBlockPool::Release(bigger);
}

// What the pool keeps stays within its bounds however many blocks come back, and a block too
// large to keep goes straight back to the system.
TEST(NetBlockPool, KeepsNoMoreThanItsBounds) {
    std::vector<void*> blocks;
    for (size_t i = 0; i < NetBlockPool::kMaxBlocks + 8; ++i) blocks.push_back(NetBlockPool::Allocate(1u << 20));
    blocks.push_back(NetBlockPool::Allocate(NetBlockPool::kMaxBytes / 2 + 1));
    for (void* b : blocks) NetBlockPool::Release(b);
    EXPECT_EQ(NetBlockPool::KeptBytes(), NetBlockPool::kMaxBlocks << 20);

    blocks.clear();
    for (size_t i = 0; i < 8; ++i) blocks.push_back(NetBlockPool::Allocate(NetBlockPool::kMaxBytes / 4));
    for (void* b : blocks) NetBlockPool::Release(b);
    EXPECT_LE(NetBlockPool::KeptBytes(), NetBlockPool::kMaxBytes);
}

// Threads taking and giving back blocks side by side never share one: each finds its own
// pattern intact after the others had their turns.
TEST(NetBlockPool, ThreadsNeverShareABlock) {
    std::atomic<int> broken{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t, &broken] {
            std::mt19937 gen(static_cast<unsigned>(t));
            std::uniform_int_distribution<size_t> size(NetBlockPool::kPooledFrom, 3u << 20);
            for (int i = 0; i < 150; ++i) {
                const size_t n = size(gen);
                void* b = NetBlockPool::Allocate(n);
                Fill(b, n, static_cast<uint8_t>(t + 1));
                std::this_thread::yield();
                if (!Holds(b, n, static_cast<uint8_t>(t + 1))) ++broken;
                NetBlockPool::Release(b);
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(broken.load(), 0);
}

// Messages built from pooled blocks keep their pieces whole as they grow and are reused.
TEST(NetBlockPool, MessagesBuiltOnPooledBlocksKeepTheirPieces) {
    for (int round = 0; round < 3; ++round) {
        NetMessage m;
        std::vector<std::string> pieces;
        for (int i = 0; i < 6; ++i) {
            pieces.emplace_back(static_cast<size_t>(300000 * (i + 1)), static_cast<char>('a' + i + round));
            ASSERT_EQ(m.AppendData(pieces.back()), 1);
        }
        ASSERT_EQ(m.GetPieceCount(), 6);
        for (int i = 0; i < 6; ++i) EXPECT_TRUE(m.GetPiece(i) == pieces[static_cast<size_t>(i)]) << i;
    }
}
