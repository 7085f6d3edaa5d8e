#include "core/engine/vector_painter.h"

#include "core/engine/map_viewport.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

void paintMarkers(QPainter &painter, const MapViewport &viewport, const VectorGeometry &g,
                  const std::vector<int> &rows, const Symbol &symbol)
{
    for (int row : rows) {
        for (int p = g.firstPart(row); p < g.endPart(row); ++p) {
            for (int v = g.firstVertex(p); v < g.endVertex(p); ++v)
                drawMarker(painter, QPointF(viewport.toDeviceX(g.x(v)), viewport.toDeviceY(g.y(v))),
                           symbol);
        }
    }
}

// One feature, through a buffer reused from feature to feature.
void paintFeature(QPainter &painter, const MapViewport &viewport, const VectorGeometry &g,
                  bool lines, int row, std::vector<QPointF> &buffer)
{
    auto transformPart = [&](int p) {
        const int first = g.firstVertex(p);
        buffer.resize(std::size_t(g.endVertex(p) - first));
        for (int v = first; v < g.endVertex(p); ++v)
            buffer[std::size_t(v - first)] =
                QPointF(viewport.toDeviceX(g.x(v)), viewport.toDeviceY(g.y(v)));
    };
    const int firstPart = g.firstPart(row);
    const int endPart = g.endPart(row);
    if (lines) {
        for (int p = firstPart; p < endPart; ++p) {
            transformPart(p);
            painter.drawPolyline(buffer.data(), int(buffer.size()));
        }
        return;
    }
    if (endPart - firstPart == 1) {
        transformPart(firstPart);
        painter.drawPolygon(buffer.data(), int(buffer.size()), Qt::OddEvenFill);
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (int p = firstPart; p < endPart; ++p) {
        transformPart(p);
        path.addPolygon(QPolygonF(QList<QPointF>(buffer.begin(), buffer.end())));
        path.closeSubpath();
    }
    painter.drawPath(path);
}

} // namespace

void paintFeatures(QPainter &painter, const MapViewport &viewport, const VectorGeometry &geometry,
                   ShapeType shapeType, const std::vector<int> &rows, const Symbol &symbol)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (shapeType == ShapeType::Points) {
        paintMarkers(painter, viewport, geometry, rows, symbol);
        painter.restore();
        return;
    }
    if (shapeType == ShapeType::Lines)
        setupLine(painter, symbol);
    else
        setupFill(painter, symbol);
    std::vector<QPointF> buffer;
    std::vector<QPointF> dots; // features smaller than a pixel
    const double ppu = viewport.pixelsPerUnit();
    // A feature a few pixels across is drawn with a one-pixel line whatever the width: a wider
    // line would cover it all the same, and Qt's general stroker costs six times the one-pixel
    // line drawing (a whole state's sections at its full extent).
    const QPen widePen = painter.pen();
    const bool wide = widePen.style() != Qt::NoPen && widePen.widthF() > 1.0;
    QPen thinPen = widePen;
    thinPen.setWidthF(1.0);
    bool thin = false;
    for (int row : rows) {
        const auto &b = geometry.boxes[std::size_t(row)];
        const double across = std::max(b.maxX - b.minX, b.maxY - b.minY) * ppu;
        if (across < 1.0) {
            dots.emplace_back(viewport.toDeviceX(b.minX), viewport.toDeviceY(b.maxY));
            continue;
        }
        if (wide && (across < ThinLineBelow) != thin) {
            thin = !thin;
            painter.setPen(thin ? thinPen : widePen);
        }
        paintFeature(painter, viewport, geometry, shapeType == ShapeType::Lines, row, buffer);
    }
    if (!dots.empty()) {
        const QColor dotColor =
            shapeType == ShapeType::Polygons && symbol.outline ? symbol.outlineColor : symbol.color;
        painter.setPen(QPen(dotColor, 1));
        painter.drawPoints(dots.data(), int(dots.size()));
    }
    painter.restore();
}
