#include "core/common/number_text.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
