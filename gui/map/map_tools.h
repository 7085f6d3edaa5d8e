#pragma once

#include "core/engine/map_renderer.h"
#include "gui/map/map.h"

#include <functional>

class IdentifyWindow;

// The tools of the toolbar, one of which is pressed at a time.
enum class MapToolKind { None, Identify, Pan, Measure, ZoomIn, ZoomOut, SelectPoint, HotLink };

// One tool of the map window's toolbar: what a press, a move, a release, a click (after every
// release) and a double click do. The map hands each mouse event to its tool (Map::setTool), its
// position already a map point.
class MapTool
{
public:
    virtual ~MapTool();
    virtual void press(const MapEvent &) {}
    virtual void move(const MapEvent &) {}
    virtual void release(const MapEvent &) {}
    virtual void click() {}
    virtual void doubleClick() {}
};

// Pan: the map follows the dragged mouse. Does not take ownership of the map.
class PanTool final : public MapTool
{
public:
    explicit PanTool(Map &map)
        : m_map(map)
    {}
    void press(const MapEvent &) override;

private:
    Map &m_map;
};

// Zoom In: to the rectangle dragged; a click without a drag does nothing.
class ZoomInTool final : public MapTool
{
public:
    explicit ZoomInTool(Map &map)
        : m_map(map)
    {}
    void press(const MapEvent &) override;

private:
    Map &m_map;
};

// Zoom Out: each press shows one and a half times as much, about the same centre.
class ZoomOutTool final : public MapTool
{
public:
    explicit ZoomOutTool(Map &map)
        : m_map(map)
    {}
    void press(const MapEvent &) override;

private:
    Map &m_map;
};

// Measure: the distance from the press to the mouse in feet, each click adding the segment to
// the total, a double click starting over. Writes to status panel 1 and has the line measured
// drawn over the map.
class MeasureTool final : public MapTool
{
public:
    using StatusText = std::function<void(const QString &)>;
    using DrawLine = std::function<void(const QList<MapPoint> &)>;
    MeasureTool(StatusText status, DrawLine draw)
        : m_status(std::move(status))
        , m_draw(std::move(draw))
    {}
    void press(const MapEvent &e) override;
    void move(const MapEvent &e) override;
    void click() override;
    void doubleClick() override;

private:
    StatusText m_status;
    DrawLine m_draw;
    MapPoint m_start;
    MapPoint m_current;
    bool m_hasCurrent = false;
    bool m_measuring = false;
    double m_total = 0;
    double m_segment = 0;
};

// Identify In Active Themes: the features of the active themes at the released point, listed in
// the identify window, the top theme first, and handed on to be outlined on the map. Does not
// take ownership of the window.
class IdentifyTool final : public MapTool
{
public:
    using Outline = std::function<void(const QList<RecordSet> &)>;
    IdentifyTool(std::function<LayerList()> activeThemes, std::function<IdentifyWindow *()> window,
                 Outline outline)
        : m_activeThemes(std::move(activeThemes))
        , m_window(std::move(window))
        , m_outline(std::move(outline))
    {}
    void release(const MapEvent &e) override;

private:
    std::function<LayerList()> m_activeThemes;
    std::function<IdentifyWindow *()> m_window;
    Outline m_outline;
};

// A tool that hands the released point on (Select Point to the calculators, HotLink to the
// legend).
class PointTool final : public MapTool
{
public:
    explicit PointTool(std::function<void(const MapEvent &)> onRelease)
        : m_onRelease(std::move(onRelease))
    {}
    void release(const MapEvent &e) override { m_onRelease(e); }

private:
    std::function<void(const MapEvent &)> m_onRelease;
};
