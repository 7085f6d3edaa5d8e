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
MapPoint intersectLines(const MapPoint &a, const MapPoint &b, const MapPoint &c, const MapPoint &d);

enum class Quarter { SW, NW, NE, SE };
// "NW", "NE", "SE", "SW"; anything else ("--") is no call.
std::optional<Quarter> quarterFromCall(const QString &call);
QString quarterName(Quarter q);

// A half of a parcel: "N/2", "S/2", "E/2", "W/2" (also written "N2").
enum class Half { N, S, E, W };
std::optional<Half> halfFromCall(const QString &call);
QString halfName(Half h);
// Whether the text is a quarter or a half call.
bool isAliquotCall(const QString &call);

// How a section is divided. Classic: every quarter point at its nominal distance from the
// south or east corners, whatever the section's size, so the north and west halves take what it
// lacks. Manual: quarter and quarter-quarter points at the midpoints of their lines, except
// along the north and west edges of a township (sections 1-6 and 6, 7, 18, 19, 30, 31), where
// the points stand at their nominal distance from the south or east and the north and west rows
// take the excess or deficiency.
enum class SubdivisionRule { Classic, Manual };
QString ruleName(SubdivisionRule rule); // "classic rule", "manual rule"

struct QuarterPoints
{
    MapPoint S, W, N, E, C;
};

// The quarter points of a parcel for nominal half side h; nothing when the parcel is degenerate
// (a side of zero length, parallel quarter lines, or anything not finite).
std::optional<QuarterPoints> quarterPoints(const CornerArray &parcel, double h);
// A section's quarter points (S4, W4, N4, E4 and the centre) by the rule.
std::optional<QuarterPoints> sectionQuarterPoints(const CornerArray &section, SubdivisionRule rule,
                                                  int sectionNumber);
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

// Walks the calls (quarters and halves, largest first) level by level until the first that is
// neither. Nothing, and a stop message, when a parcel cannot be subdivided or the calls do not
// describe one parcel. `section` (its number) places the township's north and west rows for
// the manual rule; `halfSide` is the parcel's nominal half side (a section's by default).
std::optional<AliquotResult> subdivideByCalls(const CornerArray &sectionCorners,
                                              const std::array<QString, 4> &calls,
                                              MessageService &messages,
                                              SubdivisionRule rule = SubdivisionRule::Classic,
                                              int section = 0, double halfSide = 804.672);

// Why the calls, largest first, cannot describe a parcel ("Choose the 160-acre quarter
// first.", a quarter of a half), or an empty text.
QString aliquotCallsError(const std::array<QString, 4> &calls);

// The distance in feet from the point to the farthest vertex of the ring.
double radiusFeet(const MapPoint &point, const QList<MapPoint> &ring);

// The message for a parcel that cannot be subdivided.
QString degenerateParcelMessage();
