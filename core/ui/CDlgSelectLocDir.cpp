#include "ui/CDlgSelectLocDir.h"

#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "qt/KxPrompt.h"
#include "ui/CxTreeCtrl.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
constexpr int kFolderBitmap = 193;
}

CDlgSelectLocDir::CDlgSelectLocDir(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择存储目录"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("文件目录树"), this));
    tree_ = new CxTreeCtrl(this);
    SetDlgItemId(tree_, IDC_TREE_DIR);
    layout->addWidget(tree_, 1);
    layout->addWidget(new QLabel(QStringLiteral("目录"), this));
    path_ = new QPlainTextEdit(this);
    path_->setReadOnly(true);
    path_->setFixedHeight(48);
    SetDlgItemId(path_, IDC_EDT_PATH);
    layout->addWidget(path_);
    kx::AddOkCancel(this, layout);
    connect(tree_, &kx::TreeCtrl::SelChanged, this, [this] { ShowPath(); });
    resize(320, 420);
}

void CDlgSelectLocDir::OnInitDialog() {
    kx::ImageList images(16, 16);
    images.LoadBitmap(kFolderBitmap);
    tree_->SetImageList(images);
    HTREEITEM root = tree_->InsertItem(QStringLiteral("根目录"), 0, 0);
    tree_->SetItemData(root, -1);
    CkxXXX::NodeList readable;
    KX_KXXXX().fsGetDir_CanRead(readable);
    tree_->AddToRoot(root, readable, 2, 3);
    tree_->Expand(root, TVE_EXPAND);
    tree_->SelectItem(root);
    tree_->SelectNode(m_nDirID);
    ShowPath();
    kx::Dialog::OnInitDialog();
}

void CDlgSelectLocDir::ShowPath() {
    HTREEITEM item = tree_->GetSelectedItem();
    if (!item) {
        path_->clear();
        return;
    }
    const int id = static_cast<int>(tree_->GetItemData(item));
    path_->setPlainText(kx::Q(KX_KXXXX().fsFindAncestryPath(id, 1)));
}

void CDlgSelectLocDir::OnOK() {
    // No selection is "nothing chosen" (-1), never folder 0.
    m_nDirID = tree_->GetSelectedItem() ? static_cast<int>(tree_->GetCurSelItemData()) : -1;
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_SelectLocDir(int& folderId) {
    return kx::RunDlg<CDlgSelectLocDir>([&](CDlgSelectLocDir& d) { d.m_nDirID = folderId; },
                                        [&](CDlgSelectLocDir& d) { folderId = d.GetCurSelLocDir(); });
}

int KX_ShowDlg_SelectCreateLocDir(QWidget* parent, int& folderId) {
    int folder = folderId;
    if (!KX_ShowDlg_SelectLocDir(folder)) return 0;
    const CkxXXX& context = KX_KXXXX();
    if (!context.fsUserCan_File_Create(context.GetCurUser(), folder)) {
        std::string text = "您没有在\"%s\"目录下创建文件的权限";
        text.replace(text.find("%s"), 2, context.fsGetDirName(folder));
        kx::Prompt(parent, text, kx::PromptOk, kx::PromptWarning);
        return 0;
    }
    folderId = folder;
    return 1;
}
