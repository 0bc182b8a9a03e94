#include "console/support/KeeperTestKit.h"

#include "base/KxProc.h"
#include "base/KxRegistry.h"
#include "model/CkxBuf.h"
#include "model/CkxFileRole.h"
#include "model/CkxUserGroup.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxModalDriver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace keepertest {

kx::IpAddressCtrl* AddressOf(CDlgLogin* dlg) {
    return dlg->GetDlgItemAs<kx::IpAddressCtrl>(CDlgLogin::IDC_IPADDRESS);
}
QComboBox* NameOf(CDlgLogin* dlg) { return dlg->GetDlgItemAs<QComboBox>(CDlgLogin::IDC_COMBO_USER); }
QLineEdit* PasswordOf(CDlgLogin* dlg) { return dlg->GetDlgItemAs<QLineEdit>(CDlgLogin::IDC_EDIT_PASSWORD); }
QWidget* OkOf(CDlgLogin* dlg) { return dlg->GetDlgItem(kx::IDOK); }

bool FocusIn(CDlgLogin* dlg, int id) {
    QWidget* control = dlg->GetDlgItem(id);
    QWidget* focus = dlg->focusWidget();
    return control && focus && (focus == control || control->isAncestorOf(focus));
}

void Fill(CDlgLogin* dlg, const std::string& address, const std::string& name, const std::string& password) {
    kx::IpAddressCtrl* ip = AddressOf(dlg);
    if (address.empty()) {
        ip->ClearAddress();
    } else {
        std::array<int, 4> n{};
        std::istringstream in(address);
        char dot = 0;
        in >> n[0] >> dot >> n[1] >> dot >> n[2] >> dot >> n[3];
        ip->SetAddress(n);
    }
    NameOf(dlg)->setEditText(QString::fromStdString(name));
    PasswordOf(dlg)->setText(QString::fromStdString(password));
}

bool PressOk(CDlgLogin* dlg, const kx::PromptRecorder& prompts) {
    const size_t before = prompts.Count();
    QPointer<CDlgLogin> alive(dlg);
    kx::ClickId(dlg, kx::IDOK);
    return PumpUntil([&] { return alive.isNull() || !alive->isVisible() || prompts.Count() > before; });
}

std::vector<int> OnlineIds(srvtest::TestClient& client) {
    std::vector<int> ids;
    if (!client.Send(kx::kMsgSession, kx::kSubOnlineUsers)) return ids;
    const auto series = client.WaitSeries(kx::kMsgSession, kx::kSubOnlineUsers);
    if (!series) return ids;
    for (const auto& a : *series) ids.push_back(a.AsInt());
    return ids;
}

std::vector<int> Sorted(std::vector<int> ids) {
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool SeedAdministration(srvtest::TestClient& admin) {
    CkxUserGroup group;
    group.m_strName = "editors";
    const CkxUserGroup::_COM com = group.GetComData();
    CkxBuf members;
    group.BuildQueryBuf(members);
    NetMessage message;
    message.SetCommand(kx::kMsgUserGroup, kx::kSubAdd);
    message.SetQueueClass(3);
    message.AppendData(&com, sizeof com);
    message.AppendData(members.GetBuf(), static_cast<size_t>(members.GetLen()));
    if (!admin.SendMessage(message) || !admin.Wait(kx::kMsgUserGroup, kx::kSubAdd)) return false;
    CkxFileRole fileRole;
    fileRole.m_strName = "readers";
    if (!admin.SendRecord(kx::kMsgFileRole, kx::kSubAdd, fileRole.GetComData()) ||
        !admin.Wait(kx::kMsgFileRole, kx::kSubAdd))
        return false;
    CkxFolderRole folderRole;
    folderRole.m_strName = "browsers";
    return admin.SendRecord(kx::kMsgFolderRole, kx::kSubAdd, folderRole.GetComData()) &&
           admin.Wait(kx::kMsgFolderRole, kx::kSubAdd).has_value();
}

namespace {
constexpr const char* kKey = "Software\\Keeper";
kx::RegistryStore Store() { return kx::RegistryStore(); }
} // namespace

KeeperSettings::KeeperSettings() = default;

std::optional<std::string> KeeperSettings::Text(const std::string& value) const {
    std::string text;
    if (!Store().ReadString(kKey, value, text)) return std::nullopt;
    return text;
}

std::optional<uint32_t> KeeperSettings::Dword(const std::string& value) const {
    uint32_t n = 0;
    if (!Store().ReadDword(kKey, value, n)) return std::nullopt;
    return n;
}

void KeeperSettings::Put(const std::string& value, const std::string& text) {
    EXPECT_TRUE(Store().WriteString(kKey, value, text));
}

void KeeperSettings::Put(const std::string& value, uint32_t number) {
    EXPECT_TRUE(Store().WriteDword(kKey, value, number));
}

std::map<int, std::string> KeeperSettings::RecentNames() const {
    std::map<int, std::string> names;
    for (int i = 0; i < 5; ++i)
        if (auto text = Text("Logor" + std::to_string(i))) names[i] = *text;
    return names;
}

bool KeeperSettings::Has(const std::string& value) const {
    std::string bytes;
    return Store().ReadBinary(kKey, value, bytes);
}

KeeperTest::KeeperTest() : xdg("XDG_CONFIG_HOME", config.str()) {
    // The store's file is named after the program; the start-up names it so too.
    kx::SetAppName(CKeeperApp::kAppName);
}

KeeperTest::~KeeperTest() {
    // The application object (and its windows) go before the session.
    m_app.reset();
}

CKeeperApp& KeeperTest::app() {
    if (!m_app) m_app = std::make_unique<CKeeperApp>(link);
    return *m_app;
}

void KeeperTest::UseServer(const ConsoleServer& server) {
    port.reset();
    port.emplace("VARNIA_PORT", std::to_string(server.Port()));
}

ConsoleServer& KeeperTest::Serve(const std::vector<std::string>& extraOptions) {
    if (!server_) {
        server_.emplace("127.0.0.1", 0, extraOptions);
        UseServer(*server_);
    }
    return *server_;
}

bool KeeperTest::StartLoggedOn(CKeeperApp& app, const std::string& name, const std::string& password,
                               const std::string& address) {
    kx::ModalDriver driver(20000);
    driver.Then<CDlgLogin>([&](CDlgLogin* dlg) {
        Fill(dlg, address, name, password);
        if (!PressOk(dlg, prompts)) ADD_FAILURE() << "no answer to the log-on of " << name;
        // Whatever came, the start-up must end.
        if (dlg->isVisible()) kx::ClickId(dlg, kx::IDCANCEL);
    });
    const bool started = app.InitInstance();
    EXPECT_TRUE(driver.Done());
    return started;
}

bool KeeperTest::WaitForLists() {
    const CkxXXX& c = KX_KXXXX();
    return PumpUntil([&] {
        return c.m_UserList.GetCount() > 0 && c.m_UserRoleList.GetCount() > 0 &&
               !c.m_UserOnline.GetList().empty() && !c.m_Server.m_strName.empty();
    });
}

bool KeeperTest::StartAsSuWithLists() {
    return Serve().Ok() && StartLoggedOn(app(), "su", kSuPassword) && WaitForLists();
}

int RowNamed(const kx::ReportList& list, const std::string& text) {
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (list.GetItemText(row, 0).toStdString() == text) return row;
    return -1;
}

std::vector<std::string> CheckedNames(const kx::ReportList& list) {
    std::vector<std::string> names;
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (list.GetCheck(row)) names.push_back(list.GetItemText(row, 0).toStdString());
    return names;
}

} // namespace keepertest
