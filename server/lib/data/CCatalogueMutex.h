// CCatalogueMutex: the catalogue lock, a shared lock fair to writers and readers alike. A writer
// that waits keeps out every reader arriving after it, so a steady stream of overlapping readers
// (folder lists, say) can never hold off a change or a log-on for ever; readers that already hold
// the lock finish first. When a writer leaves, every reader waiting then goes in together before
// the next writer, so a queue of writers (uploads committing one after another) never holds off
// a reader for more than one writer's turn. Same interface as std::shared_mutex, so
// std::lock_guard, std::unique_lock and std::shared_lock work with it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

class CCatalogueMutex {
public:
    CCatalogueMutex() = default;
    CCatalogueMutex(const CCatalogueMutex&) = delete;
    CCatalogueMutex& operator=(const CCatalogueMutex&) = delete;

    // Alone: waits until no reader and no writer holds it; readers arriving meanwhile wait.
    void lock();
    bool try_lock();
    void unlock();

    // Shared: waits while a writer holds it or waits for it, until the next writer leaves.
    void lock_shared();
    bool try_lock_shared();
    void unlock_shared();

private:
    std::mutex m_state;
    std::condition_variable m_readersGo;
    std::condition_variable m_writerGoes;
    unsigned m_readers = 0;        // readers holding it (those let in by a leaving writer included)
    unsigned m_readersWaiting = 0; // readers waiting for the next writer to leave
    unsigned m_writersWaiting = 0; // writers waiting for it
    uint64_t m_readTurn = 0;       // counts the writers that left with readers waiting
    bool m_writer = false;         // a writer holds it
};
