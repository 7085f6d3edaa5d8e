#include "core/engine/gdal_session.h"

#include <cpl_error.h>
#include <gdal.h>

#include <mutex>

void ensureGdalRegistered()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Images with absurd declared sizes must not make GDAL reserve gigabytes for its cache.
        GDALSetCacheMax64(GIntBig(256) * 1024 * 1024);
        GDALAllRegister();
    });
}

GdalErrorTrap::GdalErrorTrap()
{
    CPLPushErrorHandlerEx([](CPLErr errClass, CPLErrorNum errNo,
                             const char *message) { handler(int(errClass), int(errNo), message); },
                          this);
}

GdalErrorTrap::~GdalErrorTrap()
{
    CPLPopErrorHandler();
}

void GdalErrorTrap::handler(int errClass, int, const char *message)
{
    auto *self = static_cast<GdalErrorTrap *>(CPLGetErrorHandlerUserData());
    if (!self || errClass < CE_Failure)
        return;
    ++self->m_failures;
    self->m_lastMessage = QString::fromUtf8(message ? message : "");
}
