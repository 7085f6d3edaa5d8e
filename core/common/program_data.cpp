#include "core/common/program_data.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString programDataFile(const QString &programFolder, const QString &relative)
{
    const QDir program(programFolder);
    QString beside = program.filePath(relative);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(
        program.filePath(QStringLiteral(TRACTWISE_DATA_FROM_BIN) + u'/' + relative));
}

QString programDataFile(const QString &relative)
{
    return programDataFile(QCoreApplication::applicationDirPath(), relative);
}

SampleCopy copySampleProjects(const QString &sampleFolder, const QString &targetFolder)
{
    const QDir source(sampleFolder);
    const QString project = source.filePath(u"sample.plss"_s);
    if (!QFileInfo(project).isFile())
        return {{},
                u"The sample project is not installed: "_s + QDir::toNativeSeparators(project) +
                    u" is missing."_s};
    const QDir target(targetFolder);
    if (!QDir().mkpath(targetFolder))
        return {{},
                u"Unable to make the folder "_s + QDir::toNativeSeparators(targetFolder) +
                    u" for the sample project."_s};
    const QFileInfoList files = source.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString copy = target.filePath(file.fileName());
        if (QFileInfo::exists(copy))
            continue;
        QFile original(file.filePath());
        if (!original.copy(copy))
            return {{},
                    u"Unable to copy "_s + file.fileName() + u" into "_s +
                        QDir::toNativeSeparators(targetFolder) + u": "_s + original.errorString() +
                        u'.'};
        // Installed files are read-only to the user; the copy is the user's to change.
        QFile(copy).setPermissions(QFile(copy).permissions() | QFileDevice::WriteOwner);
    }
    return {target.filePath(u"sample.plss"_s), {}};
}

QString defaultSampleCopyFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(u"Tractwise Sample"_s);
}
