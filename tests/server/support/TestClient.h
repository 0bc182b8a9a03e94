// A workstation for the server tests, on our own transport: connects to the loopback server,
// logs on, sends requests, and collects every answer and notice so a test can wait for the ones
// it expects (with a time limit) or check that none came.
#pragma once

#include "model/CkxClient.h"
#include "protocol/KxMessage.h"
#include "transport/NetConnection.h"

#include <chrono>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace srvtest {

using namespace std::chrono_literals;

// One packet or message the server sent.
struct Answer {
    int type = 0;
    int subOp = 0;
    int flag = 0;
    int seriesPos = 0;
    int seriesIndex = 0;
    uint32_t param = 0;
    std::string payload;              // a packet's payload, or a message's first piece
    bool isMessage = false;
    std::vector<std::string> pieces;  // a message's pieces

    // The payload as a record; false when it is shorter.
    template <class Com>
    bool As(Com& out) const {
        if (payload.size() < sizeof(Com)) return false;
        std::memcpy(&out, payload.data(), sizeof(Com));
        return true;
    }
    int AsInt() const { return std::atoi(payload.c_str()); }
};

class TestClient : public NetConnection {
public:
    ~TestClient() override;

    // Connects to 127.0.0.1:port; false when it cannot.
    bool Open(int port);

    // Sends the log-on request and waits for its answer: the result (0 success), or -1 when no
    // answer came. The user id of the answer goes to *userId.
    int LogOn(const std::string& logon, const std::string& password,
              int kind = CkxClient::MS_STUDIO, int* userId = nullptr);
    // The user id of the last successful log-on (-1 before).
    int UserId() const { return m_nUserId; }

    // A request (flag 1) with the bytes as payload.
    bool Send(int type, int subOp, const void* bytes = nullptr, size_t n = 0);
    bool SendText(int type, int subOp, const std::string& text) {
        return Send(type, subOp, text.data(), text.size());
    }
    template <class Com>
    bool SendRecord(int type, int subOp, const Com& com) {
        return Send(type, subOp, &com, sizeof com);
    }

    // Takes the first answer of the type (and sub-operation, unless -1) that arrived or arrives
    // within the limit; nothing after the limit.
    std::optional<Answer> Wait(int type, int subOp = -1, std::chrono::milliseconds limit = 30s);
    // Takes a whole series: answers of (type, subOp) until the one marked last.
    // Nothing when the last one did not arrive within the limit (what came stays).
    std::optional<std::vector<Answer>> WaitSeries(int type, int subOp,
                                                  std::chrono::milliseconds limit = 60s);
    // True when no answer of (type, subOp) (any sub-operation for -1) arrives within the time
    // (or already came); takes nothing.
    bool Quiet(int type, int subOp, std::chrono::milliseconds within = 300ms);
    // How many answers of (type, subOp) have arrived and were not taken.
    int Count(int type, int subOp);
    std::vector<Answer> Pending();

    // Waits until the server ended the connection.
    bool WaitClosed(std::chrono::milliseconds limit = 30s);
    bool IsClosed() const { return m_bClosed.load(); }

protected:
    void OnRequest(NetPacket& packet, NetMessage* message) override { Record(packet, message); }
    void OnReply(NetPacket& packet, NetMessage* message) override { Record(packet, message); }
    void OnClose() override;

private:
    void Record(NetPacket& packet, NetMessage* message);
    static bool Matches(const Answer& a, int type, int subOp) {
        return a.type == type && (subOp < 0 || a.subOp == subOp);
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Answer> m_answers;
    uint64_t m_nTaken = 0; // answers taken out of m_answers, under m_mutex
    std::atomic<bool> m_bClosed{false};
    int m_nUserId = -1;
};

} // namespace srvtest
