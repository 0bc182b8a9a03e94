#include "ui/CkxAttrListCtrl.h"

#include "model/CkxAttr.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "model/CkxQueryOperand.h"

#include <QString>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The operator codes (comparison codes of the query operand).
enum : int {
    OP_NONE = 0,
    OP_UNK = 1,
    OP_EQUAL = 11,
    OP_LESS_EQUAL_LAST = 16,
    OP_RANGE_FIRST = 17,
    OP_RANGE_LAST = 20,
    OP_KEYWORD = 30,
    OP_INCLUDE = 31,
};

bool IsOneValue(int code) { return code >= OP_EQUAL && code <= OP_LESS_EQUAL_LAST; }
bool IsRange(int code) { return code >= OP_RANGE_FIRST && code <= OP_RANGE_LAST; }
// Codes 30 and 31 compare one text, as the query operand defines them.
bool IsOneText(int code) { return code == OP_KEYWORD || code == OP_INCLUDE; }

} // namespace

namespace kx {

void BindAttrValueCell(CkxListCtrlEdit& grid, int row, int column, const CkxAttr& attr, int enabled) {
    if (!grid.SetCellCtrl(row, column, attr.m_nEditWay, enabled, attr.m_nDataType)) return;
    AddAttrChoices(grid, row, column, attr, false, false);
}

void AddAttrChoices(CkxListCtrlEdit& grid, int row, int column, const CkxAttr& attr, bool askProvider,
                    bool withTree) {
    CkxListCtrlEdit::_cell* cell = grid.LC_Find(row, column);
    if (!cell) return;
    const bool combo = cell->nCtrlType == CkxListCtrlEdit::CTRL_COMBO;
    const bool tree = withTree && cell->nCtrlType == CkxListCtrlEdit::CTRL_TREE;
    if (!combo && !tree) return;
    CkxConstList provided;
    const CkxConstList* source = &attr.m_Consts;
    if (askProvider && attr.m_Consts.GetCount() == 0 && attr.HasConstProvider()) {
        attr.CallConstProvider(provided);
        source = &provided;
    }
    if (source->GetCount() < 1) return;
    if (tree) cell->lsTree.clear();
    source->ForEach([&](const CkxConst& c) {
        if (combo) {
            grid.LC_AddComboStr(row, column, c.GetText(), static_cast<uint32_t>(c.GetID()));
            return;
        }
        CkxListCtrlEdit::_tree entry;
        entry.text = c.GetText();
        entry.id = c.GetID();
        entry.parentId = c.m_nID2;
        cell->lsTree.push_back(entry);
    });
}

std::string AttrFamilyName(const CkxAttr& attr) {
    const CkxFamily* family = KX_FamilyXXX().family_Find(attr.m_nFamilyID);
    return family ? family->m_strName : std::string();
}

} // namespace kx

CkxAttrListCtrl::CkxAttrListCtrl(QWidget* parent) : CkxListCtrlEdit(parent) { InitCtrl(); }

void CkxAttrListCtrl::InitCtrl() {
    if (m_bInit) return;
    CreateInsideCtrl();
    const struct {
        const char* title;
        int width;
    } columns[] = {{"属性名称", 80}, {"数据类型", 60}, {"操作符", 80}, {"值1", 100},
                   {"值2", 100},     {"文件族类", 100}, {"描述", 150}};
    int i = 0;
    for (const auto& c : columns) InsertColumn(i++, QString::fromUtf8(c.title), kx::LVCFMT_LEFT, c.width);
    m_bInit = true;
}

std::string CkxAttrListCtrl::OperatorName(int code) {
    switch (code) {
    case OP_UNK: return "?未知";
    case 11: return "＝值1";
    case 12: return "≠值1";
    case 13: return "＞值1";
    case 14: return "≥值1";
    case 15: return "＜值1";
    case 16: return "≤值1";
    case 17: return "＞值1,＜值2";
    case 18: return "≥值1,≤值2";
    case 19: return "≥值1,＜值2";
    case 20: return "＞值1,≤值2";
    case OP_KEYWORD: return "匹配值1字符串";
    case OP_INCLUDE: return "包含值1字符串";
    default: return {};
    }
}

std::vector<int> CkxAttrListCtrl::OperatorsFor(int dataType) {
    switch (dataType) {
    case KXT_INT:
    case KXT_FLOAT: return {0, 1, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    case KXT_DATE: return {0, 1, 11, 14, 16, 18};
    case KXT_STR: return {0, 1, 11, 12};
    default: return {};
    }
}

int CkxAttrListCtrl::AddAttr(CkxAttr* attr) {
    if (!attr) return -1;
    const int row = InsertItem(GetItemCount(), Q(attr->m_strName));
    if (row < 0) return -1;
    SetItemText(row, COL_TYPE, attr->GetDataTypeStr());
    SetCellCtrl_CobText(row, COL_OPERATOR);
    for (int code : OperatorsFor(attr->m_nDataType))
        LC_AddComboStr(row, COL_OPERATOR, OperatorName(code), static_cast<uint32_t>(code));
    SetItemText(row, COL_FAMILY, kx::AttrFamilyName(*attr));
    SetItemText(row, COL_NOTE, attr->m_strNote);
    SetItemData(row, reinterpret_cast<std::intptr_t>(attr));
    return row;
}

CkxAttr* CkxAttrListCtrl::GetAttr(int row) const {
    if (row < 0 || row >= GetItemCount()) return nullptr;
    return reinterpret_cast<CkxAttr*>(GetItemData(row));
}

void CkxAttrListCtrl::SetValueEditWay(int row, int column, const CkxAttr* attr) {
    if (attr) kx::BindAttrValueCell(*this, row, column, *attr, attr->m_nFlag);
}

void CkxAttrListCtrl::SetCell_EditWay(int row, int column, int ctrlType, int valueType) {
    SetCellCtrl(row, column, ctrlType, 1, valueType);
}

void CkxAttrListCtrl::SetItem_EditWay(int row, int ctrlType, int valueType) {
    SetCell_EditWay(row, COL_OPERATOR, ctrlType, valueType);
    SetCell_EditWay(row, COL_VALUE1, ctrlType, valueType);
}

void CkxAttrListCtrl::UpdateValueCellEditWay(int row, int code, const CkxAttr* attr) {
    // A stored "contains" condition (31) is shown but not edited here; "match" (30) edits its text.
    if (IsOneValue(code) || code == OP_KEYWORD) {
        SetValueEditWay(row, COL_VALUE1, attr);
        DisableCell(row, COL_VALUE2);
    } else if (IsRange(code)) {
        SetValueEditWay(row, COL_VALUE1, attr);
        SetValueEditWay(row, COL_VALUE2, attr);
    } else {
        DisableCell(row, COL_VALUE1);
        DisableCell(row, COL_VALUE2);
    }
}

void CkxAttrListCtrl::_OnComboChange(int row, int column, uint32_t data) {
    if (column != COL_OPERATOR) return;
    // The row whose operator changed is rebound with its own attribute, whichever rows are
    // selected besides it.
    if (const CkxAttr* attr = GetAttr(row)) UpdateValueCellEditWay(row, static_cast<int>(data), attr);
}

bool CkxAttrListCtrl::IsUsableValue(const CkxValueSp& v) {
    if (v.IsInt() || v.IsFloat()) return true;
    if (v.IsDate()) return v.GetDate() != 0;
    if (v.IsStr()) return !v.GetStr().empty();
    return false;
}

int CkxAttrListCtrl::GetOperand(int row, CkxQueryOperand& out) const {
    if (row < 0 || row >= GetItemCount()) return 0;
    const int code = GetCellValue_Int(row, COL_OPERATOR);
    if (code < 0) return 0;
    const CkxAttr* attr = GetAttr(row);
    if (!attr) return 0;
    const int id = attr->GetID();
    if (code == OP_UNK) {
        out.SetAttrID(id);
        out.Set_Unk();
        return 1;
    }
    if (IsOneValue(code) || IsOneText(code)) {
        const CkxValueSp v1 = GetCellValue(row, COL_VALUE1);
        if (!IsUsableValue(v1)) return 0;
        out = CkxQueryOperand(id, code, v1);
        return 1;
    }
    if (IsRange(code)) {
        const CkxValueSp v1 = GetCellValue(row, COL_VALUE1), v2 = GetCellValue(row, COL_VALUE2);
        if (!IsUsableValue(v1) || !IsUsableValue(v2)) return 0;
        out = CkxQueryOperand(id, code, v1, v2);
        return 1;
    }
    // No condition: the attribute alone.
    out = CkxQueryOperand();
    out.SetLinkAttr();
    out.SetAttrID(id);
    return 1;
}

int CkxAttrListCtrl::GetOperandList(CkxQueryOperandList& list) const {
    list.DeleteAll();
    for (int row = 0; row < GetItemCount(); ++row) {
        CkxQueryOperand operand;
        if (GetOperand(row, operand)) list.AddTail(operand);
    }
    return list.GetCount();
}

void CkxAttrListCtrl::SetOperand(const CkxQueryOperand* operand) {
    if (!operand) return;
    const int code = operand->GetOperateSign();
    for (int row = 0; row < GetItemCount(); ++row) {
        const CkxAttr* attr = GetAttr(row);
        if (!attr || attr->GetID() != operand->GetAttrID()) continue;
        CkxListCtrlEdit::SetCellValue(row, COL_OPERATOR, CkxValueSp(code));
        UpdateValueCellEditWay(row, code, attr);
        if (IsOneValue(code) || IsOneText(code)) {
            CkxListCtrlEdit::SetCellValue(row, COL_VALUE1, operand->GetValue1());
        } else if (IsRange(code)) {
            CkxListCtrlEdit::SetCellValue(row, COL_VALUE1, operand->GetValue1());
            CkxListCtrlEdit::SetCellValue(row, COL_VALUE2, operand->GetValue2());
        }
    }
}
