#pragma once

#include <QList>
#include <QMetaType>

// Map coordinates are the data's units: metres of the UTM projection of the themes.

struct MapPoint
{
    double X = 0.0; // easting
    double Y = 0.0; // northing
    friend bool operator==(const MapPoint &, const MapPoint &) = default;
};

// An axis-aligned rectangle in map units; top is the larger northing.
class MapRect
{
public:
    MapRect() = default;
    MapRect(double left, double right, double top, double bottom)
        : m_left(left)
        , m_right(right)
        , m_top(top)
        , m_bottom(bottom)
    {}

    double left() const { return m_left; }
    double right() const { return m_right; }
    double top() const { return m_top; }
    double bottom() const { return m_bottom; }
    double width() const { return m_right - m_left; }
    double height() const { return m_top - m_bottom; }
    MapPoint center() const { return {(m_left + m_right) / 2, (m_top + m_bottom) / 2}; }
    // A rectangle made from nothing (no features) is null; a single point is not.
    bool isNull() const { return m_null; }
    bool isFinite() const;

    // Widens or narrows about the centre: 1.5 makes it half as large again on each axis.
    void scaleRectangle(double factor);
    bool contains(const MapPoint &p) const;
    bool intersects(const MapRect &other) const;
    MapRect united(const MapRect &other) const;
    void include(const MapPoint &p);

    static MapRect null() { return MapRect(true); }
    friend bool operator==(const MapRect &, const MapRect &) = default;

private:
    explicit MapRect(bool isNullRect)
        : m_null(isNullRect)
    {}
    double m_left = 0, m_right = 0, m_top = 0, m_bottom = 0;
    bool m_null = false;
};

// A rectangle grown about its centre by `fraction` of its size on each side: a full extent
// shown with a small margin, so nothing touches the window's edge.
MapRect withMargin(const MapRect &rect, double fraction = 0.03);

// A polygon, polyline or point set: parts of vertices in stored order.
class MapPolygon
{
public:
    using Part = QList<MapPoint>;
    MapPolygon() = default;
    explicit MapPolygon(QList<Part> parts);

    const QList<Part> &parts() const { return m_parts; }
    int partCount() const { return int(m_parts.size()); }
    bool isEmpty() const { return m_parts.isEmpty(); }
    const MapRect &extent() const { return m_extent; }
    // Even-odd rule over all rings, so holes are outside.
    bool contains(const MapPoint &p) const;

private:
    QList<Part> m_parts;
    MapRect m_extent = MapRect::null();
};

Q_DECLARE_METATYPE(MapPoint)
Q_DECLARE_METATYPE(MapRect)
Q_DECLARE_METATYPE(MapPolygon)

// Even-odd point in ring test over a flat run of vertices (x0,y0,x1,y1,...).
bool ringContains(const double *xy, int vertexCount, double x, double y);
// Distance from a point to the segment a-b.
double segmentDistance(double px, double py, double ax, double ay, double bx, double by);
