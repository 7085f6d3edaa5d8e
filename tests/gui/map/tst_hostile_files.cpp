#include "core/common/message_service.h"
#include "core/document/project_file.h"
#include "core/engine/image_layer.h"
#include "core/engine/map_renderer.h"
#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "core/plss/well_location.h"
#include "gui/legend/legend.h"
#include "gui/legend/legend_row.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gdal_priv.h>

#include <cmath>

using namespace Qt::StringLiterals;

// Files as they come from anywhere: broken, lying, empty or absurd. Each must give a message or a
// sound result, and drawing what did load must not fail.
class TestHostileFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_good; // a one-township section theme
    const QList<fixtures::Field> m_sectionFields = {{u"section"_s, fixtures::Field::Integer},
                                                    {u"township"_s, fixtures::Field::Integer},
                                                    {u"range"_s, fixtures::Field::Integer}};

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // A copy of the good theme under `name`, for spoiling one of its files.
    QString copyOfGood(const QString &name)
    {
        const QString base = m_dir.filePath(name);
        for (const QString &ext : {u".shp"_s, u".shx"_s, u".dbf"_s, u".prj"_s}) {
            QFile::remove(base + ext);
            QFile::copy(m_good.chopped(4) + ext, base + ext);
        }
        return base + u".shp"_s;
    }
    static void drawTwice(const std::shared_ptr<MapLayer> &layer)
    {
        QImage image(200, 150, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        MapRect extent = layer->extent();
        renderMap(painter, MapViewport(extent, image.size()), {layer});
        extent.scaleRectangle(0.05);
        renderMap(painter, MapViewport(extent, image.size()), {layer});
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_good = m_dir.filePath(u"good.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(m_good, {}), QString());
    }

    // Shapefiles spoilt in one of their three files: refused with a reason, or read whole and
    // usable.
    void spoiltShapefiles_data()
    {
        QTest::addColumn<QString>("ext");
        QTest::addColumn<int>("action"); // 0 empty, 1 half, 2 record count lies, 3 huge size
        QTest::addColumn<bool>("mayLoad");
        for (const QString &ext : {u".shp"_s, u".shx"_s, u".dbf"_s}) {
            QTest::addRow("empty %s", qPrintable(ext)) << ext << 0 << (ext == u".shx"_s);
            QTest::addRow("half %s", qPrintable(ext)) << ext << 1 << true;
        }
        QTest::newRow(".dbf count lies") << u".dbf"_s << 2 << true;
        QTest::newRow(".shp says 2 GB") << u".shp"_s << 3 << true;
        QTest::newRow(".shx says 2 GB") << u".shx"_s << 3 << true;
    }
    void spoiltShapefiles()
    {
        QFETCH(QString, ext);
        QFETCH(int, action);
        QFETCH(bool, mayLoad);
        const QString path = copyOfGood(
            QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_').remove(u'.'));
        const QString file = path.chopped(4) + ext;
        QByteArray bytes = read(file);
        if (action < 2) // none or half left
            bytes.truncate(action * bytes.size() / 2);
        else if (action == 2)
            bytes.replace(4, 4, QByteArray("\xFF\xFF\xFF\x0F", 4)); // record count, little-endian
        else
            bytes.replace(24, 4, QByteArray("\x40\0\0\0", 4)); // length in 16-bit words: 2 GB
        write(file, bytes);
        const auto layer = VectorLayer::open(path);
        QVERIFY2(layer->isValid() ? mayLoad : !layer->errorText().isEmpty(),
                 "refused without a reason, or a file that cannot be read whole was taken");
        if (!layer->isValid())
            return;
        QVERIFY(layer->featureCount() <= 36);
        drawTwice(layer);
        RecordingMessageService messages;
        if (isPlssSectionTheme(*layer))
            (void)locateByQuarterCalls(*layer, {u"1"_s, u"12N"_s, u"34W"_s, u"6"_s},
                                       {u"NE"_s, u"--"_s, u"--"_s, u"--"_s}, messages);
    }

    // Points and lines with section fields are no section theme; odd polygons load and draw.
    void shapesThatAreNoSections()
    {
        for (const auto kind : {fixtures::ShapeKind::Points, fixtures::ShapeKind::Lines}) {
            // A point at (1, 1), or a line from there.
            const QString path = m_dir.filePath(u"shapes%1.shp"_s.arg(int(kind)));
            QCOMPARE(fixtures::writeShapes(path, kind, m_sectionFields,
                                           {{{{{1, 1}, {10, 10}}}, {1, 12, 34}}}),
                     QString());
            const auto layer = VectorLayer::open(path);
            QVERIFY(layer->isValid() && !isPlssSectionTheme(*layer));
        }
    }

    void oddPolygons_data()
    {
        QTest::addColumn<QList<QList<QPointF>>>("rings");
        // OGR will not write NaN: the marker value is replaced in the file's bytes.
        const double nan = 123456.25;
        QTest::newRow("no rings") << QList<QList<QPointF>>{};
        QTest::newRow("one vertex") << QList<QList<QPointF>>{{{5, 5}}};
        QTest::newRow("NaN vertices") << QList<QList<QPointF>>{{{nan, 0}, {1, nan}, {nan, nan}}};
        QTest::newRow("huge values")
            << QList<QList<QPointF>>{{{-1e300, -1e300}, {1e300, -1e300}, {0, 1e300}}};
    }
    void oddPolygons()
    {
        QFETCH(QList<QList<QPointF>>, rings);
        const QString path = m_dir.filePath(u"odd.shp"_s);
        QCOMPARE(fixtures::writePolygons(
                     path, m_sectionFields,
                     {{rings, {1, 12, 34}}, {{{{0, 0}, {0, 10}, {10, 10}}}, {2, 12, 34}}}),
                 QString());
        const double marker = 123456.25, notANumber = std::nan("");
        write(path, read(path).replace(QByteArray(reinterpret_cast<const char *>(&marker), 8),
                                       QByteArray(reinterpret_cast<const char *>(&notANumber), 8)));
        const auto layer = VectorLayer::open(path);
        if (!layer->isValid())
            return; // refused, with a reason
        drawTwice(layer);
        (void)layer->searchShape({5, 5});
        (void)layer->searchByDistance({5, 5}, 100);
        RecordingMessageService messages;
        const WellLocation w = locateByQuarterCalls(*layer, {u"1"_s, u"12N"_s, u"34W"_s, u""_s},
                                                    {u"NE"_s, u"--"_s, u"--"_s, u"--"_s}, messages);
        QVERIFY(w.located ? std::isfinite(w.location.X) && std::isfinite(w.location.Y)
                          : !messages.texts().isEmpty());
    }

    // Images: absurd sizes, no georeferencing, not an image at all.
    void oddImages()
    {
        GDALAllRegister();
        const QString huge = m_dir.filePath(u"huge.tif"_s);
        {
            const char *const options[] = {"SPARSE_OK=TRUE", "TILED=YES", nullptr};
            GDALDataset *ds = GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
                huge.toUtf8().constData(), 200000, 200000, 3, GDT_Byte, options);
            QVERIFY(ds);
            double transform[6] = {500000, 0.05, 0, 4410000, 0, -0.05};
            ds->SetGeoTransform(transform);
            GDALClose(ds);
        }
        const auto big = ImageLayer::open(huge);
        QVERIFY(big->isValid());
        drawTwice(big);

        const QString bare = m_dir.filePath(u"bare.png"_s);
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(bare));
        const auto unplaced = ImageLayer::open(bare);
        if (unplaced->isValid())
            drawTwice(unplaced);

        const QString notImage = m_dir.filePath(u"notes.tif"_s);
        write(notImage, "II*\0 this is not a TIFF");
        QVERIFY(!ImageLayer::open(notImage)->isValid());
        write(notImage, QByteArray());
        QVERIFY(!ImageLayer::open(notImage)->isValid());
    }

    // Project files: absurd counts, NUL bytes, a huge line, the old code page.
    void oddProjects_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("themes");
        QTest::addColumn<QString>("error");
        const QByteArray block = "Title = g\r\nPath = good.shp\r\nIsActive = True\r\nIsVisible = "
                                 "True\r\nIsMap = 0\r\n";
        QTest::newRow("30,000 declared, 2 there")
            << QByteArray("Number of themes = 30000\r\n" + block + block) << 2
            << u"Error looking for line 'Title ='; the file ends there."_s;
        QByteArray withNul("Number of themes = 1\r\nTitle = a");
        withNul.append('\0');
        withNul.append("b\r\n" + block.mid(block.indexOf("Path")));
        QTest::newRow("NUL bytes") << withNul << 1 << QString();
        QTest::newRow("10 MB line")
            << QByteArray("Number of themes = 1\r\nTitle = " + QByteArray(10 << 20, 'x') + "\r\n")
            << 0 << u"Error looking for line 'Path ='; the file ends there."_s;
        QTest::newRow("Windows-1252")
            << QByteArray("Number of themes = 1\r\nTitle = Ca\xf1on Caf\xe9\r\n" +
                          block.mid(block.indexOf("Path")))
            << 1 << QString();
    }
    void oddProjects()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, themes);
        QFETCH(QString, error);
        ParsedProject project = readProject(bytes);
        for (ProjectBlock &b : project.themes)
            b.path = m_dir.filePath(b.path);
        ThemeList themeList;
        Map map;
        map.setThemes(&themeList);
        Legend legend;
        RecordingMessageService messages;
        legend.setThemes(&themeList);
        legend.setMessageService(&messages);
        legend.loadProject(project);
        QCOMPARE(legend.rows().size(), themes);
        QCOMPARE(messages.texts(), error.isEmpty() ? QStringList() : QStringList{error});
        if (QByteArray(QTest::currentDataTag()) == "Windows-1252")
            QCOMPARE(legend.rows().first()->title(), u"Cañon Café"_s);
    }
};

QTEST_MAIN(TestHostileFiles)
#include "tst_hostile_files.moc"
