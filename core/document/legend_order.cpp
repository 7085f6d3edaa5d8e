#include "core/document/legend_order.h"

#include <algorithm>
#include <cmath>

double legendRowTop(int position, int count, double rowHeight)
{
    const int fromTop = count - position;
    return rowHeight * fromTop + fromTop * LegendRowGap;
}

int legendDragSteps(double deltaY, double rowHeight)
{
    const double pitch = rowHeight + LegendRowGap;
    if (!(pitch > 0) || !std::isfinite(deltaY))
        return 0;
    return int(std::nearbyint(deltaY / pitch));
}

int legendDropIndicator(int source, int count, double deltaY, double rowHeight)
{
    const int steps = legendDragSteps(deltaY, rowHeight);
    if (steps == 0)
        return -1;
    const int target = deltaY > 0 ? source - steps - 1 : source - steps;
    return target <= count + 1 ? std::max(target, 0) : count + 1;
}

int legendDropTarget(int source, int count, double deltaY, double rowHeight)
{
    const int target = source - legendDragSteps(deltaY, rowHeight);
    return std::clamp(target, 1, std::max(count, 1));
}

QList<int> legendReordered(int count, int s, int t)
{
    QList<int> order;
    order.reserve(count);
    if (s == t || s < 1 || s > count || t < 1 || t > count) {
        for (int p = 1; p <= count; ++p)
            order.append(p);
        return order;
    }
    if (s < t) {
        for (int p = 1; p < s; ++p)
            order.append(p);
        for (int p = s + 1; p <= t; ++p)
            order.append(p);
        order.append(s);
        for (int p = t + 1; p <= count; ++p)
            order.append(p);
    } else {
        for (int p = 1; p < t; ++p)
            order.append(p);
        order.append(s);
        for (int p = t; p < s; ++p)
            order.append(p);
        for (int p = s + 1; p <= count; ++p)
            order.append(p);
    }
    return order;
}

QList<bool> legendSelectionAfterClick(const QList<bool> &active, int clicked, int shift,
                                      int &anchor)
{
    QList<bool> out = active;
    const int n = int(out.size());
    if (clicked < 1 || clicked > n)
        return out;
    switch (shift) {
    case 0:
        out.fill(false);
        out[clicked - 1] = true;
        anchor = clicked;
        break;
    case 1: {
        // From one end of the range to the other, both included. Without an anchor (or on the
        // anchor itself) the range is the clicked row alone.
        const int from = anchor >= 1 && anchor <= n ? std::min(anchor, clicked) : clicked;
        const int to = anchor >= 1 && anchor <= n ? std::max(anchor, clicked) : clicked;
        for (int p = 1; p <= n; ++p)
            out[p - 1] = p >= from && p <= to;
        break;
    }
    case 2:
        out[clicked - 1] = !out[clicked - 1];
        break;
    default:
        break;
    }
    return out;
}
