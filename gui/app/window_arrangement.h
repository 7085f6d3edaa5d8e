#pragma once

#include <QList>
#include <QRect>
#include <QSize>

class QMdiArea;

// How the Window menu arranges the map windows. The arithmetic is plain functions of the area
// and the windows' count or sizes; the arrange functions apply it to an MDI area's windows.

// `count` windows sharing `area`: one above the other, each the full width (`sideBySide`
// false), or side by side, each the full height. The last takes what rounding leaves.
QList<QRect> tiledRects(const QRect &area, int count, bool sideBySide);
// `count` windows stepped down and right by `step`, each of a usable size (at least two thirds
// of the area each way); a window that would run past the area starts again at its corner.
QList<QRect> cascadedRects(const QRect &area, int count, int step);
// Minimised windows of the given sizes lined up along the bottom of `area`, left to right, a
// new row above when a row is full. Top left corners.
QList<QPoint> iconPositions(const QRect &area, const QList<QSize> &sizes);

void tileHorizontal(QMdiArea &area);
void tileVertical(QMdiArea &area);
void cascade(QMdiArea &area);
// Lines up the minimised windows along the bottom; the others stay where they are.
void arrangeIcons(QMdiArea &area);
