#pragma once

#include "core/wells/wells_model.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The columns of a permit list (those batch forward reads), and an entry from their cells in
// that order.
const QStringList &wellEntryColumns();
WellEntry wellEntryFrom(const QStringList &cells);

// Wells read from a file or a pasted text, before they are located.
struct WellImport
{
    QList<WellEntry> entries;
    // What was left out or not understood, one line each, naming the file and line; the rest
    // was read.
    QStringList problems;
    // Why nothing could be read (no file, a quote never closed, no column to locate by).
    QString error;
};

// A CSV with the columns batch forward reads (id, meridian, township, range, section, q160 ...
// tie_ew), or just id and description. Rows whose id is in `takenIds` or repeats an earlier row,
// and rows with more fields than the header, are left out and named in the problems.
WellImport readWellsCsv(const QString &path, const QSet<QString> &takenIds);

// One description a line, as pasted from permits; blank lines are skipped. A line may start
// with its id and a tab ("P-1042<TAB>NE SW sec. 12 ...").
WellImport readWellsText(const QString &text, const QSet<QString> &takenIds);

// Locates the entries on every core. `progress(done)` is told on the calling thread how many
// are done; when it returns false the work stops and nothing is returned.
std::optional<QList<Well>> locateWells(const QList<WellEntry> &entries,
                                       const WellsModel::Locator &locator,
                                       const std::function<bool(qsizetype done)> &progress = {});
