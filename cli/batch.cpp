#include "cli/batch.h"

#include "core/common/csv.h"
#include "core/common/number_text.h"
#include "core/common/row_blocks.h"
#include "core/common/text_decoding.h"
#include "core/engine/point_writer.h"
#include "core/engine/vector_layer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

constexpr int BatchFailed = 1;

class Progress
{
public:
    Progress(QTextStream &err, bool enabled, qsizetype total)
        : m_err(err)
        , m_enabled(enabled)
        , m_total(total)
    {
        m_timer.start();
    }
    // Shown at each thousand passed and at the end.
    void step(qsizetype done)
    {
        if (!m_enabled || done == m_shown || (done / 1000 == m_shown / 1000 && done != m_total))
            return;
        m_shown = done;
        m_err << "\r" << done << " of " << m_total << " rows";
        if (done == m_total)
            m_err << " in " << m_timer.elapsed() / 1000.0 << " s\n";
        m_err.flush();
    }

private:
    QTextStream &m_err;
    bool m_enabled;
    qsizetype m_total;
    qsizetype m_shown = 0;
    QElapsedTimer m_timer;
};

} // namespace

bool readCsv(const QString &path, QList<QStringList> &records, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = u"Cannot read "_s + path + u": "_s + file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    int unclosed = 0;
    records = csv::parse(decodeUtf8OrWindows1252(bytes), &unclosed);
    if (unclosed > 0) {
        // The rest of the file went into one field: its rows would silently go missing.
        *error = path + u": the quote opened in line "_s + QString::number(unclosed) +
                 u" is never closed."_s;
        return false;
    }
    if (records.isEmpty()) {
        *error = path + u" has no header line."_s;
        return false;
    }
    return true;
}

bool writeCsv(const QString &path, const QList<QStringList> &records, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = u"Cannot write "_s + path + u": "_s + file.errorString();
        return false;
    }
    QByteArray bytes;
    for (const QStringList &r : records)
        bytes += csv::formatRecord(r).toUtf8() + "\r\n";
    file.write(bytes);
    if (!file.commit()) {
        *error = u"Cannot write "_s + path + u": "_s + file.errorString();
        return false;
    }
    return true;
}

std::optional<MapPoint> pointFrom(const QString &easting, const QString &northing)
{
    const std::optional<double> e = parseNumber(easting), n = parseNumber(northing);
    if (!e || !n)
        return std::nullopt;
    return MapPoint{*e, *n};
}

int runBatch(const QString &in, const QString &out, const QStringList &columns,
             const QList<int> &required, const HeaderOf &header,
             const std::function<QStringList(const QStringList &cells)> &convert,
             const PointOf &pointOf, const VectorLayer &theme, QTextStream &err, bool showProgress)
{
    QList<QStringList> records;
    QString error;
    if (!readCsv(in, records, &error)) {
        err << error << "\n";
        return BatchFailed;
    }
    const QList<int> col = csv::columnIndexes(records.first(), columns);
    for (int i : required) {
        if (col[i] < 0) {
            err << in << " has no column \"" << columns[i] << "\".\n";
            return BatchFailed;
        }
    }
    const qsizetype rows = records.size() - 1;
    QList<QStringList> output(records.size());
    output[0] = header(col);
    const bool gis = !pointFormatDriver(out).isEmpty();
    QList<std::optional<MapPoint>> points(gis ? rows : 0);
    Progress progress(err, showProgress, rows);
    // The lists are detached here, once, before the threads start.
    const QList<QStringList> &input = records;
    QStringList *const outRows = output.data();
    std::optional<MapPoint> *const outPoints = points.data();
    convertRowBlocks(
        rows,
        [&](qsizetype first, qsizetype end) {
            QStringList cells;
            for (qsizetype r = first; r < end; ++r) {
                cells.clear();
                for (int c : col)
                    cells.append(c >= 0 ? input[r].value(c).trimmed() : QString());
                outRows[r] = convert(cells);
                if (gis)
                    outPoints[r - 1] = pointOf(cells, outRows[r]);
            }
        },
        [&progress](qsizetype done) { progress.step(done); });
    if (gis) {
        // Distances and positions as numbers, the rest as text.
        static const QStringList numbers = {u"easting"_s,  u"northing"_s,  u"radius_ft"_s,
                                            u"latitude"_s, u"longitude"_s, u"stated_distance_ft"_s};
        QList<FieldKind> kinds;
        for (const QString &name : output.first())
            kinds << (numbers.contains(name) ? FieldKind::Real : FieldKind::Text);
        error = writePointLayer(out, output.first(), output.mid(1), points,
                                theme.utmZone().value_or(0), theme.coordinateSystemWkt(), kinds);
        if (!error.isEmpty()) {
            err << error << "\n";
            return BatchFailed;
        }
        return 0;
    }
    if (!writeCsv(out, output, &error)) {
        err << error << "\n";
        return BatchFailed;
    }
    return 0;
}
