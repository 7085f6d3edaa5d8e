#pragma once

#include "core/engine/geometry.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class VectorLayer;

// Field type codes as callers see them; 8 is text.
namespace FieldType {
constexpr int Boolean = 1;
constexpr int Integer = 3;
constexpr int Double = 7;
constexpr int Text = 8;
constexpr int Date = 10;
} // namespace FieldType

struct FieldInfo
{
    QString name;
    int type = FieldType::Text;
};

// The records a search found, in file order, with a cursor. Keeps its layer alive.
class RecordSet
{
public:
    RecordSet() = default;
    RecordSet(std::shared_ptr<const VectorLayer> layer, std::vector<int> rows);

    int count() const { return int(m_rows.size()); }
    bool atEnd() const { return m_pos >= m_rows.size(); }
    void moveFirst() { m_pos = 0; }
    void moveNext()
    {
        if (m_pos < m_rows.size())
            ++m_pos;
    }

    // The current record's value of a field (name without regard to case); "Shape" gives the
    // geometry as a MapPolygon. Nothing when the field does not exist or the set is at its end;
    // an invalid QVariant for a null value.
    std::optional<QVariant> value(const QString &fieldName) const;
    // The current record's geometry as a new polygon object (empty at the end).
    MapPolygon shape() const;
    // Field table of the layer, in file order.
    QList<FieldInfo> fields() const;

    // Feature index of the current record in its layer, or -1 at the end.
    int row() const { return atEnd() ? -1 : m_rows[m_pos]; }
    const std::vector<int> &rows() const { return m_rows; }
    const VectorLayer *layer() const { return m_layer.get(); }

private:
    std::shared_ptr<const VectorLayer> m_layer;
    std::vector<int> m_rows;
    std::size_t m_pos = 0;
};
