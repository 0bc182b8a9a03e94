#include "model/CkxFIPhoto.h"
#include "model/CkxFile.h"
#include "model/CkxFileImage.h"
#include "model/CkxFileKinds.h"
#include "model/CkxFileList.h"
#include "model/CkxXXX.h"
#include "core/support/GoldenBytes.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string I32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A file with every record field set to a distinct value.
CkxFile SampleFile() {
    CkxFile f;
    f.m_nID = 1234;
    f.m_nFamilyID = 100000007;
    f.m_nFileType = KXFK_IMAGE;
    f.m_nEncFormat = 6;
    f.m_nProgStct = KXPS_FileImageObj;
    f.m_nVersion = 3;
    f.m_nEntity = 0;
    f.m_strTitle = "图像";
    f.m_strExName = "png";
    f.m_nWidth = 400;
    f.m_nHeight = 300;
    f.m_nSize = 98765;
    f.m_nStorageID = 2;
    f.m_nLocDirID = 17;
    f.m_strSourcePath = "/home/a/b.png";
    f.m_nWriterID = 5;
    f.m_nEditorID = 6;
    f.m_nAuthorID = 7;
    f.m_dtWrite = COleDateTime(38412.25);
    f.m_dtEdit = COleDateTime(38413.5);
    f.m_dtAuth = COleDateTime(38000.0);
    f.m_nDeleted = 1;
    f.m_nDeleterID = 8;
    f.m_dtDelete = COleDateTime(38500.75);
    f.m_nCheckouted = 1;
    f.m_nCheckoutUserID = 9;
    f.m_dtCheckout = COleDateTime(38600.125);
    f.m_strAuthAddr = "Hall";
    f.m_strRemark = "note";
    return f;
}

std::string SampleRecordBytes() {
    return GoldenBytes(536)
        .I32(0, 1234)
        .I32(4, 100000007)
        .I32(8, 1)
        .I32(12, 6)
        .I32(16, 0x21)
        .I32(20, 3)
        .Raw(28, "\xCD\xBC\xCF\xF1")
        .Raw(73, "png")
        .I32(84, 400)
        .I32(88, 300)
        .I32(92, 98765)
        .I32(96, 2)
        .I32(100, 17)
        .Raw(104, "/home/a/b.png")
        .I32(364, 5)
        .I32(368, 6)
        .I32(372, 7)
        .Date(376, 38412.25)
        .Date(384, 38413.5)
        .Date(392, 38000.0)
        .I32(400, 1)
        .I32(404, 8)
        .Date(408, 38500.75)
        .I32(416, 1)
        .I32(420, 9)
        .Date(424, 38600.125)
        .Raw(432, "Hall")
        .Raw(482, "note")
        .Str();
}

// A container of the given sections.
CkxContainer Body(const std::vector<std::string>& sects) {
    CkxContainer c;
    for (const auto& s : sects) c.AddSect(s);
    return c;
}

std::string ExValueRecord(int obj, int attr, int value) {
    CkxAttrValue v(obj, attr);
    v.m_Value = value;
    CkxAttrValue::_COM c = v.GetComData();
    return std::string(reinterpret_cast<const char*>(&c), sizeof c);
}

} // namespace

TEST(CkxFile, RecordGoldenBytesAndRoundTrip) {
    CkxFile f = SampleFile();
    CkxFile::_COM c = f.GetComData();
    ASSERT_EQ(kx::RecordBytes(c), SampleRecordBytes());

    CkxFile back(c);
    EXPECT_EQ(kx::RecordBytes(back.GetComData()), SampleRecordBytes());
    EXPECT_EQ(back.m_strTitle, "图像");
    EXPECT_EQ(back.m_dtCheckout.m_dt, 38600.125);
    EXPECT_EQ(back.m_dtCheckout.GetStatus(), COleDateTime::valid);
    // The entity flag does not travel.
    EXPECT_EQ(back.m_nEntity, 1);
}

TEST(CkxFile, NewFileRecordAndDefaults) {
    CkxFile f;
    CkxFile::_COM c = f.GetComData();
    std::string expect = GoldenBytes(536)
                             .I32(0, -1)
                             .I32(4, -1)
                             .I32(96, -1)
                             .I32(100, -1)
                             .I32(364, -1)
                             .I32(368, -1)
                             .I32(372, -1)
                             .I32(404, -1)
                             .I32(420, -1)
                             .Str();
    EXPECT_EQ(kx::RecordBytes(c), expect);
    EXPECT_EQ(f.m_Power.IsInherit(), 1);
    EXPECT_EQ(f.m_nWholeState, KXW_INVALID);
}

TEST(CkxFile, DeleteRecordGoldenBytes) {
    CkxFile f = SampleFile();
    // A title longer than the field is cut at a character boundary, never left unterminated.
    f.m_strTitle = std::string(60, 'x');
    std::string expect = GoldenBytes(72)
                             .I32(0, 1234)
                             .I32(4, -1)
                             .I32(8, -1)
                             .I32(12, 0)
                             .Raw(16, std::string(44, 'x'))
                             .Raw(61, "png")
                             .Str();
    EXPECT_EQ(kx::RecordBytes(f.GetComData_DelFile()), expect);
}

TEST(CkxFile, InfoAndDataBodiesRoundTrip) {
    CkxFile f = SampleFile();
    f.m_Power.m_nInherit = 0;
    f.m_Power.m_nEveryonePower = 60;
    CkxAttrValue ex(1234, 7001);
    ex.m_Value = 42;
    f.SetExAttrValue(ex);
    f.UpdateMicro("micro", 5);
    f.UpdateWhole("whole-content", 13);

    CkxContainer info;
    ASSERT_TRUE(f.BuildFileInfo(info));
    ASSERT_EQ(info.GetCount(), 4);
    EXPECT_EQ(info.GetSect(0)->View(), SampleRecordBytes());
    EXPECT_EQ(info.GetSect(1)->View(), ExValueRecord(1234, 7001, 42));
    EXPECT_EQ(info.GetSect(2)->View(), I32(0) + I32(60));
    EXPECT_EQ(info.GetSect(3)->View(), "micro");

    CkxBuf data;
    ASSERT_GT(f.BuildFileData(data), 0);
    CkxFile back;
    ASSERT_EQ(back.PasyFileData(data), 1);
    EXPECT_EQ(kx::RecordBytes(back.GetComData()), SampleRecordBytes());
    EXPECT_EQ(back.m_Power.m_nInherit, 0);
    EXPECT_EQ(back.m_Power.m_nEveryonePower, 60u);
    ASSERT_EQ(back.m_ExAttrValueList.GetCount(), 1);
    EXPECT_EQ(back.GetAttrValue(7001).GetInt(), 42);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back.GetMemMicroBuf()), back.GetMemMicroSize()), "micro");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(back.GetMemWholeBuf()), back.GetMemWholeSize()),
              "whole-content");

    // Without a thumbnail the fourth section is empty and the reader keeps no thumbnail.
    CkxFile plain;
    CkxContainer bare;
    ASSERT_TRUE(plain.BuildFileInfo(bare));
    ASSERT_EQ(bare.GetCount(), 4);
    EXPECT_EQ(bare.GetSect(3)->Len(), 0u);
    CkxFile readBare;
    EXPECT_EQ(readBare.PasyFileInfo(bare), 1);
    EXPECT_FALSE(readBare.IsMemMicroValid());
}

// Each malformed body is refused whole (object unchanged) or read as far as it is sound.
TEST(CkxFile, MalformedBodies) {
    const std::string rec = SampleRecordBytes();
    const std::string power = I32(0) + I32(60);
    const std::string ex = ExValueRecord(1234, 7001, 42);
    struct Case {
        const char* what;
        std::vector<std::string> sects;
        bool data; // read as a data body (five sections) instead of an info body
        int result;
        int exCount; // extended values after the read (the object starts with one)
    };
    const Case cases[] = {
        {"no sections", {}, false, 0, 1},
        {"base record only", {rec}, false, 0, 1},
        {"three sections", {rec, ex, power}, false, 0, 1},
        {"short base record", {rec.substr(0, 535), ex, power, ""}, false, 0, 1},
        {"empty base record", {"", ex, power, ""}, false, 0, 1},
        {"1-byte rights", {rec, ex, power.substr(0, 1), ""}, false, 0, 1},
        {"7-byte rights", {rec, ex, power.substr(0, 7), ""}, false, 0, 1},
        {"0-byte rights", {rec, ex, "", ""}, false, 0, 1},
        {"data body without content section", {rec, ex, power, "m"}, true, 0, 1},
        {"ragged extended section", {rec, ex + ex + "abc", power, ""}, false, 1, 2},
        {"extended section shorter than a value", {rec, "abc", power, ""}, false, 1, 1},
        {"empty extended section keeps the values", {rec, "", power, ""}, false, 1, 1},
        {"sound info body", {rec, ex, power, "m"}, false, 1, 1},
        {"sound data body", {rec, ex, power, "m", "w"}, true, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CkxFile f;
        f.m_strTitle = "before";
        CkxAttrValue mine(-1, 99);
        mine.m_Value = 1;
        f.SetExAttrValue(mine);
        CkxContainer body = Body(c.sects);
        int r = c.data ? f.PasyFileData(body) : f.PasyFileInfo(body);
        EXPECT_EQ(r, c.result);
        EXPECT_EQ(f.m_ExAttrValueList.GetCount(), c.exCount);
        if (r == 0) {
            EXPECT_EQ(f.m_strTitle, "before");
            EXPECT_EQ(f.m_Power.m_nEveryonePower, 0u);
            EXPECT_FALSE(f.IsMemMicroValid());
        } else {
            EXPECT_EQ(f.m_strTitle, "图像");
            EXPECT_EQ(f.m_Power.m_nEveryonePower, 60u);
        }
        // The flattened form goes through the same checks.
        CkxBuf flat;
        body.BuildBuf(flat);
        CkxFile g;
        EXPECT_EQ(c.data ? g.PasyFileData(flat) : g.PasyFileInfo(flat), c.result);
    }

    // A photo needs its whole 912-byte record: a 536-byte one is refused.
    CkxFIPhoto photo;
    EXPECT_EQ(photo.PasyFileInfo(Body({rec, "", power, ""})), 0);
    // A buffer that is not a container at all.
    CkxBuf junk;
    junk.Fill("\x05\x00\x00\x00", 4);
    CkxFile f;
    EXPECT_EQ(f.PasyFileInfo(junk), 0);
}

TEST(CkxFile, CreateFileByKind) {
    for (int kind : {0, 1, 2, 3, 4, 5, 6, 7, -1}) {
        SCOPED_TRACE(kind);
        CkxFile f;
        f.m_nFileType = kind;
        CkxContainer c;
        c.AddSect(kx::RecordBytes(f.GetComData()));
        std::unique_ptr<CkxFile> made(CkxFile::_CreateFile(c));
        ASSERT_TRUE(made);
        switch (kind) {
        case 1: EXPECT_TRUE(dynamic_cast<CkxFileImage*>(made.get()) && made->IsImage()); break;
        case 2: EXPECT_TRUE(dynamic_cast<CkxFileText*>(made.get()) && made->IsText()); break;
        case 3: EXPECT_TRUE(dynamic_cast<CkxFileAudio*>(made.get()) && made->IsAudio()); break;
        case 4: EXPECT_TRUE(dynamic_cast<CkxFileVideo*>(made.get()) && made->IsVideo()); break;
        case 5: EXPECT_TRUE(dynamic_cast<CkxFileBinary*>(made.get()) && made->IsBinary()); break;
        case 6: EXPECT_TRUE(dynamic_cast<CkxFIPhoto*>(made.get()) && made->IsFIPhoto()); break;
        default: EXPECT_EQ(typeid(*made), typeid(CkxFile)); break;
        }
        // The new object is empty: the caller reads the body into it.
        EXPECT_EQ(made->GetID(), -1);
    }
    CkxContainer none;
    EXPECT_EQ(CkxFile::_CreateFile(none), nullptr);
    CkxContainer shortRec;
    shortRec.AddSect(std::string(100, '\0'));
    EXPECT_EQ(CkxFile::_CreateFile(shortRec), nullptr);
}

TEST(CkxFile, AttributeAccess) {
    CkxFile f = SampleFile();
    CkxAttrValue ex(1234, 555);
    ex.m_Value = std::string("extra");
    f.SetExAttrValue(ex);

    EXPECT_EQ(f.GetAttrValue(KXB_WIDTH).GetInt(), 400);
    EXPECT_EQ(f.GetAttrValue(KXB_WIDTH).GetObjID(), 1234);
    EXPECT_EQ(f.GetAttrValue(KXB_FILETITLE).GetStr(), "图像");
    EXPECT_EQ(f.GetAttrValue(KXB_EDITTIME).GetDate().m_dt, 38413.5);
    EXPECT_EQ(f.GetAttrValue(555).GetStr(), "extra");
    CkxAttrValue none = f.GetAttrValue(777);
    EXPECT_EQ(none.GetObjID(), -1);
    EXPECT_EQ(none.GetAttrID(), -1);
    CkxAttrValue out;
    EXPECT_EQ(f.GetAttrValue(777, out), 0);
    EXPECT_EQ(f.GetAttrValue(KXB_HEIGHT, out), 1);
    EXPECT_EQ(out.GetInt(), 300);

    CkxAttrValue title(1234, KXB_FILETITLE);
    title.m_Value = std::string();
    f.SetAttrValue(title); // an empty title is ignored
    EXPECT_EQ(f.m_strTitle, "图像");
    CkxAttrValue dir(1234, KXB_LOCDIRID);
    f.SetAttrValue(dir); // a void value clears the folder
    EXPECT_EQ(f.m_nLocDirID, -1);
    CkxAttrValueList list;
    CkxAttrValue remark(1234, KXB_REMARK);
    remark.m_Value = std::string("new remark");
    CkxAttrValue author(1234, KXB_AUTHORID);
    author.m_Value = 77;
    list.AddTail(remark);
    list.AddTail(author);
    f.SetAttrValue(list);
    EXPECT_EQ(f.m_strRemark, "new remark");
    EXPECT_EQ(f.m_nAuthorID, 77);

    EXPECT_EQ(f.GetAttrText(KXB_ID), "1234");
    EXPECT_EQ(f.GetAttrText(KXB_WIDTH), "400");
    EXPECT_EQ(f.GetAttrText(KXB_ENCFORMAT), "PNG 格式");
    EXPECT_EQ(f.GetAttrText(KXB_FAMILYID), "普通文件"); // unknown family
    EXPECT_EQ(f.GetAttrText(555), "extra");
    EXPECT_EQ(f.GetAttrText(777), "不存在属性");
    f.m_dtAuth.SetDateTime(2005, 3, 1, 0, 0, 0);
    EXPECT_EQ(f.GetAttrText(KXB_AUTHTIME), "2005-3-1");
    f.m_dtAuth.SetDateTime(2005, 3, 1, 8, 5, 9);
    EXPECT_EQ(f.FormatAuthTime(), "2005-3-1 8:5:9");
    f.m_dtDelete = COleDateTime();
    EXPECT_EQ(f.FormatDeleteTime(), "");
    f.m_nID = -3;
    EXPECT_EQ(f.FormatID(), "4294967293");
    EXPECT_TRUE(f.IsLocalFile());
    EXPECT_EQ(f.FormatSourceDir(), "/home/a/");
    f.m_strSourcePath = "b.png";
    EXPECT_EQ(f.FormatSourceDir(), "");
    EXPECT_EQ(f.FormatEncFormat(), "PNG 格式");

    CkxAttrList base, editable;
    EXPECT_EQ(CkxFile::_GetBaseAttrList(base), 14);
    EXPECT_EQ(CkxFile::_GetCanEditBaseAttrList(editable), 6);
    std::vector<int> ids;
    editable.ForEach([&](const CkxAttr& a) { ids.push_back(a.m_nID); });
    EXPECT_EQ(ids, (std::vector<int>{KXB_FILETITLE, KXB_AUTHORID, KXB_AUTHTIME, KXB_AUTHADDR,
                                     KXB_LOCDIRID, KXB_REMARK}));
}

// The people and folder of a file are named from the process's context, and the base
// definitions of those fields offer the context's persons, users and folders as choices.
TEST(CkxFile, PeopleAndFolderFromTheContext) {
    CkxXXX& ctx = KX_KXXXX();
    CkxPerson painter;
    painter.m_nID = 31;
    painter.m_strName = "张三";
    ctx.m_PersonList.AddTail(painter);
    CkxUser clerk, editor;
    clerk.m_nID = 5;
    clerk.m_strLogon = "clerk";
    editor.m_nID = 6;
    editor.m_strLogon = "编辑";
    ctx.m_UserList.AddTail(clerk);
    ctx.m_UserList.AddTail(editor);
    CkxFSNode pics, gone;
    pics.m_nID = 8;
    pics.m_strName = "图片";
    pics.m_nParentID = -1;
    gone = pics;
    gone.m_nID = 9;
    gone.m_nState = CkxFSNode::STATE_DELETE;
    ASSERT_EQ(ctx.fsAddDir(pics), 1);
    ASSERT_EQ(ctx.fsAddDir(gone), 1);

    CkxFile f = SampleFile();
    f.m_nAuthorID = 31;
    f.m_nWriterID = 5;
    f.m_nEditorID = 6;
    f.m_nLocDirID = 8;
    EXPECT_EQ(f.FormatAuthor(), "张三");
    EXPECT_EQ(f.GetAttrText(KXB_AUTHORID), "张三");
    EXPECT_EQ(f.GetAttrText(KXB_WRITERID), "clerk");
    EXPECT_EQ(f.GetAttrText(KXB_EDITORID), "编辑");
    EXPECT_EQ(f.GetAttrText(KXB_LOCDIRID), ctx.fsGetDirPath(8));
    f.m_nAuthorID = 32; // nobody
    EXPECT_EQ(f.FormatAuthor(), "");

    // Which definitions carry a provider, and what each lists.
    CkxAttrList base;
    CkxFile::_GetBaseAttrList(base);
    std::vector<std::pair<int, std::vector<std::pair<int, std::string>>>> offered;
    base.ForEach([&](const CkxAttr& a) {
        CkxConstList consts;
        if (!a.CallConstProvider(consts)) return;
        std::vector<std::pair<int, std::string>> items;
        consts.ForEach([&](const CkxConst& c) {
            if (a.m_nID != KXB_LOCDIRID) EXPECT_EQ(c.m_Value.GetInt(), c.m_nID);
            items.emplace_back(c.m_nID, c.GetText());
        });
        offered.emplace_back(a.m_nID, items);
    });
    using Items = std::vector<std::pair<int, std::string>>;
    ASSERT_EQ(offered.size(), 4u);
    EXPECT_EQ(offered[0], (std::pair{int(KXB_AUTHORID), Items{{31, "张三"}}}));
    EXPECT_EQ(offered[1], (std::pair{int(KXB_WRITERID), Items{{5, "clerk"}, {6, "编辑"}}}));
    EXPECT_EQ(offered[2], (std::pair{int(KXB_EDITORID), Items{{5, "clerk"}, {6, "编辑"}}}));
    EXPECT_EQ(offered[3], (std::pair{int(KXB_LOCDIRID), Items{{8, "图片"}}})); // active folders only

    // The choices follow the context: a person added later is offered too.
    CkxPerson another;
    another.m_nID = 40;
    another.m_strName = "李四";
    ctx.m_PersonList.AddTail(another);
    const CkxAttr* author = base.Find(KXB_AUTHORID);
    ASSERT_NE(author, nullptr);
    CkxConstList now;
    author->CallConstProvider(now);
    EXPECT_EQ(now.GetCount(), 2);
    // The photo file's list starts with the same definitions.
    CkxAttrList photo;
    CkxFIPhoto::_GetBaseAttrList(photo);
    const CkxAttr* photoFolder = photo.Find(KXB_LOCDIRID);
    ASSERT_NE(photoFolder, nullptr);
    EXPECT_TRUE(photoFolder->HasConstProvider());

    ctx.m_PersonList.DeleteAll();
    ctx.m_UserList.DeleteAll();
    ctx.fsDeleteAll();
}

TEST(CkxFile, NamesFromPaths) {
    struct Case {
        const char* path;
        const char* title;
        const char* ex;
    };
    const Case cases[] = {
        {"/pic/a.b.jpg", "ab", "jpg"},
        {"D:\\pic\\a.b.jpg", "ab", "jpg"},
        {"/x/photo", "", ""},
        {"/x.y/photo", "", ""}, // a dot in a folder name is not the file's extension
        {"photo.PNG", "photo", "PNG"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        CkxFile f;
        f.SetFileName(c.path);
        EXPECT_EQ(f.m_strTitle, c.title);
        EXPECT_EQ(f.m_strExName, c.ex);
    }
    CkxFile f;
    f.m_nID = 42;
    f.m_strTitle = "shot";
    f.m_strExName = "JPG";
    EXPECT_EQ(f.GetExName(), "jpg");
    EXPECT_EQ(f.GetFileName(), "shot.JPG");
    EXPECT_EQ(f.GetIDName(), "42.JPG");
    EXPECT_EQ(f.GetMicroIDName(), "42");
    f.m_strExName = "../../etc/x";
    EXPECT_EQ(f.GetIDName(), "42.etcx");

    EXPECT_EQ(CkxFile::CheckFileType("JPEG"), 1);
    EXPECT_EQ(CkxFile::CheckFileType("psd"), 0);
    std::vector<std::string> sufs;
    EXPECT_EQ(CkxFile::GetImgSufixArray(sufs), 27);
}

TEST(CkxFile, FileNamesAreCleanedBeforeTheyReachTheDisk) {
    struct Case {
        const char* title;
        const char* ex;
        const char* expect; // file name in the folder, or "" when refused
    };
    const Case cases[] = {
        {"a", "jpg", "a.jpg"},
        {"../../evil", "jpg", "evil.jpg"},
        {"..", "jpg", ""},
        {"a/b\\c", "png", "abc.png"},
        {"tab\there", "j.p/g", "tabhere.jpg"},
        {"x..y", "", "x.y"},
        {"", "jpg", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        TempDir dir;
        std::filesystem::create_directory(dir.path() / "sub");
        CkxFile f;
        f.m_strTitle = c.title;
        f.m_strExName = c.ex;
        f.UpdateWhole("data", 4);
        int r = f.SaveToDir((dir.path() / "sub").string());
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.path()))
            if (e.is_regular_file()) names.push_back(std::filesystem::relative(e.path(), dir.path()).string());
        if (std::string(c.expect).empty()) {
            EXPECT_EQ(r, 0);
            EXPECT_TRUE(names.empty());
        } else {
            EXPECT_EQ(r, 1);
            EXPECT_EQ(names, std::vector<std::string>{std::string("sub/") + c.expect});
            EXPECT_TRUE(CkxFile::IsCleanName(c.expect));
        }
    }
    // The stored name of the content: the id and the cleaned extension.
    CkxFile g;
    g.m_nID = 7;
    g.m_strExName = "../x/..";
    EXPECT_EQ(g.GetIDName(), "7.x");
    EXPECT_TRUE(CkxFile::IsCleanName(g.GetIDName()));
    for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "x..y", "a\nb", "\x7f"})
        EXPECT_FALSE(CkxFile::IsCleanName(bad)) << bad;
}

TEST(CkxFile, SavingIntoAFolderNeverReplacesAFileThere) {
    TempDir dir;
    std::ofstream(dir.file("pic.png"), std::ios::binary) << "theirs";
    std::ofstream(dir.file("notes")) << "keep";
    struct Case {
        const char* title;
        const char* ex;
        const char* data;
        const char* expect;
    };
    const Case cases[] = {
        {"pic", "png", "one", "pic (2).png"},
        {"pic", "png", "two", "pic (3).png"},
        {"../pic", "png", "three", "pic (4).png"},
        {"notes", "", "n", "notes (2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expect);
        CkxFile f;
        f.m_strTitle = c.title;
        f.m_strExName = c.ex;
        f.UpdateWhole(c.data, static_cast<int>(std::strlen(c.data)));
        EXPECT_EQ(f.SaveToDir(dir.str()), 1);
        EXPECT_EQ(FileBytes(dir.file(c.expect)), c.data);
    }
    EXPECT_EQ(FileBytes(dir.file("pic.png")), "theirs");
    EXPECT_EQ(FileBytes(dir.file("notes")), "keep");
    size_t count = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) count += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(count, 6u); // no temporary file left behind
    // Nothing to write: nothing written.
    CkxFile empty;
    empty.m_strTitle = "pic";
    empty.m_strExName = "png";
    EXPECT_EQ(empty.SaveToDir(dir.str()), 0);
}

TEST(CkxFile, CopiesAndDestroy) {
    CkxFile f = SampleFile();
    f.UpdateMicro("m", 1);
    f.m_nSpare = 9;
    f.m_nWholeState = KXW_VALID;
    CkxFile copy(f);
    EXPECT_EQ(kx::RecordBytes(copy.GetComData()), SampleRecordBytes());
    EXPECT_EQ(copy.m_nEntity, 0);
    EXPECT_EQ(copy.m_nSpare, 9);
    EXPECT_TRUE(copy.Is_WholeState_Valid());
    EXPECT_NE(copy.GetMemMicroBuf(), f.GetMemMicroBuf());
    EXPECT_FALSE(copy.IsMemWholeValid());

    copy.Destroy();
    EXPECT_EQ(copy.m_nID, -1);
    EXPECT_EQ(copy.m_nFamilyID, 100000001);
    EXPECT_EQ(copy.GetDataKind(), KXD_IMAGE);
    EXPECT_TRUE(copy.m_strTitle.empty());
    EXPECT_FALSE(copy.IsMemMicroValid());
    EXPECT_EQ(copy.m_nFileType, KXFK_IMAGE);  // kind stays
    EXPECT_EQ(copy.m_nCheckoutUserID, 9);     // checkout stays

    CkxPowerEx p = f.GetPower();
    EXPECT_EQ(p.m_nItemID, 1234);
    EXPECT_EQ(p.m_nParentID, 17);
}

TEST(CkxFileList, OwnedMappedAndLookups) {
    CkxFile mapped;
    mapped.m_nID = 2;
    {
        CkxFileList list;
        EXPECT_EQ(list.GetIndex(0), nullptr);
        EXPECT_EQ(list.GetHead(), nullptr);
        EXPECT_EQ(list.AddObj(nullptr), 0);
        auto* a = new CkxFile;
        a->m_nID = 1;
        a->m_strTitle = "a";
        a->m_strExName = "jpg";
        EXPECT_EQ(list.AddObj(a), 1);
        EXPECT_EQ(list.AddMap(&mapped), 1);
        auto* c = new CkxFile;
        c->m_nID = 1;
        list.AddObj(c);
        EXPECT_EQ(list.GetCount(), 3);
        EXPECT_EQ(list.GetIndex(1), &mapped);
        EXPECT_EQ(list.GetIndex(3), nullptr);
        EXPECT_EQ(list.Find(1), a);
        EXPECT_EQ(list.IsHasFile("a.jpg"), 1);
        EXPECT_EQ(list.IsHasFile("A.jpg"), 0);

        list.Set_WholeState_Getting(1);
        EXPECT_TRUE(a->Is_WholeState_Getting());
        EXPECT_TRUE(c->Is_WholeState_Getting());
        EXPECT_EQ(list.RequestWholeFile(), 1);
        EXPECT_TRUE(mapped.Is_WholeState_Request());
        EXPECT_EQ(list.RequestWholeFile(), 0);

        EXPECT_EQ(list.Delete(1), 1); // the first only
        EXPECT_EQ(list.Find(1), c);
        EXPECT_EQ(list.Remove(2), 1); // not deleted: it is someone else's
        EXPECT_EQ(list.GetCount(), 1);
        std::unique_ptr<CkxFile> head(list.RemoveHead());
        EXPECT_EQ(head.get(), c);
        EXPECT_EQ(list.RemoveHead(), nullptr);
        list.AddMap(&mapped);
    }
    EXPECT_EQ(mapped.m_nID, 2); // a mapped file outlives the list
}

TEST(CkxFileList, ConcurrentCallsAreSerialised) {
    CkxFileList list;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&list, t] {
            for (int i = 0; i < 200; ++i) {
                auto* f = new CkxFile;
                f->m_nID = t * 1000 + i;
                list.AddObj(f);
                if (i % 2) list.Delete(t * 1000 + i - 1);
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(list.GetCount(), 400);
}
