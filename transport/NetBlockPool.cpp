#include "transport/NetBlockPool.h"

#include "transport/NetMessage.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define NET_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define NET_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define NET_POISON(p, n) ((void)(p), (void)(n))
#define NET_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace NetBlockPool {

namespace {

// Each block carries its real size in front of what callers see, so a block handed out for a
// smaller request still goes back whole. The front keeps the caller's bytes 64-byte aligned.
constexpr size_t kFront = 64;

struct Kept {
    size_t size; // bytes usable after the front
    unsigned char* base;
};

struct Pool {
    Pool() { kept.reserve(kMaxBlocks + 1); }
    std::mutex mutex;
    std::vector<Kept> kept; // oldest first
    size_t keptBytes = 0;
};

// Never destroyed: blocks may come back from static objects' destructors at exit.
Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

size_t& SizeOf(unsigned char* base) { return *reinterpret_cast<size_t*>(base); }

} // namespace

void* Allocate(size_t n) {
    Pool& pool = ThePool();
    {
        std::lock_guard lock(pool.mutex);
        auto best = pool.kept.end();
        for (auto it = pool.kept.begin(); it != pool.kept.end(); ++it)
            if (it->size >= n && it->size / 2 <= n && (best == pool.kept.end() || it->size < best->size)) best = it;
        if (best != pool.kept.end()) {
            unsigned char* base = best->base;
            pool.keptBytes -= best->size;
            pool.kept.erase(best);
            // Only what was asked for is open to the caller: an overrun past n stays visible.
            NET_UNPOISON(base + kFront, n);
            return base + kFront;
        }
    }
    if (n > static_cast<size_t>(-1) - kFront) throw std::bad_alloc();
    auto* base = static_cast<unsigned char*>(std::aligned_alloc(kFront, (kFront + n + kFront - 1) / kFront * kFront));
    if (!base) throw std::bad_alloc();
    SizeOf(base) = n;
    NetAdviseLarge(base + kFront, n);
    return base + kFront;
}

void Release(void* block) noexcept {
    if (!block) return;
    unsigned char* base = static_cast<unsigned char*>(block) - kFront;
    const size_t size = SizeOf(base);
    if (size > kMaxBytes / 2) return std::free(base);
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    NET_POISON(base + kFront, size);
    pool.kept.push_back({size, base}); // never grows past the room set aside
    pool.keptBytes += size;
    // The oldest go first.
    while (pool.kept.size() > kMaxBlocks || pool.keptBytes > kMaxBytes) {
        const Kept oldest = pool.kept.front();
        pool.kept.erase(pool.kept.begin());
        pool.keptBytes -= oldest.size;
        NET_UNPOISON(oldest.base + kFront, oldest.size);
        std::free(oldest.base);
    }
}

size_t KeptBytes() {
    Pool& pool = ThePool();
    std::lock_guard lock(pool.mutex);
    return pool.keptBytes;
}

} // namespace NetBlockPool
