#include "CkxFileBaseAttr.h"

#include "CkxFamily.h"

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

} // namespace

namespace kx {

int AppendFileBaseAttrs(CkxAttrList& list) {
    int added = 0;
    for (const BaseAttrRow& row : kImageBaseAttrs) {
        CkxAttr a;
        a.m_nID = row.id;
        a.SetAttrType_Base();
        a.SetImage();
        a.m_nFamilyID = KXF_ROOT_IMAGE;
        a.m_strName = row.name;
        a.m_strNote = row.note;
        a.m_nDataType = row.type;
        a.m_nEditWay = row.editWay;
        a.m_nFlag = row.flag;
        if (list.AddTail(a)) ++added;
    }
    return added;
}

} // namespace kx
