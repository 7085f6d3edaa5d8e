#include "core/engine/attribute_index.h"

#include <ogr_core.h>

#include <algorithm>

namespace {

// Names OGR SQL resolves by itself although no column carries them.
bool isOgrSpecialField(const QByteArray &lowerName)
{
    return lowerName == "fid" || lowerName.startsWith("ogr_");
}

double normalisedKey(double v)
{
    return v == 0.0 ? 0.0 : v; // -0 and 0 are one key
}

bool allAsciiDigits(const QString &s)
{
    if (s.isEmpty() || s.size() > 15)
        return false;
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

QByteArray asciiLower(const QByteArray &in)
{
    QByteArray out = in;
    for (char &c : out) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

bool AttributeIndex::isNumeric(int ogrType)
{
    return ogrType == OFTInteger || ogrType == OFTInteger64 || ogrType == OFTReal;
}

void AttributeIndex::setColumns(const QStringList &names, const std::vector<int> &ogrTypes)
{
    clear();
    m_columns.resize(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        m_fieldByLowerName.insert(asciiLower(names[i].toUtf8()), int(i));
        const int type = ogrTypes[std::size_t(i)];
        m_columns[std::size_t(i)].ogrType = isNumeric(type) ? type : OFTString;
    }
    m_hashIndexes.resize(m_columns.size());
}

void AttributeIndex::setDerivedColumn(const QString &name, Column column)
{
    const QByteArray key = asciiLower(name.toUtf8());
    if (const auto it = m_fieldByLowerName.constFind(key); it != m_fieldByLowerName.constEnd()) {
        m_columns[std::size_t(*it)] = std::move(column);
        m_hashIndexes[std::size_t(*it)].reset();
        return;
    }
    m_fieldByLowerName.insert(key, int(m_columns.size()));
    m_columns.push_back(std::move(column));
    m_hashIndexes.emplace_back();
}

void AttributeIndex::reserve(std::size_t rows)
{
    for (Column &c : m_columns) {
        c.isNull.reserve(rows);
        if (c.ogrType == OFTReal)
            c.reals.reserve(rows);
        else if (isNumeric(c.ogrType))
            c.ints.reserve(rows);
        else
            c.texts.reserve(rows);
    }
}

void AttributeIndex::clear()
{
    m_columns.clear();
    m_fieldByLowerName.clear();
    m_hashIndexes.clear();
}

int AttributeIndex::fieldIndex(const QString &name) const
{
    return m_fieldByLowerName.value(asciiLower(name.toUtf8()), -1);
}

QVariant AttributeIndex::value(int row, int field) const
{
    if (row < 0 || field < 0 || field >= int(m_columns.size()))
        return {};
    const Column &c = m_columns[std::size_t(field)];
    const auto r = std::size_t(row);
    if (r >= c.isNull.size() || c.isNull[r])
        return {};
    if (c.ogrType == OFTReal)
        return c.reals[r];
    if (isNumeric(c.ogrType))
        return qlonglong(c.ints[r]);
    return c.texts[r];
}

const AttributeIndex::HashIndex &AttributeIndex::hashIndex(int field, int rowCount) const
{
    auto &slot = m_hashIndexes[std::size_t(field)];
    if (!slot) {
        slot = std::make_unique<HashIndex>();
        const Column &c = m_columns[std::size_t(field)];
        for (int row = 0; row < rowCount; ++row) {
            const auto r = std::size_t(row);
            if (c.isNull[r])
                continue;
            if (c.ogrType == OFTReal)
                slot->numbers[normalisedKey(c.reals[r])].push_back(row);
            else if (isNumeric(c.ogrType))
                slot->numbers[normalisedKey(double(c.ints[r]))].push_back(row);
            else
                slot->texts[asciiLower(c.texts[r].toUtf8())].push_back(row);
        }
    }
    return *slot;
}

AttributeIndex::Answer AttributeIndex::search(const QList<EqualityTerm> &terms, int rowCount,
                                              std::vector<int> &rows) const
{
    // Resolve every term first: one that OGR would refuse empties the whole answer, one we
    // cannot judge exactly sends the whole expression to OGR.
    struct Resolved
    {
        int field;
        bool numeric;
        double number;
        QByteArray text;
    };
    QList<Resolved> resolved;
    for (const EqualityTerm &t : terms) {
        const QByteArray lower = asciiLower(t.field.toUtf8());
        const int field = m_fieldByLowerName.value(lower, -1);
        if (field < 0)
            return isOgrSpecialField(lower) ? Answer::AskOgr : Answer::Empty;
        const int ogrType = m_columns[std::size_t(field)].ogrType;
        if (isNumeric(ogrType)) {
            if (t.kind == EqualityTerm::Kind::Text) {
                // OGR converts a quoted number to the field's type; only plain digits are
                // certain to convert the same way here.
                if (!allAsciiDigits(t.text))
                    return Answer::AskOgr;
                resolved.append({field, true, t.text.toDouble(), {}});
            } else {
                resolved.append({field, true, t.number, {}});
            }
        } else if (ogrType == OFTString) {
            if (t.kind != EqualityTerm::Kind::Text)
                return Answer::Empty; // OGR: type mismatch
            resolved.append({field, false, 0, asciiLower(t.text.toUtf8())});
        } else {
            return Answer::AskOgr;
        }
    }

    // The shortest list of candidates, checked against every term.
    const std::vector<int> *smallest = nullptr;
    static const std::vector<int> none;
    for (const Resolved &r : resolved) {
        const HashIndex &index = hashIndex(r.field, rowCount);
        const std::vector<int> *hits;
        if (r.numeric) {
            auto it = index.numbers.constFind(normalisedKey(r.number));
            hits = it == index.numbers.cend() ? &none : &it.value();
        } else {
            auto it = index.texts.constFind(r.text);
            hits = it == index.texts.cend() ? &none : &it.value();
        }
        if (!smallest || hits->size() < smallest->size())
            smallest = hits;
    }
    rows.clear();
    if (!smallest)
        return Answer::Rows;
    auto holds = [this](const Resolved &r, std::size_t i) {
        const Column &c = m_columns[std::size_t(r.field)];
        if (c.isNull[i])
            return false;
        if (r.numeric)
            return (c.ogrType == OFTReal ? c.reals[i] : double(c.ints[i])) == r.number;
        return asciiLower(c.texts[i].toUtf8()) == r.text;
    };
    for (int row : *smallest) {
        if (std::all_of(resolved.cbegin(), resolved.cend(),
                        [&](const Resolved &r) { return holds(r, std::size_t(row)); }))
            rows.push_back(row);
    }
    return Answer::Rows;
}
