#include "core/plss/description_words.h"
#include "core/plss/meridians.h"

#include <QStringList>

#include <vector>

using namespace Qt::StringLiterals;

namespace descriptionwords {

namespace {

// The meridians' names as words ("ST. HELENA" is ST, HELENA), places before principal
// meridians, longest first so "Fourth Principal Meridian Extended" is not read as the Fourth.
struct PlaceName
{
    QList<QString> words;
    QList<Key> keys;
    bool meridianFollows = false; // "Salt Lake" needs "Meridian" after it; "Ohio River Survey" not
    int code = 0;
};

const QList<PlaceName> &placeNames()
{
    static const QList<PlaceName> names = [] {
        QList<PrincipalMeridian> named = principalMeridians();
        std::stable_sort(named.begin(), named.end(), [](const auto &a, const auto &b) {
            return a.name.size() > b.name.size();
        });
        QList<PlaceName> out;
        for (const PrincipalMeridian &m : named) {
            if (m.code <= 6)
                continue;
            PlaceName p;
            p.code = m.code;
            QString name = m.name.toUpper();
            for (QChar &c : name) {
                if (c < u'A' || c > u'Z')
                    c = u' ';
            }
            p.words = name.split(u' ', Qt::SkipEmptyParts);
            p.meridianFollows = p.words.last() == u"MERIDIAN"_s;
            if (p.meridianFollows)
                p.words.removeLast();
            for (const QString &word : p.words)
                p.keys.append(packKey(plain(word)));
            out.append(p);
        }
        return out;
    }();
    return names;
}

// "MERIDIAN" or "BASE AND MERIDIAN" from token i: the last token read, or -1.
int meridianWord(const Tokens &k, int i)
{
    if (k.is(i, kw(u"MERIDIAN")))
        return i;
    const int joint = k.next(i), meridian = k.next(joint);
    if (k.is(i, kw(u"BASE")) && (k.is(joint, kw(u"AND")) || k.isMark(joint, u'&')) &&
        k.is(meridian, kw(u"MERIDIAN")))
        return meridian;
    return -1;
}

// "PRINCIPAL MERIDIAN", "P.M.", "P M", "PM" from token i: the last token read, or -1.
int principalMeridianWords(const Tokens &k, int i)
{
    if (k.is(i, kw(u"PRINCIPAL")) && k.is(k.next(i), kw(u"MERIDIAN")))
        return k.next(i);
    if (k.is(i, kw(u"PM")))
        return k.skipMark(i, u'.');
    const int m = k.is(i, kw(u"P")) ? k.next(k.skipMark(i, u'.')) : -1;
    return m >= 0 && k.is(m, kw(u"M")) ? k.skipMark(m, u'.') : -1;
}

struct Abbreviation
{
    QString letters; // "SLBM"
    int code = 0;
};

const QList<Abbreviation> &abbreviations()
{
    static const QList<Abbreviation> all = [] {
        QList<Abbreviation> out;
        for (const PrincipalMeridian &m : principalMeridians()) {
            for (const QString &letters : meridianAbbreviations(m.code))
                out.append({letters, m.code});
        }
        return out;
    }();
    return all;
}

// Whether token i is the direction letter of a township or range ("S" of "T. 5 S.", "T23 1/2 S").
bool isTownshipOrRangeDirection(const Tokens &k, int i)
{
    int before = i - 1;
    bool number = false;
    for (; k.isNumber(before) || k.isMark(before, u'.') || k.isMark(before, u'/'); --before)
        number = number || k.isNumber(before);
    return number && k.isAny(before, {kw(u"T"), kw(u"TWP"), kw(u"TOWNSHIP"), kw(u"R"), kw(u"RNG"),
                                      kw(u"RANGE")});
}

// A meridian's abbreviation from token i, written with or without periods, spaces and
// ampersands ("SLBM", "S.L.B.&M.", "N M P M", "G&SRM"): its code and the last token read, the
// longest abbreviation the letters spell.
std::optional<std::pair<int, int>> abbreviationAt(const Tokens &k, int i)
{
    QString letters;
    std::optional<std::pair<int, int>> found;
    int words = 0, foundWords = 0;
    for (int at = i; k.isWord(at); at = k.next(k.skipMark(k.skipMark(at, u'.'), u'&'))) {
        letters += k.view(at);
        ++words;
        bool longer = false;
        for (const Abbreviation &a : abbreviations()) {
            if (a.letters == letters) {
                found = std::pair{a.code, k.skipMark(at, u'.')};
                foundWords = words;
            }
            longer = longer || (a.letters.size() > letters.size() && a.letters.startsWith(letters));
        }
        if (!longer)
            break;
    }
    // Letters split over several words do not begin with a number's letter or with the direction
    // of a township or range: "T. 5 S. B.M." is the Boise Meridian, not San Bernardino's.
    if (foundWords > 1 && (k.joinedBefore(i) || isTownshipOrRangeDirection(k, i)))
        return std::nullopt;
    return found;
}

} // namespace

// A meridian from token i by name, ordinal, number or abbreviation: its code and the last
// token read.
std::optional<std::pair<int, int>> meridianAt(const Tokens &k, int i)
{
    // The words a meridian's name can begin with, sorted: most words are none of them.
    static const std::vector<Key> firstWords = [] {
        std::vector<Key> words = {kw(u"FIRST"),  kw(u"SECOND"), kw(u"THIRD"),
                                  kw(u"FOURTH"), kw(u"FIFTH"),  kw(u"SIXTH")};
        for (const PlaceName &place : placeNames())
            words.push_back(place.keys.first());
        for (const Abbreviation &a : abbreviations()) {
            for (qsizetype n = 1; n <= a.letters.size(); ++n)
                words.push_back(packKey(plain(QStringView(a.letters).left(n))));
        }
        std::sort(words.begin(), words.end());
        return words;
    }();
    if (k.isWord(i) && !std::binary_search(firstWords.begin(), firstWords.end(), k.key(i)))
        return std::nullopt;
    if (!k.isWord(i) && !k.isNumber(i))
        return std::nullopt;
    static const QList<PlaceName> none;
    for (const PlaceName &place : k.isWord(i) ? placeNames() : none) {
        int at = i;
        int last = -1;
        bool found = true;
        for (qsizetype w = 0; w < place.words.size(); ++w) {
            while (k.isMark(at, u'.') || k.isMark(at, u'-') || k.isMark(at, u'\''))
                at = k.next(at);
            if (!k.is(at, place.words[w], place.keys[w])) {
                found = false;
                break;
            }
            last = at;
            at = k.next(at);
        }
        if (!found)
            continue;
        const int meridian = meridianWord(k, at);
        if (meridian >= 0)
            return std::pair{place.code, meridian};
        if (!place.meridianFollows)
            return std::pair{place.code, last};
    }
    static constexpr Key ordinals[] = {kw(u"FIRST"),  kw(u"SECOND"), kw(u"THIRD"),
                                       kw(u"FOURTH"), kw(u"FIFTH"),  kw(u"SIXTH")};
    for (int n = 0; n < 6; ++n) {
        if (k.is(i, ordinals[n])) {
            if (const int last = principalMeridianWords(k, k.next(i)); last >= 0)
                return std::pair{n + 1, last};
        }
    }
    if (k.isNumber(i) && k.view(i).size() == 1 && k.view(i)[0] >= u'1' && k.view(i)[0] <= u'6' &&
        !k.joinedBefore(i)) {
        int after = k.next(i);
        if (k.isAny(after, {kw(u"ST"), kw(u"ND"), kw(u"RD"), kw(u"TH")}))
            after = k.next(after);
        if (const int last = principalMeridianWords(k, after); last >= 0)
            return std::pair{k.view(i)[0].unicode() - u'0', last};
    }
    return abbreviationAt(k, i);
}

} // namespace descriptionwords
