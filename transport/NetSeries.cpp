#include "transport/NetSeries.h"

#include <utility>

int NetSeriesPosition(int index, int n) {
    if (index == n - 1) return kSeriesFirst;
    return index == 0 ? kSeriesLast : kSeriesMiddle;
}

NetPacketSeries::NetPacketSeries(int type, int subOp, int flag) { m_header.Clear(type, subOp, flag); }

void NetPacketSeries::Add(const NetPacket& packet) {
    m_packets.push_back(packet);
    m_packets.back().Header() = m_header;
}

int NetPacketSeries::AddBytes(const void* bytes, size_t n) {
    if (bytes == nullptr || n == 0 || n > static_cast<size_t>(kNetMaxPayload)) return 0;
    NetPacket packet;
    packet.SetData(bytes, n);
    Add(packet);
    return 1;
}

int NetPacketSeries::AddInt(int value) {
    NetPacket packet;
    packet.SetDataInt(value);
    Add(packet);
    return 1;
}

int NetPacketSeries::AddText(std::string_view text) {
    if (text.size() > static_cast<size_t>(kNetMaxPayload)) return 0;
    NetPacket packet;
    packet.SetText(text);
    Add(packet);
    return 1;
}

void NetPacketSeries::Number() {
    const int n = GetCount();
    for (int i = 0; i < n; ++i) {
        const int index = n - 1 - i;
        m_packets[static_cast<size_t>(i)].SetSeries(n == 1 ? kSeriesOnly : NetSeriesPosition(index, n), index);
    }
}

NetMessageSeries::NetMessageSeries(int type, int subOp, uint32_t param) : m_nParam(param) {
    m_header.Clear(type, subOp, 1);
}

void NetMessageSeries::Add(NetMessage message) {
    message.Header() = m_header;
    message.SetParam(m_nParam);
    m_messages.push_back(std::move(message));
}
