#include "ui/KxShowDlg.h"

#include "base/Gbk.h"
#include "qt/KxEdit.h"
#include "qt/KxReportList.h"

#include <QBoxLayout>
#include <QPushButton>

namespace kx {

OkChecks& OkChecks::NotEmpty(int id, const std::string& text, const char* message) {
    return Require(!text.empty(), id, message);
}

OkChecks& OkChecks::AtMost(int id, const std::string& text, const char* message, size_t limit) {
    if (dx_.Failed()) return *this;
    return Require(GbkLength(text) <= limit, id, message);
}

OkChecks& OkChecks::Require(bool ok, int id, const char* message) {
    if (dx_.Failed() || ok) return *this;
    dx_.Fail(dx_.GetDialog()->GetDlgItem(id), message);
    return *this;
}

Edit* MakeEdit(Dialog* dlg, int id, int limitBytes) {
    auto* edit = new Edit(dlg);
    Dialog::SetDlgItemId(edit, id);
    edit->SetLimitText(limitBytes);
    return edit;
}

QPushButton* AddOkCancel(Dialog* dlg, QBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    QPushButton* ok = dlg->AddButton(QStringLiteral("确  定"), IDOK);
    row->addWidget(ok);
    row->addWidget(dlg->AddButton(QStringLiteral("取  消"), IDCANCEL));
    layout->addLayout(row);
    return ok;
}

ReportList* MakeReportList(Dialog* dlg, int id, std::initializer_list<ListColumn> columns,
                           bool okOnDoubleClick) {
    auto* list = new ReportList(dlg);
    Dialog::SetDlgItemId(list, id);
    list->SetFullRowSelect(true);
    list->SetInfoTip(true);
    for (const ListColumn& c : columns)
        list->InsertColumn(list->GetColumnCount(), QString::fromUtf8(c.title), LVCFMT_LEFT, c.width);
    if (okOnDoubleClick) {
        QObject::connect(list, &ReportList::ItemDoubleClicked, dlg, [dlg](int row, int) {
            if (row >= 0) static_cast<QDialog*>(dlg)->accept(); // the dialog's OK path
        });
    }
    return list;
}

void SetOkTextByNewFlag(Dialog* dlg, int newFlag) {
    if (auto* ok = dlg->GetDlgItemAs<QPushButton>(IDOK))
        ok->setText(QString::fromUtf8(newFlag ? kOkCreate : kOkModify));
}

} // namespace kx
