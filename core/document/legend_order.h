#pragma once

#include <QList>

// The arithmetic of the legend's order, kept apart from its widgets. Positions are collection
// positions, 1 = the bottom row; with n themes, position p shows in display row n - p (0 at the
// top) and its layer is at index n - p of the map's layer list.

constexpr double LegendRowLeft = 10; // twips
constexpr double LegendRowGap = 100; // twips between rows, and the container's extra width

// Top of the row at position p (twips in the container).
double legendRowTop(int position, int count, double rowHeight);

// Whole rows moved by a drag of `deltaY` twips (nearest, halves to even).
int legendDragSteps(double deltaY, double rowHeight);

// Where the drop line goes while dragging; -1 when it stays as it was (no whole row moved).
int legendDropIndicator(int source, int count, double deltaY, double rowHeight);

// Where a drag released after `deltaY` twips puts the row, clamped to 1..count.
int legendDropTarget(int source, int count, double deltaY, double rowHeight);

// The collection after moving position `source` to `target` (both 1-based); the result lists
// old positions in their new order.
QList<int> legendReordered(int count, int source, int target);

// Active flags (index p - 1 for position p) after a left click on `clicked` with the modifier
// mask `shift` (0 none, 1 Shift, 2 Ctrl; other masks change nothing). `anchor` is the position
// of the last unmodified click, or 0 for none; it is updated for an unmodified click.
QList<bool> legendSelectionAfterClick(const QList<bool> &active, int clicked, int shift,
                                      int &anchor);
