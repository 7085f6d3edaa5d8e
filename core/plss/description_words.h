#pragma once

// The words of a legal description as the reader sees them: the text cut into tokens once, and
// the small patterns several parts of a description share (numbers, distances, fractions,
// quarters, meridians, the corners and distances of ties). For the reader's own use.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

namespace descriptionwords {

// The text is cut into words (letters), numbers (digits) and single marks
// of punctuation, once; each part of a description is then a short sequence of them. A token
// read into a field is used, so what is left at the end is what was not understood. Patterns
// skip used tokens as they would skip spaces.

enum class Kind : unsigned char { Word, Number, Mark };

// A word or number packed into one number, so that comparing two is one instruction: six bits a
// character, up to ten; a longer word keeps its first ten and a flag, and is compared in full.
using Key = std::uint64_t;
constexpr Key LongWord = Key(1) << 63;
constexpr Key packKey(std::u16string_view text)
{
    Key key = 0;
    for (std::size_t i = 0; i < text.size() && i < 10; ++i) {
        const char16_t c = text[i];
        const Key code = c >= u'A' && c <= u'Z'   ? Key(c - u'A' + 1)
                         : c >= u'0' && c <= u'9' ? Key(c - u'0' + 27)
                                                  : Key(63);
        key = key << 6 | code;
    }
    return text.size() > 10 ? key | LongWord : key;
}
consteval Key kw(std::u16string_view text)
{
    return packKey(text);
}
inline std::u16string_view plain(QStringView v)
{
    return {v.utf16(), std::size_t(v.size())};
}

struct Token
{
    qsizetype start = 0;
    qsizetype end = 0;
    Key key = 0;
    Kind kind = Kind::Mark;
    bool used = false;
};

// For each character of the text in one spelling, where it stands in the text as typed.
using TypedPlaces = QVarLengthArray<qsizetype, 256>;

class Tokens
{
public:
    Tokens(const QString &text, const QString &typed, const TypedPlaces &places)
        : m_text(text)
        , m_typed(typed)
        , m_places(places)
    {
        const auto letter = [](char16_t c) { return c >= u'A' && c <= u'Z'; };
        const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n;) {
            const char16_t c = text[i].unicode();
            Token t;
            t.start = i;
            if (letter(c)) {
                while (i < n && letter(text[i].unicode()))
                    ++i;
                t.kind = Kind::Word;
            } else if (digit(c)) {
                while (i < n && digit(text[i].unicode()))
                    ++i;
                t.kind = Kind::Number;
            } else if (QChar::isSpace(c)) {
                ++i;
                continue;
            } else {
                ++i;
                t.kind = Kind::Mark;
            }
            t.end = i;
            t.key = packKey(plain(QStringView(text).mid(t.start, t.end - t.start)));
            m_tokens.append(t);
        }
    }

    int size() const { return int(m_tokens.size()); }
    QStringView view(int i) const
    {
        return QStringView(m_text).mid(m_tokens[i].start, m_tokens[i].end - m_tokens[i].start);
    }
    bool valid(int i) const { return i >= 0 && i < size(); }
    bool isUsed(int i) const { return valid(i) && m_tokens[i].used; }
    bool isWord(int i) const { return valid(i) && m_tokens[i].kind == Kind::Word; }
    bool isNumber(int i) const { return valid(i) && m_tokens[i].kind == Kind::Number; }
    Key key(int i) const { return m_tokens[i].key; }
    bool is(int i, Key key) const { return valid(i) && m_tokens[i].key == key; }
    // A word given at run time (a place's name): the key, and all of a long word.
    bool is(int i, const QString &word, Key key) const
    {
        return is(i, key) && (!(key & LongWord) || view(i) == word);
    }
    bool isAny(int i, std::initializer_list<Key> keys) const
    {
        return valid(i) && std::find(keys.begin(), keys.end(), m_tokens[i].key) != keys.end();
    }
    template <std::size_t N> bool isAny(int i, const std::array<Key, N> &keys) const
    {
        return valid(i) && std::find(keys.begin(), keys.end(), m_tokens[i].key) != keys.end();
    }
    bool isMark(int i, char16_t c) const
    {
        return valid(i) && m_tokens[i].kind == Kind::Mark && m_text[m_tokens[i].start] == c;
    }
    // The decimal part written right after the number i ("660.5"): its token, or -1.
    int decimals(int i) const
    {
        const int dot = touchingAfter(i);
        const int digits = isMark(dot, u'.') ? touchingAfter(dot) : -1;
        return isNumber(digits) ? digits : -1;
    }
    // The next token not used after i (size() when none).
    int next(int i) const
    {
        for (++i; i < size() && m_tokens[i].used; ++i) {
        }
        return i;
    }
    // `next` when the token after i is `c`, otherwise i: an optional mark.
    int skipMark(int i, char16_t c) const { return isMark(next(i), c) ? next(i) : i; }
    // The unused token right before (after) token i with no space between, or -1.
    int touching(int i) const
    {
        return valid(i) && i > 0 && !m_tokens[i - 1].used &&
                       m_tokens[i - 1].end == m_tokens[i].start
                   ? i - 1
                   : -1;
    }
    int touchingAfter(int i) const
    {
        return valid(i) && i + 1 < size() && !m_tokens[i + 1].used &&
                       m_tokens[i + 1].start == m_tokens[i].end
                   ? i + 1
                   : -1;
    }
    // Whether token i touches an unused word or number before (after) it, as "S36" or "36TH".
    bool joinedBefore(int i) const { return isWord(touching(i)) || isNumber(touching(i)); }
    bool joinedAfter(int i) const { return isWord(touchingAfter(i)) || isNumber(touchingAfter(i)); }
    void use(int first, int last)
    {
        for (int i = first; i <= last; ++i)
            m_tokens[i].used = true;
    }
    // The text from token first to token last as the user typed it.
    QString quote(int first, int last) const
    {
        const qsizetype from = m_places[m_tokens[first].start];
        return m_typed.mid(from, m_places[m_tokens[last].end - 1] + 1 - from);
    }
    // What is left unread, as typed: each run of unused tokens without the filler at its ends
    // (the commas between the parts read), the runs joined by " ... ".
    template <typename Filler> QString unread(Filler blank) const
    {
        QStringList runs;
        for (int i = 0; i < size(); ++i) {
            if (m_tokens[i].used)
                continue;
            int last = i;
            while (last + 1 < size() && !m_tokens[last + 1].used)
                ++last;
            int first = i;
            i = last;
            while (first <= last && blank(first))
                ++first;
            while (last >= first && blank(last))
                --last;
            if (first <= last)
                runs.append(quote(first, last));
        }
        return runs.join(QStringLiteral(" ... "));
    }

private:
    const QString &m_text;
    const QString &m_typed;
    const TypedPlaces &m_places;
    QVarLengthArray<Token, 48> m_tokens;
};

// The first place in the text where `match` reads a part (it returns the last token of it, or
// -1): the first and last token.
template <typename Match> std::pair<int, int> findFirst(const Tokens &k, Match match)
{
    for (int i = k.next(-1); i < k.size(); i = k.next(i)) {
        if (const int last = match(i); last >= 0)
            return {i, last};
    }
    return {-1, -1};
}

// A township or range number from token i ("23", "023", "23.5", "23 1/2"): as the fields hold
// it ("23", "23.5") and the last token read.
std::optional<std::pair<QString, int>> plssNumber(const Tokens &k, int i);
// A part written as a fraction from token i: "1/N", "/N" or "N" for the denominator key
// ("2" of a half, "4" of a quarter): its last token, or -1.
int fractionMark(const Tokens &k, int i, Key denominator);
bool isSmallWholeNumber(const Tokens &k, int i);
// The number of a footage call ("660", "660.5"): its last token.
int distanceNumber(const Tokens &k, int i);
// A distance of a footage call ("660", "660'", "660 ft.", "660.5 feet"): the last token read.
int distance(const Tokens &k, int i);
// "NE", "NW", "SE", "SW", else empty.
QString quarterOf(QStringView pair);
// A word made of quarters only ("NESW").
bool isQuarterRun(QStringView word);

// A meridian from token i by name, ordinal, number or abbreviation: its code and the last
// token read.
std::optional<std::pair<int, int>> meridianAt(const Tokens &k, int i);

// A direction word of a tie ("N", "North"): its letter, or 0.
char16_t directionAt(const Tokens &k, int i);

// One distance of a tie, "N 1234 ft" or "1234 ft N": its direction, its number's tokens and the
// last token read.
struct TieLeg
{
    char16_t direction = 0;
    int number = -1;
    int numberLast = -1;
    int last = -1;
};

std::optional<TieLeg> tieLeg(const Tokens &k, int i);
// The corner a tie is measured from ("SW Cor", "N 1/4 Cor.", "north quarter corner", "center
// of section"): its name ("SW", "N4", "C4") and the last token read.
std::optional<std::pair<QString, int>> tieCornerAt(const Tokens &k, int i);

} // namespace descriptionwords
