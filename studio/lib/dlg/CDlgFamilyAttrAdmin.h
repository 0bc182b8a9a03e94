// The family attribute dialog: one family's name and note, the attribute definitions its files
// carry (the base ones of its data kind, those inherited from its ancestors, its own) and the
// constants of the selected one. In the editing mode a family administrator adds, modifies and
// deletes the family's own attributes through the server; the own list follows the server's
// answers for this family while the dialog lives.
#pragma once

#include "qt/KxDialog.h"

#include "model/CkxFamily.h"

#include <string>

class CkxAttr;
class CStudioLink;
class QListWidget;
class QPushButton;
namespace kx {
class Edit;
class ReportList;
} // namespace kx

class CDlgFamilyAttrAdmin : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_LIST_CONST = 1067,
        IDC_LIST_INHERIT = 1070,
        IDC_LIST_OWN = 1071,
        IDC_BTN_ADD = 1072,
        IDC_BTN_MODIFY = 1073,
        IDC_BTN_DELETE = 1074,
        IDC_LIST_BASE = 1080,
        IDC_EDT_NAME = 1030,
        IDC_EDT_NOTE = 1020,
    };
    // The information-only view; any other mode edits attributes.
    static constexpr int kModeInfo = 4;
    static constexpr int kModeEdit = 1;

    explicit CDlgFamilyAttrAdmin(CStudioLink& link, QWidget* parent = nullptr);
    ~CDlgFamilyAttrAdmin() override;

    static std::string DeleteQuestion(const std::string& name);

    // Before DoModal.
    int m_nViewMode = kModeEdit;
    // 0: the family's name and note are shown at start.
    int m_nKeepTexts = 1;
    CkxFamily m_Family;

    kx::ReportList* BaseList() const { return m_base; }
    kx::ReportList* InheritList() const { return m_inherit; }
    kx::ReportList* OwnList() const { return m_own; }
    QListWidget* ConstList() const { return m_consts; }

    void OnAdd();
    void OnModify();
    void OnDelete();

    // The server's family attribute changes (WM_USER with the change code and the attribute id).
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

protected:
    void OnInitDialog() override;

private:
    static void AppendRow(kx::ReportList* list, const CkxAttr& attr, bool withFamily);
    static void SetRowTexts(kx::ReportList* list, int row, const CkxAttr& attr, bool withFamily);
    // The constants of the first selected attribute of the list.
    void ShowConsts(const kx::ReportList* list);
    // The registry's definition of the own list's first selected row, or null.
    const CkxAttr* SelectedOwn() const;
    bool MayEdit() const;

    CStudioLink& m_link;
    std::string m_strName;
    std::string m_strNote;

    kx::ReportList* m_base = nullptr;
    kx::ReportList* m_inherit = nullptr;
    kx::ReportList* m_own = nullptr;
    QListWidget* m_consts = nullptr;
    kx::Edit* m_name = nullptr;
    kx::Edit* m_note = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_modify = nullptr;
    QPushButton* m_delete = nullptr;
};
