// The main window's actions on the active map: its themes added, found and zoomed to, and the
// map printed.
#include "core/common/twips.h"
#include "core/document/theme_list.h"
#include "core/engine/map_crs.h"
#include "core/engine/point_writer.h"
#include "core/engine/vector_layer.h"
#include "core/wells/well_store.h"
#include "gui/app/help_window.h"
#include "gui/app/main_window.h"
#include "gui/app/map_print.h"
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
#include <QInputDialog>
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

void MainWindow::zoomToTheme()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    MapRect extent = MapRect::null();
    for (const auto &layer : view->themeList()->activeLayers())
        extent = extent.united(layer->extent());
    if (extent.isNull())
        extent = view->map()->fullExtent();
    view->map()->setExtent(withMargin(extent));
}

void MainWindow::addTheme()
{
    if (!activeMapWindow())
        return;
    // The dialog's own list of files: paths with spaces stay whole.
    addThemeFiles(QFileDialog::getOpenFileNames(
        this, u"Add a Theme"_s, startFolder(),
        u"All Themes (*.shp *.SHP *.gpkg *.geojson *.json *.kml *.zip *.gdbtable gdb *.tif *.bmp "
        u"*.jpg *.sid);;Shape Files (*.shp *.SHP);;GeoPackage (*.gpkg);;File Geodatabase (any "
        u"file in the .gdb folder) (*.gdbtable gdb);;GeoJSON (*.geojson *.json);;KML (*.kml);;"
        u"Zipped Shapefile (*.zip);;Image Files (*.tif, *.jpg, *.bmp, *.sid) (*.tif *.bmp *.jpg "
        u"*.sid)"_s));
}

void MainWindow::addDatabaseTheme()
{
    if (!activeMapWindow())
        return;
    bool ok = false;
    QString connection = QInputDialog::getText(
        this, u"Add From Database"_s,
        u"Connection to a PostgreSQL/PostGIS database (its layers are offered):"_s,
        QLineEdit::Normal, u"PG:host=localhost dbname=plss user="_s, &ok);
    connection = connection.trimmed();
    if (!ok || connection.isEmpty())
        return;
    if (!connection.startsWith(u"PG:"_s, Qt::CaseInsensitive))
        connection.prepend(u"PG:"_s);
    addThemeFiles({connection});
}

void MainWindow::addThemeFiles(const QStringList &files)
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    for (QString path : files) {
        if (path.startsWith(u"PG:"_s, Qt::CaseInsensitive) &&
            parseSourceRef(path).layer.isEmpty()) {
            // A database: its layers by name, each theme titled by its table.
            QString error;
            const QStringList layers = vectorLayerNames(path, &error);
            if (layers.isEmpty()) {
                m_messages->show(u"Error: the database "_s + sourceName(path) +
                                     u" gave no layer: "_s + error.simplified(),
                                 MessageIcon::Exclamation);
                continue;
            }
            for (const QString &layer : layers.size() == 1 ? layers : chooseLayers(path, layers))
                view->addTheme(layer, sourceRefText({path, layer}), true, true);
            continue;
        }
        // A file dialog cannot pick a folder: a file in a geodatabase stands for it.
        const QFileInfo info(parseSourceRef(path).path);
        if (!info.isDir() && info.dir().dirName().endsWith(u".gdb"_s, Qt::CaseInsensitive))
            path = info.absolutePath();
        const SourceRef ref = parseSourceRef(path);
        if (!ref.layer.isEmpty() || isImagePath(path)) {
            view->addTheme(ref.layer.isEmpty() ? QFileInfo(path).fileName() : ref.layer, path, true,
                           true);
            continue;
        }
        const QStringList layers = vectorLayerNames(path);
        if (layers.size() <= 1) { // one layer, or none (the load says why)
            view->addTheme(QFileInfo(path).fileName(), path, true, true);
            continue;
        }
        for (const QString &layer : chooseLayers(path, layers))
            view->addTheme(layer, sourceRefText({path, layer}), true, true);
    }
}

void MainWindow::findInTheme()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    const LayerList active = view->themeList()->activeVectorLayers();
    if (active.isEmpty())
        return;
    if (!m_query) {
        m_query = std::make_unique<QueryWindow>();
        m_query->installEventFilter(this);
    }
    m_query->setLayer(std::static_pointer_cast<VectorLayer>(active.first()));
    m_query->setMap(view->map());
    m_query->show();
    m_query->raise();
}

void MainWindow::zoomToFullExtent()
{
    if (MapWindow *view = activeMapWindow())
        view->map()->setExtent(withMargin(view->map()->fullExtent()));
}

QPrinter &MainWindow::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
        m_printer->setPageSize(QPageSize(QPageSize::Letter));
        m_printer->setPageOrientation(QPageLayout::Landscape);
    }
    return *m_printer;
}

void MainWindow::pageSetup()
{
    pageSetupDialog(printer()); // the choices stay with the printer; a cancel changes nothing
}

void MainWindow::printActiveMap()
{
    MapWindow *view = activeMapWindow();
    if (!view)
        return;
    if (!printDialog(printer()))
        return;
    BusyCursor busy(this);
    if (!printMap(*view->map(), printer(), view->printContent()))
        m_messages->show(u"Unable to print the map on "_s +
                             (printer().outputFileName().isEmpty() ? printer().printerName()
                                                                   : printer().outputFileName()) +
                             u"."_s,
                         MessageIcon::Exclamation);
}
