#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class OGRCoordinateTransformation;
class OGRLayer;
class OGRSpatialReference;

// A map window works in a NAD83 UTM zone (north), in metres: the calculators' arithmetic needs
// it. These decide the zone and build the transformation of a theme into it.

// "NAD83 / UTM zone 13N".
QString utmZoneName(int zone);
// The NAD83 UTM north coordinate system of a zone, axes easting then northing.
std::unique_ptr<OGRSpatialReference> nad83UtmSystem(int zone);
// The zone when `srs` is NAD83 UTM north; nothing for any other system (WGS 84 UTM included).
std::optional<int> nad83UtmZone(const OGRSpatialReference &srs);
// The UTM zone holding a longitude (degrees east), 1 to 60.
int utmZoneOfLongitude(double longitude);

// One part of a source: the path GDAL opens and the layer asked for (empty: the only or the
// first layer). Written "SOURCE|layername=NAME", as project files and command lines take it.
struct SourceRef
{
    QString path;
    QString layer;
};
SourceRef parseSourceRef(const QString &text);
QString sourceRefText(const SourceRef &ref);
// Whether a source is a database connection ("PG:dbname=... host=..."), not a file.
bool isDatabaseSource(const QString &path);
// The name GDAL opens a source by: a zipped shapefile goes through /vsizip/.
QString gdalPathOf(const QString &path);
// Whether a path names an image (by its extension) rather than vector data.
bool isImagePath(const QString &path);
// The polygon, line and point layers of a vector source, in its order; `error` says why there
// are none when the source cannot be opened.
QStringList vectorLayerNames(const QString &path, QString *error = nullptr);

// How a theme's coordinates reach the map: the zone they end up in, the transformation when
// they must be reprojected (null when they are already in it or declare no system), a note for
// the status bar (a theme wider than its zone), or an error when they cannot be.
struct MapTransform
{
    std::optional<int> zone; // none: the theme declares no system and is taken as it is
    std::unique_ptr<OGRCoordinateTransformation> transform;
    QString note;
    QString error;
};
// For a theme whose source declares `srs` (null: none) with `extent` in that system (minX, minY,
// maxX, maxY): into `mapZone` when the map has one (0 when it has none yet), else into the
// theme's own NAD83 UTM zone or the zone of its centre.
MapTransform transformIntoMap(const OGRSpatialReference *srs, const double extent[4], int mapZone,
                              const QString &themeName);
