#include "gui/app/map_window.h"

#include "core/common/twips.h"
#include "core/document/project_file.h"
#include "core/engine/map_graphics.h"
#include "core/engine/status_text.h"
#include "core/engine/vector_layer.h"
#include "gui/calculators/well_calculations.h"
#include "gui/common/program_resources.h"
#include "gui/common/qt_message_service.h"
#include "gui/legend/legend_control.h"
#include "gui/map/identify_window.h"
#include "gui/map/map_widget.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QSaveFile>

#include <cmath>

using namespace Qt::StringLiterals;

MapWindowShell::~MapWindowShell() = default;

frmMapView::frmMapView(MapWindowShell *shell, QWidget *parent)
    : QWidget(parent)
    , m_shell(shell)
    , m_graphics(std::make_unique<MapGraphics>())
{
    setObjectName(u"frmMapView"_s);
    m_map = new Map(this);
    m_map->setObjectName(u"Map"_s);
    m_legend = new LegendControl(this);
    m_calculator = new WellCalculations(this);
    m_scaleBar = new MapScaleBar(this);
    loadProgramResources();
    m_logo = new QLabel(this);
    m_logo->setObjectName(u"LogoPictureBox"_s);
    m_logo->setPixmap(QPixmap(u":/tractwise/logo.png"_s));

    m_legend->AssociateMap(m_map);
    m_legend->setMessageService(&m_shell->messages());
    m_scaleBar->AssociateView(this);
    m_calculator->AssociateView(this);
    m_paintMessages = std::make_unique<PostingMessageService>(m_shell->messages(), this);
    m_highlight.Style = 0;
    m_highlight.Color = 65535; // yellow
    m_highlight.Outline = false;

    connect(m_legend, &LegendControl::ThemesRemoved, m_calculator,
            &WellCalculations::RemoveMissingThemes);
    connect(m_map, &Map::MouseDown, this, &frmMapView::Map_MouseDown);
    connect(m_map, &Map::MouseMove, this, &frmMapView::Map_MouseMove);
    connect(m_map, &Map::MouseUp, this, &frmMapView::Map_MouseUp);
    connect(m_map, &Map::Click, this, &frmMapView::Map_Click);
    connect(m_map, &Map::DblClick, this, &frmMapView::Map_DblClick);
    connect(m_map, &Map::AfterLayerDraw, this, &frmMapView::Map_AfterLayerDraw);
    connect(m_map, &Map::RectangleTracked, this, [this](const MapRect &r) {
        // A click without a drag makes no rectangle to zoom to.
        if (r.width() > 0 && r.height() > 0)
            m_map->setExtent(r);
    });
    resize(900, 700);
    m_savedThemes = themesSnapshot();
}

frmMapView::~frmMapView() = default;

QByteArray frmMapView::themesSnapshot() const
{
    QList<ProjectTheme> themes = m_legend->SaveProject();
    for (ProjectTheme &t : themes)
        t.active = true;
    return writeProject(themes);
}

bool frmMapView::isModified() const
{
    return themesSnapshot() != m_savedThemes;
}

void frmMapView::closeEvent(QCloseEvent *event)
{
    if (m_shell && !m_shell->confirmClose(*this)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

MessageService &frmMapView::messages()
{
    return m_shell->messages();
}

std::shared_ptr<MapLayer> frmMapView::AddTheme(const QString &themeName, const QString &themePath,
                                               bool IsActive, bool IsVisible)
{
    auto layer = m_legend->AddTheme(themeName, themePath, IsActive, IsVisible);
    // The legend decides what is a vector theme; only those can be section themes.
    if (layer && layer->Valid() && layer->LayerType() == MapLayer::VectorLayerType)
        m_calculator->AddTheme(layer);
    return layer;
}

void frmMapView::DeleteActiveThemes()
{
    m_legend->DeleteActiveThemes();
}

void frmMapView::UpdateScale(double currentScale, double newScale)
{
    if (!(currentScale > 0) || !(newScale > 0))
        return;
    MapRect extent = m_map->extent();
    extent.ScaleRectangle(newScale / currentScale);
    m_map->setExtent(extent);
}

bool frmMapView::SaveProject(const QString &sFile)
{
    QSaveFile file(sFile);
    const QByteArray bytes = writeProject(m_legend->SaveProject());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        messages().show(u"The project could not be saved to "_s + sFile + u": "_s +
                            file.errorString(),
                        MessageIcon::Stop);
        return false;
    }
    m_savedThemes = themesSnapshot();
    return true;
}

bool frmMapView::ReadProject(const QString &sFile)
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
    // A relative path is taken from the project's own folder, so a project travels with its
    // themes.
    const QDir folder = QFileInfo(sFile).absoluteDir();
    for (ProjectBlock &b : project.themes) {
        if (!b.path.isEmpty() && QFileInfo(b.path).isRelative())
            b.path = QDir::cleanPath(folder.filePath(b.path));
    }
    m_legend->ReadProject(project);
    // The project keeps each theme's own symbol, section themes included.
    for (const auto &layer : m_legend->GetLayerList())
        m_calculator->AddTheme(layer, false);
    m_savedThemes = themesSnapshot();
    return project.isProject;
}

LayerList frmMapView::themes() const
{
    return m_legend->GetLayerList();
}

QString frmMapView::tool() const
{
    return m_shell ? m_shell->pressedTool() : QString();
}

void frmMapView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The map at the top left, the legend to its right over the full height, the calculator
    // panel below the map with the scale bar and the logo to its right. Margins of 10 twips as
    // designed; nothing runs past the window's edge.
    const double tpp = twipsPerPixel(logicalDpiX());
    const int margin = std::max(1, int(std::lround(10 / tpp)));
    const int legendW = int(std::lround(2790 / tpp));
    const QSize panel = m_calculator->sizeHint();
    const int w = width(), h = height();
    const int mapW = std::max(16, w - legendW - 3 * margin);
    const int mapH = std::max(16, h - panel.height() - 3 * margin);
    m_map->setGeometry(margin, margin, mapW, mapH);
    const int panelTop = margin + mapH + margin;
    m_calculator->setGeometry(margin, panelTop, std::min(panel.width(), mapW), panel.height());
    const QSize scale = m_scaleBar->sizeHint();
    m_scaleBar->setGeometry(margin + panel.width() + margin, panelTop, scale.width(),
                            scale.height());
    m_logo->setGeometry(margin + panel.width() + margin, panelTop + scale.height() + margin,
                        m_logo->sizeHint().width(), m_logo->sizeHint().height());
    m_legend->setGeometry(margin + mapW + margin, margin, legendW, std::max(16, h - 2 * margin));
}

void frmMapView::Map_MouseDown(int, int, double x, double y)
{
    const QString t = tool();
    if (t == u"ZoomIn"_s) {
        m_map->TrackRectangle();
    } else if (t == u"ZoomOut"_s) {
        MapRect extent = m_map->extent();
        extent.ScaleRectangle(1.5);
        m_map->setExtent(extent);
    } else if (t == u"Pan"_s) {
        m_map->Pan();
    } else if (t == u"Measure"_s) {
        m_measureStart = m_map->toMapPoint(x, y);
        m_isMeasuring = true;
        m_measureTotal = 0;
        m_measureSegment = 0;
        m_shell->setStatusText(1, measureStartText(m_measureStart));
    }
}

void frmMapView::Map_MouseMove(int, int, double x, double y)
{
    m_measureCurrent = m_map->toMapPoint(x, y);
    m_hasCurrent = true;
    if (tool() == u"Measure"_s && m_isMeasuring) {
        m_measureSegment = std::hypot(m_measureCurrent.X - m_measureStart.X,
                                      m_measureCurrent.Y - m_measureStart.Y);
        m_shell->setStatusText(
            1, measureSegmentText(m_measureSegment, m_measureTotal + m_measureSegment));
    }
    m_shell->setStatusText(2, pointerPositionText(m_measureCurrent));
}

void frmMapView::Map_MouseUp(int, int, double x, double y)
{
    const QString t = tool();
    if (t == u"IdentifyInThemes"_s) {
        frmIdentify *identify = m_shell->identifyWindow();
        identify->Reset();
        const LayerList active = m_legend->GetActiveLayerList();
        if (active.isEmpty())
            return;
        for (qsizetype i = active.size() - 1; i >= 0; --i) {
            const auto &layer = static_cast<const VectorLayer &>(*active[i]);
            identify->AddResultForTheme(layer.name(), FindFeaturesAtPoint(*m_map, layer, x, y));
        }
        identify->show();
        identify->raise();
    } else if (t == u"SelectPoint"_s) {
        m_calculator->RevSetPoint(m_map->toMapPoint(x, y));
    } else if (t == u"HotLink"_s) {
        DoHotlink(x, y);
    }
}

void frmMapView::DoHotlink(double x, double y)
{
    m_legend->CheckHotlink(x, y);
}

void frmMapView::Map_Click()
{
    if (tool() != u"Measure"_s || !m_hasCurrent)
        return;
    m_measureTotal += m_measureSegment;
    m_shell->setStatusText(1, measureDistanceText(m_measureTotal));
    m_measureStart = m_measureCurrent;
}

void frmMapView::Map_DblClick()
{
    if (tool() != u"Measure"_s)
        return;
    m_measureTotal = 0;
    m_measureStart = {0, 0};
}

void frmMapView::Map_AfterLayerDraw(int index, QPainter *painter)
{
    Q_UNUSED(painter);
    const LayerList &layers = m_map->layers();
    if (index >= 0 && index < layers.size()) {
        const auto &layer = layers[index];
        const QString expression = layer->Tag();
        if (!expression.isEmpty() && layer->LayerType() == MapLayer::VectorLayerType) {
            const auto &vector = static_cast<const VectorLayer &>(*layer);
            const RecordSet matches = vector.SearchExpression(expression);
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
        m_graphics->Draw(*painter, m_map->viewport(), m_paintMessages.get());
        if (!m_map->isOutputting()) // a printed page's scale is not the window's
            m_scaleBar->UpdateScale();
    }
}
