// Ends a worker thread of the studio: sets its stop flag under its mutex, wakes it, waits up to
// the limit for its done flag, writes a line when it has not ended by then, and joins it all the
// same (its owner must not go while it works).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

inline void StopAndJoin(std::thread& thread, std::mutex& mutex, std::condition_variable& wake, bool& stop,
                        const bool& done, int limitMs, const std::string& what) {
    if (!thread.joinable()) return;
    std::unique_lock lock(mutex);
    stop = true;
    wake.notify_all();
    if (!wake.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return done; }))
        std::fprintf(stderr, "studio: %s has not ended after %d ms; waiting for it\n", what.c_str(), limitMs);
    lock.unlock();
    thread.join();
}
