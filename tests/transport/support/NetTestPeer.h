// Loopback fixtures for the transport tests: a connection that records what its handlers get,
// a listener that queues accepted handles, raw sockets for feeding hand-made bytes, and
// hand-built frames (built here, not by the code under test).
#pragma once

#include "transport/NetConnection.h"
#include "transport/NetListener.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace nettest {

using namespace std::chrono_literals;

// What one handler call saw.
struct Received {
    bool request = false;
    int type = 0;
    int subOp = 0;
    int kind = 0;
    uint32_t param = 0;
    int seriesPos = 0;
    int seriesIndex = 0;
    std::string payload;
    bool isMessage = false;
    int transferId = 0;
    int messageSeriesPos = -1; // 0 first, 1 middle, 2 last, from the message's tests
    int messageSeriesIndex = -1;
    std::vector<std::string> pieces;
};

class RecordingConnection : public NetConnection {
public:
    ~RecordingConnection() override { StopAndClose(); }

    // Called on the dispatch thread after the call is recorded (e.g. to answer).
    std::function<void(RecordingConnection&, NetPacket&, NetMessage*)> onRequest;

    std::vector<Received> Items();
    size_t Count();
    // Waits until at least n calls were recorded; false after the limit.
    bool WaitForCount(size_t n, std::chrono::milliseconds limit = 20s);
    int CloseCount() const { return m_nCloses.load(); }
    bool WaitForClose(std::chrono::milliseconds limit);

    using NetConnection::EnqueuePacket;

protected:
    void OnRequest(NetPacket& packet, NetMessage* message) override;
    void OnReply(NetPacket& packet, NetMessage* message) override;
    void OnClose() override;

private:
    void Record(NetPacket& packet, NetMessage* message);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Received> m_items;
    std::atomic<int> m_nCloses{0};
};

// Queues the handles it accepts.
class HandleListener : public NetListener {
public:
    ~HandleListener() override;
    // The next accepted handle, or -1 after the limit.
    int TakeHandle(std::chrono::milliseconds limit = 10s);
    int AcceptCount() const { return m_nAccepted.load(); }

protected:
    void OnAccept(int handle) override;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<int> m_handles;
    std::atomic<int> m_nAccepted{0};
};

// A listener on 127.0.0.1 (free port) and a connected pair of recording connections.
struct LoopbackPair {
    HandleListener listener;
    RecordingConnection client;
    RecordingConnection server;
    // False when any step fails.
    bool Open();
};

// A recording connection on the accepted end, and a plain socket on the other.
struct RawPeer {
    HandleListener listener;
    RecordingConnection conn;
    int raw = -1;
    ~RawPeer();
    // receiveBuffer > 0 shrinks the plain socket's receive window (set before connecting);
    // `threads` is what the accepted end starts.
    bool Open(int receiveBuffer = 0, NetThreads threads = NetThreads::All);
    // Sends all the bytes on the plain socket.
    bool Write(const std::string& bytes);
    // Reads what arrives on the plain socket within the time.
    std::string ReadFor(std::chrono::milliseconds time);
};

// A plain connected TCP socket to 127.0.0.1:port, or -1.
int ConnectRaw(int port, int receiveBuffer = 0);

// Splits a byte stream into frames by their length field, skipping bytes before a sync byte.
std::vector<std::string> SplitFrames(const std::string& stream);

// A frame as it travels: 28 header bytes then the payload. `total` overrides the length field.
std::string Frame(int kind, int type, int subOp, int flag, const std::string& payload, int cls = 0,
                  uint32_t param = 0, int total = -1);
// Payloads of a multi-part message.
std::string FirstPartPayload(int id, uint32_t length, int parts, uint32_t param = 0, int seriesPos = 0,
                             int seriesIndex = 0);
std::string DataPartPayload(int id, int index, const std::string& data, int declared = -1);
// A packed content block: count byte, u32 lengths, bytes.
std::string ContentBlock(const std::vector<std::string>& pieces);

// Bytes 0..n-1 of a fixed pseudo-random pattern (seeded), for content checks.
std::string Pattern(size_t n, uint32_t seed);

} // namespace nettest
