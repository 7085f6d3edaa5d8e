#include "core/engine/vector_reader.h"

#include "core/engine/gdal_session.h"

#include <QFileInfo>

#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>

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

ShapeType shapeTypeOf(OGRwkbGeometryType type)
{
    switch (wkbFlatten(type)) {
    case wkbPoint:
    case wkbMultiPoint:
        return ShapeType::Points;
    case wkbLineString:
    case wkbMultiLineString:
        return ShapeType::Lines;
    case wkbPolygon:
    case wkbMultiPolygon:
        return ShapeType::Polygons;
    default:
        return ShapeType::None;
    }
}

// The shapes of a batch of features as read, before they are transformed and checked: x and y
// apart (as a coordinate transformation takes them), the end of each part and the end part of
// each feature.
struct RawShapes
{
    std::vector<double> x, y;
    std::vector<int> partEnds;
    std::vector<int> featureEnds;

    void clear() { x.clear(), y.clear(), partEnds.clear(), featureEnds.clear(); }
    void addPoint(double px, double py)
    {
        x.push_back(px), y.push_back(py);
        partEnds.push_back(int(x.size()));
    }
    void addCurve(const OGRSimpleCurve &curve)
    {
        const std::size_t start = x.size();
        const std::size_t n = std::size_t(curve.getNumPoints());
        x.resize(start + n), y.resize(start + n);
        curve.getPoints(x.data() + start, sizeof(double), y.data() + start, sizeof(double));
        partEnds.push_back(int(x.size()));
    }
    void addFeature(const OGRGeometry *geom)
    {
        if (geom && !geom->IsEmpty()) {
            switch (wkbFlatten(geom->getGeometryType())) {
            case wkbPolygon:
                for (const OGRLinearRing *ring : *geom->toPolygon())
                    addCurve(*ring);
                break;
            case wkbMultiPolygon:
                for (const OGRPolygon *poly : *geom->toMultiPolygon())
                    for (const OGRLinearRing *ring : *poly)
                        addCurve(*ring);
                break;
            case wkbLineString:
                addCurve(*geom->toLineString());
                break;
            case wkbMultiLineString:
                for (const OGRLineString *line : *geom->toMultiLineString())
                    addCurve(*line);
                break;
            case wkbPoint:
                addPoint(geom->toPoint()->getX(), geom->toPoint()->getY());
                break;
            case wkbMultiPoint:
                for (const OGRPoint *pt : *geom->toMultiPoint())
                    addPoint(pt->getX(), pt->getY());
                break;
            default:
                break;
            }
        }
        featureEnds.push_back(int(partEnds.size()));
    }
    // The feature that holds vertex `vertex`.
    std::size_t featureOf(std::size_t vertex) const
    {
        const auto part = std::upper_bound(partEnds.begin(), partEnds.end(), int(vertex));
        const int partIndex = int(part - partEnds.begin());
        return std::size_t(std::upper_bound(featureEnds.begin(), featureEnds.end(), partIndex) -
                           featureEnds.begin());
    }
};

// Appends the batch's features to the layer's geometry: each with its box, or with no shape at
// all when a coordinate is not finite (such a feature can neither be drawn nor found by place).
void appendShapes(VectorRead &r, const RawShapes &raw)
{
    VectorGeometry &g = r.geometry;
    int part = 0;
    for (const int endPart : raw.featureEnds) {
        const auto vertexEnd = [&raw](int p) {
            return p > 0 ? std::size_t(raw.partEnds[std::size_t(p) - 1]) : std::size_t(0);
        };
        const std::size_t first = vertexEnd(part);
        const std::size_t end = vertexEnd(endPart);
        SpatialIndex::Box box{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0};
        bool finite = true;
        for (std::size_t i = first; i < end && finite; ++i)
            finite = std::isfinite(raw.x[i]) && std::isfinite(raw.y[i]);
        if (finite && end > first) {
            const std::size_t base = g.xy.size() / 2;
            box = {raw.x[first], raw.y[first], raw.x[first], raw.y[first]};
            for (std::size_t i = first; i < end; ++i) {
                g.xy.push_back(raw.x[i]);
                g.xy.push_back(raw.y[i]);
                box.minX = std::min(box.minX, raw.x[i]);
                box.maxX = std::max(box.maxX, raw.x[i]);
                box.minY = std::min(box.minY, raw.y[i]);
                box.maxY = std::max(box.maxY, raw.y[i]);
            }
            for (int p = part; p < endPart; ++p)
                g.partVertices.push_back(int(base + vertexEnd(p + 1) - first));
            r.extent = r.extent.united(MapRect(box.minX, box.maxX, box.maxY, box.minY));
        }
        g.featureParts.push_back(int(g.partVertices.size() - 1));
        g.boxes.push_back(box);
        part = endPart;
    }
}

// Text values as QStrings, one string shared by the rows that hold the same short value (a
// township code repeated by its sections, a division type on every row): fewer allocations
// while reading, and much less memory held by a large table.
class TextValues
{
public:
    QString get(const char *utf8)
    {
        const std::string_view v(utf8);
        if (v.size() > 32)
            return QString::fromUtf8(v.data(), qsizetype(v.size()));
        if (m_hasLast && v == m_last)
            return m_lastText;
        const auto known = m_known.find(v);
        m_lastText = known != m_known.end() ? known->second
                                            : QString::fromUtf8(v.data(), qsizetype(v.size()));
        if (known == m_known.end() && m_known.size() < 4096)
            m_known.emplace(std::string(v), m_lastText);
        m_last.assign(v);
        m_hasLast = true;
        return m_lastText;
    }

private:
    struct Hash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const
        {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_known;
    std::string m_last;
    QString m_lastText;
    bool m_hasLast = false;
};

void appendAttributes(AttributeIndex &attributes, std::vector<TextValues> &texts,
                      const OGRFeature &feature)
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
            c.texts.push_back(isNull ? QString() : texts[i].get(feature.GetFieldAsString(field)));
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

// What the reading thread took from a run of features for the converting one: their ids (for
// messages) and their shapes as read.
struct RawBatch
{
    std::vector<qint64> fids;
    RawShapes shapes;
};
constexpr std::size_t kBatchSize = 1024;

// Batches handed from the thread that reads to the one that transforms; a few at most are in
// flight, so memory stays bounded whatever the layer's size, and their buffers go round again.
class BatchQueue
{
public:
    // Hands `batch` over and gives back an emptied one to fill next. False when the converting
    // side has stopped (it met an error): reading stops too.
    bool push(RawBatch &batch)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_stopped || m_batches.size() < 4; });
        if (m_stopped)
            return false;
        m_batches.push_back(std::move(batch));
        batch = RawBatch();
        if (!m_spent.empty()) {
            batch = std::move(m_spent.back());
            m_spent.pop_back();
        }
        m_changed.notify_all();
        return true;
    }
    // The next batch; none once the reading side has closed and every batch was taken.
    std::optional<RawBatch> pop()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_closed || !m_batches.empty(); });
        if (m_batches.empty())
            return std::nullopt;
        RawBatch batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_changed.notify_all();
        return batch;
    }
    // A converted batch, emptied, for the reading side to fill again.
    void giveBack(RawBatch batch)
    {
        batch.fids.clear();
        batch.shapes.clear();
        std::lock_guard lock(m_mutex);
        m_spent.push_back(std::move(batch));
    }
    void close() { set(m_closed); }
    void stop() { set(m_stopped); }

private:
    void set(bool &flag)
    {
        std::lock_guard lock(m_mutex);
        flag = true;
        m_changed.notify_all();
    }
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<RawBatch> m_batches;
    std::vector<RawBatch> m_spent;
    bool m_closed = false;
    bool m_stopped = false;
};

// Turns batches into shapes, transformed into the map's system (`toMap`) in one call per batch.
// Runs on its own thread, with its own copy of the transformation (PROJ objects belong to one
// thread) and its own error trap; the first error ends it. It writes only `r.geometry` and
// `r.extent`, which the reading thread never touches meanwhile.
QString convertBatches(BatchQueue &queue, VectorRead &r, const OGRCoordinateTransformation *toMap)
{
    GdalErrorTrap trap;
    const std::unique_ptr<OGRCoordinateTransformation> transform(toMap ? toMap->Clone() : nullptr);
    if (toMap && !transform)
        return u"the coordinate transformation cannot be set up: "_s + trap.lastMessage();
    std::vector<int> transformed;
    while (std::optional<RawBatch> batch = queue.pop()) {
        RawShapes &raw = batch->shapes;
        if (r.geometry.xy.size() / 2 + raw.x.size() >
            std::size_t(std::numeric_limits<int>::max() / 2))
            return u"too many vertices"_s;
        if (transform && !raw.x.empty()) {
            transformed.assign(raw.x.size(), FALSE);
            transform->Transform(int(raw.x.size()), raw.x.data(), raw.y.data(), nullptr,
                                 transformed.data());
            const auto failed = std::find(transformed.begin(), transformed.end(), FALSE);
            if (failed != transformed.end()) {
                const qint64 fid =
                    batch->fids[raw.featureOf(std::size_t(failed - transformed.begin()))];
                return u"feature "_s + QString::number(fid) +
                       u" cannot be transformed into the map's coordinate system"_s;
            }
        }
        appendShapes(r, raw);
        queue.giveBack(std::move(*batch));
        if (trap.failures())
            return trap.lastMessage();
    }
    return {};
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
    if (r.shapeType == ShapeType::None) {
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
    layer.ResetReading();

    // OGR reads and the attributes are taken on this thread while a second one transforms the
    // shapes.
    BatchQueue queue;
    QString convertError;
    std::thread converter([&] {
        convertError = convertBatches(queue, r, toMap);
        if (!convertError.isEmpty())
            queue.stop();
    });
    QString readError;
    RawBatch batch;
    std::vector<TextValues> texts(r.attributes.columns().size());
    for (qint64 done = 0;; ++done) {
        if (progress && done % 4096 == 0 && !progress(done, expected)) {
            r.cancelled = true;
            readError = u"loading was cancelled"_s;
            break;
        }
        const OGRFeatureUniquePtr feature(layer.GetNextFeature());
        if (trap.failures()) {
            readError = trap.lastMessage();
            break;
        }
        if (!feature)
            break;
        r.fidsAreRows = r.fidsAreRows && feature->GetFID() == GIntBig(r.fids.size());
        r.fids.push_back(feature->GetFID());
        appendAttributes(r.attributes, texts, *feature);
        batch.fids.push_back(feature->GetFID());
        batch.shapes.addFeature(feature->GetGeometryRef());
        if (batch.fids.size() == kBatchSize && !queue.push(batch))
            break;
    }
    if (readError.isEmpty() && !batch.fids.empty())
        queue.push(batch);
    queue.close();
    converter.join();
    r.error = !readError.isEmpty() ? readError : convertError;
    if (r.error.isEmpty() && trap.failures())
        r.error = trap.lastMessage();
    if (!r.error.isEmpty())
        return r;
    r.geometry.index.build(r.geometry.boxes);
    return r;
}
