#include "core/engine/map_graphics.h"

#include "core/common/message_service.h"
#include "core/engine/map_renderer.h"
#include "core/engine/map_viewport.h"
#include "core/engine/symbol.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Device coordinates are whole pixels, rounded down, as the marks have always been placed.
QPoint toPixel(const MapViewport &viewport, const MapPoint &p)
{
    const QPointF d = viewport.toDevice(p);
    const auto clampToInt = [](double v) { return int(std::clamp(std::floor(v), -1.0e9, 1.0e9)); };
    return {clampToInt(d.x()), clampToInt(d.y())};
}

} // namespace

GraphicSymbol::~GraphicSymbol() = default;

void TextSymbol::draw(QPainter &painter, const MapViewport &viewport, MessageService *) const
{
    drawMapText(painter, viewport, text, position, font, color);
}

void LineSymbol::addPoint(const MapPoint &point, MessageService *messages)
{
    points.append(MapPoint{point.X, point.Y});
    if (points.size() > 2 && messages)
        messages->show(u"Weirdness in MapSymbol::AddPoint!"_s, MessageIcon::None);
}

void LineSymbol::draw(QPainter &painter, const MapViewport &viewport, MessageService *notices) const
{
    if (points.size() > 2 && notices)
        notices->show(u"Weirdness in MapSymbol::Draw!"_s, MessageIcon::None);
    if (points.size() < 2 || !viewport.isValid())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(color, 1, Qt::SolidLine));
    for (qsizetype i = 1; i < points.size(); ++i)
        painter.drawLine(toPixel(viewport, points[i - 1]), toPixel(viewport, points[i]));
    painter.restore();
}

void CircleSymbol::draw(QPainter &painter, const MapViewport &viewport, MessageService *) const
{
    if (!viewport.isValid())
        return;
    const QPoint a = toPixel(viewport, {center.X - radius, center.Y - radius});
    const QPoint b = toPixel(viewport, {center.X + radius, center.Y + radius});
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(color, 1, Qt::SolidLine));
    // The fill is red whatever the outline colour, as the marks have always been.
    const bool filled = std::abs(a.x() - b.x()) > 2 && std::abs(a.y() - b.y()) > 2;
    painter.setBrush(filled ? QBrush(Qt::red) : QBrush(Qt::NoBrush));
    painter.drawEllipse(QRect(a, b).normalized());
    painter.restore();
}

void ParcelSymbol::draw(QPainter &painter, const MapViewport &viewport, MessageService *) const
{
    if (!viewport.isValid() || parcel.isEmpty())
        return;
    QPainterPath path;
    for (const MapPolygon::Part &part : parcel.parts()) {
        QPolygonF ring;
        for (const MapPoint &p : part) {
            const QPointF at = viewport.toDevice(p);
            if (!std::isfinite(at.x()) || !std::isfinite(at.y()) || std::abs(at.x()) > 1e9 ||
                std::abs(at.y()) > 1e9)
                return;
            ring.append(at);
        }
        path.addPolygon(ring);
        path.closeSubpath();
    }
    const QPaintDevice *device = painter.device();
    const double scale = device ? std::max(1, device->logicalDpiX()) / 96.0 : 1.0;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(255, 140, 0, 190), 1.5 * scale, Qt::DashLine));
    painter.setBrush(QColor(255, 170, 0, 28));
    painter.drawPath(path);
    painter.restore();
}

void WellMarkSymbol::draw(QPainter &painter, const MapViewport &viewport, MessageService *) const
{
    if (!viewport.isValid())
        return;
    const QPointF at = viewport.toDevice(center);
    if (!std::isfinite(at.x()) || !std::isfinite(at.y()) || std::abs(at.x()) > 1e9 ||
        std::abs(at.y()) > 1e9)
        return;
    const QPaintDevice *device = painter.device();
    const double scale = device ? std::max(1, device->logicalDpiX()) / 96.0 : 1.0;
    const double outline = 1.5 * scale;
    const double radius = (Diameter / 2) * scale - outline / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::white, outline));
    painter.setBrush(QColor(255, 0, 0));
    painter.drawEllipse(at, radius, radius);
    if (number > 0) {
        // The number to the upper right, dark on a light halo so it reads over any theme.
        QFont font = painter.font();
        font.setBold(true);
        font.setPointSizeF(8);
        painter.setFont(font);
        const QString text = QString::number(number);
        const QPointF origin = at + QPointF(radius + 2 * scale, -radius - scale);
        QPainterPath path;
        path.addText(origin, font, text);
        painter.setPen(QPen(Qt::white, 3 * scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawPath(path);
    }
    painter.restore();
}

void MapGraphics::draw(QPainter &painter, const MapViewport &viewport,
                       MessageService *notices) const
{
    for (const auto &symbol : m_symbols)
        symbol->draw(painter, viewport, notices);
}

void MapGraphics::addTextSymbol(const QString &text, const MapPoint &loc, const QColor &color)
{
    auto symbol = std::make_shared<TextSymbol>();
    symbol->text = text;
    symbol->position = MapPoint{loc.X, loc.Y};
    symbol->color = color;
    m_symbols.append(std::move(symbol));
}

void MapGraphics::addSymbol(std::shared_ptr<GraphicSymbol> symbol, Lifetime lifetime)
{
    if (!symbol)
        return;
    if (lifetime == Lifetime::LastResult)
        m_lastResult.append(symbol.get());
    m_symbols.append(std::move(symbol));
}

void MapGraphics::removeLastResult()
{
    m_symbols.removeIf(
        [this](const std::shared_ptr<GraphicSymbol> &s) { return m_lastResult.contains(s.get()); });
    m_lastResult.clear();
}
