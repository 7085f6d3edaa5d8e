#include "mapview/map_scale.h"

#include <cmath>

double mapScale(double extentWidthMetres, double controlWidthTwips)
{
    const float twips = float(controlWidthTwips);
    if (!(twips > 0) || !std::isfinite(extentWidthMetres))
        return 0.0;
    return extentWidthMetres * 3.2808 * 12 * 1440 / double(twips);
}
