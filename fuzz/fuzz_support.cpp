#include "fuzz/fuzz_support.h"

#include "core/engine/vector_layer.h"
#include "core/plss/plss_query.h"
#include "tests/fixtures/fixtures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace fuzzsupport {

namespace {
QTemporaryDir *g_dir = nullptr;
std::shared_ptr<VectorLayer> g_themes[2];
} // namespace

void init()
{
    if (g_dir)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CPL_LOG", "/dev/null"); // GDAL's complaints about broken files are expected here
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives as long as the process
    g_dir = new QTemporaryDir;
    QDir::setCurrent(g_dir->path());
    for (int layout : {1, 5}) {
        fixtures::SectionGrid grid;
        grid.layout = layout == 1 ? fixtures::Layout::Layout1 : fixtures::Layout::Layout5;
        grid.originX = 500000;
        grid.originY = 4400000;
        const QString path = sectionThemePath(layout);
        if (!fixtures::writeSectionGrid(path, grid).isEmpty())
            std::abort();
        auto theme = VectorLayer::open(path);
        if (!theme->isValid())
            std::abort();
        recognisePlssSectionTheme(*theme);
        g_themes[layout == 1 ? 0 : 1] = theme;
    }
}

QString workDir()
{
    return g_dir->path();
}

QString sectionThemePath(int layout)
{
    return g_dir->filePath(layout == 1 ? u"sections.shp"_s : u"sections5.shp"_s);
}

std::shared_ptr<VectorLayer> sectionTheme(int layout)
{
    return g_themes[layout == 1 ? 0 : 1];
}

QByteArray bytes(const uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QList<QString> fields(const QByteArray &input, int n)
{
    QList<QString> out;
    const QString text = QString::fromUtf8(input);
    qsizetype from = 0;
    for (int i = 0; i < n; ++i) {
        if (i == n - 1) {
            out.append(text.mid(from));
            break;
        }
        const qsizetype nl = text.indexOf(u'\n', from);
        if (nl < 0) {
            out.append(text.mid(from));
            from = text.size();
        } else {
            out.append(text.mid(from, nl - from));
            from = nl + 1;
        }
    }
    return out;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(content);
}

} // namespace fuzzsupport

// Every target starts the same way; libFuzzer calls this once before the first input.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzsupport::init();
    return 0;
}
