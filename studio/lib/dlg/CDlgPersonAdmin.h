// The person administration dialog: the catalogue's persons (authors and the like) with their
// business relation and title, created, changed and deleted through the server; the list
// follows the server's answers and other workstations' changes.
#pragma once

#include "qt/KxDialog.h"

#include <string>

class CkxPerson;
class CStudioLink;
class QPushButton;
namespace kx {
class ReportList;
}

class CDlgPersonAdmin : public kx::Dialog {
    Q_OBJECT
public:
    enum ControlId { IDC_LIST = 1025, IDC_CREATE = 1026, IDC_MODIFY = 1027, IDC_DELETE = 1028 };

    explicit CDlgPersonAdmin(CStudioLink& link, QWidget* parent = nullptr);
    ~CDlgPersonAdmin() override;

    // The texts of the two codes ("" outside the table).
    static std::string RelationText(int code);
    static std::string TitleText(int code);
    static std::string DeleteQuestion(const std::string& name);

    kx::ReportList* List() const { return m_list; }
    void OnCreate();
    void OnModify();
    void OnDelete();

    // The server's changes (WM_USER with the change code and the person id).
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) override;

protected:
    void OnInitDialog() override;

private:
    void Fill();
    void SetRow(int row, const CkxPerson& p);
    int RowOf(int id) const;
    int SelectedId() const;
    void UpdateButtons();
    bool MayOperate() const;

    CStudioLink& m_link;
    kx::ReportList* m_list = nullptr;
    QPushButton* m_create = nullptr;
    QPushButton* m_modify = nullptr;
    QPushButton* m_delete = nullptr;
};
