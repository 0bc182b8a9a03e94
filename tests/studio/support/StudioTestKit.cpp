#include "studio/support/StudioTestKit.h"

#include "model/CkxClient.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxModalDriver.h"
#include "base/Record.h"
#include "transport/NetMessage.h"
#include "transport/NetPacket.h"
#include "transport/NetRead.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QImage>
#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace studiotest {

StudioServer::StudioServer() {
    m_bOk = m_process.Start(VARNIA_TESTSERVER_BIN, {"--studio"}, m_dir.str());
    if (!m_bOk) ADD_FAILURE() << m_process.Error();
}

std::unique_ptr<srvtest::TestClient> StudioServer::LogOn(const std::string& logon, const std::string& password) {
    auto client = std::make_unique<srvtest::TestClient>();
    if (client->Connect(Port(), "127.0.0.1") != 1) {
        ADD_FAILURE() << "cannot connect to port " << Port();
        return nullptr;
    }
    const int result = client->LogOn(logon, password);
    if (result != 0) {
        ADD_FAILURE() << "log-on of " << logon << " gave " << result;
        return nullptr;
    }
    return client;
}

// ---- The session ----

CkxClient StudioClient(const std::string& logon, const std::string& password) {
    CkxClient client;
    client.Set_MS_Studio();
    client.m_strLogon = logon;
    client.m_strPassword = password;
    return client;
}

int TestStudioLink::LogOn(int port, const std::string& logon, const std::string& password,
                          const std::string& address) {
    ObserverWindow dialog;
    SetLoginDialog(&dialog);
    if (!SendLoginRequest(port, address, StudioClient(logon, password))) return -100;
    const bool answered = PumpUntil([&] { return !dialog.commands.empty(); });
    SetLoginDialog(nullptr);
    return answered ? GetLoginResult() : -101;
}

// ---- Observers ----

kx::LRESULT ObserverWindow::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message == kx::WM_COMMAND) {
        commands.push_back(static_cast<int>(wParam));
        return 1;
    }
    if (message != kx::WM_USER) return 0;
    told.push_back({static_cast<int>(wParam), static_cast<int>(lParam)});
    if (m_log) m_log->push_back({m_slot, static_cast<int>(wParam), static_cast<int>(lParam)});
    return 1;
}

SlotWatch::SlotWatch(CStudioLink& link, const std::vector<StudioSlot>& slots) {
    for (StudioSlot slot : slots) {
        auto window = std::make_unique<ObserverWindow>(&log, slot);
        link.Register(slot, window.get());
        m_windows.emplace_back(slot, std::move(window));
    }
}

ObserverWindow& SlotWatch::Window(StudioSlot slot) {
    for (auto& [s, w] : m_windows)
        if (s == slot) return *w;
    throw std::out_of_range("no window in that slot");
}

void SlotWatch::Clear() {
    log.clear();
    for (auto& [s, w] : m_windows) w->Clear();
}

int ObserverWindow::Count(int code) const {
    return static_cast<int>(std::count_if(told.begin(), told.end(), [&](const Told& t) { return t.code == code; }));
}

void ObserverWindow::closeEvent(QCloseEvent* event) {
    ++closes;
    QWidget::closeEvent(event);
}

// ---- Context ----

std::string PngBytes(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string Rights(const CkxFSNode& node) {
    CkxBuf buf;
    node.BuildPower(buf);
    return std::string(buf.View());
}

int FolderNamed(const std::string& name) {
    int id = -1;
    const CkxFSTree& tree = KX_KXXXX()._kxFSTree();
    for (POSITION p = tree.GetHeadPosition(); p;) {
        const CkxFSNode* n = tree.GetNext(p);
        if (n->m_strName == name) id = n->m_nID;
    }
    return id;
}

bool SendPieces(srvtest::TestClient& c, int type, int subOp, const std::vector<std::string>& pieces, uint32_t param) {
    NetMessage m;
    m.SetCommand(type, subOp);
    m.SetParam(param);
    for (const std::string& p : pieces) m.AppendData(p);
    return c.SendMessage(m) == 1;
}

int AddFamilyTextAttr(srvtest::TestClient& c, int family, const std::string& name) {
    CkxAttr a;
    a.m_nFamilyID = family;
    a.m_strName = name;
    a.m_nDataType = KXT_STR;
    a.m_nEditWay = KXE_EDIT;
    CkxBuf consts;
    a.BuildBuf(consts);
    if (!SendPieces(c, kx::kMsgFamilyAttr, kx::kSubAdd, {Bytes(a.GetComData()), std::string(consts.View())})) return -1;
    int id = -1;
    PumpUntil([&] {
        CkxAttrPtrs own;
        KX_FamilyXXX().attr_GetFamilyLocalAttr(family, own);
        for (const CkxAttr* x : own)
            if (x->m_strName == name) id = x->GetID();
        return id > 0;
    });
    return id;
}

bool FolderHolds(srvtest::TestClient& c, int folder, size_t n) {
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < end) {
        if (!c.SendText(kx::kMsgFolderFiles, kx::kSubNone, std::to_string(folder))) return false;
        const auto list = c.WaitSeries(kx::kMsgFolderFiles, kx::kSubNone);
        if (list && list->size() == n) return true;
        PumpFor(20ms);
    }
    return false;
}

void ResetContext() {
    CkxXXX& c = KX_KXXXX();
    c.fsDeleteAll();
    c.m_UserList.DeleteAll();
    c.m_UserGroupList.DeleteAll();
    c.m_UserRoleList.DeleteAll();
    c.m_UserOnline.DeleteAll();
    c.m_FileRoleList.DeleteAll();
    c.m_FolderRoleList.DeleteAll();
    c.m_QuickKeyList.DeleteAll();
    c.m_PersonList.DeleteAll();
    c.m_ProjectList.DeleteAll();
    c.m_ProjectDataList.DeleteAll();
    c.m_DataTagList.DeleteAll();
    c.m_KeywordList.DeleteAll();
    c.m_KeywordGroupList.DeleteAll();
    c.m_KeywordLinkList.DeleteAll();
    c.m_CheckoutList.DeleteAll();
    c.m_Server = CkxServer();
    c.SetCurUser(-1);
    KX_FamilyXXX().family_DeleteAll();
    KX_FamilyXXX().attr_DeleteAll();
    KX_FileShareList().DeleteAll();
    KX_QueryTempletList().DeleteAll();
    KX_KeywordTempletList().DeleteAll();
    KX_FileAttrTempletList().DeleteAll();
}

// ---- The fixture ----

namespace {

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

void Restore(const char* name, const std::string& value) {
    if (value.empty()) ::unsetenv(name);
    else ::setenv(name, value.c_str(), 1);
}

} // namespace

StudioTest::StudioTest() { kx::EnsureApplication(); }

void StudioTest::SetUp() {
    m_oldConfig = Env("XDG_CONFIG_HOME");
    m_oldData = Env("XDG_DATA_HOME");
    m_oldPort = Env("VARNIA_PORT");
    std::filesystem::create_directories(m_home.file("config"));
    std::filesystem::create_directories(m_home.file("data"));
    ::setenv("XDG_CONFIG_HOME", m_home.file("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", m_home.file("data").c_str(), 1);
    ResetContext();
    TheLocalStorage().Init(m_home.file("data") + "/varnia");
    app = std::make_unique<CvClientApp>();
    app->SetDocTemplate({[] { return std::make_unique<CvClientDoc>(); },
                         [](CvClientDoc&) {
                             auto* window = new QWidget;
                             window->resize(320, 200);
                             return window;
                         }});
}

std::set<int> StudioTest::Files(std::initializer_list<const char*> keys) const {
    std::set<int> ids;
    for (const char* k : keys) ids.insert(Id(k));
    return ids;
}

void LoggedOnTest::SetUp() {
    StudioTest::SetUp();
    StartAndLogOn();
    if (HasFatalFailure()) return;
    LoadInitialLists();
}

std::set<int> StudioTest::WaitForFiles(CvClientDoc* doc, size_t n) {
    if (!doc) return {};
    const int id = doc->GetDocID();
    PumpUntil([&] { return app->FindDoc(id) && static_cast<size_t>(doc->GetFileCount()) >= n; }, 10s);
    PumpFor(150ms);
    if (!app->FindDoc(id)) return {};
    const std::vector<int> ids = doc->GetFileIds();
    return {ids.begin(), ids.end()};
}

void StudioTest::StartAndLogOn() {
    server = std::make_unique<StudioServer>();
    ASSERT_TRUE(server->Ok());
    ::setenv("VARNIA_PORT", std::to_string(server->Port()).c_str(), 1);
    link = std::make_unique<TestStudioLink>();
    ASSERT_EQ(link->LogOn(server->Port(), "alice", kAlicePassword), kx::kLogonOk);
    ASSERT_EQ(link->GetCurrentUserId(), server->Id("user.alice"));
}

void StudioTest::LoadInitialLists() {
    // The lists reloaded as a whole each end with a reload; the answers may come in any order.
    const std::vector<StudioSlot> reloaded = {kSlotUsers, kSlotUserRoles, kSlotPersons, kSlotKeywords,
                                              kSlotKeywordLinks, kSlotQuickKeys, kSlotFamilies, kSlotProjectData};
    SlotWatch watch(*link, reloaded);
    ASSERT_TRUE(link->RequestInitialLists());
    ASSERT_TRUE(PumpUntil([&] {
        for (StudioSlot slot : reloaded)
            if (watch.Window(slot).Count(kNoticeReload) == 0) return false;
        return KX_KXXXX().fsFind(server->Id("folder.other")) && KX_KXXXX().m_ProjectList.GetCount() > 0 &&
               KX_KXXXX().m_DataTagList.GetCount() > 0 && KX_QueryTempletList().GetCount() > 0;
    }));
    PumpFor(100ms);
}

void StudioTest::TearDown() {
    link.reset();
    server.reset();
    // Calls the test's session left queued find it gone.
    QCoreApplication::processEvents();
    app.reset();
    QCoreApplication::processEvents();
    ResetContext();
    Restore("XDG_CONFIG_HOME", m_oldConfig);
    Restore("XDG_DATA_HOME", m_oldData);
    Restore("VARNIA_PORT", m_oldPort);
}

} // namespace studiotest
