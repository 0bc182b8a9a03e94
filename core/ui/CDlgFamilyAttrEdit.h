// CDlgFamilyAttrEdit: creates or modifies one attribute definition of a family ("族类属性"): its
// name, data type, edit way, note and, for drop-down attributes, its constants. The constant list
// and its five buttons are enabled exactly while the way is "下拉框"; a data-type change retypes
// the constant list and resets the way to the first offered.
#pragma once

#include "model/CkxAttr.h"
#include "ui/KxShowDlg.h"

#include <string>
#include <vector>

class CkxwConstEditCtrl;
class QPushButton;
namespace kx {
class ComboBox;
}

class KX_EXPORT CDlgFamilyAttrEdit : public kx::EntityDlg<CkxAttr> {
    Q_OBJECT
public:
    enum {
        IDC_COB_FORMAT = 1040,
        IDC_COB_WAY = 1041,
        IDC_LIST_CONST = 1232,
        IDC_BTN_ADD = 1233,
        IDC_BTN_DEL = 1234,
        IDC_BTN_CLEAR = 1235,
        IDC_BTN_UP = 1178,
        IDC_BTN_DOWN = 1179,
    };

    explicit CDlgFamilyAttrEdit(QWidget* parent = nullptr);

    void SetEditData(const CkxAttr& attr);
    void GetEditData(CkxAttr& attr) const;
    void EnableConstEdit(int enable);
    CkxwConstEditCtrl* ConstList() const { return m_consts; }

    // The data type's text ("整数", "浮点数", "时间", "文本"; "空" for 0; else empty), the edit way's
    // text, and the ways offered for a data type in combo order.
    static std::string DataTypeText(int type);
    static std::string EditWayText(int way);
    static std::vector<int> WaysFor(int type);

    void OnSelchangeCobFormat();
    void OnSelchangeCOBWay();
    void OnBtnAddConst();
    void OnBtnDelConst();
    void OnBtnClearConst();
    void OnBtnMoveUp();
    void OnBtnMoveDown();
    void OnDblclkListConst();

protected:
    void OnInitDialog() override;
    void OnOK() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    kx::ComboBox* m_format = nullptr;
    kx::ComboBox* m_way = nullptr;
    CkxwConstEditCtrl* m_consts = nullptr;
    std::vector<QPushButton*> m_constButtons;
};

// Runs the dialog over a copy of the attribute (new flag nonzero: create); after OK every field,
// the constants included, is copied back and 1 returned, else 0.
KX_EXPORT int KX_ShowDlg_FamilyAttrEdit(int newFlag, CkxAttr& attr);
