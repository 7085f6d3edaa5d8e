#include "core/engine/map_crs.h"
#include "core/engine/vector_layer.h"
#include "tests/fixtures/fixtures.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString utahPath()
{
    return QStringLiteral(TW_SHARED_DATA "/utah-sections/utah_sections.shp");
}

// Copies the three files of a shapefile under a new base name.
bool copyShapefile(const QString &from, const QString &to)
{
    const QString fromBase = from.chopped(4), toBase = to.chopped(4);
    for (const char *ext : {".shp", ".shx", ".dbf", ".prj"}) {
        QFile::remove(toBase + QLatin1String(ext));
        if (QFile::exists(fromBase + QLatin1String(ext)) &&
            !QFile::copy(fromBase + QLatin1String(ext), toBase + QLatin1String(ext)))
            return false;
        QFile::setPermissions(toBase + QLatin1String(ext), QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

class TestVectorLayer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // Two polygons, the second with a hole; two lines; three points.
    void initTestCase()
    {
        QCOMPARE(fixtures::writePolygons(
                     m_dir.filePath(u"two.shp"_s),
                     {{u"Section"_s, fixtures::Field::Integer},
                      {u"acres"_s, fixtures::Field::Real},
                      {u"name"_s, fixtures::Field::Text}},
                     {{{{{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}}}, {7, 640.5, u"Abc"_s}},
                      {{{{20, 0}, {20, 10}, {30, 10}, {30, 0}, {20, 0}},
                        {{22, 2}, {28, 2}, {28, 8}, {22, 8}, {22, 2}}},
                       {QVariant(), 1.0, u"x"_s}}}),
                 QString());
        QCOMPARE(fixtures::writeLines(m_dir.filePath(u"lines.shp"_s),
                                      {{{0, 0}, {100, 0}}, {{0, 50}, {100, 50}}}) +
                     fixtures::writePoints(m_dir.filePath(u"points.shp"_s),
                                           {{10, 10}, {20, 20}, {30, 30}}),
                 QString());
    }

    void loadsFieldsAndValues()
    {
        auto layer = VectorLayer::open(m_dir.filePath(u"two.shp"_s));
        QVERIFY(layer->isValid());
        QCOMPARE(u"%1 %2"_s.arg(layer->name()).arg(int(layer->shapeType())), u"two 23"_s);
        QCOMPARE(layer->extent(), MapRect(0, 30, 10, 0));
        RecordSet all = layer->records();
        QCOMPARE(all.count(), 2);
        const QList<FieldInfo> fields = all.fields();
        QCOMPARE((QList<int>{fields[0].type, fields[1].type, fields[2].type}),
                 (QList<int>{FieldType::Integer, FieldType::Double, 8})); // 8: text
        QCOMPARE(all.value(u"SECTION"_s)->toInt(), 7);
        QCOMPARE(all.value(u"acres"_s)->toDouble(), 640.5);
        QCOMPARE(all.value(u"name"_s)->toString(), u"Abc"_s);
        QVERIFY(!all.value(u"nosuch"_s).has_value()); // an error the caller can test
        QCOMPARE(all.value(u"Shape"_s)->value<MapPolygon>().extent(), MapRect(0, 10, 10, 0));
        all.moveNext();
        QCOMPARE(all.value(u"Section"_s), std::optional<QVariant>(QVariant())); // null
        QCOMPARE(all.shape().partCount(), 2);
        all.moveNext();
        QVERIFY(all.atEnd() && !all.value(u"Section"_s).has_value());
        all.moveFirst();
        QCOMPARE(all.row(), 0);

        // The hole is not part of the polygon.
        QCOMPARE(layer->searchShape({5, 5}).rows(), std::vector<int>{0});
        QCOMPARE(layer->searchShape({25, 5}).count(), 0);
        QCOMPARE(layer->searchShape({21, 5}).rows(), std::vector<int>{1});
        constexpr auto contains = VectorLayer::SpatialRelation::ContainsPoint;
        QCOMPARE(layer->searchShape({5, 5}, contains, u"name = 'x'"_s).count(), 0);
        QCOMPARE(layer->searchShape({5, 5}, contains, u"name = 'ABC'"_s).count(), 1);

        // Lines and points: their shape kinds; lines contain no points.
        auto lines = VectorLayer::open(m_dir.filePath(u"lines.shp"_s));
        auto points = VectorLayer::open(m_dir.filePath(u"points.shp"_s));
        QCOMPARE((QList<ShapeType>{lines->shapeType(), points->shapeType()}),
                 (QList<ShapeType>{ShapeType::Lines, ShapeType::Points}));
        QCOMPARE(lines->searchShape({50, 0}).count(), 0);
    }

    void distanceSearch_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<double>("distance");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside the first") << u"two"_s << QPointF(5, 5) << 0.0 << 1;
        QTest::newRow("between, reaching both") << u"two"_s << QPointF(15, 5) << 5.0 << 2;
        QTest::newRow("between, reaching none") << u"two"_s << QPointF(15, 5) << 4.9 << 0;
        QTest::newRow("in the hole, reaching its edge") << u"two"_s << QPointF(25, 5) << 3.0 << 1;
        QTest::newRow("in the hole, short of its edge") << u"two"_s << QPointF(25, 5) << 2.9 << 0;
        QTest::newRow("diagonal from a corner") << u"two"_s << QPointF(13, 14) << 5.0 << 1;
        QTest::newRow("one line") << u"lines"_s << QPointF(50, 10) << 10.0 << 1;
        QTest::newRow("both lines") << u"lines"_s << QPointF(50, 25) << 25.0 << 2;
        QTest::newRow("one point") << u"points"_s << QPointF(21, 21) << 1.5 << 1;
        QTest::newRow("three points") << u"points"_s << QPointF(21, 21) << 15.6 << 3;
        QTest::newRow("two points") << u"points"_s << QPointF(21, 21) << 15.5 << 2;
    }
    void distanceSearch()
    {
        QFETCH(QString, file);
        QFETCH(QPointF, at);
        QFETCH(double, distance);
        QFETCH(int, expected);
        auto layer = VectorLayer::open(m_dir.filePath(file + u".shp"_s));
        QVERIFY(layer->isValid());
        QCOMPARE(layer->searchByDistance({at.x(), at.y()}, distance).count(), expected);
    }

    // Every real section contains a point just inside its first corner, and only that one of
    // its neighbours claims the point.
    void pointInPolygonOnRealSections()
    {
        if (!QFile::exists(utahPath()))
            QSKIP("shared Utah data not present");
        auto layer = VectorLayer::open(utahPath());
        QVERIFY(layer->isValid());
        QCOMPARE(layer->featureCount(), 373);
        RecordSet all = layer->records();
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            const MapPolygon poly = all.shape();
            // The midpoint between the polygon's bounding-box centre and its first vertex lies
            // inside for these nearly convex sections.
            const MapPoint c = poly.extent().center();
            const MapPoint v = poly.parts().first().first();
            const MapPoint probe{(c.X * 3 + v.X) / 4, (c.Y * 3 + v.Y) / 4};
            QCOMPARE(layer->searchShape(probe).rows(), std::vector<int>{all.row()});
        }
        // Far outside every section.
        QCOMPARE(layer->searchShape({0, 0}).count(), 0);
        QCOMPARE(layer->searchShape({std::nan(""), 4e6}).count(), 0);
    }

    // Large loads report progress and can be stopped.
    void progressAndCancel()
    {
        const QString path = m_dir.filePath(u"big.shp"_s); // 5,184 sections
        QCOMPARE(fixtures::writeSectionGrid(path, {.townshipsEast = 12, .townshipsNorth = 12}),
                 QString());
        QList<qint64> seen;
        auto layer = VectorLayer::open(path, [&](qint64 done, qint64 total) {
            seen.append(done);
            return total == 5184;
        });
        QVERIFY(layer->isValid());
        QCOMPARE(seen, (QList<qint64>{0, 4096}));
        auto stopped = VectorLayer::open(path, [](qint64 done, qint64) { return done < 4096; });
        QVERIFY(!stopped->isValid() && stopped->cancelled());
        QCOMPARE(stopped->records().count(), 0);
    }

    // Sources of several layers and in other systems: the layer asked for, the first offered
    // one otherwise, the map's zone when it has one. What cannot be read, missing and foreign
    // files too, says why and finds nothing.
    void sourcesAndSystems_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("mapZone");
        QTest::addColumn<QString>("loaded"); // the layer's name and the zone held in, 0: none
        QTest::addColumn<QString>("error");  // empty: loads; "?": any reason
        QTest::newRow("first layer") << u"two.gpkg"_s << 0 << u"two 12"_s << QString();
        QTest::newRow("named layer")
            << u"two.gpkg|layername=quads"_s << 0 << u"quads 13"_s << QString();
        QTest::newRow("into the map's zone")
            << u"two.gpkg|layername=quads"_s << 12 << u"quads 12"_s << QString();
        QTest::newRow("no such layer")
            << u"two.gpkg|layername=wells"_s << 0 << QString() << u"it has no layer wells"_s;
        QTest::newRow("no system declared") << u"bare.shp"_s << 12 << u"bare 0"_s << QString();
        QTest::newRow("local system")
            << u"local.shp"_s << 0 << QString()
            << u"The coordinate system of local (Site grid) cannot be transformed into NAD83 UTM."_s;
        QTest::newRow("beyond the globe")
            << u"far.geojson"_s << 0 << QString()
            << u"The coordinates of far reach beyond longitude 180 degrees east or west; they cannot be placed in a UTM zone."_s;
        QTest::newRow("a vertex PROJ cannot place")
            << u"pole.geojson"_s << 0 << QString()
            << u"feature 1 cannot be transformed into the map's coordinate system"_s;
        QTest::newRow("zero-length") << u"empty.shp"_s << 0 << QString() << u"?"_s;
        QTest::newRow("text") << u"text.shp"_s << 0 << QString() << u"?"_s;
        QTest::newRow("cut-off GeoJSON") << u"junk.geojson"_s << 0 << QString() << u"?"_s;
        QTest::newRow("missing") << u"missing.shp"_s << 0 << QString() << u"?"_s;
    }
    void sourcesAndSystems()
    {
        QFETCH(QString, source);
        QFETCH(int, mapZone);
        QFETCH(QString, loaded);
        QFETCH(QString, error);
        if (!QFile::exists(utahPath()))
            QSKIP("shared Utah data not present");
        QTemporaryDir dir;
        // Two layers: the Utah sections in geographic NAD83, a quad index in zone 13.
        const QString gpkg = dir.filePath(u"two.gpkg"_s);
        QCOMPARE(fixtures::translateVector(utahPath(), gpkg, u"GPKG"_s, 4269, u"sections"_s),
                 QString());
        const QString quads = dir.filePath(u"quads.shp"_s);
        QCOMPARE(fixtures::writeQuadIndex(quads, {{u"A"_s, 0, 1, 1, 0}}), QString());
        QCOMPARE(fixtures::translateVector(quads, gpkg, u"GPKG"_s, 26913, u"quads"_s), QString());
        QCOMPARE(vectorLayerNames(gpkg), (QStringList{u"sections"_s, u"quads"_s}));
        QCOMPARE(fixtures::writeSectionGrid(dir.filePath(u"bare.shp"_s), {}), QString());
        QFile::remove(dir.filePath(u"bare.prj"_s));
        QCOMPARE(fixtures::writeSectionGrid(dir.filePath(u"local.shp"_s), {}), QString());
        QVERIFY(
            writeFile(dir.filePath(u"local.prj"_s), R"(LOCAL_CS["Site grid",UNIT["Meter",1]])"));
        QVERIFY(writeFile(dir.filePath(u"empty.shp"_s), {}));
        QVERIFY(writeFile(dir.filePath(u"text.shp"_s), "not a shapefile at all\n"));
        QVERIFY(writeFile(dir.filePath(u"far.geojson"_s),
                          R"({"type": "FeatureCollection", "features": [{"type": "Feature",
              "properties": {}, "geometry": {"type": "Point", "coordinates": [1e300, 40]}}]})"));
        // The bad vertex in the second feature, and thousands read after it: the reading
        // must stop (not wait for ever) when the transforming thread gives up.
        const QByteArray line = R"({"type": "Feature", "properties": {}, "geometry":
            {"type": "LineString", "coordinates": [[-111, 40], [-111, 41], [-110, 41]]}})";
        QVERIFY(writeFile(dir.filePath(u"pole.geojson"_s),
                          R"({"type": "FeatureCollection", "features": [)" + line +
                              R"(, {"type": "Feature", "properties": {}, "geometry": {"type":
              "LineString", "coordinates": [[-111, 40], [-111, 95]]}})" +
                              QByteArray(", " + line).repeated(8000) + "]}"));
        QVERIFY(writeFile(dir.filePath(u"junk.geojson"_s),
                          R"({"type": "FeatureCollection", "features": [)"));
        auto layer = VectorLayer::open(dir.filePath(source), {}, mapZone);
        if (!error.isEmpty()) {
            QVERIFY(!layer->isValid() && !layer->errorText().isEmpty());
            QCOMPARE(error == u"?"_s ? u"?"_s : layer->errorText(), error);
            QCOMPARE(layer->records().count(), 0);
            QCOMPARE(layer->searchExpression(u"section = 1"_s).count(), 0);
            return;
        }
        QVERIFY2(layer->isValid(), qPrintable(layer->errorText()));
        QCOMPARE(u"%1 %2"_s.arg(layer->name()).arg(layer->utmZone().value_or(0)), loaded);
        QCOMPARE(layer->file(), dir.filePath(source)); // as a project stores it
    }

    // Damaged copies of real files. Truncated ones are refused and searches on them find
    // nothing. Byte-flipped ones (8 random bit flips in one of the three files, 60 copies) may
    // load, flipped coordinates being still numbers, but nothing crashes and every search and
    // draw completes.
    void damagedRealFiles_data()
    {
        QTest::addColumn<QString>("ext"); // several: each in turn
        QTest::addColumn<double>("keep"); // the share kept; 0: the header only; -1: bit flips
        QTest::newRow(".shp at half") << u".shp"_s << 0.5;
        QTest::newRow(".shp header only") << u".shp"_s << 0.0;
        QTest::newRow(".shx at half") << u".shx"_s << 0.5;
        QTest::newRow(".dbf at half") << u".dbf"_s << 0.5;
        QTest::newRow(".dbf header only") << u".dbf"_s << 0.0;
        QTest::newRow("bit flips") << u".shp .shx .dbf"_s << -1.0;
    }
    void damagedRealFiles()
    {
        QFETCH(QString, ext);
        QFETCH(double, keep);
        if (!QFile::exists(utahPath()))
            QSKIP("shared Utah data not present");
        QRandomGenerator random(42);
        int refused = 0;
        const int rounds = keep < 0 ? 60 : 1;
        for (int round = 0; round < rounds; ++round) {
            const QString path = m_dir.filePath(u"damaged%1.shp"_s.arg(round));
            QVERIFY(copyShapefile(utahPath(), path));
            QFile f(path.chopped(4) + ext.split(u' ')[round % 3]);
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (keep >= 0) {
                const qint64 header = ext == u".dbf"_s ? 32 : 100;
                QVERIFY(f.resize(keep == 0 ? header : qint64(double(f.size()) * keep)));
            } else {
                QByteArray bytes = f.readAll();
                for (int k = 0; k < 8; ++k)
                    bytes[random.bounded(int(bytes.size()))] ^= char(1 << random.bounded(8));
                f.seek(0);
                f.write(bytes);
            }
            f.close();
            auto layer = VectorLayer::open(path);
            QVERIFY(keep < 0 || !layer->isValid()); // truncated: refused
            if (!layer->isValid()) {
                ++refused;
                QCOMPARE(layer->searchShape({400000, 4400000}).count(), 0);
                continue;
            }
            layer->searchShape({430000, 4400000});
            layer->searchByDistance({430000, 4400000}, 5000);
            layer->searchExpression(u"section = 7 and township = 35"_s);
            RecordSet all = layer->records();
            for (all.moveFirst(); !all.atEnd(); all.moveNext())
                all.shape();
        }
        qInfo("%d of %d damaged copies refused", refused, rounds);
    }
};

QTEST_GUILESS_MAIN(TestVectorLayer)
#include "tst_vector_layer.moc"
