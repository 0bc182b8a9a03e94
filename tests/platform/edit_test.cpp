// Typing limits counted in GBK bytes, refusal of characters with no GBK form, text set by code,
// and the digits-only edit, driven with real key events and pastes.
#include "qt/KxEdit.h"
#include "qt/KxModalDriver.h"
#include "qt/KxPromptRecorder.h"

#include "base/Gbk.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

class EditTest : public ::testing::Test {
protected:
    void SetUp() override { kx::EnsureApplication(); }
};

// Types `text` as one key press (an emoji is one key, not two halves).
void Type(QWidget* w, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}
void TypeEach(QWidget* w, const QString& text) {
    for (QChar c : text) Type(w, QString(c));
}
void Paste(QWidget* w, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}

size_t Bytes(const QString& s) {
    return kx::GbkLength(s.toStdString());
}

} // namespace

TEST_F(EditTest, TypingAndPastingStopAtTheGbkByteLimit) {
    const QString han = QStringLiteral("图");
    struct Case {
        const char* what;
        std::function<void(kx::Edit*)> act;
        QString expected;
        size_t prompts;
    };
    const Case cases[] = {
        {"45 ASCII bytes pass, the 46th is refused",
         [](kx::Edit* e) { TypeEach(e, QString(46, QLatin1Char('a'))); }, QString(45, QLatin1Char('a')), 0},
        {"22 Chinese characters pass, the 23rd is refused",
         [&](kx::Edit* e) { TypeEach(e, han.repeated(23)); }, han.repeated(22), 0},
        {"one byte left takes a letter but not a Chinese character",
         [&](kx::Edit* e) { TypeEach(e, han.repeated(22) + han + "b"); }, han.repeated(22) + "b", 0},
        {"a paste is cut at a character boundary",
         [&](kx::Edit* e) { TypeEach(e, "ab"); Paste(e, han.repeated(30)); }, "ab" + han.repeated(21), 0},
        {"a paste into the middle keeps the text around it",
         [&](kx::Edit* e) {
             TypeEach(e, QString(40, QLatin1Char('x')));
             e->setCursorPosition(20);
             Paste(e, QStringLiteral("一二三"));
         },
         QString(20, QLatin1Char('x')) + QStringLiteral("一二") + QString(20, QLatin1Char('x')), 0},
        {"an emoji typed is refused with the message",
         [](kx::Edit* e) { TypeEach(e, "ok"); Type(e, QStringLiteral("😀")); }, "ok", 1},
        {"a paste holding an emoji is refused whole with the message",
         [](kx::Edit* e) { TypeEach(e, "ok"); Paste(e, QStringLiteral("好😀")); }, "ok", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        kx::PromptRecorder prompts;
        kx::Edit edit;
        edit.SetLimitText(45);
        edit.show();
        edit.setFocus();
        c.act(&edit);
        QCoreApplication::processEvents();
        EXPECT_EQ(edit.text(), c.expected);
        EXPECT_LE(Bytes(edit.text()), 45u);
        EXPECT_EQ(prompts.Count(), c.prompts);
        if (c.prompts) EXPECT_EQ(prompts.LastText(), kx::kNoGbkForm);
    }
}

TEST_F(EditTest, TextSetByCodeStaysWholeAndMayBeShortenedByHand) {
    kx::PromptRecorder prompts;
    kx::Edit edit;
    edit.SetLimitText(45);
    edit.show();
    const QString loaded = QStringLiteral("很长的名称").repeated(6); // 60 bytes
    edit.setText(loaded);
    EXPECT_EQ(edit.text(), loaded);
    edit.end(false);
    Type(&edit, "z"); // over the limit already: refused
    EXPECT_EQ(edit.text(), loaded);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), loaded.left(loaded.size() - 1));
    EXPECT_EQ(prompts.Count(), 0u);
}

TEST_F(EditTest, ADigitsOnlyEditTakesDigitsAlone) {
    kx::Edit edit;
    edit.SetDigitsOnly(true);
    edit.show();
    TypeEach(&edit, "12a3-");
    EXPECT_EQ(edit.text(), "123");
    Paste(&edit, "45x");
    EXPECT_EQ(edit.text(), "123");
    Paste(&edit, "45");
    EXPECT_EQ(edit.text(), "12345");
}
