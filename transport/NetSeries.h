// Several replies that form one answer. NetPacketSeries: whole packets, one per entry, marked
// first / middle / last (or only) with a count-down index. NetMessageSeries: multi-part
// messages, one per entry, each marked the same way in its first part. A receiver clears its
// list on the first entry and knows the last one by its index 0. A series is built by one
// thread and then handed to a NetConnection sender.
#pragma once

#include "transport/NetMessage.h"
#include "transport/NetPacket.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Position mark of the entry with count-down index `index` in a series of n entries.
int NetSeriesPosition(int index, int n);

class NetPacketSeries {
public:
    // Flag 1 (a request) unless given.
    NetPacketSeries(int type, int subOp) : NetPacketSeries(type, subOp, 1) {}
    NetPacketSeries(int type, int subOp, int flag);
    NetPacketSeries(int type, int subOp, bool request) : NetPacketSeries(type, subOp, request ? 1 : 0) {}
    virtual ~NetPacketSeries() = default;

    NetCommandHeader& Header() { return m_header; }
    const NetCommandHeader& Header() const { return m_header; }
    void SetParam(uint32_t param) { m_header.nParam = param; }

    // Adds a copy whose command part becomes the series' header (parameter included).
    void Add(const NetPacket& packet);
    // A new packet with the bytes as payload: 1; 0 and nothing added for no bytes or more
    // than 8192.
    int AddBytes(const void* bytes, size_t n);
    int AddInt(int value);
    int AddText(std::string_view text);

    int GetCount() const { return static_cast<int>(m_packets.size()); }
    const NetPacket& GetAt(int i) const { return m_packets[static_cast<size_t>(i)]; }
    NetPacket& GetAt(int i) { return m_packets[static_cast<size_t>(i)]; }
    auto begin() const { return m_packets.begin(); }
    auto end() const { return m_packets.end(); }

    // Gives every packet its position and count-down index (a single packet: only, 0).
    void Number();

private:
    NetCommandHeader m_header;
    std::vector<NetPacket> m_packets;
};

class NetMessageSeries {
public:
    NetMessageSeries(int type, int subOp, uint32_t param = 0);
    virtual ~NetMessageSeries() = default;

    NetCommandHeader& Header() { return m_header; }
    const NetCommandHeader& Header() const { return m_header; }
    void SetParam(uint32_t param) { m_nParam = param; }
    uint32_t GetParam() const { return m_nParam; }

    // Adds the message; its command header becomes the series' header and its parameter the
    // series' parameter.
    void Add(NetMessage message);

    int GetCount() const { return static_cast<int>(m_messages.size()); }
    const NetMessage& GetAt(int i) const { return m_messages[static_cast<size_t>(i)]; }
    auto begin() const { return m_messages.begin(); }
    auto end() const { return m_messages.end(); }

private:
    NetCommandHeader m_header;
    uint32_t m_nParam;
    std::vector<NetMessage> m_messages;
};
