// A scanner library for the scanner tests, loaded in SANE's place through VARNIA_SANE_LIBRARY,
// for what SANE's own test backend cannot be made to do. The variable VARNIA_FAKE_SANE picks
// the behaviour:
//   "nodevices"   no device is listed;
//   "startfails"  every start of a page fails;
//   "paramsfail"  every description of a page fails;
//   "readerror2"  page 2 fails after half its lines;
//   anything else three good pages from a document feeder, then "no documents".
// A page is a 40 x 30 grey image, each line filled with its number. Calls are counted in
// fake_sane_calls (start, get_parameters, cancel) for the tests that look.
#include <sane/sane.h>
#include <sane/saneopts.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kWidth = 40;
constexpr int kLines = 30;
constexpr int kPages = 3;

SANE_Device g_device = {"fake:0", "Fake", "Sheetfeeder 3", "sheetfed scanner"};
const SANE_Device* g_list[] = {&g_device, nullptr};
const SANE_Device* g_empty[] = {nullptr};
int g_handle = 1;

SANE_Option_Descriptor g_count = {"", "Number of options", "", SANE_TYPE_INT, SANE_UNIT_NONE,
                                  sizeof(SANE_Word), SANE_CAP_SOFT_DETECT, SANE_CONSTRAINT_NONE, {nullptr}};
SANE_Option_Descriptor g_source = {SANE_NAME_SCAN_SOURCE, "Scan source", "", SANE_TYPE_STRING, SANE_UNIT_NONE,
                                   8, SANE_CAP_SOFT_DETECT, SANE_CONSTRAINT_NONE, {nullptr}};

std::string Mode() {
    const char* m = std::getenv("VARNIA_FAKE_SANE");
    return m ? m : "";
}

int g_page = 0;       // pages started
int g_line = 0;       // lines of the current page sent
bool g_scanning = false;

} // namespace

extern "C" {

int fake_sane_calls[3] = {0, 0, 0};

SANE_Status sane_init(SANE_Int* version, SANE_Auth_Callback) {
    if (version) *version = SANE_VERSION_CODE(1, 0, 0);
    g_page = 0;
    return SANE_STATUS_GOOD;
}

void sane_exit() {}

SANE_Status sane_get_devices(const SANE_Device*** list, SANE_Bool) {
    *list = Mode() == "nodevices" ? g_empty : g_list;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_open(SANE_String_Const name, SANE_Handle* h) {
    if (Mode() == "nodevices" || !name || std::strcmp(name, g_device.name) != 0) return SANE_STATUS_INVAL;
    *h = &g_handle;
    g_page = 0;
    return SANE_STATUS_GOOD;
}

void sane_close(SANE_Handle) {}

const SANE_Option_Descriptor* sane_get_option_descriptor(SANE_Handle, SANE_Int n) {
    if (n == 0) return &g_count;
    if (n == 1) return &g_source;
    return nullptr;
}

SANE_Status sane_control_option(SANE_Handle, SANE_Int n, SANE_Action action, void* value, SANE_Int* info) {
    if (info) *info = 0;
    if (action != SANE_ACTION_GET_VALUE) return SANE_STATUS_UNSUPPORTED;
    if (n == 0) {
        *static_cast<SANE_Word*>(value) = 2;
        return SANE_STATUS_GOOD;
    }
    if (n == 1) {
        std::strcpy(static_cast<char*>(value), "ADF");
        return SANE_STATUS_GOOD;
    }
    return SANE_STATUS_INVAL;
}

SANE_Status sane_start(SANE_Handle) {
    ++fake_sane_calls[0];
    if (Mode() == "startfails") return SANE_STATUS_IO_ERROR;
    if (g_page >= kPages) return SANE_STATUS_NO_DOCS;
    ++g_page;
    g_line = 0;
    g_scanning = true;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_get_parameters(SANE_Handle, SANE_Parameters* p) {
    ++fake_sane_calls[1];
    if (Mode() == "paramsfail") return SANE_STATUS_IO_ERROR;
    p->format = SANE_FRAME_GRAY;
    p->last_frame = SANE_TRUE;
    p->bytes_per_line = kWidth;
    p->pixels_per_line = kWidth;
    p->lines = kLines;
    p->depth = 8;
    return SANE_STATUS_GOOD;
}

SANE_Status sane_read(SANE_Handle, SANE_Byte* data, SANE_Int max, SANE_Int* len) {
    *len = 0;
    if (!g_scanning) return SANE_STATUS_CANCELLED;
    if (g_line >= kLines) return SANE_STATUS_EOF;
    if (Mode() == "readerror2" && g_page == 2 && g_line >= kLines / 2) return SANE_STATUS_IO_ERROR;
    if (max < kWidth) return SANE_STATUS_INVAL;
    std::memset(data, g_line * 8, kWidth);
    ++g_line;
    *len = kWidth;
    return SANE_STATUS_GOOD;
}

void sane_cancel(SANE_Handle) {
    ++fake_sane_calls[2];
    g_scanning = false;
}

SANE_Status sane_set_io_mode(SANE_Handle, SANE_Bool) { return SANE_STATUS_UNSUPPORTED; }
SANE_Status sane_get_select_fd(SANE_Handle, SANE_Int*) { return SANE_STATUS_UNSUPPORTED; }
SANE_String_Const sane_strstatus(SANE_Status) { return "fake"; }

} // extern "C"
