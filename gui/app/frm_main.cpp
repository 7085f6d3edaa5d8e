#include "gui/app/frm_main.h"

#include "core/common/twips.h"
#include "core/document/theme_list.h"
#include "core/engine/vector_layer.h"
#include "gui/app/frm_browser.h"
#include "gui/app/help_window.h"
#include "gui/app/map_print.h"
#include "gui/app/web_browser.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/program_resources.h"
#include "gui/common/qt_message_service.h"
#include "gui/legend/legend_control.h"
#include "gui/map/identify_window.h"
#include "gui/map/map_widget.h"
#include "gui/map/query_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEngine>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

MainGeometry readMainGeometry()
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    MainGeometry g;
    auto read = [&s](const QString &key, double fallback) {
        bool ok = false;
        const float v = s.value(key).toString().toFloat(&ok);
        return ok && std::isfinite(v) ? double(v) : fallback;
    };
    g.left = read(u"MainLeft"_s, g.left);
    g.top = read(u"MainTop"_s, g.top);
    g.width = read(u"MainWidth"_s, g.width);
    g.height = read(u"MainHeight"_s, g.height);
    return g;
}

void writeMainGeometry(const MainGeometry &g)
{
    QSettings s(u"QRV Tractwise"_s, u"QRV Tractwise"_s);
    s.beginGroup(u"Settings"_s);
    // The decimal text of a single-precision number, as the values have always been kept.
    auto text = [](double v) { return QString::number(float(v), 'g', 7); };
    s.setValue(u"MainLeft"_s, text(g.left));
    s.setValue(u"MainTop"_s, text(g.top));
    s.setValue(u"MainWidth"_s, text(g.width));
    s.setValue(u"MainHeight"_s, text(g.height));
}

frmMain::frmMain(std::unique_ptr<MessageService> messages, QWidget *parent)
    : QMainWindow(parent)
    , m_messages(std::move(messages))
{
    loadProgramResources();
    if (!m_messages)
        m_messages = std::make_unique<QtMessageService>(this);
    openFileDialog = [this](const QString &title, const QString &filter, const QString &) {
        return QFileDialog::getOpenFileName(this, title, {}, filter);
    };
    saveFileDialog = [this](const QString &title, const QString &filter, const QString &name) {
        return QFileDialog::getSaveFileName(this, title, name, filter);
    };
    printDialog = [this](QPrinter &printer) {
        const std::unique_ptr<QPrintDialog> dialog(makePrintDialog(printer, this));
        return dialog->exec() == QDialog::Accepted;
    };
    askToSave = [this](const QString &name) {
        return QMessageBox::question(this, appTitle(), u"Save changes to "_s + name + u"?"_s,
                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                     QMessageBox::Save);
    };
    pageSetupDialog = [this](QPrinter &printer) {
        QPageSetupDialog dialog(&printer, this);
        dialog.setWindowTitle(u"Page Setup"_s);
        return dialog.exec() == QDialog::Accepted;
    };
    helpFile = helpCollectionFile();
    setObjectName(u"frmMain"_s);
    setWindowTitle(u"QRV Tractwise"_s);
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(u"MdiArea"_s);
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolBar();
    m_panel1 = new QLabel(u"Status"_s);
    m_panel2 = new QLabel;
    statusBar()->setObjectName(u"sbStatusBar"_s);
    statusBar()->addWidget(m_panel1, 1);
    statusBar()->addPermanentWidget(m_panel2);
    restoreGeometryFromSettings();
    OpenNewMapWindow();
}

frmMain::~frmMain()
{
    // The map windows use this window's services to the end: they go first.
    delete m_mdi;
}

void frmMain::restoreGeometryFromSettings()
{
    const MainGeometry g = readMainGeometry();
    const double tpp = twipsPerPixel(logicalDpiX());
    auto px = [tpp](double twips) { return int(std::lround(twips / tpp)); };
    move(px(g.left), px(g.top));
    resize(std::max(px(g.width), 200), std::max(px(g.height), 150));
}

void frmMain::storeGeometryInSettings()
{
    if (isMinimized())
        return; // a minimised window leaves the stored values as they were
    const double tpp = twipsPerPixel(logicalDpiX());
    writeMainGeometry({x() * tpp, y() * tpp, width() * tpp, height() * tpp});
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // Each changed map window asks first; a cancel keeps the program open.
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    for (QMdiSubWindow *sub : windows) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    m_identify.reset();
    m_query.reset();
    m_help.reset();
    storeGeometryInSettings();
    QMainWindow::closeEvent(event);
}

void frmMain::placeholder(const QString &handler)
{
    m_messages->show(u"Add '"_s + handler + u"' code."_s, MessageIcon::None);
}

// One menu item: caption, object name, what it does and its shortcut. An item that does
// nothing yet shows the developer's note; one with `toggled` is a ticked check item; an empty
// caption is a separator.
struct frmMain::MenuItem
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

struct frmMain::MenuDefinition
{
    QString caption;
    QString name;
    QList<MenuItem> items;
};

void frmMain::buildMenus()
{
    const MenuItem separator;
    auto check = [](const QString &caption, const QString &name, std::function<void(bool)> f) {
        MenuItem item(caption, name);
        item.toggled = std::move(f);
        return item;
    };
    const QList<MenuDefinition> menus = {
        {u"&File"_s,
         u"mnuFile"_s,
         {{u"&New"_s, u"mnuFileNew"_s, [this] { OpenNewMapWindow(); }, u"Ctrl+N"_s},
          {u"&Open..."_s, u"mnuFileOpen"_s, [this] { mnuFileOpen_Click(); }, u"Ctrl+O"_s},
          {u"&Close"_s, u"mnuFileClose"_s},
          separator,
          {u"&Save"_s, u"mnuFileSave"_s, [this] { mnuFileSave_Click(); }},
          {u"Save &As..."_s, u"mnuFileSaveAs"_s, [this] { mnuFileSaveAs_Click(); }},
          {u"Save A&ll"_s, u"mnuFileSaveAll"_s},
          separator,
          {u"Propert&ies"_s, u"mnuFileProperties"_s},
          separator,
          {u"Page Set&up..."_s, u"mnuFilePageSetup"_s, [this] { mnuFilePageSetup_Click(); }},
          {u"Print Pre&view"_s, u"mnuFilePrintPreview"_s},
          {u"&Print..."_s, u"mnuFilePrint"_s, [this] { mnuFilePrint_Click(); }, u"Ctrl+P"_s},
          separator,
          {u"Sen&d..."_s, u"mnuFileSend"_s},
          separator,
          {u"E&xit"_s, u"mnuFileExit"_s, [this] { close(); }}}},
        {u"&Themes"_s,
         u"mnuThemes"_s,
         {{u"&Add"_s, u"mnuAddTheme"_s, [this] { mnuAddTheme_Click(); }},
          {u"&Delete"_s, u"mnuEditDeleteThemes"_s,
           [this] {
               if (frmMapView *view = activeMapView())
                   view->DeleteActiveThemes();
           }}}},
        {u"&View"_s,
         u"mnuView"_s,
         {check(u"&Toolbar"_s, u"mnuViewToolbar"_s,
                [this](bool on) {
                    if (auto *bar = findChild<QToolBar *>(u"tbToolBar"_s))
                        bar->setVisible(on);
                }),
          check(u"Status &Bar"_s, u"mnuViewStatusBar"_s,
                [this](bool on) { statusBar()->setVisible(on); }),
          separator,
          {u"&Refresh"_s, u"mnuViewRefresh"_s},
          {u"&Options..."_s, u"mnuViewOptions"_s},
          {u"&Web Browser"_s, u"mnuViewWebBrowser"_s, [this] { openWebBrowser(); }}}},
        {u"&Window"_s,
         u"mnuWindow"_s,
         {{u"&New Window"_s, u"mnuWindowNewWindow"_s, [this] { OpenNewMapWindow(); }},
          separator,
          {u"&Cascade"_s, u"mnuWindowCascade"_s, [this] { m_mdi->cascadeSubWindows(); }},
          {u"Tile &Horizontal"_s, u"mnuWindowTileHorizontal"_s,
           [this] { m_mdi->tileSubWindows(); }},
          {u"Tile &Vertical"_s, u"mnuWindowTileVertical"_s, [this] { m_mdi->tileSubWindows(); }},
          {u"&Arrange Icons"_s, u"mnuWindowArrangeIcons"_s, [this] { m_mdi->tileSubWindows(); }}}},
        {u"&Help"_s,
         u"mnuHelp"_s,
         {{u"&Contents"_s, u"mnuHelpContents"_s, [this] { mnuHelpContents_Click(); }},
          {u"&Search For Help On..."_s, u"mnuHelpSearchForHelpOn"_s,
           [this] { mnuHelpSearchForHelpOn_Click(); }},
          // The home page is the program's own, so it opens without a network.
          {u"&QRV Tractwise Home Page"_s, u"mnuHomePage"_s, [this] { openWebBrowser(); }},
          separator,
          {u"&About "_s, u"mnuHelpAbout"_s, [this] { showAbout(); }}}},
    };
    for (const MenuDefinition &definition : menus) {
        QMenu *menu = menuBar()->addMenu(definition.caption);
        menu->setObjectName(definition.name);
        for (const MenuItem &item : definition.items)
            addMenuItem(menu, item);
    }
    m_windowMenu = menuBar()->findChild<QMenu *>(u"mnuWindow"_s);
    m_windowMenuFixed = m_windowMenu->actions();
    connect(m_windowMenu, &QMenu::aboutToShow, this, &frmMain::updateWindowMenu);
}

void frmMain::addMenuItem(QMenu *menu, const MenuItem &item)
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
    } else if (item.run) {
        connect(a, &QAction::triggered, this, item.run);
    } else {
        const QString handler = item.name + u"_Click"_s;
        connect(a, &QAction::triggered, this, [this, handler] { placeholder(handler); });
    }
}

void frmMain::showAbout()
{
    QDialog about(this);
    about.setObjectName(u"frmAbout"_s);
    about.setWindowTitle(u"About ORBAN"_s);
    auto *layout = new QVBoxLayout(&about);
    auto *picture = new QLabel;
    picture->setPixmap(QPixmap(u":/tractwise/logo.png"_s));
    layout->addWidget(picture);
    layout->addWidget(new QLabel(u"Version 1.23"_s));
    auto *close = new QPushButton(u"Close"_s);
    connect(close, &QPushButton::clicked, &about, &QDialog::accept);
    layout->addWidget(close);
    about.exec();
}

void frmMain::updateWindowMenu()
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

void frmMain::buildToolBar()
{
    QToolBar *bar = addToolBar(u"Toolbar"_s);
    bar->setObjectName(u"tbToolBar"_s);
    auto button = [this, bar](const QString &key, const QString &tip, QStyle::StandardPixmap icon,
                              auto slot) {
        QAction *a = bar->addAction(style()->standardIcon(icon), tip);
        a->setObjectName(key);
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    button(u"New"_s, u"New"_s, QStyle::SP_FileIcon, [this] { OpenNewMapWindow(); });
    button(u"Open"_s, u"Open"_s, QStyle::SP_DialogOpenButton, [this] { mnuFileOpen_Click(); });
    button(u"Save"_s, u"Save"_s, QStyle::SP_DialogSaveButton, [this] { mnuFileSave_Click(); });
    bar->addSeparator();
    button(u"Print"_s, u"Print"_s, QStyle::SP_FileDialogDetailedView,
           [this] { mnuFilePrint_Click(); });
    bar->addSeparator();
    button(u"AddTheme"_s, u"Add Theme"_s, QStyle::SP_FileDialogNewFolder,
           [this] { mnuAddTheme_Click(); });
    button(u"FindInTheme"_s, u"Locate in Theme"_s, QStyle::SP_FileDialogContentsView,
           [this] { FindInTheme_Click(); });
    button(u"FullExtent"_s, u"Zoom to Full Extent"_s, QStyle::SP_DesktopIcon,
           [this] { FullExtent_Click(); });
    bar->addSeparator();
    m_tools = new QActionGroup(this);
    m_tools->setExclusive(true);
    const std::pair<QString, QString> tools[] = {
        {u"IdentifyInThemes"_s, u"Identify In Active Themes"_s},
        {u"Pan"_s, u"Pan"_s},
        {u"Measure"_s, u"Measure"_s},
        {u"ZoomIn"_s, u"Zoom In"_s},
        {u"ZoomOut"_s, u"Zoom Out"_s},
        {u"SelectPoint"_s, u"Select Point"_s},
        {u"HotLink"_s, u"HotLink"_s}};
    for (const auto &[key, tip] : tools) {
        QAction *tool = bar->addAction(tip);
        tool->setObjectName(key);
        tool->setToolTip(tip);
        tool->setCheckable(true);
        m_tools->addAction(tool);
    }
    m_tools->actions().first()->setChecked(true); // identify is pressed at start
}

void frmMain::OpenNewMapWindow()
{
    ++m_windowCounter;
    auto *view = new frmMapView(this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_mdi->addSubWindow(view);
    sub->setWindowTitle(u"Document "_s + QString::number(m_windowCounter));
    sub->resize(std::max(640, m_mdi->width() - 20), std::max(480, m_mdi->height() - 20));
    sub->show();
    m_mdi->setActiveSubWindow(sub);
}

frmMapView *frmMain::activeMapView() const
{
    QMdiSubWindow *sub = m_mdi->activeSubWindow();
    if (!sub && !m_mdi->subWindowList().isEmpty())
        sub = m_mdi->currentSubWindow();
    return sub ? qobject_cast<frmMapView *>(sub->widget()) : nullptr;
}

QString frmMain::pressedTool() const
{
    const QAction *checked = m_tools->checkedAction();
    return checked ? checked->objectName() : QString();
}

void frmMain::setStatusText(int panel, const QString &text)
{
    (panel == 1 ? m_panel1 : m_panel2)->setText(text);
}

frmIdentify *frmMain::identifyWindow()
{
    if (!m_identify)
        m_identify = std::make_unique<frmIdentify>();
    return m_identify.get();
}

namespace {
const QString ProjectFilter = u"Tractwise Files (*.plss)"_s;
} // namespace

void frmMain::openProject(const QString &path)
{
    if (!activeMapView())
        OpenNewMapWindow();
    frmMapView *view = activeMapView();
    if (!view)
        return;
    if (!confirmClose(*view))
        return;
    // Only a file read as a project becomes the window's file: Save must never write over a
    // file that is something else.
    if (view->ReadProject(path))
        view->parentWidget()->setWindowTitle(QFileInfo(path).absoluteFilePath());
}

void frmMain::mnuFileOpen_Click()
{
    if (!activeMapView())
        OpenNewMapWindow();
    const QString path = openFileDialog(u"Open"_s, ProjectFilter, QString());
    if (!path.isEmpty())
        openProject(path);
}

bool frmMain::saveMapView(frmMapView &view, bool chooseName)
{
    QString path = view.parentWidget()->windowTitle();
    // A window never saved nor opened from a file is still called "Document n".
    if (chooseName || path.left(8) == u"Document"_s) {
        path = saveFileDialog(u"Save As"_s, ProjectFilter, u"plss.plss"_s);
        if (path.isEmpty())
            return false;
    }
    // The window takes the file's name only once the file holds its themes.
    if (!view.SaveProject(path))
        return false;
    view.parentWidget()->setWindowTitle(QFileInfo(path).absoluteFilePath());
    return true;
}

bool frmMain::confirmClose(frmMapView &view)
{
    if (!view.isModified())
        return true;
    switch (askToSave(view.parentWidget()->windowTitle())) {
    case QMessageBox::Save:
        return saveMapView(view, false);
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void frmMain::mnuFileSaveAs_Click()
{
    if (frmMapView *view = activeMapView())
        saveMapView(*view, true);
}

void frmMain::mnuFileSave_Click()
{
    if (frmMapView *view = activeMapView())
        saveMapView(*view, false);
}

void frmMain::mnuAddTheme_Click()
{
    if (!activeMapView())
        return;
    // The dialog's own list of files: paths with spaces stay whole.
    addThemeFiles(QFileDialog::getOpenFileNames(
        this, u"Add a Theme"_s, {},
        u"Shape Files (*.shp);;Image Files (*.tif, *.jpg, *.bmp, *.sid) (*.tif *.bmp *.jpg *.sid)"_s));
}

void frmMain::addThemeFiles(const QStringList &files)
{
    frmMapView *view = activeMapView();
    if (!view)
        return;
    for (const QString &path : files)
        view->AddTheme(QFileInfo(path).fileName(), path, true, true);
}

void frmMain::FindInTheme_Click()
{
    frmMapView *view = activeMapView();
    if (!view)
        return;
    const LayerList active = view->themeList()->activeVectorLayers();
    if (active.isEmpty())
        return;
    if (!m_query)
        m_query = std::make_unique<frmQuery>();
    m_query->SetLayer(std::static_pointer_cast<VectorLayer>(active.first()));
    m_query->SetMap(view->map());
    m_query->show();
    m_query->raise();
}

void frmMain::FullExtent_Click()
{
    if (frmMapView *view = activeMapView())
        view->map()->setExtent(view->map()->FullExtent());
}

QPrinter &frmMain::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
        m_printer->setPageSize(QPageSize(QPageSize::Letter));
        m_printer->setPageOrientation(QPageLayout::Landscape);
    }
    return *m_printer;
}

void frmMain::mnuFilePageSetup_Click()
{
    pageSetupDialog(printer()); // the choices stay with the printer; a cancel changes nothing
}

void frmMain::mnuFilePrint_Click()
{
    frmMapView *view = activeMapView();
    if (!view)
        return;
    if (!printDialog(printer()))
        return;
    BusyCursor busy(this);
    if (!printMap(*view->map(), printer()))
        m_messages->show(u"Unable to print the map on "_s +
                             (printer().outputFileName().isEmpty() ? printer().printerName()
                                                                   : printer().outputFileName()) +
                             u"."_s,
                         MessageIcon::Exclamation);
}

frmBrowser *frmMain::openWebBrowser(const QString &address)
{
    if (!makeWebBrowser)
        return nullptr;
    auto *browser = new frmBrowser(makeWebBrowser(), this);
    browser->setWindowFlag(Qt::Window); // a window of its own, closed with the program
    browser->StartingAddress = address.isEmpty() ? webHomePage().toString() : address;
    browser->show();
    return browser;
}

bool frmMain::openHelp()
{
    if (!m_help && QFileInfo::exists(helpFile)) {
        auto help = std::make_unique<HelpWindow>(helpFile);
        if (!help->engine()->registeredDocumentations().isEmpty())
            m_help = std::move(help);
    }
    if (!m_help) {
        m_messages->showMessage(
            u"Unable to display Help Contents. There is no Help associated with this project."_s,
            MessageIcon::Information, windowTitle());
        return false;
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
    return true;
}

void frmMain::mnuHelpContents_Click()
{
    if (openHelp())
        m_help->showContents();
}

void frmMain::mnuHelpSearchForHelpOn_Click()
{
    if (openHelp())
        m_help->showKeywordSearch(QString());
}
