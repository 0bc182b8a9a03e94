// The file query builder over a real catalogue (SQLite file and PostgreSQL): eight files across
// a small family tree and four folders, and a table of query blocks and operands with the files
// each must find.
#include "table/CImageFileTable.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxFileList.h"
#include "model/CkxQueryOperand.h"
#include "model/CkxXXX.h"
#include "base/Gbk.h"
#include "table/FileQuery.h"
#include "support/TempDir.h"
#include "server/support/TestCatalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>

namespace {

using Titles = std::set<std::string>;

constexpr int kExtraAttr = 7000; // an extended attribute some files carry

// Families: 500 with children 501 (and its child 503) and 502; 600 without children.
void AddFamilies() {
    struct F {
        int id, parent, level;
    };
    for (F f : {F{500, KXF_ROOT_IMAGE, 1}, F{501, 500, 2}, F{502, 500, 2}, F{503, 501, 3},
                F{600, KXF_ROOT_IMAGE, 1}}) {
        CkxFamily fam;
        fam.m_nID = f.id;
        fam.m_nParentID = f.parent;
        fam.m_nLevel = f.level;
        fam.m_strName = "族" + std::to_string(f.id);
        ASSERT_EQ(KX_FamilyXXX().family_AddTail(fam), 1) << f.id;
    }
}

struct Row {
    const char* title;
    int family, folder;
    int month; // write time: the first of that month in 2020
    int writer, author, editor, codeForm, deleted;
    const char* remark;
    int extra; // value of the extended attribute, 0 for none
};

// The fixture, in write-time order.
const Row kRows[] = {
    {"sunset", 500, 10, 1, 2, 3, -1, 2, 0, "", 0},
    {"sunrise", 501, 10, 2, 2, -1, -1, 1, 0, "O'Brien's", 0},
    {"O'Brien", 502, 11, 3, 5, -1, -1, 1, 0, "", 0},
    {"月亮", 503, 12, 4, 5, 3, -1, 2, 0, "", 0},
    {"star", 600, 11, 5, 5, -1, -1, 1, 0, "", 5},
    {"sunset2", 600, 12, 6, 2, -1, -1, 2, 1, "", 0},
    {"comet", 500, 13, 7, 5, -1, 4, 1, 0, "x", 0},
    {"planet", 501, 13, 8, 5, -1, -1, 1, 0, "", 9},
};

class FileQueryTest : public kxtest::CatalogueTest {
protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        AddFamilies();
        for (const Row& r : kRows) {
            CkxFileImage f;
            f.m_strTitle = r.title;
            f.m_strExName = "jpg";
            f.m_nFamilyID = r.family;
            f.m_nLocDirID = r.folder;
            f.m_dtWrite = COleDateTime(2020, r.month, 1, 8, 0, 0);
            f.m_nWriterID = r.writer;
            f.m_nAuthorID = r.author;
            f.m_nEditorID = r.editor;
            f.m_nEncFormat = r.codeForm;
            f.m_nDeleted = r.deleted;
            f.m_strRemark = r.remark;
            if (r.extra) {
                CkxAttrValue v(-1, kExtraAttr);
                v.m_Value = r.extra;
                f.SetExAttrValue(v);
            }
            CkxBuf exattr, power;
            f.BuildExattr(exattr);
            f.BuildPower(power);
            ASSERT_EQ(table.InsertFile(catalogue.db, f, exattr, power), 1) << r.title;
        }
    }
    void TearDown() override {
        KX_FamilyXXX().family_Delete(500);
        KX_FamilyXXX().family_Delete(600);
    }

    static Titles Of(CkxFileList& list) {
        Titles t;
        for (POSITION p = list.GetHeadPosition(); p;) t.insert(list.GetNext(p)->m_strTitle);
        return t;
    }

    CImageFileTable table;
};

TEST(FileQueryText, DefaultBlockGivesOnlyTheNotDeletedCondition) {
    const std::vector<int32_t> none;
    EXPECT_EQ(kx::FileQueryStatement("VUZO_FImage", CkxQueryTemplet::DefaultFix(), KX_FamilyXXX(), &none),
              " SELECT * FROM VUZO_FImage  WHERE  T_Deleted =  0 ORDER BY T_WriteTime ");
    // Every condition in its place, with its own spacing.
    CkxQueryTemplet::_FIX b = CkxQueryTemplet::DefaultFix();
    b.nFamilyID = 777; // unknown here: stands for itself
    kx::PutText(b.szTitle, "a'b");
    b.nCodeForm = 3;
    b.nAuthorID = 4;
    b.nWriterID = 5;
    b.nEditorID = 6;
    b.bWriteTime = 1;
    b.dtWriteFrom = COleDateTime(2020, 1, 2, 0, 0, 0).m_dt;
    b.dtWriteTo = COleDateTime(2020, 1, 3, 23, 59, 59).m_dt;
    const std::vector<int32_t> folders = {10, 11};
    const std::string expected = std::string(" SELECT * FROM VUZO_FImage ") + " WHERE " +
                                 " T_FamilyID IN " + " ( 777  ) " + " AND " +
                                 " T_LocDirID IN " + " ( 10 , 11  ) " + " AND " +
                                 " T_Title LIKE " + "'a''b'" + " AND " +
                                 " T_CodeForm = " + "3" + " AND " +
                                 " T_AuthorID = " + "4" + " AND " +
                                 " T_WriterID = " + "5" + " AND " +
                                 " T_EditorID = " + "6" + " AND " +
                                 " T_WriteTime >= " + "'2020-01-02 00:00:00'" + " AND " +
                                 " T_WriteTime <= " + "'2020-01-03 23:59:59'" + " AND " +
                                 " T_Deleted =  " + "0" + " ORDER BY T_WriteTime ";
    EXPECT_EQ(kx::FileQueryStatement("VUZO_FImage", b, KX_FamilyXXX(), &folders), expected);
    // The single-folder form names the block's folder.
    b = CkxQueryTemplet::DefaultFix();
    b.nDirID = 12;
    EXPECT_EQ(kx::FileQueryStatement("VUZO_FImage", b, KX_FamilyXXX(), nullptr),
              std::string(" SELECT * FROM VUZO_FImage ") + " WHERE " + " T_LocDirID = " + "12" +
                  " AND " + " T_Deleted =  " + "0" + " ORDER BY T_WriteTime ");
}

TEST(FileQueryText, TitleIsReadNoFurtherThanItsField) {
    // A block from the network whose title field is full, with no NUL before the folder id.
    std::string bytes(160, '\0');
    std::memset(&bytes[10], 'a', 50);
    const int32_t folder = 0x41414141; // "AAAA" right behind the title
    std::memcpy(&bytes[60], &folder, 4);
    CkxQueryTemplet::_FIX b = CkxQueryTemplet::DefaultFix();
    ASSERT_TRUE(kx::ReadRecord(bytes.data(), bytes.size(), b));
    const std::string where = kx::FileQueryWhere(b, KX_FamilyXXX(), nullptr);
    EXPECT_NE(where.find(" T_Title LIKE '" + std::string(50, 'a') + "'"), std::string::npos) << where;
    EXPECT_EQ(where.find("aA"), std::string::npos) << where;
}

TEST_P(FileQueryTest, TemplateBlocksFindTheirFiles) {
    using Edit = std::function<void(CkxQueryTemplet::_FIX&, std::vector<int32_t>&, CkxQueryOperandList&)>;
    struct Case {
        const char* name;
        Edit edit;
        Titles expected;
    };
    const Titles all = {"sunset", "sunrise", "O'Brien", "月亮", "star", "comet", "planet"};
    const std::vector<Case> cases = {
        {"default block", [](auto&, auto&, auto&) {}, all},
        {"family itself only",
         [](auto& b, auto&, auto&) {
             b.nFamilyID = 500;
             b.bFamilyDerived = 0;
         },
         {"sunset", "comet"}},
        {"sub-families only",
         [](auto& b, auto&, auto&) {
             b.nFamilyID = 500;
             b.bFamilySelf = 0;
         },
         {"sunrise", "O'Brien", "月亮", "planet"}},
        {"family and its sub-families",
         [](auto& b, auto&, auto&) { b.nFamilyID = 500; },
         {"sunset", "sunrise", "O'Brien", "月亮", "planet", "comet"}},
        {"family without sub-families stands for itself",
         [](auto& b, auto&, auto&) {
             b.nFamilyID = 600;
             b.bFamilySelf = 0;
         },
         {"star"}},
        {"exact title", [](auto& b, auto&, auto&) { kx::PutText(b.szTitle, "sunset"); }, {"sunset"}},
        {"title with a quote", [](auto& b, auto&, auto&) { kx::PutText(b.szTitle, "O'Brien"); }, {"O'Brien"}},
        {"title in Chinese", [](auto& b, auto&, auto&) { kx::PutText(b.szTitle, "月亮"); }, {"月亮"}},
        {"title that tries to break out",
         [](auto& b, auto&, auto&) { kx::PutText(b.szTitle, "x' OR '1'='1"); },
         {}},
        {"folder list",
         [](auto&, auto& folders, auto&) { folders = {10, 11}; },
         {"sunset", "sunrise", "O'Brien", "star"}},
        {"writer, author and editor",
         [](auto& b, auto&, auto&) {
             b.nWriterID = 5;
             b.nAuthorID = 3;
         },
         {"月亮"}},
        {"editor", [](auto& b, auto&, auto&) { b.nEditorID = 4; }, {"comet"}},
        {"format", [](auto& b, auto&, auto&) { b.nCodeForm = 2; }, {"sunset", "月亮"}},
        {"write-time range",
         [](auto& b, auto&, auto&) {
             b.bWriteTime = 1;
             b.dtWriteFrom = COleDateTime(2020, 2, 1, 0, 0, 0).m_dt;
             b.dtWriteTo = COleDateTime(2020, 4, 1, 23, 59, 59).m_dt;
         },
         {"sunrise", "O'Brien", "月亮"}},
        {"range flag off ignores the dates",
         [](auto& b, auto&, auto&) {
             b.dtWriteFrom = COleDateTime(2030, 1, 1, 0, 0, 0).m_dt;
             b.dtWriteTo = 0;
         },
         all},
        {"far-off dates from a request are pulled into range",
         [](auto& b, auto&, auto&) {
             b.bWriteTime = 1;
             b.dtWriteFrom = COleDateTime(2020, 7, 1, 0, 0, 0).m_dt;
             b.dtWriteTo = 1e300;
         },
         {"comet", "planet"}},
        {"unknown comparison keeps files without the attribute",
         [](auto&, auto&, auto& ops) {
             CkxQueryOperand op;
             op.SetLinkAttr();
             op.Set_Unk(kExtraAttr);
             ops.AddTail(op);
         },
         {"sunset", "sunrise", "O'Brien", "月亮", "comet"}},
        {"operand on an extended value",
         [](auto&, auto&, auto& ops) { ops.AddTail(CkxQueryOperand(kExtraAttr, 13, CkxValueSp(6))); },
         {"planet"}},
        {"string operand with a quote",
         [](auto&, auto&, auto& ops) {
             ops.AddTail(CkxQueryOperand(KXB_REMARK, 11, CkxValueSp(std::string("O'Brien's"))));
         },
         {"sunrise"}},
        {"block and operand together",
         [](auto& b, auto&, auto& ops) {
             b.nFamilyID = 501;
             ops.AddTail(CkxQueryOperand(kExtraAttr, 11, CkxValueSp(9)));
         },
         {"planet"}},
    };
    for (const Case& c : cases) {
        CkxQueryTemplet::_FIX block = CkxQueryTemplet::DefaultFix();
        std::vector<int32_t> folders;
        CkxQueryOperandList operands;
        c.edit(block, folders, operands);
        CkxFileList list;
        const int n = table.QueryByTemplate(catalogue.db, block, folders, operands, list);
        EXPECT_EQ(n, static_cast<int>(c.expected.size())) << c.name;
        EXPECT_EQ(Of(list), c.expected) << c.name;
    }
    // Rows come in write-time order.
    CkxQueryTemplet::_FIX block = CkxQueryTemplet::DefaultFix();
    CkxFileList list;
    table.QueryByTemplate(catalogue.db, block, {}, CkxQueryOperandList(), list);
    std::vector<std::string> order;
    for (POSITION p = list.GetHeadPosition(); p;) order.push_back(list.GetNext(p)->m_strTitle);
    EXPECT_EQ(order, (std::vector<std::string>{"sunset", "sunrise", "O'Brien", "月亮", "star",
                                               "comet", "planet"}));
}

TEST_P(FileQueryTest, SingleFolderQueryUsesTheBlocksFolder) {
    struct Case {
        const char* name;
        int folder, family, self, derived;
        Titles expected;
    };
    const std::vector<Case> cases = {
        {"every folder", -1, -1, 1, 1, {"sunset", "sunrise", "O'Brien", "月亮", "star", "comet", "planet"}},
        {"one folder", 13, -1, 1, 1, {"comet", "planet"}},
        {"folder and sub-families", 10, 500, 0, 1, {"sunrise"}},
        {"family and sub-families", -1, 501, 1, 1, {"sunrise", "月亮", "planet"}},
        // No sub-families: the family stands for itself, as in the folder-list form, rather than
        // dropping the family condition and finding every family's files.
        {"sub-families of a family without any", -1, 600, 0, 1, {"star"}},
    };
    for (const Case& c : cases) {
        CkxQueryTemplet::_FIX block = CkxQueryTemplet::DefaultFix();
        block.nDirID = c.folder;
        block.nFamilyID = c.family;
        block.bFamilySelf = c.self;
        block.bFamilyDerived = c.derived;
        CkxFileList list;
        table.QueryBySingleFolder(catalogue.db, block, CkxQueryOperandList(), list);
        EXPECT_EQ(Of(list), c.expected) << c.name;
    }
}

TEST_P(FileQueryTest, OneOperandOnAFixedColumn) {
    struct Case {
        const char* name;
        CkxQueryOperand op;
        Titles expected;
    };
    const std::vector<Case> cases = {
        {"title with a quote", CkxQueryOperand(KXB_FILETITLE, 11, CkxValueSp(std::string("O'Brien"))),
         {"O'Brien"}},
        {"Chinese title", CkxQueryOperand(KXB_FILETITLE, 30, CkxValueSp(std::string("月亮"))), {"月亮"}},
        {"text that tries to break out",
         CkxQueryOperand(KXB_REMARK, 11, CkxValueSp(std::string("x' OR '1'='1"))),
         {}},
        {"remark holding a quote, contains",
         CkxQueryOperand(KXB_REMARK, 31, CkxValueSp(std::string("'"))),
         {"sunrise"}},
        {"folder not equal", CkxQueryOperand(KXB_LOCDIRID, 12, CkxValueSp(10)),
         {"O'Brien", "月亮", "star", "comet", "planet"}},
        {"writer range", CkxQueryOperand(KXB_WRITERID, 18, CkxValueSp(2), CkxValueSp(3)),
         {"sunset", "sunrise"}},
        {"write time from a date",
         CkxQueryOperand(KXB_WRITETIME, 14, CkxValueSp(COleDateTime(2020, 5, 1, 0, 0, 0))),
         {"star", "comet", "planet"}},
        {"extended attribute: no fixed column", CkxQueryOperand(kExtraAttr, 11, CkxValueSp(9)), {}},
    };
    for (const Case& c : cases) {
        CkxFileList list;
        const int n = table.QueryByOperand(catalogue.db, c.op, list);
        EXPECT_EQ(n, static_cast<int>(c.expected.size())) << c.name;
        EXPECT_EQ(Of(list), c.expected) << c.name << ": " << table.QueryByOperandText(c.op);
    }
    EXPECT_EQ(table.QueryByOperandText(CkxQueryOperand(KXB_FILETITLE, 11,
                                                       CkxValueSp(std::string("O'Brien")))),
              " SELECT * FROM VUZO_FImage WHERE T_Deleted = 0 AND  T_Title = 'O''Brien'  ORDER BY "
              "T_WriteTime ");
}

KX_ON_BOTH_ENGINES(FileQueryTest);

} // namespace
