#include "core/document/theme_list.h"
#include "core/engine/vector_layer.h"
#include "gui/app/about_dialog.h"
#include "gui/app/main_window.h"
#include "gui/app/window_arrangement.h"
#include "gui/calculators/well_calculator.h"
#include "gui/calculators/wells_panel.h"
#include "gui/common/app_settings.h"
#include "gui/common/program_resources.h"
#include "gui/legend/legend.h"
#include "gui/map/identify_window.h"
#include "gui/map/map.h"
#include "gui/map/query_window.h"

#include <QAction>
#include <QActionGroup>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

using namespace Qt::StringLiterals;

// The main window's menus, toolbar and Window menu list.

// One menu item: caption, object name, what it does and its shortcut. One with `toggled` is a
// ticked check item; an empty caption is a separator.
struct MainWindow::MenuItem
{
    MenuItem() = default;
    MenuItem(QString caption, QString name, std::function<void()> run = {}, QString shortcut = {})
        : caption(std::move(caption))
        , name(std::move(name))
        , run(std::move(run))
        , shortcut(std::move(shortcut))
    {}

    QString caption;
    QString name;
    std::function<void()> run;
    QString shortcut;
    std::function<void(bool)> toggled;
};

struct MainWindow::MenuDefinition
{
    QString caption;
    QString name;
    QList<MenuItem> items;
};

QList<MainWindow::MenuDefinition> MainWindow::fileMenus()
{
    const MenuItem separator;
    return {
        {u"&File"_s,
         u"menuFile"_s,
         {{u"&New"_s, u"actionFileNew"_s, [this] { openNewMapWindow(); }, u"Ctrl+N"_s},
          {u"&Open..."_s, u"actionFileOpen"_s, [this] { open(); }, u"Ctrl+O"_s},
          {u"&Close"_s, u"actionFileClose"_s, [this] { m_mdi->closeActiveSubWindow(); }},
          separator,
          {u"&Save"_s, u"actionFileSave"_s, [this] { save(); }, u"Ctrl+S"_s},
          {u"Save &As..."_s, u"actionFileSaveAs"_s, [this] { saveAs(); }},
          {u"Save A&ll"_s, u"actionFileSaveAll"_s, [this] { saveAll(); }},
          separator,
          {u"Propert&ies"_s, u"actionFileProperties"_s, [this] { showProperties(); }},
          separator,
          {u"Page Set&up..."_s, u"actionFilePageSetup"_s, [this] { pageSetup(); }},
          {u"Print &Title..."_s, u"actionFilePrintTitle"_s, [this] { editPrintTitle(); }},
          {u"Print Pre&view"_s, u"actionFilePrintPreview"_s, [this] { printPreview(); }},
          {u"&Print..."_s, u"actionFilePrint"_s, [this] { printActiveMap(); }, u"Ctrl+P"_s},
          separator,
          {u"Sen&d..."_s, u"actionFileSend"_s, [this] { sendProject(); }},
          {u"Export &Located Wells..."_s, u"actionFileExportWells"_s, [this] { exportWells(); }},
          separator,
          {u"E&xit"_s, u"actionFileExit"_s, [this] { close(); }}}},
        {u"&Edit"_s,
         u"menuEdit"_s,
         {{u"Clear &Marks"_s, u"actionEditClearMarks"_s,
           [this] {
               if (MapWindow *view = activeMapWindow())
                   view->calculator()->clearMarks();
           }}}},
    };
}

QList<MainWindow::MenuDefinition> MainWindow::viewMenus()
{
    const MenuItem separator;
    auto check = [](const QString &caption, const QString &name, std::function<void(bool)> f) {
        MenuItem item(caption, name);
        item.toggled = std::move(f);
        return item;
    };
    return {
        {u"&Themes"_s,
         u"menuThemes"_s,
         {{u"&Add"_s, u"actionAddTheme"_s, [this] { addTheme(); }},
          {u"Add From Data&base..."_s, u"actionAddDatabaseTheme"_s, [this] { addDatabaseTheme(); }},
          {u"&Delete"_s, u"actionEditDeleteThemes"_s,
           [this] {
               if (MapWindow *view = activeMapWindow())
                   view->deleteActiveThemes();
           }},
          {u"&Zoom to Theme"_s, u"actionZoomToTheme"_s, [this] { zoomToTheme(); }},
          {u"Theme &Symbol..."_s, u"actionThemeSymbol"_s,
           [this] {
               if (MapWindow *view = activeMapWindow())
                   view->legend()->showActiveThemeSymbol();
           }},
          {u"&PLSS Fields..."_s, u"actionPlssFields"_s, [this] { editPlssFields(); }}}},
        {u"&Wells"_s,
         u"menuWells"_s,
         {{u"&Import..."_s, u"actionWellsImport"_s,
           [this] {
               if (activeMapWindow())
                   m_wellsPanel->chooseFileToImport();
           }},
          {u"&Paste Descriptions..."_s, u"actionWellsPaste"_s,
           [this] {
               if (activeMapWindow())
                   m_wellsPanel->pasteDescriptions();
           }},
          {u"&Keep In..."_s, u"actionWellsKeepIn"_s, [this] { chooseWellsSource(); }},
          separator,
          check(u"Wells &Panel"_s, u"actionWellsPanel"_s,
                [this](bool on) { m_wellsDock->setVisible(on); })}},
        {u"&View"_s,
         u"menuView"_s,
         {check(u"&Toolbar"_s, u"actionViewToolbar"_s,
                [this](bool on) {
                    if (auto *bar = findChild<QToolBar *>(u"toolBar"_s))
                        bar->setVisible(on);
                }),
          check(u"Status &Bar"_s, u"actionViewStatusBar"_s,
                [this](bool on) { statusBar()->setVisible(on); }),
          separator,
          {u"&Refresh"_s, u"actionViewRefresh"_s,
           [this] {
               if (MapWindow *view = activeMapWindow())
                   view->map()->refresh();
           },
           u"F5"_s},
          {u"&Options..."_s, u"actionViewOptions"_s, [this] { showOptions(); }},
          {u"&Web Browser"_s, u"actionViewWebBrowser"_s, [this] { openWebBrowser(); }}}},
        {u"&Window"_s,
         u"menuWindow"_s,
         {{u"&New Window"_s, u"actionWindowNewWindow"_s, [this] { openNewMapWindow(); }},
          separator,
          {u"&Cascade"_s, u"actionWindowCascade"_s, [this] { cascade(*m_mdi); }},
          {u"Tile &Horizontal"_s, u"actionWindowTileHorizontal"_s,
           [this] { tileHorizontal(*m_mdi); }},
          {u"Tile &Vertical"_s, u"actionWindowTileVertical"_s, [this] { tileVertical(*m_mdi); }},
          {u"&Arrange Icons"_s, u"actionWindowArrangeIcons"_s, [this] { arrangeIcons(*m_mdi); }}}},
        {u"&Help"_s,
         u"menuHelp"_s,
         {{u"&Contents"_s, u"actionHelpContents"_s, [this] { showHelpContents(); }, u"F1"_s},
          {u"&Search For Help On..."_s, u"actionHelpSearchForHelpOn"_s, [this] { searchHelp(); }},
          // The home page is the program's own, so it opens without a network.
          {u"&QRV Tractwise Home Page"_s, u"actionHomePage"_s, [this] { openWebBrowser(); }},
          {u"Sample &Project"_s, u"actionHelpSampleProject"_s, [this] { openSampleProject(); }},
          separator,
          {u"&About "_s, u"actionHelpAbout"_s, [this] { showAbout(); }}}},
    };
}

void MainWindow::buildMenus()
{
    const QList<MenuDefinition> menus = fileMenus() + viewMenus();
    for (const MenuDefinition &definition : menus) {
        QMenu *menu = menuBar()->addMenu(definition.caption);
        menu->setObjectName(definition.name);
        for (const MenuItem &item : definition.items)
            addMenuItem(menu, item);
    }
    // The recent projects, above Exit.
    QMenu *file = menuBar()->findChild<QMenu *>(u"menuFile"_s);
    m_recentMenu = new QMenu(u"Recent &Projects"_s, file);
    m_recentMenu->setObjectName(u"recentFiles"_s);
    file->insertMenu(file->actions().at(file->actions().size() - 2), m_recentMenu);
    connect(m_recentMenu, &QMenu::aboutToShow, this, &MainWindow::updateRecentMenu);
    updateRecentMenu();
    m_windowMenu = menuBar()->findChild<QMenu *>(u"menuWindow"_s);
    m_windowMenuFixed = m_windowMenu->actions();
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::updateWindowMenu);
}

void MainWindow::addMenuItem(QMenu *menu, const MenuItem &item)
{
    if (item.caption.isEmpty()) {
        menu->addSeparator();
        return;
    }
    QAction *a = menu->addAction(item.caption);
    a->setObjectName(item.name);
    if (!item.shortcut.isEmpty())
        a->setShortcut(QKeySequence(item.shortcut));
    if (item.toggled) {
        a->setCheckable(true);
        a->setChecked(true);
        connect(a, &QAction::triggered, this, item.toggled);
    } else {
        connect(a, &QAction::triggered, this, item.run);
    }
}

void MainWindow::showAbout()
{
    AboutDialog about(this);
    about.exec();
}

void MainWindow::updateWindowMenu()
{
    const QList<QAction *> actions = m_windowMenu->actions();
    for (QAction *a : actions) {
        if (!m_windowMenuFixed.contains(a)) {
            m_windowMenu->removeAction(a);
            a->deleteLater();
        }
    }
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    if (!windows.isEmpty())
        m_windowMenu->addSeparator();
    for (QMdiSubWindow *w : windows) {
        QAction *a = m_windowMenu->addAction(w->windowTitle());
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { m_mdi->setActiveSubWindow(w); });
    }
}

void MainWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(u"Toolbar"_s);
    bar->setObjectName(u"toolBar"_s);
    auto button = [this, bar](const QString &key, const QString &tip, QStyle::StandardPixmap icon,
                              auto slot) {
        QAction *a = bar->addAction(style()->standardIcon(icon), tip);
        a->setObjectName(key);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    button(u"New"_s, u"New"_s, QStyle::SP_FileIcon, [this] { openNewMapWindow(); });
    button(u"Open"_s, u"Open"_s, QStyle::SP_DialogOpenButton, [this] { open(); });
    button(u"Save"_s, u"Save"_s, QStyle::SP_DialogSaveButton, [this] { save(); });
    bar->addSeparator();
    button(u"Print"_s, u"Print"_s, QStyle::SP_FileDialogDetailedView, [this] { printActiveMap(); });
    bar->addSeparator();
    button(u"AddTheme"_s, u"Add Theme"_s, QStyle::SP_FileDialogNewFolder, [this] { addTheme(); });
    button(u"FindInTheme"_s, u"Locate in Theme"_s, QStyle::SP_FileDialogContentsView,
           [this] { findInTheme(); });
    button(u"FullExtent"_s, u"Zoom to Full Extent"_s, QStyle::SP_DesktopIcon,
           [this] { zoomToFullExtent(); });
    bar->addSeparator();
    m_tools = new QActionGroup(this);
    m_tools->setExclusive(true);
    struct Tool
    {
        MapToolKind kind;
        QString name, tip;
    };
    const Tool tools[] = {
        {MapToolKind::Identify, u"IdentifyInThemes"_s, u"Identify In Active Themes"_s},
        {MapToolKind::Pan, u"Pan"_s, u"Pan"_s},
        {MapToolKind::Measure, u"Measure"_s, u"Measure"_s},
        {MapToolKind::ZoomIn, u"ZoomIn"_s, u"Zoom In"_s},
        {MapToolKind::ZoomOut, u"ZoomOut"_s, u"Zoom Out"_s},
        {MapToolKind::SelectPoint, u"SelectPoint"_s, u"Select Point"_s},
        {MapToolKind::HotLink, u"HotLink"_s, u"HotLink"_s}};
    for (const Tool &t : tools) {
        QAction *tool = bar->addAction(t.tip);
        tool->setObjectName(t.name);
        tool->setToolTip(t.tip);
        tool->setCheckable(true);
        tool->setData(QVariant::fromValue(t.kind));
        m_tools->addAction(tool);
    }
    m_tools->actions().first()->setChecked(true); // identify is pressed at start
    // Every map window works with the tool chosen; what the last one said or drew goes.
    connect(m_tools, &QActionGroup::triggered, this, [this](QAction *chosen) {
        setStatusText(1, u"Ready"_s);
        const auto kind = chosen->data().value<MapToolKind>();
        for (MapWindow *view : findChildren<MapWindow *>())
            view->setTool(kind);
        if (MapWindow *view = activeMapWindow())
            view->toolChanged();
    });
    // The menu's tick follows the toolbar however it is shown or hidden.
    if (QAction *toggle = findChild<QAction *>(u"actionViewToolbar"_s))
        connect(bar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void MainWindow::updateRecentMenu()
{
    m_recentMenu->clear();
    const QStringList projects = recentProjects();
    int n = 0;
    for (const QString &path : projects) {
        QAction *a = m_recentMenu->addAction(u"&"_s + QString::number(++n) + u" "_s + path);
        a->setObjectName(u"recentFiles"_s + QString::number(n));
        connect(a, &QAction::triggered, this, [this, path] { openProject(path); });
    }
    m_recentMenu->setEnabled(!projects.isEmpty());
}

void MainWindow::updateActions()
{
    // What needs a map window is offered only while one is open.
    MapWindow *view = activeMapWindow();
    static const QStringList needMap = {u"actionFileClose"_s,
                                        u"actionFileSave"_s,
                                        u"actionFileSaveAs"_s,
                                        u"actionFileSaveAll"_s,
                                        u"actionFileProperties"_s,
                                        u"actionFilePrintPreview"_s,
                                        u"actionFilePrintTitle"_s,
                                        u"actionFilePrint"_s,
                                        u"actionFileSend"_s,
                                        u"actionFileExportWells"_s,
                                        u"actionEditClearMarks"_s,
                                        u"actionWellsImport"_s,
                                        u"actionWellsPaste"_s,
                                        u"actionWellsKeepIn"_s,
                                        u"actionPlssFields"_s,
                                        u"actionThemeSymbol"_s,
                                        u"actionAddTheme"_s,
                                        u"actionAddDatabaseTheme"_s,
                                        u"actionEditDeleteThemes"_s,
                                        u"actionZoomToTheme"_s,
                                        u"actionViewRefresh"_s,
                                        u"Save"_s,
                                        u"Print"_s,
                                        u"AddTheme"_s,
                                        u"FindInTheme"_s,
                                        u"FullExtent"_s};
    for (const QString &name : needMap) {
        const QList<QAction *> actions = findChildren<QAction *>(name);
        for (QAction *a : actions)
            a->setEnabled(view != nullptr);
    }
    m_tools->setEnabled(view != nullptr);
    // The shared windows follow the active map window.
    if (m_query && m_query->isVisible()) {
        const LayerList active = view ? view->themeList()->activeVectorLayers() : LayerList();
        if (active.isEmpty()) {
            m_query->clear();
        } else {
            m_query->setLayer(std::static_pointer_cast<VectorLayer>(active.first()));
            m_query->setMap(view->map());
        }
    }
    setStatusText(3, view ? view->themeList()->mapSystemName() : QString());
    if (m_identify && view != m_identifiedView)
        m_identify->clear();
    m_identifiedView = view;
    showWellsOf(view);
}
