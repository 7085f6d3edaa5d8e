#pragma once

#include "core/engine/labels.h"
#include "core/plss/aliquot.h"
#include "core/plss/section_corners.h"

#include <QString>

#include <array>

class MessageService;
class VectorLayer;

// 1 when the point lies inside the clockwise quadrilateral (its boundary counts as inside);
// otherwise minus the distance from the point to the average of the corners, rounded (halves to
// even) and kept within 16 bits.
qint16 pointInQuad(const MapPoint &point, const CornerArray &corners);

// What a reverse location writes: the section, township and range as the theme stores them, the
// footage calls and the four levels of quarter calls of the point.
struct ReverseLocation
{
    bool sectionFound = false;
    MapRect sectionExtent;
    bool located = false;
    QString section, township, range;
    int meridian = 0; // the principal meridian's code where the theme gives a known one
    QString fcX, fcY; // "E1234.56", "S123.45"
    std::array<QString, 4> quarters; // 160, 40, 10, 2.5 acres
    MapPoint searchPoint;            // the point as searched, where the mark goes
    QList<QuarterLine> lines;        // the quarter lines of each level worked
};

// From an easting and northing as typed (metres, the easting within eastingRangeError's range)
// to the section that contains the point in the theme.
ReverseLocation reverseLocate(const VectorLayer &theme, const QString &eastingText,
                              const QString &northingText, MessageService &messages);

// The labels of a section theme: each section's number, and "T12N R67W" for each township,
// drawn where the sections are too small on screen for theirs.
LayerLabels sectionLabels(const VectorLayer &theme);
