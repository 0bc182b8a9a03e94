#include "ui/CDlgFamilySelect.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "qt/KxImageList.h"
#include "ui/CkxFamilyTreeCtrl.h"
#include "ui/KxShowDlg.h"

#include <QVBoxLayout>

namespace {
constexpr int kFamilyBitmap = 139;
}

CDlgFamilySelect::CDlgFamilySelect(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("选择族类"));
    auto* layout = new QVBoxLayout(this);
    m_tree = new CkxFamilyTreeCtrl(this);
    SetDlgItemId(m_tree, IDC_TREE);
    layout->addWidget(m_tree, 1);
    kx::AddOkCancel(this, layout);
    connect(m_tree, &kx::TreeCtrl::ItemDoubleClicked, this, [this](HTREEITEM item) {
        if (item) OnOK();
    });
    resize(280, 380);
}

void CDlgFamilySelect::OnInitDialog() {
    kx::ImageList images(16, 16);
    images.LoadBitmap(kFamilyBitmap);
    m_tree->SetImageList(images);
    HTREEITEM root = m_tree->InsertItem(QStringLiteral("族类"), 0, 0);
    m_tree->SetItemData(root, -1);
    // The registry's families are read while the tree is built; the tree keeps copies.
    CkxFamilyPtrs families;
    const CkxFamilyXXX& reg = KX_FamilyXXX();
    for (POSITION p = reg.family_GetHeadPosition(); p;) families.push_back(reg.family_GetNext(p));
    m_tree->AddTree(root, families);
    m_tree->Expand(root, TVE_EXPAND);
    m_tree->ExpandRoot();
    m_tree->SelectNode(m_nFamilyID);
    kx::Dialog::OnInitDialog();
}

void CDlgFamilySelect::OnOK() {
    m_nFamilyID = m_tree->GetCurSelNodeID();
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_FamilySelect(int& familyId) {
    return kx::RunDlg<CDlgFamilySelect>([&](CDlgFamilySelect& d) { d.m_nFamilyID = familyId; },
                                        [&](CDlgFamilySelect& d) { familyId = d.GetCurSelFamily(); });
}
