#include "ui/CkxwConstEditCtrl.h"

#include "model/CkxConst.h"
#include "model/CkxValue.h"

CkxwConstEditCtrl::CkxwConstEditCtrl(QWidget* parent) : CkxListCtrlEdit(parent) {}

CkxwConstEditCtrl::~CkxwConstEditCtrl() = default;

void CkxwConstEditCtrl::Init() {
    CreateInsideCtrl();
    Clear();
}

void CkxwConstEditCtrl::Clear() {
    DeleteAllItems();
    m_cols.clear();
    while (GetColumnCount() > 0) DeleteColumn(0);
    colAdd("", ROLE_INDEX, CTRL_NONE, 15);
}

void CkxwConstEditCtrl::colAdd(const std::string& title, uint8_t role, int ctrlType, int width) {
    auto col = std::make_unique<_col>();
    col->nIndex = static_cast<int>(m_cols.size());
    col->strTitle = title;
    col->nRole = role;
    col->nCtrlType = ctrlType;
    col->nEnable = 1;
    InsertColumn(col->nIndex, QString::fromStdString(title), kx::LVCFMT_LEFT, width);
    m_cols.push_back(std::move(col));
}

const CkxwConstEditCtrl::_col* CkxwConstEditCtrl::colGetRole(uint8_t role) const {
    for (const auto& c : m_cols)
        if (c->nRole == role) return c.get();
    return nullptr;
}

void CkxwConstEditCtrl::SetTyped(uint8_t type, const char* title, int ctrlType) {
    Clear();
    colAdd(title, ROLE_CONST, ctrlType, 130);
    colAdd("常量别名", ROLE_ALIAS, CTRL_EDIT, 100);
    m_nConstType = type;
}

void CkxwConstEditCtrl::SetConstType_Int() { SetTyped(CT_INT, "整型常量", CTRL_EDIT); }
void CkxwConstEditCtrl::SetConstType_Float() { SetTyped(CT_FLOAT, "浮点型常量", CTRL_EDIT); }
void CkxwConstEditCtrl::SetConstType_Date() { SetTyped(CT_DATE, "时间常量", CTRL_DATE); }
void CkxwConstEditCtrl::SetConstType_Str() { SetTyped(CT_STR, "字符串常量", CTRL_EDIT); }

void CkxwConstEditCtrl::SetConstType(int valueKind) {
    switch (valueKind) {
    case KXV_INT: SetConstType_Int(); break;
    case KXV_FLOAT: SetConstType_Float(); break;
    case KXV_DATE: SetConstType_Date(); break;
    case KXV_STR: SetConstType_Str(); break;
    default: break;
    }
}

int CkxwConstEditCtrl::ConstValueKind() const {
    switch (m_nConstType) {
    case CT_INT: return KXV_INT;
    case CT_FLOAT: return KXV_FLOAT;
    case CT_DATE: return KXV_DATE;
    case CT_STR: return KXV_STR;
    default: return KXV_NONE;
    }
}

void CkxwConstEditCtrl::SetCellEditWay(int row, const _col& col) {
    const int valueKind = col.nRole == ROLE_CONST ? ConstValueKind() : col.nRole == ROLE_ALIAS ? KXV_STR : KXV_NONE;
    SetCellCtrl(row, col.nIndex, col.nCtrlType, col.nEnable, valueKind);
}

void CkxwConstEditCtrl::SetItemEditWay(int row) {
    for (const auto& c : m_cols) SetCellEditWay(row, *c);
}

int CkxwConstEditCtrl::cstAddVoid() {
    const int row = InsertItem(GetItemCount(), QStringLiteral(">"));
    if (row < 0) return -1;
    SetItemData(row, -1);
    SetItemEditWay(row);
    return row;
}

int CkxwConstEditCtrl::cstAdd(const CkxConst& c) {
    const int row = InsertItem(GetItemCount(), QStringLiteral(">"));
    if (row < 0) return -1;
    cstUpdate(row, c);
    return row;
}

void CkxwConstEditCtrl::cstAdd(const CkxConstList& list) {
    list.ForEach([&](const CkxConst& c) { cstAdd(c); });
}

void CkxwConstEditCtrl::cstUpdate(int row, const CkxConst& c) {
    if (row < 0 || row >= GetItemCount()) return;
    SetItemData(row, c.GetID());
    SetItemEditWay(row);
    SetCellValue_Const(row, c);
    SetCellValue_Alias(row, c);
}

void CkxwConstEditCtrl::SetCellValue_Const(int row, const CkxConst& c) {
    if (const _col* col = colGetConst()) SetCellValue(row, col->nIndex, c.m_Value);
}

void CkxwConstEditCtrl::SetCellValue_Alias(int row, const CkxConst& c) {
    // The alias cell holds the alias alone (empty without one): shown in its place it would
    // come back as an alias and hide every later change of the value.
    if (const _col* col = colGetAlias()) SetCellValue(row, col->nIndex, CkxValueSp(c.GetAlias()));
}

void CkxwConstEditCtrl::GetCellValue_Const(int row, CkxConst& c) const {
    if (const _col* col = colGetConst()) c.m_Value = GetCellValue(row, col->nIndex);
}

void CkxwConstEditCtrl::GetCellValue_Alias(int row, CkxConst& c) const {
    if (const _col* col = colGetAlias()) c.SetAlias(GetCellValue(row, col->nIndex).GetStr());
}

void CkxwConstEditCtrl::cstGet(int row, CkxConst& c) const {
    if (row < 0 || row >= GetItemCount()) return;
    c.m_nID = static_cast<int32_t>(GetItemData(row));
    GetCellValue_Const(row, c);
    GetCellValue_Alias(row, c);
}

int CkxwConstEditCtrl::cstGetAll(CkxConstList& list) const {
    list.DeleteAll();
    for (int row = 0; row < GetItemCount(); ++row) {
        CkxConst c; // ids -1, no value, no alias
        cstGet(row, c);
        list.AddTail(c);
    }
    return list.GetCount();
}

void CkxwConstEditCtrl::Swap(int row, int other) {
    CommitEdit();
    CkxConst a, b;
    cstGet(row, a);
    cstGet(other, b);
    cstUpdate(row, b);
    cstUpdate(other, a);
    for (int r = 0; r < GetItemCount(); ++r) SetItemSelected(r, r == other);
    SetFocusedRow(other);
}

void CkxwConstEditCtrl::cstMoveUp() {
    if (GetSelectCount() < 1) return;
    const int row = GetCurSelItem();
    if (row <= 0) return;
    Swap(row, row - 1);
}

void CkxwConstEditCtrl::cstMoveDown() {
    if (GetSelectCount() < 1) return;
    const int row = GetCurSelItem();
    if (row < 0 || row >= GetItemCount() - 1) return;
    Swap(row, row + 1);
}
