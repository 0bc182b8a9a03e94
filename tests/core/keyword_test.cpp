#include "model/CkxKeyword.h"
#include "model/CkxKeywordGroup.h"
#include "model/CkxKeywordLink.h"
#include "model/CkxKeywordTemplet.h"
#include "core/support/GoldenBytes.h"

#include <gtest/gtest.h>

TEST(CkxKeyword, GoldenBytesRoundTrip) {
    CkxKeyword k;
    k.m_nID = 77;
    k.m_nGroupID = -1;
    k.m_strName = std::string(49, 'k'); // full width
    k.m_strNote = Utf8Zhong(25);        // 50 GBK bytes: cut to 24 characters
    const std::string expected = GoldenBytes(108)
                                     .I32(0, 77)
                                     .I32(4, -1)
                                     .Raw(8, std::string(49, 'k'))
                                     .Raw(58, GbkZhong(24))
                                     .Str();
    ASSERT_EQ(kx::RecordBytes(k.GetComData()), expected);

    CkxKeyword::_COM com;
    ASSERT_TRUE(kx::ReadRecord(expected.data(), expected.size(), com));
    CkxKeyword back;
    back = com;
    EXPECT_EQ(back.m_nID, 77);
    EXPECT_EQ(back.m_nGroupID, -1);
    EXPECT_EQ(back.m_strName, std::string(49, 'k'));
    EXPECT_EQ(back.m_strNote, Utf8Zhong(24));
}

TEST(CkxKeywordGroup, GoldenBytesSharedWithTemplates) {
    const std::string expected =
        GoldenBytes(104).I32(0, 5).Raw(4, GbkZhong(24)).Raw(54, std::string(49, 'n')).Str();

    CkxKeywordGroup g;
    g.m_nID = 5;
    g.m_strName = Utf8Zhong(25) + "tail";
    g.m_strNote = std::string(60, 'n'); // longer than the field: cut to 49 bytes
    EXPECT_EQ(kx::RecordBytes(g.GetComData()), expected);

    CkxKeywordTemplet t;
    t.m_nID = 5;
    t.m_strName = Utf8Zhong(25);
    t.m_strNote = std::string(49, 'n');
    t.m_listKeyword = {1, 2, 3};
    EXPECT_EQ(kx::RecordBytes(t.GetComData()), expected);

    KxNameNoteCom com;
    ASSERT_TRUE(kx::ReadRecord(expected.data(), expected.size(), com));
    CkxKeywordGroup gb(com);
    EXPECT_EQ(gb.m_strName, Utf8Zhong(24));
    EXPECT_EQ(gb.m_strNote, std::string(49, 'n'));

    // Reading a record into a template keeps its keyword list.
    CkxKeywordTemplet tb;
    tb.m_listKeyword = {9};
    tb = com;
    EXPECT_EQ(tb.m_nID, 5);
    EXPECT_EQ(tb.m_strName, Utf8Zhong(24));
    EXPECT_EQ(tb.m_listKeyword, std::vector<int32_t>{9});
}

TEST(CkxKeywordTemplet, KeywordBuffer) {
    CkxKeywordTemplet t;
    CkxBuf buf;
    buf.Fill("keep", 4);
    EXPECT_EQ(t.PackBuf(buf), 0); // no keywords: nothing to send
    EXPECT_EQ(buf.View(), "keep");

    t.m_listKeyword = {1, -2, 0x01020304};
    ASSERT_EQ(t.PackBuf(buf), 1);
    EXPECT_EQ(buf.View(), GoldenBytes(12).I32(0, 1).I32(4, -2).I32(8, 0x01020304).Str());

    struct Case {
        const char* name;
        std::string bytes;
        bool null;
        std::vector<int32_t> ids;
    };
    const Case cases[] = {
        {"10 bytes give two ids", GoldenBytes(10).I32(0, 7).I32(4, 8).Str(), false, {7, 8}},
        {"empty block empties the list", "", false, {}},
        {"three bytes give none", "abc", false, {}},
        {"null leaves the list", "", true, {100, 200}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CkxKeywordTemplet r;
        r.m_listKeyword = {100, 200};
        EXPECT_EQ(r.PasyBuf(k.null ? nullptr : k.bytes.data(), static_cast<int>(k.bytes.size())), k.null ? 0 : 1);
        EXPECT_EQ(r.m_listKeyword, k.ids);
    }
    CkxKeywordTemplet r;
    ASSERT_EQ(r.PasyBuf(buf), 1);
    EXPECT_EQ(r.m_listKeyword, t.m_listKeyword);
    EXPECT_EQ(r.PasyBuf(CkxBuf()), 0);
    EXPECT_EQ(r.m_listKeyword, t.m_listKeyword);
}

TEST(CkxKeywordLists, DeleteFormsUpdateAndNames) {
    // Keyword and group lists delete every match; the template list only the first.
    CkxKeywordList words;
    CkxKeywordGroupList groups;
    CkxKeywordTempletList templets;
    for (int id : {1, 1, 2}) {
        CkxKeyword k;
        k.m_nID = id;
        k.m_nGroupID = 10 + id;
        k.m_strName = "k" + std::to_string(id);
        words.AddTail(k);
        CkxKeywordGroup g;
        g.m_nID = id;
        g.m_strName = "g" + std::to_string(id);
        groups.AddTail(g);
        CkxKeywordTemplet t;
        t.m_nID = id;
        t.m_listKeyword = {id};
        templets.AddTail(t);
    }
    EXPECT_EQ(words.Delete(1), 2);
    EXPECT_EQ(groups.Delete(1), 2);
    EXPECT_EQ(templets.Delete(1), 1);
    EXPECT_EQ(words.Delete(5), 0);
    EXPECT_EQ(templets.Delete(5), 0);
    EXPECT_EQ(words.GetCount(), 1);
    EXPECT_EQ(groups.GetCount(), 1);
    EXPECT_EQ(templets.GetCount(), 2);

    EXPECT_EQ(words.GetName(2), "k2");
    EXPECT_EQ(words.GetName(1), "");
    EXPECT_EQ(groups.GetName(2), "g2");
    EXPECT_EQ(groups.GetName(-1), "");

    // Update of a template replaces its keyword list; an absent id adds nothing.
    CkxKeywordTemplet t;
    t.m_nID = 2;
    t.m_strName = "新";
    t.m_listKeyword = {5, 6};
    EXPECT_EQ(templets.Update(t), 1);
    EXPECT_EQ(templets.Find(2)->m_listKeyword, (std::vector<int32_t>{5, 6}));
    t.m_nID = 9;
    EXPECT_EQ(templets.Update(t), 0);
    EXPECT_EQ(templets.GetCount(), 2);
    // The heap copy carries the keyword list, independent of the original.
    t.m_listKeyword.push_back(7);
    EXPECT_EQ(templets.Find(2)->m_listKeyword.size(), 2u);

    CkxKeywordList empty;
    EXPECT_EQ(empty.Delete(1), 0);
    EXPECT_EQ(empty.GetName(1), "");
}

TEST(CkxKeywordList, GroupAndAllPointersClearTheOutput) {
    CkxKeywordList words;
    for (int i = 0; i < 5; ++i) {
        CkxKeyword k;
        k.m_nID = i;
        k.m_nGroupID = i % 2;
        words.AddTail(k);
    }
    CkxKeyword stray;
    std::vector<CkxKeyword*> out{&stray};
    EXPECT_EQ(words.GetGroupKeyword(1, out), 2);
    EXPECT_EQ(out[0]->m_nID, 1);
    EXPECT_EQ(out[1]->m_nID, 3);
    EXPECT_EQ(words.GetGroupKeyword(7, out), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(words.GetAllPt(out), 5);
    EXPECT_EQ(out[4]->m_nID, 4);
}

TEST(CkxKeywordLink, GoldenBytesAndPairs) {
    CkxKeywordLink l(0x0A0B0C0D, -3);
    EXPECT_EQ(kx::RecordBytes(l.GetComData()), GoldenBytes(8).I32(0, 0x0A0B0C0D).I32(4, -3).Str());

    CkxKeywordLinkList list;
    EXPECT_EQ(list.GetHead(), nullptr); // empty list: no head
    EXPECT_EQ(list.Set(CkxKeywordLink(1, 10)), 1);
    EXPECT_EQ(list.Set(CkxKeywordLink(1, 10)), 0);
    EXPECT_EQ(list.GetCount(), 1);
    list.AddTail(CkxKeywordLink(1, 10));
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.Find(CkxKeywordLink(1, 11)), nullptr);
    ASSERT_NE(list.GetHead(), nullptr);

    // Deleting by a record of the list itself removes every copy of the pair.
    list.AddTail(CkxKeywordLink(1, 11));
    EXPECT_EQ(list.Delete(*list.GetHead()), 2);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetHead()->m_nKeywordID, 11);
}

TEST(CkxKeywordLinkList, SetReplacesOneFilesLinks) {
    CkxKeywordLinkList list;
    for (auto [f, k] : {std::pair{1, 10}, {2, 20}, {1, 11}, {3, 30}}) list.AddTail(CkxKeywordLink(f, k));

    CkxKeywordLinkList incoming;
    incoming.AddTail(CkxKeywordLink(1, 12));
    incoming.AddTail(CkxKeywordLink(4, 40)); // appended whatever file it carries
    list.Set(1, incoming);
    std::vector<int> ids;
    EXPECT_EQ(list.GetFileKeyword(1, ids), 1);
    EXPECT_EQ(ids, std::vector<int>{12});
    EXPECT_EQ(list.GetFileKeyword(4, ids), 1);
    EXPECT_EQ(list.GetFileKeyword(2, ids), 1);
    EXPECT_EQ(list.GetCount(), 4);

    // Given itself, the list stays as it is (and the call returns).
    list.Set(2, list);
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetFileKeyword(2, ids), 1);

    EXPECT_EQ(list.DeleteObj(4), 1);
    EXPECT_EQ(list.DeleteObj(4), 0);
    list.SetFile(77);
    EXPECT_EQ(list.GetFileKeyword(77, ids), 3);
    EXPECT_EQ(list.GetFileKeyword(1, ids), 0);
    EXPECT_TRUE(ids.empty());
}

namespace {

// Runs one case on a list of named records with ids 1, 1, 2 (or none): what Delete removes,
// whether Update finds its record, and what is left.
template <class List>
void RunListCase(bool empty, int deleteId, int updateId, int deleted, int updated, int countAfter) {
    List list;
    using R = typename List::Record;
    if (!empty)
        for (int id : {1, 1, 2}) {
            R r;
            r.m_nID = id;
            r.m_strName = "old";
            list.AddTail(r);
        }
    EXPECT_EQ(list.Delete(deleteId), deleted);
    R changed;
    changed.m_nID = updateId;
    changed.m_strName = "new";
    EXPECT_EQ(list.Update(changed), updated);
    EXPECT_EQ(list.GetCount(), countAfter);
    EXPECT_EQ(list.GetName_(updateId), updated ? "new" : "");
}

template <class Base>
struct Named : Base {
    std::string GetName_(int id) const {
        const auto* r = Base::Find(id);
        return r ? r->m_strName : std::string();
    }
};

} // namespace

TEST(CkxKeywordLists, DeleteAndUpdateTable) {
    struct Case {
        const char* name;
        bool empty;
        int deleteId, updateId;
        int deleted[3]; // keyword, group, template list
        int updated;
        int countAfter[3];
    };
    const Case cases[] = {
        {"id held twice", false, 1, 2, {2, 2, 1}, 1, {1, 1, 2}},
        {"update of an absent id adds nothing", false, 2, 9, {1, 1, 1}, 0, {2, 2, 2}},
        {"update after deleting", false, 2, 2, {1, 1, 1}, 0, {2, 2, 2}},
        {"empty list", true, 1, 1, {0, 0, 0}, 0, {0, 0, 0}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        RunListCase<Named<CkxKeywordList>>(k.empty, k.deleteId, k.updateId, k.deleted[0], k.updated, k.countAfter[0]);
        RunListCase<Named<CkxKeywordGroupList>>(k.empty, k.deleteId, k.updateId, k.deleted[1], k.updated, k.countAfter[1]);
        RunListCase<Named<CkxKeywordTempletList>>(k.empty, k.deleteId, k.updateId, k.deleted[2], k.updated, k.countAfter[2]);
    }
}

TEST(CkxKeywordLinkList, PairOperationsTable) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> links; // (file, keyword), in list order
        std::pair<int, int> pair;
        int deleted;     // Delete(pair)
        int deletedObj;  // then DeleteObj(pair's file)
        int countAfter;
    };
    const Case cases[] = {
        {"every copy of the pair", {{1, 10}, {2, 10}, {1, 10}, {1, 11}}, {1, 10}, 2, 1, 1},
        {"absent pair", {{1, 10}}, {1, 11}, 0, 1, 0},
        {"same keyword on another file stays", {{2, 10}, {3, 10}}, {1, 10}, 0, 0, 2},
        {"empty list", {}, {1, 10}, 0, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        CkxKeywordLinkList list;
        for (auto [f, w] : k.links) list.AddTail(CkxKeywordLink(f, w));
        EXPECT_EQ(list.Delete(CkxKeywordLink(k.pair.first, k.pair.second)), k.deleted);
        EXPECT_EQ(list.Find(CkxKeywordLink(k.pair.first, k.pair.second)), nullptr);
        EXPECT_EQ(list.DeleteObj(k.pair.first), k.deletedObj);
        EXPECT_EQ(list.GetCount(), k.countAfter);
    }

    // The keyword ids of a file come in list order.
    CkxKeywordLinkList list;
    for (auto [f, w] : {std::pair{1, 30}, {2, 5}, {1, 10}, {1, 20}}) list.AddTail(CkxKeywordLink(f, w));
    std::vector<int> ids{99};
    EXPECT_EQ(list.GetFileKeyword(1, ids), 3);
    EXPECT_EQ(ids, (std::vector<int>{30, 10, 20}));
}

TEST(CkxKeywordLinkList, LinksComeInAnyFileOrderAndAreFoundByFile) {
    // Links added out of file order, and the same links handed over at once: each file's links
    // keep the order they came in, whatever other files came between.
    const std::vector<CkxKeywordLink> given = {{5, 50}, {2, 20}, {5, 51}, {9, 90}, {2, 21}, {1, 10}, {5, 52}};
    CkxKeywordLinkList added;
    for (const CkxKeywordLink& l : given) added.AddTail(l);
    const CkxKeywordLinkList taken(given);
    for (const CkxKeywordLinkList* list : {static_cast<const CkxKeywordLinkList*>(&added), &taken}) {
        std::vector<std::pair<int, int>> walked;
        list->ForEach([&](const CkxKeywordLink& l) { walked.emplace_back(l.m_nFileID, l.m_nKeywordID); });
        EXPECT_EQ(walked, (std::vector<std::pair<int, int>>{{1, 10}, {2, 20}, {2, 21}, {5, 50}, {5, 51}, {5, 52}, {9, 90}}));
        std::vector<int> ids;
        EXPECT_EQ(list->GetFileKeyword(5, ids), 3);
        EXPECT_EQ(ids, (std::vector<int>{50, 51, 52}));
        EXPECT_EQ(list->GetFileKeyword(3, ids), 0); // between two files that have links
        ASSERT_NE(list->Find(CkxKeywordLink(9, 90)), nullptr);
        EXPECT_EQ(list->Find(CkxKeywordLink(9, 90))->m_nFileID, 9);
        EXPECT_EQ(list->Find(CkxKeywordLink(2, 50)), nullptr); // the keyword, on another file
    }

    // Removing a file in the middle leaves its neighbours whole and findable.
    CkxKeywordLinkList list(given);
    EXPECT_EQ(list.DeleteObj(2), 2);
    std::vector<int> ids;
    EXPECT_EQ(list.GetFileKeyword(1, ids), 1);
    EXPECT_EQ(list.GetFileKeyword(5, ids), 3);
    EXPECT_EQ(list.Delete(CkxKeywordLink(5, 51)), 1);
    EXPECT_EQ(list.GetFileKeyword(5, ids), 2);
    EXPECT_EQ(ids, (std::vector<int>{50, 52}));
    EXPECT_EQ(list.GetCount(), 4);
}
