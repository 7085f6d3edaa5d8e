// Section, township, range and meridian entries through parsing, query building and the search
// of small section themes; the first entry also as the township code of a one-section theme in
// the BLM's schema, decoded and searched; and the whole input as a legal description, read and
// the fields it gives located.
#include "core/common/message_service.h"
#include "core/engine/vector_layer.h"
#include "core/plss/description_reader.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "fuzz/fuzz_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    const QList<QString> f = fuzzsupport::fields(fuzzsupport::bytes(data, size), 4);
    const SectionEntries entries{f[0], f[1], f[2], f[3]};
    QString error;
    if (const auto description = parseSectionEntries(entries, &error)) {
        for (const QString &expression : buildSectionExpressions(*description)) {
            (void)fuzzsupport::sectionTheme(1)->searchExpression(expression);
            (void)fuzzsupport::sectionTheme(1)->isValidExpression(expression);
        }
    }
    RecordingMessageService messages;
    for (int layout : {1, 5})
        (void)findSectionPolygon(*fuzzsupport::sectionTheme(layout), entries, messages);

    // The whole input as a description as permits write it.
    QString why;
    if (const auto read =
            readLegalDescription(QString::fromUtf8(fuzzsupport::bytes(data, size)), &why))
        (void)findSectionPolygon(*fuzzsupport::sectionTheme(1),
                                 {read->section, read->township, read->range, read->meridian},
                                 messages);

    (void)decodePlssId(f[0]);
    const QJsonArray ring{QJsonArray{0, 0}, QJsonArray{0, 1000}, QJsonArray{1000, 1000},
                          QJsonArray{1000, 0}, QJsonArray{0, 0}};
    QJsonArray rings; // appended: QJsonArray{ring} would copy the ring, not nest it
    rings.append(ring);
    const QJsonObject feature{
        {u"type"_s, u"Feature"_s},
        {u"properties"_s,
         QJsonObject{{u"PLSSID"_s, f[0]}, {u"FRSTDIVNO"_s, f[1]}, {u"FRSTDIVTYP"_s, u"SN"_s}}},
        {u"geometry"_s, QJsonObject{{u"type"_s, u"Polygon"_s}, {u"coordinates"_s, rings}}}};
    const QString path = fuzzsupport::workDir() + u"/blm.geojson"_s;
    // In the map's own system (UTM 13N), so no coordinate operation is looked up on each run.
    const QJsonObject crs{
        {u"type"_s, u"name"_s},
        {u"properties"_s, QJsonObject{{u"name"_s, u"urn:ogc:def:crs:EPSG::26913"_s}}}};
    // '<' escaped: GDAL takes a file with "<OGRVRTDataSource" (or another XML root) among its
    // first bytes for a file of that kind, whatever else it holds.
    QByteArray json = QJsonDocument(QJsonObject{{u"type"_s, u"FeatureCollection"_s},
                                                {u"crs"_s, crs},
                                                {u"features"_s, QJsonArray{feature}}})
                          .toJson();
    fuzzsupport::writeFile(path, json.replace("<", "\\u003c"));
    const auto blm = VectorLayer::open(path);
    if (blm->isValid() && prepareNamedPlssFields(*blm))
        (void)findSectionPolygon(*blm, entries, messages);
    return 0;
}
