#include "core/wells/well_import.h"

#include "core/common/csv.h"
#include "core/common/row_blocks.h"
#include "core/common/text_decoding.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>

using namespace Qt::StringLiterals;

const QStringList &wellEntryColumns()
{
    static const QStringList columns =
        u"id,meridian,township,range,section,q160,q40,q10,q2_5,fc_x,fc_y,description,lot,"
        "tie_corner,tie_ns,tie_ew"_s.split(u',');
    return columns;
}

namespace {

// The columns of a well list or a located batch that the import does not need but knows.
const QStringList knownColumns =
    u"easting,northing,error,radius_ft,method,latitude,longitude,status,note,stated_easting,"
    "stated_northing,stated_latitude,stated_longitude,stated_distance_ft,stated_inside"_s.split(
        u',');

} // namespace

WellEntry wellEntryFrom(const QStringList &cells)
{
    WellEntry e;
    e.id = cells[0];
    e.meridian = cells[1];
    e.township = cells[2];
    e.range = cells[3];
    e.section = cells[4];
    e.calls = {cells[5], cells[6], cells[7], cells[8]};
    e.fcX = cells[9];
    e.fcY = cells[10];
    e.description = cells[11];
    e.lot = cells[12];
    e.tieCorner = cells[13];
    e.tieNorthSouth = cells[14];
    e.tieEastWest = cells[15];
    return e;
}

namespace {

// Checks the id of a row: false, with the problem noted, when it is taken.
bool idIsFree(const QString &where, const QString &id, QSet<QString> &seen,
              const QSet<QString> &takenIds, QStringList &problems)
{
    if (id.isEmpty())
        return true;
    if (takenIds.contains(id) || seen.contains(id)) {
        problems << where + u": the id \""_s + id + u"\" is already "_s +
                        (takenIds.contains(id) ? u"in the list"_s : u"on an earlier line"_s) +
                        u"; the line was left out."_s;
        return false;
    }
    seen.insert(id);
    return true;
}

} // namespace

WellImport readWellsCsv(const QString &path, const QSet<QString> &takenIds)
{
    WellImport out;
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = u"Cannot read "_s + path + u": "_s + file.errorString();
        return out;
    }
    int unclosed = 0;
    QList<int> lines;
    const QList<QStringList> records =
        csv::parse(decodeUtf8OrWindows1252(file.readAll()), &unclosed, &lines);
    if (unclosed > 0) {
        out.error = name + u": the quote opened on line "_s +
                    QString::number(lines.value(unclosed - 1, unclosed)) + u" is never closed."_s;
        return out;
    }
    if (records.isEmpty()) {
        out.error = name + u" has no header line."_s;
        return out;
    }
    const QStringList &header = records.first();
    const QList<int> col = csv::columnIndexes(header, wellEntryColumns());
    const bool hasDescription = col[11] >= 0;
    if (!hasDescription && (col[2] < 0 || col[3] < 0 || col[4] < 0)) {
        out.error = name + u" has neither a column \"description\" nor the columns \"township\", "
                           u"\"range\" and \"section\"."_s;
        return out;
    }
    for (const QString &h : header) {
        const QString c = h.trimmed().toLower();
        if (!wellEntryColumns().contains(c) && !knownColumns.contains(c))
            out.problems << name + u": the column \""_s + h.trimmed() + u"\" is not read."_s;
    }
    QSet<QString> seen;
    QStringList cells;
    for (qsizetype r = 1; r < records.size(); ++r) {
        const QString where = name + u" line "_s + QString::number(lines[r]);
        if (records[r].size() > header.size()) {
            out.problems << where + u" has "_s + QString::number(records[r].size()) +
                                u" fields, the header "_s + QString::number(header.size()) +
                                u"; the line was left out."_s;
            continue;
        }
        cells.clear();
        for (int c : col)
            cells.append(c >= 0 ? records[r].value(c).trimmed() : QString());
        if (idIsFree(where, cells[0], seen, takenIds, out.problems))
            out.entries.append(wellEntryFrom(cells));
    }
    return out;
}

WellImport readWellsText(const QString &text, const QSet<QString> &takenIds)
{
    WellImport out;
    QSet<QString> seen;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        WellEntry e;
        const qsizetype tab = line.indexOf(u'\t');
        e.id = tab > 0 ? line.left(tab).trimmed() : QString();
        e.description = tab > 0 ? line.mid(tab + 1).trimmed() : line;
        if (idIsFree(u"Line "_s + QString::number(i + 1), e.id, seen, takenIds, out.problems))
            out.entries.append(e);
    }
    return out;
}

std::optional<QList<Well>> locateWells(const QList<WellEntry> &entries,
                                       const WellsModel::Locator &locator,
                                       const std::function<bool(qsizetype done)> &progress)
{
    QList<Well> wells(entries.size());
    Well *const out = wells.data(); // detached once, here, before the threads start
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::atomic<bool> stopped{false};
    convertRowBlocks(
        entries.size(),
        [&](qsizetype first, qsizetype end) {
            for (qsizetype r = first; r < end && !stopped.load(std::memory_order_relaxed); ++r) {
                Well &w = out[r - 1];
                w.entry = entries[r - 1];
                w.take(locator(w.entry), now);
            }
        },
        [&](qsizetype done) {
            if (progress && !stopped && !progress(done))
                stopped = true;
        });
    if (stopped)
        return std::nullopt;
    return wells;
}
