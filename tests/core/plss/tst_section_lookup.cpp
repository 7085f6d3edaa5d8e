#include "core/common/message_service.h"
#include "core/engine/image_layer.h"
#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using fixtures::Layout;

namespace {

// Two townships side by side (R34W west of R33W) and two above each other (T12N, T13N).
fixtures::SectionGrid gridFor(Layout layout)
{
    return {.layout = layout,
            .firstTownship = 12,
            .firstRange = 33,
            .townshipsEast = 2,
            .townshipsNorth = 2};
}

// The four boxes written "section|township|range|meridian"; a part left out is an empty box.
SectionEntries boxes(const QString &text)
{
    const QStringList p = text.split(u'|');
    return {p.value(0), p.value(1), p.value(2), p.value(3)};
}

} // namespace

class TestSectionLookup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString themePath(Layout layout) const
    {
        return m_dir.filePath(u"layout%1.shp"_s.arg(int(layout)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (Layout l :
             {Layout::Layout1, Layout::Layout2, Layout::Layout3, Layout::Layout4, Layout::Layout5})
            QCOMPARE(fixtures::writeSectionGrid(themePath(l), gridFor(l)), QString());
    }

    // The five layouts' queries. Lower-case letters and 8.5 (rounded to even, as 7.5 here) are
    // searched in eachLayoutFindsItsSection.
    void expressions_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("full description")
            << u"7|12N|34W|6"_s
            << QStringList{
                   u"section = 7 and township = 12 and range = 34 and base_side = 'N' and "
                   "meridian_s = 'W' and meridian = 6"_s,
                   u"sect = 7 and twp = 12 and rng = 34 and tdir = 'N' and rdir = 'W' and "
                   "meridian = 6"_s,
                   u"section = 7 and township = '12' and range = '34' and base_side = 'N' and "
                   "meridiansi = 'W' and meridian = 6"_s,
                   u"section = 7 and qrv_twp = 12 and qrv_range = 34 and base_side = 'N' and "
                   "meridiansi = 'W' and qrv_mer = 6"_s,
                   u"section = 7 and township = '12N' and range = '34W'"_s};
        QTest::newRow("no letters, meridian 06 as typed, 7.5 is 8, 1.50 is 1.5")
            << u"7.5|1.50|34.0|06"_s
            << QStringList{u"section = 8 and township = 1.5 and range = 34 and meridian = 06"_s,
                           u"sect = 8 and twp = 1.5 and rng = 34 and meridian = 06"_s,
                           u"section = 8 and township = '1.5' and range = '34' and meridian = 06"_s,
                           u"section = 8 and qrv_twp = 1.5 and qrv_range = 34 and qrv_mer = 06"_s,
                           u"section = 8 and township = '1.50' and range = '34.0'"_s};
    }
    void expressions()
    {
        QFETCH(QString, entries);
        QFETCH(QStringList, expected);
        QString error;
        const auto d = parseSectionEntries(boxes(entries), &error);
        QVERIFY2(d, qPrintable(error));
        const auto built = buildSectionExpressions(*d);
        QCOMPARE(QStringList(built.begin(), built.end()), expected);
    }

    void refusedEntries_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("box");
        QTest::newRow("empty section") << u"|12N|34W"_s << u"Section"_s;
        QTest::newRow("section not a number") << u"seven|12N|34W"_s << u"Section"_s;
        QTest::newRow("section beyond 16 bits") << u"40000|12N|34W"_s << u"Section"_s;
        QTest::newRow("township letter only") << u"7|N|34W"_s << u"Township"_s;
        QTest::newRow("empty township") << u"7||34W"_s << u"Township"_s;
        QTest::newRow("township with an accented letter") << u"7|12É|34W"_s << u"Township"_s;
        QTest::newRow("range with two letters") << u"7|12N|34WW"_s << u"Range"_s;
        QTest::newRow("meridian that would change the query")
            << u"7|12N|34W|6 or 1 = 1"_s << u"Meridian"_s;
    }
    void refusedEntries()
    {
        QFETCH(QString, entries);
        QFETCH(QString, box);
        QString error;
        QVERIFY(!parseSectionEntries(boxes(entries), &error));
        QVERIFY2(error.contains(box + u" box"_s), qPrintable(error));

        // Through the lookup: a stop message, nothing found.
        auto theme = VectorLayer::open(themePath(Layout::Layout1));
        RecordingMessageService messages;
        QVERIFY(!findSectionPolygon(*theme, boxes(entries), messages));
        QCOMPARE(messages.texts(), QStringList{error});
        QCOMPARE(std::pair(messages.messages().first().icon, messages.messages().first().title),
                 std::pair(MessageIcon::Stop, u"QRV Tractwise"_s));
    }

    // Every layout is found in its own table, whatever the earlier layouts make of it; section
    // 0: nothing is found, with one stop message that names what was looked for where.
    void eachLayoutFindsItsSection_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QList<int>>("found"); // township east and north, section; 0: none
        QTest::addColumn<QString>("missing");  // the message's second sentence
        const auto row = [](const char *name, int layout, const QString &e, QList<int> found,
                            const QString &missing = {}) {
            QTest::newRow(name) << layout << e << found << missing;
        };
        row("layout 1", 1, u"7|12N|34W|6"_s, {0, 0, 7});
        row("layout 1, lower-case letters", 1, u"36|13n|33w"_s, {1, 1, 36});
        row("layout 2 after layout 1 fails", 2, u"7|12N|34W|6"_s, {0, 0, 7});
        row("layout 3, text numbers", 3, u"1|13N|34W|6"_s, {0, 1, 1});
        row("layout 4, upper-cased letters", 4, u"18|12n|33w|6"_s, {1, 0, 18});
        row("layout 5, whole entries", 5, u"31|12N|33W"_s, {1, 0, 31});
        row("meridian 06 is the number 6", 1, u"12|12N|34W|06"_s, {0, 0, 12});
        row("8.5 is section 8", 2, u"8.5|12N|34W"_s, {0, 0, 8});
        row("no letters: any direction", 1, u"20|13|33"_s, {1, 1, 20});
        row("wrong direction", 1, u"7|12S|34W"_s, {0, 0, 0},
            u"Section 7, T12S R34W is not in layout1.shp."_s);
        row("wrong meridian", 2, u"7|12N|34W|5"_s, {0, 0, 0},
            u"Section 7, T12N R34W (5th PM) is not in layout2.shp."_s);
        row("no such township", 3, u"7|40N|34W"_s, {0, 0, 0},
            u"Section 7, T40N R34W is not in layout3.shp."_s);
        row("layout 5 ignores the meridian but not the letters", 5, u"7|12S|34W|6"_s, {0, 0, 0},
            u"Section 7, T12S R34W (6th PM) is not in layout5.shp."_s);
        row("a meridian by its abbreviation", 1, u"7.5|40n|034W|26"_s, {0, 0, 0},
            u"Section 8, T40n R34W (SLM) is not in layout1.shp."_s);
        row("a meridian without one", 4, u"7|12N|34W|07"_s, {0, 0, 0},
            u"Section 7, T12N R34W (meridian 7) is not in layout4.shp."_s);
    }
    void eachLayoutFindsItsSection()
    {
        QFETCH(int, layout);
        QFETCH(QString, entries);
        QFETCH(QList<int>, found);
        QFETCH(QString, missing);
        auto theme = VectorLayer::open(themePath(Layout(layout)));
        RecordingMessageService messages;
        const auto poly = findSectionPolygon(*theme, boxes(entries), messages);
        if (found[2] == 0) {
            QVERIFY(!poly);
            QCOMPARE(messages.texts(), QStringList{u"Unable to locate PLSS section. "_s + missing});
            QCOMPARE(messages.messages().first().icon, MessageIcon::Stop);
            return;
        }
        QVERIFY2(poly && messages.messages().isEmpty(), qPrintable(messages.texts().join(u'|')));
        const auto c =
            fixtures::sectionCorners(gridFor(Layout(layout)), found[0], found[1], found[2]);
        QCOMPARE(poly->extent(), MapRect(c.x[0], c.x[2], c.y[2], c.y[0]));
    }

    // BLM township codes: what decodes, and what never matches anything.
    void plssIds_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("decoded"); // meridian township dir range dir; empty: refused
        QTest::newRow("as shipped") << u"ND051530N0950W0"_s << u"5 153 N 95 W"_s;
        QTest::newRow("half township") << u"CO060150N0652W0"_s << u"6 15 N 65.5 W"_s;
        QTest::newRow("lower case") << u"ut260350s0130e0"_s << u"26 35 S 13 E"_s;
        QTest::newRow("short") << u"ND051530N095W"_s << QString();
        QTest::newRow("wrong letters") << u"ND051530X0950W0"_s << QString();
        QTest::newRow("unknown fraction") << u"ND051537N0950W0"_s << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void plssIds()
    {
        QFETCH(QString, code);
        QFETCH(QString, decoded);
        const std::optional<PlssId> id = decodePlssId(code);
        QCOMPARE(id.has_value(), !decoded.isEmpty());
        if (id)
            QCOMPARE(QString::number(id->meridian) + u' ' + QString::number(id->township) + u' ' +
                         id->townshipDirection + u' ' + QString::number(id->range) + u' ' +
                         id->rangeDirection,
                     decoded);
    }

    // The four BLM sections as the BLM ships them: found by number, township, range, their
    // directions and meridian as typed, each left out as no condition.
    void blmSchema_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<bool>("found");
        QTest::newRow("all given") << u"36|153N|95W|5"_s << true;
        QTest::newRow("meridian as 05") << u"13|152N|95W|05"_s << true;
        QTest::newRow("no directions, no meridian") << u"36|152|95"_s << true;
        QTest::newRow("another meridian") << u"36|153N|95W|6"_s << false;
        QTest::newRow("other direction") << u"36|153S|95W"_s << false;
        QTest::newRow("no such section") << u"12|153N|95W"_s << false;
    }
    void blmSchema()
    {
        QFETCH(QString, entries);
        QFETCH(bool, found);
        const QString path = QStringLiteral(TW_SHARED_DATA "/nd-cadnsdi/nd_sections.geojson");
        if (!QFile::exists(path))
            QSKIP("shared North Dakota data not present");
        auto theme = VectorLayer::open(path);
        QVERIFY(isPlssSectionTheme(*theme));
        QVERIFY(recognisePlssSectionTheme(*theme)); // decodes PLSSID
        RecordingMessageService messages;
        const auto poly = findSectionPolygon(*theme, boxes(entries), messages);
        QCOMPARE(std::pair(poly.has_value(), messages.texts().isEmpty()), std::pair(found, found));
    }

    // Named fields: a state-style table, numbers and text, and fields that cannot serve.
    void namedFields_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("error"); // empty: section 31 T12N R34W is found
        QTest::newRow("text township with its letter")
            << u"section=SEC,township=TWP,range=RNG,range_direction=RDIR,meridian=MER"_s
            << QString();
        QTest::newRow("township number and direction apart")
            << u"section=SEC,township=TNUM,township_direction=TDIR,range=RNG"_s << QString();
        QTest::newRow("no such field")
            << u"section=SEC,township=TOWN,range=RNG"_s << u"The theme state has no field TOWN."_s;
        QTest::newRow("not numbers")
            << u"section=TDIR,township=TWP,range=RNG"_s
            << u"The field TDIR of the theme state holds \"N\" in record 1, where a number is "
               u"needed."_s;
        QTest::newRow("no range") << u"section=SEC,township=TWP"_s
                                  << u"Name the section field and the township and range fields "
                                     u"(or a township code field)."_s;
        QTest::newRow("unknown key") << u"section=SEC,twp=TWP,range=RNG"_s
                                     << u"\"twp=TWP\" is not KEY=FIELD with a key of section, "
                                        u"township, township_direction, range, range_direction, "
                                        u"meridian or township_code (or, for second divisions, "
                                        u"division_label, division_type, lot, quarter or "
                                        u"quarter_quarter)."_s;
    }
    void namedFields()
    {
        QFETCH(QString, fields);
        QFETCH(QString, error);
        const QString path = m_dir.filePath(u"state.gpkg"_s);
        if (!QFile::exists(path))
            QCOMPARE(fixtures::translateVector(
                         m_dir.filePath(u"layout1.shp"_s), path, u"GPKG"_s, 26913, u"state"_s,
                         u"SELECT geometry, CAST(section AS TEXT) AS SEC, township || base_side "
                         u"AS TWP, township AS TNUM, base_side AS TDIR, \"range\" AS RNG, "
                         u"meridian_s AS RDIR, meridian AS MER FROM layout1"_s),
                     QString());
        auto theme = VectorLayer::open(path);
        QVERIFY2(theme->isValid(), qPrintable(theme->errorText()));
        QVERIFY(!isPlssSectionTheme(*theme));
        QString said;
        const std::optional<PlssFields> named = parsePlssFields(fields, &said);
        const bool applied = named && applyPlssFields(*theme, *named, &said);
        QCOMPARE(said, error);
        QCOMPARE(applied, error.isEmpty());
        QCOMPARE(isPlssSectionTheme(*theme), applied); // a refused choice changes nothing
        if (!applied)
            return;
        QCOMPARE(plssFieldsText(*named), fields);
        RecordingMessageService messages;
        QVERIFY(findSectionPolygon(*theme, {u"31"_s, u"12N"_s, u"34W"_s, u"6"_s}, messages));
        QVERIFY(findSectionPolygon(*theme, {u"31"_s, u"12"_s, u"34"_s, QString()}, messages));
        QVERIFY(!findSectionPolygon(*theme, {u"31"_s, u"12S"_s, u"34W"_s, QString()}, messages));
    }

    void recognition_data()
    {
        QTest::addColumn<QStringList>("fieldNames");
        QTest::addColumn<bool>("recognised");
        QTest::newRow("layout 1 names")
            << QStringList{u"section"_s, u"township"_s, u"range"_s} << true;
        QTest::newRow("upper case") << QStringList{u"SECTION"_s, u"TOWNSHIP"_s, u"RANGE"_s} << true;
        QTest::newRow("sect twp rng") << QStringList{u"sect"_s, u"twp"_s, u"rng"_s} << true;
        QTest::newRow("section township rng")
            << QStringList{u"section"_s, u"township"_s, u"rng"_s} << false;
        QTest::newRow("section twp rng") << QStringList{u"section"_s, u"twp"_s, u"rng"_s} << false;
        QTest::newRow("unrelated") << QStringList{u"QUADNAME"_s} << false;
    }
    void recognition()
    {
        QFETCH(QStringList, fieldNames);
        QFETCH(bool, recognised);
        QList<fixtures::Field> fields;
        for (const QString &n : fieldNames)
            fields.append({n, fixtures::Field::Integer});
        const QString path = m_dir.filePath(u"recognise.shp"_s);
        QCOMPARE(fixtures::writePolygons(path, fields, {{{{{0, 0}, {0, 1}, {1, 1}, {0, 0}}}, {}}}),
                 QString());
        auto layer = VectorLayer::open(path);
        QVERIFY(layer->isValid());
        const ::Symbol before = layer->symbol();
        QCOMPARE(recognisePlssSectionTheme(*layer), recognised);
        // A section theme is drawn as green outlines over the map; another keeps its look.
        QCOMPARE(layer->symbol().style, recognised ? qint16(FillStyle::Transparent) : before.style);
        QCOMPARE(layer->symbol().outlineColor, recognised ? 255u * 256 : before.outlineColor);
    }

    // The first theme of a name is searched, names comparing exactly; an image is never a
    // section theme.
    void themesByNameAndKind()
    {
        auto a = VectorLayer::open(themePath(Layout::Layout1));
        auto b = VectorLayer::open(themePath(Layout::Layout2));
        a->setName(u"Sections"_s);
        b->setName(u"Sections"_s);
        const LayerList layers{b, a};
        QCOMPARE(findThemeByName(layers, u"Sections"_s).get(), b.get());
        QCOMPARE(findThemeByName(layers, u"sections"_s), nullptr);
        const QString path = m_dir.filePath(u"image.tif"_s);
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::gray);
        QCOMPARE(fixtures::writeGeoImage(path, img, 0, 8, 1), QString());
        auto image = ImageLayer::open(path);
        QVERIFY(image->isValid());
        QVERIFY(!recognisePlssSectionTheme(*image));
    }
};

QTEST_MAIN(TestSectionLookup)
#include "tst_section_lookup.moc"
