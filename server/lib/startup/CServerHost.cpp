#include "startup/CServerHost.h"

#include "startup/CDlgDBConf.h"
#include "log/ServerLog.h"
#include "storeadmin/CDlgStorageRootAdmin.h"
#include "qt/KxPrompt.h"
#include "storeadmin/ZoZI_Storage.h"

#include <QWidget>

bool CDialogHost::EditDbConf(KxDbConf& conf) {
    CDlgDBConf dlg(m_window);
    dlg.SetConf(conf);
    if (dlg.DoModal() != kx::IDOK) return false;
    conf = dlg.GetConf();
    return true;
}

int CDialogHost::AdministerStorage(ZoZI_Storage& storage, int enableAdmin) {
    CDlgStorageRootAdmin dlg(m_window);
    dlg.SetDF(&storage);
    dlg.EnableAdmin(enableAdmin);
    return dlg.DoModal();
}

void CDialogHost::CloseWindow() {
    if (m_window) m_window->close();
}

bool CTerminalHost::EditDbConf(KxDbConf& conf) {
    kx::WriteTimedLine(m_out, "VarniaServer: the database settings would be asked here (no display to ask on).\n"
                              "  [DB_CONF] DB_WARN=" + std::to_string(conf.nWarn) +
                                  " DB_DEFAULT=" + std::to_string(conf.nDefault) + " DB_SETPATH=" + conf.strPath +
                                  "\n  Edit " + (m_strIniPath.empty() ? std::string("VarniaServer.ini") : m_strIniPath) +
                                  " instead: DB_WARN=0 and DB_SETPATH=<catalogue file>.");
    return false;
}

int CTerminalHost::AdministerStorage(ZoZI_Storage& storage, int enableAdmin) {
    const std::string prefix = storage.GetPrefix();
    kx::WriteTimedLine(m_out, "VarniaServer: the storage-root dialog would open here (no display to show it on).\n"
                              "  A storage root is a folder named " + prefix + "0 .. " + prefix +
                                  "25 at the top of a drive, holding a\n"
                                  "  file \"Conf\" with [BASE] ID=<number>; drive C is the data folder unless the ini\n"
                                  "  file's [DRIVES] section maps the letters.");
    return kx::IDCANCEL;
}

namespace kx {

void UseTerminalPrompts(std::FILE* out) {
    SetPromptAnswerer([out](const PromptRequest& r) {
        WriteTimedLine(out, "VarniaServer: " + r.text);
        if (r.buttons == PromptYesNo || r.buttons == PromptYesNoCancel) return int(AnswerYes);
        return int(AnswerOk);
    });
}

} // namespace kx
