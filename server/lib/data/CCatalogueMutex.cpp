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
    bool readersGo = false;
    {
        std::lock_guard state(m_state);
        m_writer = false;
        // The readers waiting now hold it from here, before any writer waiting beside them.
        if (m_readersWaiting != 0) {
            m_readers += m_readersWaiting;
            m_readersWaiting = 0;
            ++m_readTurn;
            readersGo = true;
        }
    }
    if (readersGo) m_readersGo.notify_all();
    else m_writerGoes.notify_one();
}

void CCatalogueMutex::lock_shared() {
    std::unique_lock state(m_state);
    if (!m_writer && m_writersWaiting == 0) {
        ++m_readers;
        return;
    }
    // Counted in by the writer that leaves next.
    ++m_readersWaiting;
    const uint64_t turn = m_readTurn;
    m_readersGo.wait(state, [this, turn] { return m_readTurn != turn; });
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
