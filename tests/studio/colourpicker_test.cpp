// The colour picker button, its popup and the hover button as real widgets on the offscreen
// platform: the popup's keys, geometry and tooltips, how a pick ends (exactly once, whatever
// happens meanwhile), what the button shows, and the hover button's states and looks.
#include "controls/CCJColorPicker.h"
#include "controls/CCJColorPickerPopup.h"
#include "controls/CFlatHoverButton.h"

#include "qt/KxModalDriver.h"
#include "qt/KxWindowMessage.h"
#include "support/gui/Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QToolTip>

#include <memory>
#include <string>
#include <vector>

using studio::CCJColorPicker;
using studio::CCJColorPickerPopup;
using studio::CFlatHoverButton;

namespace {

struct Message {
    unsigned message;
    kx::WPARAM colour;
    kx::LPARAM id;
};

// A parent window that keeps every notification it receives, in order.
class Recorder : public QWidget, public kx::MessageReceiver {
public:
    Recorder() { resize(300, 120); }
    kx::LRESULT OnWindowMessage(unsigned message, kx::WPARAM w, kx::LPARAM l) override {
        messages.push_back({message, w, l});
        return 1;
    }
    std::vector<unsigned> Kinds() const {
        std::vector<unsigned> out;
        for (const Message& m : messages) out.push_back(m.message);
        return out;
    }
    std::vector<Message> messages;
};

// A pointer move delivered to the widget itself: the offscreen platform routes synthetic moves by
// the global cursor, which several stacked popups would confuse.
void MoveTo(QWidget* w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

constexpr kx::COLORREF kOdd = 0x123456; // in no cell of the grid
constexpr int kPickerId = 4711;

class ColourPickerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kx::EnsureApplication(); }
    void TearDown() override {
        // Let every popup that ended go (they delete themselves later).
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The point of the popup that lands on `index` through the pointer rule.
    static QPoint PointOn(const CCJColorPickerPopup& popup, int index) {
        if (index == CCJColorPickerPopup::kDefaultBox) return popup.DefaultBoxRect().center();
        if (index == CCJColorPickerPopup::kCustomBox) return popup.CustomBoxRect().center();
        return popup.CellRect(index).center();
    }

    // Opens the picker's popup by a click and checks it is there.
    static CCJColorPickerPopup* Open(CCJColorPicker& picker) {
        QTest::mouseClick(&picker, Qt::LeftButton);
        EXPECT_NE(picker.Popup(), nullptr);
        return picker.Popup();
    }

    // The course of a pick as the parent saw it: 2026, any 2025s, 2027, then exactly one end.
    static void ExpectOneEnd(const Recorder& parent, unsigned end, kx::COLORREF colour) {
        const auto kinds = parent.Kinds();
        ASSERT_GE(kinds.size(), 3u);
        EXPECT_EQ(kinds.front(), studio::kCpnDropDown);
        for (size_t i = 1; i + 2 < kinds.size(); ++i) EXPECT_EQ(kinds[i], studio::kCpnSelChange) << i;
        EXPECT_EQ(kinds[kinds.size() - 2], studio::kCpnCloseUp);
        EXPECT_EQ(kinds.back(), end);
        EXPECT_EQ(parent.messages.back().colour, colour);
        for (const Message& m : parent.messages) EXPECT_EQ(m.id, kPickerId);
    }
};

// ---- popup keys ------------------------------------------------------------------------------

struct KeyCase {
    const char* texts; // "" none, "D" default, "C" custom, "DC" both
    int start;         // kNone or an item reached with the pointer
    int key;
    int hot;
};

constexpr int N = CCJColorPickerPopup::kNone, C = CCJColorPickerPopup::kCustomBox,
              D = CCJColorPickerPopup::kDefaultBox;

const KeyCase kKeyCases[] = {
    // Neither box: the grid wraps onto itself.
    {"", N, Qt::Key_Down, 0},
    {"", N, Qt::Key_Right, 0},
    {"", N, Qt::Key_Up, 39},
    {"", N, Qt::Key_Left, 39},
    {"", 5, Qt::Key_Down, 15},
    {"", 35, Qt::Key_Down, 0},
    {"", 0, Qt::Key_Up, 39},
    {"", 0, Qt::Key_Left, 39},
    {"", 39, Qt::Key_Right, 0},
    {"", 9, Qt::Key_Right, 10},
    {"", 10, Qt::Key_Left, 9},
    {"", 39, Qt::Key_Up, 29},
    // The default box only.
    {"D", N, Qt::Key_Down, D},
    {"D", N, Qt::Key_Up, D},
    {"D", D, Qt::Key_Down, 0},
    {"D", D, Qt::Key_Right, 0},
    {"D", D, Qt::Key_Up, 39},
    {"D", D, Qt::Key_Left, 39},
    {"D", 35, Qt::Key_Down, D},
    {"D", 3, Qt::Key_Up, D},
    {"D", 0, Qt::Key_Left, D},
    {"D", 39, Qt::Key_Right, D},
    // The custom box only.
    {"C", N, Qt::Key_Down, C},
    {"C", N, Qt::Key_Left, C},
    {"C", C, Qt::Key_Down, 0},
    {"C", C, Qt::Key_Up, 39},
    {"C", 30, Qt::Key_Down, C},
    {"C", 39, Qt::Key_Right, C},
    {"C", 2, Qt::Key_Up, C},
    // Both boxes.
    {"DC", N, Qt::Key_Up, D},
    {"DC", N, Qt::Key_Right, C},
    {"DC", C, Qt::Key_Down, D},
    {"DC", C, Qt::Key_Right, D},
    {"DC", C, Qt::Key_Left, 39},
    {"DC", D, Qt::Key_Left, C},
    {"DC", 34, Qt::Key_Down, C},
    {"DC", 0, Qt::Key_Up, D},
};

TEST_F(ColourPickerTest, ArrowKeysMoveTheHotItemAndTellTheOwnerItsColour) {
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(testing::Message() << "texts '" << c.texts << "' start " << c.start << " key " << c.key);
        const std::string texts = c.texts;
        Recorder owner;
        QPointer<CCJColorPickerPopup> popup = new CCJColorPickerPopup(
            QPoint(100, 100), kOdd, &owner, texts.find('D') != std::string::npos ? "Automatic" : "",
            texts.find('C') != std::string::npos ? "More colours..." : "");
        if (c.start != N) MoveTo(popup, PointOn(*popup, c.start));
        ASSERT_EQ(popup->HotIndex(), c.start);
        owner.messages.clear();

        QTest::keyClick(popup, Qt::Key(c.key));
        EXPECT_EQ(popup->HotIndex(), c.hot);
        ASSERT_EQ(owner.messages.size(), 1u);
        EXPECT_EQ(owner.messages[0].message, studio::kCpnSelChange);
        const kx::COLORREF expected = c.hot == C ? kOdd : c.hot == D ? studio::kColorDefault
                                                                      : CCJColorPickerPopup::CellColour(c.hot);
        EXPECT_EQ(owner.messages[0].colour, expected);
        QTest::keyClick(popup, Qt::Key_Escape);
        EXPECT_EQ(owner.messages.back().message, studio::kCpnSelEndCancel);
        EXPECT_EQ(owner.messages.back().colour, kOdd);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(popup.isNull());
    }
}

TEST_F(ColourPickerTest, PointerInTheMarginHitsNoCellAndTheChosenItemFollowsTheColour) {
    Recorder owner;
    QPointer<CCJColorPickerPopup> popup = new CCJColorPickerPopup(QPoint(50, 50), 0x98FB98, &owner, "", "");
    EXPECT_EQ(popup->ChosenIndex(), 35);
    // Left of and above the first cell: nothing, not cell 0.
    MoveTo(popup, QPoint(0, 0));
    EXPECT_EQ(popup->HotIndex(), N);
    EXPECT_TRUE(owner.messages.empty());
    MoveTo(popup, PointOn(*popup, 12));
    EXPECT_EQ(popup->HotIndex(), 12);
    ASSERT_EQ(owner.messages.size(), 1u);
    EXPECT_EQ(owner.messages[0].colour, 0x8E8E38u);
    popup->close();

    // The default colour chooses the default box only when there is one; an odd colour the custom
    // box only when there is one.
    struct Case {
        kx::COLORREF colour;
        const char* def;
        const char* custom;
        int chosen;
    } cases[] = {{studio::kColorDefault, "Auto", "", D}, {studio::kColorDefault, "", "", N},
                 {kOdd, "", "Custom", C},               {kOdd, "Auto", "", N},
                 {0xFFFFFF, "Auto", "Custom", 39}};
    for (const Case& c : cases) {
        auto* p = new CCJColorPickerPopup(QPoint(50, 50), c.colour, &owner, c.def, c.custom);
        EXPECT_EQ(p->ChosenIndex(), c.chosen) << std::hex << c.colour;
        p->close();
    }
}

TEST_F(ColourPickerTest, TooltipsNameTheCellsAsTheyAreWritten) {
    Recorder owner;
    QPointer<CCJColorPickerPopup> popup = new CCJColorPickerPopup(QPoint(50, 50), 0, &owner, "", "");
    struct {
        int cell;
        const char* name;
        kx::COLORREF value;
    } cases[] = {{0, "Black", 0x000000}, {35, "Pale green ", 0x98FB98}, {23, "Grey - 50", 0x7F7F7F},
                 {9, "Orange", 0x2068FF}, {39, "White", 0xFFFFFF}};
    for (const auto& c : cases) {
        const QPoint at = popup->CellRect(c.cell).center();
        QHelpEvent help(QEvent::ToolTip, at, popup->mapToGlobal(at));
        QApplication::sendEvent(popup, &help);
        EXPECT_EQ(QToolTip::text().toStdString(), c.name);
        EXPECT_EQ(CCJColorPickerPopup::CellColour(c.cell), c.value);
    }
    QToolTip::hideText();
    popup->close();
}

// ---- popup geometry --------------------------------------------------------------------------

TEST_F(ColourPickerTest, PopupSizeAndPlaceOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget owner;
    owner.resize(80, 24);
    const int m = owner.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);

    auto* plain = new CCJColorPickerPopup(QPoint(20, 30), 0, &owner, "", "");
    EXPECT_EQ(plain->size(), QSize(10 * 18 + 2 * m, 4 * 18 + 2 * m));
    EXPECT_EQ(plain->pos(), QPoint(20, 30));
    EXPECT_EQ(plain->Margin(), m);
    const QSize size = plain->size();
    plain->close();

    // Near the right edge it moves left so its right edge is the screen's.
    auto* right = new CCJColorPickerPopup(QPoint(screen.right() - 10, 30), 0, &owner, "", "");
    EXPECT_EQ(right->geometry().right(), screen.right());
    right->close();

    // Near the bottom it opens above the picker.
    const int y = screen.bottom() - 20;
    auto* below = new CCJColorPickerPopup(QPoint(20, y), 0, &owner, "", "");
    EXPECT_EQ(below->pos().y(), y - owner.height() - size.height());
    below->close();

    // A picker too tall for the popup to open above it: the popup stays at the screen's top.
    owner.resize(80, screen.height() - 40);
    auto* top = new CCJColorPickerPopup(QPoint(20, y), 0, &owner, "", "");
    EXPECT_EQ(top->pos().y(), screen.top());
    top->close();

    // The boxes make it taller (and as wide as a long text).
    owner.resize(80, 24);
    auto* boxes = new CCJColorPickerPopup(QPoint(20, 30), 0, &owner, "Automatic",
                                          "A custom colour chosen with the colour dialog, long enough to widen it");
    EXPECT_GT(boxes->height(), size.height());
    EXPECT_GT(boxes->width(), size.width());
    EXPECT_EQ(boxes->DefaultBoxRect().top(), m);
    EXPECT_GT(boxes->CustomBoxRect().top(), boxes->CellRect(39).bottom());
    boxes->close();
}

// ---- ends of a pick --------------------------------------------------------------------------

TEST_F(ColourPickerTest, ReleaseOutsideCancelsWithTheStartingColourAndEnterWithNothingHotKeepsIt) {
    Recorder parent;
    CCJColorPicker picker(&parent, kPickerId);
    picker.SetColor(kOdd);
    parent.show();

    QPointer<CCJColorPickerPopup> popup = Open(picker);
    EXPECT_TRUE(picker.IsPopupActive());
    MoveTo(popup, PointOn(*popup, 16)); // over red
    QTest::mouseRelease(popup, Qt::LeftButton, {}, QPoint(-5, popup->height() + 5));
    ExpectOneEnd(parent, studio::kCpnSelEndCancel, kOdd);
    EXPECT_FALSE(picker.IsPopupActive());
    EXPECT_EQ(picker.GetColor(), kOdd);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(popup.isNull()) << "the popup deletes itself";

    parent.messages.clear();
    popup = Open(picker);
    QTest::keyClick(popup, Qt::Key_Return);
    ExpectOneEnd(parent, studio::kCpnSelEndOk, kOdd);

    // Release over a cell: OK with its colour.
    parent.messages.clear();
    popup = Open(picker);
    MoveTo(popup, PointOn(*popup, 13));
    QTest::mouseRelease(popup, Qt::LeftButton, {}, PointOn(*popup, 13));
    ExpectOneEnd(parent, studio::kCpnSelEndOk, 0xFF0000);
    EXPECT_EQ(picker.GetColor(), 0xFF0000u);
}

TEST_F(ColourPickerTest, CustomBoxRunsTheColourDialogWhoseAnswerDecidesTheEnd) {
    struct Case {
        const char* name;
        bool accept;
        bool deactivate; // the application loses activation while the dialog is open
        unsigned end;
        kx::COLORREF colour;
    } cases[] = {
        {"accepted", true, false, studio::kCpnSelEndOk, 0x30A0F0},
        {"cancelled", false, false, studio::kCpnSelEndCancel, kOdd},
        {"accepted after deactivation", true, true, studio::kCpnSelEndOk, 0x30A0F0},
        {"cancelled after deactivation", false, true, studio::kCpnSelEndCancel, kOdd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder parent;
        CCJColorPicker picker(&parent, kPickerId);
        picker.SetCustomText("More colours...");
        picker.SetColor(kOdd);
        parent.show();
        QPointer<CCJColorPickerPopup> popup = Open(picker);
        MoveTo(popup, PointOn(*popup, C));
        ASSERT_EQ(popup->HotIndex(), C);

        kx::ModalDriver driver;
        bool seen = false;
        driver.Then<QColorDialog>([&](QColorDialog* dlg) {
            seen = true;
            EXPECT_EQ(kx::ToColorRef(dlg->currentColor()), kOdd) << "starts at the initial colour";
            if (c.deactivate) Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
            dlg->setCurrentColor(kx::FromColorRef(0x30A0F0));
            if (c.accept) dlg->accept();
            else dlg->reject();
        });
        QTest::mouseRelease(popup, Qt::LeftButton, {}, PointOn(*popup, C));
        EXPECT_TRUE(seen);
        EXPECT_TRUE(driver.Done());
        ExpectOneEnd(parent, c.end, c.colour);
        EXPECT_EQ(picker.GetColor(), c.colour);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(popup.isNull());
    }
}

TEST_F(ColourPickerTest, DeactivationCancelsAndAPickerGoneWithItsPopupSendsNothing) {
    Recorder parent;
    {
        CCJColorPicker picker(&parent, kPickerId);
        picker.SetColor(0xFF0000);
        parent.show();
        QPointer<CCJColorPickerPopup> popup = Open(picker);
        QTest::keyClick(popup, Qt::Key_Right); // to cell 0: black
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
        ExpectOneEnd(parent, studio::kCpnSelEndCancel, 0xFF0000);
        // A second deactivation or a late close adds nothing.
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
        if (popup) popup->close();
        ExpectOneEnd(parent, studio::kCpnSelEndCancel, 0xFF0000);
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);

        parent.messages.clear();
        popup = Open(picker);
        ASSERT_TRUE(popup);
        parent.messages.clear();
    } // the picker goes while its popup is open
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(parent.messages.empty());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// ---- the picker ------------------------------------------------------------------------------

TEST_F(ColourPickerTest, TextModeEditsTheCaptionWhileTheSwatchKeepsTheBackground) {
    Recorder parent;
    CCJColorPicker picker(&parent, kPickerId);
    picker.setText("Aa");
    picker.Create(QRect(10, 10, 160, 10));
    picker.SetBkColour(0x0000FF); // red swatch
    picker.SetTextColour(0x000000);
    picker.SetSelectionMode(1);
    parent.show();

    QPointer<CCJColorPickerPopup> popup = Open(picker);
    MoveTo(popup, PointOn(*popup, 27)); // bright green
    EXPECT_EQ(picker.GetTextColour(), 0x000000u) << "without tracking a live change leaves the button";
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(picker.GetTextColour(), 0x00FF00u);
    EXPECT_EQ(picker.GetBkColour(), 0x0000FFu);
    const QImage shot = picker.grab().toImage();
    EXPECT_EQ(shot.pixelColor(8, picker.height() / 2 - 3).rgb(), QColor(255, 0, 0).rgb()) << "the swatch stays red";
    guitest::Screenshot(&picker, "CCJColorPicker-text-mode");

    // With tracking on, the live selection shows at once.
    picker.SetSelectionMode(2);
    picker.SetTrackSelection(true);
    popup = Open(picker);
    MoveTo(popup, PointOn(*popup, 26)); // yellow
    EXPECT_EQ(picker.GetBkColour(), 0x00FFFFu);
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_EQ(picker.GetBkColour(), 0x0000FFu) << "the cancel brings the starting colour back";
}

TEST_F(ColourPickerTest, CreationWidensANarrowButtonAndSetsItsHeight) {
    QWidget parent;
    const int ex = parent.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int thumb = parent.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int side = std::max(5 * ex, thumb);
    const int height = std::max(side + 2 * ex, QPushButton(&parent).sizeHint().height()); // a caption line fits

    CCJColorPicker narrow(&parent, 1);
    narrow.Create(QRect(5, 6, 4, 100));
    EXPECT_EQ(narrow.geometry(), QRect(5, 6, 2 * ex + 2 * side, height));
    EXPECT_EQ(narrow.ArrowRect(), QRect(narrow.width() - side - ex, ex, side, height - 2 * ex));

    CCJColorPicker wide(&parent, 2);
    wide.Create(QRect(5, 40, 140, 3));
    EXPECT_EQ(wide.size(), QSize(140, height));
}

TEST_F(ColourPickerTest, DefaultColourShowsTheButtonFaceAndPicturesOfPickerAndPopup) {
    Recorder parent;
    parent.resize(420, 260);
    CCJColorPicker picker(&parent, kPickerId);
    picker.setText("Colour");
    picker.Create(QRect(10, 10, 120, 20));
    picker.SetDefaultText("Automatic");
    picker.SetCustomText("More colours...");
    picker.SetColor(studio::kColorDefault);
    parent.show();
    QPushButton plain("Colour", &parent); // the caption shows whole: as tall as a button with it
    EXPECT_GE(picker.height(), plain.sizeHint().height());
    const QImage face = picker.grab().toImage();
    EXPECT_EQ(face.pixelColor(8, picker.height() / 2 - 3).rgb(), picker.palette().color(QPalette::Button).rgb());
    guitest::Screenshot(&picker, "CCJColorPicker-default");

    picker.SetColor(0x00D7FF);
    guitest::Screenshot(&picker, "CCJColorPicker-gold");

    QPointer<CCJColorPickerPopup> popup = Open(picker);
    EXPECT_EQ(popup->ChosenIndex(), 25);
    EXPECT_EQ(popup->pos(), picker.mapToGlobal(QPoint(0, picker.height())));
    MoveTo(popup, PointOn(*popup, 13));
    guitest::Screenshot(popup, "CCJColorPickerPopup-open");
    QTest::keyClick(popup, Qt::Key_Escape);
}

// ---- the hover button ------------------------------------------------------------------------

enum class Step { MoveIn, Press, Release, Gone };

struct HoverCase {
    const char* name;
    bool locked;
    std::vector<Step> steps;
    int state;
};

TEST_F(ColourPickerTest, HoverButtonStates) {
    const HoverCase cases[] = {
        {"at rest", false, {}, CFlatHoverButton::kNormal},
        {"move in", false, {Step::MoveIn}, CFlatHoverButton::kHovered},
        {"press", false, {Step::MoveIn, Step::Press}, CFlatHoverButton::kPressed},
        {"release", false, {Step::MoveIn, Step::Press, Step::Release}, CFlatHoverButton::kReleased},
        {"pointer gone", false, {Step::MoveIn, Step::Gone}, CFlatHoverButton::kNormal},
        {"gone after release", false, {Step::MoveIn, Step::Press, Step::Release, Step::Gone}, CFlatHoverButton::kNormal},
        {"locked ignores the mouse", true, {Step::MoveIn, Step::Press, Step::Release, Step::Gone},
         CFlatHoverButton::kPressed},
    };
    for (const HoverCase& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget parent;
        parent.resize(200, 60);
        CFlatHoverButton button(&parent);
        button.setGeometry(10, 10, 120, 30);
        button.setText("Hover");
        parent.show();
        if (c.locked) button.SetLock(true);
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
        for (Step s : c.steps) {
            switch (s) {
            case Step::MoveIn: MoveTo(&button, QPoint(20, 15)); break;
            case Step::Press: QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(20, 15)); break;
            case Step::Release: QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(20, 15)); break;
            case Step::Gone: button.CheckPointer(false); break;
            }
        }
        EXPECT_EQ(button.State(), c.state);
        if (c.locked) EXPECT_EQ(clicks, 0) << "a locked button does not click";
        if (c.state == CFlatHoverButton::kNormal) EXPECT_FALSE(button.HoverTimerActive());
    }
}

TEST_F(ColourPickerTest, HoverButtonLooks) {
    QWidget parent;
    parent.resize(420, 60);
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, QColor(200, 220, 240));
    parent.setPalette(pal);
    CFlatHoverButton button(&parent);
    button.setGeometry(10, 10, 120, 30);
    button.setText("Hover me");
    button.SetHoverColour(0x0000FF);
    parent.show();
    const QColor light = button.palette().color(QPalette::Light), dark = button.palette().color(QPalette::Dark);

    // Flat and transparent: at rest the corner is the parent's background.
    QImage rest = button.grab().toImage();
    EXPECT_TRUE(button.BackgroundCaptured());
    EXPECT_EQ(rest.pixelColor(0, 0).rgb(), QColor(200, 220, 240).rgb());
    guitest::Screenshot(&button, "CFlatHoverButton-normal");

    MoveTo(&button, QPoint(20, 15));
    QImage hovered = button.grab().toImage();
    EXPECT_EQ(hovered.pixelColor(0, 0).rgb(), light.rgb()) << "raised border while hovered";
    EXPECT_EQ(hovered.pixelColor(119, 29).rgb(), dark.rgb());
    EXPECT_EQ(button.CurrentCaptionColour(), 0x0000FFu);
    guitest::Screenshot(&button, "CFlatHoverButton-hovered");

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(20, 15));
    QImage pressed = button.grab().toImage();
    EXPECT_EQ(pressed.pixelColor(0, 0).rgb(), dark.rgb()) << "sunken border while pressed";
    guitest::Screenshot(&button, "CFlatHoverButton-pressed");
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(20, 15));
    guitest::Screenshot(&button, "CFlatHoverButton-released");

    // Locked: pressed-looking whatever the mouse does.
    button.SetLock(true);
    MoveTo(&button, QPoint(30, 12));
    button.CheckPointer(false);
    EXPECT_EQ(button.grab().toImage().pixelColor(0, 0).rgb(), dark.rgb());
    guitest::Screenshot(&button, "CFlatHoverButton-locked");
    button.SetLock(false);
    EXPECT_EQ(button.State(), CFlatHoverButton::kNormal);
    EXPECT_FALSE(button.IsHovering());

    // Not flat, not transparent: a 3D border at rest on the button face.
    CFlatHoverButton raised(&parent);
    raised.setGeometry(150, 10, 120, 30);
    raised.SetFlat(false);
    raised.SetTransparent(false);
    raised.setText("3D");
    raised.show();
    QImage r = raised.grab().toImage();
    EXPECT_EQ(r.pixelColor(0, 0).rgb(), light.rgb());
    EXPECT_EQ(r.pixelColor(119, 29).rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(r.pixelColor(60, 3).rgb(), raised.palette().color(QPalette::Button).rgb());
    guitest::Screenshot(&raised, "CFlatHoverButton-3d");

    // Disabled: no hover reaction, normal state.
    raised.setEnabled(false);
    raised.grab();
    MoveTo(&raised, QPoint(20, 15));
    EXPECT_EQ(raised.State(), CFlatHoverButton::kNormal);
    guitest::Screenshot(&raised, "CFlatHoverButton-disabled");
}

} // namespace
