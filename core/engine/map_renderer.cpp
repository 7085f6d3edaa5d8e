#include "core/engine/map_renderer.h"

#include "core/common/vector_state.h"
#include "core/engine/labels.h"

#include <QFont>
#include <QPainter>

void renderMap(QPainter &painter, const MapViewport &viewport, const LayerList &layers,
               const std::function<void(int, QPainter &)> &afterLayerDraw)
{
    for (int i = int(layers.size()) - 1; i >= 0; --i) {
        const auto &layer = layers[i];
        if (layer && layer->isVisible())
            layer->draw(painter, viewport);
        if (afterLayerDraw)
            afterLayerDraw(i, painter);
    }
    // Labels over every layer, those of the upper layers placed first.
    LabelPlacer placer;
    for (const auto &layer : layers) {
        if (layer && layer->isVisible())
            layer->drawLabels(painter, viewport, placer);
    }
    clearUpperVectorState(); // what runs after a redraw is SSE code
}

void drawMapText(QPainter &painter, const MapViewport &viewport, const QString &text,
                 const MapPoint &at, const QFont &font, const QColor &color)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(viewport.toDevice(at), text);
    painter.restore();
}

std::optional<int> commonUtmZone(const LayerList &layers)
{
    std::optional<int> zone;
    for (const auto &layer : layers) {
        const auto own = layer ? layer->utmZone() : std::nullopt;
        if (!own)
            continue;
        if (zone && *zone != *own)
            return std::nullopt;
        zone = own;
    }
    return zone;
}
