#include "core/engine/image_layer.h"
#include "core/engine/map_renderer.h"
#include "core/engine/vector_layer.h"
#include "tests/fixtures/fixtures.h"
#include "tests/support/image_compare.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Draws the layers on white, by default the extent 0..64 on both axes at a pixel a unit.
QImage render(const LayerList &layers, const std::function<void(int, QPainter &)> &after = {},
              const MapRect &extent = MapRect(0, 64, 64, 0), QSize size = QSize(64, 64))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderMap(painter, MapViewport(extent, QSizeF(size)), layers, after);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

void compareWithReference(const QImage &image, const QString &name)
{
    const QString difference = testsupport::compareWithReference(image, name);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

} // namespace

class TestRendering : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<VectorLayer> m_polygons, m_lines, m_points;

private Q_SLOTS:
    void initTestCase()
    {
        // A square and a square with a hole, side by side; two lines; two points.
        const QString polys = m_dir.filePath(u"polys.shp"_s),
                      lines = m_dir.filePath(u"lines.shp"_s),
                      points = m_dir.filePath(u"points.shp"_s);
        QCOMPARE(fixtures::writePolygons(polys, {},
                                         {{{{{2, 2}, {2, 30}, {30, 30}, {30, 2}, {2, 2}}}, {}},
                                          {{{{34, 2}, {34, 62}, {62, 62}, {62, 2}, {34, 2}},
                                            {{42, 20}, {54, 20}, {54, 44}, {42, 44}, {42, 20}}},
                                           {}}}),
                 QString());
        QCOMPARE(fixtures::writeLines(lines, {{{4, 10}, {60, 10}}, {{4, 30}, {60, 54}}}),
                 QString());
        QCOMPARE(fixtures::writePoints(points, {{16, 16}, {48, 48}}), QString());
        m_polygons = VectorLayer::open(polys);
        m_lines = VectorLayer::open(lines);
        m_points = VectorLayer::open(points);
        QVERIFY(m_polygons->Valid() && m_lines->Valid() && m_points->Valid());
    }

    // Every fill, line and marker style against its reference image, named as the row.
    void styles_data()
    {
        QTest::addColumn<int>("kind"); // 0: fills, 1: lines, 2: markers
        QTest::addColumn<int>("style");
        const char *kinds[] = {"fill", "line", "marker"};
        const QString styles[] = {u"solid transparent horizontal vertical upward downward cross "
                                  u"diagonal-cross light-gray gray dark-gray"_s,
                                  u"solid dash dot dash-dot dash-dot-dot"_s,
                                  u"circle square triangle cross"_s};
        for (int kind = 0; kind < 3; ++kind) {
            const QStringList names = styles[kind].split(u' ');
            for (int style = 0; style < names.size(); ++style)
                QTest::addRow("%s-%s", kinds[kind], qPrintable(names[style])) << kind << style;
        }
    }
    void styles()
    {
        QFETCH(int, kind);
        QFETCH(int, style);
        const qint16 s = qint16(style);
        const std::shared_ptr<VectorLayer> layers[] = {m_polygons, m_lines, m_points};
        const ::Symbol symbols[] = {{s, 16711680, 255, 2}, {s, 32768, 0, 2}, {s, 255, 0, 12}};
        layers[kind]->Symbol() = symbols[kind];
        compareWithReference(render({layers[kind]}), QString::fromLatin1(QTest::currentDataTag()));
    }

    // Layer 0 is on top; an image under a hollow polygon theme shows through it. The
    // after-layer-draw callback comes once per layer, from the bottom up, index 0 last.
    void layerOrderAndImages()
    {
        const QString path = m_dir.filePath(u"under.tif"_s);
        QImage img(32, 32, QImage::Format_RGB32);
        img.fill(qRgb(255, 200, 0));
        QCOMPARE(fixtures::writeGeoImage(path, img, 16, 48, 1), QString());
        auto image = ImageLayer::open(path);
        QVERIFY(image->Valid());
        m_polygons->Symbol() = ::Symbol{1, 0, 65280, 2};
        QList<int> order;
        compareWithReference(
            render({m_polygons, image}, [&](int index, QPainter &) { order.append(index); }),
            u"hollow-over-image"_s);
        QCOMPARE(order, (QList<int>{1, 0}));
        m_polygons->Symbol() = ::Symbol{0, 16711680, 0, 1};
        compareWithReference(render({image, m_polygons}), u"image-over-solid"_s);
        image->setVisible(false);
        QCOMPARE(render({image}).pixel(32, 32), qRgb(255, 255, 255)); // hidden
    }

    // Features smaller than a pixel still show, as a dot in the outline colour.
    void subPixelFeaturesShowAsDots()
    {
        m_polygons->Symbol() = ::Symbol{1, 0, 255, 1};
        const QImage image =
            render({m_polygons}, {}, MapRect(-6400, 6464, 6464, -6400), QSize(32, 32));
        int red = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        QVERIFY(red >= 1 && red <= 4);
    }
};

QTEST_MAIN(TestRendering)
#include "tst_rendering.moc"
