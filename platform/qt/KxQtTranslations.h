// Qt's own texts (the standard buttons of message boxes, the file dialogs, the edit menu of every
// text field) in the language of the programs' windows, from the translations Qt ships.
#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace kx {

// Installs Qt's translations on `app` for the system's language; Chinese (zh_CN) when the system
// names no language or Qt has no translation for it. Returns the name of the locale whose
// translations were installed, empty when none could be read (Qt's English texts stay).
QString InstallQtTranslations(QCoreApplication& app, const QLocale& system = QLocale::system());

} // namespace kx
