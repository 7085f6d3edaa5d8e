#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/aliquot.h"
#include "core/plss/footage.h"
#include "core/plss/well_location.h"
#include "tests/fixtures/fixtures.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

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
        fixtures::SectionGrid g;
        g.originX = 0;
        g.originY = 0;
        g.epsg = 0;
        const QString path = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, g), QString());
        m_theme = VectorLayer::open(path);
        QVERIFY(m_theme->Valid());
    }

    void quarterCalls_data()
    {
        QTest::addColumn<QString>("calls"); // 160 40 10 2.5 acres; "--" or nothing ends them
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("message");
        QTest::newRow("no calls: the section centre, its quarter lines")
            << u"-- -- -- --"_s << Mile / 2 << Mile / 2 << 2 << QString();
        QTest::newRow("NE, SW") << u"NE SW -- --"_s << 1005.84 << 1005.84 << 6 << QString();
        QTest::newRow("NE: the centre of the NE quarter")
            << u"NE -- -- --"_s << 1207.008 << 1207.008 << 4 << QString();
        QTest::newRow("four levels") << u"SW NW NE SE"_s << 352.044 << 653.796 << 8 << QString();
        // A call below an empty level is refused, never placed at the larger parcel's centre.
        QTest::newRow("a 40-acre call without its 160")
            << u"-- SW -- --"_s << 0.0 << 0.0 << 0 << u"Choose the 160-acre quarter first."_s;
        QTest::newRow("lower case is no call")
            << u"ne SW -- --"_s << 0.0 << 0.0 << 0 << u"Choose the 160-acre quarter first."_s;
        QTest::newRow("a 10-acre call without its 40")
            << u"NE -- SW --"_s << 0.0 << 0.0 << 0 << u"Choose the 40-acre quarter first."_s;
        QTest::newRow("a 2.5-acre call without its 10")
            << u"NE SW  NW"_s << 0.0 << 0.0 << 0 << u"Choose the 10-acre quarter first."_s;
    }
    void quarterCalls()
    {
        QFETCH(QString, calls);
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(int, lines);
        QFETCH(QString, message);
        const QStringList c = calls.split(u' ');
        RecordingMessageService messages;
        const auto r = subdivideByCalls(square(), {c[0], c[1], c[2], c[3]}, messages);
        if (!message.isEmpty()) {
            QVERIFY(!r);
            QCOMPARE(messages.texts(), QStringList{message});
            return;
        }
        QVERIFY(r);
        QCOMPARE(r->lines.size(), lines);
        QVERIFY2(near(r->location.X, x), qPrintable(QString::number(r->location.X, 'f', 6)));
        QVERIFY2(near(r->location.Y, y), qPrintable(QString::number(r->location.Y, 'f', 6)));
        QVERIFY(messages.messages().isEmpty());
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
        QTest::addColumn<QString>("message");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        const double x = Mile - 660 * SurveyFoot, y = 1980 * SurveyFoot;
        QTest::newRow("660E 1980S") << u"660E"_s << u"1980S"_s << QString() << x << y;
        QTest::newRow("S1980 E660, swapped") << u"S1980"_s << u"E660"_s << QString() << x << y;
        QTest::newRow("lower-case letter") << u"660e"_s << u"1980s"_s << QString() << x << y;
        QTest::newRow("forms differ: the second letter is 0")
            << u"660E"_s << u"S1980"_s << illegalDirectionMessage() << 0.0 << 0.0;
        // Two calls on one axis are a typo, not a place.
        QTest::newRow("two north/south calls")
            << u"N100"_s << u"S200"_s
            << u"The footing calls N100 and S200 both measure from a north or south line. Give "
               "one distance from the east or west line and one from the north or south line."_s
            << 0.0 << 0.0;
        QTest::newRow("two east calls")
            << u"660E"_s << u"1980E"_s
            << u"The footing calls 660E and 1980E both measure from an east or west line. Give "
               "one distance from the east or west line and one from the north or south line."_s
            << 0.0 << 0.0;
        QTest::newRow("W and N") << u"W330"_s << u"N990"_s << QString() << 330 * SurveyFoot
                                 << Mile - 990 * SurveyFoot;
        QTest::newRow("letter O for zero")
            << u"66O0E"_s << u"1980S"_s
            << u"The footing call 66O0E does not give a distance in feet."_s << 0.0 << 0.0;
        QTest::newRow("no letter")
            << u"660"_s << u"1980"_s << illegalDirectionMessage() << 0.0 << 0.0;
        QTest::newRow("empty") << u""_s << u"1980S"_s << noFootingCallMessage() << 0.0 << 0.0;
    }
    void footageCalls()
    {
        QFETCH(QString, fcX);
        QFETCH(QString, fcY);
        QFETCH(QString, message);
        QFETCH(double, x);
        QFETCH(double, y);
        const CornerArray c = square();
        RecordingMessageService messages;
        const auto p = placeByFootageCalls(ringOf(c), c, fcX, fcY, messages);
        if (!message.isEmpty()) {
            QVERIFY(!p);
            QCOMPARE(messages.texts(), QStringList{message});
            QCOMPARE(messages.messages().first().icon, MessageIcon::Stop);
            return;
        }
        QVERIFY(p);
        QVERIFY(messages.messages().isEmpty());
        QVERIFY2(near(p->X, x, 0.005) && near(p->Y, y, 0.005),
                 qPrintable(u"%1 %2"_s.arg(p->X, 0, 'f', 4).arg(p->Y, 0, 'f', 4)));
    }

    void calcFootingCall()
    {
        const CornerArray c = square();
        RecordingMessageService messages;
        const auto call =
            CalcFootingCall(ringOf(c), {Mile - 660 * SurveyFoot, 1980 * SurveyFoot}, messages);
        QVERIFY(call);
        QCOMPARE(call->eastWest, u"E"_s);
        QCOMPARE(call->eastWestFeet, 660.0);
        QCOMPARE(call->northSouth, u"S"_s);
        QCOMPARE(call->northSouthFeet, 1980.0);
        // West of the centre and north of it.
        const auto nw = CalcFootingCall(ringOf(c), {100, 1500}, messages);
        QCOMPARE(nw->eastWest, u"W"_s);
        QCOMPARE(nw->eastWestFeet, roundTo(100 / SurveyFoot, 2));
        QCOMPARE(nw->northSouth, u"N"_s);
        // Exactly at the centre: ties give S and E.
        const auto centre = CalcFootingCall(ringOf(c), {Mile / 2, Mile / 2}, messages);
        QCOMPARE(centre->eastWest, u"E"_s);
        QCOMPARE(centre->northSouth, u"S"_s);
        // Just outside the east line: only the westward probe crosses the boundary.
        const auto outside = CalcFootingCall(ringOf(c), {Mile + 10, 800}, messages);
        QCOMPARE(outside->eastWest, u"W"_s);
        QCOMPARE(outside->eastWestFeet, 32.81);
        // Beyond a section's length away no probe crosses: 10000 m, 32808.33 feet, S and E.
        const auto far = CalcFootingCall(ringOf(c), {3 * Mile, 800}, messages);
        QCOMPARE(far->eastWest, u"E"_s);
        QCOMPARE(far->eastWestFeet, 32808.33);
        QCOMPARE(far->northSouth, u"S"_s);
        QCOMPARE(far->northSouthFeet, 32808.33);
    }

    void segmentsAndLines()
    {
        QCOMPARE(IntersectLines({0, 0}, {10, 10}, {0, 10}, {10, 0}), (MapPoint{5, 5}));
        const MapPoint parallelLines = IntersectLines({0, 0}, {10, 0}, {0, 1}, {10, 1});
        QVERIFY(std::isnan(parallelLines.X) && std::isnan(parallelLines.Y));
        const SegmentCrossing parallel = IntersectSegments(0, 0, 10, 0, 0, 1, 10, 1);
        QCOMPARE(parallel.distance, -1.0);
        QCOMPARE(parallel.p1, (MapPoint{1e38, 1e38}));
        QCOMPARE(parallel.p3, (MapPoint{1e38, 1e38}));
        const SegmentCrossing crossing = IntersectSegments(0, 0, 10, 0, 4, -5, 4, 5);
        QCOMPARE(crossing.distance, 4.0);
        QCOMPARE(crossing.p2, (MapPoint{4, 0}));
        const SegmentCrossing atEnd = IntersectSegments(0, 0, 10, 0, 10, -5, 10, 5);
        QCOMPARE(atEnd.distance, -1.0); // the end point does not count as a crossing
        QCOMPARE(atEnd.p1, (MapPoint{10, 0}));
        bool on = false;
        QCOMPARE(PointLineDistance(3, 4, 0, 0, 0, 0, on), 5.0);
        QCOMPARE(PointLineDistance(5, 3, 0, 0, 10, 0, on), 3.0);
        QVERIFY(on);
        QCOMPARE(PointLineDistance(15, 3, 0, 0, 10, 0, on), 3.0);
        QVERIFY(!on);
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
        QCOMPARE(q.easting, formatNumber(roundTo(5 * Mile + 1005.84, 2)));
        QCOMPARE(q.northing, u"1005.84"_s);
        QCOMPARE(q.lines.size(), 6); // 2 lines for each of 3 levels processed
        QCOMPARE(q.sectionExtent, MapRect(5 * Mile, 6 * Mile, Mile, 0));

        const WellLocation f =
            locateByFootageCalls(*m_theme, entries, u"660E"_s, u"1980S"_s, messages);
        QVERIFY(f.located);
        QCOMPARE(f.easting, formatNumber(roundTo(6 * Mile - 660 * SurveyFoot, 2)));
        QCOMPARE(f.northing, u"603.51"_s);
        QVERIFY(f.lines.isEmpty()); // the mark only
        QVERIFY(messages.messages().isEmpty());

        const WellLocation empty = locateByFootageCalls(*m_theme, entries, u""_s, u""_s, messages);
        QVERIFY(!empty.located && empty.clearOutputs && empty.sectionFound);
        const WellLocation missing =
            locateByQuarterCalls(*m_theme, {u"7"_s, u"40N"_s, u"34W"_s, u""_s}, {}, messages);
        QVERIFY(!missing.sectionFound && !missing.located);
        QCOMPARE(messages.texts().last(), u"Unable to locate PLSS section."_s);
    }
};

QTEST_GUILESS_MAIN(TestWellLocation)
#include "tst_well_location.moc"
