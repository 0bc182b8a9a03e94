#include "ui/CDlgWarnOpeFile.h"

#include "qt/KxReportList.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct Captions {
    const char* window;
    const char* disabled;
    const char* enabled;
};

// By operation code.
constexpr Captions kCaptions[] = {
    {"修改文件", "禁止修改的文件", "允许修改的文件"},
    {"删除文件", "禁止删除的文件", "允许删除的文件"},
    {"设置关键字", "禁止设置关键字的文件", "允许设置关键字的文件"},
    {"设置快捷键", "禁止设置快捷键的文件", "允许设置快捷键的文件"},
    {"设置权限", "禁止设置权限的文件", "允许设置权限的文件"},
    {"下载文件", "禁止下载的文件", "允许下载的文件"},
};
constexpr int kCodes = static_cast<int>(std::size(kCaptions));
constexpr const char* kTick = "√";

} // namespace

CDlgWarnOpeFile::CDlgWarnOpeFile(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("确定删除文件"));
    auto* layout = new QVBoxLayout(this);
    disabledCaption_ = new QLabel(this);
    SetDlgItemId(disabledCaption_, IDC_STATIC_DISABLE);
    layout->addWidget(disabledCaption_);
    disabledList_ = kx::MakeReportList(this, IDC_LIST_DISABLE,
                                       {{"序号", 50}, {"文件名称", 180}, {"没有权限", 80}, {"他人签出", 80}});
    layout->addWidget(disabledList_);
    enabledCaption_ = new QLabel(this);
    SetDlgItemId(enabledCaption_, IDC_STATIC_ENABLE);
    layout->addWidget(enabledCaption_);
    enabledList_ = kx::MakeReportList(this, IDC_LIST_ENABLE, {{"序号", 50}, {"文件名称", 180}, {"目录", 220}});
    layout->addWidget(enabledList_);
    option_ = new QGroupBox(QStringLiteral("操作选项"), this);
    SetDlgItemId(option_, IDC_GROUP_OPTION);
    auto* optionLayout = new QVBoxLayout(option_);
    auto* force = new QCheckBox(QStringLiteral("完全删除文件"), option_);
    SetDlgItemId(force, IDC_CHK_FORCE);
    optionLayout->addWidget(force);
    layout->addWidget(option_);
    kx::AddOkCancel(this, layout);
    resize(560, 460);
}

void CDlgWarnOpeFile::AddDisableOperateFile(const std::string& name, int hasRight, int checkedOutByOther) {
    m_disabled.push_back({name, std::string(), hasRight, checkedOutByOther});
}

void CDlgWarnOpeFile::AddEnableOperateFile(const std::string& name, const std::string& folder) {
    m_enabled.push_back({name, folder});
}

void CDlgWarnOpeFile::AddLists(const CkxFileOpeStateList& forbidden, const CkxFileOpeStateList& allowed) {
    for (POSITION p = forbidden.GetHeadPosition(); p;) {
        const CkxFileOpeState* s = forbidden.GetNext(p);
        m_disabled.push_back({s->m_strFirst, s->m_strSecond, s->m_nFirst, s->m_nSecond});
    }
    for (POSITION p = allowed.GetHeadPosition(); p;) {
        const CkxFileOpeState* s = allowed.GetNext(p);
        AddEnableOperateFile(s->m_strFirst, s->m_strSecond);
    }
}

void CDlgWarnOpeFile::OnInitDialog() {
    const bool known = m_nDoing >= 0 && m_nDoing < kCodes;
    option_->setVisible(m_nDoing == DO_DELETE);
    if (auto* ok = GetDlgItemAs<QPushButton>(kx::IDOK)) ok->setText(QStringLiteral("确定"));
    disabledList_->DeleteAllItems();
    enabledList_->DeleteAllItems();
    if (!known) {
        // An unknown operation: the template's caption, no list captions, no rows.
        disabledCaption_->clear();
        enabledCaption_->clear();
        kx::Dialog::OnInitDialog();
        return;
    }
    const Captions& c = kCaptions[m_nDoing];
    setWindowTitle(kx::Q(c.window));
    disabledCaption_->setText(kx::Q(c.disabled));
    enabledCaption_->setText(kx::Q(c.enabled));
    for (const Disabled& d : m_disabled) {
        const int row = disabledList_->InsertItem(disabledList_->GetItemCount(),
                                                  QString::number(disabledList_->GetItemCount() + 1));
        disabledList_->SetItemText(row, 1, kx::Q(d.name));
        if (d.hasRight == 0) disabledList_->SetItemText(row, 2, kx::Q(kTick));
        if (d.checkedOut != 0) disabledList_->SetItemText(row, 3, kx::Q(kTick));
    }
    for (const Enabled& e : m_enabled) {
        const int row = enabledList_->InsertItem(enabledList_->GetItemCount(),
                                                 QString::number(enabledList_->GetItemCount() + 1));
        enabledList_->SetItemText(row, 1, kx::Q(e.name));
        enabledList_->SetItemText(row, 2, kx::Q(e.folder));
    }
    kx::Dialog::OnInitDialog();
}

void CDlgWarnOpeFile::DoDataExchange(kx::DataExchange& dx) { kx::DDX_Check(dx, IDC_CHK_FORCE, m_bForce); }

namespace {
int ShowWarn(int code, CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed, int* complete) {
    return kx::RunDlg<CDlgWarnOpeFile>(
        [&](CDlgWarnOpeFile& d) {
            d.AddLists(forbidden, allowed);
            d.SetDoing(code);
        },
        [&](CDlgWarnOpeFile& d) {
            if (complete) *complete = d.IsForceOperate();
        });
}
} // namespace

int KX_ShowDlg_WarnOpeFile_UpdateFile(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed) {
    return ShowWarn(CDlgWarnOpeFile::DO_UPDATE, forbidden, allowed, nullptr);
}
int KX_ShowDlg_WarnOpeFile_DeleteFile(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed, int& complete) {
    return ShowWarn(CDlgWarnOpeFile::DO_DELETE, forbidden, allowed, &complete);
}
int KX_ShowDlg_WarnOpeFile_SetKeyword(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed) {
    return ShowWarn(CDlgWarnOpeFile::DO_KEYWORD, forbidden, allowed, nullptr);
}
int KX_ShowDlg_WarnOpeFile_SetQuickkey(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed) {
    return ShowWarn(CDlgWarnOpeFile::DO_QUICKKEY, forbidden, allowed, nullptr);
}
int KX_ShowDlg_WarnOpeFile_SetPower(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed) {
    return ShowWarn(CDlgWarnOpeFile::DO_POWER, forbidden, allowed, nullptr);
}
int KX_ShowDlg_WarnOpeFile_DownloadToLocal(CkxFileOpeStateList& forbidden, CkxFileOpeStateList& allowed) {
    return ShowWarn(CDlgWarnOpeFile::DO_DOWNLOAD, forbidden, allowed, nullptr);
}
