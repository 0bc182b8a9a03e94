// The rights a file role and a folder role are made of, one table per kind: each row's bit, its
// name and description, and the mask checking it sets. The panes, the dialogs and the list panes
// of a kind all read the same table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kx {

struct RoleRight {
    uint32_t value;
    const char* name;
    const char* description;
    uint32_t mask;
};

const std::vector<RoleRight>& FileRoleRights();
const std::vector<RoleRight>& FolderRoleRights();

// A right is shown checked when every bit of its value is set in the role's mask.
inline bool IsRightChecked(const RoleRight& right, uint32_t mask) { return (mask & right.value) == right.value; }

// The OR of the masks of the checked rows (checked[i] for rights[i]).
uint32_t MaskOfCheckedRights(const std::vector<RoleRight>& rights, const std::vector<bool>& checked);

// The name and description of a value; empty for a value the table does not hold.
std::string RightName(const std::vector<RoleRight>& rights, uint32_t value);
std::string RightDescription(const std::vector<RoleRight>& rights, uint32_t value);

} // namespace kx
