// NetPacket: one frame of the wire protocol, a 28-byte header and 0 to 8192 payload bytes.
// NetCommandHeader is the 20-byte command part of that header (type, sub-operation, flag,
// series marks, send-queue class, parameter); a multi-part message carries one too.
//
// Wire header (little-endian):
//   0 u8 sync 0xAA | 1 u8 reserved | 2 u8 kind (2 whole, 3 part) | 3 gap | 4 u16 total length
//   6 u8, 7 u8 reserved | 8..27 the command header below | 28.. payload
// Payload setters refuse more than 8192 bytes; readers never look past the payload length.
#pragma once

#include "base/Record.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

constexpr uint8_t kNetSync = 0xAA;
constexpr int kNetHeaderSize = 28;
constexpr int kNetMaxPayload = 8192;
constexpr int kNetMaxPacket = kNetHeaderSize + kNetMaxPayload; // 8220
constexpr int kNetKindWhole = 2;
constexpr int kNetKindPart = 3;
constexpr int kNetQueueClasses = 6;

// Series position marks of a packet (and of a message in a message series).
enum NetSeriesPos : uint8_t { kSeriesFirst = 0, kSeriesMiddle = 1, kSeriesLast = 2, kSeriesOnly = 3 };

#pragma pack(push, 1)
struct NetCommandHeader {
    uint16_t nType = 0;
    uint8_t nSubOp = 0;
    uint8_t nFlag = 1;               // 1 request, anything else reply or notice
    uint32_t nReserved = 0xFFFFFFFF; // cleared by InitCommand
    uint8_t nSeriesPos = 0;
    uint8_t nGap1 = 0;
    uint16_t nSeriesIndex = 0;       // counts down to 0 on the last packet of a series
    uint8_t nClass = 0;              // send-queue class 0..5
    uint8_t nGap2[3] = {0, 0, 0};
    uint32_t nParam = 0;

    // Clears every field (the reserved word included) and sets type, sub-operation and flag.
    void Clear(int type, int subOp = 0, int flag = 0);
    void SetRequestQueue() { nClass = 3; }
    void SetBulkQueue() { nClass = 5; }
};
#pragma pack(pop)
KX_RECORD_SIZE(NetCommandHeader, 20);
KX_FIELD_AT(NetCommandHeader, nType, 0);
KX_FIELD_AT(NetCommandHeader, nSubOp, 2);
KX_FIELD_AT(NetCommandHeader, nFlag, 3);
KX_FIELD_AT(NetCommandHeader, nReserved, 4);
KX_FIELD_AT(NetCommandHeader, nSeriesPos, 8);
KX_FIELD_AT(NetCommandHeader, nSeriesIndex, 10);
KX_FIELD_AT(NetCommandHeader, nClass, 12);
KX_FIELD_AT(NetCommandHeader, nParam, 16);

class NetPacket {
public:
#pragma pack(push, 1)
    // The frame part of the header (wire offsets 0..7).
    struct _FRAME {
        uint8_t nSync = kNetSync;
        uint8_t nReserved1 = 0;
        uint8_t nKind = kNetKindWhole;
        uint8_t nGap = 0;
        uint16_t nTotal = 0; // payload length + 28, filled in by Write
        uint8_t nReserved2 = 0;
        uint8_t nReserved3 = 0;
    };
    // The whole header as it travels: the frame part, then the command part.
    struct _HEADER {
        _FRAME frame;
        NetCommandHeader cmd;
    };
#pragma pack(pop)

    NetPacket();
    explicit NetPacket(int kind);
    // A packet of `kind` with a payload of n bytes (at most 8192) that the caller fills at once
    // through GetData(); only the bytes past them are zeroed. A sender cutting a large message
    // saves clearing every payload it overwrites anyway.
    static std::unique_ptr<NetPacket> NewForPayload(int kind, size_t n);
    virtual ~NetPacket() = default;
    NetPacket(const NetPacket& o);
    NetPacket& operator=(const NetPacket& o);

    // Header setters. InitCommand clears the whole command part (reserved word included).
    void InitCommand(int type) { m_cmd.Clear(type, 0, 0); }
    void InitCommand(int type, int subOp) { m_cmd.Clear(type, subOp, 0); }
    void InitCommand(int type, int subOp, int flag) { m_cmd.Clear(type, subOp, flag); }
    // Sets type, sub-operation, flag and parameter; the other command fields stay.
    void SetCommand(int type, int subOp, int flag, uint32_t param);
    void SetRequest() { m_cmd.nFlag = 1; }
    void SetReply() { m_cmd.nFlag = 0; }
    void SetRequestQueue() { m_cmd.SetRequestQueue(); }
    void SetBulkQueue() { m_cmd.SetBulkQueue(); }
    void SetQueueClass(int c) { m_cmd.nClass = static_cast<uint8_t>(c); }
    void SetParam(uint32_t param) { m_cmd.nParam = param; }
    void SetSeries(int pos, int index);
    void SetKind(int kind) { m_frame.nKind = static_cast<uint8_t>(kind); }

    NetCommandHeader& Header() { return m_cmd; }
    const NetCommandHeader& Header() const { return m_cmd; }
    const _FRAME& Frame() const { return m_frame; }

    int GetType() const { return m_cmd.nType; }
    int GetSubOp() const { return m_cmd.nSubOp; }
    int GetFlag() const { return m_cmd.nFlag; }
    bool IsRequest() const { return m_cmd.nFlag == 1; }
    int GetKind() const { return m_frame.nKind; }
    int GetQueueClass() const { return m_cmd.nClass; }
    // Length as it travels: the payload plus the 28-byte header.
    int GetTotalLength() const { return static_cast<int>(m_nDataLength) + kNetHeaderSize; }
    uint32_t GetParam() const { return m_cmd.nParam; }
    int GetSeriesPos() const { return m_cmd.nSeriesPos; }
    int GetSeriesIndex() const { return m_cmd.nSeriesIndex; }
    bool IsFirstPart() const { return m_cmd.nSeriesPos == kSeriesFirst || m_cmd.nSeriesPos == kSeriesOnly; }
    bool IsLastPart() const { return m_cmd.nSeriesPos == kSeriesLast || m_cmd.nSeriesPos == kSeriesOnly; }

    // Payload setters: each returns the new payload length, or 0 (payload emptied) when the
    // bytes do not fit in 8192.
    int SetData(const void* bytes, size_t n);
    int SetText(std::string_view text) { return SetData(text.data(), text.size()); }
    int SetDataInt(int value);
    // 8 bytes: the low 32 bits first, then the high 32 bits.
    int SetDataInt64(uint32_t high, uint32_t low);

    const uint8_t* GetData() const { return m_data; }
    uint8_t* GetData() { return m_data; }
    int GetDataLength() const { return static_cast<int>(m_nDataLength); }
    // Copies the first n payload bytes; 0 (nothing copied) when the payload is shorter.
    int CopyData(void* dest, size_t n) const;
    // The payload up to its first zero byte, never past the payload length.
    std::string GetText() const;
    // The payload text as a decimal int (leading blanks, sign, digits; 0 when none; clamped).
    int GetDataInt() const;
    // The first 8 payload bytes as one little-endian 64-bit value; 8, or 0 when shorter.
    int GetDataInt64(uint32_t& high, uint32_t& low) const;

    // Serialises into dest (at least 8220 bytes): fills in the total length, returns it.
    int Write(uint8_t* dest);
    // The 28 header bytes as they travel, with the total length filled in.
    void WriteHeader(uint8_t* dest) const;

    // Reads one packet from the front of len received bytes. Returns the number of bytes the
    // packet occupies; 0 when more bytes are needed; -1 when the front is not a packet (no sync
    // byte, or a total length outside 28..8220): the caller drops a byte and resyncs.
    int Read(const uint8_t* bytes, size_t len);
    // What Read would return, without copying anything.
    static int FrameLength(const uint8_t* bytes, size_t len);

    // Sets the payload length to n (at most 8192) and returns the payload for the caller to
    // fill: a writer that builds the payload in place saves a copy. Null when n is too long.
    uint8_t* PreparePayload(size_t n);

private:
    struct Unfilled {};
    NetPacket(int kind, size_t n, Unfilled);
    void ResizePayload(size_t n); // keeps the bytes past the payload length zero

    _FRAME m_frame;
    NetCommandHeader m_cmd;
    uint32_t m_nDataLength = 0;
    uint8_t m_data[kNetMaxPayload];
};

KX_RECORD_SIZE(NetPacket::_FRAME, 8);
KX_FIELD_AT(NetPacket::_FRAME, nSync, 0);
KX_FIELD_AT(NetPacket::_FRAME, nKind, 2);
KX_FIELD_AT(NetPacket::_FRAME, nTotal, 4);
KX_RECORD_SIZE(NetPacket::_HEADER, 28);
KX_FIELD_AT(NetPacket::_HEADER, cmd, 8);
static_assert(sizeof(NetPacket::_HEADER) == kNetHeaderSize);
