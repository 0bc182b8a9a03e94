// The query template dialogs:
//   CDlgQueryTempletEdit    "查询模板编辑": name, note and data kind of a template, with the
//                           condition panel over its lower half;
//   CDlgQueryTempletBase    "查询模板编辑": name and note only, for saving a query under a name;
//   CDlgQueryTempletSelect  "选择查询模板": picks one of the program's saved templates.
#pragma once

#include "model/CkxQueryTemplet.h"
#include "ui/KxShowDlg.h"

class CDlgQueryCondition;
class QGroupBox;
namespace kx {
class ComboBox;
class ReportList;
} // namespace kx

class KX_EXPORT CDlgQueryTempletEdit : public kx::EntityDlg<CkxQueryTemplet> {
    Q_OBJECT
public:
    enum { IDC_COB_KIND = 1143, IDC_GROUP_EDIT = 1147 };

    explicit CDlgQueryTempletEdit(QWidget* parent = nullptr);
    ~CDlgQueryTempletEdit() override;

    void SetMode_Image(int = 0) { m_nDataMode = 3; }
    void SetMode_Text(int = 0) { m_nDataMode = 2; }
    void SetMode_Video(int = 0) { m_nDataMode = 4; }
    void SetMode_Audio(int = 0) { m_nDataMode = 5; }
    void SetMode_Binary(int = 0) { m_nDataMode = 1; }
    void EnableEdit(int editable) { m_nEditable = editable; }
    void EnableFamily(int familyChoice = 1) { m_nFamilyChoice = familyChoice; }
    void DisableFamily() { m_nFamilyChoice = 0; }
    // The panel sits inside group box 1147 (a child laid out there, so it follows every move).
    void MoveEditDlg();
    CDlgQueryCondition* Panel() const { return m_panel; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    int m_nEditable = 1;
    int m_nFamilyChoice = 0;
    int m_nDataMode = 3;
    bool m_bInit = false;
    QGroupBox* m_editGroup = nullptr;
    kx::ComboBox* m_kind = nullptr;
    CDlgQueryCondition* m_panel = nullptr;
};

class KX_EXPORT CDlgQueryTempletBase : public kx::EntityDlg<CkxQueryTemplet> {
    Q_OBJECT
public:
    explicit CDlgQueryTempletBase(QWidget* parent = nullptr);

protected:
    void OnOK() override;
};

class KX_EXPORT CDlgQueryTempletSelect : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST = 1146 };

    explicit CDlgQueryTempletSelect(QWidget* parent = nullptr);

    void AddTail(const CkxQueryTemplet* templet);
    // The selected row's template looked up by id in the program's list (null without a row);
    // its id is kept as the choice. The pointer is for use at once, never to keep.
    const CkxQueryTemplet* GetCurSel();
    int GetTempletID() const { return m_nTempletID; }
    kx::ReportList* List() const { return m_list; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    int m_nTempletID = -1;
    kx::ReportList* m_list = nullptr;
};

// Runs the edit dialog over a copy of the template (new flag, editable, family choice); after OK
// the whole template is copied back and 1 returned, else 0.
KX_EXPORT int KX_ShowDlg_QueryTempletEdit(int newFlag, int editable, int familyChoice, CkxQueryTemplet& templet);
// After OK the template is replaced by a default one carrying the name and note typed; 1.
KX_EXPORT int KX_ShowDlg_QueryTempletBase(int unused, CkxQueryTemplet& templet);
// After OK with a chosen template stores its id and returns 1; else 0 and the id is untouched.
KX_EXPORT int KX_ShowDlg_QueryTempletSelect(int& templetId);
