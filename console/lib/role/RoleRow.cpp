#include "role/RoleRow.h"

#include "link/ConsoleLink.h"
#include "qt/KxReportList.h"

#include <QStyle>

namespace kx {

void SetUpRoleList(ReportList& list) {
    list.InsertColumn(0, QStringLiteral("访问角色"), LVCFMT_LEFT, 150);
    list.InsertColumn(1, QStringLiteral("类型"), LVCFMT_LEFT, 50);
    list.InsertColumn(2, QStringLiteral("描述"), LVCFMT_LEFT, 400);
    list.SetFullRowSelect(true);
}

void FillRoleRow(ReportList& list, int row, const RoleRow& role) {
    list.SetItemText(row, 0, QString::fromStdString(role.name));
    list.SetItemText(row, 1, role.system ? QStringLiteral("系统") : QStringLiteral("用户"));
    list.SetItemText(row, 2, QString::fromStdString(role.note));
    list.SetItemData(row, role.id);
}

void AppendRoleRow(ReportList& list, const RoleRow& role) {
    const int row = list.InsertItem(list.GetItemCount(), QString::fromStdString(role.name));
    if (row < 0) return;
    list.topLevelItem(row)->setIcon(0, list.style()->standardIcon(QStyle::SP_FileDialogInfoView));
    FillRoleRow(list, row, role);
}

void SetUpRightsList(ReportList& list, const std::vector<RoleRight>& rights, bool withDescription) {
    list.InsertColumn(0, QStringLiteral("权限"), LVCFMT_LEFT, 200);
    if (withDescription) list.InsertColumn(1, QStringLiteral("描述"), LVCFMT_LEFT, 600);
    list.SetCheckBoxes(true);
    list.SetFullRowSelect(true);
    for (const RoleRight& r : rights) {
        const int row = list.InsertItem(list.GetItemCount(), QString::fromUtf8(r.name));
        if (withDescription) list.SetItemText(row, 1, QString::fromUtf8(r.description));
        list.SetItemData(row, static_cast<std::intptr_t>(r.value));
    }
}

void ShowRights(ReportList& list, const std::vector<RoleRight>& rights, uint32_t mask, RightCheck checked) {
    for (int row = 0; row < list.GetItemCount() && row < static_cast<int>(rights.size()); ++row)
        list.SetCheck(row, checked(rights[static_cast<size_t>(row)], mask));
}

std::vector<bool> CheckedRights(const ReportList& list) {
    std::vector<bool> checked;
    for (int row = 0; row < list.GetItemCount(); ++row) checked.push_back(list.GetCheck(row));
    return checked;
}

bool ApplyRoleNotice(ReportList& list, int notice, int id, const std::function<std::vector<RoleRow>()>& all,
                     const std::function<std::optional<RoleRow>(int)>& find) {
    switch (notice) {
    case kNoticeReload:
        list.DeleteAllItems();
        for (const RoleRow& role : all()) AppendRoleRow(list, role);
        return true;
    case kNoticeAdded:
        if (const auto role = find(id)) AppendRoleRow(list, *role);
        return false;
    case kNoticeUpdated:
        if (const auto role = find(id))
            for (int row = 0; row < list.GetItemCount(); ++row)
                if (list.GetItemData(row) == id) FillRoleRow(list, row, *role);
        return false;
    case kNoticeRemoved:
        for (int row = list.GetItemCount() - 1; row >= 0; --row)
            if (list.GetItemData(row) == id) list.DeleteItem(row);
        return false;
    default: return false;
    }
}

} // namespace kx
