#include "ui/CkxwFSFileQuickKeyEdit.h"

#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "ui/CxTreeCtrl.h"
#include "ui/KxShowDlg.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kFolderBitmap = 193;
}

CkxwFSFileQuickKeyEdit::CkxwFSFileQuickKeyEdit(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("快捷键"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("在选中目录下创建文件快捷键"), this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(label);
    m_tree = new CxTreeCtrl(this);
    m_tree->SetCheckBoxes(true);
    SetDlgItemId(m_tree, IDC_TREE);
    layout->addWidget(m_tree, 1);
    kx::AddOkCancel(this, layout);
    resize(300, 480);
}

void CkxwFSFileQuickKeyEdit::OnInitDialog() {
    kx::ImageList images(16, 16);
    images.LoadBitmap(kFolderBitmap);
    m_tree->SetImageList(images);
    CkxXXX& context = KX_KXXXX();
    CkxXXX::NodeList creatable;
    context.fsGetDir_CanCreateFile(context.GetCurUser(), creatable);
    m_tree->AddToRoot(TVI_ROOT, creatable, 2, 3);
    m_tree->ExpandRoot();
    m_QuickKeyList.ForEach([&](const CkxFSQuickKey& k) { m_tree->SetCheck(k.m_nDirID, 1); });
    kx::Dialog::OnInitDialog();
}

void CkxwFSFileQuickKeyEdit::OnOK() {
    CxTreeCtrl::RecordList ticked;
    m_tree->GetCheckNode(ticked);
    CkxFSQuickKeyList result;
    for (const CkxFSNode& folder : ticked) {
        if (const CkxFSQuickKey* kept = m_QuickKeyList.Find(folder.m_nID, m_nFileID))
            result.AddTail(*kept);
        else
            result.AddTail(CkxFSQuickKey(folder.m_nID, m_nFileID));
    }
    // A key whose folder is not shown could be neither seen nor unticked: it stays as it was.
    m_QuickKeyList.ForEach([&](const CkxFSQuickKey& k) {
        if (!m_tree->IsValid(k.m_nDirID)) result.AddTail(k);
    });
    m_QuickKeyList = result;
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_FSFileQuickKeyEdit(int fileId, CkxFSQuickKeyList& keys) {
    return kx::RunDlg<CkxwFSFileQuickKeyEdit>(
        [&](CkxwFSFileQuickKeyEdit& d) {
            d.m_nFileID = fileId;
            d.m_QuickKeyList = keys;
        },
        [&](CkxwFSFileQuickKeyEdit& d) { keys = d.m_QuickKeyList; });
}
