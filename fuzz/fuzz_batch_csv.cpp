// The batch tool's CSV input, forward or reverse, through to the output rows.
#include "cli/locate_tool.h"
#include "fuzz/fuzz_support.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString dir = fuzzsupport::workDir();
    const QString in = dir + u"/in.csv"_s, out = dir + u"/out.csv"_s;
    fuzzsupport::writeFile(in, fuzzsupport::bytes(data + 1, size - 1));
    const QString direction = (data[0] & 1) ? u"reverse"_s : u"forward"_s;
    const QString theme = fuzzsupport::sectionThemePath((data[0] & 2) ? 5 : 1);
    QString outText, errText;
    QTextStream o(&outText), e(&errText);
    runLocateTool({u"batch"_s, direction, u"--theme"_s, theme, u"--in"_s, in, u"--out"_s, out}, o,
                  e);
    return 0;
}
