#include "core/engine/record_set.h"

#include "core/engine/vector_layer.h"

using namespace Qt::StringLiterals;

RecordSet::RecordSet(std::shared_ptr<const VectorLayer> layer, std::vector<int> rows)
    : m_layer(std::move(layer))
    , m_rows(std::move(rows))
{}

std::optional<QVariant> RecordSet::value(const QString &fieldName) const
{
    if (!m_layer || atEnd())
        return std::nullopt;
    if (fieldName.compare(u"Shape"_s, Qt::CaseInsensitive) == 0)
        return QVariant::fromValue(shape());
    const int field = m_layer->fieldIndex(fieldName);
    if (field < 0)
        return std::nullopt;
    return m_layer->value(m_rows[m_pos], field);
}

MapPolygon RecordSet::shape() const
{
    if (!m_layer || atEnd())
        return {};
    return m_layer->shapeOf(m_rows[m_pos]);
}

QList<FieldInfo> RecordSet::fields() const
{
    return m_layer ? m_layer->fields() : QList<FieldInfo>{};
}
