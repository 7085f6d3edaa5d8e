#pragma once

#include <QString>

#include <array>
#include <optional>

// Legal descriptions as permits, logs and leases write them ("NE/4 SW/4 Sec. 36, T153N, R95W,
// 5th P.M.", "660' FNL & 1980' FEL, Sec. 12, T5N, R65W, 6th PM", "SENE 36-153N-95W"), read into
// the calculator's fields. Case, punctuation, extra spaces, "and"/"&" and the order of the parts
// do not matter; what cannot be read is quoted in the message, and halves, lots, tracts and
// metes and bounds are named as such, never guessed. Ties from a corner ("N 1234 ft E 567 ft
// from SW Cor"), halves ("N/2 NE/4", "E2NW"), lots ("Lot 3", "L3") and whole sections ("All of
// Section 16") are read; what names several tracts or contradicts itself is refused by name.
struct DescriptionFields
{
    QString section;  // "36"
    QString township; // "153N" ("15.5N" for a half township)
    QString range;    // "95W"
    QString meridian; // the BLM's code, "5", "26"; empty when not given
    // The aliquot calls largest first: quarters ("NE") and halves ("N/2"); "" for none. Quarters
    // alone are 160, 40, 10 and 2.5 acres.
    std::array<QString, 4> quarters;
    QString fcX;               // "1980E"
    QString fcY;               // "660N"
    int lot = 0;               // a government lot; the quarters then say where it lies
    bool wholeSection = false; // "All of Section 16"
    // A tie from a corner: "SW", "SE", "NW", "NE", "N4", "S4", "E4", "W4" or "C4", and the
    // distances ("1234N", "567E"); one of them may be empty.
    QString tieCorner;
    QString tieNorthSouth;
    QString tieEastWest;
};

// The message for a tie by bearing and distance.
QString bearingTieMessage();

std::optional<DescriptionFields> readLegalDescription(const QString &text, QString *error);
