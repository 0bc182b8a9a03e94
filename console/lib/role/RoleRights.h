// The rights a file role and a folder role are made of, one table per kind: each row's bit, its
// name and description, and the mask checking it sets. The panes, the dialogs and the list panes
// of a kind all read the same table.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
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

// The six powers a user role offers, in list order; checking one sets its mask.
const std::vector<RoleRight>& UserRolePowers();
// Name and description of any power value of a user role (also those no row offers: 0, 4 and
// 0x400); empty for a value that is none of them.
std::pair<std::string, std::string> UserPowerText(uint32_t value);
// A user role's power row is checked when the word holds the super administration bit, else
// when every bit of the row's value is set.
bool IsUserPowerChecked(const RoleRight& right, uint32_t word);
// The word a modified user role stores: the OR of the checked rows' masks, plus the old word's
// bits that no row stands for (family administration, project operation, undefined bits),
// except the family and project bits that the old word had as part of an administration bundle.
uint32_t UserRoleWord(const std::vector<bool>& checked, uint32_t oldWord);

// A right is shown checked when every bit of its value is set in the role's mask.
inline bool IsRightChecked(const RoleRight& right, uint32_t mask) { return (mask & right.value) == right.value; }

// The OR of the masks of the checked rows (checked[i] for rights[i]).
uint32_t MaskOfCheckedRights(const std::vector<RoleRight>& rights, const std::vector<bool>& checked);

// The name and description of a value; empty for a value the table does not hold.
std::string RightName(const std::vector<RoleRight>& rights, uint32_t value);
std::string RightDescription(const std::vector<RoleRight>& rights, uint32_t value);

} // namespace kx
