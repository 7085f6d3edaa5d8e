#include "core/plss/well_location.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/aliquot.h"
#include "core/plss/footage.h"
#include "core/plss/second_divisions.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

void setLocation(WellLocation &result, const MapPoint &p)
{
    result.located = true;
    result.location = p;
    result.easting = formatNumber(roundTo(p.X, 2));
    result.northing = formatNumber(roundTo(p.Y, 2));
}

void setParcel(WellLocation &result, const CornerArray &c)
{
    result.parcel = MapPolygon(QList<MapPolygon::Part>{{c[0], c[1], c[2], c[3]}});
    result.radiusFeet = radiusFeet(result.location, result.parcel.parts().first());
}

// Every form starts alike: the section, its extent for zooming, its corners.
struct Section
{
    MapPolygon polygon;
    CornerArray corners{};
    int number = 0;
    QString name; // "section 6, T4N R68W", for messages
};

std::optional<Section> findSection(const VectorLayer &theme, const SectionEntries &entries,
                                   WellLocation &result, MessageService &messages)
{
    const auto poly = findSectionPolygon(theme, entries, messages);
    if (!poly)
        return std::nullopt;
    result.sectionFound = true;
    result.sectionExtent = poly->extent();
    result.section = *poly;
    Section section{*poly,
                    {},
                    entries.section.trimmed().toInt(),
                    u"section "_s + entries.section.trimmed() + u", T"_s +
                        entries.township.trimmed().toUpper() + u" R"_s +
                        entries.range.trimmed().toUpper()};
    CornerArray extentCorners{};
    if (!polygonCorners(*poly, extentCorners, section.corners, messages))
        return std::nullopt;
    return section;
}

QString withRule(const QString &method, SubdivisionRule rule)
{
    return method + u", "_s + ruleName(rule);
}

// Aliquot calls (none: the whole section), on the second divisions where they describe the
// tract, else by the rule.
void placeCalls(WellLocation &result, const Section &s, const std::array<QString, 4> &calls,
                const LocateOptions &options, MessageService &messages, const QString &method)
{
    const auto sub = subdivideByCalls(s.corners, calls, messages, options.rule, s.number);
    if (!sub)
        return;
    if (options.divisions) {
        if (const auto placed = options.divisions->placeCalls(s.polygon, calls, sub->finalParcel)) {
            setLocation(result, placed->point);
            result.parcel = placed->parcel;
            result.radiusFeet = placed->radiusFeet;
            result.method = u"second division"_s;
            return;
        }
    }
    result.lines = sub->lines;
    setLocation(result, sub->location);
    setParcel(result, sub->finalParcel);
    result.method = withRule(method, options.rule);
}

void placeFootage(WellLocation &result, const Section &s, const QString &fcX, const QString &fcY,
                  MessageService &messages)
{
    bool empty = false;
    const auto p = placeByFootageCalls(s.polygon, s.corners, fcX, fcY, messages, &empty);
    result.clearOutputs = empty;
    if (!p)
        return;
    setLocation(result, *p);
    result.method = u"footage calls"_s;
}

void placeLot(WellLocation &result, const Section &s, const WellDescription &well,
              const LocateOptions &options, MessageService &messages)
{
    const QString lot = u"Lot "_s + QString::number(well.lot);
    if (options.divisions) {
        bool covered = false;
        if (const auto placed = options.divisions->placeLot(s.polygon, well.lot, &covered)) {
            setLocation(result, placed->point);
            result.parcel = placed->parcel;
            result.radiusFeet = placed->radiusFeet;
            result.method = u"second division"_s;
            return;
        }
        if (covered) {
            messages.show(lot + u" is not among the second divisions of "_s + s.name + u"."_s,
                          MessageIcon::Stop);
            return;
        }
    }
    if (isAliquotCall(well.calls[0])) { // "Lot 3 (NE/4 NW/4)": where the permit says it lies
        placeCalls(result, s, well.calls, options, messages, u"lot at its stated quarters"_s);
        return;
    }
    const auto position = protractedLot(s.number, well.lot);
    if (!position) {
        messages.show(s.name.left(1).toUpper() + s.name.mid(1) + u" has no "_s + lot.toLower() +
                          u" in a regular township: give the lot's quarter-quarter, as in \""_s +
                          lot + u" (NE/4 NW/4)\", or add the section's second divisions."_s,
                      MessageIcon::Stop);
        return;
    }
    placeCalls(result, s, {(*position)[0], (*position)[1], u"--"_s, u"--"_s}, options, messages,
               u"protracted lot"_s);
}

// "1234N" as feet along the axis: positive north (east), negative south (west).
std::optional<double> tieFeet(const QString &text, QChar positive, QChar negative)
{
    if (text.isEmpty())
        return 0.0;
    const QChar letter = text.back().toUpper();
    bool ok = false;
    const double feet = text.chopped(1).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(feet) || feet < 0 || (letter != positive && letter != negative))
        return std::nullopt;
    return letter == positive ? feet : -feet;
}

QString tieText(const WellDescription &well)
{
    QStringList legs;
    for (const QString &leg : {well.tieNorthSouth, well.tieEastWest}) {
        if (!leg.isEmpty())
            legs.append(leg.back().toUpper() + u' ' + leg.chopped(1) + u" ft"_s);
    }
    const QString &c = well.tieCorner;
    const QString corner = c == u"C4"_s       ? u"the centre of the section"_s
                           : c.endsWith(u'4') ? u"the "_s + c.left(1) + u"1/4 corner"_s
                                              : u"the "_s + c + u" corner"_s;
    return legs.join(u", "_s) + u" from "_s + corner;
}

// Whether the point lies in the polygon or within `tolerance` map units of its boundary.
bool insideOrNear(const MapPolygon &polygon, const MapPoint &p, double tolerance)
{
    if (polygon.contains(p))
        return true;
    for (const MapPolygon::Part &part : polygon.parts()) {
        for (qsizetype i = 0; i + 1 < part.size(); ++i) {
            if (segmentDistance(p.X, p.Y, part[i].X, part[i].Y, part[i + 1].X, part[i + 1].Y) <
                tolerance)
                return true;
        }
    }
    return false;
}

void placeTie(WellLocation &result, const Section &s, const WellDescription &well,
              const LocateOptions &options, MessageService &messages)
{
    const auto north = tieFeet(well.tieNorthSouth, u'N', u'S');
    const auto east = tieFeet(well.tieEastWest, u'E', u'W');
    static const QStringList corners = {u"SW"_s, u"SE"_s, u"NW"_s, u"NE"_s, u"N4"_s,
                                        u"S4"_s, u"E4"_s, u"W4"_s, u"C4"_s};
    if (!north || !east || !corners.contains(well.tieCorner)) {
        messages.show(u"The tie is not understood: corner \""_s + well.tieCorner +
                          u"\", distances \""_s + well.tieNorthSouth + u"\" and \""_s +
                          well.tieEastWest + u"\"."_s,
                      MessageIcon::Stop);
        return;
    }
    const auto leaves = [&] {
        messages.show(u"The tie "_s + tieText(well) + u" leaves "_s + s.name + u"."_s,
                      MessageIcon::Stop);
    };
    if (well.tieCorner.at(1) != u'4') {
        // A section corner: the footage calls from the two lines that meet there.
        const QChar lineNS = well.tieCorner[0], lineEW = well.tieCorner[1];
        if ((lineNS == u'S' && *north < 0) || (lineNS == u'N' && *north > 0) ||
            (lineEW == u'W' && *east < 0) || (lineEW == u'E' && *east > 0)) {
            leaves();
            return;
        }
        const FootingCall calls{lineEW, std::abs(*east), lineNS, std::abs(*north)};
        const auto p = placeByFootageCalls(
            s.polygon, s.corners, formatNumber(calls.eastWestFeet) + calls.eastWest,
            formatNumber(calls.northSouthFeet) + calls.northSouth, messages);
        if (!p)
            return;
        // Footage calls measured along a bent section line can place a point a little beyond
        // it; the tie is the same point. Only a tie that runs past the section is refused.
        if (!insideOrNear(s.polygon, *p, 50 * SurveyFoot)) {
            leaves();
            return;
        }
        setLocation(result, *p);
        result.method = u"corner tie"_s;
        result.footage = calls;
        return;
    }
    // A quarter corner or the centre, placed by the rule; north-south along the line from the
    // S1/4 to the N1/4 corner, east-west along the line from the W1/4 to the E1/4.
    const auto q = sectionQuarterPoints(s.corners, options.rule, s.number);
    if (!q) {
        messages.show(degenerateParcelMessage(), MessageIcon::Stop);
        return;
    }
    const QChar c = well.tieCorner[0];
    const MapPoint start = c == u'N'   ? q->N
                           : c == u'S' ? q->S
                           : c == u'E' ? q->E
                           : c == u'W' ? q->W
                                       : q->C;
    const double ns = std::hypot(q->N.X - q->S.X, q->N.Y - q->S.Y);
    const double ew = std::hypot(q->E.X - q->W.X, q->E.Y - q->W.Y);
    const double dn = *north * SurveyFoot, de = *east * SurveyFoot;
    const MapPoint p{start.X + dn * (q->N.X - q->S.X) / ns + de * (q->E.X - q->W.X) / ew,
                     start.Y + dn * (q->N.Y - q->S.Y) / ns + de * (q->E.Y - q->W.Y) / ew};
    if (!insideOrNear(s.polygon, p, 0.01)) {
        leaves();
        return;
    }
    setLocation(result, p);
    result.method = withRule(u"corner tie"_s, options.rule);
    RecordingMessageService quiet;
    result.footage = calcFootingCall(s.polygon, p, quiet);
}

} // namespace

std::optional<std::array<QString, 2>> protractedLot(int section, int lot)
{
    // Along a north line, east to west: NENE, NWNE, NENW, NWNW (160-acre call first).
    static const std::array<QString, 2> north[] = {
        {u"NE"_s, u"NE"_s}, {u"NE"_s, u"NW"_s}, {u"NW"_s, u"NE"_s}, {u"NW"_s, u"NW"_s}};
    // Down a west line, north to south: NWNW, SWNW, NWSW, SWSW.
    static const std::array<QString, 2> west[] = {
        {u"NW"_s, u"NW"_s}, {u"NW"_s, u"SW"_s}, {u"SW"_s, u"NW"_s}, {u"SW"_s, u"SW"_s}};
    if (section >= 1 && section <= 6 && lot >= 1 && lot <= 4)
        return north[lot - 1];
    if (section == 6 && lot >= 5 && lot <= 7)
        return west[lot - 4];
    if ((section == 7 || section == 18 || section == 19 || section == 30 || section == 31) &&
        lot >= 1 && lot <= 4)
        return west[lot - 1];
    return std::nullopt;
}

WellLocation locateWell(const VectorLayer &theme, const WellDescription &well,
                        const LocateOptions &options, MessageService &messages)
{
    WellLocation result;
    const auto section = findSection(theme, well.entries, result, messages);
    if (!section)
        return result;
    if (!well.tieCorner.isEmpty())
        placeTie(result, *section, well, options, messages);
    else if (!well.fcX.trimmed().isEmpty() && !well.fcY.trimmed().isEmpty())
        placeFootage(result, *section, well.fcX.trimmed(), well.fcY.trimmed(), messages);
    else if (well.lot > 0)
        placeLot(result, *section, well, options, messages);
    else
        placeCalls(result, *section, well.calls, options, messages, u"quarter calls"_s);
    return result;
}

WellLocation locateByQuarterCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const std::array<QString, 4> &calls, MessageService &messages)
{
    WellDescription well;
    well.entries = entries;
    well.calls = calls;
    return locateWell(theme, well, {}, messages);
}

WellLocation locateByFootageCalls(const VectorLayer &theme, const SectionEntries &entries,
                                  const QString &fcX, const QString &fcY, MessageService &messages)
{
    WellLocation result;
    const auto section = findSection(theme, entries, result, messages);
    if (section)
        placeFootage(result, *section, fcX, fcY, messages);
    return result;
}
