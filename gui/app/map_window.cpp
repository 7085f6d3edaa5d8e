#include "gui/app/map_window.h"

#include "core/common/twips.h"
#include "core/coords/gps_conversion.h"
#include "core/document/project_file.h"
#include "core/document/theme_list.h"
#include "core/engine/map_graphics.h"
#include "core/engine/status_text.h"
#include "core/engine/vector_layer.h"
#include "gui/calculators/well_calculator.h"
#include "gui/common/app_settings.h"
#include "gui/common/program_resources.h"
#include "gui/common/qt_message_service.h"
#include "gui/legend/legend.h"
#include "gui/map/map.h"
#include "gui/map/map_tools.h"

#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSaveFile>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

using namespace Qt::StringLiterals;

MapWindowShell::~MapWindowShell() = default;

MapWindow::MapWindow(MapWindowShell *shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
    , m_graphics(std::make_unique<MapGraphics>())
{
    setObjectName(u"mapWindow"_s);
    m_themes = new ThemeList(this);
    m_map = new Map(this);
    m_map->setObjectName(u"map"_s);
    m_legend = new Legend(this);
    m_panelScroll = new QScrollArea(this);
    m_panelScroll->setObjectName(u"panelScroll"_s);
    m_panelScroll->setFrameShape(QFrame::NoFrame);
    m_panelScroll->setWidgetResizable(true);
    m_calculator = new WellCalculator;
    m_calculator->setMinimumSize(m_calculator->sizeHint()); // never squeezed: it scrolls
    m_panelScroll->setWidget(m_calculator);
    m_scaleBar = new MapScaleBar(this);
    loadProgramResources();
    m_logo = new QLabel(this);
    m_logo->setObjectName(u"logo"_s);
    m_logo->setPixmap(QPixmap(u":/tractwise/logo.png"_s));

    m_map->setThemes(m_themes);
    m_legend->setThemes(m_themes);
    m_legend->setMessageService(&m_shell->messages());
    m_legend->setQuadImageFolder(quadImageFolder());
    connect(m_legend, &Legend::quadImageFolderChosen, this, &setQuadImageFolder);
    m_scaleBar->setHost(this);
    m_calculator->setHost(this);
    m_paintMessages = std::make_unique<PostingMessageService>(m_shell->messages(), this);
    m_highlight.Style = 0;
    m_highlight.Color = 65535; // yellow
    m_highlight.Outline = false;

    // The status bar names the system the map works in as themes come and go.
    auto showSystem = [this] { m_shell->setStatusText(3, m_themes->mapSystemName()); };
    connect(m_themes, &ThemeList::themeAdded, this, showSystem);
    connect(m_themes, &ThemeList::themesRemoved, this, showSystem);
    connect(m_themes, &ThemeList::reordered, this, showSystem);
    connect(m_themes, &ThemeList::themesRemoved, m_calculator,
            &WellCalculator::removeMissingThemes);
    connect(m_themes, &ThemeList::themesRemoved, m_calculator, &WellCalculator::clearResults);
    connect(m_map, &Map::pressed, this, &MapWindow::mapPressed);
    connect(m_map, &Map::moved, this, &MapWindow::mapMoved);
    connect(m_map, &Map::released, this, &MapWindow::mapReleased);
    connect(m_map, &Map::clicked, this, &MapWindow::mapClicked);
    connect(m_map, &Map::doubleClicked, this, &MapWindow::mapDoubleClicked);
    connect(m_map, &Map::layerDrawn, this, &MapWindow::drawOverLayers);
    connect(m_map, &Map::rectangleTracked, this, [this](const MapRect &r) {
        // A click without a drag makes no rectangle to zoom to.
        if (r.width() > 0 && r.height() > 0)
            m_map->setExtent(r);
    });
    buildTools();
    resize(900, 700);
    m_savedThemes = themesSnapshot();
}

MapWindow::~MapWindow() = default;

void MapWindow::buildTools()
{
    auto status = [this](const QString &text) { m_shell->setStatusText(1, text); };
    m_tools = {
        {u"IdentifyInThemes"_s,
         std::make_shared<IdentifyTool>([this] { return m_themes->activeVectorLayers(); },
                                        [this] { return m_shell->identifyWindow(); },
                                        [this](const QList<RecordSet> &found) {
                                            m_identified = found;
                                            m_map->refresh();
                                        })},
        {u"Pan"_s, std::make_shared<PanTool>(*m_map)},
        {u"Measure"_s,
         std::make_shared<MeasureTool>(
             status, [this](const QList<MapPoint> &line) { m_map->setOverlayLine(line); })},
        {u"ZoomIn"_s, std::make_shared<ZoomInTool>(*m_map)},
        {u"ZoomOut"_s, std::make_shared<ZoomOutTool>(*m_map)},
        {u"SelectPoint"_s, std::make_shared<PointTool>([this](const MapEvent &e) {
             m_calculator->locatePickedPoint(e.point);
         })},
        {u"HotLink"_s, std::make_shared<PointTool>([this](const MapEvent &e) {
             m_legend->openHotlink(e.point, e.tolerance);
         })},
    };
}

QByteArray MapWindow::themesSnapshot() const
{
    QList<ProjectTheme> themes = m_themes->toProject();
    for (ProjectTheme &t : themes)
        t.active = true;
    return writeProject(themes);
}

bool MapWindow::isModified() const
{
    return themesSnapshot() != m_savedThemes;
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
    QSaveFile file(sFile);
    const QByteArray bytes = writeProject(m_themes->toProject());
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
    m_savedThemes = themesSnapshot();
    return project.isProject;
}

LayerList MapWindow::themes() const
{
    return m_themes->layers();
}

void MapWindow::toolChanged()
{
    m_map->setOverlayLine({});
    clearIdentified();
}

void MapWindow::clearIdentified()
{
    if (!m_identified.isEmpty()) {
        m_identified = {};
        m_map->refresh();
    }
}

void MapWindow::offerSectionTheme(const std::shared_ptr<MapLayer> &layer, bool restyle)
{
    if (m_calculator->addTheme(layer, restyle))
        m_legend->redrawLayer(*layer); // its swatch and the map follow the new symbol
}

MapTool *MapWindow::tool() const
{
    return m_shell ? m_tools.value(m_shell->pressedTool()).get() : nullptr;
}

void MapWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The map at the top left with the calculator panel below it, the legend to its right over
    // the height left by the scale bar and the logo at the bottom of that column. The panel keeps
    // its full size inside a scroll area: where the window is too small for it, it scrolls
    // rather than being squeezed. Margins of 10 twips; nothing runs past the window's edge.
    const double tpp = twipsPerPixel(logicalDpiX());
    const int margin = std::max(1, int(std::lround(10 / tpp)));
    const int legendW = int(std::lround(2790 / tpp));
    const int w = width(), h = height();
    const int columnX = std::max(margin, w - margin - legendW);
    const QSize logo = m_logo->sizeHint();
    const QSize scale = m_scaleBar->sizeHint();
    const int logoY = std::max(margin, h - margin - logo.height());
    const int scaleY = std::max(margin, logoY - margin - scale.height());
    m_logo->setGeometry(columnX, logoY, std::min(legendW, logo.width()), logo.height());
    m_scaleBar->setGeometry(columnX, scaleY, std::min(legendW, scale.width()), scale.height());
    m_legend->setGeometry(columnX, margin, legendW, std::max(16, scaleY - 2 * margin));

    const int leftW = std::max(16, columnX - 2 * margin);
    const QSize panel = m_calculator->minimumSize();
    int stripH = panel.height() + 2 * m_panelScroll->frameWidth();
    if (panel.width() > leftW)
        stripH += m_panelScroll->horizontalScrollBar()->sizeHint().height();
    constexpr int SmallestMap = 120;
    stripH = std::max(0, std::min(stripH, h - 3 * margin - SmallestMap));
    const int mapH = std::max(16, h - 3 * margin - stripH);
    m_map->setGeometry(margin, margin, leftW, mapH);
    m_panelScroll->setGeometry(margin, margin + mapH + margin, leftW, stripH);
}

void MapWindow::mapPressed(int, int, double x, double y)
{
    if (MapTool *t = tool())
        t->press(m_map->eventAt(x, y));
}

void MapWindow::mapMoved(int, int, double x, double y)
{
    const MapEvent e = m_map->eventAt(x, y);
    if (MapTool *t = tool())
        t->move(e);
    QString text = pointerPositionText(e.point);
    // On a UTM map, where that is on the globe too.
    double latitude = 0, longitude = 0;
    if (const int zone = m_themes->mapZone();
        zone > 0 && utmToGeographic(e.point.X, e.point.Y, qint16(zone), latitude, longitude))
        text += u"  "_s + QString::number(std::fabs(latitude), 'f', 5) +
                (latitude >= 0 ? u"\u00b0 N, "_s : u"\u00b0 S, "_s) +
                QString::number(std::fabs(longitude), 'f', 5) +
                (longitude >= 0 ? u"\u00b0 W"_s : u"\u00b0 E"_s); // west comes positive
    m_shell->setStatusText(2, text);
}

void MapWindow::mapReleased(int, int, double x, double y)
{
    if (MapTool *t = tool())
        t->release(m_map->eventAt(x, y));
}

void MapWindow::mapClicked()
{
    if (MapTool *t = tool())
        t->click();
}

void MapWindow::mapDoubleClicked()
{
    if (MapTool *t = tool())
        t->doubleClick();
}

void MapWindow::drawOverLayers(int index, QPainter *painter)
{
    Q_UNUSED(painter);
    // Draw index 0 is the top theme, the list's last.
    const qsizetype at = m_themes->size() - 1 - index;
    if (index >= 0 && at >= 0) {
        const auto &layer = m_themes->at(at).layer;
        const QString expression = layer->queryExpression();
        if (!expression.isEmpty() && layer->layerType() == MapLayer::LayerType::Vector) {
            const auto &vector = static_cast<const VectorLayer &>(*layer);
            const RecordSet matches = vector.searchExpression(expression);
            if (matches.count() > 0) {
                m_map->drawShape(matches, m_highlight);
            } else if (m_reportedExpressions.value(layer.get()) != expression &&
                       !vector.isValidExpression(expression)) {
                // Said once per expression; the redraw goes on with the other layers.
                m_reportedExpressions.insert(layer.get(), expression);
                m_shell->setStatusText(1, u"The query \""_s + expression.trimmed() +
                                              u"\" cannot be evaluated on "_s + layer->name() +
                                              u"."_s);
            }
        }
    }
    if (index == 0) {
        // What Identify found, outlined over every theme in cyan: red is the wells' colour.
        constexpr quint32 cyan = 0xFFFF00; // packed as 0xBBGGRR
        Symbol outline;
        outline.Style = qint16(FillStyle::Transparent);
        outline.Color = cyan;
        outline.OutlineColor = cyan;
        outline.Size = 3;
        for (const RecordSet &found : std::as_const(m_identified))
            m_map->drawShape(found, outline);
        m_graphics->draw(*painter, m_map->viewport(), m_paintMessages.get());
        if (!m_map->isOutputting()) // a printed page's scale is not the window's
            m_scaleBar->updateScale();
    }
}
