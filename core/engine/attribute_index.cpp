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
        dropIndexesOf(*it);
        return;
    }
    m_fieldByLowerName.insert(key, int(m_columns.size()));
    m_columns.push_back(std::move(column));
    m_hashIndexes.emplace_back();
}

void AttributeIndex::dropIndexesOf(int field)
{
    m_hashIndexes[std::size_t(field)].reset();
    for (auto it = m_pairIndexes.begin(); it != m_pairIndexes.end();) {
        if (int(it.key() >> 32) == field || int(it.key() & 0xffffffffU) == field)
            it = m_pairIndexes.erase(it);
        else
            ++it;
    }
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
    m_pairIndexes.clear();
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
    const std::lock_guard lock(*m_indexLock);
    auto &slot = m_hashIndexes[std::size_t(field)];
    if (!slot) {
        slot = std::make_unique<HashIndex>();
        HashIndex &h = *slot;
        const Column &c = m_columns[std::size_t(field)];
        h.idOfRow.assign(std::size_t(rowCount), -1);
        for (int row = 0; row < rowCount; ++row) {
            const auto r = std::size_t(row);
            if (c.isNull[r])
                continue;
            const auto next = int(h.rowsOf.size());
            const auto idOf = [next](auto &ids, const auto &value) {
                auto it = ids.find(value);
                return it != ids.end() ? *it : *ids.insert(value, next);
            };
            int id;
            if (c.ogrType == OFTReal)
                id = idOf(h.numberIds, normalisedKey(c.reals[r]));
            else if (isNumeric(c.ogrType))
                id = idOf(h.numberIds, normalisedKey(double(c.ints[r])));
            else
                id = idOf(h.textIds, asciiLower(c.texts[r].toUtf8()));
            if (id == next)
                h.rowsOf.emplace_back();
            h.rowsOf[std::size_t(id)].push_back(row);
            h.idOfRow[r] = id;
        }
    }
    return *slot;
}

const AttributeIndex::PairIndex &AttributeIndex::pairIndex(int first, int second,
                                                           int rowCount) const
{
    const quint64 key = quint64(quint32(first)) << 32 | quint32(second);
    const std::lock_guard lock(*m_indexLock);
    std::shared_ptr<PairIndex> &slot = m_pairIndexes[key];
    if (!slot) {
        slot = std::make_shared<PairIndex>();
        const std::vector<int> &a = hashIndex(first, rowCount).idOfRow;
        const std::vector<int> &b = hashIndex(second, rowCount).idOfRow;
        for (std::size_t row = 0; row < a.size(); ++row) {
            if (a[row] >= 0 && b[row] >= 0)
                (*slot)[quint64(quint32(a[row])) << 32 | quint32(b[row])].push_back(int(row));
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
    rows.clear();
    if (resolved.isEmpty())
        return Answer::Rows;

    // Each term as the number of its value in its column; a value no row holds finds nothing.
    struct Term
    {
        const HashIndex *index;
        int field;
        int id;
    };
    std::vector<Term> ids;
    for (const Resolved &r : resolved) {
        const HashIndex &index = hashIndex(r.field, rowCount);
        const int id = r.numeric ? index.numberIds.value(normalisedKey(r.number), -1)
                                 : index.textIds.value(r.text, -1);
        if (id < 0)
            return Answer::Rows;
        ids.push_back({&index, r.field, id});
    }
    // The candidates: the rows of the two most selective terms together (of the one, alone),
    // then every term checked on each.
    std::sort(ids.begin(), ids.end(), [](const Term &a, const Term &b) {
        return a.index->rowsOf[std::size_t(a.id)].size() <
               b.index->rowsOf[std::size_t(b.id)].size();
    });
    const std::vector<int> *candidates = &ids[0].index->rowsOf[std::size_t(ids[0].id)];
    static const std::vector<int> none;
    if (ids.size() > 1 && ids[0].field != ids[1].field && candidates->size() > 16) {
        const PairIndex &pairs = pairIndex(ids[0].field, ids[1].field, rowCount);
        const auto it = pairs.constFind(quint64(quint32(ids[0].id)) << 32 | quint32(ids[1].id));
        candidates = it == pairs.cend() ? &none : &it.value();
    }
    for (int row : *candidates) {
        if (std::all_of(ids.cbegin(), ids.cend(), [row](const Term &t) {
                return t.index->idOfRow[std::size_t(row)] == t.id;
            }))
            rows.push_back(row);
    }
    return Answer::Rows;
}
