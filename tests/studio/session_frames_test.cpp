// What the studio session does with messages the real server never sends: unknown types, pushed
// sub-operations, records too short, pieces missing. A scripted peer on a loopback listener
// plays the server; each case ends with a marker person whose arrival shows that everything
// sent before it was handled.
#include "studio/support/StudioTestKit.h"

#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"
#include "transport/NetMessage.h"
#include "transport/NetSeries.h"
#include "transport/support/NetTestPeer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace studiotest;
using namespace kx;

namespace {

CkxKeyword Keyword(int id, const std::string& name) {
    CkxKeyword k;
    k.m_nID = id;
    k.m_nGroupID = 1;
    k.m_strName = name;
    return k;
}

class SessionFrames : public StudioTest {
protected:
    void SetUp() override {
        StudioTest::SetUp();
        link = std::make_unique<TestStudioLink>();
        ASSERT_TRUE(listener.Start(0, "127.0.0.1"));
        ASSERT_EQ(link->Connect(listener.GetPort(), "127.0.0.1"), 1);
        const int handle = listener.TakeHandle();
        ASSERT_GE(handle, 0);
        peer.Attach(handle);
        ASSERT_EQ(peer.StartThreads(), 1);
    }
    void TearDown() override {
        peer.StopAndClose();
        StudioTest::TearDown();
    }

    void Packet(int type, int subOp, const std::string& bytes, uint32_t param = 0) {
        NetPacket p;
        p.InitCommand(type, subOp, 0);
        p.SetParam(param);
        p.SetData(bytes.data(), bytes.size());
        ASSERT_EQ(peer.SendReply(p), 1);
    }
    void Message(int type, int subOp, const std::vector<std::string>& pieces, uint32_t param = 0) {
        NetMessage m;
        m.SetCommand(type, subOp);
        m.SetParam(param);
        for (const std::string& piece : pieces) m.AppendData(piece);
        ASSERT_EQ(peer.SendReplyMessage(m), 1);
    }
    // Sends a marker person as a packet and another as a message (the two travel in different
    // send queues) and waits until both arrived: what came before them was handled.
    void Settle() {
        CkxPerson p, q;
        p.m_nID = 90000 + (++m_nMarkers);
        q.m_nID = 90000 + (++m_nMarkers);
        p.m_strName = q.m_strName = "marker";
        Packet(kMsgPerson, kSubAdd, Bytes(p.GetComData()));
        Message(kMsgPerson, kSubAdd, {Bytes(q.GetComData())});
        ASSERT_TRUE(PumpUntil([&] {
            return KX_KXXXX().m_PersonList.Find(p.m_nID) != nullptr && KX_KXXXX().m_PersonList.Find(q.m_nID) != nullptr;
        }));
    }

    nettest::HandleListener listener;
    nettest::RecordingConnection peer;
    int m_nMarkers = 0;
};

// Every slot but the persons one (the markers go there).
std::vector<StudioSlot> AllSlotsButPersons() {
    std::vector<StudioSlot> slots;
    for (int s = 0; s < kSlotCount; ++s)
        if (s != kSlotPersons) slots.push_back(static_cast<StudioSlot>(s));
    return slots;
}

TEST_F(SessionFrames, TypesTheStudioDoesNotTakeChangeNothing) {
    SlotWatch watch(*link, AllSlotsButPersons());
    const std::string keyword = Bytes(Keyword(7, "词").GetComData());
    for (int type : {0, 46, 53, 200}) {
        SCOPED_TRACE(type);
        Packet(type, kSubAdd, keyword);
        Packet(type, kSubList, keyword);
    }
    Settle();
    EXPECT_EQ(KX_KXXXX().m_KeywordList.GetCount(), 0);
    EXPECT_TRUE(watch.log.empty());
}

TEST_F(SessionFrames, PushedSubOperationsActAsTheirRequests) {
    SlotWatch watch(*link, {kSlotKeywords});
    Packet(kMsgKeyword, kSubAdded, Bytes(Keyword(7, "甲").GetComData()));
    Packet(kMsgKeyword, kSubUpdated, Bytes(Keyword(7, "乙").GetComData()));
    Settle();
    EXPECT_EQ(KX_KXXXX().m_KeywordList.GetName(7), "乙");
    Packet(kMsgKeyword, kSubDeleted, "7");
    Settle();
    EXPECT_EQ(KX_KXXXX().m_KeywordList.GetCount(), 0);
    EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotKeywords, kNoticeAdded, 7},
                                                 {kSlotKeywords, kNoticeUpdated, 7},
                                                 {kSlotKeywords, kNoticeRemoved, 7}}));
}

TEST_F(SessionFrames, KeywordTemplatesIgnoreThePushedCodesAndTellNobody) {
    SlotWatch watch(*link, AllSlotsButPersons());
    CkxKeywordTemplet t;
    t.m_nID = 3;
    t.m_strName = "常用";
    t.m_listKeyword = {1, 2};
    CkxBuf ids;
    t.PackBuf(ids);
    Message(kMsgKeywordTemplet, kSubAdd, {Bytes(t.GetComData()), std::string(ids.View())});
    CkxKeywordTemplet renamed = t;
    renamed.m_strName = "改名";
    Message(kMsgKeywordTemplet, kSubUpdated, {Bytes(renamed.GetComData()), std::string(ids.View())});
    Packet(kMsgKeywordTemplet, kSubDeleted, "3");
    Settle();
    ASSERT_EQ(KX_KeywordTempletList().GetCount(), 1);
    EXPECT_EQ(KX_KeywordTempletList().Find(3)->m_strName, "常用");
    EXPECT_EQ(KX_KeywordTempletList().Find(3)->m_listKeyword, (std::vector<int>{1, 2}));
    EXPECT_TRUE(watch.log.empty());
}

TEST_F(SessionFrames, AMessageThatDoesNotReadIsDroppedWhole) {
    CkxXXX& c = KX_KXXXX();
    CkxFSNode folder;
    folder.m_nID = 5;
    folder.m_strName = "留";
    CkxBuf rights;
    folder.BuildPower(rights);
    Message(kMsgFolder, kSubAdd, {Bytes(folder.GetComData()), std::string(rights.View())});
    Settle();
    ASSERT_NE(c.fsFind(5), nullptr);
    SlotWatch watch(*link, AllSlotsButPersons());

    struct Case {
        const char* name;
        std::function<void()> send;
    };
    const std::string keyword = Bytes(Keyword(8, "短").GetComData());
    CkxAttr attr;
    attr.m_nID = 4;
    attr.m_strName = "尺寸";
    const Case cases[] = {
        {"a 107-byte keyword", [&] { Packet(kMsgKeyword, kSubAdd, keyword.substr(0, 107)); }},
        {"a folder delete with a 119-byte piece",
         [&] { Message(kMsgFolder, kSubDelete, {Bytes(folder.GetComData()), Bytes(folder.GetComData()).substr(0, 119)}); }},
        {"a folder without pieces", [&] { Message(kMsgFolder, kSubAdd, {}); }},
        {"a folder without its rights piece", [&] { Message(kMsgFolder, kSubAdd, {Bytes(folder.GetComData())}); }},
        {"an attribute without its values piece", [&] { Message(kMsgFamilyAttr, kSubAdd, {Bytes(attr.GetComData())}); }},
        {"a keyword deleted by no id", [&] { Packet(kMsgKeyword, kSubDelete, "7x"); }},
        {"quick keys of a file with a short piece",
         [&] { Message(kMsgFileQuickKeys, kSubModify, {std::string(24, '\0'), std::string(23, '\0')}, 9); }},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.name);
        const uint64_t before = link->GetDroppedCount();
        each.send();
        Settle();
        EXPECT_EQ(link->GetDroppedCount(), before + 1);
    }
    EXPECT_EQ(c.m_KeywordList.GetCount(), 0);
    EXPECT_NE(c.fsFind(5), nullptr);
    EXPECT_EQ(KX_FamilyXXX().attr_Find(4), nullptr);
    EXPECT_TRUE(watch.log.empty());
}

TEST_F(SessionFrames, AListAnswerReplacesTheListAndTellsOneReload) {
    SlotWatch watch(*link, {kSlotKeywords});
    CkxXXX& c = KX_KXXXX();
    c.m_KeywordList.AddTail(Keyword(99, "旧"));
    NetPacketSeries three(kMsgKeyword, kSubList, 0);
    for (int id : {1, 2, 3}) {
        const CkxKeyword::_COM com = Keyword(id, "词" + std::to_string(id)).GetComData();
        three.AddBytes(&com, sizeof com);
    }
    ASSERT_EQ(peer.SendReplyPacketSeries(three), 1);
    Settle();
    EXPECT_EQ(c.m_KeywordList.GetCount(), 3);
    EXPECT_EQ(c.m_KeywordList.Find(99), nullptr);
    EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotKeywords, kNoticeReload, 0}}));

    // One entry is the first and the last at once.
    watch.Clear();
    NetPacketSeries one(kMsgKeyword, kSubList, 0);
    const CkxKeyword::_COM com = Keyword(4, "唯一").GetComData();
    one.AddBytes(&com, sizeof com);
    ASSERT_EQ(peer.SendReplyPacketSeries(one), 1);
    Settle();
    EXPECT_EQ(c.m_KeywordList.GetCount(), 1);
    EXPECT_EQ(c.m_KeywordList.GetName(4), "唯一");
    EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotKeywords, kNoticeReload, 0}}));
}

TEST_F(SessionFrames, ProjectEntriesAreRemovedByTheTwoIdsTheServerSends) {
    SlotWatch watch(*link, {kSlotProjectData, kSlotFileDetails});
    CkxProjectData d;
    d.m_nID = 11;
    d.m_nProjectID = 5;
    d.m_nFileID = 6;
    Packet(kMsgProjectLink, kSubAdd, Bytes(d.GetComData()));
    const int32_t pair[2] = {5, 6};
    Packet(kMsgProjectLink, kSubDelete, std::string(reinterpret_cast<const char*>(pair), sizeof pair));
    Settle();
    EXPECT_EQ(KX_KXXXX().m_ProjectDataList.GetCount(), 0);
    EXPECT_EQ(watch.log, (std::vector<SlotTold>{{kSlotProjectData, kNoticeAdded, 11},
                                                 {kSlotFileDetails, kNoticeShareUpdated, 0},
                                                 {kSlotProjectData, kNoticeRemoved, 5},
                                                 {kSlotFileDetails, kNoticeShareUpdated, 0}}));
}

TEST_F(SessionFrames, AFileSetWithoutPiecesEmptiesThatFilesEntries) {
    CkxXXX& c = KX_KXXXX();
    auto key = [](int id, int folder, int file) {
        CkxFSQuickKey k;
        k.m_nID = id;
        k.m_nDirID = folder;
        k.m_nFileID = file;
        return Bytes(k.GetComData());
    };
    Message(kMsgFileQuickKeys, kSubModify, {key(1, 10, 9), key(2, 11, 9)}, 9);
    Message(kMsgFileQuickKeys, kSubModify, {key(3, 10, 8)}, 8);
    Settle();
    ASSERT_EQ(c.m_QuickKeyList.GetCount(), 3);
    Message(kMsgFileQuickKeys, kSubModify, {}, 9);
    Settle();
    EXPECT_EQ(c.m_QuickKeyList.GetCount(), 1);
    EXPECT_NE(c.m_QuickKeyList.Find(10, 8), nullptr);
}

// Requests the transport could not carry whole: a large sub-tree is deleted in several
// messages (the chosen folder last), and a file's set over 255 entries is refused, not cut.
TEST_F(SessionFrames, RequestsOverTheTransportsPieceLimitAreSplitOrRefused) {
    CkxXXX& c = KX_KXXXX();
    auto add = [&](int id, int parent) {
        CkxFSNode n;
        n.m_nID = id;
        n.m_nParentID = parent;
        n.m_nLev = parent == -1 ? 0 : c.fsFind(parent)->m_nLev + 1;
        n.m_strName = "目录" + std::to_string(id);
        c.fsAddDir(n);
    };
    add(1, -1);
    for (int id = 2; id <= 301; ++id) add(id, id <= 21 ? 1 : 2 + (id % 20));
    CkxXXX::NodeList tree;
    ASSERT_EQ(c.fsFindTree(1, tree), 301);
    ASSERT_EQ(link->SendFolderDeleteRequest(1), 1);
    ASSERT_TRUE(peer.WaitForCount(2, 3s)) << peer.Count();
    const std::vector<nettest::Received> sent = peer.Items();
    ASSERT_EQ(sent.size(), 2u);
    std::set<int> named;
    for (const nettest::Received& r : sent) {
        EXPECT_EQ(r.type, kMsgFolder);
        EXPECT_EQ(r.subOp, kSubDelete);
        for (const std::string& piece : r.pieces) {
            CkxFSNode::_COM com{};
            ASSERT_EQ(piece.size(), sizeof com);
            std::memcpy(&com, piece.data(), sizeof com);
            named.insert(com.nID);
        }
    }
    EXPECT_EQ(sent[0].pieces.size(), 255u);
    EXPECT_EQ(sent[1].pieces.size(), 46u);
    EXPECT_EQ(named.size(), 301u);
    CkxFSNode::_COM last{};
    std::memcpy(&last, sent[1].pieces.back().data(), sizeof last);
    EXPECT_EQ(last.nID, 1);

    CkxKeywordLinkList links;
    for (int k = 1; k <= 256; ++k) links.AddTail(CkxKeywordLink(9, k));
    EXPECT_EQ(link->SendFileKeywordLinkRequest(9, links), CServerLink::kTooManyEntries);
    links.Delete(CkxKeywordLink(9, 256));
    EXPECT_EQ(link->SendFileKeywordLinkRequest(9, links), 1);
    ASSERT_TRUE(peer.WaitForCount(3));
    EXPECT_EQ(peer.Items()[2].pieces.size(), 255u);
    EXPECT_EQ(peer.Items()[2].param, 9u);
}

} // namespace
