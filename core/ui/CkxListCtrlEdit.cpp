#include "ui/CkxListCtrlEdit.h"

#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"
#include "ui/CkxIPAddressCtrl.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

constexpr int kMinEditorWidth = 5; // a narrower column shows no editor
constexpr int kTreeHeight = 100;
constexpr int kTreeIdRole = Qt::UserRole;
// A cell value's text field is 256 GBK bytes with its NUL.
constexpr int kCellTextBytes = 255;

// Marks a stretch in which the control itself changes its editors: their change signals and
// focus moves are not the user's.
class SelfChange {
public:
    explicit SelfChange(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
    ~SelfChange() { flag_ = old_; }
    SelfChange(const SelfChange&) = delete;
    SelfChange& operator=(const SelfChange&) = delete;

private:
    bool& flag_;
    bool old_;
};

const char* SkipBlanks(const char* p, const char* end) {
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) ++p;
    return p;
}

// The leading whole number of a text ("12abc" 12, "abc" 0), clamped to the int range; read the
// same whatever the process locale.
int LeadingInt(const std::string& text) {
    const char* p = SkipBlanks(text.data(), text.data() + text.size());
    const char* end = text.data() + text.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    long long value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// The leading decimal number of a text ("1.5kg" 1.5, "abc" 0), clamped to the float range;
// never infinity or NaN, whatever the letters, and read the same in every locale.
float LeadingFloat(const std::string& text) {
    const char* end = text.data() + text.size();
    const char* p = SkipBlanks(text.data(), end);
    if (p < end && *p == '+') ++p;
    const char* digits = p < end && *p == '-' ? p + 1 : p;
    const bool number = digits < end && ((*digits >= '0' && *digits <= '9') ||
                                         (*digits == '.' && digits + 1 < end && digits[1] >= '0' &&
                                          digits[1] <= '9'));
    if (!number) return 0;
    double value = 0;
    auto [stop, error] = std::from_chars(p, end, value, std::chars_format::general);
    (void)stop;
    if (error == std::errc::result_out_of_range) return *p == '-' ? -FLT_MAX : FLT_MAX;
    if (error != std::errc() || !std::isfinite(value)) return 0;
    return static_cast<float>(std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

QDateTime ToQDateTime(const COleDateTime& d) {
    return QDateTime(QDate(d.GetYear(), d.GetMonth(), d.GetDay()),
                     QTime(d.GetHour(), d.GetMinute(), d.GetSecond()));
}

COleDateTime FromQDateTime(const QDateTime& d) {
    return COleDateTime(d.date().year(), d.date().month(), d.date().day(), d.time().hour(),
                        d.time().minute(), d.time().second());
}

} // namespace

CkxListCtrlEdit::CkxListCtrlEdit(QWidget* parent) : kx::ReportList(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A column may be made as narrow as its owner wants (a hidden helper column is a few pixels).
    header()->setMinimumSectionSize(0);
    CreateInsideCtrl();
    SetFullRowSelect(true);
    // Records follow the rows however they are removed, and an editor never outlives its row.
    connect(model(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (!parent.isValid()) OnRowsAboutToBeRemoved(first, last);
            });
    connect(model(), &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                if (!parent.isValid()) OnRowsRemoved(first, last);
            });
    connect(model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] { DropAllRecords(); });
}

CkxListCtrlEdit::~CkxListCtrlEdit() {
    // The base empties its model after this object is gone: nothing of that may come back here.
    disconnect(model(), nullptr, this, nullptr);
    DestroyInsideCtrl();
}

// ---------------------------------------------------------------------------------------------
// Editors

void CkxListCtrlEdit::CreateInsideCtrl() {
    if (m_bCreated) return;
    QWidget* vp = viewport();
    const QRect initial(0, 0, 10, 200);

    m_edit = new kx::Edit(vp);
    m_edit->SetLimitText(kCellTextBytes);
    m_edit->setTextMargins(4, 0, 4, 0);

    m_combo = new kx::ComboBox(vp);
    m_combo->setEditable(false);
    // A choice of the user, also of the entry already shown; code that fills the list never
    // counts as one.
    connect(m_combo, &QComboBox::activated, this, [this](int index) {
        if (!m_selfChange) CommitCombo(index);
    });

    m_date = new QDateTimeEdit(vp);
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    m_date->setMinimumDateTime(QDateTime(QDate(100, 1, 1), QTime(0, 0)));
    connect(m_date, &QDateTimeEdit::dateTimeChanged, this, [this] {
        if (!m_selfChange && m_nCurCtrl == CTRL_DATE && IsEditorOpen()) CommitDate();
    });

    m_check = new QCheckBox(vp);
    m_check->setAutoFillBackground(true);
    connect(m_check, &QCheckBox::clicked, this, [this](bool checked) {
        if (!m_selfChange && m_nCurCtrl == CTRL_CHECK) CommitCheck(checked);
    });

    m_ip = new CkxIPAddressCtrl(vp);

    m_tree = new QTreeWidget(vp);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setColumnCount(1);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_selfChange && m_nCurCtrl == CTRL_TREE && IsEditorOpen()) CommitTree();
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (!m_selfChange && m_nCurCtrl == CTRL_TREE && IsEditorOpen()) CommitTree();
    });

    const std::pair<QWidget*, int> editors[] = {
        {m_edit, IDC_LCE_EDIT}, {m_combo, IDC_LCE_COMBO}, {m_date, IDC_LCE_DATE},
        {m_check, IDC_LCE_CHECK}, {m_ip, IDC_LCE_IP}, {m_tree, IDC_LCE_TREE},
    };
    for (const auto& [editor, id] : editors) {
        editor->setObjectName(QString::number(id));
        editor->setGeometry(initial);
        editor->hide();
    }
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this,
                                [this](QWidget* old, QWidget* now) { OnFocusChanged(old, now); });
    m_bCreated = true;
}

void CkxListCtrlEdit::DestroyInsideCtrl() {
    if (!m_bCreated) return;
    // No focus report may reach a control whose editors are going.
    disconnect(m_focusConnection);
    m_nCurCtrl = CTRL_NONE;
    m_focusLossPending = false;
    for (QWidget* editor : std::initializer_list<QWidget*>{m_edit, m_combo, m_date, m_check, m_ip, m_tree})
        delete editor;
    m_edit = nullptr;
    m_combo = nullptr;
    m_date = nullptr;
    m_check = nullptr;
    m_ip = nullptr;
    m_tree = nullptr;
    m_cells.clear();
    m_bCreated = false;
}

QWidget* CkxListCtrlEdit::EditorOf(int ctrlType) const {
    switch (ctrlType) {
    case CTRL_EDIT: return m_edit;
    case CTRL_COMBO: return m_combo;
    case CTRL_TREE: return m_tree;
    case CTRL_DATE: return m_date;
    case CTRL_IP: return m_ip;
    case CTRL_CHECK: return m_check;
    default: return nullptr;
    }
}

bool CkxListCtrlEdit::IsEditorOpen() const {
    QWidget* editor = CurEditor();
    return editor && !editor->isHidden();
}

// The editor itself, one of its parts, or a popup it opened (a drop-down's list, the picker's
// calendar): popups are separate windows whose parent chain leads back to the editor.
bool CkxListCtrlEdit::IsInsideEditor(QWidget* w) const {
    QWidget* editor = CurEditor();
    for (; w && editor; w = w->parentWidget())
        if (w == editor) return true;
    return false;
}

void CkxListCtrlEdit::Notify(unsigned message, int column) {
    bool numeric = false;
    const int id = objectName().toInt(&numeric);
    for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
        if (dynamic_cast<kx::MessageReceiver*>(p)) {
            kx::SendMessage(p, message, static_cast<kx::WPARAM>(numeric ? id : 0), column);
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Cell records

CkxListCtrlEdit::_cell* CkxListCtrlEdit::LC_Find(int row, int column) const {
    for (const auto& cell : m_cells)
        if (cell->nRow == row && cell->nCol == column) return cell.get();
    return nullptr;
}

CkxListCtrlEdit::_cell* CkxListCtrlEdit::GetCurSelCell() const {
    return LC_Find(m_nRow, m_nCol);
}

CkxListCtrlEdit::_cell* CkxListCtrlEdit::SetCellCtrl(int row, int column, int ctrlType, int enable,
                                                     int valueType) {
    _cell* cell = LC_Find(row, column);
    if (!cell) {
        std::unique_ptr<_cell> made(new (std::nothrow) _cell);
        if (!made) return nullptr;
        made->nRow = row;
        made->nCol = column;
        cell = made.get();
        m_cells.push_back(std::move(made));
    }
    cell->nCtrlType = ctrlType;
    cell->nEnable = enable;
    cell->nValueType = valueType;
    cell->arCombo.clear();
    return cell;
}

// A new record gets the kind with enabled 1; an existing one only its kind (and, when given,
// its value kind); either way the drop-down entries go.
CkxListCtrlEdit::_cell* CkxListCtrlEdit::BindKind(int row, int column, int ctrlType,
                                                  const int* valueType) {
    _cell* cell = LC_Find(row, column);
    if (!cell) return SetCellCtrl(row, column, ctrlType, 1, valueType ? *valueType : 0);
    cell->nCtrlType = ctrlType;
    if (valueType) cell->nValueType = *valueType;
    cell->arCombo.clear();
    return cell;
}

CkxListCtrlEdit::_cell* CkxListCtrlEdit::SetCellCtrl_Edit(int row, int column, int valueType) {
    return BindKind(row, column, CTRL_EDIT, &valueType);
}
CkxListCtrlEdit::_cell* CkxListCtrlEdit::SetCellCtrl_CobText(int row, int column) {
    return BindKind(row, column, CTRL_COMBO, nullptr);
}
CkxListCtrlEdit::_cell* CkxListCtrlEdit::SetCellCtrl_Tree(int row, int column) {
    return BindKind(row, column, CTRL_TREE, nullptr);
}
CkxListCtrlEdit::_cell* CkxListCtrlEdit::SetCellCtrl_Date(int row, int column) {
    return BindKind(row, column, CTRL_DATE, nullptr);
}
CkxListCtrlEdit::_cell* CkxListCtrlEdit::SetCellCtrl_IP(int row, int column) {
    return BindKind(row, column, CTRL_IP, nullptr);
}
CkxListCtrlEdit::_cell* CkxListCtrlEdit::SetCellCtrl_Check(int row, int column) {
    return BindKind(row, column, CTRL_CHECK, nullptr);
}

void CkxListCtrlEdit::LC_AddComboStr(int row, int column, const std::string& text, uint32_t data) {
    if (_cell* cell = LC_Find(row, column)) cell->arCombo.push_back({text, data});
}

void CkxListCtrlEdit::EnableCell(int row, int column) {
    _cell* cell = LC_Find(row, column);
    if (!cell) cell = SetCellCtrl(row, column, CTRL_NONE, 1, 0);
    if (!cell) return;
    cell->nCtrlType = CTRL_NONE;
    cell->arCombo.clear();
}

void CkxListCtrlEdit::DisableCell(int row, int column) {
    EnableCell(row, column);
    ClearCell(row, column);
}

int CkxListCtrlEdit::LC_IsEnableEdit(int row, int column) const {
    const _cell* cell = LC_Find(row, column);
    return cell ? cell->nEnable : 0;
}

int CkxListCtrlEdit::HasKind(int row, int column, int ctrlType) const {
    const _cell* cell = LC_Find(row, column);
    return cell && cell->nCtrlType == ctrlType;
}

int CkxListCtrlEdit::IsCellCtrl_Edit(int row, int column) const { return HasKind(row, column, CTRL_EDIT); }
int CkxListCtrlEdit::IsCellCtrl_CobText(int row, int column) const { return HasKind(row, column, CTRL_COMBO); }
int CkxListCtrlEdit::IsCellCtrl_IP(int row, int column) const { return HasKind(row, column, CTRL_IP); }
int CkxListCtrlEdit::IsCellCtrl_Dt(int row, int column) const { return HasKind(row, column, CTRL_DATE); }
int CkxListCtrlEdit::IsCellCtrl_Chk(int row, int column) const { return HasKind(row, column, CTRL_CHECK); }

// ---------------------------------------------------------------------------------------------
// Values

void CkxListCtrlEdit::SetCellValue(int row, int column, const CkxValueSp& value) {
    _cell* cell = LC_Find(row, column);
    if (!cell) return;
    cell->value = value;
    cell->nEdited = 1;
    Refresh(*cell);
}

CkxValueSp CkxListCtrlEdit::GetCellValue(int row, int column) const {
    const _cell* cell = LC_Find(row, column);
    return cell ? cell->value : CkxValueSp();
}

int CkxListCtrlEdit::GetCellValue_Int(int row, int column) const {
    const _cell* cell = LC_Find(row, column);
    return cell ? cell->value.GetInt() : 0;
}

float CkxListCtrlEdit::GetCellValue_Float(int row, int column) const {
    const _cell* cell = LC_Find(row, column);
    return cell ? cell->value.GetFloat() : 0.0f;
}

std::string CkxListCtrlEdit::GetCellValue_Str(int row, int column) const {
    const _cell* cell = LC_Find(row, column);
    return cell ? cell->value.GetStr() : std::string();
}

COleDateTime CkxListCtrlEdit::GetCellValue_Dt(int row, int column) const {
    const _cell* cell = LC_Find(row, column);
    return cell ? cell->value.GetOleDate() : COleDateTime();
}

void CkxListCtrlEdit::ClearCell(int row, int column) {
    kx::ReportList::SetItemText(row, column, QString());
    if (_cell* cell = LC_Find(row, column)) cell->value.Void();
}

bool CkxListCtrlEdit::SetItemText(int row, int column, const std::string& text) {
    return kx::ReportList::SetItemText(row, column, QString::fromStdString(text));
}

bool CkxListCtrlEdit::SetItemText(int row, int column, const char* text) {
    return kx::ReportList::SetItemText(row, column, QString::fromUtf8(text ? text : ""));
}

bool CkxListCtrlEdit::SetItemText(int row, int column, int value) {
    return kx::ReportList::SetItemText(row, column, QString::number(value));
}

bool CkxListCtrlEdit::SetItemText(int row, int column, float value) {
    return SetItemText(row, column, static_cast<double>(value));
}

bool CkxListCtrlEdit::SetItemText(int row, int column, double value) {
    // QString::number does not follow the process locale: a point, never a comma.
    return kx::ReportList::SetItemText(row, column, QString::number(value, 'f', 4));
}

bool CkxListCtrlEdit::SetItemText(int row, int column, const COleDateTime& value) {
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", value.GetYear(), value.GetMonth(),
                  value.GetDay(), value.GetHour(), value.GetMinute(), value.GetSecond());
    return SetItemText(row, column, text);
}

// The cell's shown text from its record; a change is written and announced.
void CkxListCtrlEdit::Refresh(_cell& cell) {
    std::string text;
    if (cell.nCtrlType == CTRL_COMBO) {
        const uint32_t data = static_cast<uint32_t>(cell.value.GetInt());
        for (const _combo& entry : cell.arCombo) {
            if (entry.data == data) {
                text = entry.text;
                break;
            }
        }
    } else if (cell.nCtrlType == CTRL_TREE) {
        for (const _tree& entry : cell.lsTree) {
            if (entry.id == cell.value.GetInt()) {
                text = entry.text;
                break;
            }
        }
    } else {
        text = cell.value.GetText();
    }
    const int row = cell.nRow;
    const int column = cell.nCol;
    if (GetItemText(row, column).toStdString() == text) return;
    if (SetItemText(row, column, text)) Notify(WM_LCE_TEXTCHANGED, column);
}

// ---------------------------------------------------------------------------------------------
// Edited marks

int CkxListCtrlEdit::IsEdited() const {
    return std::any_of(m_cells.begin(), m_cells.end(), [](const auto& c) { return c->nEdited != 0; });
}

int CkxListCtrlEdit::IsEdited(int row) const {
    return std::any_of(m_cells.begin(), m_cells.end(),
                       [row](const auto& c) { return c->nRow == row && c->nEdited != 0; });
}

void CkxListCtrlEdit::DontEdited() {
    for (auto& cell : m_cells) cell->nEdited = 0;
}

void CkxListCtrlEdit::DontEdited(int row) {
    for (auto& cell : m_cells)
        if (cell->nRow == row) cell->nEdited = 0;
}

// ---------------------------------------------------------------------------------------------
// Rows and selection

bool CkxListCtrlEdit::DeleteItem(int row) {
    if (row < 0 || row >= GetItemCount()) return false;
    // An editor on another row is written to its own cell while that cell is still where it
    // was; an editor on this row goes with it (OnRowsAboutToBeRemoved).
    if (IsEditorOpen() && m_nRow != row) CommitEdit();
    return kx::ReportList::DeleteItem(row);
}

void CkxListCtrlEdit::DeleteAllItems() {
    DropAllRecords();
    kx::ReportList::DeleteAllItems();
}

bool CkxListCtrlEdit::DeleteCurSelItem() {
    return DeleteItem(GetCurSelItem());
}

void CkxListCtrlEdit::OnRowsAboutToBeRemoved(int first, int last) {
    if (m_nRow >= first && m_nRow <= last && IsEditorOpen()) {
        // Its cell is going: what it holds is dropped, never written elsewhere.
        m_focusLossPending = false;
        HideEditor();
        m_nCurCtrl = CTRL_NONE;
    }
}

void CkxListCtrlEdit::OnRowsRemoved(int first, int last) {
    const int count = last - first + 1;
    m_cells.erase(std::remove_if(m_cells.begin(), m_cells.end(),
                                 [&](const auto& c) { return c->nRow >= first && c->nRow <= last; }),
                  m_cells.end());
    for (auto& cell : m_cells)
        if (cell->nRow > last) cell->nRow -= count;
    if (m_nRow >= first && m_nRow <= last) {
        m_nRow = -1;
        m_nCol = -1;
        m_nCurCtrl = CTRL_NONE;
    } else if (m_nRow > last) {
        m_nRow -= count; // an editor still open follows its own cell
    }
}

void CkxListCtrlEdit::DropAllRecords() {
    m_focusLossPending = false;
    HideEditor();
    m_nCurCtrl = CTRL_NONE;
    m_nRow = -1;
    m_nCol = -1;
    m_cells.clear();
}

std::intptr_t CkxListCtrlEdit::GetCurSelItemData() const {
    const int row = GetCurSelItem();
    return row < 0 ? -1 : GetItemData(row);
}

void CkxListCtrlEdit::SelectItem(int row) {
    if (row < 0 || row > GetItemCount() - 1) return;
    SetItemSelected(row, true);
    SetFocusedRow(row);
}

void CkxListCtrlEdit::SelectAllItem() {
    for (int row = 0; row < GetItemCount(); ++row) SelectItem(row);
}

void CkxListCtrlEdit::SelectAll() {
    for (int row = 0; row < GetItemCount(); ++row) SetCheck(row, true);
}

void CkxListCtrlEdit::SelectNo() {
    for (int row = 0; row < GetItemCount(); ++row) SetCheck(row, false);
}

void CkxListCtrlEdit::SelectInvert() {
    for (int row = 0; row < GetItemCount(); ++row) SetCheck(row, !GetCheck(row));
}

void CkxListCtrlEdit::SetStyle_Check() {
    SetFullRowSelect(false);
    SetCheckBoxes(true);
}

void CkxListCtrlEdit::SetStyle_FullRowSelect() {
    SetCheckBoxes(false);
    SetFullRowSelect(true);
}

// ---------------------------------------------------------------------------------------------
// Hit testing

int CkxListCtrlEdit::GetHitCell(int x, int y, int& row, int& column) const {
    const kx::ListHit hit = HitTest(QPoint(x, y));
    if (hit.row < 0 || hit.column < 0) {
        row = hit.row;
        column = -1;
        return 0;
    }
    row = hit.row;
    column = hit.column;
    return 1;
}

int CkxListCtrlEdit::HitTestEx(int x, int y) {
    int row = -1;
    int column = -1;
    const int onCell = GetHitCell(x, y, row, column);
    m_nRow = row;
    m_nCol = onCell ? column : -1;
    return onCell ? row : -1;
}

int CkxListCtrlEdit::CheckHitLastCell() const {
    if (!m_press) return 0;
    int row = -1;
    int column = -1;
    if (GetHitCell(m_press->x(), m_press->y(), row, column) && row == m_nRow && column == m_nCol)
        return 1;
    return m_rcLast.contains(*m_press) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Opening an editor

void CkxListCtrlEdit::mousePressEvent(QMouseEvent* event) {
    Press(event, false);
}

void CkxListCtrlEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    Press(event, true);
}

void CkxListCtrlEdit::Press(QMouseEvent* event, bool doubleClick) {
    auto base = [&] {
        if (doubleClick) kx::ReportList::mouseDoubleClickEvent(event);
        else kx::ReportList::mousePressEvent(event);
    };
    if (event->button() != Qt::LeftButton) {
        base();
        return;
    }
    QPointer<CkxListCtrlEdit> self(this);
    m_press = event->position().toPoint();
    // An editor that lost the focus to this press is written to its own cell before anything
    // else moves: the press position decides whether it stays open.
    FlushFocusLoss();
    base();
    if (!self) return;
    OpenAt(*m_press);
    if (self) m_press.reset();
}

void CkxListCtrlEdit::OpenAt(const QPoint& point) {
    int row = -1;
    int column = -1;
    if (!GetHitCell(point.x(), point.y(), row, column)) {
        // The click left every cell: an editor still showing could only write nowhere.
        HitTestEx(point.x(), point.y());
        HideEditor();
        return;
    }
    // The list takes the focus; an editor that held it goes through its focus loss here.
    setFocus(Qt::MouseFocusReason);
    FlushFocusLoss();

    const bool sameCell = IsEditorOpen() && row == m_nRow && column == m_nCol;
    row = HitTestEx(point.x(), point.y());
    if (row < 0) {
        HideEditor();
        return;
    }
    if (!sameCell) HideEditor();
    if (row != GetFocusedRow() || m_nCol <= 0) {
        SetItemSelected(row, true);
        SetFocusedRow(row);
    }
    QPointer<CkxListCtrlEdit> self(this);
    Notify(WM_LCE_CELLCLICK, m_nCol);
    if (!self) return;
    // A second click on the cell being edited keeps the editor with what it holds, unless the
    // parent rebound the cell meanwhile.
    const _cell* cell = GetCurSelCell();
    if (sameCell && IsEditorOpen() && cell && cell->nCtrlType == m_nCurCtrl && cell->nEnable) {
        ShowEditor(false);
        return;
    }
    HideEditor();
    PrepareCell();
    ShowEditor(true);
}

void CkxListCtrlEdit::PrepareCell() {
    m_nCurCtrl = CTRL_NONE;
    m_nCanOpen = 0;
    _cell* cell = GetCurSelCell();
    if (!cell || !EditorOf(cell->nCtrlType)) return;
    const QString text = GetItemText(m_nRow, m_nCol);
    m_nCanOpen = cell->nEnable;
    m_nCurCtrl = cell->nCtrlType;
    // Loading is never a user change: nothing is stored, marked or announced.
    SelfChange quiet(m_selfChange);
    switch (m_nCurCtrl) {
    case CTRL_EDIT: m_edit->setText(text); break;
    case CTRL_COMBO: LoadCombo(*cell, text); break;
    case CTRL_TREE: LoadTree(*cell); break;
    case CTRL_DATE: LoadDate(text); break;
    case CTRL_IP: LoadIP(text); break;
    case CTRL_CHECK: m_check->setChecked(cell->value.IsInt() && cell->value.GetInt() != 0); break;
    default: break;
    }
}

void CkxListCtrlEdit::LoadCombo(_cell& cell, const QString& text) {
    m_combo->clear();
    for (const _combo& entry : cell.arCombo)
        m_combo->AddString(QString::fromStdString(entry.text), static_cast<std::intptr_t>(entry.data));
    m_combo->setCurrentIndex(-1);
    // The list's own prefix search: from the second entry on, wrapping to the first, so an empty
    // cell preselects the second entry.
    const int count = m_combo->count();
    for (int k = 1; k <= count; ++k) {
        const int index = k % count;
        if (m_combo->itemText(index).startsWith(text, Qt::CaseInsensitive)) {
            m_combo->setCurrentIndex(index);
            break;
        }
    }
}

// Builds the tree in passes: an entry goes in once its parent is in. The build ends when a pass
// adds nothing, so entries whose parent is missing, or that form a loop, are left out.
void CkxListCtrlEdit::LoadTree(_cell& cell) {
    for (auto& record : m_cells)
        for (_tree& entry : record->lsTree) entry.item = nullptr;
    m_tree->clear();
    std::vector<size_t> waiting(cell.lsTree.size());
    for (size_t i = 0; i < waiting.size(); ++i) waiting[i] = i;
    std::map<int, QTreeWidgetItem*> placed; // id -> the first entry with that id in the tree
    bool added = true;
    while (!waiting.empty() && added) {
        added = false;
        std::vector<size_t> still;
        for (size_t index : waiting) {
            _tree& entry = cell.lsTree[index];
            QTreeWidgetItem* item = nullptr;
            if (entry.parentId == -1) {
                item = new QTreeWidgetItem(m_tree);
            } else if (auto parent = placed.find(entry.parentId); parent != placed.end()) {
                item = new QTreeWidgetItem(parent->second);
            } else {
                still.push_back(index);
                continue;
            }
            item->setText(0, QString::fromStdString(entry.text));
            item->setData(0, kTreeIdRole, entry.id);
            entry.item = item;
            placed.emplace(entry.id, item);
            added = true;
        }
        waiting.swap(still);
    }
}

void CkxListCtrlEdit::LoadDate(const QString& text) {
    if (text.isEmpty()) {
        m_date->setDateTime(QDateTime::currentDateTime());
        return;
    }
    COleDateTime parsed;
    if (parsed.ParseDateTime(text.toStdString())) m_date->setDateTime(ToQDateTime(parsed));
}

void CkxListCtrlEdit::LoadIP(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() < 4) {
        // Blank rather than the address of the cell edited before.
        m_ip->ClearAddress();
        return;
    }
    m_ip->SetAddress(LeadingInt(parts[0].toStdString()), LeadingInt(parts[1].toStdString()),
                     LeadingInt(parts[2].toStdString()), LeadingInt(parts[3].toStdString()));
}

void CkxListCtrlEdit::ShowEditor(bool fresh) {
    executeDelayedItemsLayout();
    if (!EnsureVisible(m_nRow)) return;
    if (m_nCol < 0 || m_nCol >= GetColumnCount() || GetColumnWidth(m_nCol) < kMinEditorWidth) return;
    int offset = 0;
    for (int c = 0; c < m_nCol; ++c) offset += GetColumnWidth(c);
    QRect row = GetItemRect(m_nRow);
    const QRect client = viewport()->rect();
    const int x = row.left() + offset;
    if (x < 0 || x > client.right()) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + x);
        row = GetItemRect(m_nRow);
    }
    int left = row.left() + offset;
    int right = std::min(left + GetColumnWidth(m_nCol), client.right() + 1);
    int top = row.top();
    int bottom = row.top() + row.height();
    if (!m_nCanOpen) return;
    QWidget* editor = CurEditor();
    if (!editor) return;
    switch (m_nCurCtrl) {
    case CTRL_EDIT: --top; ++bottom; break; // the 4-pixel inner margins are the edit's own
    case CTRL_COMBO: right += 2; top -= 2; break;
    case CTRL_DATE: top -= 2; bottom += 3; break;
    case CTRL_TREE:
        if (client.bottom() + 1 - bottom >= kTreeHeight) top = bottom + 1;
        else top = row.top() - kTreeHeight - 1;
        bottom = top + kTreeHeight;
        break;
    default: break;
    }
    const QRect rect(left, top, right - left, bottom - top);
    {
        SelfChange quiet(m_selfChange);
        for (int kind : {CTRL_EDIT, CTRL_COMBO, CTRL_TREE, CTRL_DATE, CTRL_IP, CTRL_CHECK})
            if (kind != m_nCurCtrl) EditorOf(kind)->hide();
        editor->setGeometry(rect);
        editor->show();
        editor->raise();
    }
    m_rcLast = rect;
    if (m_nCurCtrl == CTRL_EDIT) {
        if (fresh) m_edit->selectAll();
        m_edit->setFocus(Qt::OtherFocusReason);
    } else if (m_nCurCtrl == CTRL_IP) {
        m_ip->setFocus(Qt::OtherFocusReason);
    }
}

void CkxListCtrlEdit::HideEditor() {
    QWidget* editor = CurEditor();
    if (!editor || editor->isHidden()) return;
    SelfChange quiet(m_selfChange);
    if (m_nCurCtrl == CTRL_COMBO) m_combo->hidePopup();
    if (m_nCurCtrl == CTRL_DATE && m_date->calendarWidget()) m_date->calendarWidget()->window()->hide();
    // The focus comes back to the list, not to whatever widget follows the editor.
    if (IsInsideEditor(QApplication::focusWidget())) setFocus(Qt::OtherFocusReason);
    editor->hide();
    viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Focus loss and commits

void CkxListCtrlEdit::OnFocusChanged(QWidget* old, QWidget* now) {
    if (m_selfChange || !IsEditorOpen()) return;
    if (!IsInsideEditor(old) || IsInsideEditor(now)) return;
    if (now == this || now == viewport()) {
        // Most likely a press on the list: its handler knows where the press is and decides
        // whether the editor stays open. Anything else that moved the focus here is handled
        // as soon as the event loop runs.
        m_focusLossPending = true;
        QTimer::singleShot(0, this, [this] { FlushFocusLoss(); });
        return;
    }
    EditorLostFocus();
}

void CkxListCtrlEdit::FlushFocusLoss() {
    if (!m_focusLossPending) return;
    m_focusLossPending = false;
    if (IsEditorOpen()) EditorLostFocus();
}

void CkxListCtrlEdit::EditorLostFocus() {
    const bool stay = CheckHitLastCell() != 0;
    switch (m_nCurCtrl) {
    case CTRL_EDIT:
        if (!stay) CommitEditBox();
        break;
    case CTRL_COMBO:
        // A drop-down's value is taken only when the user chooses.
        if (!stay) HideEditor();
        break;
    case CTRL_DATE:
        if (!stay) HideEditor();
        CommitDate();
        break;
    case CTRL_TREE:
        if (!stay) CommitTree();
        break;
    case CTRL_IP:
        if (!stay) CommitIP();
        break;
    default: break; // the check box stays until another cell is clicked
    }
}

void CkxListCtrlEdit::CommitEdit() {
    if (m_focusLossPending) {
        m_focusLossPending = false;
        if (IsEditorOpen()) {
            std::optional<QPoint> press;
            press.swap(m_press);
            EditorLostFocus();
            m_press.swap(press);
        }
    }
    if (!IsEditorOpen()) return;
    const bool focused = IsInsideEditor(QApplication::focusWidget());
    switch (m_nCurCtrl) {
    case CTRL_EDIT: CommitEditBox(); break;
    case CTRL_IP: CommitIP(); break;
    case CTRL_DATE:
        HideEditor();
        if (focused) CommitDate();
        break;
    case CTRL_TREE:
        if (focused) CommitTree();
        else HideEditor();
        break;
    default: HideEditor(); break;
    }
}

void CkxListCtrlEdit::CommitEditBox() {
    _cell* cell = GetCurSelCell();
    if (cell) {
        const std::string text = m_edit->text().toStdString();
        const bool number = cell->nValueType == KXV_INT || cell->nValueType == KXV_FLOAT;
        if (text.empty() && number) {
            // An emptied number cell has no value but stays a number cell.
            cell->value.Void();
        } else if (text.empty()) {
            cell->value = std::string();
            cell->nValueType = KXV_STR;
        } else if (cell->nValueType == KXV_INT) {
            cell->value = LeadingInt(text);
        } else if (cell->nValueType == KXV_FLOAT) {
            cell->value = LeadingFloat(text);
        } else {
            cell->value = text;
            cell->nValueType = KXV_STR;
        }
        cell->nEdited = 1;
    }
    HideEditor();
    if (cell) Refresh(*cell);
}

void CkxListCtrlEdit::CommitCombo(int index) {
    _cell* cell = GetCurSelCell();
    if (cell) {
        const uint32_t data = index >= 0 && index < static_cast<int>(cell->arCombo.size())
                                  ? cell->arCombo[static_cast<size_t>(index)].data
                                  : 0;
        cell->value = static_cast<int>(data);
        cell->nEdited = 1;
        const int row = m_nRow;
        const int column = m_nCol;
        QPointer<CkxListCtrlEdit> self(this);
        Refresh(*cell);
        if (!self) return;
        _OnComboChange(row, column, data);
        if (!self) return;
    }
    if (!CheckHitLastCell()) HideEditor();
}

void CkxListCtrlEdit::CommitDate() {
    _cell* cell = GetCurSelCell();
    if (!cell) return;
    cell->value = FromQDateTime(m_date->dateTime());
    cell->nValueType = KXV_DATE;
    cell->nEdited = 1;
    Refresh(*cell);
}

void CkxListCtrlEdit::CommitTree() {
    _cell* cell = GetCurSelCell();
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    // An entry chosen by nobody stores nothing.
    const bool store = cell && !selected.isEmpty();
    if (store) {
        cell->value = selected.first()->data(0, kTreeIdRole).toInt();
        cell->nValueType = KXV_INT;
        cell->nEdited = 1;
    }
    HideEditor();
    if (store) Refresh(*cell);
}

void CkxListCtrlEdit::CommitIP() {
    const int row = m_nRow;
    const int column = m_nCol;
    std::string text;
    if (!m_ip->IsBlank()) {
        int b0 = 0, b1 = 0, b2 = 0, b3 = 0;
        m_ip->GetAddress(b0, b1, b2, b3);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d.%d.%d.%d", b0, b1, b2, b3);
        text = buf;
    } else if (GetItemText(row, column).isEmpty()) {
        // Nothing was there and nothing was typed: passing through a cell changes nothing.
        HideEditor();
        return;
    }
    _cell* cell = GetCurSelCell();
    if (cell) {
        // Stored as the cell's value, so the grids' readers see what was typed.
        cell->value = text;
        cell->nEdited = 1;
    }
    HideEditor();
    QPointer<CkxListCtrlEdit> self(this);
    if (cell) Refresh(*cell);
    else SetItemText(row, column, text);
    if (self) Notify(WM_LCE_IPCHANGED, column);
}

void CkxListCtrlEdit::CommitCheck(bool checked) {
    _cell* cell = GetCurSelCell();
    if (!cell) return;
    cell->value = checked ? 1 : 0;
    cell->nEdited = 1;
    Refresh(*cell);
}

void CkxListCtrlEdit::_OnComboChange(int, int, uint32_t) {}
