#include "ui/CDlgSliderSetting.h"

#include "qt/KxComboBox.h"
#include "qt/KxEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kMaxSkip = 9;
}

CDlgSliderSetting::CDlgSliderSetting(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("幻灯片设置"));
    auto* layout = new QVBoxLayout(this);
    auto check = [this](const char* text, int id, QWidget* parent) {
        auto* box = new QCheckBox(QString::fromUtf8(text), parent);
        SetDlgItemId(box, id);
        return box;
    };
    // Number edits take digits only: a negative range, interval or count means nothing, and a
    // negative interval would make the player spin.
    auto number = [this](int id, QWidget* parent) {
        auto* edit = new kx::Edit(parent);
        edit->SetDigitsOnly(true);
        SetDlgItemId(edit, id);
        return edit;
    };

    auto* slides = new QGroupBox(QStringLiteral("选择灯片"), this);
    auto* g1 = new QGridLayout(slides);
    g1->addWidget(check("全部", IDC_CHK_ALL, slides), 0, 0);
    g1->addWidget(new QLabel(QStringLiteral("从"), slides), 0, 1);
    g1->addWidget(number(IDC_EDT_FROM, slides), 0, 2);
    g1->addWidget(new QLabel(QStringLiteral("到"), slides), 0, 3);
    g1->addWidget(number(IDC_EDT_TO, slides), 0, 4);
    g1->addWidget(new QLabel(QStringLiteral("播放跳帧个数"), slides), 1, 0, 1, 2);
    skip_ = new kx::ComboBox(slides);
    SetDlgItemId(skip_, IDC_CMB_SKIP);
    g1->addWidget(skip_, 1, 2);
    layout->addWidget(slides);

    auto* order = new QGroupBox(QStringLiteral("播放顺序"), this);
    auto* g2 = new QHBoxLayout(order);
    g2->addWidget(check("正序", IDC_CHK_FORWARD, order));
    g2->addWidget(check("倒序", IDC_CHK_BACKWARD, order));
    g2->addWidget(check("循环播放", IDC_CHK_LOOP, order));
    layout->addWidget(order);

    auto* speed = new QGroupBox(QStringLiteral("播放速度"), this);
    auto* g3 = new QGridLayout(speed);
    g3->addWidget(check("每个灯片间隔时间", IDC_CHK_INTERVAL, speed), 0, 0);
    g3->addWidget(number(IDC_EDT_INTERVAL, speed), 0, 1);
    g3->addWidget(check("秒", IDC_CHK_SECONDS, speed), 0, 2);
    g3->addWidget(check("毫秒", IDC_CHK_MILLISECONDS, speed), 0, 3);
    g3->addWidget(check("每秒播放灯片个数", IDC_CHK_PER_SECOND, speed), 1, 0);
    g3->addWidget(number(IDC_EDT_PER_SECOND, speed), 1, 1);
    g3->addWidget(new QLabel(QStringLiteral("个数"), speed), 1, 2);
    layout->addWidget(speed);
    kx::AddOkCancel(this, layout);

    connect(Check(IDC_CHK_ALL), &QCheckBox::clicked, this, [this] { OnAll(); });
    // Two pairs that behave as radio buttons: the clicked one checked, the other cleared.
    auto pair = [this](int a, int b) {
        connect(Check(a), &QCheckBox::clicked, this, [this, a, b] {
            Check(a)->setChecked(true);
            Check(b)->setChecked(false);
        });
        connect(Check(b), &QCheckBox::clicked, this, [this, a, b] {
            Check(b)->setChecked(true);
            Check(a)->setChecked(false);
        });
    };
    pair(IDC_CHK_FORWARD, IDC_CHK_BACKWARD);
    pair(IDC_CHK_SECONDS, IDC_CHK_MILLISECONDS);
    connect(Check(IDC_CHK_INTERVAL), &QCheckBox::clicked, this, [this] { OnSpeedMode(true); });
    connect(Check(IDC_CHK_PER_SECOND), &QCheckBox::clicked, this, [this] { OnSpeedMode(false); });
    resize(380, sizeHint().height());
}

QCheckBox* CDlgSliderSetting::Check(int id) const { return GetDlgItemAs<QCheckBox>(id); }
kx::Edit* CDlgSliderSetting::EditOf(int id) const { return GetDlgItemAs<kx::Edit>(id); }

void CDlgSliderSetting::OnAll() {
    const bool all = Check(IDC_CHK_ALL)->isChecked();
    EditOf(IDC_EDT_FROM)->setReadOnly(all);
    EditOf(IDC_EDT_TO)->setReadOnly(all);
    skip_->setEnabled(!all);
}

void CDlgSliderSetting::OnSpeedMode(bool interval) {
    Check(IDC_CHK_INTERVAL)->setChecked(interval);
    Check(IDC_CHK_PER_SECOND)->setChecked(!interval);
    Check(IDC_CHK_SECONDS)->setEnabled(interval);
    Check(IDC_CHK_MILLISECONDS)->setEnabled(interval);
    EditOf(IDC_EDT_INTERVAL)->setReadOnly(!interval);
    EditOf(IDC_EDT_PER_SECOND)->setReadOnly(interval);
}

void CDlgSliderSetting::OnInitDialog() {
    skip_->ResetContent();
    for (int n = 1; n <= kMaxSkip; ++n) skip_->AddString(QString::number(n), n);
    skip_->SetCurSel(0);

    const CkxPlayParam& p = m_Param;
    Check(IDC_CHK_ALL)->setChecked(p.m_bWhole != 0);
    OnAll();
    Check(IDC_CHK_FORWARD)->setChecked(p.m_nOrder == 1);
    Check(IDC_CHK_BACKWARD)->setChecked(p.m_nOrder == 2);
    Check(IDC_CHK_LOOP)->setChecked(p.m_bLoop != 0);
    Check(IDC_CHK_INTERVAL)->setChecked(p.m_nSpeedMode == 1);
    Check(IDC_CHK_PER_SECOND)->setChecked(p.m_nSpeedMode == 2);
    Check(IDC_CHK_SECONDS)->setEnabled(p.m_nSpeedMode == 1);
    Check(IDC_CHK_MILLISECONDS)->setEnabled(p.m_nSpeedMode == 1);
    Check(IDC_CHK_SECONDS)->setChecked(p.m_nTimeUnit == 1);
    Check(IDC_CHK_MILLISECONDS)->setChecked(p.m_nTimeUnit == 2);
    EditOf(IDC_EDT_INTERVAL)->setReadOnly(p.m_nSpeedMode != 1);
    EditOf(IDC_EDT_PER_SECOND)->setReadOnly(p.m_nSpeedMode != 2);
    m_nFrom = p.m_nRangeStart;
    m_nTo = p.m_nRangeEnd;
    m_nInterval = p.m_nInterTime;
    m_nPerSecond = p.m_nFrameNum;
    skip_->SelectData(p.m_nStep);
    kx::Dialog::OnInitDialog();
}

void CDlgSliderSetting::DoDataExchange(kx::DataExchange& dx) {
    kx::DDX_Text(dx, IDC_EDT_FROM, m_nFrom);
    kx::DDX_Text(dx, IDC_EDT_TO, m_nTo);
    kx::DDX_Text(dx, IDC_EDT_INTERVAL, m_nInterval);
    kx::DDX_Text(dx, IDC_EDT_PER_SECOND, m_nPerSecond);
}

void CDlgSliderSetting::OnOK() {
    if (!UpdateData(true)) return;
    CkxPlayParam& p = m_Param;
    p.m_bWhole = Check(IDC_CHK_ALL)->isChecked() ? 1 : 0;
    if (!p.m_bWhole) {
        p.m_nRangeStart = m_nFrom;
        p.m_nRangeEnd = m_nTo;
        const int skip = skip_->GetCurSel() >= 0 ? static_cast<int>(skip_->GetCurSelData()) : -1;
        p.m_nStep = skip < 0 ? 0 : skip;
    }
    if (Check(IDC_CHK_FORWARD)->isChecked()) p.m_nOrder = 1;
    else if (Check(IDC_CHK_BACKWARD)->isChecked()) p.m_nOrder = 2;
    p.m_bLoop = Check(IDC_CHK_LOOP)->isChecked() ? 1 : 0;
    if (Check(IDC_CHK_INTERVAL)->isChecked()) {
        p.m_nSpeedMode = 1;
        p.m_nInterTime = m_nInterval;
        p.m_nTimeUnit = Check(IDC_CHK_SECONDS)->isChecked() ? 1 : 2;
    } else if (Check(IDC_CHK_PER_SECOND)->isChecked()) {
        p.m_nSpeedMode = 2;
        p.m_nFrameNum = m_nPerSecond;
    }
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_SliderSetting(CkxPlayParam& param) {
    return kx::RunDlg<CDlgSliderSetting>([&](CDlgSliderSetting& d) { d.m_Param = param; },
                                         [&](CDlgSliderSetting& d) { param = d.m_Param; });
}
