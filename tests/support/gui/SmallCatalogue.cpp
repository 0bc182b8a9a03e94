#include "support/gui/SmallCatalogue.h"

#include "support/gui/CatalogueRights.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxFileBaseAttr.h"
#include "model/CkxFileImage.h"
#include "model/CkxXXX.h"

#include <string>
#include <vector>

namespace guitest {

namespace {

using S = SmallCatalogue;

void AddRole(CkxXXX& ctx, int id, const char* name, int power) {
    CkxUserRole r;
    r.m_nID = id;
    r.m_strName = name;
    r.m_nPower = power;
    r.SetTypeOperator();
    ctx.m_UserRoleList.AddTail(r);
}

void AddUser(CkxXXX& ctx, int id, const char* logon, const char* name, int role, int state) {
    CkxUser u;
    u.m_nID = id;
    u.m_strLogon = logon;
    u.m_strUser = name;
    u.m_strPassword = std::string(logon) + "-pw";
    u.m_nState = static_cast<uint8_t>(state);
    u.m_strDept = "测试部";
    u.SetRoleID(role);
    ctx.m_UserList.AddUser(u);
}

void AddGroup(CkxXXX& ctx, int id, const char* name, std::vector<int32_t> members) {
    CkxUserGroup g;
    g.m_nID = id;
    g.m_strName = name;
    g.m_UserList = std::move(members);
    ctx.m_UserGroupList.AddTail(g);
}

void AddFolder(CkxXXX& ctx, int id, const char* name, int lev, int parent, const CkxPower& rights,
               int creator = S::SU, int state = CkxFSNode::STATE_ACT) {
    CkxFSNode n;
    n.m_nID = id;
    n.m_strName = name;
    n.m_nLev = lev;
    n.m_nParentID = parent;
    n.m_nCreatorID = creator;
    n.m_nState = static_cast<uint8_t>(state);
    n.SetPower(rights);
    ctx.fsAddDir(n, 2, 3);
}

void AddProject(CkxXXX& ctx, int id, const char* name, int state, int creator,
                const COleDateTime& created, int member, int memberType) {
    CkxProject p;
    p.m_nID = id;
    p.m_strName = name;
    p.m_nParentID = -1;
    p.m_nState = static_cast<uint8_t>(state);
    p.m_nCreatorID = creator;
    p.m_dtCreate = created;
    CkxUserX x;
    x.m_nID = member;
    x.m_nType = static_cast<uint8_t>(memberType);
    x.Enable(1);
    p.m_UserList.AddTail(x);
    ctx.m_ProjectList.AddTail(p);
}

template <class Role, class List>
void AddPowerRole(List& list, int id, const char* name, int power) {
    Role r;
    r.m_nID = id;
    r.m_strName = name;
    r.m_nPower = power;
    list.AddTail(r);
}

void AddFamily(CkxFamilyXXX& reg, int id, const std::string& name, int level, int parent, int kind) {
    CkxFamily f;
    f.m_nID = id;
    f.m_strName = name;
    f.m_nLevel = level;
    f.m_nParentID = parent;
    f.SetDataKind(kind);
    reg.family_AddTail(f);
}

CkxConst MakeConst(int id, int parent, const CkxValueSp& value) {
    CkxConst c;
    c.m_nID = id;
    c.m_nID2 = parent;
    c.m_Value = value;
    return c;
}

CkxAttr MakeAttr(int id, int family, const char* name, uint8_t type, uint8_t editWay) {
    CkxAttr a;
    a.m_nID = id;
    a.m_nFamilyID = family;
    a.m_strName = name;
    a.m_nDataType = type;
    a.m_nEditWay = editWay;
    a.m_nFlag = 1;
    a.SetAttrType_Ex();
    a.SetDataKind(KXD_IMAGE);
    return a;
}

// The registry as a new process holds it: the image root with the image files' base attributes.
void ResetRegistry(CkxFamilyXXX& reg) {
    reg.attr_DeleteAll();
    reg.family_DeleteAll();
    AddFamily(reg, KXF_ROOT_IMAGE, "图像根族", 0, -1, KXD_IMAGE);
    reg.family_Find(KXF_ROOT_IMAGE)->m_nValueA = 5;
    CkxAttrList base;
    kx::AppendFileBaseAttrs(base);
    base.ForEach([&](const CkxAttr& a) {
        CkxAttr copy(a);
        copy.SetAttrType_Base();
        reg.attr_AddTail(copy);
    });
}

} // namespace

void SmallCatalogue::Empty() {
    CkxXXX& ctx = KX_KXXXX();
    ctx.SetCurUser(-1);
    ctx.fsDeleteAll();
    ctx.m_UserList.DeleteAll();
    ctx.m_UserGroupList.DeleteAll();
    ctx.m_UserRoleList.DeleteAll();
    ctx.m_FileRoleList.DeleteAll();
    ctx.m_FolderRoleList.DeleteAll();
    ctx.m_QuickKeyList.DeleteAll();
    ctx.m_PersonList.DeleteAll();
    ctx.m_ProjectList.DeleteAll();
    ctx.m_ProjectDataList.DeleteAll();
    ResetRegistry(KX_FamilyXXX());
    KX_QueryTempletList().DeleteAll();
}

CkxServer& SmallCatalogue::ServerRecord() {
    static CkxServer server;
    return server;
}

CkxFileImage SmallCatalogue::LandscapeImage(int id, const char* title) {
    CkxFileImage f;
    f.m_nID = id;
    f.m_strTitle = title;
    f.m_strExName = "jpg";
    f.m_nFamilyID = FAMILY_LANDSCAPE;
    f.m_nLocDirID = FOLDER_DOCS;
    return f;
}

void SmallCatalogue::SetCurrentUser(int userId) {
    KX_KXXXX().SetCurUser(userId);
}

void SmallCatalogue::Fill() {
    Empty();
    CkxXXX& ctx = KX_KXXXX();

    CkxServer& server = ServerRecord();
    server = CkxServer();
    server.m_strName = "图库服务器";
    server.m_strAddr = "127.0.0.1";
    server.m_strDept = "测试部";
    server.m_strRemark = "本机测试";

    AddRole(ctx, ROLE_ADMIN, "系统管理员", KXR_SYSTEMADMIN);
    AddRole(ctx, ROLE_OPERATOR, "操作员", KXR_DIROPERATE | KXR_FILEOPERATE | KXR_PROJECTOPERATE);
    AddRole(ctx, ROLE_VIEWER, "浏览者", 0);
    AddUser(ctx, SU, "su", "超级用户", ROLE_ADMIN, CkxUser::STATE_ACT);
    AddUser(ctx, ALICE, "alice", "艾丽丝", ROLE_OPERATOR, CkxUser::STATE_ACT);
    AddUser(ctx, BOB, "bob", "鲍勃", ROLE_VIEWER, CkxUser::STATE_ACT);
    AddUser(ctx, CAROL, "carol", "卡萝", ROLE_OPERATOR, CkxUser::STATE_PAUSE);
    AddUser(ctx, DAVE, "dave", "戴夫", ROLE_OPERATOR, CkxUser::STATE_INV);
    AddGroup(ctx, GROUP_DESIGN, "设计组", {ALICE, BOB, DAVE});
    AddGroup(ctx, GROUP_EDIT, "编辑组", {ALICE, DAVE});
    AddGroup(ctx, GROUP_REVIEW, "审核组", {DAVE});

    AddFolder(ctx, FOLDER_GALLERY, "图库", 0, -1, Rights(1, 0));
    AddFolder(ctx, FOLDER_MATERIAL, "素材", 1, FOLDER_GALLERY,
              Rights(0, KXP_DIR_OPEN | KXP_DIR_READ | KXP_FILE_READ,
                     {Grant(BOB, false, 0), Grant(GROUP_DESIGN, true, 0x0C),
                      Grant(GROUP_EDIT, true, 0x30), Grant(GROUP_REVIEW, true, 0x3C)}));
    AddFolder(ctx, FOLDER_PHOTOS, "照片", 2, FOLDER_MATERIAL, Rights(1, 0));
    AddFolder(ctx, FOLDER_ARCHIVE, "归档", 0, -1, Rights(0, 0), CAROL);
    AddFolder(ctx, FOLDER_INNER, "内部", 1, FOLDER_ARCHIVE, Rights(0, KXP_DIR_OPEN));
    AddFolder(ctx, FOLDER_DEEP, "深层", 2, FOLDER_INNER, Rights(0, KXP_DIR_OPEN));
    AddFolder(ctx, FOLDER_HIDDEN, "隐藏", 1, FOLDER_GALLERY, Rights(1, 0), SU, CkxFSNode::STATE_HIDE);
    AddFolder(ctx, FOLDER_DOCS, "文档", 1, FOLDER_GALLERY, Rights(1, 0));
    AddFolder(ctx, FOLDER_DRAFTS, "草稿", 2, FOLDER_DOCS, Rights(1, 0));

    AddPowerRole<CkxFolderRole>(ctx.m_FolderRoleList, 1, "完全控制", 0x3F);
    AddPowerRole<CkxFolderRole>(ctx.m_FolderRoleList, 2, "只读", KXP_DIR_OPEN | KXP_DIR_READ);
    AddPowerRole<CkxFileRole>(ctx.m_FileRoleList, 1, "完全控制",
                              KXP_FILE_FULLCTRL | KXP_FILE_OPERATE | KXP_FILE_READ | KXP_FILE_OPEN);
    AddPowerRole<CkxFileRole>(ctx.m_FileRoleList, 2, "浏览", KXP_FILE_READ);

    for (const auto& [id, name] : std::vector<std::pair<int, const char*>>{
             {1, "张三"}, {2, "李四"}, {3, "王五"}}) {
        CkxPerson p;
        p.m_nID = id;
        p.m_strName = name;
        ctx.m_PersonList.AddTail(p);
    }

    AddProject(ctx, PROJECT_ALBUM, "春季画册", CkxProject::STATE_PROCESS, ALICE,
               COleDateTime(2024, 3, 1, 9, 0, 0), BOB, CkxUserX::TYPE_USER);
    AddProject(ctx, PROJECT_REPORT, "年报", CkxProject::STATE_START, CAROL,
               COleDateTime(2024, 1, 15, 14, 30, 0), GROUP_EDIT, CkxUserX::TYPE_GROUP);
    int linkId = 1;
    for (const auto& [project, file] : std::vector<std::pair<int, int>>{
             {PROJECT_ALBUM, FILE_A}, {PROJECT_ALBUM, FILE_B}, {PROJECT_REPORT, FILE_A}}) {
        CkxProjectData link;
        link.m_nID = linkId++;
        link.m_nProjectID = project;
        link.m_nFileID = file;
        link.m_nCreatorID = project == PROJECT_ALBUM ? ALICE : CAROL;
        ctx.m_ProjectDataList.AddTail(link);
    }

    CkxFSQuickKey key1(FOLDER_GALLERY, FILE_A);
    key1.m_nID = 1;
    ctx.m_QuickKeyList.AddTail(key1);
    CkxFSQuickKey key2(FOLDER_DOCS, FILE_C);
    key2.m_nID = 2;
    ctx.m_QuickKeyList.AddTail(key2);

    CkxFamilyXXX& reg = KX_FamilyXXX();
    AddFamily(reg, KXF_ROOT_TEXT, "文本根族", 0, -1, KXD_TEXT);
    AddFamily(reg, KXF_ROOT_AUDIO, "音频根族", 0, -1, KXD_AUDIO);
    AddFamily(reg, KXF_ROOT_VIDEO, "视频根族", 0, -1, KXD_VIDEO);
    AddFamily(reg, KXF_ROOT_BINARY, "二进制根族", 0, -1, KXD_BINARY);
    AddFamily(reg, KXF_ROOT_OTHER, "", 0, -1, KXD_UNKNOWN);
    AddFamily(reg, FAMILY_LANDSCAPE, "风景", 1, KXF_ROOT_IMAGE, KXD_IMAGE);
    AddFamily(reg, FAMILY_CONTRACT, "合同", 1, KXF_ROOT_TEXT, KXD_TEXT);

    CkxAttr region = MakeAttr(ATTR_REGION, FAMILY_LANDSCAPE, "地区", KXT_STR, KXE_COMBO);
    region.m_Consts.AddTail(MakeConst(1, -1, CkxValueSp("华北")));
    region.m_Consts.AddTail(MakeConst(2, -1, CkxValueSp("华东")));
    region.m_Consts.AddTail(MakeConst(3, -1, CkxValueSp("华南")));
    reg.attr_AddTail(region);
    CkxAttr category = MakeAttr(ATTR_CATEGORY, FAMILY_LANDSCAPE, "分类", KXT_STR, KXE_TREE);
    category.m_Consts.AddTail(MakeConst(10, -1, CkxValueSp("自然")));
    category.m_Consts.AddTail(MakeConst(11, 10, CkxValueSp("山川")));
    category.m_Consts.AddTail(MakeConst(12, 10, CkxValueSp("湖泊")));
    category.m_Consts.AddTail(MakeConst(20, -1, CkxValueSp("城市")));
    category.m_Consts.AddTail(MakeConst(21, 20, CkxValueSp("街景")));
    reg.attr_AddTail(category);
    reg.attr_AddTail(MakeAttr(ATTR_SHOT_DATE, KXF_ROOT_IMAGE, "拍摄日期", KXT_DATE, KXE_TIME));
    CkxAttr photographer = MakeAttr(ATTR_PHOTOGRAPHER, FAMILY_LANDSCAPE, "摄影师", KXT_INT, KXE_COMBO);
    photographer.SetConstProvider([](CkxConstList& list) {
        KX_KXXXX().m_PersonList.ForEach([&](const CkxPerson& p) {
            CkxConst c = MakeConst(p.m_nID, -1, CkxValueSp(p.m_nID));
            c.SetAlias(p.m_strName);
            list.AddTail(c);
        });
    });
    reg.attr_AddTail(photographer);

    CkxQueryTemplet all;
    all.m_nDataMode = KXD_IMAGE;
    all.m_nID = TEMPLET_ALL_IMAGES;
    all.m_strName = "全部图像";
    all.m_nCreatorID = SU;
    KX_QueryTempletList().AddTail(all);
    CkxQueryTemplet north;
    north.m_nDataMode = KXD_IMAGE;
    north.m_nID = TEMPLET_NORTH_LANDSCAPES;
    north.m_strName = "华北风景";
    north.m_nCreatorID = ALICE;
    north.m_Fix.nFamilyID = FAMILY_LANDSCAPE;
    CkxQueryOperand where;
    where.SetLinkAttr();
    where.Set_Equal(ATTR_REGION, std::string("华北"));
    north.m_OperandList.AddTail(where);
    CkxQueryOperand when;
    when.SetLinkAttr();
    when.Set_FromTo_Close(ATTR_SHOT_DATE, COleDateTime(2024, 1, 1, 0, 0, 0),
                          COleDateTime(2024, 12, 31, 0, 0, 0));
    north.m_OperandList.AddTail(when);
    KX_QueryTempletList().AddTail(north);
}

} // namespace guitest
