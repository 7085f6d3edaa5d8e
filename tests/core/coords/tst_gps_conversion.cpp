#include "core/coords/gps_conversion.h"
#include "tests/fixtures/fixtures.h"

#include <QTest>

#include <proj.h>

#include <cmath>

// Largest differences from PROJ's exact transverse Mercator measured over zones 12 and 13,
// latitudes 31 to 49, each zone +-3 degrees about its central meridian (bench/README.md).
// The bounds leave a little room over what was measured.
constexpr double ForwardBoundMetres = 0.100;
constexpr double InverseBoundDegrees = 1e-8;

class TestGpsConversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The central meridian comes out exact; east of it means fewer degrees west.
    void centralMeridianIsExact_data() { agreesWithProj_data(); }
    void centralMeridianIsExact()
    {
        QFETCH(int, zone);
        const double degreesWest = 183.0 - 6.0 * zone;
        double lat = 0, lon = 0;
        QVERIFY(utmToGeographic(500000.0, 4400000.0, qint16(zone), lat, lon));
        QCOMPARE(lon, degreesWest);
        QVERIFY(utmToGeographic(560000.0, 4400000.0, qint16(zone), lat, lon));
        QVERIFY(lon < degreesWest);
    }

    void failuresLeaveOutputs_data()
    {
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<int>("zone");
        QTest::newRow("zone overflows 16 bits") << 40.0 << -105.0 << 6000;
        QTest::newRow("not a number") << std::nan("") << -105.0 << 13;
        QTest::newRow("infinite") << 40.0 << HUGE_VAL << 13;
    }
    void failuresLeaveOutputs()
    {
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(int, zone);
        double x = 1.5, y = 2.5;
        QVERIFY(!geographicToUtm(a, b, qint16(zone), x, y));
        QVERIFY(!utmToGeographic(a, b * 1000, qint16(zone), x, y));
        QCOMPARE(x, 1.5);
        QCOMPARE(y, 2.5);
    }

    // AVX code elsewhere that leaves the vector registers' upper halves in use slows every SSE
    // instruction of the series on Intel cores; the conversion clears that state first.
    void conversionClearsUpperVectorState()
    {
        fixtures::dirtyUpperVectorState();
        const std::optional<bool> dirty = fixtures::upperVectorStateDirty();
        if (!dirty)
            QSKIP("this processor cannot say whether the upper vector state is in use");
        QVERIFY(*dirty);
        double e = 0, n = 0;
        QVERIFY(geographicToUtm(40.0, -105.0, 13, e, n));
        QVERIFY(!*fixtures::upperVectorStateDirty());
        fixtures::dirtyUpperVectorState();
        double lat = 0, lon = 0;
        QVERIFY(utmToGeographic(e, n, 13, lat, lon));
        QVERIFY(!*fixtures::upperVectorStateDirty());
    }

    void roundTripIsWithinCentimetres()
    {
        double e = 0, n = 0, lat = 0, lon = 0;
        QVERIFY(geographicToUtm(44.25, -103.4, 13, e, n));
        QVERIFY(utmToGeographic(e, n, 13, lat, lon));
        double e2 = 0, n2 = 0;
        QVERIFY(geographicToUtm(lat, -lon, 13, e2, n2));
        const double moved = std::hypot(e2 - e, n2 - n);
        QVERIFY2(moved < 0.10, qPrintable(QString::number(moved)));
    }

    // PROJ's transverse Mercator is the independent check of both series.
    void agreesWithProj_data()
    {
        QTest::addColumn<int>("zone");
        QTest::newRow("zone 12") << 12;
        QTest::newRow("zone 13") << 13;
    }
    void agreesWithProj()
    {
        QFETCH(int, zone);
        PJ_CONTEXT *ctx = proj_context_create();
        const QByteArray target = "EPSG:269" + QByteArray::number(zone);
        PJ *raw = proj_create_crs_to_crs(ctx, "EPSG:4269", target.constData(), nullptr);
        QVERIFY(raw);
        PJ *pj = proj_normalize_for_visualization(ctx, raw); // lon, lat order
        proj_destroy(raw);
        QVERIFY(pj);
        const double cm = 6.0 * zone - 183.0;
        double worstForward = 0, worstInverse = 0;
        for (double lat = 31.0; lat <= 49.0; lat += 0.5) {
            for (double dlon = -3.0; dlon <= 3.0; dlon += 0.25) {
                const double lon = cm + dlon;
                double e = 0, n = 0;
                QVERIFY(geographicToUtm(lat, lon, qint16(zone), e, n));
                const PJ_COORD exact = proj_trans(pj, PJ_FWD, proj_coord(lon, lat, 0, 0));
                worstForward = std::max(worstForward, std::hypot(e - exact.xy.x, n - exact.xy.y));
                double backLat = 0, backLonWest = 0;
                QVERIFY(
                    utmToGeographic(exact.xy.x, exact.xy.y, qint16(zone), backLat, backLonWest));
                worstInverse = std::max(
                    {worstInverse, std::fabs(backLat - lat), std::fabs(-backLonWest - lon)});
            }
        }
        proj_destroy(pj);
        proj_context_destroy(ctx);
        qInfo("zone %d: forward %.4f m, inverse %.2e degrees", zone, worstForward, worstInverse);
        QVERIFY2(worstForward < ForwardBoundMetres, qPrintable(QString::number(worstForward)));
        QVERIFY2(worstInverse < InverseBoundDegrees, qPrintable(QString::number(worstInverse)));
    }
};

QTEST_GUILESS_MAIN(TestGpsConversion)
#include "tst_gps_conversion.moc"
