#pragma once

#include "core/plss/section_corners.h"

#include <QString>

#include <optional>

// Footage calls: distances in US survey feet from the section lines.

constexpr double SurveyFoot = 0.3048006096; // metres

// Distance from (px, py) to the infinite line through (x1, y1) and (x2, y2); `onSegment` is true
// when the foot of the perpendicular lies between the two points. Coinciding points give the
// distance to that point (and onSegment true).
double pointLineDistance(double px, double py, double x1, double y1, double x2, double y2,
                         bool &onSegment);

struct SegmentCrossing
{
    MapPoint p1, p2; // the crossing computed on segment 1 (twice, as callers expect)
    MapPoint p3;     // the crossing computed on segment 2
    double distance; // from (x1, y1) along segment 1, or -1 when the segments do not cross
};

// Where segment 1 (x1, y1)-(x2, y2) crosses segment 2 (x3, y3)-(x4, y4). Parallel or degenerate
// segments give 1e38 for every coordinate and distance -1; a crossing outside either segment
// (ends excluded) gives distance -1 with the points still filled.
SegmentCrossing intersectSegments(double x1, double y1, double x2, double y2, double x3, double y3,
                                  double x4, double y4);

struct FootingCall
{
    QString eastWest; // "E" or "W"
    double eastWestFeet = 0;
    QString northSouth; // "N" or "S"
    double northSouthFeet = 0;
};

// The footage calls of a point: measured from the point along lines parallel to the section's
// own lines to where they cross the boundary of the polygon's first part, in feet rounded to two
// places. Nothing when the section's corners cannot be found (the message has been shown).
std::optional<FootingCall> calcFootingCall(const MapPolygon &section, const MapPoint &point,
                                           MessageService &messages);

// The point a pair of footage calls ("660E", "S1980") places in a section, corrected once by
// measuring it back. Shows the program's messages and gives nothing for empty calls (then
// `emptyCalls` is set: the caller empties its outputs), a letter that is not N, S, E or W, or a
// distance that is not a number.
std::optional<MapPoint> placeByFootageCalls(const MapPolygon &section,
                                            const CornerArray &sectionCorners, const QString &fcX,
                                            const QString &fcY, MessageService &messages,
                                            bool *emptyCalls = nullptr);

QString noFootingCallMessage();
QString illegalDirectionMessage();
