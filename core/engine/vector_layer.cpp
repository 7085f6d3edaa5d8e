#include "core/engine/vector_layer.h"

#include "core/engine/gdal_session.h"
#include "core/engine/map_viewport.h"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QByteArray asciiLower(const QByteArray &in)
{
    QByteArray out = in;
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

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

bool isNumericOgr(int t)
{
    return t == OFTInteger || t == OFTInteger64 || t == OFTReal;
}

// Names OGR SQL resolves by itself although no column carries them.
bool isOgrSpecialField(const QByteArray &lowerName)
{
    return lowerName == "fid" || lowerName.startsWith("ogr_");
}

double normalisedKey(double v)
{
    return v == 0.0 ? 0.0 : v; // -0 and 0 are one key
}

bool allAsciiDigits(const QString &s)
{
    if (s.isEmpty() || s.size() > 15)
        return false;
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A new theme gets one of a few quiet colours, the same for the same file every time.
::Symbol defaultSymbol(int shapeType, const QString &file)
{
    static const quint32 palette[] = {0xB4D2F0, 0xA8E0B4, 0xF0D2A0, 0xD2B4E6, 0xF0B4B4, 0xC8C8A0};
    const quint32 rgb = palette[qHash(QFileInfo(file).fileName()) % std::size(palette)];
    // Palette entries are written 0xRRGGBB; the symbol packs red lowest.
    const quint32 color = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    ::Symbol s;
    s.Color = color;
    s.OutlineColor = 0x505050;
    s.Size = shapeType == VectorLayer::PointShapes ? 7 : 1;
    return s;
}

} // namespace

std::shared_ptr<VectorLayer> VectorLayer::open(const QString &path, const LoadProgress &progress)
{
    std::shared_ptr<VectorLayer> layer(new VectorLayer(path));
    layer->m_valid = layer->load(progress);
    if (!layer->m_valid) {
        // Nothing half-read stays behind.
        layer->m_featureParts = {0};
        layer->m_partVertices = {0};
        layer->m_xy.clear();
        layer->m_boxes.clear();
        layer->m_columns.clear();
        layer->m_fids.clear();
        layer->m_index = SpatialIndex();
        layer->m_extent = MapRect::null();
    }
    return layer;
}

VectorLayer::VectorLayer(const QString &path)
    : MapLayer(path)
{}

VectorLayer::~VectorLayer()
{
    if (m_dataset)
        GDALClose(GDALDataset::ToHandle(m_dataset));
}

bool VectorLayer::load(const LoadProgress &progress)
{
    ensureGdalRegistered();
    GdalErrorTrap trap;
    const QByteArray path = File().toUtf8();
    m_dataset = GDALDataset::FromHandle(
        GDALOpenEx(path.constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!m_dataset || m_dataset->GetLayerCount() < 1) {
        m_error = trap.failures() ? trap.lastMessage() : u"not a vector data source"_s;
        return false;
    }
    m_ogrLayer = m_dataset->GetLayer(0);
    if (trap.failures()) {
        m_error = trap.lastMessage();
        return false;
    }
    setUtmZone(utmNorthZone(m_ogrLayer->GetSpatialRef()));

    switch (wkbFlatten(m_ogrLayer->GetGeomType())) {
    case wkbPoint:
    case wkbMultiPoint:
        m_shapeType = PointShapes;
        break;
    case wkbLineString:
    case wkbMultiLineString:
        m_shapeType = LineShapes;
        break;
    case wkbPolygon:
    case wkbMultiPolygon:
        m_shapeType = PolygonShapes;
        break;
    default:
        m_error = u"unsupported geometry type"_s;
        return false;
    }

    OGRFeatureDefn *defn = m_ogrLayer->GetLayerDefn();
    const int fieldCount = defn->GetFieldCount();
    m_columns.resize(std::size_t(fieldCount));
    for (int i = 0; i < fieldCount; ++i) {
        OGRFieldDefn *fd = defn->GetFieldDefn(i);
        const QString name = QString::fromUtf8(fd->GetNameRef());
        m_fields.append({name, fieldTypeCode(fd->GetType())});
        m_fieldByLowerName.insert(asciiLower(name.toUtf8()), i);
        m_columns[std::size_t(i)].ogrType = isNumericOgr(fd->GetType()) ? fd->GetType() : OFTString;
    }
    m_hashIndexes.resize(std::size_t(fieldCount));
    // OGR opens a shapefile whose .dbf it cannot read as one without attributes; a section
    // theme that silently lost its table would only ever say "Unable to locate PLSS section."
    if (fieldCount == 0 && QFileInfo(File()).suffix().compare(u"shp"_s, Qt::CaseInsensitive) == 0) {
        const QString base = File().chopped(4);
        if (QFileInfo::exists(base + u".dbf"_s) || QFileInfo::exists(base + u".DBF"_s)) {
            m_error = u"the attribute table (.dbf) cannot be read"_s;
            return false;
        }
    }

    // The count comes from the file's header, which may lie: never reserve more than the
    // records the file could hold (a shapefile record takes at least 12 bytes).
    GIntBig expected = m_ogrLayer->GetFeatureCount(FALSE);
    const bool isShapefile = QFileInfo(File()).suffix().compare(u"shp"_s, Qt::CaseInsensitive) == 0;
    expected =
        std::min<GIntBig>(expected, isShapefile ? QFileInfo(File()).size() / 12 : GIntBig(1) << 20);
    if (expected > 0 && expected < (GIntBig(1) << 26)) {
        m_boxes.reserve(std::size_t(expected));
        m_fids.reserve(std::size_t(expected));
        for (Column &c : m_columns) {
            c.isNull.reserve(std::size_t(expected));
            if (c.ogrType == OFTReal)
                c.reals.reserve(std::size_t(expected));
            else if (isNumericOgr(c.ogrType))
                c.ints.reserve(std::size_t(expected));
            else
                c.texts.reserve(std::size_t(expected));
        }
        m_xy.reserve(std::size_t(expected) * 12);
    }

    auto addRing = [this](const OGRSimpleCurve *curve) {
        const int n = curve->getNumPoints();
        const std::size_t start = m_xy.size();
        m_xy.resize(start + 2 * std::size_t(n));
        curve->getPoints(m_xy.data() + start, sizeof(double) * 2, m_xy.data() + start + 1,
                         sizeof(double) * 2);
        m_partVertices.push_back(int(m_xy.size() / 2));
    };

    m_ogrLayer->ResetReading();
    for (;;) {
        if (progress && m_boxes.size() % 4096 == 0 && !progress(qint64(m_boxes.size()), expected)) {
            m_cancelled = true;
            m_error = u"loading was cancelled"_s;
            return false;
        }
        OGRFeatureUniquePtr feature(m_ogrLayer->GetNextFeature());
        if (trap.failures()) {
            m_error = trap.lastMessage();
            return false;
        }
        if (!feature)
            break;
        if (m_xy.size() / 2 > std::size_t(std::numeric_limits<int>::max() / 2)) {
            m_error = u"too many vertices"_s;
            return false;
        }
        m_fids.push_back(feature->GetFID());
        if (feature->GetFID() != GIntBig(m_boxes.size()))
            m_fidsAreRows = false;

        const std::size_t firstVertex = m_xy.size();
        const std::size_t firstPartEntry = m_partVertices.size();
        const OGRGeometry *geom = feature->GetGeometryRef();
        if (geom && !geom->IsEmpty()) {
            const OGRwkbGeometryType gt = wkbFlatten(geom->getGeometryType());
            if (gt == wkbPolygon) {
                for (const OGRLinearRing *ring : *geom->toPolygon())
                    addRing(ring);
            } else if (gt == wkbMultiPolygon) {
                for (const OGRPolygon *poly : *geom->toMultiPolygon())
                    for (const OGRLinearRing *ring : *poly)
                        addRing(ring);
            } else if (gt == wkbLineString) {
                addRing(geom->toLineString());
            } else if (gt == wkbMultiLineString) {
                for (const OGRLineString *line : *geom->toMultiLineString())
                    addRing(line);
            } else if (gt == wkbPoint) {
                const OGRPoint *pt = geom->toPoint();
                m_xy.push_back(pt->getX());
                m_xy.push_back(pt->getY());
                m_partVertices.push_back(int(m_xy.size() / 2));
            } else if (gt == wkbMultiPoint) {
                for (const OGRPoint *pt : *geom->toMultiPoint()) {
                    m_xy.push_back(pt->getX());
                    m_xy.push_back(pt->getY());
                    m_partVertices.push_back(int(m_xy.size() / 2));
                }
            }
        }
        // A feature with any non-finite coordinate keeps its attributes but loses its shape:
        // it can neither be drawn nor found by place.
        SpatialIndex::Box box{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0};
        bool finite = true;
        for (std::size_t i = firstVertex; i < m_xy.size(); ++i)
            finite = finite && std::isfinite(m_xy[i]);
        if (!finite) {
            m_xy.resize(firstVertex);
            m_partVertices.resize(firstPartEntry);
        } else if (m_xy.size() > firstVertex) {
            box = {m_xy[firstVertex], m_xy[firstVertex + 1], m_xy[firstVertex],
                   m_xy[firstVertex + 1]};
            for (std::size_t i = firstVertex; i < m_xy.size(); i += 2) {
                box.minX = std::min(box.minX, m_xy[i]);
                box.maxX = std::max(box.maxX, m_xy[i]);
                box.minY = std::min(box.minY, m_xy[i + 1]);
                box.maxY = std::max(box.maxY, m_xy[i + 1]);
            }
            m_extent = m_extent.united(MapRect(box.minX, box.maxX, box.maxY, box.minY));
        }
        m_featureParts.push_back(int(m_partVertices.size() - 1));
        m_boxes.push_back(box);

        for (int i = 0; i < fieldCount; ++i) {
            Column &c = m_columns[std::size_t(i)];
            const bool isNull = !feature->IsFieldSetAndNotNull(i);
            c.isNull.push_back(isNull);
            if (c.ogrType == OFTReal)
                c.reals.push_back(isNull ? 0.0 : feature->GetFieldAsDouble(i));
            else if (isNumericOgr(c.ogrType))
                c.ints.push_back(isNull ? 0 : feature->GetFieldAsInteger64(i));
            else
                c.texts.push_back(isNull ? QString()
                                         : QString::fromUtf8(feature->GetFieldAsString(i)));
        }
    }
    if (trap.failures()) {
        m_error = trap.lastMessage();
        return false;
    }
    m_index.build(m_boxes);
    m_symbol = defaultSymbol(m_shapeType, File());
    return true;
}

int VectorLayer::fieldIndex(const QString &name) const
{
    return m_fieldByLowerName.value(asciiLower(name.toUtf8()), -1);
}

QVariant VectorLayer::value(int row, int field) const
{
    if (row < 0 || row >= featureCount() || field < 0 || field >= int(m_columns.size()))
        return {};
    const Column &c = m_columns[std::size_t(field)];
    const auto r = std::size_t(row);
    if (c.isNull[r])
        return {};
    if (c.ogrType == OFTReal)
        return c.reals[r];
    if (isNumericOgr(c.ogrType))
        return qlonglong(c.ints[r]);
    return c.texts[r];
}

MapPolygon VectorLayer::shapeOf(int row) const
{
    if (row < 0 || row >= featureCount())
        return {};
    QList<MapPolygon::Part> parts;
    for (int p = m_featureParts[std::size_t(row)]; p < m_featureParts[std::size_t(row) + 1]; ++p) {
        MapPolygon::Part part;
        const int first = m_partVertices[std::size_t(p)];
        const int last = m_partVertices[std::size_t(p) + 1];
        part.reserve(last - first);
        for (int v = first; v < last; ++v)
            part.append({m_xy[2 * std::size_t(v)], m_xy[2 * std::size_t(v) + 1]});
        parts.append(std::move(part));
    }
    return MapPolygon(std::move(parts));
}

RecordSet VectorLayer::Records() const
{
    std::vector<int> rows(static_cast<std::size_t>(featureCount()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i);
    return RecordSet(shared_from_this(), std::move(rows));
}

const VectorLayer::HashIndex &VectorLayer::hashIndex(int field) const
{
    auto &slot = m_hashIndexes[std::size_t(field)];
    if (!slot) {
        slot = std::make_unique<HashIndex>();
        const Column &c = m_columns[std::size_t(field)];
        for (int row = 0; row < featureCount(); ++row) {
            const auto r = std::size_t(row);
            if (c.isNull[r])
                continue;
            if (c.ogrType == OFTReal)
                slot->numbers[normalisedKey(c.reals[r])].push_back(row);
            else if (isNumericOgr(c.ogrType))
                slot->numbers[normalisedKey(double(c.ints[r]))].push_back(row);
            else
                slot->texts[asciiLower(c.texts[r].toUtf8())].push_back(row);
        }
    }
    return *slot;
}

VectorLayer::FastAnswer VectorLayer::searchIndexed(const QList<EqualityTerm> &terms,
                                                   std::vector<int> &rows) const
{
    // Resolve every term first: one that OGR would refuse empties the whole answer, one we
    // cannot judge exactly sends the whole expression to OGR.
    struct Resolved
    {
        int field;
        bool numeric;
        double number;
        QByteArray text;
    };
    QList<Resolved> resolved;
    for (const EqualityTerm &t : terms) {
        const QByteArray lower = asciiLower(t.field.toUtf8());
        const int field = m_fieldByLowerName.value(lower, -1);
        if (field < 0)
            return isOgrSpecialField(lower) ? FastAnswer::AskOgr : FastAnswer::Empty;
        const int ogrType = m_columns[std::size_t(field)].ogrType;
        if (isNumericOgr(ogrType)) {
            if (t.kind == EqualityTerm::Kind::Text) {
                // OGR converts a quoted number to the field's type; only plain digits are
                // certain to convert the same way here.
                if (!allAsciiDigits(t.text))
                    return FastAnswer::AskOgr;
                resolved.append({field, true, t.text.toDouble(), {}});
            } else {
                resolved.append({field, true, t.number, {}});
            }
        } else if (ogrType == OFTString) {
            if (t.kind != EqualityTerm::Kind::Text)
                return FastAnswer::Empty; // OGR: type mismatch
            resolved.append({field, false, 0, asciiLower(t.text.toUtf8())});
        } else {
            return FastAnswer::AskOgr;
        }
    }

    const std::vector<int> *smallest = nullptr;
    static const std::vector<int> none;
    for (const Resolved &r : resolved) {
        const HashIndex &index = hashIndex(r.field);
        const std::vector<int> *hits;
        if (r.numeric) {
            auto it = index.numbers.constFind(normalisedKey(r.number));
            hits = it == index.numbers.cend() ? &none : &it.value();
        } else {
            auto it = index.texts.constFind(r.text);
            hits = it == index.texts.cend() ? &none : &it.value();
        }
        if (!smallest || hits->size() < smallest->size())
            smallest = hits;
    }
    rows.clear();
    if (!smallest)
        return FastAnswer::Rows;
    for (int row : *smallest) {
        bool match = true;
        for (const Resolved &r : resolved) {
            const Column &c = m_columns[std::size_t(r.field)];
            const auto i = std::size_t(row);
            if (c.isNull[i]) {
                match = false;
            } else if (r.numeric) {
                const double v = c.ogrType == OFTReal ? c.reals[i] : double(c.ints[i]);
                match = v == r.number;
            } else {
                match = asciiLower(c.texts[i].toUtf8()) == r.text;
            }
            if (!match)
                break;
        }
        if (match)
            rows.push_back(row);
    }
    return FastAnswer::Rows;
}

std::vector<int> VectorLayer::searchWithOgr(const QString &expression, bool &ok) const
{
    std::vector<int> rows;
    ok = false;
    if (!m_ogrLayer)
        return rows;
    GdalErrorTrap trap;
    const QByteArray expr = expression.toUtf8();
    // A failed SetAttributeFilter leaves the layer unfiltered: never read it then.
    if (m_ogrLayer->SetAttributeFilter(expr.constData()) != OGRERR_NONE || trap.failures()) {
        m_ogrLayer->SetAttributeFilter(nullptr);
        return rows;
    }
    const char *ignoreGeometry[] = {"OGR_GEOMETRY", nullptr};
    m_ogrLayer->SetIgnoredFields(ignoreGeometry);
    m_ogrLayer->ResetReading();
    QHash<qint64, int> rowOfFid;
    if (!m_fidsAreRows) {
        for (std::size_t i = 0; i < m_fids.size(); ++i)
            rowOfFid.insert(m_fids[i], int(i));
    }
    while (OGRFeatureUniquePtr f{m_ogrLayer->GetNextFeature()}) {
        const qint64 fid = f->GetFID();
        if (m_fidsAreRows) {
            if (fid >= 0 && fid < featureCount())
                rows.push_back(int(fid));
        } else if (auto it = rowOfFid.constFind(fid); it != rowOfFid.cend()) {
            rows.push_back(it.value());
        }
    }
    m_ogrLayer->SetAttributeFilter(nullptr);
    m_ogrLayer->SetIgnoredFields(nullptr);
    m_ogrLayer->ResetReading();
    if (trap.failures()) // an error while evaluating: as OGR refused the expression
        return {};
    ok = true;
    return rows;
}

std::vector<int> VectorLayer::expressionRows(const QString &expression, bool &all) const
{
    all = expression.trimmed().isEmpty();
    if (all || !m_valid)
        return {};
    std::vector<int> rows;
    if (const auto terms = parseEqualityConjunction(expression)) {
        switch (searchIndexed(*terms, rows)) {
        case FastAnswer::Rows:
            return rows;
        case FastAnswer::Empty:
            return {};
        case FastAnswer::AskOgr:
            break;
        }
    }
    bool ok = false;
    rows = searchWithOgr(expression, ok);
    return rows;
}

bool VectorLayer::isValidExpression(const QString &expression) const
{
    if (!m_ogrLayer)
        return false;
    GdalErrorTrap trap;
    const QByteArray expr = expression.toUtf8();
    const bool ok =
        m_ogrLayer->SetAttributeFilter(expr.constData()) == OGRERR_NONE && trap.failures() == 0;
    m_ogrLayer->SetAttributeFilter(nullptr);
    return ok;
}

RecordSet VectorLayer::SearchExpression(const QString &expression) const
{
    bool all = false;
    std::vector<int> rows = expressionRows(expression, all);
    if (all) // an empty expression is not a condition OGR accepts in a filter
        rows.clear();
    return RecordSet(shared_from_this(), std::move(rows));
}

bool VectorLayer::containsPoint(int row, double x, double y) const
{
    bool inside = false;
    for (int p = m_featureParts[std::size_t(row)]; p < m_featureParts[std::size_t(row) + 1]; ++p) {
        const int first = m_partVertices[std::size_t(p)];
        const int n = m_partVertices[std::size_t(p) + 1] - first;
        if (ringContains(m_xy.data() + 2 * std::size_t(first), n, x, y))
            inside = !inside;
    }
    return inside;
}

double VectorLayer::distanceTo(int row, double x, double y) const
{
    if (m_shapeType == PolygonShapes && containsPoint(row, x, y))
        return 0.0;
    double best = std::numeric_limits<double>::infinity();
    for (int p = m_featureParts[std::size_t(row)]; p < m_featureParts[std::size_t(row) + 1]; ++p) {
        const int first = m_partVertices[std::size_t(p)];
        const int last = m_partVertices[std::size_t(p) + 1];
        const double *v = m_xy.data() + 2 * std::size_t(first);
        const int n = last - first;
        if (n == 1)
            best = std::min(best, std::hypot(x - v[0], y - v[1]));
        for (int i = 0; i + 1 < n; ++i)
            best = std::min(
                best, segmentDistance(x, y, v[2 * i], v[2 * i + 1], v[2 * i + 2], v[2 * i + 3]));
    }
    return best;
}

RecordSet VectorLayer::SearchShape(const MapPoint &point, int relation,
                                   const QString &expression) const
{
    std::vector<int> rows;
    if (relation == ContainsPoint && m_shapeType == PolygonShapes && std::isfinite(point.X) &&
        std::isfinite(point.Y)) {
        m_index.query({point.X, point.Y, point.X, point.Y}, rows);
        std::sort(rows.begin(), rows.end());
        std::erase_if(rows, [&](int row) { return !containsPoint(row, point.X, point.Y); });
    }
    if (!rows.empty() && !expression.trimmed().isEmpty()) {
        bool all = false;
        const std::vector<int> allowed = expressionRows(expression, all);
        std::erase_if(
            rows, [&](int r) { return !std::binary_search(allowed.begin(), allowed.end(), r); });
    }
    return RecordSet(shared_from_this(), std::move(rows));
}

RecordSet VectorLayer::SearchByDistance(const MapPoint &point, double distance,
                                        const QString &expression) const
{
    std::vector<int> rows;
    if (std::isfinite(point.X) && std::isfinite(point.Y) && std::isfinite(distance) &&
        distance >= 0) {
        m_index.query(
            {point.X - distance, point.Y - distance, point.X + distance, point.Y + distance}, rows);
        std::sort(rows.begin(), rows.end());
        std::erase_if(rows, [&](int row) { return distanceTo(row, point.X, point.Y) > distance; });
    }
    if (!rows.empty() && !expression.trimmed().isEmpty()) {
        bool all = false;
        const std::vector<int> allowed = expressionRows(expression, all);
        std::erase_if(
            rows, [&](int r) { return !std::binary_search(allowed.begin(), allowed.end(), r); });
    }
    return RecordSet(shared_from_this(), std::move(rows));
}

void VectorLayer::draw(QPainter &painter, const MapViewport &viewport) const
{
    if (!m_valid || !viewport.isValid())
        return;
    const MapRect &e = viewport.extent();
    std::vector<int> rows;
    m_index.query({e.left(), e.bottom(), e.right(), e.top()}, rows);
    // File order, so overlapping features stack as they do in the file.
    std::sort(rows.begin(), rows.end());
    drawCandidates(painter, viewport, rows, m_symbol);
}

void VectorLayer::drawRows(QPainter &painter, const MapViewport &viewport,
                           const std::vector<int> &rows, const ::Symbol &symbol) const
{
    if (!m_valid || !viewport.isValid())
        return;
    const MapRect &e = viewport.extent();
    std::vector<int> visible;
    visible.reserve(rows.size());
    for (int row : rows) {
        if (row < 0 || row >= featureCount())
            continue;
        const auto &b = m_boxes[std::size_t(row)];
        if (b.minX <= e.right() && b.maxX >= e.left() && b.minY <= e.top() && b.maxY >= e.bottom())
            visible.push_back(row);
    }
    drawCandidates(painter, viewport, visible, symbol);
}

void VectorLayer::drawCandidates(QPainter &painter, const MapViewport &viewport,
                                 const std::vector<int> &rows, const ::Symbol &symbol) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    std::vector<QPointF> buffer;
    std::vector<QPointF> dots; // features smaller than a pixel
    const double ppu = viewport.pixelsPerUnit();

    if (m_shapeType == PointShapes) {
        for (int row : rows) {
            for (int p = m_featureParts[std::size_t(row)]; p < m_featureParts[std::size_t(row) + 1];
                 ++p) {
                for (int v = m_partVertices[std::size_t(p)]; v < m_partVertices[std::size_t(p) + 1];
                     ++v)
                    drawMarker(painter,
                               QPointF(viewport.toDeviceX(m_xy[2 * std::size_t(v)]),
                                       viewport.toDeviceY(m_xy[2 * std::size_t(v) + 1])),
                               symbol);
            }
        }
        painter.restore();
        return;
    }

    if (m_shapeType == LineShapes)
        setupLine(painter, symbol);
    else
        setupFill(painter, symbol);
    for (int row : rows) {
        const auto &b = m_boxes[std::size_t(row)];
        if ((b.maxX - b.minX) * ppu < 1.0 && (b.maxY - b.minY) * ppu < 1.0) {
            dots.emplace_back(viewport.toDeviceX(b.minX), viewport.toDeviceY(b.maxY));
            continue;
        }
        drawFeature(painter, viewport, row, buffer);
    }
    if (!dots.empty()) {
        const quint32 dotColor =
            m_shapeType == PolygonShapes && symbol.Outline ? symbol.OutlineColor : symbol.Color;
        painter.setPen(QPen(colorFromRgb(dotColor), 1));
        painter.drawPoints(dots.data(), int(dots.size()));
    }
    painter.restore();
}

void VectorLayer::drawFeature(QPainter &painter, const MapViewport &viewport, int row,
                              std::vector<QPointF> &buffer) const
{
    const int firstPart = m_featureParts[std::size_t(row)];
    const int lastPart = m_featureParts[std::size_t(row) + 1];
    auto transformPart = [&](int p) {
        const int first = m_partVertices[std::size_t(p)];
        const int last = m_partVertices[std::size_t(p) + 1];
        buffer.resize(std::size_t(last - first));
        for (int v = first; v < last; ++v)
            buffer[std::size_t(v - first)] =
                QPointF(viewport.toDeviceX(m_xy[2 * std::size_t(v)]),
                        viewport.toDeviceY(m_xy[2 * std::size_t(v) + 1]));
    };
    if (m_shapeType == LineShapes) {
        for (int p = firstPart; p < lastPart; ++p) {
            transformPart(p);
            painter.drawPolyline(buffer.data(), int(buffer.size()));
        }
        return;
    }
    if (lastPart - firstPart == 1) {
        transformPart(firstPart);
        painter.drawPolygon(buffer.data(), int(buffer.size()), Qt::OddEvenFill);
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (int p = firstPart; p < lastPart; ++p) {
        transformPart(p);
        path.addPolygon(QPolygonF(QList<QPointF>(buffer.begin(), buffer.end())));
        path.closeSubpath();
    }
    painter.drawPath(path);
}
