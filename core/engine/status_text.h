#pragma once

#include "core/engine/geometry.h"

#include <QString>

// The texts the map window writes into the status bar while measuring and moving the pointer.

constexpr double FeetPerMetre = 3.2808399;

// "#,##0.00": thousands separators, two decimals, halves away from zero.
QString formatFeet(double feet);
// "X: 456789.123; Y: 4321000.5" (a leading blank before a number that is not negative).
QString measureStartText(const MapPoint &start);
// "Segment Distance: 3,280.84 Feet. Total Distance: 3,280.84 Feet."
QString measureSegmentText(double segmentMetres, double totalMetres);
// "Distance: 3,280.84 Feet."
QString measureDistanceText(double totalMetres);
// "X:456,790  Y:4,321,000": each coordinate cut two places after the point, then shown whole.
QString pointerPositionText(const MapPoint &p);
