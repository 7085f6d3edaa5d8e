#include "gui/map/map_tools.h"

#include "core/engine/status_text.h"
#include "core/engine/vector_layer.h"
#include "gui/map/identify_window.h"

#include <cmath>

MapTool::~MapTool() = default;

void PanTool::press(const MapEvent &)
{
    m_map.pan();
}

void ZoomInTool::press(const MapEvent &)
{
    m_map.trackRectangle();
}

void ZoomOutTool::press(const MapEvent &)
{
    MapRect extent = m_map.extent();
    extent.scaleRectangle(1.5);
    m_map.setExtent(extent);
}

void MeasureTool::press(const MapEvent &e)
{
    m_start = e.point;
    m_current = e.point;
    m_hasCurrent = true;
    m_measuring = true;
    m_total = 0;
    m_segment = 0;
    m_status(measureStartText(m_start));
    m_draw({});
}

void MeasureTool::move(const MapEvent &e)
{
    m_current = e.point;
    m_hasCurrent = true;
    if (!m_measuring)
        return;
    m_segment = std::hypot(m_current.X - m_start.X, m_current.Y - m_start.Y);
    m_status(measureSegmentText(m_segment, m_total + m_segment));
    m_draw({m_start, m_current});
}

void MeasureTool::click()
{
    if (!m_hasCurrent)
        return;
    m_total += m_segment;
    m_status(measureDistanceText(m_total));
    m_start = m_current;
}

void MeasureTool::doubleClick()
{
    m_total = 0;
    m_start = {0, 0};
    m_draw({});
}

void IdentifyTool::release(const MapEvent &e)
{
    IdentifyWindow *identify = m_window();
    identify->clear();
    const LayerList active = m_activeThemes();
    QList<RecordSet> found;
    for (qsizetype i = active.size() - 1; i >= 0; --i) {
        const auto &layer = static_cast<const VectorLayer &>(*active[i]);
        found.append(layer.featuresAt(e.point, e.tolerance));
        identify->addResults(layer.name(), found.last());
    }
    m_outline(found);
    if (active.isEmpty())
        return;
    identify->show();
    identify->raise();
}
