#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/aliquot.h"
#include "core/plss/description_reader.h"
#include "core/plss/footage.h"
#include "core/plss/legal_description.h"
#include "core/plss/meridians.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "core/plss/reverse_location.h"
#include "core/plss/well_location.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <tuple>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(fixtures::Layout)

namespace {

constexpr double Mile = 1609.344;
const QString utahPath = QStringLiteral(TW_SHARED_DATA "/utah-sections/utah_sections.shp");

double g_worstFeet = 0;
int g_footageOutside = 0;
constexpr double FootageToleranceFeet = 1.0; // measured: 0.59 ft at worst

const QStringList quarterNames = {u"SW"_s, u"NW"_s, u"NE"_s, u"SE"_s};

std::array<QString, 4> randomCalls(QRandomGenerator &random)
{
    std::array<QString, 4> calls;
    for (QString &c : calls)
        c = quarterNames[random.bounded(4)];
    return calls;
}

QString joined(const std::array<QString, 4> &calls, QChar separator = u',')
{
    return QStringList(calls.begin(), calls.end()).join(separator);
}

// The section and quarters found as one text, so that a failed comparison shows them whole.
QString described(const ReverseLocation &r)
{
    return QStringList({r.section, r.township, r.range, joined(r.quarters)}).join(u' ');
}

// The boxes that name the section of the current record of a layout 1 theme.
SectionEntries entriesOf(const RecordSet &r)
{
    return {r.value(u"section"_s)->toString(),
            r.value(u"township"_s)->toString() + r.value(u"base_side"_s)->toString(),
            r.value(u"range"_s)->toString() + r.value(u"meridian_s"_s)->toString(),
            r.value(u"meridian"_s)->toString()};
}

// Forward with the quarter calls, then back from the located point: the same description.
// The quarters are laid out at nominal distances (804.672 m, then half of it at each level), so
// a section with a side shorter than their sum, 1508.76 m, folds some of its quarters over each
// other and cannot give every description back. Given the section's polygon, `skipped` is set
// for those, and for a point that lands outside the section's bent boundary.
void checkRoundTrip(const VectorLayer &theme, const SectionEntries &entries,
                    const std::array<QString, 4> &calls, const MapPolygon *section = nullptr,
                    bool *skipped = nullptr)
{
    RecordingMessageService messages;
    const WellLocation forward = locateByQuarterCalls(theme, entries, calls, messages);
    QVERIFY2(forward.located, qPrintable(messages.texts().join(u'|')));
    if (section) {
        QCOMPARE(forward.sectionExtent, section->extent()); // the record's own polygon was found
        CornerArray extent{}, c{};
        QVERIFY(polygonCorners(*section, extent, c, messages));
        double shortest = 1e9;
        for (int i = 0; i < 4; ++i)
            shortest = std::min(shortest,
                                std::hypot(c[i].X - c[(i + 1) % 4].X, c[i].Y - c[(i + 1) % 4].Y));
        *skipped = shortest < 1508.76 || !section->contains(forward.location);
        if (*skipped)
            return;
    }
    const ReverseLocation back = reverseLocate(theme, forward.easting, forward.northing, messages);
    QVERIFY2(back.located, qPrintable(messages.texts().join(u'|') + u' ' + forward.easting));
    // The whole description in one comparison, so that a failure names the section and point.
    const QString point = u' ' + forward.easting + u' ' + forward.northing;
    QCOMPARE(
        described(back) + point,
        QStringList({entries.section, entries.township, entries.range, joined(calls)}).join(u' ') +
            point);

    // Placing a well by those footage calls and measuring it back gives the same calls.
    const WellLocation byFootage =
        locateByFootageCalls(theme, entries, back.fcX, back.fcY, messages);
    QVERIFY(byFootage.located);
    const ReverseLocation again =
        reverseLocate(theme, byFootage.easting, byFootage.northing, messages);
    if (!again.located) {
        // The calls are measured to the real boundary but placed from the corners: on a
        // section whose line bends by more than the call's footage the placed point lies
        // beyond the line.
        QVERIFY(messages.texts().last().contains(u" lies outside every section of "_s));
        ++g_footageOutside;
        return;
    }
    const double dx = std::fabs(again.fcX.mid(1).toDouble() - back.fcX.mid(1).toDouble());
    const double dy = std::fabs(again.fcY.mid(1).toDouble() - back.fcY.mid(1).toDouble());
    g_worstFeet = std::max({g_worstFeet, dx, dy});
    QCOMPARE(again.fcX.left(1) + again.fcY.left(1), back.fcX.left(1) + back.fcY.left(1));
    QVERIFY2(dx <= FootageToleranceFeet && dy <= FootageToleranceFeet,
             qPrintable(back.fcX + u' ' + back.fcY + u" -> "_s + again.fcX + u' ' + again.fcY));
}

} // namespace

class TestReverseLocation : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const fixtures::SectionGrid m_grid{.originX = 400000, .originY = 4400000};
    std::shared_ptr<VectorLayer> m_theme;

private Q_SLOTS:
    // A found location written in the BLM's order, as the reverse tab and the command line
    // give it.
    void legalDescriptions_data()
    {
        // section|township|range|fcX|fcY|quarters 160 40 10 2.5
        QTest::addColumn<QString>("found");
        QTest::addColumn<int>("meridian");
        QTest::addColumn<QString>("text");
        QTest::newRow("all four quarters, Salt Lake")
            << u"30|23S|19E|W2309.87|N2220.25|NE SE SW NW"_s << 26
            << u"NW1/4 SW1/4 SE1/4 NE1/4 sec. 30, T. 23 S., R. 19 E., Salt Lake Meridian; "
               u"2309.87 ft from the W line, 2220.25 ft from the N line"_s;
        QTest::newRow("two quarters, no meridian, stored with zeros")
            << u"036|153N|095W|||SW NE"_s << 0 << u"NE1/4 SW1/4 sec. 36, T. 153 N., R. 95 W."_s;
        QTest::newRow("numbers without directions, footage only")
            << u"1|12|34|E660|S1980|"_s << 99 // no such meridian: left out
            << u"sec. 1, T. 12, R. 34; 660 ft from the E line, 1980 ft from the S line"_s;
        QTest::newRow("half township")
            << u"6|15.5N|65W|||"_s << 6
            << u"sec. 6, T. 15.5 N., R. 65 W., Sixth Principal Meridian"_s;
    }
    void legalDescriptions()
    {
        QFETCH(QString, found);
        QFETCH(int, meridian);
        QFETCH(QString, text);
        const QStringList f = found.split(u'|');
        ReverseLocation r;
        std::tie(r.section, r.township, r.range, r.fcX, r.fcY) =
            std::tie(f[0], f[1], f[2], f[3], f[4]);
        const QStringList quarters = f[5].split(u' ', Qt::SkipEmptyParts);
        for (int i = 0; i < quarters.size(); ++i)
            r.quarters[std::size_t(i)] = quarters[i];
        QCOMPARE(legalDescription(r, meridian), text);
    }

    void initTestCase()
    {
        const QString path = m_dir.filePath(u"sections.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, m_grid), QString());
        m_theme = VectorLayer::open(path);
        QVERIFY(m_theme->isValid());
    }

    void pointsInQuads_data()
    {
        QTest::addColumn<QPointF>("p");
        QTest::addColumn<int>("expected");
        QTest::newRow("inside") << QPointF(5, 5) << 1;
        QTest::newRow("on an edge") << QPointF(0, 5) << 1;
        QTest::newRow("on a corner") << QPointF(10, 10) << 1;
        QTest::newRow("west of it") << QPointF(-3, 5) << -8;
        QTest::newRow("north-east") << QPointF(13, 14) << -12; // hypot(8, 9) = 12.04
        QTest::newRow("half way rounds to even") << QPointF(5, -7.5) << -12;
        QTest::newRow("far beyond 16 bits") << QPointF(1e6, 0) << -32768;
    }
    void pointsInQuads()
    {
        QFETCH(QPointF, p);
        QFETCH(int, expected);
        const CornerArray q = {MapPoint{0, 0}, MapPoint{0, 10}, MapPoint{10, 10}, MapPoint{10, 0}};
        QCOMPARE(int(pointInQuad({p.x(), p.y()}, q)), expected);
    }

    // A point in the NE quarter of the SW quarter of section 36 (the south-east section).
    void neOfSw()
    {
        const double x = m_grid.originX + 5 * Mile + 600, y = m_grid.originY + 600;
        RecordingMessageService messages;
        const ReverseLocation r =
            reverseLocate(*m_theme, formatNumber(x), formatNumber(y), messages);
        QVERIFY2(r.located, qPrintable(messages.texts().join(u'|')));
        const QString feet = formatNumber(roundTo(600 / SurveyFoot, 2));
        QCOMPARE(QStringList(
                     {r.section, r.township, r.range, r.quarters[0], r.quarters[1], r.fcX, r.fcY})
                     .join(u' '),
                 u"36 12N 34W SW NE W"_s + feet + u" S"_s + feet);
        QCOMPARE(r.lines.size(), 8); // two lines per level
        // Forward with the same four calls lands in the 2.5-acre parcel that holds the point.
        const WellLocation f = locateByQuarterCalls(
            *m_theme, {r.section, r.township, r.range, u""_s}, r.quarters, messages);
        QVERIFY(f.located && std::fabs(f.location.X - x) < 51 && std::fabs(f.location.Y - y) < 51);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("easting");
        QTest::addColumn<QString>("northing");
        QTest::addColumn<QString>("message");
        const QString range = u"The easting must be between 100000 and 999999.99 metres."_s;
        QTest::newRow("a centimetre short") << u"99999.99"_s << u"4400500"_s << range;
        QTest::newRow("a metre over") << u"1000000.99"_s << u"4400500"_s << range;
        QTest::newRow("negative") << u"-400000"_s << u"4400500"_s << range;
        QTest::newRow("99999.996 rounds to 100000 and is searched")
            << u" 99999.996"_s << u"4400500 "_s
            << u"The point 99999.996, 4400500 lies outside every section of sections.shp."_s;
        QTest::newRow("empty easting")
            << u""_s << u"4400500"_s << u"Enter the easting in metres in the Easting box."_s;
        QTest::newRow("northing not a number")
            << u"401000"_s << u"44OO500"_s
            << u"Enter the northing in metres in the Northing box."_s;
    }
    void refusals()
    {
        QFETCH(QString, easting);
        QFETCH(QString, northing);
        QFETCH(QString, message);
        RecordingMessageService messages;
        const ReverseLocation r = reverseLocate(*m_theme, easting, northing, messages);
        QVERIFY(!r.located);
        QCOMPARE(messages.texts(), QStringList{message});
    }

    // Layout 1 without base_side, and a table without PLSS fields (layout 2 is round-tripped in
    // roundTripsOnGeneratedSections).
    void otherFieldLayouts()
    {
        using F = fixtures::Field;
        const double w = 400000, s = 4400000, e = w + Mile, n = s + Mile; // one section
        const QList<QPointF> ring = {{w, s}, {w, n}, {e, n}, {e, s}, {w, s}};
        const QString bare = m_dir.filePath(u"bare.shp"_s);
        const QString unknown = m_dir.filePath(u"unknown.shp"_s);
        QCOMPARE(fixtures::writePolygons(bare,
                                         {{u"section"_s, F::Integer},
                                          {u"township"_s, F::Integer},
                                          {u"range"_s, F::Integer},
                                          {u"meridian_s"_s, F::Text}},
                                         {{{ring}, {7, 3, 12, u"E"_s}}}),
                 QString());
        QCOMPARE(fixtures::writePolygons(unknown, {{u"name"_s, F::Text}}, {{{ring}, {u"x"_s}}}),
                 QString());
        RecordingMessageService messages;
        const ReverseLocation r =
            reverseLocate(*VectorLayer::open(bare), u"400100"_s, u"4400100"_s, messages);
        QVERIFY(r.located);
        QCOMPARE(r.township + u' ' + r.range, u"3 12E"_s);
        messages.clear();
        QVERIFY(!reverseLocate(*VectorLayer::open(unknown), u"400100"_s, u"4400500"_s, messages)
                     .located);
        QCOMPARE(messages.texts(),
                 QStringList{u"Unable to create PLSS query.  Unknown PLSS fields."_s});
    }

    // Forward then reverse on sheared and stretched sections with extra vertices, and in a
    // layout 2 table (Sect/Twp/Tdir/Rng/Rdir).
    void roundTripsOnGeneratedSections_data()
    {
        QTest::addColumn<double>("skew");
        QTest::addColumn<double>("width");
        QTest::addColumn<fixtures::Layout>("layout");
        QTest::newRow("square") << 0.0 << Mile << fixtures::Layout::Layout1;
        QTest::newRow("skewed") << 0.05 << Mile << fixtures::Layout::Layout1;
        QTest::newRow("wide and skewed") << -0.03 << 1700.0 << fixtures::Layout::Layout1;
        QTest::newRow("layout 2") << 0.0 << Mile << fixtures::Layout::Layout2;
    }
    void roundTripsOnGeneratedSections()
    {
        QFETCH(double, skew);
        QFETCH(double, width);
        QFETCH(fixtures::Layout, layout);
        const fixtures::SectionGrid g{.layout = layout,
                                      .originX = m_grid.originX,
                                      .sectionWidth = width,
                                      .skew = skew,
                                      .extraVertices = 2};
        const QString path = m_dir.filePath(u"trip.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, g), QString());
        auto theme = VectorLayer::open(path);
        QRandomGenerator random(7);
        for (int section = 1; section <= 36; ++section)
            checkRoundTrip(*theme, {QString::number(section), u"12N"_s, u"34W"_s, u"6"_s},
                           randomCalls(random));
    }

    // Every real section is found from its own attributes, and a random 2.5-acre description
    // comes back unchanged.
    void roundTripsOnRealSections()
    {
        if (!QFile::exists(utahPath))
            QSKIP("shared Utah data not present");
        auto theme = VectorLayer::open(utahPath);
        QRandomGenerator random(11);
        RecordSet all = theme->records();
        int checked = 0, outside = 0;
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            bool skipped = false;
            const MapPolygon section = all.shape();
            checkRoundTrip(*theme, entriesOf(all), randomCalls(random), &section, &skipped);
            if (QTest::currentTestFailed())
                return;
            ++(skipped ? outside : checked);
        }
        qInfo("%d sections round-tripped, %d skipped as fractional; worst footage difference "
              "%.2f ft; %d footage placements beyond a bent line",
              checked, outside, g_worstFeet, g_footageOutside);
        QCOMPARE(checked + outside, 373);
        QVERIFY(checked >= 330);
    }

    // What the reverse tab writes reads back into the same fields.
    void writtenDescriptionsReadBack()
    {
        QRandomGenerator random(5);
        const auto either = [&](QChar a, QChar b) { return QString(random.bounded(2) ? a : b); };
        for (int i = 0; i < 200; ++i) {
            ReverseLocation r;
            r.section = QString::number(1 + random.bounded(36));
            r.township = QString::number(1 + random.bounded(160)) + either(u'N', u'S');
            r.range = QString::number(1 + random.bounded(100)) + either(u'E', u'W');
            for (int q = 0, levels = random.bounded(5); q < levels; ++q)
                r.quarters[std::size_t(q)] = quarterNames[random.bounded(4)];
            r.fcX = either(u'E', u'W') + QString::number(random.bounded(52800) / 10.0);
            r.fcY = either(u'N', u'S') + QString::number(random.bounded(52800) / 10.0);
            const int meridian = random.bounded(49);
            const QString text = legalDescription(r, meridian);
            QString error;
            const std::optional<DescriptionFields> d = readLegalDescription(text, &error);
            QVERIFY2(d, qPrintable(text + u": "_s + error));
            QCOMPARE(
                QStringList({d->section, d->township, d->range, joined(d->quarters), d->fcX, d->fcY,
                             d->meridian}),
                QStringList({r.section, r.township, r.range, joined(r.quarters),
                             r.fcX.mid(1) + r.fcX.left(1), r.fcY.mid(1) + r.fcY.left(1),
                             meridianByCode(meridian) ? QString::number(meridian) : QString()}));
        }
    }

    // The Utah sections as the BLM ships such data (geographic NAD83) in every format a user
    // may hold them in: reprojected on load into their zone, they give the forward and reverse
    // answers of the UTM shapefile, within 1 cm and with the same calls.
    void sameAnswersFromAnyFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("sql"); // the table in another schema
        QTest::newRow("File Geodatabase") << u"utah.gdb"_s << u"OpenFileGDB"_s << QString();
        QTest::newRow("GeoPackage") << u"utah.gpkg"_s << u"GPKG"_s << QString();
        QTest::newRow("zipped shapefile") << u"utah.shp.zip"_s << u"ESRI Shapefile"_s << QString();
        QTest::newRow("GeoJSON") << u"utah.geojson"_s << u"GeoJSON"_s << QString();
        QTest::newRow("BLM schema, File Geodatabase")
            << u"blm.gdb"_s << u"OpenFileGDB"_s
            << u"SELECT geometry, plssid AS PLSSID, CAST(section AS TEXT) AS FRSTDIVNO, "
               u"'SN' AS FRSTDIVTYP FROM utah_sections"_s;
    }
    void sameAnswersFromAnyFormat()
    {
        QFETCH(QString, name);
        QFETCH(QString, driver);
        QFETCH(QString, sql);
        if (!QFile::exists(utahPath))
            QSKIP("shared Utah data not present");
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QCOMPARE(fixtures::translateVector(utahPath, path, driver, 4269, {}, sql), QString());
        auto reference = VectorLayer::open(utahPath);
        auto theme = VectorLayer::open(path);
        QVERIFY2(theme->isValid(), qPrintable(theme->errorText()));
        QVERIFY(recognisePlssSectionTheme(*theme));
        QCOMPARE(theme->utmZone(), std::optional<int>(12)); // the zone of its centre
        QCOMPARE(theme->featureCount(), reference->featureCount());
        const auto apart = [](MapPoint a, MapPoint b) { return std::hypot(a.X - b.X, a.Y - b.Y); };
        // Two footage calls from the same line, within 0.011 ft of each other.
        const auto sameCall = [](const QString &a, const QString &b) {
            return a.left(1) == b.left(1) && std::fabs(parseNumber(a.mid(1)).value_or(-1) -
                                                       parseNumber(b.mid(1)).value_or(1)) <= 0.011;
        };
        RecordingMessageService messages;
        QRandomGenerator random(3);
        RecordSet all = reference->records();
        int compared = 0;
        for (all.moveFirst(); !all.atEnd(); all.moveNext()) {
            const SectionEntries entries = entriesOf(all);
            // The BLM's code keeps a half range (R. 17 1/2 E.) that the layout 1 table cut to
            // 17: that theme is asked as the BLM writes it.
            SectionEntries blm = entries;
            if (const auto id = decodePlssId(all.value(u"plssid"_s)->toString());
                id && !sql.isEmpty()) {
                blm.township = QString::number(id->township) + id->townshipDirection;
                blm.range = QString::number(id->range) + id->rangeDirection;
            }
            const bool sameWords = blm.township == entries.township && blm.range == entries.range;
            const std::array<QString, 4> calls = randomCalls(random);
            const WellLocation a = locateByQuarterCalls(*reference, entries, calls, messages);
            const WellLocation b = locateByQuarterCalls(*theme, blm, calls, messages);
            QVERIFY2(b.located == a.located,
                     qPrintable(entries.section + u' ' + entries.township + u' ' + entries.range +
                                u' ' + entries.meridian));
            if (!a.located)
                continue;
            QVERIFY(apart(a.location, b.location) < 0.01);
            const WellLocation fa =
                locateByFootageCalls(*reference, entries, u"660E"_s, u"1980S"_s, messages);
            const WellLocation fb =
                locateByFootageCalls(*theme, blm, u"660E"_s, u"1980S"_s, messages);
            QVERIFY(apart(fa.location, fb.location) < 0.01);
            const QString e = QString::number(a.location.X, 'f', 2);
            const QString n = QString::number(a.location.Y, 'f', 2);
            ReverseLocation ra = reverseLocate(*reference, e, n, messages);
            const ReverseLocation rb = reverseLocate(*theme, e, n, messages);
            QCOMPARE(rb.located, ra.located);
            if (!ra.located)
                continue;
            if (!sameWords) // the BLM's words for a half range
                std::tie(ra.township, ra.range) = std::tie(blm.township, blm.range);
            QCOMPARE(described(rb), described(ra));
            QVERIFY2(sameCall(ra.fcX, rb.fcX) && sameCall(ra.fcY, rb.fcY),
                     qPrintable(ra.fcX + u' ' + ra.fcY + u" / "_s + rb.fcX + u' ' + rb.fcY));
            ++compared;
        }
        QVERIFY(compared > 300);
    }

    // The point is searched at single precision in every build: 4293233.1 is searched as
    // 4293233.0 (single precision is 0.5 m apart there), so both give the same calls.
    void searchedAtSinglePrecision()
    {
        QCOMPARE(toSinglePrecision(4293233.1), 4293233.0);
        QCOMPARE(toSinglePrecision(598455.8), double(598455.8125f));
        if (!QFile::exists(utahPath))
            QSKIP("shared Utah data not present");
        auto theme = VectorLayer::open(utahPath);
        RecordingMessageService messages;
        const ReverseLocation typed =
            reverseLocate(*theme, u"598455.8"_s, u"4293233.1"_s, messages);
        const ReverseLocation narrowed =
            reverseLocate(*theme, u"598455.8125"_s, u"4293233"_s, messages);
        QVERIFY(typed.located && narrowed.located);
        QCOMPARE(QStringList({typed.fcX, typed.fcY, narrowed.fcX, narrowed.fcY}).join(u' '),
                 u"W2309.87 N2220.25 W2309.87 N2220.25"_s);
    }
};

QTEST_GUILESS_MAIN(TestReverseLocation)
#include "tst_reverse_location.moc"
