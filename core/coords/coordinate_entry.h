#pragma once

#include <QString>

#include <optional>

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
// mode decides the notation written; seconds are whole and never carry into minutes.
std::optional<LatLongTexts> utmToLatLong(const QString &easting, const QString &northing,
                                         const QString &zone, int mode, MessageService &messages);

// Re-projects a UTM position from one zone to another. The easting must lie within
// eastingRangeError's range; zones are 16-bit numbers.
std::optional<UtmTexts> convertZone(const QString &easting, const QString &northing,
                                    const QString &startZone, const QString &endZone,
                                    MessageService &messages);

QString conversionFailedMessage();
