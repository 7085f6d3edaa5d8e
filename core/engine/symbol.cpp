#include "core/engine/symbol.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

Qt::BrushStyle brushStyleFor(FillStyle fillStyle)
{
    switch (fillStyle) {
    case FillStyle::Solid:
        return Qt::SolidPattern;
    case FillStyle::Transparent:
        return Qt::NoBrush;
    case FillStyle::Horizontal:
        return Qt::HorPattern;
    case FillStyle::Vertical:
        return Qt::VerPattern;
    case FillStyle::UpwardDiagonal:
        return Qt::BDiagPattern; // "/": rising to the right
    case FillStyle::DownwardDiagonal:
        return Qt::FDiagPattern; // "\"
    case FillStyle::Cross:
        return Qt::CrossPattern;
    case FillStyle::DiagonalCross:
        return Qt::DiagCrossPattern;
    case FillStyle::LightGray:
        return Qt::Dense6Pattern;
    case FillStyle::Gray:
        return Qt::Dense4Pattern;
    case FillStyle::DarkGray:
        return Qt::Dense2Pattern;
    }
    return Qt::SolidPattern;
}

Qt::PenStyle penStyleFor(LineStyle lineStyle)
{
    switch (lineStyle) {
    case LineStyle::Solid:
        return Qt::SolidLine;
    case LineStyle::Dash:
        return Qt::DashLine;
    case LineStyle::Dot:
        return Qt::DotLine;
    case LineStyle::DashDot:
        return Qt::DashDotLine;
    case LineStyle::DashDotDot:
        return Qt::DashDotDotLine;
    }
    return Qt::SolidLine;
}

void setupFill(QPainter &painter, const Symbol &symbol)
{
    if (symbol.outline) {
        QPen pen(symbol.outlineColor);
        pen.setWidthF(std::clamp(symbol.size, 0.0, 100.0));
        pen.setCosmetic(true);
        painter.setPen(pen);
    } else {
        painter.setPen(Qt::NoPen);
    }
    painter.setBrush(QBrush(symbol.color, brushStyleFor(symbol.fillStyle())));
}

void setupLine(QPainter &painter, const Symbol &symbol)
{
    QPen pen(symbol.color);
    pen.setWidthF(std::clamp(symbol.size, 0.0, 100.0));
    pen.setStyle(penStyleFor(symbol.lineStyle()));
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
}

void drawMarker(QPainter &painter, const QPointF &at, const Symbol &symbol)
{
    const double size = std::clamp(symbol.size, 1.0, 200.0);
    const double h = size / 2;
    const QColor fill = symbol.color;
    painter.setPen(symbol.outline ? QPen(symbol.outlineColor, 1) : QPen(Qt::NoPen));
    painter.setBrush(fill);
    switch (symbol.markerStyle()) {
    case MarkerStyle::Square:
        painter.drawRect(QRectF(at.x() - h, at.y() - h, size, size));
        break;
    case MarkerStyle::Triangle: {
        const QPointF pts[3] = {
            {at.x(), at.y() - h}, {at.x() + h, at.y() + h}, {at.x() - h, at.y() + h}};
        painter.drawPolygon(pts, 3);
        break;
    }
    case MarkerStyle::Cross: {
        QPen pen(fill, std::max(1.0, size / 6));
        painter.setPen(pen);
        painter.drawLine(QPointF(at.x() - h, at.y()), QPointF(at.x() + h, at.y()));
        painter.drawLine(QPointF(at.x(), at.y() - h), QPointF(at.x(), at.y() + h));
        break;
    }
    case MarkerStyle::TrueType: {
        QFont font(symbol.font);
        font.setPixelSize(std::max(1, int(size)));
        painter.setFont(font);
        painter.setPen(fill);
        const QString glyph = QString(QChar(char16_t(symbol.characterIndex & 0xFFFF)));
        painter.drawText(QRectF(at.x() - size, at.y() - size, 2 * size, 2 * size), Qt::AlignCenter,
                         glyph);
        break;
    }
    case MarkerStyle::Circle:
    default:
        painter.drawEllipse(at, h, h);
        break;
    }
}
