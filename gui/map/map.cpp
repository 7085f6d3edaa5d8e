#include "gui/map/map.h"

#include "core/document/theme_list.h"
#include "core/engine/vector_layer.h"
#include "gui/map/map_tools.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

Map::Map(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(16, 16);
    m_graphics = addOverlay(std::make_unique<GraphicsOverlay>(), MapOverlay::Level::Marks);
}

Map::~Map() = default;

void Map::setThemes(ThemeList *themes)
{
    if (m_themes)
        disconnect(m_themes, nullptr, this, nullptr);
    m_themes = themes;
    if (m_themes) {
        connect(m_themes, &ThemeList::themeAdded, this, &Map::themeAdded);
        connect(m_themes, &ThemeList::themesRemoved, this, &Map::refresh);
        connect(m_themes, &ThemeList::reordered, this, &Map::refresh);
        connect(m_themes, &ThemeList::appearanceChanged, this,
                [this](qsizetype index) { refreshRect(m_themes->at(index).layer->extent()); });
    }
    if (m_requested.isNull())
        setExtent(fullExtent());
    refresh();
}

LayerList Map::layers() const
{
    return m_themes ? m_themes->drawOrder() : LayerList();
}

int Map::layerCount() const
{
    return m_themes ? int(m_themes->size()) : 0;
}

void Map::themeAdded(qsizetype index)
{
    // The first theme with an extent, or a map never yet placed, shows the whole.
    bool first = true;
    for (qsizetype i = 0; i < m_themes->size(); ++i) {
        const auto &layer = m_themes->at(i).layer;
        if (i != index && layer->isValid() && !layer->extent().isNull())
            first = false;
    }
    if (first || m_requested.isNull())
        setExtent(withMargin(fullExtent()));
    else
        refresh();
}

MapRect Map::fullExtent() const
{
    MapRect all = MapRect::null();
    for (const auto &layer : layers()) {
        if (layer && layer->isValid())
            all = all.united(layer->extent());
    }
    return all;
}

void Map::setExtent(const MapRect &requested)
{
    if (requested.isNull() || !requested.isFinite())
        return;
    m_requested = requested;
    updateViewport();
    refresh();
}

void Map::updateViewport()
{
    m_viewport = MapViewport(m_requested, QSizeF(width(), height()));
}

void Map::refresh()
{
    m_dirty = true;
    m_dirtyArea = rect();
    update();
}

void Map::refreshRect(const MapRect &area)
{
    if (!m_viewport.isValid() || area.isNull()) {
        refresh();
        return;
    }
    const QPointF a = m_viewport.toDevice({area.left(), area.top()});
    const QPointF b = m_viewport.toDevice({area.right(), area.bottom()});
    const QRect device = QRectF(a, b).normalized().toAlignedRect().adjusted(-2, -2, 2, 2) & rect();
    if (device.isEmpty())
        return;
    m_dirty = true;
    m_dirtyArea = m_dirtyArea.united(device);
    update(device);
}

double Map::pickTolerance() const
{
    // A fourteenth of an inch on the screen, the reach of a click on a point or a line.
    if (!m_viewport.isValid())
        return 0.0;
    return logicalDpiX() / 14.4 * m_viewport.unitsPerPixel();
}

MapEvent Map::eventAt(const QPointF &pixel) const
{
    MapEvent e;
    e.point = m_viewport.toMap(pixel);
    e.pixel = pixel;
    e.tolerance = pickTolerance();
    return e;
}

MapEvent Map::eventFor(const QMouseEvent &event) const
{
    MapEvent e = eventAt(event.position());
    e.button = event.button();
    e.buttons = event.buttons();
    e.modifiers = event.modifiers();
    return e;
}

QPointF Map::fromMapPoint(const MapPoint &p) const
{
    return m_viewport.toDevice(p);
}

void Map::trackRectangle()
{
    if (m_pressed)
        m_gesture = Gesture::Tracking;
}

void Map::pan()
{
    if (m_pressed)
        m_gesture = Gesture::Panning;
}

void Map::insertOverlay(std::unique_ptr<MapOverlay> overlay, MapOverlay::Level level)
{
    auto at = std::find_if(m_overlays.begin(), m_overlays.end(),
                           [level](const auto &o) { return o.first > level; });
    m_overlays.insert(at, {level, std::move(overlay)});
    update();
}

void Map::paintOverlays(QPainter &painter, const MapViewport &viewport)
{
    for (const auto &[level, overlay] : m_overlays) {
        painter.save();
        overlay->paint(painter, viewport);
        painter.restore();
    }
}

void Map::zoomAbout(const QPointF &pixel, double factor)
{
    if (!m_viewport.isValid() || !(factor > 0))
        return;
    const MapPoint p = m_viewport.toMap(pixel);
    const MapRect e = m_viewport.extent();
    setExtent(MapRect(p.X - (p.X - e.left()) / factor, p.X + (e.right() - p.X) / factor,
                      p.Y + (e.top() - p.Y) / factor, p.Y - (p.Y - e.bottom()) / factor));
}

void Map::wheelEvent(QWheelEvent *event)
{
    // Each notch of the wheel zooms a quarter in or out about the pointer.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        zoomAbout(event->position(), std::pow(1.25, notches));
    event->accept();
}

MapViewport Map::outputMap(QPainter &painter, const QRectF &target, double imageDensity)
{
    if (target.isEmpty())
        return {};
    MapViewport printed(m_viewport.isValid() ? m_viewport.extent() : fullExtent(), target.size());
    printed.setImageDensity(imageDensity);
    painter.save();
    painter.setClipRect(target);
    painter.translate(target.topLeft());
    painter.fillRect(QRectF(QPointF(0, 0), target.size()), Qt::white);
    renderMap(painter, printed, layers());
    paintOverlays(painter, printed);
    painter.restore();
    return printed;
}

QImage Map::grabMap()
{
    if (m_dirty || m_buffer.size() != size())
        renderBuffer(rect());
    QImage shown = m_buffer;
    if (!shown.isNull() && m_viewport.isValid()) {
        QPainter painter(&shown);
        paintOverlays(painter, m_viewport);
    }
    return shown;
}

void Map::renderBuffer(const QRect &area)
{
    if (m_buffer.size() != size()) {
        m_buffer = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        m_dirtyArea = rect();
    }
    if (m_buffer.isNull())
        return;
    QPainter painter(&m_buffer);
    const QRect clip = area.isEmpty() ? rect() : area;
    painter.setClipRect(clip);
    painter.fillRect(clip, Qt::white);
    const LayerList drawn = layers();
    if (m_viewport.isValid())
        renderMap(painter, m_viewport, drawn);
    m_dirty = false;
    m_dirtyArea = QRect();
    if (m_viewport.isValid() && !drawn.isEmpty())
        Q_EMIT redrawn();
}

void Map::paintEvent(QPaintEvent *)
{
    if (m_dirty || m_buffer.size() != size())
        renderBuffer(m_buffer.size() != size() ? rect() : m_dirtyArea);
    QPainter painter(this);
    const bool panning = m_gesture == Gesture::Panning && m_pressed;
    if (panning) {
        // The picture follows the mouse, the overlays with it.
        painter.fillRect(rect(), Qt::white);
        painter.translate(m_currentPos - m_pressPos);
    }
    painter.drawImage(0, 0, m_buffer);
    if (m_viewport.isValid())
        paintOverlays(painter, m_viewport);
    if (m_gesture == Gesture::Tracking && m_pressed) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(m_pressPos, m_currentPos).normalized());
    }
}

void Map::resizeEvent(QResizeEvent *)
{
    if (m_requested.isNull())
        m_requested = withMargin(fullExtent());
    updateViewport();
    refresh();
}

void Map::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    m_gesture = Gesture::None;
    m_pressPos = m_currentPos = event->position().toPoint();
    if (m_tool)
        m_tool->press(eventFor(*event));
}

void Map::mouseMoveEvent(QMouseEvent *event)
{
    m_currentPos = event->position().toPoint();
    if (m_pressed && m_gesture != Gesture::None)
        update();
    const MapEvent e = eventFor(*event);
    if (m_tool)
        m_tool->move(e);
    Q_EMIT pointerMoved(e.point);
}

void Map::mouseReleaseEvent(QMouseEvent *event)
{
    m_currentPos = event->position().toPoint();
    const Gesture gesture = m_gesture;
    m_pressed = false;
    m_gesture = Gesture::None;
    if (gesture == Gesture::Tracking) {
        const MapPoint a = m_viewport.toMap(m_pressPos);
        const MapPoint b = m_viewport.toMap(m_currentPos);
        update();
        Q_EMIT rectangleTracked(MapRect(std::min(a.X, b.X), std::max(a.X, b.X), std::max(a.Y, b.Y),
                                        std::min(a.Y, b.Y)));
    } else if (gesture == Gesture::Panning) {
        const QPoint moved = m_currentPos - m_pressPos;
        if (m_viewport.isValid() && !moved.isNull()) {
            const double upp = m_viewport.unitsPerPixel();
            const MapRect e = m_viewport.extent();
            setExtent(MapRect(e.left() - moved.x() * upp, e.right() - moved.x() * upp,
                              e.top() + moved.y() * upp, e.bottom() + moved.y() * upp));
        } else {
            update();
        }
        Q_EMIT panned();
    }
    if (m_tool) {
        m_tool->release(eventFor(*event));
        m_tool->click();
    }
}

void Map::mouseDoubleClickEvent(QMouseEvent *)
{
    if (m_tool)
        m_tool->doubleClick();
}
