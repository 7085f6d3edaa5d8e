#include "core/engine/vector_reader.h"

#include "core/engine/gdal_session.h"

#include <QFileInfo>

#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

int fieldTypeCode(OGRFieldType t)
{
    switch (t) {
    case OFTInteger:
    case OFTInteger64:
        return FieldType::Integer;
    case OFTReal:
        return FieldType::Double;
    case OFTDate:
    case OFTDateTime:
    case OFTTime:
        return FieldType::Date;
    default:
        return FieldType::Text;
    }
}

int shapeTypeOf(OGRwkbGeometryType type)
{
    switch (wkbFlatten(type)) {
    case wkbPoint:
    case wkbMultiPoint:
        return 21;
    case wkbLineString:
    case wkbMultiLineString:
        return 22;
    case wkbPolygon:
    case wkbMultiPolygon:
        return 23;
    default:
        return 0;
    }
}

// The parts of one geometry, appended to the flat arrays.
void appendShape(VectorGeometry &g, const OGRGeometry &geom)
{
    auto addRing = [&g](const OGRSimpleCurve *curve) {
        const int n = curve->getNumPoints();
        const std::size_t start = g.xy.size();
        g.xy.resize(start + 2 * std::size_t(n));
        curve->getPoints(g.xy.data() + start, sizeof(double) * 2, g.xy.data() + start + 1,
                         sizeof(double) * 2);
        g.partVertices.push_back(int(g.xy.size() / 2));
    };
    auto addPoint = [&g](const OGRPoint *pt) {
        g.xy.push_back(pt->getX());
        g.xy.push_back(pt->getY());
        g.partVertices.push_back(int(g.xy.size() / 2));
    };
    switch (wkbFlatten(geom.getGeometryType())) {
    case wkbPolygon:
        for (const OGRLinearRing *ring : *geom.toPolygon())
            addRing(ring);
        break;
    case wkbMultiPolygon:
        for (const OGRPolygon *poly : *geom.toMultiPolygon())
            for (const OGRLinearRing *ring : *poly)
                addRing(ring);
        break;
    case wkbLineString:
        addRing(geom.toLineString());
        break;
    case wkbMultiLineString:
        for (const OGRLineString *line : *geom.toMultiLineString())
            addRing(line);
        break;
    case wkbPoint:
        addPoint(geom.toPoint());
        break;
    case wkbMultiPoint:
        for (const OGRPoint *pt : *geom.toMultiPoint())
            addPoint(pt);
        break;
    default:
        break;
    }
}

// Closes the feature whose vertices start at `firstVertex`: its box, or no shape at all when a
// coordinate is not finite (such a feature can neither be drawn nor found by place).
void finishFeature(VectorRead &r, std::size_t firstVertex, std::size_t firstPartEntry)
{
    VectorGeometry &g = r.geometry;
    SpatialIndex::Box box{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0};
    const bool finite = std::all_of(g.xy.begin() + std::ptrdiff_t(firstVertex), g.xy.end(),
                                    [](double v) { return std::isfinite(v); });
    if (!finite) {
        g.xy.resize(firstVertex);
        g.partVertices.resize(firstPartEntry);
    } else if (g.xy.size() > firstVertex) {
        box = {g.xy[firstVertex], g.xy[firstVertex + 1], g.xy[firstVertex], g.xy[firstVertex + 1]};
        for (std::size_t i = firstVertex; i < g.xy.size(); i += 2) {
            box.minX = std::min(box.minX, g.xy[i]);
            box.maxX = std::max(box.maxX, g.xy[i]);
            box.minY = std::min(box.minY, g.xy[i + 1]);
            box.maxY = std::max(box.maxY, g.xy[i + 1]);
        }
        r.extent = r.extent.united(MapRect(box.minX, box.maxX, box.maxY, box.minY));
    }
    g.featureParts.push_back(int(g.partVertices.size() - 1));
    g.boxes.push_back(box);
}

void appendAttributes(AttributeIndex &attributes, const OGRFeature &feature)
{
    std::vector<AttributeIndex::Column> &columns = attributes.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        AttributeIndex::Column &c = columns[i];
        const int field = int(i);
        const bool isNull = !feature.IsFieldSetAndNotNull(field);
        c.isNull.push_back(isNull);
        if (c.ogrType == OFTReal)
            c.reals.push_back(isNull ? 0.0 : feature.GetFieldAsDouble(field));
        else if (AttributeIndex::isNumeric(c.ogrType))
            c.ints.push_back(isNull ? 0 : feature.GetFieldAsInteger64(field));
        else
            c.texts.push_back(isNull ? QString()
                                     : QString::fromUtf8(feature.GetFieldAsString(field)));
    }
}

void readFields(OGRLayer &layer, VectorRead &r)
{
    OGRFeatureDefn *defn = layer.GetLayerDefn();
    QStringList names;
    std::vector<int> types;
    for (int i = 0; i < defn->GetFieldCount(); ++i) {
        OGRFieldDefn *fd = defn->GetFieldDefn(i);
        names.append(QString::fromUtf8(fd->GetNameRef()));
        types.push_back(fd->GetType());
        r.fields.append({names.last(), fieldTypeCode(fd->GetType())});
    }
    r.attributes.setColumns(names, types);
}

// The count comes from the file's header, which may lie: never reserve more than the records
// the file could hold (a shapefile record takes at least 12 bytes).
qint64 reserveFor(OGRLayer &layer, const QString &file, VectorRead &r)
{
    qint64 expected = layer.GetFeatureCount(FALSE);
    expected = std::min<qint64>(expected, isShapefilePath(file) ? QFileInfo(file).size() / 12
                                                                : qint64(1) << 20);
    if (expected > 0 && expected < (qint64(1) << 26)) {
        r.geometry.boxes.reserve(std::size_t(expected));
        r.fids.reserve(std::size_t(expected));
        r.attributes.reserve(std::size_t(expected));
        r.geometry.xy.reserve(std::size_t(expected) * 12);
    }
    return expected;
}

} // namespace

bool isShapefilePath(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"shp"_s, Qt::CaseInsensitive) == 0;
}

VectorRead readVectorLayer(OGRLayer &layer, const QString &file, const ReadProgress &progress,
                           OGRCoordinateTransformation *toMap)
{
    VectorRead r;
    GdalErrorTrap trap;
    r.shapeType = shapeTypeOf(layer.GetGeomType());
    if (r.shapeType == 0) {
        r.error = u"unsupported geometry type"_s;
        return r;
    }
    readFields(layer, r);
    // OGR opens a shapefile whose .dbf it cannot read as one without attributes; a section
    // theme that silently lost its table would only ever say "Unable to locate PLSS section."
    if (r.fields.isEmpty() && isShapefilePath(file)) {
        const QString base = file.chopped(4);
        if (QFileInfo::exists(base + u".dbf"_s) || QFileInfo::exists(base + u".DBF"_s)) {
            r.error = u"the attribute table (.dbf) cannot be read"_s;
            return r;
        }
    }
    const qint64 expected = reserveFor(layer, file, r);
    VectorGeometry &g = r.geometry;
    layer.ResetReading();
    for (;;) {
        if (progress && g.boxes.size() % 4096 == 0 && !progress(qint64(g.boxes.size()), expected)) {
            r.cancelled = true;
            r.error = u"loading was cancelled"_s;
            return r;
        }
        OGRFeatureUniquePtr feature(layer.GetNextFeature());
        if (trap.failures()) {
            r.error = trap.lastMessage();
            return r;
        }
        if (!feature)
            break;
        if (g.xy.size() / 2 > std::size_t(std::numeric_limits<int>::max() / 2)) {
            r.error = u"too many vertices"_s;
            return r;
        }
        r.fids.push_back(feature->GetFID());
        r.fidsAreRows = r.fidsAreRows && feature->GetFID() == GIntBig(g.boxes.size());
        const std::size_t firstVertex = g.xy.size();
        const std::size_t firstPartEntry = g.partVertices.size();
        if (OGRGeometry *geom = feature->GetGeometryRef(); geom && !geom->IsEmpty()) {
            if (toMap && geom->transform(toMap) != OGRERR_NONE) {
                r.error = u"feature "_s + QString::number(feature->GetFID()) +
                          u" cannot be transformed into the map's coordinate system"_s;
                return r;
            }
            appendShape(g, *geom);
        }
        finishFeature(r, firstVertex, firstPartEntry);
        appendAttributes(r.attributes, *feature);
    }
    if (trap.failures()) {
        r.error = trap.lastMessage();
        return r;
    }
    g.index.build(g.boxes);
    return r;
}
