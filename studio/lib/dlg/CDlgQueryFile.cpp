#include "dlg/CDlgQueryFile.h"

#include "app/CvClientApp.h"
#include "session/CStudioLink.h"

#include "model/CkxXXX.h"
#include "qt/KxPrompt.h"
#include "ui/CDlgQueryCondition.h"
#include "ui/CDlgQueryTempletEdit.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kUnlimitedQuestion =
    "没有限定范围查询会返回大量文件,可能造成系统不稳定!\n建议设定有效查询参数!\n\n确定查询?";

} // namespace

CDlgQueryFile::CDlgQueryFile(CStudioLink& link, QWidget* parent) : kx::Dialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("查询文件"));
    auto* layout = new QVBoxLayout(this);
    m_frame = new QGroupBox(QStringLiteral("模板编辑"), this);
    SetDlgItemId(m_frame, IDC_FRAME);
    new QVBoxLayout(m_frame);
    layout->addWidget(m_frame, 1);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("保存为查询模板"), this);
    SetDlgItemId(save, IDC_SAVE_TEMPLET);
    auto* open = new QPushButton(QStringLiteral("打开查询模板"), this);
    SetDlgItemId(open, IDC_OPEN_TEMPLET);
    for (QPushButton* b : {save, open}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(save, &QPushButton::clicked, this, [this] { OnSaveTemplet(); });
    connect(open, &QPushButton::clicked, this, [this] { OnOpenTemplet(); });
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("查  询"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
    resize(560, 720);
}

void CDlgQueryFile::SetFamily(int familyId) {
    CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    fix.nFamilyID = familyId;
    fix.bFamilySelf = 1;
    fix.bFamilyDerived = 0;
    if (m_panel) m_panel->SetQueryTemplet(&m_Templet);
}

void CDlgQueryFile::SetFolder(int folderId) {
    CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    fix.nDirID = folderId;
    fix.bDirSelf = 1;
    fix.bDirBelow = 0;
    if (m_panel) m_panel->SetQueryTemplet(&m_Templet);
}

void CDlgQueryFile::SetAnyFolder() {
    CkxQueryTemplet::_FIX& fix = m_Templet.m_Fix;
    fix.nDirID = -1;
    fix.bDirSelf = fix.bDirBelow = 1;
}

void CDlgQueryFile::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    if (!m_panel) {
        // The panel lies in the frame and follows it through the frame's layout.
        m_panel = new CDlgQueryCondition(m_frame);
        m_panel->EnableFamily(m_nPanelMode);
        m_panel->Create(m_frame);
        m_frame->layout()->addWidget(m_panel);
    }
    m_panel->SetQueryTemplet(&m_Templet);
}

void CDlgQueryFile::OnSaveTemplet() {
    CkxQueryTemplet named;
    if (!KX_ShowDlg_QueryTempletBase(1, named) || !m_panel) return;
    CkxQueryTemplet copy = *m_panel->GetQueryTemplet();
    copy.m_nID = -1; // a new template, whatever the panel was showing
    copy.m_strName = named.m_strName;
    copy.m_strRemark = named.m_strRemark;
    m_link.SendQueryTempletAddRequest(copy);
}

void CDlgQueryFile::OnOpenTemplet() {
    int id = -1;
    if (!KX_ShowDlg_QueryTempletSelect(id) || !m_panel) return;
    if (const CkxQueryTemplet* stored = KX_QueryTempletList().Find(id)) m_panel->SetQueryTemplet(stored);
}

void CDlgQueryFile::OnOK() {
    if (m_panel) m_Templet = *m_panel->GetQueryTemplet();
    if (!m_Templet.IsValid() &&
        kx::Prompt(this, kUnlimitedQuestion, kx::PromptOkCancel, kx::PromptQuestion) != kx::AnswerOk)
        return;
    EndDialog(kx::IDOK);
}

int CDlgQueryFile::QueryFiles(CStudioLink& link, QWidget* parent, const std::function<void(CDlgQueryFile&)>& preset) {
    CDlgQueryFile dlg(link, parent);
    dlg.SetPanelMode(0);
    if (preset) preset(dlg);
    const int result = dlg.DoModal();
    if (result == kx::IDOK)
        if (CvClientApp* app = CvClientApp::Current()) app->QueryByTemplet(link, CkxQueryTemplet(dlg.m_Templet));
    return result;
}
