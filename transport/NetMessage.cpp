#include "transport/NetMessage.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

void NetAdviseLarge(void* block, size_t n) {
    constexpr uintptr_t kHuge = 2u << 20;
    if (n < 2 * kHuge) return;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(block) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(block) + n) & ~(kHuge - 1);
    // Only advice: where huge pages are off or scarce, ordinary pages serve as before.
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

NetMessage::NetMessage() { m_header.Clear(0xFFFF, 255, 255); }

int NetMessage::AppendData(const void* bytes, size_t n) {
    if (m_pieces.size() >= static_cast<size_t>(kNetMaxPieces)) return 0;
    if (n > 0 && bytes == nullptr) return 0;
    if (GetContentLength() + 4 + n > kNetMaxContent) return 0;
    size_t offset = m_store.size();
    try {
        m_pieces.reserve(m_pieces.size() + 1);
        // Grown without initialising, then copied in one go (an insert would copy byte by byte
        // through the allocator's construct).
        m_store.resize(offset + n);
        if (n > 0) std::memcpy(m_store.data() + offset, bytes, n);
    } catch (const std::bad_alloc&) {
        m_store.resize(offset);
        return 0;
    }
    m_pieces.emplace_back(offset, n);
    return 1;
}

std::string_view NetMessage::GetPiece(int index) const {
    if (index < 0 || index >= GetPieceCount()) return {};
    auto [offset, length] = m_pieces[static_cast<size_t>(index)];
    return std::string_view(reinterpret_cast<const char*>(m_store.data()) + offset, length);
}

int NetMessage::OverwritePiece(int index, const void* bytes, size_t n) {
    if (index < 0 || index >= GetPieceCount() || bytes == nullptr) return 0;
    auto [offset, length] = m_pieces[static_cast<size_t>(index)];
    if (length != n) return 0;
    std::memcpy(m_store.data() + offset, bytes, n);
    return 1;
}

uint64_t NetMessage::GetContentLength() const {
    uint64_t total = 1 + 4 * static_cast<uint64_t>(m_pieces.size());
    for (const auto& piece : m_pieces) total += piece.second;
    return total;
}

int NetMessage::GetPartCount() const {
    uint64_t length = GetContentLength();
    return static_cast<int>((length + kNetPartData - 1) / kNetPartData);
}

void NetMessage::CopyContent(uint64_t offset, size_t n, uint8_t* dest) const {
    // The block is the piece table followed by the pieces, which lie back to back in m_store
    // in piece order: the table is produced on the fly, the rest copied from the store.
    const uint64_t tableSize = 1 + 4 * static_cast<uint64_t>(m_pieces.size());
    while (n > 0 && offset < tableSize) {
        uint8_t byte;
        if (offset == 0) {
            byte = static_cast<uint8_t>(m_pieces.size());
        } else {
            uint64_t k = (offset - 1) / 4;
            uint8_t le[4];
            kx::StoreU32(le, static_cast<uint32_t>(m_pieces[k].second));
            byte = le[(offset - 1) % 4];
        }
        *dest++ = byte;
        ++offset;
        --n;
    }
    if (n > 0) {
        const size_t from = static_cast<size_t>(offset - tableSize);
        const size_t base = m_pieces.empty() ? 0 : m_pieces.front().first;
        std::memcpy(dest, m_store.data() + base + from, n);
    }
}

void NetMessage::MakeFirstPart(NetPacket& out, const NetCommandHeader& header, int transferId, int seriesPos,
                               int seriesIndex) const {
    NetTransferHeader first = kx::ZeroRecord<NetTransferHeader>();
    first.nTransferId = static_cast<uint16_t>(transferId);
    first.nSeriesPos = static_cast<uint8_t>(seriesPos);
    first.nSeriesIndex = static_cast<uint16_t>(seriesIndex);
    first.nLength = static_cast<uint32_t>(GetContentLength());
    first.nParts = static_cast<uint16_t>(GetPartCount());
    first.nParam = m_nParam;
    out.SetKind(kNetKindPart);
    out.Header() = header;
    out.SetData(&first, sizeof first);
}

size_t NetMessage::GetDataPartSize(int index) const {
    const uint64_t offset = static_cast<uint64_t>(index - 1) * kNetPartData;
    return kNetPartHeader + static_cast<size_t>(std::min<uint64_t>(kNetPartData, GetContentLength() - offset));
}

void NetMessage::MakeDataPart(NetPacket& out, const NetCommandHeader& header, int transferId, int index) const {
    const uint64_t offset = static_cast<uint64_t>(index - 1) * kNetPartData;
    const size_t n = GetDataPartSize(index) - kNetPartHeader;
    out.SetKind(kNetKindPart);
    out.Header() = header;
    uint8_t* payload = out.PreparePayload(kNetPartHeader + n);
    NetPartHeader part = kx::ZeroRecord<NetPartHeader>();
    part.nTransferId = static_cast<uint16_t>(transferId);
    part.nIndex = static_cast<uint16_t>(index);
    part.nLength = static_cast<uint16_t>(n);
    std::memcpy(payload, &part, sizeof part);
    CopyContent(offset, n, payload + sizeof part);
}

bool NetMessage::TakeContent(NetBytes&& block) {
    const uint64_t length = block.size();
    if (length == 0) return false;
    const uint64_t count = block[0];
    const uint64_t tableSize = 1 + 4 * count;
    if (tableSize > length) return false;
    uint64_t sum = 0;
    std::vector<std::pair<size_t, size_t>> pieces;
    pieces.reserve(count);
    for (uint64_t k = 0; k < count; ++k) {
        uint64_t n = kx::LoadU32(block.data() + 1 + 4 * k);
        pieces.emplace_back(static_cast<size_t>(tableSize + sum), static_cast<size_t>(n));
        sum += n; // at most 255 x 4 GB: no overflow in 64 bits
    }
    if (sum > length - tableSize) return false;
    // Pieces stay back to back from the end of the table, as on the sending side, so the
    // message can be sent on as it is or with pieces appended.
    block.resize(static_cast<size_t>(tableSize + sum));
    m_store = std::move(block);
    m_pieces = std::move(pieces);
    return true;
}
