#include "ui/CDlgTextMatch.h"

#include "qt/KxEdit.h"
#include "ui/KxShowDlg.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cctype>
#include <cstdlib>

namespace {

struct ModeRow {
    int mode, radio, edit;
    const char* radioText;
    const char* after;
    const char* example;
};

const ModeRow kModes[] = {
    {CDlgTextMatch::MODE_HEAD, CDlgTextMatch::IDC_RAD_HEAD, CDlgTextMatch::IDC_EDT_HEAD, "以字符串", "开头",
     "(以\"北京\"开头,将查询出如: \"北京天安门\", \"北京天坛\")"},
    {CDlgTextMatch::MODE_TAIL, CDlgTextMatch::IDC_RAD_TAIL, CDlgTextMatch::IDC_EDT_TAIL, "以字符串", "结尾",
     "(以\"机场\"结尾,将查询出如: \"香港启德机场\", \"深圳宝安机场\")"},
    {CDlgTextMatch::MODE_INCLUDE, CDlgTextMatch::IDC_RAD_INCLUDE, CDlgTextMatch::IDC_EDT_INCLUDE, "含字符串", "",
     "(包含\"故宫\",将查询出如: \"故宫藏宝\", \"北京故宫博物馆\")"},
    {CDlgTextMatch::MODE_WHOLE, CDlgTextMatch::IDC_RAD_WHOLE, CDlgTextMatch::IDC_EDT_WHOLE, "全名匹配", "",
     "(全名\"香山红叶\",将查询出如: \"香山红叶\")"},
};

} // namespace

// ---- CDlgTextMatch ----

CDlgTextMatch::CDlgTextMatch(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("文件搜索之名称匹配模式设置"));
    auto* layout = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("匹配模式选择"), this);
    auto* grid = new QGridLayout(box);
    int line = 0;
    for (const ModeRow& m : kModes) {
        auto* radio = new QRadioButton(QString::fromUtf8(m.radioText), box);
        radio->setAutoExclusive(false); // the click handler keeps the four exclusive
        SetDlgItemId(radio, m.radio);
        kx::Edit* edit = kx::MakeEdit(this, m.edit, kWordLimit);
        grid->addWidget(radio, line, 0);
        grid->addWidget(edit, line, 1);
        grid->addWidget(new QLabel(QString::fromUtf8(m.after), box), line, 2);
        grid->addWidget(new QLabel(QString::fromUtf8(m.example), box), line + 1, 0, 1, 3);
        connect(radio, &QRadioButton::clicked, this, [this, mode = m.mode] { ChooseMode(mode); });
        line += 2;
    }
    layout->addWidget(box);
    kx::AddOkCancel(this, layout);
}

std::string CDlgTextMatch::ChangeText(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '%') c = '*';
    return out;
}

kx::Edit* CDlgTextMatch::EditOf(int mode) const {
    for (const ModeRow& m : kModes)
        if (m.mode == mode) return GetDlgItemAs<kx::Edit>(m.edit);
    return nullptr;
}

void CDlgTextMatch::ChooseMode(int mode) {
    m_nMode = mode;
    for (const ModeRow& m : kModes) {
        if (auto* radio = GetDlgItemAs<QRadioButton>(m.radio)) radio->setChecked(m.mode == mode);
        if (kx::Edit* edit = EditOf(m.mode)) {
            edit->setEnabled(m.mode == mode);
            edit->clear();
        }
    }
    if (kx::Edit* edit = EditOf(mode)) edit->setFocus();
}

void CDlgTextMatch::OnInitDialog() {
    ChooseMode(MODE_INCLUDE);
    const std::string& p = m_strPattern;
    if (!p.empty()) {
        const bool lead = p.front() == '%', trail = p.back() == '%';
        if (lead && trail) {
            // "%" alone is both ends: the include mode with an empty word.
            ChooseMode(MODE_INCLUDE);
            EditOf(MODE_INCLUDE)->setText(kx::Q(p.size() >= 2 ? p.substr(1, p.size() - 2) : std::string()));
        } else if (lead) {
            ChooseMode(MODE_TAIL);
            EditOf(MODE_TAIL)->setText(kx::Q(p.substr(1)));
        } else if (trail) {
            ChooseMode(MODE_HEAD);
            EditOf(MODE_HEAD)->setText(kx::Q(p.substr(0, p.size() - 1)));
        } else {
            ChooseMode(MODE_WHOLE);
            EditOf(MODE_WHOLE)->setText(kx::Q(p));
        }
    }
    kx::Dialog::OnInitDialog();
}

void CDlgTextMatch::OnOK() {
    const kx::Edit* edit = EditOf(m_nMode);
    const std::string word = edit ? edit->text().toStdString() : std::string();
    switch (m_nMode) {
    case MODE_HEAD: m_strPattern = word + "%"; break;
    case MODE_TAIL: m_strPattern = "%" + word; break;
    case MODE_INCLUDE: m_strPattern = "%" + word + "%"; break;
    case MODE_WHOLE: m_strPattern = word; break;
    default: m_strPattern.clear(); break;
    }
    m_strText = ChangeText(m_strPattern);
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_TextMatch(std::string& text, std::string& pattern) {
    return kx::RunDlg<CDlgTextMatch>([&](CDlgTextMatch& d) { d.m_strPattern = text; },
                                     [&](CDlgTextMatch& d) {
                                         text = d.m_strText;
                                         pattern = d.m_strPattern;
                                     });
}

// ---- the value dialogs ----

CkxwDlgQTValue::CkxwDlgQTValue(const char* caption, QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QString::fromUtf8(caption));
    m_label1 = new QLabel(QStringLiteral("从"), this);
    SetDlgItemId(m_label1, IDC_LABEL_1);
    m_label2 = new QLabel(QStringLiteral("到"), this);
    SetDlgItemId(m_label2, IDC_LABEL_2);
}

void CkxwDlgQTValue::SetSigns(const char* first, const char* second) {
    m_label1->setText(QString::fromUtf8(first));
    m_label2->setText(QString::fromUtf8(second));
}

std::string CkxwDlgQTValue::GetSign1() const { return m_label1->text().toStdString(); }
std::string CkxwDlgQTValue::GetSign2() const { return m_label2->text().toStdString(); }

namespace {
// Two rows of sign and value, then OK and Cancel.
void LayOut(kx::Dialog* dlg, QLabel* l1, QWidget* v1, QLabel* l2, QWidget* v2) {
    auto* layout = new QVBoxLayout(dlg);
    auto* grid = new QGridLayout;
    grid->addWidget(l1, 0, 0);
    grid->addWidget(v1, 0, 1);
    grid->addWidget(l2, 1, 0);
    grid->addWidget(v2, 1, 1);
    layout->addLayout(grid);
    kx::AddOkCancel(dlg, layout);
}
} // namespace

CkxwDlgQTNumber::CkxwDlgQTNumber(QWidget* parent) : CkxwDlgQTValue("数值", parent) {
    kx::Edit* e1 = kx::MakeEdit(this, IDC_EDT_1, 0);
    kx::Edit* e2 = kx::MakeEdit(this, IDC_EDT_2, 0);
    e1->SetDigitsOnly(true);
    e2->SetDigitsOnly(true);
    LayOut(this, m_label1, e1, m_label2, e2);
}

void CkxwDlgQTNumber::DoDataExchange(kx::DataExchange& dx) {
    kx::DDX_Text(dx, IDC_EDT_1, m_str1);
    kx::DDX_Text(dx, IDC_EDT_2, m_str2);
}

long long CkxwDlgQTNumber::LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > 0x7FFFFFFFLL) v = 0x7FFFFFFFLL; // saturates instead of wrapping
    }
    return negative ? -v : v;
}

double CkxwDlgQTNumber::LeadingFloat(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

int CkxwDlgQTNumber::GetInt1() {
    UpdateData(true);
    return static_cast<int>(LeadingNumber(m_str1));
}

int CkxwDlgQTNumber::GetInt2() {
    UpdateData(true);
    return static_cast<int>(LeadingNumber(m_str2));
}

CkxwDlgQTDatetime::CkxwDlgQTDatetime(QWidget* parent) : CkxwDlgQTValue("时间", parent) {
    auto* d1 = new QDateTimeEdit(QDateTime::currentDateTime(), this);
    SetDlgItemId(d1, IDC_DT_1);
    auto* d2 = new QDateTimeEdit(QDateTime::currentDateTime(), this);
    SetDlgItemId(d2, IDC_DT_2);
    LayOut(this, m_label1, d1, m_label2, d2);
}

void CkxwDlgQTDatetime::DoDataExchange(kx::DataExchange& dx) {
    kx::DDX_DateTime(dx, IDC_DT_1, m_dt1);
    kx::DDX_DateTime(dx, IDC_DT_2, m_dt2);
}

COleDateTime CkxwDlgQTDatetime::GetDt1() {
    UpdateData(true);
    return m_dt1;
}

COleDateTime CkxwDlgQTDatetime::GetDt2() {
    UpdateData(true);
    return m_dt2;
}
