#pragma once

#include "core/engine/geometry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Located wells out as GIS data, through OGR.

// The OGR driver that writes a point layer to `path` by its extension (".gpkg", ".geojson",
// ".kml", ".shp"); empty for any other (such as ".csv").
QString pointFormatDriver(const QString &path);

// The type of an attribute written: text, a number (an empty cell is null), or a date and time
// (ISO 8601 text in the cells).
enum class FieldKind { Text, Real, DateTime };

// Writes a table (`header`, then `rows`) as a point layer: the columns as `kinds` says (text
// when it says nothing of a column), each
// row's point (none: the row is written without one, so nothing is lost) given in NAD83 UTM
// `zone` and written in the system `targetWkt` (empty: the zone's own, or no system at all when
// the zone is 0 too); KML always in geographic NAD83, as KML requires. An existing file is
// replaced. Returns an error text, empty on success.
QString writePointLayer(const QString &path, const QStringList &header,
                        const QList<QStringList> &rows,
                        const QList<std::optional<MapPoint>> &points, int zone,
                        const QString &targetWkt, const QList<FieldKind> &kinds = {});
