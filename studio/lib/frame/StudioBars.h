// The main frame's three docking bars: navigation (left), file information (right) and work
// (bottom). Their pages come with the navigation and information-bar work; here they are the
// bars with their sizes and the operations the frame forwards to the information bar.
#pragma once

#include "qt/GuiToolkit.h"

class CkxFile;

class CStudioBar : public CGuiControlBar {
public:
    using CGuiControlBar::CGuiControlBar;
    // Sets all four size members and asks the frame to give the bar that size.
    void SetBarSize(int width, int height);
};

class CNavigationBar : public CStudioBar {
public:
    explicit CNavigationBar(QWidget* parent = nullptr);
};

class CFileInfoBar : public CStudioBar {
public:
    explicit CFileInfoBar(QWidget* parent = nullptr);
    // What the frame forwards; the bar's pages handle them once they exist.
    void ShowFile(const CkxFile* file) {}
    void PreviewFile(int fileId) {}
    void StartSlideShow(int mode) {}
    void ShowDocumentFile(int docId, int fileId) {}
};

class CWorkBar : public CStudioBar {
public:
    explicit CWorkBar(QWidget* parent = nullptr);
};
