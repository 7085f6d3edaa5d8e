#pragma once

#include "core/plss/well_location.h"

#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

#include <memory>

class RecordingMessageService;
class VectorLayer;

// What each command of tractwise-locate does once its options are read.
namespace locaterun {

constexpr int ExitError = 1;
constexpr int ExitUsage = 2;

inline const QString toolName = QStringLiteral("tractwise-locate");

// Joins what a command said into one line for an error column or stderr.
QString said(const RecordingMessageService &messages);

// What a command's handler works with: the parsed options, the section theme when the command
// takes one, and the two streams.
struct Run
{
    const QCommandLineParser &parser;
    std::shared_ptr<VectorLayer> theme;
    LocateOptions options; // the rule and the second divisions
    QTextStream &out;
    QTextStream &err;
    bool showProgress;
    QString v(const QString &option) const { return parser.value(option); }
};

int runForward(const Run &run);
int runReverse(const Run &run);
int runToUtm(const Run &run);
int runToGeo(const Run &run);
int runZone(const Run &run);
int runBatchForward(const Run &run);
int runBatchReverse(const Run &run);
int runParse(const Run &run);
int runBatchParse(const Run &run);

} // namespace locaterun
