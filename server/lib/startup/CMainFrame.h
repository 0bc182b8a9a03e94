// The server's main window: it only shows that the server runs, offers the database settings
// and storage-root commands, and asks before the server is closed.
#pragma once

#include "startup/CServerHost.h"

#include <QMainWindow>

class CVarniaServer;
class QLabel;

class CMainFrame : public QMainWindow, public CDialogHost {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Varnia Server";
    static constexpr const char* kAskClose = "确定关闭服务器";

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    void SetServer(CVarniaServer* server) { m_pServer = server; }
    // Shows what the server serves once it runs.
    void ShowRunning();

    // The storage command's "leave": closes without asking again.
    void CloseWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnDatabaseSettings();
    void OnStorageRoots();

    CVarniaServer* m_pServer = nullptr;
    QLabel* m_status = nullptr;
    bool m_bLeaving = false;
};
