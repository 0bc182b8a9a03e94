#include "checkout/CCheckoutWatch.h"

#include "doc/CLocalStorage.h"

#include "model/CkxwFileSystem.h"
#include "qt/KxWindowMessage.h"

#include <chrono>

bool CCheckoutWatch::Start(QObject* window, int periodMs) {
    if (m_thread.joinable()) return true;
    m_window = window;
    m_nPeriodMs = periodMs > 0 ? periodMs : 1000;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bRun = true;
        m_snapshot.reset();
    }
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bRun = false;
        return false;
    }
    return true;
}

void CCheckoutWatch::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bRun = false;
    }
    m_cv.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CCheckoutWatch::Deliver(std::vector<Entry> snapshot) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_snapshot = std::move(snapshot);
    }
    m_cv.notify_all();
}

CCheckoutWatch::Finding CCheckoutWatch::Look(const Entry& entry) {
    Finding f;
    f.exists = CkxwFileSystem::IsFileValid(entry.path) != 0;
    if (f.exists) {
        const COleDateTime et =
            CLocalStorage::EffectiveModifyTime(entry.checkout, CkxwFileSystem::GetFileModifyTime(entry.path));
        f.modified = entry.checkout < et && entry.modified < et;
    }
    f.existsChanged = f.exists != entry.exists;
    return f;
}

void CCheckoutWatch::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (m_bRun) {
        m_snapshot.reset();
        lock.unlock();
        kx::PostMessage(m_window, WM_WATCH_SNAPSHOT);
        lock.lock();
        m_cv.wait(lock, [this] { return !m_bRun || m_snapshot.has_value(); });
        if (!m_bRun) break;
        const std::vector<Entry> entries = std::move(*m_snapshot);
        m_snapshot.reset();
        lock.unlock();
        for (const Entry& e : entries) {
            const Finding f = Look(e);
            const auto id = static_cast<kx::WPARAM>(e.fileId);
            if (f.modified) kx::PostMessage(m_window, WM_COPY_MODIFIED, id, 0);
            if (f.existsChanged) kx::PostMessage(m_window, WM_COPY_EXISTS, id, f.exists ? 1 : 0);
            kx::PostMessage(m_window, WM_COPY_SEEN, id, 0);
        }
        lock.lock();
        m_cv.wait_for(lock, std::chrono::milliseconds(m_nPeriodMs), [this] { return !m_bRun; });
    }
}
