#include "server/support/TestClient.h"

#include "transport/NetMessage.h"
#include "transport/NetRead.h"

namespace srvtest {

namespace {
// By the position field: the 16-bit count-down index wraps in a series of over 65,536 entries.
bool IsLast(const Answer& a) {
    return a.seriesPos == kSeriesLast || a.seriesPos == kSeriesOnly || (a.seriesPos == kSeriesFirst && a.seriesIndex == 0);
}
} // namespace

TestClient::~TestClient() { StopAndClose(); }

bool TestClient::Open(int port) { return Connect(port, "127.0.0.1") == 1; }

int TestClient::LogOn(const std::string& logon, const std::string& password, int kind, int* userId) {
    CkxClient client;
    client.m_nType = kind;
    client.m_strLogon = logon;
    client.m_strPassword = password;
    if (!SendRecord(kx::kMsgSession, kx::kSubLogon, client.GetComData())) return -1;
    const auto answer = Wait(kx::kMsgSession, kx::kSubLogon);
    if (!answer || answer->payload.size() != 8) return -1;
    int32_t result = 0, id = 0;
    std::memcpy(&result, answer->payload.data(), 4);
    std::memcpy(&id, answer->payload.data() + 4, 4);
    if (userId) *userId = id;
    if (result == 0) m_nUserId = id;
    return result;
}

bool TestClient::Send(int type, int subOp, const void* bytes, size_t n) {
    NetPacket packet;
    packet.InitCommand(type, subOp, 1);
    packet.SetRequestQueue();
    if (n > 0 && packet.SetData(bytes, n) == 0) return false;
    return SendPacket(packet) == 1;
}

void TestClient::Record(NetPacket& packet, NetMessage* message) {
    Answer a;
    a.type = packet.GetType();
    a.subOp = packet.GetSubOp();
    a.flag = packet.GetFlag();
    a.seriesPos = packet.GetSeriesPos();
    a.seriesIndex = packet.GetSeriesIndex();
    a.param = packet.GetParam();
    if (message) {
        a.isMessage = true;
        for (int i = 0; i < message->GetPieceCount(); ++i) a.pieces.emplace_back(message->GetPiece(i));
        if (!a.pieces.empty()) a.payload = a.pieces.front();
    } else {
        a.payload.assign(reinterpret_cast<const char*>(packet.GetData()),
                         static_cast<size_t>(packet.GetDataLength()));
    }
    {
        std::lock_guard lock(m_mutex);
        m_answers.push_back(std::move(a));
    }
    m_changed.notify_all();
}

void TestClient::OnClose() {
    m_bClosed = true;
    m_changed.notify_all();
}

std::optional<Answer> TestClient::Wait(int type, int subOp, std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    std::optional<Answer> found;
    m_changed.wait_for(lock, limit, [&] {
        for (auto it = m_answers.begin(); it != m_answers.end(); ++it) {
            if (!Matches(*it, type, subOp)) continue;
            found = std::move(*it);
            m_answers.erase(it);
            ++m_nTaken;
            return true;
        }
        return false;
    });
    return found;
}

std::optional<std::vector<Answer>> TestClient::WaitSeries(int type, int subOp,
                                                          std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    // Answers only come at the back, so each wake-up looks at the new ones alone (a long series
    // would otherwise be scanned whole once per entry), unless one was taken meanwhile.
    size_t scanned = 0;
    uint64_t taken = m_nTaken;
    const bool complete = m_changed.wait_for(lock, limit, [&] {
        if (taken != m_nTaken) {
            taken = m_nTaken;
            scanned = 0;
        }
        for (; scanned < m_answers.size(); ++scanned) {
            const Answer& a = m_answers[scanned];
            if (Matches(a, type, subOp) && IsLast(a)) return true;
        }
        return false;
    });
    if (!complete) return std::nullopt;
    std::vector<Answer> series;
    for (auto it = m_answers.begin(); it != m_answers.end();) {
        if (!Matches(*it, type, subOp)) {
            ++it;
            continue;
        }
        const bool last = IsLast(*it);
        series.push_back(std::move(*it));
        it = m_answers.erase(it);
        ++m_nTaken;
        if (last) break;
    }
    return series;
}

bool TestClient::Quiet(int type, int subOp, std::chrono::milliseconds within) {
    std::unique_lock lock(m_mutex);
    return !m_changed.wait_for(lock, within, [&] {
        for (const auto& a : m_answers)
            if (Matches(a, type, subOp)) return true;
        return false;
    });
}

int TestClient::Count(int type, int subOp) {
    std::lock_guard lock(m_mutex);
    int n = 0;
    for (const auto& a : m_answers) n += Matches(a, type, subOp) ? 1 : 0;
    return n;
}

std::vector<Answer> TestClient::Pending() {
    std::lock_guard lock(m_mutex);
    return {m_answers.begin(), m_answers.end()};
}

bool TestClient::WaitClosed(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit, [&] { return m_bClosed.load(); });
}

} // namespace srvtest
