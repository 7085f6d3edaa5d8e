// A whole project file, read into a legend whose themes load or fail to load.
#include "core/common/message_service.h"
#include "core/document/project_file.h"
#include "fuzz/fuzz_support.h"
#include "gui/legend/legend.h"
#include "gui/map/map.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    ParsedProject project = readProject(fuzzsupport::bytes(data, size));
    // Each theme that loads costs a file read; a handful shows every path through the reader.
    if (project.themes.size() > 6)
        project.themes.resize(6);
    ThemeList themes;
    Map map;
    map.setThemes(&themes);
    map.resize(200, 150);
    Legend legend;
    RecordingMessageService messages;
    legend.setThemes(&themes);
    legend.setMessageService(&messages);
    legend.loadProject(project);
    (void)map.grabMap();
    // What was shown must save and read back as the same themes.
    const QList<ProjectTheme> saved = legend.saveProject();
    const ParsedProject again = readProject(writeProject(saved));
    if (!again.error.isEmpty() || again.themes.size() != saved.size())
        std::abort();
    for (qsizetype i = 0; i < saved.size(); ++i) {
        if (again.themes[i].path != saved[i].path)
            std::abort();
    }
    return 0;
}
