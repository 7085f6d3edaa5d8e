#include "core/coords/gps_conversion.h"

#include "core/common/vector_state.h"

#include <cmath>

namespace {

// The 15-digit literal, not M_PI: results in the field were computed with it.
constexpr double Pi = 3.14159265358979;
constexpr double SemiMajor = 6378137.0;
constexpr double SemiMinor = 6356752.314;
constexpr double K0 = 0.9996;
constexpr double FalseEasting = 500000.0;

} // namespace

bool zoneCentralMeridian(qint16 zone, int &degrees)
{
    const int cm = 6 * int(zone) - 183;
    if (cm < -32768 || cm > 32767)
        return false;
    degrees = cm;
    return true;
}

bool geographicToUtm(double latitude, double longitude, qint16 zone, double &easting,
                     double &northing)
{
    int centralMeridian = 0;
    if (!zoneCentralMeridian(zone, centralMeridian))
        return false;
    clearUpperVectorState(); // the series is SSE code, often called right after drawing

    const double a = SemiMajor;
    const double phi = latitude * Pi / 180.0;
    const double e = std::sqrt(1.0 - (SemiMinor / a) * (SemiMinor / a));
    const double e2 = e * e;
    const double ep2 = e2 / (1.0 - e2);
    const double n = (a - SemiMinor) / (a + SemiMinor);
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double tanPhi = std::tan(phi);
    const double nu = a / std::sqrt(1.0 - (e * sinPhi) * (e * sinPhi));

    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n2 * n2;
    const double aArc = a * ((1 - n) + (5.0 / 4.0) * n2 * (1 - n) + (81.0 / 64.0) * n4 * (1 - n));
    const double bArc =
        (19134411.0 * n / 2.0) * ((1 - n) - (7.0 / 8.0) * n2 * (1 - n) + (55.0 / 64.0) * n4);
    const double cArc = (95672055.0 * n2 / 16.0) * ((1 - n) + (3.0 / 4.0) * n2 * (1 - n));
    const double dArc = (223234795.0 * n3 / 48.0) * ((1 - n) + (11.0 / 16.0) * n2);
    const double eArc = (2009113155.0 * n4 / 51.0) * (1 - n);
    const double arc = aArc * phi - bArc * std::sin(2 * phi) + cArc * std::sin(4 * phi) -
                       dArc * std::sin(6 * phi) + eArc * std::sin(8 * phi);

    const double deltaLambda = longitude - centralMeridian;
    const double p = deltaLambda * 3600.0 / 10000.0;
    const double s = Pi / 648000.0; // one arc second, used as its own sine

    const double cos2 = cosPhi * cosPhi;
    const double tan2 = tanPhi * tanPhi;
    const double k1 = arc * K0;
    const double k2 = s * s * nu * sinPhi * cosPhi * K0 * 1e8 / 2.0;
    const double k3 = (std::pow(s, 4) * nu * sinPhi * cos2 * cosPhi / 24.0) *
                      (5.0 - tan2 + 9.0 * ep2 * cos2 + 4.0 * ep2 * ep2 * cos2 * cos2) * K0 * 1e16;
    const double k4 = nu * cosPhi * s * K0 * 1e4;
    const double k5 = std::pow(s * cosPhi, 3) * (nu / 6.0) * (1.0 - tan2 + ep2 * cos2) * K0 * 1e12;

    const double north = k1 + k2 * p * p + k3 * std::pow(p, 4);
    const double east = k4 * p + k5 * p * p * p + FalseEasting;
    if (!std::isfinite(north) || !std::isfinite(east))
        return false;
    easting = east;
    northing = north;
    return true;
}

bool utmToGeographic(double easting, double northing, qint16 zone, double &latitude,
                     double &longitude)
{
    int centralMeridian = 0;
    if (!zoneCentralMeridian(zone, centralMeridian))
        return false;
    clearUpperVectorState(); // the series is SSE code, often called right after drawing

    const double a = SemiMajor;
    const double e = 0.081819191;
    const double e2 = 0.006694380015894481;
    const double oneMinusE2 = 0.9933056199841055;
    const double ep2 = e2 / oneMinusE2;

    const double m = northing / K0;
    const double mu =
        m / (a * (1.0 - e2 / 4.0 - 3.0 * e2 * e2 / 64.0 - 5.0 * e2 * e2 * e2 / 256.0));
    const double root = std::pow(oneMinusE2, 0.5);
    const double e1 = (1.0 - root) / (1.0 + root);
    const double e1_2 = e1 * e1;
    const double e1_3 = e1_2 * e1;
    const double e1_4 = e1_2 * e1_2;
    const double phi1 = mu + (3.0 * e1 / 2.0 - 27.0 * e1_3 / 32.0) * std::sin(2 * mu) +
                        (21.0 * e1_2 / 16.0 - 55.0 * e1_4 / 32.0) * std::sin(4 * mu) +
                        (151.0 * e1_3 / 96.0) * std::sin(6 * mu) +
                        (1097.0 * e1_4 / 512.0) * std::sin(8 * mu);

    const double sinPhi1 = std::sin(phi1);
    const double cosPhi1 = std::cos(phi1);
    const double tanPhi1 = std::tan(phi1);
    const double c1 = ep2 * cosPhi1 * cosPhi1;
    const double t1 = tanPhi1 * tanPhi1;
    const double w = 1.0 - (e * sinPhi1) * (e * sinPhi1);
    const double n1 = a / std::pow(w, 0.5);
    const double r1 = 6335439.327128563 / std::pow(w, 1.5);
    const double d = (FalseEasting - easting) / (n1 * K0);
    const double d2 = d * d;
    const double d4 = d2 * d2;
    const double d6 = d4 * d2;

    const double lat =
        (phi1 -
         (n1 * tanPhi1 / r1) *
             (d2 / 2.0 - (5.0 + 3.0 * t1 + 10.0 * c1 - 4.0 * c1 * c1 - 9.0 * ep2) * d4 / 24.0 +
              (61.0 + 90.0 * t1 + 298.0 * c1 + 45.0 * t1 * t1 - 252.0 * ep2 - 3.0 * c1 * c1) * d6 /
                  720.0)) *
        180.0 / Pi;
    const double deltaLambda =
        (d - (1.0 + 2.0 * t1 + c1) * d2 * d / 6.0 +
         (5.0 - 2.0 * c1 + 28.0 * t1 - 3.0 * c1 * c1 + 8.0 * ep2 + 24.0 * t1 * t1) * d4 * d /
             120.0) /
        cosPhi1 * 180.0 / Pi;
    const double lon = -(centralMeridian - deltaLambda);
    if (!std::isfinite(lat) || !std::isfinite(lon))
        return false;
    latitude = lat;
    longitude = lon;
    return true;
}
