// Scanner acquisition through the main frame's two commands: SANE's own "test" backend (enabled
// by a dll.conf of its own in a temporary SANE_CONFIG_DIR) over its modes, depths, three-pass
// and hand-scanner pages, flatbed and feeder counts, and the choice of the source; a fake scanner
// library for what that backend cannot do (no devices, pages that never start, a read error);
// and a capture window beside a running acquisition never listing a half-written image.
#include "studio/support/StudioTestKit.h"

#include "capture/CWndCaptureFileCtrl.h"
#include "capture/CWndCaptureFileList.h"
#include "frame/CDlgSelectSource.h"
#include "frame/CMainFrame.h"
#include "model/CkxFileImage.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/gui/Screenshot.h"

#include <QCoreApplication>
#include <QImage>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <cstring>
#include <mutex>
#include <set>

using namespace studiotest;
using namespace kx;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSaneTestBackend = "/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1";

// The frame with a record of what each page was described as.
class TestFrame : public CMainFrame {
public:
    using CMainFrame::CMainFrame;
    void OnImageAcquired(const QImage& image, const ImageInfo& info) override {
        {
            std::lock_guard lock(mutex);
            infos.push_back(info);
            sizes.push_back(image.size());
        }
        CMainFrame::OnImageAcquired(image, info);
    }
    std::mutex mutex;
    std::vector<ImageInfo> infos;
    std::vector<QSize> sizes;
};

class Scanner : public StudioTest {
protected:
    void SetUp() override {
        StudioTest::SetUp();
        m_oldConfig = Env("SANE_CONFIG_DIR");
        m_oldLibrary = Env(CTwainAcquire::kLibraryVariable);
        m_oldFake = Env("VARNIA_FAKE_SANE");
        ::setenv("SANE_CONFIG_DIR", m_sane.str().c_str(), 1);
        ::unsetenv(CTwainAcquire::kLibraryVariable);
        ::unsetenv("VARNIA_FAKE_SANE");
        std::ofstream(m_sane.file("dll.conf")) << "test\n";
        WriteTestConf({});
    }
    void TearDown() override {
        frame.reset();
        Restore("SANE_CONFIG_DIR", m_oldConfig);
        Restore(CTwainAcquire::kLibraryVariable, m_oldLibrary);
        Restore("VARNIA_FAKE_SANE", m_oldFake);
        StudioTest::TearDown();
    }
    static std::string Env(const char* name) {
        const char* v = std::getenv(name);
        return v ? v : "";
    }
    static void Restore(const char* name, const std::string& value) {
        if (value.empty()) ::unsetenv(name);
        else ::setenv(name, value.c_str(), 1);
    }
    // Kept loaded for the rest of the program, so what it leaves behind still carries its name
    // when the scanner library unloads it.
    static bool HaveTestBackend() {
        static void* const backend = ::dlopen(kSaneTestBackend, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        return backend != nullptr;
    }
    // The test backend's settings, read when the library starts: every one the tests change is
    // written (the backend stays loaded and keeps what a file leaves out), the lines after them.
    void WriteTestConf(const std::vector<std::string>& lines) {
        std::ofstream conf(m_sane.file("test.conf"));
        conf << "number_of_devices 2\nresolution 25\nbr_x 60.0\nbr_y 40.0\nmode Gray\ndepth 8\n"
                "hand-scanner false\nthree-pass false\nthree-pass-order RGB\ntest-picture \"Solid black\"\n"
                "scan-source \"Flatbed\"\n";
        for (const std::string& l : lines) conf << l << "\n";
    }
    // A frame with the library started afresh on the current settings.
    TestFrame& Frame() {
        if (!frame) {
            frame = std::make_unique<TestFrame>(idle);
            EXPECT_EQ(frame->OnCreate(), 0);
            frame->resize(1000, 700);
        } else {
            frame->ReleaseTwain();
            frame->OpenSourceManager(frame.get());
        }
        return *frame;
    }
    // Runs the capture command and waits for its worker.
    void Capture(TestFrame& f, int count = -1) {
        if (count == -1) {
            f.OnCommand(CMainFrame::ID_TWAIN_ACQUIRE);
        } else {
            f.BeginTransfer();
            ASSERT_EQ(f.Acquire(count), 1);
        }
        ASSERT_TRUE(f.WaitForIdle(std::chrono::seconds(60)));
        QCoreApplication::processEvents();
    }
    static std::vector<std::string> CaptureFiles() {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(TheLocalStorage().GetCaptureDir())) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    static void ClearCaptures() { TheLocalStorage().ClearCaptureDir(); }
    void UseFake(const char* mode) {
        ::setenv(CTwainAcquire::kLibraryVariable, VARNIA_FAKE_SANE_LIB, 1);
        ::setenv("VARNIA_FAKE_SANE", mode, 1);
    }
    // The fake library's call counters: start, get_parameters, cancel.
    static int* FakeCalls() {
        void* h = ::dlopen(VARNIA_FAKE_SANE_LIB, RTLD_NOW | RTLD_NOLOAD);
        if (!h) return nullptr;
        auto* calls = static_cast<int*>(::dlsym(h, "fake_sane_calls"));
        ::dlclose(h);
        return calls;
    }

    TestStudioLink idle;
    std::unique_ptr<TestFrame> frame;

private:
    TempDir m_sane;
    std::string m_oldConfig, m_oldLibrary, m_oldFake;
};

#define REQUIRE_TEST_BACKEND()                                                                         \
    if (!HaveTestBackend()) GTEST_SKIP() << "SANE's test backend " << kSaneTestBackend << " cannot be loaded"

TEST_F(Scanner, AFlatbedGivesOnePageAndAFeederGivesPagesUntilItIsEmptyOrTheCountIsReached) {
    REQUIRE_TEST_BACKEND();
    struct Row {
        const char* name;
        const char* source;
        int count;
        size_t pages; // 0: whatever the feeder holds, until it says it has no documents
    };
    // The test backend's feeder holds ten sheets. It stays loaded for the program and keeps
    // state of earlier scans that its settings do not reset, so this test comes first.
    const Row rows[] = {
        {"feeder, as many as there are", "Automatic Document Feeder", -1, 0},
        {"feeder, three", "Automatic Document Feeder", 3, 3},
        {"flatbed, as many as there are", "Flatbed", -1, 1},
        {"flatbed, three", "Flatbed", 3, 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        WriteTestConf({"mode Gray", "depth 8", std::string("scan-source \"") + r.source + "\""});
        ClearCaptures();
        const int first = TheLocalStorage().ReadCaptureCount();
        TestFrame& f = Frame();
        Capture(f, r.count);
        const std::vector<std::string> files = CaptureFiles();
        if (r.pages) {
            ASSERT_EQ(files.size(), r.pages);
        } else {
            ASSERT_GE(files.size(), 1u);
            EXPECT_EQ(f.GetLastStatus(), 7); // SANE_STATUS_NO_DOCS: the feeder ran empty
        }
        // Consecutive capture numbers, one per page.
        std::set<std::string> expected;
        for (size_t i = 0; i < files.size(); ++i) expected.insert("cap" + std::to_string(first + static_cast<int>(i)) + ".jpg");
        EXPECT_EQ(std::set<std::string>(files.begin(), files.end()), expected);
        EXPECT_EQ(f.GetAcquiredCount(), static_cast<int>(files.size()));
        EXPECT_FALSE(f.IsSourceEnabled());
    }
}

TEST_F(Scanner, EachModeAndDepthGivesOneDecodableJpegOfTheScansSize) {
    REQUIRE_TEST_BACKEND();
    PromptRecorder prompts;
    struct Row {
        const char* name;
        std::vector<std::string> conf;
    };
    const Row rows[] = {
        {"gray 1", {"mode Gray", "depth 1"}},
        {"gray 8", {"mode Gray", "depth 8"}},
        {"gray 16", {"mode Gray", "depth 16"}},
        {"color 1", {"mode Color", "depth 1"}},
        {"color 8", {"mode Color", "depth 8"}},
        {"color 16", {"mode Color", "depth 16"}},
        {"three-pass 8", {"mode Color", "depth 8", "three-pass true"}},
        {"three-pass 16", {"mode Color", "depth 16", "three-pass true", "three-pass-order BGR"}},
        {"hand-scanner gray", {"mode Gray", "depth 8", "hand-scanner true"}},
        {"hand-scanner color three-pass", {"mode Color", "depth 8", "hand-scanner true", "three-pass true"}},
    };
    for (const Row& r : rows) {
        for (const char* picture : {"Solid black", "Color pattern"}) {
            SCOPED_TRACE(std::string(r.name) + ", " + picture);
            std::vector<std::string> conf = r.conf;
            conf.push_back(std::string("test-picture \"") + picture + "\"");
            WriteTestConf(conf);
            ClearCaptures();
            TestFrame& f = Frame();
            ASSERT_EQ(f.GetState(), CTwainAcquire::STATE_MANAGER_OPEN);
            f.infos.clear();
            f.sizes.clear();
            Capture(f);
            ASSERT_EQ(f.GetState(), CTwainAcquire::STATE_SOURCE_OPEN);
            ASSERT_EQ(f.infos.size(), 1u);
            const std::vector<std::string> files = CaptureFiles();
            ASSERT_EQ(files.size(), 1u);
            QImage jpeg;
            ASSERT_TRUE(jpeg.load(QString::fromStdString(TheLocalStorage().CapturePath(files[0])), "JPEG"));
            const CTwainAcquire::ImageInfo& info = f.infos[0];
            EXPECT_EQ(jpeg.width(), info.width);
            if (info.height >= 0) EXPECT_EQ(jpeg.height(), info.height);
            EXPECT_EQ(jpeg.size(), f.sizes[0]);
            EXPECT_GT(jpeg.height(), 0);
            if (std::string(picture) == "Solid black") {
                int brightest = 0;
                for (int y = 0; y < jpeg.height(); ++y)
                    for (int x = 0; x < jpeg.width(); ++x) {
                        const QRgb c = jpeg.pixel(x, y);
                        brightest = std::max({brightest, qRed(c), qGreen(c), qBlue(c)});
                    }
                EXPECT_LT(brightest, 24);
            }
        }
    }
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(Scanner, TheSourceIsChosenInADialogWithTheFirstDeviceAsDefault) {
    REQUIRE_TEST_BACKEND();
    PromptRecorder prompts;
    TestFrame& f = Frame();
    EXPECT_EQ(f.GetAppIdentity().manufacturer, "Ferrow");
    ASSERT_EQ(f.GetSources().size(), 2u);
    ModalDriver driver;
    driver.Then<CDlgSelectSource>([](CDlgSelectSource* d) {
        EXPECT_EQ(d->windowTitle(), "选择扫描仪");
        ReportList* list = d->List();
        EXPECT_EQ(list->GetItemCount(), 2);
        EXPECT_EQ(list->GetSelectedRow(), 0);
        guitest::Screenshot(d, "studio_select_source");
        list->SetItemSelected(0, false);
        list->SetItemSelected(1, true);
        EXPECT_TRUE(ClickId(d, IDOK));
    });
    f.OnCommand(CMainFrame::ID_TWAIN_SELECT);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(f.GetSelectedSource().name, "test:1");
    // Cancelling keeps the choice, which the dialog offers as its default.
    driver.Then<CDlgSelectSource>([](CDlgSelectSource* d) {
        EXPECT_EQ(d->List()->GetSelectedRow(), 1);
        EXPECT_TRUE(ClickId(d, IDCANCEL));
    });
    EXPECT_EQ(f.SelectSource(), 1);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(f.GetSelectedSource().name, "test:1");
    // The capture opens that source.
    Capture(f);
    EXPECT_EQ(f.GetState(), CTwainAcquire::STATE_SOURCE_OPEN);
    EXPECT_EQ(CaptureFiles().size(), 1u);
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(Scanner, WithoutDevicesOrLibraryBothCommandsSaySoAndNothingElse) {
    PromptRecorder prompts;
    UseFake("nodevices");
    TestFrame& f = Frame();
    ASSERT_EQ(f.GetState(), CTwainAcquire::STATE_MANAGER_OPEN);
    for (int command : {CMainFrame::ID_TWAIN_SELECT, CMainFrame::ID_TWAIN_ACQUIRE}) {
        SCOPED_TRACE(command);
        prompts.Clear();
        f.OnCommand(command);
        ASSERT_EQ(prompts.Count(), 1u);
        EXPECT_EQ(prompts.LastText(), CMainFrame::kNoScanner);
        EXPECT_EQ(prompts.Requests().front().icon, PromptWarning);
        EXPECT_EQ(f.GetState(), CTwainAcquire::STATE_MANAGER_OPEN);
    }

    ::setenv(CTwainAcquire::kLibraryVariable, "/nonexistent/libsane.so.1", 1);
    TestFrame& none = Frame();
    EXPECT_EQ(none.GetState(), CTwainAcquire::STATE_PRESESSION);
    for (int command : {CMainFrame::ID_TWAIN_SELECT, CMainFrame::ID_TWAIN_ACQUIRE}) {
        SCOPED_TRACE(command);
        prompts.Clear();
        none.OnCommand(command);
        ASSERT_EQ(prompts.Count(), 1u);
        EXPECT_EQ(prompts.LastText(), CMainFrame::kNoScanner);
        EXPECT_EQ(none.GetState(), CTwainAcquire::STATE_PRESESSION);
    }
    EXPECT_TRUE(CaptureFiles().empty());
}

TEST_F(Scanner, ASourceThatNeverStartsOrDescribesAPageEndsTheAcquisition) {
    PromptRecorder prompts;
    for (const char* mode : {"startfails", "paramsfail"}) {
        SCOPED_TRACE(mode);
        UseFake(mode);
        TestFrame& f = Frame();
        int* calls = FakeCalls();
        ASSERT_NE(calls, nullptr);
        const int starts = calls[0];
        Capture(f);
        EXPECT_FALSE(f.IsSourceEnabled());
        EXPECT_EQ(f.GetState(), CTwainAcquire::STATE_SOURCE_OPEN);
        EXPECT_EQ(calls[0] - starts, CTwainAcquire::kMaxFailures);
        EXPECT_EQ(f.GetAcquiredCount(), 0);
        EXPECT_TRUE(CaptureFiles().empty());
    }
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(Scanner, AReadErrorKeepsTheFinishedPagesAndCancelsTheRestWithoutANumberUsed) {
    PromptRecorder prompts;
    UseFake("readerror2");
    TestFrame& f = Frame();
    const int first = TheLocalStorage().ReadCaptureCount();
    Capture(f, 3);
    EXPECT_EQ(CaptureFiles(), std::vector<std::string>{"cap" + std::to_string(first) + ".jpg"});
    EXPECT_EQ(TheLocalStorage().ReadCaptureCount(), first + 1);
    for (const auto& e : fs::directory_iterator(TheLocalStorage().GetTempDir()))
        EXPECT_EQ(e.path().filename().string().rfind("capture-", 0), std::string::npos);
    EXPECT_FALSE(f.IsSourceEnabled());
    // The same source reads a full batch next time.
    ::setenv("VARNIA_FAKE_SANE", "", 1);
    ClearCaptures();
    Capture(Frame(), 3);
    EXPECT_EQ(CaptureFiles().size(), 3u);
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(Scanner, ACaptureWindowBesideAnAcquisitionNeverListsAHalfWrittenImage) {
    REQUIRE_TEST_BACKEND();
    WriteTestConf({"mode Color", "depth 8", "test-picture \"Color pattern\"", "scan-source \"Automatic Document Feeder\""});
    ClearCaptures();
    TestFrame& f = Frame();
    CWndCaptureFileCtrl window(nullptr);
    window.SetLocalStorage(&TheLocalStorage());
    window.resize(600, 300);
    window.show();
    ASSERT_TRUE(window.IsScanning());
    Capture(f, 5);
    ASSERT_EQ(CaptureFiles().size(), 5u);
    ASSERT_TRUE(PumpUntil([&] { return window.FileList()->GetItemCount() == 5; }));
    for (int row = 0; row < 5; ++row) {
        const CkxFileImage* shown = window.FindFile(window.FileList()->GetItemFileID(row));
        ASSERT_NE(shown, nullptr);
        CkxFileImage final;
        ASSERT_TRUE(TheLocalStorage().LoadCaptureFileInfo(shown->GetFileName(), &final));
        EXPECT_EQ(shown->GetFileSize(), final.GetFileSize());
        ASSERT_EQ(shown->GetMemMicroSize(), final.GetMemMicroSize());
        EXPECT_EQ(std::memcmp(shown->GetMemMicroBuf(), final.GetMemMicroBuf(), static_cast<size_t>(final.GetMemMicroSize())), 0);
    }
}

} // namespace
