#include "ui/CkxwIPC.h"
#include "image/CxImage.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// A 3 x 2 picture with distinct pixels.
CxImage Picture(bool alpha) {
    std::vector<uint8_t> px;
    for (int i = 0; i < 6; ++i) {
        px.insert(px.end(), {uint8_t(40 * i), uint8_t(200 - 30 * i), uint8_t(7 * i)});
        if (alpha) px.push_back(uint8_t(255 - 20 * i));
    }
    CxImage img;
    EXPECT_TRUE(img.CreateFromArray(px.data(), 3, 2, alpha ? 32 : 24, alpha ? 12 : 9));
    return img;
}

} // namespace

TEST(CkxwIPC, WithoutAnApplicationNothingIsCopied) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    EXPECT_EQ(CkxwIPC::CopyImageToClipboard(Picture(false)), 0);
    CxImage img = Picture(false);
    EXPECT_EQ(CkxwIPC::CopyImageFromClipboard(img), 0);
    EXPECT_FALSE(img.IsValid());
}

TEST(CkxwIPC, PicturesRoundTripThroughTheClipboard) {
    int argc = 1;
    char name[] = "clipboard_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    EXPECT_EQ(CkxwIPC::CopyImageToClipboard(QImage()), 0);
    EXPECT_EQ(CkxwIPC::CopyImageToClipboard(CxImage()), 0);

    for (bool alpha : {false, true}) {
        SCOPED_TRACE(alpha);
        CxImage src = Picture(alpha);
        ASSERT_EQ(CkxwIPC::CopyImageToClipboard(src), 1);
        CxImage back;
        ASSERT_EQ(CkxwIPC::CopyImageFromClipboard(back), 1);
        ASSERT_EQ(back.GetWidth(), 3u);
        ASSERT_EQ(back.GetHeight(), 2u);
        std::vector<uint8_t> a, b;
        ASSERT_TRUE(src.CopyToArray(a, alpha));
        ASSERT_TRUE(back.CopyToArray(b, alpha));
        EXPECT_EQ(a, b);
    }

    // Another thread may not touch the clipboard.
    int fromThread = -1;
    std::thread([&] { fromThread = CkxwIPC::CopyImageToClipboard(Picture(false)); }).join();
    EXPECT_EQ(fromThread, 0);

    // An empty clipboard gives an empty image.
    QApplication::clipboard()->clear();
    CxImage img = Picture(false);
    EXPECT_EQ(CkxwIPC::CopyImageFromClipboard(img), 0);
    EXPECT_FALSE(img.IsValid());
}
