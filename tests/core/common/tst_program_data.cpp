#include "core/common/program_data.h"
#include "core/document/project_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestProgramData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A build folder keeps the data beside the program; an installed (or unpacked) tree keeps it
    // under share/tractwise next to bin, wherever the tree is.
    void dataFoundBesideOrInstalled_data()
    {
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build folder") << u"bin/help/tractwise.qhc"_s << u"bin/help/tractwise.qhc"_s;
        QTest::newRow("installed")
            << u"share/tractwise/help/tractwise.qhc"_s << u"share/tractwise/help/tractwise.qhc"_s;
        QTest::newRow("neither: the installed place is named")
            << QString() << u"share/tractwise/help/tractwise.qhc"_s;
    }
    void dataFoundBesideOrInstalled()
    {
        QFETCH(QString, present);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QDir().mkpath(root.filePath(u"bin"_s));
        if (!present.isEmpty())
            writeFile(root.filePath(present), "qhc");
        QCOMPARE(programDataFile(root.filePath(u"bin"_s), u"help/tractwise.qhc"_s),
                 root.filePath(expected));
    }

    // The installed sample is read-only to the user: the copy is writable, a second copy keeps
    // what the user changed, and the copied project still finds its themes beside it.
    void sampleCopiedForTheUser()
    {
        QTemporaryDir root;
        const QString installed = root.filePath(u"usr/share/tractwise/sample"_s);
        writeFile(installed + u"/sample.plss"_s, "Number of themes = 1\nTitle = s.shp\n"
                                                 "Path = s.shp\nIsActive = True\n"
                                                 "IsVisible = True\nIsMap = 1\nColor = 0\n"
                                                 "OutlineColor = 65280\nSize = 2\nSymbol = 1\n");
        writeFile(installed + u"/s.shp"_s, "shape");
        for (const QString &name : {u"sample.plss"_s, u"s.shp"_s})
            QFile(installed + u'/' + name)
                .setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        const QString documents = root.filePath(u"home/Documents/Tractwise Sample"_s);

        SampleCopy copy = copySampleProjects(installed, documents);
        QCOMPARE(copy.error, QString());
        QCOMPARE(copy.project, documents + u"/sample.plss"_s);
        QVERIFY(QFile(documents + u"/s.shp"_s).permissions() & QFileDevice::WriteOwner);
        QVERIFY(QFile(copy.project).permissions() & QFileDevice::WriteOwner);
        ParsedProject project = readProject(readFile(copy.project));
        QVERIFY2(project.error.isEmpty(), qPrintable(project.error));
        resolveRelativePaths(project, copy.project);
        QCOMPARE(project.themes.size(), 1);
        QCOMPARE(project.themes.first().path, documents + u"/s.shp"_s);

        writeFile(copy.project, "the user's own");
        QFile::remove(documents + u"/s.shp"_s);
        copy = copySampleProjects(installed, documents);
        QCOMPARE(copy.error, QString());
        QCOMPARE(readFile(copy.project), QByteArray("the user's own"));
        QCOMPARE(readFile(documents + u"/s.shp"_s), QByteArray("shape"));
    }

    void sampleCopyFailuresSaid_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("message");
        QTest::newRow("not installed") << false << u"The sample project is not installed: "_s;
        QTest::newRow("no folder can be made") << true << u"Unable to make the folder "_s;
    }
    void sampleCopyFailuresSaid()
    {
        QFETCH(bool, installed);
        QFETCH(QString, message);
        QTemporaryDir root;
        const QString sample = root.filePath(u"sample"_s);
        if (installed)
            writeFile(sample + u"/sample.plss"_s, "Number of themes = 0\n");
        // A file where the folder would go.
        writeFile(root.filePath(u"Documents"_s), "a file");
        const SampleCopy copy = copySampleProjects(sample, root.filePath(u"Documents/Sample"_s));
        QVERIFY2(copy.error.startsWith(message), qPrintable(copy.error));
        QCOMPARE(copy.project, QString());
    }
};

QTEST_GUILESS_MAIN(TestProgramData)
#include "tst_program_data.moc"
