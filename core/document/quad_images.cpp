#include "core/document/quad_images.h"

#include "core/engine/vector_layer.h"

using namespace Qt::StringLiterals;

bool hasQuadNameField(const VectorLayer &layer)
{
    const QList<FieldInfo> fields = layer.fields();
    return std::any_of(fields.cbegin(), fields.cend(),
                       [](const FieldInfo &f) { return f.name == u"QUADNAME"_s; });
}

QStringList quadImageFiles(RecordSet records)
{
    QStringList files;
    for (records.moveFirst(); !records.atEnd(); records.moveNext()) {
        QString name = records.value(u"QUADNAME"_s).value_or(QVariant()).toString();
        name.remove(u' ');
        if (!name.isEmpty())
            files.append(name.contains(u'.') ? name : name + u".tif"_s);
    }
    return files;
}
