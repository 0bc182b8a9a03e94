#include "browser/CWholeFileWorker.h"

#include "doc/CvClientDoc.h"
#include "doc/ThreadStop.h"
#include "session/CServerLink.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>

namespace {

std::atomic<long long> g_baseMs{30000};
std::atomic<long long> g_perMbMs{1000};

} // namespace

CWholeFileWorker::CWholeFileWorker(CvClientDoc& doc, CServerLink* link)
    : m_doc(doc), m_link(link), m_nDocID(doc.GetDocID()) {}

CWholeFileWorker::~CWholeFileWorker() { Stop(); }

void CWholeFileWorker::SetAnswerLimit(std::chrono::milliseconds base, std::chrono::milliseconds perMegabyte) {
    g_baseMs = base.count();
    g_perMbMs = perMegabyte.count();
}

bool CWholeFileWorker::Start(bool serverDocument) {
    if (m_thread.joinable()) return true;
    m_bServer = serverDocument;
    m_nDocID = m_doc.GetDocID();
    try {
        m_thread = std::thread([this] { Loop(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CWholeFileWorker::Stop() {
    StopAndJoin(m_thread, m_mutex, m_wake, m_bStop, m_bDone, kStopLimitMs,
                "the whole-file worker of document " + std::to_string(m_nDocID));
}

void CWholeFileWorker::Activate() {
    {
        std::lock_guard lock(m_mutex);
        m_bActivated = true;
        m_bWoken = true;
    }
    m_wake.notify_all();
}

void CWholeFileWorker::Wake() {
    {
        std::lock_guard lock(m_mutex);
        m_bWoken = true;
    }
    m_wake.notify_all();
}

void CWholeFileWorker::SetLoadable(int fileId, bool loadable) {
    std::lock_guard lock(m_mutex);
    if (loadable) m_notLoadable.erase(fileId);
    else m_notLoadable.insert(fileId);
}

int CWholeFileWorker::BackgroundInFlight() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(std::count_if(m_inFlight.begin(), m_inFlight.end(), [](const InFlight& f) { return f.background; }));
}

std::vector<int> CWholeFileWorker::SentIds() const {
    std::lock_guard lock(m_mutex);
    return m_sent;
}

void CWholeFileWorker::Loop() {
    std::unique_lock lock(m_mutex);
    while (!m_bStop) {
        std::chrono::milliseconds wait(1000);
        if (m_bActivated && m_bServer) {
            lock.unlock();
            wait = Step();
            lock.lock();
        }
        if (m_bStop) break;
        m_wake.wait_for(lock, wait, [&] { return m_bStop || m_bWoken; });
        m_bWoken = false;
    }
    m_bDone = true;
    m_wake.notify_all();
}

void CWholeFileWorker::Send(int fileId, bool background) {
    CkxFile::_COM record{};
    int64_t size = 0;
    if (!m_doc.CopyRecord(fileId, record, size)) return;
    // Marked before it goes, so a quick answer finds it on its way.
    m_doc.SetWholeStateGetting(fileId);
    // The transport's send is safe from any thread; the builder reads no session state.
    if (!m_link || m_link->SendWholeFileRequest(record, m_nDocID) <= 0) {
        m_doc.SetWholeStateInvalid(fileId);
        if (background) m_skipped.insert(fileId);
        return;
    }
    const auto limit = std::chrono::milliseconds(g_baseMs.load() + g_perMbMs.load() * (std::max<int64_t>(size, 0) >> 20));
    std::lock_guard lock(m_mutex);
    m_inFlight.push_back({fileId, std::chrono::steady_clock::now() + limit, background});
    m_sent.push_back(fileId);
}

std::chrono::milliseconds CWholeFileWorker::Step() {
    using std::chrono::milliseconds;
    const auto now = std::chrono::steady_clock::now();
    // Answered, gone, or left unanswered too long. The document's locks are never taken under
    // the worker's own.
    std::vector<InFlight> flights;
    {
        std::lock_guard lock(m_mutex);
        flights = m_inFlight;
    }
    std::set<int> over;
    bool backgroundOnItsWay = false;
    for (const InFlight& f : flights) {
        if (m_doc.GetWholeState(f.id) != KXW_GETTING) {
            over.insert(f.id);
        } else if (now >= f.deadline) {
            over.insert(f.id);
            m_doc.SetWholeStateInvalid(f.id);
            if (f.background) m_skipped.insert(f.id);
        } else {
            backgroundOnItsWay = backgroundOnItsWay || f.background;
        }
    }
    std::set<int> notLoadable;
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_inFlight, [&](const InFlight& f) { return over.count(f.id) > 0; });
        notLoadable = m_notLoadable;
    }
    // The user's choice goes out at once.
    if (const auto chosen = m_doc.FirstPendingId(KXW_REQUEST)) {
        if (!notLoadable.count(*chosen)) Send(*chosen, false);
        else m_doc.SetWholeStateInvalid(*chosen);
        return milliseconds(1);
    }
    // One background transfer at a time.
    if (backgroundOnItsWay) return milliseconds(100);
    if (const auto next = m_doc.FirstInvalidId([&](int id) { return !m_skipped.count(id) && !notLoadable.count(id); })) {
        Send(*next, true);
        return milliseconds(2);
    }
    return milliseconds(m_doc.GetPendingCount() == 0 ? 100 : 10);
}
