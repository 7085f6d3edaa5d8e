#include "core/plss/reverse_location.h"

#include "core/common/message_service.h"
#include "core/common/number_text.h"
#include "core/engine/vector_layer.h"
#include "core/plss/aliquot.h"
#include "core/plss/footage.h"
#include "core/plss/meridians.h"
#include "core/plss/plss_schema.h"
#include "core/plss/well_location.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

qint16 pointInQuad(const MapPoint &p, const CornerArray &q)
{
    bool failed = false;
    for (int i = 0; i < 4 && !failed; ++i) {
        const MapPoint &a = q[std::size_t(i)];
        const MapPoint &b = q[std::size_t((i + 1) % 4)];
        const double cross = (a.Y - b.Y) * (p.X - a.X) + (b.X - a.X) * (p.Y - a.Y);
        bool onSegment = false;
        pointLineDistance(p.X, p.Y, a.X, a.Y, b.X, b.Y, onSegment);
        failed = cross > 0 || !onSegment;
    }
    if (!failed)
        return 1;
    double x = 0, y = 0;
    for (const MapPoint &c : q) {
        x += c.X;
        y += c.Y;
    }
    const double distance = std::hypot(p.X - x / 4.0, p.Y - y / 4.0);
    // Far points would overflow 16 bits; they are all "far", and the nearest wins anyway.
    const auto rounded = toInt16(std::min(distance, 32768.0));
    return rounded ? qint16(-*rounded) : std::numeric_limits<qint16>::min();
}

namespace {

// One attempt at reading section, township and range; "<error>" marks a value not read.
struct Attributes
{
    QString section = u"<error>"_s, township = u"<error>"_s, range = u"<error>"_s;
    bool complete() const
    {
        return section != u"<error>"_s && township != u"<error>"_s && range != u"<error>"_s;
    }
};

std::optional<QString> text(const RecordSet &records, const QString &field)
{
    const auto v = records.value(field);
    if (!v)
        return std::nullopt;
    return v->isValid() ? v->toString() : QString();
}

std::optional<QString> joined(const RecordSet &records, const QString &a, const QString &b)
{
    const auto first = text(records, a);
    const auto second = text(records, b);
    if (!first || !second)
        return std::nullopt;
    return *first + *second;
}

Attributes readAttributes(const RecordSet &r, int layout)
{
    Attributes out;
    auto set = [](QString &target, const std::optional<QString> &value) {
        if (value)
            target = *value;
    };
    switch (layout) {
    case 1:
        set(out.section, text(r, u"Section"_s));
        set(out.township, joined(r, u"Township"_s, u"Base_side"_s));
        if (out.township == u"<error>"_s)
            set(out.township, text(r, u"Township"_s));
        set(out.range, joined(r, u"Range"_s, u"Meridian_s"_s));
        if (out.range == u"<error>"_s)
            set(out.range, text(r, u"Range"_s));
        break;
    case 2:
        set(out.section, text(r, u"Sect"_s));
        set(out.township, joined(r, u"Twp"_s, u"Tdir"_s));
        set(out.range, joined(r, u"Rng"_s, u"Rdir"_s));
        break;
    case 3:
        set(out.section, text(r, u"Section"_s));
        set(out.township, joined(r, u"Township"_s, u"Base_side"_s));
        set(out.range, joined(r, u"Range"_s, u"Meridiansi"_s));
        break;
    default: {
        // Decoded from named fields; a row that decoded to nothing is no section.
        const auto number = [&r](const QString &column) -> std::optional<QString> {
            const auto v = r.value(column);
            if (!v || !v->isValid() || v->isNull())
                return std::nullopt;
            return formatNumber(v->toDouble());
        };
        const auto section = number(plsscolumn::section);
        const auto township = number(plsscolumn::township);
        const auto range = number(plsscolumn::range);
        if (section && township && range) {
            out.section = *section;
            out.township = *township + text(r, plsscolumn::townshipDirection).value_or(QString());
            out.range = *range + text(r, plsscolumn::rangeDirection).value_or(QString());
        }
        break;
    }
    }
    return out;
}

// The code of the section's principal meridian, from whichever field the theme keeps it in; 0
// where it keeps none or a code the table does not know.
int meridianOf(const RecordSet &r)
{
    for (const QString &field : {plsscolumn::meridian, u"Meridian"_s, u"Qrv_mer"_s}) {
        const auto v = r.value(field);
        if (!v || !v->isValid() || v->isNull())
            continue;
        bool ok = false;
        const int code = v->toString().trimmed().toInt(&ok);
        if (ok && meridianByCode(code))
            return code;
    }
    return 0;
}

// The quarter at each of the four levels that holds the point (the nearest where none does),
// with the lines that divide each level; false, after saying so, where a parcel cannot be
// divided.
bool findQuarters(ReverseLocation &result, CornerArray parcel, const MapPoint &point,
                  MessageService &messages)
{
    result.quarters.fill(u"?"_s);

    double h = 1609.344;
    for (std::size_t level = 0; level < 4; ++level) {
        h = h / 2.0;
        const auto q = quarterPoints(parcel, h);
        if (!q) {
            messages.show(degenerateParcelMessage(), MessageIcon::Stop);
            return false;
        }
        result.lines.append({q->W, q->E});
        result.lines.append({q->S, q->N});
        std::optional<Quarter> chosen;
        qint16 nearest = std::numeric_limits<qint16>::min();
        for (Quarter candidate : {Quarter::SW, Quarter::NW, Quarter::NE, Quarter::SE}) {
            const qint16 test = pointInQuad(point, subParcel(parcel, *q, candidate));
            if (test == 1) {
                chosen = candidate;
                break;
            }
            // Strictly nearer: on equal distances the earlier quarter stays.
            if (!chosen || test > nearest) {
                nearest = test;
                chosen = candidate;
            }
        }
        result.quarters[level] = quarterName(*chosen);
        parcel = subParcel(parcel, *q, *chosen);
    }
    return true;
}

} // namespace

ReverseLocation reverseLocate(const VectorLayer &theme, const QString &eastingText,
                              const QString &northingText, MessageService &messages)
{
    ReverseLocation result;
    const auto easting = parseNumber(eastingText);
    if (!easting) {
        messages.show(u"Enter the easting in metres in the Easting box."_s, MessageIcon::Stop);
        return result;
    }
    if (const auto outside = eastingRangeError(*easting)) {
        messages.show(*outside, MessageIcon::Information);
        return result;
    }
    const auto northing = parseNumber(northingText);
    if (!northing) {
        messages.show(u"Enter the northing in metres in the Northing box."_s, MessageIcon::Stop);
        return result;
    }
    // The point is searched as the calculator always has: to single precision.
    const MapPoint point{toSinglePrecision(*easting), toSinglePrecision(*northing)};
    result.searchPoint = point;

    const RecordSet records = theme.searchShape(point, VectorLayer::SpatialRelation::ContainsPoint);
    if (records.atEnd()) {
        messages.show(u"The point "_s + eastingText.trimmed() + u", "_s + northingText.trimmed() +
                          u" lies outside every section of "_s + theme.fileName() + u"."_s,
                      MessageIcon::Stop);
        return result;
    }
    const MapPolygon poly = records.shape();
    result.sectionFound = true;
    result.sectionExtent = poly.extent();

    Attributes attributes;
    for (int layout = 1; layout <= 4 && !attributes.complete(); ++layout)
        attributes = readAttributes(records, layout);
    if (!attributes.complete()) {
        messages.show(u"Unable to create PLSS query.  Unknown PLSS fields."_s, MessageIcon::Stop);
        return result;
    }
    result.section = attributes.section;
    result.township = attributes.township;
    result.range = attributes.range;
    result.meridian = meridianOf(records);

    CornerArray extentCorners{}, parcel{};
    if (!polygonCorners(poly, extentCorners, parcel, messages))
        return result;
    const auto calls = calcFootingCall(poly, point, messages);
    if (!calls)
        return result;
    result.fcX = calls->eastWest + formatNumber(calls->eastWestFeet);
    result.fcY = calls->northSouth + formatNumber(calls->northSouthFeet);
    if (!findQuarters(result, parcel, point, messages))
        return result;
    result.located = true;
    return result;
}

LayerLabels sectionLabels(const VectorLayer &theme)
{
    LayerLabels labels;
    const int count = theme.featureCount();
    labels.features.resize(std::size_t(count));
    QHash<QString, qsizetype> groupOf;
    const auto self =
        std::shared_ptr<const VectorLayer>(std::shared_ptr<const VectorLayer>(), &theme);
    for (int row = 0; row < count; ++row) {
        const RecordSet record(self, {row});
        Attributes a;
        for (int layout = 1; layout <= 4 && !a.complete(); ++layout)
            a = readAttributes(record, layout);
        if (!a.complete())
            continue;
        labels.features[std::size_t(row)] = a.section.trimmed();
        const QString township = u"T"_s + a.township.trimmed() + u" R"_s + a.range.trimmed();
        // One township a meridian: the same numbers under two meridians are two townships.
        const QString key = township + u'/' + QString::number(meridianOf(record));
        const MapRect box = theme.shapeOf(row).extent();
        const auto found = groupOf.constFind(key);
        if (found == groupOf.cend()) {
            groupOf.insert(key, qsizetype(labels.groups.size()));
            labels.groups.push_back({township, box});
        } else {
            MapRect &e = labels.groups[std::size_t(*found)].extent;
            e = MapRect(std::min(e.left(), box.left()), std::max(e.right(), box.right()),
                        std::max(e.top(), box.top()), std::min(e.bottom(), box.bottom()));
        }
    }
    return labels;
}
