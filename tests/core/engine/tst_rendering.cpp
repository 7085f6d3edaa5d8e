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

QImage render(const LayerList &layers, const MapRect &extent, QSize size = QSize(64, 64))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderMap(painter, MapViewport(extent, QSizeF(size)), layers);
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
    std::shared_ptr<VectorLayer> m_polygons;

private Q_SLOTS:
    void initTestCase()
    {
        // A square and a square with a hole, side by side.
        const QString path = m_dir.filePath(u"polys.shp"_s);
        QCOMPARE(fixtures::writePolygons(path, {},
                                         {{{{{2, 2}, {2, 30}, {30, 30}, {30, 2}, {2, 2}}}, {}},
                                          {{{{34, 2}, {34, 62}, {62, 62}, {62, 2}, {34, 2}},
                                            {{42, 20}, {54, 20}, {54, 44}, {42, 44}, {42, 20}}},
                                           {}}}),
                 QString());
        m_polygons = VectorLayer::open(path);
        QVERIFY(m_polygons->Valid());
    }

    void fillStyles_data()
    {
        QTest::addColumn<int>("style");
        const char *names[] = {"solid",      "transparent", "horizontal", "vertical",
                               "upward",     "downward",    "cross",      "diagonal-cross",
                               "light-gray", "gray",        "dark-gray"};
        for (int i = 0; i <= 10; ++i)
            QTest::newRow(names[i]) << i;
    }
    void fillStyles()
    {
        QFETCH(int, style);
        ::Symbol &s = m_polygons->Symbol();
        s.Style = qint16(style);
        s.Color = 16711680;   // blue
        s.OutlineColor = 255; // red
        s.Size = 2;
        const QImage image = render({m_polygons}, MapRect(0, 64, 64, 0));
        compareWithReference(image, u"fill-"_s + QString::fromLatin1(QTest::currentDataTag()));
    }

    void lineStyles_data()
    {
        QTest::addColumn<int>("style");
        const char *names[] = {"solid", "dash", "dot", "dash-dot", "dash-dot-dot"};
        for (int i = 0; i <= 4; ++i)
            QTest::newRow(names[i]) << i;
    }
    void lineStyles()
    {
        QFETCH(int, style);
        const QString path = m_dir.filePath(u"lines.shp"_s);
        if (!QFile::exists(path))
            QCOMPARE(fixtures::writeLines(path, {{{4, 10}, {60, 10}}, {{4, 30}, {60, 54}}}),
                     QString());
        auto lines = VectorLayer::open(path);
        lines->Symbol() = ::Symbol{qint16(style), 32768, 0, 2};
        compareWithReference(render({lines}, MapRect(0, 64, 64, 0)),
                             u"line-"_s + QString::fromLatin1(QTest::currentDataTag()));
    }

    void markerStyles_data()
    {
        QTest::addColumn<int>("style");
        const char *names[] = {"circle", "square", "triangle", "cross"};
        for (int i = 0; i <= 3; ++i)
            QTest::newRow(names[i]) << i;
    }
    void markerStyles()
    {
        QFETCH(int, style);
        const QString path = m_dir.filePath(u"points.shp"_s);
        if (!QFile::exists(path))
            QCOMPARE(fixtures::writePoints(path, {{16, 16}, {48, 48}}), QString());
        auto points = VectorLayer::open(path);
        points->Symbol() = ::Symbol{qint16(style), 255, 0, 12};
        compareWithReference(render({points}, MapRect(0, 64, 64, 0)),
                             u"marker-"_s + QString::fromLatin1(QTest::currentDataTag()));
    }

    // Layer 0 is on top; an image under a hollow polygon theme shows through it.
    void layerOrderAndImages()
    {
        const QString path = m_dir.filePath(u"under.tif"_s);
        QImage img(32, 32, QImage::Format_RGB32);
        img.fill(qRgb(255, 200, 0));
        QCOMPARE(fixtures::writeGeoImage(path, img, 16, 48, 1), QString());
        auto image = ImageLayer::open(path);
        QVERIFY(image->Valid());
        m_polygons->Symbol() = ::Symbol{1, 0, 65280, 2};
        compareWithReference(render({m_polygons, image}, MapRect(0, 64, 64, 0)),
                             u"hollow-over-image"_s);
        m_polygons->Symbol() = ::Symbol{0, 16711680, 0, 1};
        compareWithReference(render({image, m_polygons}, MapRect(0, 64, 64, 0)),
                             u"image-over-solid"_s);
        image->setVisible(false);
        const QImage hidden = render({image}, MapRect(0, 64, 64, 0));
        QCOMPARE(hidden.pixel(32, 32), qRgb(255, 255, 255));
    }

    // The after-layer-draw callback comes once per layer, from the bottom up, index 0 last.
    void afterLayerDrawOrder()
    {
        QImage image(16, 16, QImage::Format_ARGB32);
        QPainter painter(&image);
        QList<int> order;
        renderMap(painter, MapViewport(MapRect(0, 64, 64, 0), QSizeF(16, 16)),
                  {m_polygons, m_polygons, m_polygons},
                  [&](int index, QPainter &) { order.append(index); });
        QCOMPARE(order, (QList<int>{2, 1, 0}));
    }

    // Features smaller than a pixel still show, as a dot in the outline colour.
    void subPixelFeaturesShowAsDots()
    {
        m_polygons->Symbol() = ::Symbol{1, 0, 255, 1};
        const QImage image = render({m_polygons}, MapRect(-6400, 6464, 6464, -6400), QSize(32, 32));
        int red = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        QVERIFY(red >= 1 && red <= 4);
    }
};

QTEST_MAIN(TestRendering)
#include "tst_rendering.moc"
