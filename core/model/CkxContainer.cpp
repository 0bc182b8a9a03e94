#include "model/CkxContainer.h"

#include "base/Record.h"

#include <cstring>
#include <limits>
#include <new>

int CkxContainer::AddSect(const void* bytes, unsigned n) {
    try {
        Sect s;
        if (n > 0) {
            if (!bytes) return 0;
            s.bytes.assign(static_cast<const char*>(bytes), n);
        }
        m_sects.push_back(std::move(s));
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

const CkxContainer::Sect* CkxContainer::GetSect(int i) const {
    if (i < 0 || i >= GetCount()) return nullptr;
    return &m_sects[static_cast<size_t>(i)];
}

int CkxContainer::GetLength() const {
    int64_t sum = 0;
    for (const Sect& s : m_sects) sum += s.bytes.size();
    return static_cast<int>(sum);
}

int CkxContainer::BuildBuf(CkxBuf& buf) const {
    int64_t total = 4 + 4 * static_cast<int64_t>(m_sects.size());
    for (const Sect& s : m_sects) total += s.bytes.size();
    if (total > std::numeric_limits<int>::max()) return 0;
    if (!buf.Create(static_cast<int>(total))) return 0;
    unsigned char* p = buf.GetBuf();
    kx::StoreI32(p, static_cast<int32_t>(m_sects.size()));
    p += 4;
    for (const Sect& s : m_sects) {
        kx::StoreI32(p, static_cast<int32_t>(s.bytes.size()));
        p += 4;
    }
    for (const Sect& s : m_sects) {
        if (!s.bytes.empty()) std::memcpy(p, s.bytes.data(), s.bytes.size());
        p += s.bytes.size();
    }
    return static_cast<int>(total);
}

int CkxContainer::SectionViews(const void* bytes, int n, std::vector<std::string_view>& out) {
    out.clear();
    if (bytes == nullptr || n < 4) return 0;
    const unsigned char* p = static_cast<const unsigned char*>(bytes);
    const int64_t len = n;
    int32_t count = kx::LoadI32(p);
    if (count < 0 || 4 + 4 * static_cast<int64_t>(count) > len) return 0;
    // Check every length and their sum against the block before anything is taken.
    int64_t sum = 0;
    for (int32_t i = 0; i < count; ++i) {
        int32_t l = kx::LoadI32(p + 4 + 4 * static_cast<int64_t>(i));
        if (l < 0) return 0;
        sum += l;
        if (4 + 4 * static_cast<int64_t>(count) + sum > len) return 0;
    }
    const char* data = reinterpret_cast<const char*>(p + 4 + 4 * static_cast<int64_t>(count));
    try {
        out.reserve(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (int32_t i = 0; i < count; ++i) {
        const size_t l = static_cast<size_t>(kx::LoadI32(p + 4 + 4 * static_cast<int64_t>(i)));
        out.emplace_back(data, l);
        data += l;
    }
    return count;
}

int CkxContainer::PasyBuf(const void* bytes, int n) {
    std::vector<std::string_view> views;
    const int count = SectionViews(bytes, n, views);
    if (count == 0) return 0;
    const size_t before = m_sects.size();
    try {
        m_sects.reserve(before + views.size());
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (std::string_view v : views)
        if (!AddSect(v)) {
            m_sects.resize(before);
            return 0;
        }
    return count;
}
