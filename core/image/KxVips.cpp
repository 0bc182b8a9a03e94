#include "image/KxVips.h"

#include <mutex>

namespace kx {

namespace {
std::once_flag g_once;
bool g_ready = false;
std::string g_why;
} // namespace

bool VipsReady(std::string* why) {
    std::call_once(g_once, [] {
        if (VIPS_INIT("varnia") != 0) {
            const char* e = vips_error_buffer();
            g_why = std::string("image library could not start: ") + (e ? e : "");
            vips_error_clear();
            return;
        }
        // No operation cache: pictures are decoded from caller-owned blocks, and a cached
        // loader could hand back an earlier picture for a new block at the same address.
        vips_cache_set_max(0);
        g_ready = true;
    });
    if (!g_ready && why) *why = g_why;
    return g_ready;
}

} // namespace kx
