#pragma once

#include "core/engine/geometry.h"

#include <QPointF>
#include <QSizeF>

// What part of the map a device of a given size shows. A requested extent is shown whole and
// centred; the axis with room to spare is widened to the device's aspect, and extent() returns
// the rectangle actually shown.
class MapViewport
{
public:
    MapViewport() = default;
    MapViewport(const MapRect &requested, const QSizeF &deviceSize);

    const MapRect &extent() const { return m_extent; }
    const QSizeF &size() const { return m_size; }
    double pixelsPerUnit() const { return m_scale; }
    double unitsPerPixel() const { return 1.0 / m_scale; }
    bool isValid() const { return m_scale > 0 && m_size.width() > 0 && m_size.height() > 0; }
    // Image pixels wanted per device pixel: above 1 where the device is finer than its
    // coordinates (a printer addressed in screen pixels), so images keep their detail.
    double imageDensity() const { return m_imageDensity; }
    void setImageDensity(double density) { m_imageDensity = density > 1 ? density : 1; }

    QPointF toDevice(const MapPoint &p) const
    {
        return {(p.X - m_extent.left()) * m_scale, (m_extent.top() - p.Y) * m_scale};
    }
    double toDeviceX(double x) const { return (x - m_extent.left()) * m_scale; }
    double toDeviceY(double y) const { return (m_extent.top() - y) * m_scale; }
    MapPoint toMap(const QPointF &device) const
    {
        return {m_extent.left() + device.x() / m_scale, m_extent.top() - device.y() / m_scale};
    }

private:
    MapRect m_extent;
    QSizeF m_size;
    double m_scale = 0; // device pixels per map unit
    double m_imageDensity = 1;
};
