#pragma once

#include "core/plss/aliquot.h"
#include "core/plss/plss_query.h"

#include <QList>
#include <QString>

#include <array>
#include <memory>

class MessageService;
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
};

// Quarter calls "NW", "NE", "SE", "SW" for 160, 40, 10 and 2.5 acres; anything else ends them.
WellLocation locateByQuarterCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const std::array<QString, 4> &calls, MessageService &messages);

// Footage calls such as "660E" and "1980S" (or "E660" and "S1980").
WellLocation locateByFootageCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const QString &fcX, const QString &fcY, MessageService &messages);
