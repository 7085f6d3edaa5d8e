#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/aliquot.h"
#include "core/plss/footage.h"
#include "core/plss/section_corners.h"
#include "core/plss/well_location.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
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

MapPolygon polygon(const QList<MapPoint> &ring)
{
    return MapPolygon({ring});
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
        QVERIFY(m_theme->Valid());
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

    void calcFootingCall()
    {
        const CornerArray c = square();
        RecordingMessageService messages;
        // A call as {east/west, north/south, feet east/west, feet north/south}.
        const auto call = [&](MapPoint p) {
            const auto r = CalcFootingCall(ringOf(c), p, messages);
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
        QCOMPARE(IntersectLines({0, 0}, {10, 10}, {0, 10}, {10, 0}), (MapPoint{5, 5}));
        const MapPoint parallelLines = IntersectLines({0, 0}, {10, 0}, {0, 1}, {10, 1});
        QVERIFY(std::isnan(parallelLines.X) && std::isnan(parallelLines.Y));
        const SegmentCrossing parallel = IntersectSegments(0, 0, 10, 0, 0, 1, 10, 1);
        QCOMPARE(parallel.distance, -1.0);
        QCOMPARE((QList<MapPoint>{parallel.p1, parallel.p3}), QList<MapPoint>(2, {1e38, 1e38}));
        const SegmentCrossing crossing = IntersectSegments(0, 0, 10, 0, 4, -5, 4, 5);
        QCOMPARE(crossing.distance, 4.0);
        QCOMPARE(crossing.p2, (MapPoint{4, 0}));
        const SegmentCrossing atEnd = IntersectSegments(0, 0, 10, 0, 10, -5, 10, 5);
        QCOMPARE(atEnd.distance, -1.0); // the end point does not count as a crossing
        QCOMPARE(atEnd.p1, (MapPoint{10, 0}));
        bool on = false;
        QCOMPARE(PointLineDistance(3, 4, 0, 0, 0, 0, on), 5.0);
        QVERIFY(PointLineDistance(5, 3, 0, 0, 10, 0, on) == 3.0 && on);
        QVERIFY(PointLineDistance(15, 3, 0, 0, 10, 0, on) == 3.0 && !on);
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
        const bool found = GetPolyCorners(poly, extentCorners, sectionCorners, messages);
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
        QVERIFY(layer->Valid());
        RecordSet all = layer->Records();
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            const int section = all.value(u"section"_s)->toInt();
            const auto expected = fixtures::sectionCorners(g, 0, 0, section);
            CornerArray extentCorners{}, corners{};
            RecordingMessageService messages;
            QVERIFY(GetPolyCorners(all.shape(), extentCorners, corners, messages));
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
        QVERIFY(layer->Valid());
        int regular = 0;
        RecordSet all = layer->Records();
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            const MapPolygon poly = all.shape();
            CornerArray extentCorners{}, c{};
            RecordingMessageService messages;
            QVERIFY(GetPolyCorners(poly, extentCorners, c, messages));
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
