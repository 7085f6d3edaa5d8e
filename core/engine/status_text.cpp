#include "core/engine/status_text.h"

#include "core/common/number_text.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Digits of a non-negative whole number with thousands separators.
QString grouped(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out.append(u',');
        out.append(digits[i]);
    }
    return out;
}

// Rounds halves away from zero at `places` decimals and groups the whole part; an empty whole
// part (the "#" form of a value under 1) stays empty.
QString formatGrouped(double value, int places, bool emptyWhenZeroWhole)
{
    const double scale = std::pow(10.0, places);
    const double rounded = std::round(std::fabs(value) * scale) / scale;
    QString text = QString::number(rounded, 'f', places);
    QString whole = text.section(u'.', 0, 0);
    const QString fraction = places > 0 ? text.section(u'.', 1, 1) : QString();
    whole = (emptyWhenZeroWhole && whole == u"0"_s) ? QString() : grouped(whole);
    const QString sign = value < 0 && rounded != 0 ? u"-"_s : QString();
    return sign + whole + (places > 0 ? u'.' + fraction : QString());
}

// The value's general text with everything after the second decimal cut off.
double cutToTwoPlaces(double v)
{
    const QString text = formatNumber(v);
    const qsizetype point = text.indexOf(u'.');
    if (point < 0 || text.contains(u'e'))
        return v;
    return text.left(point + 3).toDouble();
}

QString withLeadingBlank(double v)
{
    return (v >= 0 ? u" "_s : QString()) + formatNumber(v);
}

} // namespace

QString formatFeet(double feet)
{
    // Through its 15-digit general text first, as the figures have always been formatted.
    return formatGrouped(formatNumber(feet).toDouble(), 2, false);
}

QString measureStartText(const MapPoint &start)
{
    return u"X:"_s + withLeadingBlank(start.X) + u"; Y:"_s + withLeadingBlank(start.Y);
}

QString measureSegmentText(double segmentMetres, double totalMetres)
{
    return u"Segment Distance: "_s + formatFeet(segmentMetres * FeetPerMetre) + u" Feet."_s +
           u" Total Distance: "_s + formatFeet(totalMetres * FeetPerMetre) + u" Feet."_s;
}

QString measureDistanceText(double totalMetres)
{
    return u"Distance: "_s + formatFeet(totalMetres * FeetPerMetre) + u" Feet."_s;
}

QString pointerPositionText(const MapPoint &p)
{
    return u"X:"_s + formatGrouped(cutToTwoPlaces(p.X), 0, true) + u"  Y:"_s +
           formatGrouped(cutToTwoPlaces(p.Y), 0, true);
}
