// One role as Keeper's role panes show it (file, folder or user role alike), and the shared
// parts of those panes: the role list's columns and rows, the rights list, the notices.
#pragma once

#include "role/RoleRights.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kx {
class ReportList;
}

struct RoleRow {
    int id = -1;
    std::string name;
    int system = 0;
    uint32_t mask = 0;
    std::string note;
};

namespace kx {

// The role list's three columns ("访问角色" 150, "类型" 50, "描述" 400), full-row selection.
void SetUpRoleList(ReportList& list);
// Appends or rewrites a role row (its id as item data).
void AppendRoleRow(ReportList& list, const RoleRow& role);
void FillRoleRow(ReportList& list, int row, const RoleRow& role);
// The rights list: "权限" (and "描述" when wanted), check boxes, one row per right.
void SetUpRightsList(ReportList& list, const std::vector<RoleRight>& rights, bool withDescription);
using RightCheck = bool (*)(const RoleRight& right, uint32_t mask);
void ShowRights(ReportList& list, const std::vector<RoleRight>& rights, uint32_t mask,
                RightCheck checked = &IsRightChecked);
std::vector<bool> CheckedRights(const ReportList& list);

// A role list's reaction to the session's notices: 1025 rebuilds from all(), 1026 appends the
// role, 1027 rewrites every row of it, 1028 deletes every row of the id. find() gives the role of
// an id, or nothing. Returns true for a reload (the caller then shows the first role's rights).
bool ApplyRoleNotice(ReportList& list, int notice, int id, const std::function<std::vector<RoleRow>()>& all,
                     const std::function<std::optional<RoleRow>(int)>& find);

} // namespace kx
