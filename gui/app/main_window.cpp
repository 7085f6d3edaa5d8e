#include "gui/app/main_window.h"

#include "core/common/program_data.h"
#include "core/common/twips.h"
#include "core/document/theme_list.h"
#include "core/engine/map_crs.h"
#include "core/engine/point_writer.h"
#include "core/engine/vector_layer.h"
#include "core/wells/well_store.h"
#include "gui/app/help_window.h"
#include "gui/app/layer_choice_dialog.h"
#include "gui/app/map_print.h"
#include "gui/app/options_dialog.h"
#include "gui/app/plss_fields_dialog.h"
#include "gui/app/properties_dialog.h"
#include "gui/app/web_browser.h"
#include "gui/app/web_window.h"
#include "gui/calculators/well_calculator.h"
#include "gui/common/app_settings.h"
#include "gui/common/busy_cursor.h"
#include "gui/common/program_resources.h"
#include "gui/common/qt_message_service.h"
#include "gui/legend/legend.h"
#include "gui/map/identify_window.h"
#include "gui/map/map.h"
#include "gui/map/query_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEngine>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

MainWindow::MainWindow(std::unique_ptr<MessageService> messages, QWidget *parent)
    : QMainWindow(parent)
    , m_messages(std::move(messages))
{
    loadProgramResources();
    if (!m_messages)
        m_messages = std::make_unique<QtMessageService>(this);
    openFileDialog = [this](const QString &title, const QString &filter, const QString &) {
        return QFileDialog::getOpenFileName(this, title, startFolder(), filter);
    };
    saveFileDialog = [this](const QString &title, const QString &filter, const QString &name) {
        const QString folder = startFolder();
        return QFileDialog::getSaveFileName(
            this, title, folder.isEmpty() ? name : QDir(folder).filePath(name), filter);
    };
    runDialog = [](QDialog &dialog) { return dialog.exec(); };
    chooseLayers = [this](const QString &source, const QStringList &layers) {
        LayerChoiceDialog dialog(source, layers, this);
        return runDialog(dialog) == QDialog::Accepted ? dialog.chosen() : QStringList();
    };
    startProgram = [](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
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
    askQuestion = [this](const QString &text) {
        return QMessageBox::question(this, appTitle(), text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    };
    pageSetupDialog = [this](QPrinter &printer) {
        QPageSetupDialog dialog(&printer, this);
        dialog.setWindowTitle(u"Page Setup"_s);
        return dialog.exec() == QDialog::Accepted;
    };
    helpFile = helpCollectionFile();
    sampleFolder = programDataFile(u"sample"_s);
    sampleCopyFolder = defaultSampleCopyFolder();
    setObjectName(u"mainWindow"_s);
    setWindowTitle(u"QRV Tractwise"_s);
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(u"mdiArea"_s);
    setCentralWidget(m_mdi);
    buildMenus();
    buildToolBar();
    buildWellsDock();
    m_panel1 = new QLabel(u"Ready"_s);
    m_panel2 = new QLabel;
    m_panel3 = new QLabel;
    m_panel3->setObjectName(u"mapSystemPanel"_s);
    statusBar()->setObjectName(u"statusBar"_s);
    statusBar()->addWidget(m_panel1, 1);
    statusBar()->addPermanentWidget(m_panel2);
    statusBar()->addPermanentWidget(m_panel3);
    restoreGeometryFromSettings();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainWindow::updateActions);
    openNewMapWindow();
    updateActions();
}

MainWindow::~MainWindow()
{
    // The tool windows report their hiding to this window: they go while it is whole.
    m_identify.reset();
    m_query.reset();
    // The map windows use this window's services to the end: they go first.
    delete m_mdi;
}

void MainWindow::restoreGeometryFromSettings()
{
    const std::optional<MainGeometry> g = readMainGeometry();
    if (!g) {
        // First start: most of the screen, in its middle.
        const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())
                                 ->availableGeometry();
        const QSize size(screen.width() * 4 / 5, screen.height() * 4 / 5);
        resize(size);
        move(screen.center() - QPoint(size.width() / 2, size.height() / 2));
        return;
    }
    const double tpp = twipsPerPixel(logicalDpiX());
    auto px = [tpp](double twips) { return int(std::lround(twips / tpp)); };
    move(px(g->left), px(g->top));
    resize(std::max(px(g->width), 200), std::max(px(g->height), 150));
}

void MainWindow::storeGeometryInSettings()
{
    if (isMinimized())
        return; // a minimised window leaves the stored values as they were
    const double tpp = twipsPerPixel(logicalDpiX());
    writeMainGeometry({x() * tpp, y() * tpp, width() * tpp, height() * tpp});
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Each changed map window asks first; a cancel keeps the program open.
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    for (QMdiSubWindow *sub : windows) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    // Hidden first, so where the user put them is kept for the next run.
    for (QWidget *tool :
         {static_cast<QWidget *>(m_identify.get()), static_cast<QWidget *>(m_query.get())}) {
        if (tool && tool->isVisible())
            tool->hide();
    }
    m_identify.reset();
    m_query.reset();
    m_help.reset();
    storeGeometryInSettings();
    QMainWindow::closeEvent(event);
}

void MainWindow::openNewMapWindow()
{
    ++m_windowCounter;
    auto *view = new MapWindow(this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = m_mdi->addSubWindow(view);
    sub->setWindowTitle(u"Document "_s + QString::number(m_windowCounter));
    // Identify and Locate in Theme show nothing of themes that have left the window.
    connect(view->themeList(), &ThemeList::themesRemoved, this, [this, view] {
        view->clearIdentified();
        if (m_identify && m_identifiedView == view)
            m_identify->clear();
        const LayerList themes = view->themes();
        if (m_query && m_query->map() == view->map() &&
            std::none_of(themes.begin(), themes.end(),
                         [this](const auto &l) { return l.get() == m_query->layer(); }))
            m_query->clear();
    });
    // The first window fills the area, and so does any window while the others are maximised.
    const QMdiSubWindow *active = m_mdi->activeSubWindow();
    if (m_mdi->subWindowList().size() == 1 || (active && active->isMaximized())) {
        sub->showMaximized();
    } else {
        sub->resize(std::max(640, m_mdi->width() * 3 / 4), std::max(480, m_mdi->height() * 3 / 4));
        sub->show();
    }
    m_mdi->setActiveSubWindow(sub);
}

MapWindow *MainWindow::activeMapWindow() const
{
    QMdiSubWindow *sub = m_mdi->activeSubWindow();
    if (!sub && !m_mdi->subWindowList().isEmpty())
        sub = m_mdi->currentSubWindow();
    return sub ? qobject_cast<MapWindow *>(sub->widget()) : nullptr;
}

MapToolKind MainWindow::pressedTool() const
{
    const QAction *checked = m_tools ? m_tools->checkedAction() : nullptr;
    return checked ? checked->data().value<MapToolKind>() : MapToolKind::None;
}

void MainWindow::setStatusText(int panel, const QString &text)
{
    (panel == 1 ? m_panel1 : panel == 2 ? m_panel2 : m_panel3)->setText(text);
}

IdentifyWindow *MainWindow::identifyWindow()
{
    if (!m_identify) {
        m_identify = std::make_unique<IdentifyWindow>();
        m_identify->installEventFilter(this);
    }
    m_identifiedView = activeMapWindow();
    return m_identify.get();
}

void MainWindow::placeToolWindow(QWidget &window)
{
    const QByteArray saved = toolWindowGeometry(window.objectName());
    if (!saved.isEmpty() && window.restoreGeometry(saved))
        return;
    // The top right corner of the active map window, where the legend is: the map and the
    // menus stay in reach.
    const QWidget *area = activeMapWindow() ? static_cast<QWidget *>(activeMapWindow()) : m_mdi;
    const QPoint topRight = area->mapToGlobal(QPoint(area->width(), 0));
    window.move(std::max(0, topRight.x() - window.width() - 16), topRight.y() + 16);
}

namespace {

// The index of the top polygon theme (of the active ones only, when asked), -1 for none.
qsizetype topPolygonTheme(const ThemeList &themes, bool activeOnly)
{
    for (qsizetype i = themes.size() - 1; i >= 0; --i) {
        const auto &layer = themes.at(i).layer;
        if ((themes.at(i).active || !activeOnly) &&
            layer->layerType() == MapLayer::LayerType::Vector &&
            static_cast<const VectorLayer &>(*layer).shapeType() == ShapeType::Polygons)
            return i;
    }
    return -1;
}

} // namespace

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = qobject_cast<QWidget *>(watched);
    const bool toolWindow = window && (window == m_identify.get() || window == m_query.get());
    if (toolWindow && event->type() == QEvent::Show && !event->spontaneous() &&
        !window->property("placed").toBool()) {
        window->setProperty("placed", true);
        placeToolWindow(*window);
    } else if (toolWindow && event->type() == QEvent::Hide && !event->spontaneous()) {
        setToolWindowGeometry(window->objectName(), window->saveGeometry());
        window->setProperty("placed", false);
        // The identify outline belongs to the window: it goes with it.
        if (window == m_identify.get()) {
            for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
                if (auto *view = qobject_cast<MapWindow *>(sub->widget()))
                    view->clearIdentified();
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::sectionThemeMissing(MapWindow &view)
{
    // The top polygon theme is the one a user most likely means.
    const ThemeList &themes = *view.themeList();
    const qsizetype polygons = topPolygonTheme(themes, false);
    if (polygons < 0) {
        m_messages->show(noSectionThemeMessage(), MessageIcon::Exclamation);
        return;
    }
    if (askQuestion(noSectionThemeMessage() + u"\n\nName the PLSS fields of "_s +
                    themes.at(polygons).title + u" now?"_s))
        namePlssFields(view, polygons);
}

namespace {
const QString ProjectFilter = u"Tractwise Files (*.plss)"_s;
} // namespace

void MainWindow::openProject(const QString &path)
{
    if (!activeMapWindow())
        openNewMapWindow();
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    if (!confirmClose(*view))
        return;
    // Only a file read as a project becomes the window's file: Save must never write over a
    // file that is something else.
    if (view->loadProject(path)) {
        view->setProjectFile(QFileInfo(path).absoluteFilePath());
        view->parentWidget()->setWindowTitle(view->projectFile());
        addRecentProject(path);
        setStatusText(1, u"Opened "_s + view->projectFile());
    }
}

void MainWindow::openFiles(QStringList projects, const QStringList &files)
{
    QStringList themes;
    for (const QString &file : files)
        (file.endsWith(u".plss"_s, Qt::CaseInsensitive) ? projects : themes) << file;
    if (!projects.isEmpty())
        openProject(projects.first());
    addThemeFiles(themes);
    for (qsizetype i = 1; i < projects.size(); ++i) {
        openNewMapWindow();
        openProject(projects.at(i));
    }
}

void MainWindow::openSampleProject()
{
    const SampleCopy copy = copySampleProjects(sampleFolder, sampleCopyFolder);
    if (!copy.error.isEmpty()) {
        m_messages->show(copy.error, MessageIcon::Exclamation);
        return;
    }
    // Beside the user's own work, not in its place.
    const MapWindow *view = activeMapWindow();
    if (view && (!view->projectFile().isEmpty() || !view->themes().empty()))
        openNewMapWindow();
    openProject(copy.project);
}

void MainWindow::open()
{
    if (!activeMapWindow())
        openNewMapWindow();
    const QString path = openFileDialog(u"Open"_s, ProjectFilter, QString());
    if (!path.isEmpty())
        openProject(path);
}

bool MainWindow::saveMapWindow(MapWindow &view, bool chooseName)
{
    QString path = view.projectFile();
    if (chooseName || path.isEmpty()) {
        path = saveFileDialog(u"Save As"_s, ProjectFilter, u"plss.plss"_s);
        if (path.isEmpty())
            return false;
    }
    // The window takes the file's name only once the file holds its themes.
    if (!view.saveProject(path))
        return false;
    view.setProjectFile(QFileInfo(path).absoluteFilePath());
    view.parentWidget()->setWindowTitle(view.projectFile());
    addRecentProject(path);
    setStatusText(1, u"Saved "_s + view.projectFile());
    return true;
}

bool MainWindow::confirmClose(MapWindow &view)
{
    if (!view.isModified())
        return true;
    switch (askToSave(view.parentWidget()->windowTitle())) {
    case QMessageBox::Save:
        return saveMapWindow(view, false);
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void MainWindow::saveAs()
{
    if (MapWindow *view = activeMapWindow())
        saveMapWindow(*view, true);
}

void MainWindow::save()
{
    if (MapWindow *view = activeMapWindow())
        saveMapWindow(*view, false);
}

void MainWindow::saveAll()
{
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    for (QMdiSubWindow *sub : windows) {
        auto *view = qobject_cast<MapWindow *>(sub->widget());
        if (view && view->isModified()) {
            m_mdi->setActiveSubWindow(sub); // the Save As dialog names the window it asks for
            if (!saveMapWindow(*view, false))
                return;
        }
    }
}

void MainWindow::showProperties()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    QStringList lines{u"Window: "_s + view->parentWidget()->windowTitle(),
                      u"Project file: "_s +
                          (view->projectFile().isEmpty() ? u"(not saved)"_s : view->projectFile()),
                      u"Themes: "_s + QString::number(view->themeList()->size())};
    // Top theme first, as the legend shows them.
    for (qsizetype i = view->themeList()->size() - 1; i >= 0; --i)
        lines << QString() << themeProperties(view->themeList()->at(i));
    PropertiesDialog dialog(lines.join(u'\n'), this);
    runDialog(dialog);
}

void MainWindow::printPreview()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    QPrintPreviewDialog dialog(&printer(), this);
    dialog.setWindowTitle(u"Print Preview"_s);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [view](QPrinter *p) { printMap(*view->map(), *p, view->printContent()); });
    runDialog(dialog);
}

void MainWindow::sendProject()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    // The mail carries the file as saved: a changed or never saved window is saved first.
    if ((view->isModified() || view->projectFile().isEmpty()) && !saveMapWindow(*view, false))
        return;
    if (!startProgram(u"xdg-email"_s, {u"--attach"_s, view->projectFile()})) {
        m_messages->show(u"No mail program could be started on this desktop (xdg-email). "
                         u"Attach the project file to a message yourself: "_s +
                             view->projectFile(),
                         MessageIcon::Exclamation);
        return;
    }
    setStatusText(1, u"Handed "_s + view->projectFile() + u" to the mail program."_s);
}

void MainWindow::exportWells()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    // The Wells table, every column of it; without one, the points the panel located.
    const QList<Well> &wells = view->wells()->wells();
    const WellCalculator &panel = *view->calculator();
    if (wells.isEmpty() && panel.locatedWells().isEmpty()) {
        m_messages->show(u"No well has been located in this map window yet."_s,
                         MessageIcon::Information);
        return;
    }
    const QString path = saveFileDialog(
        u"Export Located Wells"_s,
        u"GeoPackage (*.gpkg);;GeoJSON (*.geojson);;KML (*.kml);;Shapefile (*.shp)"_s,
        u"wells.gpkg"_s);
    if (path.isEmpty())
        return;
    if (pointFormatDriver(path).isEmpty()) {
        m_messages->show(u"Choose a file ending in .gpkg, .geojson, .kml or .shp."_s,
                         MessageIcon::Exclamation);
        return;
    }
    const int zone = view->themeList()->mapZone();
    QList<std::optional<MapPoint>> points;
    for (const MapPoint &p : panel.locatedPoints())
        points.append(p);
    const QString error = !wells.isEmpty()
                              ? ::exportWells(path, wells, zone)
                              : writePointLayer(path, WellCalculator::LocatedWellsHeader,
                                                panel.locatedWells(), points, zone, QString());
    if (!error.isEmpty()) {
        m_messages->show(error, MessageIcon::Stop);
        return;
    }
    const qsizetype count = wells.isEmpty() ? points.size() : wells.size();
    setStatusText(1, QString::number(count) + u" wells written to "_s + path);
}

void MainWindow::editPlssFields()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    ThemeList &themes = *view->themeList();
    const qsizetype index = topPolygonTheme(themes, true);
    if (index < 0) {
        m_messages->show(u"Make the polygon theme whose PLSS fields you want to name the active "
                         u"theme first."_s,
                         MessageIcon::Information);
        return;
    }
    namePlssFields(*view, index);
}

void MainWindow::namePlssFields(MapWindow &view, qsizetype index)
{
    ThemeList &themes = *view.themeList();
    auto layer = std::static_pointer_cast<VectorLayer>(themes.at(index).layer);
    QStringList names;
    for (const FieldInfo &f : layer->fields())
        names.append(f.name);
    QString error;
    const PlssFields current = parsePlssFields(themes.at(index).plssFields, &error)
                                   .value_or(blmSchemaFields(*layer).value_or(PlssFields()));
    PlssFieldsDialog dialog(themes.at(index).title, names, current, this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const std::optional<PlssFields> chosen =
        parsePlssFields(plssFieldsText(dialog.fields()), &error);
    if (!chosen || !applyPlssFields(*layer, *chosen, &error)) {
        m_messages->show(error, MessageIcon::Exclamation);
        return;
    }
    themes.setPlssFields(index, plssFieldsText(*chosen));
    if (!chosen->namesSection()) {
        setStatusText(1, themes.at(index).title + u" holds second divisions now."_s);
        return;
    }
    view.offerSectionTheme(layer);
    setStatusText(1, themes.at(index).title + u" is a PLSS section theme now."_s);
}

void MainWindow::showOptions()
{
    OptionsDialog dialog(this);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    // Open map windows look for quadrangle images in the folder now chosen.
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    for (QMdiSubWindow *sub : windows) {
        if (auto *view = qobject_cast<MapWindow *>(sub->widget()))
            view->legend()->setQuadImageFolder(quadImageFolder());
    }
}

WebWindow *MainWindow::openWebBrowser(const QString &address)
{
    if (!makeWebBrowser)
        return nullptr;
    auto *browser = new WebWindow(makeWebBrowser(), this);
    browser->setWindowFlag(Qt::Window); // a window of its own, closed with the program
    browser->startingAddress = address.isEmpty() ? webHomePage().toString() : address;
    browser->show();
    return browser;
}

bool MainWindow::openHelp()
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

void MainWindow::showHelpContents()
{
    if (openHelp())
        m_help->showContents();
}

void MainWindow::searchHelp()
{
    if (openHelp())
        m_help->showKeywordSearch(QString());
}
