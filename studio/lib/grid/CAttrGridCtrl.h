// The tree-list grid made for attribute sheets: the columns "名称", "属性赋值", "数据类型",
// "编辑方式" and "属性描述", pictures that tell open parents, folded parents and leaves apart,
// check boxes and grid lines, values chosen from drop-down lists in place, whole copies of rows
// on drag and drop, and sorting by a click on the name column's header.
#pragma once

#include "grid/CTreeGridCtrl.h"

class CInPlaceCombo;
class QComboBox;

class CAttrGridCtrl : public CTreeGridCtrl {
    Q_OBJECT
public:
    explicit CAttrGridCtrl(QWidget* parent = nullptr);

    // False when the pictures could not be loaded.
    bool Created() const { return m_bCreated; }
    // The columns, the grid's styles and the example tree.
    void SetUpColumns();
    CInPlaceCombo* ShowChoices(int row, int column, const QStringList& choices);
    static int WidestChoice(const QComboBox* combo, const QStringList& choices);

    std::unique_ptr<CTreeGridItem> CloneItem(const CTreeGridItem* item) const override;
    int IconOf(const CTreeGridNode* node) const override;
    QColor CellColour() const override;
    void OnCellClicked(int row, int column) override;

protected:
    void OnEnterKey() override;

private:
    void OnHeaderClicked(int column);
    bool OpenChoicesAt(int row, int column);

    bool m_bCreated = false;
};
