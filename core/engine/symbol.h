#pragma once

#include <QColor>
#include <QString>
#include <Qt>

class QPainter;
class QPointF;

// Style codes are positions in the symbol dialog's lists.
enum class FillStyle : qint16 {
    Solid = 0,
    Transparent = 1,
    Horizontal = 2,
    Vertical = 3,
    UpwardDiagonal = 4,
    DownwardDiagonal = 5,
    Cross = 6,
    DiagonalCross = 7,
    LightGray = 8,
    Gray = 9,
    DarkGray = 10,
};
enum class LineStyle : qint16 { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };
enum class MarkerStyle : qint16 { Circle = 0, Square = 1, Triangle = 2, Cross = 3, TrueType = 4 };

// How a vector layer or a set of records is drawn. What the style code means depends on the
// shape kind: markers for points, line styles for lines, fills for polygons (the symbol dialog
// offers the list that fits and the project file keeps the code); read it through the accessor
// of the kind. For polygons size is the outline width, for lines the line width, for points the
// marker size, all in pixels.
struct Symbol
{
    qint16 style = 0;
    QColor color = Qt::black;
    QColor outlineColor = Qt::black;
    double size = 1.0;
    bool outline = true;
    QString font = QStringLiteral("Sans Serif"); // marker style TrueType
    int characterIndex = 0x25CF;
    // The field whose values label the features; empty: the theme's own labels (section
    // numbers on a section theme, none on others); NoLabels: none at all.
    QString labelField = {};
    static inline const QString NoLabels = QStringLiteral("<none>");

    FillStyle fillStyle() const { return FillStyle(style); }
    LineStyle lineStyle() const { return LineStyle(style); }
    MarkerStyle markerStyle() const { return MarkerStyle(style); }
    void setFillStyle(FillStyle fill) { style = qint16(fill); }
};

Qt::BrushStyle brushStyleFor(FillStyle fillStyle);
Qt::PenStyle penStyleFor(LineStyle lineStyle);
// Draws one marker centred on a device point.
void drawMarker(QPainter &painter, const QPointF &at, const Symbol &symbol);
// Pen and brush set up for a fill symbol, a line symbol or a marker.
void setupFill(QPainter &painter, const Symbol &symbol);
void setupLine(QPainter &painter, const Symbol &symbol);
