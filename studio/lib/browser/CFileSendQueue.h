// CFileSendQueue: the browser's uploads and attribute updates, sent in the order they were queued
// by a thread of their own with a pause between files, so a batch of large files never holds the
// GUI thread. The queue owns its file copies; only the file being sent holds its content in
// memory. An upload whose source cannot be read is skipped; once the queue runs dry the skipped
// names go to the GUI thread in one call of the finish handler.
#pragma once

#include "model/CkxFile.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CServerLink;

class CFileSendQueue {
public:
    enum Kind { ADD_FROM_SOURCE, UPDATE_ATTRS };
    // Called on the GUI thread when the queue has run dry, with the names of the uploads skipped
    // because their source could not be read (in queue order).
    using FinishHandler = std::function<void(const std::vector<std::string>& skipped)>;

    explicit CFileSendQueue(CServerLink* link);
    ~CFileSendQueue();
    CFileSendQueue(const CFileSendQueue&) = delete;
    CFileSendQueue& operator=(const CFileSendQueue&) = delete;

    void SetFinishHandler(FinishHandler handler) { m_onFinish = std::move(handler); }
    // Queues the files in order (the thread starts on first use). ADD_FROM_SOURCE reads each
    // file's content from its source path just before it is sent.
    void Push(Kind kind, std::vector<std::unique_ptr<CkxFile>> files);
    // Files queued or being sent.
    int Pending() const;
    bool IsBusy() const { return Pending() > 0; }
    // The files sent so far, in order (their titles), and the skipped ones.
    std::vector<std::string> SentNames() const;

    // The pause between two files; tests may shorten it.
    static void SetGap(std::chrono::milliseconds gap);

private:
    struct Job {
        Kind kind;
        std::unique_ptr<CkxFile> file;
    };
    void Loop();
    // Reads and sends one job (off the GUI thread); false when skipped.
    bool SendOne(Job& job);

    CServerLink* m_link;
    FinishHandler m_onFinish;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    int m_nWorking = 0;
    bool m_bStop = false;
    std::vector<std::string> m_skipped; // since the queue last ran dry
    std::vector<std::string> m_sent;
    std::thread m_thread;
    // Finish calls posted to the GUI thread check this before they run.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
