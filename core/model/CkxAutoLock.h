// CKXAUTOLOCK: the core library's lock, an ownerless busy flag taken by one atomic
// test-and-set; a waiter sleeps about 1 ms between tries and never gives up. Not re-entrant.
// CkxAutoLock holds one for a scope (a null pointer makes it do nothing).
#pragma once

#include "model/KxExport.h"

#include <atomic>

class KX_EXPORT CKXAUTOLOCK {
public:
    CKXAUTOLOCK() = default;
    // A copy starts free: copying a held flag would give a lock that nobody ever releases.
    CKXAUTOLOCK(const CKXAUTOLOCK&) {}
    CKXAUTOLOCK& operator=(const CKXAUTOLOCK&) { return *this; }
    ~CKXAUTOLOCK() { Unlock(); }

    void Lock();
    // One attempt; true when the flag was taken.
    bool TryLock() { return m_nFlag.exchange(1, std::memory_order_acquire) == 0; }
    void Unlock() { m_nFlag.store(0, std::memory_order_release); }
    int IsLock() const { return m_nFlag.load(std::memory_order_relaxed); }

private:
    std::atomic<int> m_nFlag{0};
};

class KX_EXPORT CkxAutoLock {
public:
    explicit CkxAutoLock(CKXAUTOLOCK* lock) : m_pLock(lock) {
        if (m_pLock) m_pLock->Lock();
    }
    CkxAutoLock(const CkxAutoLock&) = delete;
    CkxAutoLock& operator=(const CkxAutoLock&) = delete;
    ~CkxAutoLock() {
        if (m_pLock) m_pLock->Unlock();
    }

private:
    CKXAUTOLOCK* m_pLock;
};
