#pragma once

#include <QString>

// Registers GDAL's drivers once per process (cheap after the first call).
void ensureGdalRegistered();

// While alive, GDAL/OGR errors are not printed but counted, so a caller can tell a clean read
// from one that hit a damaged file. Scopes nest.
class GdalErrorTrap
{
public:
    GdalErrorTrap();
    ~GdalErrorTrap();
    GdalErrorTrap(const GdalErrorTrap &) = delete;
    GdalErrorTrap &operator=(const GdalErrorTrap &) = delete;

    int failures() const { return m_failures; }
    QString lastMessage() const { return m_lastMessage; }
    void reset()
    {
        m_failures = 0;
        m_lastMessage.clear();
    }

private:
    static void handler(int errClass, int errNo, const char *message);
    int m_failures = 0;
    QString m_lastMessage;
};
