#include "cli/csv.h"
#include "cli/locate_tool.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <gdal.h>
#include <ogr_api.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int code;
    QString out, err;
};

Run run(const QStringList &arguments)
{
    QString out, err;
    QTextStream o(&out), e(&err);
    const int code = runLocateTool(arguments, o, e);
    o.flush();
    e.flush();
    return {code, out, err};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeText(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestLocateTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_theme;

private Q_SLOTS:
    void initTestCase()
    {
        fixtures::SectionGrid g;
        g.originX = 400000;
        g.originY = 4400000;
        m_theme = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(m_theme, g), QString());
        // The same sections in geographic NAD83, the second layer of a GeoPackage.
        const QString gpkg = m_dir.filePath(u"two.gpkg"_s);
        QCOMPARE(fixtures::translateVector(m_theme, gpkg, u"GPKG"_s, 4326, u"first"_s), QString());
        QCOMPARE(fixtures::translateVector(m_theme, gpkg, u"GPKG"_s, 4269, u"sections"_s),
                 QString());
        // A state's own field names, the township number and letter in one text.
        QCOMPARE(fixtures::translateVector(
                     m_theme, m_dir.filePath(u"state.gpkg"_s), u"GPKG"_s, 26913, u"state"_s,
                     u"SELECT geometry, section AS SEC, township || base_side AS TWP, "
                     u"\"range\" AS RNG, meridian_s AS RDIR, meridian AS MER FROM sections"_s),
                 QString());
    }

    void csvRecords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::newRow("plain, LF")
            << u"a,b\n1,2\n"_s << QList<QStringList>{{u"a"_s, u"b"_s}, {u"1"_s, u"2"_s}};
        QTest::newRow("CRLF, no final line end")
            << u"a,b\r\n1,2"_s << QList<QStringList>{{u"a"_s, u"b"_s}, {u"1"_s, u"2"_s}};
        QTest::newRow("quoted comma, quote and line break")
            << u"\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\"\n"_s
            << QList<QStringList>{{u"x,y"_s, u"say \"hi\""_s, u"two\nlines"_s}};
        QTest::newRow("empty fields") << u",,\n"_s << QList<QStringList>{{u""_s, u""_s, u""_s}};
        QTest::newRow("byte order mark and blank lines")
            << u"\uFEFFid\n\n7\n\n"_s << QList<QStringList>{{u"id"_s}, {u"7"_s}};
    }
    void csvRecords()
    {
        QFETCH(QString, text);
        QFETCH(QList<QStringList>, records);
        QCOMPARE(csv::parse(text), records);
        // What is written reads back the same.
        QStringList lines;
        for (const QStringList &r : records)
            lines.append(csv::formatRecord(r));
        QCOMPARE(csv::parse(lines.join(u"\r\n"_s)), records);
    }

    void singleCommands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errContains");
        const QString t = m_dir.filePath(u"sections.shp"_s);
        QTest::newRow("forward, quarter calls")
            << QStringList{u"forward"_s, u"--theme"_s, t,        u"--township"_s,
                           u"12N"_s,     u"--range"_s, u"34W"_s, u"--section"_s,
                           u"31"_s,      u"--q160"_s,  u"NE"_s,  u"--q40"_s,
                           u"SW"_s}
            << 0 << u"easting,northing\n401005.84,4401005.84\n"_s << QString();
        QTest::newRow("forward, footage calls")
            << QStringList{u"forward"_s, u"--theme"_s, t,         u"--township"_s,
                           u"12N"_s,     u"--range"_s, u"34W"_s,  u"--section"_s,
                           u"31"_s,      u"--fc-x"_s,  u"660E"_s, u"--fc-y"_s,
                           u"1980S"_s}
            << 0 << u"easting,northing\n401408.18,4400603.51\n"_s << QString();
        QTest::newRow("forward, one layer of a geographic GeoPackage")
            << QStringList{u"forward"_s,   u"--theme"_s,  m_dir.filePath(u"two.gpkg"_s),
                           u"--layer"_s,   u"sections"_s, u"--township"_s,
                           u"12N"_s,       u"--range"_s,  u"34W"_s,
                           u"--section"_s, u"31"_s,       u"--q160"_s,
                           u"NE"_s,        u"--q40"_s,    u"SW"_s}
            << 0 << u"easting,northing\n401005.84,4401005.84\n"_s << QString();
        QTest::newRow("forward, description")
            << QStringList{u"forward"_s, u"--theme"_s, t, u"--description"_s,
                           u"SW/4 NE/4 sec. 31, T. 12 N., R. 34 W., 6th P.M."_s}
            << 0 << u"easting,northing\n401005.84,4401005.84\n"_s << QString();
        QTest::newRow("forward, description not read")
            << QStringList{u"forward"_s, u"--theme"_s, t, u"--description"_s, u"Lot 3 sec 31"_s}
            << 1 << QString() << u"Lots are not supported: LOT 3"_s;
        QTest::newRow("forward, neither")
            << QStringList{u"forward"_s, u"--theme"_s, t, u"--section"_s, u"31"_s} << 2 << QString()
            << u"--township is required (or --description)."_s;
        QTest::newRow("parse") << QStringList{u"parse"_s, u"--description"_s,
                                              u"660' FNL & 1980' FEL, Sec. 12, T5N, R65W, 6th PM"_s}
                               << 0
                               << u"meridian,township,range,section,q160,q40,q10,q2_5,fc_x,fc_y\n"
                                  "6,5N,65W,12,,,,,1980E,660N\n"_s
                               << QString();
        QTest::newRow("forward, fields named")
            << QStringList{u"forward"_s,
                           u"--theme"_s,
                           m_dir.filePath(u"state.gpkg"_s),
                           u"--fields"_s,
                           u"section=SEC,township=TWP,range=RNG,range_direction=RDIR,meridian=MER"_s,
                           u"--township"_s,
                           u"12N"_s,
                           u"--range"_s,
                           u"34W"_s,
                           u"--section"_s,
                           u"31"_s,
                           u"--meridian"_s,
                           u"6"_s,
                           u"--q160"_s,
                           u"NE"_s,
                           u"--q40"_s,
                           u"SW"_s}
            << 0 << u"easting,northing\n401005.84,4401005.84\n"_s << QString();
        QTest::newRow("forward, fields unnamed")
            << QStringList{u"forward"_s,    u"--theme"_s,   m_dir.filePath(u"state.gpkg"_s),
                           u"--township"_s, u"12N"_s,       u"--range"_s,
                           u"34W"_s,        u"--section"_s, u"31"_s}
            << 1 << QString() << u"is not a PLSS section theme"_s;
        QTest::newRow("forward, a field that is not there")
            << QStringList{u"forward"_s,
                           u"--theme"_s,
                           m_dir.filePath(u"state.gpkg"_s),
                           u"--fields"_s,
                           u"section=SECT,township=TWP,range=RNG"_s,
                           u"--township"_s,
                           u"12N"_s,
                           u"--range"_s,
                           u"34W"_s,
                           u"--section"_s,
                           u"31"_s}
            << 1 << QString() << u"--fields: The theme state has no field SECT."_s;
        QTest::newRow("forward, no such layer")
            << QStringList{u"forward"_s,
                           u"--theme"_s,
                           m_dir.filePath(u"two.gpkg"_s) + u"|layername=wells"_s,
                           u"--township"_s,
                           u"12N"_s,
                           u"--range"_s,
                           u"34W"_s,
                           u"--section"_s,
                           u"31"_s}
            << 1 << QString() << u"did not load: it has no layer wells"_s;
        QTest::newRow("forward, no such section")
            << QStringList{u"forward"_s,    u"--theme"_s,   t,
                           u"--township"_s, u"40N"_s,       u"--range"_s,
                           u"34W"_s,        u"--section"_s, u"7"_s}
            << 1 << QString() << u"Unable to locate PLSS section."_s;
        QTest::newRow("forward, bad footage")
            << QStringList{u"forward"_s, u"--theme"_s, t,         u"--township"_s,
                           u"12N"_s,     u"--range"_s, u"34W"_s,  u"--section"_s,
                           u"7"_s,       u"--fc-x"_s,  u"660E"_s, u"--fc-y"_s,
                           u"S1980"_s}
            << 1 << QString() << u"Illegal or no directions specified."_s;
        QTest::newRow("reverse") << QStringList{u"reverse"_s,   u"--theme"_s, t,
                                                u"--easting"_s, u"400600"_s,  u"--northing"_s,
                                                u"4400600"_s}
                                 << 0
                                 << u"section,township,range,q160,q40,q10,q2_5,fc_x,fc_y,"
                                    "description\n31,12N,34W,SW,NE,SW,NE,W1968.5,S1968.5,\"NE1/4 "
                                    "SW1/4 NE1/4 SW1/4 sec. 31, T. 12 N., R. 34 W.; 1968.5 ft "
                                    "from the W line, 1968.5 ft from the S line\"\n"_s
                                 << QString();
        QTest::newRow("reverse, five-digit easting")
            << QStringList{u"reverse"_s, u"--theme"_s,    t,           u"--easting"_s,
                           u"40060"_s,   u"--northing"_s, u"4400600"_s}
            << 1 << QString() << u"Easting is not 6 characters in length."_s;
        QTest::newRow("to-utm") << QStringList{u"to-utm"_s, u"--lat"_s, u"40"_s, u"--lon"_s,
                                               u"-106"_s}
                                << 0 << u"easting,northing\n414639.54,4428236.14\n"_s << QString();
        QTest::newRow("to-utm, zone 12")
            << QStringList{u"to-utm"_s, u"--lat"_s,  u"38.5"_s, u"--lon"_s,
                           u"108.25"_s, u"--zone"_s, u"12"_s}
            << 0 << u"easting,northing\n739815.09,4264877.71\n"_s << QString();
        QTest::newRow("to-geo") << QStringList{u"to-geo"_s, u"--easting"_s, u"414639.538"_s,
                                               u"--northing"_s, u"4428236.142"_s}
                                << 0 << u"latitude,longitude\n40.000001,106\n"_s << QString();
        QTest::newRow("zone") << QStringList{u"zone"_s,       u"--easting"_s, u"756100"_s,
                                             u"--northing"_s, u"4432069"_s,   u"--from"_s,
                                             u"12"_s,         u"--to"_s,      u"13"_s}
                              << 0 << u"easting,northing\n243900.66,4432069.05\n"_s << QString();
        QTest::newRow("zone, seven characters")
            << QStringList{u"zone"_s,       u"--easting"_s, u"756100.5"_s,
                           u"--northing"_s, u"4432069"_s,   u"--from"_s,
                           u"12"_s,         u"--to"_s,      u"13"_s}
            << 1 << QString() << u"Easting does not have 6 characters"_s;
        QTest::newRow("unknown command")
            << QStringList{u"sideways"_s} << 2 << QString() << u"unknown command"_s;
        QTest::newRow("missing option") << QStringList{u"to-geo"_s, u"--easting"_s, u"1"_s} << 2
                                        << QString() << u"--northing is required"_s;
        QTest::newRow("unknown option") << QStringList{u"to-geo"_s, u"--eastin"_s, u"1"_s} << 2
                                        << QString() << u"Unknown option"_s;
        QTest::newRow("no command") << QStringList{} << 2 << QString() << u"Commands:"_s;
        QTest::newRow("not a section theme")
            << QStringList{u"reverse"_s,   u"--theme"_s, m_dir.filePath(u"quads.shp"_s),
                           u"--easting"_s, u"400600"_s,  u"--northing"_s,
                           u"4400600"_s}
            << 1 << QString() << u"is not a PLSS section theme"_s;
        QTest::newRow("missing theme")
            << QStringList{u"reverse"_s,   u"--theme"_s, m_dir.filePath(u"none.shp"_s),
                           u"--easting"_s, u"400600"_s,  u"--northing"_s,
                           u"4400600"_s}
            << 1 << QString() << u"did not load"_s;
    }
    void singleCommands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, errContains);
        if (!QFile::exists(m_dir.filePath(u"quads.shp"_s)))
            QCOMPARE(fixtures::writeQuadIndex(m_dir.filePath(u"quads.shp"_s),
                                              {{u"A"_s, 400000, 401000, 4401000, 4400000}}),
                     QString());
        const Run r = run(arguments);
        QCOMPARE(r.code, code);
        QCOMPARE(r.out, out);
        if (errContains.isEmpty())
            QCOMPARE(r.err, QString());
        else
            QVERIFY2(r.err.contains(errContains), qPrintable(r.err));
    }

    void helpForEachCommand()
    {
        for (const QStringList &a :
             {QStringList{u"--help"_s}, QStringList{u"forward"_s, u"--help"_s},
              QStringList{u"batch"_s, u"reverse"_s, u"--help"_s}}) {
            const Run r = run(a);
            QCOMPARE(r.code, 0);
            QVERIFY(r.out.startsWith(u"Usage: tractwise-locate"_s));
        }
    }

    // Bad rows get their message and do not disturb the others; one output row per input row,
    // in order; header in any order and case, extra columns ignored, quoted fields, CRLF.
    void batchForward()
    {
        const QString in = m_dir.filePath(u"forward.csv"_s);
        const QString out = m_dir.filePath(u"forward-out.csv"_s);
        QVERIFY(writeText(in,
                          "Township,RANGE,section,id,note,q160,q40,q10,q2_5,fc_x,fc_y,meridian\r\n"
                          "12N,34W,31,\"well, first\",\"any, text\",NE,SW,,,,,6\r\n"
                          "12N,34W,31,2,,,,,,660E,1980S,\r\n"
                          "40N,34W,7,3,,,,,,,,\r\n"
                          "12N,34W,31,4,,,,,,660E,S1980,\r\n"
                          "12N,34W,seven,5,,,,,,,,\r\n"
                          "12N,34W,31,6,,ne,,,,,,\r\n"));
        const Run r =
            run({u"batch"_s, u"forward"_s, u"--theme"_s, m_theme, u"--in"_s, in, u"--out"_s, out});
        QCOMPARE(r.code, 0);
        const QList<QStringList> rows = csv::parse(QString::fromUtf8(readAll(out)));
        QCOMPARE(rows.size(), 7);
        QCOMPARE(rows[0], (QStringList{u"id"_s, u"easting"_s, u"northing"_s, u"error"_s}));
        QCOMPARE(rows[1], (QStringList{u"well, first"_s, u"401005.84"_s, u"4401005.84"_s, u""_s}));
        QCOMPARE(rows[2], (QStringList{u"2"_s, u"401408.18"_s, u"4400603.51"_s, u""_s}));
        QCOMPARE(rows[3], (QStringList{u"3"_s, u""_s, u""_s, u"Unable to locate PLSS section."_s}));
        QCOMPARE(rows[4][0], u"4"_s);
        QVERIFY(rows[4][3].startsWith(u"Illegal or no directions specified."_s));
        QCOMPARE(rows[5][0], u"5"_s);
        QVERIFY(rows[5][3].contains(u"Section box"_s));
        QCOMPARE(rows[6][1], u"401207.01"_s); // lower-case calls are read as upper case
        QVERIFY(readAll(out).contains("\r\n"));
    }

    // A file of descriptions checked with batch parse, then located with batch forward where
    // the separate columns are empty.
    void batchDescriptions()
    {
        const QString in = m_dir.filePath(u"descriptions.csv"_s);
        QVERIFY(writeText(in, "id,description,township,range,section\n"
                              "1,\"SW/4 NE/4 sec. 31, T12N, R34W\",,,\n"
                              "2,N/2 sec 31 T12N R34W,,,\n"
                              "3,ignored,12N,34W,31\n"));
        const QString parsed = m_dir.filePath(u"parsed.csv"_s);
        QCOMPARE(run({u"batch"_s, u"parse"_s, u"--in"_s, in, u"--out"_s, parsed}).code, 0);
        const QList<QStringList> p = csv::parse(QString::fromUtf8(readAll(parsed)));
        QCOMPARE(p[1],
                 (QStringList{u"1"_s, QString(), u"12N"_s, u"34W"_s, u"31"_s, u"NE"_s, u"SW"_s,
                              QString(), QString(), QString(), QString(), QString()}));
        QCOMPARE(p[2].last(), u"Halves are not supported: N/2"_s);
        const QString out = m_dir.filePath(u"described.csv"_s);
        QCOMPARE(
            run({u"batch"_s, u"forward"_s, u"--theme"_s, m_theme, u"--in"_s, in, u"--out"_s, out})
                .code,
            0);
        const QList<QStringList> rows = csv::parse(QString::fromUtf8(readAll(out)));
        QCOMPARE(rows[1], (QStringList{u"1"_s, u"401005.84"_s, u"4401005.84"_s, QString()}));
        QCOMPARE(rows[2][3], u"Halves are not supported: N/2"_s);
        QCOMPARE(rows[3][1], u"400804.67"_s); // the columns win: the section's centre
    }

    void batchReverse()
    {
        const QString in = m_dir.filePath(u"reverse.csv"_s);
        const QString out = m_dir.filePath(u"reverse-out.csv"_s);
        QVERIFY(writeText(in, "northing,easting,id\n4400600,400600,a\n4400600,40060,b\n"
                              "4400600,300000,c\n,,d\n4400600,400600.4,e\n"));
        const Run r =
            run({u"batch"_s, u"reverse"_s, u"--theme"_s, m_theme, u"--in"_s, in, u"--out"_s, out});
        QCOMPARE(r.code, 0);
        const QList<QStringList> rows = csv::parse(QString::fromUtf8(readAll(out)));
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[0].size(), 12);
        QCOMPARE(rows[1].mid(0, 10),
                 (QStringList{u"a"_s, u"31"_s, u"12N"_s, u"34W"_s, u"SW"_s, u"NE"_s, u"SW"_s,
                              u"NE"_s, u"W1968.5"_s, u"S1968.5"_s}));
        QVERIFY(rows[1][10].startsWith(u"NE1/4 SW1/4 NE1/4 SW1/4 sec. 31"_s));
        QCOMPARE(rows[1][11], QString());
        QCOMPARE(rows[2].last(), u"Easting is not 6 characters in length."_s);
        QCOMPARE(rows[3].last(), u"Unable to locate point on PLSS."_s);
        QVERIFY(!rows[4].last().isEmpty());
        QCOMPARE(rows[5][1], u"31"_s);
    }

    // Results as GIS data: every row a feature with every column, the located ones with their
    // point in the theme's system (KML in geographic NAD83), the failed ones without.
    void batchToGisFormats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<double>("x"); // of the first row's point
        QTest::addColumn<double>("y");
        QTest::newRow("GeoPackage, forward")
            << u"f.gpkg"_s << u"forward"_s << 401005.84 << 4401005.84;
        QTest::newRow("shapefile, reverse") << u"r.shp"_s << u"reverse"_s << 400600.0 << 4400600.0;
        QTest::newRow("GeoJSON, forward")
            << u"f.geojson"_s << u"forward"_s << 401005.84 << 4401005.84;
        // 401005.84 4401005.84 in zone 13, by PROJ: gdaltransform -s_srs EPSG:26913 -t_srs
        // EPSG:4269 gives -106.15556584 39.75321797.
        QTest::newRow("KML, forward") << u"f.kml"_s << u"forward"_s << -106.1555658 << 39.7532180;
    }
    void batchToGisFormats()
    {
        QFETCH(QString, name);
        QFETCH(QString, direction);
        QFETCH(double, x);
        QFETCH(double, y);
        const QString in = m_dir.filePath(direction + u"-gis.csv"_s);
        QVERIFY(writeText(in, direction == u"forward"_s
                                  ? "id,township,range,section,q160,q40\n1,12N,34W,31,NE,SW\n"
                                    "2,40N,34W,7,,\n"
                                  : "id,easting,northing\n1,400600,4400600\n2,300000,4400600\n"));
        const QString out = m_dir.filePath(name);
        const Run r =
            run({u"batch"_s, direction, u"--theme"_s, m_theme, u"--in"_s, in, u"--out"_s, out});
        QCOMPARE(r.code, 0);
        GDALDatasetH ds =
            GDALOpenEx(out.toUtf8().constData(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
        QVERIFY(ds);
        OGRLayerH layer = GDALDatasetGetLayer(ds, 0);
        QCOMPARE(OGR_L_GetFeatureCount(layer, TRUE), 2);
        OGRFeatureH first = OGR_L_GetNextFeature(layer);
        OGRGeometryH point = OGR_F_GetGeometryRef(first);
        QVERIFY(point);
        QVERIFY(std::fabs(OGR_G_GetX(point, 0) - x) < 1e-3 &&
                std::fabs(OGR_G_GetY(point, 0) - y) < 1e-3);
        OGRFeatureH second = OGR_L_GetNextFeature(layer);
        QVERIFY(!OGR_F_GetGeometryRef(second));
        QVERIFY(
            QString::fromUtf8(OGR_F_GetFieldAsString(second, OGR_F_GetFieldIndex(second, "error")))
                .startsWith(u"Unable to locate"_s));
        OGR_F_Destroy(first);
        OGR_F_Destroy(second);
        GDALClose(ds);
    }

    // A spreadsheet's export in Windows-1252 keeps its accented ids; the output is UTF-8.
    void batchReadsWindows1252()
    {
        const QString in = m_dir.filePath(u"ansi.csv"_s);
        const QString out = m_dir.filePath(u"ansi-out.csv"_s);
        QVERIFY(writeText(in, "id,easting,northing\nCa\xf1on Caf\xe9,400600,4400600\n"));
        const Run r =
            run({u"batch"_s, u"reverse"_s, u"--theme"_s, m_theme, u"--in"_s, in, u"--out"_s, out});
        QCOMPARE(r.code, 0);
        const QList<QStringList> rows = csv::parse(QString::fromUtf8(readAll(out)));
        QCOMPARE(rows.value(1).value(0), u"Cañon Café"_s);
    }

    void batchFileErrors()
    {
        const QString in = m_dir.filePath(u"nocolumns.csv"_s);
        QVERIFY(writeText(in, "id,x\n1,2\n"));
        Run r = run({u"batch"_s, u"reverse"_s, u"--theme"_s, m_theme, u"--in"_s, in, u"--out"_s,
                     m_dir.filePath(u"o.csv"_s)});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"no column \"easting\""_s));
        r = run({u"batch"_s, u"reverse"_s, u"--theme"_s, m_theme, u"--in"_s,
                 m_dir.filePath(u"absent.csv"_s), u"--out"_s, m_dir.filePath(u"o.csv"_s)});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"Cannot read"_s));
        QVERIFY(!QFile::exists(m_dir.filePath(u"o.csv"_s)));

        // A quote never closed would swallow the rows after it.
        QVERIFY(writeText(in, "id,easting,northing\na,400600,4400600\n\"b,400600,4400600\n"
                              "c,400600,4400600\n"));
        r = run({u"batch"_s, u"reverse"_s, u"--theme"_s, m_theme, u"--in"_s, in, u"--out"_s,
                 m_dir.filePath(u"o.csv"_s)});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"the quote opened in line 3 is never closed."_s),
                 qPrintable(r.err));
        QVERIFY(!QFile::exists(m_dir.filePath(u"o.csv"_s)));
    }
};

QTEST_GUILESS_MAIN(TestLocateTool)
#include "tst_locate_tool.moc"
