#pragma once

#include "core/engine/geometry.h"

#include <array>

class MessageService;

// Corner arrays are always in the order SW (0), NW (1), NE (2), SE (3).
using CornerArray = std::array<MapPoint, 4>;
enum Corner { SW = 0, NW = 1, NE = 2, SE = 3 };

// A new point with the coordinates of the given one.
MapPoint copyPoint(const MapPoint &point);

// Fills the corners of the polygon's bounding rectangle and, for each, the polygon vertex
// nearest it (the earlier vertex on a tie). A corner with no vertex within 1,000,000 map units
// is reported once with "Unable to calculate PLSS corners" and the result is false: the
// section corners are then not to be used.
bool polygonCorners(const MapPolygon &poly, CornerArray &extentCorners, CornerArray &sectionCorners,
                    MessageService &messages);
