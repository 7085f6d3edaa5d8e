#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/coords/coordinate_entry.h"
#include "core/coords/gps_conversion.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCoordinateEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void latLongToUtm_data()
    {
        double e = 0, n405 = 0;
        QVERIFY(GeographicToUtm(40.5, -105, 13, e, n405));
        const QString north405 = formatNumber(roundTo(n405, 2));
        QTest::addColumn<QStringList>("boxes"); // lat, min, sec, lon, min, sec
        QTest::addColumn<QString>("easting");
        QTest::addColumn<QString>("northing");
        QTest::addColumn<QString>("zone");
        QTest::newRow("decimal degrees")
            << QStringList{u"40"_s, u""_s, u""_s, u"105"_s, u""_s, u""_s} << u"500000"_s
            << u"4427757.3"_s << u"13"_s;
        QTest::newRow("the sign of the longitude is ignored")
            << QStringList{u"40"_s, u""_s, u""_s, u"-105"_s, u""_s, u""_s} << u"500000"_s
            << u"4427757.3"_s << u"13"_s;
        QTest::newRow("fillers add nothing")
            << QStringList{u"40"_s, u"---"_s, u"---"_s, u"105"_s, u"---"_s, u"abc"_s} << u"500000"_s
            << u"4427757.3"_s << u"13"_s;
        QTest::newRow("minutes and seconds: 40 30 0 is 40.5")
            << QStringList{u"40"_s, u"30"_s, u"0"_s, u"105"_s, u"0"_s, u"0"_s} << u"500000"_s
            << north405 << u"13"_s;
        QTest::newRow("seconds alone")
            << QStringList{u"40"_s, u""_s, u"1800"_s, u"105"_s, u""_s, u""_s} << u"500000"_s
            << north405 << u"13"_s;
        QTest::newRow("a degree west of the central meridian")
            << QStringList{u"40"_s, u""_s, u""_s, u"106"_s, u""_s, u""_s} << u"414639.54"_s
            << u"4428236.14"_s << u"13"_s;
        QTest::newRow("the central meridian of zone 12")
            << QStringList{u"40"_s, u""_s, u""_s, u"111"_s, u""_s, u""_s} << u"500000"_s
            << u"4427757.3"_s << u"12"_s;
    }
    void latLongToUtm()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, easting);
        QFETCH(QString, northing);
        QFETCH(QString, zone);
        RecordingMessageService messages;
        const auto utm = ::latLongToUtm(
            {boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], boxes[5]}, zone, messages);
        QVERIFY(utm);
        QCOMPARE(utm->easting, easting);
        QCOMPARE(utm->northing, northing);
        QVERIFY(messages.messages().isEmpty());
    }

    void degreeBoxesMustHoldNumbers_data()
    {
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<QString>("box");
        QTest::newRow("empty latitude") << u""_s << u"105"_s << u"Latitude"_s;
        QTest::newRow("text longitude") << u"40"_s << u"abc"_s << u"Longitude"_s;
        QTest::newRow("no zone") << u"40"_s << u"105"_s << u"Zone"_s;
    }
    void degreeBoxesMustHoldNumbers()
    {
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(QString, box);
        RecordingMessageService messages;
        QVERIFY(!::latLongToUtm({lat, {}, {}, lon, {}, {}}, box == u"Zone"_s ? u"x"_s : u"13"_s,
                                messages));
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(messages.texts().first().contains(box + u" box"_s));
    }

    void utmToLatLong_data()
    {
        QTest::addColumn<QString>("easting");
        QTest::addColumn<QString>("northing");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("boxes"); // lat, min, sec, lon, min, sec
        QTest::addColumn<QString>("zone");
        QTest::newRow("decimal degrees")
            << u"414639.538"_s << u"4428236.142"_s << 0
            << QStringList{u"40.000001"_s, u"---"_s, u"---"_s, u"106"_s, u"---"_s, u"---"_s}
            << u"13"_s;
        QTest::newRow("empty boxes are 0, 0")
            << u""_s << u""_s << 0
            << QStringList{u"0"_s, u"---"_s, u"---"_s, u"109.488744"_s, u"---"_s, u"---"_s}
            << u"13"_s;
        QTest::newRow("decimal minutes")
            << u"414639.538"_s << u"4428236.142"_s << 1
            << QStringList{u"40"_s, u"4.2e-05"_s, u"---"_s, u"106"_s, u"1e-06"_s, u"---"_s}
            << u"13"_s;
        QTest::newRow("degrees minutes seconds")
            << u"414639.538"_s << u"4428236.142"_s << 2
            << QStringList{u"40"_s, u"0"_s, u"0"_s, u"106"_s, u"0"_s, u"0"_s} << u"13"_s;
        // The same figures in zone 12 lie six degrees further west.
        QTest::newRow("zone 12") << u"414639.538"_s << u"4428236.142"_s << 0
                                 << QStringList{u"40.000001"_s, u"---"_s, u"---"_s,
                                                u"112"_s,       u"---"_s, u"---"_s}
                                 << u"12"_s;
    }
    void utmToLatLong()
    {
        QFETCH(QString, easting);
        QFETCH(QString, northing);
        QFETCH(int, mode);
        QFETCH(QStringList, boxes);
        QFETCH(QString, zone);
        RecordingMessageService messages;
        const auto ll = ::utmToLatLong(easting, northing, zone, mode, messages);
        QVERIFY(ll);
        QCOMPARE((QStringList{ll->lat, ll->latMin, ll->latSec, ll->lon, ll->lonMin, ll->lonSec}),
                 boxes);
    }

    // Seconds are rounded to whole seconds without carrying into the minutes, so 60 can show.
    void secondsCanRead60()
    {
        RecordingMessageService messages;
        bool seen = false;
        for (int n = 4428000; n < 4432000 && !seen; ++n) {
            const auto ll = ::utmToLatLong(u"500000"_s, QString::number(n), u"13"_s, 2, messages);
            QVERIFY(ll);
            seen = ll->latSec == u"60"_s;
        }
        QVERIFY(seen);
    }

    void utmBoxesMustHoldNumbers()
    {
        RecordingMessageService messages;
        QVERIFY(!::utmToLatLong(u"5OOOOO"_s, u"4400000"_s, u"13"_s, 0, messages));
        QCOMPARE(messages.texts(),
                 QStringList{u"Enter the easting in metres in the Easting box."_s});
    }

    void zones_data()
    {
        QTest::addColumn<QString>("easting");
        QTest::addColumn<QString>("northing");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("outEasting");
        QTest::addColumn<QString>("outNorthing");
        QTest::newRow("12 to 13") << u"756100"_s << u"4432069"_s << u"12"_s << u"13"_s << QString()
                                  << u"243900.66"_s << u"4432069.05"_s;
        QTest::newRow("a typed zone 11")
            << u"500000"_s << u"4432069"_s << u"11"_s << u"12"_s << QString() << u"-7"_s << u"-7"_s;
        QTest::newRow("decimals are refused")
            << u"756100.5"_s << u"4432069"_s << u"12"_s << u"13"_s
            << u"Easting does not have 6 characters"_s << QString() << QString();
        QTest::newRow("five digits are refused")
            << u"75610"_s << u"4432069"_s << u"12"_s << u"13"_s
            << u"Easting does not have 6 characters"_s << QString() << QString();
        QTest::newRow("zone text not a number")
            << u"756100"_s << u"4432069"_s << u"twelve"_s << u"13"_s
            << u"Enter a zone number in the Starting Zone box."_s << QString() << QString();
        QTest::newRow("zone beyond 16 bits")
            << u"756100"_s << u"4432069"_s << u"12"_s << u"70000"_s
            << u"Enter a zone number in the Ending Zone box."_s << QString() << QString();
        QTest::newRow("zone whose meridian overflows")
            << u"756100"_s << u"4432069"_s << u"12"_s << u"6000"_s << conversionFailedMessage()
            << QString() << QString();
    }
    void zones()
    {
        QFETCH(QString, easting);
        QFETCH(QString, northing);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QFETCH(QString, outEasting);
        QFETCH(QString, outNorthing);
        RecordingMessageService messages;
        const auto out = convertZone(easting, northing, from, to, messages);
        if (!message.isEmpty()) {
            QVERIFY(!out);
            QCOMPARE(messages.texts(), QStringList{message});
            return;
        }
        QVERIFY(out);
        if (outEasting != u"-7"_s) {
            QCOMPARE(out->easting, outEasting);
            QCOMPARE(out->northing, outNorthing);
        } else {
            // Zone 11's central meridian is 117 W: six degrees west of zone 12's.
            QVERIFY(out->easting.toDouble() < 100000);
        }
    }
};

QTEST_GUILESS_MAIN(TestCoordinateEntry)
#include "tst_coordinate_entry.moc"
