#pragma once

#include "core/engine/attribute_filter.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <mutex>
#include <vector>

// The attribute table of a vector layer by column, with hash indexes built on first use that
// answer conjunctions of `field = literal` exactly as OGR SQL would. Searches may run on several
// threads at once (the index they need is built by the first, the others wait for it).
class AttributeIndex
{
public:
    // One column: numbers (OGR integer and real types) or text, and which rows are null.
    struct Column
    {
        int ogrType = 0;
        std::vector<qint64> ints;
        std::vector<double> reals;
        std::vector<QString> texts;
        std::vector<bool> isNull;
    };

    // Columns in the table's order; their names are matched without regard to ASCII case.
    void setColumns(const QStringList &names, const std::vector<int> &ogrTypes);
    std::vector<Column> &columns() { return m_columns; }
    // Room for `rows` records in every column.
    void reserve(std::size_t rows);
    // OGR's integer and real types are held as numbers, every other type as text.
    static bool isNumeric(int ogrType);
    void clear();
    // Adds a column computed from the others (or replaces the one of that name added before).
    // It is searched like any other but is no field of the source, so OGR never sees it.
    void setDerivedColumn(const QString &name, Column column);

    int fieldIndex(const QString &name) const;
    // Whether a column holds numbers (false for text and for a field that is not there).
    bool isNumericColumn(int field) const
    {
        return field >= 0 && std::size_t(field) < m_columns.size() &&
               isNumeric(m_columns[std::size_t(field)].ogrType);
    }
    QVariant value(int row, int field) const;

    enum class Answer { Rows, Empty, AskOgr };
    // The rows (in file order) where every term holds; Empty when OGR would refuse a term (a
    // missing field, a type mismatch), AskOgr when the terms cannot be judged exactly here.
    Answer search(const QList<EqualityTerm> &terms, int rowCount, std::vector<int> &rows) const;

private:
    // A column's distinct values numbered, each with its rows (in file order), and the number
    // of each row's value (-1 for null): a term is checked on a row by comparing two numbers.
    struct HashIndex
    {
        QHash<double, int> numberIds;
        QHash<QByteArray, int> textIds;
        std::vector<std::vector<int>> rowsOf;
        std::vector<int> idOfRow;
    };
    const HashIndex &hashIndex(int field, int rowCount) const;
    // The rows of each pair of values of two columns: what a section lookup's township and
    // range find together (36 rows) where either alone finds thousands in a large theme.
    using PairIndex = QHash<quint64, std::vector<int>>;
    const PairIndex &pairIndex(int first, int second, int rowCount) const;
    void dropIndexesOf(int field);

    std::vector<Column> m_columns;
    QHash<QByteArray, int> m_fieldByLowerName;
    mutable std::vector<std::unique_ptr<HashIndex>> m_hashIndexes;
    mutable QHash<quint64, std::shared_ptr<PairIndex>> m_pairIndexes; // by the two fields
    // Guards the two above (a pair index is built from hash indexes under the same lock).
    std::unique_ptr<std::recursive_mutex> m_indexLock = std::make_unique<std::recursive_mutex>();
};

// ASCII lower case, as OGR compares field names and text values.
QByteArray asciiLower(const QByteArray &in);
