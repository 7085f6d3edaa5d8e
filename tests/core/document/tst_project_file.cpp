#include "core/common/message_service.h"
#include "core/document/project_file.h"
#include "core/engine/vector_layer.h"
#include "gui/app/map_window.h"
#include "gui/legend/legend_control.h"
#include "gui/legend/legend_item_control.h"
#include "gui/map/identify_window.h"
#include "gui/map/map_widget.h"
#include "tests/fixtures/fixtures.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class FakeShell : public MapWindowShell
{
public:
    QString pressedTool() const override { return {}; }
    void setStatusText(int, const QString &) override {}
    frmIdentify *identifyWindow() override { return &identify; }
    MessageService &messages() override { return recorder; }
    bool confirmClose(frmMapView &) override { return true; }
    frmIdentify identify;
    RecordingMessageService recorder;
};

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_paths;

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *name : {"a.shp", "b.shp", "c.shp"}) {
            const QString path = m_dir.filePath(QString::fromLatin1(name));
            QCOMPARE(fixtures::writeSectionGrid(path, {}), QString());
            m_paths.append(path);
        }
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        QCOMPARE(
            fixtures::writeGeoImage(m_dir.filePath(u"quad.tif"_s), picture, 500000, 4400100, 10),
            QString());
    }

    void linesAsWritten()
    {
        ProjectTheme polygon{
            u"sections.shp"_s, u"/data/sections.shp"_s, true, true, true, 255, 0, 1, 0, {}};
        ProjectTheme image{u"quad.tif"_s, u"/data/quad.tif"_s, false, true, false, 0, 0, 1, 0, {}};
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
        ProjectTheme image{u"quad.tif"_s, u"/data/quad.tif"_s, false, true, false, 0, 0, 1, 0, {}};
        ProjectTheme state{u"state"_s, u"/data/state.gpkg"_s, true, true, true, 255, 0, 1, 1, {}};
        state.plssFields = u"section=SEC,township=TWP,range=RNG"_s;
        const QByteArray bytes = writeProject({image, state});
        QVERIFY(
            bytes.endsWith("Symbol = 1\r\nPLSS Fields 2 = section=SEC,township=TWP,range=RNG\r\n"));
        const ParsedProject read = readProject(bytes);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.themes.size(), 2);
        QCOMPARE(read.themes[0].plssFields, QString());
        QCOMPARE(read.themes[1].plssFields, state.plssFields);
        // The blocks alone, as an older version wrote them, read the same themes.
        const ParsedProject older = readProject(bytes.left(bytes.indexOf("PLSS Fields")));
        QCOMPARE(older.themes.size(), 2);
        QCOMPARE(older.themes[1].plssFields, QString());
        // A theme left out for a bad value takes its fields with it; lines unknown are skipped.
        QByteArray spoilt = bytes;
        spoilt.replace("IsActive = False", "IsActive = Maybe");
        spoilt.replace("PLSS Fields 2", "PLSS Fields 1");
        spoilt += "Some Later Setting = 3\r\n";
        const ParsedProject left = readProject(spoilt);
        QCOMPARE(left.themes.size(), 1);
        QCOMPARE(left.themes[0].plssFields, QString());
    }

    void readBack()
    {
        const QList<ProjectTheme> themes = {
            {u"A=B"_s, u"/x/a b.shp"_s, false, false, true, 16711680, 65280, 2.6, 7, {}},
            {u"Title ending in a blank "_s, u"/x/q.tif"_s, true, true, false, 0, 0, 1, 0, {}}};
        const ParsedProject p = readProject(writeProject(themes));
        QCOMPARE(p.error, QString());
        QCOMPARE(p.themes.size(), 2);
        QCOMPARE(p.themes[0].title, u"A=B"_s);
        QCOMPARE(p.themes[0].path, u"/x/a b.shp"_s);
        QCOMPARE(p.themes[0].active, false);
        QCOMPARE(p.themes[0].visible, false);
        QCOMPARE(p.themes[0].color, 16711680u);
        QCOMPARE(p.themes[0].outlineColor, 65280u);
        QCOMPARE(p.themes[0].size, 3.0); // read back rounded
        QCOMPARE(p.themes[0].style, qint16(7));
        QCOMPARE(p.themes[1].title, u"Title ending in a blank "_s);
        QVERIFY(!p.themes[1].color);
        // LF line ends and Windows-1252 text are read too.
        const ParsedProject old =
            readProject("Number of themes = 1\nTitle = Ca\xf1on\nPath = /x/c.shp\nIsActive = 1\n"
                        "IsVisible = false\nIsMap = 0\n");
        QCOMPARE(old.error, QString());
        QCOMPARE(old.themes[0].title, u"Cañon"_s);
        QCOMPARE(old.themes[0].active, true);
        QCOMPARE(old.themes[0].visible, false);
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
        QCOMPARE(p.themes.size(), 2);
        QCOMPARE(p.themes[0].title, u"first"_s);
        QCOMPARE(p.themes[1].title, u"last"_s);
        QCOMPARE(p.themes[1].active, false);
        QCOMPARE(p.themes[1].style, qint16(4));
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

    // Save and open through a map window: order, flags and symbols survive; a missing theme
    // file skips its block and the rest still opens.
    void roundTripThroughAMapWindow()
    {
        FakeShell shell;
        frmMapView view(&shell);
        view.AddTheme(u"a.shp"_s, m_paths[0], true, true);
        view.AddTheme(u"quad.tif"_s, m_dir.filePath(u"quad.tif"_s), true, true);
        auto c = view.AddTheme(u"c=shp"_s, m_paths[2], true, true);
        std::static_pointer_cast<VectorLayer>(c)->Symbol() = ::Symbol{6, 255, 16711680, 3};
        view.legend()->ThemeItems()[0]->setIsVisible(false);
        view.legend()->ThemeItems()[0]->setIsActive(false);
        const QString file = m_dir.filePath(u"p.plss"_s);
        QVERIFY(view.SaveProject(file));

        frmMapView other(&shell);
        other.AddTheme(u"b.shp"_s, m_paths[1], true, true); // replaced by the project
        QVERIFY(other.ReadProject(file));
        const auto &rows = other.legend()->ThemeItems();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0]->title(), u"a.shp"_s);
        QVERIFY(!rows[0]->IsVisible() && !rows[0]->IsActive());
        QCOMPARE(rows[2]->title(), u"c=shp"_s);
        const auto &symbol = std::static_pointer_cast<VectorLayer>(rows[2]->MapLayer())->Symbol();
        QCOMPARE(symbol.Style, qint16(6));
        QCOMPARE(symbol.OutlineColor, 16711680u);
        QCOMPARE(symbol.Size, 3.0);
        QCOMPARE(other.map()->layers().first().get(), rows[2]->MapLayer().get());
        QVERIFY(shell.recorder.messages().isEmpty());

        // The middle theme's file is gone: the first and third still open.
        QFile::rename(m_dir.filePath(u"quad.tif"_s), m_dir.filePath(u"moved.tif"_s));
        QVERIFY(other.ReadProject(file));
        QCOMPARE(other.legend()->ThemeItems().size(), 2);
        QCOMPARE(shell.recorder.texts().size(), 1);
        QVERIFY(shell.recorder.texts().first().startsWith(
            u"Error: file "_s + m_dir.filePath(u"quad.tif"_s) + u" did not load.\n"_s));
        QFile::rename(m_dir.filePath(u"moved.tif"_s), m_dir.filePath(u"quad.tif"_s));
    }

    // A save that cannot complete leaves the old file as it was.
    void failedSaveKeepsTheOldFile()
    {
        FakeShell shell;
        frmMapView view(&shell);
        const QString file = m_dir.filePath(u"kept.plss"_s);
        QVERIFY(view.SaveProject(file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray old = f.readAll();
        f.close();
        view.AddTheme(u"a.shp"_s, m_paths[0], true, true);
        // Unwritable even for root: the file is made immutable, so it cannot be replaced.
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, file}) != 0)
            QSKIP("chattr +i is not available on this file system");
        const bool saved = view.SaveProject(file);
        QProcess::execute(u"chattr"_s, {u"-i"_s, file});
        QVERIFY(!saved);
        QCOMPARE(shell.recorder.messages().size(), 1);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), old);
    }
};

QTEST_MAIN(TestProjectFile)
#include "tst_project_file.moc"
