#include "gui/map/map_overlays.h"

#include "core/document/theme_list.h"
#include "core/engine/map_viewport.h"
#include "core/engine/vector_layer.h"
#include "core/wells/wells_model.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QSet>

MapOverlay::~MapOverlay() = default;

void GraphicsOverlay::paint(QPainter &painter, const MapViewport &viewport)
{
    m_graphics.draw(painter, viewport, m_notices);
}

void RecordsOverlay::paint(QPainter &painter, const MapViewport &viewport)
{
    for (const RecordSet &found : std::as_const(m_records)) {
        if (found.layer())
            found.layer()->drawRows(painter, viewport, found.rows(), m_symbol);
    }
}

void LineOverlay::paint(QPainter &painter, const MapViewport &viewport)
{
    if (m_points.size() < 2)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(m_pen);
    QPolygonF line;
    for (const MapPoint &p : std::as_const(m_points))
        line << viewport.toDevice(p);
    painter.drawPolyline(line);
    painter.restore();
}

QueryMatchesOverlay::QueryMatchesOverlay(ThemeList *themes, const Symbol &highlight,
                                         Refused refused)
    : m_themes(themes)
    , m_highlight(highlight)
    , m_refused(std::move(refused))
{}

void QueryMatchesOverlay::paint(QPainter &painter, const MapViewport &viewport)
{
    if (!m_themes)
        return;
    QSet<quint64> present;
    // The list's first theme is drawn first, at the bottom, as the layers are.
    for (qsizetype i = 0; i < m_themes->size(); ++i) {
        const Theme &theme = m_themes->at(i);
        const auto &layer = theme.layer;
        const QString expression = layer->queryExpression();
        if (expression.isEmpty() || layer->layerType() != MapLayer::LayerType::Vector)
            continue;
        present.insert(theme.key);
        const auto &vector = static_cast<const VectorLayer &>(*layer);
        auto found = m_matches.find(theme.key);
        if (found == m_matches.end() || found->expression != expression) {
            Matches m;
            m.expression = expression;
            m.rows = vector.searchExpression(expression).rows();
            m.valid = !m.rows.empty() || vector.isValidExpression(expression);
            found = m_matches.insert(theme.key, m);
        }
        if (!found->rows.empty()) {
            vector.drawRows(painter, viewport, found->rows, m_highlight);
        } else if (!found->valid && !found->reported) {
            // Said once per expression; the other themes are drawn all the same.
            found->reported = true;
            if (m_refused)
                m_refused(expression, layer->name());
        }
    }
    // Themes that left the list, or whose query was cleared, take their matches with them.
    m_matches.removeIf([&present](auto it) { return !present.contains(it.key()); });
}

void WellsOverlay::paint(QPainter &painter, const MapViewport &viewport)
{
    if (!m_wells || !viewport.isValid() || m_wells->rowCount() == 0)
        return;
    const QPaintDevice *device = painter.device();
    const double scale = device ? std::max(1, device->logicalDpiX()) / 96.0 : 1.0;
    const double radius = 5 * scale;
    const QRectF bounds = QRectF(painter.viewport()).adjusted(-20, -20, 20, 20);
    QFont font = painter.font();
    font.setPointSizeF(8);
    const QFontMetricsF metrics(font, device);
    // Labels taken so far, by the cells of a coarse grid they touch.
    const double cell = 64 * scale;
    QHash<quint64, QList<QRectF>> taken;
    const auto cellKey = [](qint64 x, qint64 y) {
        return (quint64(quint32(x)) << 32) | quint32(y);
    };
    const auto fits = [&](const QRectF &r) {
        for (qint64 x = qint64(std::floor(r.left() / cell)); x <= qint64(r.right() / cell); ++x)
            for (qint64 y = qint64(std::floor(r.top() / cell)); y <= qint64(r.bottom() / cell); ++y)
                for (const QRectF &other : taken.value(cellKey(x, y)))
                    if (other.intersects(r))
                        return false;
        for (qint64 x = qint64(std::floor(r.left() / cell)); x <= qint64(r.right() / cell); ++x)
            for (qint64 y = qint64(std::floor(r.top() / cell)); y <= qint64(r.bottom() / cell); ++y)
                taken[cellKey(x, y)].append(r);
        return true;
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(font);
    const QPen ring(QColor(0, 70, 200), 2 * scale);
    const QPen halo(Qt::white, 3 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QList<Well> &wells = m_wells->wells();
    for (qsizetype row = 0; row < wells.size(); ++row) {
        const Well &w = wells[row];
        if (!w.located)
            continue;
        const QPointF at = viewport.toDevice(w.point);
        if (!bounds.contains(at))
            continue;
        const bool selected = m_selected.contains(int(row));
        painter.setPen(ring);
        painter.setBrush(selected ? QBrush(QColor(255, 220, 0)) : QBrush(Qt::NoBrush));
        painter.drawEllipse(at, selected ? radius * 1.5 : radius, selected ? radius * 1.5 : radius);
        const QPointF origin = at + QPointF(radius + 2 * scale, radius + metrics.ascent());
        const QRectF box(origin.x(), origin.y() - metrics.ascent(),
                         metrics.horizontalAdvance(w.entry.id), metrics.height());
        if (!selected && !fits(box))
            continue;
        // Dark on a light halo, so the id reads over any theme.
        QPainterPath path;
        path.addText(origin, font, w.entry.id);
        painter.setPen(halo);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 40, 120));
        painter.drawPath(path);
    }
    painter.restore();
}
