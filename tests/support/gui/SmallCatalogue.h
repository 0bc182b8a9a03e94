// A small catalogue for the tests of windows and dialogs that read the process-wide context
// (KX_KXXXX), the family registry (KX_FamilyXXX) and the query templates (KX_QueryTempletList).
// The fixture empties all three, fills them before each test and empties them after it.
//
//   users     su (system administrator), alice, carol, dave (operators), bob (viewer); the
//             log-on names and passwords of the server tests' seeded accounts ("alice-pw", ...)
//   groups    10 设计组 {alice, bob, dave}, 11 编辑组 {alice, dave}, 12 审核组 {dave}
//   folders   1 图库 (root rights) ── 2 素材 (own rights: alice, bob nothing) ── 3 照片 (inherits 2)
//                                  ├─ 7 隐藏 (hidden)
//                                  └─ 8 文档 ── 9 草稿          (alice creates files in 1, 8, 9)
//             4 归档 (closed, made by carol) ── 5 内部 ── 6 深层
//   roles     folder roles 1 完全控制, 2 只读; file roles 1 完全控制, 2 浏览
//   families  the six roots, 201 风景 (image), 202 合同 (text)
//   attributes 301 地区 (drop-down constants), 302 分类 (tree constants with parent ids),
//             303 拍摄日期 (date), 304 摄影师 (constants from a provider: the persons)
//   persons   1 张三, 2 李四, 3 王五
//   projects  1 春季画册 (alice's, member bob), 2 年报 (carol's, member group 11); links of
//             files 1001, 1002 to project 1 and 1001 to project 2
//   quick keys 1 (folder 1, file 1001), 2 (folder 8, file 1003)
//   templates 1 全部图像 (image files, no condition), 2 华北风景 (family 201, attribute
//             conditions on 301 and 303)
//   server    a server record for the trees' server items (not put into the context): name
//             "图库服务器", address "127.0.0.1", department "测试部", remark "本机测试"
#pragma once

class CkxFileImage;
class CkxServer;

#include <gtest/gtest.h>

namespace guitest {

class SmallCatalogue : public ::testing::Test {
public:
    enum User { SU = 1, ALICE = 2, BOB = 3, CAROL = 4, DAVE = 5 };
    enum UserRole { ROLE_ADMIN = 1, ROLE_OPERATOR = 2, ROLE_VIEWER = 3 };
    enum Group { GROUP_DESIGN = 10, GROUP_EDIT = 11, GROUP_REVIEW = 12 };
    enum Folder {
        FOLDER_GALLERY = 1, FOLDER_MATERIAL = 2, FOLDER_PHOTOS = 3, FOLDER_ARCHIVE = 4,
        FOLDER_INNER = 5, FOLDER_DEEP = 6, FOLDER_HIDDEN = 7, FOLDER_DOCS = 8, FOLDER_DRAFTS = 9
    };
    enum Family { FAMILY_LANDSCAPE = 201, FAMILY_CONTRACT = 202 };
    enum Attr { ATTR_REGION = 301, ATTR_CATEGORY = 302, ATTR_SHOT_DATE = 303, ATTR_PHOTOGRAPHER = 304 };
    enum Project { PROJECT_ALBUM = 1, PROJECT_REPORT = 2 };
    enum File { FILE_A = 1001, FILE_B = 1002, FILE_C = 1003 };
    enum Templet { TEMPLET_ALL_IMAGES = 1, TEMPLET_NORTH_LANDSCAPES = 2 };

    // Fills the context, the registry and the templates (after emptying them).
    static void Fill();
    // Empties them; the registry goes back to what a new process holds (the image root family
    // with the image files' base attributes). No current user.
    static void Empty();
    // Makes a fixture user (or -1, nobody) the current user of the process.
    static void SetCurrentUser(int userId);
    // The fixture's server record (one for the process; Fill resets it).
    static CkxServer& ServerRecord();
    // A file object not in the catalogue: a JPEG picture of 风景 in 文档, with the id and title.
    static CkxFileImage LandscapeImage(int id, const char* title);

protected:
    void SetUp() override { Fill(); }
    void TearDown() override { Empty(); }
};

} // namespace guitest
