// The day, month and time-range pickers: each turns a choice of whole days into a date range
// (CkxDt2) from the first day's 00:00:00 to the last day's 23:59:59, which callers select by.
//   CDlgGetDay        one day (KX_ShowDlg_GetDay)
//   CDlgGetMonth      one month of a year from 1949 to 2099 (KX_ShowDlg_GetMonth)
//   CDlgGetTimeRange  a span from one day to another, in whatever order (KX_ShowDlg_GetTimeRange)
// The range handed in is not shown; only OK changes it.
#pragma once

#include "model/CkxFixed.h"
#include "ui/KxShowDlg.h"

namespace kx {
class ComboBox;
// The range from `first` at 00:00:00 to `last` at 23:59:59 (the times of day given are ignored).
KX_EXPORT CkxDt2 WholeDays(const COleDateTime& first, const COleDateTime& last);
} // namespace kx

class KX_EXPORT CDlgGetDay : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_DTP_DAY = 1085 };
    explicit CDlgGetDay(QWidget* parent = nullptr);

    COleDateTime m_dtDay; // after OK: the chosen day

protected:
    void DoDataExchange(kx::DataExchange& dx) override;
};

class KX_EXPORT CDlgGetMonth : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_EDT_YEAR = 1209, IDC_SPIN_YEAR = 1211, IDC_CMB_MONTH = 1107 };
    static constexpr int kFirstYear = 1949;
    static constexpr int kLastYear = 2099;

    explicit CDlgGetMonth(QWidget* parent = nullptr);

    int m_nYear = 0;  // after OK: the chosen year
    int m_nMonth = 0; // and month (1 to 12)

protected:
    void OnInitDialog() override;
    void DoDataExchange(kx::DataExchange& dx) override;

private:
    kx::ComboBox* month_;
};

class KX_EXPORT CDlgGetTimeRange : public kx::Dialog {
    Q_OBJECT
public:
    enum { IDC_DTP_FROM = 1212, IDC_DTP_TO = 1109 };
    explicit CDlgGetTimeRange(QWidget* parent = nullptr);

    COleDateTime m_dtFrom; // after OK: the "从" day
    COleDateTime m_dtTo;   // and the "到" day

protected:
    void DoDataExchange(kx::DataExchange& dx) override;
};

// Each returns 1 after OK with the chosen range in `range`, else 0 with `range` untouched.
KX_EXPORT int KX_ShowDlg_GetDay(CkxDt2& range);
KX_EXPORT int KX_ShowDlg_GetMonth(CkxDt2& range);
KX_EXPORT int KX_ShowDlg_GetTimeRange(CkxDt2& range);
