#include "gui/common/program_resources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE declares the registration function where it is used: outside any namespace.
static void registerProgramResources()
{
    Q_INIT_RESOURCE(tractwise);
}

void loadProgramResources()
{
    static std::once_flag once;
    std::call_once(once, registerProgramResources);
}
