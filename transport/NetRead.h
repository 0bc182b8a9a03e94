// What a receiving client reads of a packet or message before it trusts it: the bytes of the
// body, a fixed record from their front, an id sent as decimal text, and the entry marks of a
// list answer. Every read checks the length first; nothing here trusts the peer.
#pragma once

#include "transport/NetMessage.h"
#include "transport/NetPacket.h"

#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

namespace kx {

// The bytes of a message: a packet's payload, or a multi-part message's first piece.
inline std::string_view NetBody(const NetPacket& packet, const NetMessage* message) {
    if (message) return message->GetPieceCount() > 0 ? message->GetPiece(0) : std::string_view();
    return {reinterpret_cast<const char*>(packet.GetData()), static_cast<size_t>(packet.GetDataLength())};
}

// The 32-bit parameter of a packet or a message.
inline uint32_t NetParam(const NetPacket& packet, const NetMessage* message) {
    return message ? message->GetParam() : packet.GetParam();
}

// A record from the front of the bytes; nothing when they are shorter than the record.
template <class Com>
std::optional<Com> NetReadCom(std::string_view bytes) {
    if (bytes.size() < sizeof(Com)) return std::nullopt;
    Com com;
    std::memcpy(&com, bytes.data(), sizeof com);
    return com;
}

// An id sent as decimal text (up to the first NUL): an optional minus and digits only.
inline std::optional<int> NetReadIdText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (bytes.empty()) return std::nullopt;
    int value = 0;
    const char* end = bytes.data() + bytes.size();
    const auto [at, error] = std::from_chars(bytes.data(), end, value);
    if (error != std::errc() || at != end) return std::nullopt;
    return value;
}

// The entry marks of a list answer: the first entry of a series is marked first (or only), the
// last one last (or only). A message series of one is marked first with the count-down index 0.
// The index is 16 bits wide and wraps in a series of more than 65,536 entries, so it marks the
// end only together with the first mark.
inline bool NetIsFirstEntry(const NetPacket& packet) { return packet.IsFirstPart(); }
inline bool NetIsLastEntry(const NetPacket& packet) {
    return packet.IsLastPart() || (packet.GetSeriesPos() == kSeriesFirst && packet.GetSeriesIndex() == 0);
}

} // namespace kx
