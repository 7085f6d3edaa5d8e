#pragma once

#include <QString>

// The program's own files that are not compiled in: the help collection and the sample
// projects. A build folder keeps them beside the programs; an installed copy keeps them under
// the prefix's share/tractwise, found from the program's folder so an unpacked package works
// wherever it is unpacked.

// The file or folder `relative` for a program in `programFolder`: beside it when it is there,
// else the installed place (returned even when missing, so a message can name it).
QString programDataFile(const QString &programFolder, const QString &relative);
// The same for this program (QCoreApplication::applicationDirPath()).
QString programDataFile(const QString &relative);

// The sample projects copied into a folder of the user's, which is made when missing. Files
// already there are left as they are, so a sample the user changed is never overwritten; the
// copies are writable whatever the originals were.
struct SampleCopy
{
    QString project = {}; // sample.plss in the copy; empty on failure
    QString error = {};   // what went wrong, to show; empty on success
};
SampleCopy copySampleProjects(const QString &sampleFolder, const QString &targetFolder);

// "Tractwise Sample" in the user's documents folder (the home folder when there is none).
QString defaultSampleCopyFolder();
