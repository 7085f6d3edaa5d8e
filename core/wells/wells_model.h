#pragma once

#include "core/engine/geometry.h"
#include "core/wells/well_entry.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QSet>

#include <functional>

// One well of a list: the permit's entry, where it was located and how sure, and a note.
struct Well
{
    WellEntry entry;
    WellEntry resolved; // what the table shows: the entry with what its description gives
    QString note;
    bool located = false;
    MapPoint point; // in the section theme's system, when located
    QString easting, northing, latitude, longitude, radiusFeet, method;
    QString status; // what went wrong, or what the location said; empty when all went well
    QDateTime locatedAt;
    qint64 storeId = -1; // the feature's id where the list is kept; -1 until kept
    bool changed = true; // since it was last kept

    // Takes what locating the entry gave.
    void take(const EntryLocation &at, const QDateTime &when);
    // What the table, exports and print show: a well placed by its description with the
    // township, range, section and calls the description gives.
    const WellEntry &shown() const
    {
        return entry.fromDescription() && !resolved.fromDescription() &&
                       resolved.description == entry.description
                   ? resolved
                   : entry;
    }
};

// The wells of a map window as a table: one row a well, in the columns below. Editing a row's
// description, township, range, section, meridian or calls locates it again with the locator;
// ids are unique in the list. Remembers what changed since the list was last kept, so keeping it
// writes only that.
class WellsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Id,
        Description,
        Meridian,
        Township,
        Range,
        Section,
        Calls,
        Easting,
        Northing,
        Latitude,
        Longitude,
        RadiusFeet,
        Method,
        Status,
        Note,
        ColumnCount
    };
    // A role of every column: true for a located well, false for one that failed.
    static constexpr int LocatedRole = Qt::UserRole + 1;
    // What the column sorts by: numbers for the numeric columns, else the text.
    static constexpr int SortRole = Qt::UserRole + 2;

    using Locator = std::function<EntryLocation(const WellEntry &)>;

    explicit WellsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    // How edited rows are located again; none leaves them as they were, with a status saying so.
    void setLocator(Locator locator) { m_locator = std::move(locator); }

    const QList<Well> &wells() const { return m_wells; }
    const Well &well(int row) const { return m_wells.at(row); }
    const QSet<QString> &ids() const { return m_ids; }
    // Appends wells, numbering those without an id; a well whose id is already in the list is
    // refused (false, nothing appended).
    bool appendWells(QList<Well> wells);
    // Replaces the whole list (as read from where it is kept): nothing is then changed.
    void resetWells(QList<Well> wells);

    // What changed since resetWells or the last markKept: rows to write and feature ids to delete.
    QList<int> changedRows() const;
    const QList<qint64> &removedIds() const { return m_removedIds; }
    bool isModified() const;
    // The changes were kept; `storeIds` gives each changed row its feature id.
    void markKept(const QHash<int, qint64> &storeIds);
Q_SIGNALS:
    // An edit was refused or located with a problem: the text says which and why.
    void problem(const QString &text);

private:
    bool setEntryText(Well &well, int column, const QString &text);
    void relocate(int row);
    QSet<QString> m_ids;
    QList<Well> m_wells;
    QList<qint64> m_removedIds;
    Locator m_locator;
};
