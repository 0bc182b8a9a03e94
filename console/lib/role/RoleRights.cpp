#include "role/RoleRights.h"

namespace kx {

const std::vector<RoleRight>& FileRoleRights() {
    static const std::vector<RoleRight> rights = {
        {0x1000, "管理文件", "用户授权,操作管理", 0xF000},
        {0x2000, "操作文件", "修改,删除,移动", 0xE000},
        {0x8000, "打开文件", "打开文件,下载文件", 0xC000},
        {0x4000, "浏览文件", "微缩图浏览,属性查看", 0x4000},
    };
    return rights;
}

const std::vector<RoleRight>& FolderRoleRights() {
    static const std::vector<RoleRight> rights = {
        {0x0001, "管理本目录", "用户授权,操作管理", 0xF03F},
        {0x0002, "操作本目录", "修改,移动,删除", 0x000E},
        {0x0004, "打开本目录", "打开目录,下载目录", 0x000C},
        {0x0008, "读取本目录", "微缩图浏览,属性查看", 0x0008},
        {0x0010, "创建子目录", "创建子目录,管理创建的子目录", 0x001C},
        {0x0020, "创建文件", "创建文件,管理创建的文件", 0x002C},
        {0x1000, "管理文件", "继承授权,用户授权,操作管理", 0xF00C},
        {0x2000, "操作文件", "继承授权,修改,移动,删除", 0xE00C},
        {0x8000, "打开文件", "继承授权,打开文件,下载文件", 0xC00C},
        {0x4000, "浏览文件", "继承授权,微缩图浏览,属性查看", 0x400C},
    };
    return rights;
}

namespace {

struct UserPower {
    uint32_t value;
    const char* name;
    const char* description;
};

const UserPower kUserPowers[] = {
    {0x0000, "仅仅查询", "仅仅查询操作,没有其它任何管理和操作权限"},
    {0x0001, "超级管理", "拥有全部权限,包括用户管理权限和系统管理权限"},
    {0x0002, "系统管理", "拥有全部系统管理权限(没有用户管理权限)"},
    {0x0004, "族类管理", "拥有族类的添加,修改和删除等管理权限"},
    {0x0100, "目录操作", "拥有创建目录权限,对自己创建的目录拥有全部权限,对他人创建目录的操作需要获得授权"},
    {0x0200, "文件操作", "拥有创建文件权限,对自己创建的文件拥有全部权限,对他人创建文件的操作需要获得授权"},
    {0x0400, "项目操作", "拥有创建项目权限,对自己创建的项目拥有全部权限,对他人创建项目的操作需要获得授权"},
    {0x0800, "人员操作", "拥有人员的添加,修改和删除等管理权限"},
    {0x1000, "关键字操作", "拥有关键字的添加,修改和删除等管理权限"},
};

// The bits the offered rows stand for, and the ones an administration bundle brings along.
constexpr uint32_t kOfferedBits = 0x1B03;
constexpr uint32_t kAdminBits = 0x0003;
constexpr uint32_t kBundledBits = 0x0404;

} // namespace

std::pair<std::string, std::string> UserPowerText(uint32_t value) {
    for (const UserPower& p : kUserPowers)
        if (p.value == value) return {p.name, p.description};
    return {};
}

const std::vector<RoleRight>& UserRolePowers() {
    static const std::vector<RoleRight> rows = [] {
        std::vector<RoleRight> out;
        const std::pair<uint32_t, uint32_t> offered[] = {{0x0001, 0x1F07}, {0x0002, 0x1F06}, {0x0100, 0x0100},
                                                          {0x0200, 0x0200}, {0x0800, 0x0800}, {0x1000, 0x1000}};
        for (const auto& [value, mask] : offered)
            for (const UserPower& p : kUserPowers)
                if (p.value == value) out.push_back({value, p.name, p.description, mask});
        return out;
    }();
    return rows;
}

bool IsUserPowerChecked(const RoleRight& right, uint32_t word) {
    return (word & 0x0001) != 0 || IsRightChecked(right, word);
}

uint32_t UserRoleWord(const std::vector<bool>& checked, uint32_t oldWord) {
    uint32_t carried = oldWord & ~kOfferedBits;
    if (oldWord & kAdminBits) carried &= ~kBundledBits;
    return MaskOfCheckedRights(UserRolePowers(), checked) | carried;
}

uint32_t MaskOfCheckedRights(const std::vector<RoleRight>& rights, const std::vector<bool>& checked) {
    uint32_t mask = 0;
    for (size_t i = 0; i < rights.size() && i < checked.size(); ++i)
        if (checked[i]) mask |= rights[i].mask;
    return mask;
}

std::string RightName(const std::vector<RoleRight>& rights, uint32_t value) {
    for (const RoleRight& r : rights)
        if (r.value == value) return r.name;
    return {};
}

std::string RightDescription(const std::vector<RoleRight>& rights, uint32_t value) {
    for (const RoleRight& r : rights)
        if (r.value == value) return r.description;
    return {};
}

} // namespace kx
