#pragma once

#include "core/engine/geometry.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

#include <memory>

class MessageService;
class MapViewport;
class QPainter;

// Marks drawn over the map after every redraw: the calculators' result circles and quarter
// lines, and labels. They are not layers; the map window owns one MapGraphics.
class GraphicSymbol
{
public:
    virtual ~GraphicSymbol();
    // `notices` receives drawing anomalies; it must not open a modal box while painting (the
    // GUI posts its messages to the event loop).
    virtual void draw(QPainter &painter, const MapViewport &viewport,
                      MessageService *notices) const = 0;
};

class TextSymbol final : public GraphicSymbol
{
public:
    QString text;
    MapPoint position; // where the text stands (a copy of the point given)
    QColor color = Qt::black;
    QFont font;
    void draw(QPainter &painter, const MapViewport &viewport,
              MessageService *notices) const override;
};

// A line of map points; the calculators always give it two.
class LineSymbol final : public GraphicSymbol
{
public:
    QColor color = Qt::black;
    QList<MapPoint> points;
    // Appends a copy of the point; a third point is reported to `messages` but kept.
    void addPoint(const MapPoint &point, MessageService *messages = nullptr);
    void draw(QPainter &painter, const MapViewport &viewport,
              MessageService *notices) const override;
};

// A circle of a radius in map units; filled red when it is more than 2 pixels across.
class CircleSymbol final : public GraphicSymbol
{
public:
    MapPoint center;
    double radius = 0;
    QColor color = Qt::red;
    void draw(QPainter &painter, const MapViewport &viewport,
              MessageService *notices) const override;
};

// A located well: a red disc of a fixed size on the page or screen (10 pixels at 96 dpi, scaled
// to the device's resolution, so a printed mark is as large as the one on screen), with a white
// outline that shows on dark images and light fills alike, and its number beside it.
class WellMarkSymbol final : public GraphicSymbol
{
public:
    static constexpr double Diameter = 10; // pixels at 96 dpi, outline included
    MapPoint center;
    int number = 0; // none drawn when 0
    void draw(QPainter &painter, const MapViewport &viewport,
              MessageService *notices) const override;
};

// The parcel a description names, outlined lightly (amber, half transparent, a faint fill) so
// the mark on it stays what the eye finds; a line of the same width on screen and in print.
class ParcelSymbol final : public GraphicSymbol
{
public:
    MapPolygon parcel;
    void draw(QPainter &painter, const MapViewport &viewport,
              MessageService *notices) const override;
};

class MapGraphics
{
public:
    // Kept symbols stay until removeAll; those of the last result only (its quarter lines) go at
    // removeLastResult, when the next result or a failed calculation replaces them.
    enum class Lifetime { Kept, LastResult };

    void draw(QPainter &painter, const MapViewport &viewport, MessageService *notices) const;
    void addTextSymbol(const QString &text, const MapPoint &loc, const QColor &color);
    void addSymbol(std::shared_ptr<GraphicSymbol> symbol, Lifetime lifetime = Lifetime::Kept);
    void removeAll()
    {
        m_symbols.clear();
        m_lastResult.clear();
    }
    void removeLastResult();
    int count() const { return int(m_symbols.size()); }
    const QList<std::shared_ptr<GraphicSymbol>> &symbols() const { return m_symbols; }

private:
    QList<std::shared_ptr<GraphicSymbol>> m_symbols;
    QList<const GraphicSymbol *> m_lastResult;
};
