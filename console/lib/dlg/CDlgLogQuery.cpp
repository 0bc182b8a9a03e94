#include "dlg/CDlgLogQuery.h"

#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDateEdit* DayPicker(QWidget* parent, int id) {
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat("yyyy-MM-dd");
    kx::Dialog::SetDlgItemId(picker, id);
    return picker;
}

COleDateTime DayOf(const QDateEdit* picker) {
    const QDate d = picker->date();
    return COleDateTime(d.year(), d.month(), d.day(), 0, 0, 0);
}

void AddOkCancel(kx::Dialog* dlg, QVBoxLayout* layout, const QString& ok) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(dlg->AddButton(ok, kx::IDOK));
    buttons->addWidget(dlg->AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
}

} // namespace

const char* LogCategoryText(int category) {
    switch (category) {
    case 0: return "<全部>";
    case 1: return "其它";
    case 2: return "用户登录";
    case 3: return "用户管理";
    case 4: return "系统管理";
    case 10: return "目录管理";
    case 20: return "文件管理";
    default: return "";
    }
}

CDlgLogQuery::CDlgLogQuery(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("查询日志"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("参数"), this);
    auto* form = new QFormLayout(group);
    m_level = new QComboBox(group);
    SetDlgItemId(m_level, IDC_LEVEL);
    m_category = new QComboBox(group);
    SetDlgItemId(m_category, IDC_CATEGORY);
    m_start = DayPicker(group, IDC_START);
    m_end = DayPicker(group, IDC_END);
    m_user = new QComboBox(group);
    SetDlgItemId(m_user, IDC_USER);
    form->addRow(QStringLiteral("级    别"), m_level);
    form->addRow(QStringLiteral("类    型"), m_category);
    form->addRow(QStringLiteral("起始时间"), m_start);
    form->addRow(QStringLiteral("终止时间"), m_end);
    form->addRow(QStringLiteral("用    户"), m_user);
    layout->addWidget(group);
    AddOkCancel(this, layout, QStringLiteral("查  询"));
}

void CDlgLogQuery::OnInitDialog() {
    m_level->clear();
    for (int lev = KXLOG_NULL; lev <= KXLOG_ERROR; ++lev) {
        CkxLog probe;
        probe.m_nLev = static_cast<uint8_t>(lev);
        m_level->addItem(QString::fromStdString(probe.GetLevStr()), lev);
    }
    m_category->clear();
    for (int category : {0, 2, 3, 4, 10, 20, 1}) m_category->addItem(QString::fromUtf8(LogCategoryText(category)), category);
    m_user->clear();
    m_user->addItem(QStringLiteral("<全部>"), 0);
    KX_KXXXX().m_UserList.ForEach(
        [&](const CkxUser& u) { m_user->addItem(QString::fromStdString(u.m_strLogon), u.GetID()); });
    for (QComboBox* list : {m_level, m_category, m_user}) list->setCurrentIndex(0);
    kx::Dialog::OnInitDialog();
}

void CDlgLogQuery::OnOK() {
    // The server would answer every line for a reversed range: the opposite of what was asked.
    if (m_start->date() > m_end->date()) {
        kx::Prompt(this, kRangeReversed, kx::PromptOk, kx::PromptWarning);
        m_start->setFocus();
        return;
    }
    m_Filter.m_nLev = static_cast<uint8_t>(m_level->currentData().toInt());
    m_Filter.m_nType = static_cast<uint8_t>(m_category->currentData().toInt());
    m_Filter.m_nTypeSub = 0;
    m_Filter.m_nUser = m_user->currentData().toInt();
    m_Filter.SetQueryTime(DayOf(m_start), DayOf(m_end));
    EndDialog(kx::IDOK);
}

CDlgLogDelete::CDlgLogDelete(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("删除日志"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_day = DayPicker(this, IDC_DAY);
    form->addRow(QStringLiteral("删除在此之前的日志"), m_day);
    layout->addLayout(form);
    AddOkCancel(this, layout, QStringLiteral("确  定"));
}

void CDlgLogDelete::OnOK() {
    if (kx::Prompt(this, kQuestion, kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk) return;
    m_dtTime = DayOf(m_day);
    EndDialog(kx::IDOK);
}
