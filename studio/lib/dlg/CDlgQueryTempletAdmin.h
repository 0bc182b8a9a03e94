// The query template administration dialog: the user's stored templates, the selected one shown
// read-only in the condition panel, templates added, changed and deleted through the server, and
// a query run from the selected template. The list follows the server's answers.
#pragma once

#include "qt/KxDialog.h"

class CkxQueryTemplet;
class CDlgQueryCondition;
class CStudioLink;
class QGroupBox;
class QPushButton;
namespace kx {
class PopupMenu;
class ReportList;
}

class CDlgQueryTempletAdmin : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId {
        IDC_LIST = 1138, IDC_FRAME = 1147,
        IDC_ADD = 1149, IDC_MODIFY = 1150, IDC_DELETE = 1151, IDC_QUERY = 1152,
    };
    enum Command { ID_REFILL = 1046, ID_QUERY = 33073, ID_ADD = 32844, ID_MODIFY = 32843, ID_DELETE = 32845 };

    explicit CDlgQueryTempletAdmin(CStudioLink& link, QWidget* parent = nullptr);
    ~CDlgQueryTempletAdmin() override;

    void SetPanelMode(int mode) { m_nPanelMode = mode; }

    // The template of the one selected row, or null (none, several, or no longer cached).
    const CkxQueryTemplet* SelectedTemplet() const;
    // The context menu for the selection, not run.
    kx::PopupMenu* BuildMenu();
    void OnCommand(int id);
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

    kx::ReportList* List() const { return m_list; }
    CDlgQueryCondition* Panel() const { return m_panel; }

protected:
    void OnInitDialog() override;

private:
    void FillList();
    void OnSelectionChanged();

    CStudioLink& m_link;
    kx::ReportList* m_list = nullptr;
    QGroupBox* m_frame = nullptr;
    CDlgQueryCondition* m_panel = nullptr;
    QPushButton* m_buttons[4] = {};
    kx::PopupMenu* m_menu = nullptr;
    int m_nPanelMode = 0;
};
