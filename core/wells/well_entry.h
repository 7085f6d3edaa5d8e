#pragma once

#include "core/plss/well_location.h"

#include <QString>

#include <array>
#include <optional>

// One well as a list of permits gives it: the columns batch forward reads, all as typed.
struct WellEntry
{
    QString id;
    QString description;
    QString meridian, township, range, section;
    std::array<QString, 4> calls; // largest first: q160, q40, q10, q2_5
    QString fcX, fcY;
    QString lot;
    QString tieCorner, tieNorthSouth, tieEastWest;

    // Township, range and section all empty: the description says where the well is.
    bool fromDescription() const
    {
        return township.isEmpty() && range.isEmpty() && section.isEmpty();
    }
    bool operator==(const WellEntry &) const = default;
};

// Where an entry's well is and how sure: the location, its texts for tables and files, and
// what went wrong (empty when nothing did).
struct EntryLocation
{
    WellLocation well;
    QString latitude, longitude; // NAD83 decimal degrees, east positive; empty when not located
    QString radiusFeet;          // whole feet; empty when not located
    QString message;
    // The entry as it was located: where its description said where the well is, what the
    // description gave in its separate fields (see resolvedEntry).
    WellEntry resolved;
    bool located() const { return well.located; }
};

// An entry whose township, range and section are empty with what its description gives in
// those fields, the meridian, the calls, lot and tie; any other entry, or one whose description
// cannot be read, as it is.
WellEntry resolvedEntry(const WellEntry &entry);

// Locates an entry on the theme, as batch forward does: the description serves an entry whose
// township, range and section are empty. Safe to call from several threads at once.
EntryLocation locateEntry(const VectorLayer &theme, const WellEntry &entry,
                          const LocateOptions &options);

// A well at a point given by its easting and northing (a reverse location): no radius, the method
// "reverse location", its latitude and longitude in NAD83 UTM `zone` (0: none).
EntryLocation pointLocation(const MapPoint &point, int zone);

// A well from a description: fills what the separate entries leave empty. False, with the
// reader's reason, when the text is no description.
bool fillFromDescription(WellDescription &well, const QString &text, QString *error);

// A lot column or option: empty (0), or a whole number from 1 to 999.
std::optional<int> lotNumber(const QString &text, QString *error);

// The calls of an entry as one line, as a permit writes them: quarters smallest first
// ("NE SW"), footages ("660E 1980S"), "Lot 3", or a tie ("Tie SW 1234N 567E").
QString callsText(const WellEntry &entry);
// The calls read back from such a line into `entry`; false, with the word not understood.
bool setCallsText(WellEntry &entry, const QString &text, QString *error);
