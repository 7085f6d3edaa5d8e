#include "core/wells/well_entry.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/coords/coordinate_entry.h"
#include "core/engine/vector_layer.h"
#include "core/plss/description_reader.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString callOrNone(const QString &call)
{
    const QString upper = call.trimmed().toUpper();
    return upper.isEmpty() ? u"--"_s : upper;
}

bool isAliquot(const QString &word)
{
    static const QRegularExpression aliquot(u"^(NE|NW|SE|SW|[NSEW]/2)$"_s);
    return aliquot.match(word).hasMatch();
}

// "660E", "E660" and "660.5E" as "660E"/"660.5E"; empty for anything else.
QString footage(const QString &word)
{
    static const QRegularExpression after(u"^(\\d+(?:\\.\\d+)?)([NSEW])$"_s);
    static const QRegularExpression before(u"^([NSEW])(\\d+(?:\\.\\d+)?)$"_s);
    if (const auto m = after.match(word); m.hasMatch())
        return m.captured(1) + m.captured(2);
    if (const auto m = before.match(word); m.hasMatch())
        return m.captured(2) + m.captured(1);
    return {};
}

bool eastOrWest(const QString &distance)
{
    return distance.endsWith(u'E') || distance.endsWith(u'W');
}

void addLatitudeLongitude(EntryLocation &out, int zone)
{
    if (zone <= 0)
        return;
    RecordingMessageService messages;
    const auto geo =
        utmToSignedDegrees(out.well.easting, out.well.northing, QString::number(zone), messages);
    if (geo) {
        out.latitude = geo->first;
        out.longitude = geo->second;
    }
}

} // namespace

namespace {

// An entry with the fields of a well description, its id and description kept.
WellEntry entryOf(const WellDescription &well, const WellEntry &original)
{
    WellEntry e;
    e.id = original.id;
    e.description = original.description;
    e.section = well.entries.section;
    e.township = well.entries.township;
    e.range = well.entries.range;
    e.meridian = well.entries.meridian;
    e.calls = well.calls;
    e.fcX = well.fcX;
    e.fcY = well.fcY;
    e.lot = well.lot > 0 ? QString::number(well.lot) : QString();
    e.tieCorner = well.tieCorner;
    e.tieNorthSouth = well.tieNorthSouth;
    e.tieEastWest = well.tieEastWest;
    return e;
}

} // namespace

WellEntry resolvedEntry(const WellEntry &entry)
{
    if (!entry.fromDescription() || entry.description.trimmed().isEmpty())
        return entry;
    WellDescription well;
    well.calls = entry.calls;
    well.fcX = entry.fcX;
    well.fcY = entry.fcY;
    QString error;
    if (!fillFromDescription(well, entry.description, &error))
        return entry;
    return entryOf(well, entry);
}

bool fillFromDescription(WellDescription &well, const QString &text, QString *error)
{
    const std::optional<DescriptionFields> d = readLegalDescription(text, error);
    if (!d)
        return false;
    auto fill = [](QString &target, const QString &value) {
        if (target.isEmpty())
            target = value;
    };
    fill(well.entries.section, d->section);
    fill(well.entries.township, d->township);
    fill(well.entries.range, d->range);
    fill(well.entries.meridian, d->meridian);
    if (std::all_of(well.calls.begin(), well.calls.end(),
                    [](const QString &c) { return c.isEmpty(); }))
        well.calls = d->quarters;
    if (well.fcX.isEmpty() && well.fcY.isEmpty()) {
        well.fcX = d->fcX;
        well.fcY = d->fcY;
    }
    if (well.lot == 0)
        well.lot = d->lot;
    if (well.tieCorner.isEmpty()) {
        well.tieCorner = d->tieCorner;
        well.tieNorthSouth = d->tieNorthSouth;
        well.tieEastWest = d->tieEastWest;
    }
    return true;
}

std::optional<int> lotNumber(const QString &text, QString *error)
{
    if (text.trimmed().isEmpty())
        return 0;
    bool ok = false;
    const int lot = text.trimmed().toInt(&ok);
    if (!ok || lot < 1 || lot > 999) {
        *error = u"The lot \""_s + text.trimmed() + u"\" is not a lot number (1 to 999)."_s;
        return std::nullopt;
    }
    return lot;
}

EntryLocation locateEntry(const VectorLayer &theme, const WellEntry &entry,
                          const LocateOptions &options)
{
    EntryLocation out;
    WellDescription well;
    well.entries = {entry.section, entry.township, entry.range, entry.meridian};
    well.calls = entry.calls;
    well.fcX = entry.fcX;
    well.fcY = entry.fcY;
    well.tieCorner = entry.tieCorner;
    well.tieNorthSouth = entry.tieNorthSouth;
    well.tieEastWest = entry.tieEastWest;
    const auto lot = lotNumber(entry.lot, &out.message);
    if (!lot)
        return out;
    well.lot = *lot;
    out.resolved = entry;
    if (entry.fromDescription() && !entry.description.trimmed().isEmpty()) {
        if (!fillFromDescription(well, entry.description, &out.message))
            return out;
        out.resolved = entryOf(well, entry);
    }
    for (QString &call : well.calls)
        call = callOrNone(call);
    well.fcX = well.fcX.trimmed();
    well.fcY = well.fcY.trimmed();
    well.tieCorner = well.tieCorner.trimmed().toUpper();
    RecordingMessageService messages;
    out.well = locateWell(theme, well, options, messages);
    out.message = messages.texts().join(u' ');
    if (!out.well.located)
        return out;
    out.radiusFeet = formatNumber(roundTo(out.well.radiusFeet, 0));
    addLatitudeLongitude(out, theme.utmZone().value_or(0));
    return out;
}

EntryLocation pointLocation(const MapPoint &point, int zone)
{
    EntryLocation out;
    out.well.located = true;
    out.well.location = point;
    out.well.easting = formatNumber(roundTo(point.X, 2));
    out.well.northing = formatNumber(roundTo(point.Y, 2));
    out.well.method = u"reverse location"_s;
    out.radiusFeet = u"0"_s;
    addLatitudeLongitude(out, zone);
    return out;
}

QString callsText(const WellEntry &e)
{
    QStringList words;
    if (!e.tieCorner.trimmed().isEmpty()) {
        words << u"Tie"_s << e.tieCorner.trimmed().toUpper() << e.tieNorthSouth.trimmed()
              << e.tieEastWest.trimmed();
    } else if (!e.fcX.trimmed().isEmpty() || !e.fcY.trimmed().isEmpty()) {
        words << e.fcX.trimmed() << e.fcY.trimmed();
    } else {
        if (!e.lot.trimmed().isEmpty())
            words << u"Lot"_s << e.lot.trimmed();
        for (auto c = e.calls.rbegin(); c != e.calls.rend(); ++c) {
            const QString call = c->trimmed().toUpper();
            if (!call.isEmpty() && call != u"--"_s)
                words << call;
        }
    }
    words.removeAll(QString());
    return words.join(u' ');
}

bool setCallsText(WellEntry &entry, const QString &text, QString *error)
{
    static const QRegularExpression separators(u"[\\s,;]+"_s);
    const QStringList words = text.toUpper().split(separators, Qt::SkipEmptyParts);
    WellEntry e = entry;
    e.calls = {};
    e.fcX = e.fcY = e.lot = e.tieCorner = e.tieNorthSouth = e.tieEastWest = QString();
    QStringList aliquots; // as written: smallest first
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &w = words[i];
        if (w == u"OF"_s || w == u"THE"_s)
            continue;
        if (w == u"LOT"_s && i + 1 < words.size()) {
            e.lot = words[++i];
        } else if (w == u"TIE"_s && i + 1 < words.size()) {
            e.tieCorner = words[++i];
        } else if (isAliquot(w) && e.tieCorner.isEmpty()) {
            aliquots.prepend(w);
        } else if (const QString f = footage(w); !f.isEmpty()) {
            QString &x = e.tieCorner.isEmpty() ? e.fcX : e.tieEastWest;
            QString &y = e.tieCorner.isEmpty() ? e.fcY : e.tieNorthSouth;
            (eastOrWest(f) ? x : y) = f;
        } else {
            *error = u"\""_s + w +
                     u"\" is not a quarter, a half, a footage, a lot or a tie from a corner."_s;
            return false;
        }
    }
    if (aliquots.size() > 4) {
        *error = u"More than four quarter or half calls."_s;
        return false;
    }
    std::copy(aliquots.begin(), aliquots.end(), e.calls.begin());
    entry = e;
    return true;
}
