// Family, attribute, keyword, template, saved-search and project requests over loopback against
// the real server core with two logged-on workstations: who hears of each change, the ids the
// database gives, the cascades and whole-set replacements, privacy of saved searches, and that
// a refused database write sends nothing and leaves memory as it was.
#include "db/AdoRecordset.h"
#include "model/CkxAttr.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxKeyword.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "model/CkxObjAttrTemplet.h"
#include "model/CkxProject.h"
#include "model/CkxProjectData.h"
#include "model/CkxQueryTemplet.h"
#include "model/CkxXXX.h"
#include "transport/NetMessage.h"
#include "service/OperationLog.h"
#include "server/support/TestCatalogue.h"
#include "server/support/TestServer.h"
#include "server/support/TwoWorkstations.h"
#include "table/FamilyTables.h"
#include "table/ProjectTables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>

using namespace srvtest;

namespace {

int MaxId(CADODatabase& db, const std::string& table) { return db.GetNewID(table); }

int32_t IntAt(const std::string& bytes, size_t offset) {
    int32_t v = -999;
    if (bytes.size() >= offset + 4) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

NetMessage Message(int type, int subOp, const std::vector<std::string>& pieces, uint32_t param = 0) {
    NetMessage m;
    m.SetCommand(type, subOp);
    m.SetParam(param);
    for (const std::string& p : pieces) m.AppendData(p);
    return m;
}

CkxFamily Family(const std::string& name, int parent, int level) {
    CkxFamily f;
    f.m_nID = -1;
    f.m_strName = name;
    f.m_nParentID = parent;
    f.m_nLevel = level;
    f.SetImage();
    f.m_dtCreate = COleDateTime(2000, 1, 1, 0, 0, 0);
    return f;
}

std::string ConstBuf(int count) {
    CkxConstList list;
    for (int i = 0; i < count; ++i) {
        CkxConst c;
        c.SetAlias("选项" + std::to_string(i));
        list.AddTail(c);
    }
    CkxBuf buf;
    list.BuildBuf(buf);
    return std::string(buf.View());
}

CkxAttr Attr(int familyId) {
    CkxAttr a;
    a.m_strName = "尺寸";
    a.m_nFamilyID = familyId;
    a.SetImage();
    a.m_nDataType = KXT_STR;
    a.m_nEditWay = KXE_COMBO;
    return a;
}

CkxProjectData Link(int id, int project, int file) {
    CkxProjectData d;
    d.m_nID = id;
    d.m_nProjectID = project;
    d.m_nFileID = file;
    d.m_nCreatorID = 99;
    d.m_strAlias = "别名";
    return d;
}

class CatalogueServices : public TwoWorkstations {
protected:
    void SetUp() override {
        TwoWorkstations::SetUp();
        if (HasFatalFailure()) return;
        // Alice edits the catalogue in these tests: her role gets the family, project and person
        // powers those changes take (the server refuses them to a plain operator).
        server.Locked([&] {
            CkxUserRole* role = KX_KXXXX().m_UserRoleList.Find(server.OperatorRoleId());
            if (role) role->m_nPower |= KXR_FAMILYADMIN | KXR_PROJECTOPERATE | KXR_PERSONOPERATE;
            return role != nullptr;
        });
        // The registry lives as long as the process: a new server holds only the built-in
        // attribute definitions (the stored ones are read from the table when listed).
        server.Locked([] {
            std::vector<int> stored;
            for (int id = 1; id < 1000; ++id)
                if (KX_FamilyXXX().attr_Find(id)) stored.push_back(id);
            for (int id : stored) KX_FamilyXXX().attr_Delete(id);
            return 0;
        });
    }
    CADODatabase& db() { return server.Db(); }
    int FamilyCount() { return server.Locked([] { return KX_FamilyXXX().family_GetCount(); }); }
    int AttrCount() { return server.Locked([] { return KX_FamilyXXX().attr_GetCount(); }); }

    // Adds a family through the service; its id from the announcement both sessions heard.
    int AddFamily(const std::string& name, int parent, int level) {
        EXPECT_TRUE(su->SendRecord(kx::kMsgFamily, kx::kSubAdd, Family(name, parent, level).GetComData()));
        auto mine = su->Wait(kx::kMsgFamily, kx::kSubAdd);
        auto hers = alice->Wait(kx::kMsgFamily, kx::kSubAdd);
        if (!mine || !hers) {
            ADD_FAILURE() << "no announcement of " << name;
            return -1;
        }
        EXPECT_EQ(mine->payload, hers->payload);
        CkxFamily::_COM com{};
        EXPECT_TRUE(mine->As(com));
        return com.nID;
    }

    kxtest::DbErrorLog quiet; // refused statements are expected in some cases
};

// One add request per entity: what to send, the table it lands in, where the id sits in the
// announced record.
struct AddCase {
    const char* name;
    int type;
    std::function<void(TestClient&)> send;
    const char* table;
    size_t idOffset;
    const char* logText;
};

std::vector<AddCase> AddCases() {
    return {
        {"family", kx::kMsgFamily, [](TestClient& c) { c.SendRecord(kx::kMsgFamily, kx::kSubAdd, Family("风景", KXF_ROOT_IMAGE, 1).GetComData()); },
         "VUZO_Family", 12, "添加族类<风景>"},
        {"keyword", kx::kMsgKeyword,
         [](TestClient& c) {
             CkxKeyword k;
             k.m_nGroupID = 1;
             k.m_strName = "海";
             c.SendRecord(kx::kMsgKeyword, kx::kSubAdd, k.GetComData());
         },
         "VUZO_Keyword", 0, "添加关键字<海>"},
        {"keyword group", kx::kMsgKeywordGroup,
         [](TestClient& c) { c.SendRecord(kx::kMsgKeywordGroup, kx::kSubAdd, kx::MakeNameNoteCom(-1, "自然", "")); },
         "VUZO_KeywordGroup", 0, "添加关键字组<自然>"},
        {"project link", kx::kMsgProjectLink, [](TestClient& c) { c.SendRecord(kx::kMsgProjectLink, kx::kSubAdd, Link(-1, 3, 7).GetComData()); },
         "VUZO_ProjectFile", 0, "关联项目文件<别名>"},
        {"attribute", kx::kMsgFamilyAttr,
         [](TestClient& c) { c.SendMessage(Message(kx::kMsgFamilyAttr, kx::kSubAdd, {Bytes(Attr(5).GetComData()), ConstBuf(2)})); },
         "VUZO_FamilyAttr", 0, "更新族类属性"},
        {"keyword template", kx::kMsgKeywordTemplet,
         [](TestClient& c) {
             CkxKeywordTemplet t;
             t.m_strName = "常用";
             t.m_listKeyword = {1, 2};
             CkxBuf ids;
             t.PackBuf(ids);
             c.SendMessage(Message(kx::kMsgKeywordTemplet, kx::kSubAdd, {Bytes(t.GetComData()), std::string(ids.View())}));
         },
         "VUZO_KeywordTemplet", 0, "添加关键字模板<常用>"},
        {"file template", kx::kMsgFileTemplet,
         [](TestClient& c) {
             CkxObjAttrTemplet t;
             t.m_strName = "照片";
             t.m_nDataMode = KXD_IMAGE;
             CkxBuf buf;
             t.BuildBuf(buf);
             c.SendMessage(Message(kx::kMsgFileTemplet, kx::kSubAdd, {Bytes(t.GetComData()), std::string(buf.View())}));
         },
         "VUZO_FileTemplet", 0, "添加文件模板<照片>"},
        {"project", kx::kMsgProject,
         [](TestClient& c) {
             CkxProject p;
             p.m_strName = "画册";
             p.m_UserList.AddTail(CkxUserX(2, CkxUserX::TYPE_USER));
             CkxBuf members;
             p.BuildUserBuf(members);
             c.SendMessage(Message(kx::kMsgProject, kx::kSubAdd, {Bytes(p.GetComData()), std::string(members.View())}));
         },
         "VUZO_Project", 4, "添加项目<画册>"},
    };
}

TEST_F(CatalogueServices, AnAddReachesEverySessionWithTheDatabaseId) {
    for (const AddCase& c : AddCases()) {
        SCOPED_TRACE(c.name);
        const int familiesBefore = FamilyCount();
        c.send(*su);
        auto mine = su->Wait(c.type, kx::kSubAdd);
        auto hers = alice->Wait(c.type, kx::kSubAdd);
        ASSERT_TRUE(mine && hers);
        EXPECT_EQ(mine->payload, hers->payload);
        EXPECT_EQ(mine->pieces, hers->pieces);
        const int id = IntAt(mine->payload, c.idOffset);
        EXPECT_GT(id, 0);
        EXPECT_EQ(id, MaxId(db(), c.table));
        EXPECT_EQ(LogLines(db(), c.logText, 1), 1);
        // Only families are kept in the server's memory among the packet entities.
        EXPECT_EQ(FamilyCount(), familiesBefore + (c.type == kx::kMsgFamily ? 1 : 0));
    }
    // The project link's creator is the requester, whatever the record said.
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_ProjectFile WHERE T_CreatorID = " +
                             std::to_string(server.UserId("su"))),
              1);
    // Keywords and groups are not added to the server's own lists.
    EXPECT_EQ(server.Locked([] { return KX_KXXXX().m_KeywordList.GetCount(); }), 0);
}

TEST_F(CatalogueServices, ARefusedWriteSendsNothingAndLeavesMemoryAlone) {
    for (const AddCase& c : AddCases()) {
        SCOPED_TRACE(c.name);
        const std::string table = c.table;
        ASSERT_EQ(db().Execute(" ALTER TABLE " + table + " RENAME TO " + table + "_off "), 1);
        const int families = FamilyCount(), attrs = AttrCount();
        c.send(*su);
        EXPECT_TRUE(su->Quiet(c.type, -1));
        EXPECT_TRUE(alice->Quiet(c.type, -1));
        EXPECT_EQ(FamilyCount(), families);
        EXPECT_EQ(AttrCount(), attrs);
        ASSERT_EQ(db().Execute(" ALTER TABLE " + table + "_off RENAME TO " + table + " "), 1);
    }
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_Log WHERE T_Event LIKE '%添加%' "), 0);
}

// Changes and deletes of what the server keeps in memory (families and attribute definitions)
// that the database refuses: nothing is sent and memory keeps its state.
TEST_F(CatalogueServices, ARefusedChangeOrDeleteLeavesMemoryAlone) {
    const int family = AddFamily("留", KXF_ROOT_IMAGE, 1);
    const int child = AddFamily("留下", family, 2);
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgFamilyAttr, kx::kSubAdd, {Bytes(Attr(family).GetComData()), ConstBuf(1)})));
    const auto added = alice->Wait(kx::kMsgFamilyAttr, kx::kSubAdd);
    ASSERT_TRUE(added && su->Wait(kx::kMsgFamilyAttr, kx::kSubAdd));
    const int attr = IntAt(added->payload, 0);
    auto memory = [&] {
        return server.Locked([&] {
            std::string out;
            for (POSITION p = KX_FamilyXXX().family_GetHeadPosition(); p;) {
                const CkxFamily::_COM com = KX_FamilyXXX().family_GetNext(p)->GetComData();
                out += Bytes(com);
            }
            const CkxAttr* a = KX_FamilyXXX().attr_Find(attr);
            return out + (a ? Bytes(a->GetComData()) : std::string("-"));
        });
    };
    const std::string before = memory();
    CkxFamily renamed = Family("改", KXF_ROOT_IMAGE, 1);
    renamed.m_nID = family;
    CkxAttr changed = Attr(family);
    changed.m_nID = attr;
    changed.m_strName = "改";
    const struct {
        const char* name;
        const char* table;
        int type, sub;
        std::function<void()> send;
    } cases[] = {
        {"family modify", "VUZO_Family", kx::kMsgFamily, kx::kSubModify, [&] { su->SendRecord(kx::kMsgFamily, kx::kSubModify, renamed.GetComData()); }},
        {"family delete", "VUZO_Family", kx::kMsgFamily, kx::kSubDelete, [&] { su->SendText(kx::kMsgFamily, kx::kSubDelete, std::to_string(family)); }},
        {"family delete, attributes refused", "VUZO_FamilyAttr", kx::kMsgFamily, kx::kSubDelete,
         [&] { su->SendText(kx::kMsgFamily, kx::kSubDelete, std::to_string(family)); }},
        {"attribute modify", "VUZO_FamilyAttr", kx::kMsgFamilyAttr, kx::kSubModify,
         [&] { su->SendMessage(Message(kx::kMsgFamilyAttr, kx::kSubModify, {Bytes(changed.GetComData()), ConstBuf(1)})); }},
        {"attribute delete", "VUZO_FamilyAttr", kx::kMsgFamilyAttr, kx::kSubDelete, [&] { su->SendText(kx::kMsgFamilyAttr, kx::kSubDelete, std::to_string(attr)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string table = c.table;
        ASSERT_EQ(server.Locked([&] { return db().Execute(" ALTER TABLE " + table + " RENAME TO " + table + "_off "); }), 1);
        c.send();
        EXPECT_TRUE(su->Quiet(c.type, -1, 300ms) && alice->Quiet(c.type, -1, 0ms));
        ASSERT_EQ(server.Locked([&] { return db().Execute(" ALTER TABLE " + table + "_off RENAME TO " + table + " "); }), 1);
        EXPECT_EQ(memory(), before);
    }
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_Family WHERE T_ID = " + std::to_string(child)), 1);
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_FamilyAttr "), 1);
}

TEST_F(CatalogueServices, FamilyListStartsWithTheRootAndFollowsTheTree) {
    ASSERT_TRUE(alice->Send(kx::kMsgFamily, kx::kSubList));
    auto one = alice->WaitSeries(kx::kMsgFamily, kx::kSubList);
    ASSERT_TRUE(one);
    ASSERT_EQ(one->size(), 1u);
    EXPECT_EQ((*one)[0].seriesPos, 3);
    EXPECT_EQ((*one)[0].seriesIndex, 0);
    CkxFamily::_COM root{};
    ASSERT_TRUE((*one)[0].As(root));
    EXPECT_EQ(root.nID, KXF_ROOT_IMAGE);

    const int a = AddFamily("甲", KXF_ROOT_IMAGE, 1);
    AddFamily("乙", a, 2);
    ASSERT_TRUE(alice->Send(kx::kMsgFamily, kx::kSubList));
    auto three = alice->WaitSeries(kx::kMsgFamily, kx::kSubList);
    ASSERT_TRUE(three);
    ASSERT_EQ(three->size(), 3u);
    EXPECT_EQ((*three)[0].seriesPos, 0);
    EXPECT_EQ((*three)[1].seriesPos, 1);
    EXPECT_EQ((*three)[2].seriesPos, 2);

    // A family cannot become its own ancestor; a root family is not the database's to change.
    CkxFamily cycle = Family("甲", a, 1);
    cycle.m_nID = a;
    cycle.m_nParentID = a + 1;
    ASSERT_TRUE(su->SendRecord(kx::kMsgFamily, kx::kSubModify, cycle.GetComData()));
    CkxFamily rootChange = Family("x", -1, 0);
    rootChange.m_nID = KXF_ROOT_IMAGE;
    ASSERT_TRUE(su->SendRecord(kx::kMsgFamily, kx::kSubModify, rootChange.GetComData()));
    ASSERT_TRUE(su->SendText(kx::kMsgFamily, kx::kSubDelete, std::to_string(KXF_ROOT_IMAGE)));
    EXPECT_TRUE(alice->Quiet(kx::kMsgFamily, -1));
    EXPECT_EQ(FamilyCount(), 3);

    // A plain rename is stored, kept and announced.
    CkxFamily renamed = Family("甲二", KXF_ROOT_IMAGE, 1);
    renamed.m_nID = a;
    ASSERT_TRUE(su->SendRecord(kx::kMsgFamily, kx::kSubModify, renamed.GetComData()));
    ASSERT_TRUE(alice->Wait(kx::kMsgFamily, kx::kSubModify));
    EXPECT_EQ(server.Locked([&] { return KX_FamilyXXX().family_GetName(a); }), "甲二");
    EXPECT_EQ(LogLines(db(), "修改族类<甲二>", 1), 1);
}

TEST_F(CatalogueServices, DeletingAFamilyTakesItsSubtreeAndTheirAttributes) {
    const int parent = AddFamily("父", KXF_ROOT_IMAGE, 1);
    const int c1 = AddFamily("子一", parent, 2);
    const int c2 = AddFamily("子二", parent, 2);
    const int other = AddFamily("旁", KXF_ROOT_IMAGE, 1);
    for (int f : {parent, c1, c2, other}) {
        ASSERT_TRUE(su->SendMessage(Message(kx::kMsgFamilyAttr, kx::kSubAdd, {Bytes(Attr(f).GetComData()), ConstBuf(1)})));
        ASSERT_TRUE(su->Wait(kx::kMsgFamilyAttr, kx::kSubAdd));
        ASSERT_TRUE(alice->Wait(kx::kMsgFamilyAttr, kx::kSubAdd));
    }
    const int families = FamilyCount(), attrs = AttrCount();

    ASSERT_TRUE(alice->SendText(kx::kMsgFamily, kx::kSubDelete, std::to_string(parent)));
    auto mine = alice->Wait(kx::kMsgFamily, kx::kSubDelete);
    auto his = su->Wait(kx::kMsgFamily, kx::kSubDelete);
    ASSERT_TRUE(mine && his);
    EXPECT_EQ(mine->AsInt(), parent);
    EXPECT_TRUE(su->Quiet(kx::kMsgFamily, kx::kSubDelete)); // once

    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_Family "), 1);
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_FamilyAttr "), 1);
    EXPECT_EQ(FamilyCount(), families - 3);
    EXPECT_EQ(AttrCount(), attrs - 3);
    server.Locked([&] {
        for (int f : {parent, c1, c2}) EXPECT_EQ(KX_FamilyXXX().family_Find(f), nullptr);
        EXPECT_NE(KX_FamilyXXX().family_Find(other), nullptr);
        return 0;
    });
    EXPECT_EQ(LogLines(db(), "删除族类", 2), 1);

    // An id the tree does not know deletes nothing and is not announced.
    ASSERT_TRUE(alice->SendText(kx::kMsgFamily, kx::kSubDelete, "424242"));
    EXPECT_TRUE(su->Quiet(kx::kMsgFamily, kx::kSubDelete));
}

TEST_F(CatalogueServices, AttributesGetDistinctConstantIdsAndListFromTheTable) {
    const int before = AttrCount();
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgFamilyAttr, kx::kSubAdd, {Bytes(Attr(5).GetComData()), ConstBuf(3)})));
    auto added = alice->Wait(kx::kMsgFamilyAttr, kx::kSubAdd);
    ASSERT_TRUE(added);
    ASSERT_EQ(added->pieces.size(), 2u);
    CkxConstList consts;
    ASSERT_EQ(consts.PasyBuf(added->pieces[1].data(), static_cast<int>(added->pieces[1].size())), 3);
    std::set<int> ids;
    consts.ForEach([&](const CkxConst& c) { ids.insert(c.m_nID); });
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids.count(-1), 0u);
    EXPECT_EQ(AttrCount(), before + 1);
    const int id = IntAt(added->payload, 0);

    // Each stored attribute is a reply message of its own, with its constants.
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgFamilyAttr, kx::kSubAdd, {Bytes(Attr(6).GetComData())})));
    ASSERT_TRUE(su->Wait(kx::kMsgFamilyAttr, kx::kSubAdd));
    ASSERT_TRUE(alice->Wait(kx::kMsgFamilyAttr, kx::kSubAdd));
    ASSERT_TRUE(alice->Send(kx::kMsgFamilyAttr, kx::kSubList));
    auto first = alice->Wait(kx::kMsgFamilyAttr, kx::kSubList);
    auto second = alice->Wait(kx::kMsgFamilyAttr, kx::kSubList);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->pieces[1], added->pieces[1]);
    EXPECT_TRUE(second->pieces[1].empty());

    // A constants piece that is not whole records is refused.
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgFamilyAttr, kx::kSubAdd, {Bytes(Attr(5).GetComData()), std::string(100, 'x')})));
    EXPECT_TRUE(alice->Quiet(kx::kMsgFamilyAttr, kx::kSubAdd));

    ASSERT_TRUE(alice->SendText(kx::kMsgFamilyAttr, kx::kSubDelete, std::to_string(id)));
    ASSERT_TRUE(su->Wait(kx::kMsgFamilyAttr, kx::kSubDelete));
    EXPECT_EQ(AttrCount(), before + 1);
    EXPECT_EQ(LogLines(db(), "更新族类属性", 1), 3);
}

TEST_F(CatalogueServices, ReplacingAFilesKeywordsChangesTableMemoryAndEverySession) {
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgKeywordLink, kx::kSubModify, {Bytes(CkxKeywordLink(7, 1).GetComData())}, 7)));
    ASSERT_TRUE(alice->Wait(kx::kMsgKeywordLink, kx::kSubModify));
    // Sub-operations 21, 22 and 23 all set the file's keywords; other values do nothing.
    const struct {
        int subOp;
        bool answered;
    } cases[] = {{24, false}, {21, true}, {23, true}, {22, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subOp);
        ASSERT_TRUE(su->SendMessage(Message(kx::kMsgKeywordLink, c.subOp,
                                            {Bytes(CkxKeywordLink(7, 3).GetComData()),
                                             Bytes(CkxKeywordLink(7, 5).GetComData())},
                                            7)));
        if (!c.answered) {
            EXPECT_TRUE(alice->Quiet(kx::kMsgKeywordLink, -1));
            continue;
        }
        auto a = alice->Wait(kx::kMsgKeywordLink, c.subOp);
        auto s = su->Wait(kx::kMsgKeywordLink, c.subOp);
        ASSERT_TRUE(a && s);
        EXPECT_EQ(a->param, 7u);
        ASSERT_EQ(a->pieces.size(), 2u);
        EXPECT_EQ(a->pieces[1], Bytes(CkxKeywordLink(7, 5).GetComData()));
        EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_KeywordLink WHERE T_FileID = 7 "), 2);
        EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_KeywordLink WHERE T_FileID = 7 AND T_KeyID IN (3, 5) "), 2);
    }
    std::vector<int> inMemory;
    server.Locked([&] { return KX_KXXXX().m_KeywordLinkList.GetFileKeyword(7, inMemory); });
    EXPECT_EQ(inMemory, (std::vector<int>{3, 5}));
    EXPECT_EQ(LogLines(db(), "绑定关键字", 1), 4);

    // The link list comes from memory as a packet series.
    ASSERT_TRUE(alice->Send(kx::kMsgKeywordLink, kx::kSubList));
    auto list = alice->WaitSeries(kx::kMsgKeywordLink, kx::kSubList);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 2u);

    // A refused write changes nothing anywhere.
    ASSERT_EQ(db().Execute(" ALTER TABLE VUZO_KeywordLink RENAME TO VUZO_KeywordLink_off "), 1);
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgKeywordLink, kx::kSubModify, {}, 7)));
    EXPECT_TRUE(alice->Quiet(kx::kMsgKeywordLink, -1));
    ASSERT_EQ(db().Execute(" ALTER TABLE VUZO_KeywordLink_off RENAME TO VUZO_KeywordLink "), 1);
    server.Locked([&] { return KX_KXXXX().m_KeywordLinkList.GetFileKeyword(7, inMemory); });
    EXPECT_EQ(inMemory.size(), 2u);

    // No pieces: the file loses every keyword.
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgKeywordLink, kx::kSubModify, {}, 7)));
    auto cleared = alice->Wait(kx::kMsgKeywordLink, kx::kSubModify);
    ASSERT_TRUE(cleared);
    EXPECT_TRUE(cleared->pieces.empty());
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_KeywordLink "), 0);
}

TEST_F(CatalogueServices, SavedSearchesArePrivateToTheirUser) {
    auto bob = server.LogOn("bob", "bob-pw");
    ASSERT_TRUE(bob);
    auto add = [](TestClient& c, const std::string& name, int claimedCreator) {
        CkxQueryTemplet t;
        t.m_nDataMode = 3;
        t.m_strName = name;
        t.m_nCreatorID = claimedCreator;
        CkxBuf buf;
        t.BuildQueryBuf(buf);
        c.SendMessage(Message(kx::kMsgQueryTemplet, kx::kSubAdd, {Bytes(t.GetComData()), std::string(buf.View())}));
        auto a = c.Wait(kx::kMsgQueryTemplet, kx::kSubAdd);
        CkxQueryTemplet::_COM com{};
        if (!a || !a->As(com)) return -1;
        return static_cast<int>(com.nID);
    };
    const int bobId = server.UserId("bob");
    const int a1 = add(*alice, "a1", bobId); // the claimed creator does not count
    add(*alice, "a2", -1);
    const int b1 = add(*bob, "b1", bobId);
    add(*bob, "b2", bobId);
    ASSERT_GT(a1, 0);
    ASSERT_GT(b1, 0);
    EXPECT_TRUE(bob->Quiet(kx::kMsgQueryTemplet, kx::kSubAdd, 100ms)); // alice's adds reached alice only
    EXPECT_TRUE(su->Quiet(kx::kMsgQueryTemplet, -1, 100ms));

    for (auto* c : {alice.get(), bob.get()}) {
        ASSERT_TRUE(c->Send(kx::kMsgQueryTemplet, kx::kSubList));
        auto series = c->WaitSeries(kx::kMsgQueryTemplet, kx::kSubList);
        ASSERT_TRUE(series);
        ASSERT_EQ(series->size(), 2u);
        EXPECT_EQ((*series)[0].seriesPos, 0);
        EXPECT_EQ((*series)[1].seriesPos, 2);
        for (const Answer& a : *series) {
            CkxQueryTemplet::_COM com{};
            ASSERT_TRUE(a.As(com));
            EXPECT_EQ(com.nCreatorID, c->UserId());
        }
    }
    ASSERT_TRUE(su->Send(kx::kMsgQueryTemplet, kx::kSubList));
    EXPECT_TRUE(su->Quiet(kx::kMsgQueryTemplet, kx::kSubList)); // no searches, no answer

    // Bob can neither change nor delete alice's search.
    CkxQueryTemplet theft;
    theft.m_nID = a1;
    theft.m_strName = "mine now";
    CkxBuf buf;
    theft.BuildQueryBuf(buf);
    ASSERT_TRUE(bob->SendMessage(Message(kx::kMsgQueryTemplet, kx::kSubModify, {Bytes(theft.GetComData()), std::string(buf.View())})));
    EXPECT_TRUE(bob->Quiet(kx::kMsgQueryTemplet, kx::kSubModify));
    ASSERT_TRUE(bob->SendText(kx::kMsgQueryTemplet, kx::kSubDelete, std::to_string(a1)));
    ASSERT_TRUE(bob->Wait(kx::kMsgQueryTemplet, kx::kSubDelete));
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_QueryTemplet WHERE T_Name = 'a1' "), 1);

    ASSERT_TRUE(bob->SendText(kx::kMsgQueryTemplet, kx::kSubDelete, std::to_string(b1)));
    ASSERT_TRUE(bob->Wait(kx::kMsgQueryTemplet, kx::kSubDelete));
    EXPECT_TRUE(alice->Quiet(kx::kMsgQueryTemplet, kx::kSubDelete));
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_QueryTemplet "), 3);
    EXPECT_EQ(LogLines(db(), "删除查询模板", 2), 2);
}

TEST_F(CatalogueServices, SettingAFilesProjectsKeepsInsertsAndDeletes) {
    CkxProjectData kept = Link(-1, 1, 7), dropped = Link(-1, 2, 7), elsewhere = Link(-1, 1, 8);
    for (CkxProjectData* d : {&kept, &dropped, &elsewhere}) ASSERT_EQ(ProjectFileTable::Insert(db(), *d), 1);

    CkxProjectData changed = kept;
    changed.m_strAlias = "不会写入";
    CkxProjectData fresh = Link(0, 3, -5); // a new file's local id: the parameter decides
    ASSERT_TRUE(alice->SendMessage(
        Message(kx::kMsgFileProjects, kx::kSubModify, {Bytes(changed.GetComData()), Bytes(fresh.GetComData())}, 7)));
    auto a = su->Wait(kx::kMsgFileProjects, kx::kSubModify);
    ASSERT_TRUE(a);
    ASSERT_EQ(a->pieces.size(), 2u);
    EXPECT_EQ(a->param, 7u);
    CkxProjectData::_COM back{};
    std::memcpy(&back, a->pieces[1].data(), sizeof back);
    EXPECT_GT(back.nID, kept.m_nID);
    EXPECT_EQ(back.nFileID, 7);
    EXPECT_EQ(back.nCreatorID, alice->UserId());
    // Every session hears the links as stored, not the request's edited copy.
    CkxProjectData::_COM first{};
    std::memcpy(&first, a->pieces[0].data(), sizeof first);
    EXPECT_EQ(first.nID, kept.m_nID);
    EXPECT_EQ(kx::GetText(first.szAlias), "别名");

    CkxProjectDataList all;
    ASSERT_EQ(ProjectFileTable::LoadAll(db(), all), 3);
    EXPECT_EQ(all.Find(kept.m_nID)->m_strAlias, "别名"); // stored links are not rewritten
    EXPECT_EQ(all.Find(dropped.m_nID), nullptr);
    EXPECT_NE(all.Find(elsewhere.m_nID), nullptr);
    EXPECT_NE(all.Find(back.nID), nullptr);
    EXPECT_EQ(LogLines(db(), "更新引用项目", 1), 1);

    // Type 40 removes the named pairs; type 39 delete one pair given as two numbers.
    ASSERT_TRUE(su->SendMessage(Message(kx::kMsgProjectUnlink, kx::kSubNone, {Bytes(kept.GetComData())})));
    ASSERT_TRUE(alice->Wait(kx::kMsgProjectUnlink, kx::kSubNone));
    const int32_t pair[2] = {1, 8};
    ASSERT_TRUE(su->Send(kx::kMsgProjectLink, kx::kSubDelete, pair, sizeof pair));
    ASSERT_TRUE(alice->Wait(kx::kMsgProjectLink, kx::kSubDelete));
    ASSERT_EQ(ProjectFileTable::LoadAll(db(), all), 1);
    EXPECT_NE(all.Find(back.nID), nullptr);

    // No pieces: every link of the file goes.
    ASSERT_TRUE(alice->SendMessage(Message(kx::kMsgFileProjects, kx::kSubModify, {}, 7)));
    auto none = su->Wait(kx::kMsgFileProjects, kx::kSubModify);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->pieces.empty());
    EXPECT_EQ(ProjectFileTable::LoadAll(db(), all), 0);

    // A stale copy naming another file's link: that link stays with its file, and what every
    // session hears is a link of this file that the table holds, created by the requester.
    CkxProjectData foreign = Link(-1, 4, 9);
    ASSERT_EQ(ProjectFileTable::Insert(db(), foreign), 1);
    ASSERT_TRUE(alice->SendMessage(Message(kx::kMsgFileProjects, kx::kSubModify, {Bytes(Link(foreign.m_nID, 5, 7).GetComData())}, 7)));
    auto again = su->Wait(kx::kMsgFileProjects, kx::kSubModify);
    ASSERT_TRUE(again);
    ASSERT_EQ(again->pieces.size(), 1u);
    CkxProjectData::_COM heard{};
    std::memcpy(&heard, again->pieces[0].data(), sizeof heard);
    EXPECT_NE(heard.nID, foreign.m_nID);
    EXPECT_EQ(heard.nFileID, 7);
    EXPECT_EQ(heard.nCreatorID, alice->UserId());
    ASSERT_EQ(ProjectFileTable::LoadAll(db(), all), 2);
    EXPECT_EQ(all.Find(foreign.m_nID)->m_nFileID, 9);
    ASSERT_NE(all.Find(heard.nID), nullptr);
    EXPECT_EQ(all.Find(heard.nID)->m_nProjectID, 5);
}

TEST_F(CatalogueServices, FamiliesAddedBeforeARestartAreListedAfterIt) {
    const int top = AddFamily("上", KXF_ROOT_IMAGE, 1);
    const int below = AddFamily("下", top, 2);
    ASSERT_GT(below, 0);
    // A new process starts with the built-in families only, then loads the catalogue.
    server.Locked([] {
        std::vector<int> stored;
        for (POSITION p = KX_FamilyXXX().family_GetHeadPosition(); p;) {
            const CkxFamily* f = KX_FamilyXXX().family_GetNext(p);
            if (!CkxFamily::IsRootID(f->m_nID)) stored.push_back(f->m_nID);
        }
        for (int id : stored)
            if (KX_FamilyXXX().family_Find(id)) KX_FamilyXXX().family_Delete(id);
        return 0;
    });
    ASSERT_EQ(FamilyCount(), 1);
    ASSERT_EQ(server.Locked([&] { return server.Data().LoadAll(); }), 1);

    ASSERT_TRUE(alice->Send(kx::kMsgFamily, kx::kSubList));
    auto list = alice->WaitSeries(kx::kMsgFamily, kx::kSubList);
    ASSERT_TRUE(list);
    std::vector<int> ids;
    for (const Answer& a : *list) {
        CkxFamily::_COM com{};
        ASSERT_TRUE(a.As(com));
        ids.push_back(com.nID);
    }
    EXPECT_EQ(ids, (std::vector<int>{KXF_ROOT_IMAGE, top, below}));
    EXPECT_TRUE(server.Locked([&] { return KX_FamilyXXX().family_IsHasChild(top); }));
}

TEST_F(CatalogueServices, TemplateAndProjectListsComeFromTheirTables) {
    // Empty tables answer nothing.
    for (int type : {kx::kMsgFamilyAttr, kx::kMsgProject, kx::kMsgProjectLink, kx::kMsgKeyword, kx::kMsgKeywordGroup, kx::kMsgKeywordTemplet, kx::kMsgFileTemplet}) {
        ASSERT_TRUE(alice->Send(type, kx::kSubList));
        EXPECT_TRUE(alice->Quiet(type, kx::kSubList, 100ms)) << type;
    }
    // Removing no project links does nothing and tells nobody.
    ASSERT_TRUE(alice->SendMessage(Message(kx::kMsgProjectUnlink, kx::kSubModify, {})));
    EXPECT_TRUE(alice->Quiet(kx::kMsgProjectUnlink, -1, 200ms) && su->Quiet(kx::kMsgProjectUnlink, -1, 0ms));
    EXPECT_EQ(LogLines(db(), "断开项目文件", 1), 0);
    for (const AddCase& c : AddCases()) {
        c.send(*su);
        ASSERT_TRUE(alice->Wait(c.type, kx::kSubAdd)) << c.name;
    }
    for (int type : {kx::kMsgProject, kx::kMsgKeywordTemplet, kx::kMsgFileTemplet}) {
        ASSERT_TRUE(alice->Send(type, kx::kSubList));
        auto series = alice->WaitSeries(type, kx::kSubList);
        ASSERT_TRUE(series) << type;
        ASSERT_EQ(series->size(), 1u);
        EXPECT_TRUE((*series)[0].isMessage);
        EXPECT_EQ((*series)[0].pieces.size(), 2u);
    }
    for (int type : {kx::kMsgProjectLink, kx::kMsgKeyword, kx::kMsgKeywordGroup}) {
        ASSERT_TRUE(alice->Send(type, kx::kSubList));
        auto series = alice->WaitSeries(type, kx::kSubList);
        ASSERT_TRUE(series) << type;
        EXPECT_EQ(series->size(), 1u);
    }
    // A project's members travel back in its second piece; a delete keeps its links.
    ASSERT_TRUE(alice->Send(kx::kMsgProject, kx::kSubList));
    auto projects = alice->WaitSeries(kx::kMsgProject, kx::kSubList);
    ASSERT_TRUE(projects);
    EXPECT_EQ((*projects)[0].pieces[1].size(), sizeof(CkxUserX::_COM));
    const int project = IntAt((*projects)[0].payload, 4);
    ASSERT_TRUE(su->SendText(kx::kMsgProject, kx::kSubDelete, std::to_string(project)));
    ASSERT_TRUE(alice->Wait(kx::kMsgProject, kx::kSubDelete));
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_Project "), 0);
    EXPECT_EQ(RowCount(db(), " SELECT * FROM VUZO_ProjectFile "), 1);
    EXPECT_EQ(LogLines(db(), "删除项目", 2), 1);
}


// The last line of the operation log: level, category, text and acting user.
struct LastLine {
    int level = 0, category = 0, user = 0;
    std::string event;
    int count = 0; // lines in the log
};

LastLine LastLog(TestServer& server) {
    return server.Locked([&] {
        LastLine l;
        CADORecordset rs;
        if (!server.Db().Query(" SELECT * FROM VUZO_Log ORDER BY T_ID ", rs)) return l;
        for (; !rs.IsEOF(); rs.MoveNext()) {
            ++l.count;
            rs.GetInt("T_Lev", l.level);
            rs.GetInt("T_Type", l.category);
            rs.GetInt("T_DoUser", l.user);
            rs.GetString("T_Event", l.event);
        }
        return l;
    });
}

// Every change of this group of services, one after the other: who hears of it, and the one log
// line it writes with its level, category and text.
TEST_F(CatalogueServices, EachChangeIsHeardAndLoggedAsItsServiceSays) {
    std::map<std::string, int> id; // ids the database gave, by name
    auto idOf = [&](const char* key) { return std::to_string(id[key]); };
    auto remember = [&](const char* key, size_t offset) {
        return [&id, key, offset](const Answer& a) { id[key] = IntAt(a.payload, offset); };
    };
    auto templet = [](int id, const std::string& name, int creator) {
        CkxQueryTemplet t;
        t.m_nID = id;
        t.m_nDataMode = 3;
        t.m_strName = name;
        t.m_nCreatorID = creator;
        CkxBuf buf;
        t.BuildQueryBuf(buf);
        return Message(kx::kMsgQueryTemplet, kx::kSubNone, {Bytes(t.GetComData()), std::string(buf.View())});
    };
    auto fileTemplet = [](int id, const std::string& name) {
        CkxObjAttrTemplet t;
        t.m_nID = id;
        t.m_strName = name;
        t.m_nDataMode = KXD_IMAGE;
        CkxBuf buf;
        t.BuildBuf(buf);
        return Message(kx::kMsgFileTemplet, kx::kSubNone, {Bytes(t.GetComData()), std::string(buf.View())});
    };
    auto keywordTemplet = [](int id, const std::string& name) {
        CkxKeywordTemplet t;
        t.m_nID = id;
        t.m_strName = name;
        t.m_listKeyword = {4};
        CkxBuf ids;
        t.PackBuf(ids);
        return Message(kx::kMsgKeywordTemplet, kx::kSubNone, {Bytes(t.GetComData()), std::string(ids.View())});
    };
    auto project = [](int id, const std::string& name) {
        CkxProject p;
        p.m_nID = id;
        p.m_strName = name;
        return Message(kx::kMsgProject, kx::kSubNone, {Bytes(p.GetComData()), std::string()});
    };
    auto keyword = [](int id, const std::string& name) {
        CkxKeyword k;
        k.m_nID = id;
        k.m_nGroupID = 1;
        k.m_strName = name;
        return k.GetComData();
    };
    auto attr = [&](int attrId) {
        CkxAttr a = Attr(id["family"]);
        a.m_nID = attrId;
        return Message(kx::kMsgFamilyAttr, kx::kSubNone, {Bytes(a.GetComData()), ConstBuf(1)});
    };
    auto message = [](NetMessage m, int sub, uint32_t param = 0) {
        m.SetCommand(m.GetType(), sub);
        m.SetParam(param);
        return m;
    };

    struct Step {
        const char* name;
        int type, sub;
        std::function<void(TestClient&)> send;
        bool toBoth;  // else the requester alone hears of it
        std::function<void(const Answer&)> answer;
        int level, category;
        std::function<std::string()> action;
    };
    const int aliceId = alice->UserId();
    const std::vector<Step> steps = {
        {"family add", kx::kMsgFamily, kx::kSubAdd, [](TestClient& c) { c.SendRecord(kx::kMsgFamily, kx::kSubAdd, Family("族", KXF_ROOT_IMAGE, 1).GetComData()); },
         true, remember("family", 12), 1, KXLOG_CAT_SYSADMIN, [] { return "添加族类<族>"; }},
        {"family modify", kx::kMsgFamily, kx::kSubModify,
         [&](TestClient& c) {
             CkxFamily f = Family("族二", KXF_ROOT_IMAGE, 1);
             f.m_nID = id["family"];
             c.SendRecord(kx::kMsgFamily, kx::kSubModify, f.GetComData());
         },
         true, nullptr, 1, KXLOG_CAT_SYSADMIN, [] { return "修改族类<族二>"; }},
        {"attribute add", kx::kMsgFamilyAttr, kx::kSubAdd, [&](TestClient& c) { c.SendMessage(message(attr(-1), kx::kSubAdd)); }, true,
         remember("attr", 0), 1, KXLOG_CAT_SYSADMIN, [] { return "更新族类属性"; }},
        {"attribute modify", kx::kMsgFamilyAttr, kx::kSubModify, [&](TestClient& c) { c.SendMessage(message(attr(id["attr"]), kx::kSubModify)); }, true,
         nullptr, 1, KXLOG_CAT_SYSADMIN, [] { return "更新族类属性"; }},
        {"attribute delete", kx::kMsgFamilyAttr, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgFamilyAttr, kx::kSubDelete, idOf("attr")); }, true, nullptr, 1,
         KXLOG_CAT_SYSADMIN, [] { return "更新族类属性"; }},
        {"family delete", kx::kMsgFamily, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgFamily, kx::kSubDelete, idOf("family")); }, true, nullptr, 2,
         KXLOG_CAT_SYSADMIN, [] { return "删除族类"; }},

        {"saved search add", kx::kMsgQueryTemplet, kx::kSubAdd, [&](TestClient& c) { c.SendMessage(message(templet(-1, "查", aliceId), kx::kSubAdd)); },
         false, remember("search", 4), 1, KXLOG_CAT_FILEADMIN, [] { return "添加查询模板<查>"; }},
        {"saved search modify", kx::kMsgQueryTemplet, kx::kSubModify,
         [&](TestClient& c) { c.SendMessage(message(templet(id["search"], "查二", aliceId), kx::kSubModify)); }, false, nullptr,
         1, KXLOG_CAT_FILEADMIN, [] { return "修改查询模板<查二>"; }},
        {"saved search delete", kx::kMsgQueryTemplet, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgQueryTemplet, kx::kSubDelete, idOf("search")); }, false, nullptr,
         2, KXLOG_CAT_FILEADMIN, [] { return "删除查询模板"; }},

        {"file template add", kx::kMsgFileTemplet, kx::kSubAdd, [&](TestClient& c) { c.SendMessage(message(fileTemplet(-1, "样"), kx::kSubAdd)); },
         true, remember("filetemplet", 0), 1, KXLOG_CAT_FILEADMIN, [] { return "添加文件模板<样>"; }},
        {"file template modify", kx::kMsgFileTemplet, kx::kSubModify,
         [&](TestClient& c) { c.SendMessage(message(fileTemplet(id["filetemplet"], "样二"), kx::kSubModify)); }, true,
         nullptr, 1, KXLOG_CAT_FILEADMIN, [] { return "修改文件模板<样二>"; }},
        {"file template delete", kx::kMsgFileTemplet, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgFileTemplet, kx::kSubDelete, idOf("filetemplet")); }, true,
         nullptr, 2, KXLOG_CAT_FILEADMIN, [] { return "删除文件模板"; }},

        {"keyword add", kx::kMsgKeyword, kx::kSubAdd, [&](TestClient& c) { c.SendRecord(kx::kMsgKeyword, kx::kSubAdd, keyword(-1, "山")); }, true,
         remember("keyword", 0), 1, KXLOG_CAT_FILEADMIN, [] { return "添加关键字<山>"; }},
        {"keyword modify", kx::kMsgKeyword, kx::kSubModify, [&](TestClient& c) { c.SendRecord(kx::kMsgKeyword, kx::kSubModify, keyword(id["keyword"], "山二")); },
         true, nullptr, 1, KXLOG_CAT_FILEADMIN, [] { return "修改关键字<山二>"; }},
        {"keyword delete", kx::kMsgKeyword, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgKeyword, kx::kSubDelete, idOf("keyword")); }, true, nullptr, 2,
         KXLOG_CAT_FILEADMIN, [] { return "删除关键字"; }},
        {"keyword group add", kx::kMsgKeywordGroup, kx::kSubAdd, [](TestClient& c) { c.SendRecord(kx::kMsgKeywordGroup, kx::kSubAdd, kx::MakeNameNoteCom(-1, "组", "")); },
         true, remember("kgroup", 0), 1, KXLOG_CAT_FILEADMIN, [] { return "添加关键字组<组>"; }},
        {"keyword group modify", kx::kMsgKeywordGroup, kx::kSubModify,
         [&](TestClient& c) { c.SendRecord(kx::kMsgKeywordGroup, kx::kSubModify, kx::MakeNameNoteCom(id["kgroup"], "组二", "")); }, true, nullptr,
         1, KXLOG_CAT_FILEADMIN, [] { return "修改关键字组<组二>"; }},
        {"keyword group delete", kx::kMsgKeywordGroup, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgKeywordGroup, kx::kSubDelete, idOf("kgroup")); }, true, nullptr,
         2, KXLOG_CAT_FILEADMIN, [] { return "删除关键字组"; }},
        {"keyword template add", kx::kMsgKeywordTemplet, kx::kSubAdd, [&](TestClient& c) { c.SendMessage(message(keywordTemplet(-1, "套"), kx::kSubAdd)); },
         true, remember("ktemplet", 0), 1, KXLOG_CAT_FILEADMIN, [] { return "添加关键字模板<套>"; }},
        {"keyword template modify", kx::kMsgKeywordTemplet, kx::kSubModify,
         [&](TestClient& c) { c.SendMessage(message(keywordTemplet(id["ktemplet"], "套二"), kx::kSubModify)); }, true, nullptr,
         1, KXLOG_CAT_FILEADMIN, [] { return "修改关键字模板<套二>"; }},
        {"keyword template delete", kx::kMsgKeywordTemplet, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgKeywordTemplet, kx::kSubDelete, idOf("ktemplet")); }, true,
         nullptr, 2, KXLOG_CAT_FILEADMIN, [] { return "删除关键字模板"; }},
        {"keywords of a file", kx::kMsgKeywordLink, kx::kSubModify,
         [](TestClient& c) { c.SendMessage(Message(kx::kMsgKeywordLink, kx::kSubModify, {Bytes(CkxKeywordLink(9, 4).GetComData())}, 9)); }, true,
         nullptr, 1, KXLOG_CAT_FILEADMIN, [] { return "绑定关键字"; }},

        {"project add", kx::kMsgProject, kx::kSubAdd, [&](TestClient& c) { c.SendMessage(message(project(-1, "册"), kx::kSubAdd)); }, true,
         remember("project", 4), 1, KXLOG_CAT_SYSADMIN, [] { return "添加项目<册>"; }},
        {"project modify", kx::kMsgProject, kx::kSubModify, [&](TestClient& c) { c.SendMessage(message(project(id["project"], "册二"), kx::kSubModify)); },
         true, nullptr, 1, KXLOG_CAT_SYSADMIN, [] { return "修改项目<册二>"; }},
        {"project delete", kx::kMsgProject, kx::kSubDelete, [&](TestClient& c) { c.SendText(kx::kMsgProject, kx::kSubDelete, idOf("project")); }, true, nullptr, 2,
         KXLOG_CAT_FILEADMIN, [] { return "删除项目"; }},
        {"project link add", kx::kMsgProjectLink, kx::kSubAdd, [](TestClient& c) { c.SendRecord(kx::kMsgProjectLink, kx::kSubAdd, Link(-1, 3, 9).GetComData()); }, true,
         remember("link", 0), 1, KXLOG_CAT_SYSADMIN, [] { return "关联项目文件<别名>"; }},
        {"project link modify", kx::kMsgProjectLink, kx::kSubModify,
         [&](TestClient& c) {
             CkxProjectData d = Link(id["link"], 3, 9);
             d.m_strAlias = "别名二";
             c.SendRecord(kx::kMsgProjectLink, kx::kSubModify, d.GetComData());
         },
         true, nullptr, 1, KXLOG_CAT_FILEADMIN, [] { return "关联项目文件<别名二>"; }},
        {"project link delete", kx::kMsgProjectLink, kx::kSubDelete,
         [](TestClient& c) {
             const int32_t pair[2] = {3, 9};
             c.Send(kx::kMsgProjectLink, kx::kSubDelete, pair, sizeof pair);
         },
         true, nullptr, 2, KXLOG_CAT_FILEADMIN, [] { return "断开项目文件"; }},
        {"projects of a file", kx::kMsgFileProjects, kx::kSubModify,
         [](TestClient& c) { c.SendMessage(Message(kx::kMsgFileProjects, kx::kSubModify, {Bytes(Link(-1, 4, 9).GetComData())}, 9)); }, true,
         nullptr, 1, KXLOG_CAT_FILEADMIN, [] { return "更新引用项目"; }},
        {"project links removed", kx::kMsgProjectUnlink, kx::kSubNone,
         [](TestClient& c) { c.SendMessage(Message(kx::kMsgProjectUnlink, kx::kSubNone, {Bytes(Link(-1, 4, 9).GetComData())})); }, true, nullptr,
         1, KXLOG_CAT_SYSADMIN, [] { return "断开项目文件"; }},
    };

    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        const int before = LastLog(server).count;
        s.send(*alice);
        const auto mine = alice->Wait(s.type, s.sub);
        ASSERT_TRUE(mine) << "no answer to the requester";
        if (s.answer) s.answer(*mine);
        if (s.toBoth) {
            const auto theirs = su->Wait(s.type, s.sub);
            ASSERT_TRUE(theirs) << "the other session heard nothing";
            EXPECT_EQ(theirs->payload, mine->payload);
            EXPECT_EQ(theirs->pieces, mine->pieces);
        } else {
            EXPECT_TRUE(su->Quiet(s.type, -1, 150ms)) << "the other session heard of it";
        }
        const LastLine line = LastLog(server);
        ASSERT_EQ(line.count, before + 1);
        EXPECT_EQ(line.level, s.level);
        EXPECT_EQ(line.category, s.category);
        EXPECT_EQ(line.event, "<alice> " + s.action());
        EXPECT_EQ(line.user, aliceId);
        EXPECT_TRUE(alice->Quiet(s.type, -1, 0ms) && su->Quiet(s.type, -1, 0ms)) << "more than one answer";
    }
}

} // namespace
