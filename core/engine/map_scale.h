#pragma once

// The representative fraction 1:n of a map display: n real inches per inch of the display, for
// map units of metres (3.2808 feet to the metre, as the scale has always been figured). Zero for
// a display without width or extent.
double mapScale(double extentWidthMetres, double controlWidthTwips);
