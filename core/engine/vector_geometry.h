#pragma once

#include "core/engine/geometry.h"
#include "core/engine/spatial_index.h"

#include <vector>

// What a vector layer holds; the numbers are the shape types of the shapefile format.
enum class ShapeType { None = 0, Points = 21, Lines = 22, Polygons = 23 };

// The shapes of a vector layer in flat arrays: feature f owns parts
// [featureParts[f], featureParts[f + 1]), part p owns vertices [partVertices[p], partVertices[p +
// 1]) of xy (x, y interleaved). One bounding box per feature, with an R-tree over them.
struct VectorGeometry
{
    std::vector<int> featureParts{0};
    std::vector<int> partVertices{0};
    std::vector<double> xy;
    std::vector<SpatialIndex::Box> boxes;
    SpatialIndex index;

    int featureCount() const { return int(boxes.size()); }
    int firstPart(int row) const { return featureParts[std::size_t(row)]; }
    int endPart(int row) const { return featureParts[std::size_t(row) + 1]; }
    int firstVertex(int part) const { return partVertices[std::size_t(part)]; }
    int endVertex(int part) const { return partVertices[std::size_t(part) + 1]; }
    double x(int vertex) const { return xy[2 * std::size_t(vertex)]; }
    double y(int vertex) const { return xy[2 * std::size_t(vertex) + 1]; }

    MapPolygon shapeOf(int row) const;
    // Inside by the even-odd rule over all of the feature's rings.
    bool containsPoint(int row, double px, double py) const;
    // Distance to the nearest vertex or segment; 0 inside a polygon when `polygon`.
    double distanceTo(int row, double px, double py, bool polygon) const;
    // Rows whose boxes meet the window, in file order.
    std::vector<int> candidates(const SpatialIndex::Box &window) const;
};
