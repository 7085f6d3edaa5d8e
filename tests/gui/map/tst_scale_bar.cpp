#include "core/engine/map_scale.h"
#include "core/engine/vector_layer.h"
#include "gui/map/map_scale_bar.h"
#include "gui/map/map_widget.h"
#include "tests/fixtures/fixtures.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class FakeWindow : public ScaleBarHost
{
public:
    Map *map() override { return &m_map; }
    void Rescale(double currentScale, double newScale) override
    {
        ++rescales;
        MapRect e = m_map.extent();
        e.ScaleRectangle(newScale / currentScale);
        m_map.setExtent(e);
    }
    Map m_map;
    int rescales = 0;
};

} // namespace

class TestScaleBar : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void showsAndSetsTheScale()
    {
        QCOMPARE(mapScale(10000, 0), 0.0); // a display without width has no scale
        FakeWindow window;
        MapScaleBar bar;
        bar.AssociateView(&window);
        QLineEdit *text = bar.findChild<QLineEdit *>(u"Scale_Text"_s);
        QCOMPARE(bar.GetScale(), 0.0); // nothing shown yet

        const QString path = m_dir.filePath(u"s.shp"_s);
        QCOMPARE(fixtures::writeSectionGrid(path, {}), QString());
        Map &map = window.m_map;
        const double tpp = map.twipsPerPixel();
        map.resize(int(9000 / tpp), int(6000 / tpp));
        ThemeList themes;
        map.setThemes(&themes);
        themes.addLayer(VectorLayer::open(path));
        map.setExtent(MapRect(500000, 510000, 4405000, 4400000));
        QCOMPARE(bar.GetScale(), 62991.36);
        bar.UpdateScale();
        QCOMPARE(text->text(), u"62991"_s);

        // Typing alone changes nothing; Enter zooms about the centre.
        text->clear();
        QTest::keyClicks(text, u"31496"_s);
        QCOMPARE(window.rescales, 0);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(window.rescales, 1);
        QVERIFY(std::fabs(map.extent().width() - 5000) < 0.1);
        QCOMPARE(map.extent().center(), (MapPoint{505000, 4402500}));
        bar.UpdateScale();
        QCOMPARE(text->text(), u"31496"_s);

        // Not a positive number: no rescale, no message.
        for (const QString &bad : {u"abc"_s, u"0"_s, u"-5"_s, u""_s}) {
            text->setText(bad);
            QTest::keyClick(text, Qt::Key_Enter);
        }
        QCOMPARE(window.rescales, 1);
    }
};

QTEST_MAIN(TestScaleBar)
#include "tst_scale_bar.moc"
