#include "core/common/message_service.h"
#include "core/document/theme_list.h"
#include "core/engine/image_layer.h"
#include "core/engine/map_graphics.h"
#include "core/engine/map_renderer.h"
#include "core/engine/map_viewport.h"
#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "core/plss/reverse_location.h"
#include "tests/fixtures/fixtures.h"
#include "tests/support/image_compare.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gdal_priv.h>

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

int countPixels(const QImage &image, QRgb color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == color ? 1 : 0;
    return n;
}

// Draws on white, by default the extent 0..100 on both axes at a pixel a unit.
QImage draw(const MapGraphics &graphics, MessageService *notices = nullptr,
            const MapRect &extent = MapRect(0, 100, 100, 0), QSize size = QSize(100, 100))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    graphics.draw(painter, MapViewport(extent, QSizeF(size)), notices);
    painter.end();
    return image;
}

// A red circle.
std::shared_ptr<CircleSymbol> circle(double x, double y, double radius)
{
    auto c = std::make_shared<CircleSymbol>();
    c->center = {x, y};
    c->radius = radius;
    c->color = Qt::red;
    return c;
}

// Four coloured quadrants, 40 x 20 pixels.
QImage quadrants()
{
    QImage img(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            img.setPixel(x, y,
                         x < 20 ? (y < 10 ? qRgb(255, 0, 0) : qRgb(0, 0, 255))
                                : (y < 10 ? qRgb(0, 255, 0) : qRgb(255, 255, 0)));
    return img;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
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
        QVERIFY(m_polygons->isValid() && m_lines->isValid() && m_points->isValid());
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
        const ::Symbol symbols[] = {{s, Qt::blue, Qt::red, 2},
                                    {s, Qt::darkGreen, Qt::black, 2},
                                    {s, Qt::red, Qt::black, 12}};
        layers[kind]->symbol() = symbols[kind];
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
        QVERIFY(image->isValid());
        m_polygons->symbol() = ::Symbol{1, Qt::black, Qt::green, 2};
        QList<int> order;
        compareWithReference(
            render({m_polygons, image}, [&](int index, QPainter &) { order.append(index); }),
            u"hollow-over-image"_s);
        QCOMPARE(order, (QList<int>{1, 0}));
        m_polygons->symbol() = ::Symbol{0, Qt::blue, Qt::black, 1};
        compareWithReference(render({image, m_polygons}), u"image-over-solid"_s);
        image->setVisible(false);
        QCOMPARE(render({image}).pixel(32, 32), qRgb(255, 255, 255)); // hidden
    }

    // Features smaller than a pixel still show, as a dot in the outline colour.
    // A feature a few pixels across is outlined one pixel wide, whatever the symbol's width; a
    // larger one keeps the width.
    void smallFeaturesThinOutlines()
    {
        m_polygons->symbol() = ::Symbol{1, Qt::black, Qt::red, 8};
        auto redPixels = [](const QImage &image) {
            int red = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
            return red;
        };
        // 0.05 pixels a unit: the squares 1.4 and 3 pixels across.
        const int small =
            redPixels(render({m_polygons}, {}, MapRect(-288, 352, 352, -288), QSize(32, 32)));
        QVERIFY2(small >= 2 && small <= 20, qPrintable(QString::number(small)));
        const int large = redPixels(render({m_polygons}));
        QVERIFY2(large > 600, qPrintable(QString::number(large)));
    }

    // Labels where they fit: section numbers where sections are large on screen, township
    // labels where only townships are, none at a state's scale; a theme labelled by a field
    // chosen for it, or by none. Dark pixels are the labels' (the outlines are light).
    void labelsWhereTheyFit_data()
    {
        QTest::addColumn<QString>("labelField");
        QTest::addColumn<int>("side"); // pixels of the picture of the nine townships' middle one
        QTest::addColumn<bool>("labelled");
        QTest::newRow("section numbers") << QString() << 600 << true;
        QTest::newRow("township labels") << QString() << 100 << true;
        QTest::newRow("too small for either") << QString() << 20 << false;
        QTest::newRow("a field chosen") << u"range"_s << 600 << true;
        QTest::newRow("none chosen") << ::Symbol::NoLabels << 600 << false;
    }
    void labelsWhereTheyFit()
    {
        QFETCH(QString, labelField);
        QFETCH(int, side);
        QFETCH(bool, labelled);
        fixtures::SectionGrid g;
        g.townshipsEast = g.townshipsNorth = 3;
        const QString path = m_dir.filePath(u"nine.shp"_s);
        if (!QFile::exists(path))
            QCOMPARE(fixtures::writeSectionGrid(path, g), QString());
        auto layer = VectorLayer::open(path);
        QVERIFY(recognisePlssSectionTheme(*layer));
        layer->symbol().outlineColor = QColor(150, 230, 150);
        layer->symbol().labelField = labelField;
        ThemeList themes;
        themes.notifyRestyled(themes.addLayer(layer));
        // The middle township as `side` pixels; the picture three times as wide.
        const double township = 6 * 1609.344;
        const MapRect all(g.originX, g.originX + 3 * township, g.originY + 3 * township, g.originY);
        const QImage image = render({layer}, {}, all, QSize(3 * side, 3 * side));
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 110 ? 1 : 0;
        QCOMPARE(dark > 0, labelled);
        if (side == 600) {
            const LayerLabels names = sectionLabels(*layer);
            QCOMPARE(names.features.size(), std::size_t(324));
            QCOMPARE(names.groups.size(), std::size_t(9));
            QVERIFY(
                std::any_of(names.groups.begin(), names.groups.end(),
                            [](const LayerLabels::Group &t) { return t.text == u"T13N R35W"_s; }));
            QVERIFY(std::count(names.features.begin(), names.features.end(), u"36"_s) == 9);
        }
    }

    void subPixelFeaturesShowAsDots()
    {
        m_polygons->symbol() = ::Symbol{1, Qt::black, Qt::red, 1};
        const QImage image =
            render({m_polygons}, {}, MapRect(-6400, 6464, 6464, -6400), QSize(32, 32));
        int red = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
        QVERIFY(red >= 1 && red <= 4);
    }

    // Radius 10 m: 1 pixel across at 10,000 m per 500 pixels (outline only), 10 pixels at
    // 1,000 m per 500 pixels (filled red).
    void circlesFillOnlyWhenLarger_data()
    {
        QTest::addColumn<double>("span");
        QTest::addColumn<bool>("filled");
        QTest::newRow("1 pixel across") << 10000.0 << false;
        QTest::newRow("10 pixels across") << 1000.0 << true;
    }
    void circlesFillOnlyWhenLarger()
    {
        QFETCH(double, span);
        QFETCH(bool, filled);
        MapGraphics g;
        g.addSymbol(circle(span / 2, span / 2, 10));
        const QImage image = draw(g, nullptr, MapRect(0, span, span, 0), QSize(500, 500));
        const int red = countPixels(image, qRgb(255, 0, 0));
        QCOMPARE(image.pixel(250, 250), qRgb(255, 0, 0)); // the centre
        if (filled)
            QVERIFY2(red >= 60, qPrintable(QString::number(red))); // a disc, not a ring
        else
            QVERIFY2(red <= 6, qPrintable(QString::number(red)));
    }

    // A line one pixel wide; a third point gets a message and is drawn too. Then a label and a
    // circle show; once removed, and with marks off the map only, nothing does.
    void linesTextAndClearing()
    {
        RecordingMessageService messages;
        auto line = std::make_shared<LineSymbol>();
        line->addPoint({0, 50}, &messages);
        line->addPoint({100, 50}, &messages);
        MapGraphics g;
        g.addSymbol(line);
        QImage image = draw(g, &messages);
        QCOMPARE(image.pixel(50, 50), qRgb(0, 0, 0));
        QCOMPARE(countPixels(image, qRgb(0, 0, 0)), 100); // one pixel wide, across the picture
        line->addPoint({50, 0}, &messages);
        image = draw(g, &messages);
        QCOMPARE(messages.texts(), (QStringList{u"Weirdness in MapSymbol::AddPoint!"_s,
                                                u"Weirdness in MapSymbol::Draw!"_s}));
        QCOMPARE(image.pixel(75, 75), qRgb(0, 0, 0)); // the second segment

        g.removeAll();
        g.addTextSymbol(u"W"_s, {10, 10}, Qt::blue);
        g.addSymbol(circle(50, 50, 20));
        image = draw(g);
        QVERIFY(countPixels(image, qRgb(255, 0, 0)) > 1000);
        int bluish = 0;
        for (int y = 60; y < 100; ++y)
            for (int x = 0; x < 40; ++x)
                bluish += qBlue(image.pixel(x, y)) > 150 && qRed(image.pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY(bluish > 3);
        g.removeAll();
        // Marks far outside the extent are clipped, not wrapped: the picture stays blank.
        auto far = std::make_shared<LineSymbol>();
        far->addPoint({-1e12, 50});
        far->addPoint({-1e11, 50});
        g.addSymbol(far);
        g.addSymbol(circle(1e15, 1e15, 5));
        QCOMPARE(countPixels(draw(g), qRgb(255, 255, 255)), 100 * 100);
    }

    // A well's mark is as large on the page as on screen, whatever the scale: its red disc
    // covers the same area at any extent, and as much of an inch at 300 dpi as at 96.
    void wellMarkKeepsItsSize_data()
    {
        QTest::addColumn<double>("span"); // metres across the picture
        QTest::addColumn<int>("dpi");
        QTest::newRow("township, screen") << 10000.0 << 96;
        QTest::newRow("section, screen") << 1600.0 << 96;
        QTest::newRow("section, printer") << 1600.0 << 300;
    }
    void wellMarkKeepsItsSize()
    {
        QFETCH(double, span);
        QFETCH(int, dpi);
        MapGraphics g;
        auto mark = std::make_shared<WellMarkSymbol>();
        mark->center = {500000, 4400000};
        mark->number = 3;
        g.addSymbol(mark);
        const int side = 100 * dpi / 96;
        QImage image(side, side, QImage::Format_RGB32);
        image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
        image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
        image.fill(Qt::black); // the white outline shows on the darkest ground
        QPainter painter(&image);
        const MapRect extent(500000 - span / 2, 500000 + span / 2, 4400000 + span / 2,
                             4400000 - span / 2);
        g.draw(painter, MapViewport(extent, QSizeF(image.size())), nullptr);
        painter.end();
        // Pure red at 96 dpi: the inside of a disc about 8 pixels across, its edge smoothed.
        const double scale = dpi / 96.0;
        const double red = countPixels(image, qRgb(255, 0, 0)) / (scale * scale);
        QVERIFY2(red >= 16 && red <= 60, qPrintable(QString::number(red)));
        int white = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                white += qGray(image.pixel(x, y)) > 200;
        QVERIFY(white > 10 * scale * scale); // the outline and the number's halo
    }

    // Quarter lines, a small and a large circle and a label together.
    void referencePicture()
    {
        MapGraphics g;
        for (const auto &[a, b] : {std::pair{MapPoint{0, 500}, MapPoint{1000, 500}},
                                   std::pair{MapPoint{500, 0}, MapPoint{500, 1000}},
                                   std::pair{MapPoint{500, 750}, MapPoint{1000, 750}}}) {
            auto line = std::make_shared<LineSymbol>();
            line->addPoint(a);
            line->addPoint(b);
            g.addSymbol(line);
        }
        g.addSymbol(circle(750, 250, 60));
        g.addSymbol(circle(250, 250, 5));
        g.addTextSymbol(u"Well 7"_s, {80, 850}, Qt::black);
        const QImage image = draw(g, nullptr, MapRect(0, 1000, 1000, 0), QSize(96, 96));
        const QString difference = testsupport::compareWithReference(image, u"graphics"_s);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // GeoTIFF tags and a world file both place the image; lossy JPEG gets some tolerance. A
    // decimated read of a file with overviews may come from them.
    void georeferencedImages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("overviews");
        QTest::newRow("GeoTIFF") << u"quad.tif"_s << 0 << false;
        QTest::newRow("GeoTIFF with overviews") << u"over.tif"_s << 0 << true;
        QTest::newRow("JPEG with world file") << u"quad.jpg"_s << 60 << false;
        QTest::newRow("BMP with world file") << u"quad.bmp"_s << 0 << false;
    }
    void georeferencedImages()
    {
        QFETCH(QString, name);
        QFETCH(int, tolerance);
        QFETCH(bool, overviews);
        const QString path = m_dir.filePath(name);
        QCOMPARE(fixtures::writeGeoImage(path, quadrants(), 500000, 4400000, 10), QString());
        if (overviews) {
            GDALDatasetUniquePtr ds(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_UPDATE));
            int levels[] = {2, 4};
            QVERIFY(ds && ds->BuildOverviews("NEAREST", 2, levels, 0, nullptr, nullptr, nullptr) ==
                              CE_None);
        }
        auto layer = ImageLayer::open(path);
        QVERIFY2(layer->isValid(), qPrintable(layer->errorText()));
        QCOMPARE(layer->extent(), MapRect(500000, 500400, 4400000, 4399800));
        // The whole image at its own size, then the north-east quarter alone, a fifth as large.
        const QImage whole = layer->readWindow(layer->extent(), QSize(40, 20));
        QVERIFY(near(whole.pixel(5, 5), qRgb(255, 0, 0), tolerance));
        QVERIFY(near(whole.pixel(35, 15), qRgb(255, 255, 0), tolerance));
        const QImage ne = layer->readWindow(MapRect(500200, 500400, 4400000, 4399900), QSize(4, 2));
        QCOMPARE(ne.size(), QSize(4, 2));
        for (int x = 0; x < 4; ++x)
            QVERIFY(near(ne.pixel(x, 0), qRgb(0, 255, 0), tolerance));
        QVERIFY(layer->readWindow(MapRect(0, 10, 10, 0), QSize(4, 4)).isNull()); // misses
    }

    void refusedImages_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no georeferencing") << u"plain"_s;
        QTest::newRow("truncated GeoTIFF") << u"truncated"_s;
        QTest::newRow("missing") << u"missing"_s;
    }
    void refusedImages()
    {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind + u".tif"_s);
        if (kind == u"plain"_s) {
            QVERIFY(quadrants().save(m_dir.filePath(u"plain.png"_s)));
            QFile::rename(m_dir.filePath(u"plain.png"_s), path);
        } else if (kind == u"truncated"_s) {
            QImage noise(300, 300, QImage::Format_RGB32);
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 300; ++x)
                    noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
            QCOMPARE(fixtures::writeGeoImage(path, noise, 0, 300, 1), QString());
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(f.size() / 2));
        }
        auto layer = ImageLayer::open(path);
        QVERIFY(!layer->isValid());
        QVERIFY(!layer->errorText().isEmpty());
    }
};

QTEST_MAIN(TestRendering)
#include "tst_rendering.moc"
