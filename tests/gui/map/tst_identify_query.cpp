#include "core/engine/vector_layer.h"
#include "gui/map/identify_window.h"
#include "gui/map/map.h"
#include "gui/map/query_window.h"
#include "tests/fixtures/fixtures.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

QList<QPointF> square(double x, double y, double side)
{
    return {{x, y}, {x, y + side}, {x + side, y + side}, {x + side, y}, {x, y}};
}

QStringList items(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

// Clicks a row of a list, or double-clicks it after the click.
void clickRow(QListWidget *list, int row, bool twice = false)
{
    list->setCurrentRow(row);
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestIdentifyQuery : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<VectorLayer> m_owners;

private Q_SLOTS:
    void initTestCase()
    {
        // Two overlapping parcels and one apart; NAME holds Adams twice and Baca once.
        const QString path = m_dir.filePath(u"owners.shp"_s);
        QCOMPARE(fixtures::writePolygons(
                     path,
                     {{u"NAME"_s, fixtures::Field::Text}, {u"ACRES"_s, fixtures::Field::Integer}},
                     {{{square(0, 0, 10)}, {u"Adams"_s, 40}},
                      {{square(5, 5, 10)}, {u"Baca"_s, 10}},
                      {{square(50, 50, 10)}, {u"Adams"_s, 40}},
                      {{square(80, 80, 5)}, {u"o'neil"_s, QVariant()}}}),
                 QString());
        m_owners = VectorLayer::open(path);
        QVERIFY(m_owners->isValid());
    }

    void identifyTwoOverlappingRecords()
    {
        IdentifyWindow identify;
        auto *themes = identify.findChild<QListWidget *>(u"themeList"_s);
        auto *results = identify.findChild<QTreeWidget *>(u"identifyResults"_s);
        identify.addResults(u"owners"_s, m_owners->searchShape({7, 7}));
        QCOMPARE(items(themes), (QStringList{u"owners"_s, u"owners"_s}));
        // Both records, one block of field rows each.
        QCOMPARE(results->topLevelItemCount(), 4);
        QCOMPARE(results->topLevelItem(0)->text(1), u"Adams"_s);
        QCOMPARE(results->topLevelItem(3)->text(1), u"10"_s);

        identify.clear();
        identify.addResults(u"owners"_s, m_owners->searchShape({30, 30}));
        QCOMPARE(themes->count(), 0);
        QCOMPARE(results->topLevelItemCount(), 0);
    }

    void queryBuildsAndSetsTheHighlight()
    {
        ThemeList themes;
        Map map;
        map.setThemes(&themes);
        themes.addLayer(m_owners);
        QueryWindow query;
        query.setLayer(m_owners);
        query.setMap(&map);
        query.show();
        auto *fields = query.findChild<QListWidget *>(u"fields"_s);
        auto *values = query.findChild<QListWidget *>(u"values"_s);
        auto *text = query.findChild<QLineEdit *>(u"expression"_s);

        clickRow(fields, 1);
        QCOMPARE(items(values),
                 (QStringList{u"40"_s, u"10"_s})); // numbers unquoted, nulls left out
        clickRow(fields, 0);
        QCOMPARE(items(values), (QStringList{u"'Adams'"_s, u"'Baca'"_s, u"'o''neil'"_s}));

        clickRow(fields, 0, true);
        QTest::mouseClick(query.findChild<QPushButton *>(u"equalButton"_s), Qt::LeftButton);
        clickRow(values, 1, true);
        QCOMPARE(text->text(), u" NAME =  'Baca'"_s);
        QTest::mouseClick(query.findChild<QPushButton *>(u"newSet"_s), Qt::LeftButton);
        QCOMPARE(m_owners->queryExpression(), u" NAME =  'Baca'"_s);
        QCOMPARE(query.findChild<QLabel *>(u"matchCount"_s)->text(), u"1 feature matches."_s);
        auto *zoom = query.findChild<QPushButton *>(u"zoomToSet"_s);
        zoom->click();
        const MapRect baca =
            m_owners->searchExpression(m_owners->queryExpression()).shape().extent();
        QVERIFY(map.extent().contains(baca.center()));
        QVERIFY(map.extent().width() < m_owners->extent().width()); // closer than the whole
        text->setText(u"NAME = = 3"_s);
        query.findChild<QPushButton *>(u"newSet"_s)->click();
        QVERIFY(!zoom->isEnabled());
        QVERIFY(
            query.findChild<QLabel *>(u"matchCount"_s)->text().startsWith(u"The query cannot"_s));

        // A quoted value with a quote in it still makes a valid expression.
        text->setText(u"NAME = "_s + values->item(2)->text());
        QCOMPARE(m_owners->searchExpression(text->text()).count(), 1);

        // Another theme while the window is open brings its own fields; it has no records.
        const QString other = m_dir.filePath(u"wells.shp"_s);
        QCOMPARE(fixtures::writePolygons(other, {{u"PERMIT"_s, fixtures::Field::Text}}, {}),
                 QString());
        query.setLayer(VectorLayer::open(other));
        QCOMPARE(items(fields), QStringList{u"PERMIT"_s});
        QCOMPARE(values->count(), 0);
        clickRow(fields, 0);
        QCOMPARE(items(values), QStringList{u"Layer has no records"_s});
    }
};

QTEST_MAIN(TestIdentifyQuery)
#include "tst_identify_query.moc"
