#include "frame/CTwainAcquire.h"

#include "frame/CDlgSelectSource.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <dlfcn.h>

#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <strings.h>

// The library's entry points, taken by name once it is loaded.
struct SaneApi {
    SANE_Status (*init)(SANE_Int*, SANE_Auth_Callback);
    void (*exit)();
    SANE_Status (*getDevices)(const SANE_Device***, SANE_Bool);
    SANE_Status (*open)(SANE_String_Const, SANE_Handle*);
    void (*close)(SANE_Handle);
    const SANE_Option_Descriptor* (*getOptionDescriptor)(SANE_Handle, SANE_Int);
    SANE_Status (*controlOption)(SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*);
    SANE_Status (*getParameters)(SANE_Handle, SANE_Parameters*);
    SANE_Status (*start)(SANE_Handle);
    SANE_Status (*read)(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*);
    void (*cancel)(SANE_Handle);
};

namespace {

// A page larger than this is refused rather than allocated (a device's own numbers decide it).
constexpr size_t kMaxPageBytes = size_t(1) << 30;

template <class F>
bool Take(void* library, const char* name, F& out) {
    out = reinterpret_cast<F>(::dlsym(library, name));
    return out != nullptr;
}

bool Resolve(void* library, SaneApi& api) {
    return Take(library, "sane_init", api.init) && Take(library, "sane_exit", api.exit) &&
           Take(library, "sane_get_devices", api.getDevices) && Take(library, "sane_open", api.open) &&
           Take(library, "sane_close", api.close) &&
           Take(library, "sane_get_option_descriptor", api.getOptionDescriptor) &&
           Take(library, "sane_control_option", api.controlOption) &&
           Take(library, "sane_get_parameters", api.getParameters) && Take(library, "sane_start", api.start) &&
           Take(library, "sane_read", api.read) && Take(library, "sane_cancel", api.cancel);
}

std::string Text(const char* s) { return s ? s : ""; }

// One sample of a line: depth 1 (a set bit is black in grey, full in colour), 8, or 16 in host
// order, scaled to 8 bits.
int Sample(const unsigned char* line, int index, int depth, bool grey) {
    if (depth == 1) {
        const bool set = (line[index / 8] >> (7 - index % 8)) & 1;
        return grey ? (set ? 0 : 255) : (set ? 255 : 0);
    }
    if (depth == 16) {
        uint16_t v;
        std::memcpy(&v, line + 2 * index, 2);
        return v >> 8;
    }
    return line[index];
}

struct Frame {
    SANE_Parameters params;
    std::vector<unsigned char> bytes;
};

} // namespace

CTwainAcquire::CTwainAcquire(QWidget* owner) {
    if (owner) OpenSourceManager(owner);
}

CTwainAcquire::~CTwainAcquire() { ReleaseTwain(); }

void CTwainAcquire::GetIdentity(Identity& id) {
    id = Identity{};
    id.id = 0;
    id.versionMajor = 3;
    id.versionMinor = 5;
    id.language = 13;
    id.country = 1;
    id.versionInfo = "3.5";
    id.protocolMajor = 1;
    id.protocolMinor = 8;
    id.supportedGroups = 3;
    id.manufacturer = "Ferrow";
    id.productFamily = "Generic";
    id.productName = "Twain Test";
}

void CTwainAcquire::SetStatus(int status) { m_nLastStatus.store(status); }

int CTwainAcquire::OpenSourceManager(QWidget* owner) {
    if (m_hLibrary && m_api) return 1;
    m_AppId = Identity{};
    m_bNoSource = true;
    if (!owner) return 0;
    m_owner = owner;
    const char* named = std::getenv(kLibraryVariable);
    const std::string path = named && *named ? named : kLibrary;
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return 0;
    auto* api = new SaneApi{};
    if (!Resolve(library, *api)) {
        delete api;
        ::dlclose(library);
        return 0;
    }
    m_hLibrary = library;
    m_api = api;
    m_nState = STATE_LOADED;
    GetIdentity(m_AppId);
    SANE_Int version = 0;
    const SANE_Status status = m_api->init(&version, nullptr);
    SetStatus(status);
    if (status != SANE_STATUS_GOOD) {
        // A library that does not start is as good as none.
        ReleaseTwain();
        return 0;
    }
    m_bManagerOpen = 1;
    m_bNoSource = false;
    m_nAcquired = 0;
    m_nFinished = 0;
    m_nState = STATE_MANAGER_OPEN;
    return 1;
}

void CTwainAcquire::CloseSourceManager() {
    if (!m_bManagerOpen) return;
    CloseSource();
    m_api->exit();
    m_bManagerOpen = 0;
    m_nState = STATE_LOADED;
}

void CTwainAcquire::ReleaseTwain() {
    if (!m_hLibrary) return;
    CloseSourceManager();
    delete m_api;
    m_api = nullptr;
    ::dlclose(m_hLibrary);
    m_hLibrary = nullptr;
    m_nState = STATE_PRESESSION;
}

std::vector<CTwainAcquire::Source> CTwainAcquire::GetSources() {
    std::vector<Source> out;
    if (!m_bManagerOpen) return out;
    const SANE_Device** list = nullptr;
    const SANE_Status status = m_api->getDevices(&list, SANE_FALSE);
    SetStatus(status);
    if (status != SANE_STATUS_GOOD || !list) return out;
    for (const SANE_Device** d = list; *d; ++d)
        out.push_back({Text((*d)->name), Text((*d)->vendor), Text((*d)->model), Text((*d)->type)});
    return out;
}

int CTwainAcquire::ChooseSource(const std::vector<Source>& sources, int current) {
    CDlgSelectSource dlg(m_owner);
    for (const Source& s : sources) dlg.m_Rows.push_back({s.vendor, s.model, s.type});
    dlg.m_nSelected = current;
    if (dlg.DoModal() != kx::IDOK) return -1;
    return dlg.m_nSelected;
}

int CTwainAcquire::SelectSource() {
    if (!m_bManagerOpen) {
        m_bNoSource = true;
        return 0;
    }
    if (m_bSourceEnabled) return 0; // the running acquisition keeps its device
    const std::vector<Source> sources = GetSources();
    m_bNoSource = sources.empty();
    if (sources.empty()) return 0;
    // The default: the device chosen before while it is still there, else the first one.
    int current = 0;
    if (m_bSourceSelected) {
        const auto it = std::find_if(sources.begin(), sources.end(), [&](const Source& s) { return s.name == m_Source.name; });
        if (it != sources.end()) current = static_cast<int>(it - sources.begin());
    }
    m_Source = sources[static_cast<size_t>(current)];
    m_bSourceSelected = 1;
    const int chosen = ChooseSource(sources, current);
    // Cancelling keeps the default; a row chosen becomes the source of the next acquisition.
    if (chosen >= 0 && chosen < static_cast<int>(sources.size())) {
        const Source& pick = sources[static_cast<size_t>(chosen)];
        if (m_bSourceOpen && !(pick == m_Source)) CloseSource();
        m_Source = pick;
    }
    return m_bSourceSelected;
}

int CTwainAcquire::OpenSource(const Source* source) {
    if (source) {
        if (m_bSourceOpen && !(*source == m_Source)) CloseSource();
        m_Source = *source;
        m_bSourceSelected = 1;
    }
    if (!m_bManagerOpen) {
        m_bNoSource = true;
        return 0;
    }
    if (m_bSourceOpen) return 1;
    if (!m_bSourceSelected) {
        const std::vector<Source> sources = GetSources();
        m_bNoSource = sources.empty();
        if (sources.empty()) return 0;
        m_Source = sources.front();
        m_bSourceSelected = 1;
    }
    SANE_Handle handle = nullptr;
    const SANE_Status status = m_api->open(m_Source.name.c_str(), &handle);
    SetStatus(status);
    if (status != SANE_STATUS_GOOD || !handle) return 0;
    m_hDevice = handle;
    m_bSourceOpen = 1;
    m_nState = STATE_SOURCE_OPEN;
    return 1;
}

void CTwainAcquire::CloseSource() {
    if (!m_bSourceOpen) return;
    DisableSource();
    m_api->close(m_hDevice);
    m_hDevice = nullptr;
    m_bSourceOpen = 0;
    m_nState = STATE_MANAGER_OPEN;
}

int CTwainAcquire::SetImageCount(int count) {
    if (count == 0 || count < -1) return 0;
    m_nImageCount = count;
    return 1;
}

bool CTwainAcquire::IsFeeder() {
    // The device's "source" option naming a feeder; the option's number comes from the device.
    for (SANE_Int i = 1;; ++i) {
        const SANE_Option_Descriptor* d = m_api->getOptionDescriptor(m_hDevice, i);
        if (!d) return false;
        if (!d->name || std::strcmp(d->name, SANE_NAME_SCAN_SOURCE) != 0) continue;
        if (d->type != SANE_TYPE_STRING || d->size <= 0 || d->size > 4096 || !SANE_OPTION_IS_ACTIVE(d->cap))
            return false;
        std::vector<char> value(static_cast<size_t>(d->size) + 1, '\0');
        if (m_api->controlOption(m_hDevice, i, SANE_ACTION_GET_VALUE, value.data(), nullptr) != SANE_STATUS_GOOD)
            return false;
        const std::string text(value.data());
        for (const char* word : {"ADF", "Feeder", "Automatic Document Feeder"})
            if (::strcasestr(text.c_str(), word)) return true;
        return false;
    }
}

int CTwainAcquire::EnableSource(int /*showInterface*/) {
    if (!m_bSourceOpen || m_bSourceEnabled) return 0;
    JoinWorker(); // the last acquisition's worker has ended; its thread object goes now
    const bool feeder = m_nImageCount < 0 && IsFeeder();
    m_bStop = false;
    m_bModalUI = 1; // the source has no interface of its own to be modal or not
    m_bSourceEnabled = 1;
    m_nState = STATE_SOURCE_ENABLED;
    try {
        m_worker = std::thread([this, count = m_nImageCount, feeder] { RunAcquisition(count, feeder); });
    } catch (const std::system_error&) {
        m_bSourceEnabled = 0;
        m_bModalUI = 1;
        m_nState = STATE_SOURCE_OPEN;
        return 0;
    }
    return 1;
}

void CTwainAcquire::DisableSource() {
    if (!m_worker.joinable() && !m_bSourceEnabled) return;
    m_bStop = true;
    // sane_cancel may be called while another thread reads: the read returns at once.
    if (m_bSourceEnabled && m_hDevice) m_api->cancel(m_hDevice);
    JoinWorker();
    m_bSourceEnabled = 0;
    if (m_bSourceOpen) m_nState = STATE_SOURCE_OPEN;
}

void CTwainAcquire::JoinWorker() {
    if (m_worker.joinable()) m_worker.join();
}

int CTwainAcquire::Acquire(int count) {
    if (!m_bSourceOpen && !OpenSource(nullptr)) return 0;
    return SetImageCount(count) && EnableSource(1);
}

void CTwainAcquire::OnCloseRequest() {
    if (CanCloseSource()) CloseSource();
}

bool CTwainAcquire::WaitForIdle(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_idleMutex);
    return m_idle.wait_for(lock, limit, [this] { return !m_bSourceEnabled.load(); });
}

// ---- The worker ----

void CTwainAcquire::RunAcquisition(int count, bool feeder) {
    int pages = 0, failures = 0;
    while (!m_bStop) {
        if (count > 0 && pages >= count) break;
        if (count < 0 && !feeder && pages >= 1) break;
        ImageInfo info;
        info.page = pages + 1;
        SANE_Parameters params{};
        m_nState = STATE_TRANSFER_READY;
        const PageResult started = StartPage(info, &params);
        if (started == PAGE_NO_DOCS || started == PAGE_STOPPED) break;
        if (started != PAGE_DONE) {
            // A source that keeps refusing its pages would keep this loop going for ever.
            if (++failures >= kMaxFailures) break;
            continue;
        }
        failures = 0;
        const int decision = OnImageInfo(info);
        if (decision == XFER_CANCEL) break;
        m_nState = STATE_TRANSFERRING;
        QImage image;
        const PageResult read = ReadPage(&params, decision == XFER_IMAGE, image);
        // A page read in part is dropped with the rest of the acquisition.
        if (read != PAGE_DONE) break;
        ++pages;
        if (decision == XFER_IMAGE) {
            OnImageAcquired(image, info);
            ++m_nAcquired;
        }
    }
    m_api->cancel(m_hDevice);
    {
        std::lock_guard lock(m_idleMutex);
        m_bSourceEnabled = 0;
        m_nState = STATE_SOURCE_OPEN;
        ++m_nFinished;
    }
    m_idle.notify_all();
}

CTwainAcquire::PageResult CTwainAcquire::StartPage(ImageInfo& info, void* out) {
    auto* params = static_cast<SANE_Parameters*>(out);
    SANE_Status status = m_api->start(m_hDevice);
    SetStatus(status);
    if (m_bStop) return PAGE_STOPPED;
    if (status == SANE_STATUS_NO_DOCS) return PAGE_NO_DOCS;
    if (status != SANE_STATUS_GOOD) {
        m_api->cancel(m_hDevice);
        return PAGE_FAILED;
    }
    status = m_api->getParameters(m_hDevice, params);
    SetStatus(status);
    if (status != SANE_STATUS_GOOD) {
        m_api->cancel(m_hDevice);
        return PAGE_FAILED;
    }
    info.width = params->pixels_per_line;
    info.height = params->lines;
    info.depth = params->depth;
    info.bytesPerLine = params->bytes_per_line;
    info.color = params->format != SANE_FRAME_GRAY;
    info.threePass = params->format == SANE_FRAME_RED || params->format == SANE_FRAME_GREEN ||
                     params->format == SANE_FRAME_BLUE;
    if (m_bStop) return PAGE_STOPPED;
    return PAGE_DONE;
}

bool CTwainAcquire::ReadFrame(std::vector<unsigned char>& bytes) {
    unsigned char buffer[32768];
    for (;;) {
        if (m_bStop) return false;
        SANE_Int len = 0;
        const SANE_Status status = m_api->read(m_hDevice, buffer, sizeof buffer, &len);
        if (status == SANE_STATUS_EOF) return true;
        SetStatus(status);
        if (status != SANE_STATUS_GOOD || len < 0 || len > static_cast<SANE_Int>(sizeof buffer)) return false;
        if (bytes.size() + static_cast<size_t>(len) > kMaxPageBytes) return false;
        bytes.insert(bytes.end(), buffer, buffer + len);
    }
}

CTwainAcquire::PageResult CTwainAcquire::ReadPage(const void* first, bool keep, QImage& image) {
    std::vector<Frame> frames;
    frames.push_back({*static_cast<const SANE_Parameters*>(first), {}});
    for (;;) {
        Frame& f = frames.back();
        const SANE_Parameters& p = f.params;
        if (p.bytes_per_line <= 0 || p.pixels_per_line <= 0 || !(p.depth == 1 || p.depth == 8 || p.depth == 16))
            return PAGE_ERROR;
        if (p.lines > 0 && static_cast<size_t>(p.bytes_per_line) * static_cast<size_t>(p.lines) > kMaxPageBytes)
            return PAGE_ERROR;
        if (p.lines > 0) f.bytes.reserve(static_cast<size_t>(p.bytes_per_line) * static_cast<size_t>(p.lines));
        if (!ReadFrame(f.bytes)) return m_bStop ? PAGE_STOPPED : PAGE_ERROR;
        if (p.last_frame) break;
        if (frames.size() >= 3) return PAGE_ERROR;
        // The next colour of a three-pass page.
        SANE_Parameters next{};
        if (m_api->start(m_hDevice) != SANE_STATUS_GOOD || m_api->getParameters(m_hDevice, &next) != SANE_STATUS_GOOD)
            return PAGE_ERROR;
        frames.push_back({next, {}});
    }
    if (!keep) return PAGE_DONE;

    const SANE_Parameters& p0 = frames.front().params;
    const int width = p0.pixels_per_line;
    int height = -1;
    for (const Frame& f : frames) {
        // A device that did not know its lines tells them by the bytes it sent.
        const int lines = static_cast<int>(f.bytes.size() / static_cast<size_t>(f.params.bytes_per_line));
        const int known = f.params.lines >= 0 ? std::min(f.params.lines, lines) : lines;
        height = height < 0 ? known : std::min(height, known);
        if (f.params.pixels_per_line != width) return PAGE_ERROR;
    }
    if (height <= 0) return PAGE_ERROR;
    QImage out(width, height, QImage::Format_RGB32);
    if (out.isNull()) return PAGE_ERROR;
    out.fill(Qt::black);
    for (const Frame& f : frames) {
        const SANE_Parameters& p = f.params;
        // Samples per pixel and the channel (0 red, 1 green, 2 blue; -1 grey, 3 all three).
        int channel = -1;
        switch (p.format) {
        case SANE_FRAME_GRAY: channel = -1; break;
        case SANE_FRAME_RGB: channel = 3; break;
        case SANE_FRAME_RED: channel = 0; break;
        case SANE_FRAME_GREEN: channel = 1; break;
        case SANE_FRAME_BLUE: channel = 2; break;
        default: return PAGE_ERROR;
        }
        const int perPixel = channel == 3 ? 3 : 1;
        const size_t needBits = static_cast<size_t>(width) * perPixel * static_cast<size_t>(p.depth);
        if ((needBits + 7) / 8 > static_cast<size_t>(p.bytes_per_line)) return PAGE_ERROR;
        const bool grey = p.format == SANE_FRAME_GRAY;
        for (int y = 0; y < height; ++y) {
            const unsigned char* line = f.bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(p.bytes_per_line);
            auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < width; ++x) {
                if (channel == -1) {
                    const int v = Sample(line, x, p.depth, true);
                    px[x] = qRgb(v, v, v);
                } else if (channel == 3) {
                    px[x] = qRgb(Sample(line, 3 * x, p.depth, false), Sample(line, 3 * x + 1, p.depth, false),
                                 Sample(line, 3 * x + 2, p.depth, false));
                } else {
                    const int v = Sample(line, x, p.depth, grey);
                    const QRgb c = px[x];
                    px[x] = qRgb(channel == 0 ? v : qRed(c), channel == 1 ? v : qGreen(c), channel == 2 ? v : qBlue(c));
                }
            }
        }
    }
    image = std::move(out);
    return PAGE_DONE;
}
