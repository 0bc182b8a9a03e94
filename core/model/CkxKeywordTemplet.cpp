#include "model/CkxKeywordTemplet.h"

#include "base/Record.h"

int CkxKeywordTemplet::PackBuf(CkxBuf& buf) const {
    if (m_listKeyword.empty()) return 0;
    CkxBuf packed;
    if (!packed.Create(static_cast<int>(m_listKeyword.size() * 4))) return 0;
    for (size_t i = 0; i < m_listKeyword.size(); ++i) kx::StoreI32(packed.GetBuf() + i * 4, m_listKeyword[i]);
    buf = std::move(packed);
    return 1;
}

int CkxKeywordTemplet::PasyBuf(const void* bytes, int n) {
    if (bytes == nullptr || n < 0) return 0;
    const size_t count = kx::RecordCount<int32_t>(static_cast<size_t>(n));
    std::vector<int32_t> ids;
    ids.reserve(count);
    for (size_t i = 0; i < count; ++i) ids.push_back(kx::LoadI32(static_cast<const char*>(bytes) + i * 4));
    m_listKeyword = std::move(ids);
    return 1;
}
