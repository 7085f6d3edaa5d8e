#pragma once

#include "core/engine/attribute_index.h"
#include "core/engine/record_set.h"
#include "core/engine/vector_geometry.h"

#include <QString>

#include <functional>

class OGRCoordinateTransformation;
class OGRLayer;

// Everything read from one OGR layer. Features whose coordinates are not all finite keep their
// attributes but lose their shape.
struct VectorRead
{
    ShapeType shapeType = ShapeType::None;
    MapRect extent = MapRect::null();
    VectorGeometry geometry;
    QList<FieldInfo> fields;
    AttributeIndex attributes;
    std::vector<qint64> fids;
    bool fidsAreRows = true; // feature ids run 0, 1, 2... as the rows do
    bool cancelled = false;
    QString error; // empty when the whole layer was read
};

// Reads every feature of `layer` (from the file `file`, whose size bounds what is reserved).
// `progress` is told how many features of how many were read now and then; answering false
// cancels. Errors OGR reports while reading fail the read. With `toMap`, every shape is
// transformed by it as it is read. OGR reads on the calling thread while a second thread turns
// what it read into rows.
using ReadProgress = std::function<bool(qint64 done, qint64 total)>;
VectorRead readVectorLayer(OGRLayer &layer, const QString &file, const ReadProgress &progress,
                           OGRCoordinateTransformation *toMap = nullptr);

// Whether a path names a shapefile (".shp" in any case).
bool isShapefilePath(const QString &path);
