#include "core/document/project_file.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

// Every field read of each theme on one line ("-": not read), so one comparison shows them all.
QStringList describe(const QList<ProjectBlock> &themes)
{
    const auto text = [](const auto &v) { return v ? QString::number(*v) : u"-"_s; };
    const auto color = [](const auto &v) { return v ? QString::number(projectColor(*v)) : u"-"_s; };
    QStringList out;
    for (const ProjectBlock &t : themes)
        out.append(QStringList{t.title, t.path, text(t.active), text(t.visible), text(t.isMap),
                               color(t.color), color(t.outlineColor), text(t.size), text(t.style),
                               t.plssFields}
                       .join(u'|'));
    return out;
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesAsWritten()
    {
        ProjectTheme polygon{u"sections.shp"_s,     u"/data/sections.shp"_s, true, true, true,
                             colorFromProject(255), colorFromProject(0),     1,    0,    {}};
        ProjectTheme image{u"quad.tif"_s,       u"/data/quad.tif"_s, false, true, false,
                           colorFromProject(0), colorFromProject(0), 1,     0,    {}};
        QCOMPARE(writeProject({polygon, image}),
                 crlf("Number of themes = 2\nTitle = sections.shp\nPath = /data/sections.shp\n"
                      "IsActive = True\nIsVisible = True\nIsMap = 1\nColor = 255\n"
                      "OutlineColor = 0\nSize = 1\nSymbol = 0\nTitle = quad.tif\n"
                      "Path = /data/quad.tif\nIsActive = False\nIsVisible = True\nIsMap = 0\n"));
        QCOMPARE(writeProject({}), crlf("Number of themes = 0\n"));
    }

    // Named PLSS fields go after every block, where a reader of the blocks alone stops: it
    // reads the same themes, and this version reads the fields back onto their themes.
    void plssFieldsAfterTheBlocks()
    {
        ProjectTheme image{u"quad.tif"_s,       u"/data/quad.tif"_s, false, true, false,
                           colorFromProject(0), colorFromProject(0), 1,     0,    {}};
        ProjectTheme state{u"state"_s,
                           u"/data/state.gpkg"_s,
                           true,
                           true,
                           true,
                           colorFromProject(255),
                           colorFromProject(0),
                           1,
                           1,
                           {}};
        state.plssFields = u"section=SEC,township=TWP,range=RNG"_s;
        const QByteArray bytes = writeProject({image, state});
        QVERIFY(
            bytes.endsWith("Symbol = 1\r\nPLSS Fields 2 = section=SEC,township=TWP,range=RNG\r\n"));
        const ParsedProject read = readProject(bytes);
        QCOMPARE(read.error, QString());
        const QString quad = u"quad.tif|/data/quad.tif|0|1|0|-|-|-|-|"_s;
        const QString blocks = u"state|/data/state.gpkg|1|1|1|255|0|1|1|"_s;
        QCOMPARE(describe(read.themes), (QStringList{quad, blocks + state.plssFields}));
        // The blocks alone, as an older version wrote them, read the same themes.
        QCOMPARE(describe(readProject(bytes.left(bytes.indexOf("PLSS Fields"))).themes),
                 (QStringList{quad, blocks}));
        // A theme left out for a bad value takes its fields with it; lines unknown are skipped.
        QByteArray spoilt = bytes;
        spoilt.replace("IsActive = False", "IsActive = Maybe");
        spoilt.replace("PLSS Fields 2", "PLSS Fields 1");
        spoilt += "Some Later Setting = 3\r\n";
        QCOMPARE(describe(readProject(spoilt).themes), QStringList{blocks});

        // The labels of a theme, where its wells are kept and the printed title follow, read
        // back; relative wells beside the project, a database connection as it is.
        state.labelField = u"TWP"_s;
        const QByteArray more = writeProject({image, state}, u"permits-wells.gpkg"_s, u"Spring"_s);
        QVERIFY(more.endsWith("PLSS Fields 2 = section=SEC,township=TWP,range=RNG\r\n"
                              "Labels 2 = TWP\r\nWells = permits-wells.gpkg\r\n"
                              "Print Title = Spring\r\n"));
        ParsedProject again = readProject(more);
        QCOMPARE(again.themes.value(1).labelField, u"TWP"_s);
        QCOMPARE(again.themes.value(0).labelField, QString());
        QCOMPARE(again.printTitle, u"Spring"_s);
        resolveRelativePaths(again, u"/p/season.plss"_s);
        QCOMPARE(again.wellsSource, u"/p/permits-wells.gpkg"_s);
        const QByteArray database = writeProject({image}, u"PG:host=db dbname=permits"_s);
        ParsedProject shared = readProject(database);
        resolveRelativePaths(shared, u"/p/season.plss"_s);
        QCOMPARE(shared.wellsSource, u"PG:host=db dbname=permits"_s);
        QCOMPARE(describe(readProject(more.left(more.indexOf("PLSS Fields"))).themes),
                 (QStringList{quad, blocks}));
    }

    void readBack()
    {
        const QList<ProjectTheme> themes = {{u"A=B"_s,
                                             u"/x/a b.shp"_s,
                                             false,
                                             false,
                                             true,
                                             colorFromProject(16711680),
                                             colorFromProject(65280),
                                             2.6,
                                             7,
                                             {}},
                                            {u"Title ending in a blank "_s,
                                             u"/x/q.tif"_s,
                                             true,
                                             true,
                                             false,
                                             colorFromProject(0),
                                             colorFromProject(0),
                                             1,
                                             0,
                                             {}}};
        const ParsedProject p = readProject(writeProject(themes));
        QCOMPARE(p.error, QString());
        // The size is read back rounded; a theme that is no map has no symbol lines.
        QCOMPARE(describe(p.themes),
                 (QStringList{u"A=B|/x/a b.shp|0|0|1|16711680|65280|3|7|"_s,
                              u"Title ending in a blank |/x/q.tif|1|1|0|-|-|-|-|"_s}));
        // LF line ends and Windows-1252 text are read too.
        const ParsedProject old =
            readProject("Number of themes = 1\nTitle = Ca\xf1on\nPath = /x/c.shp\nIsActive = 1\n"
                        "IsVisible = false\nIsMap = 0\n");
        QCOMPARE(old.error, QString());
        QCOMPARE(describe(old.themes), QStringList{u"Cañon|/x/c.shp|1|0|0|-|-|-|-|"_s});
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("themes");
        QTest::newRow("wrong first key")
            << crlf("Themes = 2\n")
            << u"Error looking for line 'Number of themes ='; got 'Themes = 2"_s << 0;
        QTest::newRow("wrong title key")
            << crlf("Number of themes = 1\nName = x\n")
            << u"Error looking for line 'Title ='; got 'Name = x"_s << 0;
        QTest::newRow("no blank before =")
            << crlf("Number of themes = 1\nTitle= x\n")
            << u"Error looking for line 'Title ='; got 'Title= x"_s << 0;
        QTest::newRow("wrong flag key keeps the theme")
            << crlf("Number of themes = 2\nTitle = a\nPath = /a.shp\nActive = True\n")
            << u"Error looking for line 'IsActive ='; got 'Active = True"_s << 1;
        QTest::newRow("count not a number")
            << crlf("Number of themes = two\n")
            << u"Error looking for line 'Number of themes ='; got 'Number of themes = two"_s << 0;
        QTest::newRow("a colour not read and the file ends: nothing of the theme")
            << crlf("Number of themes = 1\nTitle = a\nPath = /a.shp\nIsActive = True\n"
                    "IsVisible = True\nIsMap = 1\nColor = red\n")
            << u"Error looking for line 'OutlineColor ='; the file ends there."_s << 0;
        QTest::newRow("the file ends early")
            << crlf("Number of themes = 2\nTitle = a\nPath = /a.shp\nIsActive = True\n"
                    "IsVisible = True\nIsMap = 0\nTitle = b\n")
            << u"Error looking for line 'Path ='; the file ends there."_s << 1;
        QTest::newRow("NUL bytes and nonsense")
            << QByteArray("\0\0\0garbage\n\0", 13) << QString() << 0;
    }

    // A value that does not convert leaves its own theme out, with a message naming it; the
    // themes after it are read as before.
    void valuesThatDoNotConvert_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("line");
        const QByteArray head = "Title = bad\nPath = /bad.shp\n";
        const QByteArray flags = "IsActive = True\nIsVisible = True\n";
        const QByteArray symbol = "IsMap = 1\nColor = 255\nOutlineColor = 0\n";
        QTest::newRow("active") << head + "IsActive = perhaps\nIsVisible = True\nIsMap = 0\n"
                                << u"IsActive = perhaps"_s;
        QTest::newRow("colour") << head + flags +
                                       "IsMap = 1\nColor = red\nOutlineColor = 0\nSize = 1\n"
                                       "Symbol = 0\n"
                                << u"Color = red"_s;
        QTest::newRow("size beyond 32 bits")
            << head + flags + symbol + "Size = 3000000000\nSymbol = 0\n"
            << u"Size = 3000000000"_s;
        QTest::newRow("style beyond 16 bits")
            << head + flags + symbol + "Size = 1\nSymbol = 40000\n"
            << u"Symbol = 40000"_s;
    }
    void valuesThatDoNotConvert()
    {
        QFETCH(QByteArray, block);
        QFETCH(QString, line);
        const ParsedProject p = readProject(
            crlf("Number of themes = 3\nTitle = first\nPath = /a.shp\nIsActive = True\n"
                 "IsVisible = True\nIsMap = 0\n" +
                 block +
                 "Title = last\nPath = /c.shp\nIsActive = False\nIsVisible = True\nIsMap = 1\n"
                 "Color = 1\nOutlineColor = 2\nSize = 3\nSymbol = 4\n"));
        QCOMPARE(p.error, QString());
        QCOMPARE(p.skipped, QStringList{u"The theme bad was left out: its line '"_s + line +
                                        u"' holds no value that can be read."_s});
        QCOMPARE(describe(p.themes),
                 (QStringList{u"first|/a.shp|1|1|0|-|-|-|-|"_s, u"last|/c.shp|0|1|1|1|2|3|4|"_s}));
    }
    void errors()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QFETCH(int, themes);
        const ParsedProject p = readProject(text);
        if (error.isEmpty())
            QVERIFY(!p.error.isEmpty());
        else
            QCOMPARE(p.error, error);
        QCOMPARE(p.themes.size(), themes);
    }
};

QTEST_MAIN(TestProjectFile)
#include "tst_project_file.moc"
