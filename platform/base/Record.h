// Fixed wire records: one packed struct per record, its size and field offsets checked at
// compile time, zeroed before it is filled, and read from a byte block only after a length
// check. Records are little-endian; the programs run only on little-endian hosts.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

static_assert(std::endian::native == std::endian::little,
              "wire records are copied as they lie in memory: little-endian hosts only");

// Declares the size and offsets of a packed record. Use inside #pragma pack(push, 1) blocks:
//   KX_RECORD_SIZE(CkxKeyword::_COM, 108);
//   KX_FIELD_AT(CkxKeyword::_COM, nID, 4);
#define KX_RECORD_SIZE(T, n)                                                                       \
    static_assert(sizeof(T) == (n), #T " must be " #n " bytes");                                  \
    static_assert(std::is_trivially_copyable_v<T>, #T " must be a plain record")
#define KX_FIELD_AT(T, field, off) static_assert(offsetof(T, field) == (off), #T "::" #field " offset")

namespace kx {

// A record with every byte zero (unused bytes go out as zeros).
template <class T>
T ZeroRecord() {
    static_assert(std::is_trivially_copyable_v<T>);
    T r;
    std::memset(&r, 0, sizeof r);
    return r;
}

// Reads a record from the front of a block. Returns false (and leaves `out` as it was) when the
// block is shorter than the record.
template <class T>
bool ReadRecord(const void* data, size_t len, T& out) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (data == nullptr || len < sizeof(T)) return false;
    std::memcpy(&out, data, sizeof(T));
    return true;
}

// Reads the i-th record of a block of records back to back; false when it does not lie wholly
// inside the block.
template <class T>
bool ReadRecordAt(const void* data, size_t len, size_t i, T& out) {
    if (data == nullptr || i >= len / sizeof(T)) return false;
    std::memcpy(&out, static_cast<const char*>(data) + i * sizeof(T), sizeof(T));
    return true;
}

// Number of whole records in a block; a ragged tail is ignored.
template <class T>
size_t RecordCount(size_t len) {
    return len / sizeof(T);
}

// The bytes of a record as they travel.
template <class T>
std::string RecordBytes(const T& r) {
    static_assert(std::is_trivially_copyable_v<T>);
    return std::string(reinterpret_cast<const char*>(&r), sizeof(T));
}

// Little-endian loads and stores on unaligned bytes (for headers read field by field).
inline int32_t LoadI32(const void* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline uint32_t LoadU32(const void* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline uint16_t LoadU16(const void* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}
inline void StoreI32(void* p, int32_t v) { std::memcpy(p, &v, 4); }
inline void StoreU32(void* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void StoreU16(void* p, uint16_t v) { std::memcpy(p, &v, 2); }

} // namespace kx
