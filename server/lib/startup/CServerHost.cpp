#include "startup/CServerHost.h"

#include "startup/CDlgDBConf.h"
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
    std::fprintf(m_out,
                 "VarniaServer: the database settings would be asked here (no display to ask on).\n"
                 "  [DB_CONF] DB_WARN=%d DB_DEFAULT=%d DB_SETPATH=%s\n"
                 "  Edit %s instead: DB_WARN=0 and DB_SETPATH=<catalogue file>.\n",
                 conf.nWarn, conf.nDefault, conf.strPath.c_str(),
                 m_strIniPath.empty() ? "VarniaServer.ini" : m_strIniPath.c_str());
    std::fflush(m_out);
    return false;
}

int CTerminalHost::AdministerStorage(ZoZI_Storage& storage, int enableAdmin) {
    std::fprintf(m_out,
                 "VarniaServer: the storage-root dialog would open here (no display to show it on).\n"
                 "  A storage root is a folder named %s0 .. %s25 at the top of a drive, holding a\n"
                 "  file \"Conf\" with [BASE] ID=<number>; drive C is the data folder unless the ini\n"
                 "  file's [DRIVES] section maps the letters.\n",
                 storage.GetPrefix().c_str(), storage.GetPrefix().c_str());
    std::fflush(m_out);
    return kx::IDCANCEL;
}

namespace kx {

void UseTerminalPrompts(std::FILE* out) {
    SetPromptAnswerer([out](const PromptRequest& r) {
        std::fprintf(out, "VarniaServer: %s\n", r.text.c_str());
        std::fflush(out);
        if (r.buttons == PromptYesNo || r.buttons == PromptYesNoCancel) return int(AnswerYes);
        return int(AnswerOk);
    });
}

} // namespace kx
