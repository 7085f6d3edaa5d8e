#include "gui/map/map_overlays.h"

#include "core/document/theme_list.h"
#include "core/engine/map_viewport.h"
#include "core/engine/vector_layer.h"

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
