// The file browser's whole-file worker: fetches the whole content of a server document's files
// one background request at a time in set order, and the file the user selects at once. It holds
// no file between steps (ids and record copies only), sleeps on a condition variable woken by a
// selection, new files, an answer or the stop, never asks for a file the user may not load, and
// gives up on a request the server leaves unanswered (the server sends nothing when it cannot
// serve one): the file goes back to "not fetched", and the background skips it from then on.
#pragma once

#include "model/CkxFile.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

class CServerLink;
class CvClientDoc;

class CWholeFileWorker {
public:
    // Works on the document (which outlives it: the browser joins it before the document goes)
    // and sends through the link (null: nothing is sent).
    CWholeFileWorker(CvClientDoc& doc, CServerLink* link);
    ~CWholeFileWorker();
    CWholeFileWorker(const CWholeFileWorker&) = delete;
    CWholeFileWorker& operator=(const CWholeFileWorker&) = delete;

    // Starts the thread for a server document or not (a local one is never fetched); false when
    // the thread cannot start.
    bool Start(bool serverDocument);
    bool IsRunning() const { return m_thread.joinable(); }
    // Stops and joins; a thread not ended after the limit is logged and still joined.
    void Stop();
    // The view was activated: fetching may begin.
    void Activate();
    // Something to look at: a selection, new files, an answer.
    void Wake();
    void SetLoadable(int fileId, bool loadable);

    // How long a request may stay unanswered: base + perMegabyte for each MB of the file's
    // catalogue size. Tests shorten it.
    static void SetAnswerLimit(std::chrono::milliseconds base, std::chrono::milliseconds perMegabyte);
    static constexpr int kStopLimitMs = 5000;

    // Background requests sent and not answered yet.
    int BackgroundInFlight() const;
    // The files asked for, in the order the requests went.
    std::vector<int> SentIds() const;

private:
    struct InFlight {
        int id;
        std::chrono::steady_clock::time_point deadline;
        bool background;
    };
    void Loop();
    std::chrono::milliseconds Step();
    void Send(int fileId, bool background);

    CvClientDoc& m_doc;
    CServerLink* m_link;
    int m_nDocID;
    bool m_bServer = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStop = false;
    bool m_bDone = false;
    bool m_bActivated = false;
    bool m_bWoken = false;
    std::set<int> m_notLoadable;
    std::set<int> m_skipped;          // the worker's own thread only
    std::vector<InFlight> m_inFlight; // under m_mutex
    std::vector<int> m_sent;
    std::thread m_thread;
};
