// CkxPlayCtrl: the slide show's cursor over a number of items. It clamps every move into the
// items and knows which index to show next from the play parameters. The show's play thread
// and the window's commands both move it, so every member takes its lock.
#pragma once

#include "model/CkxPlayParam.h"
#include "model/KxExport.h"

#include <mutex>

class KX_EXPORT CkxPlayCtrl {
public:
    CkxPlayCtrl() = default;
    CkxPlayCtrl(const CkxPlayCtrl& o);
    CkxPlayCtrl& operator=(const CkxPlayCtrl& o);
    virtual ~CkxPlayCtrl() = default;

    void SetPlayParam(const CkxPlayParam& param);
    CkxPlayParam GetPlayParam() const;
    void SetCount(int count);
    int GetCount() const;
    int IsValid() const; // count above 0

    void Start() { Start(1); }
    void Start(int autoPlay);
    void Stop() { Start(0); }
    int IsAutoPlay() const;
    void Reset() { Reset(0); }
    void Reset(int autoPlay); // index 0, auto-play = the value

    // Moves, each clamped into 0 ... count - 1 (0 when there are no items).
    void ToFirst();
    void ToPrev();
    void ToNext();
    void ToPrev5();
    void ToNext5();
    void ToLast();
    void ToIndex(int index);
    // The index, clamped as above (the clamp is kept).
    int GetCurIndex();
    // Moves to the next item to show and returns it. Forward over all items wraps from the last
    // to 0, backward from 0 to the last. In range mode the cursor moves by the step (at least 1)
    // up to min(last item, range end), then returns to the range start; backward down to the range
    // start, then back to min(last item, range end). The loop flag is the caller's business.
    int GetNextIndex();

private:
    int ClampLocked(int index) const;
    void MoveBy(int delta);

    mutable std::mutex m_mutex;
    CkxPlayParam m_PlayParam;
    int m_nCount = 0;
    int m_bAutoPlay = 0;
    int m_nCurIndex = 0;
};
