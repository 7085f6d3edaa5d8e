#include "core/coords/coordinate_entry.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/coords/gps_conversion.h"

#include <cmath>

using namespace Qt::StringLiterals;

QString conversionFailedMessage()
{
    return u"These coordinates cannot be converted."_s;
}

namespace {

void addIfNumber(double &target, const QString &text, double divisor)
{
    if (const auto v = parseNumber(text))
        target += *v / divisor;
}

QString fillers()
{
    return u"---"_s;
}

// A zone box's number, or nothing after saying which box needs one.
std::optional<qint16> zoneOf(const QString &text, const QString &box, MessageService &messages)
{
    const auto v = parseNumber(text);
    const auto zone = v ? toInt16(*v) : std::nullopt;
    if (!zone)
        messages.show(u"Enter a zone number in the "_s + box + u" box."_s, MessageIcon::Stop);
    return zone;
}

} // namespace

std::optional<UtmTexts> latLongToUtm(const LatLongTexts &in, const QString &zoneText,
                                     MessageService &messages)
{
    const auto lat = parseNumber(in.lat);
    if (!lat) {
        messages.show(u"Enter the degrees of latitude in the Latitude box."_s, MessageIcon::Stop);
        return std::nullopt;
    }
    const auto lon = parseNumber(in.lon);
    if (!lon) {
        messages.show(u"Enter the degrees of longitude in the Longitude box."_s, MessageIcon::Stop);
        return std::nullopt;
    }
    double latitude = *lat;
    double longitude = std::fabs(*lon);
    addIfNumber(latitude, in.latMin, 60);
    addIfNumber(latitude, in.latSec, 3600);
    addIfNumber(longitude, in.lonMin, 60);
    addIfNumber(longitude, in.lonSec, 3600);
    const auto zone = zoneOf(zoneText, u"Zone"_s, messages);
    if (!zone)
        return std::nullopt;
    double e = 0, n = 0;
    if (!geographicToUtm(latitude, -longitude, *zone, e, n)) {
        messages.show(conversionFailedMessage(), MessageIcon::Stop);
        return std::nullopt;
    }
    return UtmTexts{formatNumber(roundTo(e, 2)), formatNumber(roundTo(n, 2))};
}

namespace {

// The latitude and the longitude west of the UTM boxes' point, or nothing after a message.
std::optional<std::pair<double, double>> geographicOf(const QString &eastingText,
                                                      const QString &northingText,
                                                      const QString &zoneText,
                                                      MessageService &messages)
{
    auto read = [&](const QString &text, const QString &box) -> std::optional<double> {
        if (text.isEmpty())
            return 0.0;
        const auto v = parseNumber(text);
        if (!v)
            messages.show(u"Enter the "_s + box.toLower() + u" in metres in the "_s + box +
                              u" box."_s,
                          MessageIcon::Stop);
        return v;
    };
    const auto easting = read(eastingText, u"Easting"_s);
    if (!easting)
        return std::nullopt;
    const auto northing = read(northingText, u"Northing"_s);
    if (!northing)
        return std::nullopt;
    const auto zone = zoneOf(zoneText, u"Zone"_s, messages);
    if (!zone)
        return std::nullopt;
    double lat = 0, lon = 0;
    if (!utmToGeographic(*easting, *northing, *zone, lat, lon)) {
        messages.show(conversionFailedMessage(), MessageIcon::Stop);
        return std::nullopt;
    }
    return std::pair{lat, lon};
}

} // namespace

std::optional<std::pair<QString, QString>> utmToSignedDegrees(const QString &easting,
                                                              const QString &northing,
                                                              const QString &zone,
                                                              MessageService &messages)
{
    const auto geo = geographicOf(easting, northing, zone, messages);
    if (!geo)
        return std::nullopt;
    return std::pair{formatNumber(roundTo(geo->first, 6)), formatNumber(roundTo(-geo->second, 6))};
}

std::optional<LatLongTexts> utmToLatLong(const QString &eastingText, const QString &northingText,
                                         const QString &zoneText, int mode,
                                         MessageService &messages)
{
    const auto geo = geographicOf(eastingText, northingText, zoneText, messages);
    if (!geo)
        return std::nullopt;
    auto [lat, lon] = *geo;
    LatLongTexts out;
    if (mode == int(LatLongMode::DecimalDegrees)) {
        out.lat = formatNumber(roundTo(lat, 6));
        out.lon = formatNumber(roundTo(lon, 6));
        out.latMin = out.lonMin = out.latSec = out.lonSec = fillers();
        return out;
    }
    lon = std::fabs(lon);
    // Rounded once in the smallest unit written, then split, so that 59.999" is written as the
    // next minute and never as 60".
    const auto split = [](double degrees, double perDegree, int places) {
        const double total = roundTo(degrees * perDegree, places);
        const double whole = std::floor(total / perDegree);
        return std::pair{whole, total - whole * perDegree};
    };
    if (mode == int(LatLongMode::DecimalMinutes)) {
        const auto [latDegrees, latMinutes] = split(lat, 60, 4);
        const auto [lonDegrees, lonMinutes] = split(lon, 60, 4);
        out.lat = formatNumber(latDegrees);
        out.lon = formatNumber(lonDegrees);
        out.latMin = formatNumber(roundTo(latMinutes, 4));
        out.lonMin = formatNumber(roundTo(lonMinutes, 4));
        out.latSec = out.lonSec = fillers();
        return out;
    }
    const auto [latDegrees, latSeconds] = split(lat, 3600, 2);
    const auto [lonDegrees, lonSeconds] = split(lon, 3600, 2);
    const double latMinutes = std::floor(latSeconds / 60), lonMinutes = std::floor(lonSeconds / 60);
    out.lat = formatNumber(latDegrees);
    out.lon = formatNumber(lonDegrees);
    out.latMin = formatNumber(latMinutes);
    out.lonMin = formatNumber(lonMinutes);
    out.latSec = formatNumber(roundTo(latSeconds - latMinutes * 60, 2));
    out.lonSec = formatNumber(roundTo(lonSeconds - lonMinutes * 60, 2));
    return out;
}

std::optional<UtmTexts> convertZone(const QString &eastingText, const QString &northingText,
                                    const QString &startZone, const QString &endZone,
                                    MessageService &messages)
{
    const auto easting = parseNumber(eastingText);
    if (!easting) {
        messages.show(u"Enter the easting in metres in the Easting box."_s, MessageIcon::Stop);
        return std::nullopt;
    }
    if (const auto outside = eastingRangeError(*easting)) {
        messages.show(*outside, MessageIcon::Information);
        return std::nullopt;
    }
    const auto from = zoneOf(startZone, u"Starting Zone"_s, messages);
    if (!from)
        return std::nullopt;
    const auto northing = parseNumber(northingText);
    if (!northing) {
        messages.show(u"Enter the northing in metres in the Northing box."_s, MessageIcon::Stop);
        return std::nullopt;
    }
    const auto to = zoneOf(endZone, u"Ending Zone"_s, messages);
    if (!to)
        return std::nullopt;
    double lat = 0, lonWest = 0, e = 0, n = 0;
    if (!utmToGeographic(*easting, *northing, *from, lat, lonWest) ||
        !geographicToUtm(lat, -lonWest, *to, e, n)) {
        messages.show(conversionFailedMessage(), MessageIcon::Stop);
        return std::nullopt;
    }
    return UtmTexts{formatNumber(roundTo(e, 2)), formatNumber(roundTo(n, 2))};
}
