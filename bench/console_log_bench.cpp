// The log pane with a large answer: the test server seeded with 100,000 log lines of one day;
// prints the seconds from the pane's query to its last row shown, the seconds a plain
// workstation takes to receive the same answer, and their ratio (target: at most 2).
//
//   console_log_bench [lines]      (run by hand; needs a build with tests and benchmarks)
#include "link/ConsoleLink.h"
#include "pane/CWndLog.h"
#include "server/support/TestClient.h"
#include "support/TempDir.h"
#include "support/TestServerProcess.h"

#include "model/CkxClient.h"
#include "model/CkxLog.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"

#include <QApplication>
#include <QEventLoop>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

CkxLog DayFilter() {
    CkxLog filter;
    filter.SetQueryTime(COleDateTime(2021, 3, 4, 0, 0, 0), COleDateTime(2021, 3, 4, 0, 0, 0));
    return filter;
}

} // namespace

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    TempDir dir;
    TestServerProcess server;
    std::printf("seeding %d log lines...\n", lines);
    if (!server.Start(VARNIA_TESTSERVER_BIN, {"--console", "--log-day", "2021-03-04:" + std::to_string(lines)}, dir.str(),
                      std::chrono::minutes(30))) {
        std::fprintf(stderr, "the test server did not start: %s\n", server.Error().c_str());
        return 1;
    }

    int rc = 0;
    {
        ConsoleLink link;
        CkxClient client;
        client.Set_MS_Manager();
        client.m_strLogon = "sysop";
        client.m_strPassword = "sysop-pw";
        bool answered = false;
        QWidget dialog;
        link.ObserveLogon(&dialog, [&] { answered = true; });
        if (!link.SendLogonRequest(server.Port(), "127.0.0.1", client) ||
            !PumpUntil([&] { return answered; }, std::chrono::seconds(10)) || link.GetLogonResult() != 0) {
            std::fprintf(stderr, "the console could not log on\n");
            return 1;
        }
        link.SendUserListRequest();
        PumpUntil([] { return KX_KXXXX().m_UserList.GetCount() > 0; }, std::chrono::seconds(10));

        CWndLog pane(link);
        pane.resize(900, 600);
        pane.show();
        const auto paneStart = Clock::now();
        link.SendLogQueryRequest(DayFilter());
        if (!PumpUntil([&] { return pane.GetItemCount() >= lines; }, std::chrono::minutes(10))) {
            std::fprintf(stderr, "the pane showed %d of %d rows\n", pane.GetItemCount(), lines);
            rc = 1;
        }
        const double paneSeconds = Seconds(paneStart);

        srvtest::TestClient plain;
        if (plain.Connect(server.Port(), "127.0.0.1") != 1 || plain.LogOn("su", "su-secret", CkxClient::MS_MANAGER) != 0) {
            std::fprintf(stderr, "the plain workstation could not log on\n");
            return 1;
        }
        const CkxLog::_COM filter = DayFilter().GetComData();
        const auto plainStart = Clock::now();
        plain.SendRecord(kx::kMsgLogQuery, kx::kSubNone, filter);
        const auto series = plain.WaitSeries(kx::kMsgLogQuery, kx::kSubNone, std::chrono::minutes(10));
        const double plainSeconds = Seconds(plainStart);
        if (!series || static_cast<int>(series->size()) < lines) {
            std::fprintf(stderr, "the plain workstation received %zu lines\n", series ? series->size() : 0);
            rc = 1;
        }
        std::printf("pane, query to last row shown: %.3f s\n", paneSeconds);
        std::printf("plain workstation, same answer: %.3f s\n", plainSeconds);
        std::printf("ratio: %.2f (target at most 2)\n", plainSeconds > 0 ? paneSeconds / plainSeconds : 0.0);
        link.StopAndClose();
    }
    server.Stop();
    return rc;
}
