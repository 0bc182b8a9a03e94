#include "dlg/CDlgPrintLayout.h"

#include "app/CVarniaStudioApp.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The radios in id order, and the group each belongs to.
constexpr int kFirstRadio = CDlgPrintLayout::IDC_PORTRAIT;
bool SameGroup(int a, int b) {
    auto group = [](int id) { return id <= CDlgPrintLayout::IDC_LANDSCAPE ? 0 : 1; };
    return group(a) == group(b);
}

} // namespace

CDlgPrintLayout::CDlgPrintLayout(CVarniaStudioApp& app, QWidget* parent) : kx::Dialog(parent), m_app(app) {
    setWindowTitle(QStringLiteral("打印排版"));
    setObjectName(QString::number(IDD));
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    struct Group {
        const char* title;
        int first, last;
    } const boxes[] = {{"绘图方向", IDC_PORTRAIT, IDC_LANDSCAPE}, {"打印方式", IDC_FIT_NATURAL, IDC_FIT_FILL}};
    const char* texts[5] = {"纵向", "横向", "原图尺寸", "适合纸张", "铺满纸张"};
    for (const Group& g : boxes) {
        auto* box = new QGroupBox(QString::fromUtf8(g.title), this);
        auto* inBox = new QVBoxLayout(box);
        for (int id = g.first; id <= g.last; ++id) {
            auto* radio = new QRadioButton(QString::fromUtf8(texts[id - kFirstRadio]), box);
            SetDlgItemId(radio, id);
            // One group per box by hand, as each click decides for its own group.
            radio->setAutoExclusive(false);
            connect(radio, &QRadioButton::clicked, this, [this, id] { Check(id); });
            m_radios[id - kFirstRadio] = radio;
            inBox->addWidget(radio);
        }
        inBox->addStretch();
        groups->addWidget(box);
    }
    layout->addLayout(groups);
    m_showAlways = new QCheckBox(QStringLiteral("每次打印时都显示本窗口"), this);
    SetDlgItemId(m_showAlways, IDC_SHOW_ALWAYS);
    layout->addWidget(m_showAlways);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
}

void CDlgPrintLayout::Check(int id) {
    for (int other = IDC_PORTRAIT; other <= IDC_FIT_FILL; ++other)
        if (SameGroup(id, other)) m_radios[other - kFirstRadio]->setChecked(other == id);
}

void CDlgPrintLayout::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    m_nOrientation = m_app.GetPrintOrientation();
    m_nFitMode = m_app.GetPrintFitMode();
    for (QRadioButton* radio : m_radios) radio->setChecked(false);
    if (m_nOrientation == 1) Check(IDC_PORTRAIT);
    else if (m_nOrientation == 2) Check(IDC_LANDSCAPE);
    if (m_nFitMode >= 1 && m_nFitMode <= 3) Check(IDC_FIT_NATURAL + m_nFitMode - 1);
    m_showAlways->setChecked(m_app.GetPrintShow() == 1);
}

void CDlgPrintLayout::OnOK() {
    m_nOrientation = m_radios[IDC_PORTRAIT - kFirstRadio]->isChecked() ? 1 : 2;
    for (int mode = 1; mode <= 3; ++mode)
        if (m_radios[IDC_FIT_NATURAL + mode - 1 - kFirstRadio]->isChecked()) {
            m_nFitMode = mode;
            break;
        }
    m_app.SetPrintOrientation(m_nOrientation);
    m_app.SavePrinterDevMode();
    m_app.SetPrintFitMode(m_nFitMode);
    m_app.SetPrintShow(m_showAlways->isChecked() ? 1 : 0);
    EndDialog(kx::IDOK);
}
