#include "transport/NetPacket.h"

#include <climits>
#include <cstdio>
#include <cstring>

void NetCommandHeader::Clear(int type, int subOp, int flag) {
    *this = NetCommandHeader{};
    nReserved = 0;
    nType = static_cast<uint16_t>(type);
    nSubOp = static_cast<uint8_t>(subOp);
    nFlag = static_cast<uint8_t>(flag);
}

NetPacket::NetPacket() { std::memset(m_data, 0, sizeof m_data); }

NetPacket::NetPacket(int kind) : NetPacket() { m_frame.nKind = static_cast<uint8_t>(kind); }

NetPacket::NetPacket(int kind, size_t n, Unfilled) : m_nDataLength(static_cast<uint32_t>(n)) {
    m_frame.nKind = static_cast<uint8_t>(kind);
    std::memset(m_data + n, 0, sizeof m_data - n);
}

std::unique_ptr<NetPacket> NetPacket::NewForPayload(int kind, size_t n) {
    if (n > static_cast<size_t>(kNetMaxPayload)) n = 0;
    return std::unique_ptr<NetPacket>(new NetPacket(kind, n, Unfilled{}));
}

NetPacket::NetPacket(const NetPacket& o) : m_frame(o.m_frame), m_cmd(o.m_cmd), m_nDataLength(o.m_nDataLength) {
    std::memcpy(m_data, o.m_data, m_nDataLength);
    std::memset(m_data + m_nDataLength, 0, sizeof m_data - m_nDataLength);
}

NetPacket& NetPacket::operator=(const NetPacket& o) {
    if (this == &o) return *this;
    m_frame = o.m_frame;
    m_cmd = o.m_cmd;
    ResizePayload(o.m_nDataLength);
    std::memcpy(m_data, o.m_data, m_nDataLength);
    return *this;
}

void NetPacket::SetCommand(int type, int subOp, int flag, uint32_t param) {
    m_cmd.nType = static_cast<uint16_t>(type);
    m_cmd.nSubOp = static_cast<uint8_t>(subOp);
    m_cmd.nFlag = static_cast<uint8_t>(flag);
    m_cmd.nParam = param;
}

void NetPacket::SetSeries(int pos, int index) {
    m_cmd.nSeriesPos = static_cast<uint8_t>(pos);
    m_cmd.nSeriesIndex = static_cast<uint16_t>(index);
}

void NetPacket::ResizePayload(size_t n) {
    if (n < m_nDataLength) std::memset(m_data + n, 0, m_nDataLength - n);
    m_nDataLength = static_cast<uint32_t>(n);
}

int NetPacket::SetData(const void* bytes, size_t n) {
    if (n > static_cast<size_t>(kNetMaxPayload) || (n > 0 && bytes == nullptr)) {
        ResizePayload(0);
        return 0;
    }
    ResizePayload(n);
    if (n > 0) std::memcpy(m_data, bytes, n);
    return static_cast<int>(n);
}

int NetPacket::SetDataInt(int value) {
    char text[16];
    int n = std::snprintf(text, sizeof text, "%d", value);
    return SetData(text, static_cast<size_t>(n));
}

int NetPacket::SetDataInt64(uint32_t high, uint32_t low) {
    uint8_t bytes[8];
    kx::StoreU32(bytes, low);
    kx::StoreU32(bytes + 4, high);
    return SetData(bytes, sizeof bytes);
}

int NetPacket::CopyData(void* dest, size_t n) const {
    if (dest == nullptr || n > m_nDataLength) return 0;
    std::memcpy(dest, m_data, n);
    return static_cast<int>(n);
}

std::string NetPacket::GetText() const {
    const char* text = reinterpret_cast<const char*>(m_data);
    const void* zero = std::memchr(text, 0, m_nDataLength);
    size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : m_nDataLength;
    return std::string(text, n);
}

int NetPacket::GetDataInt() const {
    // What atoi reads, without its undefined behaviour on overflow.
    std::string text = GetText();
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

int NetPacket::GetDataInt64(uint32_t& high, uint32_t& low) const {
    if (m_nDataLength < 8) return 0;
    low = kx::LoadU32(m_data);
    high = kx::LoadU32(m_data + 4);
    return 8;
}

void NetPacket::WriteHeader(uint8_t* dest) const {
    _HEADER h{m_frame, m_cmd};
    h.frame.nGap = 0;
    h.frame.nTotal = static_cast<uint16_t>(GetTotalLength());
    h.cmd.nGap1 = 0;
    std::memset(h.cmd.nGap2, 0, sizeof h.cmd.nGap2);
    std::memcpy(dest, &h, sizeof h);
}

int NetPacket::Write(uint8_t* dest) {
    m_frame.nTotal = static_cast<uint16_t>(GetTotalLength());
    WriteHeader(dest);
    std::memcpy(dest + kNetHeaderSize, m_data, m_nDataLength);
    return GetTotalLength();
}

int NetPacket::FrameLength(const uint8_t* bytes, size_t len) {
    _FRAME frame;
    if (len < static_cast<size_t>(kNetHeaderSize) || !kx::ReadRecord(bytes, len, frame)) return 0;
    if (frame.nSync != kNetSync) return -1;
    // Checked before anything is copied: a length outside 28..8220 describes no packet.
    const uint16_t total = frame.nTotal;
    if (total < kNetHeaderSize || total > kNetMaxPacket) return -1;
    return len < total ? 0 : total;
}

int NetPacket::Read(const uint8_t* bytes, size_t len) {
    const int total = FrameLength(bytes, len);
    if (total <= 0) return total;
    _HEADER h;
    kx::ReadRecord(bytes, len, h); // FrameLength saw the whole header
    m_frame = h.frame;
    m_cmd = h.cmd;
    const size_t n = static_cast<size_t>(total - kNetHeaderSize);
    ResizePayload(n);
    std::memcpy(m_data, bytes + kNetHeaderSize, n);
    return total;
}

uint8_t* NetPacket::PreparePayload(size_t n) {
    if (n > static_cast<size_t>(kNetMaxPayload)) return nullptr;
    ResizePayload(n);
    return m_data;
}
