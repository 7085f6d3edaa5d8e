#pragma once

#include "core/plss/aliquot.h"
#include "core/plss/footage.h"
#include "core/plss/plss_query.h"

#include <QList>
#include <QString>

#include <array>
#include <memory>

class MessageService;
class SecondDivisions;
class VectorLayer;

// The two calculate commands of the PLSS to UTM calculator as plain functions: they take the
// entries as typed and give back what the panel writes and draws. Messages go to `messages`.
struct WellLocation
{
    bool sectionFound = false;
    MapRect sectionExtent; // for zooming to the section, when it was found
    bool located = false;
    MapPoint location; // unrounded
    QString easting;   // rounded to two places, general form
    QString northing;
    QList<QuarterLine> lines;  // the quarter lines of each level worked (quarter calls only)
    bool clearOutputs = false; // the footage calls were empty: the output boxes are emptied
    // How sure: the distance in feet from the point to the farthest point of the parcel the
    // description names (0 for a point), how the point was found, and the parcel itself.
    double radiusFeet = 0;
    QString method; // "quarter calls, classic rule", "footage calls", "corner tie", ...
    MapPolygon parcel;
    MapPolygon section;
    std::optional<FootingCall> footage; // the footage calls of a tie's point
};

// A well as any form of description gives it. Calls are quarters ("NE") and halves ("N/2"),
// largest first; a tie's distances are "1234N", "567E".
struct WellDescription
{
    SectionEntries entries;
    std::array<QString, 4> calls;
    QString fcX, fcY;
    int lot = 0;
    QString tieCorner; // "SW", "SE", "NW", "NE", "N4", "S4", "E4", "W4", "C4"
    QString tieNorthSouth;
    QString tieEastWest;
};

struct LocateOptions
{
    SubdivisionRule rule = SubdivisionRule::Classic;
    const SecondDivisions *divisions = nullptr; // second divisions, where the map has them
};

// Places a well from whichever form the description takes: a tie, footage calls (both given),
// a lot, or aliquot calls (none: the whole section).
WellLocation locateWell(const VectorLayer &theme, const WellDescription &well,
                        const LocateOptions &options, MessageService &messages);

// The quarter-quarter where a regular township's lots lie when no survey says otherwise: lots
// 1-4 along the north line of sections 1-6 numbered east to west, 5-7 down the west line of
// section 6, 1-4 down the west line of sections 7, 18, 19, 30 and 31. The 160- and 40-acre calls.
std::optional<std::array<QString, 2>> protractedLot(int section, int lot);

// Quarter calls "NW", "NE", "SE", "SW" for 160, 40, 10 and 2.5 acres; anything else ends them.
WellLocation locateByQuarterCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const std::array<QString, 4> &calls, MessageService &messages);

// Footage calls such as "660E" and "1980S" (or "E660" and "S1980").
WellLocation locateByFootageCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const QString &fcX, const QString &fcY, MessageService &messages);
