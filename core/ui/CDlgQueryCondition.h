// CDlgQueryCondition: the condition panel of the query template dialogs: the basic conditions of
// a template's fixed-form block (family, file name pattern, format, author, writer, editor, three
// time ranges, folder) and its attribute conditions in the condition grid. It shows a template
// (SetQueryTemplet) and builds one from its controls (GetQueryTemplet). Without the family choice
// (the compact layout) the family row and the grid are hidden and the template shown keeps its
// family, scope and attribute conditions.
#pragma once

#include "model/CkxAttr.h"
#include "model/CkxQueryTemplet.h"
#include "model/KxExport.h"
#include "qt/KxDialog.h"
#include "qt/KxTreeCtrl.h"

class CkxAttrListCtrl;
class CxTreeCtrl;
class QCheckBox;
class QDateTimeEdit;
class QGroupBox;
class QRadioButton;
namespace kx {
class ComboBox;
class Edit;
} // namespace kx

class KX_EXPORT CDlgQueryCondition : public kx::Dialog {
    Q_OBJECT
public:
    enum {
        IDC_CHK_ALLFAMILY = 1217, IDC_EDT_FAMILY = 1103, IDC_BTN_FAMILY = 1104,
        IDC_RAD_FAM_BOTH = 1218, IDC_RAD_FAM_SELF = 1219, IDC_RAD_FAM_DERIVED = 1220,
        IDC_EDT_TITLE = 1030, IDC_BTN_TITLE = 1178,
        IDC_COB_FORMAT = 1040, IDC_COB_AUTHOR = 1011, IDC_COB_WRITER = 1108, IDC_COB_EDITOR = 1109,
        IDC_CHK_AUTHTIME = 1244, IDC_CHK_WRITETIME = 1245, IDC_CHK_EDITTIME = 1246,
        IDC_DT_AUTH_FROM = 1106, IDC_DT_AUTH_TO = 1102, IDC_DT_WRITE_FROM = 1113, IDC_DT_WRITE_TO = 1114,
        IDC_DT_EDIT_FROM = 1115, IDC_DT_EDIT_TO = 1116,
        IDC_CHK_ALLDIR = 1221, IDC_RAD_DIR_BOTH = 1222, IDC_RAD_DIR_SELF = 1223, IDC_RAD_DIR_BELOW = 1224,
        IDC_TREE_DIR = 1225, IDC_GRID = 1119,
    };

    explicit CDlgQueryCondition(QWidget* parent = nullptr);
    ~CDlgQueryCondition() override;

    void SetQueryTemplet(const CkxQueryTemplet* templet);
    CkxQueryTemplet* GetQueryTemplet();
    void EnableEdit(int editable);
    void EnableFamily(int familyChoice) { m_nFamilyChoice = familyChoice; }
    // The folder condition: this folder only (its controls enabled), or every folder (1221 set,
    // the folder controls disabled). Shown at once when the panel is up.
    void SetFolder(int folderId);
    void SetAnyFolder();
    int IsEditable() const { return m_nEditable; }
    bool IsInitialised() const { return m_bInit; }

    // "..." of the family: runs the family selection.
    void OnBtnFamily();
    // "..." of the file name: runs the match dialog.
    void OnBtnTitle();
    // Chooses a family as the family selection does (negative: all families).
    void ChooseFamily(int familyId);
    void AllFamilies();

    CkxAttrListCtrl* Grid() const { return m_grid; }
    CxTreeCtrl* Tree() const { return m_tree; }

protected:
    void OnInitDialog() override;

private:
    void ShowTemplet();
    void ShowFolder();
    void UpdateStates();
    void OnAllFamilyClicked();
    void OnAllDirClicked();
    static void Exclusive(QRadioButton* chosen, std::initializer_list<QRadioButton*> group);

    CkxQueryTemplet m_Templet;
    int m_nEditable = 1;
    int m_nFamilyChoice = 0;
    bool m_bInit = false;
    bool m_bShown = false;     // a template was handed to the panel
    CkxAttrList m_attrs;       // the grid rows' attributes, owned here

    QGroupBox* m_familyRow = nullptr;
    QGroupBox* m_exGroup = nullptr;
    QCheckBox* m_allFamily = nullptr;
    kx::Edit* m_familyName = nullptr;
    QWidget* m_familyButton = nullptr;
    QRadioButton *m_famBoth = nullptr, *m_famSelf = nullptr, *m_famDerived = nullptr;
    kx::Edit* m_title = nullptr;
    QWidget* m_titleButton = nullptr;
    kx::ComboBox *m_format = nullptr, *m_author = nullptr, *m_writer = nullptr, *m_editor = nullptr;
    QCheckBox* m_timeChecks[3] = {};
    QDateTimeEdit* m_timeFrom[3] = {};
    QDateTimeEdit* m_timeTo[3] = {};
    QCheckBox* m_allDir = nullptr;
    QRadioButton *m_dirBoth = nullptr, *m_dirSelf = nullptr, *m_dirBelow = nullptr;
    CxTreeCtrl* m_tree = nullptr;
    HTREEITEM m_hRoot = nullptr;
    CkxAttrListCtrl* m_grid = nullptr;
};
