// Before an operation on several files: the files the operation may not touch (with why: no right,
// checked out by someone else) and those it may, and a confirmation. For deletion it also offers
// "完全删除文件" (delete completely).
#pragma once

#include "model/CkxFileOpeState.h"
#include "ui/KxShowDlg.h"

#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;

namespace kx {
class ReportList;
}

class KX_EXPORT CDlgWarnOpeFile : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDC_CHK_FORCE = 1281,
        IDC_STATIC_DISABLE = 1282,
        IDC_STATIC_ENABLE = 1283,
        IDC_LIST_DISABLE = 1284,
        IDC_LIST_ENABLE = 1285,
        IDC_GROUP_OPTION = 1286,
    };
    // The operations, by code.
    enum { DO_UPDATE = 0, DO_DELETE = 1, DO_KEYWORD = 2, DO_QUICKKEY = 3, DO_POWER = 4, DO_DOWNLOAD = 5 };

    explicit CDlgWarnOpeFile(QWidget* parent = nullptr);

    void SetDO_UpdateFile() { m_nDoing = DO_UPDATE; }
    void SetDO_DeleteFile() { m_nDoing = DO_DELETE; }
    void SetDO_SetKeyword() { m_nDoing = DO_KEYWORD; }
    void SetDO_SetQuickkey() { m_nDoing = DO_QUICKKEY; }
    void SetDO_SetPower() { m_nDoing = DO_POWER; }
    void SetDO_DownloadToLocal() { m_nDoing = DO_DOWNLOAD; }
    void SetDoing(int code) { m_nDoing = code; }
    int IsDO_UpdateFile() const { return m_nDoing == DO_UPDATE; }
    int IsDO_DeleteFile() const { return m_nDoing == DO_DELETE; }
    int IsDO_SetKeyword() const { return m_nDoing == DO_KEYWORD; }
    int IsDO_SetQuickkey() const { return m_nDoing == DO_QUICKKEY; }
    int IsDO_SetPower() const { return m_nDoing == DO_POWER; }
    int IsDO_DownloadToLocal() const { return m_nDoing == DO_DOWNLOAD; }

    void AddDisableOperateFile(const std::string& name, int hasRight, int checkedOutByOther);
    void AddEnableOperateFile(const std::string& name, const std::string& folder);
    int IsForceOperate() const { return m_bForce; }

    // Copies every entry of the two lists in order.
    void AddLists(const CkxFileOpeStateList& forbidden, const CkxFileOpeStateList& allowed);

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;

private:
    struct Disabled {
        std::string name;
        std::string second;
        int hasRight;
        int checkedOut;
    };
    struct Enabled {
        std::string name;
        std::string folder;
    };

    int m_nDoing = DO_DELETE;
    std::vector<Disabled> m_disabled;
    std::vector<Enabled> m_enabled;
    int m_bForce = 0;
    kx::ReportList* disabledList_;
    kx::ReportList* enabledList_;
    QLabel* disabledCaption_;
    QLabel* enabledCaption_;
    QGroupBox* option_;
};

// One per operation: copy the lists in, run; 1 after OK, else 0. The delete variant stores the
// "完全删除文件" choice in `complete` only after OK.
KX_EXPORT int KX_ShowDlg_WarnOpeFile_UpdateFile(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed);
KX_EXPORT int KX_ShowDlg_WarnOpeFile_DeleteFile(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed,
                                                int& complete);
KX_EXPORT int KX_ShowDlg_WarnOpeFile_SetKeyword(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed);
KX_EXPORT int KX_ShowDlg_WarnOpeFile_SetQuickkey(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed);
KX_EXPORT int KX_ShowDlg_WarnOpeFile_SetPower(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed);
KX_EXPORT int KX_ShowDlg_WarnOpeFile_DownloadToLocal(CkxFileOpeStateList& forbidden,
                                                     CkxFileOpeStateList& allowed);
