#include "model/CkxPlayParam.h"

#include <algorithm>
#include <climits>
#include <cstdint>

int CkxPlayParam::GetPlaySpeed_InterTime_Sec() const {
    return m_nTimeUnit == 1 ? m_nInterTime : m_nInterTime / 1000;
}

int CkxPlayParam::GetPlaySpeed_InterTime_MicroSec() const {
    if (m_nTimeUnit != 1) return m_nInterTime;
    int64_t ms = static_cast<int64_t>(m_nInterTime) * 1000;
    return static_cast<int>(std::clamp<int64_t>(ms, INT_MIN, INT_MAX));
}

int CkxPlayParam::GetPlayTimerSpeed() const {
    if (m_nSpeedMode == 1) return GetPlaySpeed_InterTime_MicroSec();
    return 1000 / std::max(1, m_nFrameNum);
}
