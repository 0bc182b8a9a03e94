// The two status-bar panes of Keeper's main window that the login dialog sets: who is logged
// on and the server's address. The main window implements it; the dialog knows only this.
#pragma once

#include <string>

class KeeperStatus {
public:
    virtual ~KeeperStatus() = default;
    // "登录者: <name>", or "登录者: " when nobody is.
    virtual void SetLoginPane(const std::string& text) = 0;
    // "服务器: a.b.c.d", or "服务器: ".
    virtual void SetServerPane(const std::string& text) = 0;
};
