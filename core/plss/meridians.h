#pragma once

#include <QList>
#include <QString>

// The principal meridians of the PLSS by the BLM's two-digit codes (as the national data set,
// CadNSDI, numbers them in its PLSSID).
struct PrincipalMeridian
{
    int code = 0;
    QString name; // "Salt Lake Meridian", "Fifth Principal Meridian"
};

const QList<PrincipalMeridian> &principalMeridians();
// The meridian of a code; nothing for a code the table does not hold.
const PrincipalMeridian *meridianByCode(int code);
