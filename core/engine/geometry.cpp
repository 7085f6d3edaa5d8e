#include "core/engine/geometry.h"

#include <algorithm>
#include <cmath>

bool MapRect::isFinite() const
{
    return std::isfinite(m_left) && std::isfinite(m_right) && std::isfinite(m_top) &&
           std::isfinite(m_bottom);
}

void MapRect::scaleRectangle(double factor)
{
    const MapPoint c = center();
    const double halfW = width() * factor / 2;
    const double halfH = height() * factor / 2;
    m_left = c.X - halfW;
    m_right = c.X + halfW;
    m_top = c.Y + halfH;
    m_bottom = c.Y - halfH;
}

bool MapRect::contains(const MapPoint &p) const
{
    return !m_null && p.X >= m_left && p.X <= m_right && p.Y >= m_bottom && p.Y <= m_top;
}

bool MapRect::intersects(const MapRect &o) const
{
    return !m_null && !o.m_null && m_left <= o.m_right && o.m_left <= m_right &&
           m_bottom <= o.m_top && o.m_bottom <= m_top;
}

MapRect MapRect::united(const MapRect &o) const
{
    if (m_null)
        return o;
    if (o.m_null)
        return *this;
    return MapRect(std::min(m_left, o.m_left), std::max(m_right, o.m_right),
                   std::max(m_top, o.m_top), std::min(m_bottom, o.m_bottom));
}

void MapRect::include(const MapPoint &p)
{
    if (m_null) {
        *this = MapRect(p.X, p.X, p.Y, p.Y);
        return;
    }
    m_left = std::min(m_left, p.X);
    m_right = std::max(m_right, p.X);
    m_top = std::max(m_top, p.Y);
    m_bottom = std::min(m_bottom, p.Y);
}

MapPolygon::MapPolygon(QList<Part> parts)
    : m_parts(std::move(parts))
{
    for (const Part &part : m_parts) {
        for (const MapPoint &p : part)
            m_extent.include(p);
    }
}

bool MapPolygon::contains(const MapPoint &p) const
{
    bool inside = false;
    for (const Part &part : m_parts) {
        const qsizetype n = part.size();
        for (qsizetype i = 0, j = n - 1; i < n; j = i++) {
            const MapPoint &a = part[i];
            const MapPoint &b = part[j];
            if ((a.Y > p.Y) != (b.Y > p.Y) && p.X < (b.X - a.X) * (p.Y - a.Y) / (b.Y - a.Y) + a.X)
                inside = !inside;
        }
    }
    return inside;
}

bool ringContains(const double *xy, int vertexCount, double x, double y)
{
    bool inside = false;
    for (int i = 0, j = vertexCount - 1; i < vertexCount; j = i++) {
        const double ax = xy[2 * i], ay = xy[2 * i + 1];
        const double bx = xy[2 * j], by = xy[2 * j + 1];
        if ((ay > y) != (by > y) && x < (bx - ax) * (y - ay) / (by - ay) + ax)
            inside = !inside;
    }
    return inside;
}

double segmentDistance(double px, double py, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

MapRect withMargin(const MapRect &rect, double fraction)
{
    if (rect.isNull())
        return rect;
    MapRect grown = rect;
    grown.scaleRectangle(1 + 2 * fraction);
    return grown;
}
