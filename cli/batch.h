#pragma once

#include "core/engine/geometry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QTextStream;
class VectorLayer;

// The machinery of the batch commands: a CSV file in, one output row per input row, written
// whole (or not at all) as CSV or, by the output's extension, as a GIS point layer.

// Where a row's well is: from its input cells or its output row; none when it has no place.
using PointOf =
    std::function<std::optional<MapPoint>(const QStringList &cells, const QStringList &row)>;
std::optional<MapPoint> pointFrom(const QString &easting, const QString &northing);

bool readCsv(const QString &path, QList<QStringList> &records, QString *error);

bool writeCsv(const QString &path, const QList<QStringList> &records, QString *error);

// Reads IN, turns each row into an output row, writes OUT: CSV, or a point layer when OUT names a
// GIS format (the points in the theme's system). `columns` are looked up by name in IN's header;
// `required` indexes those a file cannot do without. Returns 0, or 1 after saying why on `err`.
// `convert` and `pointOf` are called from several threads at once on large files.
// `header` is told which columns IN has (their indexes, -1 for none) before any row converts.
using HeaderOf = std::function<QStringList(const QList<int> &present)>;
int runBatch(const QString &in, const QString &out, const QStringList &columns,
             const QList<int> &required, const HeaderOf &header,
             const std::function<QStringList(const QStringList &cells)> &convert,
             const PointOf &pointOf, const VectorLayer &theme, QTextStream &err, bool showProgress);
