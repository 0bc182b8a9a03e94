#include "qt/GuiToolkit.h"

#include "base/KxRegistry.h"
#include "qt/KxElidedLabel.h"
#include "qt/KxImageList.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTextStream>
#include <QVBoxLayout>

// ---- Tables ----

std::vector<GuiMenuEntry> LoadGuiTable(const QString& resourcePath) {
    std::vector<GuiMenuEntry> table;
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return table;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString raw = in.readLine();
        if (raw.trimmed().isEmpty() || raw.trimmed().startsWith('#')) continue;
        int depth = 0;
        while (depth < raw.size() && raw[depth] == '\t') ++depth;
        QStringList fields = raw.trimmed().split('\t');
        GuiMenuEntry entry;
        if (fields.front() != "-") {
            bool number = false;
            const int id = fields.front().toInt(&number);
            if (number && fields.size() >= 2) {
                entry.id = id;
                entry.text = fields[1].toStdString();
                if (fields.size() >= 3) entry.shortcut = fields[2].toStdString();
                if (fields.size() >= 4) entry.tip = fields[3].toStdString();
                if (fields.size() >= 5) entry.icon = fields[4].toStdString();
            } else {
                entry.text = fields.front().toStdString();
            }
        }
        // Each leading tab is one level below the last pop-up of the level above.
        std::vector<GuiMenuEntry>* level = &table;
        for (int d = 0; d < depth && !level->empty(); ++d) level = &level->back().entries;
        level->push_back(entry);
    }
    return table;
}

// ---- Bars ----

CGuiControlBar::CGuiControlBar(QWidget* parent) : QDockWidget(parent) {}

bool CGuiControlBar::Create(const QString& title, int style, QWidget* parent, int id) {
    setWindowTitle(title);
    setObjectName(QString::number(id));
    if (parent) setParent(parent);
    StyleDispl(style);
    return true;
}

void CGuiControlBar::AjustHorz(bool on, int size) {
    if (on) m_sizeHorz.setHeight(size);
}

void CGuiControlBar::AjustVert(bool on, int size) {
    if (on) m_sizeVert.setWidth(size);
}

QSize CGuiControlBar::sizeHint() const {
    if (isFloating()) return m_sizeFloat;
    return m_sizeVert;
}

void CGuiTabWnd::Addtab(QWidget* page, const QString& title, int image) {
    const QIcon icon = image >= 0 && image < static_cast<int>(m_icons.size()) ? m_icons[static_cast<size_t>(image)] : QIcon();
    addTab(page, icon, title);
}

CGuiMiniTool::CGuiMiniTool(QWidget* parent) : QToolBar(parent) {
    setMovable(false);
    setIconSize(QSize(16, 16));
}

CGuiToolButton* CGuiMiniTool::AddButton(int image, int id, QMenu* menu, const QString& caption, const QString& tip) {
    auto* button = new CGuiToolButton(this);
    button->setObjectName(QString::number(id));
    if (image >= 0 && image < static_cast<int>(m_icons.size())) button->SethIcon(m_icons[static_cast<size_t>(image)]);
    if (!caption.isEmpty()) button->setText(caption);
    button->SetToolTip(tip);
    if (menu) button->setMenu(menu);
    QObject::connect(button, &QToolButton::clicked, this, [this, id] {
        if (m_receiver) m_receiver(id);
    });
    addWidget(button);
    return button;
}

void CGuiMiniTool::SetCaption(const QString& text, int alignment) {
    if (!m_caption) {
        m_caption = new QLabel(this);
        addWidget(m_caption);
    }
    m_caption->setText(text);
    m_nAlign = alignment;
}

CGuiContainer::CGuiContainer(QWidget* parent) : QWidget(parent), m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

void CGuiContainer::AddComponen(QWidget* component) {
    if (!component) return;
    component->setParent(this);
    m_layout->addWidget(component, qobject_cast<QToolBar*>(component) ? 0 : 1);
}

QColor GuiDrawLayer::GetRGBColorXP() { return QColor(0xEF, 0xEB, 0xDE); }

// ---- The frame ----

CGuiMDIFrame::CGuiMDIFrame(QWidget* parent) : QMainWindow(parent) {
    m_wndStatusBar = new CGuiStatusBar(this);
    setStatusBar(m_wndStatusBar);
    m_mdiArea = new QMdiArea(this);
    setCentralWidget(m_mdiArea);
}

QAction* CGuiMDIFrame::MakeAction(const GuiMenuEntry& entry, QWidget* owner) {
    // One action a command: a menu item and a tool button of the same id share it.
    if (QAction* existing = FindCommand(entry.id)) return existing;
    auto* action = new QAction(QString::fromStdString(entry.text), owner);
    action->setObjectName(QString::number(entry.id));
    if (!entry.shortcut.empty()) action->setShortcut(QKeySequence(QString::fromStdString(entry.shortcut)));
    if (!entry.tip.empty()) action->setToolTip(QString::fromStdString(entry.tip));
    if (!entry.icon.empty()) action->setIcon(kx::ToolIcon(entry.icon.c_str()));
    const int id = entry.id;
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    return action;
}

void CGuiMDIFrame::FillMenu(QMenu* menu, const std::vector<GuiMenuEntry>& entries) {
    for (const GuiMenuEntry& e : entries) {
        if (e.id != 0) menu->addAction(MakeAction(e, menu));
        else if (e.text.empty()) menu->addSeparator();
        else FillMenu(menu->addMenu(QString::fromStdString(e.text)), e.entries);
    }
}

bool CGuiMDIFrame::InitMenu(const std::vector<GuiMenuEntry>& table) {
    for (const GuiMenuEntry& popup : table) FillMenu(menuBar()->addMenu(QString::fromStdString(popup.text)), popup.entries);
    return true;
}

void CGuiMDIFrame::InitAccelerators(const std::vector<GuiMenuEntry>& table) {
    for (const GuiMenuEntry& e : table)
        if (e.id != 0) addAction(MakeAction(e, this));
}

bool CGuiMDIFrame::InitToolBar(const std::vector<GuiMenuEntry>& table) {
    m_wndToolBar = addToolBar(QStringLiteral("工具栏"));
    m_wndToolBar->setObjectName("59392"); // the tool bar's own id, as its view command names it
    // The captions stay under the icons: several commands (the layouts) differ only in words.
    m_wndToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_wndToolBar->setIconSize(QSize(16, 16));
    for (const GuiMenuEntry& e : table) {
        if (e.id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        // The menu's action for the same command: the button shows the bar's short caption and
        // the bar's icon (the menu item keeps its own text and gains the icon).
        QAction* action = MakeAction(e, m_wndToolBar);
        if (!e.icon.empty()) action->setIcon(kx::ToolIcon(e.icon.c_str()));
        action->setIconText(QString::fromStdString(e.text));
        m_wndToolBar->addAction(action);
    }
    return true;
}

QAction* CGuiMDIFrame::FindCommand(int id) const { return findChild<QAction*>(QString::number(id)); }

bool CGuiMDIFrame::InitStatusBar(const std::vector<unsigned>& indicators) {
    for (size_t i = 0; i < indicators.size(); ++i) {
        // The first pane stretches: it draws what fits of a long text instead of widening the
        // window.
        QLabel* pane = i == 0 ? new kx::ElidedLabel(this) : new QLabel(this);
        pane->setObjectName(QStringLiteral("pane%1").arg(indicators[i]));
        if (i == 0) m_wndStatusBar->addWidget(pane, 1);
        else m_wndStatusBar->addPermanentWidget(pane);
        m_panes.push_back(pane);
    }
    return true;
}

QLabel* CGuiMDIFrame::Pane(int index) const {
    return index >= 0 && index < static_cast<int>(m_panes.size()) ? m_panes[static_cast<size_t>(index)] : nullptr;
}

void CGuiMDIFrame::SetPaneText(int index, const QString& text) {
    if (QLabel* pane = Pane(index)) {
        pane->setText(text);
        pane->setToolTip(text);
    }
}

void CGuiMDIFrame::SetPaneWidth(int index, int width) {
    if (QLabel* pane = Pane(index)) pane->setFixedWidth(width);
}

bool CGuiMDIFrame::LoadBars() {
    std::string bytes;
    if (m_strBarsProfile.empty() || !kx::RegistryStore().ReadBinary(m_strBarsProfile, kBarsValue, bytes)) return false;
    return restoreState(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

void CGuiMDIFrame::SaveBars() {
    if (m_strBarsProfile.empty()) return;
    const QByteArray state = saveState();
    kx::RegistryStore().WriteBinary(m_strBarsProfile, kBarsValue, state.constData(), static_cast<size_t>(state.size()));
}

void CGuiMDIFrame::InitMDITabbed() {
    m_mdiArea->setViewMode(QMdiArea::TabbedView);
    m_mdiArea->setTabsClosable(true);
}
