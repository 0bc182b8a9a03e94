// The Keeper program's test vocabulary: its settings in a temporary folder, the session's port
// pointed at a test server, the application object started with its login dialog driven by the
// modal driver, and the dialog's fields filled and its OK pressed as a person does.
#pragma once

#include "console/support/ConsoleTestKit.h"

#include "app/CKeeperApp.h"
#include "dlg/CDlgLogin.h"
#include "model/CkxProfile.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"
#include "qt/KxReportList.h"
#include "support/ScopedEnv.h"

#include <QComboBox>
#include <QLineEdit>

#include <functional>
#include <map>
#include <memory>
#include <vector>
#include <optional>
#include <string>


namespace keepertest {

// The dialog's controls.
kx::IpAddressCtrl* AddressOf(CDlgLogin* dlg);
QComboBox* NameOf(CDlgLogin* dlg);
QLineEdit* PasswordOf(CDlgLogin* dlg);
QWidget* OkOf(CDlgLogin* dlg);
// True when the dialog's focus lies in (or on) the control with that id.
bool FocusIn(CDlgLogin* dlg, int id);

// Fills the three fields ("a.b.c.d"; an empty address leaves all four numbers blank).
void Fill(CDlgLogin* dlg, const std::string& address, const std::string& name, const std::string& password);

// Presses OK and runs the GUI thread until the dialog closed or a further prompt was shown.
// False when neither happened in time.
bool PressOk(CDlgLogin* dlg, const kx::PromptRecorder& prompts);

// Settings of Keeper in the temporary folder, read and written as the program does.
class KeeperSettings {
public:
    KeeperSettings();
    std::optional<std::string> Text(const std::string& value) const;
    std::optional<uint32_t> Dword(const std::string& value) const;
    void Put(const std::string& value, const std::string& text);
    void Put(const std::string& value, uint32_t number);
    // The stored "Logor0".."Logor4" (missing ones left out).
    std::map<int, std::string> RecentNames() const;
    // Whether any value of that name was written, whatever its type.
    bool Has(const std::string& value) const;
};

// The row of a report list whose first column reads the text, or -1; the first-column texts of
// its checked rows.
int RowNamed(const kx::ReportList& list, const std::string& text);
std::vector<std::string> CheckedNames(const kx::ReportList& list);

// Runs a pane's command whose dialog the step drives; false when the dialog never came.
template <class Dlg, class Pane>
bool DriveCommand(Pane& pane, int command, std::function<void(Dlg*)> step) {
    kx::ModalDriver driver(20000);
    driver.Then<Dlg>(std::move(step));
    pane.OnCommand(command);
    return driver.Done();
}

// The ids of the online list a workstation gets from the server, and a sorted copy.
std::vector<int> OnlineIds(srvtest::TestClient& client);
std::vector<int> Sorted(std::vector<int> ids);

// Through a logged-on administrator's workstation: a user group, a file role and a folder role,
// so that every list the console asks for has an entry (an empty list is answered by nothing).
bool SeedAdministration(srvtest::TestClient& admin);

// Each test runs with its own settings folder and a prompt recorder (every box answered OK).
class KeeperTest : public ConsoleTest {
protected:
    KeeperTest();
    ~KeeperTest() override;

    // The session's port becomes the server's.
    void UseServer(const ConsoleServer& server);
    // The test's server on 127.0.0.1 (made on first use, with the further options given then),
    // the session's port pointed at it.
    ConsoleServer& Serve(const std::vector<std::string>& extraOptions = {});
    // Starts the program: the login dialog is filled, OK pressed and the answer awaited. True
    // when the start-up ended logged on.
    bool StartLoggedOn(CKeeperApp& app, const std::string& name, const std::string& password,
                       const std::string& address = "127.0.0.1");
    // Runs the GUI thread until the user, role and online lists and the server record are in.
    bool WaitForLists();
    // The usual start: the test's server, the program logged on as su, its lists in. True when
    // all of it went well.
    bool StartAsSuWithLists();
    // The test's application object on the fixture's session (made on first use).
    CKeeperApp& app();

    TempDir config;
    ScopedEnv xdg;
    std::optional<ConsoleServer> server_;
    std::optional<ScopedEnv> port;
    kx::PromptRecorder prompts;
    KeeperSettings settings;
    ConsoleLink link;
    std::unique_ptr<CKeeperApp> m_app;
};

} // namespace keepertest
