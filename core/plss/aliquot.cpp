#include "core/plss/aliquot.h"

#include "core/common/message_service.h"
#include "core/plss/footage.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

MapPoint intersectLines(const MapPoint &a, const MapPoint &b, const MapPoint &c, const MapPoint &d)
{
    const double den = (d.X - c.X) * (b.Y - a.Y) - (b.X - a.X) * (d.Y - c.Y);
    if (den == 0.0) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan};
    }
    const double t = ((d.X - c.X) * (c.Y - a.Y) - (c.X - a.X) * (d.Y - c.Y)) / den;
    return {a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y)};
}

std::optional<Quarter> quarterFromCall(const QString &call)
{
    if (call == u"SW"_s)
        return Quarter::SW;
    if (call == u"NW"_s)
        return Quarter::NW;
    if (call == u"NE"_s)
        return Quarter::NE;
    if (call == u"SE"_s)
        return Quarter::SE;
    return std::nullopt;
}

QString quarterName(Quarter q)
{
    switch (q) {
    case Quarter::SW:
        return u"SW"_s;
    case Quarter::NW:
        return u"NW"_s;
    case Quarter::NE:
        return u"NE"_s;
    case Quarter::SE:
        return u"SE"_s;
    }
    return {};
}

std::optional<Half> halfFromCall(const QString &call)
{
    static const QString letters = u"NSEW"_s;
    const bool written = (call.size() == 3 && call[1] == u'/' && call[2] == u'2') ||
                         (call.size() == 2 && call[1] == u'2');
    const qsizetype at = written ? letters.indexOf(call[0]) : -1;
    return at < 0 ? std::nullopt : std::optional<Half>(Half(at));
}

QString halfName(Half h)
{
    return QString(u"NSEW"_s[int(h)]) + u"/2"_s;
}

bool isAliquotCall(const QString &call)
{
    return quarterFromCall(call) || halfFromCall(call);
}

QString ruleName(SubdivisionRule rule)
{
    return rule == SubdivisionRule::Manual ? u"manual rule"_s : u"classic rule"_s;
}

QString degenerateParcelMessage()
{
    return u"Unable to divide the section into quarters: its corners do not form a usable parcel."_s;
}

MapPoint towards(const MapPoint &from, const MapPoint &to, double distance)
{
    const double dx = to.X - from.X, dy = to.Y - from.Y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double f = distance / length;
    return {from.X + f * dx, from.Y + f * dy};
}

namespace {

MapPoint midpoint(const MapPoint &a, const MapPoint &b)
{
    return {(a.X + b.X) / 2.0, (a.Y + b.Y) / 2.0};
}

// The quarter points of a parcel of nominal half width hx and half height hy. Each point on a
// north or south line stands hx from the east corner, each on an east or west line hy from the
// south corner; where `midWidth` (`midHeight`) is set, at the middle of its line instead.
std::optional<QuarterPoints> divisionPoints(const CornerArray &p, double hx, double hy,
                                            bool midWidth, bool midHeight)
{
    QuarterPoints q;
    q.S = midWidth ? midpoint(p[SE], p[SW]) : towards(p[SE], p[SW], hx);
    q.N = midWidth ? midpoint(p[NE], p[NW]) : towards(p[NE], p[NW], hx);
    q.W = midHeight ? midpoint(p[SW], p[NW]) : towards(p[SW], p[NW], hy);
    q.E = midHeight ? midpoint(p[SE], p[NE]) : towards(p[SE], p[NE], hy);
    q.C = intersectLines(q.E, q.W, q.S, q.N);
    for (const MapPoint &pt : {q.S, q.W, q.N, q.E, q.C}) {
        if (!std::isfinite(pt.X) || !std::isfinite(pt.Y))
            return std::nullopt;
    }
    return q;
}

CornerArray halfParcel(const CornerArray &p, const QuarterPoints &q, Half which)
{
    switch (which) {
    case Half::N:
        return {q.W, p[NW], p[NE], q.E};
    case Half::S:
        return {p[SW], q.W, q.E, p[SE]};
    case Half::E:
        return {q.S, q.N, p[NE], p[SE]};
    case Half::W:
        return {p[SW], p[NW], q.N, q.S};
    }
    return p;
}

// The sections of a regular township along its north and west lines.
bool inNorthRow(int section)
{
    return section >= 1 && section <= 6;
}
bool inWestColumn(int section)
{
    return section == 6 || section == 7 || section == 18 || section == 19 || section == 30 ||
           section == 31;
}

} // namespace

std::optional<QuarterPoints> quarterPoints(const CornerArray &p, double h)
{
    return divisionPoints(p, h, h, false, false);
}

std::optional<QuarterPoints> sectionQuarterPoints(const CornerArray &section, SubdivisionRule rule,
                                                  int sectionNumber)
{
    const bool manual = rule == SubdivisionRule::Manual;
    return divisionPoints(section, 804.672, 804.672, manual && !inWestColumn(sectionNumber),
                          manual && !inNorthRow(sectionNumber));
}

CornerArray subParcel(const CornerArray &p, const QuarterPoints &q, Quarter which)
{
    switch (which) {
    case Quarter::SW:
        return {p[SW], q.W, q.C, q.S};
    case Quarter::NW:
        return {q.W, p[NW], q.N, q.C};
    case Quarter::NE:
        return {q.C, q.N, p[NE], q.E};
    case Quarter::SE:
        return {q.S, q.C, q.E, p[SE]};
    }
    return p;
}

QString aliquotCallsError(const std::array<QString, 4> &calls)
{
    // A call below an empty level has no parcel to divide: placing the well as if it were
    // not there would put it at the centre of the larger parcel without a word.
    static const char16_t *const acres[] = {u"160", u"40", u"10"};
    for (std::size_t empty = 0; empty + 1 < calls.size(); ++empty) {
        if (isAliquotCall(calls[empty]))
            continue;
        for (std::size_t below = empty + 1; below < calls.size(); ++below) {
            if (isAliquotCall(calls[below]))
                return u"Choose the "_s + QString::fromUtf16(acres[empty]) +
                       u"-acre quarter first."_s;
        }
        break;
    }
    // A quarter of a half is no parcel of the survey: "NW/4 of the N/2" is not the NW/4.
    for (std::size_t i = 1; i < calls.size(); ++i) {
        const auto half = halfFromCall(calls[i - 1]);
        const auto quarter = quarterFromCall(calls[i]);
        if (half && quarter)
            return u"The calls contradict each other: the "_s + quarterName(*quarter) +
                   u"/4 of the "_s + halfName(*half) + u" is not a part of a section."_s;
    }
    return {};
}

double radiusFeet(const MapPoint &point, const QList<MapPoint> &ring)
{
    double farthest = 0;
    for (const MapPoint &v : ring)
        farthest = std::max(farthest, std::hypot(v.X - point.X, v.Y - point.Y));
    return farthest / SurveyFoot;
}

std::optional<AliquotResult> subdivideByCalls(const CornerArray &sectionCorners,
                                              const std::array<QString, 4> &calls,
                                              MessageService &messages, SubdivisionRule rule,
                                              int section, double halfSide)
{
    if (const QString why = aliquotCallsError(calls); !why.isEmpty()) {
        messages.show(why, MessageIcon::Stop);
        return std::nullopt;
    }
    const bool manual = rule == SubdivisionRule::Manual;
    // Along the north and west lines of a township the manual rule measures from the south
    // and the east, as the classic rule does everywhere.
    bool northRow = inNorthRow(section);
    bool westColumn = inWestColumn(section);
    AliquotResult result;
    CornerArray parcel = sectionCorners;
    double hx = halfSide, hy = halfSide; // the nominal half width and height of the parcel
    bool afterHalf = false;
    for (const QString &call : calls) {
        const auto quarter = quarterFromCall(call);
        const auto half = halfFromCall(call);
        if (!quarter && !half && afterHalf)
            break;
        const auto q = divisionPoints(parcel, hx, hy, manual && !westColumn, manual && !northRow);
        if (!q) {
            messages.show(degenerateParcelMessage(), MessageIcon::Stop);
            return std::nullopt;
        }
        if (half) {
            const bool northSouth = *half == Half::N || *half == Half::S;
            result.lines.append(northSouth ? QuarterLine{q->W, q->E} : QuarterLine{q->S, q->N});
            parcel = halfParcel(parcel, *q, *half);
            (northSouth ? hy : hx) /= 2.0;
            northRow = northRow && (!northSouth || *half == Half::N);
            westColumn = westColumn && (northSouth || *half == Half::W);
            afterHalf = true;
            continue;
        }
        result.lines.append({q->W, q->E});
        result.lines.append({q->S, q->N});
        if (!quarter)
            break;
        parcel = subParcel(parcel, *q, *quarter);
        hx /= 2.0;
        hy /= 2.0;
        northRow = northRow && (*quarter == Quarter::NW || *quarter == Quarter::NE);
        westColumn = westColumn && (*quarter == Quarter::NW || *quarter == Quarter::SW);
    }
    double x = 0, y = 0;
    for (const MapPoint &c : parcel) {
        x += c.X;
        y += c.Y;
    }
    result.location = {x / 4.0, y / 4.0};
    result.finalParcel = parcel;
    return result;
}
