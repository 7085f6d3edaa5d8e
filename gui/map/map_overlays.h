#pragma once

#include "core/engine/geometry.h"
#include "core/engine/map_graphics.h"
#include "core/engine/record_set.h"
#include "core/engine/symbol.h"

#include <QHash>
#include <QList>
#include <QPen>
#include <QPointer>
#include <QSet>

#include <functional>
#include <vector>

class MapLayer;
class MapViewport;
class MessageService;
class QPainter;
class ThemeList;
class WellsModel;

// Something the map draws over its layers, on screen and on a printed page: the wells' marks, the
// quarter lines, a query's matches, what Identify found, the line measured. The map owns its
// overlays and paints them in order of their level after the layers, over the picture of the
// layers it keeps, so changing an overlay repaints without drawing the layers again.
class MapOverlay
{
public:
    // Where an overlay stands among the others; a higher level is drawn later, on top.
    enum class Level { QueryMatches, Identified, Marks, ToolLine };

    virtual ~MapOverlay();
    virtual void paint(QPainter &painter, const MapViewport &viewport) = 0;
};

// The graphics list: the calculators' wells, parcels and quarter lines.
class GraphicsOverlay final : public MapOverlay
{
public:
    MapGraphics &graphics() { return m_graphics; }
    // Where anomalies met while drawing are reported (never a modal box during a paint).
    void setNotices(MessageService *notices) { m_notices = notices; }
    void paint(QPainter &painter, const MapViewport &viewport) override;

private:
    MapGraphics m_graphics;
    MessageService *m_notices = nullptr;
};

// Records outlined or filled with one symbol (what Identify found).
class RecordsOverlay final : public MapOverlay
{
public:
    explicit RecordsOverlay(const Symbol &symbol)
        : m_symbol(symbol)
    {}
    const QList<RecordSet> &records() const { return m_records; }
    void setRecords(const QList<RecordSet> &records) { m_records = records; }
    void paint(QPainter &painter, const MapViewport &viewport) override;

private:
    Symbol m_symbol;
    QList<RecordSet> m_records;
};

// A polyline in map units (the measure tool's line); empty for none.
class LineOverlay final : public MapOverlay
{
public:
    explicit LineOverlay(const QPen &pen)
        : m_pen(pen)
    {}
    const QList<MapPoint> &points() const { return m_points; }
    void setPoints(const QList<MapPoint> &points) { m_points = points; }
    void paint(QPainter &painter, const MapViewport &viewport) override;

private:
    QPen m_pen;
    QList<MapPoint> m_points;
};

// The features of each theme matching its query expression, drawn with the highlight symbol.
// Matches are searched once per theme and expression and kept (by the theme's key in its list,
// never holding the layer) until either changes. An expression that cannot be evaluated is
// handed to `refused` once, with the theme's name. Does not take ownership of the list.
class QueryMatchesOverlay final : public MapOverlay
{
public:
    using Refused = std::function<void(const QString &expression, const QString &theme)>;
    QueryMatchesOverlay(ThemeList *themes, const Symbol &highlight, Refused refused);
    void paint(QPainter &painter, const MapViewport &viewport) override;

private:
    struct Matches
    {
        QString expression;
        std::vector<int> rows;
        bool valid = true; // the expression can be evaluated on the theme
        bool reported = false;
    };
    QPointer<ThemeList> m_themes;
    Symbol m_highlight;
    Refused m_refused;
    QHash<quint64, Matches> m_matches;
};

// The wells of a list, each located one as a ring with its id beside it, at a fixed size on
// screen; a label is left out where it would cover one drawn before, so a full state's wells
// stay readable. The selected wells are filled. Does not take ownership of the model.
class WellsOverlay final : public MapOverlay
{
public:
    explicit WellsOverlay(const WellsModel *wells)
        : m_wells(wells)
    {}
    void setSelected(const QSet<int> &rows) { m_selected = rows; }
    const QSet<int> &selected() const { return m_selected; }
    void paint(QPainter &painter, const MapViewport &viewport) override;

private:
    const WellsModel *m_wells;
    QSet<int> m_selected;
};
