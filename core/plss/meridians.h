#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

// The abbreviations of a meridian as permits write them, in capitals without the periods, spaces
// and ampersands they are often written with ("SLBM" for "S.L.B.&M."); the program's own short
// form first. Empty for the meridians that have none.
QStringList meridianAbbreviations(int code);
// A meridian named briefly, as messages name it: "6th PM", "SLM", or "meridian 7" for one with
// no short form.
QString meridianShortName(int code);
