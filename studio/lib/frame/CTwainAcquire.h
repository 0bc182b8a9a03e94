// CTwainAcquire: image acquisition from scanners and cameras for the main frame, on SANE loaded
// at run time. It keeps the walk of an acquisition's states (1 nothing loaded, 2 library loaded,
// 3 manager open, 4 source open, 5 source enabled, 6 transfer ready, 7 transferring) and the
// hooks of its owner: what to do with a page (OnImageInfo), whether the source may close, and
// each image as it arrives (OnImageAcquired). The pages are read on a worker thread that
// touches no widget; the hooks it calls run on that thread. Nothing is shown to the user here
// except the source choice: results are return values, and the owner says what went wrong.
#pragma once

#include <QImage>

#include <atomic>
#include <condition_variable>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QWidget;
struct SaneApi;

class CTwainAcquire {
public:
    enum State {
        STATE_PRESESSION = 1, STATE_LOADED = 2, STATE_MANAGER_OPEN = 3, STATE_SOURCE_OPEN = 4,
        STATE_SOURCE_ENABLED = 5, STATE_TRANSFER_READY = 6, STATE_TRANSFERRING = 7,
    };
    // What OnImageInfo answers for a page.
    enum Decision { XFER_IMAGE = 0, XFER_SKIP = 1, XFER_CANCEL = 2 };
    // The library loaded unless the environment names another (tests load a fake one).
    static constexpr const char* kLibrary = "libsane.so.1";
    static constexpr const char* kLibraryVariable = "VARNIA_SANE_LIBRARY";
    // A page whose start or description fails this often in a row ends the acquisition.
    static constexpr int kMaxFailures = 3;

    // Who is asking: kept for the run, handed to nobody (the scanner library has no place for it).
    struct Identity {
        int id = 0;
        int versionMajor = 0, versionMinor = 0, language = 0, country = 0;
        std::string versionInfo;
        int protocolMajor = 0, protocolMinor = 0;
        int supportedGroups = 0;
        std::string manufacturer, productFamily, productName;
    };
    // A device as the library lists it.
    struct Source {
        std::string name, vendor, model, type;
        bool operator==(const Source&) const = default;
    };
    // A page as the device describes it before it is read.
    struct ImageInfo {
        int page = 0;          // 1 for the first page of the acquisition
        int width = 0;         // pixels
        int height = -1;       // lines; -1 while the device does not know (hand scanners)
        int depth = 0;         // bits per sample: 1, 8 or 16
        bool color = false;
        bool threePass = false; // colour sent as three single-colour frames
        int bytesPerLine = 0;
    };

    // With a window the source manager is opened at once.
    explicit CTwainAcquire(QWidget* owner = nullptr);
    virtual ~CTwainAcquire();
    CTwainAcquire(const CTwainAcquire&) = delete;
    CTwainAcquire& operator=(const CTwainAcquire&) = delete;

    // Loads the library and starts it (state 3). 1 once it is running; 0 without a window, when
    // the library or one of its entry points is missing, or when it refuses to start (state 1).
    int OpenSourceManager(QWidget* owner);
    // Closes the source first; state 2.
    void CloseSourceManager();
    // Closes everything and unloads the library (state 1); the destructor runs it.
    void ReleaseTwain();
    // Lets the user choose among the devices (the first, or the one chosen before, is the
    // default). 1 when a source is chosen; 0 without a manager, without devices (NoSourceFound)
    // or while an acquisition runs.
    virtual int SelectSource();
    // Opens the given source, else the chosen one, else the first device (state 4). 1 when a
    // source is open.
    int OpenSource(const Source* source = nullptr);
    // Disables the source first; state 3.
    void CloseSource();
    // Starts the acquisition of the pages on the worker (state 5). Only for an open source that
    // is not enabled; a source without its own interface ignores the flag. 1 when it started.
    int EnableSource(int showInterface);
    // Stops the acquisition and waits for the worker; state 4.
    void DisableSource();
    // The number of pages the next acquisition reads: n > 0 at most n; -1 as many as a document
    // feeder holds, else one. 1 when taken.
    int SetImageCount(int count);
    // Opens the default source when none is open, sets the count and enables the source.
    int Acquire(int count);
    // Nothing to route: the source has no window of its own. Always 0.
    int ProcessMessage(void* message) { return 0; }
    // The user ends the acquisition: the source closes when CanCloseSource agrees.
    void OnCloseRequest();

    // ---- What the owner and the tests read ----
    int GetState() const { return m_nState.load(); }
    int IsSourceManagerOpen() const { return m_bManagerOpen; }
    int IsSourceSelected() const { return m_bSourceSelected; }
    int IsSourceOpen() const { return m_bSourceOpen; }
    int IsSourceEnabled() const { return m_bSourceEnabled.load(); }
    int GetModalUI() const { return m_bModalUI; }
    int GetImageCount() const { return m_nImageCount; }
    // The last failure was: no library, or no device.
    bool NoSourceFound() const { return m_bNoSource; }
    // The devices the library finds now (empty without a manager).
    std::vector<Source> GetSources();
    const Source& GetSelectedSource() const { return m_Source; }
    const Identity& GetAppIdentity() const { return m_AppId; }
    // The status of the last failed library call (0 when the last call succeeded).
    int GetLastStatus() const { return m_nLastStatus.load(); }
    // Pages handed on, and the acquisitions the worker finished, since the manager opened.
    int GetAcquiredCount() const { return m_nAcquired.load(); }
    int GetFinishedCount() const { return m_nFinished.load(); }
    // Waits up to the limit until no acquisition runs; true when none does.
    bool WaitForIdle(std::chrono::milliseconds limit);

protected:
    // Fills the application identity.
    virtual void GetIdentity(Identity& identity);
    // Runs the choice among the sources: the index chosen, or -1 when the user cancels.
    virtual int ChooseSource(const std::vector<Source>& sources, int current);
    // On the worker: what to do with the page described. The base transfers every page.
    virtual int OnImageInfo(const ImageInfo& info) { return XFER_IMAGE; }
    // Whether the source may close at the user's request. The base agrees.
    virtual int CanCloseSource() { return 1; }
    // On the worker: one complete image. The base keeps nothing.
    virtual void OnImageAcquired(const QImage& image, const ImageInfo& info) {}

    QWidget* m_owner = nullptr;

private:
    enum PageResult { PAGE_DONE, PAGE_NO_DOCS, PAGE_FAILED, PAGE_ERROR, PAGE_STOPPED };
    void RunAcquisition(int count, bool feeder);
    // Starts one page and describes it; PAGE_DONE when it may be read.
    PageResult StartPage(ImageInfo& info, void* params);
    // Reads every frame of the started page into an image (dropped when keep is false).
    PageResult ReadPage(const void* firstParams, bool keep, QImage& image);
    bool ReadFrame(std::vector<unsigned char>& bytes);
    bool IsFeeder();
    void JoinWorker();
    void SetStatus(int status);

    SaneApi* m_api = nullptr;
    void* m_hLibrary = nullptr;
    void* m_hDevice = nullptr;
    Identity m_AppId;
    Source m_Source;
    std::atomic<int> m_nLastStatus{0};
    int m_bSourceSelected = 0;
    int m_bManagerOpen = 0;
    int m_bSourceOpen = 0;
    std::atomic<int> m_bSourceEnabled{0};
    int m_bModalUI = 1;
    int m_nImageCount = -1;
    bool m_bNoSource = false;
    std::atomic<int> m_nState{STATE_PRESESSION};
    std::atomic<int> m_nAcquired{0};
    std::atomic<int> m_nFinished{0};

    std::thread m_worker;
    std::atomic<bool> m_bStop{false};
    std::mutex m_idleMutex;
    std::condition_variable m_idle;
};
