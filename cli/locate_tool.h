#pragma once

#include <QStringList>

class QTextStream;

// The command line tool for locating many wells at once, on the same core as the calculator
// panel. `arguments` excludes the program name. Returns the exit code: 0 done, 1 an error
// (its message on `err`), 2 a usage error.
int runLocateTool(const QStringList &arguments, QTextStream &out, QTextStream &err,
                  bool showProgress = false);
