#include "core/engine/image_layer.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gdal_priv.h>

using namespace Qt::StringLiterals;

namespace {

// Four coloured quadrants, 40 x 20 pixels.
QImage quadrants()
{
    QImage img(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            img.setPixel(x, y,
                         x < 20 ? (y < 10 ? qRgb(255, 0, 0) : qRgb(0, 0, 255))
                                : (y < 10 ? qRgb(0, 255, 0) : qRgb(255, 255, 0)));
    return img;
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class TestImageLayer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // GeoTIFF tags and a world file both place the image; lossy JPEG gets some tolerance. A
    // decimated read of a file with overviews may come from them.
    void georeferencedImages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tolerance");
        QTest::addColumn<bool>("overviews");
        QTest::newRow("GeoTIFF") << u"quad.tif"_s << 0 << false;
        QTest::newRow("GeoTIFF with overviews") << u"over.tif"_s << 0 << true;
        QTest::newRow("JPEG with world file") << u"quad.jpg"_s << 60 << false;
        QTest::newRow("BMP with world file") << u"quad.bmp"_s << 0 << false;
    }
    void georeferencedImages()
    {
        QFETCH(QString, name);
        QFETCH(int, tolerance);
        QFETCH(bool, overviews);
        const QString path = m_dir.filePath(name);
        QCOMPARE(fixtures::writeGeoImage(path, quadrants(), 500000, 4400000, 10), QString());
        if (overviews) {
            GDALDatasetUniquePtr ds(GDALDataset::Open(path.toUtf8().constData(), GDAL_OF_UPDATE));
            int levels[] = {2, 4};
            QVERIFY(ds && ds->BuildOverviews("NEAREST", 2, levels, 0, nullptr, nullptr, nullptr) ==
                              CE_None);
        }
        auto layer = ImageLayer::open(path);
        QVERIFY2(layer->Valid(), qPrintable(layer->errorText()));
        QCOMPARE(layer->extent(), MapRect(500000, 500400, 4400000, 4399800));
        // The whole image at its own size, then the north-east quarter alone, a fifth as large.
        const QImage whole = layer->readWindow(layer->extent(), QSize(40, 20));
        QVERIFY(near(whole.pixel(5, 5), qRgb(255, 0, 0), tolerance));
        QVERIFY(near(whole.pixel(35, 15), qRgb(255, 255, 0), tolerance));
        const QImage ne = layer->readWindow(MapRect(500200, 500400, 4400000, 4399900), QSize(4, 2));
        QCOMPARE(ne.size(), QSize(4, 2));
        for (int x = 0; x < 4; ++x)
            QVERIFY(near(ne.pixel(x, 0), qRgb(0, 255, 0), tolerance));
        QVERIFY(layer->readWindow(MapRect(0, 10, 10, 0), QSize(4, 4)).isNull()); // misses
    }

    void refusedImages_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no georeferencing") << u"plain"_s;
        QTest::newRow("truncated GeoTIFF") << u"truncated"_s;
        QTest::newRow("missing") << u"missing"_s;
    }
    void refusedImages()
    {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind + u".tif"_s);
        if (kind == u"plain"_s) {
            QVERIFY(quadrants().save(m_dir.filePath(u"plain.png"_s)));
            QFile::rename(m_dir.filePath(u"plain.png"_s), path);
        } else if (kind == u"truncated"_s) {
            QImage noise(300, 300, QImage::Format_RGB32);
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 300; ++x)
                    noise.setPixel(x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256));
            QCOMPARE(fixtures::writeGeoImage(path, noise, 0, 300, 1), QString());
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(f.size() / 2));
        }
        auto layer = ImageLayer::open(path);
        QVERIFY(!layer->Valid());
        QVERIFY(!layer->errorText().isEmpty());
    }
};

QTEST_MAIN(TestImageLayer)
#include "tst_image_layer.moc"
