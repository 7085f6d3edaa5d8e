#pragma once

#include "core/engine/attribute_index.h"
#include "core/engine/labels.h"
#include "core/engine/map_layer.h"
#include "core/engine/record_set.h"
#include "core/engine/symbol.h"
#include "core/engine/vector_geometry.h"
#include "core/engine/vector_reader.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class GDALDataset;
class OGRLayer;

// A shapefile (or any OGR vector source) held in memory: coordinates in flat arrays, one
// bounding box per feature with an R-tree over them, attributes by column. The OGR data source
// stays open only to answer attribute expressions the layer does not evaluate itself.
class VectorLayer final : public MapLayer, public std::enable_shared_from_this<VectorLayer>
{
public:
    // Told how many features of how many were read, now and then while a large file loads;
    // answering false stops the load (the layer is then not Valid() and cancelled()).
    using LoadProgress = ReadProgress;

    // Reads one whole layer of a source GDAL opens as vector ("SOURCE|layername=NAME" for one
    // of several; else the only or the first polygon, line or point layer), reprojected into
    // NAD83 UTM `mapZone` when it declares another system (0: the map has no zone yet, and the
    // layer takes its own or that of its centre). A missing, truncated or corrupt source gives
    // a layer whose Valid() is false, never a crash; errorText() then says what went wrong.
    static std::shared_ptr<VectorLayer> open(const QString &path, const LoadProgress &progress = {},
                                             int mapZone = 0);
    ~VectorLayer() override;

    LayerType layerType() const override { return LayerType::Vector; }
    bool isValid() const override { return m_valid; }
    MapRect extent() const override { return m_extent; }
    void draw(QPainter &painter, const MapViewport &viewport) const override;
    QString errorText() const { return m_error; }
    bool cancelled() const { return m_cancelled; }

    ShapeType shapeType() const { return m_shapeType; }
    ::Symbol &symbol() { return m_symbol; }
    const ::Symbol &symbol() const { return m_symbol; }

    int featureCount() const { return m_geometry.featureCount(); }
    QList<FieldInfo> fields() const { return m_fields; }
    // Index of a field by name without regard to case, or -1.
    int fieldIndex(const QString &name) const { return m_attributes.fieldIndex(name); }
    bool isNumericField(const QString &name) const
    {
        return m_attributes.isNumericColumn(m_attributes.fieldIndex(name));
    }
    QVariant value(int row, int field) const;
    // A column computed from the others (one value per feature), searched like a field but
    // not listed among fields(); replaces the one of that name set before.
    void setDerivedColumn(const QString &name, AttributeIndex::Column column)
    {
        m_attributes.setDerivedColumn(name, std::move(column));
    }
    MapPolygon shapeOf(int row) const { return m_geometry.shapeOf(row); }

    // Every record.
    RecordSet records() const;
    // Records matching an attribute expression with OGR SQL's meaning. An expression OGR would
    // refuse (missing field, type mismatch, bad syntax) yields an empty set.
    RecordSet searchExpression(const QString &expression) const;
    // Whether OGR accepts the expression for this layer's fields (a missing field or a type
    // mismatch is refused as well as bad syntax).
    bool isValidExpression(const QString &expression) const;
    // Relation 12: the polygons containing the point. Other relations find nothing. A non-empty
    // expression further restricts the result.
    enum class SpatialRelation { ContainsPoint };
    RecordSet searchShape(const MapPoint &point,
                          SpatialRelation relation = SpatialRelation::ContainsPoint,
                          const QString &expression = {}) const;
    // Features within `distance` map units of the point (inside a polygon counts as 0).
    RecordSet searchByDistance(const MapPoint &point, double distance,
                               const QString &expression = {}) const;

    // What a click finds: the polygons containing the point, or for points and lines the
    // features within `tolerance` map units of it.
    RecordSet featuresAt(const MapPoint &point, double tolerance) const;

    // Where the layer's labels come from: asked on the first redraw at a scale where they may
    // fit, and kept until another source is set (none: no labels). `groupSize` is how many
    // features a group of the source spans across (a township: six sections), 0 for none.
    using LabelSource = std::function<LayerLabels(const VectorLayer &)>;
    void setLabelSource(LabelSource source, double groupSize = 0);
    bool hasLabelSource() const { return bool(m_labelSource); }
    // Labels from a field's values (numbers without needless decimals).
    static LabelSource fieldLabels(const QString &field);
    void drawLabels(QPainter &painter, const MapViewport &viewport,
                    LabelPlacer &placer) const override;

    // Draws only the given rows with another symbol (query highlights, selections).
    void drawRows(QPainter &painter, const MapViewport &viewport, const std::vector<int> &rows,
                  const ::Symbol &symbol) const;

private:
    explicit VectorLayer(const QString &path);
    bool load(const LoadProgress &progress, int mapZone);

    std::vector<int> searchWithOgr(const QString &expression, bool &ok) const;
    std::vector<int> expressionRows(const QString &expression, bool &all) const;
    // The rows (in file order) that a non-empty expression also allows; all of them otherwise.
    RecordSet restrictedTo(std::vector<int> rows, const QString &expression) const;

    bool m_valid = false;
    bool m_cancelled = false;
    QString m_error;
    ShapeType m_shapeType = ShapeType::Polygons;
    ::Symbol m_symbol;
    MapRect m_extent = MapRect::null();

    VectorGeometry m_geometry;
    QList<FieldInfo> m_fields;
    AttributeIndex m_attributes;
    std::vector<qint64> m_fids;
    bool m_fidsAreRows = true;

    LabelSource m_labelSource;
    double m_labelGroupSize = 0;
    double m_typicalBox = 0; // of the features, before any label is made
    mutable std::optional<LayerLabels> m_labels;
    mutable std::mutex m_labelsLock;
    const LayerLabels &labels() const;

    // Owned; closed with the layer. Searches may come from several threads, OGR's layer
    // serves one at a time.
    GDALDataset *m_dataset = nullptr;
    OGRLayer *m_ogrLayer = nullptr;
    mutable std::mutex m_ogrLock;
};
