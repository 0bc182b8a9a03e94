#include "data/CCatalogueMutex.h"

void CCatalogueMutex::lock() {
    std::unique_lock state(m_state);
    ++m_writersWaiting;
    m_writerGoes.wait(state, [this] { return !m_writer && m_readers == 0; });
    --m_writersWaiting;
    m_writer = true;
}

bool CCatalogueMutex::try_lock() {
    std::lock_guard state(m_state);
    if (m_writer || m_readers != 0) return false;
    m_writer = true;
    return true;
}

void CCatalogueMutex::unlock() {
    {
        std::lock_guard state(m_state);
        m_writer = false;
    }
    // Every waiter looks: the next writer goes if there is one, else the readers do.
    m_writerGoes.notify_one();
    m_readersGo.notify_all();
}

void CCatalogueMutex::lock_shared() {
    std::unique_lock state(m_state);
    m_readersGo.wait(state, [this] { return !m_writer && m_writersWaiting == 0; });
    ++m_readers;
}

bool CCatalogueMutex::try_lock_shared() {
    std::lock_guard state(m_state);
    if (m_writer || m_writersWaiting != 0) return false;
    ++m_readers;
    return true;
}

void CCatalogueMutex::unlock_shared() {
    bool last = false;
    {
        std::lock_guard state(m_state);
        last = --m_readers == 0;
    }
    if (last) m_writerGoes.notify_one();
}
