#include "gui/app/window_arrangement.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>

QList<QRect> tiledRects(const QRect &area, int count, bool sideBySide)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    const int length = sideBySide ? area.width() : area.height();
    for (int i = 0; i < count; ++i) {
        const int from = length * i / count, to = length * (i + 1) / count;
        rects.append(sideBySide ? QRect(area.left() + from, area.top(), to - from, area.height())
                                : QRect(area.left(), area.top() + from, area.width(), to - from));
    }
    return rects;
}

QList<QRect> cascadedRects(const QRect &area, int count, int step)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    const int w = std::max(area.width() * 2 / 3, area.width() - (count - 1) * step);
    const int h = std::max(area.height() * 2 / 3, area.height() - (count - 1) * step);
    int offset = 0;
    for (int i = 0; i < count; ++i) {
        if (offset + w > area.width() || offset + h > area.height())
            offset = 0;
        rects.append(QRect(area.left() + offset, area.top() + offset, w, h));
        offset += step;
    }
    return rects;
}

QList<QPoint> iconPositions(const QRect &area, const QList<QSize> &sizes)
{
    QList<QPoint> corners;
    int x = area.left();
    int bottom = area.bottom() + 1; // the bottom edge of the row being filled
    int rowHeight = 0;
    for (const QSize &size : sizes) {
        if (x > area.left() && x + size.width() > area.right() + 1) {
            x = area.left();
            bottom -= rowHeight;
            rowHeight = 0;
        }
        corners.append(QPoint(x, bottom - size.height()));
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
    return corners;
}

namespace {

// The windows a tile or cascade arranges: shown and not minimised, in the area's order.
QList<QMdiSubWindow *> arrangeable(QMdiArea &area)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : area.subWindowList()) {
        if (w->isVisible() && !w->isMinimized())
            windows.append(w);
    }
    for (QMdiSubWindow *w : std::as_const(windows)) {
        if (w->isMaximized())
            w->showNormal();
    }
    return windows;
}

void place(const QList<QMdiSubWindow *> &windows, const QList<QRect> &rects)
{
    for (qsizetype i = 0; i < windows.size() && i < rects.size(); ++i)
        windows[i]->setGeometry(rects[i]);
}

// The area the windows may use: above the row of minimised windows, when there is one.
QRect freeArea(QMdiArea &area)
{
    QRect free = area.viewport()->rect();
    for (QMdiSubWindow *w : area.subWindowList()) {
        if (w->isVisible() && w->isMinimized())
            free.setBottom(std::min(free.bottom(), w->geometry().top() - 1));
    }
    return free;
}

void tile(QMdiArea &area, bool sideBySide)
{
    const QList<QMdiSubWindow *> windows = arrangeable(area);
    place(windows, tiledRects(freeArea(area), int(windows.size()), sideBySide));
}

} // namespace

void tileHorizontal(QMdiArea &area)
{
    tile(area, false);
}

void tileVertical(QMdiArea &area)
{
    tile(area, true);
}

void cascade(QMdiArea &area)
{
    const QList<QMdiSubWindow *> windows = arrangeable(area);
    const int step = area.style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4;
    place(windows, cascadedRects(freeArea(area), int(windows.size()), step));
    for (QMdiSubWindow *w : windows)
        w->raise();
}

void arrangeIcons(QMdiArea &area)
{
    QList<QMdiSubWindow *> icons;
    QList<QSize> sizes;
    for (QMdiSubWindow *w : area.subWindowList()) {
        if (w->isVisible() && w->isMinimized()) {
            icons.append(w);
            sizes.append(w->size());
        }
    }
    const QList<QPoint> corners = iconPositions(area.viewport()->rect(), sizes);
    for (qsizetype i = 0; i < icons.size(); ++i)
        icons[i]->move(corners[i]);
}
