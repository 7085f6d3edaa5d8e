#pragma once

#include <QString>

#include <optional>
#include <utility>

class MessageService;

// The coordinate conversions of the Lat-Long and zone tabs, from the texts of their boxes to
// the texts to write. All on NAD 83; the UTM side of the Lat-Long tab is in the zone its Zone box
// names (a 16-bit number, refused with a message otherwise).

enum class LatLongMode { DecimalDegrees = 0, DecimalMinutes = 1, DegreesMinutesSeconds = 2 };

struct LatLongTexts
{
    QString lat, latMin, latSec;
    QString lon, lonMin, lonSec; // degrees west; the sign typed is ignored
};

struct UtmTexts
{
    QString easting, northing;
};

// Every minutes and seconds box that holds a number counts, in any mode; one that does not
// ("---", empty, text) adds nothing. A degree box that is not a number is refused with a message.
std::optional<UtmTexts> latLongToUtm(const LatLongTexts &in, const QString &zone,
                                     MessageService &messages);

// Empty boxes read as 0; a non-empty box that is not a number is refused with a message. The
// mode decides the notation written: degrees to 6 decimals, minutes to 4, seconds to 2 (about
// 0.1, 0.2 and 0.3 m), a rounding up carried into the minutes and degrees.
std::optional<LatLongTexts> utmToLatLong(const QString &easting, const QString &northing,
                                         const QString &zone, int mode, MessageService &messages);

// The latitude and longitude of a UTM point for files and other programs: decimal degrees to 6
// places, the longitude east positive ("-106" for 106 degrees west). Boxes read as above.
std::optional<std::pair<QString, QString>> utmToSignedDegrees(const QString &easting,
                                                              const QString &northing,
                                                              const QString &zone,
                                                              MessageService &messages);

// Re-projects a UTM position from one zone to another. The easting must lie within
// eastingRangeError's range; zones are 16-bit numbers.
std::optional<UtmTexts> convertZone(const QString &easting, const QString &northing,
                                    const QString &startZone, const QString &endZone,
                                    MessageService &messages);

QString conversionFailedMessage();
