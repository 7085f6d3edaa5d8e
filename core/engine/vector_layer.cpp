#include "core/engine/vector_layer.h"

#include "core/common/number_text.h"
#include "core/engine/gdal_session.h"
#include "core/engine/map_crs.h"
#include "core/engine/map_viewport.h"
#include "core/engine/vector_painter.h"
#include "core/engine/vector_reader.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// A new theme gets one of a few quiet colours, the same for the same file every time.
::Symbol defaultSymbol(ShapeType shapeType, const QString &file)
{
    static const QRgb palette[] = {0xB4D2F0, 0xA8E0B4, 0xF0D2A0, 0xD2B4E6, 0xF0B4B4, 0xC8C8A0};
    ::Symbol s;
    s.color = QColor::fromRgb(palette[qHash(QFileInfo(file).fileName()) % std::size(palette)]);
    s.outlineColor = QColor(0x50, 0x50, 0x50);
    s.size = shapeType == ShapeType::Points ? 7 : 1;
    return s;
}

} // namespace

std::shared_ptr<VectorLayer> VectorLayer::open(const QString &path, const LoadProgress &progress,
                                               int mapZone)
{
    std::shared_ptr<VectorLayer> layer(new VectorLayer(path));
    layer->m_valid = layer->load(progress, mapZone);
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

bool VectorLayer::load(const LoadProgress &progress, int mapZone)
{
    ensureGdalRegistered();
    GdalErrorTrap trap;
    const SourceRef ref = parseSourceRef(file());
    if (!ref.path.startsWith(u"/vsi"_s) && !isDatabaseSource(ref.path) &&
        !QFileInfo::exists(ref.path)) {
        m_error = u"No such file or folder"_s;
        return false;
    }
    const QByteArray path = gdalPathOf(ref.path).toUtf8();
    m_dataset = GDALDataset::FromHandle(
        GDALOpenEx(path.constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!m_dataset || m_dataset->GetLayerCount() < 1) {
        m_error = trap.failures() ? trap.lastMessage() : u"not a vector data source"_s;
        return false;
    }
    if (!ref.layer.isEmpty()) {
        m_ogrLayer = m_dataset->GetLayerByName(ref.layer.toUtf8().constData());
        if (!m_ogrLayer) {
            m_error = u"it has no layer "_s + ref.layer;
            return false;
        }
    } else {
        // The only layer, or the first that holds shapes (a geodatabase also holds tables).
        m_ogrLayer = m_dataset->GetLayer(0);
        const QStringList offered =
            m_dataset->GetLayerCount() > 1 ? vectorLayerNames(ref.path) : QStringList();
        if (!offered.isEmpty())
            m_ogrLayer = m_dataset->GetLayerByName(offered.first().toUtf8().constData());
    }
    if (trap.failures() || !m_ogrLayer) {
        m_error = trap.failures() ? trap.lastMessage() : u"it has no layer"_s;
        return false;
    }
    const OGRSpatialReference *srs = m_ogrLayer->GetSpatialRef();
    setCoordinateSystem(srs);
    double extent[4] = {0, 0, 0, 0};
    if (srs && mapZone == 0 && !nad83UtmZone(*srs)) {
        OGREnvelope e;
        if (m_ogrLayer->GetExtent(&e, TRUE) == OGRERR_NONE)
            extent[0] = e.MinX, extent[1] = e.MinY, extent[2] = e.MaxX, extent[3] = e.MaxY;
    }
    trap.reset();
    const MapTransform toMap = placeInMap(srs, extent, mapZone, m_error);
    if (!toMap.error.isEmpty())
        return false;
    VectorRead read = readVectorLayer(*m_ogrLayer, ref.path, progress, toMap.transform.get());
    m_cancelled = read.cancelled;
    if (!read.error.isEmpty()) {
        m_error = read.error; // nothing half-read stays behind
        return false;
    }
    m_shapeType = read.shapeType;
    m_extent = read.extent;
    m_geometry = std::move(read.geometry);
    m_fields = std::move(read.fields);
    m_attributes = std::move(read.attributes);
    m_fids = std::move(read.fids);
    m_fidsAreRows = read.fidsAreRows;
    m_symbol = defaultSymbol(m_shapeType, file());
    return true;
}

QVariant VectorLayer::value(int row, int field) const
{
    if (row < 0 || row >= featureCount())
        return {};
    return m_attributes.value(row, field);
}

RecordSet VectorLayer::records() const
{
    std::vector<int> rows(static_cast<std::size_t>(featureCount()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i);
    return RecordSet(shared_from_this(), std::move(rows));
}

std::vector<int> VectorLayer::searchWithOgr(const QString &expression, bool &ok) const
{
    std::vector<int> rows;
    ok = false;
    if (!m_ogrLayer)
        return rows;
    const std::lock_guard lock(m_ogrLock);
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
        switch (m_attributes.search(*terms, featureCount(), rows)) {
        case AttributeIndex::Answer::Rows:
            return rows;
        case AttributeIndex::Answer::Empty:
            return {};
        case AttributeIndex::Answer::AskOgr:
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
    const std::lock_guard lock(m_ogrLock);
    GdalErrorTrap trap;
    const QByteArray expr = expression.toUtf8();
    const bool ok =
        m_ogrLayer->SetAttributeFilter(expr.constData()) == OGRERR_NONE && trap.failures() == 0;
    m_ogrLayer->SetAttributeFilter(nullptr);
    return ok;
}

RecordSet VectorLayer::searchExpression(const QString &expression) const
{
    bool all = false;
    std::vector<int> rows = expressionRows(expression, all);
    if (all) // an empty expression is not a condition OGR accepts in a filter
        rows.clear();
    return RecordSet(shared_from_this(), std::move(rows));
}

RecordSet VectorLayer::restrictedTo(std::vector<int> rows, const QString &expression) const
{
    if (!rows.empty() && !expression.trimmed().isEmpty()) {
        bool all = false;
        const std::vector<int> allowed = expressionRows(expression, all);
        std::erase_if(
            rows, [&](int r) { return !std::binary_search(allowed.begin(), allowed.end(), r); });
    }
    return RecordSet(shared_from_this(), std::move(rows));
}

RecordSet VectorLayer::searchShape(const MapPoint &point, SpatialRelation relation,
                                   const QString &expression) const
{
    std::vector<int> rows;
    if (relation == SpatialRelation::ContainsPoint && m_shapeType == ShapeType::Polygons &&
        std::isfinite(point.X) && std::isfinite(point.Y)) {
        rows = m_geometry.candidates({point.X, point.Y, point.X, point.Y});
        std::erase_if(rows,
                      [&](int row) { return !m_geometry.containsPoint(row, point.X, point.Y); });
    }
    return restrictedTo(std::move(rows), expression);
}

RecordSet VectorLayer::searchByDistance(const MapPoint &point, double distance,
                                        const QString &expression) const
{
    std::vector<int> rows;
    if (std::isfinite(point.X) && std::isfinite(point.Y) && std::isfinite(distance) &&
        distance >= 0) {
        rows = m_geometry.candidates(
            {point.X - distance, point.Y - distance, point.X + distance, point.Y + distance});
        const bool polygons = m_shapeType == ShapeType::Polygons;
        std::erase_if(rows, [&](int row) {
            return m_geometry.distanceTo(row, point.X, point.Y, polygons) > distance;
        });
    }
    return restrictedTo(std::move(rows), expression);
}

RecordSet VectorLayer::featuresAt(const MapPoint &point, double tolerance) const
{
    if (m_shapeType == ShapeType::Polygons)
        return searchShape(point, SpatialRelation::ContainsPoint);
    return searchByDistance(point, tolerance);
}

void VectorLayer::draw(QPainter &painter, const MapViewport &viewport) const
{
    if (!m_valid || !viewport.isValid())
        return;
    const MapRect &e = viewport.extent();
    // File order, so overlapping features stack as they do in the file.
    const std::vector<int> rows = m_geometry.candidates({e.left(), e.bottom(), e.right(), e.top()});
    paintFeatures(painter, viewport, m_geometry, m_shapeType, rows, m_symbol);
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
        const auto &b = m_geometry.boxes[std::size_t(row)];
        if (b.minX <= e.right() && b.maxX >= e.left() && b.minY <= e.top() && b.maxY >= e.bottom())
            visible.push_back(row);
    }
    paintFeatures(painter, viewport, m_geometry, m_shapeType, visible, symbol);
}

void VectorLayer::setLabelSource(LabelSource source, double groupSize)
{
    const std::lock_guard lock(m_labelsLock);
    m_labelSource = std::move(source);
    m_labelGroupSize = groupSize;
    m_labels.reset();
    std::vector<double> sides;
    sides.reserve(m_geometry.boxes.size());
    for (const auto &b : m_geometry.boxes)
        sides.push_back(std::min(b.maxX - b.minX, b.maxY - b.minY));
    if (sides.empty()) {
        m_typicalBox = 0;
        return;
    }
    const auto middle = sides.begin() + std::ptrdiff_t(sides.size() / 2);
    std::nth_element(sides.begin(), middle, sides.end());
    m_typicalBox = *middle;
}

VectorLayer::LabelSource VectorLayer::fieldLabels(const QString &field)
{
    return [field](const VectorLayer &layer) {
        LayerLabels labels;
        const int index = layer.fieldIndex(field);
        if (index < 0)
            return labels;
        labels.features.resize(std::size_t(layer.featureCount()));
        for (int row = 0; row < layer.featureCount(); ++row) {
            const QVariant v = layer.value(row, index);
            labels.features[std::size_t(row)] = v.typeId() == QMetaType::Double
                                                    ? formatNumber(v.toDouble())
                                                    : v.toString().trimmed();
        }
        return labels;
    };
}

const LayerLabels &VectorLayer::labels() const
{
    const std::lock_guard lock(m_labelsLock);
    if (!m_labels) {
        m_labels = m_labelSource ? m_labelSource(*this) : LayerLabels();
        std::vector<MapRect> boxes;
        boxes.reserve(m_geometry.boxes.size());
        for (const auto &b : m_geometry.boxes)
            boxes.emplace_back(b.minX, b.maxX, b.maxY, b.minY);
        m_labels->measure(boxes);
    }
    return *m_labels;
}

void VectorLayer::drawLabels(QPainter &painter, const MapViewport &viewport,
                             LabelPlacer &placer) const
{
    if (!m_valid || !m_labelSource || !viewport.isValid())
        return;
    const QPaintDevice *device = painter.device();
    QFont font = painter.font();
    font.setPointSizeF(8);
    const QFontMetricsF metrics(font, device);
    const double scale = viewport.pixelsPerUnit();
    // Nothing is asked of the source until a label could fit: a whole state stays fast.
    const double needed = 2 * metrics.height();
    if (m_typicalBox * std::max(1.0, m_labelGroupSize) * scale < needed)
        return;
    const LayerLabels &all = labels();
    const MapRect &e = viewport.extent();
    LabelPainter labelPainter(painter, font, QColor(40, 40, 40));
    const auto place = [&](const QString &text, const MapRect &box) {
        const QRectF onScreen = QRectF(viewport.toDevice({box.left(), box.top()}),
                                       viewport.toDevice({box.right(), box.bottom()}))
                                    .normalized();
        const double width = metrics.horizontalAdvance(text);
        if (text.isEmpty() || onScreen.width() < width + 4 || onScreen.height() < metrics.height())
            return;
        const QPointF c = onScreen.center();
        const QRectF rect(c.x() - width / 2, c.y() - metrics.height() / 2, width, metrics.height());
        if (placer.take(rect))
            labelPainter.draw(rect, text);
    };
    if (all.typicalFeature * scale >= needed) {
        for (int row : m_geometry.candidates({e.left(), e.bottom(), e.right(), e.top()})) {
            const auto &b = m_geometry.boxes[std::size_t(row)];
            if (std::size_t(row) < all.features.size())
                place(all.features[std::size_t(row)], MapRect(b.minX, b.maxX, b.maxY, b.minY));
        }
    } else if (all.typicalGroup * scale >= needed) {
        for (const LayerLabels::Group &g : all.groups) {
            const MapRect &b = g.extent;
            if (b.left() <= e.right() && b.right() >= e.left() && b.bottom() <= e.top() &&
                b.top() >= e.bottom())
                place(g.text, b);
        }
    }
}
