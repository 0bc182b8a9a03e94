// VarniaStudio: the workstation client. The session lives longer than the application object
// and its windows, and its threads have ended before either goes.
#include "app/CVarniaStudioApp.h"
#include "session/CStudioLink.h"
#include "qt/KxQtTranslations.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(CVarniaStudioApp::kAppName));
    kx::InstallQtTranslations(app);
    int rc = 0;
    {
        CStudioLink link;
        InstallStudioLink(&link);
        {
            CVarniaStudioApp studio(link);
            if (studio.InitInstance()) rc = QApplication::exec();
            studio.ExitInstance();
        }
        InstallStudioLink(nullptr);
    }
    return rc;
}
