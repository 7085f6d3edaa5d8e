#include "cli/locate_tool.h"
#include "core/common/csv.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QProcess>
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

} // namespace

class TestLocateTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_theme;

    // A command line's words, split at blanks outside double quotes; a word starting with @
    // names a file in the test folder.
    QStringList words(const QString &line) const
    {
        QStringList a = QProcess::splitCommand(line);
        for (QString &w : a)
            if (w.startsWith(u'@'))
                w = m_dir.filePath(w.mid(1));
        return a;
    }
    bool write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    QByteArray bytes(const QString &name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QList<QStringList> records(const QString &name) const
    {
        return csv::parse(QString::fromUtf8(bytes(name)));
    }
    // batch COMMAND from IN to OUT (files in the test folder) after removing an older OUT.
    Run batch(const QString &command, const QString &in, const QString &out) const
    {
        QFile::remove(m_dir.filePath(out));
        QStringList a{u"batch"_s, command};
        if (command != u"parse"_s)
            a << u"--theme"_s << m_theme;
        return run(a << u"--in"_s << m_dir.filePath(in) << u"--out"_s << m_dir.filePath(out));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_theme = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(m_theme, {.originX = 400000, .originY = 4400000}),
                 QString());
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
        // The township's second divisions, in geographic NAD83 as the BLM publishes them.
        const QString divisions = m_dir.filePath(u"divisions-utm.shp"_s);
        QCOMPARE(fixtures::writeSecondDivisions(
                     divisions, {.originX = 400000, .originY = 4400000, .epsg = 26913}),
                 QString());
        QCOMPARE(fixtures::translateVector(divisions, m_dir.filePath(u"divisions.gpkg"_s),
                                           u"GPKG"_s, 4269, u"PLSSSecondDivision"_s),
                 QString());
        // The same parts as PLSSIntersected gives them: the quarter and quarter-quarter apart.
        QCOMPARE(fixtures::translateVector(
                     divisions, m_dir.filePath(u"intersected.gpkg"_s), u"GPKG"_s, 26913,
                     u"PLSSIntersected"_s,
                     u"SELECT geometry, FRSTDIVID, CASE WHEN SECDIVTYP = 'A' THEN "
                     u"substr(SECDIVLAB, 3, 2) END AS QSEC, CASE WHEN SECDIVTYP = 'A' THEN "
                     u"substr(SECDIVLAB, 1, 2) END AS QQSEC, GOVLOT FROM \"divisions-utm\""_s),
                 QString());
        // And in a county's schema of its own, named with --fields.
        QCOMPARE(fixtures::translateVector(divisions, m_dir.filePath(u"county.gpkg"_s), u"GPKG"_s,
                                           26913, u"county"_s,
                                           u"SELECT geometry, FRSTDIVID, SECDIVLAB AS LABEL, "
                                           u"GOVLOT AS LOTNO FROM \"divisions-utm\""_s),
                 QString());
        // A theme that loads but is no section theme.
        QCOMPARE(fixtures::writeQuadIndex(m_dir.filePath(u"quads.shp"_s),
                                          {{u"A"_s, 400000, 401000, 4401000, 4400000}}),
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
        QTest::addColumn<QString>("line"); // the arguments as words()
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        // Exit 0: the whole of stdout, or its start when that ends no line; else part of stderr.
        const auto row = [](const char *name, const QString &line, int code, const QString &text) {
            QTest::newRow(name) << line << code << text;
        };
        const QString fwd = u"forward --theme @sections.shp "_s;
        const QString t12 = u" --township 12N --range 34W "_s, s31 = t12 + u"--section 31"_s;
        const QString located = u"easting,northing,radius_ft,method\n401005.84,4401005.84,933,"
                                u"\"quarter calls, classic rule\"\n"_s;
        const QString at600 = u" --easting 400600 --northing 4400600"_s;
        row("forward, quarter calls", fwd + s31 + u" --q160 NE --q40 SW"_s, 0, located);
        row("forward, footage calls", fwd + s31 + u" --fc-x 660E --fc-y 1980S"_s, 0,
            u"easting,northing,radius_ft,method\n401408.18,4400603.51,0,footage calls\n"_s);
        // A tie from a section corner is the pair of footage calls from its lines.
        const QString tied = u"easting,northing,radius_ft,method\n400172.82,4400376.12,0,"_s;
        row("forward, tie",
            fwd + u"--description \"N 1234 ft E 567 ft from SW Cor, sec 31, "
                  u"T12N R34W\""_s,
            0, tied + u"corner tie\n"_s);
        row("forward, its footage calls", fwd + s31 + u" --fc-x 567W --fc-y 1234S"_s, 0,
            tied + u"footage calls\n"_s);
        row("forward, lot by the manual rule", fwd + s31 + u" --lot 2 --rule manual"_s, 0,
            u"easting,northing,radius_ft,method\n400201.17,4401005.84,933,\"protracted lot, "
            u"manual rule\"\n"_s);
        row("forward, a rule that is not", fwd + s31 + u" --rule fair"_s, 2,
            u"--rule is classic or manual, not \"fair\"."_s);
        // On the surveyed divisions, and on the divisions alone (their sections made of them).
        row("forward, second divisions",
            fwd + s31 + u" --q160 NE --q40 SW --divisions @divisions.gpkg"_s, 0,
            u"easting,northing,radius_ft,method\n401005.84,4401005.84,933,second division\n"_s);
        row("forward, PLSSIntersected",
            fwd + s31 + u" --q160 NE --q40 SW --divisions @intersected.gpkg"_s, 0,
            u"easting,northing,radius_ft,method\n401005.84,4401005.84,933,second division\n"_s);
        row("forward, a theme of second divisions",
            u"forward --theme @divisions.gpkg --description \"Lot 2, 31-12N-34W\""_s, 0,
            u"easting,northing,radius_ft,method\n400201.17,4401005.84,933,second division\n"_s);
        row("forward, divisions named with --fields",
            u"forward --theme @county.gpkg --fields division_label=LABEL,lot=LOTNO --description "
            u"\"Lot 2, 31-12N-34W\""_s,
            0, u"easting,northing,radius_ft,method\n400201.17,4401005.84,933,second division\n"_s);
        row("forward, a lot the divisions lack",
            fwd + s31 + u" --lot 9 --divisions @divisions.gpkg"_s, 1,
            u"Lot 9 is not among the second divisions of section 31, T12N R34W."_s);
        row("reverse, second divisions",
            u"reverse --theme @sections.shp --divisions @divisions.gpkg"_s + at600, 0,
            u"section,township,range,q160,q40,q10,q2_5,fc_x,fc_y,description,division\n31,"_s);
        row("forward, one layer of a geographic GeoPackage",
            u"forward --theme @two.gpkg --layer sections"_s + s31 + u" --q160 NE --q40 SW"_s, 0,
            located);
        row("forward, description",
            fwd + u"--description \"SW/4 NE/4 sec. 31, T. 12 N., R. 34 W., 6th P.M.\""_s, 0,
            located);
        row("forward, description not read", fwd + u"--description \"Lots 1-4 sec 31\""_s, 1,
            u"Several tracts are named (Lots 1-4)"_s);
        row("forward, neither", fwd + u"--section 31"_s, 2,
            u"--township is required (or --description)."_s);
        row("parse", u"parse --description \"660' FNL & 1980' FEL, Sec. 12, T5N, R65W, 6th PM\""_s,
            0,
            u"meridian,township,range,section,q160,q40,q10,q2_5,fc_x,fc_y,lot,tie_corner,tie_ns,"
            "tie_ew\n6,5N,65W,12,,,,,1980E,660N,,,,\n"_s);
        row("forward, fields named",
            u"forward --theme @state.gpkg --fields "
            u"section=SEC,township=TWP,range=RNG,range_direction=RDIR,meridian=MER"_s +
                s31 + u" --meridian 6 --q160 NE --q40 SW"_s,
            0, located);
        row("forward, fields unnamed", u"forward --theme @state.gpkg"_s + s31, 1,
            u"is not a PLSS section theme"_s);
        row("forward, a field that is not there",
            u"forward --theme @state.gpkg --fields section=SECT,township=TWP,range=RNG"_s + s31, 1,
            u"--fields: The theme state has no field SECT."_s);
        row("forward, no such layer", u"forward --theme @two.gpkg|layername=wells"_s + s31, 1,
            u"did not load: it has no layer wells"_s);
        row("forward, no such section", fwd + u"--township 40N --range 34W --section 7"_s, 1,
            u"Unable to locate PLSS section. Section 7, T40N R34W is not in sections.shp."_s);
        row("forward, bad footage", fwd + t12 + u"--section 7 --fc-x 660E --fc-y S1980"_s, 1,
            u"Illegal or no directions specified."_s);
        row("reverse", u"reverse --theme @sections.shp"_s + at600, 0,
            u"section,township,range,q160,q40,q10,q2_5,fc_x,fc_y,description\n"
            "31,12N,34W,SW,NE,SW,NE,W1968.5,S1968.5,\"NE1/4 SW1/4 NE1/4 SW1/4 sec. 31, T. 12 N., "
            "R. 34 W.; 1968.5 ft from the W line, 1968.5 ft from the S line\"\n"_s);
        row("reverse, five-digit easting",
            u"reverse --theme @sections.shp --easting 40060 --northing 4400600"_s, 1,
            u"The easting must be between 100000 and 999999.99 metres."_s);
        row("to-utm", u"to-utm --lat 40 --lon -106"_s, 0,
            u"easting,northing\n414639.54,4428236.14\n"_s);
        row("to-utm, zone 12", u"to-utm --lat 38.5 --lon 108.25 --zone 12"_s, 0,
            u"easting,northing\n739815.09,4264877.71\n"_s);
        row("to-geo", u"to-geo --easting 414639.538 --northing 4428236.142"_s, 0,
            u"latitude,longitude\n40.000001,-106\n"_s);
        // gdaltransform -s_srs EPSG:26913 -t_srs EPSG:4269: -106.15556584 39.75321797.
        row("to-geo, signed", u"to-geo --easting 401005.84 --northing 4401005.84"_s, 0,
            u"latitude,longitude\n39.753218,-106.155566\n"_s);
        row("zone", u"zone --easting 756100 --northing 4432069 --from 12 --to 13"_s, 0,
            u"easting,northing\n243900.66,4432069.05\n"_s);
        row("zone, decimals", u"zone --easting 756100.5 --northing 4432069 --from 12 --to 13"_s, 0,
            u"easting,northing\n243901.16,4432069.02\n"_s);
        row("zone, five digits", u"zone --easting 75610 --northing 4432069 --from 12 --to 13"_s, 1,
            u"The easting must be between 100000 and 999999.99 metres."_s);
        row("unknown command", u"sideways"_s, 2, u"unknown command"_s);
        row("missing option", u"to-geo --easting 1"_s, 2, u"--northing is required"_s);
        row("unknown option", u"to-geo --eastin 1"_s, 2, u"Unknown option"_s);
        row("no command", QString(), 2, u"Commands:"_s);
        row("help", u"--help"_s, 0, u"Usage: tractwise-locate"_s);
        row("help on a command", u"forward --help"_s, 0, u"Usage: tractwise-locate"_s);
        row("help on a batch command", u"batch reverse --help"_s, 0, u"Usage: tractwise-locate"_s);
        row("not a section theme", u"reverse --theme @quads.shp"_s + at600, 1,
            u"is not a PLSS section theme"_s);
        row("missing theme", u"reverse --theme @none.shp"_s + at600, 1, u"did not load"_s);
    }
    void singleCommands()
    {
        QFETCH(QString, line);
        QFETCH(int, code);
        QFETCH(QString, text);
        const Run r = run(words(line));
        QCOMPARE(r.code, code);
        if (code == 0) {
            QCOMPARE(text.endsWith(u'\n') ? r.out : r.out.left(text.size()), text);
            QCOMPARE(r.err, QString());
        } else {
            QCOMPARE(r.out, QString());
            QVERIFY2(r.err.contains(text), qPrintable(r.err));
        }
    }

    // Bad rows get their message and do not disturb the others; one output row per input row,
    // in order; header in any order and case, extra columns ignored, quoted fields, CRLF.
    // Also with the six rows repeated 500 times: shared among the cores, each in its place.
    void batchForward()
    {
        const QByteArray six = "12N,34W,31,\"well, first\",\"any, text\",NE,SW,,,,,6\r\n"
                               "12N,34W,31,2,,,,,,660E,1980S,\r\n"
                               "40N,34W,7,3,,,,,,,,\r\n"
                               "12N,34W,31,4,,,,,,660E,S1980,\r\n"
                               "12N,34W,seven,5,,,,,,,,\r\n"
                               "12N,34W,31,6,,ne,,,,,,\r\n";
        const QByteArray header =
            "Township,RANGE,section,id,note,q160,q40,q10,q2_5,fc_x,fc_y,meridian\r\n";
        QVERIFY(write(u"forward.csv"_s, header + six));
        QVERIFY(write(u"forward-many.csv"_s, header + six.repeated(500)));
        QCOMPARE(batch(u"forward"_s, u"forward.csv"_s, u"forward-out.csv"_s).code, 0);
        QCOMPARE(batch(u"forward"_s, u"forward-many.csv"_s, u"forward-many-out.csv"_s).code, 0);
        const QList<QStringList> rows = records(u"forward-out.csv"_s);
        const QList<QStringList> many = records(u"forward-many-out.csv"_s);
        QCOMPARE(many.size(), 3001);
        for (qsizetype i = 1; i < many.size(); ++i)
            QCOMPARE(many[i], rows[1 + (i - 1) % 6]);
        QCOMPARE(rows.size(), 7);
        // The first columns as they always were, then the rest of what the Wells table shows.
        QCOMPARE(rows[0],
                 (QStringList{u"id"_s, u"easting"_s, u"northing"_s, u"error"_s, u"radius_ft"_s,
                              u"method"_s, u"latitude"_s, u"longitude"_s, u"description"_s,
                              u"meridian"_s, u"township"_s, u"range"_s, u"section"_s, u"calls"_s}));
        QCOMPARE(rows[1].mid(8),
                 (QStringList{QString(), u"6"_s, u"12N"_s, u"34W"_s, u"31"_s, u"SW NE"_s}));
        QCOMPARE(rows[1].mid(6, 2), (QStringList{u"39.753218"_s, u"-106.155566"_s}));
        QCOMPARE(rows[2].last(), u"660E 1980S"_s);
        QCOMPARE(rows[3].mid(6, 2), (QStringList{QString(), QString()}));
        QCOMPARE(rows[1].mid(0, 6),
                 (QStringList{u"well, first"_s, u"401005.84"_s, u"4401005.84"_s, u""_s, u"933"_s,
                              u"quarter calls, classic rule"_s}));
        QCOMPARE(rows[2].mid(0, 6), (QStringList{u"2"_s, u"401408.18"_s, u"4400603.51"_s, u""_s,
                                                 u"0"_s, u"footage calls"_s}));
        QCOMPARE(rows[3].mid(0, 6),
                 (QStringList{u"3"_s, u""_s, u""_s,
                              u"Unable to locate PLSS section. Section 7, T40N R34W is "
                              "not in sections.shp."_s,
                              u""_s, u""_s}));
        QVERIFY2(rows[4][3].startsWith(u"Illegal or no directions specified."_s) &&
                     rows[5][3].contains(u"Section box"_s),
                 qPrintable(rows[4][3] + u'|' + rows[5][3]));
        QCOMPARE(rows[6][1], u"401207.01"_s); // lower-case calls are read as upper case
        QVERIFY(bytes(u"forward-out.csv"_s).contains("\r\n"));

        // A file of descriptions checked with batch parse, then located with batch forward
        // where the separate columns are empty.
        QVERIFY(write(u"descriptions.csv"_s, "id,description,township,range,section\n"
                                             "1,\"SW/4 NE/4 sec. 31, T12N, R34W\",,,\n"
                                             "2,N/2 sec 31 T12N R34W,,,\n"
                                             "3,ignored,12N,34W,31\n"
                                             "4,N 1234 ft E 567 ft from SW Cor 31-12N-34W,,,\n"
                                             "5,Lot 3 sec 31 T12N R34W,,,\n"));
        QCOMPARE(batch(u"parse"_s, u"descriptions.csv"_s, u"parsed.csv"_s).code, 0);
        const QList<QStringList> p = records(u"parsed.csv"_s);
        QCOMPARE(p[1], (QStringList{u"1"_s, QString(), u"12N"_s, u"34W"_s, u"31"_s, u"NE"_s,
                                    u"SW"_s, QString(), QString(), QString(), QString(), QString(),
                                    QString(), QString(), QString(), QString()}));
        QCOMPARE(p[2].mid(4, 3), (QStringList{u"31"_s, u"N/2"_s, QString()}));
        QCOMPARE(p[4].mid(11), (QStringList{QString(), QString(), u"SW"_s, u"1234N"_s, u"567E"_s}));
        QCOMPARE(p[5].mid(11), (QStringList{QString(), u"3"_s, QString(), QString(), QString()}));
        QCOMPARE(batch(u"forward"_s, u"descriptions.csv"_s, u"described.csv"_s).code, 0);
        const QList<QStringList> d = records(u"described.csv"_s);
        QCOMPARE(d[1].mid(0, 6), (QStringList{u"1"_s, u"401005.84"_s, u"4401005.84"_s, QString(),
                                              u"933"_s, u"quarter calls, classic rule"_s}));
        // The description written back, with what it says in the columns after it.
        QCOMPARE(d[1].mid(8), (QStringList{u"SW/4 NE/4 sec. 31, T12N, R34W"_s, QString(), u"12N"_s,
                                           u"34W"_s, u"31"_s, u"SW NE"_s}));
        QCOMPARE(d[2].mid(1, 5), (QStringList{u"400804.67"_s, u"4401207.01"_s, QString(), u"2952"_s,
                                              u"quarter calls, classic rule"_s}));
        QCOMPARE(d[3][1], u"400804.67"_s); // the columns win: the section's centre
        QCOMPARE(d[4].mid(1, 5), (QStringList{u"400172.82"_s, u"4400376.12"_s, QString(), u"0"_s,
                                              u"corner tie"_s}));
        QCOMPARE(d[5].mid(1, 5), (QStringList{u"400201.17"_s, u"4400603.5"_s, QString(), u"933"_s,
                                              u"protracted lot, classic rule"_s}));

        // Positions the permits state, checked against their descriptions: in UTM, in NAD83
        // latitude and longitude (of 401005.84, 4401005.84), and one in another quarter.
        QVERIFY(write(u"stated.csv"_s,
                      "id,description,stated_easting,stated_northing,stated_latitude,"
                      "stated_longitude\n"
                      "1,SW/4 NE/4 sec 31 T12N R34W,401005.84,4401005.84,,\n"
                      "2,SW/4 NE/4 sec 31 T12N R34W,,,39.753218,-106.155566\n"
                      "3,SW/4 NE/4 sec 31 T12N R34W,401500,4401500,,\n"
                      "4,660 FSL 660 FWL sec 31 T12N R34W,400300,4400300,,\n"));
        QCOMPARE(batch(u"forward"_s, u"stated.csv"_s, u"stated-out.csv"_s).code, 0);
        const QList<QStringList> st = records(u"stated-out.csv"_s);
        QCOMPARE(st[0].mid(6, 3),
                 (QStringList{u"stated_distance_ft"_s, u"stated_inside"_s, u"latitude"_s}));
        QCOMPARE(st[1].mid(6, 2), (QStringList{u"0"_s, u"yes"_s}));
        QVERIFY2(st[2][6].toDouble() < 1 && st[2][7] == u"yes"_s, qPrintable(st[2].join(u'|')));
        QCOMPARE(st[3].mid(6, 2), (QStringList{u"2292.8"_s, u"no"_s}));
        QCOMPARE(st[4][7], u"yes"_s); // a point: inside its section
    }

    // Also with the five rows repeated 600 times: shared among the cores, each in its place.
    void batchReverse()
    {
        const QByteArray five = "4400600,400600,a\n4400600,40060,b\n4400600,300000,c\n,,d\n"
                                "4400600,400600.4,e\n";
        QVERIFY(write(u"reverse.csv"_s, "northing,easting,id\n" + five));
        QVERIFY(write(u"many.csv"_s, "northing,easting,id\n" + five.repeated(600)));
        QCOMPARE(batch(u"reverse"_s, u"reverse.csv"_s, u"reverse-out.csv"_s).code, 0);
        QCOMPARE(batch(u"reverse"_s, u"many.csv"_s, u"many-out.csv"_s).code, 0);
        const QList<QStringList> rows = records(u"reverse-out.csv"_s);
        const QList<QStringList> many = records(u"many-out.csv"_s);
        QCOMPARE(many.size(), 3001);
        for (qsizetype i = 1; i < many.size(); ++i)
            QCOMPARE(many[i], rows[1 + (i - 1) % 5]);
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[0].size(), 12);
        QCOMPARE(rows[1].mid(0, 10),
                 (QStringList{u"a"_s, u"31"_s, u"12N"_s, u"34W"_s, u"SW"_s, u"NE"_s, u"SW"_s,
                              u"NE"_s, u"W1968.5"_s, u"S1968.5"_s}));
        QVERIFY(rows[1][10].startsWith(u"NE1/4 SW1/4 NE1/4 SW1/4 sec. 31"_s) &&
                rows[1][11].isEmpty());
        QCOMPARE(rows[2].last(), u"The easting must be between 100000 and 999999.99 metres."_s);
        QCOMPARE(rows[3].last(),
                 u"The point 300000, 4400600 lies outside every section of sections.shp."_s);
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
        const QString in = direction + u"-gis.csv"_s;
        QVERIFY(write(in, direction == u"forward"_s
                              ? "id,township,range,section,q160,q40\n1,12N,34W,31,NE,SW\n"
                                "2,40N,34W,7,,\n"
                              : "id,easting,northing\n1,400600,4400600\n2,300000,4400600\n"));
        QCOMPARE(batch(direction, in, name).code, 0);
        GDALDatasetH ds = GDALOpenEx(m_dir.filePath(name).toUtf8().constData(), GDAL_OF_VECTOR,
                                     nullptr, nullptr, nullptr);
        QVERIFY(ds);
        OGRLayerH layer = GDALDatasetGetLayer(ds, 0);
        QCOMPARE(OGR_L_GetFeatureCount(layer, TRUE), 2);
        OGRFeatureH first = OGR_L_GetNextFeature(layer);
        OGRGeometryH point = OGR_F_GetGeometryRef(first);
        QVERIFY(point && std::fabs(OGR_G_GetX(point, 0) - x) < 1e-3 &&
                std::fabs(OGR_G_GetY(point, 0) - y) < 1e-3);
        if (direction == u"forward"_s && !name.endsWith(u".kml"_s)) {
            // Numbers as numbers.
            const int at = OGR_F_GetFieldIndex(first, "latitude");
            QCOMPARE(OGR_Fld_GetType(OGR_F_GetFieldDefnRef(first, at)), OFTReal);
            QCOMPARE(OGR_F_GetFieldAsDouble(first, at), 39.753218);
            QCOMPARE(
                OGR_Fld_GetType(OGR_F_GetFieldDefnRef(first, OGR_F_GetFieldIndex(first, "method"))),
                OFTString);
        }
        OGRFeatureH second = OGR_L_GetNextFeature(layer);
        QVERIFY(!OGR_F_GetGeometryRef(second));
        QVERIFY(
            QString::fromUtf8(OGR_F_GetFieldAsString(second, OGR_F_GetFieldIndex(second, "error")))
                .endsWith(u" sections.shp."_s));
        OGR_F_Destroy(first);
        OGR_F_Destroy(second);
        GDALClose(ds);
    }

    // A spreadsheet's export in Windows-1252 keeps its accented ids; the output is UTF-8.
    void batchReadsWindows1252()
    {
        QVERIFY(write(u"ansi.csv"_s, "id,easting,northing\nCa\xf1on Caf\xe9,400600,4400600\n"));
        QCOMPARE(batch(u"reverse"_s, u"ansi.csv"_s, u"ansi-out.csv"_s).code, 0);
        QCOMPARE(records(u"ansi-out.csv"_s).value(1).value(0), u"Cañon Café"_s);
    }

    // A file the batch cannot read whole is refused with its reason and nothing is written.
    void batchFileErrors_data()
    {
        QTest::addColumn<QByteArray>("input"); // empty: no file
        QTest::addColumn<QString>("message");
        QTest::newRow("no easting column")
            << QByteArray("id,x\n1,2\n") << u"no column \"easting\""_s;
        QTest::newRow("missing file") << QByteArray() << u"Cannot read"_s;
        // A quote never closed would swallow the rows after it.
        QTest::newRow("quote never closed")
            << QByteArray("id,easting,northing\na,400600,4400600\n\"b,400600,4400600\n"
                          "c,400600,4400600\n")
            << u"the quote opened in line 3 is never closed."_s;
    }
    void batchFileErrors()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        const QString in = input.isEmpty() ? u"absent.csv"_s : u"bad.csv"_s;
        QVERIFY(input.isEmpty() || write(in, input));
        const Run r = batch(u"reverse"_s, in, u"o.csv"_s);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(m_dir.filePath(u"o.csv"_s)));
    }
};

QTEST_GUILESS_MAIN(TestLocateTool)
#include "tst_locate_tool.moc"
