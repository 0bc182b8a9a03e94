// The address control: the packed form (first number in the highest byte), blank fields, and
// typing as a person does it (three digits or a dot move on, a number above 255 becomes 255).
#include "qt/KxEdit.h"
#include "qt/KxIpAddressCtrl.h"
#include "qt/KxModalDriver.h"

#include <QTest>

#include <memory>

#include <gtest/gtest.h>

namespace {

class IpAddressTest : public ::testing::Test {
protected:
    static kx::IpAddressCtrl* Make() {
        kx::EnsureApplication();
        return new kx::IpAddressCtrl;
    }
    void SetUp() override { ctrl.show(); }
    // Each key goes where the focus is at that moment.
    void Type(const char* keys) {
        for (const char* k = keys; *k; ++k) {
            QWidget* target = ctrl.focusWidget();
            ASSERT_TRUE(target);
            QTest::keyClick(target, *k);
        }
    }
    std::unique_ptr<kx::IpAddressCtrl> owner{Make()};
    kx::IpAddressCtrl& ctrl = *owner;
};

TEST_F(IpAddressTest, PackedFormPutsTheFirstNumberHighest) {
    ctrl.SetAddress(0xC0A80114u);
    EXPECT_EQ(ctrl.GetNumbers(), (std::array<int, 4>{192, 168, 1, 20}));
    uint32_t packed = 0;
    EXPECT_EQ(ctrl.GetAddress(packed), 4);
    EXPECT_EQ(packed, 0xC0A80114u);
    ctrl.ClearAddress();
    EXPECT_TRUE(ctrl.IsBlank());
    EXPECT_EQ(ctrl.GetAddress(packed), 0);
    EXPECT_EQ(packed, 0u);
}

TEST_F(IpAddressTest, Typing) {
    const struct {
        const char* keys;
        std::array<int, 4> numbers;
        int filled;
    } rows[] = {
        {"192.168.1.20", {192, 168, 1, 20}, 4},
        {"10.0.0.1", {10, 0, 0, 1}, 4},
        // Three digits move on without a dot.
        {"127000000001", {127, 0, 0, 1}, 4},
        {"300", {255, 0, 0, 0}, 1},
        // A dot in an empty field does nothing; letters are refused.
        {".1x.2", {1, 2, 0, 0}, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys);
        ctrl.ClearAddress();
        ctrl.SetFieldFocus(0);
        Type(row.keys);
        EXPECT_EQ(ctrl.GetNumbers(), row.numbers);
        uint32_t packed = 0;
        EXPECT_EQ(ctrl.GetAddress(packed), row.filled);
    }
}

} // namespace
