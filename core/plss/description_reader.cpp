#include "core/plss/description_reader.h"

#include "core/plss/aliquot.h"
#include "core/plss/description_words.h"
#include "core/plss/meridians.h"

#include <QList>
#include <QStringList>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

using namespace Qt::StringLiterals;

using namespace descriptionwords;

namespace {

QString severalTracts(const QString &what)
{
    return u"Several tracts are named ("_s + what +
           u"): a well is in one place; describe one tract."_s;
}

// The calls of an aliquot part with the token each starts at, in the text's order.
using Parts = QList<std::pair<int, QString>>;
using Names = std::array<Key, 4>; // 0 matches nothing: every token has a key

// The text in one spelling: capitals, fractions as digits, one kind of quote and dash;
// `places` says where each character stands in the text as typed.
QString oneSpelling(const QString &text, TypedPlaces &places)
{
    QString t;
    t.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            t.append(QChar(u - u'a' + u'A'));
        else if (u < 0x80)
            t.append(c);
        else if (u == 0x00BC)
            t.append(u"1/4");
        else if (u == 0x00BD)
            t.append(u" 1/2");
        else if (u == 0x2019 || u == 0x2032)
            t.append(u'\'');
        else if (u == 0x2013)
            t.append(u'-');
        else
            t.append(c.toUpper());
        while (places.size() < t.size())
            places.append(i);
    }
    return t;
}

// What is never placed: tracts, metes and bounds, bounded tracts, ties by bearing.
bool refuseUnplaceable(Tokens &k, QString *error)
{
    // What is never guessed, each with the words that name it.
    const auto tracts = [&k](int i) {
        const int what = k.next(i);
        return k.isAny(i, {kw(u"TRACT"), kw(u"TRACTS")}) && (k.isWord(what) || k.isNumber(what))
                   ? what
                   : -1;
    };
    const auto metesAndBounds = [&k](int i) {
        return k.isAny(i, {kw(u"BEGINNING"), kw(u"COMMENCING"), kw(u"THENCE")}) ? k.size() - 1 : -1;
    };
    // "That part of the NE/4 lying within the right of way", "the NE/4 except ...".
    const auto bounded = [&k](int i) {
        if (k.isAny(i, {kw(u"PART"), kw(u"PORTION"), kw(u"LYING"), kw(u"EXCEPT"), kw(u"EXCEPTING"),
                        kw(u"LESS")}))
            return k.size() - 1;
        return -1;
    };
    const auto bearing = [&k](int i) { // "N 45°12' E", "N 45 deg E"
        return (k.isMark(i, u'\u00B0') || k.isAny(i, {kw(u"DEG"), kw(u"DEGREES")})) &&
                       k.isNumber(k.touching(i) >= 0 ? k.touching(i) : i - 1)
                   ? i
                   : -1;
    };
    const std::pair<std::function<int(int)>, QString> refused[] = {
        {tracts, u"Tracts are not supported: "_s},
        {metesAndBounds, u"Metes and bounds are not supported: "_s},
        {bounded, u"Tracts bounded by anything but the lines of the survey are not supported: "_s}};
    for (const auto &[match, what] : refused) {
        if (const auto [first, last] = findFirst(k, match); first >= 0) {
            *error = what + k.quote(first, last);
            return false;
        }
    }
    if (findFirst(k, bearing).first >= 0) {
        *error = bearingTieMessage();
        return false;
    }
    return true;
}

// A government lot; several lots are refused.
bool readLot(Tokens &k, DescriptionFields &d, QString *error)
{
    // "Lot 3", "Government Lot 3", "L3"; "Lots 1-4" or "Lot 1 and 2" name several.
    {
        int numbers = 0;
        const auto lot = [&k, &numbers](int i) {
            int n = -1;
            if (k.is(i, kw(u"L")) && k.isNumber(k.touchingAfter(i)) && !k.joinedBefore(i) &&
                !k.joinedAfter(k.touchingAfter(i)))
                n = k.touchingAfter(i);
            else if (k.isAny(i, {kw(u"LOT"), kw(u"LOTS")}) && isSmallWholeNumber(k, k.next(i)))
                n = k.next(i);
            if (n < 0)
                return -1;
            numbers = 1;
            for (;;) {
                const int joint = k.next(n);
                // "Lots 1-4", "Lots 1, 2 and 3"; not "Lot 2, 31-12N-34W".
                const bool dash = k.isMark(joint, u'-');
                if (!(k.isMark(joint, u',') || k.isMark(joint, u'&') || dash ||
                      k.is(joint, kw(u"AND"))) ||
                    !isSmallWholeNumber(k, k.next(joint)) ||
                    (!dash && k.isMark(k.next(k.next(joint)), u'-')))
                    return n;
                n = k.next(joint);
                ++numbers;
            }
        };
        if (const auto [first, last] = findFirst(k, lot); first >= 0) {
            if (numbers > 1) {
                *error = severalTracts(k.quote(first, last));
                return false;
            }
            d.lot = k.view(last).toInt();
            const int before = k.next(-1) < first ? first - 1 : -1;
            const bool government = k.isAny(before, {kw(u"GOVERNMENT"), kw(u"GOVT")});
            k.use(government ? before : first, last);
            if (d.lot == 0) {
                *error = u"Lot 0 is not a lot: lots are numbered from 1."_s;
                return false;
            }
        }
    }
    return true;
}

// A tie from a corner.
bool readTie(Tokens &k, DescriptionFields &d, QString *error)
{
    // A tie from a corner: one or two distances, then "from" or "of" and the corner.
    QString tieProblem;
    if (const auto [first, last] =
            findFirst(k,
                      [&](int i) {
                          const auto one = tieLeg(k, i);
                          if (!one)
                              return -1;
                          int j = k.next(one->last);
                          std::optional<TieLeg> two;
                          if (k.isMark(j, u',') || k.isMark(j, u'&') || k.is(j, kw(u"AND")))
                              two = tieLeg(k, k.next(j));
                          else
                              two = tieLeg(k, j);
                          if (two)
                              j = k.next(two->last);
                          if (!k.isAny(j, {kw(u"FROM"), kw(u"OF")}))
                              return -1;
                          j = k.next(j);
                          if (k.is(j, kw(u"THE")))
                              j = k.next(j);
                          const auto corner = tieCornerAt(k, j);
                          if (!corner)
                              return -1;
                          d.tieCorner = corner->first;
                          d.tieNorthSouth.clear();
                          d.tieEastWest.clear();
                          for (const auto &leg : {one, two}) {
                              if (!leg)
                                  continue;
                              const bool ns = leg->direction == u'N' || leg->direction == u'S';
                              QString &to = ns ? d.tieNorthSouth : d.tieEastWest;
                              if (!to.isEmpty()) {
                                  tieProblem = u"The tie gives two "_s +
                                               (ns ? u"north–south"_s : u"east–west"_s) +
                                               u" distances: "_s + k.quote(i, corner->second);
                                  return corner->second;
                              }
                              to = k.quote(leg->number, leg->numberLast) + leg->direction;
                          }
                          return corner->second;
                      });
        first >= 0) {
        if (!tieProblem.isEmpty()) {
            *error = tieProblem;
            return false;
        }
        k.use(first, last);
    }
    return true;
}

// Halves (into `parts`, with their places) and "All".
bool readHalves(Tokens &k, DescriptionFields &d, Parts &parts, QString *error)
{
    // Halves, in the text's order with the quarters read below: "N/2", "N 1/2", "N2", "E2NW".
    // "S2" alone may be section 2: it is a half only before a quarter.
    const auto half = [&k](int i) {
        if (!k.isAny(i, {kw(u"N"), kw(u"S"), kw(u"E"), kw(u"W")}) || k.joinedBefore(i))
            return -1;
        const int two = fractionMark(k, k.next(i), kw(u"2"));
        if (two < 0 || k.isMark(k.touchingAfter(two), u'/'))
            return -1;
        if (two == k.next(i) && k.is(i, kw(u"S"))) { // "S2" without a stroke
            const int after = k.next(two);
            if (!k.isWord(after) || quarterOf(k.view(after).left(2)).isEmpty())
                return -1;
        }
        return two;
    };
    for (;;) {
        const auto [first, last] = findFirst(k, half);
        if (first < 0)
            break;
        parts.append({first, k.view(first) + u"/2"_s});
        k.use(first, last);
    }
    if (!parts.isEmpty() && d.lot > 0) {
        *error = u"Halves of lots are not supported: "_s + parts.first().second + u" Lot "_s +
                 QString::number(d.lot);
        return false;
    }
    if (const auto [first, last] =
            findFirst(k, [&k](int i) { return k.is(i, kw(u"ALL")) ? i : -1; });
        first >= 0) {
        d.wholeSection = true;
        k.use(first, last);
    }
    return true;
}

// The principal meridian, by name, ordinal, number or initials.
void readMeridian(Tokens &k, DescriptionFields &d)
{
    if (const auto [first, last] = findFirst(k,
                                             [&](int i) {
                                                 const auto m = meridianAt(k, i);
                                                 if (m)
                                                     d.meridian = QString::number(m->first);
                                                 return m ? m->second : -1;
                                             });
        first >= 0)
        k.use(first, last);
}

// Township and range, with the section where they are written "36-153N-95W".
void readTownshipRange(Tokens &k, DescriptionFields &d)
{
    const auto townshipDirection = [&](int i) {
        return k.isAny(i, {kw(u"N"), kw(u"S")}) && !k.joinedAfter(i);
    };
    const auto rangeDirection = [&](int i) {
        return k.isAny(i, {kw(u"E"), kw(u"W")}) && !k.joinedAfter(i);
    };
    // "36-153N-95W", then "153N-95W": township and range from token i, the last token read.
    const auto townshipRange = [&](int i, QString *township, QString *range) {
        const auto tn = plssNumber(k, i);
        if (!tn || k.joinedBefore(i) || !townshipDirection(k.next(tn->second)))
            return -1;
        const int dash = k.next(k.next(tn->second));
        const auto rn = k.isMark(dash, u'-') ? plssNumber(k, k.next(dash)) : std::nullopt;
        if (!rn || !rangeDirection(k.next(rn->second)))
            return -1;
        *township = tn->first + k.view(k.next(tn->second));
        *range = rn->first + k.view(k.next(rn->second));
        return k.next(rn->second);
    };
    if (const auto [first, last] = findFirst(
            k,
            [&](int i) {
                const int dash = k.next(i);
                if (!isSmallWholeNumber(k, i) || k.joinedBefore(i) || !k.isMark(dash, u'-'))
                    return -1;
                return townshipRange(k.next(dash), &d.township, &d.range);
            });
        first >= 0) {
        d.section = QString::number(k.view(first).toInt());
        k.use(first, last);
    }
    {
        QString township, range; // a second one, after "36-153N-95W", is taken and not read
        if (const auto [first, last] =
                findFirst(k, [&](int i) { return townshipRange(i, &township, &range); });
            first >= 0) {
            k.use(first, last);
            if (d.township.isEmpty()) {
                d.township = township;
                d.range = range;
            }
        }
    }
}

// Township and range in words or letters: "T153N", "Township 5 North", "R95W".
void readTownshipRangeWords(Tokens &k, DescriptionFields &d)
{
    // "T153N", "T. 23 S.", "Township 5 North"; "R95W", "-R65W", "Range 65 West".
    const auto words = [&k](const Names &names, const Names &directions, QString *field) {
        return [&k, names, directions, field](int i) {
            if (!k.isAny(i, names) || k.joinedBefore(i))
                return -1;
            const auto n = plssNumber(k, k.next(k.skipMark(i, u'.')));
            const int direction = n ? k.next(n->second) : -1;
            if (!n || !k.isAny(direction, directions) || k.joinedAfter(direction))
                return -1;
            *field = n->first + k.view(direction).left(1);
            return k.skipMark(direction, u'.');
        };
    };
    if (d.township.isEmpty()) {
        if (const auto [first, last] =
                findFirst(k, words({kw(u"TOWNSHIP"), kw(u"TWP"), kw(u"T")},
                                   {kw(u"NORTH"), kw(u"SOUTH"), kw(u"N"), kw(u"S")}, &d.township));
            first >= 0)
            k.use(first, last);
    }
    if (d.range.isEmpty()) {
        if (const auto [first, last] =
                findFirst(k, words({kw(u"RANGE"), kw(u"RNG"), kw(u"R")},
                                   {kw(u"EAST"), kw(u"WEST"), kw(u"E"), kw(u"W")}, &d.range));
            first >= 0) {
            const bool dash = k.isMark(k.touching(first), u'-');
            k.use(dash ? first - 1 : first, last);
        }
    }
}

// The section: "Sec. 36", "Section 36", "S36".
void readSection(Tokens &k, DescriptionFields &d)
{
    if (d.section.isEmpty()) {
        if (const auto [first, last] = findFirst(
                k,
                [&](int i) {
                    if (!k.isAny(i, {kw(u"SECTION"), kw(u"SEC"), kw(u"S")}) || k.joinedBefore(i))
                        return -1;
                    const int n = k.next(k.skipMark(i, u'.'));
                    return isSmallWholeNumber(k, n) && !k.joinedAfter(n) ? n : -1;
                });
            first >= 0) {
            d.section = QString::number(k.view(last).toInt());
            k.use(first, last);
        }
    }
}

// A township or range without its direction is refused, not guessed.
bool refuseUndirected(Tokens &k, const DescriptionFields &d, QString *error)
{
    // "T154-R97": a number without its direction is refused, not guessed.
    struct Undirected
    {
        const QString *field;
        Names names;
        const char16_t *what, *first, *second; // "Township", "N", "S"
    };
    for (const Undirected &u :
         {Undirected{&d.township, {kw(u"TOWNSHIP"), kw(u"TWP"), kw(u"T")}, u"Township", u"N", u"S"},
          Undirected{&d.range, {kw(u"RANGE"), kw(u"RNG"), kw(u"R")}, u"Range", u"E", u"W"}}) {
        if (!u.field->isEmpty())
            continue;
        const Names &names = u.names;
        const auto [first, last] = findFirst(k, [&k, &names](int i) {
            if (!k.isAny(i, names) || k.joinedBefore(i))
                return -1;
            const auto n = plssNumber(k, k.next(k.skipMark(i, u'.')));
            return n ? n->second : -1;
        });
        if (first >= 0) {
            const QString n = plssNumber(k, k.next(k.skipMark(first, u'.')))->first;
            *error = QString::fromUtf16(u.what) + u' ' + n + u" has no direction: write "_s + n +
                     QString::fromUtf16(u.first) + u" or "_s + n + QString::fromUtf16(u.second) +
                     u'.';
            return false;
        }
    }
    return true;
}

// Footage calls.
bool readFootageCalls(Tokens &k, DescriptionFields &d, QString *error)
{
    // Footage calls: "660' FNL", "660 ft from the north line", "1980'FEL", "660 N"; each form
    // as often as it is written, a second call from the same pair of lines refused.
    int side = -1;                     // the token naming the line of the call found
    const auto lineCall = [&](int i) { // "FNL"
        const int end = distance(k, i), line = end >= 0 ? k.next(end) : -1;
        const QStringView w = line >= 0 && k.isWord(line) ? k.view(line) : QStringView();
        if (w.size() != 3 || w[0] != u'F' || w[2] != u'L' || !u"NSEW"_s.contains(w[1]))
            return -1;
        side = line;
        return line;
    };
    const auto fromCall = [&](int i) { // "from the north line"
        const int end = distance(k, i);
        if (end < 0 || !k.is(k.next(end), kw(u"FROM")))
            return -1;
        int s = k.next(k.next(end));
        if (k.is(s, kw(u"THE")))
            s = k.next(s);
        if (!k.isAny(s, {kw(u"NORTH"), kw(u"SOUTH"), kw(u"EAST"), kw(u"WEST"), kw(u"N"), kw(u"S"),
                         kw(u"E"), kw(u"W")}))
            return -1;
        int line = k.next(k.skipMark(s, u'.'));
        if (k.is(line, kw(u"SECTION")))
            line = k.next(line);
        side = s;
        return k.is(line, kw(u"LINE")) ? line : -1;
    };
    const auto bareCall = [&](int i) { // "660 N"
        // Not part of a longer number or word ("R65 W", "1.5 N", "1/2 N").
        if (k.joinedBefore(i) || k.isMark(k.touching(i), u'.') || k.isMark(k.touching(i), u'/'))
            return -1;
        const int end = distance(k, i), s = end >= 0 ? k.next(end) : -1;
        if (s < 0 || !k.isAny(s, {kw(u"N"), kw(u"S"), kw(u"E"), kw(u"W")}) || k.joinedAfter(s) ||
            k.isMark(k.touchingAfter(s), u'/'))
            return -1;
        side = s;
        return s;
    };
    const auto readCalls = [&](auto form) {
        for (;;) {
            const auto [first, last] = findFirst(k, form);
            if (first < 0)
                return true;
            const QStringView name = k.view(side);
            const QChar letter = name.size() == 3 && name[0] == u'F' ? name[1] : name[0];
            QString &call = (letter == u'N' || letter == u'S') ? d.fcY : d.fcX;
            if (!call.isEmpty()) {
                *error = u"Two footage calls measure from the same pair of lines: "_s + call +
                         u" and "_s + k.quote(first, last);
                return false;
            }
            call = k.quote(first, distanceNumber(k, first)) + letter;
            k.use(first, last);
        }
    };
    if (!readCalls(lineCall) || !readCalls(fromCall) || !readCalls(bareCall))
        return false;
    return true;
}

// A second section names a second tract.
bool refuseSecondSection(Tokens &k, const DescriptionFields &d, QString *error)
{
    // A second section ("NE/4 of Sec 12 and SE/4 of Sec 13", "Sections 12 and 13").
    {
        const auto sectionAt = [&k](int i) {
            if (!k.isAny(i, {kw(u"SECTION"), kw(u"SEC"), kw(u"S"), kw(u"SECS"), kw(u"SECTIONS")}) ||
                k.joinedBefore(i))
                return -1;
            const int n = k.next(k.skipMark(i, u'.'));
            return isSmallWholeNumber(k, n) && !k.joinedAfter(n) ? n : -1;
        };
        if (const auto [first, last] = findFirst(k, sectionAt); first >= 0) {
            const bool plural = k.isAny(first, {kw(u"SECS"), kw(u"SECTIONS")});
            if (!d.section.isEmpty() || plural) {
                *error = severalTracts(plural ? k.quote(first, std::max(last, k.next(k.next(last))))
                                              : u"Sec "_s + d.section + u" and "_s +
                                                    k.quote(first, last));
                return false;
            }
        }
    }
    return true;
}

// Quarter calls, merged with the halves in `parts`; several tracts and contradictions refused.
bool readQuarters(Tokens &k, DescriptionFields &d, Parts &parts, QString *error)
{
    // Quarter calls, as written smallest first: "NE/4 SW/4", "NE1/4SW1/4", "NE4SW4", "NESW";
    // the marks of a quarter ("1/4", "/4", "4") first.
    for (int i = k.next(-1); i < k.size(); i = k.next(i)) {
        if (!k.isWord(i) || quarterOf(k.view(i)).isEmpty())
            continue;
        if (const int four = fractionMark(k, k.next(i), kw(u"4")); four >= 0)
            k.use(k.next(i), four);
    }
    for (int i = k.next(-1); i < k.size(); i = k.next(i)) {
        if (!k.isWord(i) || !isQuarterRun(k.view(i)) || k.joinedBefore(i) || k.joinedAfter(i))
            continue;
        for (qsizetype q = 0; q < k.view(i).size(); q += 2)
            parts.append({i, k.view(i).mid(q, 2).toString()});
        k.use(i, i);
    }
    std::stable_sort(parts.begin(), parts.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    // "NE/4 and SE/4": two tracts, not the NE/4 of the SE/4.
    for (qsizetype n = 1; n < parts.size(); ++n) {
        for (int t = parts[n - 1].first + 1; t < parts[n].first; ++t) {
            if (!k.isUsed(t) && (k.isMark(t, u'&') || k.is(t, kw(u"AND")))) {
                *error = severalTracts(parts[n - 1].second + u" and "_s + parts[n].second);
                return false;
            }
        }
    }
    QStringList written; // largest first
    for (auto part = parts.crbegin(); part != parts.crend(); ++part)
        written.append(part->second);
    for (qsizetype i = 1; i < written.size(); ++i) {
        const auto halfCall = halfFromCall(written[i - 1]);
        const auto quarterCall = quarterFromCall(written[i]);
        if (halfCall && quarterCall) {
            *error = u"The calls contradict each other: the "_s + written[i] + u"/4 of the "_s +
                     written[i - 1] + u" is not a part of a section."_s;
            return false;
        }
    }
    if (written.size() > 4) {
        QStringList smallestFirst(written.crbegin(), written.crend());
        const bool quartersOnly = std::all_of(written.begin(), written.end(), [](const QString &c) {
            return quarterFromCall(c).has_value();
        });
        *error =
            (quartersOnly ? u"More than four quarter calls: "_s : u"More than four calls: "_s) +
            smallestFirst.join(u' ');
        return false;
    }
    for (qsizetype i = 0; i < written.size(); ++i)
        d.quarters[std::size_t(i)] = written[i];
    return true;
}

// Nothing but filler is left, and section, township and range are there.
bool checkComplete(const Tokens &k, const DescriptionFields &d, QString *error)
{
    // What is left must be filler.
    const auto filler = [&k](int i) {
        if (k.isWord(i))
            return k.isAny(i,
                           {kw(u"AND"), kw(u"OF"), kw(u"THE"), kw(u"IN"), kw(u"ALL"), kw(u"SEC"),
                            kw(u"SECS"), kw(u"SECTION"), kw(u"SECTIONS"), kw(u"FT"), kw(u"FEET")});
        return !k.isNumber(i) && u"&,.;:()-'\""_s.contains(k.view(i)[0]);
    };
    for (int i = k.next(-1); i < k.size(); i = k.next(i)) {
        if (!filler(i)) {
            *error = u"This part of the description is not understood: \""_s + k.unread(filler) +
                     u"\""_s;
            return false;
        }
    }
    for (const auto &[part, name] :
         {std::pair{&d.section, u"section"_s}, std::pair{&d.township, u"township"_s},
          std::pair{&d.range, u"range"_s}}) {
        if (part->isEmpty()) {
            *error = u"The description gives no "_s + name + u"."_s;
            return false;
        }
    }
    return true;
}
} // namespace

QString bearingTieMessage()
{
    return u"Ties by bearing and distance are not supported; give north/south and east/west "
           "distances."_s;
}

std::optional<DescriptionFields> readLegalDescription(const QString &text, QString *error)
{
    TypedPlaces places;
    const QString t = oneSpelling(text, places);
    Tokens k(t, text, places);
    DescriptionFields d;
    Parts parts;
    // Each part reads what it knows and marks it used; the order matters where forms share
    // words (a tie's "S 1320 ft" before the section's "S 13", lots before numbers).
    if (!refuseUnplaceable(k, error) || !readLot(k, d, error) || !readTie(k, d, error) ||
        !readHalves(k, d, parts, error))
        return std::nullopt;
    readMeridian(k, d);
    readTownshipRange(k, d);
    readTownshipRangeWords(k, d);
    readSection(k, d);
    if (!refuseUndirected(k, d, error) || !readFootageCalls(k, d, error) ||
        !refuseSecondSection(k, d, error) || !readQuarters(k, d, parts, error) ||
        !checkComplete(k, d, error))
        return std::nullopt;
    return d;
}
