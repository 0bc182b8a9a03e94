// NetReceiveBuffer: the 1 MB block (taken at the first byte, given back on Reset) between a connection's receive thread, which appends raw
// bytes behind the valid ones, and its parse thread, which cuts packets from the front. The
// valid bytes are always contiguous at Data(); the block never grows: a full buffer makes the
// appender wait until the parse thread has consumed.
//
// Threading contract: one thread appends; one other thread reads the valid bytes through Peek,
// consumes and syncs. A receive into the buffer (AppendWith) and a reader in Peek run side by
// side without the lock: the appender writes only behind the valid bytes and moves them to
// the front only while no reader holds them. Data() is for a caller that knows no append runs
// at the same time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

class NetReceiveBuffer {
public:
    static constexpr size_t kCapacity = 0x100000;

    NetReceiveBuffer();
    NetReceiveBuffer(const NetReceiveBuffer&) = delete;
    NetReceiveBuffer& operator=(const NetReceiveBuffer&) = delete;

    // Copies n bytes behind the valid ones, waiting while they would not fit. Returns false, and
    // appends nothing, when n exceeds the capacity or Interrupt() ends the wait.
    bool Append(const void* bytes, size_t n);

    // Lets fill(dest, room) write up to `room` (at most max) bytes behind the valid ones,
    // waiting while the buffer is full; fill returns how many it wrote (a socket receive writes
    // straight into the buffer this way). The fill runs without the lock, beside a reader in
    // Peek: the bytes it writes to are not valid until it returns. Sets `result` to fill's
    // result and returns true, or returns false when Interrupt() ended the wait.
    template <class F>
    bool AppendWith(size_t max, F&& fill, long& result) {
        uint8_t* dest;
        size_t room;
        {
            std::unique_lock lock(m_mutex);
            EnsureBlockLocked();
            m_space.wait(lock, [&] { return m_bInterrupted || TailRoomLocked(1, 1) > 0; });
            if (m_bInterrupted) return false;
            room = TailRoomLocked(max, kMinFill);
            m_nFillAt = m_nStart + m_nLength.load(std::memory_order_relaxed);
            m_nFillRoom = room;
            m_bFilling = true;
            dest = m_pData.get() + m_nFillAt;
        }
        result = fill(dest, room);
        std::lock_guard lock(m_mutex);
        m_bFilling = false;
        if (result > 0) {
            // Consuming meanwhile advanced the start but never moved the bytes.
            m_nLength.store(m_nFillAt + static_cast<size_t>(result) - m_nStart, std::memory_order_release);
            m_more.notify_all();
        }
        return true;
    }

    size_t Length() const { return m_nLength.load(std::memory_order_acquire); }
    const uint8_t* Data() const { return Base() + m_nStart; }
    // Whether the block has been taken (tests of what an idle connection costs).
    bool HasBlock() const {
        std::lock_guard lock(m_mutex);
        return m_pData != nullptr;
    }
    // Calls f(data, length) with the valid bytes and returns what f returns. The bytes stay in
    // place while f runs (an appender that needs them moved waits), but f runs without the
    // lock, so a receive into the buffer goes on meanwhile. Only the consuming thread calls it.
    template <class F>
    auto Peek(F&& f) const {
        const uint8_t* data;
        size_t length;
        {
            std::lock_guard lock(m_mutex);
            data = Base() + m_nStart;
            length = m_nLength.load(std::memory_order_relaxed);
            m_bReading = true;
        }
        struct Done {
            const NetReceiveBuffer& b;
            ~Done() {
                std::lock_guard lock(b.m_mutex);
                b.m_bReading = false;
                b.m_space.notify_all();
            }
        } done{*this};
        return f(data, length);
    }

    // Drops the first n valid bytes (all of them when n is larger).
    void Consume(size_t n);
    // Drops the bytes before the first occurrence of `byte` and returns 1; without one the
    // buffer is reset and the result is 0.
    int SyncTo(uint8_t byte);
    // Length 0; the block is given back (or, while a fill or reader holds it, zeroed).
    void Reset();

    // Waits up to `limit` until more than `have` bytes are valid. True when there are.
    bool WaitForMore(size_t have, std::chrono::milliseconds limit);
    // Waits, with no limit, until more than `have` bytes are valid or Interrupt(). True when
    // there are.
    bool WaitForMore(size_t have);

    // Ends every current and later wait (Append returns false) until Resume(); used on stop.
    void Interrupt();
    void Resume();

private:
    const uint8_t* Base() const;
    void EnsureBlockLocked();
    void DropFrontLocked(size_t n);
    // Length 0 and every byte zeroed, except where a fill is writing.
    void ClearLocked();
    // Room for up to `want` bytes behind the valid ones. The valid bytes are moved to the
    // front, when no reader holds them, if fewer than `need` bytes are free behind them or
    // when they are few. 0 when the buffer is full, or when only a move would give room and a
    // reader holds the bytes.
    size_t TailRoomLocked(size_t want, size_t need);
    // A receive takes what is free behind the valid bytes as long as it is at least this much.
    static constexpr size_t kMinFill = 64 * 1024;
    // Valid bytes moved to the front whenever there is room to gain.
    static constexpr size_t kCheapMove = 16 * 1024;

    std::unique_ptr<uint8_t[]> m_pData;
    // Offset of the first valid byte. Consuming advances it; the bytes are moved to the front
    // when an append needs the room, or earlier while they are few, so a byte is rarely moved
    // at all instead of once per packet.
    size_t m_nStart = 0;
    std::atomic<size_t> m_nLength{0};
    bool m_bInterrupted = false;
    mutable bool m_bReading = false; // a Peek callback is reading the valid bytes
    // An AppendWith fill is writing behind the valid bytes, at m_nFillAt: nothing may move the
    // valid bytes (or reset the start) until it is done.
    bool m_bFilling = false;
    size_t m_nFillAt = 0;
    size_t m_nFillRoom = 0;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_space; // an appender waits here for room
    std::condition_variable m_more;  // the consumer waits here for bytes
};
