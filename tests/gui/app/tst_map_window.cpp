#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/status_text.h"
#include "core/engine/vector_layer.h"
#include "gui/app/map_window.h"
#include "gui/calculators/well_calculations.h"
#include "gui/legend/legend_control.h"
#include "gui/legend/legend_item_control.h"
#include "gui/map/identify_window.h"
#include "gui/map/map_widget.h"
#include "tests/fixtures/fixtures.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class FakeShell : public MapWindowShell
{
public:
    QString pressedTool() const override { return tool; }
    void setStatusText(int panel, const QString &text) override { status[panel] = text; }
    frmIdentify *identifyWindow() override { return &identify; }
    MessageService &messages() override { return recorder; }
    bool confirmClose(frmMapView &) override { return true; }

    QString tool = u"IdentifyInThemes"_s;
    QString status[4]; // panels 1 to 3
    frmIdentify identify;
    RecordingMessageService recorder;
};

} // namespace

class TestMapWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sections;
    QStringList m_three; // three more copies of the grid: first, second and third

    // The map point under a pixel of the view's map.
    static MapPoint mapPointAt(Map *map, QPoint p)
    {
        return map->toMapPoint(p.x() * map->twipsPerPixel(), p.y() * map->twipsPerPixel());
    }
    static bool shown(frmMapView &view)
    {
        view.resize(1200, 900);
        view.show();
        return QTest::qWaitForWindowExposed(&view);
    }

private Q_SLOTS:
    void initTestCase()
    {
        fixtures::SectionGrid g;
        g.originX = 400000;
        m_sections = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(m_sections, g), QString());
        for (const QString &name : {u"first"_s, u"second"_s, u"third"_s}) {
            m_three.append(m_dir.filePath(name + u".shp"_s));
            QCOMPARE(fixtures::writeSectionGrid(m_three.last(), g), QString());
        }
    }

    void statusTexts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pointer") << pointerPositionText({456789.996, 4321000.004})
                                 << u"X:456,790  Y:4,321,000"_s;
        QTest::newRow("segment")
            << measureSegmentText(1000, 1000)
            << u"Segment Distance: 3,280.84 Feet. Total Distance: 3,280.84 Feet."_s;
        QTest::newRow("distance") << measureDistanceText(0.1) << u"Distance: 0.33 Feet."_s;
        QTest::newRow("start") << measureStartText({456789.123, -5}) << u"X: 456789.123; Y:-5"_s;
        QTest::newRow("large feet") << formatFeet(1234567.891) << u"1,234,567.89"_s;
    }
    void statusTexts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void toolsOnTheMap()
    {
        FakeShell shell;
        frmMapView view(&shell);
        QVERIFY(shown(view));
        view.AddTheme(u"sections"_s, m_sections, true, true);
        Map *map = view.map();

        // Zoom out twice from 10 km: 22.5 km, centred as before.
        map->setExtent(MapRect(400000, 410000, 4405000, 4395000));
        const double width = map->extent().width();
        const MapPoint centre = map->extent().center();
        shell.tool = u"ZoomOut"_s;
        QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(std::fabs(map->extent().width() - width * 2.25) < 1e-6);
        QVERIFY(std::fabs(map->extent().center().X - centre.X) < 1e-6);

        // Measure: 1000 m to the right of the press.
        map->setExtent(MapRect(400000, 410000, 4405000, 4395000));
        shell.tool = u"Measure"_s;
        const QPoint start = map->fromMapPoint({401000, 4400000}).toPoint();
        const MapPoint startMap = mapPointAt(map, start);
        QTest::mousePress(map, Qt::LeftButton, {}, start);
        const double upp = map->viewport().unitsPerPixel();
        const QPoint end(start.x() + int(std::lround(1000 / upp)), start.y());
        QTest::mouseMove(map, end);
        const MapPoint endMap = mapPointAt(map, end);
        const double metres = endMap.X - startMap.X;
        QCOMPARE(shell.status[1], measureSegmentText(metres, metres));
        QCOMPARE(map->overlayLine(), (QList<MapPoint>{startMap, endMap})); // the line measured
        QTest::mouseRelease(map, Qt::LeftButton, {}, end);
        QCOMPARE(shell.status[1], measureDistanceText(metres));
        // Map units, and on a UTM map (zone 13 here) the latitude and longitude as well.
        QVERIFY2(shell.status[2].startsWith(pointerPositionText(endMap) + u"  39.7"_s) &&
                     shell.status[2].endsWith(u"\u00b0 W"_s),
                 qPrintable(shell.status[2]));
        view.toolChanged();
        QVERIFY(map->overlayLine().isEmpty());

        // Zoom in to a dragged rectangle; pan by dragging.
        shell.tool = u"ZoomIn"_s;
        const QPoint a = map->fromMapPoint({402000, 4402000}).toPoint();
        const QPoint b = map->fromMapPoint({404000, 4400000}).toPoint();
        QTest::mousePress(map, Qt::LeftButton, {}, a);
        QTest::mouseMove(map, b);
        QTest::mouseRelease(map, Qt::LeftButton, {}, b);
        QVERIFY(std::fabs(map->extent().center().X - 403000) < 20);
        QVERIFY(map->extent().height() < 2100 || map->extent().width() < 2100);
        shell.tool = u"Pan"_s;
        const MapRect before = map->extent();
        QTest::mousePress(map, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseRelease(map, Qt::LeftButton, {}, QPoint(150, 100));
        QVERIFY(std::fabs((before.left() - map->extent().left()) -
                          50 * map->viewport().unitsPerPixel()) < 1e-6);

        // Select point: the calculator takes the clicked point.
        shell.tool = u"SelectPoint"_s;
        QTest::mouseClick(map, Qt::LeftButton, {}, start);
        QCOMPARE(view.calculator()->findChild<QLineEdit *>(u"RevEasting_Text"_s)->text(),
                 formatNumber(roundTo(mapPointAt(map, start).X, 0)));

        // Hot link: the click reaches the legend, which adds the quadrangle's image.
        const QString index = m_dir.filePath(u"index.shp"_s);
        QCOMPARE(
            fixtures::writeQuadIndex(index, {{u"Hot Spot"_s, 400000, 401000, 4401000, 4400000}}),
            QString());
        QCOMPARE(fixtures::writeGeoImage(m_dir.filePath(u"HotSpot.tif"_s),
                                         fixtures::quadPicture(u"H"_s, 20, 20, Qt::cyan), 400000,
                                         4401000, 50),
                 QString());
        view.AddTheme(u"index"_s, index, true, true);
        int asked = 0;
        view.legend()->chooseFolder = [&](const QString &) {
            ++asked;
            return m_dir.path();
        };
        map->setExtent(MapRect(400000, 410000, 4405000, 4395000));
        shell.tool = u"HotLink"_s;
        QTest::mouseClick(map, Qt::LeftButton, {}, map->fromMapPoint({400500, 4400500}).toPoint());
        QCOMPARE(asked, 1);
        QCOMPARE(map->layers().first()->File(), m_dir.filePath(u"HotSpot.tif"_s));
        QVERIFY(shell.recorder.messages().isEmpty());
    }

    // A shapefile is one in any case of ".shp", for the legend and the calculators alike.
    void upperCaseShpIsAShapefile()
    {
        FakeShell shell;
        frmMapView view(&shell);
        for (const char *ext : {".shx", ".dbf"})
            QFile::copy(m_sections.chopped(4) + QLatin1StringView(ext),
                        m_dir.filePath(u"upper"_s + QString::fromLatin1(ext).toUpper()));
        QFile::copy(m_sections, m_dir.filePath(u"upper.SHP"_s));
        QVERIFY(view.AddTheme(u"upper"_s, m_dir.filePath(u"upper.SHP"_s), true, true)->Valid());
        QCOMPARE(view.calculator()->findChild<QComboBox *>(u"PLSS_Combo"_s)->count(), 1);
        QCOMPARE(shell.recorder.messages().size(), 0);
    }

    // Identify lists the active themes with features at the point, in reverse legend order.
    void identifyInActiveThemes()
    {
        FakeShell shell;
        frmMapView view(&shell);
        QVERIFY(shown(view));
        for (const QString &path : m_three) // the list names each theme by its file
            view.AddTheme(QFileInfo(path).baseName(), path, true, true);
        const QPoint at = view.map()->fromMapPoint({400500, 4400500}).toPoint();
        QTest::mouseClick(view.map(), Qt::LeftButton, {}, at);
        auto *list = shell.identify.findChild<QListWidget *>(u"ThemeList"_s);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), u"third"_s);
        QCOMPARE(list->item(2)->text(), u"first"_s);
        QVERIFY(shell.identify.isVisible());
        // The section found is outlined in red on the map until another tool is chosen.
        const QPoint edge = view.map()->fromMapPoint({400000 + 800, 4400000}).toPoint();
        auto redNear = [&view](QPoint p) {
            const QImage image = view.map()->grabMap();
            for (int dy = -2; dy <= 2; ++dy) {
                if (image.pixel(p + QPoint(0, dy)) == qRgb(255, 0, 0))
                    return true;
            }
            return false;
        };
        QVERIFY(redNear(edge));
        view.toolChanged();
        QVERIFY(!redNear(edge));

        // A theme out of the view's reach says so.
        fixtures::SectionGrid far;
        far.originX = 600000;
        const QString farPath = m_dir.filePath(u"far.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(farPath, far), QString());
        view.map()->setExtent(MapRect(400000, 401000, 4401000, 4400000));
        view.AddTheme(u"far"_s, farPath, true, true);
        QCOMPARE(shell.status[1], u"far lies outside the view: Themes > Zoom to Theme shows it."_s);
    }

    // A theme's query (its tag) is drawn in yellow; a refused one says so once and the redraw
    // goes on.
    void queryHighlights()
    {
        FakeShell shell;
        frmMapView view(&shell);
        view.resize(1200, 900);
        auto layer = view.AddTheme(u"sections"_s, m_sections, true, true);
        Map *map = view.map();
        map->setExtent(layer->extent());
        layer->setTag(u"section = 36"_s);
        QImage image = map->grabMap();
        const QPoint in36 = map->fromMapPoint({400000 + 5.5 * 1609.344, 4400000 + 800}).toPoint();
        QCOMPARE(image.pixel(in36), qRgb(255, 255, 0));
        const QPoint in1 =
            map->fromMapPoint({400000 + 5.5 * 1609.344, 4400000 + 5.5 * 1609.344}).toPoint();
        QVERIFY(image.pixel(in1) != qRgb(255, 255, 0));

        layer->setTag(u"nosuch = 1"_s);
        map->refresh();
        image = map->grabMap();
        QVERIFY(shell.status[1].contains(u"nosuch = 1"_s));
        shell.status[1].clear();
        map->refresh();
        map->grabMap();
        QCOMPARE(shell.status[1], QString()); // once
    }

    // What counts as a change to ask about on closing: the themes, their order, visibility and
    // symbols; not which themes are selected.
    void knowsWhenItsThemesChanged_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("modified");
        QTest::newRow("selection only") << 1 << false;
        QTest::newRow("hidden") << 2 << true;
        QTest::newRow("restyled") << 3 << true;
        QTest::newRow("deleted") << 4 << true;
        QTest::newRow("added") << 5 << true;
    }
    void knowsWhenItsThemesChanged()
    {
        QFETCH(int, change);
        QFETCH(bool, modified);
        FakeShell shell;
        frmMapView view(&shell);
        auto layer = view.AddTheme(u"sections"_s, m_sections, true, true);
        QVERIFY(view.isModified());
        const QString file = m_dir.filePath(u"changed.plss"_s);
        QVERIFY(view.SaveProject(file));
        QVERIFY(!view.isModified());
        LegendItemControl *row = view.legend()->ThemeItems().first();
        if (change == 1)
            row->setIsActive(false);
        else if (change == 2)
            row->setIsVisible(false);
        else if (change == 3)
            std::static_pointer_cast<VectorLayer>(layer)->Symbol().Color = 123;
        else if (change == 4)
            view.DeleteActiveThemes();
        else
            view.AddTheme(u"again"_s, m_sections, true, true);
        QCOMPARE(view.isModified(), modified);
        QVERIFY(view.ReadProject(file)); // as opened: unchanged
        QVERIFY(!view.isModified());
    }

    // A theme that leaves the map leaves both calculator lists at once, and the selection moves
    // to the next listed theme.
    void themeListsFollowTheMap()
    {
        FakeShell shell;
        frmMapView view(&shell);
        view.AddTheme(u"first"_s, m_three[0], false, true);
        view.AddTheme(u"second"_s, m_three[1], true, true);
        auto *forward = view.findChild<QComboBox *>(u"PLSS_Combo"_s);
        auto *reverse = view.findChild<QComboBox *>(u"RevPLSS_Combo"_s);
        forward->setCurrentIndex(forward->findText(u"second"_s));
        view.DeleteActiveThemes();
        for (QComboBox *list : {forward, reverse}) {
            QCOMPARE(list->count(), 1);
            QCOMPARE(list->currentText(), u"first"_s);
        }
        // Another project: only its themes are listed.
        const QString file = m_dir.filePath(u"other.plss"_s);
        {
            frmMapView other(&shell);
            other.AddTheme(u"third"_s, m_three[2], true, true);
            QVERIFY(other.SaveProject(file));
        }
        QVERIFY(view.ReadProject(file));
        for (QComboBox *list : {forward, reverse}) {
            QCOMPARE(list->count(), 1);
            QCOMPARE(list->currentText(), u"third"_s);
        }
        QVERIFY(shell.recorder.messages().isEmpty());
    }
};

QTEST_MAIN(TestMapWindow)
#include "tst_map_window.moc"
