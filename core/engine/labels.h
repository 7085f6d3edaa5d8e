#pragma once

#include "core/engine/geometry.h"

#include <QHash>
#include <QList>
#include <QRectF>
#include <QString>

#include <vector>

class QColor;
class QFont;
class QPainter;
class QPointF;

// The labels of a vector layer: a text for each feature, drawn inside it where it fits on
// screen, and the labels of groups of features (the townships of a section theme), drawn where
// the features' own do not fit but the group's does.
struct LayerLabels
{
    std::vector<QString> features; // one per feature, in file order; empty: none
    struct Group
    {
        QString text;
        MapRect extent;
    };
    std::vector<Group> groups;
    // The size of a typical feature and group (the median of the shorter sides of their
    // boxes), in map units: the scale at which their labels start to fit.
    double typicalFeature = 0;
    double typicalGroup = 0;

    bool isEmpty() const { return features.empty() && groups.empty(); }
    // Sets the typical sizes from the features' boxes (one per feature) and the groups.
    void measure(const std::vector<MapRect> &featureBoxes);
};

// Keeps labels from covering one another: the rectangles taken so far, by the cells of a coarse
// grid they touch.
class LabelPlacer
{
public:
    explicit LabelPlacer(double cell = 64)
        : m_cell(cell)
    {}
    // Takes the rectangle and answers true, or answers false when it would cover one taken.
    bool take(const QRectF &rect);
    // Whether it would be taken, without taking it.
    bool fits(const QRectF &rect) const;

private:
    double m_cell;
    QHash<quint64, QList<QRectF>> m_taken;
};

// Draws labels dark on a light box, so they read over any theme, in one font and colour set
// once: a few microseconds a label, so thousands stay cheap.
class LabelPainter
{
public:
    LabelPainter(QPainter &painter, const QFont &font, const QColor &color);
    ~LabelPainter();
    LabelPainter(const LabelPainter &) = delete;
    LabelPainter &operator=(const LabelPainter &) = delete;
    // `box` is the text's own rectangle (its advance by the font's height).
    void draw(const QRectF &box, const QString &text);

private:
    QPainter &m_painter;
    double m_ascent;
    double m_pad;
};
