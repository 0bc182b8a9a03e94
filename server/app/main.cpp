// VarniaServer: the catalogue server. Without a display it runs on the offscreen platform,
// writes what it would have asked to the terminal and stops on SIGINT or SIGTERM.
#include "startup/CMainFrame.h"
#include "startup/CServerHost.h"
#include "startup/CSingleInstance.h"
#include "startup/CVarniaServer.h"
#include "log/ServerLog.h"
#include "qt/KxPrompt.h"
#include "base/KxProc.h"

#include <QApplication>
#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kProgram = "VarniaServer";
constexpr const char* kMsgSingle = "只能运行单实例";

int g_signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

bool HasDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

bool IsHeadlessPlatform() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

} // namespace

int main(int argc, char** argv) {
    kx::SetAppName(kProgram);
    if (!HasDisplay() && !std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kProgram));
    const bool headless = IsHeadlessPlatform();
    if (headless) kx::UseTerminalPrompts(stderr);

    const std::string dataFolder = kx::DataFolder();
    CSingleInstance instance(kProgram, dataFolder);
    if (!instance.IsFirst()) {
        kx::Prompt(nullptr, kMsgSingle, kx::PromptOk, kx::PromptWarning);
        return 1;
    }

    // SIGINT and SIGTERM end the event loop like closing the window, without the question.
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        struct sigaction sa;
        std::memset(&sa, 0, sizeof sa);
        sa.sa_handler = OnStopSignal;
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGTERM, &sa, nullptr);
    }
    CMainFrame frame;
    CVarniaServer server(dataFolder);
    CTerminalHost terminal(stderr, server.GetConfig().GetIniPath());
    server.SetHost(headless ? static_cast<CServerHost*>(&terminal) : &frame);
    frame.SetServer(&server);
    // Without a display the window would show nowhere: the terminal is the server's face.
    if (!headless) frame.show();

    QSocketNotifier stopNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopNotifier, &QSocketNotifier::activated, &app, [&frame] {
        char buf[16];
        while (::read(g_signalPipe[0], buf, sizeof buf) > 0) {
        }
        frame.CloseWindow();
        QCoreApplication::exit(0);
    });

    if (!server.Start()) return 1;
    frame.ShowRunning();
    kx::WriteTimedLine(stderr, "VarniaServer: running on port " + std::to_string(server.GetListenPort()) +
                                   " (data folder " + dataFolder + ")");

    const int rc = QApplication::exec();
    // Listener, sessions and server thread stop before the catalogue closes.
    server.Shutdown();
    kx::WriteTimedLine(stderr, "VarniaServer: stopped");
    return rc;
}
