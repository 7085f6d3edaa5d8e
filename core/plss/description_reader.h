#pragma once

#include <QString>

#include <array>
#include <optional>

// Legal descriptions as permits, logs and leases write them ("NE/4 SW/4 Sec. 36, T153N, R95W,
// 5th P.M.", "660' FNL & 1980' FEL, Sec. 12, T5N, R65W, 6th PM", "SENE 36-153N-95W"), read into
// the calculator's fields. Case, punctuation, extra spaces, "and"/"&" and the order of the parts
// do not matter; what cannot be read is quoted in the message, and halves, lots, tracts and
// metes and bounds are named as such, never guessed.
struct DescriptionFields
{
    QString section;                 // "36"
    QString township;                // "153N" ("15.5N" for a half township)
    QString range;                   // "95W"
    QString meridian;                // the BLM's code, "5", "26"; empty when not given
    std::array<QString, 4> quarters; // 160, 40, 10 and 2.5 acres, largest first; "" for none
    QString fcX;                     // "1980E"
    QString fcY;                     // "660N"
};

std::optional<DescriptionFields> readLegalDescription(const QString &text, QString *error);
