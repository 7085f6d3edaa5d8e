#pragma once

#include "core/plss/reverse_location.h"

#include <QString>

// A located point written as a legal description in the BLM's order: the quarter calls
// smallest first, the section, township and range, the meridian when known, then the footage
// calls. "NW1/4 SW1/4 SE1/4 NE1/4 sec. 30, T. 23 S., R. 19 E., Salt Lake Meridian; 2309.87 ft
// from the W line, 2220.25 ft from the N line". `meridianCode` 0 leaves the meridian out.
QString legalDescription(const ReverseLocation &location, int meridianCode = 0);
