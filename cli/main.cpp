#include "cli/locate_tool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const int code = runLocateTool(arguments, out, err, isatty(fileno(stderr)) != 0);
    out.flush();
    err.flush();
    return code;
}
