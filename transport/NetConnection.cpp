#include "transport/NetConnection.h"

#include "transport/NetLog.h"
#include "transport/NetParseStep.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <system_error>
#include <vector>

using namespace std::chrono_literals;

namespace {

// The connection whose worker runs on this thread: Stop() called from a handler must not try
// to join the thread it runs on.
thread_local const NetConnection* t_worker = nullptr;

// One receive takes at most this much (straight into the receive buffer).
constexpr int kReceiveChunk = 256 * 1024;

// At most this many bytes go out in one send (a whole number of packets of one class). Fewer,
// larger sends carry a long message at close to the socket's own rate; a request still waits
// for at most one such send, far less than what the kernel's send buffer already holds.
constexpr size_t kSendBatchBytes = 256 * 1024;

// Send order: classes 1 to 5, then 0.
constexpr int kSendOrder[kNetQueueClasses] = {1, 2, 3, 4, 5, 0};

} // namespace

NetConnection::NetConnection() : NetSocket(0, AF_INET) {}

NetConnection::~NetConnection() { StopAndClose(); }

bool NetConnection::HasPeerClosed() const {
    if (m_bPeerClosed.load()) return true;
    const int handle = GetHandle();
    if (handle == -1) return true;
    pollfd p{handle, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

int NetConnection::Connect(int port, const std::string& host, int limitMs) {
    Stop();
    SetProtocol(0, AF_INET);
    Create();
    if (!IsValid() || !NetSocket::Connect(port, host, limitMs)) {
        Close();
        return 0;
    }
    return StartThreads();
}

int NetConnection::StartThreads(NetThreads threads) {
    if (t_worker == this) return IsRunning() ? 1 : 0;
    std::lock_guard life(m_lifeMutex);
    if (m_bRunning.load()) return 1;
    JoinThreads(); // the threads of a failed run have ended or are ending
    if (!IsValid()) return 0;
    Reset();
    m_buffer.Resume();
    ClearInterrupt();
    ResetIdle();
    m_bFailed = false;
    m_bClosed = false;
    m_bPeerClosed = false;
    m_bParseDrained = false;
    m_nDropped = 0;
    m_nEvicted = 0;
    // Requests and answers are single small packets: send them at once.
    int on = 1;
    setsockopt(GetHandle(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_bRunning = true;
    try {
        // Under the lazy-start lock: a sender on another thread may already see the connection
        // running and start the send thread itself.
        std::lock_guard lazy(m_lazyMutex);
        m_receiveThread = std::thread(&NetConnection::ReceiveLoop, this);
        m_parseThread = std::thread(&NetConnection::ParseLoop, this);
        m_dispatchThread = std::thread(&NetConnection::DispatchLoop, this);
        if (threads == NetThreads::All) {
            m_sendThread = std::thread(&NetConnection::SendLoop, this);
            m_bSendStarted = true;
            m_keepAliveThread = std::thread(&NetConnection::KeepAliveLoop, this);
        }
    } catch (const std::system_error& e) {
        kx::NetLog("cannot start the connection threads: %s", e.what());
        m_bRunning = false;
        WakeAll();
        JoinThreads();
        Reset();
        return 0;
    }
    return 1;
}

int NetConnection::StartLate(std::thread& thread, void (NetConnection::*loop)(), std::atomic<bool>* started) {
    std::lock_guard lazy(m_lazyMutex);
    // Whoever joins clears m_bRunning before taking this lock: a thread started here either is
    // joined with the others or never starts.
    if (!m_bRunning.load()) return 0;
    if (thread.joinable()) return 1;
    try {
        thread = std::thread(loop, this);
        if (started != nullptr) *started = true;
    } catch (const std::system_error& e) {
        // Failing here could run OnClose on a sender's thread: cutting the socket makes the
        // connection's own threads end it instead.
        kx::NetLog("cannot start a connection thread: %s", e.what());
        Shutdown();
        return 0;
    }
    return 1;
}

int NetConnection::StartKeepAlive() {
    if (!m_bRunning.load()) return 0;
    ResetIdle();
    return StartLate(m_keepAliveThread, &NetConnection::KeepAliveLoop);
}

void NetConnection::Stop() {
    if (t_worker == this) {
        kx::NetLog("Stop called from a connection's own thread; ignored");
        return;
    }
    std::lock_guard life(m_lifeMutex);
    m_bRunning = false;
    WakeAll();
    JoinThreads();
    Reset();
}

void NetConnection::StopAndClose() {
    if (t_worker == this) {
        kx::NetLog("StopAndClose called from a connection's own thread; ignored");
        return;
    }
    Stop();
    Close();
}

void NetConnection::JoinThreads() {
    // Taken out under the lazy-start lock, so a late start in progress has finished (and any
    // later one sees the connection stopped); joined outside it, since a thread being joined
    // may be the one waiting for the lock.
    std::thread taken[5];
    {
        std::lock_guard lazy(m_lazyMutex);
        std::thread* all[5] = {&m_keepAliveThread, &m_dispatchThread, &m_parseThread, &m_sendThread, &m_receiveThread};
        for (int i = 0; i < 5; ++i) taken[i] = std::move(*all[i]);
        m_bSendStarted = false;
    }
    for (std::thread& t : taken)
        if (t.joinable()) t.join();
}

void NetConnection::WakeAll() {
    m_buffer.Interrupt();
    Interrupt();
    // Each notify under its mutex, so a thread between its check and its wait still sees it.
    for (std::mutex* m : {&m_sendMutex, &m_receivedMutex, &m_idleMutex}) {
        std::lock_guard lock(*m);
    }
    m_sendReady.notify_all();
    m_sendSpace.notify_all();
    m_receivedReady.notify_all();
    m_receivedSpace.notify_all();
    m_idleWake.notify_all();
}

void NetConnection::Reset() {
    m_buffer.Reset();
    {
        std::lock_guard lock(m_sendMutex);
        for (auto& queue : m_sendQueues) queue.clear();
        m_nQueuedBytes = 0;
        m_spare.clear();
    }
    {
        std::lock_guard lock(m_receivedMutex);
        m_received.clear();
        m_completed.clear();
    }
    m_reassembly.Clear();
    m_nTransfer = 0;
}

void NetConnection::Fail(const char* why) {
    m_bFailed = true;
    const bool wasRunning = m_bRunning.exchange(false);
    Shutdown();
    WakeAll();
    if (wasRunning && !m_bClosed.exchange(true)) {
        kx::NetLog("connection ended: %s", why);
        try {
            OnClose();
        } catch (const std::exception& e) {
            kx::NetLog("OnClose threw: %s", e.what());
        } catch (...) {
            kx::NetLog("OnClose threw");
        }
    }
}

size_t NetConnection::GetWaitingCount() const {
    std::lock_guard lock(m_receivedMutex);
    return m_received.size() + m_completed.size();
}

int NetConnection::NextTransferId() {
    uint32_t previous = m_nTransfer.load();
    uint32_t next;
    do {
        next = previous % kNetMaxTransferId + 1;
    } while (!m_nTransfer.compare_exchange_weak(previous, next));
    return static_cast<int>(next);
}

// ---- worker threads ----

void NetConnection::ReceiveLoop() {
    t_worker = this;
    bool more = false; // the last receive filled all the room it had: more is likely waiting
    while (m_bRunning.load()) {
        // No limit: bytes, the peer's end, a shutdown and Stop's Interrupt() all end the wait.
        if (!more && !WaitFor(true, -1)) continue;
        // One receive goes straight into the buffer, waiting there while it is full.
        long n = 0;
        size_t offered = 0;
        int error = 0;
        if (!m_buffer.AppendWith(kReceiveChunk, [&](uint8_t* dest, size_t room) {
                offered = room;
                const int r = Receive(dest, static_cast<int>(room), MSG_DONTWAIT);
                error = errno;
                return static_cast<long>(r);
            }, n))
            break; // stopping
        more = n > 0 && static_cast<size_t>(n) == offered;
        if (n > 0) continue;
        if (n == 0) {
            // The peer ended its stream. Whatever it sent before is still parsed and
            // dispatched; the dispatch thread reports the end once all of it was handled.
            m_bPeerClosed = true;
            m_buffer.Interrupt();
            break;
        }
        if (error == EINTR || error == EAGAIN || error == EWOULDBLOCK) continue;
        Fail("receive error");
        break;
    }
}

void NetConnection::ParseLoop() {
    t_worker = this;
    std::vector<PacketPtr> wholes;
    std::vector<MessagePtr> messages;
    while (m_bRunning.load()) {
        const NetParseResult step = NetParseStep(m_buffer, m_reassembly, wholes, messages);
        m_nEvicted = m_reassembly.Evicted();
        m_nDropped += step.dropped;
        if (step.stop == NetParseStop::Refused) {
            // Nothing more of this peer is read: what it sent before is dropped with it.
            Fail("the peer announced a message it may not send");
            return;
        }
        for (PacketPtr& packet : wholes)
            if (!PushWaiting(m_received, kReceivedCap, std::move(packet))) return;
        for (MessagePtr& message : messages)
            if (!PushWaiting(m_completed, kCompletedCap, std::move(message))) return;
        wholes.clear();
        messages.clear();
        if (step.stop == NetParseStop::More && step.used == 0) {
            if (m_bPeerClosed.load()) {
                if (m_buffer.Length() != step.seen) continue;
                m_bParseDrained = true;
                std::lock_guard lock(m_receivedMutex);
                m_receivedReady.notify_all();
                break;
            }
            m_buffer.WaitForMore(step.seen);
        }
    }
}

// Hands a packet or message to the dispatch thread, waiting while its queue is full.
template <class T>
bool NetConnection::PushWaiting(std::deque<T>& queue, size_t cap, T item) {
    std::unique_lock lock(m_receivedMutex);
    m_receivedSpace.wait(lock, [&] { return !m_bRunning.load() || queue.size() < cap; });
    if (!m_bRunning.load()) return false;
    queue.push_back(std::move(item));
    m_receivedReady.notify_one();
    return true;
}

void NetConnection::DispatchLoop() {
    t_worker = this;
    while (m_bRunning.load()) {
        PacketPtr packet;
        MessagePtr message;
        {
            std::unique_lock lock(m_receivedMutex);
            m_receivedReady.wait(lock, [&] {
                return !m_bRunning.load() || !m_received.empty() || !m_completed.empty() || m_bParseDrained.load();
            });
            if (!m_bRunning.load()) break;
            if (!m_received.empty()) {
                packet = std::move(m_received.front());
                m_received.pop_front();
            } else if (!m_completed.empty()) {
                message = std::move(m_completed.front());
                m_completed.pop_front();
            } else if (m_bParseDrained.load()) {
                lock.unlock();
                Fail("the peer closed the connection");
                break;
            } else {
                continue;
            }
            m_receivedSpace.notify_all();
        }
        NetPacket& head = packet ? *packet : *message->GetFirstPart();
        try {
            if (head.IsRequest())
                OnRequest(head, message.get());
            else
                OnReply(head, message.get());
        } catch (const std::exception& e) {
            kx::NetLog("a handler threw: %s", e.what());
        } catch (...) {
            kx::NetLog("a handler threw");
        }
    }
}

void NetConnection::KeepAliveLoop() {
    t_worker = this;
    while (m_bRunning.load()) {
        const uint32_t sendIdle = GetSendIdle();
        const uint32_t receiveIdle = GetReceiveIdle();
        const uint32_t idle = sendIdle < receiveIdle ? sendIdle : receiveIdle;
        if (!m_bPeerClosed.load() && sendIdle != 0 && receiveIdle != 0 && idle % 2 == 0) {
            if (SendProbe(0) < 0) {
                Fail("the keep-alive probe failed");
                break;
            }
        }
        IncSendIdle();
        IncReceiveIdle();
        std::unique_lock lock(m_idleMutex);
        m_idleWake.wait_for(lock, 1000ms, [&] { return !m_bRunning.load(); });
    }
}

void NetConnection::SendLoop() {
    t_worker = this;
    std::vector<PacketPtr> batch, sent;
    const NetPacket* out[kMaxWriteBatch];
    while (m_bRunning.load()) {
        {
            std::unique_lock lock(m_sendMutex);
            // The packets just written are kept for cutting the next parts.
            for (PacketPtr& packet : sent)
                if (m_spare.size() < kSpareCap) m_spare.push_back(std::move(packet));
            sent.clear(); // frees the rest: a packet is a plain block, freed in no time
            auto pick = [&] {
                for (int c : kSendOrder)
                    if (!m_sendQueues[c].empty()) return c;
                return -1;
            };
            m_sendReady.wait(lock, [&] { return !m_bRunning.load() || pick() >= 0; });
            if (!m_bRunning.load()) break;
            const int c = pick();
            if (c < 0) continue;
            // Packets of the class with the highest priority, a bounded batch at a time: a
            // packet of a higher class queued meanwhile waits for at most this batch.
            auto& queue = m_sendQueues[c];
            const size_t before = queue.size();
            size_t bytes = 0;
            while (!queue.empty() && batch.size() < static_cast<size_t>(kMaxWriteBatch) && bytes < kSendBatchBytes) {
                bytes += static_cast<size_t>(queue.front()->GetTotalLength());
                m_nQueuedBytes -= static_cast<uint64_t>(queue.front()->GetTotalLength());
                batch.push_back(std::move(queue.front()));
                queue.pop_front();
            }
            // Senders wait while their queue is full; they are woken once it is half empty, so
            // that a long message is queued in runs rather than a few packets per wake-up.
            if (before > kSendQueueCap / 2 && queue.size() <= kSendQueueCap / 2) m_sendSpace.notify_all();
        }
        for (size_t i = 0; i < batch.size(); ++i) out[i] = batch[i].get();
        if (WritePackets(out, static_cast<int>(batch.size())) < 0) {
            Fail("send error");
            break;
        }
        sent.swap(batch);
    }
}

// ---- senders ----

bool NetConnection::PushSend(int cls, PacketPtr* packets, size_t count) {
    if (!m_bSendStarted.load()) {
        if (!StartLate(m_sendThread, &NetConnection::SendLoop, &m_bSendStarted)) return false;
    }
    std::unique_lock lock(m_sendMutex);
    for (size_t i = 0; i < count; ++i) {
        const uint64_t size = static_cast<uint64_t>(packets[i]->GetTotalLength());
        if (m_bNeverWait.load()) {
            if (!m_bRunning.load()) return false;
            if (m_nQueuedBytes + size > m_nNoWaitCap.load()) {
                // The peer has stopped reading. Waiting here would hold up the sender (and
                // every lock it holds); cutting the socket makes this connection's own threads
                // end it.
                lock.unlock();
                kx::NetLog("send queues over %llu bytes: the peer is not reading, cutting it off",
                           static_cast<unsigned long long>(m_nNoWaitCap.load()));
                Shutdown();
                return false;
            }
        } else if (m_sendQueues[cls].size() >= kSendQueueCap) {
            m_sendReady.notify_one(); // what is queued so far can go while this waits
            m_sendSpace.wait(lock, [&] { return !m_bRunning.load() || m_sendQueues[cls].size() < kSendQueueCap; });
        }
        if (!m_bRunning.load()) return false;
        m_nQueuedBytes += size;
        m_sendQueues[cls].push_back(std::move(packets[i]));
    }
    m_sendReady.notify_one();
    return true;
}

size_t NetConnection::TakeSpares(PacketPtr* out, size_t n) {
    std::lock_guard lock(m_sendMutex);
    size_t k = 0;
    for (; k < n && !m_spare.empty(); ++k) {
        out[k] = std::move(m_spare.back());
        m_spare.pop_back();
    }
    return k;
}

int NetConnection::EnqueuePacket(const NetPacket& packet) {
    const int cls = packet.GetQueueClass();
    if (cls < 0 || cls >= kNetQueueClasses || !m_bRunning.load()) return 0;
    std::lock_guard batch(m_batchMutex[cls]);
    PacketPtr copy = std::make_unique<NetPacket>(packet);
    return PushSend(cls, &copy, 1) ? 1 : 0;
}

int NetConnection::SendPacket(const NetPacket& packet) {
    NetPacket copy(packet);
    copy.SetRequest();
    return EnqueuePacket(copy);
}

int NetConnection::SendReply(const NetPacket& packet) {
    NetPacket copy(packet);
    copy.SetReply();
    copy.SetRequestQueue();
    return EnqueuePacket(copy);
}

int NetConnection::SendRequest(int type, int subOp, const void* bytes, size_t n) {
    NetPacket packet;
    packet.InitCommand(type, subOp, 1);
    packet.SetRequestQueue();
    if (n > 0 && packet.SetData(bytes, n) == 0) return 0;
    return EnqueuePacket(packet);
}

int NetConnection::SendListRequest(int type) { return SendRequest(type, 20, nullptr, 0); }

int NetConnection::SendAddRequest(int type, const void* bytes, size_t n) { return SendRequest(type, 21, bytes, n); }

int NetConnection::SendUpdateRequest(int type, const void* bytes, size_t n) {
    return SendRequest(type, 22, bytes, n);
}

int NetConnection::SendDeleteRequest(int type, int id) {
    const std::string text = std::to_string(id);
    return SendRequest(type, 23, text.data(), text.size());
}

// Cuts the message into parts and moves them into queue `cls`; the caller holds its batch lock.
int NetConnection::QueueMessage(const NetMessage& message, int flag, int cls, int seriesPos, int seriesIndex) {
    if (message.GetContentLength() > kNetMaxContent) return 0;
    NetCommandHeader header = message.Header();
    header.nFlag = static_cast<uint8_t>(flag);
    header.nClass = static_cast<uint8_t>(cls);
    header.nParam = message.GetParam();
    const int id = NextTransferId();
    // Parts are cut and queued a run at a time: one lock and one wake-up of the send thread
    // for many packets.
    constexpr size_t kRun = 32;
    PacketPtr run[kRun];
    PacketPtr spare[kRun]; // packets already written, cut into again
    size_t spares = 0;
    size_t used = 0;
    run[used] = std::make_unique<NetPacket>(kNetKindPart);
    message.MakeFirstPart(*run[used], header, id, seriesPos, seriesIndex);
    // The first part's header carries the same series marks as its payload.
    run[used++]->SetSeries(seriesPos, seriesIndex);
    const int parts = message.GetPartCount();
    for (int i = 1; i <= parts; ++i) {
        if (spares == 0) spares = TakeSpares(spare, kRun);
        run[used] = spares > 0 ? std::move(spare[--spares]) : NetPacket::NewForPayload(kNetKindPart, message.GetDataPartSize(i));
        message.MakeDataPart(*run[used++], header, id, i);
        if (used == kRun) {
            if (!PushSend(cls, run, used)) return 0;
            used = 0;
        }
    }
    return used == 0 || PushSend(cls, run, used) ? 1 : 0;
}

int NetConnection::SendMessage(const NetMessage& message) {
    int cls = message.Header().nClass;
    if (cls < 1 || cls >= kNetQueueClasses) cls = 0;
    if (!m_bRunning.load()) return 0;
    std::lock_guard batch(m_batchMutex[cls]);
    return QueueMessage(message, 1, cls, kSeriesFirst, 0);
}

int NetConnection::SendReplyMessage(const NetMessage& message) {
    if (!m_bRunning.load()) return 0;
    std::lock_guard batch(m_batchMutex[5]);
    return QueueMessage(message, 0, 5, kSeriesFirst, 0);
}

int NetConnection::QueuePacketSeries(const NetPacketSeries& series, int flag) {
    if (!m_bRunning.load()) return 0;
    NetPacketSeries numbered(series);
    numbered.Number();
    std::lock_guard batch(m_batchMutex[5]);
    for (int i = 0; i < numbered.GetCount(); ++i) {
        auto packet = std::make_unique<NetPacket>(numbered.GetAt(i));
        packet->Header().nFlag = static_cast<uint8_t>(flag);
        packet->SetBulkQueue();
        if (!PushSend(5, &packet, 1)) return 0;
    }
    return 1;
}

int NetConnection::SendPacketSeries(const NetPacketSeries& series) { return QueuePacketSeries(series, 1); }
int NetConnection::SendReplyPacketSeries(const NetPacketSeries& series) { return QueuePacketSeries(series, 0); }

int NetConnection::QueueMessageSeries(const NetMessageSeries& series, int flag) {
    if (!m_bRunning.load()) return 0;
    const int n = series.GetCount();
    for (const NetMessage& message : series)
        if (message.GetContentLength() > kNetMaxContent) return 0;
    std::lock_guard batch(m_batchMutex[5]);
    for (int i = 0; i < n; ++i) {
        const int index = n - 1 - i;
        if (!QueueMessage(series.GetAt(i), flag, 5, NetSeriesPosition(index, n), index)) return 0;
    }
    return 1;
}

int NetConnection::SendMessageSeries(const NetMessageSeries& series) { return QueueMessageSeries(series, 1); }
int NetConnection::SendReplyMessageSeries(const NetMessageSeries& series) { return QueueMessageSeries(series, 0); }
