#pragma once

#include "core/engine/symbol.h"
#include "core/engine/vector_geometry.h"

#include <vector>

class MapViewport;
class QPainter;

// Features less than this many pixels across are outlined one pixel wide, whatever the symbol's
// width.
constexpr double ThinLineBelow = 4;

// Paints the given rows of a layer's geometry with one symbol: markers for points, polylines for
// lines, even-odd filled polygons; features smaller than a pixel as a dot. The rows must lie in
// the geometry; their order is the order of painting.
void paintFeatures(QPainter &painter, const MapViewport &viewport, const VectorGeometry &geometry,
                   ShapeType shapeType, const std::vector<int> &rows, const Symbol &symbol);
