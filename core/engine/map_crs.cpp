#include "core/engine/map_crs.h"

#include "core/engine/gdal_session.h"

#include <QFileInfo>

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

QString utmZoneName(int zone)
{
    return u"NAD83 / UTM zone "_s + QString::number(zone) + u"N"_s;
}

std::unique_ptr<OGRSpatialReference> nad83UtmSystem(int zone)
{
    auto srs = std::make_unique<OGRSpatialReference>();
    srs->SetProjCS(utmZoneName(zone).toUtf8().constData());
    srs->SetWellKnownGeogCS("NAD83");
    srs->SetUTM(zone, TRUE);
    srs->SetLinearUnits(SRS_UL_METER, 1.0);
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

std::optional<int> nad83UtmZone(const OGRSpatialReference &srs)
{
    int north = 0;
    const int zone = srs.GetUTMZone(&north);
    if (zone <= 0 || !north)
        return std::nullopt;
    OGRSpatialReference nad83;
    nad83.SetWellKnownGeogCS("NAD83");
    if (!srs.IsSameGeogCS(&nad83))
        return std::nullopt;
    return zone;
}

int utmZoneOfLongitude(double longitude)
{
    if (std::isnan(longitude))
        return 1;
    // Clamped before the conversion: a longitude far outside the globe does not fit an int.
    return int(std::clamp(std::floor((longitude + 180.0) / 6.0) + 1, 1.0, 60.0));
}

SourceRef parseSourceRef(const QString &text)
{
    const qsizetype bar = text.indexOf(u"|layername="_s, 0, Qt::CaseInsensitive);
    if (bar < 0)
        return {text, {}};
    return {text.left(bar), text.mid(bar + 11)};
}

QString sourceRefText(const SourceRef &ref)
{
    return ref.layer.isEmpty() ? ref.path : ref.path + u"|layername="_s + ref.layer;
}

bool isDatabaseSource(const QString &path)
{
    return path.startsWith(u"PG:"_s, Qt::CaseInsensitive);
}

QString gdalPathOf(const QString &path)
{
    if (path.startsWith(u"/vsi"_s))
        return path;
    if (QFileInfo(path).suffix().compare(u"zip"_s, Qt::CaseInsensitive) == 0)
        return u"/vsizip/"_s + path;
    return path;
}

bool isImagePath(const QString &path)
{
    static const QStringList images = {u"tif"_s, u"tiff"_s, u"jpg"_s, u"jpeg"_s,
                                       u"bmp"_s, u"sid"_s,  u"png"_s, u"jp2"_s,
                                       u"img"_s, u"ecw"_s,  u"gif"_s, u"vrt"_s};
    return images.contains(QFileInfo(parseSourceRef(path).path).suffix().toLower());
}

namespace {

bool isOfferedGeometry(OGRwkbGeometryType type)
{
    switch (wkbFlatten(type)) {
    case wkbPoint:
    case wkbMultiPoint:
    case wkbLineString:
    case wkbMultiLineString:
    case wkbPolygon:
    case wkbMultiPolygon:
        return true;
    default:
        return false;
    }
}

} // namespace

QStringList vectorLayerNames(const QString &path, QString *error)
{
    ensureGdalRegistered();
    GdalErrorTrap trap;
    const QByteArray name = gdalPathOf(path).toUtf8();
    GDALDatasetUniquePtr dataset(GDALDataset::FromHandle(GDALOpenEx(
        name.constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    QStringList names;
    if (!dataset) {
        if (error)
            *error = trap.failures() ? trap.lastMessage() : u"not a vector data source"_s;
        return names;
    }
    for (int i = 0; i < dataset->GetLayerCount(); ++i) {
        OGRLayer *layer = dataset->GetLayer(i);
        if (layer && isOfferedGeometry(layer->GetGeomType()))
            names.append(QString::fromUtf8(layer->GetName()));
    }
    if (names.isEmpty() && error)
        *error = u"it holds no polygon, line or point layer"_s;
    return names;
}

MapTransform transformIntoMap(const OGRSpatialReference *srs, const double extent[4], int mapZone,
                              const QString &themeName)
{
    MapTransform t;
    if (!srs || srs->IsEmpty()) {
        // Declares nothing: taken to be in the map's system, as themes always were.
        return t;
    }
    const std::optional<int> own = nad83UtmZone(*srs);
    OGRSpatialReference source(*srs);
    source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    int zone = mapZone > 0 ? mapZone : own.value_or(0);
    if (zone == 0) {
        // The zone of the theme's centre, found through geographic NAD83.
        OGRSpatialReference geographic;
        geographic.SetWellKnownGeogCS("NAD83");
        geographic.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        std::unique_ptr<OGRCoordinateTransformation> toDegrees(
            OGRCreateCoordinateTransformation(&source, &geographic));
        double x[3] = {(extent[0] + extent[2]) / 2, extent[0], extent[2]};
        double y[3] = {(extent[1] + extent[3]) / 2, (extent[1] + extent[3]) / 2,
                       (extent[1] + extent[3]) / 2};
        if (!toDegrees || !toDegrees->Transform(3, x, y) || !std::isfinite(x[0])) {
            t.error = u"The coordinate system of "_s + themeName + u" ("_s +
                      QString::fromUtf8(srs->GetName()) +
                      u") cannot be transformed into NAD83 UTM."_s;
            return t;
        }
        const auto onTheGlobe = [](double lon) { return std::abs(lon) <= 180.0; };
        if (!std::all_of(x, x + 3, onTheGlobe)) {
            t.error =
                u"The coordinates of "_s + themeName +
                u" reach beyond longitude 180 degrees east or west; they cannot be placed in a UTM zone."_s;
            return t;
        }
        zone = utmZoneOfLongitude(x[0]);
        if (utmZoneOfLongitude(x[1]) != utmZoneOfLongitude(x[2]))
            t.note = themeName + u" spans more than one UTM zone; it is shown in "_s +
                     utmZoneName(zone) + u", the zone of its centre."_s;
    }
    t.zone = zone;
    if (own == zone)
        return t; // already there
    const std::unique_ptr<OGRSpatialReference> target = nad83UtmSystem(zone);
    GdalErrorTrap trap;
    t.transform.reset(OGRCreateCoordinateTransformation(&source, target.get()));
    if (!t.transform) {
        t.error = u"The coordinate system of "_s + themeName + u" ("_s +
                  QString::fromUtf8(srs->GetName()) + u") cannot be transformed into "_s +
                  utmZoneName(zone) + u"."_s;
        t.zone.reset();
    }
    return t;
}
