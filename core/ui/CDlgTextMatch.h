// The small dialogs that help to enter query values:
//   CDlgTextMatch      "文件搜索之名称匹配模式设置": a word and a match mode (begins with, ends with,
//                      contains, whole name) become the LIKE pattern a query template stores for
//                      the file name, with its display form ("%" shown as "*");
//   CkxwDlgQTNumber    "数值": one or two numbers with comparison signs beside them;
//   CkxwDlgQTDatetime  "时间": one or two date-times with comparison signs beside them.
#pragma once

#include "base/OleDate.h"
#include "model/KxExport.h"
#include "qt/KxDialog.h"

#include <string>

class QDateTimeEdit;
class QLabel;
class QRadioButton;
namespace kx {
class Edit;
}

class KX_EXPORT CDlgTextMatch : public kx::Dialog {
    Q_OBJECT
public:
    enum { MODE_NONE = 0, MODE_HEAD = 1, MODE_TAIL = 2, MODE_INCLUDE = 3, MODE_WHOLE = 4 };
    enum { IDC_RAD_HEAD = 1250, IDC_RAD_TAIL = 1252, IDC_RAD_INCLUDE = 1253, IDC_RAD_WHOLE = 1254 };
    enum { IDC_EDT_HEAD = 1257, IDC_EDT_TAIL = 1258, IDC_EDT_INCLUDE = 1259, IDC_EDT_WHOLE = 1260 };
    // Each word stops at this many GBK bytes, so every pattern fits the template's name field.
    static constexpr int kWordLimit = 40;

    explicit CDlgTextMatch(QWidget* parent = nullptr);

    // A copy of the text with every "%" shown as "*".
    static std::string ChangeText(const std::string& text);

    int IsMatchHead() const { return m_nMode == MODE_HEAD; }
    int IsMatchTail() const { return m_nMode == MODE_TAIL; }
    int IsMatchInclude() const { return m_nMode == MODE_INCLUDE; }
    int IsMatchWhole() const { return m_nMode == MODE_WHOLE; }
    int GetMode() const { return m_nMode; }
    // Chooses a mode as its radio button does: only its edit enabled, every edit emptied.
    void ChooseMode(int mode);

    // In: the current pattern. After OK: the new pattern and its display form.
    std::string m_strPattern;
    std::string m_strText;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    kx::Edit* EditOf(int mode) const;
    int m_nMode = MODE_NONE;
};

// The current pattern comes in through `text`; after OK `text` holds the display form and
// `pattern` the new pattern, and 1 is returned; else 0 and both are untouched.
KX_EXPORT int KX_ShowDlg_TextMatch(std::string& text, std::string& pattern);

// The two value dialogs share their sign labels ("从" and "到" until a setter runs).
class KX_EXPORT CkxwDlgQTValue : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_LABEL_1 = 1125, IDC_LABEL_2 = 1126 };

    void SetDlg_Equal() { SetSigns("=", ""); }
    void SetDlg_Great() { SetSigns(">", ""); }
    void SetDlg_Low() { SetSigns("<", ""); }
    void SetDlg_GreatEqual() { SetSigns(">=", ""); }
    void SetDlg_LowEqual() { SetSigns("<=", ""); }
    void SetDlg_FromTo() { SetSigns(">", "<"); }
    void SetDlg_FromTo_CloseRight() { SetSigns(">", "<="); }
    void SetDlg_FromTo_CloseLeft() { SetSigns(">=", "<"); }
    void SetDlg_FromTo_CloseTwo() { SetSigns(">=", "<="); }
    std::string GetSign1() const;
    std::string GetSign2() const;

protected:
    CkxwDlgQTValue(const char* caption, QWidget* parent);
    void SetSigns(const char* first, const char* second);
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
};

class KX_EXPORT CkxwDlgQTNumber : public CkxwDlgQTValue {
    Q_OBJECT
public:
    enum { IDC_EDT_1 = 1122, IDC_EDT_2 = 1123 };
    explicit CkxwDlgQTNumber(QWidget* parent = nullptr);

    // Take the edits first; the leading digits of the text, 0 when there are none.
    int GetInt1();
    int GetInt2();
    char GetChar1() { return static_cast<char>(GetInt1()); }
    char GetChar2() { return static_cast<char>(GetInt2()); }
    short GetShort1() { return static_cast<short>(GetInt1()); }
    short GetShort2() { return static_cast<short>(GetInt2()); }
    // The stored texts, without taking the edits.
    long GetLong1() const { return static_cast<long>(LeadingNumber(m_str1)); }
    long GetLong2() const { return static_cast<long>(LeadingNumber(m_str2)); }
    float GetFloat1() const { return static_cast<float>(LeadingFloat(m_str1)); }
    float GetFloat2() const { return static_cast<float>(LeadingFloat(m_str2)); }
    double GetDouble1() const { return LeadingFloat(m_str1); }
    double GetDouble2() const { return LeadingFloat(m_str2); }

    static long long LeadingNumber(const std::string& text);
    static double LeadingFloat(const std::string& text);

    std::string m_str1, m_str2;

protected:
    void DoDataExchange(kx::DataExchange& dx) override;
};

class KX_EXPORT CkxwDlgQTDatetime : public CkxwDlgQTValue {
    Q_OBJECT
public:
    enum { IDC_DT_1 = 1127, IDC_DT_2 = 1109 };
    explicit CkxwDlgQTDatetime(QWidget* parent = nullptr);

    COleDateTime GetDt1();
    COleDateTime GetDt2();

protected:
    void DoDataExchange(kx::DataExchange& dx) override;

private:
    COleDateTime m_dt1, m_dt2;
};
