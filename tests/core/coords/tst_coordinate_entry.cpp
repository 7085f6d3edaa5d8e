#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/coords/coordinate_entry.h"
#include "core/coords/gps_conversion.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A row's outcome: the figures the input comes to, or, when it is refused, the one message it
// gives. Figures begin with a digit, messages with a word.
bool isMessage(const QString &outcome)
{
    return !outcome.isEmpty() && !outcome.front().isDigit();
}

} // namespace

class TestCoordinateEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The six boxes (latitude, minutes, seconds, longitude, minutes, seconds) split at '|';
    // the outcome "easting northing".
    void latLongToUtm_data()
    {
        double e = 0, n405 = 0;
        QVERIFY(geographicToUtm(40.5, -105, 13, e, n405));
        const QString at405 = u"500000 "_s + formatNumber(roundTo(n405, 2));
        const QString at40 = u"500000 4427757.3"_s;
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("decimal degrees") << u"40|||105||"_s << u"13"_s << at40;
        QTest::newRow("longitude sign ignored") << u"40|||-105||"_s << u"13"_s << at40;
        QTest::newRow("fillers add nothing") << u"40|---|---|105|---|abc"_s << u"13"_s << at40;
        QTest::newRow("40 30 0 is 40.5") << u"40|30|0|105|0|0"_s << u"13"_s << at405;
        QTest::newRow("seconds alone") << u"40||1800|105||"_s << u"13"_s << at405;
        QTest::newRow("a degree west") << u"40|||106||"_s << u"13"_s << u"414639.54 4428236.14"_s;
        QTest::newRow("zone 12 meridian") << u"40|||111||"_s << u"12"_s << at40;
        QTest::newRow("east in zone 12")
            << u"38.5|||108.25||"_s << u"12"_s << u"739815.09 4264877.71"_s;
    }
    void latLongToUtm()
    {
        QFETCH(QString, boxes);
        QFETCH(QString, zone);
        QFETCH(QString, outcome);
        const QStringList b = boxes.split(u'|');
        RecordingMessageService messages;
        const auto utm = ::latLongToUtm({b[0], b[1], b[2], b[3], b[4], b[5]}, zone, messages);
        if (isMessage(outcome)) {
            QVERIFY(!utm);
            QCOMPARE(messages.texts(), QStringList{outcome});
            return;
        }
        QVERIFY(utm);
        QCOMPARE(QString(utm->easting + u' ' + utm->northing), outcome);
        QVERIFY(messages.messages().isEmpty());
    }

    // Refused: one message naming the box. The rows run through latLongToUtm.
    void degreeBoxesMustHoldNumbers_data()
    {
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("empty latitude")
            << u"|||105||"_s << u"13"_s << u"Enter the degrees of latitude in the Latitude box."_s;
        QTest::newRow("text longitude")
            << u"40|||abc||"_s << u"13"_s
            << u"Enter the degrees of longitude in the Longitude box."_s;
        QTest::newRow("no zone") << u"40|||105||"_s << u"x"_s
                                 << u"Enter a zone number in the Zone box."_s;
    }
    void degreeBoxesMustHoldNumbers() { latLongToUtm(); }

    // The outcome: the six boxes joined with '|'.
    void utmToLatLong_data()
    {
        const QString e = u"414639.538"_s, n = u"4428236.142"_s;
        QTest::addColumn<QString>("easting");
        QTest::addColumn<QString>("northing");
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("decimal degrees") << e << n << 13 << 0 << u"40.000001|---|---|106|---|---"_s;
        QTest::newRow("empty boxes are 0, 0")
            << u""_s << u""_s << 13 << 0 << u"0|---|---|109.488744|---|---"_s;
        QTest::newRow("decimal minutes") << e << n << 13 << 1 << u"40|0|---|106|0|---"_s;
        QTest::newRow("degrees minutes seconds") << e << n << 13 << 2 << u"40|0|0|106|0|0"_s;
        // gdaltransform -s_srs EPSG:4269 -t_srs EPSG:26913 of 105d12'34.56"W 40d30'41.61"N
        // gives 482242.825900314 4484558.80505735: whole seconds would write 42 and 35.
        QTest::newRow("hundredths of seconds")
            << u"482242.8259"_s << u"4484558.805057"_s << 13 << 2 << u"40|30|41.61|105|12|34.56"_s;
        // The same of 105d0'59.998"W 40d30'59.998"N: rounding up carries, so 60 never shows.
        const QString e60 = u"498588.1657"_s, n60 = u"4485104.8034"_s;
        QTest::newRow("seconds carry") << e60 << n60 << 13 << 2 << u"40|31|0|105|1|0"_s;
        QTest::newRow("minutes carry") << e60 << n60 << 13 << 1 << u"40|31|---|105|1|---"_s;
        // The same figures in zone 12 lie six degrees further west.
        QTest::newRow("zone 12") << e << n << 12 << 0 << u"40.000001|---|---|112|---|---"_s;
    }
    void utmToLatLong()
    {
        QFETCH(QString, easting);
        QFETCH(QString, northing);
        QFETCH(int, zone);
        QFETCH(int, mode);
        QFETCH(QString, outcome);
        RecordingMessageService messages;
        const auto ll = ::utmToLatLong(easting, northing, QString::number(zone), mode, messages);
        QVERIFY(ll);
        QCOMPARE(QStringList({ll->lat, ll->latMin, ll->latSec, ll->lon, ll->lonMin, ll->lonSec})
                     .join(u'|'),
                 outcome);
    }

    void utmBoxesMustHoldNumbers()
    {
        RecordingMessageService messages;
        QVERIFY(!::utmToLatLong(u"5OOOOO"_s, u"4400000"_s, u"13"_s, 0, messages));
        QCOMPARE(messages.texts(),
                 QStringList{u"Enter the easting in metres in the Easting box."_s});
    }

    // The six boxes typed, converted to UTM in zone 13 and back in a mode: what they then read.
    // Every box takes decimals.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("decimal minutes")
            << u"40|30.6935||105|12.576|"_s << 1 << u"40|30.6935|---|105|12.576|---"_s;
        QTest::newRow("decimals in every box")
            << u"40.5|0.5|11.61|105.2|0.5|4.56"_s << 2 << u"40|30|41.61|105|12|34.56"_s;
    }
    void roundTrip()
    {
        QFETCH(QString, boxes);
        QFETCH(int, mode);
        QFETCH(QString, outcome);
        const QStringList b = boxes.split(u'|');
        RecordingMessageService messages;
        const auto utm = ::latLongToUtm({b[0], b[1], b[2], b[3], b[4], b[5]}, u"13"_s, messages);
        QVERIFY(utm);
        const auto ll = ::utmToLatLong(utm->easting, utm->northing, u"13"_s, mode, messages);
        QVERIFY(ll);
        QCOMPARE(QStringList({ll->lat, ll->latMin, ll->latSec, ll->lon, ll->lonMin, ll->lonSec})
                     .join(u'|'),
                 outcome);
    }

    // At northing 4432069; the outcome "easting northing".
    void zones_data()
    {
        QTest::addColumn<QString>("easting");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("12 to 13") << u"756100"_s << u"12"_s << u"13"_s << u"243900.66 4432069.05"_s;
        // Zone 11's central meridian is 117 W: six degrees west of zone 12's.
        QTest::newRow("a typed zone 11") << u"500000"_s << u"11"_s << u"12"_s << u"west"_s;
        QTest::newRow("decimals") << u"756100.5"_s << u"12"_s << u"13"_s
                                  << u"243901.16 4432069.02"_s;
        const QString range = u"The easting must be between 100000 and 999999.99 metres."_s;
        QTest::newRow("five digits are refused") << u"75610"_s << u"12"_s << u"13"_s << range;
        QTest::newRow("a million is refused") << u"1000000"_s << u"12"_s << u"13"_s << range;
        QTest::newRow("easting not a number")
            << u"75610O"_s << u"12"_s << u"13"_s
            << u"Enter the easting in metres in the Easting box."_s;
        QTest::newRow("zone text not a number")
            << u"756100"_s << u"twelve"_s << u"13"_s
            << u"Enter a zone number in the Starting Zone box."_s;
        QTest::newRow("zone beyond 16 bits") << u"756100"_s << u"12"_s << u"70000"_s
                                             << u"Enter a zone number in the Ending Zone box."_s;
        QTest::newRow("zone whose meridian overflows")
            << u"756100"_s << u"12"_s << u"6000"_s << conversionFailedMessage();
    }
    void zones()
    {
        QFETCH(QString, easting);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, outcome);
        RecordingMessageService messages;
        const auto out = convertZone(easting, u"4432069"_s, from, to, messages);
        if (outcome == u"west"_s) {
            QVERIFY(out && out->easting.toDouble() < 100000);
        } else if (isMessage(outcome)) {
            QVERIFY(!out);
            QCOMPARE(messages.texts(), QStringList{outcome});
        } else {
            QVERIFY(out);
            QCOMPARE(QString(out->easting + u' ' + out->northing), outcome);
        }
    }

    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 414640.0 << u"414640"_s;
        QTest::newRow("half") << 512345.5 << u"512345.5"_s;
        QTest::newRow("fifteen digits") << 4427757.29612345678 << u"4427757.29612346"_s;
        QTest::newRow("negative zero") << -0.0 << u"0"_s;
        QTest::newRow("small") << 0.000125 << u"0.000125"_s;
    }
    void format()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatNumber(value), text);
    }

    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("places");
        QTest::addColumn<double>("expected");
        // Halves go to even on the decimal form, not on the binary value.
        QTest::newRow("2.675") << 2.675 << 2 << 2.68;
        QTest::newRow("2.665") << 2.665 << 2 << 2.66;
        QTest::newRow("1.005") << 1.005 << 2 << 1.0;
        QTest::newRow("1.5 to even") << 1.5 << 0 << 2.0;
        QTest::newRow("2.5 to even") << 2.5 << 0 << 2.0;
        QTest::newRow("carry") << 9.995 << 2 << 10.0;
        QTest::newRow("carry past 9s") << 99.9999 << 3 << 100.0;
        QTest::newRow("negative") << -414639.535 << 2 << -414639.54;
        QTest::newRow("easting") << 414639.5378 << 2 << 414639.54;
        QTest::newRow("below half a unit") << 0.004 << 2 << 0.0;
        QTest::newRow("already short") << 12.25 << 4 << 12.25;
        QTest::newRow("six places") << 40.0000014 << 6 << 40.000001;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(int, places);
        QFETCH(double, expected);
        QCOMPARE(roundTo(value, places), expected);
    }

    void parsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << u"12"_s << true << 12.0;
        QTest::newRow("blanks") << u" 7.5 "_s << true << 7.5;
        QTest::newRow("empty") << u""_s << false << 0.0;
        QTest::newRow("letter O for zero") << u"66O0"_s << false << 0.0;
        QTest::newRow("infinity") << u"inf"_s << false << 0.0;
    }
    void parsing()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        const auto parsed = parseNumber(text);
        QCOMPARE(parsed.has_value(), ok);
        if (ok)
            QCOMPARE(*parsed, value);
    }

    void int16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expected");
        QTest::newRow("7.5 to 8") << 7.5 << true << 8;
        QTest::newRow("8.5 to 8") << 8.5 << true << 8;
        QTest::newRow("max") << 32767.0 << true << 32767;
        QTest::newRow("min") << -32768.0 << true << -32768;
        QTest::newRow("32767.5 rounds out") << 32767.5 << false << 0;
        QTest::newRow("too big") << 40000.0 << false << 0;
        QTest::newRow("nan") << std::nan("") << false << 0;
    }
    void int16()
    {
        QFETCH(double, value);
        QFETCH(bool, ok);
        QFETCH(int, expected);
        const auto r = toInt16(value);
        QCOMPARE(r.has_value(), ok);
        if (ok)
            QCOMPARE(int(*r), expected);
    }
};

QTEST_GUILESS_MAIN(TestCoordinateEntry)
#include "tst_coordinate_entry.moc"
