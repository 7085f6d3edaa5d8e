#pragma once

// Window layout keeps its figures in twips (1/1440 inch); pixels are found with the screen's
// logical dots per inch.
constexpr double twipsPerInch = 1440.0;

constexpr double twipsPerPixel(double logicalDpi)
{
    return logicalDpi > 0 ? twipsPerInch / logicalDpi : 15.0;
}
