#include "core/engine/map_viewport.h"

#include <algorithm>
#include <cmath>

MapViewport::MapViewport(const MapRect &requested, const QSizeF &deviceSize)
    : m_size(deviceSize)
{
    if (requested.isNull() || !requested.isFinite() || deviceSize.width() <= 0 ||
        deviceSize.height() <= 0)
        return;
    const double w = std::fabs(requested.width());
    const double h = std::fabs(requested.height());
    double scale;
    if (w > 0 && h > 0)
        scale = std::min(deviceSize.width() / w, deviceSize.height() / h);
    else if (w > 0)
        scale = deviceSize.width() / w;
    else if (h > 0)
        scale = deviceSize.height() / h;
    else
        scale = 1.0; // a single point: one map unit per pixel around it
    if (!std::isfinite(scale) || scale <= 0)
        return;
    m_scale = scale;
    const MapPoint c = requested.center();
    const double halfW = deviceSize.width() / scale / 2;
    const double halfH = deviceSize.height() / scale / 2;
    m_extent = MapRect(c.X - halfW, c.X + halfW, c.Y + halfH, c.Y - halfH);
}
