// The session under a stream of changes while the GUI thread reads the same list: every change
// is applied on the GUI thread, between the reader's turns, and the list ends as the server's.
#include "studio/support/StudioTestKit.h"

#include "model/CkxXXX.h"
#include "protocol/KxMessage.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <set>

using namespace studiotest;
using namespace kx;

namespace {

class SessionStress : public StudioTest {};

TEST_F(SessionStress, TwoHundredKeywordsComeAndGoWhileTheListIsRead) {
    ASSERT_NO_FATAL_FAILURE(StartAndLogOn());
    ASSERT_NO_FATAL_FAILURE(LoadInitialLists());
    auto su = server->LogOn("su", kSuPassword);
    ASSERT_NE(su, nullptr);
    ObserverWindow keywords;
    link->Register(kSlotKeywords, &keywords);

    // A reader on the GUI thread walks the list every millisecond, as a pane repainting would.
    size_t walks = 0, names = 0;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        ++walks;
        KX_KXXXX().m_KeywordList.ForEach([&](const CkxKeyword& k) { names += k.m_strName.size(); });
    });
    reader.start(1);

    constexpr int kCount = 200;
    for (int i = 0; i < kCount; ++i) {
        CkxKeyword k;
        k.m_strName = "词" + std::to_string(i);
        k.m_nGroupID = server->Id("group.places");
        ASSERT_TRUE(su->SendRecord(kMsgKeyword, kSubAdd, k.GetComData()));
    }
    std::vector<int> added;
    for (int i = 0; i < kCount; ++i) {
        const auto answer = su->Wait(kMsgKeyword, kSubAdd, 20s);
        ASSERT_TRUE(answer);
        CkxKeyword::_COM com{};
        ASSERT_TRUE(answer->As(com));
        added.push_back(com.nID);
    }
    for (int id : added) ASSERT_TRUE(su->SendText(kMsgKeyword, kSubDelete, std::to_string(id)));
    ASSERT_TRUE(PumpUntil(
        [&] { return keywords.Count(kNoticeAdded) == kCount && keywords.Count(kNoticeRemoved) == kCount; }, 60s));
    reader.stop();
    EXPECT_GT(walks, 0u);

    // The server's own list, asked for by a fresh workstation.
    auto bob = server->LogOn("bob", "bob-pw");
    ASSERT_NE(bob, nullptr);
    ASSERT_TRUE(bob->Send(kMsgKeyword, kSubList));
    const auto series = bob->WaitSeries(kMsgKeyword, kSubList);
    ASSERT_TRUE(series);
    std::set<int> serverIds, cacheIds;
    for (const srvtest::Answer& a : *series) {
        CkxKeyword::_COM com{};
        ASSERT_TRUE(a.As(com));
        serverIds.insert(com.nID);
    }
    KX_KXXXX().m_KeywordList.ForEach([&](const CkxKeyword& k) { cacheIds.insert(k.m_nID); });
    EXPECT_EQ(cacheIds, serverIds);
    EXPECT_EQ(cacheIds.size(), 3u);
}

} // namespace
