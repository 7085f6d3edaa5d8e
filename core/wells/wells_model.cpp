#include "core/wells/wells_model.h"

#include "core/common/number_text.h"

#include <QColor>

using namespace Qt::StringLiterals;

void Well::take(const EntryLocation &at, const QDateTime &when)
{
    resolved = at.resolved;
    located = at.located();
    point = located ? at.well.location : MapPoint{};
    easting = located ? at.well.easting : QString();
    northing = located ? at.well.northing : QString();
    latitude = at.latitude;
    longitude = at.longitude;
    radiusFeet = at.radiusFeet;
    method = located ? at.well.method : QString();
    status = at.message;
    locatedAt = when;
    changed = true;
}

WellsModel::WellsModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

int WellsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_wells.size());
}

int WellsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

namespace {

QString cellText(const Well &w, int column)
{
    const WellEntry &shown = w.shown();
    switch (column) {
    case WellsModel::Id:
        return w.entry.id;
    case WellsModel::Description:
        return w.entry.description;
    case WellsModel::Meridian:
        return shown.meridian;
    case WellsModel::Township:
        return shown.township;
    case WellsModel::Range:
        return shown.range;
    case WellsModel::Section:
        return shown.section;
    case WellsModel::Calls:
        return callsText(shown);
    case WellsModel::Easting:
        return w.easting;
    case WellsModel::Northing:
        return w.northing;
    case WellsModel::Latitude:
        return w.latitude;
    case WellsModel::Longitude:
        return w.longitude;
    case WellsModel::RadiusFeet:
        return w.radiusFeet;
    case WellsModel::Method:
        return w.method;
    case WellsModel::Status:
        return w.located && w.status.isEmpty() ? u"located"_s : w.status;
    case WellsModel::Note:
        return w.note;
    default:
        return {};
    }
}

bool isNumeric(int column)
{
    return column >= WellsModel::Easting && column <= WellsModel::RadiusFeet;
}

} // namespace

QVariant WellsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_wells.size())
        return {};
    const Well &w = m_wells.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cellText(w, index.column());
    case Qt::ForegroundRole:
        return w.located ? QVariant() : QVariant(QColor(Qt::red));
    case Qt::TextAlignmentRole:
        return isNumeric(index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case LocatedRole:
        return w.located;
    case SortRole:
        if (isNumeric(index.column())) {
            const auto n = parseNumber(cellText(w, index.column()));
            return n ? QVariant(*n) : QVariant();
        }
        return cellText(w, index.column());
    default:
        return {};
    }
}

QVariant WellsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList names = {
        u"Id"_s,        u"Description"_s, u"Meridian"_s, u"Township"_s, u"Range"_s,
        u"Section"_s,   u"Calls"_s,       u"Easting"_s,  u"Northing"_s, u"Latitude"_s,
        u"Longitude"_s, u"Radius (ft)"_s, u"Method"_s,   u"Status"_s,   u"Note"_s};
    return names.value(section);
}

Qt::ItemFlags WellsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && (index.column() <= Calls || index.column() == Note))
        f |= Qt::ItemIsEditable;
    return f;
}

bool WellsModel::setEntryText(Well &w, int column, const QString &text)
{
    QString error;
    // One part of what the description gave, changed: the rest of it is kept in its cells.
    if (column != Description && &w.shown() == &w.resolved) {
        const QString id = w.entry.id;
        w.entry = w.resolved;
        w.entry.id = id;
    }
    switch (column) {
    case Description: {
        // A new description says where the well is: what the separate cells held goes.
        const QString id = w.entry.id;
        w.entry = WellEntry();
        w.entry.id = id;
        w.entry.description = text;
        return true;
    }
    case Meridian:
        w.entry.meridian = text;
        return true;
    case Township:
        w.entry.township = text;
        return true;
    case Range:
        w.entry.range = text;
        return true;
    case Section:
        w.entry.section = text;
        return true;
    case Calls:
        if (setCallsText(w.entry, text, &error))
            return true;
        Q_EMIT problem(u"Well "_s + w.entry.id + u": "_s + error);
        return false;
    default:
        return false;
    }
}

bool WellsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Well &w = m_wells[index.row()];
    const QString text = value.toString().trimmed();
    if (text == cellText(w, index.column()))
        return false;
    if (index.column() == Id) {
        if (text.isEmpty() || m_ids.contains(text)) {
            Q_EMIT problem(text.isEmpty()
                               ? u"A well needs an id."_s
                               : u"The id \""_s + text + u"\" is already in the list."_s);
            return false;
        }
        m_ids.remove(w.entry.id);
        m_ids.insert(text);
        w.entry.id = text;
    } else if (index.column() == Note) {
        w.note = text;
    } else if (setEntryText(w, index.column(), text)) {
        relocate(index.row());
        return true;
    } else {
        return false;
    }
    w.changed = true;
    Q_EMIT dataChanged(index, index);
    return true;
}

void WellsModel::relocate(int row)
{
    Well &w = m_wells[row];
    if (m_locator) {
        w.take(m_locator(w.entry), QDateTime::currentDateTimeUtc());
    } else {
        w.located = false;
        w.status = u"No section theme to locate the well on."_s;
        w.changed = true;
    }
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

bool WellsModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > m_wells.size())
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    for (int r = row; r < row + count; ++r) {
        m_ids.remove(m_wells[r].entry.id);
        if (m_wells[r].storeId >= 0)
            m_removedIds.append(m_wells[r].storeId);
    }
    m_wells.remove(row, count);
    endRemoveRows();
    return true;
}

bool WellsModel::appendWells(QList<Well> wells)
{
    QSet<QString> ids = m_ids;
    for (Well &w : wells) {
        w.entry.id = w.entry.id.trimmed();
        if (w.entry.id.isEmpty())
            continue;
        if (ids.contains(w.entry.id)) {
            Q_EMIT problem(u"The id \""_s + w.entry.id + u"\" is already in the list."_s);
            return false;
        }
        ids.insert(w.entry.id);
    }
    // Numbered after the ids given, so a number never takes one of theirs.
    qsizetype n = m_wells.size();
    for (Well &w : wells) {
        if (!w.entry.id.isEmpty())
            continue;
        QString id;
        do
            id = u"W-"_s + QString::number(++n);
        while (ids.contains(id));
        ids.insert(id);
        w.entry.id = id;
    }
    if (wells.isEmpty())
        return true;
    beginInsertRows({}, int(m_wells.size()), int(m_wells.size() + wells.size() - 1));
    m_wells.append(std::move(wells));
    m_ids = std::move(ids);
    endInsertRows();
    return true;
}

void WellsModel::resetWells(QList<Well> wells)
{
    beginResetModel();
    m_wells = std::move(wells);
    m_ids.clear();
    for (Well &w : m_wells) {
        m_ids.insert(w.entry.id);
        w.changed = false;
    }
    m_removedIds.clear();
    endResetModel();
}

QList<int> WellsModel::changedRows() const
{
    QList<int> rows;
    for (int r = 0; r < m_wells.size(); ++r) {
        if (m_wells[r].changed)
            rows.append(r);
    }
    return rows;
}

bool WellsModel::isModified() const
{
    return !m_removedIds.isEmpty() ||
           std::any_of(m_wells.begin(), m_wells.end(), [](const Well &w) { return w.changed; });
}

void WellsModel::markKept(const QHash<int, qint64> &storeIds)
{
    for (auto it = storeIds.begin(); it != storeIds.end(); ++it) {
        Well &w = m_wells[it.key()];
        w.storeId = it.value();
        w.changed = false;
    }
    m_removedIds.clear();
}
