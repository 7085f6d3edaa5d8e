#include "cli/locate_runs.h"

#include "cli/batch.h"
#include "core/common/csv.h"
#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/common/row_blocks.h"
#include "core/common/text_decoding.h"
#include "core/coords/coordinate_entry.h"
#include "core/engine/map_crs.h"
#include "core/engine/point_writer.h"
#include "core/engine/vector_layer.h"
#include "core/plss/description_reader.h"
#include "core/plss/footage.h"
#include "core/plss/legal_description.h"
#include "core/plss/plss_query.h"
#include "core/plss/plss_schema.h"
#include "core/plss/reverse_location.h"
#include "core/plss/second_divisions.h"
#include "core/plss/well_location.h"
#include "core/wells/well_entry.h"
#include "core/wells/well_import.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace locaterun {

QString said(const RecordingMessageService &messages)
{
    return messages.texts().join(u' ');
}

namespace {

QString callOrNone(const QString &call)
{
    const QString upper = call.trimmed().toUpper();
    return upper.isEmpty() ? u"--"_s : upper;
}

WellLocation locate(const Run &run, WellDescription in, MessageService &messages)
{
    for (QString &call : in.calls)
        call = callOrNone(call);
    in.fcX = in.fcX.trimmed();
    in.fcY = in.fcY.trimmed();
    in.tieCorner = in.tieCorner.trimmed().toUpper();
    return locateWell(*run.theme, in, run.options, messages);
}

QString radiusText(const WellLocation &w)
{
    return w.located ? formatNumber(roundTo(w.radiusFeet, 0)) : QString();
}

QStringList reverseFields(const ReverseLocation &r)
{
    return {r.section,     r.township,    r.range, r.quarters[0], r.quarters[1],
            r.quarters[2], r.quarters[3], r.fcX,   r.fcY,         legalDescription(r)};
}

const QStringList reverseHeader = {u"section"_s, u"township"_s,   u"range"_s, u"q160"_s,
                                   u"q40"_s,     u"q10"_s,        u"q2_5"_s,  u"fc_x"_s,
                                   u"fc_y"_s,    u"description"_s};

// The second division holding a reversed point, when the run has them.
QStringList divisionFields(const Run &run, const ReverseLocation &r, const QString &easting,
                           const QString &northing)
{
    if (!run.options.divisions)
        return {};
    const auto p = r.located ? pointFrom(easting, northing) : std::nullopt;
    return {p ? run.options.divisions->labelAt(*p) : QString()};
}

// The columns batch forward reads, as a description gives them.
const QStringList parsedHeader = {u"meridian"_s, u"township"_s, u"range"_s, u"section"_s,
                                  u"q160"_s,     u"q40"_s,      u"q10"_s,   u"q2_5"_s,
                                  u"fc_x"_s,     u"fc_y"_s};
const QStringList tractHeader = {u"lot"_s, u"tie_corner"_s, u"tie_ns"_s, u"tie_ew"_s};
QStringList parsedFields(const DescriptionFields &d)
{
    return {d.meridian,    d.township,    d.range,       d.section, d.quarters[0],
            d.quarters[1], d.quarters[2], d.quarters[3], d.fcX,     d.fcY};
}
QStringList tractFields(const DescriptionFields &d)
{
    return {d.lot > 0 ? QString::number(d.lot) : QString(), d.tieCorner, d.tieNorthSouth,
            d.tieEastWest};
}

// Where a permit says its well is, in the theme's system: stated_easting/stated_northing as they
// are, stated_latitude/stated_longitude (NAD83) into the theme's zone.
std::optional<MapPoint> statedPoint(const VectorLayer &theme, const QString &easting,
                                    const QString &northing, const QString &latitude,
                                    const QString &longitude, QString *error)
{
    if (!easting.isEmpty() || !northing.isEmpty()) {
        const auto p = pointFrom(easting, northing);
        if (!p)
            *error = u"The stated easting and northing are not numbers."_s;
        return p;
    }
    if (latitude.isEmpty() && longitude.isEmpty())
        return std::nullopt;
    if (!theme.utmZone()) {
        *error = u"The stated latitude and longitude need a theme in UTM."_s;
        return std::nullopt;
    }
    RecordingMessageService messages;
    const auto utm = latLongToUtm({latitude, {}, {}, longitude, {}, {}},
                                  QString::number(*theme.utmZone()), messages);
    if (!utm) {
        *error = u"Stated position: "_s + said(messages);
        return std::nullopt;
    }
    return pointFrom(utm->easting, utm->northing);
}

// The columns batch forward reads: the well as the columns give it, a description, a lot or a
// tie, and (16 on) the position the permit states.
const QStringList forwardColumns =
    wellEntryColumns() +
    u"stated_easting,stated_northing,stated_latitude,stated_longitude"_s.split(u',');

// One row of batch forward from the cells of forwardColumns; `stated` adds the two columns
// that check the position the permit states.
// The columns batch forward adds after its first ones: the rest of what the Wells table shows.
const QStringList forwardTableHeader = {u"latitude"_s, u"longitude"_s, u"description"_s,
                                        u"meridian"_s, u"township"_s,  u"range"_s,
                                        u"section"_s,  u"calls"_s};

// How far the stated position is from the located one, and whether it is inside the parcel
// described: two cells, empty when either is missing (saying why in `error`).
QStringList statedCheck(const Run &run, const QStringList &c, const WellLocation &w, QString &error)
{
    const auto p = statedPoint(*run.theme, c[16], c[17], c[18], c[19], &error);
    if (!w.located || !p)
        return {QString(), QString()};
    const MapPolygon &parcel = w.parcel.isEmpty() ? w.section : w.parcel;
    const double feet = std::hypot(p->X - w.location.X, p->Y - w.location.Y) / SurveyFoot;
    return {formatNumber(roundTo(feet, 2)), parcel.contains(*p) ? u"yes"_s : u"no"_s};
}

QStringList forwardRow(const Run &run, const QStringList &c, bool stated)
{
    const WellEntry entry = wellEntryFrom(c);
    const EntryLocation at = locateEntry(*run.theme, entry, run.options);
    const WellLocation &w = at.well;
    QStringList row = {c[0],
                       w.located ? w.easting : QString(),
                       w.located ? w.northing : QString(),
                       at.message,
                       at.radiusFeet,
                       w.located ? w.method : QString()};
    if (stated) {
        QString error;
        row << statedCheck(run, c, w, error);
        if (!error.isEmpty())
            row[3] = row[3].isEmpty() ? error : row[3] + u' ' + error;
    }
    // What the row says where the well is: its description's parts where it gave only that.
    const WellEntry &shown = at.resolved.fromDescription() ? entry : at.resolved;
    return row << at.latitude << at.longitude << entry.description << shown.meridian
               << shown.township << shown.range << shown.section << callsText(shown);
}

int batchForward(const Run &run, const QString &in, const QString &out)
{
    bool stated = false; // whether the file states positions, known once its header is read
    const auto header = [&stated](const QList<int> &present) {
        stated = std::any_of(present.begin() + 16, present.end(), [](int c) { return c >= 0; });
        QStringList names = {u"id"_s,    u"easting"_s,   u"northing"_s,
                             u"error"_s, u"radius_ft"_s, u"method"_s};
        if (stated)
            names << u"stated_distance_ft"_s << u"stated_inside"_s;
        return names << forwardTableHeader;
    };
    return runBatch(
        in, out, forwardColumns, {}, header,
        [&run, &stated](const QStringList &c) { return forwardRow(run, c, stated); },
        [](const QStringList &, const QStringList &row) { return pointFrom(row[1], row[2]); },
        *run.theme, run.err, run.showProgress);
}

int batchReverse(const Run &run, const QString &in, const QString &out)
{
    const VectorLayer &theme = *run.theme;
    const auto header = [&run](const QList<int> &) {
        return QStringList{u"id"_s} + reverseHeader + QStringList{u"error"_s} +
               (run.options.divisions ? QStringList{u"division"_s} : QStringList());
    };
    return runBatch(
        in, out, {u"id"_s, u"easting"_s, u"northing"_s}, {1, 2}, header,
        [&run, &theme](const QStringList &c) {
            RecordingMessageService messages;
            const ReverseLocation r = reverseLocate(theme, c[1], c[2], messages);
            return QStringList{c[0]} +
                   (r.located ? reverseFields(r) : QStringList(reverseHeader.size(), QString())) +
                   QStringList{said(messages)} + divisionFields(run, r, c[1], c[2]);
        },
        // A point the reverse location placed; one it could not is written without it.
        [](const QStringList &cells, const QStringList &row) {
            return row[1].isEmpty() ? std::nullopt : pointFrom(cells[1], cells[2]);
        },
        theme, run.err, run.showProgress);
}

} // namespace

int runParse(const Run &run)
{
    QString error;
    const std::optional<DescriptionFields> d =
        readLegalDescription(run.v(u"description"_s), &error);
    if (!d) {
        run.err << error << "\n";
        return ExitError;
    }
    run.out << csv::formatRecord(parsedHeader + tractHeader) << "\n"
            << csv::formatRecord(parsedFields(*d) + tractFields(*d)) << "\n";
    return 0;
}

int runBatchParse(const Run &run)
{
    QList<QStringList> records;
    QString error;
    if (!readCsv(run.v(u"in"_s), records, &error)) {
        run.err << error << "\n";
        return ExitError;
    }
    const QList<int> col = csv::columnIndexes(records.first(), {u"id"_s, u"description"_s});
    if (col[1] < 0) {
        run.err << run.v(u"in"_s) << " has no column \"description\".\n";
        return ExitError;
    }
    QList<QStringList> output(records.size());
    output[0] = QStringList{u"id"_s} + parsedHeader + QStringList{u"error"_s} + tractHeader;
    const QList<QStringList> &in = records;
    QStringList *const out = output.data(); // detached once, here, before the threads start
    convertRowBlocks(records.size() - 1, [&](qsizetype first, qsizetype end) {
        QString why;
        for (qsizetype r = first; r < end; ++r) {
            const QString id = col[0] >= 0 ? in[r].value(col[0]).trimmed() : QString();
            const std::optional<DescriptionFields> d =
                readLegalDescription(in[r].value(col[1]), &why);
            out[r] = QStringList{id} +
                     (d ? parsedFields(*d) : QStringList(parsedHeader.size(), QString())) +
                     QStringList{d ? QString() : why} +
                     (d ? tractFields(*d) : QStringList(tractHeader.size(), QString()));
        }
    });
    if (!writeCsv(run.v(u"out"_s), output, &error)) {
        run.err << error << "\n";
        return ExitError;
    }
    return 0;
}

// Prints what the messages said and fails.
int failWith(const Run &run, const RecordingMessageService &messages)
{
    run.err << said(messages) << "\n";
    return ExitError;
}

int runForward(const Run &run)
{
    if (run.parser.isSet(u"fc-x"_s) != run.parser.isSet(u"fc-y"_s)) {
        run.err << toolName << ": --fc-x and --fc-y go together.\n";
        return ExitUsage;
    }
    WellDescription input;
    input.entries = {run.v(u"section"_s), run.v(u"township"_s), run.v(u"range"_s),
                     run.v(u"meridian"_s)};
    input.calls = {run.v(u"q160"_s), run.v(u"q40"_s), run.v(u"q10"_s), run.v(u"q2_5"_s)};
    input.fcX = run.v(u"fc-x"_s);
    input.fcY = run.v(u"fc-y"_s);
    input.tieCorner = run.v(u"tie-corner"_s);
    input.tieNorthSouth = run.v(u"tie-ns"_s);
    input.tieEastWest = run.v(u"tie-ew"_s);
    QString error;
    const auto lot = lotNumber(run.v(u"lot"_s), &error);
    if (!lot) {
        run.err << error << "\n";
        return ExitError;
    }
    input.lot = *lot;
    if (run.parser.isSet(u"description"_s)) {
        if (!fillFromDescription(input, run.v(u"description"_s), &error)) {
            run.err << error << "\n";
            return ExitError;
        }
    } else {
        for (const QString &required : {u"township"_s, u"range"_s, u"section"_s}) {
            if (!run.parser.isSet(required)) {
                run.err << toolName << ": --" << required << " is required (or --description).\n";
                return ExitUsage;
            }
        }
    }
    if (run.parser.isSet(u"fc-x"_s) && (input.fcX.isEmpty() || input.fcY.isEmpty())) {
        run.err << noFootingCallMessage() << "\n";
        return ExitError;
    }
    RecordingMessageService messages;
    const WellLocation w = locate(run, input, messages);
    if (!w.located)
        return failWith(run, messages);
    run.out << csv::formatRecord({u"easting"_s, u"northing"_s, u"radius_ft"_s, u"method"_s}) << "\n"
            << csv::formatRecord({w.easting, w.northing, radiusText(w), w.method}) << "\n";
    return 0;
}

int runReverse(const Run &run)
{
    RecordingMessageService messages;
    const ReverseLocation r =
        reverseLocate(*run.theme, run.v(u"easting"_s), run.v(u"northing"_s), messages);
    if (!r.located)
        return failWith(run, messages);
    run.out << csv::formatRecord(reverseHeader + (run.options.divisions ? QStringList{u"division"_s}
                                                                        : QStringList()))
            << "\n"
            << csv::formatRecord(reverseFields(r) +
                                 divisionFields(run, r, run.v(u"easting"_s), run.v(u"northing"_s)))
            << "\n";
    return 0;
}

// The zone option's text: zone 13 unless one is given.
QString zoneText(const Run &run)
{
    return run.parser.isSet(u"zone"_s) ? run.v(u"zone"_s) : u"13"_s;
}

int runToUtm(const Run &run)
{
    RecordingMessageService messages;
    const auto utm =
        latLongToUtm({run.v(u"lat"_s), {}, {}, run.v(u"lon"_s), {}, {}}, zoneText(run), messages);
    if (!utm)
        return failWith(run, messages);
    run.out << "easting,northing\n" << csv::formatRecord({utm->easting, utm->northing}) << "\n";
    return 0;
}

int runToGeo(const Run &run)
{
    RecordingMessageService messages;
    const auto geo =
        utmToSignedDegrees(run.v(u"easting"_s), run.v(u"northing"_s), zoneText(run), messages);
    if (!geo)
        return failWith(run, messages);
    run.out << "latitude,longitude\n" << csv::formatRecord({geo->first, geo->second}) << "\n";
    return 0;
}

int runZone(const Run &run)
{
    RecordingMessageService messages;
    const auto r = convertZone(run.v(u"easting"_s), run.v(u"northing"_s), run.v(u"from"_s),
                               run.v(u"to"_s), messages);
    if (!r)
        return failWith(run, messages);
    run.out << "easting,northing\n" << csv::formatRecord({r->easting, r->northing}) << "\n";
    return 0;
}

int runBatchForward(const Run &run)
{
    return batchForward(run, run.v(u"in"_s), run.v(u"out"_s));
}

int runBatchReverse(const Run &run)
{
    return batchReverse(run, run.v(u"in"_s), run.v(u"out"_s));
}

} // namespace locaterun
