// CCatalogueMutex: the catalogue lock, a shared lock that is fair to writers. A writer that waits
// keeps out every reader arriving after it, so a steady stream of overlapping readers (folder
// lists, say) can never hold off a change or a log-on for ever; readers that already hold the
// lock finish first. Same interface as std::shared_mutex, so std::lock_guard, std::unique_lock
// and std::shared_lock work with it.
#pragma once

#include <condition_variable>
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

    // Shared: waits while a writer holds it or waits for it.
    void lock_shared();
    bool try_lock_shared();
    void unlock_shared();

private:
    std::mutex m_state;
    std::condition_variable m_readersGo;
    std::condition_variable m_writerGoes;
    unsigned m_readers = 0;        // readers holding it
    unsigned m_writersWaiting = 0; // writers waiting for it
    bool m_writer = false;         // a writer holds it
};
