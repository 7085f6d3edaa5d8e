#include "gui/map/map.h"

#include "core/common/twips.h"
#include "core/document/theme_list.h"
#include "core/engine/vector_layer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {

int buttonCode(Qt::MouseButtons buttons)
{
    int code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    int code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace

Map::Map(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(16, 16);
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

double Map::twipsPerPixel() const
{
    return ::twipsPerPixel(logicalDpiX());
}

MapPoint Map::toMapPoint(double xTwips, double yTwips) const
{
    const double tpp = twipsPerPixel();
    return m_viewport.toMap(QPointF(xTwips / tpp, yTwips / tpp));
}

MapEvent Map::eventAt(double xTwips, double yTwips) const
{
    return {toMapPoint(xTwips, yTwips), toMapDistance(100)};
}

double Map::toMapDistance(double twips) const
{
    if (!m_viewport.isValid())
        return 0.0;
    return twips / twipsPerPixel() * m_viewport.unitsPerPixel();
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

void Map::setOverlayLine(const QList<MapPoint> &points)
{
    if (points == m_overlay)
        return;
    m_overlay = points;
    update();
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

void Map::drawShape(const RecordSet &records, const Symbol &symbol)
{
    if (!m_drawing || !records.layer())
        return;
    records.layer()->drawRows(*m_drawing, m_viewport, records.rows(), symbol);
}

void Map::drawText(const QString &text, const MapPoint &at, const QFont &font, const QColor &color)
{
    if (m_drawing)
        drawMapText(*m_drawing, m_viewport, text, at, font, color);
}

void Map::outputMap(QPainter &painter, const QRectF &target, double imageDensity)
{
    if (target.isEmpty())
        return;
    MapViewport printed(m_viewport.isValid() ? m_viewport.extent() : fullExtent(), target.size());
    printed.setImageDensity(imageDensity);
    painter.save();
    painter.setClipRect(target);
    painter.translate(target.topLeft());
    painter.fillRect(QRectF(QPointF(0, 0), target.size()), Qt::white);
    const MapViewport saved = m_viewport;
    QPainter *savedPainter = m_drawing;
    // Handlers of layerDrawn draw into the printed page in its own coordinates.
    m_viewport = printed;
    m_drawing = &painter;
    m_outputting = true;
    renderMap(painter, printed, layers(),
              [this](int index, QPainter &p) { Q_EMIT layerDrawn(index, &p); });
    m_outputting = false;
    m_drawing = savedPainter;
    m_viewport = saved;
    painter.restore();
}

QImage Map::grabMap()
{
    if (m_dirty || m_buffer.size() != size())
        renderBuffer(rect());
    return m_buffer;
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
    m_drawing = &painter;
    if (m_viewport.isValid())
        renderMap(painter, m_viewport, layers(),
                  [this](int index, QPainter &p) { Q_EMIT layerDrawn(index, &p); });
    m_drawing = nullptr;
    m_dirty = false;
    m_dirtyArea = QRect();
}

void Map::paintEvent(QPaintEvent *)
{
    if (m_dirty || m_buffer.size() != size())
        renderBuffer(m_buffer.size() != size() ? rect() : m_dirtyArea);
    QPainter painter(this);
    if (m_gesture == Gesture::Panning && m_pressed) {
        painter.fillRect(rect(), Qt::white);
        painter.drawImage(m_currentPos - m_pressPos, m_buffer);
        return;
    }
    painter.drawImage(0, 0, m_buffer);
    if (m_gesture == Gesture::Tracking && m_pressed) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(m_pressPos, m_currentPos).normalized());
    }
    if (m_overlay.size() >= 2 && m_viewport.isValid()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::red, 2));
        QPolygonF line;
        for (const MapPoint &p : std::as_const(m_overlay))
            line << m_viewport.toDevice(p);
        painter.drawPolyline(line);
    }
}

void Map::resizeEvent(QResizeEvent *)
{
    if (m_requested.isNull())
        m_requested = withMargin(fullExtent());
    updateViewport();
    refresh();
}

void Map::emitMouse(void (Map::*signal)(int, int, double, double), QMouseEvent *event)
{
    const double tpp = twipsPerPixel();
    const QPointF p = event->position();
    Q_EMIT(this->*signal)
    (buttonCode(event->buttons() | event->button()), shiftCode(event->modifiers()), p.x() * tpp,
     p.y() * tpp);
}

void Map::mousePressEvent(QMouseEvent *event)
{
    m_pressed = true;
    m_gesture = Gesture::None;
    m_pressPos = m_currentPos = event->position().toPoint();
    emitMouse(&Map::pressed, event);
}

void Map::mouseMoveEvent(QMouseEvent *event)
{
    m_currentPos = event->position().toPoint();
    if (m_pressed && m_gesture != Gesture::None)
        update();
    emitMouse(&Map::moved, event);
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
    emitMouse(&Map::released, event);
    Q_EMIT clicked();
}

void Map::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_UNUSED(event);
    Q_EMIT doubleClicked();
}
