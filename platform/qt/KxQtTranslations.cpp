#include "qt/KxQtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kx {

namespace {

// Loads Qt's catalogue for one locale; null when Qt ships none for it.
QTranslator* LoadQtCatalogue(QCoreApplication& app, const QLocale& locale) {
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return translator;
    }
    delete translator;
    return nullptr;
}

} // namespace

QString InstallQtTranslations(QCoreApplication& app, const QLocale& system) {
    // The windows speak Chinese: a system without a language of its own ("C", "POSIX") gets
    // Qt's texts in Chinese too, as does one whose language Qt does not translate.
    QLocale locale = system.language() == QLocale::C ? QLocale(QLocale::Chinese, QLocale::China) : system;
    QTranslator* translator = LoadQtCatalogue(app, locale);
    if (!translator && locale.language() != QLocale::Chinese) {
        locale = QLocale(QLocale::Chinese, QLocale::China);
        translator = LoadQtCatalogue(app, locale);
    }
    if (!translator) return QString();
    QCoreApplication::installTranslator(translator);
    return locale.name();
}

} // namespace kx
