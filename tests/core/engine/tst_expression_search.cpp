#include "core/engine/vector_layer.h"
#include "tests/fixtures/fixtures.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

using namespace Qt::StringLiterals;

namespace {

int g_leakedErrors = 0;

// OGR's own answer: the FIDs its attribute filter passes, none when it refuses the expression.
std::vector<int> ogrAnswer(OGRLayer *layer, const QString &expression)
{
    std::vector<int> rows;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    if (layer->SetAttributeFilter(expression.toUtf8().constData()) == OGRERR_NONE) {
        CPLErrorReset();
        layer->ResetReading();
        while (OGRFeatureUniquePtr f{layer->GetNextFeature()})
            rows.push_back(int(f->GetFID()));
        if (CPLGetLastErrorType() >= CE_Failure)
            rows.clear();
    }
    layer->SetAttributeFilter(nullptr);
    CPLPopErrorHandler();
    return rows;
}

} // namespace

class TestExpressionSearch : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    std::shared_ptr<VectorLayer> m_layer;
    GDALDataset *m_ogr = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        // Numbers, reals, text in mixed case, and nulls in every column.
        QList<fixtures::Feature> features;
        const QStringList words = {u"N"_s,   u"n"_s,   u"S"_s,      u"12N"_s, u"12"_s,
                                   u"Abc"_s, u"ABC"_s, u"o'neil"_s, u""_s};
        for (int i = 0; i < 400; ++i) {
            const double x = (i % 20) * 10.0, y = (i / 20) * 10.0;
            QVariant integer = i % 17 == 0 ? QVariant() : QVariant(i % 13);
            QVariant real = i % 19 == 0 ? QVariant() : QVariant((i % 7) * 0.5);
            QVariant text = i % 23 == 0 ? QVariant() : QVariant(words[i % words.size()]);
            QVariant numberText = QVariant(QString::number(i % 5));
            features.append({{{{x, y}, {x, y + 9}, {x + 9, y + 9}, {x + 9, y}, {x, y}}},
                             {integer, real, text, numberText}});
        }
        m_path = m_dir.filePath(u"attrs.shp"_s);
        QCOMPARE(fixtures::writePolygons(m_path,
                                         {{u"section"_s, fixtures::Field::Integer},
                                          {u"acres"_s, fixtures::Field::Real},
                                          {u"base_side"_s, fixtures::Field::Text},
                                          {u"township"_s, fixtures::Field::Text}},
                                         features),
                 QString());
        m_layer = VectorLayer::open(m_path);
        QVERIFY(m_layer->isValid());
        m_ogr = GDALDataset::FromHandle(
            GDALOpenEx(m_path.toUtf8().constData(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
        QVERIFY(m_ogr);
        CPLPushErrorHandler([](CPLErr cls, CPLErrorNum, const char *) {
            if (cls >= CE_Failure)
                ++g_leakedErrors;
        });
    }
    void cleanupTestCase()
    {
        CPLPopErrorHandler();
        GDALClose(GDALDataset::ToHandle(m_ogr));
    }

    // Hand-picked cases where the indexed path and OGR could part ways.
    void sameAnswerAsOgr_data()
    {
        QTest::addColumn<QString>("expression");
        const auto add = [](std::initializer_list<const char *> expressions) {
            for (const char *e : expressions)
                QTest::newRow(e) << QString::fromLatin1(e);
        };
        // Numbers against whole, fractional and text literals, the field named in any case.
        add({"section = 7", "SECTION = 7", "\"section\" = 7", "section = 7.0", "section = 7.5"});
        add({"section = '7'", "section = '07'", "section = ' 7'", "section = '7.0'"});
        add({"section = '12N'", "section = 'abc'", "section = -1", "section = 1e1"});
        add({"acres = 1.5", "acres = 1.50", "acres = 1", "acres = '1.5'", "acres = 0"});
        // Text in mixed case, with a quote, empty, against a number; text holding numbers; no
        // such field.
        add({"base_side = 'N'", "base_side = 'n'", "BASE_SIDE = 'abc'", "base_side = 'ABC'"});
        add({"base_side = 12", "base_side = 'o''neil'", "base_side = ''"});
        add({"township = 3", "township = '3'", "nosuch = 1", "nosuch = 'a'"});
        // Conjunctions, repeated and contradictory terms, and what is not a plain conjunction.
        add({"section = 7 and base_side = 'n'",
             "section = 7 AND base_side = 'S' and township = '2'"});
        add({"section = 7 and nosuch = 1", "section = 7 and base_side = 12"});
        add({"section = 3 and section = 3", "section = 3 and section = 4",
             "section = 7 or section = 8"});
        add({"section = 7 and", "section =", "= 7", "section == 7", "(section = 7)", "fid = 3"});
        add({"section in (1, 2)", "section > 10", "base_side like 'a%'", "section is null"});
    }
    void sameAnswerAsOgr()
    {
        QFETCH(QString, expression);
        const RecordSet ours = m_layer->searchExpression(expression);
        QCOMPARE(ours.rows(), ogrAnswer(m_ogr->GetLayer(0), expression));
        QCOMPARE(g_leakedErrors, 0);
    }

    // Many generated conjunctions, every field against every kind of literal.
    void generatedExpressionsAgreeWithOgr()
    {
        QRandomGenerator random(20261206);
        const QStringList fields = {u"section"_s,  u"acres"_s,   u"base_side"_s,
                                    u"township"_s, u"Section"_s, u"missing"_s};
        const QStringList literals = {u"0"_s,   u"3"_s,     u"7"_s,     u"12"_s,  u"1.5"_s,
                                      u"2.0"_s, u"'3'"_s,   u"'12'"_s,  u"'N'"_s, u"'n'"_s,
                                      u"'s'"_s, u"'12N'"_s, u"'abc'"_s, u"''"_s,  u"'1.5'"_s};
        int nonEmpty = 0;
        for (int i = 0; i < 600; ++i) {
            const int terms = 1 + int(random.bounded(3));
            QStringList parts;
            for (int t = 0; t < terms; ++t)
                parts.append(fields[random.bounded(fields.size())] + u" = "_s +
                             literals[random.bounded(literals.size())]);
            const QString expression = parts.join(u" and "_s);
            const auto ours = m_layer->searchExpression(expression).rows();
            QCOMPARE(ours, ogrAnswer(m_ogr->GetLayer(0), expression));
            nonEmpty += ours.empty() ? 0 : 1;
        }
        QVERIFY(nonEmpty > 50); // the comparison covered real matches, not only empty sets
        QCOMPARE(g_leakedErrors, 0);
    }

    // OGR leaves a layer unfiltered after a refused filter: a later search must not see all.
    void refusedExpressionDoesNotLeakIntoTheNext()
    {
        QCOMPARE(m_layer->searchExpression(u"section = = 3 or"_s).count(), 0);
        QCOMPARE(m_layer->searchExpression(u"section > 100"_s).count(), 0);
        QVERIFY(m_layer->searchExpression(u"section > 11 or section < 0"_s).count() > 0);
    }
};

QTEST_GUILESS_MAIN(TestExpressionSearch)
#include "tst_expression_search.moc"
