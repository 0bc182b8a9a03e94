// The frame and bar services the studio's main frame and docking bars are written against, on
// Qt's main window: an MDI frame whose menu bar, tool bar and status bar come from tables, a
// tabbed MDI area, docking bars (QDockWidget, objectName = control id) whose state is saved under
// a profile name in the program's settings, tab windows, a container of a tool strip over one
// window, tool strips and tool buttons. Display styles change nothing visible here.
#pragma once

#include <QColor>
#include <QDockWidget>
#include <QMainWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <functional>

#include <string>
#include <vector>

class QLabel;
class QMdiArea;
class QMenu;
class QVBoxLayout;

// One entry of a menu or tool bar table: a pop-up (id 0, with its entries), a command, or a
// separator (id 0, no text, no entries).
struct GuiMenuEntry {
    int id = 0;
    std::string text;
    std::vector<GuiMenuEntry> entries;
    std::string shortcut;
    std::string tip;
    std::string icon; // a tool-button icon's name (":/icons/<name>.png"), may be empty
};

// Reads a table of resources/ ("<name>.txt" under ":/studio/"): one entry a line, a line with n
// leading tabs belonging to the last pop-up with n - 1; "-" is a separator,
// "<id>\t<text>[\t<keys>[\t<tip>[\t<icon>]]]" a command, any other text a pop-up. Empty when the table is
// missing.
std::vector<GuiMenuEntry> LoadGuiTable(const QString& resourcePath);

class CMenuBar {
public:
    // The key under which the menu would keep its history, and whether it does.
    void SetSaveHistory(const std::string& key, bool save) {
        m_strHistoryKey = key;
        m_bSaveHistory = save;
    }
    const std::string& HistoryKey() const { return m_strHistoryKey; }

private:
    std::string m_strHistoryKey;
    bool m_bSaveHistory = false;
};

class CGuiStatusBar : public QStatusBar {
public:
    using QStatusBar::QStatusBar;
    void SetStyle(int style) { m_nStyle = style; }

private:
    int m_nStyle = 0;
};

// A docking bar: created with its title and id, docked on the sides it allows.
class CGuiControlBar : public QDockWidget {
public:
    explicit CGuiControlBar(QWidget* parent = nullptr);
    // Sets the title, the id (objectName) and the parent; true when made.
    bool Create(const QString& title, int style, QWidget* parent, int id);
    // The docked size across (horizontal docking: the height; vertical: the width).
    void AjustHorz(bool on, int size);
    void AjustVert(bool on, int size);
    void StyleDispl(int style) { m_nStyle = style; }
    void SetIcon(const QIcon& icon) { setWindowIcon(icon); }
    // The four sizes: docked horizontally and vertically, floating, smallest floating.
    QSize m_sizeHorz{200, 200};
    QSize m_sizeVert{200, 200};
    QSize m_sizeFloat{200, 200};
    QSize m_sizeMinFloating{50, 50};
    QSize sizeHint() const override;

private:
    int m_nStyle = 0;
};

// A tab window: pages with titles and icons.
class CGuiTabWnd : public QTabWidget {
public:
    using QTabWidget::QTabWidget;
    void Addtab(QWidget* page, const QString& title, int image);
    void SetCurtab(int index) { setCurrentIndex(index); }
    int GetCurtab() const { return currentIndex(); }
    void ShowTitle(const QString& text) { setWindowTitle(text); }
    void SetImageList(const std::vector<QIcon>& icons) { m_icons = icons; }
    void DeleteTab(int index) { removeTab(index); }

private:
    std::vector<QIcon> m_icons;
};

// A tool button with a tip and an icon.
class CGuiToolButton : public QToolButton {
public:
    using QToolButton::QToolButton;
    void SetToolTip(const QString& text) { setToolTip(text); }
    void SethIcon(const QIcon& icon) { setIcon(icon); }
};

// A tool strip of icon buttons that send their command id to a receiver.
class CGuiMiniTool : public QToolBar {
public:
    explicit CGuiMiniTool(QWidget* parent = nullptr);
    void SetImageList(const std::vector<QIcon>& icons) { m_icons = icons; }
    // The button for the command; the strip's receiver gets the id when it is clicked.
    CGuiToolButton* AddButton(int image, int id, QMenu* menu, const QString& caption, const QString& tip);
    void AlingButtons(int alignment) { m_nAlign = alignment; }
    void AutoSize(bool on) { m_bAutoSize = on; }
    void SetColor(const QColor& color) { m_color = color; }
    void SetBorder(int border) { m_nBorder = border; }
    void SetCaption(const QString& text, int alignment);
    QLabel* Caption() const { return m_caption; }
    // Where clicks go.
    void SetReceiver(std::function<void(int)> receiver) { m_receiver = std::move(receiver); }

private:
    std::vector<QIcon> m_icons;
    std::function<void(int)> m_receiver;
    QLabel* m_caption = nullptr;
    int m_nAlign = 0;
    bool m_bAutoSize = false;
    QColor m_color;
    int m_nBorder = 0;
};

// A page that stacks a tool strip over one window, in the order they were added.
class CGuiContainer : public QWidget {
public:
    explicit CGuiContainer(QWidget* parent = nullptr);
    void AddComponen(QWidget* component);
    void StyleDispl(int style) { m_nStyle = style; }

private:
    QVBoxLayout* m_layout;
    int m_nStyle = 0;
};

// The floating tool bar window of full-screen mode.
class CGuiToolBarWnd : public QToolBar {
public:
    using QToolBar::QToolBar;
};

namespace GuiDrawLayer {
// The face colour of bars and strips.
QColor GetRGBColorXP();
}

// The MDI frame: menu bar, tool bar and status bar from tables, a tabbed MDI area, and docking
// bars whose placement is restored from and saved to the settings under m_strBarsProfile.
class CGuiMDIFrame : public QMainWindow {
public:
    explicit CGuiMDIFrame(QWidget* parent = nullptr);

    bool InitMenu(const std::vector<GuiMenuEntry>& table);
    // Commands reached only by their keys (an accelerator table): actions of the frame itself.
    void InitAccelerators(const std::vector<GuiMenuEntry>& table);
    bool InitToolBar(const std::vector<GuiMenuEntry>& table);
    // One pane per indicator id; the first stretches.
    bool InitStatusBar(const std::vector<unsigned>& indicators);
    void EnableDocking(int sides) { m_nDocking = sides; }
    // Restores the bars' saved placement (nothing saved: the layout stands).
    bool LoadBars();
    // Saves it (the frame does when it closes).
    void SaveBars();
    void InitMDITabbed();
    void StyleDispl(int style) { m_nStyle = style; }

    // A command of the menu or a tool bar (by its id).
    virtual void OnCommand(int id) {}
    // The menu or tool bar action of a command, or null.
    QAction* FindCommand(int id) const;

    QLabel* Pane(int index) const;
    void SetPaneText(int index, const QString& text);
    void SetPaneWidth(int index, int width);
    CMenuBar& MenuBarHistory() { return m_wndMenuBar; }
    QToolBar* ToolBar() const { return m_wndToolBar; }
    CGuiStatusBar* StatusBar() const { return m_wndStatusBar; }
    QMdiArea* MdiArea() const { return m_mdiArea; }

    // The settings key and value of the bars' saved state.
    std::string m_strBarsProfile;
    static constexpr const char* kBarsValue = "State";

protected:
    // The command's action: the one the frame already has for that id, or a new one.
    QAction* MakeAction(const GuiMenuEntry& entry, QWidget* owner);
    void FillMenu(QMenu* menu, const std::vector<GuiMenuEntry>& entries);

    CMenuBar m_wndMenuBar;
    QToolBar* m_wndToolBar = nullptr;
    CGuiStatusBar* m_wndStatusBar = nullptr;
    QMdiArea* m_mdiArea = nullptr;
    std::vector<QLabel*> m_panes;
    int m_nDocking = 0;
    int m_nStyle = 0;
};
