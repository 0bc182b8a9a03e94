#include "dlg/CDlgKeywordBind.h"

#include "dlg/CKeywordPickPanel.h"
#include "session/CStudioLink.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxFile.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxXXX.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTextLimit = 45;

} // namespace

CDlgKeywordBind::CDlgKeywordBind(CStudioLink& link, QWidget* parent) : kx::Dialog(parent), m_link(link) {
    setWindowTitle(QStringLiteral("绑定关键字"));
    auto* layout = new QVBoxLayout(this);
    auto* info = new QGroupBox(QStringLiteral("文件信息"), this);
    auto* form = new QFormLayout(info);
    const auto edit = [&](int id, const char* label) {
        auto* e = new QLineEdit(info);
        SetDlgItemId(e, id);
        e->setMaxLength(kTextLimit);
        e->setReadOnly(true);
        form->addRow(QString::fromUtf8(label), e);
        return e;
    };
    m_name = edit(IDC_NAME, "名  称");
    m_family = edit(IDC_FAMILY, "族  类");
    m_note = edit(IDC_NOTE, "备  注");
    layout->addWidget(info);
    m_panel = new CKeywordPickPanel(this);
    layout->addWidget(m_panel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton(QStringLiteral("确  定"), kx::IDOK));
    buttons->addWidget(AddButton(QStringLiteral("取  消"), kx::IDCANCEL));
    layout->addLayout(buttons);
    resize(640, 460);
    link.Register(kSlotKeywords, this);
    link.Register(kSlotKeywordGroups, this);
}

CDlgKeywordBind::~CDlgKeywordBind() {
    m_link.Unregister(kSlotKeywords, this);
    m_link.Unregister(kSlotKeywordGroups, this);
}

void CDlgKeywordBind::OnInitDialog() {
    kx::Dialog::OnInitDialog();
    std::vector<int> bound;
    if (m_pFile) {
        m_name->setText(QString::fromStdString(m_pFile->GetFileName()));
        m_family->setText(QString::fromStdString(KX_FamilyXXX().family_GetName(m_pFile->GetFamilyID())));
        m_note->setText(QString::fromStdString(m_pFile->m_strRemark));
        KX_KXXXX().m_KeywordLinkList.GetFileKeyword(m_pFile->GetID(), bound);
    }
    m_panel->Start(bound);
}

int CDlgKeywordBind::GetKeywordLinks(CkxKeywordLinkList& links) const {
    const int fileId = m_pFile ? m_pFile->GetID() : -1;
    for (int id : m_panel->BoundIds()) links.AddTail(CkxKeywordLink(fileId, id));
    return static_cast<int>(m_panel->BoundIds().size());
}

kx::LRESULT CDlgKeywordBind::OnWindowMessage(unsigned message, kx::WPARAM wParam, kx::LPARAM lParam) {
    if (message != kx::WM_USER) return kx::Dialog::OnWindowMessage(message, wParam, lParam);
    m_panel->OnNotice(static_cast<int>(wParam), static_cast<int>(lParam));
    return 1;
}
