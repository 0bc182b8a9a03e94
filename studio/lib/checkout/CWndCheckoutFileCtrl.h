// CWndCheckoutFileCtrl: the work bar's page of the files the current user has checked out. When
// the server confirms a check-out it writes the local copy from the requesting document's
// content and opens it as the user asked; a watch thread notices edits and vanished copies; the
// user opens copies again and checks files in, an edited copy going to the server with its new
// content. A copy holding edits is never deleted unless its content reached the server.
#pragma once

#include "checkout/CCheckoutWatch.h"

#include "base/OleDate.h"
#include "qt/GuiToolkit.h"
#include "qt/KxWindowMessage.h"

#include <QWidget>

#include <map>
#include <memory>
#include <string>

class CkxCheckout;
class CkxFile;
class CLocalStorage;
class CStudioLink;
class CWndCheckoutFileList;
namespace kx {
class PopupMenu;
}

class CWndCheckoutFileCtrl : public QWidget, public kx::MessageReceiver {
    Q_OBJECT
public:
    enum ControlId { IDC_LIST = 2024, IDC_CHECKIN = 1281, IDC_DETAILS = 1283, IDC_MICRO = 1284, IDC_HEADER = 0xFFFF };
    enum Command {
        ID_OPEN_DEF = 33037, ID_OPEN_WAY = 33038, ID_OPEN_EDITOR = 33100, ID_SELECT_ALL = 33123,
        ID_CHECKIN = 33035, ID_DETAILS = 33043, ID_MICRO = 33040,
    };
    // The three popups of menu 225, chosen by the selection.
    enum Popup { POPUP_NONE, POPUP_ONE, POPUP_SEVERAL };
    static constexpr int kHeaderHeight = 25;
    static constexpr int kButtonWidth = 25;
    static constexpr int kButtonHeight = 18;
    // The watch period's setting (milliseconds, under the checkout key).
    static constexpr const char* kWatchPeriodValue = "WatchPeriod";
    static constexpr int kDefaultWatchPeriodMs = 1000;
    // Passes before a new record is first looked at.
    static constexpr int kStartCountdown = 10;

    static constexpr const char* kAskCheckin = "文件<%s>已经修改!\n确定签入文件并保存修改的文件到服务器吗?";
    static constexpr const char* kCopyUnreadable = "文件<%s>的签出映像无法读取,无法保存修改";
    static constexpr const char* kCopyKeptAtEnd = "文件<%s>的签出已经结束,修改过的映像保留在%s";
    static constexpr const char* kOldCopyKept = "文件<%s>原有修改过的映像保留为%s";
    static constexpr const char* kDetails = "签出映像\"%s\"    [%s]  [%s]  [%sx%s]  目录＝%s";

    explicit CWndCheckoutFileCtrl(CStudioLink& link, QWidget* parent = nullptr);
    ~CWndCheckoutFileCtrl() override;

    void SetLocalStorage(CLocalStorage* storage) { m_pStorage = storage; }
    // Check-in disabled, menu built, details mode, the watch thread started (once; the first
    // showing does it when nobody called it before).
    void OnInitialUpdate();

    // A row for a checked-out file whose copy is already on disk (the list takes the object).
    void AddFile(CkxFile* file);
    // A row for a copy just written at `moment` (the list takes the object).
    void AddFileWithMoment(CkxFile* file, const COleDateTime& moment);
    void RemoveFile(int fileId);

    void OnCommand(int id);
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

    // The popup for the current selection with its check marks (not run; the caller owns it).
    std::unique_ptr<kx::PopupMenu> MakePopup() const;
    // The details line of a checked-out file.
    static std::string DetailsText(const CkxFile& file);

    CWndCheckoutFileList* List() const { return m_list; }
    CGuiMiniTool* Header() const { return m_header; }
    CGuiToolButton* Button(int id) const;
    CCheckoutWatch& Watch() { return m_watch; }
    // How often a row's file and thumbnail were reloaded from an edited copy.
    int ReloadCount() const { return m_nReloads; }
    // The last details line shown.
    const std::string& LastDetails() const { return m_strDetails; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Layout();
    void UpdateButtons();
    void OnReload();
    void OnCheckedOut(int fileId);
    void OnCheckoutEnded(int fileId);
    void OnCopyModified(int fileId);
    void OnCopyExists(int fileId, bool exists);
    void OnCopySeen(int fileId);
    void TakeSnapshot();
    void CheckIn();
    // Sends the check-in of one row; false when nothing was sent.
    bool CheckInRow(int row);
    void OpenSelected(int command);
    void ShowDetails(int row);
    void OnItemClicked(int row);
    void OnItemRightClicked(const QPoint& at);
    std::string StorageName(int fileId) const;
    std::string DisplayName(int fileId) const;
    void Warn(const std::string& text);
    // Runs fn on the current user's record of the file in the checkout list, under its lock.
    template <class F>
    bool WithOwnRecord(int fileId, F&& fn);

    CStudioLink& m_link;
    CLocalStorage* m_pStorage = nullptr;
    CGuiMiniTool* m_header = nullptr;
    CWndCheckoutFileList* m_list = nullptr;
    CGuiToolButton* m_buttons[3] = {};
    CCheckoutWatch m_watch;
    bool m_bInitialised = false;
    int m_nLastSelected = -1;
    int m_nReloads = 0;
    std::string m_strDetails;
    // Check-ins this window sent: the file id and the copy's last write when it went.
    std::map<int, COleDateTime> m_sent;
};
