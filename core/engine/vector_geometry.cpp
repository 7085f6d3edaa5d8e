#include "core/engine/vector_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

MapPolygon VectorGeometry::shapeOf(int row) const
{
    if (row < 0 || row >= featureCount())
        return {};
    QList<MapPolygon::Part> parts;
    for (int p = firstPart(row); p < endPart(row); ++p) {
        MapPolygon::Part part;
        part.reserve(endVertex(p) - firstVertex(p));
        for (int v = firstVertex(p); v < endVertex(p); ++v)
            part.append({x(v), y(v)});
        parts.append(std::move(part));
    }
    return MapPolygon(std::move(parts));
}

bool VectorGeometry::containsPoint(int row, double px, double py) const
{
    bool inside = false;
    for (int p = firstPart(row); p < endPart(row); ++p) {
        const int first = firstVertex(p);
        if (ringContains(xy.data() + 2 * std::size_t(first), endVertex(p) - first, px, py))
            inside = !inside;
    }
    return inside;
}

double VectorGeometry::distanceTo(int row, double px, double py, bool polygon) const
{
    if (polygon && containsPoint(row, px, py))
        return 0.0;
    double best = std::numeric_limits<double>::infinity();
    for (int p = firstPart(row); p < endPart(row); ++p) {
        const double *v = xy.data() + 2 * std::size_t(firstVertex(p));
        const int n = endVertex(p) - firstVertex(p);
        if (n == 1)
            best = std::min(best, std::hypot(px - v[0], py - v[1]));
        for (int i = 0; i + 1 < n; ++i)
            best = std::min(
                best, segmentDistance(px, py, v[2 * i], v[2 * i + 1], v[2 * i + 2], v[2 * i + 3]));
    }
    return best;
}

std::vector<int> VectorGeometry::candidates(const SpatialIndex::Box &window) const
{
    std::vector<int> rows;
    index.query(window, rows);
    std::sort(rows.begin(), rows.end());
    return rows;
}
