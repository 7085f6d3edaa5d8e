#pragma once

#include "core/engine/geometry.h"
#include "core/engine/map_crs.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class OGRSpatialReference;
class QPainter;
class MapViewport;

// One theme of the map: a vector layer read from a shapefile or an image layer.
class LabelPlacer;

class MapLayer
{
public:
    enum class LayerType { Vector, Image };

    virtual ~MapLayer();

    virtual LayerType layerType() const = 0;
    // False when the file could not be read; such a layer is never added to a map.
    virtual bool isValid() const = 0;
    virtual MapRect extent() const = 0;
    // Paints the part of the layer that falls into the viewport.
    virtual void draw(QPainter &painter, const MapViewport &viewport) const = 0;
    // Paints the layer's labels that fit, after every layer is drawn; none by default.
    virtual void drawLabels(QPainter &painter, const MapViewport &viewport,
                            LabelPlacer &placer) const
    {
        Q_UNUSED(painter);
        Q_UNUSED(viewport);
        Q_UNUSED(placer);
    }

    // The source the layer was read from, as given ("SOURCE|layername=NAME" for one layer of
    // several).
    const QString &file() const { return m_file; }
    // The name messages give the source by: its file's name ("sections.shp"), or the layer's
    // name for one layer of several.
    QString fileName() const;
    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }
    const QString &queryExpression() const { return m_tag; }
    void setQueryExpression(const QString &tag) { m_tag = tag; }
    // The UTM zone the layer's coordinates are held in: the map's zone when the layer was
    // reprojected into it, else the zone the file declares (a shapefile's .prj, an image's own
    // tags); nothing when it declares nothing or something other than UTM north.
    std::optional<int> utmZone() const { return m_utmZone; }
    // The name of the coordinate system the file declares ("NAD83 / UTM zone 13N"); empty when
    // it declares none.
    const QString &coordinateSystemName() const { return m_crsName; }
    // The same system as WKT, for writing results in it; empty when none is declared.
    const QString &coordinateSystemWkt() const { return m_crsWkt; }
    // What the user should hear once about how the layer was placed (a theme wider than its
    // zone); empty mostly.
    const QString &note() const { return m_note; }

protected:
    explicit MapLayer(const QString &file);
    // Takes the zone and name of the coordinate system the file declares (none: null).
    void setCoordinateSystem(const OGRSpatialReference *srs);
    // How the layer's coordinates reach NAD83 UTM `mapZone` (see transformIntoMap): on success
    // the layer takes the zone they end up in and the note; on failure errorOut says why.
    MapTransform placeInMap(const OGRSpatialReference *srs, const double extent[4], int mapZone,
                            QString &errorOut);

private:
    QString m_file;
    QString m_name;
    QString m_tag;
    bool m_visible = true;
    std::optional<int> m_utmZone;
    QString m_crsName;
    QString m_crsWkt;
    QString m_note;
};

// The themes of a map, bottom first.
using LayerList = QList<std::shared_ptr<MapLayer>>;

class OGRSpatialReference;
// The zone of a UTM north coordinate system; nothing for any other or none.
std::optional<int> utmNorthZone(const OGRSpatialReference *srs);
