// CWndCaptureFileCtrl: the capture station, the work bar's page of files waiting in the capture
// folder (scanner images, files the user copied in). A scan thread keeps its list in step with
// the folder; the user opens, deletes and uploads files and clears the folder. An uploaded file
// leaves the list and the disk only when the server says it stored it.
//
// The window owns the file objects its rows show (the scan thread hands each one over and
// never touches it again); a row and its object go together, on the window's thread.
#pragma once

#include "qt/GuiToolkit.h"
#include "qt/KxWindowMessage.h"

#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

class CCaptureFolderScan;
class CkxFileImage;
class CLocalStorage;
class CStudioLink;
class CWndCaptureFileList;
namespace kx {
class PopupMenu;
}

class CWndCaptureFileCtrl : public QWidget, public kx::MessageReceiver {
    Q_OBJECT
public:
    enum {
        ID_HEADER = 0xFFFF,
        BTN_UPLOAD = 21029, BTN_DETAILS = 21034, BTN_MICRO = 21035,
        ID_OPEN_DEF = 33037, ID_OPEN_WAY = 33038, ID_OPEN_EDITOR = 33100, ID_UPLOAD = 33028,
        ID_SELECT_ALL = 33123, ID_DELETE = 33044, ID_CLEAR = 33045, ID_DETAILS = 33043, ID_MICRO = 33040,
    };
    // The pop-ups of menu 224: nothing selected, one row, several rows.
    enum Popup { POPUP_NONE = 0, POPUP_ONE = 1, POPUP_SEVERAL = 2 };
    static constexpr const char* kUploadCaption = "批量上载到服务器";
    static constexpr const char* kDeleteQuestion = "确定删除文件";
    static constexpr const char* kClearQuestion = "确定清空捕获缓存站";
    static constexpr const char* kUnreadable = "以下捕获文件无法读取，没有上载：";
    static constexpr const char* kNoFolderRight = "您没有在所选存储目录下创建文件的权限，以下文件没有上载：";

    // Requests go through the link (null: nothing is sent and no answer is heard).
    explicit CWndCaptureFileCtrl(CStudioLink* link, QWidget* parent = nullptr);
    ~CWndCaptureFileCtrl() override;

    void SetLocalStorage(CLocalStorage* storage) { m_pLocalStorage = storage; }
    // The first showing: upload off, the list in details, the scan thread started.
    void OnInitialUpdate();
    void OnCommand(int id);
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

    // The pop-up for the current selection, its check marks set; the caller owns it.
    kx::PopupMenu* BuildPopup(int popup);
    int PopupForSelection() const;

    CWndCaptureFileList* FileList() const { return m_list; }
    CGuiMiniTool* HeaderBar() const { return m_header; }
    CGuiToolButton* ToolButton(int id) const;
    bool IsScanning() const;
    // The last details line, and the id of the file last shown in the information bar.
    const std::string& LastDetails() const { return m_strLastDetails; }
    int LastShownId() const { return m_nLastShown; }
    // The object a row shows (null for an id without one).
    CkxFileImage* FindFile(int localId) const;
    // "捕获文件"name"    [format]  [family]  [WxH]  目录＝folder".
    static std::string DetailsLine(const CkxFileImage& file);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // What the scan thread says, on this window's thread.
    void OnFileAppeared(std::shared_ptr<CkxFileImage> file);
    void OnFileVanished(int localId);
    void OnFolderEmpty();
    // The server stored the file of that local id.
    void OnUploaded(int localId);

    void Layout();
    void UpdateUploadButton();
    void ShowDetails(int row);
    void OnSelectionChanged();
    void OnItemClicked(int row);
    void OnItemRightClicked(const QPoint& at);
    void OpenSelected(int how);
    void Upload();
    void DeleteSelected();
    void ClearFolder();
    void RemoveRow(int localId);
    void SetMode(int mode);

    CStudioLink* m_link;
    CLocalStorage* m_pLocalStorage = nullptr;
    std::unique_ptr<CCaptureFolderScan> m_scan;
    // The capture file set: local id to the object its row shows.
    std::map<int, std::shared_ptr<CkxFileImage>> m_files;
    CGuiMiniTool* m_header;
    CWndCaptureFileList* m_list;
    std::vector<CGuiToolButton*> m_buttons;
    bool m_bInitialised = false;
    std::string m_strLastDetails;
    int m_nLastShown = 0;
};
