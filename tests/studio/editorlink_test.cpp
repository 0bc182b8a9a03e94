// The image-editor link's pieces on the real system: the message channel over a Unix socket
// (whole blocks in order, prompt close, owner-only socket file, one server per name, stale
// files replaced), the disk identifier's text rules, the BMP writer and the registered names.
#include "link/CBitmapSnapshot.h"
#include "link/CDiskIdentifier.h"
#include "link/CImageEditorLink.h"
#include "link/CPipeChannel.h"

#include "base/KxAtomTable.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Points the runtime folder at a temporary folder for the test.
class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_ = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
        ::setenv("XDG_RUNTIME_DIR", dir.str().c_str(), 1);
    }
    void TearDown() override {
        if (old_.empty()) ::unsetenv("XDG_RUNTIME_DIR");
        else ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    }
    TempDir dir;

private:
    std::string old_;
};

// Collects what a reader hands over.
struct Inbox {
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::vector<unsigned char>> blocks;
    CPipeChannel::Callback Callback(int size) {
        return [this, size](const unsigned char* msg, int) {
            std::lock_guard<std::mutex> lock(m);
            blocks.emplace_back(msg, msg + size);
            cv.notify_all();
        };
    }
    bool WaitFor(size_t n) {
        std::unique_lock<std::mutex> lock(m);
        return cv.wait_for(lock, std::chrono::seconds(5), [&] { return blocks.size() >= n; });
    }
};

std::vector<unsigned char> Block(unsigned char seed) {
    std::vector<unsigned char> b(CImageEditorLink::kMessageSize);
    for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<unsigned char>(seed + i);
    return b;
}

TEST_F(LinkTest, WholeBlocksArriveInOrderAlsoWhenWrittenInPieces) {
    CPipeChannel server;
    ASSERT_TRUE(server.Open(true, ".", "channel-test"));
    server.SetMessageSize(CImageEditorLink::kMessageSize);
    Inbox inbox;
    server.SetCallback(inbox.Callback(CImageEditorLink::kMessageSize));
    ASSERT_TRUE(server.StartReader(0, 0));

    struct stat st {};
    ASSERT_EQ(::stat(server.GetPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the socket is its owner's only";

    // Through a client channel: two whole blocks.
    CPipeChannel client;
    ASSERT_TRUE(client.Open(false, ".", "channel-test"));
    client.SetMessageSize(CImageEditorLink::kMessageSize);
    EXPECT_TRUE(client.Write(Block(1).data()));
    EXPECT_TRUE(client.Write(Block(2).data()));
    client.Close();

    // A third written by hand in three pieces with pauses: one callback with the whole block.
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, server.GetPath().c_str(), sizeof addr.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const auto third = Block(3);
    for (auto [from, to] : {std::pair{0, 10}, std::pair{10, 200}, std::pair{200, 268}}) {
        ASSERT_EQ(::write(fd, third.data() + from, size_t(to - from)), to - from);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::close(fd);

    ASSERT_TRUE(inbox.WaitFor(3));
    std::lock_guard<std::mutex> lock(inbox.m);
    ASSERT_EQ(inbox.blocks.size(), 3u);
    EXPECT_EQ(inbox.blocks[0], Block(1));
    EXPECT_EQ(inbox.blocks[1], Block(2));
    EXPECT_EQ(inbox.blocks[2], third);
}

TEST_F(LinkTest, CloseIsPromptWithNoWriterAndWithAnIdleOne) {
    for (bool withWriter : {false, true}) {
        SCOPED_TRACE(withWriter ? "idle writer" : "no writer");
        CPipeChannel server;
        ASSERT_TRUE(server.Open(true, ".", "close-test"));
        server.SetMessageSize(CImageEditorLink::kMessageSize);
        ASSERT_TRUE(server.StartReader(0, 0));
        CPipeChannel client;
        if (withWriter) {
            ASSERT_TRUE(client.Open(false, ".", "close-test"));
            client.SetMessageSize(CImageEditorLink::kMessageSize);
            ASSERT_TRUE(client.StartReader(0, 0));
            std::this_thread::sleep_for(std::chrono::milliseconds(30)); // the reader takes the writer
        }
        const auto start = Clock::now();
        server.Close();
        client.Close();
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
        EXPECT_NE(::access(server.GetPath().c_str(), F_OK), 0) << "the socket file goes with the server";
    }
}

TEST_F(LinkTest, OneServerPerNameAndStaleFilesAreReplaced) {
    CPipeChannel first, second;
    ASSERT_TRUE(first.Open(true, ".", "owned"));
    EXPECT_FALSE(second.Open(true, ".", "owned")) << "a live server keeps its name";
    EXPECT_FALSE(second.Open(false, "other-host", "owned")) << "this machine only";
    first.Close();

    // A socket file whose server died: bound, never listened, closed.
    const std::string stale = dir.str() + "/stale";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, stale.c_str(), sizeof addr.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    CPipeChannel taker;
    EXPECT_TRUE(taker.Open(true, ".", "stale"));

    // A plain file under the name is not ours to remove.
    std::ofstream(dir.str() + "/plain") << "x";
    CPipeChannel refused;
    EXPECT_FALSE(refused.Open(true, ".", "plain"));
    EXPECT_FALSE(CPipeChannel().Open(false, ".", "nobody-listens"));
    EXPECT_FALSE(CPipeChannel().Write(Block(0).data())) << "nothing open";
}

TEST_F(LinkTest, TheLinkIsNamedAfterTheMachine) {
    CImageEditorLink server("WD-123", dir.str());
    EXPECT_EQ(server.GetLinkId(), "DovecrestStudio_Tintwork_WD-123");
    EXPECT_EQ(server.GetPipeName(), "PIPENAMEDovecrestStudio_Tintwork_WD-123");
    ASSERT_TRUE(server.OpenAsServer());
    EXPECT_EQ(server.GetMessageId(), kx::RegisterAtom("DovecrestStudio_Tintwork_WD-123"));
    EXPECT_GE(server.GetMessageId(), kx::kFirstAtom);
    CImageEditorLink client("WD-123", dir.str());
    EXPECT_TRUE(client.OpenAsClient());
    EXPECT_TRUE(client.Channel().Write(Block(9).data()));
    CImageEditorLink lonely("other", dir.str());
    EXPECT_FALSE(lonely.OpenAsClient());

    // The exchange folder under the data folder, emptied by ClearExchangeFolder.
    const std::string folder = server.GetExchangeFolder();
    EXPECT_EQ(folder, dir.str() + "/DataExc/Tintwork/");
    ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
    std::ofstream(folder + "a.png") << "a";
    std::ofstream(folder + "b.png") << "b";
    server.ClearExchangeFolder();
    EXPECT_NE(::access((folder + "a.png").c_str(), F_OK), 0);
    EXPECT_NE(::access((folder + "b.png").c_str(), F_OK), 0);
}

TEST(AtomTable, NamesKeepTheirNumbers) {
    const auto a = kx::RegisterAtom("atom-a"), b = kx::RegisterAtom("atom-b");
    EXPECT_NE(a, b);
    EXPECT_EQ(kx::RegisterAtom("atom-a"), a);
    EXPECT_EQ(kx::AtomName(b), "atom-b");
    EXPECT_EQ(kx::RegisterAtom(""), 0);
    EXPECT_EQ(kx::AtomName(0x10), "");
}

// ---- disk identifier -------------------------------------------------------------------------

std::array<std::uint16_t, 256> Identify(const std::string& text) {
    std::array<std::uint16_t, 256> w{};
    std::string padded = text;
    padded.resize(20, ' ');
    for (int i = 0; i < 10; ++i)
        w[size_t(10 + i)] = std::uint16_t((std::uint8_t(padded[size_t(2 * i)]) << 8) | std::uint8_t(padded[size_t(2 * i + 1)]));
    return w;
}

TEST(DiskIdentifier, IdentifyWordsToText) {
    struct Case {
        std::array<std::uint16_t, 256> words;
        const char* text;
    } cases[] = {
        {Identify("WD-WCC4N1234567"), "WD-WCC4N1234567"},   // high byte first, trailing blanks cut
        {Identify("ABCDEFGHIJKLMNOPQRST"), "ABCDEFGHIJKLMNOPQRST"}, // the whole 20 characters
        {Identify(""), ""},                                 // all blanks
        {Identify("  S3Z9NB0K"), "  S3Z9NB0K"},             // leading blanks stay (as the disk pads)
    };
    for (const Case& c : cases) EXPECT_EQ(CDiskIdentifier::SerialFromIdentify(c.words), c.text);
    std::array<std::uint16_t, 256> swapped{};
    swapped[10] = 0x4142; // "AB"
    swapped[11] = 0x4300; // "C" then NUL
    EXPECT_EQ(CDiskIdentifier::SerialFromIdentify(swapped), "ABC");
    EXPECT_EQ(CDiskIdentifier::Tidy("  0123456789abcdefghijXYZ \n"), "0123456789abcdefghij");
    // On this machine: a text of at most 20 characters, or empty.
    EXPECT_LE(CDiskIdentifier::GetDiskIdentifier().size(), 20u);
}

// ---- BMP -------------------------------------------------------------------------------------

TEST_F(LinkTest, BitmapFilesHaveTheirHeadersAndBottomUpPaddedRows) {
    CBitmapSnapshot snap;
    EXPECT_EQ(snap.Attach(0, 5), nullptr);
    QImage* canvas = snap.Attach(3, 2);
    ASSERT_NE(canvas, nullptr);
    const QRgb px[2][3] = {{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)},
                           {qRgb(10, 20, 30), qRgb(40, 50, 60), qRgb(70, 80, 90)}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) canvas->setPixel(x, y, px[y][x]);
    const std::string bytes = CBitmapSnapshot::Encode(*canvas);
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    auto u32 = [&](size_t at) {
        return std::uint32_t(std::uint8_t(bytes[at])) | std::uint32_t(std::uint8_t(bytes[at + 1])) << 8 |
               std::uint32_t(std::uint8_t(bytes[at + 2])) << 16 | std::uint32_t(std::uint8_t(bytes[at + 3])) << 24;
    };
    EXPECT_EQ(u32(2), 78u);  // file size
    EXPECT_EQ(u32(10), 54u); // pixel offset
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), 3u);
    EXPECT_EQ(u32(22), 2u);
    EXPECT_EQ(std::uint8_t(bytes[28]), 24);
    // The first row in the file is the picture's bottom row, blue first, padded to 12 bytes.
    EXPECT_EQ(std::uint8_t(bytes[54]), 30);
    EXPECT_EQ(std::uint8_t(bytes[56]), 10);
    EXPECT_EQ(bytes.substr(63, 3), std::string(3, '\0'));

    const std::string path = dir.str() + "/snap.bmp";
    ASSERT_TRUE(snap.SaveBitmapFileKeep(path));
    QImage back(QString::fromStdString(path));
    ASSERT_EQ(back.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(back.pixel(x, y) & 0xFFFFFF, px[y][x] & 0xFFFFFF) << x << "," << y;
    EXPECT_TRUE(snap.SaveBitmapFile(dir.str() + "/again.bmp"));
    EXPECT_FALSE(snap.SaveBitmapFile(dir.str() + "/third.bmp")) << "the canvas went with the first save";
    EXPECT_FALSE(snap.SaveBitmapFileKeep(dir.str() + "/missing/x.bmp"));
}

} // namespace
