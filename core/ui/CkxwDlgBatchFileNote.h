// The dialogs that annotate many files at once:
//   CkxwDlgFileAttrNote   "属性注释": attributes with empty value editors and a check box each;
//                         OK gives the values of the checked rows (the uniform note);
//   CkxwDlgBatchFileNote  "文件批量注释": the files as rows of a base-attribute grid and, for a
//                         family, of an extended-attribute grid; a right-click menu writes a
//                         uniform note into the selected rows or chooses their storage folder.
//                         It edits its own copies; the show functions hand them back on OK.
#pragma once

#include "model/CkxAttr.h"
#include "model/CkxAttrValue.h"
#include "model/CkxFileX.h"
#include "model/KxExport.h"
#include "qt/KxDialog.h"

#include <memory>
#include <string>

class CkxwAttrNoteListCtrl;
class CkxwFamilyFileListCtrl;
class QLabel;
namespace kx {
class PopupMenu;
}

class KX_EXPORT CkxwDlgFileAttrNote : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST = 1236, IDC_BTN_ALL = 1237, IDC_BTN_NONE = 1238, IDC_BTN_INVERT = 1181 };

    explicit CkxwDlgFileAttrNote(QWidget* parent = nullptr);
    ~CkxwDlgFileAttrNote() override;

    CkxwAttrNoteListCtrl* List() const { return m_list; }
    void OnBtnSelectAll();
    void OnBtnSelectNo();
    void OnBtnSelectInvert();

    // In: the values whose attributes are listed; after OK: the checked rows' values.
    CkxAttrValueList m_ValueList;

protected:
    void OnInitDialog() override;
    void OnOK() override;
    // Enter ends a cell's edit first; the next Enter runs OK.
    bool EnterEndsCellEditFirst() const override { return true; }

private:
    CkxwAttrNoteListCtrl* m_list = nullptr;
    // The rows' attributes, owned here for as long as the rows exist.
    CkxAttrList m_attrs;
};

class KX_EXPORT CkxwDlgBatchFileNote : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDC_LIST_BASE = 1239,
        IDC_LIST_EX = 1240,
        IDC_LABEL_EX = 4000,
        ID_BASE_NOTE = 1040,
        ID_BASE_FOLDER = 1041,
        ID_EX_NOTE = 1056,
    };

    explicit CkxwDlgBatchFileNote(QWidget* parent = nullptr);
    ~CkxwDlgBatchFileNote() override;

    std::string m_strCaption;
    int m_nFamilyID = -1;
    int m_nExMode = 0;
    int m_nShowValues = 0;
    CkxFileXList m_FileList;

    CkxwFamilyFileListCtrl* BaseGrid() const { return m_base; }
    CkxwFamilyFileListCtrl* ExGrid() const { return m_ex; }
    bool IsInitialised() const { return m_bInit; }

    // The menu commands.
    void OnBaseNote() { UniformNote(m_base); }
    void OnExNote() { UniformNote(m_ex); }
    void OnSelectFolder();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    // Enter ends a cell's edit first; the next Enter runs OK.
    bool EnterEndsCellEditFirst() const override { return true; }

private:
    void UniformNote(CkxwFamilyFileListCtrl* grid);
    void ShowMenu(CkxwFamilyFileListCtrl* grid, kx::PopupMenu* menu, const QPoint& globalPos);
    CkxFileX* FindFile(int id) const;

    CkxwFamilyFileListCtrl* m_base = nullptr;
    CkxwFamilyFileListCtrl* m_ex = nullptr;
    QLabel* m_baseLabel = nullptr;
    QLabel* m_exLabel = nullptr;
    std::unique_ptr<kx::PopupMenu> m_menuBase, m_menuEx;
    bool m_bInit = false;
};

// The uniform note: after OK `values` holds the checked rows' values and 1 is returned.
KX_EXPORT int KX_ShowDlg_FileAttrNote(CkxAttrValueList& values);
// The batch note over copies of the files (base attributes only); after OK the caller's list is
// replaced by the edited copies and 1 returned, else 0 and nothing changes.
KX_EXPORT int KX_ShowDlg_BatchFileNote(const std::string& caption, CkxFileXList& files, int showValues);
// The same for the files of one family, with its extended attributes.
KX_EXPORT int KX_ShowDlg_BatchFamilyFileNote(const std::string& caption, int familyId, CkxFileXList& files,
                                             int showValues);
