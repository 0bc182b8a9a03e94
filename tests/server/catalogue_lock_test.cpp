// The catalogue lock is fair to writers: a change or a log-on waiting for it goes in before
// readers that come after it, so a team listing folders without pause never holds off an upload
// or a log-on. First the lock alone, then the server under a stream of folder lists.
#include "data/CCatalogueMutex.h"
#include "model/CkxUser.h"
#include "model/CkxXXX.h"
#include "server/support/FileTestKit.h"
#include "table/UserTables.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

using namespace srvtest;

namespace {

// What the threads of a lock test did, in order.
class Events {
public:
    void Add(const std::string& e) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(e);
    }
    std::vector<std::string> Get() {
        std::lock_guard lock(m_mutex);
        return m_events;
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_events;
};

// Waits (yielding) until the condition holds or the generous limit passes.
template <class F>
bool Eventually(F&& condition, std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::yield();
    }
    return true;
}

// Whether a reader arriving now would be let in (it leaves again at once).
bool ReaderWouldEnter(CCatalogueMutex& m) {
    if (!m.try_lock_shared()) return false;
    m.unlock_shared();
    return true;
}

} // namespace

TEST(CatalogueLock, WaitingWriterGoesBeforeReadersArrivingAfterIt) {
    CCatalogueMutex mutex;
    Events events;
    mutex.lock_shared(); // the first reader holds it
    ASSERT_TRUE(ReaderWouldEnter(mutex)) << "readers share it";

    std::thread writer([&] {
        std::lock_guard lock(mutex);
        events.Add("writer");
    });
    // Once the writer waits, no new reader is let in, though only a reader holds the lock.
    ASSERT_TRUE(Eventually([&] { return !ReaderWouldEnter(mutex); }));
    std::thread lateReader([&] {
        std::shared_lock lock(mutex);
        events.Add("late reader");
    });
    EXPECT_FALSE(mutex.try_lock()) << "a second writer does not pass the holding reader";
    EXPECT_TRUE(events.Get().empty()) << "neither got in while the first reader holds it";

    mutex.unlock_shared();
    writer.join();
    lateReader.join();
    EXPECT_EQ(events.Get(), (std::vector<std::string>{"writer", "late reader"}));
    // Free again: a writer and then readers get in at once.
    ASSERT_TRUE(mutex.try_lock());
    EXPECT_FALSE(ReaderWouldEnter(mutex));
    mutex.unlock();
    EXPECT_TRUE(ReaderWouldEnter(mutex));
}

// Readers that queued behind a writer all go in together when it leaves, and hold the lock side
// by side; a writer waiting after them gets in once they have left.
TEST(CatalogueLock, ReadersQueuedBehindAWriterShareItAfterIt) {
    CCatalogueMutex mutex;
    mutex.lock(); // a writer holds it
    constexpr int kReaders = 4;
    std::mutex m;
    std::condition_variable cv;
    int inside = 0;
    bool release = false;
    std::vector<std::thread> readers;
    for (int i = 0; i < kReaders; ++i)
        readers.emplace_back([&] {
            std::shared_lock lock(mutex);
            std::unique_lock l(m);
            ++inside;
            cv.notify_all();
            // Each stays until all are inside together: they must share it.
            cv.wait(l, [&] { return release; });
        });
    mutex.unlock();
    {
        std::unique_lock l(m);
        ASSERT_TRUE(cv.wait_for(l, std::chrono::seconds(30), [&] { return inside == kReaders; }));
    }
    std::atomic<bool> writerIn{false};
    std::thread writer([&] {
        std::lock_guard lock(mutex);
        writerIn = true;
    });
    EXPECT_FALSE(writerIn.load());
    {
        std::lock_guard l(m);
        release = true;
    }
    cv.notify_all();
    for (auto& r : readers) r.join();
    writer.join();
    EXPECT_TRUE(writerIn.load());
}

// Writers that queue one after another without end (uploads committing back to back) do not
// hold off a reader: it goes in when the writer holding the lock leaves, while the others are
// still queued.
TEST(CatalogueLock, ReaderGetsInBetweenWritersThatNeverStopQueueing) {
    CCatalogueMutex mutex;
    std::atomic<bool> stop{false};
    std::atomic<int> turns{0};
    std::vector<std::thread> writers;
    for (int i = 0; i < 3; ++i)
        writers.emplace_back([&] {
            while (!stop) {
                std::lock_guard lock(mutex);
                ++turns;
                // Held a while, as a commit is: the other writers are queued when it leaves.
                for (int k = 0; k < 200; ++k) std::this_thread::yield();
            }
        });
    // The writers are at it: a writer always waits or holds the lock from here on.
    ASSERT_TRUE(Eventually([&] { return turns.load() > 100; }));
    std::atomic<bool> readerIn{false};
    std::atomic<int> writersRunning{0};
    std::thread reader([&] {
        std::shared_lock lock(mutex);
        readerIn = true;
        writersRunning = stop ? 0 : 1; // the writers had not been told to stop when it got in
    });
    EXPECT_TRUE(Eventually([&] { return readerIn.load(); })) << "the reader waited while writers kept queueing";
    stop = true;
    reader.join();
    for (auto& w : writers) w.join();
    EXPECT_EQ(writersRunning.load(), 1);
}

namespace {

// Accounts "reader1".."reader<n>" with alice's role and password, in the catalogue and in
// memory: a user logs on in one session at a time.
bool AddReaders(TestServer& server, int n) {
    return server.Locked([&] {
        CkxUserList& users = KX_KXXXX().m_UserList;
        const CkxUser* alice = users.Find(std::string("alice"));
        if (!alice) return false;
        for (int i = 1; i <= n; ++i) {
            CkxUser u = *alice;
            u.m_strLogon = u.m_strUser = "reader" + std::to_string(i);
            u.m_nOnline = 0;
            if (UserTable::Insert(server.Db(), u) <= 0) return false;
            users.AddTail(u);
        }
        return true;
    });
}

} // namespace

// Ten sessions list a 1000-file folder over and over, never pausing; an upload and a fresh log-on
// made meanwhile are answered while the readers are still at it, and the readers go on after.
TEST(CatalogueLock, UploadAndLogOnFinishWhileTenSessionsListWithoutPause) {
    constexpr int kReaders = 10, kFiles = 1000;
    TestServer server;
    ASSERT_TRUE(server.Ok());
    ASSERT_TRUE(AddReaders(server, kReaders));
    const int bob = server.UserId("bob");
    const int folder = AddFolderDirect(server, "共享", -1, bob, 0xFFFFFFFF).m_nID;
    {
        CADOTransaction tx(server.Db());
        for (int i = 0; i < kFiles; ++i) {
            CkxFileImage f = MakeFile("f" + std::to_string(i), "jpg", bob);
            f.m_nLocDirID = folder;
            ASSERT_GT(InsertRow(server.Db(), f), 0);
        }
        ASSERT_TRUE(tx.Commit());
    }
    auto alice = server.LogOn("alice", "alice-pw");
    ASSERT_TRUE(alice);

    std::vector<std::unique_ptr<TestClient>> clients;
    for (int i = 1; i <= kReaders; ++i) {
        clients.push_back(server.LogOn("reader" + std::to_string(i), "alice-pw"));
        ASSERT_TRUE(clients.back());
    }
    std::mutex m;
    std::condition_variable changed;
    std::vector<int> rounds(kReaders, 0);
    int failures = 0;
    std::atomic<bool> stop{false};
    std::vector<std::thread> readers;
    for (int i = 0; i < kReaders; ++i)
        readers.emplace_back([&, i] {
            while (!stop) {
                const bool ok = clients[i]->SendText(kx::kMsgFolderFiles, kx::kSubNone, std::to_string(folder)) &&
                                clients[i]->WaitSeries(kx::kMsgFolderFiles, kx::kSubNone, 120s);
                std::lock_guard l(m);
                if (ok) ++rounds[i];
                else ++failures;
                changed.notify_all();
                if (!ok) return;
            }
        });
    const auto everyReaderDid = [&](const std::vector<int>& least) {
        std::unique_lock l(m);
        return changed.wait_for(l, 120s, [&] {
            if (failures) return true;
            for (int i = 0; i < kReaders; ++i)
                if (rounds[i] < least[i]) return false;
            return true;
        }) && failures == 0;
    };
    const auto roundsNow = [&](int more) {
        std::lock_guard l(m);
        std::vector<int> v = rounds;
        for (int& r : v) r += more;
        return v;
    };
    // Every reader is at work before the writers come.
    EXPECT_TRUE(everyReaderDid(std::vector<int>(kReaders, 1)));

    CkxFileImage f = MakeFile("upload", "jpg", -1, kReadOpen, RandomBytes(200000, 7), "m");
    f.m_nLocDirID = folder;
    f.m_nID = -9;
    ASSERT_TRUE(SendPieces(*alice, kx::kMsgCaptureFile, kx::kSubAdd, {FileData(f)}));
    const auto uploaded = alice->Wait(kx::kMsgCaptureFile, kx::kSubNone, 60s);
    auto bobClient = server.Connect();
    ASSERT_TRUE(bobClient);
    const int logon = bobClient->LogOn("bob", "bob-pw"); // waits up to 30 s for its answer
    const bool readersRunning = [&] {
        std::lock_guard l(m);
        return failures == 0;
    }();
    // The readers were never held up for good either: each finishes further rounds.
    EXPECT_TRUE(everyReaderDid(roundsNow(1)));
    stop = true;
    for (auto& r : readers) r.join();

    ASSERT_TRUE(uploaded) << "the upload got no answer while the readers listed";
    EXPECT_EQ(uploaded->payload, "-9");
    EXPECT_EQ(logon, 0) << "the log-on got no answer while the readers listed";
    EXPECT_TRUE(readersRunning);
    EXPECT_EQ(QueryInt(server.Db(), "SELECT COUNT(*) FROM VUZO_FImage WHERE T_Title = 'upload'"), 1);
}

// An upload's commit holds the catalogue alone but changes no in-memory list: the lists read
// from memory alone (accounts and roles) are answered meanwhile, and a list that reads rows
// waits for the commit and is answered after it.
TEST(CatalogueLock, AccountAndRoleListsAreAnsweredWhileACommitHoldsTheCatalogue) {
    SharedFolder shared;
    ASSERT_NO_FATAL_FAILURE(shared.Start());
    auto& [server, alice, bob, folder] = shared;
    CkxFileImage f = MakeFile("listed", "jpg", bob);
    f.m_nLocDirID = folder;
    ASSERT_GT(InsertRow(server.Db(), f), 0);
    {
        std::lock_guard commit(server.Data().CatalogueMutex());
        // (The test catalogue has no file or folder roles, whose empty lists send nothing.)
        for (const int type : {kx::kMsgUser, kx::kMsgUserRole}) {
            SCOPED_TRACE(type);
            ASSERT_TRUE(alice->Send(type, kx::kSubList));
            EXPECT_TRUE(alice->WaitSeries(type, kx::kSubList, 60s)) << "no answer while the catalogue was held";
        }
        ASSERT_TRUE(alice->SendText(kx::kMsgFolderFiles, kx::kSubNone, std::to_string(folder)));
    }
    EXPECT_TRUE(alice->WaitSeries(kx::kMsgFolderFiles, kx::kSubNone, 60s));
}
