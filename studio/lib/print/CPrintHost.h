// CPrintHost: what printing needs of the application that owns it: the window the program treats
// as its main window (a print preview stands in for it while open) and the title print documents
// are named with. Usable as it is (it keeps the main window it is given and takes the title from
// the application's display name); the studio's application object derives from it or sets it.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class CPrintHost {
public:
    CPrintHost() = default;
    virtual ~CPrintHost() = default;
    CPrintHost(const CPrintHost&) = delete;
    CPrintHost& operator=(const CPrintHost&) = delete;

    // The application's current main window (null when it has none or it was destroyed).
    virtual QWidget* GetMainWnd() const { return m_pMainWnd.data(); }
    virtual void SetMainWnd(QWidget* wnd) { m_pMainWnd = wnd; }
    // The application's title: the name of every print document.
    virtual QString GetAppTitle() const;

private:
    QPointer<QWidget> m_pMainWnd;
};
