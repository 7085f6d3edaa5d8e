#include "core/common/message_service.h"
#include "core/engine/vector_layer.h"
#include "core/plss/section_corners.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

MapPolygon polygon(const QList<MapPoint> &ring)
{
    return MapPolygon({ring});
}

} // namespace

class TestSectionCorners : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestSectionCorners)
#include "tst_section_corners.moc"
