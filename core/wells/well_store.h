#pragma once

#include "core/engine/map_crs.h"
#include "core/wells/wells_model.h"

#include <QList>
#include <QString>

// Where a map window's wells are kept: a GeoPackage file (a path ending in ".gpkg") or a
// PostgreSQL/PostGIS database ("PG:dbname=permits host=..."), in a point layer named "wells"
// with typed fields (numbers as Real, the time located as DateTime). GDAL does the writing.

inline constexpr const char *WellsLayerName = "wells";

// The source as a message names it: a database connection without its password.
QString sourceName(const QString &source);

// Reads every well kept at `source`. A GeoPackage that does not exist yet holds no wells. False,
// with the reason naming the source, when it cannot be read or its "wells" layer is no point
// layer.
bool readWells(const QString &source, QList<Well> &wells, QString *error);

// Writes what changed in the model since it was last kept, in one transaction: the removed wells
// are deleted, changed ones rewritten, new ones added (and given their feature ids). Wells others
// added meanwhile stay as they are. `Everything` writes every well, to a place they were not kept
// before: a well whose id is there already is rewritten, the others added. Creates the file or
// table when it is not there, its points in NAD83 UTM `zone` (0: no system). On failure nothing
// was written and the model is unchanged.
enum class KeepMode { Changes, Everything };
bool keepWells(const QString &source, WellsModel &model, int zone, QString *error,
               KeepMode mode = KeepMode::Changes);

// Writes the wells as a point layer at `path` (".gpkg", ".geojson", ".kml", ".shp"), every column
// of the Wells table with numbers as numbers and the time located as a date and time; the points
// in NAD83 UTM `zone`. Returns an error text, empty on success.
QString exportWells(const QString &path, const QList<Well> &wells, int zone);
