#pragma once

#include "core/engine/map_layer.h"
#include "core/engine/map_viewport.h"

#include <QColor>
#include <QList>

#include <functional>
#include <memory>

class QFont;
class QPainter;

// The UTM zone the layers are in: the zone of those whose files name one, when they all name
// the same; nothing when none does or they disagree.
std::optional<int> commonUtmZone(const LayerList &layers);

// Paints a layer list onto any QPainter: the screen's back buffer, an image, a printer page.
// Index 0 is on top, so layers are painted from the last index to 0; after each visible or
// hidden layer the callback gets its index and the painter, index 0 last. The labels of the
// visible layers follow, over all of them.
void renderMap(QPainter &painter, const MapViewport &viewport, const LayerList &layers,
               const std::function<void(int layerIndex, QPainter &painter)> &afterLayerDraw = {});

// Text with its lower left corner at a map point.
void drawMapText(QPainter &painter, const MapViewport &viewport, const QString &text,
                 const MapPoint &at, const QFont &font, const QColor &color);
