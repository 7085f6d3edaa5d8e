#include "core/plss/footage.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/plss/aliquot.h"

#include <cmath>

using namespace Qt::StringLiterals;

QString noFootingCallMessage()
{
    return u"No footage call provided."_s;
}

QString illegalDirectionMessage()
{
    return u"Illegal or no directions specified.  Each coordinate must be preceded by a \"N\", "
           "\"S\", \"E\", or \"W\" to indicate what side to measure from."_s;
}

double pointLineDistance(double px, double py, double x1, double y1, double x2, double y2,
                         bool &onSegment)
{
    const double dx = x2 - x1, dy = y2 - y1;
    if (dx == 0.0 && dy == 0.0) {
        onSegment = true;
        return std::hypot(px - x1, py - y1);
    }
    const double len2 = dx * dx + dy * dy;
    const double u = ((px - x1) * dx + (py - y1) * dy) / len2;
    onSegment = u >= 0.0 && u <= 1.0;
    return std::hypot(px - (x1 + u * dx), py - (y1 + u * dy));
}

SegmentCrossing intersectSegments(double x1, double y1, double x2, double y2, double x3, double y3,
                                  double x4, double y4)
{
    SegmentCrossing out{};
    out.distance = -1;
    const double d1x = x2 - x1, d1y = y2 - y1;
    const double d2x = x4 - x3, d2y = y4 - y3;
    const double den = d1y * d2x - d1x * d2y;
    const double t = ((x1 - x3) * d2y + (y3 - y1) * d2x) / den;
    if (den == 0.0 || !std::isfinite(t)) {
        out.p1 = out.p2 = out.p3 = {1e38, 1e38};
        return out;
    }
    const double s = ((x3 - x1) * d1y + (y1 - y3) * d1x) / (-den);
    if (t > 0 && t < 1 && s > 0 && s < 1)
        out.distance = t * std::sqrt(d1x * d1x + d1y * d1y);
    out.p1 = out.p2 = {x1 + d1x * t, y1 + d1y * t};
    out.p3 = {x3 + d2x * s, y3 + d2y * s};
    return out;
}

std::optional<FootingCall> calcFootingCall(const MapPolygon &section, const MapPoint &point,
                                           MessageService &messages)
{
    CornerArray extentCorners{}, c{};
    if (section.isEmpty() || !polygonCorners(section, extentCorners, c, messages))
        return std::nullopt;
    bool on = false;
    const double toWest =
        pointLineDistance(point.X, point.Y, c[SW].X, c[SW].Y, c[NW].X, c[NW].Y, on);
    const double toEast =
        pointLineDistance(point.X, point.Y, c[SE].X, c[SE].Y, c[NE].X, c[NE].Y, on);
    const double toNorth =
        pointLineDistance(point.X, point.Y, c[NW].X, c[NW].Y, c[NE].X, c[NE].Y, on);
    const double toSouth =
        pointLineDistance(point.X, point.Y, c[SW].X, c[SW].Y, c[SE].X, c[SE].Y, on);

    const MapPoint w = toNorth < toSouth ? MapPoint{c[NW].X - c[NE].X, c[NW].Y - c[NE].Y}
                                         : MapPoint{c[SW].X - c[SE].X, c[SW].Y - c[SE].Y};
    const MapPoint n = toWest < toEast ? MapPoint{c[NW].X - c[SW].X, c[NW].Y - c[SW].Y}
                                       : MapPoint{c[NE].X - c[SE].X, c[NE].Y - c[SE].Y};
    const MapPoint probes[4] = {{point.X + w.X, point.Y + w.Y},  // west
                                {point.X - w.X, point.Y - w.Y},  // east
                                {point.X + n.X, point.Y + n.Y},  // north
                                {point.X - n.X, point.Y - n.Y}}; // south
    double best[4] = {10000.0, 10000.0, 10000.0, 10000.0};
    const MapPolygon::Part &ring = section.parts().first();
    const qsizetype count = ring.size();
    for (qsizetype i = 0; i < count; ++i) {
        const MapPoint &a = ring[i];
        const MapPoint &b = ring[(i + 1) % count];
        for (int k = 0; k < 4; ++k) {
            const SegmentCrossing x =
                intersectSegments(point.X, point.Y, probes[k].X, probes[k].Y, a.X, a.Y, b.X, b.Y);
            if (x.distance > 0 && x.distance < best[k])
                best[k] = x.distance;
        }
    }
    FootingCall call;
    const bool north = best[2] < best[3];
    call.northSouth = north ? u"N"_s : u"S"_s;
    call.northSouthFeet = roundTo((north ? best[2] : best[3]) / SurveyFoot, 2);
    const bool west = best[0] < best[1];
    call.eastWest = west ? u"W"_s : u"E"_s;
    call.eastWestFeet = roundTo((west ? best[0] : best[1]) / SurveyFoot, 2);
    return call;
}

namespace {

struct ParsedCall
{
    QString letter;
    QString distanceText;
};

bool isDirection(const QString &letter)
{
    return letter == u"N"_s || letter == u"S"_s || letter == u"E"_s || letter == u"W"_s;
}

MapPoint unit(const MapPoint &from, const MapPoint &to)
{
    const double dx = to.X - from.X, dy = to.Y - from.Y;
    const double length = std::sqrt(dx * dx + dy * dy);
    return {dx / length, dy / length};
}

// The corner two calls measure from, and the unit directions into the section away from its east
// or west line (a) and away from its north or south line (b).
struct Measured
{
    MapPoint ref, a, b;
};
Measured measuredFrom(const CornerArray &c, bool east, bool south)
{
    if (east && south)
        return {c[SE], unit(c[SE], c[SW]), unit(c[SE], c[NE])};
    if (east)
        return {c[NE], unit(c[NE], c[NW]), unit(c[NE], c[SE])};
    if (!south)
        return {c[NW], unit(c[NW], c[NE]), unit(c[NW], c[SW])};
    return {c[SW], unit(c[SW], c[SE]), unit(c[SW], c[NW])};
}

} // namespace

std::optional<MapPoint> placeByFootageCalls(const MapPolygon &section, const CornerArray &c,
                                            const QString &fcX, const QString &fcY,
                                            MessageService &messages, bool *emptyCalls)
{
    if (emptyCalls)
        *emptyCalls = false;
    if (fcX.isEmpty() || fcY.isEmpty()) {
        messages.show(noFootingCallMessage(), MessageIcon::Stop);
        if (emptyCalls)
            *emptyCalls = true;
        return std::nullopt;
    }
    // The first box decides the form of both: a digit at its end means letter first.
    const QChar last = fcX.back();
    const bool letterFirst = last >= u'0' && last <= u'9';
    auto split = [letterFirst](const QString &text) {
        return letterFirst ? ParsedCall{text.left(1).toUpper(), text.mid(1)}
                           : ParsedCall{text.right(1).toUpper(), text.left(text.size() - 1)};
    };
    ParsedCall first = split(fcX), second = split(fcY);
    if (!isDirection(first.letter) || !isDirection(second.letter)) {
        messages.show(illegalDirectionMessage(), MessageIcon::Stop);
        return std::nullopt;
    }
    // One call must measure from the east or west line and the other from the north or south
    // line; two on one axis would place the well as if one of them were on the other axis.
    const bool firstEastWest = first.letter == u"E"_s || first.letter == u"W"_s;
    const bool secondEastWest = second.letter == u"E"_s || second.letter == u"W"_s;
    if (firstEastWest == secondEastWest) {
        messages.show(u"The footage calls "_s + fcX + u" and "_s + fcY + u" both measure from "_s +
                          (firstEastWest ? u"an east or west"_s : u"a north or south"_s) +
                          u" line. Give one distance from the east or west line and one from "
                          "the north or south line."_s,
                      MessageIcon::Stop);
        return std::nullopt;
    }
    auto d1 = parseNumber(first.distanceText);
    auto d2 = parseNumber(second.distanceText);
    if (!d1 || !d2) {
        const QString bad = !d1 ? fcX : fcY;
        messages.show(u"The footage call "_s + bad + u" does not give a distance in feet."_s,
                      MessageIcon::Stop);
        return std::nullopt;
    }
    if (first.letter == u"N"_s || first.letter == u"S"_s) {
        std::swap(first, second);
        std::swap(d1, d2);
    }
    const double m1 = *d1 * SurveyFoot;
    const double m2 = *d2 * SurveyFoot;

    const auto [ref, a, b] = measuredFrom(c, first.letter == u"E"_s, second.letter == u"S"_s);
    MapPoint p{ref.X + m1 * a.X + m2 * b.X, ref.Y + m1 * a.Y + m2 * b.Y};
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) {
        messages.show(degenerateParcelMessage(), MessageIcon::Stop);
        return std::nullopt;
    }
    const auto measured = calcFootingCall(section, p, messages);
    if (!measured)
        return std::nullopt;
    if (measured->eastWest == first.letter && measured->northSouth == second.letter) {
        const double e1 = measured->eastWestFeet * SurveyFoot - m1;
        if (e1 != 0)
            p = {p.X - e1 * a.X, p.Y - e1 * a.Y};
        const double e2 = measured->northSouthFeet * SurveyFoot - m2;
        if (e2 != 0)
            p = {p.X - e2 * b.X, p.Y - e2 * b.Y};
    }
    return p;
}
