#include "core/engine/map_crs.h"
#include "core/engine/vector_layer.h"
#include "core/wells/well_import.h"
#include "core/wells/well_store.h"
#include "core/wells/wells_model.h"
#include "tests/support/test_postgres.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString UtahPath = QStringLiteral(TW_SHARED_DATA "/utah-sections/utah_sections.shp");

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

WellsModel::Locator locatorOn(const std::shared_ptr<VectorLayer> &theme)
{
    return [theme](const WellEntry &e) { return locateEntry(*theme, e, {}); };
}

Well wellAt(const QString &id, double x, double y)
{
    Well w;
    w.entry.id = id;
    w.entry.description = u"NE SW sec. 28, T35S, R13W, SLM"_s;
    w.located = true;
    w.point = {x, y};
    w.easting = QString::number(x, 'f', 2);
    w.northing = QString::number(y, 'f', 2);
    w.latitude = u"37.75"_s;
    w.longitude = u"-113.25"_s;
    w.radiusFeet = u"934"_s;
    w.method = u"quarter calls, classic rule"_s;
    w.locatedAt = QDateTime(QDate(2026, 5, 4), QTime(13, 2, 1), Qt::UTC);
    return w;
}

QStringList ids(const QList<Well> &wells)
{
    QStringList out;
    for (const Well &w : wells)
        out << w.entry.id;
    out.sort();
    return out;
}

} // namespace

class TestWells : public QObject
{
    Q_OBJECT

private:
    std::shared_ptr<VectorLayer> m_utah;
    QTemporaryDir m_dir;

    // A kept list read back from `source` checked against what was kept: texts, numbers as
    // numbers, the time, and the types of the fields.
    void roundTrip(const QString &source);
    // A section theme read from PostGIS locates as its shapefile does.
    void sectionThemeFromPostgis(const TestPostgres &server);

private Q_SLOTS:
    void initTestCase()
    {
        if (QFile::exists(UtahPath))
            m_utah = VectorLayer::open(UtahPath);
    }

    void csvImport_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<QString>("error");
        QTest::newRow("id and description")
            << "id,description\r\nP-1,\"NE SW sec. 28, T35S, R13W, SLM\"\r\nP-2,sec 31 T35S R13W"_ba
            << QStringList{u"P-1"_s, u"P-2"_s} << QStringList() << QString();
        QTest::newRow("the columns of batch forward, an unknown one named")
            << "id,township,range,section,q160,q40,colour\n7,35S,13W,28,SW,NE,red\n"_ba
            << QStringList{u"7"_s} << QStringList{u"w.csv: the column \"colour\" is not read."_s}
            << QString();
        QTest::newRow("a repeated id and one in the list, by their lines")
            << "id,description\nP-1,a\n\"P-3\",\"two\nlines\"\nP-3,b\nTAKEN,c\n"_ba
            << QStringList{u"P-1"_s, u"P-3"_s}
            << QStringList{u"w.csv line 5: the id \"P-3\" is already on an earlier line; the "
                           u"line was left out."_s,
                           u"w.csv line 6: the id \"TAKEN\" is already in the list; the line was "
                           u"left out."_s}
            << QString();
        QTest::newRow("a line with more fields than the header")
            << "id,description\nA,x\nB,y,z\nC,w\n"_ba << QStringList{u"A"_s, u"C"_s}
            << QStringList{u"w.csv line 3 has 3 fields, the header 2; the line was left out."_s}
            << QString();
        QTest::newRow("a quote never closed")
            << "id,description\nA,x\nB,\"y\nC,w\n"_ba << QStringList() << QStringList()
            << u"w.csv: the quote opened on line 3 is never closed."_s;
        QTest::newRow("nothing to locate by")
            << "id,easting,northing\n1,2,3\n"_ba << QStringList() << QStringList()
            << u"w.csv has neither a column \"description\" nor the columns \"township\", "
               u"\"range\" and \"section\"."_s;
    }

    void csvImport()
    {
        QFETCH(QByteArray, text);
        const QString path = m_dir.filePath(u"w.csv"_s);
        writeText(path, text);
        const WellImport got = readWellsCsv(path, {u"TAKEN"_s});
        QFETCH(QString, error);
        QCOMPARE(got.error, error);
        QStringList gotIds;
        for (const WellEntry &e : got.entries)
            gotIds << e.id;
        QFETCH(QStringList, ids);
        QFETCH(QStringList, problems);
        QCOMPARE(gotIds, ids);
        QCOMPARE(got.problems, problems);
    }

    void pastedText()
    {
        const WellImport got = readWellsText(
            u"NE SW sec. 28, T35S, R13W\n\n  P-9\tsec 31 T35S R13W\nP-9\tsec 19 T35S R13W\n"_s, {});
        QCOMPARE(got.entries.size(), 2);
        QCOMPARE(got.entries[0].id, QString());
        QCOMPARE(got.entries[0].description, u"NE SW sec. 28, T35S, R13W"_s);
        QCOMPARE(got.entries[1].id, u"P-9"_s);
        QCOMPARE(got.problems,
                 QStringList{u"Line 4: the id \"P-9\" is already on an earlier line; the line "
                             u"was left out."_s});
    }

    void callsText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("footages");
        QTest::newRow("quarters smallest first")
            << u"ne sw"_s << u"NE SW"_s << QStringList{u"SW"_s, u"NE"_s, {}, {}} << u""_s;
        QTest::newRow("of and halves")
            << u"N/2 of the NE"_s << u"N/2 NE"_s << QStringList{u"NE"_s, u"N/2"_s, {}, {}} << u""_s;
        QTest::newRow("footages either way")
            << u"E660, 1980S"_s << u"660E 1980S"_s << QStringList(4) << u"660E 1980S"_s;
        QTest::newRow("a lot") << u"Lot 3"_s << u"Lot 3"_s << QStringList(4) << u""_s;
        QTest::newRow("a tie") << u"tie sw 1234N 567E"_s << u"Tie SW 1234N 567E"_s << QStringList(4)
                               << u""_s;
    }

    void callsText()
    {
        QFETCH(QString, typed);
        WellEntry e;
        e.fcX = u"1E"_s; // replaced, not kept
        QString error;
        QVERIFY2(setCallsText(e, typed, &error), qPrintable(error));
        QFETCH(QString, shown);
        QFETCH(QStringList, calls);
        QFETCH(QString, footages);
        QCOMPARE(::callsText(e), shown);
        QCOMPARE(QStringList(e.calls.begin(), e.calls.end()), calls);
        QCOMPARE(QString(e.fcX + u' ' + e.fcY).trimmed(), footages);
        QVERIFY(!setCallsText(e, u"NE 12 SW"_s, &error));
        QCOMPARE(error, u"\"12\" is not a quarter, a half, a footage, a lot or a tie from a "
                        u"corner."_s);
    }

    void locatedOnRealSections()
    {
        if (!m_utah)
            QSKIP("shared Utah data not present");
        QList<WellEntry> entries(3);
        entries[0].description = u"NE1/4 SW1/4 sec. 28, T. 35 S., R. 13 W., SLM"_s;
        entries[1].township = u"35S"_s;
        entries[1].range = u"13W"_s;
        entries[1].section = u"31"_s;
        entries[1].fcX = u"660E"_s;
        entries[1].fcY = u"1980S"_s;
        entries[2].description = u"NE SW sec. 28, T. 99 S., R. 13 W."_s;
        qsizetype told = 0;
        const auto wells = locateWells(entries, locatorOn(m_utah), [&](qsizetype done) {
            told = done;
            return true;
        });
        QVERIFY(wells);
        QCOMPARE(told, 3);
        QCOMPARE((*wells)[0].easting, u"295676.78"_s); // as tractwise-locate forward gives it
        QCOMPARE((*wells)[0].northing, u"4178044.79"_s);
        QCOMPARE((*wells)[0].radiusFeet, u"934"_s);
        QCOMPARE((*wells)[1].easting, u"293203.08"_s);
        QCOMPARE((*wells)[1].method, u"footage calls"_s);
        // The zone is 12: about 37.7 N, 113.3 W.
        QVERIFY(std::abs((*wells)[0].latitude.toDouble() - 37.73) < 0.05);
        QVERIFY(std::abs((*wells)[0].longitude.toDouble() + 113.33) < 0.05);
        QVERIFY(!(*wells)[2].located);
        QVERIFY(!(*wells)[2].status.isEmpty());
    }

    void manyOnEveryCoreThenCancelled()
    {
        if (!m_utah)
            QSKIP("shared Utah data not present");
        QList<WellEntry> entries(3000);
        for (int i = 0; i < entries.size(); ++i)
            entries[i].description = u"NE SW sec. 28, T35S, R13W, SLM"_s;
        const auto all = locateWells(entries, locatorOn(m_utah));
        QVERIFY(all);
        QVERIFY(std::all_of(all->begin(), all->end(), [&](const Well &w) {
            return w.easting == (*all)[0].easting && w.located;
        }));
        int calls = 0;
        const auto cancelled =
            locateWells(entries, locatorOn(m_utah), [&](qsizetype) { return ++calls < 2; });
        QVERIFY(!cancelled);
    }

    void modelEditsLocateAgain()
    {
        if (!m_utah)
            QSKIP("shared Utah data not present");
        WellsModel model;
        model.setLocator(locatorOn(m_utah));
        QSignalSpy problems(&model, &WellsModel::problem);
        Well w;
        w.entry.description = u"NE SW sec. 28, T35S, R13W, SLM"_s;
        w.take(locateEntry(*m_utah, w.entry, {}), QDateTime::currentDateTimeUtc());
        Well given = w;
        given.entry.id = u"W-2"_s; // numbering goes around it
        QVERIFY(model.appendWells({w, given, w}));
        QCOMPARE(ids(model.wells()), (QStringList{u"W-1"_s, u"W-2"_s, u"W-3"_s}));
        QVERIFY(!model.appendWells({given}));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(problems.size(), 1);

        // A well placed by its description shows what the description says in its cells.
        QCOMPARE(model.data(model.index(0, WellsModel::Township)).toString(), u"35S"_s);
        QCOMPARE(model.data(model.index(0, WellsModel::Calls)).toString(), u"NE SW"_s);
        // The description's township, range and section edited in their own cells: located
        // again from them, the calls of the description kept.
        const QString before = model.well(0).easting;
        QVERIFY(model.setData(model.index(0, WellsModel::Section), u"19"_s));
        QVERIFY(model.well(0).located);
        QCOMPARE(model.data(model.index(0, WellsModel::Calls)).toString(), u"NE SW"_s);
        QVERIFY(model.well(0).easting != before);
        QVERIFY(model.setData(model.index(0, WellsModel::Calls), u"660E 1980S"_s));
        QCOMPARE(model.well(0).method, u"footage calls"_s);
        QVERIFY(!model.setData(model.index(0, WellsModel::Calls), u"NE 7"_s));
        QVERIFY(model.setData(model.index(1, WellsModel::Section), u"99"_s));
        QVERIFY(!model.well(1).located);
        QCOMPARE(model.data(model.index(1, WellsModel::Easting)).toString(), QString());
        QCOMPARE(model.data(model.index(1, 0), Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::red));
        QCOMPARE(model.data(model.index(2, WellsModel::Status)).toString(), u"located"_s);
        QVERIFY(!model.setData(model.index(2, WellsModel::Id), u"W-1"_s)); // taken
        QVERIFY(model.setData(model.index(2, WellsModel::Id), u"P-77"_s));
        QVERIFY(!model.setData(model.index(2, WellsModel::Easting), u"1"_s)); // not editable
    }

    void keptInGeoPackage() { roundTrip(m_dir.filePath(u"wells.gpkg"_s)); }

    void keptInPostgis()
    {
        if (const QString why = TestPostgres::unavailable(); !why.isEmpty())
            QSKIP(qPrintable(u"PostGIS round trip not run: "_s + why));
        TestPostgres server;
        QString why;
        QVERIFY2(server.start(&why), qPrintable(why));
        roundTrip(server.connection());
        QString type;
        QVERIFY(server.sql(u"SELECT data_type FROM information_schema.columns WHERE "
                           u"table_name = 'wells' AND column_name = 'located_at'"_s,
                           &type));
        QVERIFY2(type.startsWith(u"timestamp"_s), qPrintable(type));
        // A login the server refuses: said, naming the connection; nothing counted as kept.
        WellsModel refused;
        QVERIFY(refused.appendWells({wellAt(u"R"_s, 1, 2)}));
        QString error;
        const QString stranger =
            QString(server.connection()).replace(u"user=tractwise"_s, u"user=stranger"_s);
        QVERIFY(!keepWells(stranger, refused, 12, &error));
        QVERIFY2(error.startsWith(stranger.mid(0, 8)) && error.contains(u"stranger"_s),
                 qPrintable(error));
        QVERIFY(refused.isModified());

        // Two clerks keeping 200 new wells each at the same moment: all 400 are there.
        const auto many = [](const QString &prefix) {
            QList<Well> wells;
            for (int i = 0; i < 200; ++i)
                wells << wellAt(prefix + QString::number(i), 295000 + i, 4178000);
            return wells;
        };
        WellsModel first, second;
        QVERIFY(first.appendWells(many(u"X"_s)) && second.appendWells(many(u"Y"_s)));
        QString firstError, secondError;
        std::thread other([&] { keepWells(server.connection(), second, 12, &secondError); });
        keepWells(server.connection(), first, 12, &firstError);
        other.join();
        QCOMPARE(firstError + secondError, QString());
        QString count;
        QVERIFY(
            server.sql(u"SELECT count(*) FROM wells WHERE id LIKE 'X%' OR id LIKE 'Y%'"_s, &count));
        QCOMPARE(count, u"400"_s);
        sectionThemeFromPostgis(server);
    }

    void refusedSources()
    {
        // A wells layer that holds no points.
        const QString lines = m_dir.filePath(u"lines.gpkg"_s);
        GDALDriver *gpkg = GetGDALDriverManager()->GetDriverByName("GPKG");
        GDALDatasetUniquePtr ds(
            gpkg->Create(lines.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
        QVERIFY(ds->CreateLayer("wells", nullptr, wkbLineString, nullptr));
        ds.reset();
        QList<Well> wells;
        QString error;
        QVERIFY(!readWells(lines, wells, &error));
        QCOMPARE(error, u"lines.gpkg: the layer \"wells\" holds line string, not points."_s);
        WellsModel model;
        QVERIFY(model.appendWells({wellAt(u"A"_s, 1, 2)}));
        QVERIFY(!keepWells(lines, model, 12, &error));
        QVERIFY(model.isModified()); // nothing counted as kept

        // A server that is not there, its password not shown.
        QVERIFY(!keepWells(u"PG:host=/nonexistent dbname=x password=secret"_s, model, 12, &error));
        QVERIFY2(error.startsWith(u"PG:host=/nonexistent dbname=x password=***: cannot be "
                                  u"opened: "_s),
                 qPrintable(error));
        QVERIFY(!error.contains(u"secret"_s));
    }
};

void TestWells::sectionThemeFromPostgis(const TestPostgres &server)
{
    if (!m_utah)
        QSKIP("shared Utah data not present");
    // The Utah sections loaded into the database as GDAL loads any table.
    QProcess load;
    load.setProcessChannelMode(QProcess::MergedChannels);
    load.start(u"ogr2ogr"_s,
               {u"-f"_s, u"PostgreSQL"_s, server.connection(), UtahPath, u"-nln"_s, u"sections"_s});
    QVERIFY(load.waitForFinished(120000));
    QVERIFY2(load.exitCode() == 0, load.readAll().constData());
    QCOMPARE(vectorLayerNames(server.connection()), (QStringList{u"wells"_s, u"sections"_s}));
    const QString source = server.connection() + u"|layername=sections"_s;
    const auto theme = VectorLayer::open(source);
    QVERIFY2(theme->isValid(), qPrintable(theme->errorText()));
    QCOMPARE(theme->featureCount(), 373);
    QCOMPARE(theme->name(), u"sections"_s);
    WellEntry e;
    e.description = u"NE1/4 SW1/4 sec. 28, T. 35 S., R. 13 W., SLM"_s;
    const EntryLocation fromDatabase = locateEntry(*theme, e, {});
    QCOMPARE(fromDatabase.well.easting, locateEntry(*m_utah, e, {}).well.easting);
    QCOMPARE(fromDatabase.well.easting, u"295676.78"_s);

    // And from the command line, as any theme.
    QProcess tool;
    tool.start(QStringLiteral(TW_LOCATE_TOOL),
               {u"forward"_s, u"--theme"_s, source, u"--description"_s, e.description});
    QVERIFY(tool.waitForFinished(120000));
    QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()),
             u"easting,northing,radius_ft,method\n295676.78,4178044.79,934,\"quarter calls, "
             u"classic rule\"\n"_s);
    QCOMPARE(tool.exitCode(), 0);
}

void TestWells::roundTrip(const QString &source)
{
    QString error;
    QList<Well> read;
    QVERIFY2(readWells(source, read, &error), qPrintable(error)); // nothing there yet
    QVERIFY(read.isEmpty());

    WellsModel clerkA;
    Well failed;
    failed.entry.id = u"F"_s;
    failed.entry.description = u"sec 99"_s;
    failed.status = u"No such section."_s;
    QVERIFY(clerkA.appendWells({wellAt(u"A1"_s, 295676.78, 4178044.79), failed}));
    QVERIFY(clerkA.setData(clerkA.index(0, WellsModel::Note), u"dry hole, ünïcode"_s));
    QVERIFY2(keepWells(source, clerkA, 12, &error), qPrintable(error));
    QVERIFY(!clerkA.isModified());

    // A second clerk reads the list, adds a well and keeps it while the first adds another:
    // nothing of either is lost.
    WellsModel clerkB;
    QVERIFY(readWells(source, read, &error));
    clerkB.resetWells(read);
    QVERIFY(clerkB.appendWells({wellAt(u"B1"_s, 295700, 4178100)}));
    QVERIFY(clerkA.appendWells({wellAt(u"A2"_s, 295800, 4178200)}));
    QVERIFY2(keepWells(source, clerkB, 12, &error), qPrintable(error));
    QVERIFY2(keepWells(source, clerkA, 12, &error), qPrintable(error));
    QVERIFY(readWells(source, read, &error));
    QCOMPARE(ids(read), (QStringList{u"A1"_s, u"A2"_s, u"B1"_s, u"F"_s}));

    // An edit rewrites its well, a removal deletes only its own.
    QVERIFY(clerkA.setData(clerkA.index(2, WellsModel::Note), u"pump test"_s));
    QVERIFY(clerkA.removeRows(1, 1));
    QVERIFY2(keepWells(source, clerkA, 12, &error), qPrintable(error));
    QVERIFY(readWells(source, read, &error));
    QCOMPARE(ids(read), (QStringList{u"A1"_s, u"A2"_s, u"B1"_s}));
    const auto a1 =
        std::find_if(read.begin(), read.end(), [](const Well &w) { return w.entry.id == u"A1"_s; });
    QCOMPARE(a1->note, u"dry hole, ünïcode"_s);
    QCOMPARE(a1->easting, u"295676.78"_s);
    QCOMPARE(a1->point.X, 295676.78);
    QCOMPARE(a1->radiusFeet, u"934"_s);
    QCOMPARE(a1->method, u"quarter calls, classic rule"_s);
    QCOMPARE(a1->entry.description, u"NE SW sec. 28, T35S, R13W, SLM"_s);
    QCOMPARE(a1->locatedAt, QDateTime(QDate(2026, 5, 4), QTime(13, 2, 1), Qt::UTC));
    QVERIFY(std::any_of(read.begin(), read.end(), [](const Well &w) {
        return w.entry.id == u"A2"_s && w.note == u"pump test"_s;
    }));

    // The whole list kept again in the same place (as when a window's wells are moved to where
    // they are already): rewritten by their ids, none added twice.
    WellsModel again;
    again.resetWells(read);
    QVERIFY2(keepWells(source, again, 12, &error, KeepMode::Everything), qPrintable(error));
    QVERIFY(readWells(source, read, &error));
    QCOMPARE(ids(read), (QStringList{u"A1"_s, u"A2"_s, u"B1"_s}));

    // The fields are typed: numbers are numbers, the time a time.
    GDALDatasetUniquePtr ds(GDALDataset::Open(source.toUtf8().constData(), GDAL_OF_VECTOR));
    QVERIFY(ds);
    OGRFeatureDefn *defn = ds->GetLayerByName("wells")->GetLayerDefn();
    for (const char *name : {"easting", "northing", "latitude", "longitude", "radius_ft"})
        QCOMPARE(defn->GetFieldDefn(defn->GetFieldIndex(name))->GetType(), OFTReal);
    QCOMPARE(defn->GetFieldDefn(defn->GetFieldIndex("located_at"))->GetType(), OFTDateTime);
    QCOMPARE(defn->GetFieldDefn(defn->GetFieldIndex("id"))->GetType(), OFTString);
    QCOMPARE(wkbFlatten(ds->GetLayerByName("wells")->GetGeomType()), wkbPoint);
}

QTEST_GUILESS_MAIN(TestWells)
#include "tst_wells.moc"
