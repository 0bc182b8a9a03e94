// CkxwIPC: exchange of pictures with the desktop clipboard (static operations, no data), and
// the empty bases CkxwMFC and CkxWnd. The clipboard is reached only from the thread of the
// application object; without one, or from another thread, nothing is copied and 0 is returned.
#pragma once

#include "model/KxExport.h"

class CxImage;
class QImage;

class KX_EXPORT CkxwIPC {
public:
    // Puts the picture on the clipboard. 1 when the clipboard holds it afterwards; 0 for a null
    // picture, no application object, a call from another thread or a copy that did not take.
    static int CopyImageToClipboard(const QImage& image);
    static int CopyImageToClipboard(const CxImage& image);
    // Clears the image, then takes the clipboard's picture if there is one; returns whether the
    // image now holds a picture.
    static int CopyImageFromClipboard(CxImage& image);
};

class KX_EXPORT CkxwMFC {
public:
    virtual ~CkxwMFC() = default;
};

class KX_EXPORT CkxWnd {
public:
    virtual ~CkxWnd() = default;
};
