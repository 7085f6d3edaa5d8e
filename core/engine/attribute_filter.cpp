#include "core/engine/attribute_filter.h"

#include <QSet>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Words OGR SQL reserves; a bare name equal to one of these is not a plain field reference.
bool isKeyword(const QString &word)
{
    static const QSet<QString> keywords = {
        u"and"_s,    u"or"_s,      u"not"_s,     u"like"_s,      u"ilike"_s, u"is"_s,    u"null"_s,
        u"in"_s,     u"between"_s, u"escape"_s,  u"select"_s,    u"from"_s,  u"where"_s, u"order"_s,
        u"by"_s,     u"asc"_s,     u"desc"_s,    u"distinct"_s,  u"cast"_s,  u"as"_s,    u"on"_s,
        u"join"_s,   u"left"_s,    u"union"_s,   u"all"_s,       u"true"_s,  u"false"_s, u"limit"_s,
        u"offset"_s, u"except"_s,  u"exclude"_s, u"intersect"_s, u"glob"_s,  u"hidden"_s};
    return keywords.contains(word.toLower());
}

bool isIdentStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_';
}

bool isIdentChar(QChar c)
{
    return isIdentStart(c) || (c >= u'0' && c <= u'9');
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

class Scanner
{
public:
    explicit Scanner(const QString &s)
        : m_s(s)
    {}

    void skipBlanks()
    {
        while (m_i < m_s.size() && (m_s[m_i] == u' ' || m_s[m_i] == u'\t'))
            ++m_i;
    }
    bool atEnd()
    {
        skipBlanks();
        return m_i >= m_s.size();
    }
    std::optional<QString> identifier()
    {
        skipBlanks();
        if (m_i >= m_s.size() || !isIdentStart(m_s[m_i]))
            return std::nullopt;
        const qsizetype start = m_i;
        while (m_i < m_s.size() && isIdentChar(m_s[m_i]))
            ++m_i;
        return m_s.mid(start, m_i - start);
    }
    bool symbol(QChar c)
    {
        skipBlanks();
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    // A literal: an unsigned decimal number or a single-quoted text ('' stands for ').
    std::optional<EqualityTerm> literal()
    {
        skipBlanks();
        if (m_i >= m_s.size())
            return std::nullopt;
        EqualityTerm t;
        if (m_s[m_i] == u'\'') {
            ++m_i;
            QString text;
            for (;;) {
                if (m_i >= m_s.size())
                    return std::nullopt;
                if (m_s[m_i] == u'\'') {
                    if (m_i + 1 < m_s.size() && m_s[m_i + 1] == u'\'') {
                        text.append(u'\'');
                        m_i += 2;
                        continue;
                    }
                    ++m_i;
                    break;
                }
                text.append(m_s[m_i++]);
            }
            t.kind = EqualityTerm::Kind::Text;
            t.text = text;
            return t;
        }
        if (!isDigit(m_s[m_i]))
            return std::nullopt;
        const qsizetype start = m_i;
        while (m_i < m_s.size() && isDigit(m_s[m_i]))
            ++m_i;
        bool real = false;
        if (m_i < m_s.size() && m_s[m_i] == u'.') {
            real = true;
            ++m_i;
            while (m_i < m_s.size() && isDigit(m_s[m_i]))
                ++m_i;
        }
        // Exponents, hex and suffixes are OGR's business.
        if (m_i < m_s.size() && (isIdentChar(m_s[m_i]) || m_s[m_i] == u'.'))
            return std::nullopt;
        t.text = m_s.mid(start, m_i - start);
        bool ok = false;
        t.number = t.text.toDouble(&ok);
        // Integers beyond 2^53 would not compare exactly as doubles.
        if (!ok || !std::isfinite(t.number) || (!real && t.number > 9007199254740992.0))
            return std::nullopt;
        t.kind = real ? EqualityTerm::Kind::Real : EqualityTerm::Kind::Integer;
        return t;
    }

private:
    const QString &m_s;
    qsizetype m_i = 0;
};

} // namespace

std::optional<QList<EqualityTerm>> parseEqualityConjunction(const QString &expression)
{
    Scanner sc(expression);
    QList<EqualityTerm> terms;
    for (;;) {
        const auto field = sc.identifier();
        if (!field || isKeyword(*field))
            return std::nullopt;
        if (!sc.symbol(u'='))
            return std::nullopt;
        auto term = sc.literal();
        if (!term)
            return std::nullopt;
        term->field = *field;
        terms.append(*term);
        if (sc.atEnd())
            break;
        const auto conj = sc.identifier();
        if (!conj || conj->compare(u"and"_s, Qt::CaseInsensitive) != 0)
            return std::nullopt;
    }
    return terms;
}
