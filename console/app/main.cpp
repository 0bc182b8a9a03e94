// Keeper: the administration console. The session lives longer than the application object
// and its windows, and its threads have ended before either goes.
#include "app/CKeeperApp.h"
#include "link/ConsoleLink.h"
#include "qt/KxQtTranslations.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(CKeeperApp::kAppName));
    kx::InstallQtTranslations(app);
    int rc = 0;
    {
        ConsoleLink link;
        InstallConsoleLink(&link);
        {
            CKeeperApp keeper(link);
            if (keeper.InitInstance()) rc = QApplication::exec();
            keeper.ExitInstance();
        }
        InstallConsoleLink(nullptr);
    }
    return rc;
}
