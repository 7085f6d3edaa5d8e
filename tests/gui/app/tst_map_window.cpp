#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/map_graphics.h"
#include "core/engine/status_text.h"
#include "core/engine/vector_layer.h"
#include "gui/app/map_window.h"
#include "gui/calculators/well_calculator.h"
#include "gui/common/app_settings.h"
#include "gui/common/resizer.h"
#include "gui/legend/legend.h"
#include "gui/legend/legend_row.h"
#include "gui/map/identify_window.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class FakeShell : public MapWindowShell
{
public:
    MapToolKind pressedTool() const override { return MapToolKind::Identify; }
    void setStatusText(int panel, const QString &text) override { status[panel] = text; }
    IdentifyWindow *identifyWindow() override { return &identify; }
    MessageService &messages() override { return recorder; }
    bool confirmClose(MapWindow &) override { return true; }
    void sectionThemeMissing(MapWindow &) override { ++missingSections; }

    QString status[4]; // panels 1 to 3
    IdentifyWindow identify;
    RecordingMessageService recorder;
    int missingSections = 0;
};

} // namespace

class TestMapWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sections;
    QStringList m_three; // three more copies of the grid: first, second and third

    // The map point under a pixel of the view's map.
    static MapPoint mapPointAt(Map *map, QPoint p) { return map->viewport().toMap(p); }
    static bool shown(MapWindow &view)
    {
        view.resize(1200, 900);
        view.show();
        return QTest::qWaitForWindowExposed(&view);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        fixtures::SectionGrid g;
        g.originX = 400000;
        m_sections = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(m_sections, g), QString());
        for (const QString &name : {u"first"_s, u"second"_s, u"third"_s}) {
            m_three.append(m_dir.filePath(name + u".shp"_s));
            QCOMPARE(fixtures::writeSectionGrid(m_three.last(), g), QString());
        }
    }

    void statusTexts()
    {
        QCOMPARE(
            (QStringList{pointerPositionText({456789.996, 4321000.004}),
                         measureSegmentText(1000, 1000), measureDistanceText(0.1),
                         measureStartText({456789.123, -5}), formatFeet(1234567.891)}),
            (QStringList{u"X:456,790  Y:4,321,000"_s,
                         u"Segment Distance: 3,280.84 Feet. Total Distance: 3,280.84 Feet."_s,
                         u"Distance: 0.33 Feet."_s, u"X: 456789.123; Y:-5"_s, u"1,234,567.89"_s}));
    }

    void toolsOnTheMap()
    {
        FakeShell shell;
        MapWindow view(&shell);
        QVERIFY(shown(view));
        view.addTheme(u"sections"_s, m_sections, true, true);
        Map *map = view.map();

        // Zoom out twice from 10 km: 22.5 km, centred as before.
        map->setExtent(MapRect(400000, 410000, 4405000, 4395000));
        const double width = map->extent().width();
        const MapPoint centre = map->extent().center();
        view.setTool(MapToolKind::ZoomOut);
        QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(std::fabs(map->extent().width() - width * 2.25) < 1e-6 &&
                std::fabs(map->extent().center().X - centre.X) < 1e-6);

        // Measure: 1000 m to the right of the press.
        map->setExtent(MapRect(400000, 410000, 4405000, 4395000));
        view.setTool(MapToolKind::Measure);
        const QPoint start = map->fromMapPoint({401000, 4400000}).toPoint();
        const MapPoint startMap = mapPointAt(map, start);
        QTest::mousePress(map, Qt::LeftButton, {}, start);
        const double upp = map->viewport().unitsPerPixel();
        const QPoint end(start.x() + int(std::lround(1000 / upp)), start.y());
        QTest::mouseMove(map, end);
        const MapPoint endMap = mapPointAt(map, end);
        const double metres = endMap.X - startMap.X;
        QCOMPARE(shell.status[1], measureSegmentText(metres, metres));
        QCOMPARE(view.measuredLine(), (QList<MapPoint>{startMap, endMap})); // the line measured
        QTest::mouseRelease(map, Qt::LeftButton, {}, end);
        QCOMPARE(shell.status[1], measureDistanceText(metres));
        // Map units, and on a UTM map (zone 13 here) the latitude and longitude as well.
        QVERIFY2(shell.status[2].startsWith(pointerPositionText(endMap) + u"  39.7"_s) &&
                     shell.status[2].endsWith(u"\u00b0 W"_s),
                 qPrintable(shell.status[2]));
        view.toolChanged();
        QVERIFY(view.measuredLine().isEmpty());

        // Zoom in to a dragged rectangle; pan by dragging.
        view.setTool(MapToolKind::ZoomIn);
        const QPoint a = map->fromMapPoint({402000, 4402000}).toPoint();
        const QPoint b = map->fromMapPoint({404000, 4400000}).toPoint();
        QTest::mousePress(map, Qt::LeftButton, {}, a);
        QTest::mouseMove(map, b);
        QTest::mouseRelease(map, Qt::LeftButton, {}, b);
        QVERIFY(std::fabs(map->extent().center().X - 403000) < 20 &&
                (map->extent().height() < 2100 || map->extent().width() < 2100));
        view.setTool(MapToolKind::Pan);
        const MapRect before = map->extent();
        QTest::mousePress(map, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseRelease(map, Qt::LeftButton, {}, QPoint(150, 100));
        QVERIFY(std::fabs((before.left() - map->extent().left()) -
                          50 * map->viewport().unitsPerPixel()) < 1e-6);

        // Select point: the calculator takes the clicked point.
        view.setTool(MapToolKind::SelectPoint);
        QTest::mouseClick(map, Qt::LeftButton, {}, start);
        QCOMPARE(view.calculator()->findChild<QLineEdit *>(u"reverseEasting"_s)->text(),
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
        view.addTheme(u"index"_s, index, true, true);
        int asked = 0;
        view.legend()->chooseFolder = [&](const QString &) { return ++asked, m_dir.path(); };
        map->setExtent(MapRect(400000, 410000, 4405000, 4395000));
        view.setTool(MapToolKind::HotLink);
        QTest::mouseClick(map, Qt::LeftButton, {}, map->fromMapPoint({400500, 4400500}).toPoint());
        QCOMPARE(asked, 1);
        QCOMPARE(map->layers().first()->file(), m_dir.filePath(u"HotSpot.tif"_s));
        QVERIFY(shell.recorder.messages().isEmpty());
    }

    // A shapefile is one in any case of ".shp", for the legend and the calculators alike.
    // The bars between the map, the panel and the legend move where they are dragged; the
    // window keeps the legend's width and the panel's height as it grows, and the next window
    // opens with them.
    void barsSplitTheWindowAndAreKept()
    {
        FakeShell shell;
        MapWindow view(&shell);
        QVERIFY(shown(view));
        QWidget *panel = view.findChild<QWidget *>(u"panelScroll"_s);
        QWidget *column = view.findChild<QWidget *>(u"legendColumn"_s);
        auto *panelSplit = view.findChild<Resizer *>(u"panelSplit"_s);
        auto *legendSplit = view.findChild<Resizer *>(u"legendSplit"_s);
        const int panelHeight = panel->height(), mapHeight = view.map()->height();
        const int columnWidth = column->width();

        auto drag = [](Resizer *split, QPoint by) {
            QWidget *bar = split->bar();
            const QPoint from = bar->rect().center();
            QTest::mousePress(bar, Qt::LeftButton, {}, from);
            QMouseEvent move(QEvent::MouseMove, QPointF(from + by), bar->mapToGlobal(from + by),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(bar, &move);
            QTest::mouseRelease(bar, Qt::LeftButton, {}, from + by);
        };
        drag(panelSplit, QPoint(0, -60));  // the panel 60 pixels taller
        drag(legendSplit, QPoint(-40, 0)); // the legend 40 pixels wider
        QVERIFY(std::abs(panel->height() - (panelHeight + 60)) <= 1);
        QVERIFY(std::abs(view.map()->height() - (mapHeight - 60)) <= 1);
        QVERIFY(std::abs(column->width() - (columnWidth + 40)) <= 1);

        view.resize(1300, 1000); // the map takes the room
        QTRY_VERIFY(std::abs(view.map()->height() - (mapHeight + 40)) <= 1);
        QVERIFY(std::abs(panel->height() - (panelHeight + 60)) <= 1);
        QVERIFY(std::abs(column->width() - (columnWidth + 40)) <= 1);
        // Squeezed by a small window, and back as dragged when it grows again.
        view.resize(300, 260);
        QTRY_VERIFY(view.map()->height() >= 120 && view.map()->width() >= 120);
        QVERIFY(panel->height() < panelHeight + 60 && column->width() < columnWidth + 40);
        view.resize(1300, 1000);
        QTRY_VERIFY(std::abs(panel->height() - (panelHeight + 60)) <= 1);
        QVERIFY(std::abs(column->width() - (columnWidth + 40)) <= 1);

        QTRY_VERIFY(mapWindowSplits().panelHeight > 0); // kept once the drag has settled
        MapWindow next(&shell);
        QVERIFY(shown(next));
        QVERIFY(std::abs(next.findChild<QWidget *>(u"panelScroll"_s)->height() -
                         (panelHeight + 60)) <= 1);
        QVERIFY(std::abs(next.findChild<QWidget *>(u"legendColumn"_s)->width() -
                         (columnWidth + 40)) <= 1);
    }

    void upperCaseShpIsAShapefile()
    {
        FakeShell shell;
        MapWindow view(&shell);
        for (const char *ext : {".shx", ".dbf"})
            QFile::copy(m_sections.chopped(4) + QLatin1StringView(ext),
                        m_dir.filePath(u"upper"_s + QString::fromLatin1(ext).toUpper()));
        QFile::copy(m_sections, m_dir.filePath(u"upper.SHP"_s));
        QVERIFY(view.addTheme(u"upper"_s, m_dir.filePath(u"upper.SHP"_s), true, true)->isValid());
        QCOMPARE(view.calculator()->findChild<QComboBox *>(u"sectionThemes"_s)->count(), 1);
        QCOMPARE(shell.recorder.messages().size(), 0);
    }

    // Identify lists the active themes with features at the point, in reverse legend order.
    void identifyInActiveThemes()
    {
        FakeShell shell;
        MapWindow view(&shell);
        QVERIFY(shown(view));
        for (const QString &path : m_three) // the list names each theme by its file
            view.addTheme(QFileInfo(path).baseName(), path, true, true);
        const QPoint at = view.map()->fromMapPoint({400500, 4400500}).toPoint();
        QTest::mouseClick(view.map(), Qt::LeftButton, {}, at);
        QStringList listed;
        for (const QListWidgetItem *item : shell.identify.findChild<QListWidget *>(u"themeList"_s)
                                               ->findItems(u"*"_s, Qt::MatchWildcard))
            listed.append(item->text());
        QCOMPARE(listed, (QStringList{u"third"_s, u"second"_s, u"first"_s}));
        QVERIFY(shell.identify.isVisible());
        // The section found is outlined in cyan (red is the wells' colour) on the map until
        // another tool is chosen or the window goes.
        const QPoint edge = view.map()->fromMapPoint({400000 + 800, 4400000}).toPoint();
        auto cyanNear = [&view](QPoint p) {
            const QImage image = view.map()->grabMap();
            bool cyan = false;
            for (int dy = -2; dy <= 2; ++dy)
                cyan = cyan || image.pixel(p + QPoint(0, dy)) == qRgb(0, 255, 255);
            return cyan;
        };
        QVERIFY(cyanNear(edge));
        view.toolChanged();
        QVERIFY(!cyanNear(edge));

        // A theme out of the view's reach says so.
        fixtures::SectionGrid far;
        far.originX = 600000;
        const QString farPath = m_dir.filePath(u"far.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(farPath, far), QString());
        view.map()->setExtent(MapRect(400000, 401000, 4401000, 4400000));
        view.addTheme(u"far"_s, farPath, true, true);
        QCOMPARE(shell.status[1], u"far lies outside the view: Themes > Zoom to Theme shows it."_s);
    }

    // A theme's query (its tag) is drawn in yellow; a refused one says so once and the redraw
    // goes on.
    void queryHighlights()
    {
        FakeShell shell;
        MapWindow view(&shell);
        view.resize(1200, 900);
        auto layer = view.addTheme(u"sections"_s, m_sections, true, true);
        Map *map = view.map();
        map->setExtent(layer->extent());
        layer->setQueryExpression(u"section = 36"_s);
        const QImage image = map->grabMap();
        // Section 36 is in yellow, section 1 above it is not.
        const double x = 400000 + 5.5 * 1609.344;
        QCOMPARE(image.pixel(map->fromMapPoint({x, 4400000 + 800}).toPoint()), qRgb(255, 255, 0));
        QVERIFY(image.pixel(map->fromMapPoint({x, 4400000 + 5.5 * 1609.344}).toPoint()) !=
                qRgb(255, 255, 0));
        layer->setQueryExpression(u"nosuch = 1"_s);
        map->refresh();
        map->grabMap();
        QVERIFY(shell.status[1].contains(u"nosuch = 1"_s));
        shell.status[1].clear();
        map->refresh();
        map->grabMap();
        QCOMPARE(shell.status[1], QString()); // once
        // Another expression: its own matches, none of the first one's.
        layer->setQueryExpression(u"section = 1"_s);
        map->refresh();
        const QImage other = map->grabMap();
        QVERIFY(other.pixel(map->fromMapPoint({x, 4400000 + 800}).toPoint()) != qRgb(255, 255, 0));
        QCOMPARE(other.pixel(map->fromMapPoint({x, 4400000 + 5.5 * 1609.344}).toPoint()),
                 qRgb(255, 255, 0));
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
        MapWindow view(&shell);
        auto layer = view.addTheme(u"sections"_s, m_sections, true, true);
        QVERIFY(view.isModified());
        const QString file = m_dir.filePath(u"changed.plss"_s);
        QVERIFY(view.saveProject(file));
        QVERIFY(!view.isModified());
        LegendRow *row = view.legend()->rows().first();
        if (change == 1)
            row->setActive(false);
        else if (change == 2)
            row->setShown(false);
        else if (change == 3)
            std::static_pointer_cast<VectorLayer>(layer)->symbol().color = QColor(123, 0, 0);
        else if (change == 4)
            view.deleteActiveThemes();
        else
            view.addTheme(u"again"_s, m_sections, true, true);
        QCOMPARE(view.isModified(), modified);
        QVERIFY(view.loadProject(file)); // as opened: unchanged
        QVERIFY(!view.isModified());
    }

    // A theme that leaves the map leaves both calculator lists at once, and the selection moves
    // to the next listed theme; the results go with it. Another project empties the panel.
    void themeListsFollowTheMap()
    {
        FakeShell shell;
        MapWindow view(&shell);
        view.addTheme(u"first"_s, m_three[0], false, true);
        view.addTheme(u"second"_s, m_three[1], true, true);
        auto *forward = view.findChild<QComboBox *>(u"sectionThemes"_s);
        auto *reverse = view.findChild<QComboBox *>(u"reverseThemes"_s);
        forward->setCurrentIndex(forward->findText(u"second"_s));
        // Each list as its count and current theme.
        const auto lists = [&] {
            return QStringList{QString::number(forward->count()) + forward->currentText(),
                               QString::number(reverse->count()) + reverse->currentText()};
        };
        auto box = [&view](const char *name) {
            return view.findChild<QLineEdit *>(QString::fromLatin1(name));
        };
        box("section")->setText(u"31"_s);
        box("township")->setText(u"12N"_s);
        box("range")->setText(u"34W"_s);
        view.findChild<QPushButton *>(u"calculateQuarters"_s)->click();
        QVERIFY(!box("easting")->text().isEmpty());
        view.deleteActiveThemes();
        QCOMPARE(lists(), (QStringList{u"1first"_s, u"1first"_s}));
        QCOMPARE(box("easting")->text(), QString());
        QCOMPARE(view.map()->graphics().count(), 1); // the well stays marked, its quarter lines go
        // Another project: only its themes are listed.
        const QString file = m_dir.filePath(u"other.plss"_s);
        {
            MapWindow other(&shell);
            other.addTheme(u"third"_s, m_three[2], true, true);
            QVERIFY(other.saveProject(file));
        }
        QVERIFY(view.loadProject(file));
        QCOMPARE(lists(), (QStringList{u"1third"_s, u"1third"_s}));
        QCOMPARE(box("section")->text() + box("township")->text(), QString());
        QCOMPARE(view.map()->graphics().count(), 0); // the first project's well is no longer marked
        QVERIFY(shell.recorder.messages().isEmpty());
    }

    // Save and open through a map window: order, flags and symbols survive; a missing theme
    // file skips its block and the rest still opens.
    void roundTripThroughAMapWindow()
    {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QCOMPARE(
            fixtures::writeGeoImage(m_dir.filePath(u"quad.tif"_s), picture, 400000, 4400100, 10),
            QString());
        FakeShell shell;
        MapWindow view(&shell);
        view.addTheme(u"a.shp"_s, m_three[0], true, true);
        view.addTheme(u"quad.tif"_s, m_dir.filePath(u"quad.tif"_s), true, true);
        auto c = view.addTheme(u"c=shp"_s, m_three[2], true, true);
        std::static_pointer_cast<VectorLayer>(c)->symbol() = ::Symbol{6, Qt::red, Qt::blue, 3};
        view.legend()->rows()[0]->setShown(false);
        view.legend()->rows()[0]->setActive(false);
        const QString file = m_dir.filePath(u"p.plss"_s);
        QVERIFY(view.saveProject(file));

        MapWindow other(&shell);
        other.addTheme(u"b.shp"_s, m_three[1], true, true); // replaced by the project
        QVERIFY(other.loadProject(file));
        const auto &rows = other.legend()->rows();
        QStringList read;
        for (LegendRow *row : rows)
            read.append(row->title() + u' ' + QString::number(row->isShown()) +
                        QString::number(row->isActive()));
        QCOMPARE(read, (QStringList{u"a.shp 00"_s, u"quad.tif 11"_s, u"c=shp 11"_s}));
        const auto &symbol = std::static_pointer_cast<VectorLayer>(rows[2]->layer())->symbol();
        QCOMPARE(QList<double>({double(symbol.style), symbol.size}), QList<double>({6, 3}));
        QCOMPARE(symbol.outlineColor, QColor(Qt::blue));
        QCOMPARE(other.map()->layers().first().get(), rows[2]->layer().get());
        QVERIFY(shell.recorder.messages().isEmpty());

        // The middle theme's file is gone: the first and third still open.
        QFile::rename(m_dir.filePath(u"quad.tif"_s), m_dir.filePath(u"moved.tif"_s));
        QVERIFY(other.loadProject(file));
        QCOMPARE(other.legend()->rows().size(), 2);
        QCOMPARE(shell.recorder.texts().size(), 1);
        QVERIFY(shell.recorder.texts().first().startsWith(
            u"Error: file "_s + m_dir.filePath(u"quad.tif"_s) + u" did not load.\n"_s));
        QFile::rename(m_dir.filePath(u"moved.tif"_s), m_dir.filePath(u"quad.tif"_s));
    }

    // A save that cannot complete leaves the old file as it was.
    void failedSaveKeepsTheOldFile()
    {
        FakeShell shell;
        MapWindow view(&shell);
        const QString file = m_dir.filePath(u"kept.plss"_s);
        QVERIFY(view.saveProject(file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray old = f.readAll();
        f.close();
        view.addTheme(u"a.shp"_s, m_three[0], true, true);
        // Unwritable even for root: the file is made immutable, so it cannot be replaced.
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, file}) != 0)
            QSKIP("chattr +i is not available on this file system");
        const bool saved = view.saveProject(file);
        QProcess::execute(u"chattr"_s, {u"-i"_s, file});
        QVERIFY(!saved);
        QCOMPARE(shell.recorder.messages().size(), 1);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old);
    }
};

QTEST_MAIN(TestMapWindow)
#include "tst_map_window.moc"
