#include "capture/CCaptureFolderScan.h"

#include "doc/CLocalStorage.h"

#include "model/CkxXXX.h"
#include "model/CkxwFileSystem.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <system_error>

CCaptureFolderScan::CCaptureFolderScan(CLocalStorage& storage, QObject* window, Handlers handlers)
    : m_storage(storage), m_window(window), m_handlers(std::move(handlers)) {}

CCaptureFolderScan::~CCaptureFolderScan() { Stop(); }

bool CCaptureFolderScan::Start() {
    if (m_thread.joinable()) return true;
    {
        std::lock_guard lock(m_mutex);
        m_bStop = false;
    }
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CCaptureFolderScan::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

bool CCaptureFolderScan::Pause(std::chrono::milliseconds time) {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, time, [this] { return m_bStop; });
}

void CCaptureFolderScan::Run() {
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (m_bStop) return;
        }
        Pass();
        ++m_nPasses;
        if (!Pause(kPassPause)) return;
    }
}

void CCaptureFolderScan::Pass() {
    // Vanished files first: the window drops their rows.
    for (auto it = m_known.begin(); it != m_known.end();) {
        if (m_storage.IsCaptureFileValid(it->first)) {
            ++it;
            continue;
        }
        const int id = it->second;
        it = m_known.erase(it);
        QMetaObject::invokeMethod(m_window, [h = m_handlers.vanished, id] { h(id); }, Qt::QueuedConnection);
    }

    KxStrings names;
    CkxwFileSystem::SearchAllChildFile(m_storage.GetCaptureDir(), names);
    if (names.empty()) {
        m_known.clear();
        QMetaObject::invokeMethod(m_window, [h = m_handlers.empty] { h(); }, Qt::QueuedConnection);
        return;
    }
    for (const std::string& name : names) {
        if (m_known.count(name)) continue;
        // Only a name that had to be loaded costs a pause, so a new file shows at once however
        // many are listed.
        auto file = std::make_shared<CkxFileImage>();
        if (m_storage.LoadCaptureFileInfo(name, file.get()) && file->GetFileName() == name) {
            file->m_nID = KX_KXXXX()._GetLocalFileID();
            m_known.emplace(name, file->m_nID);
            QMetaObject::invokeMethod(m_window, [h = m_handlers.appeared, file] { h(file); }, Qt::QueuedConnection);
        }
        if (!Pause(kLoadPause)) return;
    }
}
