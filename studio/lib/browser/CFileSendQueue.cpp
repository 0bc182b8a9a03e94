#include "browser/CFileSendQueue.h"

#include "session/CServerLink.h"

#include "qt/KxGuiThread.h"

#include <atomic>

namespace {
// Spreads large bodies over time, as the studio always has.
std::atomic<long long> g_gapMs{100};
} // namespace

CFileSendQueue::CFileSendQueue(CServerLink* link) : m_link(link) {}

CFileSendQueue::~CFileSendQueue() {
    *m_alive = false;
    {
        std::lock_guard lock(m_mutex);
        m_jobs.clear(); // what has not gone yet stays unsent with the closing view
    }
    if (!m_thread.joinable()) return;
    // The loop sets no done flag of its own: it ends as soon as it sees the stop.
    std::unique_lock lock(m_mutex);
    m_bStop = true;
    m_wake.notify_all();
    lock.unlock();
    m_thread.join();
}

void CFileSendQueue::SetGap(std::chrono::milliseconds gap) { g_gapMs = gap.count(); }

void CFileSendQueue::Push(Kind kind, std::vector<std::unique_ptr<CkxFile>> files) {
    std::lock_guard lock(m_mutex);
    for (auto& f : files)
        if (f) m_jobs.push_back({kind, std::move(f)});
    if (!m_thread.joinable()) m_thread = std::thread([this] { Loop(); });
    m_wake.notify_all();
}

int CFileSendQueue::Pending() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_jobs.size()) + m_nWorking;
}

std::vector<std::string> CFileSendQueue::SentNames() const {
    std::lock_guard lock(m_mutex);
    return m_sent;
}

bool CFileSendQueue::SendOne(Job& job) {
    CkxFile& f = *job.file;
    if (!m_link) return false;
    if (job.kind == UPDATE_ATTRS) return m_link->SendFileAttrUpdateRequest(f) == 1;
    // The content is read only now, so one file's bytes are in memory at a time; a source that
    // cannot be read is never sent as an empty file.
    if (!f.LoadMemWhole(f.GetSourcePath())) return false;
    const bool sent = m_link->SendFileAddRequest(f) == 1;
    f.DestroyWhole();
    return sent;
}

void CFileSendQueue::Loop() {
    std::unique_lock lock(m_mutex);
    bool first = true;
    while (!m_bStop) {
        if (m_jobs.empty()) {
            m_wake.wait(lock, [&] { return m_bStop || !m_jobs.empty(); });
            continue;
        }
        if (!first) {
            // The pause between two files; a stop ends it at once.
            if (m_wake.wait_for(lock, std::chrono::milliseconds(g_gapMs.load()), [&] { return m_bStop; })) break;
            if (m_jobs.empty()) continue;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_nWorking;
        lock.unlock();
        const std::string name = job.file->GetFileName();
        const bool sent = SendOne(job);
        job.file.reset();
        lock.lock();
        --m_nWorking;
        first = false;
        (sent ? m_sent : m_skipped).push_back(name);
        if (m_jobs.empty()) {
            first = true;
            std::vector<std::string> skipped;
            skipped.swap(m_skipped);
            kx::PostToGui([alive = m_alive, this, skipped] {
                if (*alive && m_onFinish) m_onFinish(skipped);
            });
        }
    }
}
