// Byte blocks through the offscreen platform's real clipboard: round trips under plain text and
// registered formats, the open state, and requests that must fail without touching the buffer.
#include "controls/CClipboardData.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

using studio::CClipboardData;

namespace {

TEST(CClipboardData, WithoutAnApplicationEveryCallFails) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    CClipboardData data;
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(CClipboardData::Open());
    EXPECT_FALSE(CClipboardData::SetData("ab", 2));
    EXPECT_FALSE(CClipboardData::GetData(buf, 2));
    EXPECT_EQ(std::string(buf, 4), "xxxx");
}

TEST(CClipboardData, BlocksUnderTheCurrentFormat) {
    int argc = 1;
    char name[] = "clipboarddata_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    CClipboardData data;
    EXPECT_EQ(CClipboardData::CurrentFormat(), CClipboardData::kFormatText);

    // Two names, two numbers; a name again, its first number.
    const auto marks = CClipboardData::RegisterFormat("marks");
    const auto layout = CClipboardData::RegisterFormat("layout");
    EXPECT_GE(marks, CClipboardData::kFirstRegisteredFormat);
    EXPECT_NE(marks, layout);
    EXPECT_EQ(CClipboardData::RegisterFormat("marks"), marks);
    EXPECT_EQ(CClipboardData::CurrentFormat(), marks);
    EXPECT_EQ(CClipboardData::MimeType(marks), "application/x-varnia-marks");
    EXPECT_EQ(CClipboardData::RegisterFormat(""), 0);

    const std::string text = "文件 A";
    const std::string block("\x01\x00\x02\xff\x00", 5);
    using Step = std::function<bool()>;
    struct Case {
        const char* name;
        std::uint16_t format;    // made current before the steps (0: kept)
        Step step;
        bool result;
        std::string bufferAfter; // the 8-byte buffer, which starts as "........"
    };
    auto put = [](const std::string& bytes) {
        return [bytes] { return CClipboardData::Open() && CClipboardData::Empty() && CClipboardData::SetData(bytes.data(), bytes.size()); };
    };
    auto get = [](std::size_t n, char* buf) { return CClipboardData::GetData(buf, n); };
    char buf[8];
    const Case cases[] = {
        {"text round trip", CClipboardData::kFormatText, [&] { return put(text)() && get(text.size(), buf); }, true,
         text + std::string(8 - text.size(), '.')},
        {"the desktop sees the text", CClipboardData::kFormatText,
         [&] { return QApplication::clipboard()->text().toStdString() == text; }, true, "........"},
        {"registered round trip", marks, [&] { return put(block)() && get(block.size(), buf); }, true,
         block + "..."},
        {"a shorter read", marks, [&] { return get(2, buf); }, true, block.substr(0, 2) + "......"},
        {"a format not held", layout, [&] { return get(2, buf); }, false, "........"},
        {"longer than the block", marks, [&] { return get(block.size() + 1, buf); }, false, "........"},
        {"both formats stay until emptied", CClipboardData::kFormatText,
         [&] {
             const std::string t = "ab";
             return CClipboardData::Open() && CClipboardData::SetData(t.data(), t.size());
         },
         true, "........"},
        {"the other format is still there", marks, [&] { return get(block.size(), buf); }, true, block + "..."},
        {"set without open", marks, [&] { return CClipboardData::SetData("z", 1); }, false, "........"},
        {"open while open", marks,
         [&] {
             const bool first = CClipboardData::Open();
             const bool second = CClipboardData::Open();
             return first && !second && CClipboardData::Close() && !CClipboardData::Close();
         },
         true, "........"},
        {"from another thread", marks,
         [&] {
             bool opened = true, got = true;
             std::thread([&] {
                 opened = CClipboardData::Open();
                 got = CClipboardData::GetData(buf, 1);
             }).join();
             return opened || got;
         },
         false, "........"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(buf, '.', sizeof buf);
        if (c.format == CClipboardData::kFormatText) CClipboardData data2;
        else if (c.format == marks) CClipboardData::RegisterFormat("marks");
        else CClipboardData::RegisterFormat("layout");
        EXPECT_EQ(c.step(), c.result);
        EXPECT_EQ(std::string(buf, sizeof buf), c.bufferAfter);
    }
}

} // namespace
