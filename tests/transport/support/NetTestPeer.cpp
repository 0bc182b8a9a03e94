#include "transport/support/NetTestPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace nettest {

namespace {

void PutU16(std::string& s, size_t at, uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& s, size_t at, uint32_t v) {
    PutU16(s, at, v & 0xFFFF);
    PutU16(s, at + 2, v >> 16);
}

} // namespace

std::vector<Received> RecordingConnection::Items() {
    std::lock_guard lock(m_mutex);
    return m_items;
}

size_t RecordingConnection::Count() {
    std::lock_guard lock(m_mutex);
    return m_items.size();
}

bool RecordingConnection::WaitForCount(size_t n, std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit, [&] { return m_items.size() >= n; });
}

bool RecordingConnection::WaitForClose(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit, [&] { return m_nCloses.load() > 0; });
}

void RecordingConnection::Record(NetPacket& packet, NetMessage* message) {
    Received r;
    r.request = packet.IsRequest();
    r.type = packet.GetType();
    r.subOp = packet.GetSubOp();
    r.kind = packet.GetKind();
    r.param = packet.GetParam();
    r.seriesPos = packet.GetSeriesPos();
    r.seriesIndex = packet.GetSeriesIndex();
    r.payload.assign(reinterpret_cast<const char*>(packet.GetData()), static_cast<size_t>(packet.GetDataLength()));
    if (message) {
        r.isMessage = true;
        r.transferId = message->GetTransferId();
        r.param = message->GetParam();
        r.messageSeriesPos = message->IsFirstInSeries() ? 0 : message->IsMiddleInSeries() ? 1
                           : message->IsLastInSeries()  ? 2 : -1;
        r.messageSeriesIndex = message->GetSeriesIndex();
        for (int i = 0; i < message->GetPieceCount(); ++i) r.pieces.emplace_back(message->GetPiece(i));
    }
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(std::move(r));
    }
    m_changed.notify_all();
}

void RecordingConnection::OnRequest(NetPacket& packet, NetMessage* message) {
    Record(packet, message);
    if (onRequest) onRequest(*this, packet, message);
}

void RecordingConnection::OnReply(NetPacket& packet, NetMessage* message) { Record(packet, message); }

void RecordingConnection::OnClose() {
    {
        std::lock_guard lock(m_mutex);
        ++m_nCloses;
    }
    m_changed.notify_all();
}

HandleListener::~HandleListener() {
    CloseAndStop();
    for (int h : m_handles) ::close(h);
}

int HandleListener::TakeHandle(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_for(lock, limit, [&] { return !m_handles.empty(); })) return -1;
    int h = m_handles.front();
    m_handles.pop_front();
    return h;
}

void HandleListener::OnAccept(int handle) {
    ++m_nAccepted;
    {
        std::lock_guard lock(m_mutex);
        m_handles.push_back(handle);
    }
    m_changed.notify_all();
}

bool LoopbackPair::Open() {
    if (!listener.Start(0, "127.0.0.1")) return false;
    if (!client.Connect(listener.GetPort(), "127.0.0.1")) return false;
    int h = listener.TakeHandle();
    if (h < 0) return false;
    server.Attach(h);
    return server.StartThreads() == 1;
}

int ConnectRaw(int port, int receiveBuffer) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

RawPeer::~RawPeer() {
    conn.StopAndClose();
    if (raw != -1) ::close(raw);
}

bool RawPeer::Open(int receiveBuffer, NetThreads threads) {
    if (!listener.Start(0, "127.0.0.1")) return false;
    raw = ConnectRaw(listener.GetPort(), receiveBuffer);
    int h = listener.TakeHandle();
    if (raw < 0 || h < 0) return false;
    conn.Attach(h);
    return conn.StartThreads(threads) == 1;
}

bool RawPeer::Write(const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t r = ::send(raw, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (r <= 0) return false;
        sent += static_cast<size_t>(r);
    }
    return true;
}

std::string RawPeer::ReadFor(std::chrono::milliseconds time) {
    std::string got;
    auto end = std::chrono::steady_clock::now() + time;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{raw, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buf[4096];
        ssize_t r = ::recv(raw, buf, sizeof buf, 0);
        if (r <= 0) break;
        got.append(buf, static_cast<size_t>(r));
    }
    return got;
}

std::vector<std::string> SplitFrames(const std::string& stream) {
    std::vector<std::string> frames;
    size_t at = 0;
    while (at < stream.size()) {
        if (static_cast<unsigned char>(stream[at]) != 0xAA) {
            ++at;
            continue;
        }
        if (stream.size() - at < 28) break;
        size_t total = static_cast<unsigned char>(stream[at + 4]) | (static_cast<unsigned char>(stream[at + 5]) << 8);
        if (total < 28 || stream.size() - at < total) break;
        frames.push_back(stream.substr(at, total));
        at += total;
    }
    return frames;
}

std::string Frame(int kind, int type, int subOp, int flag, const std::string& payload, int cls, uint32_t param,
                  int total) {
    std::string f(28, '\0');
    f[0] = static_cast<char>(0xAA);
    f[2] = static_cast<char>(kind);
    PutU16(f, 4, total >= 0 ? static_cast<uint32_t>(total) : static_cast<uint32_t>(payload.size() + 28));
    PutU16(f, 8, static_cast<uint32_t>(type));
    f[10] = static_cast<char>(subOp);
    f[11] = static_cast<char>(flag);
    f[20] = static_cast<char>(cls);
    PutU32(f, 24, param);
    return f + payload;
}

std::string FirstPartPayload(int id, uint32_t length, int parts, uint32_t param, int seriesPos, int seriesIndex) {
    std::string p(20, '\0');
    PutU16(p, 0, static_cast<uint32_t>(id));
    p[4] = static_cast<char>(seriesPos);
    PutU16(p, 6, static_cast<uint32_t>(seriesIndex));
    PutU32(p, 8, length);
    PutU16(p, 12, static_cast<uint32_t>(parts));
    PutU32(p, 16, param);
    return p;
}

std::string DataPartPayload(int id, int index, const std::string& data, int declared) {
    std::string p(6, '\0');
    PutU16(p, 0, static_cast<uint32_t>(id));
    PutU16(p, 2, static_cast<uint32_t>(index));
    PutU16(p, 4, declared >= 0 ? static_cast<uint32_t>(declared) : static_cast<uint32_t>(data.size()));
    return p + data;
}

std::string ContentBlock(const std::vector<std::string>& pieces) {
    std::string block(1 + 4 * pieces.size(), '\0');
    block[0] = static_cast<char>(pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i) PutU32(block, 1 + 4 * i, static_cast<uint32_t>(pieces[i].size()));
    for (const auto& p : pieces) block += p;
    return block;
}

std::string Pattern(size_t n, uint32_t seed) {
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s[i] = static_cast<char>(x);
    }
    return s;
}

} // namespace nettest
