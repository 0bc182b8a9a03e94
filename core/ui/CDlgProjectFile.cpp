#include "ui/CDlgProjectFile.h"

#include "qt/KxReportList.h"

#include <QVBoxLayout>

CDlgProjectFile::CDlgProjectFile(QWidget* parent) : kx::Dialog(parent) {
    setWindowTitle(QStringLiteral("项目关联文件"));
    auto* layout = new QVBoxLayout(this);
    list_ = kx::MakeReportList(this, IDC_LIST_FILE,
                               {{"文件名称", 100}, {"文件类型", 60}, {"文件格式", 60}, {"存储目录", 150}});
    list_->SetCheckBoxes(true);
    layout->addWidget(list_);
    kx::AddOkCancel(this, layout);
    resize(420, 300);
}
