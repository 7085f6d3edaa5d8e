#pragma once

#include "core/plss/section_corners.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// Subdivision of a parcel into quarters. Each quarter point sits at a fixed nominal distance from
// particular corners (half a mile at the first level, halved at each further level): along the
// south and east lines from the SE corner, along the west line from the SW corner, along the north
// line from the NE corner. What a real section lacks of a square mile falls into its north and
// west halves.

// Where the infinite line through a and b meets the one through c and d; both coordinates are
// NaN when the lines are parallel.
MapPoint IntersectLines(const MapPoint &a, const MapPoint &b, const MapPoint &c, const MapPoint &d);

enum class Quarter { SW, NW, NE, SE };
// "NW", "NE", "SE", "SW"; anything else ("--") is no call.
std::optional<Quarter> quarterFromCall(const QString &call);
QString quarterName(Quarter q);

struct QuarterPoints
{
    MapPoint S, W, N, E, C;
};

// The quarter points of a parcel for nominal half side h; nothing when the parcel is degenerate
// (a side of zero length, parallel quarter lines, or anything not finite).
std::optional<QuarterPoints> quarterPoints(const CornerArray &parcel, double h);
CornerArray subParcel(const CornerArray &parcel, const QuarterPoints &q, Quarter which);

// The point `distance` from `from` towards `to`.
MapPoint towards(const MapPoint &from, const MapPoint &to, double distance);

struct QuarterLine
{
    MapPoint from, to;
};

struct AliquotResult
{
    MapPoint location;        // mean of the final parcel's corners
    QList<QuarterLine> lines; // W-E then S-N of every processed level
    CornerArray finalParcel{};
};

// Walks the calls level by level until the first that is not a quarter. Nothing, and a stop
// message, when a parcel cannot be subdivided.
std::optional<AliquotResult> subdivideByCalls(const CornerArray &sectionCorners,
                                              const std::array<QString, 4> &calls,
                                              MessageService &messages);

// The message for a parcel that cannot be subdivided.
QString degenerateParcelMessage();
