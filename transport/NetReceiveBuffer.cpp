#include "transport/NetReceiveBuffer.h"

#include <cstring>

namespace {
// What Data() points at before the block exists: no valid bytes, but never a null pointer.
const uint8_t kNoBytes[1] = {0};
} // namespace

NetReceiveBuffer::NetReceiveBuffer() = default;

const uint8_t* NetReceiveBuffer::Base() const { return m_pData ? m_pData.get() : kNoBytes; }

void NetReceiveBuffer::EnsureBlockLocked() {
    // Taken when the first byte arrives: a connection that never sends costs no block.
    if (!m_pData) m_pData = std::make_unique<uint8_t[]>(kCapacity);
}

bool NetReceiveBuffer::Append(const void* bytes, size_t n) {
    if (n > kCapacity) return false;
    if (n == 0) return true;
    std::unique_lock lock(m_mutex);
    EnsureBlockLocked();
    m_space.wait(lock, [&] { return m_bInterrupted || TailRoomLocked(n, n) == n; });
    if (m_bInterrupted) return false;
    const size_t length = m_nLength.load(std::memory_order_relaxed);
    std::memcpy(m_pData.get() + m_nStart + length, bytes, n);
    m_nLength.store(length + n, std::memory_order_release);
    m_more.notify_all();
    return true;
}

size_t NetReceiveBuffer::TailRoomLocked(size_t want, size_t need) {
    const size_t length = m_nLength.load(std::memory_order_relaxed);
    if (want > kCapacity - length) want = kCapacity - length;
    if (need > want) need = want;
    size_t tail = kCapacity - m_nStart - length;
    // Moving costs as many bytes as are valid: done when the room behind them is too small,
    // or when it is cheap anyway.
    if (tail < want && m_nStart > 0 && !m_bReading && (tail < need || length <= kCheapMove)) {
        std::memmove(m_pData.get(), m_pData.get() + m_nStart, length);
        m_nStart = 0;
        tail = kCapacity - length;
    }
    return tail < want ? tail : want;
}

void NetReceiveBuffer::DropFrontLocked(size_t n) {
    size_t length = m_nLength.load(std::memory_order_relaxed);
    if (n > length) n = length;
    length -= n;
    m_nStart += n;
    if (m_bFilling || m_bReading) {
        // A fill is writing behind the valid bytes, or a reader holds them: they stay where
        // they are for now.
    } else if (length == 0) {
        m_nStart = 0;
    } else if (m_nStart >= kCapacity / 2 && length <= kCheapMove) {
        std::memmove(m_pData.get(), m_pData.get() + m_nStart, length);
        m_nStart = 0;
    }
    m_nLength.store(length, std::memory_order_release);
    m_space.notify_all();
}

void NetReceiveBuffer::Consume(size_t n) {
    std::lock_guard lock(m_mutex);
    DropFrontLocked(n);
}

int NetReceiveBuffer::SyncTo(uint8_t byte) {
    std::lock_guard lock(m_mutex);
    const uint8_t* first = Base() + m_nStart;
    size_t length = m_nLength.load(std::memory_order_relaxed);
    const void* found = std::memchr(first, byte, length);
    if (found == nullptr) {
        ClearLocked();
        return 0;
    }
    DropFrontLocked(static_cast<size_t>(static_cast<const uint8_t*>(found) - first));
    return 1;
}

void NetReceiveBuffer::ClearLocked() {
    m_nLength.store(0, std::memory_order_release);
    if (!m_pData) {
        m_nStart = 0;
    } else if (m_bFilling) {
        // The bytes being received start the buffer afresh once they are in.
        m_nStart = m_nFillAt;
        std::memset(m_pData.get(), 0, m_nFillAt);
        std::memset(m_pData.get() + m_nFillAt + m_nFillRoom, 0, kCapacity - m_nFillAt - m_nFillRoom);
    } else {
        m_nStart = 0;
        std::memset(m_pData.get(), 0, kCapacity);
    }
    m_space.notify_all();
}

void NetReceiveBuffer::Reset() {
    std::lock_guard lock(m_mutex);
    if (!m_bFilling && !m_bReading) {
        // Nothing holds the block: give it back; the next byte takes a fresh (zeroed) one.
        m_pData.reset();
        m_nLength.store(0, std::memory_order_release);
        m_nStart = 0;
        m_space.notify_all();
        return;
    }
    ClearLocked();
}

bool NetReceiveBuffer::WaitForMore(size_t have, std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    return m_more.wait_for(lock, limit, [&] {
        return m_bInterrupted || m_nLength.load(std::memory_order_relaxed) > have;
    }) && !m_bInterrupted;
}

bool NetReceiveBuffer::WaitForMore(size_t have) {
    std::unique_lock lock(m_mutex);
    m_more.wait(lock, [&] { return m_bInterrupted || m_nLength.load(std::memory_order_relaxed) > have; });
    return !m_bInterrupted;
}

void NetReceiveBuffer::Interrupt() {
    std::lock_guard lock(m_mutex);
    m_bInterrupted = true;
    m_space.notify_all();
    m_more.notify_all();
}

void NetReceiveBuffer::Resume() {
    std::lock_guard lock(m_mutex);
    m_bInterrupted = false;
}
