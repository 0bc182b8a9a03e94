// The studio's main frame: closing with and without a session, the lost connection, the status
// panes, full screen, the bars' saved state and the capture hook.
#include "studio/support/StudioTestKit.h"

#include "frame/CMainFrame.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxPromptRecorder.h"
#include "support/gui/Screenshot.h"

#include <QImage>
#include <QLabel>
#include <QStatusBar>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

using namespace studiotest;
using namespace kx;

namespace {

class MainFrame : public StudioTest {
protected:
    std::unique_ptr<CMainFrame> MakeFrame(CStudioLink& session) {
        auto frame = std::make_unique<CMainFrame>(session);
        EXPECT_EQ(frame->OnCreate(), 0);
        frame->resize(1000, 700);
        frame->show();
        return frame;
    }
};

TEST_F(MainFrame, ClosingAsksOnlyWithASessionAndLogsOffOnce) {
    PromptRecorder prompts;
    {
        // Not connected: closes at once, nothing asked.
        TestStudioLink idle;
        auto frame = MakeFrame(idle);
        EXPECT_TRUE(frame->close());
        EXPECT_EQ(prompts.Count(), 0u);
    }
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    auto frame = MakeFrame(*link);
    guitest::Screenshot(frame.get(), "studio_mainframe");
    prompts.Answer(AnswerCancel);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(prompts.LastText(), CMainFrame::kCloseQuestion);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(su->Quiet(kMsgSession, kSubLogoff, 300ms));

    prompts.Clear();
    EXPECT_TRUE(frame->close()); // answered OK
    const auto logoff = su->Wait(kMsgSession, kSubLogoff);
    ASSERT_TRUE(logoff);
    EXPECT_EQ(logoff->AsInt(), server->Id("user.alice"));
    EXPECT_TRUE(su->Quiet(kMsgSession, kSubLogoff, 300ms));
    PumpFor(300ms);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CMainFrame::kCloseQuestion}); // no lost-connection box
}

TEST_F(MainFrame, ALostConnectionClosesTheFrame) {
    PromptRecorder prompts;
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    auto frame = MakeFrame(*link);
    EXPECT_EQ(link->GetRegistrant(kSlotMainWindow), frame.get());
    server->Process().Kill();
    ASSERT_TRUE(PumpUntil([&] { return !frame->isVisible(); }));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{CServerLink::kLostText});
}

TEST_F(MainFrame, StatusPanesAndFileLines) {
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    ASSERT_NO_FATAL_FAILURE(LoadInitialLists());
    auto frame = MakeFrame(*link);
    EXPECT_EQ(frame->PaneText(0), "就绪");
    EXPECT_EQ(frame->PaneText(1), "服务器: ");
    EXPECT_EQ(frame->PaneText(2), "登录者: ");
    frame->SetServerText("");
    frame->SetUserText("");
    EXPECT_EQ(frame->PaneText(1), "-");
    EXPECT_EQ(frame->PaneText(2), "-");
    EXPECT_EQ(frame->windowTitle(), "Varnia Studio");

    auto file = [&](int id, int writer, uint32_t everyone, bool deleted) {
        CkxFileImage f;
        f.m_nID = id;
        f.m_strTitle = "图";
        f.m_strExName = "png";
        f.m_nWidth = 16;
        f.m_nHeight = 12;
        f.m_nWriterID = writer;
        f.m_nLocDirID = Id("folder.top");
        f.m_strSourcePath = "/home/pic/图.png";
        f.m_Power.m_nInherit = 0;
        f.m_Power.m_nEveryonePower = everyone;
        f.m_nDeleted = deleted ? 1 : 0;
        return f;
    };
    auto fields = [](const CkxFile& f) {
        return "    [图.png]  [" + f.FormatEncFormat() + "]  [" + f.FormatFamily() + "]  [16x12]";
    };
    const CkxFileImage local = file(-5, -1, 0, false), hidden = file(40, Id("user.su"), 0, false),
                       binned = file(41, Id("user.su"), 0xC000, true), normal = file(42, Id("user.su"), 0xC000, false);
    const struct {
        const CkxFile* f;
        std::string line;
    } rows[] = {
        {&local, "本地文件\"图.png\"" + fields(local) + "  目录＝" + local.FormatSourceDir()},
        {&hidden, "查询文件\"图.png\""},
        {&binned, "回收站文件\"图.png\"" + fields(binned)},
        {&normal, "查询文件\"图.png\"" + fields(normal) + "  目录＝" + normal.FormatLocDir()},
    };
    for (const auto& row : rows) {
        frame->ShowFileStatus(row.f);
        EXPECT_EQ(frame->PaneText(0).toStdString(), row.line);
    }
    EXPECT_NE(normal.FormatLocDir(), "");
    frame->ShowFileStatus(nullptr);
    EXPECT_EQ(frame->PaneText(0).toStdString(), rows[3].line);
}

// A frame whose floating tool bar cannot be made.
class NoBarFrame : public CMainFrame {
public:
    using CMainFrame::CMainFrame;

protected:
    QToolBar* MakeFullScreenToolBar() override { return nullptr; }
};

TEST_F(MainFrame, FullScreenTwiceRestoresTheWindow) {
    TestStudioLink idle;
    auto frame = MakeFrame(idle);
    PumpFor(50ms);
    const QRect before = frame->geometry();
    EXPECT_EQ(frame->ToggleFullScreen(), 1);
    PumpFor(100ms);
    EXPECT_TRUE(frame->IsFullScreen());
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_FALSE(frame->ToolBar()->isVisible());
    EXPECT_FALSE(frame->statusBar()->isVisible());
    ASSERT_NE(frame->FullScreenToolBar(), nullptr);
    EXPECT_EQ(frame->FullScreenToolBar()->pos(), QPoint(100, 100));
    EXPECT_NE(frame->FindCommand(CMainFrame::ID_FULLSCREEN_RESTORE), nullptr);
    guitest::Screenshot(frame.get(), "studio_mainframe_fullscreen");
    EXPECT_EQ(frame->ToggleFullScreen(), 1);
    PumpFor(100ms);
    EXPECT_FALSE(frame->IsFullScreen());
    EXPECT_EQ(frame->FullScreenToolBar(), nullptr);
    EXPECT_TRUE(frame->ToolBar()->isVisible());
    EXPECT_TRUE(frame->statusBar()->isVisible());
    EXPECT_EQ(frame->geometry(), before);

    // Without its floating bar full screen is not entered, and nothing was hidden.
    NoBarFrame broken(idle);
    ASSERT_EQ(broken.OnCreate(), 0);
    broken.show();
    EXPECT_EQ(broken.ToggleFullScreen(), 0);
    EXPECT_FALSE(broken.IsFullScreen());
    EXPECT_TRUE(broken.ToolBar()->isVisible());
    EXPECT_TRUE(broken.statusBar()->isVisible());
}

TEST_F(MainFrame, BarsComeBackAsTheyWereLeft) {
    TestStudioLink idle;
    {
        auto frame = MakeFrame(idle);
        EXPECT_TRUE(frame->IsWorkBarVisible());
        EXPECT_EQ(frame->WorkBar()->objectName(), "2455");
        EXPECT_EQ(frame->NavigationBar()->windowTitle(), "导航窗口");
        frame->ShowWorkBar(false);
        EXPECT_FALSE(frame->IsWorkBarVisible());
        EXPECT_TRUE(frame->close());
    }
    auto again = MakeFrame(idle);
    EXPECT_FALSE(again->IsWorkBarVisible());
    EXPECT_TRUE(again->IsNavigationBarVisible());
    EXPECT_TRUE(again->IsFileInfoBarVisible());
}

TEST_F(MainFrame, AcquiredImagesBecomeTheNextCaptureFiles) {
    TestStudioLink idle;
    PromptRecorder prompts;
    auto frame = MakeFrame(idle);
    const std::string dir = TheLocalStorage().GetCaptureDir();
    auto picture = [](int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    };
    frame->BeginTransfer();
    EXPECT_EQ(frame->StoreAcquiredImage(picture(40, 30)), dir + "/cap0.jpg");
    EXPECT_EQ(frame->StoreAcquiredImage(QImage()), ""); // cannot be converted: skipped
    // A file already there keeps its name: the next image takes the one after it.
    std::ofstream(dir + "/cap2.jpg") << "someone else's";
    EXPECT_EQ(frame->StoreAcquiredImage(picture(20, 10)), dir + "/cap1.jpg");
    EXPECT_EQ(frame->StoreAcquiredImage(picture(20, 10)), dir + "/cap3.jpg");
    QImage read;
    ASSERT_TRUE(read.load(QString::fromStdString(dir + "/cap0.jpg"), "JPEG"));
    EXPECT_EQ(read.size(), QSize(40, 30));
    EXPECT_TRUE(read.load(QString::fromStdString(dir + "/cap1.jpg"), "JPEG"));
    EXPECT_EQ(read.size(), QSize(20, 10));
    // Nothing half-written stays in the scratch folder.
    for (const auto& e : std::filesystem::directory_iterator(TheLocalStorage().GetTempDir()))
        EXPECT_EQ(e.path().filename().string().rfind("capture-", 0), std::string::npos);
    EXPECT_EQ(prompts.Count(), 0u);

    // Two threads asking for names at once get different ones.
    std::vector<std::string> a, b;
    std::thread t1([&] {
        for (int i = 0; i < 100; ++i) a.push_back(TheLocalStorage().NextCaptureFileName());
    });
    std::thread t2([&] {
        for (int i = 0; i < 100; ++i) b.push_back(TheLocalStorage().NextCaptureFileName());
    });
    t1.join();
    t2.join();
    std::set<std::string> all(a.begin(), a.end());
    all.insert(b.begin(), b.end());
    EXPECT_EQ(all.size(), 200u);

    // A capture folder that is gone (a file stands in its place): the image is reported once
    // for the transfer.
    std::filesystem::remove_all(dir);
    std::ofstream(dir) << "not a folder";
    frame->BeginTransfer();
    EXPECT_EQ(frame->StoreAcquiredImage(picture(8, 8)), "");
    EXPECT_EQ(frame->StoreAcquiredImage(picture(8, 8)), "");
    EXPECT_EQ(prompts.Count(), 1u);
    ASSERT_EQ(prompts.Count(), 1u);
    EXPECT_EQ(prompts.Requests().front().icon, PromptError);
    std::filesystem::remove(dir);
}

} // namespace
