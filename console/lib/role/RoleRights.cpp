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
