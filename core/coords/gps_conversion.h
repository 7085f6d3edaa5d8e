#pragma once

#include <QtGlobal>

// UTM <-> geographic arithmetic on the NAD 83 ellipsoid, as closed-form series. The literal
// constants and the series terms are the definition of the program's results (permit records
// were computed with them), so they are kept exactly rather than replaced by an exact transverse
// Mercator; they agree with one to a few millimetres within a zone.
//
// Both functions return false, and leave their outputs untouched, when the arithmetic does not
// give finite numbers or the zone's central meridian overflows 16-bit arithmetic.

// Latitude in degrees north, longitude in degrees with east positive (-105 is 105 W).
bool geographicToUtm(double latitude, double longitude, qint16 zone, double &easting,
                     double &northing);

// Longitude comes back in degrees west, positive (105 W is 105.0).
bool utmToGeographic(double easting, double northing, qint16 zone, double &latitude,
                     double &longitude);

// Central meridian of a zone in signed degrees (zone 13: -105), in 16-bit arithmetic.
bool zoneCentralMeridian(qint16 zone, int &degrees);
