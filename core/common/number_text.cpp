#include "core/common/number_text.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

QString formatNumber(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // no "-0"
    // Whole numbers below 10^15 print the same either way; this way costs no digit generation.
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

double roundTo(double value, int places)
{
    if (!std::isfinite(value) || places < 0 || places > 15)
        return value;
    // Digits and exponent of the 15-significant-digit form: d.dddddddddddddd e X
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    const char *p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9')
            digits.push_back(*p);
    }
    const int exponent = std::atoi(p + 1);
    // The number is 0.<digits> * 10^(exponent + 1); keep `exponent + 1 + places` digits.
    const int keep = exponent + 1 + places;
    if (keep >= int(digits.size()))
        return value; // already within the requested places
    if (keep < 0)
        return 0.0; // below half a unit of the last place
    std::string kept = digits.substr(0, keep);
    bool roundUp = false;
    const char first = digits[keep];
    const bool restNonZero = digits.find_first_not_of('0', keep + 1) != std::string::npos;
    if (first > '5' || (first == '5' && restNonZero))
        roundUp = true;
    else if (first == '5') // exact half: to even
        roundUp = !kept.empty() && ((kept.back() - '0') % 2 == 1);
    int carryExp = exponent;
    if (roundUp) {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++kept[i];
        } else {
            kept.insert(kept.begin(), '1');
            ++carryExp;
        }
    }
    if (kept.empty())
        return 0.0;
    std::string text = "0." + kept + "e" + std::to_string(carryExp + 1);
    const double magnitude = std::strtod(text.c_str(), nullptr);
    return value < 0 ? -magnitude : magnitude;
}

std::optional<double> parseNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Plain digits (a section, a township) mean the same in every locale.
    if (trimmed.size() <= 9 && std::all_of(trimmed.begin(), trimmed.end(),
                                           [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        int v = 0;
        for (const QChar c : trimmed)
            v = v * 10 + (c.unicode() - u'0');
        return double(v);
    }
    bool ok = false;
    double v = QLocale().toDouble(trimmed, &ok);
    if (!ok) // the C form is always understood too (a point where the locale has a comma)
        v = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<qint16> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value); // default rounding mode: halves to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(r);
}

double toSinglePrecision(double value)
{
    volatile float narrowed = static_cast<float>(value);
    return static_cast<double>(narrowed);
}

std::optional<QString> eastingRangeError(double easting)
{
    const double cm = roundTo(easting, 2);
    if (cm >= 100000 && cm <= 999999.99)
        return std::nullopt;
    using namespace Qt::StringLiterals;
    return u"The easting must be between 100000 and 999999.99 metres."_s;
}
