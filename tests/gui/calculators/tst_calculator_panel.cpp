#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/document/theme_list.h"
#include "core/engine/map_graphics.h"
#include "core/engine/vector_layer.h"
#include "core/plss/footage.h"
#include "gui/calculators/calculator_host.h"
#include "gui/calculators/well_calculator.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr double Mile = 1609.344;

// A map window in miniature: a map (which draws the graphics), a recorder.
class FakeView : public CalculatorHost
{
public:
    FakeView()
    {
        m_map.setThemes(&m_themes);
        m_map.resize(400, 400);
        m_map.setGraphicsNotices(&m_messages);
    }
    LayerList themes() const override { return m_themes.layers(); }
    Map *map() override { return &m_map; }
    MessageService &messages() override { return m_messages; }

    ThemeList m_themes;
    Map m_map;
    RecordingMessageService m_messages;
};

} // namespace

class TestCalculatorPanel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_sections;
    std::unique_ptr<FakeView> m_view;
    std::unique_ptr<WellCalculator> m_panel;

    template <typename W> W *child(const char *name)
    {
        W *w = m_panel->findChild<W *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString text(const char *name) { return child<QLineEdit>(name)->text(); }
    // The texts of several boxes and lists at once, for one comparison.
    QStringList texts(std::initializer_list<const char *> names)
    {
        QStringList out;
        for (const char *name : names)
            out.append(m_panel->findChild<QComboBox *>(QString::fromLatin1(name))
                           ? child<QComboBox>(name)->currentText()
                           : text(name));
        return out;
    }
    void type(const char *name, const QString &value)
    {
        QLineEdit *edit = child<QLineEdit>(name);
        edit->clear();
        QTest::keyClicks(edit, value);
    }
    void fill(std::initializer_list<std::pair<const char *, QString>> boxes)
    {
        for (const auto &[name, value] : boxes)
            type(name, value);
    }
    // Section 31, T. 12 N., R. 34 W.: the south-west section of the fixture's township.
    void typeSection31()
    {
        fill({{"section", u"31"_s}, {"township", u"12N"_s}, {"range", u"34W"_s}});
    }
    void enter(const char *name) { QTest::keyClick(child<QLineEdit>(name), Qt::Key_Return); }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void choose(const char *name, const QString &s) { child<QComboBox>(name)->setCurrentText(s); }

private Q_SLOTS:
    void initTestCase()
    {
        m_sections = m_dir.filePath(u"Sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(m_sections, {.originX = 400000, .originY = 4400000}),
                 QString());
    }

    void init()
    {
        m_view = std::make_unique<FakeView>();
        m_panel = std::make_unique<WellCalculator>();
        m_panel->setHost(m_view.get());
        auto layer = VectorLayer::open(m_sections);
        m_view->m_themes.addLayer(layer);
        m_panel->addTheme(layer);
        m_panel->show();
    }
    void cleanup()
    {
        m_panel.reset();
        m_view.reset();
    }

    // Quarter calls: the result in both tabs, two lines per level and a red circle on the map.
    void quarterCallCalculation()
    {
        typeSection31();
        type("footageEastWest", u"660E"_s);
        choose("call160", u"NE"_s);
        choose("call40", u"SW"_s);
        child<QCheckBox>("zoomToWell")->setChecked(true);
        click("calculateQuarters");
        // m_footageEastWest emptied: not this result's calls.
        QCOMPARE(texts({"easting", "northing", "reverseEasting", "footageEastWest"}),
                 (QStringList{u"401005.84"_s, u"4401005.84"_s, u"401005.84"_s, QString()}));
        QCOMPARE(m_view->m_map.graphics().count(), 8); // and the parcel outlined
        QVERIFY(m_view->m_messages.messages().isEmpty());
        // Zoomed to section 31 (the south-west section); the circle is drawn filled.
        const MapRect e = m_view->m_map.extent();
        QVERIFY(e.left() <= 400000 && e.right() >= 400000 + Mile && e.width() < 1.1 * Mile);
        const QImage image = m_view->m_map.grabMap();
        const QPointF c = m_view->m_map.fromMapPoint({401005.84, 4401005.84});
        QCOMPARE(image.pixel(c.toPoint()), qRgb(255, 0, 0));
        const QPointF onLine = m_view->m_map.fromMapPoint({400000 + Mile / 2, 4400000 + 100});
        bool black = false; // the section's south-north quarter line, within a pixel
        for (int dx = -1; dx <= 1; ++dx)
            black = black || image.pixel(int(onLine.x()) + dx, int(onLine.y())) == qRgb(0, 0, 0);
        QVERIFY(black);

        // Erase takes the result with the description it belonged to; the well stays marked
        // and the theme listed.
        click("erase");
        QCOMPARE(texts({"section", "call160", "easting", "sectionThemes", "reverseThemes"}),
                 (QStringList{QString(), u"--"_s, QString(), u"Sections"_s, u"Sections"_s}));
        QCOMPARE(m_view->m_map.graphics().count(), 1);
        QVERIFY(!child<QPushButton>("copyUtm")->isEnabled());
    }

    void footageCalculation()
    {
        typeSection31();
        choose("call160", u"NE"_s);
        fill({{"footageEastWest", u"660E"_s}, {"footageNorthSouth", u"1980S"_s}});
        const MapRect before = m_view->m_map.extent();
        click("calculateFootage");
        QCOMPARE(texts({"easting", "northing", "call160"}),
                 (QStringList{u"401408.18"_s, u"4400603.51"_s, u"--"_s}));
        QCOMPARE(m_view->m_map.graphics().count(), 1);
        QCOMPARE(m_view->m_map.extent(), before); // zoom unchecked
        // Empty calls: the message, and the outputs emptied.
        type("footageNorthSouth", QString());
        click("calculateFootage");
        QCOMPARE(m_view->m_messages.texts(), QStringList{noFootingCallMessage()});
        QCOMPARE(text("easting"), QString());
    }

    // A reverse run describes its own point in the first tab too, its meridian by name: that
    // tab's easting and northing from a forward run before go. Entering a reverse box selects
    // its text.
    void reverseFromTypedBoxes()
    {
        typeSection31();
        click("calculateQuarters");
        QVERIFY(!text("easting").isEmpty());
        fill({{"reverseEasting", u"400600"_s}, {"reverseNorthing", u"4400600"_s}});
        enter("reverseNorthing"); // Calculate
        QCOMPARE(
            texts({"easting", "northing", "reverseSection", "township", "range", "reverseCall160",
                   "reverseCall40", "call40", "reverseFootageEastWest", "footageNorthSouth"}),
            (QStringList{QString(), QString(), u"31"_s, u"12N"_s, u"34W"_s, u"SW"_s, u"NE"_s,
                         u"NE"_s, u"W1968.5"_s, u"S1968.5"_s}));
        // The first well's mark stays; the second's with its own quarter lines only.
        QCOMPARE(m_view->m_map.graphics().count(), 10);
        // The same place as one line, smallest quarter first, and on the clipboard by Copy.
        const QString description =
            text("reverseCall2_5") + u"1/4 "_s + text("reverseCall10") +
            u"1/4 NE1/4 SW1/4 sec. 31, T. 12 N., R. 34 W., Sixth Principal "
            u"Meridian; 1968.5 ft from the W line, 1968.5 ft from the S line"_s;
        QCOMPARE(text("reverseDescription"), description);
        // The theme's meridian, by code and name, in both tabs.
        QCOMPARE(texts({"reverseMeridian", "meridian"}),
                 (QStringList{u"6 Sixth Principal"_s, u"6 Sixth Principal"_s}));
        click("copyDescription");
        QCOMPARE(QGuiApplication::clipboard()->text(), description);
        // The forward calculation on what was written lands in the same 2.5-acre parcel; Enter
        // in the description's boxes runs it.
        enter("section");
        const double e = parseNumber(text("easting")).value_or(0);
        QVERIFY(std::fabs(e - 400600) < 51);
        click("copyUtm");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 text("easting") + u", "_s + text("northing"));
        // With no quarter chosen, Enter there runs the footage calls.
        for (const char *list : {"call160", "call40", "call10", "call2_5"})
            choose(list, u"--"_s);
        fill({{"footageEastWest", u"W1968.5"_s}, {"footageNorthSouth", u"S1968.5"_s}});
        enter("township");
        QCOMPARE(m_view->m_messages.texts(), QStringList());
        QVERIFY(std::fabs(parseNumber(text("easting")).value_or(0) - 400600) < 1);
        // Entering a reverse box selects all it holds.
        child<QTabWidget>("NorvaneTab")->setCurrentIndex(1);
        QLineEdit *easting = child<QLineEdit>("reverseEasting");
        easting->setText(u"123456"_s);
        QApplication::setActiveWindow(m_panel.get());
        easting->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(easting->selectedText(), u"123456"_s);
        QTest::keyClicks(easting, u"7"_s);
        QCOMPARE(easting->text(), u"7"_s);
    }

    // A description typed or pasted fills the boxes; one that cannot be read changes nothing.
    void descriptionFillsTheBoxes()
    {
        type("footageEastWest", u"kept"_s);
        type("description", u"Lots 1-4, sec. 31, T12N R34W"_s);
        enter("description");
        QCOMPARE(m_view->m_messages.texts(),
                 QStringList{u"Several tracts are named (Lots 1-4): a well is in one place; "
                             "describe one tract."_s});
        QCOMPARE(text("footageEastWest"), u"kept"_s);
        type("description", u"NE/4 SW/4 Sec. 31, T12N, R34W, 6th P.M.; 660 FSL"_s);
        click("readDescription");
        QCOMPARE(texts({"section", "township", "range", "meridian", "call160", "call40",
                        "footageEastWest", "footageNorthSouth"}),
                 (QStringList{u"31"_s, u"12N"_s, u"34W"_s, u"6 Sixth Principal"_s, u"SW"_s, u"NE"_s,
                              QString(), u"660S"_s}));
        QCOMPARE(text("easting"), QString()); // Read only fills the boxes
    }

    // Enter in the description, or Locate, reads it and locates a complete one at once (the
    // meridian shown by name is read by its code); an incomplete one only fills the boxes.
    void descriptionLocatesAtOnce_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("result"); // easting, northing, how sure
        QTest::newRow("quarter calls, Enter")
            << u"NE/4 Sec. 31, T12N, R34W, 6th P.M."_s << u"enter"_s
            << QStringList{u"401207.01"_s, u"4401207.01"_s,
                           u"\u00B1 1867 ft \u00B7 quarter calls, classic rule"_s};
        QTest::newRow("footage calls, Locate")
            << u"660 FEL, 1980 FSL, Sec. 31, T12N, R34W"_s << u"locateDescription"_s
            << QStringList{u"401408.18"_s, u"4400603.51"_s, u"\u00B1 0 ft \u00B7 footage calls"_s};
        QTest::newRow("half of a quarter")
            << u"N/2 NE/4 Sec 31 T12N R34W"_s << u"enter"_s
            << QStringList{u"401207.01"_s, u"4401408.18"_s,
                           u"\u00B1 1476 ft \u00B7 quarter calls, classic rule"_s};
        QTest::newRow("tie from a corner")
            << u"N 1234 ft E 567 ft from SW Cor, sec 31, T12N R34W"_s << u"enter"_s
            << QStringList{u"400172.82"_s, u"4400376.12"_s,
                           u"\u00B1 0 ft \u00B7 corner tie; 567 ft from the W line, 1234 ft from "
                           u"the S line"_s};
        QTest::newRow("lot") << u"Lot 2 sec 31 T12N R34W"_s << u"locateDescription"_s
                             << QStringList{u"400201.17"_s, u"4401005.84"_s,
                                            u"\u00B1 933 ft \u00B7 protracted lot, classic rule"_s};
        QTest::newRow("no calls: boxes only") << u"Sec. 31, T12N, R34W"_s << u"enter"_s
                                              << QStringList{QString(), QString(), QString()};
    }
    void descriptionLocatesAtOnce()
    {
        QFETCH(QString, description);
        QFETCH(QString, how);
        QFETCH(QStringList, result);
        type("description", description);
        if (how == u"enter"_s)
            enter("description");
        else
            click(how.toLatin1().constData());
        QCOMPARE(m_view->m_messages.texts(), QStringList());
        QCOMPARE(texts({"easting", "northing"}) + QStringList{child<QLabel>("precision")->text()},
                 result);
        QCOMPARE(text("section"), u"31"_s);
    }

    // A map that holds the BLM's second divisions: a lot is placed on its polygon, a reversed
    // point names the part that holds it; the rule of the Options serves where they are not.
    void secondDivisionsInTheMap()
    {
        const QString path = m_dir.filePath(u"divisions.shp"_s);
        QCOMPARE(fixtures::writeSecondDivisions(path, {.originX = 400000, .originY = 4400000}),
                 QString());
        m_view->m_themes.addLayer(VectorLayer::open(path));
        type("description", u"Lot 2 sec 31 T12N R34W"_s);
        enter("description");
        QCOMPARE(texts({"easting", "northing"}) + QStringList{child<QLabel>("precision")->text()},
                 (QStringList{u"400201.17"_s, u"4401005.84"_s,
                              u"\u00B1 933 ft \u00B7 second division"_s}));
        fill({{"reverseEasting", u"400600"_s}, {"reverseNorthing", u"4400600"_s}});
        click("calculateReverse");
        QCOMPARE(text("reverseDivision"), u"NESW"_s);
        type("reverseEasting", u"400601"_s); // an edit empties the result, the division too
        QCOMPARE(text("reverseDivision"), QString());
    }

    // Each conversion tab: Enter in an input box calculates, and Copy puts the result on the
    // clipboard as one line.
    void conversions()
    {
        child<QTabWidget>("NorvaneTab")->setCurrentIndex(3);
        fill({{"latitude", u"40"_s}, {"longitude", u"105"_s}});
        enter("longitude");
        QCOMPARE(texts({"geographicEasting", "geographicNorthing", "reverseNorthing"}),
                 (QStringList{u"500000"_s, u"4427757.3"_s, u"4427757.3"_s}));
        click("copyLatLong");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 u"Latitude 40; Longitude 105; Easting 500000; Northing 4427757.3"_s);
        choose("angleFormat", u"Degrees Minutes Seconds"_s);
        QVERIFY(child<QLineEdit>("latitudeSeconds")->isEnabled());
        fill({{"geographicEasting", u"414639.538"_s}, {"geographicNorthing", u"4428236.142"_s}});
        click("toGeographic");
        QCOMPARE(texts({"longitude", "latitudeSeconds"}), (QStringList{u"106"_s, u"0"_s}));

        child<QTabWidget>("NorvaneTab")->setCurrentIndex(2);
        fill({{"zoneEasting", u"756100"_s}, {"zoneNorthing", u"4432069"_s}});
        enter("zoneNorthing");
        QCOMPARE(texts({"convertedEasting", "reverseNorthing"}),
                 (QStringList{u"243900.66"_s, u"4432069.05"_s}));
        click("copyZone");
        QCOMPARE(QGuiApplication::clipboard()->text(), u"243900.66, 4432069.05"_s);
        type("zoneEasting", u"99999.5"_s);
        click("convertZone");
        QCOMPARE(m_view->m_messages.texts(),
                 QStringList{u"The easting must be between 100000 and 999999.99 metres."_s});
        QCOMPARE(text("convertedEasting"), QString());             // a failure leaves no result
        QVERIFY(m_view->m_map.cursor().shape() != Qt::WaitCursor); // restored on every way out
    }

    // A calculation that fails empties every result it would have written and takes the last
    // answer's quarter lines off the map at once; the wells located before stay marked. A listed
    // theme that has left the map is said to be gone and leaves both lists; with no section
    // theme at all, the message says how to get one.
    void failuresEmptyTheirResults_data()
    {
        // "box value" typed; "" no theme listed; "gone" the theme left the map
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("result"); // a box the failure empties
        QTest::newRow("section not found")
            << u"section 37"_s << u"calculateQuarters"_s << u"easting"_s;
        QTest::newRow("two calls on one axis")
            << u"footageNorthSouth 1980E"_s << u"calculateFootage"_s << u"northing"_s;
        QTest::newRow("reverse outside the sections")
            << u"reverseEasting 300000"_s << u"calculateReverse"_s << u"reverseCall40"_s;
        QTest::newRow("no theme listed") << QString() << u"calculateQuarters"_s << u"easting"_s;
        QTest::newRow("gone: quarter calls") << u"gone"_s << u"calculateQuarters"_s << u"easting"_s;
        QTest::newRow("gone: footage calls") << u"gone"_s << u"calculateFootage"_s << u"easting"_s;
        QTest::newRow("gone: reverse") << u"gone"_s << u"calculateReverse"_s << u"reverseSection"_s;
    }
    void failuresEmptyTheirResults()
    {
        QFETCH(QString, box);
        QFETCH(QString, button);
        QFETCH(QString, result);
        // A reverse answer first, then a forward one over it: both tabs hold results.
        fill({{"reverseEasting", u"400600"_s}, {"reverseNorthing", u"4400600"_s}});
        click("calculateReverse");
        typeSection31();
        for (const char *list : {"call40", "call10", "call2_5"})
            choose(list, u"--"_s); // the reverse answer's quarters
        choose("call160", u"NE"_s);
        click("calculateQuarters");
        const QPoint mark = m_view->m_map.fromMapPoint({401207.008, 4401207.008}).toPoint();
        QCOMPARE(m_view->m_map.grabMap().pixel(mark), qRgb(255, 0, 0));
        // Two marks, two levels of quarter lines, the parcel outlined.
        QCOMPARE(m_view->m_map.graphics().count(), 2 + 4 + 1);
        fill({{"footageEastWest", u"660E"_s}, {"footageNorthSouth", u"1980S"_s}});
        const bool gone = box == u"gone"_s;
        if (gone) {
            const QString quads = m_dir.filePath(u"other.shp"_s);
            QCOMPARE(fixtures::writeQuadIndex(quads, {{u"A"_s, 0, 1, 1, 0}}), QString());
            m_view->m_themes.addLayer(VectorLayer::open(quads));
            m_view->m_themes.remove(0); // the listed one
        } else if (box.isEmpty()) {
            child<QComboBox>("sectionThemes")->clear();
            child<QComboBox>("reverseThemes")->clear();
        } else {
            child<QLineEdit>(box.section(u' ', 0, 0).toLatin1().constData())
                ->setText(box.section(u' ', 1)); // as the program would, not an edit
        }
        m_panel->findChild<QPushButton *>(button)->click();
        QCOMPARE(text(result.toLatin1().constData()), QString());
        QCOMPARE(m_view->m_map.graphics().count(), 2); // the marks of the two wells only
        QCOMPARE(m_view->m_map.grabMap().pixel(mark), qRgb(255, 0, 0));
        if (gone) {
            QCOMPARE(m_view->m_messages.texts(),
                     QStringList{u"The theme Sections is no longer on the map."_s});
            QCOMPARE(child<QComboBox>("sectionThemes")->count() +
                         child<QComboBox>("reverseThemes")->count(),
                     0);
        } else if (box.isEmpty()) {
            QCOMPARE(m_view->m_messages.texts(), QStringList{noSectionThemeMessage()});
        }
    }

    // Editing any input of a tab empties its results until the next Calculate, and their Copy
    // button can no longer be pressed; the panel writing into a box empties nothing.
    void editsEmptyTheResults_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("copy");
        QTest::newRow("section") << 0 << u"section"_s << u"easting"_s << u"copyUtm"_s;
        QTest::newRow("footage") << 0 << u"footageNorthSouth"_s << u"northing"_s << u"copyUtm"_s;
        QTest::newRow("meridian chosen from its list")
            << 0 << u"meridianList"_s << u"easting"_s << u"copyUtm"_s;
        QTest::newRow("reverse easting")
            << 1 << u"reverseEasting"_s << u"reverseDescription"_s << u"copyDescription"_s;
        QTest::newRow("reverse northing: the meridian")
            << 1 << u"reverseNorthing"_s << u"reverseMeridian"_s << u"copyDescription"_s;
        QTest::newRow("zone easting")
            << 2 << u"zoneEasting"_s << u"convertedEasting"_s << u"copyZone"_s;
        QTest::newRow("latitude") << 3 << u"latitude"_s << u"geographicEasting"_s << QString();
        QTest::newRow("northing") << 3 << u"geographicNorthing"_s << u"longitude"_s << QString();
    }
    void editsEmptyTheResults()
    {
        QFETCH(int, tab);
        QFETCH(QString, input);
        QFETCH(QString, result);
        QFETCH(QString, copy);
        fill({{"reverseEasting", u"400600"_s}, {"reverseNorthing", u"4400600"_s}});
        click("calculateReverse");
        typeSection31();
        fill({{"footageEastWest", u"660E"_s}, {"footageNorthSouth", u"1980S"_s}});
        click("calculateFootage");
        fill({{"zoneEasting", u"400600"_s}, {"zoneNorthing", u"4400600"_s}});
        click("convertZone");
        fill({{"latitude", u"40"_s}, {"longitude", u"105"_s}});
        click("toUtm");
        if (tab == 3 && input == u"geographicNorthing"_s)
            click("toGeographic"); // the geographic side is the result now
        QVERIFY(!text(result.toLatin1().constData()).isEmpty());
        QCOMPARE(m_view->m_messages.texts(), QStringList());
        child<QTabWidget>("NorvaneTab")->setCurrentIndex(tab);
        if (auto *list = m_panel->findChild<QComboBox *>(input))
            list->activated(0); // as a click on its first item
        else
            QTest::keyClick(child<QLineEdit>(input.toLatin1().constData()), Qt::Key_Backspace);
        QCOMPARE(text(result.toLatin1().constData()), QString());
        if (!copy.isEmpty())
            QVERIFY(!child<QPushButton>(copy.toLatin1().constData())->isEnabled());
    }

    // Every well located stays marked, numbered in order, at the same size on screen whatever
    // the scale, until the marks are cleared.
    void wellsStayMarked()
    {
        typeSection31();
        choose("call160", u"NE"_s);
        click("calculateQuarters");
        fill({{"footageEastWest", u"660E"_s}, {"footageNorthSouth", u"1980S"_s}});
        click("calculateFootage");
        QList<int> numbers;
        for (const auto &symbol : m_view->m_map.graphics().symbols()) {
            if (const auto *mark = dynamic_cast<const WellMarkSymbol *>(symbol.get()))
                numbers.append(mark->number);
        }
        QCOMPARE(numbers, (QList<int>{1, 2}));
        // The red disc's width across its centre, at a township's scale and a section's.
        auto redWidth = [this](const MapPoint &at) {
            const QImage image = m_view->m_map.grabMap();
            const QPoint c = m_view->m_map.fromMapPoint(at).toPoint();
            int width = 0;
            for (int dx = -20; dx <= 20; ++dx)
                width += image.pixel(c + QPoint(dx, 0)) == qRgb(255, 0, 0);
            return width;
        };
        const MapPoint first{401207.008, 4401207.008};
        m_view->m_map.setExtent(MapRect(390000, 410000, 4410000, 4390000));
        const int far = redWidth(first);
        m_view->m_map.setExtent(MapRect(400000, 401700, 4401700, 4400000));
        QCOMPARE(redWidth(first), far);
        QVERIFY2(far >= 6 && far <= 10, qPrintable(QString::number(far)));
        m_panel->clearMarks();
        QCOMPARE(m_view->m_map.graphics().count(), 0);
        QCOMPARE(m_panel->locatedWells().size(), 2); // still listed for export
    }

    // A point picked on the map is located at once on the UTM -> PLSS tab; the zone and
    // Lat-Long tabs name the map's zone, in which the point was picked.
    void pickedPointIsLocated()
    {
        m_panel->locatePickedPoint({400600.4, 4400599.6}); // the fixture's .prj: zone 13
        QCOMPARE(child<QTabWidget>("NorvaneTab")->currentIndex(), 1);
        QCOMPARE(texts({"reverseSection", "reverseEasting", "geographicZone", "fromZone",
                        "zoneNorthing", "geographicEasting"}),
                 (QStringList{u"31"_s, u"400600"_s, u"13"_s, u"13"_s, u"4400600"_s, u"400600"_s}));
        QCOMPARE(m_view->m_map.graphics().count(), 1 + 8); // the mark and its quarter lines
        m_panel->locatePickedPoint({99999.4, 4400600});
        QCOMPARE(m_view->m_messages.texts(),
                 QStringList{u"The easting must be between 100000 and 999999.99 metres."_s});
        QCOMPARE(text("reverseSection"), QString());
        const QString utah = m_dir.filePath(u"zone12.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(utah,
                                            {.originX = 400000, .originY = 4400000, .epsg = 26912}),
                 QString());
        m_view->m_themes.clear();
        m_view->m_themes.addLayer(VectorLayer::open(utah));
        m_panel->setReversePoint({414639.538, 4428236.142});
        QCOMPARE(texts({"geographicZone", "fromZone"}), (QStringList{u"12"_s, u"12"_s}));
        click("toGeographic");
        const double lon = parseNumber(text("longitude")).value();
        QVERIFY2(std::fabs(lon - 112) < 1e-4, qPrintable(text("longitude")));
        QCOMPARE(m_view->m_messages.texts().size(), 1); // nothing more said
    }
};

QTEST_MAIN(TestCalculatorPanel)
#include "tst_calculator_panel.moc"
