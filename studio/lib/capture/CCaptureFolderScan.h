// CCaptureFolderScan: the capture station's scan thread. It mirrors the capture folder (files
// directly inside it, "db" files left out) in a table of its own, name to local id, and tells
// its window on the window's thread what changed: a file that appeared (the loaded file object,
// handed over whole), a file that vanished, the folder being empty. It never touches a window's
// file objects; a file that cannot be loaded yet (still being copied in) is tried on every pass.
#pragma once

#include "model/CkxFileImage.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CLocalStorage;
class QObject;

class CCaptureFolderScan {
public:
    struct Handlers {
        std::function<void(std::shared_ptr<CkxFileImage>)> appeared;
        std::function<void(int localId)> vanished;
        std::function<void()> empty;
    };
    static constexpr std::chrono::milliseconds kPassPause{200};
    static constexpr std::chrono::milliseconds kLoadPause{50};

    // The handlers run on `window`'s thread; calls still queued when it is gone are dropped.
    CCaptureFolderScan(CLocalStorage& storage, QObject* window, Handlers handlers);
    ~CCaptureFolderScan();
    CCaptureFolderScan(const CCaptureFolderScan&) = delete;
    CCaptureFolderScan& operator=(const CCaptureFolderScan&) = delete;

    // False when the thread cannot be made.
    bool Start();
    // Asks the thread to end and waits for it (it answers within one pause).
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }
    // Full passes over the folder so far.
    int GetPassCount() const { return m_nPasses.load(); }

private:
    void Run();
    void Pass();
    // Waits the time or until asked to stop; true when the thread goes on.
    bool Pause(std::chrono::milliseconds time);

    CLocalStorage& m_storage;
    QObject* m_window;
    Handlers m_handlers;
    std::map<std::string, int> m_known;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStop = false;
    std::atomic<int> m_nPasses{0};
};
