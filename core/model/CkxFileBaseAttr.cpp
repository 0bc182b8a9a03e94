#include "model/CkxFileBaseAttr.h"

#include "model/CkxFamily.h"
#include "model/CkxXXX.h"

namespace {

struct BaseAttrRow {
    int id;
    const char* name;
    const char* note;
    uint8_t type;
    uint8_t editWay;
    int flag;
};

constexpr BaseAttrRow kImageBaseAttrs[] = {
    {KXB_FILETITLE, "文件名称", "文件名称", KXT_STR, KXE_EDIT, 1},
    {KXB_ENCFORMAT, "编码格式", "编码格式", KXT_INT, KXE_NONE, 0},
    {KXB_FILESIZE, "文件大小", "文件占用存储空间大小", KXT_INT, KXE_NONE, 0},
    {KXB_WIDTH, "图像宽度", "图像水平扫描像素数", KXT_INT, KXE_NONE, 0},
    {KXB_HEIGHT, "图像高度", "图像垂直扫描行数", KXT_INT, KXE_NONE, 0},
    {KXB_AUTHORID, "创作者", "创作者", KXT_INT, KXE_COMBO, 1},
    {KXB_WRITERID, "录入者", "录入者", KXT_INT, KXE_NONE, 0},
    {KXB_EDITORID, "修改者", "修改者", KXT_INT, KXE_NONE, 0},
    {KXB_AUTHTIME, "创作时间", "创作时间", KXT_DATE, KXE_TIME, 1},
    {KXB_WRITETIME, "录入时间", "录入时间", KXT_DATE, KXE_NONE, 0},
    {KXB_EDITTIME, "修改时间", "修改时间", KXT_DATE, KXE_NONE, 0},
    {KXB_AUTHADDR, "创作地点", "创作地点", KXT_STR, KXE_EDIT, 1},
    {KXB_LOCDIRID, "存储目录", "存储目录", KXT_STR, KXE_TREE, 0},
    {KXB_REMARK, "备注", "备注", KXT_STR, KXE_EDIT, 1},
};

constexpr BaseAttrRow kPhotoBaseAttrs[] = {
    {KXP_CLIENT, "客户", "客户", KXT_INT, KXE_COMBO, 1},
    {KXP_DEPT, "部门", "部门", KXT_INT, KXE_COMBO, 1},
    {KXP_SRVCOMB, "套餐", "套餐", KXT_INT, KXE_COMBO, 1},
    {KXP_THEME, "主题", "主题", KXT_INT, KXE_COMBO, 1},
    {KXP_DRESSID, "服装", "服装", KXT_INT, KXE_COMBO, 1},
    {KXP_POSE, "姿势", "姿势", KXT_INT, KXE_COMBO, 1},
    {KXP_PHOTOTYPE, "照片类型", "照片类型", KXT_INT, KXE_COMBO, 1},
    {KXP_MANTYPE, "人物类型", "人物类型", KXT_INT, KXE_COMBO, 1},
    {KXP_PARTTYPE, "部分类型", "部分类型", KXT_INT, KXE_COMBO, 1},
    {KXP_CAMERAID, "摄像机", "摄像机", KXT_INT, KXE_COMBO, 1},
    {KXP_CAMERAWAY, "摄影模式", "摄影模式", KXT_INT, KXE_COMBO, 1},
    {KXP_EXPOSAL, "是否曝光", "是否曝光", KXT_INT, KXE_COMBO, 1},
    {KXP_CAMERAMAN, "摄影师", "摄影师", KXT_INT, KXE_COMBO, 1},
    {KXP_DRESSER, "化妆师", "化妆师", KXT_INT, KXE_COMBO, 1},
    {KXP_PROCESSOR, "图像处理师", "图像处理师", KXT_INT, KXE_COMBO, 1},
    {KXP_CAMERATIME, "摄影时间", "摄影时间", KXT_DATE, KXE_TIME, 1},
    {KXP_DRESSTIME, "化妆时间", "化妆时间", KXT_DATE, KXE_TIME, 1},
    {KXP_SELECTTIME, "选相时间", "选相时间", KXT_DATE, KXE_TIME, 1},
    {KXP_PROCESSTIME, "图像处理时间", "图像处理时间", KXT_DATE, KXE_TIME, 1},
    {KXP_WEATHER, "天气描述", "天气描述", KXT_INT, KXE_COMBO, 1},
    {KXP_CAMERAADDR, "摄影地点", "摄影地点", KXT_INT, KXE_COMBO, 1},
    {KXP_ADVSSELECTED, "建议选相", "建议选相", KXT_INT, KXE_COMBO, 1},
    {KXP_USERSELECTED, "用户选相", "用户选相", KXT_INT, KXE_COMBO, 1},
    {KXP_USERMARK, "用户打分", "用户打分", KXT_INT, KXE_COMBO, 1},
    {KXP_MAKESELMASK, "制作类型", "制作类型", KXT_INT, KXE_COMBO, 1},
};

// One integer constant per record of a list: value and id the record's id, alias its name.
template <class List, class Name>
void NamedConsts(const List& records, CkxConstList& out, Name name) {
    records.ForEach([&](const auto& r) {
        CkxConst c;
        c.m_nID = r.GetID();
        c.m_Value = static_cast<int>(r.GetID());
        c.SetAlias(name(r));
        out.AddTail(c);
    });
}

// The choices of the drop-downs and trees of the person, user and folder attributes, read from
// the process's context when a list is wanted, so they follow its lists as they change.
KxConstProvider ProviderOf(int id) {
    switch (id) {
    case KXB_AUTHORID:
        return [](CkxConstList& out) {
            NamedConsts(KX_KXXXX().m_PersonList, out, [](const CkxPerson& p) { return p.m_strName; });
        };
    case KXB_WRITERID:
    case KXB_EDITORID:
        return [](CkxConstList& out) {
            NamedConsts(KX_KXXXX().m_UserList, out, [](const CkxUser& u) { return u.m_strLogon; });
        };
    case KXB_LOCDIRID: return [](CkxConstList& out) { KX_KXXXX().fsGetDirConstList(out); };
    default: return nullptr;
    }
}

template <size_t N>
int AppendRows(CkxAttrList& list, const BaseAttrRow (&rows)[N], int familyID) {
    int added = 0;
    for (const BaseAttrRow& row : rows) {
        CkxAttr a;
        a.m_nID = row.id;
        a.SetAttrType_Base();
        a.SetImage();
        a.m_nFamilyID = familyID;
        a.m_strName = row.name;
        a.m_strNote = row.note;
        a.m_nDataType = row.type;
        a.m_nEditWay = row.editWay;
        a.m_nFlag = row.flag;
        a.SetConstProvider(ProviderOf(row.id));
        if (list.AddTail(a)) ++added;
    }
    return added;
}

} // namespace

namespace kx {

int AppendFileBaseAttrs(CkxAttrList& list) { return AppendRows(list, kImageBaseAttrs, KXF_ROOT_IMAGE); }

int AppendPhotoBaseAttrs(CkxAttrList& list) { return AppendRows(list, kPhotoBaseAttrs, KXF_PHOTO); }

} // namespace kx
