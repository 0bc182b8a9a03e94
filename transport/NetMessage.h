// NetMessage: content larger than one packet. The sender appends pieces (up to 255 byte blocks);
// the connection packs them into one content block
//     u8 N | N x u32 piece lengths | the pieces back to back
// and cuts it into kind-3 packets: a first part (index 0) describing the transfer, then data
// parts 1..C of 8000 bytes each (the last one shorter). The receiving connection checks every
// part, joins them and hands the message, with its pieces, to OnRequest / OnReply.
//
// The first part's payload is a NetTransferHeader; a data part's payload is a NetPartHeader
// followed by its data.
#pragma once

#include "transport/NetBlockPool.h"
#include "transport/NetPacket.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#pragma pack(push, 1)
// The front that every part's payload opens with: which transfer, which part (0 the first).
struct NetPartKey {
    uint16_t nTransferId;
    uint16_t nIndex;
};
// The first part's payload (index 0): what the receiver needs to set the transfer up.
struct NetTransferHeader {
    uint16_t nTransferId;
    uint16_t nIndex;       // 0
    uint8_t nSeriesPos;    // the message's place in a message series
    uint8_t nGap1;
    uint16_t nSeriesIndex; // counts down to 0 on the series' last message
    uint32_t nLength;      // content length L
    uint16_t nParts;       // data parts C
    uint16_t nGap2;
    uint32_t nParam;
};
// The front of a data part's payload (index 1..C), followed by nLength data bytes.
struct NetPartHeader {
    uint16_t nTransferId;
    uint16_t nIndex;
    uint16_t nLength;
};
#pragma pack(pop)
KX_RECORD_SIZE(NetPartKey, 4);
KX_FIELD_AT(NetPartKey, nIndex, 2);
KX_RECORD_SIZE(NetTransferHeader, 20);
KX_FIELD_AT(NetTransferHeader, nTransferId, 0);
KX_FIELD_AT(NetTransferHeader, nIndex, 2);
KX_FIELD_AT(NetTransferHeader, nSeriesPos, 4);
KX_FIELD_AT(NetTransferHeader, nSeriesIndex, 6);
KX_FIELD_AT(NetTransferHeader, nLength, 8);
KX_FIELD_AT(NetTransferHeader, nParts, 12);
KX_FIELD_AT(NetTransferHeader, nParam, 16);
KX_RECORD_SIZE(NetPartHeader, 6);
KX_FIELD_AT(NetPartHeader, nTransferId, 0);
KX_FIELD_AT(NetPartHeader, nIndex, 2);
KX_FIELD_AT(NetPartHeader, nLength, 4);

constexpr int kNetPartData = 8000;      // data bytes in every part but the last
constexpr int kNetPartHeader = sizeof(NetPartHeader);
constexpr int kNetFirstPartSize = sizeof(NetTransferHeader);
constexpr int kNetMaxPieces = 255;
constexpr int kNetMaxParts = 65535;     // the part count travels as a u16
constexpr uint64_t kNetMaxContent = static_cast<uint64_t>(kNetMaxParts) * kNetPartData;
constexpr int kNetMaxTransferId = 60000;

// Asks the kernel to back a large block with huge pages: a 100 MB message then costs some
// fifty page faults instead of twenty-five thousand. Smaller blocks are left alone.
void NetAdviseLarge(void* block, size_t n);

// Allocates without zeroing: a received block is overwritten part by part anyway. Large blocks
// come from and go back to NetBlockPool.
template <class T>
struct NetUninitAllocator : std::allocator<T> {
    template <class U>
    struct rebind { using other = NetUninitAllocator<U>; };
    NetUninitAllocator() = default;
    template <class U>
    NetUninitAllocator(const NetUninitAllocator<U>&) {}
    T* allocate(size_t n) {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        if (n * sizeof(T) >= NetBlockPool::kPooledFrom) return static_cast<T*>(NetBlockPool::Allocate(n * sizeof(T)));
        return std::allocator<T>::allocate(n);
    }
    void deallocate(T* p, size_t n) noexcept {
        if (n * sizeof(T) >= NetBlockPool::kPooledFrom) return NetBlockPool::Release(p);
        std::allocator<T>::deallocate(p, n);
    }
    template <class U>
    void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <class U, class... A>
    void construct(U* p, A&&... a) { ::new (static_cast<void*>(p)) U(std::forward<A>(a)...); }
};
using NetBytes = std::vector<uint8_t, NetUninitAllocator<uint8_t>>;

class NetMessage {
public:
    // Type 0xFFFF, sub-operation and flag 255 until the sender sets them.
    NetMessage();
    virtual ~NetMessage() = default;
    NetMessage(const NetMessage&) = default;
    NetMessage& operator=(const NetMessage&) = default;
    NetMessage(NetMessage&&) = default;
    NetMessage& operator=(NetMessage&&) = default;

    // Appends a copy of the bytes as the next piece. 0 (nothing appended) for a 256th piece,
    // for content that C = 65535 parts cannot carry, or when memory runs out; else 1.
    int AppendData(const void* bytes, size_t n);
    int AppendData(std::string_view bytes) { return AppendData(bytes.data(), bytes.size()); }
    int GetPieceCount() const { return static_cast<int>(m_pieces.size()); }
    // The piece's bytes (an empty view for an index out of range).
    std::string_view GetPiece(int index) const;
    // Copies over piece `index` only when its length is exactly n; 1 when copied.
    int OverwritePiece(int index, const void* bytes, size_t n);

    void SetParam(uint32_t param) { m_nParam = param; }
    uint32_t GetParam() const { return m_nParam; }
    NetCommandHeader& Header() { return m_header; }
    const NetCommandHeader& Header() const { return m_header; }
    // Type and sub-operation; the rest of the command part is cleared.
    void SetCommand(int type, int subOp) { m_header.Clear(type, subOp, m_header.nFlag); }
    int GetType() const { return m_header.nType; }
    int GetSubOp() const { return m_header.nSubOp; }
    bool IsRequest() const { return m_header.nFlag == 1; }
    void SetQueueClass(int c) { m_header.nClass = static_cast<uint8_t>(c); }

    // Length of the packed content block: 1 + 4N + the piece lengths.
    uint64_t GetContentLength() const;
    // Data parts needed for the content (C); first part not counted.
    int GetPartCount() const;
    // Payload bytes of data part `index` (1..C): the 6-byte part header and its data.
    size_t GetDataPartSize(int index) const;

    // A received message: its transfer id, first part and series marks (read from the first
    // part's payload). Without a first part the tests are false and the index is -1.
    int GetTransferId() const { return m_nTransferId; }
    const NetPacket* GetFirstPart() const { return m_first ? &*m_first : nullptr; }
    NetPacket* GetFirstPart() { return m_first ? &*m_first : nullptr; }
    bool IsFirstInSeries() const { return m_first && m_nSeriesPos == kSeriesFirst; }
    bool IsMiddleInSeries() const { return m_first && m_nSeriesPos == kSeriesMiddle; }
    bool IsLastInSeries() const { return m_first && m_nSeriesPos == kSeriesLast; }
    int GetSeriesIndex() const { return m_first ? m_nSeriesIndex : -1; }

    // Sender side: part 0 and data part `index` (1..C) of this message, as kind-3 packets
    // carrying `header`.
    void MakeFirstPart(NetPacket& out, const NetCommandHeader& header, int transferId, int seriesPos,
                       int seriesIndex) const;
    void MakeDataPart(NetPacket& out, const NetCommandHeader& header, int transferId, int index) const;

private:
    friend class NetReassembly;
    // Copies n bytes of the packed content block, starting at offset, without building it.
    void CopyContent(uint64_t offset, size_t n, uint8_t* dest) const;
    // Receiver side: takes the joined block, checks its piece table and makes the pieces
    // views into it. False when the table does not describe the block.
    bool TakeContent(NetBytes&& block);

    NetCommandHeader m_header;
    int m_nTransferId = 0;
    uint32_t m_nParam = 0;
    // Sender: the pieces back to back. Receiver: the whole content block.
    NetBytes m_store;
    std::vector<std::pair<size_t, size_t>> m_pieces; // offset into m_store, length
    // The first part as received (an 8 KB packet), held on the heap: a message stays small and
    // cheap to move, so lists of messages (a series answer) grow without copying content.
    class FirstPart {
    public:
        FirstPart() = default;
        FirstPart(const FirstPart& o) : m_p(o.m_p ? std::make_unique<NetPacket>(*o.m_p) : nullptr) {}
        FirstPart& operator=(const FirstPart& o) {
            if (this != &o) m_p = o.m_p ? std::make_unique<NetPacket>(*o.m_p) : nullptr;
            return *this;
        }
        FirstPart(FirstPart&&) noexcept = default;
        FirstPart& operator=(FirstPart&&) noexcept = default;
        explicit operator bool() const { return m_p != nullptr; }
        NetPacket& operator*() const { return *m_p; }
        NetPacket* operator->() const { return m_p.get(); }
        void emplace(int kind) { m_p = std::make_unique<NetPacket>(kind); }

    private:
        std::unique_ptr<NetPacket> m_p;
    };
    FirstPart m_first;
    int m_nSeriesPos = 0;
    int m_nSeriesIndex = 0;
};

// Moving a message must not copy it: vectors and queues of messages move them as they grow.
static_assert(std::is_nothrow_move_constructible_v<NetMessage>);

