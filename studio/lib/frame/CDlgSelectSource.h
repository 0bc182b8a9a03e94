// CDlgSelectSource: the choice of the scanner the studio acquires from: one row per device the
// scanner library lists (vendor, model, kind), the default row selected. After OK the chosen
// row's index; the device list itself belongs to the caller.
#pragma once

#include "qt/KxDialog.h"

#include <string>
#include <vector>

namespace kx {
class ReportList;
}

class CDlgSelectSource : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LIST_SOURCE = 1301 };
    struct Row {
        std::string vendor, model, type;
    };

    explicit CDlgSelectSource(QWidget* parent = nullptr);

    // In: the rows and the default; after OK: the chosen row (-1 when none was selected).
    std::vector<Row> m_Rows;
    int m_nSelected = 0;

    kx::ReportList* List() const { return m_list; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    kx::ReportList* m_list;
};
