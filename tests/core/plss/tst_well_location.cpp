#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/aliquot.h"
#include "core/plss/description_reader.h"
#include "core/plss/footage.h"
#include "core/plss/plss_schema.h"
#include "core/plss/second_divisions.h"
#include "core/plss/section_corners.h"
#include "core/plss/well_location.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

constexpr double Mile = 1609.344;

CornerArray square(double side = Mile)
{
    return {MapPoint{0, 0}, MapPoint{0, side}, MapPoint{side, side}, MapPoint{side, 0}};
}

MapPolygon ringOf(const CornerArray &c)
{
    return MapPolygon({{c[SW], c[NW], c[NE], c[SE], c[SW]}});
}

bool near(double a, double b, double tolerance = 1e-6)
{
    return std::fabs(a - b) <= tolerance;
}

MapPolygon polygon(const QList<MapPoint> &ring)
{
    return MapPolygon({ring});
}

// A well as a description gives it.
WellDescription described(const QString &text)
{
    QString error;
    const auto d = readLegalDescription(text, &error);
    if (!d)
        qWarning("%s", qPrintable(error));
    WellDescription w;
    if (d) {
        w.entries = {d->section, d->township, d->range, d->meridian};
        w.calls = d->quarters;
        w.fcX = d->fcX;
        w.fcY = d->fcY;
        w.lot = d->lot;
        w.tieCorner = d->tieCorner;
        w.tieNorthSouth = d->tieNorthSouth;
        w.tieEastWest = d->tieEastWest;
    }
    return w;
}

} // namespace

class TestWellLocation : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<VectorLayer> m_theme;

private Q_SLOTS:
    void initTestCase()
    {
        // One township of square sections with its SW corner at the origin.
        const QString path = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, {.originX = 0, .originY = 0, .epsg = 0}),
                 QString());
        m_theme = VectorLayer::open(path);
        QVERIFY(m_theme->isValid());
    }

    void quarterCalls_data()
    {
        QTest::addColumn<QString>("calls"); // 160 40 10 2.5 acres; "--" or nothing ends them
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("message"); // empty: located, nothing said
        QTest::newRow("no calls: the section centre, its quarter lines")
            << u"-- -- -- --"_s << QPointF(Mile / 2, Mile / 2) << 2 << QString();
        QTest::newRow("NE, SW") << u"NE SW -- --"_s << QPointF(1005.84, 1005.84) << 6 << QString();
        QTest::newRow("NE: the centre of the NE quarter")
            << u"NE -- -- --"_s << QPointF(1207.008, 1207.008) << 4 << QString();
        QTest::newRow("four levels")
            << u"SW NW NE SE"_s << QPointF(352.044, 653.796) << 8 << QString();
        // A call below an empty level is refused, never placed at the larger parcel's centre.
        QTest::newRow("a 40-acre call without its 160")
            << u"-- SW -- --"_s << QPointF() << 0 << u"Choose the 160-acre quarter first."_s;
        QTest::newRow("lower case is no call")
            << u"ne SW -- --"_s << QPointF() << 0 << u"Choose the 160-acre quarter first."_s;
        QTest::newRow("a 10-acre call without its 40")
            << u"NE -- SW --"_s << QPointF() << 0 << u"Choose the 40-acre quarter first."_s;
        QTest::newRow("a 2.5-acre call without its 10")
            << u"NE SW  NW"_s << QPointF() << 0 << u"Choose the 10-acre quarter first."_s;
    }
    void quarterCalls()
    {
        QFETCH(QString, calls);
        QFETCH(QPointF, at);
        QFETCH(int, lines);
        QFETCH(QString, message);
        const QStringList c = calls.split(u' ');
        RecordingMessageService messages;
        const auto r = subdivideByCalls(square(), {c[0], c[1], c[2], c[3]}, messages);
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(bool(r), message.isEmpty());
        QCOMPARE(r ? r->lines.size() : 0, lines);
        if (r)
            QVERIFY2(
                near(r->location.X, at.x()) && near(r->location.Y, at.y()),
                qPrintable(u"%1 %2"_s.arg(r->location.X, 0, 'f', 6).arg(r->location.Y, 0, 'f', 6)));
    }

    // The nominal half mile is measured from the SE corner: a wide section puts its excess
    // in the west half. Coinciding corners make the quarter lines parallel: a stop message, no
    // NaN anywhere.
    void unevenSections()
    {
        const CornerArray wide = {MapPoint{0, 0}, MapPoint{0, Mile}, MapPoint{1700, Mile},
                                  MapPoint{1700, 0}};
        RecordingMessageService messages;
        const auto sw = subdivideByCalls(wide, {u"SW"_s, u"--"_s, u"--"_s, u"--"_s}, messages);
        const auto se = subdivideByCalls(wide, {u"SE"_s, u"--"_s, u"--"_s, u"--"_s}, messages);
        QVERIFY(sw && se);
        QVERIFY(near(sw->finalParcel[SE].X - sw->finalParcel[SW].X, 895.328));
        QVERIFY(near(se->finalParcel[SE].X - se->finalParcel[SW].X, 804.672));
        const CornerArray flat = {MapPoint{0, 0}, MapPoint{0, 0}, MapPoint{Mile, 0},
                                  MapPoint{Mile, 0}};
        QVERIFY(!subdivideByCalls(flat, {u"NE"_s, u"--"_s, u"--"_s, u"--"_s}, messages));
        QCOMPARE(messages.texts(), QStringList{degenerateParcelMessage()});
    }

    void footageCalls_data()
    {
        QTest::addColumn<QString>("fcX");
        QTest::addColumn<QString>("fcY");
        QTest::addColumn<QString>("message"); // empty: placed, nothing said; else a stop
        QTest::addColumn<QPointF>("at");
        const QPointF at(Mile - 660 * SurveyFoot, 1980 * SurveyFoot);
        QTest::newRow("660E 1980S") << u"660E"_s << u"1980S"_s << QString() << at;
        QTest::newRow("S1980 E660, swapped") << u"S1980"_s << u"E660"_s << QString() << at;
        QTest::newRow("lower-case letter") << u"660e"_s << u"1980s"_s << QString() << at;
        QTest::newRow("forms differ: the second letter is 0")
            << u"660E"_s << u"S1980"_s << illegalDirectionMessage() << QPointF();
        // Two calls on one axis are a typo, not a place.
        QTest::newRow("two north/south calls")
            << u"N100"_s << u"S200"_s
            << u"The footage calls N100 and S200 both measure from a north or south line. Give "
               "one distance from the east or west line and one from the north or south line."_s
            << QPointF();
        QTest::newRow("two east calls")
            << u"660E"_s << u"1980E"_s
            << u"The footage calls 660E and 1980E both measure from an east or west line. Give "
               "one distance from the east or west line and one from the north or south line."_s
            << QPointF();
        QTest::newRow("W and N") << u"W330"_s << u"N990"_s << QString()
                                 << QPointF(330 * SurveyFoot, Mile - 990 * SurveyFoot);
        QTest::newRow("letter O for zero")
            << u"66O0E"_s << u"1980S"_s
            << u"The footage call 66O0E does not give a distance in feet."_s << QPointF();
        QTest::newRow("no letter")
            << u"660"_s << u"1980"_s << illegalDirectionMessage() << QPointF();
        QTest::newRow("empty") << u""_s << u"1980S"_s << u"No footage call provided."_s
                               << QPointF();
    }
    void footageCalls()
    {
        QFETCH(QString, fcX);
        QFETCH(QString, fcY);
        QFETCH(QString, message);
        QFETCH(QPointF, at);
        const CornerArray c = square();
        RecordingMessageService messages;
        const auto p = placeByFootageCalls(ringOf(c), c, fcX, fcY, messages);
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(bool(p), message.isEmpty());
        if (!p)
            QCOMPARE(messages.messages().first().icon, MessageIcon::Stop);
        else
            QVERIFY2(near(p->X, at.x(), 0.005) && near(p->Y, at.y(), 0.005),
                     qPrintable(u"%1 %2"_s.arg(p->X, 0, 'f', 4).arg(p->Y, 0, 'f', 4)));
    }

    void footageCallsOfPoints()
    {
        const CornerArray c = square();
        RecordingMessageService messages;
        // A call as {east/west, north/south, feet east/west, feet north/south}.
        const auto call = [&](MapPoint p) {
            const auto r = calcFootingCall(ringOf(c), p, messages);
            return r ? QStringList{r->eastWest, r->northSouth,
                                   QString::number(r->eastWestFeet, 'f', 2),
                                   QString::number(r->northSouthFeet, 'f', 2)}
                     : QStringList();
        };
        QCOMPARE(call({Mile - 660 * SurveyFoot, 1980 * SurveyFoot}),
                 (QStringList{u"E"_s, u"S"_s, u"660.00"_s, u"1980.00"_s}));
        // West of the centre and north of it.
        QCOMPARE(
            call({100, 1500}).mid(0, 3),
            (QStringList{u"W"_s, u"N"_s, QString::number(roundTo(100 / SurveyFoot, 2), 'f', 2)}));
        // Exactly at the centre: ties give S and E.
        QCOMPARE(call({Mile / 2, Mile / 2}).mid(0, 2), (QStringList{u"E"_s, u"S"_s}));
        // Just outside the east line: only the westward probe crosses the boundary.
        const QStringList outside = call({Mile + 10, 800});
        QCOMPARE(outside.value(0) + outside.value(2), u"W32.81"_s);
        // Beyond a section's length away no probe crosses: 10000 m, 32808.33 feet, S and E.
        QCOMPARE(call({3 * Mile, 800}),
                 (QStringList{u"E"_s, u"S"_s, u"32808.33"_s, u"32808.33"_s}));
    }

    void segmentsAndLines()
    {
        QCOMPARE(intersectLines({0, 0}, {10, 10}, {0, 10}, {10, 0}), (MapPoint{5, 5}));
        const MapPoint parallelLines = intersectLines({0, 0}, {10, 0}, {0, 1}, {10, 1});
        QVERIFY(std::isnan(parallelLines.X) && std::isnan(parallelLines.Y));
        const SegmentCrossing parallel = intersectSegments(0, 0, 10, 0, 0, 1, 10, 1);
        QCOMPARE(parallel.distance, -1.0);
        QCOMPARE((QList<MapPoint>{parallel.p1, parallel.p3}), QList<MapPoint>(2, {1e38, 1e38}));
        const SegmentCrossing crossing = intersectSegments(0, 0, 10, 0, 4, -5, 4, 5);
        QCOMPARE(crossing.distance, 4.0);
        QCOMPARE(crossing.p2, (MapPoint{4, 0}));
        const SegmentCrossing atEnd = intersectSegments(0, 0, 10, 0, 10, -5, 10, 5);
        QCOMPARE(atEnd.distance, -1.0); // the end point does not count as a crossing
        QCOMPARE(atEnd.p1, (MapPoint{10, 0}));
        bool on = false;
        QCOMPARE(pointLineDistance(3, 4, 0, 0, 0, 0, on), 5.0);
        QVERIFY(pointLineDistance(5, 3, 0, 0, 10, 0, on) == 3.0 && on);
        QVERIFY(pointLineDistance(15, 3, 0, 0, 10, 0, on) == 3.0 && !on);
    }

    // The whole command on a theme: texts rounded to two places, lines and the circle.
    void commandsOnATheme()
    {
        RecordingMessageService messages;
        // Section 36 is the south-east section of the township.
        const SectionEntries entries{u"36"_s, u"12N"_s, u"34W"_s, u"6"_s};
        const WellLocation q =
            locateByQuarterCalls(*m_theme, entries, {u"NE"_s, u"SW"_s, u"--"_s, u"--"_s}, messages);
        QVERIFY(q.located);
        // 2 lines for each of 3 levels processed
        QCOMPARE(u"%1 %2, %3 lines"_s.arg(q.easting, q.northing).arg(q.lines.size()),
                 formatNumber(roundTo(5 * Mile + 1005.84, 2)) + u" 1005.84, 6 lines"_s);
        QCOMPARE(q.sectionExtent, MapRect(5 * Mile, 6 * Mile, Mile, 0));

        const WellLocation f =
            locateByFootageCalls(*m_theme, entries, u"660E"_s, u"1980S"_s, messages);
        QVERIFY(f.located);
        QCOMPARE(u"%1 %2, %3 lines"_s.arg(f.easting, f.northing).arg(f.lines.size()),
                 formatNumber(roundTo(6 * Mile - 660 * SurveyFoot, 2)) + u" 603.51, 0 lines"_s);
        QVERIFY(messages.messages().isEmpty());

        const WellLocation empty = locateByFootageCalls(*m_theme, entries, u""_s, u""_s, messages);
        QVERIFY(!empty.located && empty.clearOutputs && empty.sectionFound);
        const WellLocation missing =
            locateByQuarterCalls(*m_theme, {u"7"_s, u"40N"_s, u"34W"_s, u""_s}, {}, messages);
        QVERIFY(!missing.sectionFound && !missing.located);
        QCOMPARE(messages.texts().last(),
                 u"Unable to locate PLSS section. Section 7, T40N R34W is not in sections.shp."_s);
    }

    // Every form on a township of mile squares (section 36 has its SW corner at (5 mi, 0),
    // section 6 at (0, 5 mi), 18 at (0, 3 mi), 12 at (5 mi, 4 mi)): the point, the radius of the
    // parcel named (Q160 1867 ft, Q40 933, Q10 467, Q2.5 233, 0 for a point), the method; or
    // the message.
    void everyForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<int>("radius");
        QTest::addColumn<QString>("method"); // or the message
        const double ft = SurveyFoot, e36 = 5 * Mile;
        const QString quarters = u"quarter calls, classic rule"_s;
        const auto row = [](const char *name, const char16_t *text, double x, double y, int radius,
                            const QString &method) {
            QTest::newRow(name) << QString::fromUtf16(text) << x << y << radius << method;
        };
        row("Q160", u"NE/4 sec 36 T12N R34W", e36 + 1207.008, 1207.008, 1867, quarters);
        row("Q40", u"SW/4 NE/4 sec 36 T12N R34W", e36 + 1005.84, 1005.84, 933, quarters);
        row("Q10", u"NENENE sec 36 T12N R34W", e36 + 1508.76, 1508.76, 467, quarters);
        row("Q2.5", u"NENENENE sec 36 T12N R34W", e36 + 1559.052, 1559.052, 233, quarters);
        row("half", u"N/2 sec 36 T12N R34W", e36 + 804.672, 1207.008, 2952, quarters);
        row("half of a quarter-quarter", u"E/2 NE/4 SW/4 sec 36 T12N R34W", e36 + 704.088, 603.504,
            738, quarters);
        row("whole section", u"All of Section 36, T12N R34W", e36 + 804.672, 804.672, 3734,
            quarters);
        row("footage", u"660 FSL 660 FWL sec 36 T12N R34W", e36 + 660 * ft, 660 * ft, 0,
            u"footage calls"_s);
        row("tie, section corner", u"N 1234 ft E 567 ft from SW Cor sec 36 T12N R34W",
            e36 + 567 * ft, 1234 * ft, 0, u"corner tie"_s);
        row("tie, north-east corner", u"S 100 ft W 200 ft from NE Cor sec 36 T12N R34W",
            6 * Mile - 200 * ft, Mile - 100 * ft, 0, u"corner tie"_s);
        row("tie, quarter corner", u"S 1320 ft E 660 ft from N4 Cor sec 36 T12N R34W",
            e36 + 804.672 + 660 * ft, Mile - 1320 * ft, 0, u"corner tie, classic rule"_s);
        row("tie, one way", u"1320 ft N of the S4 Cor sec 36 T12N R34W", e36 + 804.672, 1320 * ft,
            0, u"corner tie, classic rule"_s);
        row("tie, centre", u"W 100 ft S 50 ft from center of section, 36-12N-34W",
            e36 + 804.672 - 100 * ft, 804.672 - 50 * ft, 0, u"corner tie, classic rule"_s);
        // Lots where a regular township has them: the quarter-quarter of their place.
        row("lot 3 of section 6 (NENW)", u"Lot 3 sec 6 T12N R34W", 603.504, 5 * Mile + 1408.176,
            933, u"protracted lot, classic rule"_s);
        row("lot 6 of section 6 (NWSW)", u"Lot 6 sec 6 T12N R34W", 201.168, 5 * Mile + 603.504, 933,
            u"protracted lot, classic rule"_s);
        row("lot 2 of section 18 (SWNW)", u"Lot 2 sec 18 T12N R34W", 201.168, 3 * Mile + 1005.84,
            933, u"protracted lot, classic rule"_s);
        row("lot at its stated place", u"Lot 3 (NE/4 NW/4) sec 12 T12N R34W", e36 + 603.504,
            4 * Mile + 1408.176, 933, u"lot at its stated quarters, classic rule"_s);
        row("tie leaves its section", u"N 9000 ft from SW Cor sec 36 T12N R34W", 0, 0, 0,
            u"The tie N 9000 ft from the SW corner leaves section 36, T12N R34W."_s);
        row("tie from a corner outwards", u"S 10 ft E 10 ft from SW Cor sec 36 T12N R34W", 0, 0, 0,
            u"The tie S 10 ft, E 10 ft from the SW corner leaves section 36, T12N R34W."_s);
        row("tie from a quarter corner outwards", u"N 10 ft from N4 Cor sec 36 T12N R34W", 0, 0, 0,
            u"The tie N 10 ft from the N1/4 corner leaves section 36, T12N R34W."_s);
        row("a lot the section has not", u"Lot 3 sec 12 T12N R34W", 0, 0, 0,
            u"Section 12, T12N R34W has no lot 3 in a regular township: give the lot's "
            u"quarter-quarter, as in \"Lot 3 (NE/4 NW/4)\", or add the section's second "
            u"divisions."_s);
    }
    void everyForm()
    {
        QFETCH(QString, text);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(int, radius);
        QFETCH(QString, method);
        RecordingMessageService messages;
        const WellLocation w = locateWell(*m_theme, described(text), {}, messages);
        if (x == 0) {
            QVERIFY(!w.located);
            QCOMPARE(messages.texts(), QStringList{method});
            return;
        }
        QVERIFY2(w.located, qPrintable(messages.texts().join(u' ')));
        QVERIFY2(near(w.location.X, x, 0.005) && near(w.location.Y, y, 0.005),
                 qPrintable(u"%1 %2"_s.arg(w.location.X, 0, 'f', 3).arg(w.location.Y, 0, 'f', 3)));
        QCOMPARE(int(std::lround(w.radiusFeet)), radius);
        QCOMPARE(w.method, method);
        // The parcel holds the point; a point names no parcel.
        QCOMPARE(w.parcel.isEmpty(), radius == 0);
        QVERIFY(w.parcel.isEmpty() || w.parcel.contains(w.location));
    }

    // On real sections a tie from each section corner lands where the footage calls from the
    // two lines that meet there do, to the centimetre.
    void tiesAreFootageCalls()
    {
        const QString path = QStringLiteral(TW_SHARED_DATA "/utah-sections/utah_sections.shp");
        if (!QFile::exists(path))
            QSKIP("shared Utah data not present");
        auto theme = VectorLayer::open(path);
        RecordSet all = theme->records();
        int compared = 0;
        for (all.moveFirst(); !all.atEnd() && compared < 200; all.moveNext()) {
            const SectionEntries entries{
                all.value(u"section"_s)->toString(),
                all.value(u"township"_s)->toString() + all.value(u"base_side"_s)->toString(),
                all.value(u"range"_s)->toString() + all.value(u"meridian_s"_s)->toString(),
                QString()};
            for (const auto &[corner, ns, ew, fcX, fcY] :
                 {std::tuple{u"SW"_s, u"1234N"_s, u"567E"_s, u"567W"_s, u"1234S"_s},
                  std::tuple{u"NE"_s, u"800S"_s, u"1500W"_s, u"1500E"_s, u"800N"_s},
                  std::tuple{u"SE"_s, u"2000N"_s, u"300W"_s, u"300E"_s, u"2000S"_s}}) {
                WellDescription tie;
                tie.entries = entries;
                tie.tieCorner = corner;
                tie.tieNorthSouth = ns;
                tie.tieEastWest = ew;
                RecordingMessageService messages;
                const WellLocation t = locateWell(*theme, tie, {}, messages);
                const WellLocation f = locateByFootageCalls(*theme, entries, fcX, fcY, messages);
                if (!f.located)
                    continue; // a fractional section that cannot hold the calls
                QVERIFY2(t.located, qPrintable(messages.texts().join(u' ')));
                QVERIFY(near(t.location.X, f.location.X, 0.01) &&
                        near(t.location.Y, f.location.Y, 0.01));
                ++compared;
            }
        }
        QVERIFY(compared >= 200);
    }

    // The manual rule on sections 1,650 m wide and 1,700 m high, by the SW quarter's centre:
    // quarter points at the middle of the lines of an interior section, 40 chains from the
    // south in the north row and from the east in the west column, where the classic rule puts
    // them 40 chains from the south and east everywhere (422.664, 402.336).
    void manualRule_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<double>("east"); // from the section's SW corner
        QTest::addColumn<double>("north");
        QTest::newRow("interior") << 15 << 412.5 << 425.0;
        QTest::newRow("north row") << 3 << 412.5 << 402.336;
        QTest::newRow("west column") << 18 << 422.664 << 425.0;
        QTest::newRow("north-west corner section") << 6 << 422.664 << 402.336;
    }
    void manualRule()
    {
        QFETCH(int, section);
        QFETCH(double, east);
        QFETCH(double, north);
        const fixtures::SectionGrid grid{
            .originX = 0, .originY = 0, .sectionWidth = 1650, .sectionHeight = 1700, .epsg = 0};
        const QString path = m_dir.filePath(u"uneven.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, grid), QString());
        auto theme = VectorLayer::open(path);
        const fixtures::Corners c = fixtures::sectionCorners(grid, 0, 0, section);
        WellDescription well;
        well.entries = {QString::number(section), u"12N"_s, u"34W"_s, u"6"_s};
        well.calls = {u"SW"_s, u"--"_s, u"--"_s, u"--"_s};
        RecordingMessageService messages;
        const WellLocation manual =
            locateWell(*theme, well, {SubdivisionRule::Manual, nullptr}, messages);
        QVERIFY(manual.located);
        QCOMPARE(manual.method, u"quarter calls, manual rule"_s);
        QVERIFY2(
            near(manual.location.X, c.x[0] + east, 1e-6) &&
                near(manual.location.Y, c.y[0] + north, 1e-6),
            qPrintable(u"%1 %2"_s.arg(manual.location.X - c.x[0]).arg(manual.location.Y - c.y[0])));
        const WellLocation classic = locateWell(*theme, well, {}, messages);
        QVERIFY(near(classic.location.X, c.x[0] + 422.664, 1e-6) &&
                near(classic.location.Y, c.y[0] + 402.336, 1e-6));
    }

    // On second divisions written in the BLM's schema (sections 1,650 m by 1,700 m divided in
    // sixteen equal parts): a call resolves to its part, a quarter or half to the union of its
    // parts, a deeper call to its quarter-quarter divided by the classic rule, a lot to the
    // lot; the reverse location names the part; the divisions alone make their sections.
    void secondDivisions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("u"); // the point in the section, 0 to 1 from the SW corner
        QTest::addColumn<double>("v");
        QTest::addColumn<QString>("label"); // of the part holding it, or the message
        QTest::newRow("quarter-quarter")
            << u"SE/4 NE/4 sec 15 T12N R34W"_s << 0.875 << 0.625 << u"SENE"_s;
        QTest::newRow("quarter") << u"NE/4 sec 15 T12N R34W"_s << 0.75 << 0.75 << u"SENE"_s;
        QTest::newRow("half") << u"N/2 NE/4 sec 15 T12N R34W"_s << 0.75 << 0.875 << u"NENE"_s;
        QTest::newRow("10 acres") << u"NE/4 NE/4 NE/4 sec 15 T12N R34W"_s << (1650 - 100.584) / 1650
                                  << (0.75 * 1700 + 201.168 + 1700) / 2 / 1700 << u"NENE"_s;
        QTest::newRow("lot") << u"Lot 3 sec 6 T12N R34W"_s << 0.375 << 0.875 << u"L 3"_s;
        QTest::newRow("a lot not there")
            << u"Lot 5 sec 15 T12N R34W"_s << 0.0 << 0.0
            << u"Lot 5 is not among the second divisions of section 15, T12N R34W."_s;
    }
    void secondDivisions()
    {
        QFETCH(QString, text);
        QFETCH(double, u);
        QFETCH(double, v);
        QFETCH(QString, label);
        const fixtures::SectionGrid grid{
            .originX = 400000, .originY = 4400000, .sectionWidth = 1650, .sectionHeight = 1700};
        const QString sections = m_dir.filePath(u"uneven-utm.shp"_s);
        const QString parts = m_dir.filePath(u"divisions.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(sections, grid), QString());
        QCOMPARE(fixtures::writeSecondDivisions(parts, grid), QString());
        auto theme = VectorLayer::open(sections);
        auto layer = VectorLayer::open(parts);
        QString error;
        const auto divisions = SecondDivisions::read(layer, std::nullopt, &error);
        QVERIFY2(divisions, qPrintable(error));
        QVERIFY(isSecondDivisionTheme(*layer) && !isSecondDivisionTheme(*theme));
        const WellDescription well = described(text);
        const fixtures::Corners c =
            fixtures::sectionCorners(grid, 0, 0, well.entries.section.toInt());
        RecordingMessageService messages;
        const WellLocation w =
            locateWell(*theme, well, {SubdivisionRule::Classic, divisions.get()}, messages);
        if (u == 0) {
            QCOMPARE(messages.texts(), QStringList{label});
            return;
        }
        QVERIFY2(w.located, qPrintable(messages.texts().join(u' ')));
        QCOMPARE(w.method, u"second division"_s);
        const MapPoint expected{c.x[0] + u * 1650, c.y[0] + v * 1700};
        QVERIFY2(near(w.location.X, expected.X, 1e-3) && near(w.location.Y, expected.Y, 1e-3),
                 qPrintable(u"%1 %2"_s.arg(w.location.X - c.x[0]).arg(w.location.Y - c.y[0])));
        QVERIFY(w.parcel.contains(w.location) && w.radiusFeet > 0);
        const MapPoint inside{expected.X + 1, expected.Y - 1};
        QCOMPARE(divisions->labelAt(inside), label);
        // The divisions alone: their sections made whole again, found by the usual lookup.
        auto made = sectionsFromDivisions(*layer, &error);
        QVERIFY2(made, qPrintable(error));
        prepareNamedPlssFields(*made);
        const WellLocation alone =
            locateWell(*made, well, {SubdivisionRule::Classic, divisions.get()}, messages);
        QVERIFY(alone.located && near(alone.location.X, w.location.X, 1e-3) &&
                near(alone.location.Y, w.location.Y, 1e-3));
    }

    // Corners of polygons; no list: no corners, one stop message.
    void corners_data()
    {
        QTest::addColumn<MapPolygon>("poly");
        QTest::addColumn<QList<MapPoint>>("expected"); // SW, NW, NE, SE
        const QList<MapPoint> square = {{0, 0}, {0, 1600}, {1600, 1600}, {1600, 0}, {0, 0}};
        QTest::newRow("square: the extent corners") << polygon(square) << square.mid(0, 4);
        // Sheared 100 m east over its height: the bounding box corners are off the polygon, the
        // nearest vertex to each is still the true corner.
        const QList<MapPoint> skewed = {{0, 0}, {100, 1600}, {1700, 1600}, {1600, 0}, {0, 0}};
        QTest::newRow("skewed") << polygon(skewed)
                                << QList<MapPoint>{{0, 0}, {100, 1600}, {1700, 1600}, {1600, 0}};
        // Quarter corners along every side do not disturb the corners.
        const QList<MapPoint> extra = {{0, 0},      {0, 800},  {0, 1600}, {800, 1605}, {1600, 1610},
                                       {1602, 800}, {1604, 0}, {800, -3}, {0, 0}};
        QTest::newRow("extra vertices")
            << polygon(extra) << QList<MapPoint>{{0, 0}, {0, 1600}, {1600, 1610}, {1604, 0}};
        // Two vertices equally far from the NE box corner (1000, 1000): the earlier one is kept.
        const QList<MapPoint> tie = {{0, 0},      {0, 1000}, {990, 1000},
                                     {1000, 990}, {1000, 0}, {0, 0}};
        QTest::newRow("tie keeps the earlier vertex")
            << polygon(tie) << QList<MapPoint>{{0, 0}, {0, 1000}, {990, 1000}, {1000, 0}};
        const QList<MapPoint> tieReversed = {{0, 0},      {1000, 0}, {1000, 990},
                                             {990, 1000}, {0, 1000}, {0, 0}};
        QTest::newRow("tie, other order")
            << polygon(tieReversed) << QList<MapPoint>{{0, 0}, {0, 1000}, {1000, 990}, {1000, 0}};
        // A corner with no vertex within 1,000,000 units.
        QTest::newRow("far corner stops once")
            << polygon({{0, 0}, {1.5e6, 3e6}, {3e6, 0}, {0, 0}}) << QList<MapPoint>();
        QTest::newRow("empty polygon stops") << MapPolygon() << QList<MapPoint>();
    }
    void corners()
    {
        QFETCH(MapPolygon, poly);
        QFETCH(QList<MapPoint>, expected);
        CornerArray extentCorners{}, sectionCorners{};
        RecordingMessageService messages;
        const bool found = polygonCorners(poly, extentCorners, sectionCorners, messages);
        QCOMPARE(found, !expected.isEmpty());
        if (!found) {
            QCOMPARE(messages.texts(), QStringList{u"Unable to calculate PLSS corners"_s});
            QCOMPARE(messages.messages().first().icon, MessageIcon::Stop);
            return;
        }
        QVERIFY(messages.messages().isEmpty());
        const MapRect &box = poly.extent();
        QCOMPARE(extentCorners, (CornerArray{MapPoint{box.left(), box.bottom()},
                                             {box.left(), box.top()},
                                             {box.right(), box.top()},
                                             {box.right(), box.bottom()}}));
        QCOMPARE(QList<MapPoint>(sectionCorners.begin(), sectionCorners.end()), expected);
    }

    // Generated grids: skewed and rectangular sections with extra vertices along each side give
    // back the corners they were made from.
    void generatedSections_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("skew");
        QTest::addColumn<int>("extra");
        QTest::newRow("square") << 1609.344 << 1609.344 << 0.0 << 0;
        QTest::newRow("rectangular") << 1700.0 << 1500.0 << 0.0 << 3;
        QTest::newRow("skewed") << 1609.344 << 1609.344 << 0.08 << 1;
    }
    void generatedSections()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(double, skew);
        QFETCH(int, extra);
        QTemporaryDir dir;
        fixtures::SectionGrid g;
        g.sectionWidth = width;
        g.sectionHeight = height;
        g.skew = skew;
        g.extraVertices = extra;
        const QString path = dir.filePath(u"grid.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, g), QString());
        auto layer = VectorLayer::open(path);
        QVERIFY(layer->isValid());
        RecordSet all = layer->records();
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            const int section = all.value(u"section"_s)->toInt();
            const auto expected = fixtures::sectionCorners(g, 0, 0, section);
            CornerArray extentCorners{}, corners{};
            RecordingMessageService messages;
            QVERIFY(polygonCorners(all.shape(), extentCorners, corners, messages));
            for (std::size_t i = 0; i < 4; ++i)
                QVERIFY(std::hypot(corners[i].X - expected.x[i], corners[i].Y - expected.y[i]) <
                        1e-6);
        }
    }

    // Real sections: the corners are vertices of the section, in SW, NW, NE, SE order around
    // it, and regular sections come out about a mile on each side.
    void utahSections()
    {
        const QString path = QStringLiteral(TW_SHARED_DATA "/utah-sections/utah_sections.shp");
        if (!QFile::exists(path))
            QSKIP("shared Utah data not present");
        auto layer = VectorLayer::open(path);
        QVERIFY(layer->isValid());
        int regular = 0;
        RecordSet all = layer->records();
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            const MapPolygon poly = all.shape();
            CornerArray extentCorners{}, c{};
            RecordingMessageService messages;
            QVERIFY(polygonCorners(poly, extentCorners, c, messages));
            for (const MapPoint &corner : c)
                QVERIFY(poly.parts().first().contains(corner));
            QVERIFY(c[SW].Y < c[NW].Y && c[SE].Y < c[NE].Y);
            QVERIFY(c[SW].X < c[SE].X && c[NW].X < c[NE].X);
            const int vertices = int(poly.parts().first().size());
            auto side = [&](int a, int b) {
                return std::hypot(c[std::size_t(a)].X - c[std::size_t(b)].X,
                                  c[std::size_t(a)].Y - c[std::size_t(b)].Y);
            };
            const double area = std::fabs(poly.extent().width() * poly.extent().height());
            if (vertices == 17 && std::fabs(area / 4046.8564224 - 640) < 20) {
                ++regular;
                for (auto [a, b] : {std::pair{SW, NW}, {NW, NE}, {NE, SE}, {SE, SW}})
                    QVERIFY2(std::fabs(side(a, b) - 1609.344) < 60,
                             qPrintable(QString::number(side(a, b))));
            }
        }
        QVERIFY(regular > 100);
    }
};

QTEST_GUILESS_MAIN(TestWellLocation)
#include "tst_well_location.moc"
