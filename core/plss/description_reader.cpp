#include "core/plss/description_reader.h"

#include "core/plss/meridians.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Rx = QRegularExpression;

// The text being read: each part found is cut out (blanked), so what is left at the end is what
// was not understood.
class Reader
{
public:
    explicit Reader(QString text)
        : m_text(std::move(text))
    {}
    // The first match of `rx`, cut out; an invalid match when there is none.
    QRegularExpressionMatch take(const Rx &rx)
    {
        QRegularExpressionMatch m = rx.match(m_text);
        if (m.hasMatch())
            m_text.replace(m.capturedStart(), m.capturedLength(),
                           QString(m.capturedLength(), u' '));
        return m;
    }
    QString firstMatch(const Rx &rx) const { return rx.match(m_text).captured(0).trimmed(); }
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

QString letterOf(const QString &word)
{
    return word.left(1); // NORTH -> N
}

// "23", "23.5", "23 1/2" -> "23" / "23.5".
QString numberOf(QString n)
{
    n = n.simplified();
    if (n.endsWith(u"1/2"_s))
        return QString::number(n.chopped(3).trimmed().toInt()) + u".5"_s;
    const bool half = n.endsWith(u".5"_s);
    const QString whole = QString::number(n.section(u'.', 0, 0).toInt());
    return half ? whole + u".5"_s : whole;
}

// Names and abbreviations of the meridians, as one pattern of alternatives (group "mN" the
// N-th, its code codes[N]; code 0: the number in group "num"): every name of the table (with
// "Meridian" or "Base and Meridian" optional after names of places), the principal meridians by
// ordinal and number, and the abbreviations permits use.
struct MeridianPatterns
{
    Rx rx;
    QList<int> codes;
};

const MeridianPatterns &meridianPatterns()
{
    static const MeridianPatterns patterns = [] {
        QStringList alternatives;
        QList<int> codes;
        // Names of places first, longest first, so "Fourth Principal Meridian Extended" is not
        // read as the Fourth.
        QList<PrincipalMeridian> named = principalMeridians();
        std::sort(named.begin(), named.end(),
                  [](const auto &a, const auto &b) { return a.name.size() > b.name.size(); });
        for (const PrincipalMeridian &m : named) {
            if (m.code <= 6)
                continue;
            QString place = m.name.toUpper();
            const bool meridian = place.endsWith(u" MERIDIAN"_s);
            if (meridian)
                place.chop(9);
            place.replace(u"."_s, u"\\.?"_s);
            place.replace(u" "_s, u"\\s+"_s);
            // "Meridian" (or "Base and Meridian") after a place's name; optional after names
            // that are no meridian's, such as Ohio River Survey.
            alternatives.append(u"\\b"_s + place + u"(?:\\s+(?:BASE\\s+(?:AND|&)\\s+)?MERIDIAN)"_s +
                                (meridian ? u""_s : u"?"_s) + u"(?![A-Z])"_s);
            codes.append(m.code);
        }
        static const char16_t *const ordinals[] = {u"FIRST",  u"SECOND", u"THIRD",
                                                   u"FOURTH", u"FIFTH",  u"SIXTH"};
        for (int i = 0; i < 6; ++i) {
            alternatives.append(u"\\b"_s + QString::fromUtf16(ordinals[i]) +
                                u"\\s+(?:PRINCIPAL\\s+MERIDIAN|P\\.?\\s?M\\b\\.?)"_s);
            codes.append(i + 1);
        }
        alternatives.append(u"\\b(?<num>[1-6])\\s*(?:ST|ND|RD|TH)?\\s*(?:PRINCIPAL\\s+MERIDIAN|"
                            u"P\\.\\s?M\\.?|PM\\b)"_s);
        codes.append(0);
        const std::pair<const char16_t *, int> abbreviations[] = {
            {u"SLB\\s*&\\s*M", 26}, {u"SLBM", 26}, {u"SLM", 26},  {u"NMPM", 23}, {u"BM", 8},
            {u"MDM", 21},           {u"MDBM", 21}, {u"SBBM", 27}, {u"SBM", 27},  {u"GSRM", 14},
            {u"G&SRM", 14},         {u"WM", 33},   {u"HM", 15},   {u"UM", 31}};
        for (const auto &[abbreviation, code] : abbreviations) {
            alternatives.append(u"(?<![A-Z])"_s + QString::fromUtf16(abbreviation) +
                                u"(?![A-Z])"_s);
            codes.append(code);
        }
        QStringList groups;
        for (qsizetype i = 0; i < alternatives.size(); ++i)
            groups.append(u"(?<m"_s + QString::number(i) + u">"_s + alternatives[i] + u")"_s);
        return MeridianPatterns{Rx(groups.join(u'|')), codes};
    }();
    return patterns;
}

} // namespace

std::optional<DescriptionFields> readLegalDescription(const QString &text, QString *error)
{
    DescriptionFields d;
    // One spelling: capitals, fractions as digits, one kind of quote and dash.
    QString t = text.toUpper();
    t.replace(u"\u00BC"_s, u"1/4"_s).replace(u"\u00BD"_s, u" 1/2"_s);
    t.replace(QChar(0x2019), u'\'').replace(QChar(0x2032), u'\'').replace(QChar(0x2013), u'-');
    Reader in(t);

    // What is never guessed.
    // Each pattern is tried only when a word it needs is there: most descriptions need few.
    static const std::pair<Rx, QString> refused[] = {
        {Rx(u"\\bLOTS?\\s*\\d+(?:\\s*(?:,|AND|&)\\s*\\d+)*"_s), u"Lots are not supported: "_s},
        {Rx(u"\\bTRACTS?\\s*[A-Z0-9]+"_s), u"Tracts are not supported: "_s},
        {Rx(u"\\b(?:BEGINNING|COMMENCING|THENCE)\\b.*"_s),
         u"Metes and bounds are not supported: "_s},
        {Rx(u"(?<![A-Z])[NSEW]\\s*(?:1/2|/2|2)(?![0-9/])"_s), u"Halves are not supported: "_s},
    };
    static const QString refusedNeeds[] = {u"LOT"_s, u"TRACT"_s, u"NC"_s, u"2"_s};
    for (std::size_t i = 0; i < std::size(refused); ++i) {
        const auto &[rx, what] = refused[i];
        if (i == 2 && !t.contains(u"BEGINNING"_s) && !t.contains(u"THENCE"_s))
            continue;
        if (i != 2 && !t.contains(refusedNeeds[i]))
            continue;
        if (const QString found = in.firstMatch(rx); !found.isEmpty()) {
            *error = what + found;
            return std::nullopt;
        }
    }

    const MeridianPatterns &meridians = meridianPatterns();
    if (const QRegularExpressionMatch found =
            t.contains(u'M') ? in.take(meridians.rx) : QRegularExpressionMatch();
        found.hasMatch()) {
        for (qsizetype i = 0; i < meridians.codes.size(); ++i) {
            if (found.capturedStart(u"m"_s + QString::number(i)) >= 0) {
                const int code = meridians.codes[i];
                d.meridian = QString::number(code > 0 ? code : found.captured(u"num"_s).toInt());
                break;
            }
        }
    }

    static const QString number = u"(\\d{1,3}(?:\\.5|\\s*1/2)?)"_s;
    static const Rx sectionTownshipRange(u"\\b(\\d{1,2})\\s*-\\s*"_s + number +
                                         u"\\s*([NS])\\s*-\\s*"_s + number + u"\\s*([EW])\\b"_s);
    static const Rx townshipRange(u"(?<![A-Z0-9])"_s + number + u"\\s*([NS])\\s*-\\s*"_s + number +
                                  u"\\s*([EW])\\b"_s);
    static const Rx townshipWords(u"\\b(?:TOWNSHIP|TWP\\.?|T\\.?)\\s*"_s + number +
                                  u"\\s*(NORTH|SOUTH|N|S)\\b\\.?"_s);
    static const Rx rangeWords(u"(?:\\b|-)(?:RANGE|RNG\\.?|R\\.?)\\s*"_s + number +
                               u"\\s*(EAST|WEST|E|W)\\b\\.?"_s);
    static const Rx sectionWords(u"\\b(?:SECTION|SEC\\.?|S)\\s*(\\d{1,2})\\b"_s);
    // "36-153N-95W", then "153N-95W", then township and range words.
    const bool dashed = t.contains(u'-');
    if (const auto m = dashed ? in.take(sectionTownshipRange) : QRegularExpressionMatch();
        m.hasMatch()) {
        d.section = QString::number(m.captured(1).toInt());
        d.township = numberOf(m.captured(2)) + m.captured(3);
        d.range = numberOf(m.captured(4)) + m.captured(5);
    }
    if (const auto m = dashed ? in.take(townshipRange) : QRegularExpressionMatch();
        d.township.isEmpty() && m.hasMatch()) {
        d.township = numberOf(m.captured(1)) + m.captured(2);
        d.range = numberOf(m.captured(3)) + m.captured(4);
    }
    if (d.township.isEmpty()) {
        const auto m = in.take(townshipWords);
        if (m.hasMatch())
            d.township = numberOf(m.captured(1)) + letterOf(m.captured(2));
    }
    if (d.range.isEmpty()) {
        const auto m = in.take(rangeWords);
        if (m.hasMatch())
            d.range = numberOf(m.captured(1)) + letterOf(m.captured(2));
    }
    if (d.section.isEmpty()) {
        const auto m = in.take(sectionWords);
        if (m.hasMatch())
            d.section = QString::number(m.captured(1).toInt());
    }

    // Footage calls: "660' FNL", "660 ft from the north line", "1980'FEL", "660 N".
    static const QString distance = u"(\\d+(?:\\.\\d+)?)\\s*(?:'|FT\\.?|FEET)?\\s*"_s;
    static const Rx footageForms[] = {
        Rx(distance + u"F([NSEW])L\\b"_s),
        Rx(distance + u"FROM\\s+(?:THE\\s+)?(NORTH|SOUTH|EAST|WEST|[NSEW])\\.?\\s+(?:SECTION\\s+)?"
                      u"LINE\\b"_s),
        Rx(u"(?<![A-Z0-9./])"_s + distance + u"([NSEW])(?![A-Z0-9/])"_s),
    };
    static const QString footageNeeds[] = {u"F"_s, u"FROM"_s, QString()};
    for (std::size_t i = 0; i < std::size(footageForms); ++i) {
        const Rx &rx = footageForms[i];
        if (!footageNeeds[i].isEmpty() && !in.text().contains(footageNeeds[i]))
            continue;
        for (;;) {
            const QRegularExpressionMatch m = in.take(rx);
            if (!m.hasMatch())
                break;
            const QString side = letterOf(m.captured(2));
            QString &call = (side == u"N"_s || side == u"S"_s) ? d.fcY : d.fcX;
            if (!call.isEmpty()) {
                *error = u"Two footage calls measure from the same pair of lines: "_s + call +
                         u" and "_s + m.captured(0).trimmed();
                return std::nullopt;
            }
            call = m.captured(1) + side;
        }
    }

    // Quarter calls, as written smallest first: "NE/4 SW/4", "NE1/4SW1/4", "NE4SW4", "NESW".
    static const Rx quarterMark(u"(?<![A-Z])((?:NE|NW|SE|SW))\\s*(?:1/4|/4|4)(?![0-9])"_s);
    QString rest = in.text();
    rest.replace(quarterMark, u"\\1 "_s);
    Reader quarters(rest);
    QStringList written;
    static const Rx run(u"\\b((?:NE|NW|SE|SW)+)\\b"_s);
    for (;;) {
        const QRegularExpressionMatch m = quarters.take(run);
        if (!m.hasMatch())
            break;
        for (qsizetype i = 0; i + 1 < m.captured(1).size(); i += 2)
            written.append(m.captured(1).mid(i, 2));
    }
    if (written.size() > 4) {
        *error = u"More than four quarter calls: "_s + written.join(u' ');
        return std::nullopt;
    }
    for (qsizetype i = 0; i < written.size(); ++i)
        d.quarters[std::size_t(i)] = written[written.size() - 1 - i];

    // What is left must be filler.
    QString left = quarters.text();
    static const Rx filler(u"\\b(?:AND|OF|THE|IN|ALL|SEC(?:TION)?S?|FT|FEET)\\b|[&,.;:()\\-'\"]"_s);
    left.replace(filler, u" "_s);
    left = left.simplified();
    if (!left.isEmpty()) {
        *error = u"This part of the description is not understood: \""_s + left + u"\""_s;
        return std::nullopt;
    }
    for (const auto &[part, name] :
         {std::pair{&d.section, u"section"_s}, std::pair{&d.township, u"township"_s},
          std::pair{&d.range, u"range"_s}}) {
        if (part->isEmpty()) {
            *error = u"The description gives no "_s + name + u"."_s;
            return std::nullopt;
        }
    }
    return d;
}
