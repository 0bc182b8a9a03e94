// CkxPlayParam: the slide show's order and speed settings (which items, which way, how fast).
// The context object keeps one set for the process; the show's controller takes a copy.
#pragma once

#include "model/KxExport.h"

class KX_EXPORT CkxPlayParam {
public:
    CkxPlayParam() = default;
    CkxPlayParam(const CkxPlayParam&) = default;
    CkxPlayParam& operator=(const CkxPlayParam&) = default;
    virtual ~CkxPlayParam() = default;

    int IsPlayOrderPos() const { return m_nOrder == 1; }
    int IsPlayOrderNeg() const { return m_nOrder == 2; }
    int IsPlayOrderLoop() const { return m_bLoop; }
    int IsPlaySpeed_InterTime() const { return m_nSpeedMode == 1; }
    int IsPlaySpeed_FrameNum() const { return m_nSpeedMode == 2; }
    int GetPlaySpeed_FrameNum() const { return m_nFrameNum; }
    // The interval in seconds (unit seconds: as held; otherwise held / 1000).
    int GetPlaySpeed_InterTime_Sec() const;
    // The interval in milliseconds (unit seconds: held x 1000; otherwise as held).
    int GetPlaySpeed_InterTime_MicroSec() const;
    // The period of the show's timer in milliseconds: the interval in fixed-interval mode, else
    // 1000 / frames per second (a rate of 0 or less counts as 1 frame a second).
    int GetPlayTimerSpeed() const;

    int m_bWhole = 1;       // 1: the cursor walks all items; 0: the range below
    int m_nRangeStart = 0;  // first index of the range
    int m_nRangeEnd = 0;    // last index of the range
    int m_nStep = 0;        // items the cursor moves in range mode
    int m_nOrder = 1;       // 1 forward, 2 backward
    int m_bLoop = 1;        // the caller repeats the show when not 0
    int m_nSpeedMode = 1;   // 1 fixed interval, 2 frames per second
    int m_nInterTime = 1;   // the interval
    int m_nFrameNum = 1;    // frames per second
    int m_nTimeUnit = 1;    // 1 seconds; anything else milliseconds
    int m_nReserved = 0;
};
