// Command ids of Keeper's main menu and tool bar (menu 128); each menu action carries its id as
// objectName.
#pragma once

enum KeeperCommand {
    ID_APP_CLOSE = 32777,      // "关闭管理器(&X)"
    ID_APP_LOCK = 32778,       // "锁定管理器(&L)"
    ID_APP_ABOUT = 57664,      // "关于 Keeper..."
    ID_HELP_FINDER = 57670,    // "用户手册"
    ID_VIEW_TOOLBAR = 59392,   // "工具栏(&T)"
    ID_VIEW_STATUS_BAR = 59393 // "状态栏(&S)"
};
