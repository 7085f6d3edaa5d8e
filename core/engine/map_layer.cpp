#include "core/engine/map_layer.h"

#include "core/engine/map_crs.h"

#include <QFileInfo>

#include <ogr_spatialref.h>

MapLayer::MapLayer(const QString &file)
    : m_file(file)
    , m_name(parseSourceRef(file).layer.isEmpty()
                 ? QFileInfo(parseSourceRef(file).path).completeBaseName()
                 : parseSourceRef(file).layer)
{}

MapLayer::~MapLayer() = default;

QString MapLayer::fileName() const
{
    const SourceRef ref = parseSourceRef(m_file);
    return ref.layer.isEmpty() ? QFileInfo(ref.path).fileName() : ref.layer;
}

std::optional<int> utmNorthZone(const OGRSpatialReference *srs)
{
    if (!srs)
        return std::nullopt;
    int north = 0;
    const int zone = srs->GetUTMZone(&north);
    if (zone <= 0 || !north)
        return std::nullopt;
    return zone;
}

MapTransform MapLayer::placeInMap(const OGRSpatialReference *srs, const double extent[4],
                                  int mapZone, QString &errorOut)
{
    MapTransform toMap = transformIntoMap(srs, extent, mapZone, m_name);
    if (!toMap.error.isEmpty()) {
        errorOut = toMap.error;
        return toMap;
    }
    if (toMap.zone)
        m_utmZone = toMap.zone;
    m_note = toMap.note;
    return toMap;
}

void MapLayer::setCoordinateSystem(const OGRSpatialReference *srs)
{
    m_utmZone = utmNorthZone(srs);
    const char *name = srs ? srs->GetName() : nullptr;
    m_crsName = name ? QString::fromUtf8(name) : QString();
    m_crsWkt.clear();
    char *wkt = nullptr;
    if (srs && srs->exportToWkt(&wkt) == OGRERR_NONE && wkt)
        m_crsWkt = QString::fromUtf8(wkt);
    CPLFree(wkt);
}
