#pragma once

#include <QString>

#include <optional>

// How numbers are read from and written into text boxes, in one place for the whole program.

// Shortest general form with up to 15 significant digits: 512345.5, 414640, 12 (never 12.0).
QString formatNumber(double value);

// Decimal rounding of the value's 15-significant-digit form to `places` decimals, halves to even
// (2.675 -> 2.68 because its 15-digit form is 2.67500000000000).
double roundTo(double value, int places);

// A text typed by the user, read with the locale's conversion; surrounding blanks are ignored.
// Empty or non-numeric text gives nothing.
std::optional<double> parseNumber(const QString &text);

// 16-bit integer conversion: nearest whole number, halves to even; nothing when the result lies
// outside -32768..32767 or the value is not finite.
std::optional<qint16> toInt16(double value);

// The value rounded to single precision and back, as the reverse calculator has always searched
// its point. Kept out of line and through a volatile store: an optimiser may otherwise fold the
// double -> float -> double round trip away, and two builds of one program would disagree.
double toSinglePrecision(double value);

// A UTM easting as the calculators take it: 100000 to 999999.99 metres once rounded to the
// centimetre. The message for one outside that range; nothing for one inside.
std::optional<QString> eastingRangeError(double easting);
