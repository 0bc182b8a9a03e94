#include "ui/CDlgFileRefProjectAdmin.h"

#include "model/CkxXXX.h"
#include "qt/KxReportList.h"

#include <QVBoxLayout>

#include <vector>

CDlgFileRefProjectAdmin::CDlgFileRefProjectAdmin(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("关联项目"));
    auto* layout = new QVBoxLayout(this);
    list_ = kx::MakeReportList(this, IDC_LIST_PROJECT, {{"项目", 120}});
    list_->SetCheckBoxes(true);
    layout->addWidget(list_);
    kx::AddOkCancel(this, layout);
    resize(260, 300);
}

void CDlgFileRefProjectAdmin::OnInitDialog() {
    list_->DeleteAllItems();
    KX_KXXXX().m_ProjectList.ForEach([this](const CkxProject& p) {
        const int row = list_->InsertItem(list_->GetItemCount(), kx::Q(p.m_strName));
        list_->SetItemData(row, p.m_nID);
    });
    std::vector<int> linked;
    KX_KXXXX().m_ProjectDataList.GetFileRefProject(m_nFileID, linked);
    for (int projectId : linked) {
        const int row = list_->FindItemData(projectId);
        if (row >= 0) list_->SetCheck(row, true);
    }
    kx::Dialog::OnInitDialog();
}

void CDlgFileRefProjectAdmin::OnOK() {
    const CkxProjectDataList& links = KX_KXXXX().m_ProjectDataList;
    for (int row = 0; row < list_->GetItemCount(); ++row) {
        if (!list_->GetCheck(row)) continue;
        const int projectId = static_cast<int>(list_->GetItemData(row));
        // An existing link comes back whole (alias, note, creator, date), so an OK without
        // changes changes nothing; only a new link starts from the defaults.
        if (const CkxProjectData* existing = links.Find(projectId, m_nFileID)) {
            m_Result.AddTail(*existing);
            continue;
        }
        CkxProjectData link;
        link.m_nID = -1;
        link.m_nProjectID = projectId;
        link.m_nFileID = m_nFileID;
        m_Result.AddTail(link);
    }
    EndDialog(kx::IDOK);
}

int KX_ShowDlg_FileRefProjectAdmin(int fileId, CkxProjectDataList& links) {
    return kx::RunDlg<CDlgFileRefProjectAdmin>([&](CDlgFileRefProjectAdmin& d) { d.m_nFileID = fileId; },
                                               [&](CDlgFileRefProjectAdmin& d) {
                                                   d.m_Result.ForEach([&](const CkxProjectData& l) { links.AddTail(l); });
                                               });
}
