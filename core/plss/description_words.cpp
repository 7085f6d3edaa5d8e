#include "core/plss/description_words.h"

using namespace Qt::StringLiterals;

namespace descriptionwords {

// A township or range number from token i ("23", "023", "23.5", "23 1/2"): as the fields hold
// it ("23", "23.5") and the last token read.
std::optional<std::pair<QString, int>> plssNumber(const Tokens &k, int i)
{
    if (!k.isNumber(i))
        return std::nullopt;
    const QStringView whole = k.view(i);
    const int fraction = k.decimals(i);
    if (whole.size() > 3 || (fraction >= 0 && k.view(fraction) != u"5"))
        return std::nullopt;
    bool half = fraction >= 0;
    int last = half ? fraction : i;
    if (!half) {
        const int one = k.next(i), slash = k.next(one), two = k.next(slash);
        if (k.is(one, kw(u"1")) && k.isMark(slash, u'/') && k.is(two, kw(u"2"))) {
            half = true;
            last = two;
        }
    }
    return std::pair{QString::number(whole.toInt()) + (half ? u".5"_s : QString()), last};
}

// A part written as a fraction from token i: "1/N", "/N" or "N" for the denominator key
// ("2" of a half, "4" of a quarter): its last token, or -1.
int fractionMark(const Tokens &k, int i, Key denominator)
{
    if (k.is(i, kw(u"1")) && k.isMark(k.next(i), u'/'))
        i = k.next(k.next(i));
    else if (k.isMark(i, u'/'))
        i = k.next(i);
    return k.is(i, denominator) ? i : -1;
}

bool isSmallWholeNumber(const Tokens &k, int i)
{
    return k.isNumber(i) && k.view(i).size() <= 2;
}

// The number of a footage call ("660", "660.5"): its last token.
int distanceNumber(const Tokens &k, int i)
{
    return k.decimals(i) >= 0 ? k.decimals(i) : i;
}

// A distance of a footage call ("660", "660'", "660 ft.", "660.5 feet"): the last token read.
int distance(const Tokens &k, int i)
{
    if (!k.isNumber(i))
        return -1;
    const int unit = k.next(distanceNumber(k, i));
    if (k.isMark(unit, u'\'') || k.is(unit, kw(u"FEET")))
        return unit;
    if (k.is(unit, kw(u"FT")))
        return k.skipMark(unit, u'.');
    return distanceNumber(k, i);
}

QString quarterOf(QStringView pair)
{
    return (pair == u"NE" || pair == u"NW" || pair == u"SE" || pair == u"SW") ? pair.toString()
                                                                              : QString();
}

bool isQuarterRun(QStringView word)
{
    if (word.isEmpty() || word.size() % 2 != 0)
        return false;
    for (qsizetype i = 0; i < word.size(); i += 2) {
        if (quarterOf(word.mid(i, 2)).isEmpty())
            return false;
    }
    return true;
}

// A direction word of a tie ("N", "North"): its letter, or 0.
char16_t directionAt(const Tokens &k, int i)
{
    if (k.isAny(i, {kw(u"N"), kw(u"NORTH")}))
        return u'N';
    if (k.isAny(i, {kw(u"S"), kw(u"SOUTH")}))
        return u'S';
    if (k.isAny(i, {kw(u"E"), kw(u"EAST")}))
        return u'E';
    if (k.isAny(i, {kw(u"W"), kw(u"WEST")}))
        return u'W';
    return 0;
}

std::optional<TieLeg> tieLeg(const Tokens &k, int i)
{
    if (const char16_t direction = directionAt(k, i); direction && !k.joinedBefore(i)) {
        const int n = k.next(k.skipMark(i, u'.'));
        const int end = distance(k, n);
        if (end < 0)
            return std::nullopt;
        return TieLeg{direction, n, distanceNumber(k, n), end};
    }
    const int end = distance(k, i);
    if (end < 0 || k.joinedBefore(i) || k.isMark(k.touching(i), u'/'))
        return std::nullopt;
    const int d = k.next(end);
    const char16_t direction = directionAt(k, d);
    if (!direction || k.joinedAfter(d))
        return std::nullopt;
    return TieLeg{direction, i, distanceNumber(k, i), k.skipMark(d, u'.')};
}

// The corner a tie is measured from ("SW Cor", "N 1/4 Cor.", "north quarter corner", "center
// of section"): its name ("SW", "N4", "C4") and the last token read.
std::optional<std::pair<QString, int>> tieCornerAt(const Tokens &k, int i)
{
    QString name;
    int last = -1;
    static const std::pair<Key, const char16_t *> longCorners[] = {{kw(u"SOUTHWEST"), u"SW"},
                                                                   {kw(u"SOUTHEAST"), u"SE"},
                                                                   {kw(u"NORTHWEST"), u"NW"},
                                                                   {kw(u"NORTHEAST"), u"NE"}};
    if (k.isAny(i, {kw(u"SW"), kw(u"SE"), kw(u"NW"), kw(u"NE")})) {
        name = k.view(i).toString();
        last = i;
    }
    for (const auto &[key, corner] : longCorners) {
        if (k.is(i, key)) {
            name = QString::fromUtf16(corner);
            last = i;
        }
    }
    if (last < 0 && k.isAny(i, {kw(u"N"), kw(u"S"), kw(u"E"), kw(u"W"), kw(u"C")})) {
        if (const int four = fractionMark(k, k.next(i), kw(u"4")); four >= 0) {
            name = k.view(i) + u"4"_s;
            last = four;
        }
    }
    if (last < 0 && directionAt(k, i) && k.isWord(i) && k.view(i).size() > 1) {
        const int quarter = k.next(i);
        const int four = fractionMark(k, quarter, kw(u"4"));
        if (k.is(quarter, kw(u"QUARTER")) || four >= 0) {
            name = QString(directionAt(k, i)) + u"4"_s;
            last = four >= 0 ? four : quarter;
        }
    }
    if (last < 0 && k.isAny(i, {kw(u"CENTER"), kw(u"CENTRE")})) {
        name = u"C4"_s;
        last = i;
        const int quarter = k.next(i);
        if (k.is(quarter, kw(u"QUARTER")))
            last = quarter;
        else if (const int four = fractionMark(k, quarter, kw(u"4")); four >= 0)
            last = four;
        // "center of section"; "center of Section 12" leaves the section to be read.
        int of = k.next(last);
        const int section = k.is(k.next(of), kw(u"THE")) ? k.next(k.next(of)) : k.next(of);
        if (k.is(of, kw(u"OF")) && k.is(section, kw(u"SECTION")) && !k.isNumber(k.next(section)))
            last = section;
    }
    if (last < 0)
        return std::nullopt;
    const int corner = k.next(last);
    if (k.isAny(corner, {kw(u"COR"), kw(u"CORNER")}))
        last = k.skipMark(corner, u'.');
    return std::pair{name, last};
}

} // namespace descriptionwords
