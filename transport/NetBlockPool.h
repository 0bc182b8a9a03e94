// NetBlockPool: keeps a few freed large transport blocks (messages being received or built) for
// the next ones. A stream of uploads then writes into memory that is already mapped instead of
// mapping, faulting in and unmapping a fresh block for every message. What it keeps is bounded
// (kMaxBlocks blocks, kMaxBytes in all); the rest goes back to the system at once.
#pragma once

#include <cstddef>

namespace NetBlockPool {

// Blocks from this size on are pooled; smaller ones are left to the ordinary allocator.
constexpr size_t kPooledFrom = 256u << 10;
constexpr size_t kMaxBlocks = 16;
constexpr size_t kMaxBytes = 64u << 20;

// At least n bytes (n >= kPooledFrom): a kept block of n to 2n bytes, else a fresh one.
// Throws std::bad_alloc when memory runs out.
void* Allocate(size_t n);
// Gives back a block from Allocate: kept for reuse while the bounds allow.
void Release(void* block) noexcept;
// Bytes kept now (for tests and figures).
size_t KeptBytes();

} // namespace NetBlockPool
