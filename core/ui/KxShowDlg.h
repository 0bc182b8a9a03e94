// The frame every KX_ShowDlg_* function and every entity dialog of the library shares:
//  - RunDlg builds the dialog without a parent, lets the caller fill it, runs it modally and
//    hands the result back only after OK (1); anything else returns 0 and touches nothing;
//  - ShowEntityDlg does that for a dialog derived from EntityDlg<T>: the caller's entity is
//    assigned to the dialog's own copy (every field, nested lists by assignment) and assigned back
//    after OK;
//  - OkChecks runs a dialog's OK checks in order and stops at the first failure, which is shown
//    as an exclamation message with the focus on the control at fault (the dialog stays open);
//  - small builders for the controls every entity dialog has (limited edits, OK and Cancel).
// Dialogs read the process-wide lists only while filling their controls and keep copies or ids
// afterwards, never pointers into those lists: queued server messages run inside the modal loop
// and may replace or delete any entry.
#pragma once

#include "model/KxExport.h"
#include "qt/KxDialog.h"

#include <QString>

#include <initializer_list>
#include <string>

class QBoxLayout;
class QHBoxLayout;

namespace kx {

class Edit;
class ReportList;

// Name and note edits stop at this many GBK bytes as typed (the person dialog: kPersonTypedLimit).
inline constexpr int kTypedTextLimit = 45;
inline constexpr int kPersonTypedLimit = 50;
// The OK checks refuse names and further texts longer than this many GBK bytes.
inline constexpr size_t kCheckedTextLimit = 50;

// Control ids the entity dialogs share.
inline constexpr int IDC_EDT_NAME = 1030;
inline constexpr int IDC_EDT_NOTE = 1020;

// The validation texts the entity dialogs share.
inline constexpr const char* kNameEmpty = "名称不能为空";
inline constexpr const char* kNameTooLong = "名称长度不能超过50个字母";
inline constexpr const char* kNoteTooLong = "备注长度不能超过50个字母";

// The OK button's text of a dialog that creates (new flag nonzero) or modifies.
inline constexpr const char* kOkCreate = "创  建";
inline constexpr const char* kOkModify = "修  改";

// Runs Dlg modally. `in(dlg)` fills it before it runs (member copy, new flag, caption); `out(dlg)`
// copies the result back and is called only when the dialog ended with IDOK. Returns 1 after OK,
// else 0.
template <class Dlg, class In, class Out>
int RunDlg(In&& in, Out&& out) {
    Dlg dlg; // no parent window
    in(dlg);
    if (dlg.DoModal() != IDOK) return 0;
    out(dlg);
    return 1;
}

// Base of the dialogs that edit one entity: the dialog's own copy, and the new flag (1 after
// construction: create, the controls show their defaults; 0: modify, the controls are loaded from
// the copy). Dialogs that only modify set m_nNew to 0 in their constructor.
template <class T>
class EntityDlg : public Dialog {
public:
    explicit EntityDlg(QWidget* parent = nullptr) : Dialog(parent) {}

    T m_Entity;
    int m_nNew = 1;

protected:
    bool IsNew() const { return m_nNew != 0; }
    // True when the data exchange should run: always when reading the controls back, and when
    // filling them only in modify mode.
    bool ExchangeRuns(const DataExchange& dx) const { return dx.Saving() || !IsNew(); }
};

// The show function of an entity dialog that only modifies.
template <class Dlg, class T>
int ShowEntityDlg(T& entity) {
    return RunDlg<Dlg>([&](Dlg& d) { d.m_Entity = entity; }, [&](Dlg& d) { entity = d.m_Entity; });
}

// The show function of an entity dialog with a new flag.
template <class Dlg, class T>
int ShowEntityDlg(int newFlag, T& entity) {
    return RunDlg<Dlg>(
        [&](Dlg& d) {
            d.m_nNew = newFlag;
            d.m_Entity = entity;
        },
        [&](Dlg& d) { entity = d.m_Entity; });
}

// A dialog's OK checks, in the order written; the first failure shows its message (exclamation
// icon, one OK button, through the prompt service), puts the focus on the control with the id,
// and every later check does nothing.
//
//     OkChecks ok(*this);
//     ok.NotEmpty(IDC_EDT_NAME, name, kNameEmpty).AtMost(IDC_EDT_NAME, name, kNameTooLong)
//       .AtMost(IDC_EDT_NOTE, note, kNoteTooLong);
//     if (ok.Passed()) EndDialog(IDOK);
class KX_EXPORT OkChecks {
public:
    explicit OkChecks(Dialog& dlg) : dx_(&dlg, true) {}

    OkChecks& NotEmpty(int id, const std::string& text, const char* message);
    // At most `limit` bytes in GBK form (a Chinese character counts 2).
    OkChecks& AtMost(int id, const std::string& text, const char* message,
                     size_t limit = kCheckedTextLimit);
    // A dialog's own test: fails with the message when `ok` is false.
    OkChecks& Require(bool ok, int id, const char* message);

    bool Passed() const { return !dx_.Failed(); }

private:
    DataExchange dx_;
};

// A single-line edit with the id, refusing characters without GBK form and stopping at
// `limitBytes` GBK bytes as typed (0: no limit).
KX_EXPORT Edit* MakeEdit(Dialog* dlg, int id, int limitBytes = kTypedTextLimit);

// The OK (IDOK, "确  定") and Cancel (IDCANCEL, "取  消") buttons, right-aligned in a row added
// to `layout`; returns the OK button.
KX_EXPORT QPushButton* AddOkCancel(Dialog* dlg, QBoxLayout* layout);

// A column of a dialog's report list: title and width (left-aligned).
struct ListColumn {
    const char* title;
    int width;
};

// A report list with the id, full-row selection, info tips and the columns. With `okOnDoubleClick`
// a double click on a row does what OK does.
KX_EXPORT ReportList* MakeReportList(Dialog* dlg, int id, std::initializer_list<ListColumn> columns,
                                     bool okOnDoubleClick = false);

// Gives the OK button "创  建" (new flag nonzero) or "修  改".
KX_EXPORT void SetOkTextByNewFlag(Dialog* dlg, int newFlag);

// A UTF-8 text as a QString.
inline QString Q(const std::string& s) { return QString::fromStdString(s); }

} // namespace kx
