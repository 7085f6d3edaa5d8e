#include "gui/app/map_window.h"

#include "core/common/twips.h"
#include "core/coords/gps_conversion.h"
#include "core/document/project_file.h"
#include "core/document/theme_list.h"
#include "core/engine/map_crs.h"
#include "core/engine/map_graphics.h"
#include "core/engine/status_text.h"
#include "core/engine/vector_layer.h"
#include "gui/calculators/well_calculator.h"
#include "gui/common/app_settings.h"
#include "gui/common/program_resources.h"
#include "gui/common/qt_message_service.h"
#include "gui/common/resizer.h"
#include "gui/legend/legend.h"
#include "gui/map/map.h"
#include "gui/map/map_tools.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace Qt::StringLiterals;

MapWindowShell::~MapWindowShell() = default;

MapWindow::MapWindow(MapWindowShell *shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
{
    setObjectName(u"mapWindow"_s);
    m_themes = new ThemeList(this);
    buildLayout();
    m_map->setThemes(m_themes);
    m_legend->setThemes(m_themes);
    m_legend->setMessageService(&m_shell->messages());
    m_legend->setQuadImageFolder(quadImageFolder());
    connect(m_legend, &Legend::quadImageFolderChosen, this, &setQuadImageFolder);
    m_scaleBar->setHost(this);
    m_calculator->setHost(this);
    m_paintMessages = std::make_unique<PostingMessageService>(m_shell->messages(), this);
    m_map->setGraphicsNotices(m_paintMessages.get());
    buildOverlays();
    buildWells();

    // The status bar names the system the map works in as themes come and go.
    auto showSystem = [this] { m_shell->setStatusText(3, m_themes->mapSystemName()); };
    connect(m_themes, &ThemeList::themeAdded, this, showSystem);
    connect(m_themes, &ThemeList::themesRemoved, this, showSystem);
    connect(m_themes, &ThemeList::reordered, this, showSystem);
    connect(m_themes, &ThemeList::themesRemoved, m_calculator,
            &WellCalculator::removeMissingThemes);
    connect(m_themes, &ThemeList::themesRemoved, m_calculator, &WellCalculator::clearResults);
    connect(m_map, &Map::pointerMoved, this, &MapWindow::showPointerPosition);
    // A printed page's scale is not the window's: only the screen's redraws set it.
    connect(m_map, &Map::redrawn, m_scaleBar, &MapScaleBar::updateScale);
    connect(m_map, &Map::rectangleTracked, this, [this](const MapRect &r) {
        // A click without a drag makes no rectangle to zoom to.
        if (r.width() > 0 && r.height() > 0)
            m_map->setExtent(r);
    });
    buildTools();
    setTool(m_shell ? m_shell->pressedTool() : MapToolKind::None);
    resize(900, 700);
    m_savedThemes = themesSnapshot();
}

MapWindow::~MapWindow() = default;

void MapWindow::buildLayout()
{
    // The map over the calculator panel, beside the legend's column; the user drags the bars
    // between them.
    m_split = new Resizer(this);
    m_split->setObjectName(u"legendSplit"_s);
    m_split->setOrientation(1);
    m_split->setBorderStyle(0);
    m_panelSplit = new Resizer(m_split);
    m_panelSplit->setObjectName(u"panelSplit"_s);
    m_panelSplit->setOrientation(0);
    m_panelSplit->setBorderStyle(0);
    auto *column = new QWidget(m_split);
    column->setObjectName(u"legendColumn"_s);
    m_map = new Map(m_panelSplit);
    m_map->setObjectName(u"map"_s);
    m_legend = new Legend(column);
    m_panelScroll = new QScrollArea(m_panelSplit);
    m_panelScroll->setObjectName(u"panelScroll"_s);
    m_panelScroll->setFrameShape(QFrame::NoFrame);
    m_panelScroll->setWidgetResizable(true);
    m_calculator = new WellCalculator;
    m_calculator->setMinimumSize(m_calculator->sizeHint()); // never squeezed: it scrolls
    m_panelScroll->setWidget(m_calculator);
    m_scaleBar = new MapScaleBar(column);
    loadProgramResources();
    m_logo = new QLabel(column);
    m_logo->setObjectName(u"logo"_s);
    m_logo->setPixmap(QPixmap(u":/tractwise/logo.png"_s));
    // The legend over the height the scale bar and the logo leave at the bottom of the column.
    auto *columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->addWidget(m_legend, 1);
    columnLayout->addWidget(m_scaleBar, 0, Qt::AlignLeft);
    columnLayout->addWidget(m_logo, 0, Qt::AlignLeft);
    keepSplits();
}

void MapWindow::keepSplits()
{
    // Where the user puts a bar is where it stays as the window changes size, and where it is
    // in the next window (kept once the drag has settled).
    const MapWindowSplits stored = mapWindowSplits();
    m_legendWidth = stored.legendWidth;
    m_panelHeight = stored.panelHeight;
    m_saveSplits = new QTimer(this);
    m_saveSplits->setSingleShot(true);
    m_saveSplits->setInterval(300);
    connect(m_saveSplits, &QTimer::timeout, this, [this] {
        setMapWindowSplits({m_legendWidth, m_panelHeight});
    });
    connect(m_split, &Resizer::propertyChanged, this, [this] {
        m_legendWidth = m_split->control2Size();
        m_saveSplits->start();
    });
    connect(m_panelSplit, &Resizer::propertyChanged, this, [this] {
        m_panelHeight = m_panelSplit->control2Size();
        m_saveSplits->start();
    });
}

void MapWindow::buildTools()
{
    auto status = [this](const QString &text) { m_shell->setStatusText(1, text); };
    m_tools[MapToolKind::Identify] =
        std::make_unique<IdentifyTool>([this] { return m_themes->activeVectorLayers(); },
                                       [this] { return m_shell->identifyWindow(); },
                                       [this](const QList<RecordSet> &found) {
                                           m_identified->setRecords(found);
                                           m_map->refreshOverlays();
                                       });
    m_tools[MapToolKind::Pan] = std::make_unique<PanTool>(*m_map);
    m_tools[MapToolKind::Measure] =
        std::make_unique<MeasureTool>(status, [this](const QList<MapPoint> &line) {
            if (line != m_measureLine->points()) {
                m_measureLine->setPoints(line);
                m_map->refreshOverlays();
            }
        });
    m_tools[MapToolKind::ZoomIn] = std::make_unique<ZoomInTool>(*m_map);
    m_tools[MapToolKind::ZoomOut] = std::make_unique<ZoomOutTool>(*m_map);
    m_tools[MapToolKind::SelectPoint] = std::make_unique<PointTool>(
        [this](const MapEvent &e) { m_calculator->locatePickedPoint(e.point); });
    m_tools[MapToolKind::HotLink] = std::make_unique<PointTool>(
        [this](const MapEvent &e) { m_legend->openHotlink(e.point, e.tolerance); });
}

void MapWindow::buildOverlays()
{
    // A query's matches in yellow; an expression the theme cannot evaluate is said once.
    Symbol highlight;
    highlight.setFillStyle(FillStyle::Solid);
    highlight.color = Qt::yellow;
    highlight.outline = false;
    m_map->addOverlay(std::make_unique<QueryMatchesOverlay>(
                          m_themes, highlight,
                          [this](const QString &expression, const QString &theme) {
                              m_shell->setStatusText(1, u"The query \""_s + expression.trimmed() +
                                                            u"\" cannot be evaluated on "_s +
                                                            theme + u"."_s);
                          }),
                      MapOverlay::Level::QueryMatches);
    // What Identify found, outlined over every theme in cyan: red is the wells' colour.
    Symbol outline;
    outline.setFillStyle(FillStyle::Transparent);
    outline.color = Qt::cyan;
    outline.outlineColor = Qt::cyan;
    outline.size = 3;
    m_identified =
        m_map->addOverlay(std::make_unique<RecordsOverlay>(outline), MapOverlay::Level::Identified);
    m_measureLine = m_map->addOverlay(std::make_unique<LineOverlay>(QPen(Qt::red, 2)),
                                      MapOverlay::Level::ToolLine);
}

void MapWindow::setTool(MapToolKind kind)
{
    const auto found = m_tools.find(kind);
    m_map->setTool(found != m_tools.end() ? found->second.get() : nullptr);
}

const QList<MapPoint> &MapWindow::measuredLine() const
{
    return m_measureLine->points();
}

QByteArray MapWindow::themesSnapshot() const
{
    QList<ProjectTheme> themes = m_themes->toProject();
    for (ProjectTheme &t : themes)
        t.active = true;
    return writeProject(themes, m_wellsSource, m_printTitle);
}

bool MapWindow::isModified() const
{
    return themesSnapshot() != m_savedThemes || m_wells->isModified();
}

void MapWindow::closeEvent(QCloseEvent *event)
{
    if (m_shell && !m_shell->confirmClose(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

MessageService &MapWindow::messages()
{
    return m_shell->messages();
}

std::shared_ptr<MapLayer> MapWindow::addTheme(const QString &themeName, const QString &themePath,
                                              bool isActive, bool isShown)
{
    m_shell->setStatusText(1, u"Loading "_s + themeName + u"..."_s);
    auto layer = m_legend->addTheme(themeName, themePath, isActive, isShown);
    if (!layer || !layer->isValid()) {
        m_shell->setStatusText(1, u"Ready"_s);
        return layer;
    }
    // The calculators take what may be a section theme of what loaded.
    offerSectionTheme(layer);
    if (!layer->note().isEmpty()) {
        m_shell->setStatusText(1, layer->note());
        return layer;
    }
    // A theme the view does not reach would seem not to have loaded.
    if (!m_map->extent().intersects(layer->extent()))
        m_shell->setStatusText(
            1, themeName + u" lies outside the view: Themes > Zoom to Theme shows it."_s);
    else
        m_shell->setStatusText(1, u"Added "_s + themeName + u"."_s);
    return layer;
}

void MapWindow::deleteActiveThemes()
{
    m_legend->deleteActiveThemes();
}

void MapWindow::updateScale(double currentScale, double newScale)
{
    if (!(currentScale > 0) || !(newScale > 0))
        return;
    MapRect extent = m_map->extent();
    extent.scaleRectangle(newScale / currentScale);
    m_map->setExtent(extent);
}

bool MapWindow::saveProject(const QString &sFile)
{
    // The wells first, beside the project unless they are kept elsewhere already.
    if (m_wellsSource.isEmpty() && m_wells->rowCount() > 0) {
        const QFileInfo project(sFile);
        if (!keepWellsIn(project.dir().filePath(project.completeBaseName() + u"-wells.gpkg"_s)))
            return false;
    } else if (!keepWells()) {
        return false;
    }
    QSaveFile file(sFile);
    // Wells beside the project are named by their file's name, so the folder can move.
    QString wells = m_wellsSource;
    if (!wells.isEmpty() && !isDatabaseSource(wells) &&
        QFileInfo(wells).absolutePath() == QFileInfo(sFile).absolutePath())
        wells = QFileInfo(wells).fileName();
    const QByteArray bytes = writeProject(m_themes->toProject(), wells, m_printTitle);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        messages().show(u"The project could not be saved to "_s + sFile + u": "_s +
                            file.errorString(),
                        MessageIcon::Stop);
        return false;
    }
    m_savedThemes = themesSnapshot();
    return true;
}

bool MapWindow::loadProject(const QString &sFile)
{
    QFile file(sFile);
    if (!file.open(QIODevice::ReadOnly)) {
        messages().show(u"The project "_s + sFile + u" could not be read: "_s + file.errorString(),
                        MessageIcon::Stop);
        return false;
    }
    ParsedProject project = readProject(file.readAll());
    if (!project.isProject) {
        // Not a project at all: the window keeps its themes.
        messages().show(project.error, MessageIcon::None);
        return false;
    }
    resolveRelativePaths(project, sFile);
    // Nothing the panel shows belongs to the new project.
    m_calculator->reset();
    m_legend->loadProject(project);
    // The project keeps each theme's own symbol, section themes included.
    for (const auto &layer : m_themes->layers())
        offerSectionTheme(layer, false);
    loadWells(project.wellsSource, sFile);
    m_printTitle = project.printTitle;
    m_savedThemes = themesSnapshot();
    return project.isProject;
}

LayerList MapWindow::themes() const
{
    return m_themes->layers();
}

void MapWindow::toolChanged()
{
    if (!m_measureLine->points().isEmpty()) {
        m_measureLine->setPoints({});
        m_map->refreshOverlays();
    }
    clearIdentified();
}

void MapWindow::clearIdentified()
{
    if (!m_identified->records().isEmpty()) {
        m_identified->setRecords({});
        m_map->refreshOverlays();
    }
}

void MapWindow::offerSectionTheme(const std::shared_ptr<MapLayer> &layer, bool restyle)
{
    if (m_calculator->addTheme(layer, restyle))
        m_legend->redrawLayer(*layer); // its swatch and the map follow the new symbol
}

void MapWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The legend's column keeps its width and the panel its height as the window changes size;
    // the map takes what is left, and keeps at least 120 pixels each way. They are where the user
    // last dragged the bars, else the column 2760 twips wide and the panel at its full size,
    // which it keeps inside a scroll area: where there is too little room it scrolls rather than
    // being squeezed. What a small window squeezes comes back when it grows. Margins of 10 twips
    // left and right; nothing runs past the window's edge.
    const double tpp = twipsPerPixel(logicalDpiX());
    const int margin = std::max(1, int(std::lround(10 / tpp)));
    constexpr int SmallestMap = 120;
    for (Resizer *split : {m_split, m_panelSplit})
        split->setMinControlSize1(int(std::lround(SmallestMap * tpp)));
    m_split->setGeometry(rect().adjusted(margin, 0, -margin, 0));
    m_split->arrange();
    m_split->setControl2Size(m_legendWidth > 0 ? m_legendWidth : DefaultLegendWidth);
    m_panelSplit->setControl2Size(m_panelHeight > 0 ? m_panelHeight : defaultPanelHeight(tpp));
}

int MapWindow::defaultPanelHeight(double tpp) const
{
    const QSize panel = m_calculator->minimumSize();
    int height = panel.height() + 2 * m_panelScroll->frameWidth();
    const int margin = std::max(1, int(std::lround(10 / tpp)));
    const int mapWidth = width() - 2 * margin -
                         int(std::lround((m_split->separatorSize() + DefaultLegendWidth) / tpp));
    if (panel.width() > mapWidth)
        height += m_panelScroll->horizontalScrollBar()->sizeHint().height();
    return int(std::lround(height * tpp));
}

void MapWindow::showPointerPosition(const MapPoint &point)
{
    QString text = pointerPositionText(point);
    // On a UTM map, where that is on the globe too.
    double latitude = 0, longitude = 0;
    if (const int zone = m_themes->mapZone();
        zone > 0 && utmToGeographic(point.X, point.Y, qint16(zone), latitude, longitude))
        text += u"  "_s + QString::number(std::fabs(latitude), 'f', 5) +
                (latitude >= 0 ? u"\u00b0 N, "_s : u"\u00b0 S, "_s) +
                QString::number(std::fabs(longitude), 'f', 5) +
                (longitude >= 0 ? u"\u00b0 W"_s : u"\u00b0 E"_s); // west comes positive
    m_shell->setStatusText(2, text);
}
