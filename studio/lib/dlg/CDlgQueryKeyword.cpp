#include "dlg/CDlgQueryKeyword.h"

#include "dlg/CDlgKeywordChooser.h"

#include "qt/KxPrompt.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CDlgQueryKeyword::CDlgQueryKeyword(CStudioLink& link, QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("查询文件"));
    auto* layout = new QVBoxLayout(this);
    auto* frame = new QFrame(this);
    SetDlgItemId(frame, IDC_FRAME);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* inFrame = new QVBoxLayout(frame);
    layout->addWidget(frame, 1);
    m_chooser = new CDlgKeywordChooser(link);
    m_chooser->Create(frame);
    inFrame->addWidget(m_chooser);
    auto* bottom = new QHBoxLayout;
    m_all = new QRadioButton(QStringLiteral("包含全部关键字"), this);
    SetDlgItemId(m_all, IDC_MATCH_ALL);
    m_any = new QRadioButton(QStringLiteral("包含任一个关键字"), this);
    SetDlgItemId(m_any, IDC_MATCH_ANY);
    // Exclusive by hand: each click sets the mode, as the two buttons are not one group.
    m_all->setAutoExclusive(false);
    m_any->setAutoExclusive(false);
    connect(m_all, &QRadioButton::clicked, this, [this] { SetMode(kMatchAll); });
    connect(m_any, &QRadioButton::clicked, this, [this] { SetMode(kMatchAny); });
    bottom->addWidget(m_all);
    bottom->addWidget(m_any);
    bottom->addStretch();
    bottom->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    bottom->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(bottom);
    resize(640, 440);
}

void CDlgQueryKeyword::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    SetMode(kMatchAll);
}

void CDlgQueryKeyword::SetMode(int mode) {
    m_nMode = mode;
    m_all->setChecked(mode == kMatchAll);
    m_any->setChecked(mode == kMatchAny);
}

void CDlgQueryKeyword::OnOK() {
    if (!m_chooser) return;
    m_chooser->GetKeywordIds(m_keywordIds);
    if (m_keywordIds.empty()) {
        kx::Prompt(this, "请指定查询关键字", kx::PromptOk, kx::PromptWarning);
        return;
    }
    EndDialog(kx::IDOK);
}
