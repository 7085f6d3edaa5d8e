#include "core/common/twips.h"
#include "core/engine/map_graphics.h"
#include "core/engine/map_scale.h"
#include "core/engine/vector_layer.h"
#include "gui/common/qt_message_service.h"
#include "gui/map/map.h"
#include "gui/map/map_scale_bar.h"
#include "gui/map/map_tools.h"
#include "tests/fixtures/fixtures.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A map of `size` pixels over a theme list holding `layer`.
struct MapFixture
{
    ThemeList themes;
    Map map;
    MapFixture(QSize size, const std::shared_ptr<MapLayer> &layer)
    {
        map.setThemes(&themes);
        map.resize(size);
        themes.addLayer(layer);
    }
};

// A map window as the scale bar sees it: its map, and a rescale that zooms about the centre.
class FakeWindow : public ScaleBarHost
{
public:
    Map *map() override { return &m_map; }
    void rescale(double currentScale, double newScale) override
    {
        ++rescales;
        MapRect e = m_map.extent();
        e.scaleRectangle(newScale / currentScale);
        m_map.setExtent(e);
    }
    Map m_map;
    int rescales = 0;
};

} // namespace

class TestMapWidget : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<VectorLayer> m_sections;

private Q_SLOTS:
    void initTestCase()
    {
        fixtures::SectionGrid grid;
        grid.townshipsEast = 2;
        const QString path = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, grid), QString());
        m_sections = VectorLayer::open(path);
        QVERIFY(m_sections->isValid());
    }

    void themeListOrder()
    {
        ThemeList themes;
        Map map;
        map.setThemes(&themes);
        QSignalSpy removed(&themes, &ThemeList::themesRemoved);
        auto a = VectorLayer::open(m_sections->file());
        auto b = VectorLayer::open(m_sections->file());
        auto c = VectorLayer::open(m_sections->file());
        for (const auto &layer : {a, b, c})
            themes.addLayer(layer);
        QCOMPARE(map.layers(), (LayerList{c, b, a})); // the newest is drawn on top
        themes.reorder({2, 0, 1});
        QCOMPARE(themes.layers(), (LayerList{c, a, b}));
        themes.reorder({0, 0, 1}); // not a permutation: nothing moves
        QCOMPARE(themes.layers(), (LayerList{c, a, b}));
        themes.setActive(1, true);
        QCOMPARE(themes.activeVectorLayers(), (LayerList{a}));
        themes.removeIf([](const Theme &t) { return t.active; });
        QCOMPARE(map.layers(), (LayerList{b, c}));
        themes.remove(5); // out of range: nothing
        QCOMPARE(removed.count(), 1);
        themes.clear();
        QCOMPARE(map.layerCount(), 0);
        QVERIFY(map.fullExtent().isNull());
    }

    // A requested extent is shown whole and centred; the spare axis widens to the aspect.
    void extentFitting_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<MapRect>("requested");
        QTest::addColumn<MapRect>("shown");
        QTest::newRow("wide widget")
            << QSize(400, 200) << MapRect(0, 1000, 1000, 0) << MapRect(-500, 1500, 1000, 0);
        QTest::newRow("tall widget")
            << QSize(200, 400) << MapRect(0, 1000, 1000, 0) << MapRect(0, 1000, 1500, -500);
        QTest::newRow("same aspect")
            << QSize(300, 150) << MapRect(10, 30, 20, 10) << MapRect(10, 30, 20, 10);
    }
    void extentFitting()
    {
        QFETCH(QSize, size);
        QFETCH(MapRect, requested);
        QFETCH(MapRect, shown);
        MapFixture f(size, m_sections);
        f.map.setExtent(requested);
        const MapRect e = f.map.extent();
        QCOMPARE(e.left(), shown.left());
        QCOMPARE(e.right(), shown.right());
        QCOMPARE(e.top(), shown.top());
        QCOMPARE(e.bottom(), shown.bottom());
    }

    // The overlays are drawn after every layer: a highlight lands over the top theme.
    void overlaysDrawnOverTheLayers()
    {
        MapFixture f(QSize(200, 100), m_sections);
        Map &map = f.map;
        f.themes.addLayer(VectorLayer::open(m_sections->file()));
        auto *highlight =
            map.addOverlay(std::make_unique<RecordsOverlay>(::Symbol{0, Qt::yellow, Qt::black, 1}),
                           MapOverlay::Level::QueryMatches); // yellow
        const RecordSet s7 = m_sections->searchExpression(u"section = 7"_s);
        highlight->setRecords({s7});
        const QImage image = map.grabMap();
        const QPointF centre = map.fromMapPoint(s7.shape().extent().center());
        QCOMPARE(image.pixel(centre.toPoint()), qRgb(255, 255, 0));
        // And on a printed page, in its own coordinates.
        QImage page(400, 200, QImage::Format_RGB32);
        QPainter painter(&page);
        map.outputMap(painter, QRectF(0, 0, 400, 200));
        painter.end();
        QCOMPARE(page.pixel((centre * 2).toPoint()), qRgb(255, 255, 0));

        // A mark added afterwards is painted over the kept picture: the layers are not drawn
        // again for it.
        QSignalSpy redrawn(&map, &Map::redrawn);
        auto mark = std::make_shared<WellMarkSymbol>();
        mark->center = m_sections->searchExpression(u"section = 8"_s).shape().extent().center();
        map.graphics().addSymbol(mark);
        map.refreshOverlays();
        const QImage marked = map.grabMap();
        QCOMPARE(redrawn.size(), 0);
        QCOMPARE(marked.pixel(map.fromMapPoint(mark->center).toPoint()), qRgb(255, 0, 0));
    }

    // Each mouse event reaches the map's tool once, as a map point with its pixel, button and
    // keys; a tool can track a rectangle or pan.
    void mouseEventsTrackRectangleAndPan()
    {
        struct Recorder final : MapTool
        {
            Map *map = nullptr;
            QList<MapEvent> presses, releases;
            int clicks = 0, doubleClicks = 0;
            void press(const MapEvent &e) override
            {
                presses.append(e);
                if (e.button == Qt::LeftButton)
                    map->trackRectangle();
                else if (e.modifiers == Qt::NoModifier)
                    map->pan();
            }
            void release(const MapEvent &e) override { releases.append(e); }
            void click() override { ++clicks; }
            void doubleClick() override { ++doubleClicks; }
        } tool;
        MapFixture f(QSize(200, 100), m_sections);
        Map &map = f.map;
        tool.map = &map;
        map.setTool(&tool);
        map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        map.setExtent(MapRect(0, 2000, 1000, 0));
        QTest::mousePress(&map, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
        QTest::mouseRelease(&map, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
        QCOMPARE(tool.presses.size(), 1);
        QCOMPARE(tool.presses.at(0).button, Qt::RightButton);
        QCOMPARE(tool.presses.at(0).modifiers, Qt::ShiftModifier);
        QCOMPARE(tool.presses.at(0).pixel, QPointF(20, 10));
        QCOMPARE(tool.presses.at(0).point, (MapPoint{200, 900}));
        QCOMPARE(tool.releases.size(), 1);
        QCOMPARE(tool.clicks, 1);

        QSignalSpy tracked(&map, &Map::rectangleTracked);
        QTest::mousePress(&map, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(&map, QPoint(30, 40));
        QTest::mouseRelease(&map, Qt::LeftButton, {}, QPoint(50, 60));
        QCOMPARE(tracked.size(), 1);
        const MapRect r = tracked.at(0).at(0).value<MapRect>();
        QCOMPARE(r, MapRect(100, 500, 900, 400));

        // Dragging the map 20 pixels right and 10 down moves the extent the other way.
        QTest::mousePress(&map, Qt::RightButton, {}, QPoint(100, 50));
        QTest::mouseRelease(&map, Qt::RightButton, {}, QPoint(120, 60));
        QCOMPARE(map.extent(), MapRect(-200, 1800, 1100, 100));

        QTest::mouseDClick(&map, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(tool.doubleClicks, 1);
    }

    // A report from inside a redraw reaches the user only after the paint, from the event loop.
    void messagesFromPaintingArePosted()
    {
        MapFixture f(QSize(100, 100), m_sections);
        Map &map = f.map;
        RecordingMessageService shown;
        PostingMessageService posted(shown, &map);
        map.setGraphicsNotices(&posted);
        MapGraphics &graphics = map.graphics();
        auto line = std::make_shared<LineSymbol>();
        for (const MapPoint &p :
             {MapPoint{500000, 4400000}, MapPoint{501000, 4401000}, MapPoint{502000, 4400000}})
            line->addPoint(p);
        graphics.addSymbol(line);
        map.grabMap();
        QVERIFY(shown.messages().isEmpty()); // nothing during the paint
        QTRY_COMPARE(shown.texts(), QStringList{u"Weirdness in MapSymbol::Draw!"_s});
    }

    void outputMapIntoAnyPainter()
    {
        m_sections->symbol() = ::Symbol{0, Qt::red, Qt::black, 1};
        MapFixture f(QSize(300, 300), m_sections);
        QImage page(600, 300, QImage::Format_RGB32);
        page.fill(Qt::black);
        QPainter painter(&page);
        f.map.outputMap(painter, QRectF(100, 0, 400, 300));
        painter.end();
        QCOMPARE(page.pixel(50, 150), qRgb(0, 0, 0));        // outside the target: untouched
        QCOMPARE(page.pixel(287, 112), qRgb(255, 0, 0));     // inside a red section, centred
        QCOMPARE(page.pixel(110, 150), qRgb(255, 255, 255)); // widened margin: background
    }

    // The scale box shows the scale of the map; a positive number typed and Enter zooms to it.
    void showsAndSetsTheScale()
    {
        QCOMPARE(mapScale(10000, 0), 0.0); // a display without width has no scale
        FakeWindow window;
        MapScaleBar bar;
        bar.setHost(&window);
        QLineEdit *text = bar.findChild<QLineEdit *>(u"scaleText"_s);
        QCOMPARE(bar.scale(), 0.0); // nothing shown yet

        Map &map = window.m_map;
        const double tpp = twipsPerPixel(map.logicalDpiX());
        map.resize(int(9000 / tpp), int(6000 / tpp));
        ThemeList themes;
        map.setThemes(&themes);
        themes.addLayer(VectorLayer::open(m_sections->file()));
        map.setExtent(MapRect(500000, 510000, 4405000, 4400000));
        QCOMPARE(bar.scale(), 62991.36);
        bar.updateScale();
        QCOMPARE(text->text(), u"62991"_s);

        // Typing alone changes nothing; Enter zooms about the centre.
        text->clear();
        QTest::keyClicks(text, u"31496"_s);
        QCOMPARE(window.rescales, 0);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(window.rescales, 1);
        QVERIFY(std::fabs(map.extent().width() - 5000) < 0.1);
        QCOMPARE(map.extent().center(), (MapPoint{505000, 4402500}));
        bar.updateScale();
        QCOMPARE(text->text(), u"31496"_s);

        // Not a positive number: no rescale, no message.
        for (const QString &bad : {u"abc"_s, u"0"_s, u"-5"_s, u""_s}) {
            text->setText(bad);
            QTest::keyClick(text, Qt::Key_Enter);
        }
        QCOMPARE(window.rescales, 1);
    }
};

QTEST_MAIN(TestMapWidget)
#include "tst_map_widget.moc"
