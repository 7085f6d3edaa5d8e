#include "core/common/message_service.h"
#include "core/document/theme_list.h"
#include "core/engine/map_layer.h"
#include "gui/legend/legend.h"
#include "gui/legend/legend_row.h"
#include "gui/map/map.h"
#include "tests/fixtures/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Clicks of the hot-link tool on quadrangle index themes.
class TestHotlink : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_index;  // quads West (Blue Ridge), East (abc.jpg) and two overlapping ones
    QString m_index2; // a second index theme over West naming "Second"
    QString m_plain;  // polygons without a QUADNAME field
    QString m_images; // the folder the images are in
    QString m_savedCwd;

    struct Fixture
    {
        ThemeList themes;
        Map map;
        Legend legend;
        RecordingMessageService messages;
        QStringList prompts;
        QStringList answers; // what the folder chooser returns, in turn
        // `index` is the one theme, titled "Quads".
        explicit Fixture(const QString &index, const QStringList &folders = {}, bool active = true)
            : answers(folders)
        {
            map.setThemes(&themes);
            legend.setThemes(&themes);
            legend.setMessageService(&messages);
            legend.chooseFolder = [this](const QString &prompt) {
                prompts.append(prompt);
                return answers.isEmpty() ? QString() : answers.takeFirst();
            };
            map.resize(400, 400);
            legend.resize(300, 400);
            legend.addTheme(u"Quads"_s, index, active, true);
        }
        // A click at a map position, as the map window hands it on.
        void click(double x, double y)
        {
            map.setExtent(MapRect(0, 0, 4000, 4000));
            legend.openHotlink(MapPoint{x, y}, map.pickTolerance());
        }
        QStringList titles() const
        {
            QStringList out; // top row first
            const auto &items = legend.rows();
            for (qsizetype i = items.size() - 1; i >= 0; --i)
                out.append(items[i]->title());
            return out;
        }
    };

private Q_SLOTS:
    void initTestCase()
    {
        m_savedCwd = QDir::currentPath();
        m_index = m_dir.filePath(u"quads.shp"_s);
        QCOMPARE(fixtures::writeQuadIndex(m_index, {{u"Blue Ridge"_s, 0, 1000, 1000, 0},
                                                    {u"abc.jpg"_s, 1000, 2000, 1000, 0},
                                                    {u"Lower"_s, 0, 1000, 3000, 2000},
                                                    {u"Upper"_s, 500, 1500, 3000, 2000}}),
                 QString());
        m_index2 = m_dir.filePath(u"second.shp"_s);
        QCOMPARE(fixtures::writeQuadIndex(m_index2, {{u"Second"_s, 0, 1000, 1000, 0}}), QString());
        m_plain = m_dir.filePath(u"plain.shp"_s);
        QCOMPARE(fixtures::writePolygons(
                     m_plain, {{u"QUADNAMES"_s, fixtures::Field::Text}},
                     {{{{{0, 0}, {0, 1000}, {1000, 1000}, {1000, 0}, {0, 0}}}, {u"X"_s}}}),
                 QString());
        m_images = m_dir.filePath(u"images"_s);
        QVERIFY(QDir().mkpath(m_images));
        const QImage picture = fixtures::quadPicture(u"Q"_s, 40, 40, Qt::yellow);
        for (const QString &name :
             {u"BlueRidge.tif"_s, u"abc.jpg"_s, u"Lower.tif"_s, u"Upper.tif"_s, u"Second.tif"_s})
            QCOMPARE(fixtures::writeGeoImage(m_images + u'/' + name, picture, 0, 1000, 25),
                     QString());
        // The working folder holds no images unless a test puts it elsewhere.
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_savedCwd); }

    void folderAskedOnceThenRemembered()
    {
        Fixture f(m_index, {m_images});
        f.click(500, 500); // Blue Ridge: the spaces go
        QCOMPARE(f.prompts, QStringList{u"Select the directory with the files."_s});
        QCOMPARE(f.legend.quadImageFolder(), m_images + u'/');
        QCOMPARE(f.titles(), (QStringList{u"BlueRidge.tif"_s, u"Quads"_s}));
        QCOMPARE(f.legend.rows().last()->path(), m_images + u"/BlueRidge.tif"_s);
        QVERIFY(f.legend.rows().last()->isActive());
        QCOMPARE(f.map.layers().first()->layerType(), MapLayer::LayerType::Image);

        f.click(1500, 500); // abc.jpg keeps its own extension; no second question
        f.click(750, 2500); // overlapping quads: the later record goes on top
        QCOMPARE(f.titles().mid(0, 3), (QStringList{u"Upper.tif"_s, u"Lower.tif"_s, u"abc.jpg"_s}));
        QCOMPARE(QFileInfo(f.map.layers().first()->file()).fileName(), u"Upper.tif"_s);
        QCOMPARE(f.prompts.size(), 1);
        QCOMPARE(f.messages.texts(), QStringList());
    }

    void activeThemesSearchedFromLastToFirst()
    {
        Fixture f(m_index, {m_images});
        f.legend.addTheme(u"Second"_s, m_index2, true, true);
        f.click(500, 500);
        // "Second" is the last in the active list (the top row), so its image goes in first.
        QCOMPARE(f.titles(),
                 (QStringList{u"BlueRidge.tif"_s, u"Second.tif"_s, u"Second"_s, u"Quads"_s}));
    }

    void nothingHappens_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("plain");
        QTest::addColumn<double>("x");
        QTest::newRow("inactive index") << false << false << 500.0;
        QTest::newRow("no QUADNAME field") << true << true << 500.0;
        QTest::newRow("no quad at the point") << true << false << 3500.0;
    }
    void nothingHappens()
    {
        QFETCH(bool, active);
        QFETCH(bool, plain);
        QFETCH(double, x);
        Fixture f(plain ? m_plain : m_index, {m_images}, active);
        f.click(x, 500);
        QCOMPARE(f.prompts, QStringList());
        QCOMPARE(f.legend.rows().size(), 1);
        QCOMPARE(f.messages.texts(), QStringList());
    }

    void wrongFolderStopsTheClick()
    {
        Fixture f(m_index, {m_dir.path()});
        f.click(750, 2500); // two quads here: the failure ends the whole click
        QCOMPARE(f.messages.texts(),
                 QStringList{u"Failed to find "_s + m_dir.path() + u"/Lower.tif"_s});
        QCOMPARE(f.messages.messages().first().icon, MessageIcon::Stop);
        QCOMPARE(f.prompts.size(), 1);
        QCOMPARE(f.legend.rows().size(), 1);
    }

    void cancelledChooserTriesTheBareName()
    {
        Fixture f(m_index);
        f.click(500, 500);
        QCOMPARE(f.prompts.size(), 1);
        QCOMPARE(f.legend.quadImageFolder(), QString());
        QCOMPARE(f.messages.texts().size(), 1);
        QVERIFY(
            f.messages.texts().first().startsWith(u"Error: file BlueRidge.tif did not load.\n"_s));
        QCOMPARE(f.legend.rows().size(), 1);
    }

    // With a folder chosen before, an image found only in the working folder comes from there.
    void workingFolderImageWithAChosenFolder()
    {
        Fixture f(m_index, {m_images});
        f.click(1500, 500); // abc.jpg: asks, and the folder is kept
        QTemporaryDir elsewhere;
        QVERIFY(
            QFile::copy(m_images + u"/BlueRidge.tif"_s, elsewhere.filePath(u"BlueRidge.tif"_s)));
        QVERIFY(QFile::remove(m_images + u"/BlueRidge.tif"_s));
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        f.click(500, 500);
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(
            QFile::copy(elsewhere.filePath(u"BlueRidge.tif"_s), m_images + u"/BlueRidge.tif"_s));
        QCOMPARE(f.prompts.size(), 1);
        QCOMPARE(f.messages.texts(), QStringList());
        QCOMPARE(f.legend.rows().last()->path(), u"BlueRidge.tif"_s);
    }
};

QTEST_MAIN(TestHotlink)
#include "tst_hotlink.moc"
