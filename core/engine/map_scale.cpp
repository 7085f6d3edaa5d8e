#include "core/engine/map_scale.h"

#include "core/common/number_text.h"

#include <cmath>

double mapScale(double extentWidthMetres, double controlWidthTwips)
{
    const double twips = toSinglePrecision(controlWidthTwips);
    if (!(twips > 0) || !std::isfinite(extentWidthMetres))
        return 0.0;
    return extentWidthMetres * 3.2808 * 12 * 1440 / twips;
}
