#include "ui/CDlgGetDate.h"

#include "qt/KxComboBox.h"

#include <QDate>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kx {

CkxDt2 WholeDays(const COleDateTime& first, const COleDateTime& last) {
    return CkxDt2(COleDateTime(first.GetYear(), first.GetMonth(), first.GetDay(), 0, 0, 0),
                  COleDateTime(last.GetYear(), last.GetMonth(), last.GetDay(), 23, 59, 59));
}

} // namespace kx

namespace {

// A date picker in the long date form with a calendar dropping down, showing today.
QDateEdit* MakeDatePicker(kx::Dialog* dlg, int id) {
    auto* picker = new QDateEdit(QDate::currentDate(), dlg);
    kx::Dialog::SetDlgItemId(picker, id);
    picker->setDisplayFormat(QStringLiteral("yyyy'年'M'月'd'日'"));
    picker->setCalendarPopup(true);
    return picker;
}

// The year box: a number that only the arrows change (up-down buttons and arrow keys, wrapping
// at the ends of the range); typing into it does nothing. Its text box is the buddy edit.
class YearUpDown : public QSpinBox {
public:
    explicit YearUpDown(QWidget* parent) : QSpinBox(parent) {
        setWrapping(true);
        setGroupSeparatorShown(false);
        lineEdit()->setReadOnly(true);
    }
    QLineEdit* Buddy() const { return lineEdit(); }
};

} // namespace

CDlgGetDay::CDlgGetDay(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("某天"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeDatePicker(this, IDC_DTP_DAY));
    kx::AddOkCancel(this, layout);
}

void CDlgGetDay::DoDataExchange(kx::DataExchange& dx) {
    if (dx.Saving()) kx::DDX_DateTime(dx, IDC_DTP_DAY, m_dtDay); // the picker opens on today
}

CDlgGetMonth::CDlgGetMonth(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("某月"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* year = new YearUpDown(this);
    SetDlgItemId(year, IDC_SPIN_YEAR);
    SetDlgItemId(year->Buddy(), IDC_EDT_YEAR);
    year->setRange(kFirstYear, kLastYear);
    row->addWidget(year);
    row->addWidget(new QLabel(QStringLiteral("年"), this));
    month_ = new kx::ComboBox(this);
    SetDlgItemId(month_, IDC_CMB_MONTH);
    static const char* const names[] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                        "七月", "八月", "九月", "十月", "十一月", "十二月"};
    for (int m = 1; m <= 12; ++m) month_->AddString(QString::fromUtf8(names[m - 1]), m);
    row->addWidget(month_);
    row->addWidget(new QLabel(QStringLiteral("月"), this));
    layout->addLayout(row);
    kx::AddOkCancel(this, layout);
}

void CDlgGetMonth::OnInitDialog() {
    QDate today = QDate::currentDate();
    GetDlgItemAs<QSpinBox>(IDC_SPIN_YEAR)->setValue(today.year());
    month_->SelectData(today.month());
    kx::Dialog::OnInitDialog();
}

void CDlgGetMonth::DoDataExchange(kx::DataExchange& dx) {
    if (!dx.Saving()) return; // the controls open on the current year and month
    kx::DDX_Text(dx, IDC_EDT_YEAR, m_nYear);
    kx::DDX_CBData(dx, IDC_CMB_MONTH, m_nMonth);
}

CDlgGetTimeRange::CDlgGetTimeRange(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("时间段"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("从"), this), 0, 0);
    grid->addWidget(MakeDatePicker(this, IDC_DTP_FROM), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("到"), this), 1, 0);
    grid->addWidget(MakeDatePicker(this, IDC_DTP_TO), 1, 1);
    layout->addLayout(grid);
    kx::AddOkCancel(this, layout);
}

void CDlgGetTimeRange::DoDataExchange(kx::DataExchange& dx) {
    if (!dx.Saving()) return; // both pickers open on today
    kx::DDX_DateTime(dx, IDC_DTP_FROM, m_dtFrom);
    kx::DDX_DateTime(dx, IDC_DTP_TO, m_dtTo);
}

int KX_ShowDlg_GetDay(CkxDt2& range) {
    return kx::RunDlg<CDlgGetDay>([](CDlgGetDay&) {},
                                  [&](CDlgGetDay& d) { range = kx::WholeDays(d.m_dtDay, d.m_dtDay); });
}

int KX_ShowDlg_GetMonth(CkxDt2& range) {
    return kx::RunDlg<CDlgGetMonth>([](CDlgGetMonth&) {}, [&](CDlgGetMonth& d) {
        // The last day is the day before the first of the following month (January of the next
        // year after December).
        bool december = d.m_nMonth == 12;
        COleDateTime next(december ? d.m_nYear + 1 : d.m_nYear, december ? 1 : d.m_nMonth + 1, 1, 0, 0, 0);
        range = kx::WholeDays(COleDateTime(d.m_nYear, d.m_nMonth, 1, 0, 0, 0), COleDateTime(DATE(next) - 1.0));
    });
}

int KX_ShowDlg_GetTimeRange(CkxDt2& range) {
    return kx::RunDlg<CDlgGetTimeRange>([](CDlgGetTimeRange&) {}, [&](CDlgGetTimeRange& d) {
        range = kx::WholeDays(d.m_dtFrom, d.m_dtTo);
    });
}
