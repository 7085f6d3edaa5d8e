#include "core/plss/aliquot.h"

#include "core/common/message_service.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

MapPoint IntersectLines(const MapPoint &a, const MapPoint &b, const MapPoint &c, const MapPoint &d)
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

std::optional<QuarterPoints> quarterPoints(const CornerArray &p, double h)
{
    QuarterPoints q;
    q.S = towards(p[SE], p[SW], h);
    q.W = towards(p[SW], p[NW], h);
    q.N = towards(p[NE], p[NW], h);
    q.E = towards(p[SE], p[NE], h);
    q.C = IntersectLines(q.E, q.W, q.S, q.N);
    for (const MapPoint &pt : {q.S, q.W, q.N, q.E, q.C}) {
        if (!std::isfinite(pt.X) || !std::isfinite(pt.Y))
            return std::nullopt;
    }
    return q;
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

std::optional<AliquotResult> subdivideByCalls(const CornerArray &sectionCorners,
                                              const std::array<QString, 4> &calls,
                                              MessageService &messages)
{
    // A call below an empty level has no parcel to divide: placing the well as if it were
    // not there would put it at the centre of the larger parcel without a word.
    static const char16_t *const acres[] = {u"160", u"40", u"10"};
    for (std::size_t empty = 0; empty + 1 < calls.size(); ++empty) {
        if (quarterFromCall(calls[empty]))
            continue;
        for (std::size_t below = empty + 1; below < calls.size(); ++below) {
            if (quarterFromCall(calls[below])) {
                messages.show(u"Choose the "_s + QString::fromUtf16(acres[empty]) +
                                  u"-acre quarter first."_s,
                              MessageIcon::Stop);
                return std::nullopt;
            }
        }
        break;
    }
    AliquotResult result;
    CornerArray parcel = sectionCorners;
    double h = 1609.344;
    for (const QString &call : calls) {
        h = h / 2.0;
        const auto q = quarterPoints(parcel, h);
        if (!q) {
            messages.show(degenerateParcelMessage(), MessageIcon::Stop);
            return std::nullopt;
        }
        result.lines.append({q->W, q->E});
        result.lines.append({q->S, q->N});
        const auto which = quarterFromCall(call);
        if (!which)
            break;
        parcel = subParcel(parcel, *q, *which);
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
