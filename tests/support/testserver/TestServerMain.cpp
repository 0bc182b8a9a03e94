// varnia-testserver: the server core of the server tests (srvtest::TestServer: a seeded SQLite
// catalogue and storage root in a temporary folder) as a program of its own, for the client
// tests, whose context object must not be shared with a server core in the same process.
//
//   varnia-testserver [--address A] [--port N] [--console] [--log-day YYYY-MM-DD[:N]]...
//                     [--drive L=FOLDER]...
//
//   --address, --port   where it listens: 127.0.0.1 and a free port unless given
//   --console           the role "系统管理" (0x1F06) with an active, a paused and an invalid
//                       account: sysop / sysop-pw, sysop-paused / paused-pw, sysop-off / off-pw
//   --log-day           N log lines (default 1) dated that day, from 09:00 one minute apart
//   --drive             drive letter L is FOLDER in the host information (kx::SetDriveMap)
//
// Output, one line each, on standard output: "port <n>", then "id <key> <n>" for every seeded
// id (user.<log-on name>, role.operator, role.sysadmin, log.<day> with the count of lines),
// then "ready". A failure prints "error <why>" and ends with status 1. The program ends when its
// standard input closes (or it is killed).
#include "server/support/TestServer.h"

#include "base/KxDrives.h"
#include "base/OleDate.h"
#include "db/AdoFieldList.h"
#include "model/CkxUser.h"
#include "model/CkxXXX.h"
#include "table/UserTables.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct LogDay {
    COleDateTime day;
    std::string text;
    int count = 1;
};

struct Options {
    std::string address = "127.0.0.1";
    int port = 0;
    bool console = false;
    std::vector<LogDay> logDays;
    kx::DriveMap drives;
    bool hasDrives = false;
};

int Fail(const std::string& why) {
    std::cout << "error " << why << std::endl;
    return 1;
}

bool ParseOptions(int argc, char** argv, Options& o, std::string& why) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--console") {
            o.console = true;
        } else if (arg == "--address" && hasValue) {
            o.address = argv[++i];
        } else if (arg == "--port" && hasValue) {
            o.port = std::atoi(argv[++i]);
        } else if (arg == "--log-day" && hasValue) {
            const std::string value = argv[++i];
            LogDay d;
            const size_t colon = value.find(':');
            d.text = value.substr(0, colon);
            if (colon != std::string::npos) d.count = std::atoi(value.c_str() + colon + 1);
            if (!d.day.ParseDateTime(d.text) || d.count < 1) {
                why = "bad --log-day " + value;
                return false;
            }
            o.logDays.push_back(d);
        } else if (arg == "--drive" && hasValue) {
            const std::string value = argv[++i];
            const char letter = value.empty() ? 0 : static_cast<char>(std::toupper(value[0]));
            if (letter < 'A' || letter > 'Z' || value.size() < 3 || value[1] != '=') {
                why = "bad --drive " + value;
                return false;
            }
            o.drives[static_cast<size_t>(letter - 'A')] = value.substr(2);
            o.hasDrives = true;
        } else {
            why = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

// An account or role stored through the server's own table code and put into its memory.
bool AddRole(CADODatabase& db, const std::string& name, int power, int& id) {
    CkxUserRole role;
    role.m_strName = name;
    role.SetTypeOperator();
    role.m_nPower = power;
    if (UserRoleTable::Insert(db, role) <= 0) return false;
    id = role.m_nID;
    return KX_KXXXX().m_UserRoleList.AddTail(role) == 1;
}

bool AddUser(CADODatabase& db, const std::string& logon, const std::string& password, int state, int role) {
    CkxUser user;
    user.m_strLogon = logon;
    user.m_strUser = logon;
    user.m_strPassword = password;
    user.m_nState = static_cast<uint8_t>(state);
    if (!user.SetRoleID(role) || UserTable::Insert(db, user) <= 0) return false;
    return KX_KXXXX().m_UserList.AddUser(user) == 1;
}

int AddLogLine(CADODatabase& db, const COleDateTime& time, const std::string& event, int userId) {
    CADOFieldList log;
    log.AddInt("T_Lev", KXLOG_INFO);
    log.AddInt("T_Type", 1);
    log.AddInt("T_TypeSub", 0);
    log.AddText("T_Event", event);
    log.AddDate("T_Time", time);
    log.AddInt("T_DoUser", userId);
    return db.Insert("VUZO_Log", log);
}

// What the options add to the catalogue, in its database and the server's memory, before any
// client connects.
bool Seed(srvtest::TestServer& server, const Options& o, int suId, std::string& why) {
    return server.Locked([&] {
        CADODatabase& db = server.Db();
        if (o.console) {
            int role = -1;
            if (!AddRole(db, "系统管理", 0x1F06, role) ||
                !AddUser(db, "sysop", "sysop-pw", CkxUser::STATE_ACT, role) ||
                !AddUser(db, "sysop-paused", "paused-pw", CkxUser::STATE_PAUSE, role) ||
                !AddUser(db, "sysop-off", "off-pw", CkxUser::STATE_INV, role)) {
                why = "seeding the console accounts: " + db.GetLastError();
                return false;
            }
        }
        for (const LogDay& d : o.logDays) {
            for (int i = 0; i < d.count; ++i) {
                const COleDateTime at(d.day.GetYear(), d.day.GetMonth(), d.day.GetDay(), 9, i % 60, 0);
                if (AddLogLine(db, at, "seeded " + d.text + " #" + std::to_string(i + 1), suId) <= 0) {
                    why = "seeding the log: " + db.GetLastError();
                    return false;
                }
            }
        }
        return true;
    });
}

int RoleId(srvtest::TestServer& server, const std::string& name) {
    return server.Locked([&] {
        int id = -1;
        KX_KXXXX().m_UserRoleList.ForEach([&](const CkxUserRole& r) {
            if (r.m_strName == name) id = r.m_nID;
        });
        return id;
    });
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string why;
    if (!ParseOptions(argc, argv, options, why)) return Fail(why);
    if (options.hasDrives) kx::SetDriveMap(options.drives);

    // The server core reports its failures as test failures; here they become the error line.
    testing::TestPartResultArray failures;
    testing::ScopedFakeTestPartResultReporter reporter(
        testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &failures);
    srvtest::TestServer server;
    if (!server.Ok()) {
        why = "the test server did not start";
        if (failures.size() > 0) why += std::string(": ") + failures.GetTestPartResult(0).message();
        return Fail(why);
    }
    const int suId = server.UserId("su");
    if (!Seed(server, options, suId, why)) return Fail(why);

    int port = server.Port();
    if (options.port != 0 || options.address != "127.0.0.1") {
        server.Server().CloseAndStop();
        if (!server.Server().Start(options.port, options.address))
            return Fail("cannot listen on " + options.address + ":" + std::to_string(options.port));
        port = server.Server().GetPort();
    }

    std::cout << "port " << port << "\n";
    std::vector<std::string> users = {"su", "alice", "bob", "carol", "dave"};
    if (options.console) users.insert(users.end(), {"sysop", "sysop-paused", "sysop-off"});
    for (const std::string& u : users) std::cout << "id user." << u << " " << server.UserId(u) << "\n";
    std::cout << "id role.operator " << server.OperatorRoleId() << "\n";
    if (options.console) std::cout << "id role.sysadmin " << RoleId(server, "系统管理") << "\n";
    for (const LogDay& d : options.logDays) std::cout << "id log." << d.text << " " << d.count << "\n";
    std::cout << "ready" << std::endl;

    // Runs until the starter closes our standard input.
    char buffer[256];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    return 0;
}
