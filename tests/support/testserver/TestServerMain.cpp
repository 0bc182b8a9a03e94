// varnia-testserver: the server core of the server tests (srvtest::TestServer: a seeded SQLite
// catalogue and storage root in a temporary folder) as a program of its own, for the client
// tests, whose context object must not be shared with a server core in the same process.
//
//   varnia-testserver [--address A] [--port N] [--console] [--studio]
//                     [--log-day YYYY-MM-DD[:N]]... [--drive L=FOLDER]...
//
//   --address, --port   where it listens: 127.0.0.1 and a free port unless given
//   --console           the role "系统管理" (0x1F06) with an active, a paused and an invalid
//                       account: sysop / sysop-pw, sysop-paused / paused-pw, sysop-off / off-pw
//   --log-day           N log lines (default 1) dated that day, from 09:00 one minute apart
//   --log-mix           log lines at noon of that day D, of D-1 and of D-3, three a day, one
//                       minute apart: (normal, "用户登录", su), (warning, "用户管理", alice),
//                       (severe, "文件管理", su), their texts "<day> 登录|用户|文件"
//   --drive             drive letter L is FOLDER in the host information (kx::SetDriveMap)
//   --studio            a catalogue for the studio tests, made through requests as su (and as
//                       alice for her own templates and bookmarks), files stored directly:
//                       folders top > mid > low (and other) with rights, family fam with fam.a
//                       and fam.b below it, keyword groups people and places with keywords
//                       face, smile and beach, persons wang and li, small images file.a..c
//                       by su in folder top (a: authored 2020-01-10 by wang, b: entered
//                       2021-02-10 and edited by bob, c: edited 2022-03-10, of fam.a) and
//                       file.d, file.e by alice in folder mid, keyword links of file.a (face,
//                       beach) and file.b (beach), a quick key of file.a in folder mid, project
//                       proj linking file.a and file.b, and alice's query template and
//                       bookmark of file.a
//
// Output, one line each, on standard output: "port <n>", then "id <key> <n>" for every seeded
// id (user.<log-on name>, role.operator, role.sysadmin, log.<day> with the count of lines),
// then "ready". A failure prints "error <why>" and ends with status 1. The program ends when its
// standard input closes (or it is killed).
#include "server/support/TestServer.h"
#include "server/support/FileTestKit.h"

#include "base/KxDrives.h"
#include "base/OleDate.h"
#include "db/AdoFieldList.h"
#include "model/CkxFamily.h"
#include "model/CkxUser.h"
#include "model/CkxXXX.h"
#include "table/UserTables.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

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
    bool studio = false;
    std::vector<LogDay> logDays;
    std::vector<COleDateTime> logMixes;
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
        } else if (arg == "--studio") {
            o.studio = true;
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
        } else if (arg == "--log-mix" && hasValue) {
            COleDateTime day;
            if (!day.ParseDateTime(argv[++i])) {
                why = std::string("bad --log-mix ") + argv[i];
                return false;
            }
            o.logMixes.push_back(day);
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

int AddLogLine(CADODatabase& db, const COleDateTime& time, const std::string& event, int userId,
               int level = KXLOG_INFO, int category = 1) {
    CADOFieldList log;
    log.AddInt("T_Lev", level);
    log.AddInt("T_Type", category);
    log.AddInt("T_TypeSub", 0);
    log.AddText("T_Event", event);
    log.AddDate("T_Time", time);
    log.AddInt("T_DoUser", userId);
    return db.Insert("VUZO_Log", log);
}

// What the options add to the catalogue, in its database and the server's memory, before any
// client connects.
bool Seed(srvtest::TestServer& server, const Options& o, int suId, std::string& why) {
    const int aliceId = server.UserId("alice");
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
        for (const COleDateTime& d : o.logMixes) {
            for (int back : {3, 1, 0}) {
                COleDateTime day(d.GetYear(), d.GetMonth(), d.GetDay(), 12, 0, 0);
                day.m_dt -= back;
                const std::string text = std::to_string(day.GetYear()) + "-" + std::to_string(day.GetMonth()) + "-" +
                                         std::to_string(day.GetDay());
                const struct {
                    int level, category, user;
                    const char* what;
                } lines[] = {{KXLOG_INFO, 2, suId, "登录"}, {KXLOG_WARN, 3, aliceId, "用户"}, {KXLOG_ERROR, 20, suId, "文件"}};
                int minute = 0;
                for (const auto& l : lines) {
                    const COleDateTime at(day.GetYear(), day.GetMonth(), day.GetDay(), 12, minute++, 0);
                    if (AddLogLine(db, at, text + " " + l.what, l.user, l.level, l.category) <= 0) {
                        why = "seeding the log: " + db.GetLastError();
                        return false;
                    }
                }
            }
        }
        return true;
    });
}

// ---- The studio's catalogue, made through the server's own request handling ----

using srvtest::TestClient;
using Ids = std::vector<std::pair<std::string, int>>;

std::string Bytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }
template <class Com>
std::string Bytes(const Com& com) { return Bytes(&com, sizeof com); }
std::string Bytes(const CkxBuf& buf) { return std::string(buf.View()); }

// The id of the record the server announced for an add of that type.
template <class T>
int AddedId(TestClient& c, int type, std::string& why) {
    const auto answer = c.Wait(type, kx::kSubAdd, std::chrono::seconds(10));
    typename T::_COM com{};
    if (!answer || !answer->As(com)) {
        why = "no answer to an add of type " + std::to_string(type);
        return -1;
    }
    T rec;
    rec.SetComData(com);
    return rec.GetID();
}

template <class T>
int AddRecord(TestClient& c, int type, const T& rec, std::string& why) {
    if (!c.SendRecord(type, kx::kSubAdd, rec.GetComData())) {
        why = "cannot send an add of type " + std::to_string(type);
        return -1;
    }
    return AddedId<T>(c, type, why);
}

template <class T>
int AddWithBuffer(TestClient& c, int type, const T& rec, const CkxBuf& buf, std::string& why) {
    if (!srvtest::SendPieces(c, type, kx::kSubAdd, {Bytes(rec.GetComData()), Bytes(buf)})) {
        why = "cannot send an add of type " + std::to_string(type);
        return -1;
    }
    return AddedId<T>(c, type, why);
}

int AddFolder(TestClient& c, const std::string& name, int parent, int level, bool inherit, uint32_t everyone,
              int grantee, std::string& why) {
    CkxFSNode n;
    n.m_strName = name;
    n.m_nParentID = parent;
    n.m_nLev = level;
    n.m_Power.m_nInherit = inherit ? 1 : 0;
    n.m_Power.m_nEveryonePower = everyone;
    if (grantee > 0) {
        CkxUserLicence grant;
        grant.m_nItemType = CkxUserLicence::ITEM_FOLDER;
        grant.m_nPower = 0xF03F;
        grant.m_nAlieneeID = grantee;
        grant.m_nAlieneeType = CkxUserLicence::ALIENEE_USER;
        n.m_Power.m_LicenceList.AddTail(grant);
    }
    CkxBuf rights;
    n.BuildPower(rights);
    return AddWithBuffer(c, kx::kMsgFolder, n, rights, why);
}

int AddFamily(TestClient& c, const std::string& name, int parent, int level, std::string& why) {
    CkxFamily f;
    f.m_strName = name;
    f.m_nParentID = parent;
    f.m_nLevel = level;
    f.SetImage();
    f.m_dtCreate = COleDateTime(2020, 5, 1, 0, 0, 0);
    return AddRecord(c, kx::kMsgFamily, f, why);
}

// A small generated picture: a w x h PNG of one colour.
std::string SmallImage(int w, int h, uint32_t seed) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(static_cast<QRgb>(0xFF000000u | (seed * 0x2F4A7Bu))));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool SeedStudio(srvtest::TestServer& server, Ids& ids, std::string& why) {
    auto su = server.LogOnAdmin();
    auto alice = server.LogOn("alice", "alice-pw");
    if (!su || !alice) {
        why = "the seeding workstations cannot log on";
        return false;
    }
    const int aliceId = server.UserId("alice");
    auto keep = [&](const std::string& key, int id) {
        ids.emplace_back(key, id);
        return id > 0;
    };

    // Folders in three levels: everyone may read the top and create files there, the middle
    // inherits, the lowest is alice's alone; "other" is closed to everyone.
    const int top = AddFolder(*su, "作品", -1, 0, false, 0xC03C, 0, why);
    if (!keep("folder.top", top)) return false;
    const int mid = AddFolder(*su, "二级", top, 1, true, 0, 0, why);
    if (!keep("folder.mid", mid)) return false;
    if (!keep("folder.low", AddFolder(*su, "三级", mid, 2, false, 0, aliceId, why))) return false;
    if (!keep("folder.other", AddFolder(*su, "其他", -1, 0, false, 0, 0, why))) return false;

    const int fam = AddFamily(*su, "风景", KXF_ROOT_IMAGE, 1, why);
    if (!keep("family.fam", fam)) return false;
    if (!keep("family.fam.a", AddFamily(*su, "山", fam, 2, why))) return false;
    if (!keep("family.fam.b", AddFamily(*su, "水", fam, 2, why))) return false;

    CkxKeywordGroup people, places;
    people.m_strName = "人物";
    places.m_strName = "地点";
    const int peopleId = AddRecord(*su, kx::kMsgKeywordGroup, people, why);
    const int placesId = AddRecord(*su, kx::kMsgKeywordGroup, places, why);
    if (!keep("group.people", peopleId) || !keep("group.places", placesId)) return false;
    auto keyword = [&](const std::string& name, int group) {
        CkxKeyword k;
        k.m_strName = name;
        k.m_nGroupID = group;
        return AddRecord(*su, kx::kMsgKeyword, k, why);
    };
    const int face = keyword("脸", peopleId), smile = keyword("笑", peopleId), beach = keyword("海滩", placesId);
    if (!keep("keyword.face", face) || !keep("keyword.smile", smile) || !keep("keyword.beach", beach))
        return false;

    for (const auto& [key, name] : {std::pair{"person.wang", "王"}, std::pair{"person.li", "李"}}) {
        CkxPerson p;
        p.m_strName = name;
        if (!keep(key, AddRecord(*su, kx::kMsgPerson, p, why))) return false;
    }

    // Files go straight into the catalogue and the storage root: file.a..c by su in the top
    // folder, file.d and file.e by alice in the middle one. Each of a..c is the only one found
    // by one date column, and a few carry an author, an editor or a family.
    auto seeded = [&](const std::string& key) {
        for (const auto& [k, id] : ids)
            if (k == key) return id;
        return -1;
    };
    const int wang = seeded("person.wang");
    std::vector<int> files;
    for (int i = 0; i < 5; ++i) {
        const char letter = static_cast<char>('a' + i);
        const std::string image = SmallImage(16 + i * 8, 12 + i * 4, static_cast<uint32_t>(i + 1));
        const bool hers = i >= 3;
        CkxFileImage f = srvtest::MakeFile(std::string("图") + letter, "png", hers ? aliceId : server.UserId("su"),
                                           srvtest::kReadOpen, image, image);
        f.m_nLocDirID = hers ? mid : top;
        if (i == 0) {
            f.m_dtAuth = COleDateTime(2020, 1, 10, 0, 0, 0);
            f.m_nAuthorID = wang;
        }
        if (i == 1) {
            f.m_dtWrite = COleDateTime(2021, 2, 10, 0, 0, 0);
            f.m_nEditorID = server.UserId("bob");
        }
        if (i == 2) {
            f.m_dtEdit = COleDateTime(2022, 3, 10, 0, 0, 0);
            f.m_nFamilyID = seeded("family.fam.a");
        }
        const int id = server.Locked([&] { return srvtest::StoreFile(server, f); });
        if (!keep(std::string("file.") + letter, id)) {
            why = "storing a seeded file failed";
            return false;
        }
        files.push_back(id);
    }

    // Keyword links and a quick key of file.a, answered with the file's whole set.
    const std::string links[] = {Bytes(CkxKeywordLink(files[0], face).GetComData()),
                                 Bytes(CkxKeywordLink(files[0], beach).GetComData())};
    const std::string linkB = Bytes(CkxKeywordLink(files[1], beach).GetComData());
    if (!srvtest::SendPieces(*su, kx::kMsgKeywordLink, kx::kSubModify, {links[0], links[1]},
                             static_cast<uint32_t>(files[0])) ||
        !su->Wait(kx::kMsgKeywordLink, kx::kSubModify, std::chrono::seconds(10)) ||
        !srvtest::SendPieces(*su, kx::kMsgKeywordLink, kx::kSubModify, {linkB}, static_cast<uint32_t>(files[1])) ||
        !su->Wait(kx::kMsgKeywordLink, kx::kSubModify, std::chrono::seconds(10))) {
        why = "the keyword links were not stored";
        return false;
    }
    CkxFSQuickKey key;
    key.m_nDirID = mid;
    key.m_nFileID = files[0];
    if (!srvtest::SendPieces(*su, kx::kMsgFileQuickKeys, kx::kSubModify, {Bytes(key.GetComData())},
                             static_cast<uint32_t>(files[0])) ||
        !su->Wait(kx::kMsgFileQuickKeys, kx::kSubModify, std::chrono::seconds(10))) {
        why = "the quick key was not stored";
        return false;
    }

    CkxProject project;
    project.m_strName = "画册";
    project.m_UserList.AddTail(CkxUserX(aliceId, CkxUserX::TYPE_USER));
    CkxBuf members;
    project.BuildUserBuf(members);
    const int proj = AddWithBuffer(*su, kx::kMsgProject, project, members, why);
    if (!keep("project.proj", proj)) return false;
    for (int i = 0; i < 2; ++i) {
        CkxProjectData d;
        d.m_nProjectID = proj;
        d.m_nFileID = files[static_cast<size_t>(i)];
        d.m_strAlias = std::string("页") + char('1' + i);
        if (!keep("projectdata." + std::to_string(i + 1), AddRecord(*su, kx::kMsgProjectLink, d, why)))
            return false;
    }

    // Alice's own query template and bookmark.
    CkxQueryTemplet templet;
    templet.m_strName = "我的查询";
    templet.m_nCreatorID = aliceId;
    templet.m_nDataMode = KXD_IMAGE;
    CkxBuf query;
    templet.BuildQueryBuf(query);
    if (!keep("templet.alice", AddWithBuffer(*alice, kx::kMsgQueryTemplet, templet, query, why))) return false;
    CkxDataTag tag;
    tag.m_strName = "书签一";
    tag.m_nUserID = aliceId;
    tag.m_nFileID = files[0];
    if (!keep("bookmark.alice", AddRecord(*alice, kx::kMsgBookmark, tag, why))) return false;
    return true;
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
    Ids studioIds;
    if (options.studio && !SeedStudio(server, studioIds, why)) {
        if (failures.size() > 0) why += std::string(" (") + failures.GetTestPartResult(0).message() + ")";
        return Fail("seeding the studio catalogue: " + why);
    }
    // The seeding workstations have closed their connections; their ends (and the log-offs
    // the server tells of them) must be over before a test's own sessions log on and listen.
    if (!server.WaitForSessions(0, std::chrono::seconds(60))) return Fail("the seeding sessions did not end");

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
    for (const auto& [key, id] : studioIds) std::cout << "id " << key << " " << id << "\n";
    for (const LogDay& d : options.logDays) std::cout << "id log." << d.text << " " << d.count << "\n";
    std::cout << "ready" << std::endl;

    // Runs until the starter closes our standard input.
    char buffer[256];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    return 0;
}
