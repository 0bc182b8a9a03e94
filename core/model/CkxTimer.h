// CkxTimer: a small interval thread. Open starts a worker that waits the interval over and over
// until Close; Close wakes it at once and joins it, so no thread outlives the timer.
#pragma once

#include "model/KxExport.h"

#include <condition_variable>
#include <mutex>
#include <thread>

class KX_EXPORT CkxTimer {
public:
    CkxTimer() = default;
    CkxTimer(const CkxTimer&) = delete;
    CkxTimer& operator=(const CkxTimer&) = delete;
    virtual ~CkxTimer() { Close(); }

    // 0 for ms <= 0; 1 when a worker already runs; else stores ms, starts the worker and returns
    // 1, or 0 (not running) when no thread can be started.
    int Open(long ms);
    // Stops the worker and waits for it to end (its wait is interrupted at once). Open and
    // Close may be called from several threads.
    void Close();
    int IsRunning() const;
    int GetInterval() const;

private:
    void Run();

    std::mutex m_control; // serialises Open and Close
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_nInterval = 0;
    int m_bRunning = 0;
    std::thread m_thread;
};
