#include "gui/map/map_overlays.h"

#include "core/document/theme_list.h"
#include "core/engine/labels.h"
#include "core/engine/map_viewport.h"
#include "core/engine/vector_layer.h"
#include "core/wells/wells_model.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
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
    const double digitWidth = 0.8 * metrics.horizontalAdvance(QChar(u'0'));
    const QPen ring(QColor(0, 70, 200), 2 * scale);
    // One ring drawn once and stamped at every well: thousands of wells cost little.
    const int stampSide = int(std::ceil(2 * radius + 2 * scale + 2));
    QImage stamp(stampSide, stampSide, QImage::Format_ARGB32_Premultiplied);
    stamp.fill(Qt::transparent);
    {
        QPainter p(&stamp);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(ring);
        p.drawEllipse(QPointF(stampSide / 2.0, stampSide / 2.0), radius, radius);
    }
    const QPointF stampOffset(stampSide / 2.0, stampSide / 2.0);
    LabelPlacer placer(64 * scale);
    painter.save();
    LabelPainter labels(painter, font, QColor(0, 40, 120));
    const QList<Well> &wells = m_wells->wells();
    for (qsizetype row = 0; row < wells.size(); ++row) {
        const Well &w = wells[row];
        if (!w.located)
            continue;
        const QPointF at = viewport.toDevice(w.point);
        if (!bounds.contains(at))
            continue;
        const bool selected = m_selected.contains(int(row));
        if (selected) {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(ring);
            painter.setBrush(QColor(255, 220, 0));
            painter.drawEllipse(at, radius * 1.5, radius * 1.5);
            painter.restore();
        } else {
            painter.drawImage(at - stampOffset, stamp);
        }
        // Below and to the right of the ring. Where even a narrow guess of its width covers a
        // label drawn, no text is laid out for it; else it is measured and placed.
        QRectF box(at.x() + radius + 2 * scale, at.y() + radius,
                   digitWidth * double(w.entry.id.size()), metrics.height());
        if (!selected && !placer.fits(box))
            continue;
        box.setWidth(metrics.horizontalAdvance(w.entry.id));
        if (placer.take(box) || selected)
            labels.draw(box, w.entry.id);
    }
    painter.restore();
}
