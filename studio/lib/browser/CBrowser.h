// The studio's document view: the file browser without batch mode and with saving to the
// server enabled.
#pragma once

#include "browser/CxFileBrowser.h"

class CBrowser : public CxFileBrowser {
public:
    CBrowser(CvClientDoc& doc, CServerLink* link, QWidget* parent = nullptr) : CxFileBrowser(doc, link, parent) {
        m_bBatchMode = false;
        m_bSaveToServer = true;
        setObjectName("CBrowser");
    }
};
