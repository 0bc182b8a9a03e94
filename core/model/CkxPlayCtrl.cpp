#include "model/CkxPlayCtrl.h"

#include <algorithm>
#include <climits>

CkxPlayCtrl::CkxPlayCtrl(const CkxPlayCtrl& o) { *this = o; }

CkxPlayCtrl& CkxPlayCtrl::operator=(const CkxPlayCtrl& o) {
    if (this == &o) return *this;
    std::scoped_lock lock(m_mutex, o.m_mutex);
    m_PlayParam = o.m_PlayParam;
    m_nCount = o.m_nCount;
    m_bAutoPlay = o.m_bAutoPlay;
    m_nCurIndex = o.m_nCurIndex;
    return *this;
}

int CkxPlayCtrl::ClampLocked(int index) const {
    if (m_nCount <= 0) return 0;
    return std::clamp(index, 0, m_nCount - 1);
}

void CkxPlayCtrl::SetPlayParam(const CkxPlayParam& param) {
    std::lock_guard lock(m_mutex);
    m_PlayParam = param;
}

CkxPlayParam CkxPlayCtrl::GetPlayParam() const {
    std::lock_guard lock(m_mutex);
    return m_PlayParam;
}

void CkxPlayCtrl::SetCount(int count) {
    std::lock_guard lock(m_mutex);
    m_nCount = count;
}

int CkxPlayCtrl::GetCount() const {
    std::lock_guard lock(m_mutex);
    return m_nCount;
}

int CkxPlayCtrl::IsValid() const { return GetCount() > 0; }

void CkxPlayCtrl::Start(int autoPlay) {
    std::lock_guard lock(m_mutex);
    m_bAutoPlay = autoPlay;
}

int CkxPlayCtrl::IsAutoPlay() const {
    std::lock_guard lock(m_mutex);
    return m_bAutoPlay;
}

void CkxPlayCtrl::Reset(int autoPlay) {
    std::lock_guard lock(m_mutex);
    m_nCurIndex = 0;
    m_bAutoPlay = autoPlay;
}

void CkxPlayCtrl::ToIndex(int index) {
    std::lock_guard lock(m_mutex);
    m_nCurIndex = ClampLocked(index);
}

void CkxPlayCtrl::ToFirst() { ToIndex(0); }

void CkxPlayCtrl::ToLast() {
    std::lock_guard lock(m_mutex);
    m_nCurIndex = ClampLocked(m_nCount - 1);
}

namespace {
// index + delta without wrapping past the int range.
int Add(int index, int delta) {
    long long v = static_cast<long long>(index) + delta;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}
} // namespace

void CkxPlayCtrl::MoveBy(int delta) {
    std::lock_guard lock(m_mutex);
    m_nCurIndex = ClampLocked(Add(m_nCurIndex, delta));
}

void CkxPlayCtrl::ToPrev() { MoveBy(-1); }
void CkxPlayCtrl::ToNext() { MoveBy(1); }
void CkxPlayCtrl::ToPrev5() { MoveBy(-5); }
void CkxPlayCtrl::ToNext5() { MoveBy(5); }

int CkxPlayCtrl::GetCurIndex() {
    std::lock_guard lock(m_mutex);
    m_nCurIndex = ClampLocked(m_nCurIndex);
    return m_nCurIndex;
}

int CkxPlayCtrl::GetNextIndex() {
    std::lock_guard lock(m_mutex);
    const CkxPlayParam& p = m_PlayParam;
    const int n = m_nCount, i = m_nCurIndex;
    // A step of 0 (the settings' default) would hold the show on one item for ever.
    const int step = std::max(1, p.m_nStep);
    const int last = std::min(n - 1, p.m_nRangeEnd);
    int next;
    if (p.m_nOrder == 1) {
        if (p.m_bWhole) next = i < n - 1 ? i + 1 : 0;
        else next = i < last ? std::min(Add(i, step), last) : p.m_nRangeStart;
    } else {
        if (p.m_bWhole) next = i > 0 ? i - 1 : n - 1;
        else next = p.m_nRangeStart < i ? std::max(Add(i, -step), p.m_nRangeStart) : last;
    }
    m_nCurIndex = ClampLocked(next);
    return m_nCurIndex;
}
