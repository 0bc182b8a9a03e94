// Qt's own texts follow the programs' Chinese windows: the translations installed at start-up
// are picked for the system's language, Chinese when the system names none or Qt has none for
// it, and a real message box then offers "确定" and "取消", a text field's menu "撤消".
#include "support/gui/Screenshot.h"

#include "qt/KxModalDriver.h"
#include "qt/KxPrompt.h"
#include "qt/KxQtTranslations.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(QtTranslations, TheSystemsLanguageElseChinese) {
    kx::EnsureApplication();
    const struct {
        QLocale system;
        const char* installed;
    } cases[] = {
        {QLocale::c(), "zh_CN"},                                    // no language of its own
        {QLocale(QLocale::Chinese, QLocale::China), "zh_CN"},       // the windows' own
        {QLocale(QLocale::Chinese, QLocale::Taiwan), "zh_TW"},      // Qt translates it
        {QLocale(QLocale::Zulu, QLocale::SouthAfrica), "zh_CN"},    // Qt has nothing for it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system.name().toStdString());
        EXPECT_EQ(kx::InstallQtTranslations(*QCoreApplication::instance(), c.system).toStdString(), c.installed);
    }
}

TEST(QtTranslations, AMessageBoxAndATextFieldSpeakChinese) {
    kx::EnsureApplication();
    // A system without a language: what a fresh machine or a service account has.
    ASSERT_EQ(kx::InstallQtTranslations(*QCoreApplication::instance(), QLocale::c()), QStringLiteral("zh_CN"));

    QStringList captions;
    kx::ModalDriver driver;
    driver.Then<QMessageBox>([&](QMessageBox* box) {
        for (QAbstractButton* b : box->buttons()) captions << b->text();
        guitest::Screenshot(box, "qttranslation_messagebox");
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(kx::Prompt(nullptr, "删除这个文件吗?", kx::PromptOkCancel, kx::PromptQuestion), kx::AnswerCancel);
    ASSERT_TRUE(driver.Done());
    captions.sort();
    QStringList expected{QStringLiteral("确定"), QStringLiteral("取消")};
    expected.sort();
    EXPECT_EQ(captions, expected);

    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) items << a->text();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_TRUE(items.front().startsWith(QStringLiteral("撤消"))) << items.join(' ').toStdString();
    EXPECT_FALSE(items.join(' ').contains(QStringLiteral("Undo")));
}

} // namespace
