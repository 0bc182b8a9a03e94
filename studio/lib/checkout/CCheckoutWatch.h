// CCheckoutWatch: the checkout window's watch thread. Each pass it asks the window (a posted
// message) for a snapshot of the current user's checkouts that are due, which the window takes
// on the GUI thread; it then looks at the local copies on disk and posts what it found back to
// the window. It touches no list, no setting and no widget, and holds no lock while it waits.
#pragma once

#include "base/OleDate.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QObject;

class CCheckoutWatch {
public:
    // Messages posted to the window (wParam the file id).
    enum Message : unsigned {
        WM_COPY_MODIFIED = 0x510,   // lParam 0: the copy was written after its noted moments
        WM_COPY_EXISTS = 0x511,     // lParam 1 / 0: the copy appeared / vanished
        WM_COPY_SEEN = 0x512,       // lParam 0: an own record was looked at (its name may have changed)
        WM_WATCH_SNAPSHOT = 0x513,  // wParam 0: the thread waits for the next snapshot
    };

    // One due record as the window saw it.
    struct Entry {
        int fileId = -1;
        std::string path;        // the copy's full path
        bool exists = true;      // the record's copy-exists flag
        COleDateTime checkout;   // "CT_"
        COleDateTime modified;   // "MT_"
    };

    CCheckoutWatch() = default;
    CCheckoutWatch(const CCheckoutWatch&) = delete;
    CCheckoutWatch& operator=(const CCheckoutWatch&) = delete;
    ~CCheckoutWatch() { Stop(); }

    // Starts the thread (once); it posts to `window`, which must outlive Stop. False when the
    // thread cannot be made.
    bool Start(QObject* window, int periodMs);
    // Ends the thread and waits for it; at once, whatever it was waiting for.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    // The window's answer to WM_WATCH_SNAPSHOT (GUI thread).
    void Deliver(std::vector<Entry> snapshot);

    // What one look at a copy finds (the posts a pass makes for the entry, in order).
    struct Finding {
        bool modified = false;
        bool existsChanged = false;
        bool exists = false;
    };
    static Finding Look(const Entry& entry);

private:
    void Run();

    QObject* m_window = nullptr;
    int m_nPeriodMs = 1000;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bRun = false;
    std::optional<std::vector<Entry>> m_snapshot;
};
